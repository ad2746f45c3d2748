#pragma once

#include <QString>

// The folder of the two list files: the program's folder when it is writable and not an
// installed program's bin/ (one with ../share/quadrivo/crediti.html); otherwise
// `cartellaDati` (created when missing), into which the program folder's list files are
// copied first when the data folder has none yet.
QString ScegliCartellaListe(const QString &cartellaProgramma, const QString &cartellaDati);
