#include "MotoreAnsi.h"

#include "nucleo/testo/ACapo.h"
#include "nucleo/testo/CodificaAnsi.h"
#include "nucleo/pseudocodifica/MotoreElenco.h"
#include "nucleo/ricerca/Ricerca.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define MOTORE_ANSI_X86 1
#endif

namespace {

constexpr qsizetype CapienzaUscita = qsizetype(1) << 18;
constexpr qsizetype CapienzaPezzi = qsizetype(1) << 20;
constexpr qsizetype BloccoMaschere = 64;        // blocks of 64 bytes per round
constexpr quint64 Alti = 0x8080808080808080ull; // the top bit of every byte

inline quint64 Carica(const uchar *p)
{
    quint64 k;
    std::memcpy(&k, p, sizeof k);
    return k;
}

// For `blocchi` blocks of 64 bytes: bit i of maschere[j] set when byte i of
// block j is a delimiter. Returns whether every CR is followed by a LF and
// every LF follows a CR; `cr` tells whether the byte before is a CR, and
// afterwards whether the last byte is.
// `candidati` receives, the same way, the bytes a word may begin with (or
// more: every byte when the scan cannot tell).
using FunzioneMaschere = bool (*)(const uchar *t, qsizetype blocchi, quint64 *maschere,
                                  quint64 *candidati, const uchar *tabelle, quint64 &cr);

// Any set of delimiters: one comparison per delimiter byte. `tabelle` holds
// the number of delimiter bytes and then the bytes.
bool MaschereConfronti(const uchar *t, qsizetype blocchi, quint64 *maschere, quint64 *candidati,
                       const uchar *tabelle, quint64 &cr)
{
    std::fill_n(candidati, blocchi, ~quint64(0));
    const int quanti = tabelle[0];
    quint64 errore = 0, riporto = cr;
    for (qsizetype j = 0; j < blocchi; ++j, t += 64) {
        quint64 m = 0, c = 0, l = 0;
#if defined(__SSE2__)
        for (int q = 0; q < 4; ++q) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + 16 * q));
            __m128i uguali = _mm_setzero_si128();
            for (int d = 0; d < quanti; ++d)
                uguali =
                    _mm_or_si128(uguali, _mm_cmpeq_epi8(v, _mm_set1_epi8(char(tabelle[1 + d]))));
            m |= quint64(unsigned(_mm_movemask_epi8(uguali))) << (16 * q);
            c |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')))))
                 << (16 * q);
            l |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')))))
                 << (16 * q);
        }
#else
        for (int i = 0; i < 64; ++i) {
            for (int d = 0; d < quanti; ++d)
                if (t[i] == tabelle[1 + d]) m |= quint64(1) << i;
            c |= quint64(t[i] == '\r') << i;
            l |= quint64(t[i] == '\n') << i;
        }
#endif
        maschere[j] = m;
        errore |= ((c << 1) | riporto) ^ l;
        riporto = c >> 63;
    }
    cr = riporto;
    return errore == 0;
}

#if defined(MOTORE_ANSI_X86)
__attribute__((target("avx2"))) inline quint64 NonDelimitatori(__m256i v, __m256i basso,
                                                               __m256i alto)
{
    const __m256i meta = _mm256_set1_epi8(0x0F);
    const __m256i b = _mm256_shuffle_epi8(basso, _mm256_and_si256(v, meta));
    const __m256i a = _mm256_shuffle_epi8(alto, _mm256_and_si256(_mm256_srli_epi16(v, 4), meta));
    return quint64(unsigned(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_and_si256(a, b), _mm256_setzero_si256()))));
}

__attribute__((target("avx2"))) inline quint64 Uguali(__m256i v0, __m256i v1, __m256i c)
{
    return quint64(unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v0, c)))) |
           quint64(unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v1, c)))) << 32;
}

// Delimiters below 0x80 only, by the two halves of each byte: `tabelle`
// holds for each low half the set of high halves (one bit each, 0 to 7) that
// make a delimiter with it, then for each high half its bit; then the same
// for the bytes below 0x80 a word may begin with, then whether any byte from
// 0x80 on may.
__attribute__((target("avx2"))) bool MaschereAvx2(const uchar *t, qsizetype blocchi,
                                                  quint64 *maschere, quint64 *candidati,
                                                  const uchar *tabelle, quint64 &cr)
{
    const __m256i cBasso = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i *>(tabelle + 32)));
    const __m256i cAlto = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i *>(tabelle + 48)));
    const bool alti = tabelle[64] != 0;
    const __m256i basso =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(tabelle)));
    const __m256i alto = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i *>(tabelle + 16)));
    const __m256i vcr = _mm256_set1_epi8('\r'), vlf = _mm256_set1_epi8('\n');
    quint64 errore = 0, riporto = cr;
    for (qsizetype j = 0; j < blocchi; ++j, t += 64) {
        const __m256i v0 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(t));
        const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(t + 32));
        maschere[j] =
            ~(NonDelimitatori(v0, basso, alto) | (NonDelimitatori(v1, basso, alto) << 32));
        quint64 iniziali =
            ~(NonDelimitatori(v0, cBasso, cAlto) | (NonDelimitatori(v1, cBasso, cAlto) << 32));
        if (alti)
            iniziali |= quint64(unsigned(_mm256_movemask_epi8(v0))) |
                        quint64(unsigned(_mm256_movemask_epi8(v1))) << 32;
        candidati[j] = iniziali;
        const quint64 c = Uguali(v0, v1, vcr);
        errore |= ((c << 1) | riporto) ^ Uguali(v0, v1, vlf);
        riporto = c >> 63;
    }
    cr = riporto;
    return errore == 0;
}
#endif

} // namespace

UscitaByte::UscitaByte(std::function<bool(QByteArrayView)> scarica)
    : m_scarica(std::move(scarica)), m_buffer(new char[CapienzaUscita]), m_p(m_buffer.get()),
      m_fine(m_buffer.get() + CapienzaUscita)
{
}

UscitaByte::~UscitaByte() = default;

void UscitaByte::Scarica()
{
    const qsizetype pieno = m_p - m_buffer.get();
    if (pieno > 0 && m_ok) m_ok = m_scarica(QByteArrayView(m_buffer.get(), pieno));
    m_p = m_buffer.get();
}

void UscitaByte::AggiungiLungo(const char *da, qsizetype quanti)
{
    Scarica();
    if (quanti < CapienzaUscita) {
        std::memcpy(m_p, da, std::size_t(quanti));
        m_p += quanti;
    } else if (m_ok) {
        m_ok = m_scarica(QByteArrayView(da, quanti));
    }
}

bool UscitaByte::Fine()
{
    Scarica();
    return m_ok;
}

struct MotoreAnsi::Dati
{
    bool disponibile = false;
    std::array<uchar, 256> piega{}; // the least byte whose character folds alike
    FunzioneMaschere maschere = nullptr;
    alignas(16) uchar tabelle[257]{};

    // The distinct words of the list, folded, in an open-addressing table
    // where most words sit in the slot their hash names.
    struct Voce
    {
        quint64 chiave = 0;    // the first eight folded bytes, zeros after the word
        quint32 lunghezza = 0; // 0 = empty slot
        quint32 oltre : 1;     // a word whose hash names this slot sits further on
        quint32 indice : 31;
    };
    std::vector<Voce> tabella;
    int spostamento = 64; // a hash is the top bits of the product
    quint64 moltiplicatore = 0;
    std::vector<QByteArray> piegate, risultati;
    std::vector<qsizetype> conte;

    quint64 Slot(quint64 chiave, qsizetype lunghezza) const
    {
        return ((chiave ^ quint64(lunghezza)) * moltiplicatore) >> spostamento;
    }

    // The first min(L, 8) bytes of the token at `t`, folded; `leggibili`
    // bytes may be read from `t`.
    quint64 Chiave(const uchar *t, qsizetype L, qsizetype leggibili) const
    {
        quint64 k = 0;
        if (Q_LIKELY(leggibili >= 8))
            k = Carica(t);
        else
            std::memcpy(&k, t, std::size_t(leggibili));
        k &= ~quint64(0) >> (64 - 8 * std::min(L, qsizetype(8)));
        if (Q_LIKELY((k & Alti) == 0)) {
            // Every byte below 0x80: a-z become A-Z, eight at a time.
            const quint64 dopoA = k + 0x1F1F1F1F1F1F1F1Full; // top bit set from 'a' on
            const quint64 dopoZ = k + 0x0505050505050505ull; // top bit set from '{' on
            return k - (((dopoA & ~dopoZ) & Alti) >> 2);
        }
        quint64 r = 0;
        for (qsizetype i = 0, m = std::min(L, qsizetype(8)); i < m; ++i)
            r |= quint64(piega[uchar(k >> (8 * i))]) << (8 * i);
        return r;
    }

    // The word the token t[0..L) is, from the slot `s` of its hash on; -1
    // when none.
    int Cerca(quint64 chiave, const uchar *t, qsizetype L, quint64 s) const
    {
        const quint64 maschera = tabella.size() - 1;
        for (;; s = (s + 1) & maschera) {
            const Voce &v = tabella[s];
            if (v.chiave == chiave && v.lunghezza == quint64(L)) {
                const QByteArray &p = piegate[v.indice];
                qsizetype i = 8;
                while (i < L && piega[t[i]] == uchar(p[i]))
                    ++i;
                if (i >= L) return int(v.indice);
            }
            if (!v.oltre) return -1;
        }
    }

    void Prepara();
    struct Fatto
    {
        qsizetype fin = 0;  // the bytes from here on are not worked on yet
        bool aCapo = false; // they hold line breaks the editor would change
    };
    Fatto Esegui(const uchar *t, qsizetype n, UscitaByte &uscita, bool controllaACapo, bool fine,
                 quint64 &cr, qsizetype &conta) const;
    qsizetype Resto(QByteArrayView resto, bool dopoCr, UscitaByte &uscita, qsizetype conta) const;
};

// The table: the smallest size and multiplier (from a fixed sequence) that
// give every word a slot of its own; failing that, linear probing.
void MotoreAnsi::Dati::Prepara()
{
    const auto chiaveDi = [](const QByteArray &p) {
        quint64 k = 0;
        std::memcpy(&k, p.constData(), std::size_t(std::min(p.size(), qsizetype(8))));
        return k;
    };
    const qsizetype parole = qsizetype(piegate.size());
    int bit = 4;
    while ((qsizetype(1) << bit) < 4 * parole)
        ++bit;
    quint64 seme = 0x243F6A8885A308D3ull;
    const auto prossimo = [&] { // splitmix64
        quint64 z = (seme += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return (z ^ (z >> 31)) | 1;
    };
    const auto senzaCollisioni = [&](int b) {
        std::vector<bool> presi(std::size_t(1) << b);
        for (qsizetype k = 0; k < parole; ++k) {
            const quint64 s = Slot(chiaveDi(piegate[k]), piegate[k].size());
            if (presi[s]) return false;
            presi[s] = true;
        }
        return true;
    };
    bool trovato = false;
    for (int b = bit; b <= bit + 3 && b <= 16 && !trovato; ++b)
        for (int prova = 0; prova < 64 && !trovato; ++prova) {
            moltiplicatore = prossimo();
            spostamento = 64 - b;
            if (senzaCollisioni(b)) {
                trovato = true;
                bit = b;
            }
        }
    if (!trovato) {
        moltiplicatore = 0x9E3779B97F4A7C15ull;
        spostamento = 64 - bit;
    }
    tabella.assign(std::size_t(1) << bit, Voce{0, 0, 0, 0});
    const quint64 maschera = tabella.size() - 1;
    for (qsizetype k = 0; k < parole; ++k) {
        const quint64 chiave = chiaveDi(piegate[k]);
        quint64 s = Slot(chiave, piegate[k].size());
        while (tabella[s].lunghezza != 0) {
            tabella[s].oltre = 1;
            s = (s + 1) & maschera;
        }
        tabella[s].chiave = chiave;
        tabella[s].lunghezza = quint32(piegate[k].size());
        tabella[s].indice = quint32(k);
    }
}

MotoreAnsi::MotoreAnsi(const MotoreElenco &motore) : m_dati(std::make_unique<Dati>())
{
    Dati &d = *m_dati;
    const char16_t *caratteri = CodificaAnsi::Caratteri();
    const std::optional<std::vector<MotoreElenco::Esito>> esiti = motore.EsitiToken();
    if (!caratteri || !esiti || motore.ToccaGliACapo()) return;

    // Each byte's class from its character: delimiter, fold, line break.
    std::array<char16_t, 256> chiave{};
    std::array<bool, 256> delimitatore{};
    for (int b = 0; b < 256; ++b) {
        const char16_t c = caratteri[b];
        delimitatore[b] = Ricerca::Separatore(QChar(c));
        chiave[b] = Ricerca::Maiuscola(QChar(c)).unicode();
        // Every byte is written back as it was read.
        if (CodificaAnsi::Byte(c) != b) return;
        // Line breaks only as the CR and LF bytes, both delimiters: the
        // line-break check reads those.
        const bool aCapo = MotoreElenco::TieneACapo(QStringView(&c, 1));
        if (aCapo != (b == '\r' || b == '\n') || (aCapo && (c != b || !delimitatore[b]))) return;
    }
    for (int b = 0; b < 256; ++b) {
        int minimo = 0;
        while (chiave[minimo] != chiave[b])
            ++minimo;
        d.piega[b] = uchar(minimo);
        // The key of a token folds bytes below 0x80 eight at a time, as a-z to A-Z.
        if (b < 0x80 && d.piega[b] != ((b >= 'a' && b <= 'z') ? b - 32 : b)) return;
    }

    // The delimiter scan: by halves of bytes when every delimiter is below 0x80
    // and the processor has the instructions, otherwise one comparison each.
    bool bassi = true;
    int quanti = 0;
    for (int b = 0; b < 256; ++b)
        if (delimitatore[b]) {
            bassi = bassi && b < 0x80;
            d.tabelle[1 + quanti++] = uchar(b);
        }
    d.tabelle[0] = uchar(quanti);
    d.maschere = &MaschereConfronti;

    // The words, folded byte by byte; a word with a character no byte folds
    // to can never be a token of these texts.
    std::vector<int> rappresentante(65536, -1);
    for (int b = 255; b >= 0; --b)
        rappresentante[chiave[b]] = d.piega[b];
    for (const MotoreElenco::Esito &e : *esiti) {
        QByteArray piegata(e.parola.size(), Qt::Uninitialized);
        bool possibile = !e.parola.isEmpty();
        for (qsizetype i = 0; i < e.parola.size() && possibile; ++i) {
            const int r = rappresentante[e.parola[i].unicode()];
            possibile = r >= 0;
            piegata[i] = char(r);
        }
        if (!possibile) continue;
        QByteArray risultato(e.risultato.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < e.risultato.size(); ++i) {
            const int b = CodificaAnsi::Byte(e.risultato[i].unicode());
            if (b < 0) return; // the text path would write the file as UTF-8
            risultato[i] = char(b);
        }
        d.piegate.push_back(std::move(piegata));
        d.risultati.push_back(std::move(risultato));
        d.conte.push_back(e.sostituzioni);
    }
    d.Prepara();
#if defined(MOTORE_ANSI_X86)
    if (bassi && __builtin_cpu_supports("avx2")) {
        // The bytes a word may begin with: those that fold to a word's first.
        std::array<bool, 256> iniziale{};
        for (const QByteArray &p : d.piegate)
            for (int b = 0; b < 256; ++b)
                iniziale[b] = iniziale[b] || d.piega[b] == uchar(p[0]);
        std::fill(std::begin(d.tabelle), std::end(d.tabelle), uchar(0));
        for (int b = 0; b < 0x80; ++b) {
            if (delimitatore[b]) d.tabelle[b & 0x0F] |= uchar(1u << (b >> 4));
            if (iniziale[b]) d.tabelle[32 + (b & 0x0F)] |= uchar(1u << (b >> 4));
        }
        for (int h = 0; h < 8; ++h)
            d.tabelle[16 + h] = d.tabelle[48 + h] = uchar(1u << h);
        for (int b = 0x80; b < 256; ++b)
            d.tabelle[64] = d.tabelle[64] || iniziale[b];
        d.maschere = &MaschereAvx2;
    }
#endif
    d.disponibile = true;
}

MotoreAnsi::~MotoreAnsi() = default;

bool MotoreAnsi::Disponibile() const
{
    return m_dati->disponibile;
}

// One pass over t[0..n), with the result written up to the returned `fin`.
// With `fine` t ends the text, and it is all worked on; without, only whole
// blocks of 64 bytes are, and `fin` is where the next piece must go on from
// (a token still open, or the end of the last block). With `controllaACapo`
// the pass stops before a round of bytes whose line breaks the editor would
// change (`aCapo` set): `fin` is then a place no token and no CR LF pair
// straddles (or right after a CR of an earlier piece). `cr` tells whether the
// byte before t is a CR, and afterwards whether the one before `fin` is.
MotoreAnsi::Dati::Fatto MotoreAnsi::Dati::Esegui(const uchar *t, qsizetype n, UscitaByte &uscita,
                                                 bool controllaACapo, bool fine, quint64 &cr,
                                                 qsizetype &conta) const
{
    if (!fine) n -= n % 64;
    if (fine && n == 0 && cr && controllaACapo) return {0, true}; // an earlier piece ends with a CR
    qsizetype copiato = 0, inizio = 0;
    const Voce *const voci = tabella.data();
    // A token: its key names one slot, which almost always settles it.
    const auto token = [&](qsizetype s, qsizetype e) __attribute__((always_inline))
    {
        const qsizetype L = e - s;
        const quint64 k = Chiave(t + s, L, n - s);
        const quint64 slot = Slot(k, L);
        const Voce &v = voci[slot];
        if (Q_LIKELY(((v.chiave ^ k) | (v.lunghezza ^ quint64(L))) != 0 && !v.oltre)) return;
        const int w = Cerca(k, t + s, L, slot);
        if (w < 0) return;
        uscita.Aggiungi(reinterpret_cast<const char *>(t) + copiato, s - copiato);
        const QByteArray &r = risultati[std::size_t(w)];
        uscita.Aggiungi(r.constData(), r.size());
        copiato = e;
        conta += conte[std::size_t(w)];
    };

    // Tokens from the boundaries between delimiters and other bytes, 64
    // bytes at a time; the bytes past the end count as delimiters. Only the
    // tokens that begin with a byte a word may begin with are looked up.
    quint64 delim[BloccoMaschere], candidati[BloccoMaschere];
    quint64 precedente = 1;     // the start is a boundary
    qsizetype ultimoInizio = 0; // the start of the last token seen
    bool aperto = false;        // a token to look up, begun in an earlier block, is still open
    for (qsizetype base = 0; base < n; base += 64 * BloccoMaschere) {
        const qsizetype quanti = std::min(64 * BloccoMaschere, n - base);
        const qsizetype interi = quanti / 64, resto = quanti % 64;
        const quint64 crPrima = cr;
        bool aCapoGiusti = maschere(t + base, interi, delim, candidati, tabelle, cr);
        if (resto) {
            uchar ultimo[64] = {};
            std::memcpy(ultimo, t + base + 64 * interi, std::size_t(resto));
            aCapoGiusti =
                maschere(ultimo, 1, delim + interi, candidati + interi, tabelle, cr) && aCapoGiusti;
            delim[interi] |= ~quint64(0) << resto;
        } else if (fine && base + quanti == n && cr) {
            aCapoGiusti = false; // a CR at the very end
        }
        if (controllaACapo && !aCapoGiusti) {
            // From the open token, or from the round, or from the CR before
            // it; when that CR is in an earlier piece, `cr` says so.
            qsizetype r = precedente ? base : ultimoInizio;
            cr = 0;
            if (precedente && crPrima) {
                if (base > 0)
                    --r;
                else
                    cr = 1;
            }
            uscita.Aggiungi(reinterpret_cast<const char *>(t) + copiato, r - copiato);
            return {r, true};
        }
        for (qsizetype j = 0; j < interi + (resto != 0); ++j) {
            const quint64 m = delim[j];
            const quint64 inizi = ~m & ((m << 1) | precedente);
            precedente = m >> 63;
            const qsizetype posizione = base + 64 * j;
            if (inizi) ultimoInizio = posizione + 63 - __builtin_clzll(inizi);
            if (aperto) {
                if (!m) continue;
                token(inizio, posizione + __builtin_ctzll(m));
                aperto = false;
            }
            for (quint64 c = inizi & candidati[j]; c; c &= c - 1) {
                const int i = __builtin_ctzll(c);
                const quint64 dopo = m >> i;
                if (dopo) {
                    token(posizione + i, posizione + i + __builtin_ctzll(dopo));
                } else {
                    inizio = posizione + i;
                    aperto = true;
                }
            }
        }
    }
    if (!fine) {
        const qsizetype fin = precedente ? n : ultimoInizio;
        uscita.Aggiungi(reinterpret_cast<const char *>(t) + copiato, fin - copiato);
        return {fin, false};
    }
    if (aperto) token(inizio, n);
    uscita.Aggiungi(reinterpret_cast<const char *>(t) + copiato, n - copiato);
    return {n, false};
}

// The rest of a text from where its line breaks start to differ from the
// editor's: made as the editor holds it, then the list over it.
qsizetype MotoreAnsi::Dati::Resto(QByteArrayView resto, bool dopoCr, UscitaByte &uscita,
                                  qsizetype conta) const
{
    const QByteArray comeEditor = ACapo::NormalizzaByte(resto, dopoCr);
    quint64 cr = 0;
    Esegui(reinterpret_cast<const uchar *>(comeEditor.constData()), comeEditor.size(), uscita,
           false, true, cr, conta);
    return conta;
}

qsizetype MotoreAnsi::Applica(QByteArrayView testo, UscitaByte &uscita) const
{
    quint64 cr = 0;
    qsizetype conta = 0;
    const Dati::Fatto f = m_dati->Esegui(reinterpret_cast<const uchar *>(testo.data()),
                                         testo.size(), uscita, true, true, cr, conta);
    return f.aCapo ? m_dati->Resto(testo.sliced(f.fin), cr, uscita, conta) : conta;
}
MotoreAnsi::APezzi::APezzi(const MotoreAnsi &motore, UscitaByte &uscita)
    : m_dati(*motore.m_dati), m_uscita(uscita), m_buffer(new char[CapienzaPezzi]),
      m_capienza(CapienzaPezzi)
{
}

MotoreAnsi::APezzi::~APezzi() = default;

char *MotoreAnsi::APezzi::Spazio(qsizetype quanti)
{
    if (m_presenti + quanti > m_capienza) {
        // A token longer than the buffer.
        m_capienza = std::max(2 * m_capienza, m_presenti + quanti);
        std::unique_ptr<char[]> nuovo(new char[std::size_t(m_capienza)]);
        std::memcpy(nuovo.get(), m_buffer.get(), std::size_t(m_presenti));
        m_buffer = std::move(nuovo);
    }
    return m_buffer.get() + m_presenti;
}

void MotoreAnsi::APezzi::Scritti(qsizetype quanti)
{
    m_presenti += quanti;
    Avanza(false);
}

qsizetype MotoreAnsi::APezzi::Fine()
{
    Avanza(true);
    return m_conta;
}

// Works on the buffer as far as it can (all of it when `fine`): as it stands
// until a line break the editor would change, from there on made as the
// editor holds it, piece by piece. A last CR waits for the next piece, which
// may begin with its LF; so does a token still open.
void MotoreAnsi::APezzi::Avanza(bool fine)
{
    const auto togli = [this](qsizetype quanti) {
        m_presenti -= quanti;
        std::memmove(m_buffer.get(), m_buffer.get() + quanti, std::size_t(m_presenti));
    };
    if (!m_comeEditor) {
        const Dati::Fatto f = m_dati.Esegui(reinterpret_cast<const uchar *>(m_buffer.get()),
                                            m_presenti, m_uscita, true, fine, m_cr, m_conta);
        m_comeEditor = f.aCapo;
        togli(f.fin);
        if (!m_comeEditor) return;
    }
    const qsizetype pronti =
        m_presenti - (!fine && m_presenti > 0 && m_buffer[m_presenti - 1] == '\r');
    m_fatti += ACapo::NormalizzaByte(QByteArrayView(m_buffer.get(), pronti), m_cr);
    m_cr = 0; // a CR already written before the buffer is followed by its LF now
    togli(pronti);
    const Dati::Fatto f = m_dati.Esegui(reinterpret_cast<const uchar *>(m_fatti.constData()),
                                        m_fatti.size(), m_uscita, false, fine, m_crFatti, m_conta);
    m_fatti.remove(0, f.fin);
}
