#include "Stima.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Stima {

qint16 TempoRimanente(double t1, double t2, qint64 vociRimanenti)
{
    if (t2 < t1) t2 += 86400.0;
    const double stima = std::nearbyint((t2 - t1) * double(vociRimanenti));
    if (std::isnan(stima)) return 0;
    return qint16(std::clamp(stima, double(std::numeric_limits<qint16>::min()),
                             double(std::numeric_limits<qint16>::max())));
}

QString TestoTempo(qint16 secondi)
{
    return QString::number(secondi) + QStringLiteral(" secondi");
}

QString Commento(qint16 E, const QString &attuale)
{
    if (E < 20) return QStringLiteral("Ha finito ormai!");
    if (E > 20 && E < 100) return QStringLiteral("Un minutino ancora...");
    if (E > 100 && E < 200) return QStringLiteral("Tre minuti ancora, dai...");
    if (E > 200 && E < 300) return QStringLiteral("C'è tempo per guardarsi il giornale...");
    if (E > 300 && E < 400) return QStringLiteral("Non passa più, avvisato!");
    if (E > 400) return QStringLiteral("Disabilita lo ScreenSaver e fai qualcos'altro!!!");
    return attuale;
}

} // namespace Stima
