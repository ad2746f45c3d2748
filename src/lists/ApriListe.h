#pragma once

class Form1;
class Modulo1;

// Start-up: opens both list files (creating missing ones empty), offers to fill
// an empty one, counts the substitution entries and disables the run command of
// a list left empty. False when a file cannot be opened; the error was shown.
bool ApriListe(Modulo1 &stato, Form1 &form);
