#pragma once

// The text rules and scans shared by find, replace-all and the pseudocoding run.
// Every position given to and taken from these functions is a 0-based index
// into the text, as the editor counts its offsets.

#include "nucleo/codice/Delimitatori.h"
#include "nucleo/codice/Separatore.h"

#include <QString>
#include <QStringView>
#include <QVector>
#include <functional>
#include <optional>

class ZoneProtette;

namespace Ricerca {

// Upper case one UTF-16 unit at a time, never changing the length ("ß" stays "ß").
QChar MaiuscolaNonAscii(QChar c) noexcept;
inline QChar Maiuscola(QChar c) noexcept
{
    const char16_t u = c.unicode();
    if (u < 128) return (u >= 'a' && u <= 'z') ? QChar(char16_t(u - 32)) : c;
    return MaiuscolaNonAscii(c);
}
QString Maiuscolo(QStringView testo);

// How a candidate is compared with the word.
struct Confronto
{
    bool valido = true; // false: nothing ever matches
    bool ignoraMaiuscole = true;
    bool soloParoleIntere = true;

    // The comparison of the replacing scans (the run, the cleaning, the list engine).
    static Confronto PerSostituzione(bool maiuscoleEsatte, bool paroleIntere)
    {
        return {true, !maiuscoleEsatte, paroleIntere};
    }
};

// The word being looked for, with its upper-case form computed once.
class Parola
{
public:
    // `delimitatori`: which characters end a word for the whole-word rule.
    Parola(const QString &parola, Confronto confronto, Delimitatori delimitatori = {});
    qsizetype Lunghezza() const { return m_parola.size(); }

    // Cheap early rejection from the character before and the first
    // character of a candidate; false means "test it fully".
    bool Escluso(QChar prima, QChar primo) const noexcept
    {
        if (m_parola.isEmpty()) return false;
        if (m_confronto.soloParoleIntere && !m_inizioProprio &&
            !m_delimitatori.PuoDelimitare(prima))
            return true;
        return primo != m_parola.front() &&
               (!m_confronto.ignoraMaiuscole || Maiuscola(primo) != m_maiuscola.front());
    }

    // The L characters of `testo` from 0-based index `i` equal the word
    // (the caller guarantees they exist).
    bool UgualeA(QStringView testo, qsizetype i) const noexcept;

    // Whole candidate test; `prima` is the character before (a space at the
    // start) and `primaPrima` the one before that (a space when none), `dopo`
    // the character after, or nullptr when the text ends there (the end of
    // the text is a delimiter).
    bool Corrisponde(QStringView testo, qsizetype i, QChar prima, QChar primaPrima,
                     const QChar *dopo) const noexcept;
    // The same with the neighbours taken from `testo` (spaces before its
    // start, nothing after its end).
    bool CorrispondeNelTesto(QStringView testo, qsizetype i) const noexcept;

    // Which side of the candidate at `i` lacks the delimiter the whole-word
    // rule wants there, the first one found (neighbours as for
    // CorrispondeNelTesto); the rule alone, whatever the characters.
    enum class Lato { Nessuno, Prima, Dopo };
    Lato SenzaDelimitatore(QStringView testo, qsizetype i) const noexcept;

private:
    // `ultimo`: the candidate's last character (read only with the code set).
    Lato SenzaDelimitatore(QChar prima, QChar primaPrima, QChar ultimo,
                           const QChar *dopo) const noexcept;

    QString m_parola;
    QString m_maiuscola;
    Confronto m_confronto;
    Delimitatori m_delimitatori;
    bool m_inizioProprio = false; // no delimiter is needed before the word
};

// The find dialog's "Direzione" list, in its order. A value outside these
// finds nothing and replaces in the whole text.
enum class Direzione : qint16 { Su = 0, Giu = 1, Tutte = 2 };

// What a find or a replace-all compares, and which way it goes.
struct OpzioniRicerca
{
    bool maiuscoleEsatte = false; // "&Maiuscole/minuscole"
    bool paroleIntere = false;    // "Solo &parole intere"
    Direzione direzione = Direzione::Tutte;
    Delimitatori delimitatori = {}; // which characters end a whole word

    Confronto ComeConfronto() const { return {true, !maiuscoleEsatte, paroleIntere}; }
};

// A stretch of the text.
struct Occorrenza
{
    qsizetype inizio = 0;
    qsizetype lunghezza = 0;
    bool operator==(const Occorrenza &o) const
    {
        return inizio == o.inizio && lunghezza == o.lunghezza;
    }
};

// Where the next find goes on from: the index of the occurrence last found,
// or where the last scan stopped; a fresh one stands before the text.
class PosizioneRicerca
{
public:
    PosizioneRicerca() = default;
    // On the occurrence that starts at `indice`.
    static PosizioneRicerca Su(qsizetype indice);
    // -1 before the text; the text's length or more past its end.
    qsizetype Indice() const { return qsizetype(m_numero) - 1; }
    bool operator==(const PosizioneRicerca &o) const { return m_numero == o.m_numero; }

private:
    friend struct Cercatore;
    qint32 m_numero = 0; // the index + 1, kept within 32 bits
};

enum class Domanda { FineTesto, InizioTesto };

// What one search did.
struct PassoRicerca
{
    // The search went round: the selection is dropped before anything else.
    bool ricomincia = false;
    // The occurrence to select.
    std::optional<Occorrenza> trovata;
    // The end of the text (its start, backward) was reached: the caller may
    // ask whether to go round, and if so search again.
    std::optional<Domanda> limite;
};

// One search of `parola` from `posizione` in `testo`, past the current
// selection of `lunghezzaSelezione` characters (before it, backward);
// `posizione` moves to the occurrence found or to where the scan stopped.
PassoRicerca Cerca(QStringView testo, qsizetype lunghezzaSelezione, const Parola &parola,
                   Direzione direzione, PosizioneRicerca &posizione);
PassoRicerca Cerca(QStringView testo, qsizetype lunghezzaSelezione, const QString &parola,
                   const OpzioniRicerca &opzioni, PosizioneRicerca &posizione);

// Positions a scan examines between two progress reports; a window that shows
// the progress and yields to the user asks for reports more often.
constexpr qsizetype PassoAvanzamento = 4096;
constexpr qsizetype PassoAvanzamentoFinestra = 1024;

// Replaces every occurrence that lies between index `inizio` and index `fine`
// (exclusive; -1 = the end of the text) in one pass; the text outside that
// range is kept as it is, and the inserted text is never scanned again. An
// occurrence may end on the last character of the range; whether it is a
// whole word is decided by the character after it in `testo` (none at the end
// of the text, which counts as a delimiter). The scan reports its progress
// every `passo` positions with how far it got (the count of characters of the
// working text up to and including the one examined) and the current length
// of the text up to the end of the range; when `avanzamento` returns
// false it stops there.
using Avanzamento = std::function<bool(qsizetype posizione, qsizetype lunghezza)>;

struct EsitoSostituzione
{
    QString testo; // the text as far as the scan got, the rest unchanged
    qsizetype sostituzioni = 0;
    bool interrotto = false;
    // The 0-based index in the text given of each occurrence replaced, kept
    // only by the scan that reads the text as code with protected stretches.
    QVector<qsizetype> posizioni;
};

EsitoSostituzione SostituisciOccorrenze(QStringView testo, const QString &parola,
                                        const QString &sostituto, Confronto confronto,
                                        const Avanzamento &avanzamento = {},
                                        qsizetype passo = PassoAvanzamento, qsizetype inizio = 0,
                                        qsizetype fine = -1);

// The part of a text of `lunghezza` characters that a replace-all works on,
// as the indices [inizio, fine) SostituisciOccorrenze takes. `cursore` is the
// caret's offset (a selection counts by its start alone). "Giù" from the
// character before the caret to the end (the whole text with the caret at
// either end); "Su" from the start to before the character before the caret
// (before the last character with the caret on the first two positions);
// "Tutte" (or anything else) the whole text.
struct Intervallo
{
    qsizetype inizio = 0;
    qsizetype fine = 0;
};
Intervallo IntervalloSostituzione(Direzione direzione, qsizetype cursore, qsizetype lunghezza);

// The same scan reading the text as code: whole words end at `delimitatori`,
// and an occurrence that starts inside one of `zone` (stretches of `testo`,
// nullptr for none) is left as it is. With stretches, the result lists where
// the occurrences replaced were.
EsitoSostituzione SostituisciOccorrenze(QStringView testo, const QString &parola,
                                        const QString &sostituto, Confronto confronto,
                                        Delimitatori delimitatori, const ZoneProtette *zone,
                                        const Avanzamento &avanzamento = {},
                                        qsizetype passo = PassoAvanzamento, qsizetype inizio = 0,
                                        qsizetype fine = -1);

} // namespace Ricerca
