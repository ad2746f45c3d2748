#pragma once

// Which characters end a word for the whole-word rule. The classic set is the
// 13 separators (space, CR, LF, ( ) < > ! ? . ; : ,); the code set adds tab
// and = + - * / \ ^ & | ~ { } [ ] " ' so that keywords written against
// operators, braces and tab indentation count as whole words.
//
// Characters that belong to a name are never delimiters: letters, digits and
// "_" are in neither set, and in BASIC an "&" right after a name character is
// that name's type suffix (a& is one name), so it delimits only elsewhere.
//
// When code names are kept intact (both code options on), two more end a
// word: in batch "@" (the echo-off prefix before a command), and in BASIC a
// "$" right after a name character (the string suffix of Left$, Mid$...), so
// that a suffixed function matches its entry without the suffix. In batch,
// where "-" is no operator (a "set /a" expression is kept whole), a "-" right
// after a name character joins the two parts into one word (Find-Java). A word
// that does not begin with a name character (".Close", "->next", "#If") needs
// no delimiter before it: its first character is its own boundary, so an
// entry written with its operator matches right after a name ("rs.Close").
// Only then, since the plain word ("Close") is kept there as a member.

#include "nucleo/codice/Linguaggio.h"
#include "nucleo/codice/Separatore.h"

#include <QChar>
#include <QStringView>

class Delimitatori
{
public:
    // The classic 13.
    constexpr Delimitatori() = default;
    constexpr Delimitatori(bool codice, bool suffissiBasic, Linguaggio nomi = Linguaggio::Nessuno)
        : m_codice(codice), m_suffissiBasic(codice && suffissiBasic),
          m_chiocciola(codice && nomi == Linguaggio::Batch),
          m_dollaro(codice && nomi == Linguaggio::Basic),
          m_trattino(codice && nomi == Linguaggio::Batch),
          m_inizioProprio(codice && nomi != Linguaggio::Nessuno)
    {
    }
    // The rule for a text: the code set when `separatoriCodice` is on, with the
    // BASIC suffix exception for BASIC texts.
    // `nomi`: the code names are kept intact ("@" and "$" as above).
    static constexpr Delimitatori Per(bool separatoriCodice, Linguaggio linguaggio,
                                      bool nomi = false)
    {
        return Delimitatori(separatoriCodice, linguaggio == Linguaggio::Basic,
                            nomi ? linguaggio : Linguaggio::Nessuno);
    }

    constexpr bool Codice() const noexcept { return m_codice; }

    static constexpr bool Classico(QChar c) noexcept { return Ricerca::Separatore(c); }

    static constexpr bool DelCodice(QChar c) noexcept
    {
        switch (c.unicode()) {
        case '\t':
        case '=':
        case '+':
        case '-':
        case '*':
        case '/':
        case '\\':
        case '^':
        case '&':
        case '|':
        case '~':
        case '{':
        case '}':
        case '[':
        case ']':
        case '"':
        case '\'':
            return true;
        default:
            return Classico(c);
        }
    }

    // A letter, a digit or "_".
    static bool CarattereNome(QChar c) noexcept
    {
        const char16_t u = c.unicode();
        if (u < 128)
            return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                   u == '_';
        return c.isLetterOrNumber();
    }

    // Whether `c` may delimit a word, whatever stands before it.
    constexpr bool PuoDelimitare(QChar c) const noexcept
    {
        if (!m_codice) return Classico(c);
        return DelCodice(c) || (m_chiocciola && c == u'@') || (m_dollaro && c == u'$');
    }

    // Whether a word that begins with `primo` needs no delimiter before it.
    bool InizioProprio(QChar primo) const noexcept
    {
        return m_inizioProprio && !CarattereNome(primo);
    }

    // Whether `c` delimits a word, given the character just before it
    // (`precedente`; pass a space when `c` opens the text).
    bool Separatore(QChar c, QChar precedente) const noexcept
    {
        if (!m_codice) return Classico(c);
        if (m_chiocciola && c == u'@') return true;
        if (m_dollaro && c == u'$') return CarattereNome(precedente);
        if (m_trattino && c == u'-') return !CarattereNome(precedente);
        if (!DelCodice(c)) return false;
        return !(m_suffissiBasic && c == u'&' && CarattereNome(precedente));
    }

private:
    bool m_codice = false;
    bool m_suffissiBasic = false;
    bool m_chiocciola = false;    // batch "@"
    bool m_dollaro = false;       // BASIC "$" suffix
    bool m_trattino = false;      // batch "-" inside a name
    bool m_inizioProprio = false; // a word not beginning with a name character
};
