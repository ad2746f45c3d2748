#include "FinestraElenco.h"

#include "finestre/AzioniElenco.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraVoce.h"
#include "nucleo/Contesto.h"
#include "nucleo/codice/Linguaggio.h"
#include "piattaforma/Icone.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using Piattaforma::Pixel;

namespace {

// A row: two texts and the picture that every row shares, held as a plain
// shared icon instead of an item value, so a row costs little beyond its texts.
class Riga : public QTreeWidgetItem
{
public:
    Riga(const QString &primo, const QString &secondo, const QIcon &icona)
        : QTreeWidgetItem(QStringList{primo, secondo}, UserType), m_icona(icona)
    {
    }
    QVariant data(int colonna, int ruolo) const override
    {
        if (colonna == 0 && ruolo == Qt::DecorationRole) return m_icona;
        return QTreeWidgetItem::data(colonna, ruolo);
    }

private:
    QIcon m_icona;
};

} // namespace

FinestraElenco::FinestraElenco(FinestraPrincipale &form, Elenco elenco)
    : QDialog(&form), m_contesto(form.Condiviso()), m_elenco(elenco), m_form(&form),
      m_iconaRiga(Icone::Riga())
{
    const bool sost = elenco == Elenco::Sostituzioni;
    setObjectName(sost ? QStringLiteral("FinestraSostituzioni")
                       : QStringLiteral("FinestraEliminazioni"));
    setWindowTitle(sost ? QStringLiteral("Elenco sostituzioni")
                        : QStringLiteral("Elenco eliminazioni"));
    setFixedSize(Pixel(sost ? 6630 : 6690), Pixel(4515));

    Label1 = new QLabel(
        sost ? QStringLiteral("Lista sostituzioni:") : QStringLiteral("Lista eliminazioni:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Pixel(120), Pixel(120), Pixel(3375), Pixel(255));

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(Pixel(120), Pixel(360), Pixel(4935), Pixel(3135));
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setHeaderLabels(
        {QStringLiteral("Trova"),
         sost ? QStringLiteral("Sostituisci con") : QStringLiteral("Cerca solo parola intera")});
    ListView1->setColumnWidth(0, Pixel(2400));
    ListView1->setUniformRowHeights(true); // lays out a list of millions of rows at once
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &FinestraElenco::Command7_Click);
    // Any change to the rows; loading and saving clear the mark.
    QAbstractItemModel *modello = ListView1->model();
    const auto tocca = [this] { m_toccato = true; };
    connect(modello, &QAbstractItemModel::rowsInserted, this, tocca);
    connect(modello, &QAbstractItemModel::rowsRemoved, this, tocca);
    connect(modello, &QAbstractItemModel::rowsMoved, this, tocca);
    connect(modello, &QAbstractItemModel::dataChanged, this, tocca);
    connect(modello, &QAbstractItemModel::modelReset, this, tocca);
    connect(modello, &QAbstractItemModel::layoutChanged, this, tocca);

    auto pulsante = [this](QPushButton *&b, const char *nome, const char *testo, int x, int y,
                           int w, int h, void (FinestraElenco::*gestore)()) {
        b = new QPushButton(QString::fromUtf8(testo), this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setGeometry(Pixel(x), Pixel(y), Pixel(w), Pixel(h));
        connect(b, &QPushButton::clicked, this, gestore);
    };
    pulsante(Command2, "Command2", "&Salva", 3600, 3600, 1455, 375,
             &FinestraElenco::Command2_Click);
    pulsante(Command3, "Command3", "A&ggiungi...", 5160, 360, 1455, 375,
             &FinestraElenco::Command3_Click);
    pulsante(Command4, "Command4", "&Rimuovi", 5160, 1320, 1455, 375,
             &FinestraElenco::Command4_Click);
    pulsante(Command1, "Command1", "R&imuovi tutti", 5160, 1800, 1455, 375,
             &FinestraElenco::Command1_Click);
    pulsante(Command5, "Command5", "&Predefiniti", 120, 3600, 1575, 375,
             &FinestraElenco::Command5_Click);
    pulsante(Command6, "Command6", "&Chiudi", 5160, 3600, 1455, 375,
             &FinestraElenco::Command6_Click);
    pulsante(Command7, "Command7", "&Modifica...", 5160, 840, 1455, 375,
             &FinestraElenco::Command7_Click);
    pulsante(Command8, "Command8", "Ripris&tina", 1800, 3600, 1455, 375,
             &FinestraElenco::Command8_Click);
    // Rows from elsewhere: a language's shipped list, list text files.
    if (sost)
        pulsante(Command11, "Command11", "Carica &linguaggio...", 120, 4080, 1575, 375,
                 &FinestraElenco::CaricaLinguaggio);
    pulsante(Command12, "Command12", "Imp&orta...", 1800, 4080, 1455, 375,
             &FinestraElenco::Importa);
    pulsante(Command13, "Command13", "&Esporta...", 3600, 4080, 1455, 375,
             &FinestraElenco::Esporta);
    pulsante(Command9, "Command9", "", 5280, 2520, 495, 495, &FinestraElenco::SpostaSu);
    pulsante(Command10, "Command10", "", 5880, 2520, 495, 495, &FinestraElenco::SpostaGiu);
    Command9->setIcon(Icone::FrecciaSu());
    Command10->setIcon(Icone::FrecciaGiu());
    for (QPushButton *freccia : {Command9, Command10})
        freccia->setIconSize(QSize(Pixel(330), Pixel(330)));
    Command9->setToolTip(QStringLiteral("Sposta su"));
    Command10->setToolTip(QStringLiteral("Sposta giù"));
    Command7->setDefault(true);

    // The substitution editor takes the focus in reading order; the
    // elimination editor the other way round, from the down arrow.
    QList<QWidget *> ordine = {Label1,   ListView1, Command2, Command3, Command4, Command1,
                               Command5, Command6,  Command7, Command8, Command9, Command10};
    for (QPushButton *b : {Command11, Command12, Command13})
        if (b) ordine.insert(ordine.indexOf(Command8) + 1, b);
    if (!sost) std::reverse(ordine.begin(), ordine.end());
    for (qsizetype i = 0; i + 1 < ordine.size(); ++i)
        setTabOrder(ordine[i], ordine[i + 1]);
    ordine[sost ? 1 : 0]->setFocus();

    CaricaElenco();
}

FinestraElenco::~FinestraElenco()
{
    // The rows are destroyed after this object: their removal is no change.
    ListView1->model()->disconnect(this);
}

int FinestraElenco::NumeroRighe() const
{
    return ListView1->topLevelItemCount();
}

QString FinestraElenco::Testo(int riga, int colonna) const
{
    const QTreeWidgetItem *voce = ListView1->topLevelItem(riga - 1);
    return voce ? voce->text(colonna) : QString();
}

QTreeWidgetItem *FinestraElenco::NuovaRiga(const QString &primo, const QString &secondo) const
{
    return new Riga(primo, secondo, m_iconaRiga);
}

void FinestraElenco::AggiungiRiga(const QString &primo, const QString &secondo)
{
    ListView1->addTopLevelItem(NuovaRiga(primo, secondo));
}

void FinestraElenco::ImpostaRiga(int riga, const QString &primo, const QString &secondo)
{
    if (QTreeWidgetItem *voce = ListView1->topLevelItem(riga - 1)) {
        voce->setText(0, primo);
        voce->setText(1, secondo);
    }
}

int FinestraElenco::RigaSelezionata() const
{
    for (int i = 0; i < NumeroRighe(); ++i)
        if (ListView1->topLevelItem(i)->isSelected()) return i + 1;
    return 0;
}

void FinestraElenco::CaricaElenco()
{
    // A file that could not be read before may be readable now (its
    // permissions mended): its rows then replace the empty list.
    if (m_contesto.Liste.Stato(m_elenco) == StatoElenco::Illeggibile)
        m_contesto.Liste.Apri(m_elenco);
    Piattaforma::PuntatoreOccupato(m_form, true);
    Piattaforma::PuntatoreOccupato(this, true);
    ErroreFile errore;
    if (m_elenco == Elenco::Sostituzioni)
        MostraRighe(RigheElenco::DaMostrare(m_contesto.Liste.LeggiSostituzioni(&errore)));
    else
        MostraRighe(RigheElenco::DaMostrare(m_contesto.Liste.LeggiEliminazioni(&errore)));
    m_toccato = false;
    Piattaforma::PuntatoreOccupato(this, false);
    Piattaforma::PuntatoreOccupato(m_form, false);
    if (errore.numero != 0)
        Piattaforma::MessageBox(
            this,
            QStringLiteral("Impossibile leggere l'elenco \"%1\".\r\n%2\r\nL'elenco non "
                           "verrà salvato, così il file non viene sovrascritto.")
                .arg(QDir::toNativeSeparators(m_contesto.Liste.Percorso(m_elenco)),
                     errore.Messaggio()),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
}

QVector<VoceSostituzione> FinestraElenco::RigheSostituzione() const
{
    QVector<VoceSostituzione> righe;
    righe.reserve(NumeroRighe());
    for (int i = 1; i <= NumeroRighe(); ++i)
        righe.append({Testo(i, 0), Testo(i, 1)});
    return righe;
}

QVector<VoceEliminazione> FinestraElenco::RigheEliminazione() const
{
    QVector<VoceEliminazione> righe;
    righe.reserve(NumeroRighe());
    for (int i = 1; i <= NumeroRighe(); ++i)
        righe.append(RigheElenco::Eliminazione(Testo(i, 0), Testo(i, 1)));
    return righe;
}

bool FinestraElenco::SalvaElenco()
{
    ArchivioListe &liste = m_contesto.Liste;
    const QString nome = QDir::toNativeSeparators(liste.Percorso(m_elenco));
    if (liste.Stato(m_elenco) == StatoElenco::Illeggibile) {
        Piattaforma::MessageBox(
            this,
            QStringLiteral("L'elenco \"%1\" non è stato letto, quindi non viene salvato: il "
                           "file resta com'è.\r\n%2")
                .arg(nome, liste.Errore(m_elenco).Messaggio()),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
        return false;
    }
    const bool sost = m_elenco == Elenco::Sostituzioni;
    QVector<VoceSostituzione> righeSost;
    QVector<VoceEliminazione> righeElim;
    QString motivo;
    int rigaTroppoLunga;
    if (sost) {
        righeSost = RigheSostituzione();
        rigaTroppoLunga = Record::PrimaRigaNonContenibile(righeSost, &motivo);
    } else {
        righeElim = RigheEliminazione();
        rigaTroppoLunga = Record::PrimaRigaNonContenibile(righeElim, &motivo);
    }
    if (rigaTroppoLunga) {
        Piattaforma::MessageBox(
            this,
            QStringLiteral("L'elenco non è stato salvato: la riga %1 (\"%2\") non può essere "
                           "memorizzata.\r\n%3")
                .arg(rigaTroppoLunga)
                .arg(Testo(rigaTroppoLunga, 0), motivo),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Esclamazione);
        return false;
    }

    ErroreFile errore;
    Piattaforma::PuntatoreOccupato(this, true);
    const bool salvato = sost ? liste.Salva(righeSost, &errore) : liste.Salva(righeElim, &errore);
    Piattaforma::PuntatoreOccupato(this, false);
    if (!salvato) {
        Piattaforma::MessageBox(this, errore.Messaggio(), Piattaforma::Pulsanti::OK,
                                Piattaforma::Icona::Critico);
        return false;
    }
    if (sost) m_contesto.NumSostituzioni = liste.NumeroVoci();
    m_toccato = false;
    Piattaforma::MessageBox(this, QStringLiteral("I dati sono stati salvati."),
                            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione);
    if (liste.Stato(m_elenco) == StatoElenco::Illeggibile)
        Piattaforma::MessageBox(
            this,
            QStringLiteral("Il file \"%1\" è stato salvato, ma non è stato possibile "
                           "riaprirlo.\r\n%2")
                .arg(nome, liste.Errore(m_elenco).Messaggio()),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
    return true;
}

bool FinestraElenco::PuoChiudere()
{
    if (!m_toccato) return true;
    Piattaforma::PuntatoreOccupato(this, true); // a long list takes a while to compare
    const bool uguali = m_elenco == Elenco::Sostituzioni
                            ? m_contesto.Liste.Contiene(RigheSostituzione())
                            : m_contesto.Liste.Contiene(RigheEliminazione());
    Piattaforma::PuntatoreOccupato(this, false);
    if (uguali) return true;
    switch (Piattaforma::MessageBox(this, QStringLiteral("Salvare le modifiche all'elenco?"),
                                    Piattaforma::Pulsanti::SiNoAnnulla,
                                    Piattaforma::Icona::Domanda)) {
    case Piattaforma::Risposta::Si:
        return SalvaElenco();
    case Piattaforma::Risposta::No:
        return true;
    default:
        return false;
    }
}

void FinestraElenco::Command1_Click()
{
    ListView1->clear();
}

void FinestraElenco::Command2_Click()
{
    SalvaElenco();
}

void FinestraElenco::Command6_Click()
{
    if (PuoChiudere()) accept();
}

void FinestraElenco::MostraVoce(const QString &modo, int riga)
{
    FinestraVoce dialogo(*this);
    dialogo.setWindowTitle(modo);
    if (riga > 0) {
        m_contesto.IndiceModifica = riga;
        dialogo.Text1->setText(Testo(riga, 0));
        if (dialogo.Text2)
            dialogo.Text2->setText(Testo(riga, 1));
        else
            dialogo.Check1->setChecked(Testo(riga, 1) == TestoSi);
    }
    Piattaforma::MostraModale(&dialogo);
}

void FinestraElenco::Command3_Click()
{
    MostraVoce(QStringLiteral("Aggiungi"), 0);
}

void FinestraElenco::Command7_Click()
{
    if (const int riga = RigaSelezionata()) MostraVoce(QStringLiteral("Modifica"), riga);
}

void FinestraElenco::Command4_Click()
{
    if (const int riga = RigaSelezionata()) delete ListView1->takeTopLevelItem(riga - 1);
}

void FinestraElenco::Command5_Click()
{
    if (m_elenco == Elenco::Sostituzioni)
        MostraRighe(SostituzioniPredefinite());
    else
        MostraRighe(EliminazioniPredefinite());
}

// The rows in one go: a list of millions of rows is laid out once.
void FinestraElenco::MostraRighe(const QVector<VoceSostituzione> &righe)
{
    QList<QTreeWidgetItem *> voci;
    voci.reserve(righe.size());
    for (const VoceSostituzione &voce : righe)
        voci.append(NuovaRiga(voce.Trova, voce.Sostituisci));
    ListView1->clear();
    ListView1->addTopLevelItems(voci);
}

void FinestraElenco::MostraRighe(const QVector<VoceEliminazione> &righe)
{
    QList<QTreeWidgetItem *> voci;
    voci.reserve(righe.size());
    for (const VoceEliminazione &voce : righe)
        voci.append(NuovaRiga(voce.Elimina, voce.ParolaIntera));
    ListView1->clear();
    ListView1->addTopLevelItems(voci);
}

void FinestraElenco::CaricaLinguaggio()
{
    if (const auto righe = AzioniElenco::CaricaLinguaggio(
            this, RigheSostituzione(), TipoDaNomeFile(m_contesto.NomeFileCorrente).linguaggio))
        MostraRighe(*righe);
}

void FinestraElenco::Importa()
{
    if (m_elenco == Elenco::Sostituzioni) {
        if (const auto righe = AzioniElenco::Importa(this, RigheSostituzione()))
            MostraRighe(*righe);
    } else if (const auto righe = AzioniElenco::Importa(this, RigheEliminazione())) {
        MostraRighe(*righe);
    }
}

void FinestraElenco::Esporta()
{
    if (m_elenco == Elenco::Sostituzioni)
        AzioniElenco::Esporta(this, RigheSostituzione());
    else
        AzioniElenco::Esporta(this, RigheEliminazione());
}

void FinestraElenco::Command8_Click()
{
    CaricaElenco();
}

void FinestraElenco::Scambia(int riga, int altra)
{
    if (altra < 1 || altra > NumeroRighe()) return;
    const QString primo = Testo(riga, 0), secondo = Testo(riga, 1);
    ImpostaRiga(riga, Testo(altra, 0), Testo(altra, 1));
    ImpostaRiga(altra, primo, secondo);
    ListView1->setCurrentItem(ListView1->topLevelItem(altra - 1));
}

void FinestraElenco::SpostaSu()
{
    if (const int riga = RigaSelezionata()) Scambia(riga, riga - 1);
}

void FinestraElenco::SpostaGiu()
{
    if (const int riga = RigaSelezionata()) Scambia(riga, riga + 1);
}

void FinestraElenco::keyPressEvent(QKeyEvent *e)
{
    // No button has the cancel role: Esc does nothing here.
    if (e->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(e);
}

void FinestraElenco::closeEvent(QCloseEvent *e)
{
    if (!PuoChiudere()) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void FinestraElenco::done(int risultato)
{
    m_form->AbilitaAvvio(m_elenco, m_contesto.Liste.Lunghezza(m_elenco) != 0);
    QDialog::done(risultato);
}
