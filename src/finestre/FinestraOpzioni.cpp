#include "FinestraOpzioni.h"

#include "nucleo/Contesto.h"
#include "nucleo/codice/Linguaggio.h"
#include "piattaforma/Piattaforma.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>

using Piattaforma::Pixel;

FinestraOpzioni::FinestraOpzioni(Contesto &stato, QWidget *padre)
    : QDialog(padre), m_contesto(stato)
{
    setObjectName(QStringLiteral("FinestraOpzioni"));
    setWindowTitle(QStringLiteral("Opzioni"));
    setFixedSize(Pixel(4575), Pixel(1950));

    Check1 = new QCheckBox(QStringLiteral("Lascia intatti &commenti e stringhe"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(Pixel(120), Pixel(120), Pixel(4335), Pixel(255));
    Check1->setChecked(stato.OpzioniCodice.LasciaIntatti);
    Check2 = new QCheckBox(QStringLiteral("&Separatori del codice"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check2->setGeometry(Pixel(120), Pixel(480), Pixel(4335), Pixel(255));
    Check2->setChecked(stato.OpzioniCodice.SeparatoriCodice);

    const Linguaggio linguaggio = TipoDaNomeFile(stato.NomeFileCorrente).linguaggio;
    Label1 =
        new QLabel(QStringLiteral("Linguaggio del testo: ") + NomeLinguaggio(linguaggio), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Pixel(120), Pixel(900), Pixel(4335), Pixel(255));

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Pixel(2160), Pixel(1440), Pixel(1095), Pixel(375));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("Annulla"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(Pixel(3360), Pixel(1440), Pixel(1095), Pixel(375));
    connect(Command1, &QPushButton::clicked, this, &FinestraOpzioni::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject); // Esc too

    setTabOrder(Check1, Check2);
    setTabOrder(Check2, Command1);
    setTabOrder(Command1, Command2);
    Check1->setFocus();
}

void FinestraOpzioni::Command1_Click()
{
    const Opzioni scelte{Check1->isChecked(), Check2->isChecked()};
    ErroreFile errore;
    if (!FileOpzioni::Scrivi(m_contesto.Liste.Cartella(), scelte, &errore)) {
        Piattaforma::MessageBox(
            this,
            QStringLiteral("Impossibile salvare le opzioni in \"%1\".\r\n%2")
                .arg(QDir::toNativeSeparators(FileOpzioni::Percorso(m_contesto.Liste.Cartella())),
                     errore.Messaggio()),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
        return;
    }
    m_contesto.OpzioniCodice = scelte;
    accept();
}
