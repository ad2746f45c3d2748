#pragma once

#include <QColor>
#include <QPalette>

// Every mark, fill and syntax colour of the program, derived from the
// palette in use: on a light theme and on a dark one the text drawn over
// them keeps a contrast of at least 4.5:1 with what lies under it.
namespace Colori {

constexpr qreal ContrastoMinimo = 4.5;

// The relative luminance of `colore` (0 black, 1 white) and the contrast
// ratio of two colours (1 to 21), as the web's accessibility rules define them.
qreal Luminanza(const QColor &colore);
qreal Contrasto(const QColor &a, const QColor &b);

// `colore` with its hue kept, lighter or darker as `sfondo` asks, until it
// reads on `sfondo` at `minimo`; black or white when no shade of it does.
QColor Leggibile(const QColor &colore, const QColor &sfondo, qreal minimo = ContrastoMinimo);
// `sfondo` tinted towards `tinta` by up to `quota` (0 to 1), as much as
// leaves `testo` readable on it at `minimo`.
QColor Tinta(const QColor &sfondo, const QColor &tinta, qreal quota, const QColor &testo,
             qreal minimo = ContrastoMinimo);

// True when the palette's text background is dark.
bool Scura(const QPalette &tavolozza);

// The editor's background of the words the last run replaced.
QColor SegniCorsa(const QPalette &tavolozza);
// The comparison's line under those words, on a row's background.
QColor Sottolineatura(const QPalette &tavolozza);
// The comparison's rows: a changed line, and the side of a row with no line.
QColor RigaCambiata(const QPalette &tavolozza);
QColor RigaAssente(const QPalette &tavolozza);
// The comparison's changed words: on the original side, and on the current side.
QColor SegnoOriginale(const QPalette &tavolozza);
QColor SegnoAttuale(const QPalette &tavolozza);
// The text of comments and strings (the stretches the runs leave alone), on `sfondo`.
QColor Commento(const QPalette &tavolozza, const QColor &sfondo);
inline QColor Commento(const QPalette &tavolozza)
{
    return Commento(tavolozza, tavolozza.color(QPalette::Base));
}

} // namespace Colori
