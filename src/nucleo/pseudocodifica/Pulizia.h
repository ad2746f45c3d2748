#pragma once

#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/codice/RegoleCodice.h"

#include <QString>
#include <QVector>

// The cleaning run: deletes the words of the elimination list from a text,
// each as a whole word or anywhere as its "Sì"/"No" says, case aside. With
// `regole`, occurrences that start in a comment or a string of the text each
// word is deleted from are kept, whole words may end at the code delimiters,
// and where the text's language tells case apart (RegoleCodice::MaiuscoleEsatte)
// a word goes only as written: "CALLBACK" leaves a variable "callback" alone.
namespace Pulizia {

struct Esito
{
    QString testo;
    qsizetype eliminate = 0;
};

Esito Applica(const QString &testo, const QVector<VoceEliminazione> &elenco,
              const RegoleCodice &regole = {});

} // namespace Pulizia
