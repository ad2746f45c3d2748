#include "ModificheTesto.h"

#include "ACapo.h"
#include "Confronto.h"

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

QList<Segno> Segni(const QList<Modifica> &modifiche, QStringView vecchio, QStringView nuovo,
                   qsizetype massimo)
{
    const auto diParola = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    // Converts growing positions of a text (a line break counts once) to its
    // CR LF offsets in one walk.
    struct Cammino
    {
        QStringView testo;
        qsizetype posizione = 0, offset = 0;
        qsizetype operator()(qsizetype verso)
        {
            while (posizione < verso && offset < testo.size()) {
                offset += testo[offset] == u'\r' && offset + 1 < testo.size() ? 2 : 1;
                ++posizione;
            }
            return offset;
        }
    } inVecchio{vecchio}, inNuovo{nuovo};
    QList<Segno> segni;
    // Each edit's text is at its position in the final text too: the edits
    // come in order and a later one never moves an earlier one. In the old
    // text, the earlier edits moved it by `scarto`.
    qsizetype scarto = 0;
    for (const Modifica &m : modifiche) {
        if (segni.size() >= massimo) break;
        const qsizetype vecchioDa = inVecchio(m.inizio - scarto);
        const qsizetype vecchioA = inVecchio(m.inizio - scarto + m.lunghezza);
        scarto += m.testo.size() - m.lunghezza;
        if (m.testo.isEmpty()) continue;
        const qsizetype da = inNuovo(m.inizio);
        const qsizetype a = inNuovo(m.inizio + m.testo.size());
        const QString prima = vecchio.sliced(vecchioDa, vecchioA - vecchioDa).toString();
        const QString dopo = nuovo.sliced(da, a - da).toString();
        QList<Confronto::Tratto> pezzi;
        if (prima.contains(u'\r') || dopo.contains(u'\r')) {
            pezzi.append({0, dopo.size()});
        } else {
            QList<Confronto::Tratto> tolti;
            Confronto::SegniParole(prima, dopo, &tolti, &pezzi);
        }
        for (const Confronto::Tratto &t : pezzi) {
            if (segni.size() >= massimo) break;
            qsizetype s = da + t.Inizio, e = s + t.Lunghezza;
            // A word the edit changed only in part is marked whole.
            while (s > 0 && diParola(nuovo[s]) && diParola(nuovo[s - 1]))
                --s;
            while (e < nuovo.size() && diParola(nuovo[e - 1]) && diParola(nuovo[e]))
                ++e;
            if (!segni.isEmpty() && s <= segni.last().first + segni.last().second) {
                segni.last().second = std::max(segni.last().second, e - segni.last().first);
                continue;
            }
            segni.append({s, e - s});
        }
    }
    return segni;
}

} // namespace ModificheTesto
