#pragma once

#include "platform/Piattaforma.h"

#include <QDialog>
#include <functional>

class Form1;
class Modulo1;
class QLabel;
class QProgressBar;
class QPushButton;

// The pseudocoding run: walks the substitution list over the editor text,
// entry by entry or automatically. Created anew for every run and shown
// without blocking while the main window is disabled.
class frmPseudo : public QDialog
{
    Q_OBJECT
public:
    frmPseudo(Modulo1 &stato, Form1 &form);
    ~frmPseudo() override;

    // The start-up check; runs before the window is shown.
    void Form_Load();

    // Seconds since midnight; tests replace it.
    std::function<double()> Orologio;
    // Milliseconds of scanning between two turns of the event loop.
    int IntervalloCessione = 15;

    qint32 VoceCorrente = 1;

    QLabel *Image1, *Label1, *lblTrovato, *Label3, *lblSost, *Label2, *Label5, *Label4, *Label6,
        *lblT, *Label7;
    QPushButton *Command5, *Command7, *Command1, *Command2, *Command6, *Command3, *cmdInt,
        *Command4;
    QProgressBar *ProgressBar2, *ProgressBar1;

    enum class Fase { Annullata, NienteDaFare, InCammino, Automatica, InPausa, Terminata };
    Fase FaseAttuale() const { return m_fase; }

    // True while an automatic scan is running.
    bool Occupata() const { return m_inScansione; }

public Q_SLOTS:
    void Command1_Click(); // "&Sostituisci"
    void Command2_Click(); // "S&uccessivo"
    void Command3_Click(); // "Sostituisci &tutto"
    void Command4_Click(); // "&Chiudi"
    void Command5_Click(); // "&Avvia pseudocod. automatica"
    void Command6_Click(); // "Sa&lta questa parola"
    void Command7_Click(); // "Ri&duci a icona" / "Ripristi&na"
    void cmdInt_Click();   // "&Interrompi" / "&Riprendi"

protected:
    void closeEvent(QCloseEvent *e) override; // Form_Unload
    void keyPressEvent(QKeyEvent *e) override;

private:
    void ImpostaFase(Fase fase);
    void CaricaVoce(qint32 k);
    bool CercaVoceCorrente(qint16 direzione);
    void FineElenco();
    void Conclusione(const QString &testo);
    void AvanzaElenco();
    // Moves to the next entry, or ends the list; false when the list ended.
    bool PassaAllaVoceSuccessiva();

    // Replaces every whole-word occurrence of the current word in `testo`;
    // nothing when interrupted (the result says so). `sostituzioni` counts them.
    bool SostituisciPseudo(QString &testo, Piattaforma::Cessione &cedi,
                           qsizetype *sostituzioni = nullptr);

    Modulo1 &m_stato;
    Form1 &m_form;
    Fase m_fase = Fase::InCammino;
    bool m_inScansione = false;
    bool m_chiusa = false;
};
