#include "CodificaAnsi.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace CodificaAnsi {

namespace {
constexpr const char *NomeCodifica = "windows-1252";
}

QString Decodifica(QByteArrayView byte)
{
    QStringDecoder decoder(NomeCodifica);
    return decoder.decode(byte);
}

QByteArray Codifica(const QString &testo, bool *ok)
{
    QStringEncoder encoder(NomeCodifica);
    QByteArray risultato = encoder.encode(testo);
    if (ok) *ok = !encoder.hasError();
    return risultato;
}

bool Rappresentabile(const QString &testo)
{
    bool ok = false;
    Codifica(testo, &ok);
    return ok;
}

} // namespace CodificaAnsi
