#pragma once

#include "nucleo/testo/ErroreFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

// Replaces a file's content so that a failure leaves the previous file whole:
// the bytes go to a new file in the same folder (unnamed where the file system
// allows it), every one of them is checked on its way to the disk, and only
// then does the new file take the old one's place by a rename, with the old
// file's owner, group and mode bits as far as the process may set them.
//
// After the folder is opened, every step works relative to its descriptor, so
// a name swapped for a link while the write runs is replaced, never written
// through. Only a regular file (or nothing) is replaced: a device, a named
// pipe, a socket or a folder at the name is refused with the reason.
struct stat;

namespace ScritturaAtomica {

enum class Modo {
    // Without a new file beside the file the write fails.
    SoloAtomica,
    // When no new file can be made beside the file (a folder the user may
    // not write to, holding a file the user may write), the file itself is
    // rewritten in place, safely: the room for the new bytes is reserved
    // first (a full disk or a file-size limit refuses the write with the old
    // bytes untouched), and a copy of the old bytes is kept in the user's data
    // folder until the new ones are on the disk, so an interrupted write can
    // be undone (see CopieInSospeso).
    InPostoSeNecessario,
};

// What a symbolic link at the name means.
enum class Collegamento {
    // The file it leads to is replaced, in that file's folder; the link stays.
    Segui,
    // The write is refused: the name must be a regular file or nothing.
    Rifiuta,
};

// The device the bytes are written through, given the file being written (to
// which it may pass them on); empty: the file itself.
using FabbricaDispositivo = std::function<std::unique_ptr<QIODevice>(QIODevice &file)>;
// What flushes the written file to the disk (0, or -1 with errno); empty: fsync.
using Sincronizzazione = std::function<int(int fd)>;

// The way a write's bytes reach the disk. The default is the plain file; a
// caller may put a device in between (to see or limit what is written) or
// have writes that may go in place do so as if no new file could be made.
struct Canale
{
    FabbricaDispositivo dispositivo;
    Sincronizzazione sincronizza;
    bool sempreInPosto = false;
};

struct Scrittura
{
    Modo modo = Modo::SoloAtomica;
    Collegamento collegamento = Collegamento::Segui;
    // Removes the new files this name's earlier writes left when their
    // process was killed. A caller writing many files into one folder does
    // that once with RimuoviTemporanei instead.
    bool rimuoviTemporanei = true;
    const Canale *canale = nullptr;
    // The file whose owner, group and mode bits the written file takes, in
    // place of the replaced file's (or a new file's usual ones): a copy of a
    // file stays its owner's, and private when the file is.
    const struct stat *proprieta = nullptr;
};

// False on failure, with `errore` set; the previous file is then as it was.
// The path is bytes, as the system names files; a QString path is encoded
// with QFile::encodeName.
bool Scrivi(const QByteArray &percorso, QByteArrayView byte, const Scrittura &scrittura,
            ErroreFile *errore);
bool Scrivi(const QString &percorso, QByteArrayView byte, Modo modo, ErroreFile *errore,
            const Canale *canale = nullptr);

// Removes from the folder `cartella` the new files of writes whose process
// is no longer running (a write killed halfway), for the name `nome` only,
// or for every name when it is empty.
void RimuoviTemporanei(int cartella, const QByteArray &nome = {});

// The error of a save refused for what stands at the name (`tipo` as
// st_mode gives it).
ErroreFile NonSostituibile(unsigned tipo);

// A copy of a file's old bytes left by an in-place write that did not finish
// (the process was killed, or putting the old bytes back failed).
struct CopiaInSospeso
{
    QString id;       // the copy's name in the folder of the copies
    QString percorso; // the file whose write was interrupted
    qint64 dimensione = 0;
};

// The folder of the copies: "ripristino" in the user's data folder.
QString CartellaCopie();
// The copies left by writes of processes no longer running (and this one's).
QVector<CopiaInSospeso> CopieInSospeso();
// Puts the old bytes back into the file (atomically, or in place as safely as
// a write), then removes the copy. False on failure; the copy is kept.
bool Ripristina(const CopiaInSospeso &copia, ErroreFile *errore);
// Removes the copy.
bool Scarta(const CopiaInSospeso &copia, ErroreFile *errore);

// What tells a file apart from the one it was: the link itself, and the
// device, inode, size and modification time of what it leads to.
struct IdentitaFile
{
    bool esiste = false;
    bool collegamento = false; // the path itself is a symbolic link
    quint64 dispositivo = 0, inode = 0;
    qint64 dimensione = 0, modificaNs = 0;

    static IdentitaFile Di(const QString &percorso);
    bool operator==(const IdentitaFile &o) const
    {
        return esiste == o.esiste && collegamento == o.collegamento &&
               dispositivo == o.dispositivo && inode == o.inode && dimensione == o.dimensione &&
               modificaNs == o.modificaNs;
    }
    bool operator!=(const IdentitaFile &o) const { return !(*this == o); }
};

} // namespace ScritturaAtomica
