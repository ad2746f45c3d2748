#pragma once

// Slow, literal models of the program's algorithms, written step by step as
// the behaviour is described, to check the engines against.

#include <QByteArray>
#include <QString>

namespace Modello {

// A record written byte by byte: each field a 16-bit little-endian length and
// its Windows-1252 bytes, then zero filler up to 128.
QByteArray RecordLetterale(const QList<QByteArray> &campiTesto, const QList<int> &campiInteri);

} // namespace Modello
