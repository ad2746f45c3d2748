#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// Two versions of a text set line beside line: which line of the original
// sits beside which line of the current text, and which words changed.
namespace Confronto {

// A stretch of characters within one line.
struct Tratto
{
    qsizetype Inizio = 0, Lunghezza = 0;
};

// One row of the comparison: a line of each side, or of one side only (-1
// on the other), with the changed words of each side.
struct Riga
{
    qsizetype Originale = -1, Attuale = -1;
    bool Cambiata = false;
    QList<Tratto> SegniOriginale, SegniAttuale;
};

struct Risultato
{
    QStringList RigheOriginale, RigheAttuale;
    QList<Riga> Righe;
    qsizetype RigheCambiate = 0;
    // The first row of each change (a run of changed rows), in order.
    QList<qsizetype> Cambiamenti;
};

// The lines of `testo`, split where the editor splits them (ACapo::Interruzione).
QStringList Righe(const QString &testo);

// Lines pair one to one when both texts have as many; otherwise lines
// changed in place stay paired with their original and the lines a change
// added or removed stand alone.
Risultato Confronta(const QString &originale, const QString &attuale);

// The first row of the next change (a run of changed rows) after row
// `corrente`, or of the one before it; -1 when there is none. From row -1
// the next change is the first.
qsizetype CambiamentoSuccessivo(const Risultato &r, qsizetype corrente);
qsizetype CambiamentoPrecedente(const Risultato &r, qsizetype corrente);

// Which change (1-based) row `riga` belongs to; 0 for an unchanged row.
qsizetype NumeroCambiamento(const Risultato &r, qsizetype riga);
// What the window shows beside its buttons for row `riga`: "Cambiamento N
// di M" on a changed row, the number of changes elsewhere.
QString DescriviCambiamento(const Risultato &r, qsizetype riga);

// The rows shown: every row, or only the changed ones.
QList<qsizetype> RigheMostrate(const Risultato &r, bool soloCambiate);

// Among `righe` (rows of `r`, in order), the index of the first one after
// index `da` (before it, when not `avanti`) whose original or current line
// holds `testo`, case-insensitively; the search wraps round and ends on `da`
// itself. -1 when no row holds it, or `testo` is empty.
qsizetype Cerca(const Risultato &r, const QList<qsizetype> &righe, const QString &testo,
                qsizetype da, bool avanti = true);

// The line of the current text (0-based) that row `riga` stands for: its own,
// or, for a row with none (a line only the original has), that of the nearest
// row after it, else before it; -1 when the current text has no line there.
qsizetype RigaAttuale(const Risultato &r, qsizetype riga);

// The words of `a` and of `b` that the other line does not hold in the same order.
void SegniParole(const QString &a, const QString &b, QList<Tratto> *segniA, QList<Tratto> *segniB);

// A stretch of the current text placed on the comparison: the row, and the
// stretch within that row's current line.
struct TrattoInRiga
{
    qsizetype Riga = -1;
    Tratto Segno;
};

// Where `tratti` (start and length in characters of `attuale`, whose line
// breaks count as the characters they are: two for CR LF) fall in `r`, the
// comparison of some text with `attuale`. A stretch over several lines gives
// one piece per line; line breaks belong to none, and empty pieces are left out.
QList<TrattoInRiga> TrattiAttuali(const Risultato &r, const QString &attuale,
                                  const QList<std::pair<qsizetype, qsizetype>> &tratti);
// The same for stretches of `originale`, placed on its rows' original lines.
QList<TrattoInRiga> TrattiOriginali(const Risultato &r, const QString &originale,
                                    const QList<std::pair<qsizetype, qsizetype>> &tratti);

} // namespace Confronto
