#include "CodificaAnsi.h"

#include "nucleo/testo/PagineGrandi.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace CodificaAnsi {

namespace {
constexpr const char *NomeCodifica = "windows-1252";

// The code page as two tables, taken once from the converter itself: every
// byte's character, and the byte of every character that converts back to
// it. Texts with any other character go through the converter.
struct Tabelle
{
    bool valide = false;
    std::array<char16_t, 256> carattere{};
    std::array<qint16, 65536> byte{};
};

const Tabelle &TabelleAnsi()
{
    static const Tabelle *tabelle = [] {
        auto *t = new Tabelle;
        t->byte.fill(-1);
        QByteArray tutti(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            tutti[b] = char(b);
        QStringDecoder decoder(NomeCodifica);
        const QString caratteri = decoder.decode(tutti);
        if (decoder.hasError() || caratteri.size() != 256) return t;
        for (int b = 0; b < 256; ++b) {
            t->carattere[b] = caratteri[b].unicode();
            QStringEncoder encoder(NomeCodifica);
            const QByteArray indietro = encoder.encode(QStringView(caratteri).sliced(b, 1));
            if (!encoder.hasError() && indietro.size() == 1 && uchar(indietro[0]) == b)
                t->byte[caratteri[b].unicode()] = qint16(b);
        }
        t->valide = true;
        return t;
    }();
    return *tabelle;
}

} // namespace

void DecodificaIn(QByteArrayView byte, char16_t *uscita)
{
    const Tabelle &t = TabelleAnsi();
    const qsizetype n = byte.size();
    if (!t.valide) {
        QStringDecoder decoder(NomeCodifica);
        const QString testo = decoder.decode(QByteArray(byte.data(), n));
        std::copy_n(testo.utf16(), std::min(testo.size(), n), uscita);
        return;
    }
    // Forwards, each block read before it is written: the units written so
    // far end before the bytes not yet read even when these lie right after
    // the whole output.
    char16_t *o = uscita;
    const uchar *b = reinterpret_cast<const uchar *>(byte.data());
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + i));
        if (_mm_movemask_epi8(v) == 0) { // ASCII only: widen
            _mm_storeu_si128(reinterpret_cast<__m128i *>(o + i), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(o + i + 8), _mm_unpackhi_epi8(v, zero));
        } else {
            alignas(16) uchar blocco[16];
            _mm_store_si128(reinterpret_cast<__m128i *>(blocco), v);
            for (int k = 0; k < 16; ++k)
                o[i + k] = t.carattere[blocco[k]];
        }
    }
#endif
    for (; i < n; ++i)
        o[i] = t.carattere[b[i]];
}

QString Decodifica(QByteArrayView byte)
{
    QString testo(byte.size(), Qt::Uninitialized);
    PagineGrandi(testo.constData(), std::size_t(byte.size()) * 2);
    DecodificaIn(byte, reinterpret_cast<char16_t *>(testo.data()));
    return testo;
}

bool CodificaIn(QStringView testo, char *uscita)
{
    const Tabelle &t = TabelleAnsi();
    if (!t.valide) return false;
    const qsizetype n = testo.size();
    char *o = uscita;
    const char16_t *u = testo.utf16();
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i alto = _mm_set1_epi16(short(0xFF80)), zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(u + i));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(u + i + 8));
        const __m128i fuori = _mm_and_si128(_mm_or_si128(a, c), alto);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(fuori, zero)) == 0xFFFF) { // ASCII only: narrow
            _mm_storeu_si128(reinterpret_cast<__m128i *>(o + i), _mm_packus_epi16(a, c));
            continue;
        }
        for (int k = 0; k < 16; ++k) {
            const qint16 v = t.byte[u[i + k]];
            if (v < 0) return false;
            o[i + k] = char(v);
        }
    }
#endif
    for (; i < n; ++i) {
        const qint16 v = t.byte[u[i]];
        if (v < 0) return false;
        o[i] = char(v);
    }
    return true;
}

QByteArray Codifica(const QString &testo, bool *ok)
{
    const qsizetype n = testo.size();
    QByteArray risultato(n, Qt::Uninitialized);
    PagineGrandi(risultato.constData(), std::size_t(n));
    if (CodificaIn(testo, risultato.data())) {
        if (ok) *ok = true;
        return risultato;
    }
    QStringEncoder encoder(NomeCodifica);
    risultato = encoder.encode(testo);
    if (ok) *ok = !encoder.hasError();
    return risultato;
}

const char16_t *Caratteri()
{
    const Tabelle &t = TabelleAnsi();
    return t.valide ? t.carattere.data() : nullptr;
}

int Byte(char16_t c)
{
    const Tabelle &t = TabelleAnsi();
    return t.valide ? t.byte[c] : -1;
}

bool Rappresentabile(const QString &testo)
{
    bool ok = false;
    Codifica(testo, &ok);
    return ok;
}

} // namespace CodificaAnsi
