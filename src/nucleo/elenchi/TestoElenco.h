#pragma once

// A word list as a plain text file: UTF-8, one entry a line, the two fields
// separated by a tab. The second field of an elimination entry is "Sì" or
// "No". Reading takes every line it can store and returns the others, with
// their line numbers, for one message; writing leaves out the rows that
// reading would refuse, so that what is written reads back identically.

#include "nucleo/elenchi/VociElenco.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace TestoElenco {

struct RigaRifiutata
{
    qsizetype riga = 0; // 1-based line (reading) or row (writing)
    QString testo;      // the line, or the row's fields joined by a tab
    QString motivo;
};

template <typename Voce> struct Esito
{
    QVector<Voce> voci;
    QVector<RigaRifiutata> rifiutate;
};

// Lines end with LF, CR LF or CR; empty lines and a leading byte order mark
// are passed over. The first tab separates the fields; the second field may
// hold further tabs. Refused: lines that are not valid UTF-8, lines without a
// tab, an empty word, an empty replacement (the editors would drop the row),
// an elimination flag other than "Sì"/"No" (any case, "Si" accepted and
// written back as "Sì"), characters outside Windows-1252, and rows longer
// than a record holds.
Esito<VoceSostituzione> LeggiSostituzioni(QByteArrayView testo);
Esito<VoceEliminazione> LeggiEliminazioni(QByteArrayView testo);

// One line per row, each ending with LF; rows that could not be read back as
// they are (a tab in the word, a line break, or any reason above) go to
// `rifiutate` instead.
QByteArray ScriviSostituzioni(const QVector<VoceSostituzione> &voci,
                              QVector<RigaRifiutata> *rifiutate = nullptr);
QByteArray ScriviEliminazioni(const QVector<VoceEliminazione> &voci,
                              QVector<RigaRifiutata> *rifiutate = nullptr);

// The one message that lists refused lines (at most `massimo` of them, then
// how many more); empty when nothing was refused.
QString Messaggio(const QVector<RigaRifiutata> &rifiutate, bool scrittura, int massimo = 15);

} // namespace TestoElenco
