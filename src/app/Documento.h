#pragma once

#include "app/ErroreFile.h"

#include <QByteArray>
#include <QString>
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

// Reads and decodes the whole file; nothing on failure (`errore` says why).
// Only regular files (or links to one) are opened: a named pipe, a device, a
// socket or a folder is refused before it is opened, so nothing can block.
std::optional<QString> Leggi(const QString &percorso, FormatoTesto *formato, ErroreFile *errore);

// Writes atomically: a write that fails leaves the previous file whole and
// `formato` unchanged. In a folder where no temporary file can be made the
// file is rewritten in place.
bool Scrivi(const QString &percorso, const QString &testoCrLf, FormatoTesto &formato,
            ErroreFile *errore);

} // namespace Documento
