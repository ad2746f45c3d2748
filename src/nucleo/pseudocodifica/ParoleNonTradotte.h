#pragma once

// The keywords a substitution list leaves untranslated in a text's code.

#include "nucleo/codice/Linguaggio.h"

#include <QStringList>
#include <QStringView>
#include <QVector>

struct ParolaContata
{
    QString parola;
    qsizetype occorrenze = 0;
    bool operator==(const ParolaContata &o) const
    {
        return parola == o.parola && occorrenze == o.occorrenze;
    }
};

// The keywords of a language, as they are usually written; BASIC and batch
// read them in any case, the C family exactly as written (directives with
// their "#"). No language has none. "In"/"in" is left out: the translations
// write the Italian word "in". So are BASIC's Attribute lines, which are
// file metadata rather than code.
const QStringList &ParoleChiave(Linguaggio linguaggio);

// Counts, in the code of `testo` (outside comments, strings and the other
// stretches the scanner protects), the words that are keywords of its
// language and that no entry of `paroleElenco` equals (in any case); most
// frequent first, then in alphabetical order. A word is a run of letters,
// digits and "_" (in C, with the "#" of a directive before it). For a text
// with no language, every word with a letter that occurs at least three times
// (in any case; shown as first written) and is not a word of the list.
QVector<ParolaContata> ParoleNonTradotte(QStringView testo, TipoTesto tipo,
                                         const QStringList &paroleElenco);
