#pragma once

#include <QString>

// The folder that holds the two list files: the program's own folder when it
// can be written, otherwise the user's data folder for the program (created
// when missing); the program's folder again when neither can be had.
QString ScegliCartellaListe(const QString &cartellaProgramma, const QString &cartellaDati);
