#include "ElenchiLinguaggio.h"

#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QDir>
#include <QFileInfo>

QString NomeElencoLinguaggio(Linguaggio linguaggio, Elenco elenco)
{
    const QString chiave = ChiaveLinguaggio(linguaggio);
    const QString radice =
        elenco == Elenco::Sostituzioni ? QStringLiteral("sostituzioni") : QStringLiteral("pulizia");
    return chiave.isEmpty() ? radice + QStringLiteral(".dat")
                            : radice + QLatin1Char('-') + chiave + QStringLiteral(".dat");
}

QString PercorsoElencoLinguaggio(const QString &cartella, Linguaggio linguaggio, Elenco elenco)
{
    return QDir(cartella).filePath(NomeElencoLinguaggio(linguaggio, elenco));
}

bool PreparaElencoLinguaggio(const QString &cartella, Linguaggio linguaggio, ErroreFile *errore)
{
    return PreparaElencoLinguaggio(cartella, linguaggio, Elenco::Sostituzioni, errore);
}

bool PreparaElencoLinguaggio(const QString &cartella, Linguaggio linguaggio, Elenco elenco,
                             ErroreFile *errore)
{
    if (linguaggio == Linguaggio::Nessuno) return true;
    const QString percorso = PercorsoElencoLinguaggio(cartella, linguaggio, elenco);
    // A dangling link counts as there too: writing would replace the link.
    const QFileInfo info(percorso);
    if (info.exists() || info.isSymLink()) return true;
    const QByteArray record = elenco == Elenco::Sostituzioni
                                  ? Record::Unisci(ListaDelLinguaggio(linguaggio))
                                  : Record::Unisci(PuliziaDelLinguaggio(linguaggio));
    return ScritturaAtomica::Scrivi(percorso, record, ScritturaAtomica::Modo::SoloAtomica, errore);
}
