#pragma once

#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/codice/RegoleCodice.h"

#include <QString>
#include <QVector>

// The cleaning run: deletes the words of the elimination list from a text,
// each as a whole word or anywhere as its "Sì"/"No" says, case aside. With
// `regole`, occurrences that start in a comment or a string of the text each
// word is deleted from are kept, and whole words may end at the code
// delimiters.
namespace Pulizia {

struct Esito
{
    QString testo;
    qsizetype eliminate = 0;
};

Esito Applica(const QString &testo, const QVector<VoceEliminazione> &elenco,
              const RegoleCodice &regole = {});

} // namespace Pulizia
