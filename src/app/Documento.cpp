#include "Documento.h"

#include "app/CodificaAnsi.h"
#include "app/LettoreRtf.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace Documento {

namespace {

const QByteArray BomUtf8("\xEF\xBB\xBF", 3);

// Strict UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF)
// with at least one multi-byte sequence.
bool Utf8ConMultibyte(QByteArrayView byte)
{
    bool multibyte = false;
    const qsizetype n = byte.size();
    for (qsizetype i = 0; i < n;) {
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
            return false;
        }
        if (i + seguenti >= n) return false;
        for (int k = 1; k <= seguenti; ++k) {
            const uchar d = uchar(byte[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            codice = (codice << 6) | (d & 0x3F);
        }
        if (codice < minimo || codice > 0x10FFFF || (codice >= 0xD800 && codice <= 0xDFFF))
            return false;
        multibyte = true;
        i += seguenti + 1;
    }
    return multibyte;
}

ErroreFile TroppoGrande()
{
    return {EFBIG, QStringLiteral("Il file è troppo grande per l'editor (il limite è %1 MB)")
                       .arg(DimensioneMassima >> 20)};
}

} // namespace

QString Decodifica(const QByteArray &byte, FormatoTesto *formato)
{
    FormatoTesto f;
    QString testo;
    if (byte.startsWith(BomUtf8)) {
        f = {FormatoTesto::Codifica::Utf8, true};
        testo = QString::fromUtf8(QByteArrayView(byte).sliced(BomUtf8.size()));
    } else if (LettoreRtf::Riconosce(byte)) {
        testo = LettoreRtf::Testo(byte);
    } else if (Utf8ConMultibyte(byte)) {
        f = {FormatoTesto::Codifica::Utf8, false};
        testo = QString::fromUtf8(byte);
    } else {
        testo = CodificaAnsi::Decodifica(byte);
    }
    if (formato) *formato = f;
    return testo;
}

QByteArray Codifica(const QString &testoCrLf, FormatoTesto &formato)
{
    const QString completo = testoCrLf + QStringLiteral("\r\n");
    if (formato.codifica == FormatoTesto::Codifica::Ansi) {
        bool ok = false;
        QByteArray byte = CodificaAnsi::Codifica(completo, &ok);
        if (ok) return byte;
        formato = {FormatoTesto::Codifica::Utf8, false};
    }
    QByteArray byte = completo.toUtf8();
    if (formato.bom) byte.prepend(BomUtf8);
    return byte;
}

std::optional<QString> Leggi(const QString &percorso, FormatoTesto *formato, ErroreFile *errore)
{
    const QFileInfo info(percorso);
    if (info.isDir()) {
        if (errore) *errore = ErroreFile::DaErrno(EISDIR);
        return std::nullopt;
    }
    if (info.exists() && info.size() > DimensioneMassima) {
        if (errore) *errore = TroppoGrande();
        return std::nullopt;
    }
    QFile file(percorso);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        if (errore) *errore = ErroreFile::DaErrno(errno);
        return std::nullopt;
    }
    errno = 0;
    const QByteArray byte = file.read(DimensioneMassima + 1);
    if (file.error() != QFileDevice::NoError) {
        if (errore) *errore = ErroreFile::DaErrno(errno);
        return std::nullopt;
    }
    if (byte.size() > DimensioneMassima) {
        if (errore) *errore = TroppoGrande();
        return std::nullopt;
    }
    return Decodifica(byte, formato);
}

bool Scrivi(const QString &percorso, const QString &testoCrLf, FormatoTesto &formato,
            ErroreFile *errore)
{
    FormatoTesto nuovo = formato;
    const QByteArray byte = Codifica(testoCrLf, nuovo);
    QSaveFile file(percorso);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        if (errore) *errore = ErroreFile::DaErrno(errno);
        return false;
    }
    errno = 0;
    if (file.write(byte) != byte.size()) {
        const int e = errno;
        file.cancelWriting();
        if (errore) *errore = ErroreFile::DaErrno(e);
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        if (errore) *errore = ErroreFile::DaErrno(errno);
        return false;
    }
    formato = nuovo;
    return true;
}

} // namespace Documento
