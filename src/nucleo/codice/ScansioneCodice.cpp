#include "ScansioneCodice.h"

#include "nucleo/codice/Delimitatori.h"

#include <algorithm>
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

bool ZoneProtette::Protetto(qsizetype indice) const noexcept
{
    const auto it = std::upper_bound(m_zone.cbegin(), m_zone.cend(), indice,
                                     [](qsizetype i, const Zona &z) { return i < z.fine; });
    return it != m_zone.cend() && it->inizio <= indice;
}

QVector<Zona> ZoneProtette::Unione(const QVector<Zona> &a, const QVector<Zona> &b)
{
    if (b.isEmpty()) return a;
    if (a.isEmpty()) return b;
    QVector<Zona> unite;
    unite.reserve(a.size() + b.size());
    qsizetype i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        const Zona z =
            (j == b.size() || (i < a.size() && a[i].inizio < b[j].inizio)) ? a[i++] : b[j++];
        if (!unite.isEmpty() && z.inizio <= unite.back().fine)
            unite.back().fine = std::max(unite.back().fine, z.fine);
        else
            unite.append(z);
    }
    return unite;
}

namespace {

// Most of a text is none of the few characters a scanner stops at: they are
// looked for 16 units at a time.

#if defined(__SSE2__)
// One bit for each of the 16 units at `t` that is one of `cerca`.
template <std::size_t K>
inline unsigned Maschera16(const char16_t *t, const __m128i (&cerca)[K]) noexcept
{
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + 8));
    __m128i ma = _mm_cmpeq_epi16(a, cerca[0]), mb = _mm_cmpeq_epi16(b, cerca[0]);
    for (std::size_t k = 1; k < K; ++k) {
        ma = _mm_or_si128(ma, _mm_cmpeq_epi16(a, cerca[k]));
        mb = _mm_or_si128(mb, _mm_cmpeq_epi16(b, cerca[k]));
    }
    // The 16-bit masks packed into bytes, one bit per byte.
    return unsigned(_mm_movemask_epi8(_mm_packs_epi16(ma, mb)));
}
#endif

// Index of the first unit in [i, n) that is one of `valori`, or n.
template <std::size_t K>
qsizetype Prossimo(const char16_t *t, qsizetype i, qsizetype n,
                   const std::array<char16_t, K> &valori) noexcept
{
#if defined(__SSE2__)
    __m128i cerca[K];
    for (std::size_t k = 0; k < K; ++k)
        cerca[k] = _mm_set1_epi16(short(valori[k]));
    for (; i + 16 <= n; i += 16)
        if (const unsigned m = Maschera16(t + i, cerca)) return i + __builtin_ctz(m);
#endif
    for (; i < n; ++i)
        for (char16_t v : valori)
            if (t[i] == v) return i;
    return n;
}

// Where a scan stops, for a scan that stops again and again, often a few
// units apart: the stops of a window of 64 units are found at once and kept.
// `Segni` tells the stops among 16 units (reading up to Segni::Oltre units
// past them) and whether one unit is a stop.
template <typename Segni> class Fermate
{
public:
    Fermate(const char16_t *t, qsizetype n, Segni segni) : m_t(t), m_n(n), m_segni(segni) {}

    // Index of the first stop at or after `i`, or n.
    qsizetype Prossima(qsizetype i) noexcept
    {
        for (;;) {
            if (i >= m_base && i - m_base < 64) {
                if (const quint64 m = m_bit >> (i - m_base)) return i + __builtin_ctzll(m);
                i = m_base + 64;
            }
            if (i >= m_n) return m_n;
            Carica(i);
        }
    }

private:
    const char16_t *m_t;
    qsizetype m_n;
    Segni m_segni;
    qsizetype m_base = -64; // the window: units [m_base, m_base + 64)
    quint64 m_bit = 0;      // bit k: unit m_base + k is a stop

    void Carica(qsizetype i) noexcept
    {
        m_base = i;
        m_bit = 0;
#if defined(__SSE2__)
        if (i + 64 + Segni::Oltre <= m_n) {
            for (int b = 0; b < 4; ++b)
                m_bit |= quint64(m_segni.Sedici(m_t + i + 16 * b)) << (16 * b);
            return;
        }
#endif
        for (qsizetype k = 0; k < 64 && i + k < m_n; ++k)
            if (m_segni.Uno(m_t, i + k, m_n)) m_bit |= quint64(1) << k;
    }
};

// Stops at any of K units.
template <std::size_t K> class Unita
{
public:
    static constexpr qsizetype Oltre = 0;
    explicit Unita(const std::array<char16_t, K> &valori) : m_valori(valori)
    {
#if defined(__SSE2__)
        for (std::size_t k = 0; k < K; ++k)
            m_cerca[k] = _mm_set1_epi16(short(valori[k]));
#endif
    }
#if defined(__SSE2__)
    unsigned Sedici(const char16_t *t) const noexcept
    {
        return Maschera16(t, m_cerca);
    }
#endif
    bool Uno(const char16_t *t, qsizetype i, qsizetype) const noexcept
    {
        for (char16_t v : m_valori)
            if (t[i] == v) return true;
        return false;
    }

private:
    std::array<char16_t, K> m_valori;
#if defined(__SSE2__)
    __m128i m_cerca[K];
#endif
};

// What can open a zone in BASIC: a quote, an apostrophe, and "rem" in any case.
struct SegniBasic
{
    static constexpr qsizetype Oltre = 2;
#if defined(__SSE2__)
    static unsigned Sedici(const char16_t *t) noexcept
    {
        // Or-ing 0x20 turns exactly the two cases of an ASCII letter into the small one.
        const __m128i piccola = _mm_set1_epi16(0x20);
        const auto lettera = [&](int k, char16_t piccolaCercata) {
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + k));
            return _mm_cmpeq_epi16(_mm_or_si128(c, piccola), _mm_set1_epi16(short(piccolaCercata)));
        };
        const auto segni = [&](int k) {
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + k));
            const __m128i rem = _mm_and_si128(_mm_and_si128(lettera(k, u'r'), lettera(k + 1, u'e')),
                                              lettera(k + 2, u'm'));
            return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(c, _mm_set1_epi16(u'"')),
                                             _mm_cmpeq_epi16(c, _mm_set1_epi16(u'\''))),
                                rem);
        };
        return unsigned(_mm_movemask_epi8(_mm_packs_epi16(segni(0), segni(8))));
    }
#endif
    static bool Uno(const char16_t *t, qsizetype i, qsizetype n) noexcept
    {
        const char16_t c = t[i];
        if (c == u'"' || c == u'\'') return true;
        return i + 2 < n && (c | 0x20) == u'r' && (t[i + 1] | 0x20) == u'e' &&
               (t[i + 2] | 0x20) == u'm';
    }
};

class CostruttoreZone
{
public:
    explicit CostruttoreZone(QStringView testo)
        : v(testo), t(testo.data()), u(testo.utf16()), n(testo.size())
    {
    }

    QVector<Zona> Risultato() { return std::move(m_zone); }

    void Aggiungi(qsizetype inizio, qsizetype fine)
    {
        if (fine <= inizio) return;
        QVector<Zona> &z = m_zone;
        if (!z.isEmpty() && z.back().fine >= inizio)
            z.back().fine = std::max(z.back().fine, fine);
        else
            z.append({inizio, fine});
    }

    void Basic(bool intestazione);
    void C();
    void Batch();

private:
    QStringView v;
    const QChar *t;
    const char16_t *u; // the same units, for the searches
    qsizetype n;
    QVector<Zona> m_zone;

    static bool FineRiga(QChar c) { return c == u'\r' || c == u'\n'; }
    static bool Spazio(QChar c) { return c == u' ' || c == u'\t'; }
    bool Nome(qsizetype i) const { return i < n && Delimitatori::CarattereNome(t[i]); }

    // Index of the first line end at or after `i`, or n.
    qsizetype FineDellaRiga(qsizetype i) const
    {
        return Prossimo(u, i, n, std::array{u'\r', u'\n'});
    }
    // Index after the line end at `i` (CR LF counts as one).
    qsizetype DopoFineRiga(qsizetype i) const
    {
        if (i < n && t[i] == u'\r' && i + 1 < n && t[i + 1] == u'\n') return i + 2;
        return std::min(i + 1, n);
    }
    // `parola` (lower case ASCII) stands at `i` in any case, not followed by a
    // name character.
    bool ParolaA(qsizetype i, QLatin1String parola) const
    {
        const qsizetype L = parola.size();
        if (i + L > n) return false;
        for (qsizetype k = 0; k < L; ++k) {
            const char16_t c = t[i + k].unicode();
            const char16_t minuscola = (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c;
            if (minuscola != char16_t(parola[k].unicode())) return false;
        }
        return !Nome(i + L);
    }

    qsizetype FineIntestazioneBasic() const;
    qsizetype FineCommentoBasic(qsizetype inizio) const;
    qsizetype FineRigaC(qsizetype i) const;
    qsizetype FineLetteraleC(qsizetype i) const;
    qsizetype FineDirettiva(qsizetype i) const;
    qsizetype FinePercento(qsizetype i) const;
    qsizetype FineTestoBatch(qsizetype i, qsizetype profondita, bool redirezioni) const;
    qsizetype ValoreSet(qsizetype i) const;
};

// --- BASIC ------------------------------------------------------------------

qsizetype CostruttoreZone::FineIntestazioneBasic() const
{
    qsizetype i = 0;
    while (i < n) {
        qsizetype j = i;
        while (j < n && Spazio(t[j]))
            ++j;
        if (ParolaA(j, QLatin1String("attribute"))) {
            j += 9;
            const qsizetype dopoParola = j;
            while (j < n && Spazio(t[j]))
                ++j;
            if (j > dopoParola && ParolaA(j, QLatin1String("vb_name"))) return i;
        }
        i = DopoFineRiga(FineDellaRiga(j));
    }
    return 0;
}

// The end of a comment that starts at `inizio`: its line end, or further when
// the line ends with a blank and "_" (trailing blanks allowed).
qsizetype CostruttoreZone::FineCommentoBasic(qsizetype inizio) const
{
    qsizetype i = inizio;
    for (;;) {
        const qsizetype fine = FineDellaRiga(i);
        if (fine >= n) return n;
        qsizetype k = fine - 1;
        while (k >= i && Spazio(t[k]))
            --k;
        if (!(k > i && t[k] == u'_' && Spazio(t[k - 1]))) return fine;
        i = DopoFineRiga(fine);
    }
}

void CostruttoreZone::Basic(bool intestazione)
{
    qsizetype i = 0;
    if (intestazione) {
        i = FineIntestazioneBasic();
        Aggiungi(0, i);
    }
    // A statement starts at the start of the scan, after a line end and after
    // a ":" in code, blanks aside. A ":" just before `k` (blanks aside) is in
    // code when `k` is: a comment would run over `k`, and a string closed
    // after the ":" would leave its quote between.
    const qsizetype inizio = i;
    const auto inizioIstruzione = [&](qsizetype k) {
        while (k > inizio && Spazio(t[k - 1]))
            --k;
        return k == inizio || FineRiga(t[k - 1]) || t[k - 1] == u':';
    };
    Fermate fermate(u, n, SegniBasic());
    while (i < n) {
        i = fermate.Prossima(i);
        if (i == n) break;
        const QChar c = t[i];
        if (c == u'\'') {
            const qsizetype fine = FineCommentoBasic(i);
            Aggiungi(i, fine);
            i = fine;
        } else if (c == u'"') {
            qsizetype j = i + 1; // to the closing quote or the line end
            for (;;) {
                j = Prossimo(u, j, n, std::array{u'\r', u'\n', u'"'});
                if (j == n || t[j] != u'"') break;
                if (j + 1 < n && t[j + 1] == u'"') {
                    j += 2;
                    continue;
                }
                ++j;
                break;
            }
            Aggiungi(i, j);
            i = j;
        } else if (!Nome(i + 3) && inizioIstruzione(i)) { // Rem
            const qsizetype fine = FineCommentoBasic(i + 3);
            Aggiungi(i + 3, fine);
            i = fine;
        } else {
            ++i;
        }
    }
}

// --- C family ---------------------------------------------------------------

// The end of a // comment at `i`: the first line end not preceded by a backslash.
qsizetype CostruttoreZone::FineRigaC(qsizetype i) const
{
    for (;;) {
        const qsizetype fine = FineDellaRiga(i);
        if (fine >= n || fine == 0 || t[fine - 1] != u'\\') return fine;
        i = DopoFineRiga(fine);
    }
}

// The end of the literal opened by the quote at `i`: after its closing quote,
// or at the line end that cuts it. A backslash escapes the next character, a
// line end included.
qsizetype CostruttoreZone::FineLetteraleC(qsizetype i) const
{
    const QChar virgolette = t[i];
    const std::array arresti{u'\\', virgolette.unicode(), u'\r', u'\n'};
    qsizetype j = i + 1;
    while (j < n) {
        j = Prossimo(u, j, n, arresti);
        if (j == n) break;
        const QChar c = t[j];
        if (c == u'\\') {
            j = j + 1 < n ? DopoFineRiga(j + 1) : n;
            continue;
        }
        if (c == virgolette) return j + 1;
        return j; // a line end
    }
    return n;
}

// The end of a preprocessor line from `i`: the first line end outside a
// block comment that no backslash continues.
qsizetype CostruttoreZone::FineDirettiva(qsizetype i) const
{
    constexpr std::array arresti{u'\r', u'\n', u'\\', u'/', u'"', u'\''};
    while (i < n) {
        i = Prossimo(u, i, n, arresti);
        if (i == n) break;
        const QChar c = t[i];
        if (FineRiga(c)) return i;
        if (c == u'\\' && i + 1 < n && FineRiga(t[i + 1])) {
            i = DopoFineRiga(i + 1);
            continue;
        }
        if (c == u'/' && i + 1 < n && t[i + 1] == u'*') {
            const qsizetype chiusura = v.indexOf(u"*/", i + 2);
            if (chiusura < 0) return n;
            i = chiusura + 2;
            continue;
        }
        if (c == u'/' && i + 1 < n && t[i + 1] == u'/') return FineRigaC(i);
        if (c == u'"' || c == u'\'') {
            i = FineLetteraleC(i);
            continue;
        }
        ++i;
    }
    return n;
}

void CostruttoreZone::C()
{
    // After the first character of a line only a line end, a comment or a
    // literal matters.
    Fermate fermate(u, n, Unita(std::array{u'\r', u'\n', u'/', u'"', u'\''}));
    qsizetype i = 0;
    bool inizioRiga = true;
    while (i < n) {
        if (!inizioRiga) {
            i = fermate.Prossima(i);
            if (i == n) break;
        }
        const QChar c = t[i];
        // Everything else that matters here is at most "/".
        if (c.unicode() > u'/') {
            inizioRiga = false;
            ++i;
            continue;
        }
        if (FineRiga(c)) {
            inizioRiga = true;
            ++i;
            continue;
        }
        if (Spazio(c)) {
            ++i;
            continue;
        }
        if (c == u'#' && inizioRiga) {
            qsizetype j = i + 1;
            while (j < n && Spazio(t[j]))
                ++j;
            const qsizetype parola = j;
            while (Nome(j))
                ++j;
            const LetturaDirettiva lettura = LeggiDirettiva(v.sliced(parola, j - parola));
            if (lettura == LetturaDirettiva::Condizione) {
                // "defined", "sizeof" and the operators read as anywhere else.
                i = j;
                inizioRiga = false;
                continue;
            }
            if (lettura == LetturaDirettiva::Definizione) {
                // A definition: the macro's name is the program's own; its
                // body is code.
                qsizetype k = j;
                while (k < n && Spazio(t[k]))
                    ++k;
                qsizetype f = k;
                while (Nome(f))
                    ++f;
                Aggiungi(k, f);
                i = f;
                inizioRiga = false;
                continue;
            }
            const qsizetype fine = FineDirettiva(j);
            Aggiungi(j, fine);
            i = fine;
            inizioRiga = false;
            continue;
        }
        inizioRiga = false;
        if (c == u'/' && i + 1 < n && t[i + 1] == u'/') {
            const qsizetype fine = FineRigaC(i);
            Aggiungi(i, fine);
            i = fine;
        } else if (c == u'/' && i + 1 < n && t[i + 1] == u'*') {
            const qsizetype chiusura = v.indexOf(u"*/", i + 2);
            const qsizetype fine = chiusura < 0 ? n : chiusura + 2;
            Aggiungi(i, fine);
            i = fine;
        } else if (c == u'"' || c == u'\'') {
            const qsizetype fine = FineLetteraleC(i);
            Aggiungi(i, fine);
            i = fine;
        } else {
            ++i;
        }
    }
}

// --- Batch ------------------------------------------------------------------

// The end of the expansion that the "%" at `i` opens. cmd expands "%name%"
// before it reads quotes, so what stands between (a substitution like
// "%x:"=%") is one piece: to the next "%" on the line, or this "%" alone.
// "%%a", "%1", "%~dp1" and "%*" take two characters, the rest being a name.
qsizetype CostruttoreZone::FinePercento(qsizetype i) const
{
    if (i + 1 < n &&
        (t[i + 1] == u'%' || t[i + 1] == u'~' || t[i + 1] == u'*' || t[i + 1].isDigit()))
        return i + 2;
    const qsizetype chiusura = Prossimo(u, i + 1, n, std::array{u'\r', u'\n', u'%'});
    return chiusura < n && t[chiusura] == u'%' ? chiusura + 1 : i + 1;
}

// The end of a command's text from `i` (an echo text, a set value): the line
// end, or an unquoted, unescaped "&", "|" ("<" and ">" too when
// `redirezioni`), or ")" inside a parenthesised block; "%" expansions are
// passed over whole (see FinePercento).
qsizetype CostruttoreZone::FineTestoBatch(qsizetype i, qsizetype profondita, bool redirezioni) const
{
    bool tra = false; // inside "..."
    while (i < n) {
        const QChar e = t[i];
        if (FineRiga(e)) break;
        if (e == u'^') {
            i = i + 1 < n ? DopoFineRiga(i + 1) : n;
            continue;
        }
        if (e == u'%') {
            i = FinePercento(i);
            continue;
        }
        if (e == u'"')
            tra = !tra;
        else if (!tra && (e == u'&' || e == u'|' || (e == u')' && profondita > 0) ||
                          (redirezioni && (e == u'<' || e == u'>'))))
            break;
        ++i;
    }
    return i;
}

// Where the value of the set command whose word ends at `i` starts (after its
// first "="), or -1 when it has none to keep: "set /a" (an expression), "set
// "name=value"" (a string already), no "=" before the line end, a quote, a
// caret, a bracket or a redirection.
qsizetype CostruttoreZone::ValoreSet(qsizetype i) const
{
    while (i < n && Spazio(t[i]))
        ++i;
    while (i + 1 < n && t[i] == u'/' && Nome(i + 1)) {
        if ((t[i + 1].unicode() | 0x20) == u'a') return -1;
        i += 2;
        while (Nome(i))
            ++i;
        while (i < n && Spazio(t[i]))
            ++i;
    }
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (c == u'=') return i + 1;
        if (FineRiga(c) || QStringView(u"\"^&|<>()").contains(c)) return -1;
    }
    return -1;
}

void CostruttoreZone::Batch()
{
    qsizetype i = 0;
    qsizetype profondita = 0; // open parenthesised blocks
    bool inizioRiga = true;   // only blanks so far on this line
    while (i < n) {
        const QChar c = t[i];
        // Letters that start no command word, digits and the like.
        const char16_t u = c.unicode();
        if ((u > u'^' && u != u'e' && u != u'r' && u != u's' && u != u't') ||
            (u >= u'0' && u <= u'Z' && u != u':' && u != u'E' && u != u'R' && u != u'S' &&
             u != u'T')) {
            inizioRiga = false;
            ++i;
            continue;
        }
        if (FineRiga(c)) {
            inizioRiga = true;
            ++i;
            continue;
        }
        if (inizioRiga && Spazio(c)) {
            ++i;
            continue;
        }
        if (inizioRiga && c == u':' && i + 1 < n && t[i + 1] == u':') {
            const qsizetype fine = FineDellaRiga(i);
            Aggiungi(i, fine);
            i = fine;
            continue;
        }
        inizioRiga = false;
        if (c == u'^') {
            i = i + 1 < n ? DopoFineRiga(i + 1) : n;
            continue;
        }
        if (c == u'%') {
            i = FinePercento(i);
            continue;
        }
        if (c == u'"') { // to the next quote on the line, else to its end
            qsizetype j = i + 1;
            for (;;) {
                j = Prossimo(this->u, j, n, std::array{u'\r', u'\n', u'"', u'%'});
                if (j == n || t[j] != u'%') break;
                j = FinePercento(j);
            }
            const qsizetype fine = j < n && t[j] == u'"' ? j + 1 : j;
            Aggiungi(i, fine);
            i = fine;
            continue;
        }
        const bool comando = i == 0 || FineRiga(t[i - 1]) || Spazio(t[i - 1]) || t[i - 1] == u'@' ||
                             t[i - 1] == u'(' || t[i - 1] == u'&' || t[i - 1] == u'|';
        if (comando && ParolaA(i, QLatin1String("rem"))) {
            const qsizetype fine = FineDellaRiga(i + 3);
            Aggiungi(i + 3, fine);
            i = fine;
            continue;
        }
        const qsizetype testo = !comando                             ? 0
                                : ParolaA(i, QLatin1String("echo"))  ? 4
                                : ParolaA(i, QLatin1String("title")) ? 5
                                                                     : 0;
        if (testo > 0) { // text shown to the user
            const qsizetype fine = FineTestoBatch(i + testo, profondita, false);
            Aggiungi(i + testo, fine);
            i = fine;
            continue;
        }
        if (comando && ParolaA(i, QLatin1String("set"))) {
            const qsizetype valore = ValoreSet(i + 3);
            if (valore >= 0) {
                const qsizetype fine = FineTestoBatch(valore, profondita, true);
                Aggiungi(valore, fine);
                i = fine;
                continue;
            }
        }
        if (c == u'(')
            ++profondita;
        else if (c == u')' && profondita > 0)
            --profondita;
        ++i;
    }
}

} // namespace

LetturaDirettiva LeggiDirettiva(QStringView parola)
{
    if (parola.isEmpty()) return LetturaDirettiva::RestoProtetto;
    if (parola == u"if" || parola == u"elif") return LetturaDirettiva::Condizione;
    static constexpr const char16_t *parole[] = {
        u"assert", u"elifdef", u"elifndef", u"else",     u"endif",   u"error",
        u"ident",  u"ifdef",   u"ifndef",   u"import",   u"include", u"include_next",
        u"line",   u"pragma",  u"sccs",     u"unassert", u"undef",   u"warning"};
    for (const char16_t *p : parole)
        if (parola == QStringView(p)) return LetturaDirettiva::RestoProtetto;
    return LetturaDirettiva::Definizione;
}

ZoneProtette ScansionaCodice(QStringView testo, TipoTesto tipo)
{
    CostruttoreZone costruttore(testo);
    switch (tipo.linguaggio) {
    case Linguaggio::Basic:
        costruttore.Basic(tipo.intestazioneBasic);
        break;
    case Linguaggio::C:
    case Linguaggio::Cpp:
        costruttore.C();
        break;
    case Linguaggio::Batch:
        costruttore.Batch();
        break;
    case Linguaggio::Nessuno:
        break;
    }
    return ZoneProtette(costruttore.Risultato());
}
