#include "CartellaListe.h"

#include "nucleo/elenchi/ArchivioListe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

const char *const NomiListe[] = {"sostituzioni.dat", "pulizia.dat"};

// Writable means a new file can be made there: this also catches read-only
// mounts and immutable folders, which the permission bits do not show.
bool Scrivibile(const QString &cartella)
{
    if (!QFileInfo(cartella).isDir()) return false;
    QTemporaryFile prova(QDir(cartella).filePath(QStringLiteral(".quadrivo-prova-XXXXXX")));
    return prova.open();
}

bool HaListe(const QDir &cartella)
{
    for (const char *nome : NomiListe)
        if (QFileInfo::exists(cartella.filePath(QString::fromLatin1(nome)))) return true;
    return false;
}

// An installed program (bin/ beside share/quadrivo/) keeps the user's lists in
// the data folder even where its own folder happens to be writable (a prefix in
// the home folder, or root installing into /usr/local).
bool Installato(const QString &cartellaProgramma)
{
    return QFileInfo::exists(
        QDir(cartellaProgramma).filePath(QStringLiteral("../share/quadrivo/crediti.html")));
}

} // namespace

QString ScegliCartellaListe(const QString &cartellaProgramma, const QString &cartellaDati)
{
    if (!Installato(cartellaProgramma) && Scrivibile(cartellaProgramma)) return cartellaProgramma;
    // With no data folder the lists are opened where they are; the program
    // folder's files are then read-only and a save says why it fails.
    if (cartellaDati.isEmpty() || !QDir().mkpath(cartellaDati)) return cartellaProgramma;

    const QDir programma(cartellaProgramma), dati(cartellaDati);
    if (HaListe(dati)) return cartellaDati;
    // A list that the program would refuse (a pipe, a device, a file over the
    // limit) is not copied, which could block or fill the disk: the program
    // folder's files are used as they are, and start-up says why one is refused.
    for (const char *nome : NomiListe) {
        const QFileInfo info(programma.filePath(QString::fromLatin1(nome)));
        if (info.exists() && (!info.isFile() || info.size() > DimensioneMassimaElenco))
            return cartellaProgramma;
    }
    QStringList copiati;
    for (const char *nome : NomiListe) {
        const QString origine = programma.filePath(QString::fromLatin1(nome));
        if (!QFileInfo(origine).isFile()) continue;
        const QString copia = dati.filePath(QString::fromLatin1(nome));
        if (!QFile::copy(origine, copia)) {
            // Half a copy would hide the other list for good: take back what
            // was copied and use the program folder's files as they are.
            for (const QString &fatto : copiati)
                QFile::remove(fatto);
            return cartellaProgramma;
        }
        copiati.append(copia);
    }
    return cartellaDati;
}
