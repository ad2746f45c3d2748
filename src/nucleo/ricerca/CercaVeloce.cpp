#include "CercaVeloce.h"

#include "nucleo/ricerca/Ricerca.h"

#include <array>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Ricerca {

namespace {

// For every ASCII unit, the units of 0x80 and above whose upper case is that
// unit ("ı" for "I", "ſ" for "S"). Computed once for the whole process.
const std::array<std::vector<char16_t>, 128> &AntecedentiAscii()
{
    static const std::array<std::vector<char16_t>, 128> tabella = [] {
        std::array<std::vector<char16_t>, 128> t;
        for (char32_t u = 0x80; u <= 0xFFFF; ++u) {
            const QChar m = Maiuscola(QChar(char16_t(u)));
            if (m.unicode() < 128) t[m.unicode()].push_back(char16_t(u));
        }
        return t;
    }();
    return tabella;
}

} // namespace

FiltroPrimo::FiltroPrimo(QStringView parola, bool ignoraMaiuscole)
{
    if (parola.isEmpty()) {
        m_ovunque = true;
        return;
    }
    const char16_t primo = parola.front().unicode();
    std::vector<char16_t> valori{primo};
    if (ignoraMaiuscole) {
        const char16_t su = Maiuscola(QChar(primo)).unicode();
        if (su >= 128) {
            // Every unit with that upper case is non-ASCII, but for a plain
            // ASCII first unit of the word itself.
            m_nonAscii = true;
        } else {
            valori.push_back(su);
            if (su >= 'A' && su <= 'Z') valori.push_back(char16_t(su + 32));
            for (char16_t u : AntecedentiAscii()[su])
                valori.push_back(u);
        }
    }
    int k = 0;
    for (char16_t v : valori) {
        bool presente = false;
        for (int j = 0; j < k; ++j)
            presente = presente || m_valori[j] == v;
        if (presente) continue;
        if (k == 4) {
            m_nonAscii = true; // more than four: let the caller test the rare ones
            break;
        }
        m_valori[k++] = v;
    }
    for (int j = k; j < 4; ++j)
        m_valori[j] = m_valori[0];
}

qsizetype FiltroPrimo::Prossimo(QStringView testo, qsizetype da, qsizetype fine) const noexcept
{
    if (da >= fine || m_ovunque) return da;
    fine = std::min(fine, testo.size());
    const char16_t *t = reinterpret_cast<const char16_t *>(testo.utf16());
    qsizetype i = da;
#if defined(__SSE2__)
    const __m128i a = _mm_set1_epi16(short(m_valori[0])), b = _mm_set1_epi16(short(m_valori[1])),
                  c = _mm_set1_epi16(short(m_valori[2])), d = _mm_set1_epi16(short(m_valori[3]));
    const __m128i alto = _mm_set1_epi16(short(0xFF80)), zero = _mm_setzero_si128();
    const __m128i tutti = _mm_cmpeq_epi16(zero, zero);
    const __m128i nonAscii = m_nonAscii ? tutti : zero;
    for (; i + 8 <= fine; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + i));
        __m128i m = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, a), _mm_cmpeq_epi16(v, b)),
                                 _mm_or_si128(_mm_cmpeq_epi16(v, c), _mm_cmpeq_epi16(v, d)));
        const __m128i sopra =
            _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(v, alto), zero), tutti);
        m = _mm_or_si128(m, _mm_and_si128(sopra, nonAscii));
        const int maschera = _mm_movemask_epi8(m);
        if (maschera) return i + (__builtin_ctz(unsigned(maschera)) >> 1);
    }
#endif
    for (; i < fine; ++i) {
        const char16_t u = t[i];
        if (u == m_valori[0] || u == m_valori[1] || u == m_valori[2] || u == m_valori[3] ||
            (m_nonAscii && u >= 0x80))
            return i;
    }
    return fine;
}

} // namespace Ricerca
