#pragma once

#include <QIcon>
#include <QImage>

// The program's pictures, drawn in code so that no binary file is kept.
namespace Icone {
QIcon Programma(); // the window and about icon
// The same picture at any size, for the desktop's icon theme.
QImage ImmagineProgramma(int lato);
QIcon Riga(); // the row icon of the list editors
QIcon FrecciaSu();
QIcon FrecciaGiu();
QIcon Pseudo(); // the run window's picture
} // namespace Icone
