#include "ModelliRiferimento.h"

#include <QList>

namespace Modello {

QByteArray RecordLetterale(const QList<QByteArray> &campiTesto, const QList<int> &campiInteri)
{
    QByteArray r;
    for (const QByteArray &campo : campiTesto) {
        r.append(char(campo.size() % 256));
        r.append(char(campo.size() / 256));
        r.append(campo);
    }
    for (int valore : campiInteri) {
        r.append(char(valore & 0xFF));
        r.append(char((valore >> 8) & 0xFF));
    }
    while (r.size() < 128)
        r.append('\0');
    return r;
}

} // namespace Modello
