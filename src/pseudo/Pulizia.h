#pragma once

#include "lists/VociElenco.h"

#include <QString>
#include <QVector>

// The cleaning run: deletes the words of the elimination list from a text,
// each as a whole word or anywhere as its "Sì"/"No" says, case aside.
namespace Pulizia {

struct Esito
{
    QString testo;
    qsizetype eliminate = 0;
};

Esito Applica(const QString &testo, const QVector<VoceEliminazione> &elenco);

} // namespace Pulizia
