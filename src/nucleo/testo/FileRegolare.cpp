#include "FileRegolare.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileRegolare {

namespace {

// A path that names something other than a file.
ErroreFile NonUnFile(mode_t tipo)
{
    if (S_ISDIR(tipo)) return ErroreFile::DaErrno(EISDIR);
    QString cosa;
    if (S_ISFIFO(tipo))
        cosa = QStringLiteral("È una pipe con nome");
    else if (S_ISCHR(tipo) || S_ISBLK(tipo))
        cosa = QStringLiteral("È un dispositivo");
    else if (S_ISSOCK(tipo))
        cosa = QStringLiteral("È un socket");
    else
        return {EINVAL, QStringLiteral("Non è un file normale: non viene aperto")};
    return {EINVAL, cosa + QStringLiteral(", non un file: non viene aperto")};
}

// Why a file with status `info` cannot be taken; nothing when it can.
std::optional<ErroreFile> Esame(const struct stat &info, qint64 limite)
{
    if (!S_ISREG(info.st_mode)) return NonUnFile(info.st_mode);
    if (info.st_size > limite) return TroppoGrande(limite);
    return std::nullopt;
}

} // namespace

std::optional<ErroreFile> NonRegolare(const QString &percorso)
{
    struct stat info;
    if (::stat(QFile::encodeName(percorso).constData(), &info) != 0)
        return errno == ENOENT ? std::nullopt : std::optional(ErroreFile::DaErrno(errno));
    if (!S_ISREG(info.st_mode)) return NonUnFile(info.st_mode);
    return std::nullopt;
}

ErroreFile TroppoGrande(qint64 limite)
{
    const QString misura = limite >= (qint64(1) << 20) ? QStringLiteral("%1 MB").arg(limite >> 20)
                                                       : QStringLiteral("%1 KB").arg(limite >> 10);
    return {EFBIG, QStringLiteral("Il file è troppo grande (il limite è %1)").arg(misura)};
}

bool Rifiutato(const ErroreFile &errore)
{
    return errore.numero == EISDIR || errore.numero == EINVAL || errore.numero == EFBIG;
}

int Apri(const QString &percorso, int modo, qint64 limite, ErroreFile *errore, qint64 *dimensione)
{
    const auto fallita = [errore](ErroreFile e) {
        if (errore) *errore = std::move(e);
        return -1;
    };
    const QByteArray nome = QFile::encodeName(percorso);
    struct stat info;
    if (::stat(nome.constData(), &info) != 0) {
        if (errno != ENOENT || !(modo & O_CREAT)) return fallita(ErroreFile::DaErrno(errno));
    } else if (std::optional<ErroreFile> e = Esame(info, limite)) {
        return fallita(*e);
    }
    const int fd = ::open(nome.constData(), modo | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return fallita(ErroreFile::DaErrno(errno));
    std::optional<ErroreFile> e;
    if (::fstat(fd, &info) != 0)
        e = ErroreFile::DaErrno(errno);
    else
        e = Esame(info, limite);
    if (e) {
        ::close(fd);
        return fallita(*e);
    }
    if (dimensione) *dimensione = qint64(info.st_size);
    return fd;
}

std::optional<QByteArray> Leggi(const QString &percorso, qint64 limite, ErroreFile *errore)
{
    qint64 dimensione = 0;
    const int fd = Apri(percorso, O_RDONLY, limite, errore, &dimensione);
    if (fd < 0) return std::nullopt;
    // The expected size first, then whatever the file grew by, a block at a time.
    QByteArray dati(qsizetype(dimensione), Qt::Uninitialized);
    constexpr qsizetype Blocco = 64 * 1024;
    qsizetype letti = 0;
    for (;;) {
        if (letti == dati.size()) {
            if (dati.size() > limite) break;
            dati.resize(dati.size() + Blocco);
        }
        const ssize_t r = ::read(fd, dati.data() + letti, std::size_t(dati.size() - letti));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            const int numero = errno;
            ::close(fd);
            if (errore) *errore = ErroreFile::DaErrno(numero);
            return std::nullopt;
        }
        if (r == 0) break;
        letti += r;
    }
    ::close(fd);
    if (letti > limite) {
        if (errore) *errore = TroppoGrande(limite);
        return std::nullopt;
    }
    dati.truncate(letti);
    return dati;
}

} // namespace FileRegolare
