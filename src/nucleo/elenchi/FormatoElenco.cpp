#include "FormatoElenco.h"

#include "nucleo/elenchi/VociElenco.h"

#include <QStringDecoder>
#include <QtEndian>

namespace FormatoElenco {

namespace {

// The first record (from 1) whose fields do not read as text; 0 when all do.
qsizetype PrimoIlleggibile(QByteArrayView dati)
{
    for (qsizetype i = 0; i + Record::Lunghezza <= dati.size(); i += Record::Lunghezza)
        if (!RecordLeggibile(dati.sliced(i, Record::Lunghezza))) return i / Record::Lunghezza + 1;
    return 0;
}

} // namespace

bool RecordLeggibile(QByteArrayView record)
{
    // Two texts, each a 16-bit little-endian length and its bytes.
    qsizetype pos = 0;
    for (int campo = 0; campo < 2; ++campo) {
        if (pos + 2 > record.size()) return false;
        const qsizetype n = qFromLittleEndian<quint16>(record.data() + pos);
        pos += 2;
        if (n > record.size() - pos) return false;
        if (record.sliced(pos, n).contains('\0')) return false;
        pos += n;
    }
    return true;
}

Esito Riconosci(QByteArrayView dati)
{
    const qsizetype parte = dati.size() % Record::Lunghezza;
    if (!dati.isEmpty() && parte == 0 && PrimoIlleggibile(dati) == 0) return {Tipo::Record, {}};
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString testo = utf8.decode(dati);
    const qsizetype nullo = dati.indexOf('\0');
    if (!utf8.hasError() && nullo < 0) return {Tipo::Testo, {}};
    // Neither: say why it is not the one it looks more like.
    const QString comeTesto = utf8.hasError() ? QStringLiteral("non è UTF-8")
                                              : QStringLiteral("ha un byte nullo alla riga %1")
                                                    .arg(dati.first(nullo).count('\n') + 1);
    const QString comeRecord =
        parte != 0
            ? QStringLiteral("i suoi %1 byte non sono un numero intero di record da %2")
                  .arg(dati.size())
                  .arg(Record::Lunghezza)
            : QStringLiteral("il record %1 non si legge come testo").arg(PrimoIlleggibile(dati));
    return {std::nullopt, QStringLiteral("non è un elenco: né un file .dat (%1) né un testo (%2)")
                              .arg(comeRecord, comeTesto)};
}

QString DifettiRecord(QByteArrayView dati)
{
    return DescriviDifetti(PrimoIlleggibile(dati), dati.size() % Record::Lunghezza);
}

QString DescriviDifetti(qsizetype primoIlleggibile, qsizetype byteInParte)
{
    if (primoIlleggibile > 0)
        return QStringLiteral("il record %1 ha campi che non si leggono come testo")
            .arg(primoIlleggibile);
    if (byteInParte > 0)
        return QStringLiteral("finisce con un record incompleto (%1 byte)").arg(byteInParte);
    return {};
}

} // namespace FormatoElenco
