#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The files last opened or saved, the latest first, each once, at most Limite.
// Paths are compared in their absolute, cleaned form.
class FileRecenti
{
public:
    static constexpr qsizetype Limite = 8;

    const QStringList &Elenco() const { return m_elenco; }
    // Puts `percorso` first, dropping an earlier copy and the oldest beyond the limit.
    void Aggiungi(const QString &percorso);
    // Drops `percorso`; false when it was not in the list.
    bool Rimuovi(const QString &percorso);
    // Drops every path that names no existing file and returns them, in list order.
    QStringList RimuoviMancanti();

    // The list under the key "FileRecenti" of `impostazioni`; a stored list is
    // read through Aggiungi, so a hand-edited file cannot break the rules.
    void Carica(const QSettings &impostazioni);
    void Salva(QSettings &impostazioni) const;

    // The user's settings file of the program.
    static QString NomeOrganizzazione() { return QStringLiteral("quadrivo"); }
    static QString NomeImpostazioni() { return QStringLiteral("editor"); }

private:
    static QString Forma(const QString &percorso);
    QStringList m_elenco;
};
