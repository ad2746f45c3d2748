#pragma once

#include <QIcon>
#include <QImage>

#include <functional>

// The program's pictures, drawn in code so that no binary file is kept.
namespace Icone {
QIcon Programma(); // the window and about icon
// The same picture at any size, for the desktop's icon theme.
QImage ImmagineProgramma(int lato);
QIcon Riga(); // the row icon of the list editors
QIcon FrecciaSu();
QIcon FrecciaGiu();
QIcon Pseudo(); // the run window's picture

// An icon that `crea` makes only when a picture or the sizes of it are first
// asked for (copies share it); until then it counts as not null. A window's
// icon that nothing shows costs nothing at start-up.
QIcon Differita(std::function<QIcon()> crea);
} // namespace Icone
