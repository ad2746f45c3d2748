#include "ErroreFile.h"

#include <QDir>

#include <cerrno>
#include <cstring>

namespace {

QString DescrizioneItaliana(int e)
{
    switch (e) {
    case ENOENT:
        return QStringLiteral("File o cartella inesistente");
    case EACCES:
        return QStringLiteral("Permesso negato");
    case EPERM:
        return QStringLiteral("Operazione non permessa");
    case EROFS:
        return QStringLiteral("File system di sola lettura");
    case ENOSPC:
        return QStringLiteral("Spazio esaurito sul dispositivo");
    case EDQUOT:
        return QStringLiteral("Quota disco superata");
    case EISDIR:
        return QStringLiteral("È una cartella");
    case ENOTDIR:
        return QStringLiteral("Non è una cartella");
    case EEXIST:
        return QStringLiteral("Il file esiste");
    case EFBIG:
        return QStringLiteral("File troppo grande");
    case EIO:
        return QStringLiteral("Errore di input/output");
    case ENAMETOOLONG:
        return QStringLiteral("Nome del file troppo lungo");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Troppi file aperti");
    case EBUSY:
        return QStringLiteral("Dispositivo o risorsa occupata");
    case EINVAL:
        return QStringLiteral("Argomento non valido");
    case ENOMEM:
        return QStringLiteral("Memoria insufficiente");
    case ETXTBSY:
        return QStringLiteral("File di testo occupato");
    case ELOOP:
        return QStringLiteral("Troppi livelli di collegamenti simbolici");
    case EOPNOTSUPP:
        return QStringLiteral("Operazione non supportata");
    default:
        return QString::fromLocal8Bit(std::strerror(e));
    }
}

} // namespace

ErroreFile ErroreFile::DaErrno(int numeroErrno)
{
    if (numeroErrno == 0) return {EIO, DescrizioneItaliana(EIO)};
    return {numeroErrno, DescrizioneItaliana(numeroErrno)};
}

QString ErroreFile::Messaggio() const
{
    return QStringLiteral("Errore: ") + descrizione + QStringLiteral("  (") +
           QString::number(numero) + QLatin1Char(')');
}

QString ErroreFile::Messaggio(const QString &percorso) const
{
    return Messaggio() + QStringLiteral("\r\nFile: \"") + QDir::toNativeSeparators(percorso) +
           QLatin1Char('"');
}

ErroreFile ErroreAnnullamento()
{
    return {NumeroAnnullamento, QStringLiteral("Operazione annullata dall'utente")};
}
