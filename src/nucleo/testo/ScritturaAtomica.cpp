#include "ScritturaAtomica.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ScritturaAtomica {

namespace {

struct Prove
{
    FabbricaDispositivo fabbrica;
    Sincronizzazione sincronizza;
    bool forzaInPosto = false;
};

Prove &PerProve()
{
    static Prove prove;
    return prove;
}

bool Fallita(ErroreFile *errore, int numeroErrno)
{
    if (errore) *errore = ErroreFile::DaErrno(numeroErrno);
    return false;
}

// The test hooks apply to the file the caller writes, not to the copies of
// old bytes this unit keeps for itself.
int Sincronizza(int fd, bool prove)
{
    if (prove && PerProve().sincronizza) return PerProve().sincronizza(fd);
    return ::fsync(fd);
}

std::unique_ptr<QIODevice> Filtro(QIODevice &file, bool prove)
{
    return prove && PerProve().fabbrica ? PerProve().fabbrica(file) : nullptr;
}

// The temporary file takes the replaced file's owner, group and mode bits.
// chown to another owner is not permitted to an ordinary user: the group is
// then kept when the user belongs to it. The save never fails over this.
void MantieniProprietario(int fd, const struct stat &vecchio)
{
    if (::fchown(fd, vecchio.st_uid, vecchio.st_gid) != 0 &&
        ::fchown(fd, uid_t(-1), vecchio.st_gid) != 0) {
        // Neither owner nor group may be given: the file stays the user's.
    }
    // After chown, which clears setuid and setgid.
    if (::fchmod(fd, vecchio.st_mode & 07777) != 0) {
        // The temporary file keeps the permissions it was made with.
    }
}

bool SincronizzaCartella(const QString &cartella)
{
    const int fd =
        ::open(QFile::encodeName(cartella).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool fatto = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return fatto;
}

bool ScriviAtomica(const QString &percorso, QByteArrayView byte, Modo modo, ErroreFile *errore,
                   bool prove);

// Writes `byte` to `fd` from offset 0 and cuts the file there; false with errno.
bool ScriviTutto(int fd, QByteArrayView byte)
{
    qint64 fatti = 0;
    while (fatti < byte.size()) {
        const ssize_t n = ::pwrite(fd, byte.data() + fatti, size_t(byte.size() - fatti), fatti);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        fatti += n;
    }
    return ::ftruncate(fd, byte.size()) == 0;
}

bool LeggiTutto(int fd, QByteArray &byte)
{
    qint64 letti = 0;
    while (letti < byte.size()) {
        const ssize_t n = ::pread(fd, byte.data() + letti, size_t(byte.size() - letti), letti);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) { // the file got shorter while being read
            byte.truncate(letti);
            break;
        }
        letti += n;
    }
    return true;
}

QString FileCopia(const QString &id)
{
    return QDir(CartellaCopie()).filePath(id + QStringLiteral(".copia"));
}
QString FilePercorso(const QString &id)
{
    return QDir(CartellaCopie()).filePath(id + QStringLiteral(".percorso"));
}

// Keeps `vecchi`, the old bytes of `percorso`, in the folder of the copies:
// the bytes first, then the file naming their owner, both on the disk before
// this returns. The id of the copy, or an empty string on failure.
QString ConservaCopia(const QString &percorso, const QByteArray &vecchi, ErroreFile *errore)
{
    const QString cartella = CartellaCopie();
    // The copies hold the user's documents: the folder is the user's alone.
    if (cartella.isEmpty() || !QDir().mkpath(cartella) ||
        !QFile::setPermissions(cartella, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        Fallita(errore, EACCES);
        return {};
    }
    const QString id = QString::number(::getpid()) + QLatin1Char('-') +
                       QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!ScriviAtomica(FileCopia(id), vecchi, Modo::SoloAtomica, errore, false)) return {};
    if (!ScriviAtomica(FilePercorso(id), QFileInfo(percorso).absoluteFilePath().toUtf8(),
                       Modo::SoloAtomica, errore, false)) {
        QFile::remove(FileCopia(id));
        return {};
    }
    if (!SincronizzaCartella(cartella)) {
        const int numero = errno;
        QFile::remove(FilePercorso(id));
        QFile::remove(FileCopia(id));
        Fallita(errore, numero);
        return {};
    }
    return id;
}

void RimuoviCopia(const QString &id)
{
    QFile::remove(FilePercorso(id));
    QFile::remove(FileCopia(id));
    SincronizzaCartella(CartellaCopie());
}

// Rewrites the file in place: nothing is overwritten before the room for the
// new bytes is certain and the old ones are safe in a copy.
bool ScriviInPosto(const QString &percorso, QByteArrayView byte, ErroreFile *errore)
{
    const int fd = ::open(QFile::encodeName(percorso).constData(), O_RDWR | O_CLOEXEC);
    // A file that does not exist cannot be made in a folder closed to the user.
    if (fd < 0) return Fallita(errore, errno == ENOENT ? EACCES : errno);
    const auto chiudi = [fd](ErroreFile *e, int numero) {
        ::close(fd);
        return Fallita(e, numero);
    };
    struct stat st;
    if (::fstat(fd, &st) != 0) return chiudi(errore, errno);
    if (!S_ISREG(st.st_mode)) return chiudi(errore, EINVAL);

    // A file-size limit would stop the write halfway (and send SIGXFSZ).
    rlimit limite;
    if (::getrlimit(RLIMIT_FSIZE, &limite) == 0 && limite.rlim_cur != RLIM_INFINITY &&
        quint64(byte.size()) > quint64(limite.rlim_cur))
        return chiudi(errore, EFBIG);

    QByteArray vecchi(qsizetype(st.st_size), Qt::Uninitialized);
    if (!LeggiTutto(fd, vecchi)) return chiudi(errore, errno);
    const QString id = ConservaCopia(percorso, vecchi, errore);
    if (id.isEmpty()) {
        ::close(fd);
        return false;
    }
    const auto annulla = [&](int numero) {
        // Put the old bytes back; the copy stays when that fails too.
        if (ScriviTutto(fd, vecchi) && ::fsync(fd) == 0) RimuoviCopia(id);
        return chiudi(errore, numero);
    };

    // Reserve the room before the first byte is overwritten: a full disk then
    // refuses here. Where the file system cannot reserve room, a text no
    // longer than the old one goes into the blocks the file already holds;
    // a longer one is refused, since nothing could promise room for it.
    if (!byte.isEmpty()) {
        const int r = ::posix_fallocate(fd, 0, off_t(byte.size()));
        const bool senzaRiserva = r == EOPNOTSUPP || r == ENOSYS || r == EINVAL;
        if (r != 0 && !(senzaRiserva && byte.size() <= vecchi.size())) {
            // A partial reservation may have made the file longer.
            if (::ftruncate(fd, off_t(vecchi.size())) != 0) return annulla(r);
            RimuoviCopia(id);
            return chiudi(errore, r);
        }
    }

    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFile::DontCloseHandle))
        return annulla(EIO);
    const std::unique_ptr<QIODevice> filtro = Filtro(file, true);
    QIODevice &uscita = filtro ? *filtro : file;
    errno = 0;
    if (uscita.write(byte.data(), byte.size()) != byte.size()) return annulla(errno);
    file.close();
    if (::ftruncate(fd, off_t(byte.size())) != 0) return annulla(errno);
    if (Sincronizza(fd, true) != 0) return annulla(errno);
    // The new bytes are on the disk: close cannot lose them any more.
    ::close(fd);
    RimuoviCopia(id);
    return true;
}

bool ScriviAtomica(const QString &percorso, QByteArrayView byte, Modo modo, ErroreFile *errore,
                   bool prove)
{
    if (prove && modo == Modo::InPostoSeNecessario && PerProve().forzaInPosto)
        return ScriviInPosto(percorso, byte, errore);
    QSaveFile file(percorso);
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int numero = errno;
        if (modo == Modo::InPostoSeNecessario && numero == EACCES)
            return ScriviInPosto(percorso, byte, errore);
        return Fallita(errore, numero);
    }

    const std::unique_ptr<QIODevice> filtro = Filtro(file, prove);
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
    if (Sincronizza(file.handle(), prove) != 0 && errno != EINVAL) return annulla(errno);
    struct stat vecchio;
    if (::stat(QFile::encodeName(percorso).constData(), &vecchio) == 0)
        MantieniProprietario(file.handle(), vecchio);
    errno = 0;
    if (!file.commit()) return Fallita(errore, errno);
    return true;
}

bool ProcessoVivo(qint64 pid)
{
    if (pid <= 0 || pid == ::getpid()) return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace

bool Scrivi(const QString &percorso, QByteArrayView byte, Modo modo, ErroreFile *errore)
{
    return ScriviAtomica(percorso, byte, modo, errore, true);
}

QString CartellaCopie()
{
    const QString dati = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return dati.isEmpty() ? QString() : QDir(dati).filePath(QStringLiteral("ripristino"));
}

QVector<CopiaInSospeso> CopieInSospeso()
{
    QVector<CopiaInSospeso> copie;
    const QString cartella = CartellaCopie();
    if (cartella.isEmpty()) return copie;
    const QStringList nomi =
        QDir(cartella).entryList({QStringLiteral("*.percorso")}, QDir::Files, QDir::Name);
    for (const QString &nome : nomi) {
        const QString id = nome.chopped(int(qstrlen(".percorso")));
        // A process still running may be in the middle of its write.
        if (ProcessoVivo(id.section(QLatin1Char('-'), 0, 0).toLongLong())) continue;
        QFile file(FilePercorso(id));
        const QFileInfo copia(FileCopia(id));
        if (!copia.isFile() || !file.open(QIODevice::ReadOnly)) continue;
        const QString percorso = QString::fromUtf8(file.readAll());
        if (percorso.isEmpty()) continue;
        copie.append({id, percorso, copia.size()});
    }
    return copie;
}

bool Ripristina(const CopiaInSospeso &copia, ErroreFile *errore)
{
    QFile file(FileCopia(copia.id));
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) return Fallita(errore, errno);
    errno = 0;
    const QByteArray vecchi = file.readAll();
    if (file.error() != QFileDevice::NoError || vecchi.size() != file.size())
        return Fallita(errore, errno);
    file.close();
    if (!Scrivi(copia.percorso, vecchi, Modo::InPostoSeNecessario, errore)) return false;
    return Scarta(copia, errore);
}

bool Scarta(const CopiaInSospeso &copia, ErroreFile *errore)
{
    errno = 0;
    if (!QFile::remove(FilePercorso(copia.id)) && QFile::exists(FilePercorso(copia.id)))
        return Fallita(errore, errno);
    QFile::remove(FileCopia(copia.id));
    SincronizzaCartella(CartellaCopie());
    return true;
}

IdentitaFile IdentitaFile::Di(const QString &percorso)
{
    IdentitaFile identita;
    const QByteArray nome = QFile::encodeName(percorso);
    struct stat st;
    if (::lstat(nome.constData(), &st) != 0) return identita;
    identita.collegamento = S_ISLNK(st.st_mode);
    if (identita.collegamento && ::stat(nome.constData(), &st) != 0) return identita;
    identita.esiste = true;
    identita.dispositivo = quint64(st.st_dev);
    identita.inode = quint64(st.st_ino);
    identita.dimensione = qint64(st.st_size);
    identita.modificaNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return identita;
}

void ImpostaDispositivoPerProve(FabbricaDispositivo fabbrica)
{
    PerProve().fabbrica = std::move(fabbrica);
}

void ImpostaSincronizzazionePerProve(Sincronizzazione sincronizza)
{
    PerProve().sincronizza = std::move(sincronizza);
}

void ForzaInPostoPerProve(bool forza)
{
    PerProve().forzaInPosto = forza;
}

} // namespace ScritturaAtomica
