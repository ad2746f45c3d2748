// Any bytes as a list file: reading it, saving the rows read (those a record
// can hold, as the list editors do) and reading again gives the same rows.

#include "nucleo/elenchi/ArchivioListe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Diverso(const char *cosa)
{
    std::fprintf(stderr, "%s\n", cosa);
    std::abort();
}

// What a row says. The whole-word flag stored beside an elimination row's
// "Sì"/"No" text is derived from that text on every write, and readers go
// by the text, so a damaged flag may change.
QVector<QStringList> Testi(const QVector<VoceSostituzione> &righe)
{
    QVector<QStringList> testi;
    for (const VoceSostituzione &voce : righe)
        testi.append({voce.Trova, voce.Sostituisci});
    return testi;
}
QVector<QStringList> Testi(const QVector<VoceEliminazione> &righe)
{
    QVector<QStringList> testi;
    for (const VoceEliminazione &voce : righe)
        testi.append({voce.Elimina, voce.ParolaIntera});
    return testi;
}

template <typename Voce, typename Leggi>
void AndataERitorno(ArchivioListe &archivio, Elenco elenco, Leggi leggi)
{
    const QVector<Voce> righe = leggi();
    for (const Voce &voce : righe)
        if (!Record::MotivoNonContenibile(voce).isEmpty()) return;
    ErroreFile errore;
    if (!archivio.Salva(righe, &errore))
        Diverso(qPrintable(QStringLiteral("Save failed: ") + errore.Messaggio()));
    if (Testi(leggi()) != Testi(righe)) Diverso("The rows read again differ from the rows saved");
    if (archivio.Lunghezza(elenco) != righe.size() * Record::Lunghezza)
        Diverso("The file does not hold one record per row");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    // In memory where there is a memory file system: every save syncs.
    static QTemporaryDir cartella(QDir(QStringLiteral("/dev/shm")).exists()
                                      ? QStringLiteral("/dev/shm/quadrivo-fuzz-XXXXXX")
                                      : QDir::tempPath() + QStringLiteral("/quadrivo-fuzz-XXXXXX"));
    ArchivioListe archivio(cartella.path());
    for (const Elenco elenco : {Elenco::Sostituzioni, Elenco::Eliminazioni}) {
        QFile file(archivio.Percorso(elenco));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char *>(dati), qint64(dimensione)) !=
                qint64(dimensione))
            Diverso("Cannot prepare the list file");
        file.close();
        if (!archivio.Apri(elenco)) Diverso("Cannot open the list file");
    }
    AndataERitorno<VoceSostituzione>(archivio, Elenco::Sostituzioni,
                                     [&] { return archivio.LeggiSostituzioni(); });
    AndataERitorno<VoceEliminazione>(archivio, Elenco::Eliminazioni,
                                     [&] { return archivio.LeggiEliminazioni(); });
    return 0;
}
