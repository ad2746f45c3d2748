#pragma once

// The edits that turn one editor text into another, so that the editor
// rewrites only what differs and keeps the rest of its document as it is.

#include <QList>
#include <QString>
#include <QStringView>
#include <utility>

namespace ModificheTesto {

// Replace `lunghezza` characters at `inizio` with `testo`. Positions count
// one per line break, as the editor's document holds them, and `testo` has
// LF breaks.
struct Modifica
{
    qsizetype inizio = 0;
    qsizetype lunghezza = 0;
    QString testo;
};

// The edits that turn `vecchio` into `nuovo`, both with CR LF breaks, to be
// applied in order: each position is in the text as the earlier edits left
// it. When the changed span keeps its number of line breaks, one edit per
// changed line, covering that line's changed characters only, so no line break
// is removed or written; otherwise one edit from the first to the last
// changed character. None when the texts are equal.
QList<Modifica> Calcola(QStringView vecchio, QStringView nuovo);

// A stretch of a CR LF text: start and length in its characters.
using Segno = std::pair<qsizetype, qsizetype>;

// The stretches of `nuovo` that the edits Calcola(vecchio, nuovo) wrote (both
// with CR LF breaks): within a line, the words the edit changed; an edit over
// several lines, all it wrote. Each stretch takes in the whole words it
// touches; an edit that only removed characters leaves none. At most
// `massimo` stretches, the first ones.
QList<Segno> Segni(const QList<Modifica> &modifiche, QStringView vecchio, QStringView nuovo,
                   qsizetype massimo = 20000);

} // namespace ModificheTesto
