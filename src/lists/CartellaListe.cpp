#include "CartellaListe.h"

#include <QDir>
#include <QFileInfo>

QString ScegliCartellaListe(const QString &cartellaProgramma, const QString &cartellaDati)
{
    if (QFileInfo(cartellaProgramma).isWritable()) return cartellaProgramma;
    if (!cartellaDati.isEmpty() && QDir().mkpath(cartellaDati)) return cartellaDati;
    return cartellaProgramma;
}
