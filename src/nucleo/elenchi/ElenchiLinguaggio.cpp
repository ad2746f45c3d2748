#include "ElenchiLinguaggio.h"

#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QDir>
#include <QFileInfo>

QString NomeElencoLinguaggio(Linguaggio linguaggio)
{
    const QString chiave = ChiaveLinguaggio(linguaggio);
    return chiave.isEmpty() ? QStringLiteral("sostituzioni.dat")
                            : QStringLiteral("sostituzioni-") + chiave + QStringLiteral(".dat");
}

QString PercorsoElencoLinguaggio(const QString &cartella, Linguaggio linguaggio)
{
    return QDir(cartella).filePath(NomeElencoLinguaggio(linguaggio));
}

bool PreparaElencoLinguaggio(const QString &cartella, Linguaggio linguaggio, ErroreFile *errore)
{
    if (linguaggio == Linguaggio::Nessuno) return true;
    const QString percorso = PercorsoElencoLinguaggio(cartella, linguaggio);
    // A dangling link counts as there too: writing would replace the link.
    const QFileInfo info(percorso);
    if (info.exists() || info.isSymLink()) return true;
    return ScritturaAtomica::Scrivi(percorso, Record::Unisci(ListaDelLinguaggio(linguaggio)),
                                    ScritturaAtomica::Modo::SoloAtomica, errore);
}
