#include "ModificheTesto.h"

#include "ACapo.h"

#include <algorithm>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ModificheTesto {

namespace {

// The CRs in `testo`: the line breaks before a position, which a write far
// into a long text counts over megabytes.
qsizetype ContaCr(QStringView testo)
{
    const char16_t *t = reinterpret_cast<const char16_t *>(testo.utf16());
    const qsizetype n = testo.size();
    qsizetype i = 0, conta = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi16('\r');
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + i));
        // Two mask bits per matching unit.
        conta += __builtin_popcount(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(v, cr)))) / 2;
    }
#endif
    for (; i < n; ++i)
        conta += t[i] == u'\r';
    return conta;
}

// One edit per line of `vecchio` that differs from the same line of `nuovo`,
// which has as many line breaks; `pos` is where `vecchio` starts.
void PerRiga(QList<Modifica> &modifiche, qsizetype pos, QStringView vecchio, QStringView nuovo)
{
    qsizetype ia = 0, ib = 0;
    for (;;) {
        qsizetype ea = vecchio.indexOf(u'\r', ia);
        qsizetype eb = nuovo.indexOf(u'\r', ib);
        if (ea < 0) ea = vecchio.size();
        if (eb < 0) eb = nuovo.size();
        const QStringView rigaA = vecchio.sliced(ia, ea - ia);
        const QStringView rigaB = nuovo.sliced(ib, eb - ib);
        if (rigaA != rigaB) {
            const qsizetype comune = std::min(rigaA.size(), rigaB.size());
            const qsizetype p =
                std::mismatch(rigaA.begin(), rigaA.begin() + comune, rigaB.begin()).first -
                rigaA.begin();
            const qsizetype s =
                std::mismatch(rigaA.rbegin(), rigaA.rbegin() + (comune - p), rigaB.rbegin()).first -
                rigaA.rbegin();
            modifiche.append(
                {pos + p, rigaA.size() - s - p, rigaB.sliced(p, rigaB.size() - s - p).toString()});
        }
        if (ea == vecchio.size()) return;
        pos += rigaB.size() + 1; // the line as written now, and its break
        ia = ea + 2;
        ib = eb + 2;
    }
}

} // namespace

QList<Modifica> Calcola(QStringView vecchio, QStringView nuovo)
{
    const qsizetype la = vecchio.size(), lb = nuovo.size();
    const qsizetype comune = std::min(la, lb);
    const qsizetype inizio =
        std::mismatch(vecchio.begin(), vecchio.begin() + comune, nuovo.begin()).first -
        vecchio.begin();
    const auto coda =
        std::mismatch(vecchio.rbegin(), vecchio.rbegin() + (comune - inizio), nuovo.rbegin());
    const qsizetype fineA = la - (coda.first - vecchio.rbegin());
    const qsizetype fineB = lb - (coda.second - nuovo.rbegin());
    QList<Modifica> modifiche;
    if (inizio == fineA && inizio == fineB) return modifiche;
    // Both texts pair every CR with an LF, so a CR matched in both is followed
    // by an LF in both: the changed span never starts or ends inside a pair.
    Q_ASSERT(inizio == 0 || vecchio[inizio - 1] != u'\r');
    Q_ASSERT(fineA == la || fineA == 0 || vecchio[fineA - 1] != u'\r');
    const QStringView spanA = vecchio.sliced(inizio, fineA - inizio);
    const QStringView spanB = nuovo.sliced(inizio, fineB - inizio);
    const qsizetype pos = inizio - ContaCr(vecchio.first(inizio));
    const qsizetype crA = ContaCr(spanA);
    if (crA == ContaCr(spanB))
        PerRiga(modifiche, pos, spanA, spanB);
    else
        modifiche.append(
            {pos, spanA.size() - crA, ACapo::Normalizza(spanB.toString(), ACapo::Forma::Lf)});
    return modifiche;
}

QList<Segno> Segni(const QList<Modifica> &modifiche, QStringView nuovo, qsizetype massimo)
{
    const auto diParola = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    QList<Segno> segni;
    // Each edit's text is at its position in the final text too: the edits
    // come in order and a later one never moves an earlier one. Positions
    // count a line break once, offsets of `nuovo` twice; one walk converts
    // them all, as they only grow.
    qsizetype posizione = 0, offset = 0;
    const auto avanza = [&](qsizetype verso) {
        while (posizione < verso && offset < nuovo.size()) {
            offset += nuovo[offset] == u'\r' && offset + 1 < nuovo.size() ? 2 : 1;
            ++posizione;
        }
        return offset;
    };
    for (const Modifica &m : modifiche) {
        if (segni.size() >= massimo) break;
        if (m.testo.isEmpty()) continue;
        qsizetype da = avanza(m.inizio);
        qsizetype a = avanza(m.inizio + m.testo.size());
        while (da > 0 && diParola(nuovo[da - 1]))
            --da;
        while (a < nuovo.size() && diParola(nuovo[a]))
            ++a;
        segni.append({da, a - da});
    }
    return segni;
}

} // namespace ModificheTesto
