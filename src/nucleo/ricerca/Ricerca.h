#pragma once

// The text rules and scans shared by find, replace-all and the pseudocoding run.
// Positions given to and taken from the outside are 1-based, as the engines
// count them; editor offsets are position - 1.

#include "nucleo/codice/Delimitatori.h"
#include "nucleo/codice/Separatore.h"

#include <QString>
#include <QStringView>
#include <QVector>
#include <functional>

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

    // Find engine: Maiuscole 0 = case-insensitive, anything else = exact;
    // Intere 1 = whole words, 0 = any occurrence, anything else = no match.
    static Confronto PerTrova(qint16 Maiuscole, qint16 Intere);
    // Replace scans: Maiuscole 1 = exact, 0 = case-insensitive; Intere 1 or 0;
    // any other value of either replaces nothing.
    static Confronto PerSostituzione(qint16 Maiuscole, qint16 Intere);
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
        if (m_confronto.soloParoleIntere &&
            !(m_delimitatori.Codice() ? Delimitatori::DelCodice(prima) : Separatore(prima)))
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

private:
    QString m_parola;
    QString m_maiuscola;
    Confronto m_confronto;
    Delimitatori m_delimitatori;
};

// What CercaParola needs of the editor.
class EditorRicerca
{
public:
    virtual ~EditorRicerca() = default;
    virtual const QString &Testo() = 0;
    virtual qsizetype SelLength() = 0;
    virtual void AzzeraSelLength() = 0;
    virtual void Seleziona(qsizetype offset, qsizetype lunghezza) = 0;
};

enum class Domanda { FineTesto, InizioTesto };

// Finds the next occurrence of `parola` from the remembered `PosRicerca` and
// selects it in the editor. `chiedi` answers the wrap questions (true = Yes);
// it is only called in interactive mode (`Modo` empty).
bool CercaParola(EditorRicerca &editor, qint32 &PosRicerca, const QString &parola,
                 const QString &Modo, qint16 Maiuscole, qint16 Intere, qint16 Direzione,
                 const std::function<bool(Domanda)> &chiedi);

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
// every `passo` positions with the current 1-based position and the current
// length of the text up to the end of the range; when `avanzamento` returns
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
// caret's offset (a selection counts by its start alone). `Direzione` as the
// find dialog gives it: 1 "Giù" from the character before the caret to the
// end (the whole text with the caret at either end); 0 "Su" from the start to
// before the character before the caret (before the last character with the
// caret on the first two positions); anything else the whole text.
struct Intervallo
{
    qsizetype inizio = 0;
    qsizetype fine = 0;
};
Intervallo IntervalloSostituzione(qint16 Direzione, qsizetype cursore, qsizetype lunghezza);

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
