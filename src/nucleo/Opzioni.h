#pragma once

// The options of how source text is read as code, which list it is read
// with and what a save keeps, kept in "opzioni.ini" beside the list files.
// All are off unless the file says otherwise, except the copy of the
// original, which is on unless the file turns it off.

#include "nucleo/testo/ErroreFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

struct Opzioni
{
    // "Lascia intatti commenti e stringhe": no replacement starts inside a
    // comment or a string literal of the text's language.
    bool LasciaIntatti = false;
    // "Separatori del codice": tab and the operator characters count as word
    // delimiters too.
    bool SeparatoriCodice = false;
    // "Un elenco per ogni linguaggio": a text is pseudocoded with the
    // substitution list of its language (see ElenchiLinguaggio.h).
    bool ElencoPerLinguaggio = false;
    // "Conserva una copia dell'originale (NOME~)": the first save of a draft
    // over a file keeps the file as it was (see CopiaOriginale.h).
    bool ConservaOriginale = true;

    bool operator==(const Opzioni &o) const
    {
        return LasciaIntatti == o.LasciaIntatti && SeparatoriCodice == o.SeparatoriCodice &&
               ElencoPerLinguaggio == o.ElencoPerLinguaggio &&
               ConservaOriginale == o.ConservaOriginale;
    }
};

namespace FileOpzioni {

// "opzioni.ini" in `cartella`.
QString Percorso(const QString &cartella);

// The text of the file: an "[Opzioni]" section with one "key=0|1" line each.
// The per-language key follows the others and is written only when on, the
// copy key only when off: a file written with both at their defaults is the
// same as before these options existed.
QByteArray Testo(const Opzioni &opzioni);
// Reads that text. Empty lines, ";" or "#" comments, the section line and
// unknown keys are passed over; any other line, a value other than 0/1 or a
// text that is not valid UTF-8 makes the whole text damaged: every option at
// its default, and `danno` says which line (or that it is not UTF-8).
Opzioni DaTesto(QByteArrayView testo, QString *danno = nullptr);

// A missing, unreadable, oversized or damaged file gives every option its default.
// Only a regular file is read: a pipe or a device is refused at once. When
// the file is there but refused, unreadable or damaged, `errore` says why.
Opzioni Leggi(const QString &cartella, ErroreFile *errore = nullptr);
// Writes the whole file beside the old one and puts it in its place, so a
// failure leaves the previous file as it was; false with the error otherwise.
bool Scrivi(const QString &cartella, const Opzioni &opzioni, ErroreFile *errore = nullptr);

} // namespace FileOpzioni
