#include "CopiaOriginale.h"

#include "nucleo/testo/Documento.h"
#include "nucleo/testo/FileRegolare.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace CopiaOriginale {

namespace {

// What stands at a copy's place when it is not a previous copy.
QString CosaNonCopia(mode_t tipo)
{
    if (S_ISLNK(tipo)) return QStringLiteral("un collegamento simbolico");
    if (S_ISDIR(tipo)) return QStringLiteral("una cartella");
    if (S_ISFIFO(tipo)) return QStringLiteral("una pipe con nome");
    if (S_ISCHR(tipo) || S_ISBLK(tipo)) return QStringLiteral("un dispositivo");
    return QStringLiteral("un file speciale");
}

// Why the copy may not go to `posto`: something other than a regular file is
// there. The write renames over the name and never writes into what is there,
// so a swap after this look cannot make it write into a device either.
std::optional<ErroreFile> PostoOccupato(const QString &posto)
{
    struct stat info;
    if (::lstat(QFile::encodeName(posto).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return std::nullopt;
    return ErroreFile{EEXIST,
                      QStringLiteral("Al posto della copia \"%1\" c'è %2, che resta com'è")
                          .arg(QDir::toNativeSeparators(posto), CosaNonCopia(info.st_mode))};
}

bool ScriviIn(const QString &posto, const QByteArray &byte, const struct stat &originale,
              ErroreFile &errore)
{
    if (std::optional<ErroreFile> occupato = PostoOccupato(posto)) {
        errore = *std::move(occupato);
        return false;
    }
    // The copy stays the file owner's, and private when the file is: a new
    // file would be the running user's, with the usual bits.
    ScritturaAtomica::Scrittura scrittura;
    scrittura.collegamento = ScritturaAtomica::Collegamento::Rifiuta;
    scrittura.proprieta = &originale;
    return ScritturaAtomica::Scrivi(QFile::encodeName(posto), byte, scrittura, &errore);
}

} // namespace

QString Accanto(const QString &percorso)
{
    return percorso + QLatin1Char('~');
}

QString NellaCartellaDati(const QString &percorso, const QString &cartellaDati)
{
    const QString assoluto = QDir::cleanPath(QFileInfo(percorso).absoluteFilePath());
    return QDir(cartellaDati)
        .filePath(QStringLiteral("originali/") + Accanto(assoluto).section(QLatin1Char('/'), 1));
}

Esito Conserva(const QString &percorso, const QString &cartellaDati)
{
    Esito esito;
    // The file a save replaces: a link's target.
    const QString reale = QFileInfo(percorso).canonicalFilePath();
    if (reale.isEmpty()) return esito; // nothing there: a dangling link, or no file
    struct stat info;
    if (::stat(QFile::encodeName(reale).constData(), &info) != 0) {
        if (errno == ENOENT) return esito;
        esito.tipo = Esito::Tipo::Fallita;
        esito.errore = ErroreFile::DaErrno(errno);
        return esito;
    }
    // A device, a pipe or a socket holds no text to keep, and no save
    // replaces it: the save itself says why.
    if (!S_ISREG(info.st_mode)) return esito;
    const std::optional<QByteArray> byte =
        FileRegolare::Leggi(reale, Documento::DimensioneMassima, &esito.errore);
    if (!byte) {
        if (esito.errore.numero == ENOENT) {
            esito.errore = {};
            return esito;
        }
        esito.tipo = Esito::Tipo::Fallita;
        return esito;
    }

    // Beside the file first; in the data folder when the file's folder takes
    // no new file or something else holds the name there. The first place's
    // error is the one reported: it is where the copy was expected.
    ErroreFile primo;
    if (ScriviIn(Accanto(reale), *byte, info, primo)) {
        esito.tipo = Esito::Tipo::Conservata;
        esito.copia = Accanto(reale);
        return esito;
    }
    if (!cartellaDati.isEmpty()) {
        const QString posto = NellaCartellaDati(reale, cartellaDati);
        ErroreFile secondo;
        if (QDir().mkpath(QFileInfo(posto).path()) &&
            ScriviIn(posto, *byte, info, secondo)) {
            esito.tipo = Esito::Tipo::Conservata;
            esito.copia = posto;
            return esito;
        }
    }
    esito.tipo = Esito::Tipo::Fallita;
    esito.errore = primo;
    return esito;
}

} // namespace CopiaOriginale
