#pragma once

// Line breaks as the editor holds them. Its document keeps one position per
// line break and takes as one a CR LF, a lone CR, a lone LF, the paragraph
// separator U+2029 and the frame separators U+FDD0, U+FDD1; the line separator
// U+2028 is an ordinary character. The editor's text is read and written with
// CR LF breaks, two characters each.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <algorithm>

namespace ACapo {

// The characters, besides CR and LF, that the editor keeps only as line breaks.
inline bool Separatore(char16_t u)
{
    return u == 0x2029 || u == 0xFDD0 || u == 0xFDD1;
}

// Whether `u` is a line break, or the start of one, for the editor.
inline bool Interruzione(char16_t u)
{
    return u == u'\r' || u == u'\n' || Separatore(u);
}

// How Normalizza writes each line break.
enum class Forma {
    CrLf, // the editor's text, and what a save writes
    Lf,   // what the editor's document is given
};

// `testo` with every line break, of any kind, written in `forma`; `testo`
// itself, shared, when nothing changes.
QString Normalizza(const QString &testo, Forma forma = Forma::CrLf);
// The same, with CR LF breaks, for a single-byte text (Windows-1252, which has
// no separators), given in pieces: `dopoCr` says the byte before `testo`,
// already written, was a CR, whose LF is written first.
QByteArray NormalizzaByte(QByteArrayView testo, bool dopoCr);

// The CR LF offset of document position `posizione`, which is on line `riga`
// (0-based): each earlier line break counts two characters instead of one.
inline qsizetype OffsetDaPosizione(qsizetype posizione, qsizetype riga)
{
    return posizione + riga;
}

// The document position of CR LF offset `offset`, in a document of `righe`
// lines where `inizioRiga(n)` is line n's first position and
// `lunghezzaRiga(n)` its characters, break excluded. An offset between a CR
// and its LF is the end of its line; one past the end is the end of the text.
// O(log righe) calls of `inizioRiga`.
template <typename InizioRiga, typename LunghezzaRiga>
qsizetype PosizioneDaOffset(qsizetype offset, qsizetype righe, InizioRiga inizioRiga,
                            LunghezzaRiga lunghezzaRiga)
{
    if (offset <= 0 || righe <= 0) return 0;
    // The last line whose CR LF start (position + breaks before it) is <= offset.
    qsizetype basso = 0, alto = righe - 1;
    while (basso < alto) {
        const qsizetype medio = basso + (alto - basso + 1) / 2;
        if (OffsetDaPosizione(inizioRiga(medio), medio) <= offset)
            basso = medio;
        else
            alto = medio - 1;
    }
    const qsizetype inizio = inizioRiga(basso);
    const qsizetype dentro = offset - OffsetDaPosizione(inizio, basso);
    return inizio + std::min<qsizetype>(dentro, lunghezzaRiga(basso));
}

} // namespace ACapo
