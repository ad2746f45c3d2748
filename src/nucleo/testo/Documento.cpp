#include "Documento.h"

#include "nucleo/testo/ACapo.h"
#include "nucleo/testo/CodificaAnsi.h"
#include "nucleo/testo/FileRegolare.h"
#include "nucleo/testo/LettoreRtf.h"
#include "nucleo/testo/PagineGrandi.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Documento {

namespace {

const QByteArray BomUtf8("\xEF\xBB\xBF", 3);
const QByteArray BomUtf16Le("\xFF\xFE", 2);
const QByteArray BomUtf16Be("\xFE\xFF", 2);

QStringConverter::Encoding Conversione(FormatoTesto::Codifica codifica)
{
    switch (codifica) {
    case FormatoTesto::Codifica::Utf16Le:
        return QStringConverter::Utf16LE;
    case FormatoTesto::Codifica::Utf16Be:
        return QStringConverter::Utf16BE;
    default:
        return QStringConverter::Utf8;
    }
}

const QByteArray &Bom(FormatoTesto::Codifica codifica)
{
    switch (codifica) {
    case FormatoTesto::Codifica::Utf16Le:
        return BomUtf16Le;
    case FormatoTesto::Codifica::Utf16Be:
        return BomUtf16Be;
    default:
        return BomUtf8;
    }
}

// The text of `byte` in `codifica`, or nothing when encoding that text again
// would not give back the same bytes (invalid or cut sequences). A second
// byte-order mark stays in the text as a character.
std::optional<QString> SenzaPerdite(QByteArrayView byte, QStringConverter::Encoding codifica)
{
    QStringDecoder decoder(codifica, QStringConverter::Flag::ConvertInitialBom);
    QString testo = decoder.decode(byte);
    if (decoder.hasError()) return std::nullopt;
    QStringEncoder encoder(codifica);
    const QByteArray ancora = encoder.encode(testo);
    if (QByteArrayView(ancora) != byte) return std::nullopt;
    return testo;
}

// What strict UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF) makes of the bytes: ASCII alone, valid with at least one
// multi-byte sequence, not valid, or not valid only because a sequence is cut
// at the end.
enum class Utf8 { Ascii, Multibyte, NonValido, Troncato };
Utf8 EsameUtf8(QByteArrayView byte)
{
    bool multibyte = false;
    const qsizetype n = byte.size();
    for (qsizetype i = 0; i < n;) {
#if defined(__SSE2__)
        // ASCII runs sixteen bytes at a time.
        while (i + 16 <= n && _mm_movemask_epi8(_mm_loadu_si128(
                                  reinterpret_cast<const __m128i *>(byte.data() + i))) == 0)
            i += 16;
        if (i == n) break;
#endif
        const uchar c = uchar(byte[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int seguenti;
        char32_t codice, minimo;
        if ((c & 0xE0) == 0xC0) {
            seguenti = 1, codice = c & 0x1F, minimo = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            seguenti = 2, codice = c & 0x0F, minimo = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            seguenti = 3, codice = c & 0x07, minimo = 0x10000;
        } else {
            return Utf8::NonValido;
        }
        if (i + seguenti >= n) return Utf8::Troncato;
        for (int k = 1; k <= seguenti; ++k) {
            const uchar d = uchar(byte[i + k]);
            if ((d & 0xC0) != 0x80) return Utf8::NonValido;
            codice = (codice << 6) | (d & 0x3F);
        }
        if (codice < minimo || codice > 0x10FFFF || (codice >= 0xD800 && codice <= 0xDFFF))
            return Utf8::NonValido;
        multibyte = true;
        i += seguenti + 1;
    }
    return multibyte ? Utf8::Multibyte : Utf8::Ascii;
}

bool Utf8ConMultibyte(QByteArrayView byte)
{
    return EsameUtf8(byte) == Utf8::Multibyte;
}

ErroreFile TroppoGrande()
{
    return {EFBIG, QStringLiteral("Il file è troppo grande per l'editor (il limite è %1 MB)")
                       .arg(DimensioneMassima >> 20)};
}

} // namespace

bool InizioAnsi(QByteArrayView inizio)
{
    return !inizio.startsWith(BomUtf8) && !inizio.startsWith(BomUtf16Le) &&
           !inizio.startsWith(BomUtf16Be) && !LettoreRtf::Riconosce(inizio) && inizio.size() >= 5 &&
           EsameUtf8(inizio) == Utf8::NonValido;
}

std::optional<QString> DecodificaNonAnsi(QByteArrayView byte, FormatoTesto &f)
{
    for (const auto codifica : {FormatoTesto::Codifica::Utf8, FormatoTesto::Codifica::Utf16Le,
                                FormatoTesto::Codifica::Utf16Be}) {
        const QByteArray &bom = Bom(codifica);
        if (!byte.startsWith(bom)) continue;
        std::optional<QString> testo = SenzaPerdite(byte.sliced(bom.size()), Conversione(codifica));
        if (testo) {
            f = {codifica, true};
            return testo;
        }
        break;
    }
    if (LettoreRtf::Riconosce(byte)) return LettoreRtf::Testo(byte);
    if (Utf8ConMultibyte(byte)) {
        f = {FormatoTesto::Codifica::Utf8, false};
        return QString::fromUtf8(byte);
    }
    return std::nullopt;
}

QString Decodifica(const QByteArray &byte, FormatoTesto *formato)
{
    FormatoTesto f;
    std::optional<QString> testo = DecodificaNonAnsi(byte, f);
    if (formato) *formato = f;
    return testo ? *std::move(testo) : CodificaAnsi::Decodifica(byte);
}

bool ContieneSeparatoriSpeciali(const QString &testo)
{
    for (const QChar c : testo) {
        if (ACapo::Separatore(c.unicode())) return true;
    }
    return false;
}

QByteArray Codifica(const QString &testoCrLf, FormatoTesto &formato)
{
    // The final CR LF is written after the text rather than appended to a
    // copy of it: a document may be tens of megabytes.
    const QStringView fine = u"\r\n";
    const qsizetype n = testoCrLf.size();
    if (formato.codifica == FormatoTesto::Codifica::Ansi) {
        QByteArray byte(n + fine.size(), Qt::Uninitialized);
        PagineGrandi(byte.constData(), std::size_t(byte.size()));
        if (CodificaAnsi::CodificaIn(testoCrLf, byte.data())) {
            byte[n] = '\r';
            byte[n + 1] = '\n';
            return byte;
        }
        formato = {FormatoTesto::Codifica::Utf8, false};
    }
    QStringEncoder encoder(Conversione(formato.codifica));
    const QByteArray &bom = formato.bom ? Bom(formato.codifica) : QByteArray();
    QByteArray byte(bom.size() + encoder.requiredSpace(n + fine.size()), Qt::Uninitialized);
    PagineGrandi(byte.constData(), std::size_t(byte.size()));
    char *p = std::copy(bom.begin(), bom.end(), byte.data());
    p = encoder.appendToBuffer(p, testoCrLf);
    p = encoder.appendToBuffer(p, fine);
    byte.truncate(p - byte.constData());
    return byte;
}

FileLetto::FileLetto(qsizetype byte)
{
    if (byte > 0) {
        m_testo = QString(byte, Qt::Uninitialized);
        PagineGrandi(m_testo.constData(), std::size_t(byte) * 2);
    }
}

LetturaFile::LetturaFile(LetturaFile &&altro) noexcept
    : m_fd(std::exchange(altro.m_fd, -1)), m_attesi(altro.m_attesi), m_letti(altro.m_letti)
{
}

LetturaFile::~LetturaFile()
{
    if (m_fd >= 0) ::close(m_fd);
}

std::optional<LetturaFile> LetturaFile::Apri(const QString &percorso, ErroreFile *errore)
{
    LetturaFile file;
    qint64 dimensione = 0;
    ErroreFile perche;
    file.m_fd = FileRegolare::Apri(percorso, O_RDONLY, DimensioneMassima, &perche, &dimensione);
    if (file.m_fd < 0) {
        if (errore) *errore = perche.numero == EFBIG ? TroppoGrande() : std::move(perche);
        return std::nullopt;
    }
    file.m_attesi = qsizetype(dimensione);
    return file;
}

qsizetype LetturaFile::Leggi(char *dove, qsizetype quanti, ErroreFile *errore)
{
    for (qsizetype fatti = 0;;) {
        const ssize_t r = ::read(m_fd, dove + fatti, std::size_t(quanti - fatti));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            if (errore) *errore = ErroreFile::DaErrno(errno);
            return -1;
        }
        fatti += r;
        m_letti += r;
        if (m_letti > DimensioneMassima) {
            if (errore) *errore = TroppoGrande();
            return -1;
        }
        if (r == 0 || fatti == quanti) return fatti;
    }
}

std::optional<FileLetto> LeggiByte(const QString &percorso, ErroreFile *errore)
{
    std::optional<LetturaFile> file = LetturaFile::Apri(percorso, errore);
    if (!file) return std::nullopt;
    return LeggiByte(*file, {}, errore);
}

std::optional<FileLetto> LeggiByte(LetturaFile &lettura, QByteArrayView inizio, ErroreFile *errore)
{
    // A file of the expected size is read straight into its place.
    const qsizetype attesi = std::max(lettura.Attesi(), inizio.size());
    FileLetto file(attesi);
    std::copy(inizio.begin(), inizio.end(), file.Dati());
    qsizetype letti = inizio.size();
    if (letti < attesi) {
        const qsizetype r = lettura.Leggi(file.Dati() + letti, attesi - letti, errore);
        if (r < 0) return std::nullopt;
        letti += r;
    }
    if (letti < attesi) {
        // The file got shorter while it was read: its bytes as they came.
        FileLetto corto(letti);
        std::copy_n(file.Dati(), letti, corto.Dati());
        return corto;
    }
    // Whatever comes past the expected size.
    QByteArray oltre;
    for (char blocco[4096];;) {
        const qsizetype r = lettura.Leggi(blocco, sizeof blocco, errore);
        if (r < 0) return std::nullopt;
        if (r == 0) break;
        oltre.append(blocco, r);
    }
    if (oltre.isEmpty()) return file;
    FileLetto lungo(letti + oltre.size());
    std::copy_n(file.Dati(), letti, lungo.Dati());
    std::copy(oltre.cbegin(), oltre.cend(), lungo.Dati() + letti);
    return lungo;
}

QString Decodifica(FileLetto file, FormatoTesto *formato)
{
    FormatoTesto f;
    std::optional<QString> altro = DecodificaNonAnsi(file.Byte(), f);
    if (formato) *formato = f;
    if (altro) return *std::move(altro);
    return DecodificaAnsi(std::move(file));
}

QString DecodificaAnsi(FileLetto file)
{
    // Decoded in place.
    CodificaAnsi::DecodificaIn(file.Byte(), reinterpret_cast<char16_t *>(file.m_testo.data()));
    return std::move(file.m_testo);
}

std::optional<QString> Leggi(const QString &percorso, FormatoTesto *formato, ErroreFile *errore)
{
    std::optional<FileLetto> file = LeggiByte(percorso, errore);
    if (!file) return std::nullopt;
    return Decodifica(*std::move(file), formato);
}

bool Scrivi(const QString &percorso, const QString &testoCrLf, FormatoTesto &formato,
            ErroreFile *errore, const ScritturaAtomica::Canale *canale)
{
    FormatoTesto nuovo = formato;
    const QByteArray byte = Codifica(testoCrLf, nuovo);
    if (!ScritturaAtomica::Scrivi(percorso, byte, ScritturaAtomica::Modo::InPostoSeNecessario,
                                  errore, canale))
        return false;
    formato = nuovo;
    return true;
}

} // namespace Documento
