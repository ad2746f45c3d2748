#pragma once

// The classic word delimiters, shared by every scan and by Delimitatori.

#include <QChar>

namespace Ricerca {

// The 13 word delimiters: space, CR, LF, ( ) < > ! ? . ; : ,
constexpr bool Separatore(QChar c) noexcept
{
    switch (c.unicode()) {
    case ' ':
    case '\r':
    case '\n':
    case '(':
    case ')':
    case '<':
    case '>':
    case '!':
    case '?':
    case '.':
    case ';':
    case ':':
    case ',':
        return true;
    default:
        return false;
    }
}

} // namespace Ricerca
