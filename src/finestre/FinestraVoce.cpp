#include "FinestraVoce.h"

#include "finestre/FinestraElenco.h"
#include "nucleo/Contesto.h"
#include "nucleo/ricerca/Ricerca.h"
#include "piattaforma/Piattaforma.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using Piattaforma::Pixel;

FinestraVoce::FinestraVoce(FinestraElenco &elenco)
    : QDialog(&elenco), m_contesto(elenco.Condiviso()), m_elenco(elenco)
{
    const bool sost = elenco.Tipo() == Elenco::Sostituzioni;
    setObjectName(sost ? QStringLiteral("VoceSostituzioni") : QStringLiteral("VoceEliminazioni"));
    setWindowTitle(sost ? QStringLiteral("Aggiungi") : QStringLiteral("Nuova Eliminazione"));
    setFixedSize(Pixel(sost ? 3705 : 3690), Pixel(sost ? 1590 : 1410));

    auto etichetta = [this](const char *nome, const char *testo, int y) {
        auto *l = new QLabel(QString::fromUtf8(testo), this);
        l->setObjectName(QString::fromLatin1(nome));
        l->setGeometry(Pixel(120), Pixel(y), Pixel(1095), Pixel(255));
        return l;
    };
    auto casella = [this](const char *nome, int y) {
        auto *t = new QLineEdit(this);
        t->setObjectName(QString::fromLatin1(nome));
        t->setGeometry(Pixel(1320), Pixel(y), Pixel(2295), Pixel(285));
        return t;
    };
    Label1 = etichetta("Label1", sost ? "&Trova:" : "&Elimina:", 120);
    Text1 = casella("Text1", 120);
    Label1->setBuddy(Text1);
    QWidget *ultimo;
    if (sost) {
        Label2 = etichetta("Label2", "&Sostituisci con:", 600);
        Text2 = casella("Text2", 600);
        Label2->setBuddy(Text2);
        ultimo = Text2;
    } else {
        Check1 = new QCheckBox(QStringLiteral("&Solo parola intera"), this);
        Check1->setObjectName(QStringLiteral("Check1"));
        Check1->setGeometry(Pixel(120), Pixel(600), Pixel(2175), Pixel(255));
        ultimo = Check1;
    }
    const int yPulsanti = sost ? 1200 : 960;
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Pixel(1320), Pixel(yPulsanti), Pixel(1095), Pixel(375));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("Annulla"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(Pixel(2520), Pixel(yPulsanti), Pixel(1095), Pixel(375));
    connect(Command1, &QPushButton::clicked, this, &FinestraVoce::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject); // Esc too

    setTabOrder(Text1, ultimo);
    setTabOrder(ultimo, Command1);
    setTabOrder(Command1, Command2);
    Text1->setFocus();
}

bool FinestraVoce::CercaLista(const QString &testo) const
{
    const QString cercato = Ricerca::Maiuscolo(testo);
    for (int i = 1; i <= m_elenco.NumeroRighe(); ++i)
        if (Ricerca::Maiuscolo(m_elenco.Testo(i, 0)) == cercato) return true;
    return false;
}

QString FinestraVoce::SecondaColonna() const
{
    if (Text2) return Text2->text();
    return Check1->isChecked() ? TestoSi : TestoNo;
}

void FinestraVoce::Command1_Click()
{
    const bool sost = m_elenco.Tipo() == Elenco::Sostituzioni;
    const QString parola = Text1->text();
    const QString seconda = SecondaColonna();
    const bool aggiungi = windowTitle() == QStringLiteral("Aggiungi");
    if (!aggiungi && windowTitle() != QStringLiteral("Modifica")) return;

    if (aggiungi && CercaLista(parola)) {
        Piattaforma::MessageBox(this,
                                QStringLiteral("Esiste già '") + parola +
                                    (sost ? QStringLiteral("' nella lista delle sostituzioni!")
                                          : QStringLiteral("' nella lista delle eliminazioni!")),
                                Piattaforma::Pulsanti::OK, Piattaforma::Icona::Esclamazione);
        return;
    }
    // A row the list file could not hold is refused here, before anything is saved.
    const QString motivo = sost
                               ? Record::MotivoNonContenibile(VoceSostituzione{parola, seconda})
                               : Record::MotivoNonContenibile(VoceEliminazione{parola, seconda, 0});
    if (!motivo.isEmpty()) {
        Piattaforma::MessageBox(this, motivo, Piattaforma::Pulsanti::OK,
                                Piattaforma::Icona::Esclamazione);
        return;
    }
    if (aggiungi)
        m_elenco.AggiungiRiga(parola, seconda);
    else
        m_elenco.ImpostaRiga(m_contesto.IndiceModifica, parola, seconda);
    accept();
}
