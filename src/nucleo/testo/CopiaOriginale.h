#pragma once

// Before a draft first replaces a file, the file as it was is kept as
// "NAME~": beside it when its folder takes new files, otherwise under the
// user's data folder. The copy is written atomically, and where it goes only
// a previous copy (a regular file) is ever replaced: a folder, a link, a
// device or a pipe of that name is left alone and the next place is tried.

#include "nucleo/testo/ErroreFile.h"

#include <QString>

namespace CopiaOriginale {

// "NAME~" beside `percorso`.
QString Accanto(const QString &percorso);
// The copy's place under `cartellaDati`: "originali/" followed by the file's
// whole path with "~", so files of the same name in different folders each
// keep their own copy.
QString NellaCartellaDati(const QString &percorso, const QString &cartellaDati);

struct Esito
{
    enum class Tipo {
        Conservata,         // the file's bytes are in `copia`
        NienteDaConservare, // no file at that path (the save makes it), or no regular file
        Fallita,            // no copy could be kept: `errore` says why
    };
    Tipo tipo = Tipo::NienteDaConservare;
    QString copia;
    ErroreFile errore;
};

// Keeps the bytes `percorso` holds now, with its permission bits. A link is
// followed: the copy is of the file a save replaces, beside that file. Only a
// regular file no larger than the documents the program opens is copied; a
// pipe or a device fails at once, without waiting on it. `cartellaDati` may be
// empty (no second place).
Esito Conserva(const QString &percorso, const QString &cartellaDati);

} // namespace CopiaOriginale
