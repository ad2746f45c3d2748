#pragma once

#include "app/ErroreFile.h"

#include <QByteArray>
#include <QString>
#include <optional>

// How a document's bytes stand for its text; kept from reading to saving.
struct FormatoTesto
{
    enum class Codifica { Ansi, Utf8 };
    Codifica codifica = Codifica::Ansi; // Windows-1252
    bool bom = false;                   // UTF-8 with its byte-order mark

    bool operator==(const FormatoTesto &o) const { return codifica == o.codifica && bom == o.bom; }
};

namespace Documento {

// Files larger than this are refused: the editor would not hold them well.
constexpr qint64 DimensioneMassima = qint64(256) << 20;

// Text files: UTF-8 when they start with its byte-order mark, or are valid
// UTF-8 holding at least one multi-byte sequence; Windows-1252 otherwise.
// RTF files (starting with "{\rtf") are reduced to their plain text.
QString Decodifica(const QByteArray &byte, FormatoTesto *formato);

// The bytes a save writes: the text, one more CR LF, in the document's
// encoding. A Windows-1252 text holding characters the code page lacks is
// written as UTF-8 instead, and `formato` says so afterwards.
QByteArray Codifica(const QString &testoCrLf, FormatoTesto &formato);

// Reads and decodes the whole file; nothing on failure (`errore` says why).
std::optional<QString> Leggi(const QString &percorso, FormatoTesto *formato, ErroreFile *errore);

// Writes atomically: a write that fails leaves the previous file whole.
bool Scrivi(const QString &percorso, const QString &testoCrLf, FormatoTesto &formato,
            ErroreFile *errore);

} // namespace Documento
