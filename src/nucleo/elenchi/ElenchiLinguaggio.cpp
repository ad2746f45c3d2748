#include "ElenchiLinguaggio.h"

#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QDir>
#include <QFileInfo>

QString NomeElencoLinguaggio(Linguaggio linguaggio)
{
    switch (linguaggio) {
    case Linguaggio::Basic:
        return QStringLiteral("sostituzioni-basic.dat");
    case Linguaggio::C:
        return QStringLiteral("sostituzioni-c.dat");
    case Linguaggio::Cpp:
        return QStringLiteral("sostituzioni-cpp.dat");
    case Linguaggio::Batch:
        return QStringLiteral("sostituzioni-batch.dat");
    case Linguaggio::Nessuno:
        break;
    }
    return QStringLiteral("sostituzioni.dat");
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
