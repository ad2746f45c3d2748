#pragma once

#include <QByteArray>
#include <QList>
#include <set>
#include <sys/types.h>
#include <utility>

// The files of a folder's tree that the command drafts with -r: names are
// bytes, walked through folder descriptors, so that a folder swapped for a
// link during the walk is never entered.
namespace AlberoFile {

// Whether a file found in a folder is drafted: the extensions that give a
// language (.bas .frm .cls .ctl .dsr .vbs .c .h .cpp .hpp .cc .cxx .hh .hxx
// .bat .cmd) and plain text (.txt), in any case.
bool DaElaborare(const QByteArray &nome);

struct Errore
{
    QByteArray relativo; // the folder that could not be read, under the root
    int numero = 0;      // errno
};

struct Esito
{
    // The files to draft, under the root ("sub/a.bas"), each folder's names
    // in byte order. Hidden names (a leading dot) are left out, and so are
    // links to folders; a link to a file is drafted as that file.
    QList<QByteArray> relativi;
    QList<Errore> errori;
};

// `escluse`: folders (device and inode) not walked, such as the output folder.
Esito Raccogli(const QByteArray &radice, const std::set<std::pair<dev_t, ino_t>> &escluse = {});

// Makes, under the folder `cartella`, the folders of the relative path
// `relativo` up to its last '/' (the file's own name is not made), each with
// mkdirat under the descriptor of the one above. A link or anything other
// than a folder standing at one of those names is refused. 0, or the errno.
int CreaCartelle(const QByteArray &cartella, const QByteArray &relativo);

} // namespace AlberoFile
