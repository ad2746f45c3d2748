#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// Where each file's result goes with -o CARTELLA: the folder and the file's
// own name (or its path under a folder walked with -r), byte for byte (names
// need not be UTF-8). A result may land neither on a file to be read (by
// whatever path, link or hard link: files are compared by device and inode)
// nor on another file's result.
namespace PianoUscita {

struct Rifiuto
{
    qsizetype file = 0;   // the file whose result has no place
    qsizetype altro = -1; // the earlier file with the same result; -1: it lands on a file to read
};

struct Esito
{
    QList<QByteArray> destinazioni; // one per file, in order, when nothing is refused
    std::optional<Rifiuto> rifiuto;
};

// `relativi`, when given (one per file): each result's name under the folder,
// subfolders included ("sub/a.bas"), in place of the file's own name.
Esito Destinazioni(const QByteArray &cartella, const QList<QByteArray> &file,
                   const QList<QByteArray> &relativi = {});

} // namespace PianoUscita
