#include "FinestraParole.h"

#include "finestre/EditorTesto.h"
#include "finestre/FinestraElenco.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraVoce.h"
#include "nucleo/Contesto.h"
#include "nucleo/pseudocodifica/ParoleNonTradotte.h"
#include "piattaforma/Piattaforma.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using Piattaforma::Pixel;
using Piattaforma::Pulsante;

FinestraParole::FinestraParole(FinestraPrincipale &form, QWidget *padre)
    : QDialog(padre), m_contesto(form.Condiviso()), m_form(form)
{
    setObjectName(QStringLiteral("FinestraParole"));
    setWindowTitle(QStringLiteral("Parole non tradotte"));
    setFixedSize(Pixel(8775), Pixel(4755));

    EtichettaRiepilogo = new QLabel(this);
    EtichettaRiepilogo->setObjectName(QStringLiteral("EtichettaRiepilogo"));
    EtichettaRiepilogo->setGeometry(Pixel(120), Pixel(120), Pixel(8535), Pixel(255));

    ElencoParole = new QTreeWidget(this);
    ElencoParole->setObjectName(QStringLiteral("ElencoParole"));
    ElencoParole->setGeometry(Pixel(120), Pixel(420), Pixel(8535), Pixel(3255));
    ElencoParole->setRootIsDecorated(false);
    ElencoParole->setSelectionMode(QAbstractItemView::SingleSelection);
    ElencoParole->setHeaderLabels(
        {QStringLiteral("Parola"), QStringLiteral("Occorrenze"), QStringLiteral("Motivo")});
    ElencoParole->setColumnWidth(0, Pixel(2100));
    ElencoParole->setColumnWidth(1, Pixel(1200));
    ElencoParole->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    connect(ElencoParole, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *voce) {
        AggiungiTraduzione(ElencoParole->indexOfTopLevelItem(voce) + 1);
    });

    EtichettaSuggerimento = new QLabel(
        QStringLiteral("Doppio clic su una parola per aggiungerne la traduzione all'elenco."),
        this);
    EtichettaSuggerimento->setObjectName(QStringLiteral("EtichettaSuggerimento"));
    EtichettaSuggerimento->setGeometry(Pixel(120), Pixel(3720), Pixel(8535), Pixel(255));

    BottoneTraduci =
        Pulsante(this, "BottoneTraduci", QStringLiteral("&Traduci..."), 6000, 4200, 1275, 375);
    BottoneTraduci->setDefault(true);
    BottoneChiudi =
        Pulsante(this, "BottoneChiudi", QStringLiteral("&Chiudi"), 7380, 4200, 1275, 375);
    connect(BottoneTraduci, &QPushButton::clicked, this, &FinestraParole::TraduciSelezionata);
    connect(BottoneChiudi, &QPushButton::clicked, this, &QDialog::accept);

    setTabOrder(ElencoParole, BottoneTraduci);
    setTabOrder(BottoneTraduci, BottoneChiudi);
    Aggiorna();
    ElencoParole->setFocus();
}

void FinestraParole::Mostra(FinestraPrincipale &form, QWidget *padre)
{
    FinestraParole finestra(form, padre);
    Piattaforma::MostraModale(&finestra);
}

int FinestraParole::NumeroRighe() const
{
    return ElencoParole->topLevelItemCount();
}

QString FinestraParole::Testo(int riga, int colonna) const
{
    const QTreeWidgetItem *voce = ElencoParole->topLevelItem(riga - 1);
    return voce ? voce->text(colonna) : QString();
}

void FinestraParole::Aggiorna()
{
    Piattaforma::PuntatoreOccupato(this, true);
    const TipoTesto tipo = m_contesto.TipoDocumento();
    const QVector<ParolaContata> parole = ParoleNonTradotte(
        m_form.Editor()->Text(), tipo, m_contesto.ListeInUso().LeggiSostituzioni(),
        m_contesto.OpzioniCodice.SeparatoriCodice);

    ElencoParole->clear();
    QList<QTreeWidgetItem *> righe;
    righe.reserve(parole.size());
    for (const ParolaContata &p : parole) {
        auto *voce = new QTreeWidgetItem({p.parola, QString::number(p.occorrenze), p.motivo});
        voce->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        voce->setToolTip(2, p.motivo);
        voce->setData(0, Qt::UserRole, p.conVoce);
        righe.append(voce);
    }
    ElencoParole->addTopLevelItems(righe);
    if (!righe.isEmpty()) ElencoParole->setCurrentItem(righe.first());
    BottoneTraduci->setEnabled(!righe.isEmpty());

    QString testo;
    if (tipo.linguaggio == Linguaggio::Nessuno)
        testo = parole.isEmpty() ? QStringLiteral("Nessuna parola ricorre almeno tre volte "
                                                  "senza traduzione.")
                                 : QStringLiteral("Parole ripetute almeno tre volte, senza "
                                                  "traduzione:");
    else
        testo = (parole.isEmpty() ? QStringLiteral("Ogni parola chiave %1 del testo ha una "
                                                   "traduzione.")
                                  : QStringLiteral("Parole chiave %1 senza traduzione:"))
                    .arg(NomeLinguaggio(tipo.linguaggio));
    EtichettaRiepilogo->setText(testo);
    Piattaforma::PuntatoreOccupato(this, false);
}

bool FinestraParole::AggiungiTraduzione(int riga)
{
    const QString parola = Testo(riga, 0);
    if (parola.isEmpty()) return false;
    // A word the list already translates elsewhere: another entry would be
    // refused; what keeps it is where it stands.
    if (ElencoParole->topLevelItem(riga - 1)->data(0, Qt::UserRole).toBool()) {
        Piattaforma::MessageBox(this,
                                QStringLiteral("«%1» ha già una voce nell'elenco; qui è rimasta "
                                               "%2.")
                                    .arg(parola, Testo(riga, 2)),
                                Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione);
        return false;
    }

    // The list's rows as its editor shows them: the entry dialog checks them for a duplicate.
    // The list the text is pseudocoded with gets the entry.
    ArchivioListe &liste = m_contesto.ListeInUso();
    ModelloElenco elenco(liste, Elenco::Sostituzioni);
    if (const ErroreFile errore = elenco.Carica(); errore.numero != 0)
        FinestraElenco::AvvisaLetturaFallita(this, liste, Elenco::Sostituzioni, errore);
    const std::optional<RigaElenco> scelta = FinestraVoce::Chiedi(
        this, Elenco::Sostituzioni, ModoVoce::Aggiungi, {parola, QString(), false},
        [&elenco](const RigaElenco &r) { return elenco.Rifiuto(r, true); }, true);
    if (!scelta) return false;
    const VoceSostituzione nuova{scelta->parola, scelta->sostituzione};
    if (nuova.Trova.isEmpty() || nuova.Sostituisci.isEmpty()) {
        // The list editors drop such a row when they load the file.
        Piattaforma::MessageBox(this,
                                QStringLiteral("La voce non è stata aggiunta: la parola e la "
                                               "traduzione non possono essere vuote."),
                                Piattaforma::Pulsanti::OK, Piattaforma::Icona::Esclamazione);
        return false;
    }

    // The file keeps every record it had, as it is; the entry goes at the end.
    QVector<VoceSostituzione> righe = liste.LeggiSostituzioni();
    righe.append(nuova);
    ErroreFile errore;
    if (!liste.Salva(righe, &errore)) {
        Piattaforma::MessageBox(this, errore.Messaggio(liste.Percorso(Elenco::Sostituzioni)),
                                Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
        return false;
    }
    m_form.AbilitaAvvio(Elenco::Sostituzioni, m_contesto.NumSostituzioni() > 0);
    Aggiorna();
    return true;
}

void FinestraParole::TraduciSelezionata()
{
    QTreeWidgetItem *voce = ElencoParole->currentItem();
    if (voce) AggiungiTraduzione(ElencoParole->indexOfTopLevelItem(voce) + 1);
}
