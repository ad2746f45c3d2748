#include "CodificaAnsi.h"

#include "app/PagineGrandi.h"

#include <QStringDecoder>
#include <QStringEncoder>
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

QString Decodifica(QByteArrayView byte)
{
    const Tabelle &t = TabelleAnsi();
    if (!t.valide) {
        QStringDecoder decoder(NomeCodifica);
        return decoder.decode(byte);
    }
    const qsizetype n = byte.size();
    QString testo(n, Qt::Uninitialized);
    PagineGrandi(testo.constData(), std::size_t(n) * 2);
    char16_t *o = reinterpret_cast<char16_t *>(testo.data());
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
            for (int k = 0; k < 16; ++k)
                o[i + k] = t.carattere[b[i + k]];
        }
    }
#endif
    for (; i < n; ++i)
        o[i] = t.carattere[b[i]];
    return testo;
}

QByteArray Codifica(const QString &testo, bool *ok)
{
    const Tabelle &t = TabelleAnsi();
    if (t.valide) {
        const qsizetype n = testo.size();
        QByteArray risultato(n, Qt::Uninitialized);
        PagineGrandi(risultato.constData(), std::size_t(n));
        char *o = risultato.data();
        const char16_t *u = reinterpret_cast<const char16_t *>(testo.utf16());
        qsizetype i = 0;
        bool completo = true;
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
            for (int k = 0; k < 16 && completo; ++k) {
                const qint16 v = t.byte[u[i + k]];
                completo = v >= 0;
                o[i + k] = char(v);
            }
            if (!completo) break;
        }
#endif
        for (; i < n && completo; ++i) {
            const qint16 v = t.byte[u[i]];
            completo = v >= 0;
            o[i] = char(v);
        }
        if (completo) {
            if (ok) *ok = true;
            return risultato;
        }
    }
    QStringEncoder encoder(NomeCodifica);
    QByteArray risultato = encoder.encode(testo);
    if (ok) *ok = !encoder.hasError();
    return risultato;
}

bool Rappresentabile(const QString &testo)
{
    bool ok = false;
    Codifica(testo, &ok);
    return ok;
}

} // namespace CodificaAnsi
