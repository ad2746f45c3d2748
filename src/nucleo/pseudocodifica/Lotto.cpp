#include "Lotto.h"

#include "nucleo/testo/CodificaAnsi.h"
#include "nucleo/testo/Documento.h"
#include "nucleo/testo/FileRegolare.h"
#include "nucleo/elenchi/ArchivioListe.h"
#include "nucleo/pseudocodifica/MotoreAnsi.h"
#include "nucleo/pseudocodifica/MotoreElenco.h"
#include "nucleo/pseudocodifica/Pulizia.h"

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
    if (n == 0) return 0; // an empty text may have no buffer at all
    if (DaCambiare(t, n, 0)) return 0;
    qsizetype i = 1;
#if defined(__SSE2__)
    // Sixteen units at a time: the text is as the editor holds it when every
    // LF has a CR just before it and every CR a LF just after it, that is when
    // the LF positions are the CR positions moved on by one; the separators
    // are all above U+2028.
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
                if (DaCambiare(t, n, k)) return k;
    }
#endif
    // The rest, from the unit before it (a CR there may lack its LF).
    for (i = i - 1; i < n; ++i)
        if (DaCambiare(t, n, i)) return i;
    return n;
}

// Whether the runs can be worked out on a Windows-1252 text's bytes.
bool SuiByte(const MotoreAnsi &motore, const QVector<VoceEliminazione> *eliminazioni,
             const RegoleCodice &regole)
{
    return (!eliminazioni || eliminazioni->isEmpty()) && !regole.Attive() && motore.Disponibile();
}

// The runs over the decoded text, its bytes as "&Salva" writes them.
void ComeTesto(QString testo, FormatoTesto formato, const MotoreElenco &motore,
               const QVector<VoceEliminazione> *eliminazioni, const RegoleCodice &regole,
               UscitaByte &uscita)
{
    const QByteArray byte = Documento::Codifica(
        Pseudocodifica(std::move(testo), motore, eliminazioni, nullptr, regole), formato);
    uscita.Aggiungi(byte.constData(), byte.size());
}

// A whole document's bytes: decoded when they are not Windows-1252, worked on
// as they are when the byte engine takes them, otherwise decoded with
// `decodificaAnsi`.
template <typename DecodificaAnsi>
void ElaboraByte(QByteArrayView byte, DecodificaAnsi decodificaAnsi, const MotoreElenco &motore,
                 const MotoreAnsi &ansi, const QVector<VoceEliminazione> *eliminazioni,
                 const RegoleCodice &regole, UscitaByte &uscita)
{
    FormatoTesto formato;
    if (std::optional<QString> testo = Documento::DecodificaNonAnsi(byte, formato))
        ComeTesto(*std::move(testo), formato, motore, eliminazioni, regole, uscita);
    else if (!PseudocodificaAnsi(byte, ansi, eliminazioni, regole, uscita))
        ComeTesto(decodificaAnsi(), formato, motore, eliminazioni, regole, uscita);
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

bool PseudocodificaAnsi(QByteArrayView byte, const MotoreAnsi &motore,
                        const QVector<VoceEliminazione> *eliminazioni, const RegoleCodice &regole,
                        UscitaByte &uscita, qsizetype *sostituzioni)
{
    if (!SuiByte(motore, eliminazioni, regole)) return false;
    const qsizetype conta = motore.Applica(byte, uscita);
    uscita.Aggiungi("\r\n", 2);
    if (sostituzioni) *sostituzioni = conta;
    return true;
}

bool Elabora(const QString &percorso, const MotoreElenco &motore, const MotoreAnsi &ansi,
             const QVector<VoceEliminazione> *eliminazioni, const RegoleCodice &regole,
             UscitaByte &uscita, ErroreFile *errore)
{
    std::optional<Documento::LetturaFile> lettura = Documento::LetturaFile::Apri(percorso, errore);
    if (!lettura) return false;
    // A large file whose first bytes show it is Windows-1252 is worked on
    // piece by piece as it is read, each piece while it is still in the
    // processor's cache.
    constexpr qsizetype Primi = qsizetype(64) << 10, Pezzo = qsizetype(256) << 10;
    QByteArray inizio;
    if (SuiByte(ansi, eliminazioni, regole) && lettura->Attesi() > Primi) {
        inizio.resize(Primi);
        const qsizetype letti = lettura->Leggi(inizio.data(), Primi, errore);
        if (letti < 0) return false;
        inizio.truncate(letti);
        if (letti == Primi && Documento::InizioAnsi(inizio)) {
            MotoreAnsi::APezzi pezzi(ansi, uscita);
            std::copy(inizio.cbegin(), inizio.cend(), pezzi.Spazio(letti));
            pezzi.Scritti(letti);
            for (;;) {
                const qsizetype r = lettura->Leggi(pezzi.Spazio(Pezzo), Pezzo, errore);
                if (r < 0) return false;
                if (r == 0) break;
                pezzi.Scritti(r);
            }
            pezzi.Fine();
            uscita.Aggiungi("\r\n", 2);
            return true;
        }
    }
    std::optional<Documento::FileLetto> file = Documento::LeggiByte(*lettura, inizio, errore);
    if (!file) return false;
    lettura.reset();
    ElaboraByte(
        file->Byte(), [&] { return Documento::DecodificaAnsi(*std::move(file)); }, motore, ansi,
        eliminazioni, regole, uscita);
    return true;
}

void Elabora(const QByteArray &byte, const MotoreElenco &motore, const MotoreAnsi &ansi,
             const QVector<VoceEliminazione> *eliminazioni, const RegoleCodice &regole,
             UscitaByte &uscita)
{
    ElaboraByte(
        byte, [&] { return CodificaAnsi::Decodifica(byte); }, motore, ansi, eliminazioni, regole,
        uscita);
}

std::optional<QByteArray> LeggiElenco(const QString &percorso, ErroreFile *errore)
{
    return FileRegolare::Leggi(percorso, DimensioneMassimaElenco, errore);
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
