#include "ACapo.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ACapo {

namespace {

// Whether the unit at `i` changes when written with CR LF breaks: a CR without
// a LF after it, a LF without a CR before it, or a separator.
inline bool DaCambiareCrLf(const char16_t *t, qsizetype n, qsizetype i)
{
    const char16_t u = t[i];
    if (u == u'\r') return i + 1 == n || t[i + 1] != u'\n';
    if (u == u'\n') return i == 0 || t[i - 1] != u'\r';
    return Separatore(u);
}

// Index of the first unit that changes when written with CR LF breaks; the
// length of the text when there is none.
qsizetype PrimoDaCambiareCrLf(const char16_t *t, qsizetype n)
{
    if (n == 0) return 0;
    if (DaCambiareCrLf(t, n, 0)) return 0;
    qsizetype i = 1;
#if defined(__SSE2__)
    // Sixteen units at a time: the text is already CR LF when every LF has a
    // CR just before it and every CR a LF just after it, that is when the LF
    // positions are the CR positions moved on by one; the separators are all
    // above U+2028.
    const __m128i cr = _mm_set1_epi16('\r'), lf = _mm_set1_epi16('\n');
    const __m128i soglia = _mm_set1_epi16(short(0x2028));
    unsigned riporto = t[0] == u'\r'; // a CR at the unit before the block
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + i + 8));
        const unsigned crs = unsigned(
            _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(a, cr), _mm_cmpeq_epi16(b, cr))));
        const unsigned lfs = unsigned(
            _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(a, lf), _mm_cmpeq_epi16(b, lf))));
        const __m128i alti = _mm_or_si128(_mm_subs_epu16(a, soglia), _mm_subs_epu16(b, soglia));
        const bool sospetto =
            (((crs << 1) | riporto) & 0xFFFF) != lfs ||
            _mm_movemask_epi8(_mm_cmpeq_epi16(alti, _mm_setzero_si128())) != 0xFFFF;
        riporto = crs >> 15;
        // Something may need a change: the block unit by unit, from the unit
        // before it (a CR there whose LF is missing here).
        if (sospetto)
            for (qsizetype k = i - 1; k < i + 16; ++k)
                if (DaCambiareCrLf(t, n, k)) return k;
    }
#endif
    // The rest, from the unit before it (a CR there may lack its LF).
    for (i = i - 1; i < n; ++i)
        if (DaCambiareCrLf(t, n, i)) return i;
    return n;
}

// The same for LF breaks: every CR and every separator changes.
qsizetype PrimoDaCambiareLf(const char16_t *t, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i)
        if (t[i] == u'\r' || Separatore(t[i])) return i;
    return n;
}

} // namespace

QString Normalizza(const QString &testo, Forma forma)
{
    const qsizetype n = testo.size();
    if (n == 0) return testo; // an empty text may have no buffer at all
    const char16_t *t = reinterpret_cast<const char16_t *>(testo.utf16());
    qsizetype i = forma == Forma::CrLf ? PrimoDaCambiareCrLf(t, n) : PrimoDaCambiareLf(t, n);
    if (i == n) return testo;
    const QStringView aCapo = forma == Forma::CrLf ? QStringView(u"\r\n") : QStringView(u"\n");
    QString risultato;
    risultato.reserve(n + (forma == Forma::CrLf ? n / 16 + 2 : 0));
    risultato.append(QStringView(testo).first(i));
    for (; i < n; ++i) {
        const char16_t u = t[i];
        if (!Interruzione(u)) {
            risultato.append(QChar(u));
            continue;
        }
        if (u == u'\r' && i + 1 < n && t[i + 1] == u'\n') ++i;
        risultato.append(aCapo);
    }
    return risultato;
}

QByteArray NormalizzaByte(QByteArrayView testo, bool dopoCr)
{
    QByteArray risultato;
    risultato.reserve(testo.size() + testo.size() / 16 + 2);
    const char *t = testo.data();
    const qsizetype n = testo.size();
    qsizetype i = 0;
    if (dopoCr) {
        risultato.append('\n');
        i = n > 0 && t[0] == '\n';
    }
    for (; i < n; ++i) {
        if (t[i] != '\r' && t[i] != '\n') {
            risultato.append(t[i]);
            continue;
        }
        if (t[i] == '\r' && i + 1 < n && t[i + 1] == '\n') ++i;
        risultato.append("\r\n", 2);
    }
    return risultato;
}

} // namespace ACapo
