#include "FinestraOpzioni.h"

#include "nucleo/Contesto.h"
#include "nucleo/codice/Linguaggio.h"
#include "piattaforma/Piattaforma.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>

using Piattaforma::Pixel;
using Piattaforma::Pulsante;

FinestraOpzioni::FinestraOpzioni(Contesto &stato, QWidget *padre)
    : QDialog(padre), m_contesto(stato)
{
    setObjectName(QStringLiteral("FinestraOpzioni"));
    setWindowTitle(QStringLiteral("Opzioni"));
    setFixedSize(Pixel(5175), Pixel(2670));

    CasellaLasciaIntatti =
        new QCheckBox(QStringLiteral("Lascia intatti &commenti e stringhe"), this);
    CasellaLasciaIntatti->setObjectName(QStringLiteral("CasellaLasciaIntatti"));
    CasellaLasciaIntatti->setGeometry(Pixel(120), Pixel(120), Pixel(4935), Pixel(255));
    CasellaLasciaIntatti->setChecked(stato.OpzioniCodice.LasciaIntatti);
    CasellaSeparatori = new QCheckBox(QStringLiteral("&Separatori del codice"), this);
    CasellaSeparatori->setObjectName(QStringLiteral("CasellaSeparatori"));
    CasellaSeparatori->setGeometry(Pixel(120), Pixel(480), Pixel(4935), Pixel(255));
    CasellaSeparatori->setChecked(stato.OpzioniCodice.SeparatoriCodice);
    CasellaElencoLinguaggio = new QCheckBox(QStringLiteral("Un &elenco per ogni linguaggio"), this);
    CasellaElencoLinguaggio->setObjectName(QStringLiteral("CasellaElencoLinguaggio"));
    CasellaElencoLinguaggio->setGeometry(Pixel(120), Pixel(840), Pixel(4935), Pixel(255));
    CasellaElencoLinguaggio->setChecked(stato.OpzioniCodice.ElencoPerLinguaggio);
    CasellaCopiaOriginale =
        new QCheckBox(QStringLiteral("Conserva una copia dell'originale (NOME~)"), this);
    CasellaCopiaOriginale->setObjectName(QStringLiteral("CasellaCopiaOriginale"));
    CasellaCopiaOriginale->setGeometry(Pixel(120), Pixel(1200), Pixel(4935), Pixel(255));
    CasellaCopiaOriginale->setChecked(stato.OpzioniCodice.ConservaOriginale);

    const Linguaggio linguaggio = stato.TipoDocumento().linguaggio;
    EtichettaLinguaggio =
        new QLabel(QStringLiteral("Linguaggio del testo: ") + NomeLinguaggio(linguaggio), this);
    EtichettaLinguaggio->setObjectName(QStringLiteral("EtichettaLinguaggio"));
    EtichettaLinguaggio->setGeometry(Pixel(120), Pixel(1620), Pixel(4935), Pixel(255));

    BottoneOk = Pulsante(this, "BottoneOk", QStringLiteral("OK"), 2760, 2160, 1095, 375);
    BottoneOk->setDefault(true);
    BottoneAnnulla =
        Pulsante(this, "BottoneAnnulla", QStringLiteral("Annulla"), 3960, 2160, 1095, 375);
    connect(BottoneOk, &QPushButton::clicked, this, &FinestraOpzioni::Conferma);
    connect(BottoneAnnulla, &QPushButton::clicked, this, &QDialog::reject); // Esc too

    setTabOrder(CasellaLasciaIntatti, CasellaSeparatori);
    setTabOrder(CasellaSeparatori, CasellaElencoLinguaggio);
    setTabOrder(CasellaElencoLinguaggio, CasellaCopiaOriginale);
    setTabOrder(CasellaCopiaOriginale, BottoneOk);
    setTabOrder(BottoneOk, BottoneAnnulla);
    CasellaLasciaIntatti->setFocus();
}

void FinestraOpzioni::Conferma()
{
    const Opzioni scelte{CasellaLasciaIntatti->isChecked(), CasellaSeparatori->isChecked(),
                         CasellaElencoLinguaggio->isChecked(), CasellaCopiaOriginale->isChecked()};
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
