#pragma once

#include <QByteArray>
#include <QString>

// The Western European 8-bit code page (Windows-1252) used by the list files
// and by documents that are not UTF-8.
namespace CodificaAnsi {

QString Decodifica(QByteArrayView byte);

// Encodes `testo`; `ok` (when given) tells whether every character could be
// stored. Characters the code page lacks come out as the substitute byte 0x1A.
QByteArray Codifica(const QString &testo, bool *ok = nullptr);

// True when every character of `testo` has a byte of its own in the code page.
bool Rappresentabile(const QString &testo);

} // namespace CodificaAnsi
