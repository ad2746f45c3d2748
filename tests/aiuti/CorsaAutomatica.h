#pragma once

#include "nucleo/pseudocodifica/Pseudocodifica.h"

// The text after the automatic run over the whole list, from its first entry,
// with nothing to report.
inline QString CorsaAutomatica(QString testo, const QVector<VoceSostituzione> &record,
                               const RegoleCodice &regole = {})
{
    Pseudocodifica::Percorso percorso(record, regole);
    percorso.Automatica(testo);
    return testo;
}
