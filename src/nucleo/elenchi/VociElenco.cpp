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

// The word, then the second text, then (elimination) the flag: each string
// keeps room for the fields after it.
template <typename Voce> QByteArray Codifica(const Voce &voce)
{
    using Campi = CampiVoce<Voce>;
    const int flag = Campi::ConFlag ? 2 : 0;
    QByteArray record;
    record.reserve(Lunghezza);
    ScriviStringa(record, ParolaDi(voce), 2 + flag);
    ScriviStringa(record, SecondoDi(voce), flag);
    if constexpr (Campi::ConFlag) ScriviIntero(record, FlagParolaIntera(SecondoDi(voce)));
    Riempi(record);
    return record;
}

template <typename Voce> Voce Decodifica(QByteArrayView record)
{
    using Campi = CampiVoce<Voce>;
    record = record.first(std::min<qsizetype>(record.size(), Lunghezza));
    qsizetype pos = 0;
    Voce voce;
    voce.*Campi::Parola = LeggiStringa(record, pos);
    voce.*Campi::Secondo = LeggiStringa(record, pos);
    if constexpr (Campi::ConFlag) voce.FlagIntera = LeggiIntero(record, pos);
    return voce;
}

bool SenzaParola(QByteArrayView record)
{
    // As LeggiStringa reads the word: its length cut at the record's end; a
    // Windows-1252 byte is always one character.
    record = record.first(std::min<qsizetype>(record.size(), Lunghezza));
    if (record.size() < 2) return true;
    return std::min<qsizetype>(qFromLittleEndian<quint16>(record.data()), record.size() - 2) == 0;
}

template <typename Voce> QString MotivoNonContenibile(const Voce &voce)
{
    const QString &parola = ParolaDi(voce);
    const QString &secondo = SecondoDi(voce);
    for (const QString &testo : {parola, secondo})
        if (QString motivo = MotivoCodifica(testo); !motivo.isEmpty()) return motivo;
    if constexpr (CampiVoce<Voce>::ConFlag) {
        const qsizetype limite = CapacitaEliminazione - secondo.size();
        if (parola.size() > limite)
            return QStringLiteral("La parola da eliminare supera i %1 caratteri che l'elenco può "
                                  "memorizzare (ora sono %2).")
                .arg(limite)
                .arg(parola.size());
    } else {
        const qsizetype byte = parola.size() + secondo.size();
        if (byte > CapacitaSostituzione)
            return QStringLiteral("La parola e il testo sostitutivo insieme superano i %1 "
                                  "caratteri che l'elenco può memorizzare (ora sono %2).")
                .arg(CapacitaSostituzione)
                .arg(byte);
    }
    return {};
}

template QByteArray Codifica(const VoceSostituzione &);
template QByteArray Codifica(const VoceEliminazione &);
template VoceSostituzione Decodifica<VoceSostituzione>(QByteArrayView);
template VoceEliminazione Decodifica<VoceEliminazione>(QByteArrayView);
template QString MotivoNonContenibile(const VoceSostituzione &);
template QString MotivoNonContenibile(const VoceEliminazione &);

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

template <typename Voce> QVector<Voce> DaMostrare(const QVector<Voce> &record)
{
    QVector<Voce> righe;
    righe.reserve(record.size());
    for (const Voce &voce : record) {
        if ((voce.*CampiVoce<Voce>::Mostrata).isEmpty()) continue;
        Voce riga;
        riga.*CampiVoce<Voce>::Parola = Rifila(ParolaDi(voce));
        riga.*CampiVoce<Voce>::Secondo = Rifila(SecondoDi(voce));
        if constexpr (CampiVoce<Voce>::ConFlag)
            riga.FlagIntera = FlagParolaIntera(riga.ParolaIntera);
        righe.append(riga);
    }
    return righe;
}

template QVector<VoceSostituzione> DaMostrare(const QVector<VoceSostituzione> &);
template QVector<VoceEliminazione> DaMostrare(const QVector<VoceEliminazione> &);

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
        {QStringLiteral("Not"), QStringLiteral("Non è")},
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
