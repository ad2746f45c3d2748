#pragma once

#include <QString>

// The remaining-time estimate of the automatic run.
namespace Stima {

// Seconds left: the last word's duration times the entries still to do,
// rounded half to even and held in the 16-bit range. A scan that went past
// midnight (t2 < t1) counts a day more for t2.
qint16 TempoRimanente(double t1, double t2, qint64 vociRimanenti);

// "<E> secondi"
QString TestoTempo(qint16 secondi);

// The remark shown beside the estimate, or `attuale` for 20, 100, 200, 300, 400.
QString Commento(qint16 secondi, const QString &attuale);

} // namespace Stima
