#pragma once

#include "nucleo/ricerca/Ricerca.h"
#include "piattaforma/Piattaforma.h"

#include <QDialog>

class FinestraPrincipale;
class Contesto;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The find/replace dialog. Made once, then only shown and hidden. It writes
// its texts and options into the shared state as they change, where they
// last for the whole session and for "&Ripeti trova".
class FinestraTrova : public QDialog
{
    Q_OBJECT
public:
    explicit FinestraTrova(FinestraPrincipale &form);

    QLabel *EtichettaTrova, *EtichettaSostituto, *EtichettaDirezione;
    QLineEdit *TestoDaTrovare, *TestoSostitutivo;
    QPushButton *BottoneTrovaSuccessivo, *BottoneSostituisci, *BottoneSostituisciTutto,
        *BottoneChiudi, *BottoneSoloTrova, *BottoneModoSostituisci;
    // The replace row (in front in replace mode), the "< Sost&ituisci" row (in
    // front in find mode) and the options below them.
    QWidget *PannelloSostituisci, *PannelloTrova, *PannelloOpzioni;
    QCheckBox *CasellaParoleIntere, *CasellaMaiuscole;
    QComboBox *SceltaDirezione;

    // Milliseconds of replacing between two turns of the event loop.
    int IntervalloCessione = Piattaforma::MillisecondiCessione;

    // The two modes: the panel in front and the caption; the options' top and
    // the window's outer height (twips) differ with what switched them.
    struct Misure
    {
        int topOpzioni;
        int altezza;
    };
    static constexpr Misure MisureTrova{1300, 2355};              // "&Trova...", "So&lo trova"
    static constexpr Misure MisureSostituisci{2000, 3000};        // "&Sostituisci una parola..."
    static constexpr Misure MisureSostituisciDaTrova{1800, 2800}; // "< Sost&ituisci"
    // Title bar and frame, taken off the outer height.
    static constexpr int AltezzaCornice = 420;
    void ModoTrova(Misure misure = MisureTrova);
    void ModoSostituisci(Misure misure);
    // Shown beside the main window, which waits while it is open.
    void Mostra();

    // Finds the next occurrence of `parola` in the main window's editor and
    // selects it, asking whether to go round at the end (the start) of the
    // text; false when the user said No.
    bool Cerca(const QString &parola, const Ricerca::OpzioniRicerca &opzioni);

public Q_SLOTS:
    void TrovaSuccessivo();             // "Trova succ&essivo"
    void Sostituisci();                 // "&Sostituisci"
    void SostituisciTutteOInterrompi(); // "S&ostituisci tutto" / "I&nterrompi"
    void Chiudi();                      // "&Chiudi"
    void SoloTrova();                   // "So&lo trova"
    void PassaASostituisci();           // "< Sost&ituisci"
    // Replaces every occurrence of the word in the part of the text the
    // direction gives, showing the progress in the main window.
    void SostituisciTutte();
    // What the status bar says when a replace-all ends: how many it replaced.
    static QString TestoSostituite(qsizetype sostituite);

protected:
    void closeEvent(QCloseEvent *e) override; // only hides
    void keyPressEvent(QKeyEvent *e) override;

private:
    void Modo(QWidget *pannello, const QString &titolo, Misure misure);
    // The replace-all's state: "S&ostituisci tutto" becomes "I&nterrompi"
    // while the run can be interrupted, and the other commands wait.
    void MostraSostituzione();

    Contesto &m_contesto;
    FinestraPrincipale &m_form;
};
