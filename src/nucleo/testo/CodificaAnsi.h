#pragma once

#include <QByteArray>
#include <QString>

// The Western European 8-bit code page (Windows-1252) used by the list files
// and by documents that are not UTF-8.
namespace CodificaAnsi {

QString Decodifica(QByteArrayView byte);

// Writes the `byte.size()` characters of `byte` from `uscita` on. The bytes
// may lie inside the output itself, from its second half on (`byte.data()`
// at `uscita + byte.size()` read as bytes): a file read into the back of the
// text's own buffer is decoded in place.
void DecodificaIn(QByteArrayView byte, char16_t *uscita);

// Encodes `testo`; `ok` (when given) tells whether every character could be
// stored. Characters the code page lacks come out as the substitute byte 0x1A.
QByteArray Codifica(const QString &testo, bool *ok = nullptr);

// Writes the `testo.size()` bytes of `testo` from `uscita` on; false (with
// the bytes partly written) when a character has no byte in the code page.
bool CodificaIn(QStringView testo, char *uscita);

// True when every character of `testo` has a byte of its own in the code page.
bool Rappresentabile(const QString &testo);

// The character each byte stands for, 256 of them; nullptr when the system
// lacks the code page.
const char16_t *Caratteri();

// The byte that stands for `c` alone (decoding it gives `c` back), or -1.
int Byte(char16_t c);

} // namespace CodificaAnsi
