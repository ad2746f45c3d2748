#include "Lotto.h"

#include "pseudo/MotoreElenco.h"
#include "pseudo/Pulizia.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Lotto {

namespace {

inline bool Interruzione(char16_t u)
{
    return u == u'\n' || u == u'\r' || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1;
}

// Whether the unit at `i` is one the editor would change: a CR without a LF
// after it, a LF without a CR before it, or a separator.
inline bool DaCambiare(const char16_t *t, qsizetype n, qsizetype i)
{
    const char16_t u = t[i];
    if (u == u'\r') return i + 1 == n || t[i + 1] != u'\n';
    if (u == u'\n') return i == 0 || t[i - 1] != u'\r';
    return u == 0x2029 || u == 0xFDD0 || u == 0xFDD1;
}

// Index of the first unit the editor would change; the length of the text
// when there is none.
qsizetype PrimoDaCambiare(QStringView testo)
{
    const char16_t *t = reinterpret_cast<const char16_t *>(testo.utf16());
    const qsizetype n = testo.size();
    if (n > 0 && DaCambiare(t, n, 0)) return 0;
    qsizetype i = 1;
#if defined(__SSE2__)
    // Eight units at a time, each beside the one before and the one after it.
    const __m128i cr = _mm_set1_epi16('\r'), lf = _mm_set1_epi16('\n');
    const __m128i paragrafo = _mm_set1_epi16(short(0x2029)),
                  inizioCornice = _mm_set1_epi16(short(0xFDD0)),
                  fineCornice = _mm_set1_epi16(short(0xFDD1));
    for (; i + 9 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + i));
        const __m128i prima = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + i - 1));
        const __m128i dopo = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + i + 1));
        const __m128i crSolo = _mm_andnot_si128(_mm_cmpeq_epi16(dopo, lf), _mm_cmpeq_epi16(v, cr));
        const __m128i lfSolo = _mm_andnot_si128(_mm_cmpeq_epi16(prima, cr), _mm_cmpeq_epi16(v, lf));
        const __m128i separatore = _mm_or_si128(
            _mm_cmpeq_epi16(v, paragrafo),
            _mm_or_si128(_mm_cmpeq_epi16(v, inizioCornice), _mm_cmpeq_epi16(v, fineCornice)));
        const int maschera =
            _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(crSolo, lfSolo), separatore));
        if (maschera) return i + (__builtin_ctz(unsigned(maschera)) >> 1);
    }
#endif
    for (; i < n; ++i)
        if (DaCambiare(t, n, i)) return i;
    return n;
}

template <typename Voce, typename Decodifica>
QVector<Voce> Dividi(const QByteArray &dati, Decodifica decodifica)
{
    QVector<Voce> voci;
    const qsizetype n = dati.size() / Record::Lunghezza;
    voci.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        voci.append(
            decodifica(QByteArrayView(dati).sliced(i * Record::Lunghezza, Record::Lunghezza)));
    return voci;
}

} // namespace

QString ACapoComeEditor(const QString &testo)
{
    const qsizetype n = testo.size();
    qsizetype i = PrimoDaCambiare(testo);
    if (i == n) return testo;
    QString risultato;
    risultato.reserve(n + n / 16 + 2);
    risultato.append(QStringView(testo).first(i));
    const QChar *t = testo.constData();
    for (; i < n; ++i) {
        const char16_t u = t[i].unicode();
        if (!Interruzione(u)) {
            risultato.append(t[i]);
            continue;
        }
        if (u == u'\r' && i + 1 < n && t[i + 1] == u'\n') ++i;
        risultato.append(QLatin1String("\r\n"));
    }
    return risultato;
}

QString Pseudocodifica(QString testo, const MotoreElenco &motore,
                       const QVector<VoceEliminazione> *eliminazioni, qsizetype *sostituzioni,
                       const RegoleCodice &regole)
{
    // Each step that changes the text writes it to the editor, which turns
    // any line break the step made into its own. A step whose words and
    // replacements hold no line break cannot make one.
    testo = ACapoComeEditor(testo);
    if (eliminazioni) {
        Pulizia::Esito pulito = Pulizia::Applica(testo, *eliminazioni, regole);
        if (pulito.eliminate > 0) {
            bool toccaACapo = false;
            for (const VoceEliminazione &v : *eliminazioni)
                toccaACapo = toccaACapo || MotoreElenco::TieneACapo(v.Elimina);
            testo = toccaACapo ? ACapoComeEditor(pulito.testo) : std::move(pulito.testo);
        }
    }
    qsizetype conta = 0;
    testo = motore.Applica(testo, regole, &conta);
    if (conta > 0 && motore.ToccaGliACapo()) testo = ACapoComeEditor(testo);
    if (sostituzioni) *sostituzioni = conta;
    return testo;
}

std::optional<QByteArray> LeggiElenco(const QString &percorso, ErroreFile *errore)
{
    if (QFileInfo(percorso).isDir()) {
        if (errore) *errore = ErroreFile::DaErrno(EISDIR);
        return std::nullopt;
    }
    QFile file(percorso);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        if (errore) *errore = ErroreFile::DaErrno(errno);
        return std::nullopt;
    }
    errno = 0;
    QByteArray dati = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (errore) *errore = ErroreFile::DaErrno(errno);
        return std::nullopt;
    }
    return dati;
}

QVector<VoceSostituzione> Sostituzioni(const QByteArray &dati)
{
    return Dividi<VoceSostituzione>(dati, &Record::DecodificaSostituzione);
}

QVector<VoceEliminazione> Eliminazioni(const QByteArray &dati)
{
    return Dividi<VoceEliminazione>(dati, &Record::DecodificaEliminazione);
}

} // namespace Lotto
