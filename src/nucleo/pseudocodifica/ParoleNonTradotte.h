#pragma once

// The keywords a substitution list leaves untranslated in a text's code.

#include "nucleo/codice/Linguaggio.h"
#include "nucleo/elenchi/VociElenco.h"

#include <QStringList>
#include <QStringView>
#include <QVector>

// A word left in the code, how often, and why the list leaves it there.
struct ParolaContata
{
    QString parola;
    qsizetype occorrenze = 0;
    QString motivo;       // e.g. "nessuna voce nell'elenco"
    bool conVoce = false; // the list has an entry for the word: where it stands keeps it
    bool operator==(const ParolaContata &o) const
    {
        return parola == o.parola && occorrenze == o.occorrenze && motivo == o.motivo &&
               conVoce == o.conVoce;
    }
};

// The keywords of a language, as they are usually written; BASIC and batch
// read them in any case, the C family exactly as written (directives with
// their "#"). No language has none. BASIC's Attribute lines are left out,
// being file metadata rather than code.
const QStringList &ParoleChiave(Linguaggio linguaggio);

// Counts, in the code of `testo` (outside comments, strings and the other
// stretches the scanner protects), the keywords of its language that the list
// `voci` leaves as they are, one row per word and
// reason: no entry equals the word (in any case) and no entry of several
// words covers it there, or the entry cannot take it where it stands (after a
// tab or against an operator without the code separators, a BASIC type
// suffix, another character glued to it). Member names (a word right after
// "." or, in C, "->") are never counted, nor in batch the names after "%",
// "!", ":" or "/" (variables, labels, switches), nor a word that ends inside
// the names NomiDelCodice finds for the language, whatever the options (a
// device, a set variable), but a BASIC keyword with an entry that the file
// declares as its own name (a field "Type"): that one is counted, since its
// entry does not apply there. Nor is a word counted that a replacement wrote:
// one inside a whole-word occurrence, exactly as written, of a replacement
// (the "base" of "Scegli in base a"). In C and C++ with the code separators
// (read as code) an entry applies to a word only in its exact case: a keyword
// whose entry has other case is counted with that reason. Most frequent
// first, then in
// alphabetical order. A word is a run of letters, digits and "_" (in C, with
// the "#" of a directive before it). For a text with no language, every word
// with a letter that occurs at least three times (in any case; shown as first
// written) and is not a word of the list.
// `testo` may be a draft the list already ran on: the replacement of an entry
// whose word opens or closes protected text (echo, rem, set) no longer opens
// it, so the stretches are read on a copy with the entry's word put back in
// place of its replacement wherever it stands as a whole word in code.
QVector<ParolaContata> ParoleNonTradotte(QStringView testo, TipoTesto tipo,
                                         const QVector<VoceSostituzione> &voci,
                                         bool separatoriCodice = false);
