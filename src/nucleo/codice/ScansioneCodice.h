#pragma once

// Finds, in one linear pass, the stretches of a text that are comments,
// string literals or other non-code text of its language, so that the scans
// can leave the occurrences starting there alone. Indices are 0-based (an
// engine position p is index p - 1).
//
// BASIC: ' to the end of the line; Rem as a statement (first word of a line or
// after a ":" separator), whose text after the word is the comment; "..." with
// "" inside; a comment whose line ends with " _" goes on to the next line.
// Forms, user controls, designers and classes: everything before the first
// line that opens with "Attribute VB_Name" (nothing when there is no such line).
// C family: // (continued by a backslash at the line end), /* */, "..." and
// '...' with backslash escapes, and preprocessor lines after their directive
// word ("#endif" stays code, the rest of the line does not), continued by a
// backslash at the line end. That holds for the standard directives but
// "#if" and "#elif", whose condition is code, and "#define"
// (DirettivaProtetta); after "#define", and after any other word
// (a directive written in another language, as a draft has it), only the
// name that follows is kept (the macro's, the program's own identifier); the
// body is code, its comments and literals kept as anywhere else.
// Batch: "::" lines, the text after the command words rem, echo and title
// (the window's title is display text too), strings
// and the values of set. A command word stands at the start of a line or
// after a blank, "@", "(", "&" or "|". The rem text runs to the end of the
// line; the echo and title text to the end of the line or an unquoted, unescaped "&" or
// "|", or ")" inside a parenthesised block. Outside those texts "^" escapes
// the next character, a line end included, so "^"" opens nothing; a
// "%name%" expansion (to the next "%" on the line, inside a string too) is
// read as a whole, so the quote of "%x:"=%" opens or closes nothing ("%%",
// "%~", "%*" and "%" with a
// digit take two characters); otherwise a
// quote opens a string, quotes included, that the next quote on the same line
// closes, else the line's end (inside it "^" is a plain character, as cmd
// reads it). The value of "set name=value" (also "set /p name=value") runs
// from after the first "=" to where an echo text would end or an unquoted,
// unescaped "<" or ">"; "set "name=value"" is a string; a "set /a"
// expression is no value (the names it holds are kept elsewhere). The name
// part must reach its "=" without a line end, quote, caret, bracket, "&",
// "|", "<" or ">", else there is no value. Single-quoted text, like the
// command of "for /f ... in ('dir /b')", is code.
// Strings end at the end of their line; an unterminated comment runs to the
// end of the text. Keywords that open a comment (Rem, rem, echo, title, set) stay code.

#include "nucleo/codice/Linguaggio.h"

#include <QStringView>
#include <QVector>

struct Zona
{
    qsizetype inizio = 0; // first index inside
    qsizetype fine = 0;   // first index after
    bool operator==(const Zona &o) const { return inizio == o.inizio && fine == o.fine; }
};

// Sorted, disjoint, non-empty and non-adjacent stretches.
class ZoneProtette
{
public:
    ZoneProtette() = default;
    // `zone` must already be sorted, disjoint, non-empty and non-adjacent.
    explicit ZoneProtette(QVector<Zona> zone) : m_zone(std::move(zone)) {}
    // Comments and strings together with the code names kept intact; the
    // names are also kept apart, to be moved with the text rather than found
    // again (what makes a word a name may itself have been replaced).
    ZoneProtette(const QVector<Zona> &commenti, QVector<Zona> nomi)
        : m_zone(Unione(commenti, nomi)), m_commenti(commenti), m_nomi(std::move(nomi))
    {
    }
    const QVector<Zona> &Elenco() const { return m_zone; }
    const QVector<Zona> &Nomi() const { return m_nomi; }
    // The comments and strings alone, when the names were kept apart.
    const QVector<Zona> &Commenti() const { return m_commenti; }
    // Two sorted lists of stretches as one, overlapping or adjacent ones joined.
    static QVector<Zona> Unione(const QVector<Zona> &a, const QVector<Zona> &b);
    bool Vuote() const { return m_zone.isEmpty(); }
    // Binary search; a scan should prefer CursoreZone.
    bool Protetto(qsizetype indice) const noexcept;

private:
    QVector<Zona> m_zone;
    QVector<Zona> m_commenti;
    QVector<Zona> m_nomi;
};

// Answers "is this index protected?" in amortised constant time when the
// indices come in increasing or in decreasing order (any order is correct).
class CursoreZone
{
public:
    explicit CursoreZone(const ZoneProtette &zone) : m_zone(&zone.Elenco()) {}

    bool Protetto(qsizetype indice) noexcept
    {
        const QVector<Zona> &z = *m_zone;
        const qsizetype n = z.size();
        while (m_k < n && z[m_k].fine <= indice)
            ++m_k;
        while (m_k > 0 && z[m_k - 1].fine > indice)
            --m_k;
        return m_k < n && z[m_k].inizio <= indice;
    }

private:
    const QVector<Zona> *m_zone;
    qsizetype m_k = 0;
};

// How a C preprocessor line reads after its directive word: the rest kept
// whole (a path, a message, a name: the standard words but the three below,
// and a line with no word), a condition that is code ("if", "elif"), or a
// definition ("define", and any other word, as a draft's translated
// directive) whose first name is kept and whose body is code.
enum class LetturaDirettiva { RestoProtetto, Condizione, Definizione };
LetturaDirettiva LeggiDirettiva(QStringView parola);

ZoneProtette ScansionaCodice(QStringView testo, TipoTesto tipo);
