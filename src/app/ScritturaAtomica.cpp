#include "ScritturaAtomica.h"

#include <QSaveFile>
#include <cerrno>
#include <unistd.h>

namespace ScritturaAtomica {

namespace {

FabbricaDispositivo &FabbricaPerProve()
{
    static FabbricaDispositivo fabbrica;
    return fabbrica;
}

bool Fallita(ErroreFile *errore, int numeroErrno)
{
    if (errore) *errore = ErroreFile::DaErrno(numeroErrno);
    return false;
}

} // namespace

bool Scrivi(const QString &percorso, QByteArrayView byte, Modo modo, ErroreFile *errore)
{
    QSaveFile file(percorso);
    file.setDirectWriteFallback(modo == Modo::InPostoSeNecessario);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) return Fallita(errore, errno);

    const std::unique_ptr<QIODevice> filtro =
        FabbricaPerProve() ? FabbricaPerProve()(file) : nullptr;
    QIODevice &uscita = filtro ? *filtro : file;
    const auto annulla = [&](int numeroErrno) {
        file.cancelWriting();
        return Fallita(errore, numeroErrno);
    };

    errno = 0;
    if (uscita.write(byte.data(), byte.size()) != byte.size()) return annulla(errno);
    // commit() does not notice when writing the bytes still in the buffer
    // fails (a small file is all buffer): it would put a short file in place.
    // Write them out and look first.
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError) return annulla(errno);
    // A delayed write error (a full disk over the network) shows up here.
    if (::fsync(file.handle()) != 0 && errno != EINVAL) return annulla(errno);
    errno = 0;
    if (!file.commit()) return Fallita(errore, errno);
    return true;
}

void ImpostaDispositivoPerProve(FabbricaDispositivo fabbrica)
{
    FabbricaPerProve() = std::move(fabbrica);
}

} // namespace ScritturaAtomica
