#pragma once

// The first step of every scan: jumping to the next position whose character
// may begin the word, several characters at a time.

#include <QString>
#include <QStringView>

namespace Ricerca {

class FiltroPrimo
{
public:
    // `ignoraMaiuscole`: a position may begin the word when its character
    // equals the word's first one, or has the same upper case form.
    FiltroPrimo(QStringView parola, bool ignoraMaiuscole);

    // First index in [da, fine) whose character may begin the word; `fine`
    // when there is none (and `da` when da >= fine). An empty word may begin
    // anywhere.
    qsizetype Prossimo(QStringView testo, qsizetype da, qsizetype fine) const noexcept;

private:
    char16_t m_valori[4] = {0, 0, 0, 0}; // exact units that may begin the word
    bool m_nonAscii = false;             // any unit >= 0x80 may too (checked by the caller)
    bool m_ovunque = false;
};

} // namespace Ricerca
