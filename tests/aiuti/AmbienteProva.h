#pragma once

#include "aiuti/Copione.h"
#include "nucleo/Contesto.h"
#include "nucleo/elenchi/VociElenco.h"
#include "piattaforma/Piattaforma.h"

#include <QTemporaryDir>
#include <memory>

class FinestraPrincipale;
class QAction;
class QProgressBar;
class QWidget;

// A fresh program for one test: its own list folder, its own shared state,
// and scripted message boxes, file dialogs and modal windows.
class AmbienteProva
{
public:
    AmbienteProva();
    ~AmbienteProva();

    QString Cartella() const { return m_cartella.path(); }
    QString Percorso(const QString &nome) const { return m_cartella.filePath(nome); }

    // Writes a file into the test folder.
    void ScriviFile(const QString &nome, const QByteArray &contenuto) const;
    static QByteArray LeggiFile(const QString &percorso);

    Contesto &Condiviso() { return *m_contesto; }

    // Writes both list files so that start-up asks nothing.
    void ScriviElenchi(const QVector<VoceSostituzione> &sostituzioni);

    // A main window over this folder, started as the program starts it (the
    // start-up questions must be scripted first).
    FinestraPrincipale &Avvia();
    FinestraPrincipale &Finestra() { return *m_finestra; }

private:
    QTemporaryDir m_cartella;
    std::unique_ptr<Contesto> m_contesto;
    std::unique_ptr<FinestraPrincipale> m_finestra;
};

// A window's menu command or progress bar, found by its object name.
QAction *Comando(QWidget &finestra, const char *nome);
QProgressBar *Avanzamento(QWidget &finestra);
