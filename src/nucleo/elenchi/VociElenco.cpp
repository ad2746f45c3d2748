#include "VociElenco.h"

#include "nucleo/testo/CodificaAnsi.h"

#include <QtEndian>
#include <algorithm>

namespace Record {

namespace {

// Appends one string field, keeping at least `riserva` bytes of the record free.
void ScriviStringa(QByteArray &record, const QString &testo, int riserva)
{
    QByteArray byte = CodificaAnsi::Codifica(testo);
    const int spazio = std::max(0, Lunghezza - int(record.size()) - 2 - riserva);
    if (byte.size() > spazio) byte.truncate(spazio);
    const quint16 n = quint16(byte.size());
    record.append(char(n & 0xFF));
    record.append(char(n >> 8));
    record.append(byte);
}

void ScriviIntero(QByteArray &record, qint16 valore)
{
    const quint16 n = quint16(valore);
    record.append(char(n & 0xFF));
    record.append(char(n >> 8));
}

void Riempi(QByteArray &record)
{
    record.append(QByteArray(Lunghezza - record.size(), '\0'));
}

// Reads one string field at `pos`, moving `pos` past it; never reads past the record.
QString LeggiStringa(QByteArrayView record, qsizetype &pos)
{
    if (pos + 2 > record.size()) {
        pos = record.size();
        return {};
    }
    const quint16 n = qFromLittleEndian<quint16>(record.data() + pos);
    pos += 2;
    const qsizetype disponibili = std::min<qsizetype>(n, record.size() - pos);
    const QString testo = CodificaAnsi::Decodifica(record.sliced(pos, disponibili));
    pos += disponibili;
    return testo;
}

qint16 LeggiIntero(QByteArrayView record, qsizetype pos)
{
    if (pos + 2 > record.size()) return 0;
    return qFromLittleEndian<qint16>(record.data() + pos);
}

QString MotivoCodifica(const QString &testo)
{
    if (!CodificaAnsi::Rappresentabile(testo))
        return QStringLiteral("Il testo \"%1\" contiene caratteri che l'elenco non può "
                              "memorizzare (sono ammessi solo i caratteri dell'alfabeto "
                              "occidentale Windows-1252).")
            .arg(testo);
    return {};
}

} // namespace

QByteArray Codifica(const VoceSostituzione &voce)
{
    QByteArray record;
    record.reserve(Lunghezza);
    ScriviStringa(record, voce.Trova, 2);
    ScriviStringa(record, voce.Sostituisci, 0);
    Riempi(record);
    return record;
}

QByteArray Codifica(const VoceEliminazione &voce)
{
    QByteArray record;
    record.reserve(Lunghezza);
    ScriviStringa(record, voce.Elimina, 4);
    ScriviStringa(record, voce.ParolaIntera, 2);
    ScriviIntero(record, FlagParolaIntera(voce.ParolaIntera));
    Riempi(record);
    return record;
}

VoceSostituzione DecodificaSostituzione(QByteArrayView record)
{
    record = record.first(std::min<qsizetype>(record.size(), Lunghezza));
    qsizetype pos = 0;
    VoceSostituzione voce;
    voce.Trova = LeggiStringa(record, pos);
    voce.Sostituisci = LeggiStringa(record, pos);
    return voce;
}

VoceEliminazione DecodificaEliminazione(QByteArrayView record)
{
    record = record.first(std::min<qsizetype>(record.size(), Lunghezza));
    qsizetype pos = 0;
    VoceEliminazione voce;
    voce.Elimina = LeggiStringa(record, pos);
    voce.ParolaIntera = LeggiStringa(record, pos);
    voce.FlagIntera = LeggiIntero(record, pos);
    return voce;
}

QString MotivoNonContenibile(const VoceSostituzione &voce)
{
    for (const QString &testo : {voce.Trova, voce.Sostituisci})
        if (QString motivo = MotivoCodifica(testo); !motivo.isEmpty()) return motivo;
    const qsizetype byte = voce.Trova.size() + voce.Sostituisci.size();
    if (byte > CapacitaSostituzione)
        return QStringLiteral("La parola e il testo sostitutivo insieme superano i %1 caratteri "
                              "che l'elenco può memorizzare (ora sono %2).")
            .arg(CapacitaSostituzione)
            .arg(byte);
    return {};
}

QString MotivoNonContenibile(const VoceEliminazione &voce)
{
    for (const QString &testo : {voce.Elimina, voce.ParolaIntera})
        if (QString motivo = MotivoCodifica(testo); !motivo.isEmpty()) return motivo;
    const qsizetype limite = CapacitaEliminazione - voce.ParolaIntera.size();
    if (voce.Elimina.size() > limite)
        return QStringLiteral("La parola da eliminare supera i %1 caratteri che l'elenco può "
                              "memorizzare (ora sono %2).")
            .arg(limite)
            .arg(voce.Elimina.size());
    return {};
}

namespace {
template <typename Voce> int PrimaNonContenibile(const QVector<Voce> &righe, QString *motivo)
{
    for (qsizetype i = 0; i < righe.size(); ++i)
        if (QString m = MotivoNonContenibile(righe[i]); !m.isEmpty()) {
            if (motivo) *motivo = m;
            return int(i + 1);
        }
    return 0;
}
} // namespace

int PrimaRigaNonContenibile(const QVector<VoceSostituzione> &righe, QString *motivo)
{
    return PrimaNonContenibile(righe, motivo);
}

int PrimaRigaNonContenibile(const QVector<VoceEliminazione> &righe, QString *motivo)
{
    return PrimaNonContenibile(righe, motivo);
}

} // namespace Record

namespace RigheElenco {

namespace {
QString Rifila(const QString &testo)
{
    qsizetype inizio = 0, fine = testo.size();
    while (inizio < fine && testo[inizio] == QLatin1Char(' '))
        ++inizio;
    while (fine > inizio && testo[fine - 1] == QLatin1Char(' '))
        --fine;
    return testo.mid(inizio, fine - inizio);
}
} // namespace

QVector<VoceSostituzione> DaMostrare(const QVector<VoceSostituzione> &record)
{
    QVector<VoceSostituzione> righe;
    righe.reserve(record.size());
    for (const VoceSostituzione &voce : record)
        if (!voce.Sostituisci.isEmpty())
            righe.append({Rifila(voce.Trova), Rifila(voce.Sostituisci)});
    return righe;
}

QVector<VoceEliminazione> DaMostrare(const QVector<VoceEliminazione> &record)
{
    QVector<VoceEliminazione> righe;
    righe.reserve(record.size());
    for (const VoceEliminazione &voce : record)
        if (!SenzaParola(voce))
            righe.append(Eliminazione(Rifila(voce.Elimina), Rifila(voce.ParolaIntera)));
    return righe;
}

VoceEliminazione Eliminazione(const QString &elimina, const QString &parolaIntera)
{
    return {elimina, parolaIntera, FlagParolaIntera(parolaIntera)};
}

} // namespace RigheElenco

QVector<VoceSostituzione> SostituzioniPredefinite()
{
    return {
        {QStringLiteral("If"), QStringLiteral("Se")},
        {QStringLiteral("Then"), QStringLiteral("Allora")},
        {QStringLiteral("For"), QStringLiteral("Per")},
        {QStringLiteral("To"), QStringLiteral("a")},
        {QStringLiteral("Do"), QStringLiteral("Ripeti")},
        {QStringLiteral("Until"), QStringLiteral("Finché")},
        {QStringLiteral("While"), QStringLiteral("Mentre")},
        {QStringLiteral("Not"), QStringLiteral("non")},
    };
}

QVector<VoceEliminazione> EliminazioniPredefinite()
{
    QVector<VoceEliminazione> elenco;
    for (const char *parola : {"vbInformation", "vbExclamation", ".SetFocus", "vbYesNo", ".Show",
                               ".Clear", ".TabIndex", "Unload"})
        elenco.append({QString::fromLatin1(parola), TestoSi, 1});
    elenco.append({QStringLiteral("#"), TestoNo, 0});
    return elenco;
}
