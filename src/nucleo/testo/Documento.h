#pragma once

#include "nucleo/testo/ErroreFile.h"

#include <QByteArray>
#include <QString>

namespace ScritturaAtomica {
struct Canale;
}
#include <optional>

// How a document's bytes stand for its text; kept from reading to saving.
struct FormatoTesto
{
    enum class Codifica { Ansi, Utf8, Utf16Le, Utf16Be };
    Codifica codifica = Codifica::Ansi; // Windows-1252
    bool bom = false;                   // the text starts with a byte-order mark (UTF-16 always)

    bool operator==(const FormatoTesto &o) const { return codifica == o.codifica && bom == o.bom; }
};

namespace Documento {

// Files larger than this are refused: the editor would not hold them well.
constexpr qint64 DimensioneMassima = qint64(256) << 20;

// Text files: UTF-8 or UTF-16 (little or big endian) when they start with
// that encoding's byte-order mark, UTF-8 when they are valid UTF-8 holding at
// least one multi-byte sequence, Windows-1252 otherwise. A text is read in an
// encoding only when encoding it again gives back every byte; when it would
// not (invalid bytes after a mark) it is read as Windows-1252, which keeps
// every byte. RTF files (starting with "{\rtf") are reduced to their plain text.
QString Decodifica(const QByteArray &byte, FormatoTesto *formato);

// True when `testo` holds characters the editor keeps only as line breaks
// (the paragraph separator U+2029 and the block separators U+FDD0, U+FDD1):
// a save writes them as CR LF. The line separator U+2028 is kept as it is.
bool ContieneSeparatoriSpeciali(const QString &testo);

// The bytes a save writes: the text, one more CR LF, in the document's
// encoding. A Windows-1252 text holding characters the code page lacks is
// written as UTF-8 instead, and `formato` says so afterwards.
QByteArray Codifica(const QString &testoCrLf, FormatoTesto &formato);

// The text of `byte` when it is not plain Windows-1252 (a byte-order mark,
// RTF, UTF-8), and its format in `formato`; nothing when it is Windows-1252,
// and then `formato` is left as it was.
std::optional<QString> DecodificaNonAnsi(QByteArrayView byte, FormatoTesto &formato);

// A file's bytes as read, kept at the back of a buffer that can hold its text:
// decoding them as Windows-1252 needs no other buffer.
class FileLetto
{
public:
    explicit FileLetto(qsizetype byte = 0);
    QByteArrayView Byte() const
    {
        return {reinterpret_cast<const char *>(m_testo.constData()) + m_testo.size(),
                m_testo.size()};
    }
    char *Dati() { return reinterpret_cast<char *>(m_testo.data()) + m_testo.size(); }

private:
    friend QString DecodificaAnsi(FileLetto file);
    QString m_testo; // as many units as the file has bytes
};

// A file opened for reading as Leggi opens it: only regular files (or links
// to one) no larger than the limit.
class LetturaFile
{
public:
    static std::optional<LetturaFile> Apri(const QString &percorso, ErroreFile *errore);
    LetturaFile(LetturaFile &&altro) noexcept;
    LetturaFile &operator=(LetturaFile &&) = delete;
    ~LetturaFile();

    // The file's size when it was opened.
    qsizetype Attesi() const { return m_attesi; }
    // Reads up to `quanti` bytes into `dove`, fewer only at the end of the
    // file; -1 on failure or past the limit (`errore` says why).
    qsizetype Leggi(char *dove, qsizetype quanti, ErroreFile *errore);

private:
    LetturaFile() = default;
    int m_fd = -1;
    qsizetype m_attesi = 0, m_letti = 0;
};

// Whether a file's first bytes already show that Decodifica reads it as
// Windows-1252: no byte-order mark, not RTF, and a byte sequence that is not
// UTF-8 wholly among them.
bool InizioAnsi(QByteArrayView inizio);

// Reads the whole file, as Leggi does, without decoding it.
std::optional<FileLetto> LeggiByte(const QString &percorso, ErroreFile *errore);
// The same for a file being read, whose bytes so far are `inizio`.
std::optional<FileLetto> LeggiByte(LetturaFile &file, QByteArrayView inizio, ErroreFile *errore);

// The text of a file read with LeggiByte, as Decodifica gives it.
QString Decodifica(FileLetto file, FormatoTesto *formato);
// The same for a file known to be Windows-1252 (DecodificaNonAnsi gave nothing).
QString DecodificaAnsi(FileLetto file);

// Reads and decodes the whole file; nothing on failure (`errore` says why).
// Only regular files (or links to one) are opened: a named pipe, a device, a
// socket or a folder is refused before it is opened, so nothing can block.
std::optional<QString> Leggi(const QString &percorso, FormatoTesto *formato, ErroreFile *errore);

// Writes atomically: a write that fails leaves the previous file whole and
// `formato` unchanged. In a folder where no temporary file can be made the
// file is rewritten in place, as safely as ScritturaAtomica does it.
// `canale`: the way the bytes reach the disk (none: straight).
bool Scrivi(const QString &percorso, const QString &testoCrLf, FormatoTesto &formato,
            ErroreFile *errore, const ScritturaAtomica::Canale *canale = nullptr);

} // namespace Documento
