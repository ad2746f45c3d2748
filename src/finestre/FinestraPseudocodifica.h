#pragma once

#include "nucleo/pseudocodifica/SessionePseudocodifica.h"
#include "piattaforma/Piattaforma.h"

#include <QDialog>

class FinestraPrincipale;
class Contesto;
class QLabel;
class QProgressBar;
class QPushButton;

// The pseudocoding run window: shows the run that SessionePseudocodifica
// holds and forwards the button presses to it. Created anew for every run and
// shown without blocking while the main window is disabled.
class FinestraPseudocodifica : public QDialog
{
    Q_OBJECT
public:
    using Fase = SessionePseudocodifica::Fase;

    explicit FinestraPseudocodifica(FinestraPrincipale &form);
    ~FinestraPseudocodifica() override;

    // The start-up check; runs before the window is shown.
    void Avvia();

    // Milliseconds of scanning between two turns of the event loop.
    int IntervalloCessione = Piattaforma::MillisecondiCessione;

    // The run, over the substitution list as it was when the window was made.
    SessionePseudocodifica *Sessione() const { return m_sessione; }
    Fase FaseAttuale() const { return m_sessione->FaseAttuale(); }
    int VoceCorrente() const { return m_sessione->Percorso().VoceCorrente(); }

    QLabel *Icona, *TitoloParola, *EtichettaParola, *TitoloSostituto, *EtichettaSostituto,
        *TitoloAutomatica, *TitoloElenco, *TitoloTesto, *TitoloTempo, *EtichettaTempo,
        *EtichettaCommento;
    QPushButton *BottoneAvviaAutomatica, *BottoneRiduciAIcona, *BottoneSostituisci,
        *BottoneSuccessivo, *BottoneSalta, *BottoneSostituisciTutto, *BottoneInterrompi,
        *BottoneChiudi;
    QPushButton *BottoneParoleNonTradotte; // shown at the end of the list
    QPushButton *BottoneConfronta;         // shown at the end of the list too
    QProgressBar *BarraElenco, *BarraTesto;

public Q_SLOTS:
    void Sostituisci();         // "&Sostituisci"
    void Successivo();          // "S&uccessivo"
    void SostituisciTutto();    // "Sostituisci &tutto"
    void AvviaAutomatica();     // "&Avvia pseudocod. automatica"
    void Salta();               // "Sa&lta questa parola"
    void RiduciORipristina();   // "Ri&duci a icona" / "Ripristi&na"
    void InterrompiORiprendi(); // "&Interrompi" / "&Riprendi"

protected:
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void MostraFase(Fase fase);
    // The current entry in the labels and the list bar.
    void MostraVoce();
    // The run's selected occurrence in the editor (the caret at 1 when none).
    void MostraSelezione();
    void MostraAvviso(SessionePseudocodifica::Avviso avviso);
    void ScriviNellEditore(const QString &testo, bool cursoreAllInizio);
    // After a walking command: the new entry or occurrence shows.
    void DopoCammino(Pseudocodifica::Esito esito);
    // The window is done: the main window takes input again, and this one goes.
    void Termina();

    Contesto &m_contesto;
    FinestraPrincipale &m_form;
    SessionePseudocodifica *m_sessione;
    bool m_ridotta = false; // both windows minimized by "Ri&duci a icona"
};
