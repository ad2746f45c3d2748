#pragma once

#include "app/ErroreFile.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>

// Replaces a file's content so that a failure leaves the previous file whole:
// the bytes go to a temporary file beside it, every one of them is checked on
// its way to the disk, and only then does the temporary file take the old
// one's place.
namespace ScritturaAtomica {

enum class Modo {
    // Without a temporary file beside the file the write fails.
    SoloAtomica,
    // When no temporary file can be made beside the file (a folder the user
    // may not write to, holding a file the user may write), the file itself
    // is rewritten in place.
    InPostoSeNecessario,
};

// False on failure, with `errore` set from errno; the previous file is then
// as it was (in place, as far as it was not yet overwritten).
bool Scrivi(const QString &percorso, QByteArrayView byte, Modo modo, ErroreFile *errore);

// For tests: the device the bytes are written through, given the file being
// written (to which it may pass them on). An empty function writes to the
// file directly again.
using FabbricaDispositivo = std::function<std::unique_ptr<QIODevice>(QIODevice &file)>;
void ImpostaDispositivoPerProve(FabbricaDispositivo fabbrica);

} // namespace ScritturaAtomica
