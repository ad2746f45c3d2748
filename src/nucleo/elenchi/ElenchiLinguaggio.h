#pragma once

// The user's own substitution and cleaning lists for each language, kept
// beside "sostituzioni.dat" and "pulizia.dat" and made from the language's
// ready lists the first time they are needed. A text with no language uses
// the shared files.

#include "nucleo/codice/Linguaggio.h"
#include "nucleo/elenchi/ArchivioListe.h"
#include "nucleo/testo/ErroreFile.h"

#include <QString>

// The file name of the language's list: "sostituzioni-basic.dat",
// "sostituzioni-c.dat", "sostituzioni-cpp.dat", "sostituzioni-batch.dat",
// and "pulizia-basic.dat" … for the cleaning lists; "sostituzioni.dat" or
// "pulizia.dat" for no language.
QString NomeElencoLinguaggio(Linguaggio linguaggio, Elenco elenco = Elenco::Sostituzioni);
// That file in `cartella`.
QString PercorsoElencoLinguaggio(const QString &cartella, Linguaggio linguaggio,
                                 Elenco elenco = Elenco::Sostituzioni);

// Makes the language's list file from its ready list when there is no such
// file yet; an existing file (even an empty or damaged one) is left as it is.
// The file is written whole beside its place and then moved there. Nothing to
// do for no language. False, with `errore` set, when the file cannot be made.
bool PreparaElencoLinguaggio(const QString &cartella, Linguaggio linguaggio,
                             ErroreFile *errore = nullptr);
bool PreparaElencoLinguaggio(const QString &cartella, Linguaggio linguaggio, Elenco elenco,
                             ErroreFile *errore = nullptr);
