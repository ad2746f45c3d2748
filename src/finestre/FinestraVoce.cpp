#include "FinestraVoce.h"

#include "piattaforma/Piattaforma.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using Piattaforma::Pixel;
using Piattaforma::Pulsante;

FinestraVoce::FinestraVoce(QWidget *padre, Elenco elenco, ModoVoce modo, const RigaElenco &iniziale,
                           Controllo rifiuto)
    : QDialog(padre), m_rifiuto(std::move(rifiuto))
{
    const bool sost = elenco == Elenco::Sostituzioni;
    setObjectName(sost ? QStringLiteral("VoceSostituzioni") : QStringLiteral("VoceEliminazioni"));
    setWindowTitle(modo == ModoVoce::Aggiungi ? QStringLiteral("Aggiungi")
                                              : QStringLiteral("Modifica"));
    setFixedSize(Pixel(sost ? 3705 : 3690), Pixel(sost ? 1590 : 1410));

    auto etichetta = [this](const char *nome, const char *testo, int y) {
        auto *l = new QLabel(QString::fromUtf8(testo), this);
        l->setObjectName(QString::fromLatin1(nome));
        l->setGeometry(Pixel(120), Pixel(y), Pixel(1095), Pixel(255));
        return l;
    };
    auto casella = [this](const char *nome, int y, const QString &testo) {
        auto *t = new QLineEdit(testo, this);
        t->setObjectName(QString::fromLatin1(nome));
        t->setGeometry(Pixel(1320), Pixel(y), Pixel(2295), Pixel(285));
        return t;
    };
    EtichettaParola = etichetta("EtichettaParola", sost ? "&Trova:" : "&Elimina:", 120);
    CasellaParola = casella("CasellaParola", 120, iniziale.parola);
    EtichettaParola->setBuddy(CasellaParola);
    QWidget *ultimo;
    if (sost) {
        EtichettaSostituzione = etichetta("EtichettaSostituzione", "&Sostituisci con:", 600);
        CasellaSostituzione = casella("CasellaSostituzione", 600, iniziale.sostituzione);
        EtichettaSostituzione->setBuddy(CasellaSostituzione);
        ultimo = CasellaSostituzione;
    } else {
        CasellaParolaIntera = new QCheckBox(QStringLiteral("&Solo parola intera"), this);
        CasellaParolaIntera->setObjectName(QStringLiteral("CasellaParolaIntera"));
        CasellaParolaIntera->setGeometry(Pixel(120), Pixel(600), Pixel(2175), Pixel(255));
        CasellaParolaIntera->setChecked(iniziale.parolaIntera);
        ultimo = CasellaParolaIntera;
    }
    const int yBottoni = sost ? 1200 : 960;
    BottoneOk = Pulsante(this, "BottoneOk", QStringLiteral("OK"), 1320, yBottoni, 1095, 375);
    BottoneOk->setDefault(true);
    BottoneAnnulla =
        Pulsante(this, "BottoneAnnulla", QStringLiteral("Annulla"), 2520, yBottoni, 1095, 375);
    connect(BottoneOk, &QPushButton::clicked, this, &FinestraVoce::Conferma);
    connect(BottoneAnnulla, &QPushButton::clicked, this, &QDialog::reject); // Esc too

    setTabOrder(CasellaParola, ultimo);
    setTabOrder(ultimo, BottoneOk);
    setTabOrder(BottoneOk, BottoneAnnulla);
    CasellaParola->setFocus();
}

std::optional<RigaElenco> FinestraVoce::Chiedi(QWidget *padre, Elenco elenco, ModoVoce modo,
                                               const RigaElenco &iniziale, Controllo rifiuto,
                                               bool fuocoSulSecondo)
{
    FinestraVoce dialogo(padre, elenco, modo, iniziale, std::move(rifiuto));
    if (fuocoSulSecondo && dialogo.CasellaSostituzione) dialogo.CasellaSostituzione->setFocus();
    if (Piattaforma::MostraModale(&dialogo) != QDialog::Accepted) return std::nullopt;
    return dialogo.Riga();
}

RigaElenco FinestraVoce::Riga() const
{
    return {CasellaParola->text(), CasellaSostituzione ? CasellaSostituzione->text() : QString(),
            CasellaParolaIntera && CasellaParolaIntera->isChecked()};
}

void FinestraVoce::Conferma()
{
    // A row the list could not take is refused here, before anything is saved.
    const QString motivo = m_rifiuto ? m_rifiuto(Riga()) : QString();
    if (!motivo.isEmpty()) {
        Piattaforma::MessageBox(this, motivo, Piattaforma::Pulsanti::OK,
                                Piattaforma::Icona::Esclamazione);
        return;
    }
    accept();
}
