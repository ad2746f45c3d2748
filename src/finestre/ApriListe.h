#pragma once

class FinestraPrincipale;

// Start-up: opens both list files (creating missing ones empty), offers to fill
// an empty one, counts the substitution entries and disables the run command of
// a list left empty. A file that cannot be read is reported and its list left
// empty; a file that can be neither opened nor created ends the start-up
// (false, after the error was shown). Then reads the options file into the
// program's state; one that is there but cannot be read is reported and its
// options left off.
bool ApriListe(FinestraPrincipale &form);
