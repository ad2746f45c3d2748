#pragma once

#include <QByteArrayView>
#include <QString>

// The plain text of an RTF document: groups, control words and symbols, \par
// and \line as line breaks, \tab, \'hh in the document's code page, \uN with
// its fallback characters skipped, and the destinations that hold no text left
// out. Malformed input (unbalanced braces, a cut file, deep nesting) never
// fails; groups nested deeper than a few thousand levels are read as plain
// text of the group around them, so memory stays bounded.
namespace LettoreRtf {

// Whether the bytes are an RTF document: they start with "{\\rtf".
bool Riconosce(QByteArrayView byte);
// The document's plain text.
QString Testo(QByteArrayView rtf);

} // namespace LettoreRtf
