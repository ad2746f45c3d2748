#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// One row of the substitution list: the word to find and the text put in its place.
struct VoceSostituzione
{
    QString Trova;
    QString Sostituisci;
    bool operator==(const VoceSostituzione &o) const
    {
        return Trova == o.Trova && Sostituisci == o.Sostituisci;
    }
};

// One row of the elimination list. `FlagIntera` is derived from `ParolaIntera`
// (FlagParolaIntera) on every write; readers take the flag from the text.
struct VoceEliminazione
{
    QString Elimina;
    QString ParolaIntera;
    qint16 FlagIntera = 0;
    bool operator==(const VoceEliminazione &o) const
    {
        return Elimina == o.Elimina && ParolaIntera == o.ParolaIntera && FlagIntera == o.FlagIntera;
    }
};

// The fields of an entry, whichever list it belongs to: both kinds hold a word
// and a second text (the replacement, or "Sì"/"No"); an elimination record
// also holds the whole-word flag, derived from that text.
template <typename Voce> struct CampiVoce;
template <> struct CampiVoce<VoceSostituzione>
{
    static constexpr QString VoceSostituzione::*Parola = &VoceSostituzione::Trova;
    static constexpr QString VoceSostituzione::*Secondo = &VoceSostituzione::Sostituisci;
    static constexpr bool ConFlag = false;
    // The field without which an editor does not show the record.
    static constexpr QString VoceSostituzione::*Mostrata = &VoceSostituzione::Sostituisci;
};
template <> struct CampiVoce<VoceEliminazione>
{
    static constexpr QString VoceEliminazione::*Parola = &VoceEliminazione::Elimina;
    static constexpr QString VoceEliminazione::*Secondo = &VoceEliminazione::ParolaIntera;
    static constexpr bool ConFlag = true;
    static constexpr QString VoceEliminazione::*Mostrata = &VoceEliminazione::Elimina;
};

// The word of an entry, whichever list it belongs to.
template <typename Voce> const QString &ParolaDi(const Voce &voce)
{
    return voce.*CampiVoce<Voce>::Parola;
}
template <typename Voce> const QString &SecondoDi(const Voce &voce)
{
    return voce.*CampiVoce<Voce>::Secondo;
}

// An entry with an empty word is never looked for: every reader of the lists
// (runs, engines, editors, the batch command) passes over it.
template <typename Voce> bool SenzaParola(const Voce &voce)
{
    return ParolaDi(voce).isEmpty();
}

inline const QString TestoSi = QStringLiteral("Sì");
inline const QString TestoNo = QStringLiteral("No");

// The whole-word flag of an elimination row: 1 exactly when its text is "Sì".
inline qint16 FlagParolaIntera(const QString &parolaIntera)
{
    return parolaIntera == TestoSi ? 1 : 0;
}

// The rows a list editor shows of a list's records, in file order: leading and
// trailing spaces are trimmed from both texts, and a record with no replacement
// (substitution list) or no word (elimination list) is not shown.
namespace RigheElenco {
template <typename Voce> QVector<Voce> DaMostrare(const QVector<Voce> &record);
// An elimination row as the editor holds it, its flag derived from its text.
VoceEliminazione Eliminazione(const QString &elimina, const QString &parolaIntera);
} // namespace RigheElenco

namespace Record {

constexpr int Lunghezza = 128;
// Text bytes one record can hold besides its length fields.
constexpr int CapacitaSostituzione = 124;
constexpr int CapacitaEliminazione = 122;

// 128 bytes: each string as a 16-bit little-endian length and its Windows-1252
// bytes, then zero filler. The caller checks Contenibile() first; a row that
// does not fit is cut so that the record never overflows.
template <typename Voce> QByteArray Codifica(const Voce &voce);
// The bytes of a whole list file: the rows' records one after the other.
template <typename Voce> QByteArray Unisci(const QVector<Voce> &righe)
{
    QByteArray dati;
    dati.reserve(righe.size() * Lunghezza);
    for (const Voce &voce : righe)
        dati.append(Codifica(voce));
    return dati;
}

// Reads one record; length fields that run past the record are cut at its end.
template <typename Voce> Voce Decodifica(QByteArrayView record);
inline VoceSostituzione DecodificaSostituzione(QByteArrayView record)
{
    return Decodifica<VoceSostituzione>(record);
}
inline VoceEliminazione DecodificaEliminazione(QByteArrayView record)
{
    return Decodifica<VoceEliminazione>(record);
}

// SenzaParola on the record's entry, read from the word's length field alone:
// a record is counted without decoding its texts.
bool SenzaParola(QByteArrayView record);

// Why a row cannot be stored, or an empty string when it can.
template <typename Voce> QString MotivoNonContenibile(const Voce &voce);

// The first row (from 1) that no record can hold, with the reason in `motivo`;
// 0 when every row fits.
template <typename Voce>
int PrimaRigaNonContenibile(const QVector<Voce> &righe, QString *motivo = nullptr)
{
    for (qsizetype i = 0; i < righe.size(); ++i)
        if (QString m = MotivoNonContenibile(righe[i]); !m.isEmpty()) {
            if (motivo) *motivo = m;
            return int(i + 1);
        }
    return 0;
}

} // namespace Record

// The factory lists that "&Predefiniti" puts in an editor.
QVector<VoceSostituzione> SostituzioniPredefinite();
QVector<VoceEliminazione> EliminazioniPredefinite();
