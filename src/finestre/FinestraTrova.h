#pragma once

#include "piattaforma/Piattaforma.h"

#include <QDialog>

class FinestraPrincipale;
class Contesto;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The find/replace dialog. Made once, then only shown and hidden, so its
// texts and options last for the whole session and for "&Ripeti trova".
class FinestraTrova : public QDialog
{
    Q_OBJECT
public:
    explicit FinestraTrova(FinestraPrincipale &form);

    QLabel *Label1, *Label2, *Label3;
    QLineEdit *TestoDaTrovare, *TestoSostitutivo;
    QPushButton *Command1, *Command2, *Command4, *Command5, *Command6, *Command7;
    QWidget *Picture1, *Picture2, *Picture3;
    QCheckBox *Check1, *Check2;
    QComboBox *Combo1;

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
    // Shown beside the main window, which it disables.
    void Mostra();

    // The word to find, as typed.
    QString ParolaCercata() const;
    // Check box values as the engines take them.
    qint16 ValoreIntere() const;
    qint16 ValoreMaiuscole() const;

    // Called when a replace-all ends: its controls work again.
    void FineSostituzione();

public Q_SLOTS:
    void Command1_Click(); // "Trova succ&essivo"
    void Command2_Click(); // "&Sostituisci"
    void Command4_Click(); // "S&ostituisci tutto" / "I&nterrompi"
    void Command5_Click(); // "&Chiudi"
    void Command6_Click(); // "So&lo trova"
    void Command7_Click(); // "< Sost&ituisci"

protected:
    void closeEvent(QCloseEvent *e) override; // only hides
    void keyPressEvent(QKeyEvent *e) override;

private:
    void Modo(QWidget *pannello, const QString &titolo, Misure misure);
    void AbilitaComandi(bool abilita);
    // "S&ostituisci tutto" becomes "I&nterrompi" while a replace-all can be
    // interrupted, and the other commands wait.
    void MostraInterrompi(bool interrompibile);

    Contesto &m_contesto;
    FinestraPrincipale &m_form;
    bool m_inCorso = false;        // a replace-all is running
    bool m_interrompibile = false; // ... and has not been asked to stop
};
