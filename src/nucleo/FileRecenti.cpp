#include "FileRecenti.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString Chiave = QStringLiteral("FileRecenti");
}

QString FileRecenti::Forma(const QString &percorso)
{
    return QDir::cleanPath(QFileInfo(percorso).absoluteFilePath());
}

void FileRecenti::Aggiungi(const QString &percorso)
{
    if (percorso.isEmpty()) return;
    const QString forma = Forma(percorso);
    m_elenco.removeAll(forma);
    m_elenco.prepend(forma);
    while (m_elenco.size() > Limite)
        m_elenco.removeLast();
}

bool FileRecenti::Rimuovi(const QString &percorso)
{
    return m_elenco.removeAll(Forma(percorso)) > 0;
}

QStringList FileRecenti::RimuoviMancanti()
{
    QStringList mancanti;
    for (const QString &percorso : std::as_const(m_elenco)) {
        const QFileInfo info(percorso);
        if (!info.exists() || info.isDir()) mancanti.append(percorso);
    }
    for (const QString &percorso : std::as_const(mancanti))
        m_elenco.removeAll(percorso);
    return mancanti;
}

void FileRecenti::Carica(const QSettings &impostazioni)
{
    m_elenco.clear();
    const QStringList letti = impostazioni.value(Chiave).toStringList();
    // Oldest first, so the latest ends on top.
    for (auto i = letti.crbegin(); i != letti.crend(); ++i)
        Aggiungi(*i);
}

void FileRecenti::Salva(QSettings &impostazioni) const
{
    impostazioni.setValue(Chiave, m_elenco);
}
