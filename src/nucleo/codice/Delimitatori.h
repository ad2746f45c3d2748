#pragma once

// Which characters end a word for the whole-word rule. The classic set is the
// 13 separators (space, CR, LF, ( ) < > ! ? . ; : ,); the code set adds tab
// and = + - * / \ ^ & | ~ { } [ ] " ' so that keywords written against
// operators, braces and tab indentation count as whole words.
//
// Characters that belong to a name are never delimiters: letters, digits and
// "_" are in neither set, and in BASIC an "&" right after a name character is
// that name's type suffix (a& is one name), so it delimits only elsewhere.

#include "nucleo/codice/Linguaggio.h"
#include "nucleo/codice/Separatore.h"

#include <QChar>
#include <QStringView>

class Delimitatori
{
public:
    // The classic 13.
    constexpr Delimitatori() = default;
    constexpr Delimitatori(bool codice, bool suffissiBasic)
        : m_codice(codice), m_suffissiBasic(codice && suffissiBasic)
    {
    }
    // The rule for a text: the code set when `separatoriCodice` is on, with the
    // BASIC suffix exception for BASIC texts.
    static constexpr Delimitatori Per(bool separatoriCodice, Linguaggio linguaggio)
    {
        return Delimitatori(separatoriCodice, linguaggio == Linguaggio::Basic);
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

    // Whether `c` delimits a word, given the character just before it
    // (`precedente`; pass a space when `c` opens the text).
    bool Separatore(QChar c, QChar precedente) const noexcept
    {
        if (!m_codice) return Classico(c);
        if (!DelCodice(c)) return false;
        return !(m_suffissiBasic && c == u'&' && CarattereNome(precedente));
    }

private:
    bool m_codice = false;
    bool m_suffissiBasic = false;
};
