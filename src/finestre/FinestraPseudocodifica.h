#pragma once

#include "nucleo/pseudocodifica/Pseudocodifica.h"
#include "piattaforma/Piattaforma.h"

#include <QDialog>
#include <QPointer>
#include <functional>

class FinestraPrincipale;
class Contesto;
class QLabel;
class QProgressBar;
class QPushButton;

// The pseudocoding run: walks the substitution list over the editor text,
// entry by entry or automatically. Created anew for every run and shown
// without blocking while the main window is disabled.
class FinestraPseudocodifica : public QDialog
{
    Q_OBJECT
public:
    explicit FinestraPseudocodifica(FinestraPrincipale &form);
    ~FinestraPseudocodifica() override;

    // The start-up check; runs before the window is shown.
    void Avvia();

    // Seconds since midnight; tests replace it.
    std::function<double()> Orologio;
    // Milliseconds of scanning between two turns of the event loop.
    int IntervalloCessione = Piattaforma::MillisecondiCessione;

    // The run itself: the current entry, the selected occurrence.
    const Pseudocodifica::Percorso &Percorso() const { return m_percorso; }
    int VoceCorrente() const { return m_percorso.VoceCorrente(); }

    QLabel *Image1, *Label1, *EtichettaParola, *Label3, *EtichettaSostituto, *Label2, *Label5,
        *Label4, *Label6, *EtichettaTempo, *Label7;
    QPushButton *Command5, *Command7, *Command1, *Command2, *Command6, *Command3,
        *BottoneInterrompi, *Command4;
    QPushButton *Command8; // "&Parole non tradotte...", shown at the end of the list
    QProgressBar *ProgressBar2, *ProgressBar1;

    enum class Fase { Annullata, NienteDaFare, InCammino, Automatica, InPausa, Terminata };
    Fase FaseAttuale() const { return m_fase; }

public Q_SLOTS:
    void Command1_Click();      // "&Sostituisci"
    void Command2_Click();      // "S&uccessivo"
    void Command3_Click();      // "Sostituisci &tutto"
    void Command4_Click();      // "&Chiudi"
    void Command5_Click();      // "&Avvia pseudocod. automatica"
    void Command6_Click();      // "Sa&lta questa parola"
    void Command7_Click();      // "Ri&duci a icona" / "Ripristi&na"
    void InterrompiORiprendi(); // "&Interrompi" / "&Riprendi"

protected:
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void ImpostaFase(Fase fase);
    // The current entry in the labels and the list bar.
    void MostraVoce();
    // The run's selected occurrence in the editor (the caret at 1 when none).
    void MostraSelezione();
    // What a walking command led to: the new entry or occurrence, or the end of the list.
    void MostraEsito(Pseudocodifica::Esito esito);
    // Every write of the whole text into the editor goes through here.
    void ScriviNellEditore(const QString &testo);
    void FineElenco();
    void Conclusione(const QString &testo);
    void AvviaBarraTesto(qsizetype lunghezza);
    // Progress on the text bar and yields; stops on "&Interrompi" or on closing.
    Pseudocodifica::Osservatore
    OsservatoreScansione(Piattaforma::Cessione &cedi,
                         const QPointer<FinestraPseudocodifica> &finestra);

    Contesto &m_contesto;
    FinestraPrincipale &m_form;
    Pseudocodifica::Percorso m_percorso{{}};
    Fase m_fase = Fase::InCammino;
    QString m_commento;     // the remark beside the remaining time
    bool m_ridotta = false; // both windows minimized by "Ri&duci a icona"
    bool m_inCorsa = false; // a scan that yields is going on
    bool m_chiusa = false;  // closed during that scan
};
