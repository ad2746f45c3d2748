#include "ScritturaAtomica.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QUuid>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ScritturaAtomica {

namespace {

// The channel of the writes that name none, and of the copies of old bytes
// this unit keeps for itself: straight to the disk.
const Canale &CanaleDiretto()
{
    static const Canale canale;
    return canale;
}

bool Fallita(ErroreFile *errore, int numeroErrno)
{
    if (errore) *errore = ErroreFile::DaErrno(numeroErrno);
    return false;
}

bool Fallita(ErroreFile *errore, ErroreFile e)
{
    if (errore) *errore = std::move(e);
    return false;
}

// A descriptor closed when it goes out of scope.
class Descrittore
{
public:
    explicit Descrittore(int fd = -1) : m_fd(fd) {}
    ~Descrittore()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descrittore(const Descrittore &) = delete;
    Descrittore &operator=(const Descrittore &) = delete;
    void Sostituisci(int fd)
    {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }
    int Rilascia() { return std::exchange(m_fd, -1); }
    operator int() const { return m_fd; }

private:
    int m_fd;
};

int Sincronizza(int fd, const Canale &canale)
{
    return canale.sincronizza ? canale.sincronizza(fd) : ::fsync(fd);
}

// The new file takes the replaced file's owner, group and mode bits. chown
// to another owner is not permitted to an ordinary user: the group is then
// kept when the user belongs to it. The save never fails over this.
void MantieniProprietario(int fd, const struct stat &vecchio)
{
    if (::fchown(fd, vecchio.st_uid, vecchio.st_gid) != 0 &&
        ::fchown(fd, uid_t(-1), vecchio.st_gid) != 0) {
        // Neither owner nor group may be given: the file stays the user's.
    }
    // After chown, which clears setuid and setgid.
    if (::fchmod(fd, vecchio.st_mode & 07777) != 0) {
        // The new file keeps the permissions it was made with.
    }
}

bool SincronizzaCartella(int cartella)
{
    return ::fsync(cartella) == 0 || errno == EINVAL;
}

bool SincronizzaCartella(const QString &cartella)
{
    const Descrittore fd(
        ::open(QFile::encodeName(cartella).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd >= 0 && SincronizzaCartella(fd);
}

QByteArray CartellaDi(const QByteArray &percorso)
{
    const qsizetype barra = percorso.lastIndexOf('/');
    return barra < 0 ? QByteArray(".") : barra == 0 ? QByteArray("/") : percorso.first(barra);
}

QByteArray NomeDi(const QByteArray &percorso)
{
    return percorso.mid(percorso.lastIndexOf('/') + 1);
}

// The folder's own path as the system knows it, for the record of a copy.
QByteArray PercorsoDi(int cartella, const QByteArray &nome)
{
    QByteArray destinazione(4096, '\0');
    const QByteArray fd = "/proc/self/fd/" + QByteArray::number(cartella);
    const ssize_t n = ::readlink(fd.constData(), destinazione.data(), size_t(destinazione.size()));
    if (n <= 0 || n >= destinazione.size()) return nome;
    destinazione.truncate(n);
    return (destinazione.endsWith('/') ? destinazione : destinazione + '/') + nome;
}

// The new files of a write are named ".NAME.PID-RANDOM.quadrivo": the
// process id tells a killed write's leftover from one still running.
const QByteArray Suffisso = ".quadrivo";

QByteArray NomeTemporaneo(const QByteArray &nome)
{
    return '.' + nome + '.' + QByteArray::number(qint64(::getpid())) + '-' +
           QByteArray::number(QRandomGenerator::global()->generate64(), 16) + Suffisso;
}

bool ProcessoVivo(qint64 pid)
{
    if (pid <= 0) return false;
    if (pid == ::getpid()) return true;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// The process id in the name of a write's new file; 0 when the name is not one.
qint64 PidDelTemporaneo(const QByteArray &voce, const QByteArray &nome)
{
    if (!voce.startsWith('.') || !voce.endsWith(Suffisso)) return 0;
    const QByteArray mezzo = voce.mid(1, voce.size() - 1 - Suffisso.size());
    const qsizetype trattino = mezzo.lastIndexOf('-');
    const qsizetype punto = trattino < 0 ? -1 : mezzo.lastIndexOf('.', trattino);
    if (punto <= 0 || (!nome.isEmpty() && mezzo.first(punto) != nome)) return 0;
    bool ok = false;
    const qint64 pid = mezzo.mid(punto + 1, trattino - punto - 1).toLongLong(&ok);
    mezzo.mid(trattino + 1).toULongLong(&ok, 16);
    return ok ? pid : 0;
}

// Why the entry with status `st` cannot be replaced; nothing when it can.
std::optional<ErroreFile> Esame(const struct stat &st, Collegamento collegamento)
{
    if (S_ISREG(st.st_mode)) return std::nullopt;
    if (S_ISLNK(st.st_mode) && collegamento == Collegamento::Segui) return std::nullopt;
    return NonSostituibile(unsigned(st.st_mode));
}

// The file a write replaces: the folder's descriptor and the name in it,
// after following links when asked; the status of what stands there.
struct Bersaglio
{
    Descrittore cartella;
    QByteArray nome;
    bool esiste = false;
    struct stat stato = {};
};

bool Individua(const QByteArray &percorso, Collegamento collegamento, Bersaglio &b,
               ErroreFile *errore)
{
    if (percorso.isEmpty()) return Fallita(errore, ENOENT);
    b.cartella.Sostituisci(
        ::open(CartellaDi(percorso).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (b.cartella < 0) return Fallita(errore, errno);
    b.nome = NomeDi(percorso);
    for (int salti = 0;; ++salti) {
        if (b.nome.isEmpty() || b.nome == "." || b.nome == "..") return Fallita(errore, EISDIR);
        if (::fstatat(b.cartella, b.nome.constData(), &b.stato, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) return Fallita(errore, errno);
            b.esiste = false;
            return true;
        }
        b.esiste = true;
        if (std::optional<ErroreFile> e = Esame(b.stato, collegamento)) return Fallita(errore, *e);
        if (!S_ISLNK(b.stato.st_mode)) return true;
        // A link: its target, relative to the link's own folder.
        if (salti >= 40) return Fallita(errore, ELOOP);
        QByteArray destinazione(qsizetype(PATH_MAX), '\0');
        const ssize_t n = ::readlinkat(b.cartella, b.nome.constData(), destinazione.data(),
                                       size_t(destinazione.size()));
        if (n < 0) return Fallita(errore, errno);
        if (n == 0 || n >= destinazione.size()) return Fallita(errore, ENAMETOOLONG);
        destinazione.truncate(n);
        const int base = destinazione.startsWith('/') ? AT_FDCWD : int(b.cartella);
        const int nuova = ::openat(base, CartellaDi(destinazione).constData(),
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (nuova < 0) return Fallita(errore, errno);
        b.cartella.Sostituisci(nuova);
        b.nome = NomeDi(destinazione);
    }
}

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

// The bytes through the channel's device into the open file; false with errno.
bool ScriviNelCanale(int fd, QByteArrayView byte, const Canale &canale)
{
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFile::DontCloseHandle)) {
        errno = EIO;
        return false;
    }
    const std::unique_ptr<QIODevice> filtro =
        canale.dispositivo ? canale.dispositivo(file) : nullptr;
    QIODevice &uscita = filtro ? *filtro : file;
    errno = 0;
    if (uscita.write(byte.data(), byte.size()) != byte.size()) {
        if (errno == 0) errno = EIO;
        return false;
    }
    return true;
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

bool ScriviCopia(const QString &percorso, QByteArrayView byte, ErroreFile *errore)
{
    Scrittura s;
    s.canale = &CanaleDiretto();
    return Scrivi(QFile::encodeName(percorso), byte, s, errore);
}

// Keeps `vecchi`, the old bytes of the file at `percorso`, in the folder of
// the copies: the bytes first, then the file naming their owner, both on the
// disk before this returns. The id of the copy, or an empty string on failure.
QString ConservaCopia(const QByteArray &percorso, const QByteArray &vecchi, ErroreFile *errore)
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
    ErroreFile perche;
    if (!ScriviCopia(FileCopia(id), vecchi, &perche)) {
        // The file itself fits; say that it is the copy that does not.
        if (perche.numero == EFBIG)
            perche.descrizione = QStringLiteral("La copia di sicurezza dei vecchi contenuti "
                                                "(in %1) supera il limite di dimensione dei file")
                                     .arg(QDir::toNativeSeparators(cartella));
        Fallita(errore, perche);
        return {};
    }
    if (!ScriviCopia(FilePercorso(id), percorso, errore)) {
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
bool ScriviInPosto(const Bersaglio &b, QByteArrayView byte, const Canale &canale,
                   ErroreFile *errore)
{
    // A file that does not exist cannot be made in a folder closed to the user.
    if (!b.esiste) return Fallita(errore, EACCES);
    const int fd = ::openat(b.cartella, b.nome.constData(),
                            O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Fallita(errore, errno == ENOENT ? EACCES : errno);
    const auto chiudi = [fd](ErroreFile *e, int numero) {
        ::close(fd);
        return Fallita(e, numero);
    };
    struct stat st;
    if (::fstat(fd, &st) != 0) return chiudi(errore, errno);
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return Fallita(errore, NonSostituibile(unsigned(st.st_mode)));
    }

    // A file-size limit would stop the write halfway (and send SIGXFSZ).
    rlimit limite;
    if (::getrlimit(RLIMIT_FSIZE, &limite) == 0 && limite.rlim_cur != RLIM_INFINITY &&
        quint64(byte.size()) > quint64(limite.rlim_cur))
        return chiudi(errore, EFBIG);

    QByteArray vecchi(qsizetype(st.st_size), Qt::Uninitialized);
    if (!LeggiTutto(fd, vecchi)) return chiudi(errore, errno);
    const QString id = ConservaCopia(PercorsoDi(b.cartella, b.nome), vecchi, errore);
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

    if (!ScriviNelCanale(fd, byte, canale)) return annulla(errno);
    if (::ftruncate(fd, off_t(byte.size())) != 0) return annulla(errno);
    if (Sincronizza(fd, canale) != 0) return annulla(errno);
    // The new bytes are on the disk: close cannot lose them any more.
    ::close(fd);
    RimuoviCopia(id);
    return true;
}

// Gives the unnamed file `fd` the name `nome` in `cartella`; false with errno
// (EEXIST when the name is taken).
bool DaiNome(int fd, int cartella, const QByteArray &nome)
{
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, proc.constData(), cartella, nome.constData(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    if (errno == EEXIST) return false;
    // Without /proc, where the process may link a descriptor itself.
    return ::linkat(fd, "", cartella, nome.constData(), AT_EMPTY_PATH) == 0;
}

enum class Temporaneo { Anonimo, ConNome };

// The new file written whole and put in place of the name.
bool ScriviNuovo(Bersaglio &b, QByteArrayView byte, const Scrittura &s, const Canale &canale,
                 Temporaneo tipo, ErroreFile *errore)
{
    QByteArray temporaneo;
    Descrittore fd;
    if (tipo == Temporaneo::Anonimo) {
        fd.Sostituisci(::openat(b.cartella, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        // A file system without unnamed files: a named one instead.
        if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
            return ScriviNuovo(b, byte, s, canale, Temporaneo::ConNome, errore);
    } else {
        for (int prova = 0; prova < 100; ++prova) {
            temporaneo = NomeTemporaneo(b.nome);
            fd.Sostituisci(::openat(b.cartella, temporaneo.constData(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
            if (fd >= 0 || errno != EEXIST) break;
        }
    }
    if (fd < 0) {
        const int numero = errno;
        if (s.modo == Modo::InPostoSeNecessario && numero == EACCES)
            return ScriviInPosto(b, byte, canale, errore);
        return Fallita(errore, numero);
    }
    const auto annulla = [&](int numero) {
        if (!temporaneo.isEmpty()) ::unlinkat(b.cartella, temporaneo.constData(), 0);
        return Fallita(errore, numero);
    };

    if (!ScriviNelCanale(fd, byte, canale)) return annulla(errno);
    // A delayed write error (a full disk over the network) shows up here.
    if (Sincronizza(fd, canale) != 0 && errno != EINVAL) return annulla(errno);
    if (s.proprieta)
        MantieniProprietario(fd, *s.proprieta);
    else if (b.esiste)
        MantieniProprietario(fd, b.stato);

    // What stands at the name now: something put there while the bytes were
    // written is replaced only if a file or a link (a rename replaces a link,
    // never writes through it).
    struct stat ora;
    const bool occupato = ::fstatat(b.cartella, b.nome.constData(), &ora, AT_SYMLINK_NOFOLLOW) == 0;
    if (occupato && !S_ISREG(ora.st_mode) && !S_ISLNK(ora.st_mode)) {
        annulla(0);
        return Fallita(errore, NonSostituibile(unsigned(ora.st_mode)));
    }
    if (tipo == Temporaneo::Anonimo) {
        if (!occupato && DaiNome(fd, b.cartella, b.nome)) {
            fd.Sostituisci(-1);
            return SincronizzaCartella(b.cartella) || Fallita(errore, errno);
        }
        if (occupato || errno == EEXIST) {
            // A name of its own first, then the rename over the old file.
            for (int prova = 0; prova < 100; ++prova) {
                temporaneo = NomeTemporaneo(b.nome);
                if (DaiNome(fd, b.cartella, temporaneo)) break;
                if (errno != EEXIST) break;
                temporaneo.clear();
            }
        }
        if (temporaneo.isEmpty()) {
            // No way to name an unnamed file here: write a named one.
            fd.Sostituisci(-1);
            return ScriviNuovo(b, byte, s, canale, Temporaneo::ConNome, errore);
        }
    }
    if (::close(fd.Rilascia()) != 0) return annulla(errno);
    if (::renameat(b.cartella, temporaneo.constData(), b.cartella, b.nome.constData()) != 0)
        return annulla(errno);
    return SincronizzaCartella(b.cartella) || Fallita(errore, errno);
}

} // namespace

ErroreFile NonSostituibile(unsigned tipo)
{
    const mode_t modo = mode_t(tipo);
    if (S_ISDIR(modo)) return ErroreFile::DaErrno(EISDIR);
    QString cosa;
    if (S_ISLNK(modo))
        return {EINVAL, QStringLiteral("È un collegamento simbolico: non viene seguito")};
    if (S_ISFIFO(modo))
        cosa = QStringLiteral("È una pipe con nome");
    else if (S_ISCHR(modo) || S_ISBLK(modo))
        cosa = QStringLiteral("È un dispositivo");
    else if (S_ISSOCK(modo))
        cosa = QStringLiteral("È un socket");
    else
        return {EINVAL, QStringLiteral("Non è un file normale: non viene sostituito")};
    return {EINVAL, cosa + QStringLiteral(", non un file: non viene sostituito")};
}

void RimuoviTemporanei(int cartella, const QByteArray &nome)
{
    const int copia = ::openat(cartella, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (copia < 0) return;
    DIR *voci = ::fdopendir(copia);
    if (!voci) {
        ::close(copia);
        return;
    }
    QList<QByteArray> scaduti;
    while (const dirent *voce = ::readdir(voci)) {
        const QByteArray n(voce->d_name);
        const qint64 pid = PidDelTemporaneo(n, nome);
        if (pid > 0 && !ProcessoVivo(pid)) scaduti.append(n);
    }
    ::closedir(voci);
    for (const QByteArray &n : scaduti)
        ::unlinkat(cartella, n.constData(), 0);
}

bool Scrivi(const QByteArray &percorso, QByteArrayView byte, const Scrittura &s, ErroreFile *errore)
{
    const Canale &canale = s.canale ? *s.canale : CanaleDiretto();
    Bersaglio b;
    if (!Individua(percorso, s.collegamento, b, errore)) return false;
    if (s.rimuoviTemporanei) RimuoviTemporanei(b.cartella, b.nome);
    if (s.modo == Modo::InPostoSeNecessario && canale.sempreInPosto)
        return ScriviInPosto(b, byte, canale, errore);
    return ScriviNuovo(b, byte, s, canale, Temporaneo::Anonimo, errore);
}

bool Scrivi(const QString &percorso, QByteArrayView byte, Modo modo, ErroreFile *errore,
            const Canale *canale)
{
    Scrittura s;
    s.modo = modo;
    s.canale = canale;
    return Scrivi(QFile::encodeName(percorso), byte, s, errore);
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
        const qint64 pid = id.section(QLatin1Char('-'), 0, 0).toLongLong();
        if (pid != ::getpid() && ProcessoVivo(pid)) continue;
        QFile file(FilePercorso(id));
        const QFileInfo copia(FileCopia(id));
        if (!copia.isFile() || !file.open(QIODevice::ReadOnly)) continue;
        const QString percorso = QFile::decodeName(file.readAll());
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

} // namespace ScritturaAtomica
