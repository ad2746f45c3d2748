#pragma once

#include "nucleo/testo/ErroreFile.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

// Replaces a file's content so that a failure leaves the previous file whole:
// the bytes go to a temporary file beside it, every one of them is checked on
// its way to the disk, and only then does the temporary file take the old
// one's place, with the old file's owner, group and mode bits as far as the
// process may set them.
namespace ScritturaAtomica {

enum class Modo {
    // Without a temporary file beside the file the write fails.
    SoloAtomica,
    // When no temporary file can be made beside the file (a folder the user
    // may not write to, holding a file the user may write), the file itself
    // is rewritten in place, safely: the room for the new bytes is reserved
    // first (a full disk or a file-size limit refuses the write with the old
    // bytes untouched), and a copy of the old bytes is kept in the user's data
    // folder until the new ones are on the disk, so an interrupted write can
    // be undone (see CopieInSospeso).
    InPostoSeNecessario,
};

// False on failure, with `errore` set from errno; the previous file is then
// as it was.
bool Scrivi(const QString &percorso, QByteArrayView byte, Modo modo, ErroreFile *errore);

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

// For tests: the device the bytes are written through, given the file being
// written (to which it may pass them on). An empty function writes to the
// file directly again.
using FabbricaDispositivo = std::function<std::unique_ptr<QIODevice>(QIODevice &file)>;
void ImpostaDispositivoPerProve(FabbricaDispositivo fabbrica);
// For tests: what flushes the written file to the disk, in place of fsync
// (same contract: 0, or -1 with errno). An empty function calls fsync again.
using Sincronizzazione = std::function<int(int fd)>;
void ImpostaSincronizzazionePerProve(Sincronizzazione sincronizza);
// For tests: InPostoSeNecessario behaves as if no temporary file could be
// made beside the file (a user who may write to every folder cannot see it).
void ForzaInPostoPerProve(bool forza);

} // namespace ScritturaAtomica
