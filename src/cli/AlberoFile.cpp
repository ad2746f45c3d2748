#include "AlberoFile.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AlberoFile {

namespace {

// Deeper trees are refused rather than held open one descriptor per level.
constexpr int ProfonditaMassima = 200;

void Cammina(int fd, const QByteArray &prefisso, int profondita,
             const std::set<std::pair<dev_t, ino_t>> &escluse, Esito &esito)
{
    // fdopendir takes the descriptor; a duplicate stays open for fstatat and openat.
    const int copia = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    DIR *const cartella = copia >= 0 ? ::fdopendir(copia) : nullptr;
    if (!cartella) {
        if (copia >= 0) ::close(copia);
        esito.errori.append({prefisso, errno});
        return;
    }
    QList<QByteArray> nomi;
    errno = 0;
    while (const dirent *voce = ::readdir(cartella)) {
        if (voce->d_name[0] != '.') nomi.append(QByteArray(voce->d_name));
        errno = 0;
    }
    if (errno != 0) esito.errori.append({prefisso, errno});
    ::closedir(cartella);
    std::sort(nomi.begin(), nomi.end());

    for (const QByteArray &nome : nomi) {
        const QByteArray relativo = prefisso.isEmpty() ? nome : prefisso + '/' + nome;
        struct stat stato;
        if (::fstatat(fd, nome.constData(), &stato, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(stato.st_mode)) {
            if (escluse.count({stato.st_dev, stato.st_ino})) continue;
            if (profondita >= ProfonditaMassima) {
                esito.errori.append({relativo, ELOOP});
                continue;
            }
            const int sotto =
                ::openat(fd, nome.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sotto < 0) {
                esito.errori.append({relativo, errno});
                continue;
            }
            Cammina(sotto, relativo, profondita + 1, escluse, esito);
            ::close(sotto);
            continue;
        }
        if (!DaElaborare(nome)) continue;
        // A link counts as what it leads to: only a regular file is drafted.
        if (S_ISLNK(stato.st_mode) && ::fstatat(fd, nome.constData(), &stato, 0) != 0) continue;
        if (S_ISREG(stato.st_mode)) esito.relativi.append(relativo);
    }
}

} // namespace

bool DaElaborare(const QByteArray &nome)
{
    const qsizetype punto = nome.lastIndexOf('.');
    if (punto <= 0) return false;
    static const char *const estensioni[] = {"bas", "frm", "cls", "ctl", "dsr", "vbs",
                                             "c",   "h",   "cpp", "hpp", "cc",  "cxx",
                                             "hh",  "hxx", "bat", "cmd", "txt"};
    const QByteArray estensione = nome.mid(punto + 1).toLower();
    return std::any_of(std::begin(estensioni), std::end(estensioni),
                       [&](const char *e) { return estensione == e; });
}

Esito Raccogli(const QByteArray &radice, const std::set<std::pair<dev_t, ino_t>> &escluse)
{
    Esito esito;
    // The root was named by the user: a link to it is followed.
    const int fd = ::open(radice.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        esito.errori.append({QByteArray(), errno});
        return esito;
    }
    Cammina(fd, QByteArray(), 0, escluse, esito);
    ::close(fd);
    return esito;
}

int CreaCartelle(const QByteArray &cartella, const QByteArray &relativo)
{
    int fd = ::open(cartella.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const QList<QByteArray> parti = relativo.split('/');
    int errore = 0;
    for (qsizetype i = 0; i + 1 < parti.size() && !errore; ++i) {
        const QByteArray &parte = parti[i];
        if (parte.isEmpty() || parte == ".") continue;
        if (parte == "..") {
            errore = EINVAL;
            break;
        }
        if (::mkdirat(fd, parte.constData(), 0777) != 0 && errno != EEXIST) {
            errore = errno;
            break;
        }
        const int sotto =
            ::openat(fd, parte.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sotto < 0) errore = errno == ELOOP ? ENOTDIR : errno;
        ::close(fd);
        fd = sotto;
    }
    if (fd >= 0) ::close(fd);
    return errore;
}

} // namespace AlberoFile
