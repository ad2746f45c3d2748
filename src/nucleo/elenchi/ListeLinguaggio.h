#pragma once

// The substitution and cleaning lists shipped for each language, in the text
// format of TestoElenco, built into the program.

#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/codice/Linguaggio.h"

#include <QByteArray>
#include <QVector>

// The list of `linguaggio` (none for Linguaggio::Nessuno), in its order:
// entries of several words come before the words they are made of.
QVector<VoceSostituzione> ListaDelLinguaggio(Linguaggio linguaggio);

// The same list as the text it is shipped as.
QByteArray TestoListaDelLinguaggio(Linguaggio linguaggio);

// The cleaning list of `linguaggio` (none for Linguaggio::Nessuno): for BASIC
// the factory list; for C, C++ and batch only words that can go without
// changing what the code says (calling conventions and other compiler
// decorations, output thrown away), never a mark such as "#" that code needs.
QVector<VoceEliminazione> PuliziaDelLinguaggio(Linguaggio linguaggio);
QByteArray TestoPuliziaDelLinguaggio(Linguaggio linguaggio);
