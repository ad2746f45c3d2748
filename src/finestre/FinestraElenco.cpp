#include "FinestraElenco.h"

#include "finestre/AzioniElenco.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraVoce.h"
#include "finestre/VistaVoci.h"
#include "nucleo/Contesto.h"
#include "nucleo/codice/Linguaggio.h"
#include "nucleo/elenchi/ListeLinguaggio.h"
#include "piattaforma/Icone.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>

using Piattaforma::Pixel;

FinestraElenco::FinestraElenco(FinestraPrincipale &form, Elenco elenco)
    : QDialog(&form), m_contesto(form.Condiviso()), m_form(&form)
{
    const bool sost = elenco == Elenco::Sostituzioni;
    const bool perLinguaggio = m_contesto.OpzioniCodice.ElencoPerLinguaggio;
    // With a list for each language the editor opens on the text's own; one
    // that cannot be made or opened is reported and the shared list shown.
    if (perLinguaggio) m_linguaggio = m_contesto.LinguaggioElenco();
    ErroreFile erroreApertura;
    ArchivioListe *liste = &m_contesto.ListeDi(m_linguaggio, elenco, &erroreApertura);
    if (m_linguaggio != Linguaggio::Nessuno && liste->Stato(elenco) == StatoElenco::Chiuso) {
        AvvisaAperturaFallita(&form, *liste, elenco, erroreApertura);
        m_linguaggio = Linguaggio::Nessuno;
        liste = &m_contesto.Liste;
    }
    m_modello = std::make_unique<ModelloElenco>(*liste, elenco);
    setObjectName(sost ? QStringLiteral("FinestraSostituzioni")
                       : QStringLiteral("FinestraEliminazioni"));
    setWindowTitle(sost ? QStringLiteral("Elenco sostituzioni")
                        : QStringLiteral("Elenco eliminazioni"));
    setFixedSize(Pixel(sost ? 6630 : 6690), Pixel(4515));
    m_modello->ImpostaDecorazione(
        QVariant::fromValue(Icone::Riga())); // one picture shared by every row

    EtichettaElenco = new QLabel(
        sost ? QStringLiteral("Lista sostituzioni:") : QStringLiteral("Lista eliminazioni:"), this);
    EtichettaElenco->setObjectName(QStringLiteral("EtichettaElenco"));
    EtichettaElenco->setGeometry(Pixel(120), Pixel(120), Pixel(3375), Pixel(255));
    if (perLinguaggio) {
        SceltaElenco = new QComboBox(this);
        SceltaElenco->setObjectName(QStringLiteral("SceltaElenco"));
        SceltaElenco->setGeometry(Pixel(3600), Pixel(40), Pixel(1455), Pixel(300));
        // In the order of Linguaggio: the shared list first.
        SceltaElenco->addItems({QStringLiteral("Testo"), QStringLiteral("BASIC"),
                                QStringLiteral("C"), QStringLiteral("C++"),
                                QStringLiteral("batch")});
        SceltaElenco->setCurrentIndex(int(m_linguaggio));
        SceltaElenco->setToolTip(QDir::toNativeSeparators(liste->Percorso(elenco)));
        connect(SceltaElenco, &QComboBox::currentIndexChanged, this, [this](int indice) {
            if (CambiaElenco(Linguaggio(indice))) return;
            const QSignalBlocker blocco(SceltaElenco);
            SceltaElenco->setCurrentIndex(int(m_linguaggio));
        });
    }

    // A plain list of whole rows: no grid, no row numbers, Tab leaves the list.
    VistaElenco = new QTableView(this);
    VistaElenco->setObjectName(QStringLiteral("VistaElenco"));
    VistaElenco->setGeometry(Pixel(120), Pixel(360), Pixel(4935), Pixel(3135));
    VistaElenco->setModel(m_modello.get());
    VistaElenco->setSelectionMode(QAbstractItemView::SingleSelection);
    VistaElenco->setSelectionBehavior(QAbstractItemView::SelectRows);
    VistaElenco->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VistaElenco->setTabKeyNavigation(false);
    VistaElenco->setShowGrid(false);
    VistaElenco->setWordWrap(false);
    VistaElenco->setAlternatingRowColors(false);
    VistaElenco->verticalHeader()->hide();
    // Every row as high as the first: a list of millions of rows is laid out at once.
    VistaElenco->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    VistaElenco->verticalHeader()->setDefaultSectionSize(VistaElenco->fontMetrics().height() + 4);
    VistaElenco->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    VistaElenco->horizontalHeader()->setHighlightSections(false);
    VistaElenco->horizontalHeader()->setStretchLastSection(true);
    VistaElenco->setColumnWidth(0, Pixel(2400));
    VistaVoci::Prepara(VistaElenco);
    connect(VistaElenco, &QAbstractItemView::doubleClicked, this, &FinestraElenco::Modifica);

    auto bottone = [this](QPushButton *&b, const char *nome, const char *testo, int x, int y, int w,
                          int h, void (FinestraElenco::*gestore)()) {
        b = Piattaforma::Pulsante(this, nome, QString::fromUtf8(testo), x, y, w, h);
        connect(b, &QPushButton::clicked, this, gestore);
    };
    bottone(BottoneSalva, "BottoneSalva", "&Salva", 3600, 3600, 1455, 375, &FinestraElenco::Salva);
    bottone(BottoneAggiungi, "BottoneAggiungi", "A&ggiungi...", 5160, 360, 1455, 375,
            &FinestraElenco::Aggiungi);
    bottone(BottoneRimuovi, "BottoneRimuovi", "&Rimuovi", 5160, 1320, 1455, 375,
            &FinestraElenco::Rimuovi);
    bottone(BottoneRimuoviTutti, "BottoneRimuoviTutti", "R&imuovi tutti", 5160, 1800, 1455, 375,
            &FinestraElenco::RimuoviTutti);
    bottone(BottonePredefiniti, "BottonePredefiniti", "&Predefiniti", 120, 3600, 1575, 375,
            &FinestraElenco::Predefiniti);
    bottone(BottoneChiudi, "BottoneChiudi", "&Chiudi", 5160, 3600, 1455, 375,
            &FinestraElenco::Chiudi);
    bottone(BottoneModifica, "BottoneModifica", "&Modifica...", 5160, 840, 1455, 375,
            &FinestraElenco::Modifica);
    bottone(BottoneRipristina, "BottoneRipristina", "Ripris&tina", 1800, 3600, 1455, 375,
            &FinestraElenco::Ripristina);
    // Rows from elsewhere: a language's shipped list, list text files.
    if (sost)
        bottone(BottoneLinguaggio, "BottoneLinguaggio", "Carica &linguaggio...", 120, 4080, 1575,
                375, &FinestraElenco::CaricaLinguaggio);
    bottone(BottoneImporta, "BottoneImporta", "Imp&orta...", 1800, 4080, 1455, 375,
            &FinestraElenco::Importa);
    bottone(BottoneEsporta, "BottoneEsporta", "&Esporta...", 3600, 4080, 1455, 375,
            &FinestraElenco::Esporta);
    bottone(BottoneSu, "BottoneSu", "", 5280, 2520, 495, 495, &FinestraElenco::SpostaSu);
    bottone(BottoneGiu, "BottoneGiu", "", 5880, 2520, 495, 495, &FinestraElenco::SpostaGiu);
    BottoneSu->setIcon(Icone::FrecciaSu());
    BottoneGiu->setIcon(Icone::FrecciaGiu());
    for (QPushButton *freccia : {BottoneSu, BottoneGiu})
        freccia->setIconSize(QSize(Pixel(330), Pixel(330)));
    BottoneSu->setToolTip(QStringLiteral("Sposta su"));
    BottoneGiu->setToolTip(QStringLiteral("Sposta giù"));
    BottoneModifica->setDefault(true);

    // The substitution editor takes the focus in reading order; the
    // elimination editor the other way round, from the down arrow.
    QList<QWidget *> ordine = {EtichettaElenco,    VistaElenco,    BottoneSalva,
                               BottoneAggiungi,    BottoneRimuovi, BottoneRimuoviTutti,
                               BottonePredefiniti, BottoneChiudi,  BottoneModifica,
                               BottoneRipristina,  BottoneSu,      BottoneGiu};
    // The added buttons after "Ripris&tina", in reading order.
    qsizetype dopo = ordine.indexOf(BottoneRipristina) + 1;
    for (QPushButton *b : {BottoneLinguaggio, BottoneImporta, BottoneEsporta})
        if (b) ordine.insert(dopo++, b);
    if (SceltaElenco) ordine.insert(1, SceltaElenco);
    if (!sost) std::reverse(ordine.begin(), ordine.end());
    for (qsizetype i = 0; i + 1 < ordine.size(); ++i)
        setTabOrder(ordine[i], ordine[i + 1]);
    (sost ? VistaElenco : ordine[0])->setFocus();

    CaricaElenco();
}

void FinestraElenco::AvvisaLetturaFallita(QWidget *padre, const ArchivioListe &liste, Elenco elenco,
                                          const ErroreFile &errore)
{
    Piattaforma::MessageBox(
        padre,
        QStringLiteral("Impossibile leggere l'elenco \"%1\".\r\n%2\r\nL'elenco non "
                       "verrà salvato, così il file non viene sovrascritto.")
            .arg(QDir::toNativeSeparators(liste.Percorso(elenco)), errore.Messaggio()),
        Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
}

void FinestraElenco::AvvisaAperturaFallita(QWidget *padre, const ArchivioListe &liste,
                                           Elenco elenco, const ErroreFile &errore)
{
    Piattaforma::MessageBox(
        padre,
        QStringLiteral("Impossibile aprire l'elenco \"%1\".\r\n%2")
            .arg(QDir::toNativeSeparators(liste.Percorso(elenco)), errore.Messaggio()),
        Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
}

bool FinestraElenco::CambiaElenco(Linguaggio linguaggio)
{
    if (linguaggio == m_linguaggio) return true;
    if (!PuoChiudere()) return false;
    ErroreFile errore;
    ArchivioListe &liste = m_contesto.ListeDi(linguaggio, Tipo(), &errore);
    if (liste.Stato(Tipo()) == StatoElenco::Chiuso) {
        AvvisaAperturaFallita(this, liste, Tipo(), errore);
        return false;
    }
    auto nuovo = std::make_unique<ModelloElenco>(liste, Tipo());
    nuovo->ImpostaDecorazione(QVariant::fromValue(Icone::Riga()));
    // The view does not own its selection model: the old one goes with the old rows.
    QItemSelectionModel *selezione = VistaElenco->selectionModel();
    VistaElenco->setModel(nuovo.get());
    delete selezione;
    m_modello = std::move(nuovo);
    m_linguaggio = linguaggio;
    if (SceltaElenco) SceltaElenco->setToolTip(QDir::toNativeSeparators(liste.Percorso(Tipo())));
    CaricaElenco();
    return true;
}

std::optional<int> FinestraElenco::RigaSelezionata() const
{
    const QModelIndexList righe = VistaElenco->selectionModel()->selectedRows();
    if (righe.isEmpty()) return std::nullopt;
    int prima = righe.first().row();
    for (const QModelIndex &r : righe)
        prima = std::min(prima, r.row());
    return prima;
}

void FinestraElenco::Seleziona(int riga)
{
    VistaElenco->setCurrentIndex(m_modello->index(riga, 0));
}

void FinestraElenco::CaricaElenco()
{
    Piattaforma::PuntatoreOccupato(m_form, true);
    Piattaforma::PuntatoreOccupato(this, true);
    const ErroreFile errore = m_modello->Carica();
    Piattaforma::PuntatoreOccupato(this, false);
    Piattaforma::PuntatoreOccupato(m_form, false);
    if (errore.numero != 0) AvvisaLetturaFallita(this, m_modello->Liste(), Tipo(), errore);
}

bool FinestraElenco::SalvaElenco()
{
    using Tipo = ModelloElenco::EsitoSalvataggio::Tipo;
    const ArchivioListe &liste = m_modello->Liste();
    const QString nome = QDir::toNativeSeparators(liste.Percorso(this->Tipo()));
    Piattaforma::PuntatoreOccupato(this, true);
    const ModelloElenco::EsitoSalvataggio esito = m_modello->Salva();
    Piattaforma::PuntatoreOccupato(this, false);
    switch (esito.tipo) {
    case Tipo::NonLetto:
        Piattaforma::MessageBox(
            this,
            QStringLiteral("L'elenco \"%1\" non è stato letto, quindi non viene salvato: il "
                           "file resta com'è.\r\n%2")
                .arg(nome, esito.errore.Messaggio()),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
        return false;
    case Tipo::RigaNonContenibile:
        Piattaforma::MessageBox(
            this,
            QStringLiteral("L'elenco non è stato salvato: la riga %1 (\"%2\") non può essere "
                           "memorizzata.\r\n%3")
                .arg(esito.riga)
                .arg(m_modello->Testo(esito.riga - 1, 0), esito.motivo),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Esclamazione);
        return false;
    case Tipo::ErroreScrittura:
        Piattaforma::MessageBox(this,
                                esito.errore.Messaggio(m_contesto.Liste.Percorso(this->Tipo())),
                                Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
        return false;
    case Tipo::Salvato:
        break;
    }
    Piattaforma::MessageBox(this, QStringLiteral("I dati sono stati salvati."),
                            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione);
    if (liste.Stato(this->Tipo()) == StatoElenco::Illeggibile)
        Piattaforma::MessageBox(
            this,
            QStringLiteral("Il file \"%1\" è stato salvato, ma non è stato possibile "
                           "riaprirlo.\r\n%2")
                .arg(nome, liste.Errore(this->Tipo()).Messaggio()),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
    return true;
}

bool FinestraElenco::PuoChiudere()
{
    if (!m_modello->Modificato()) return true;
    Piattaforma::PuntatoreOccupato(this, true); // a long list takes a while to compare
    const bool uguali = m_modello->UgualeAlFile();
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

void FinestraElenco::RimuoviTutti()
{
    m_modello->SvuotaTutto();
}

void FinestraElenco::Salva()
{
    SalvaElenco();
}

void FinestraElenco::Chiudi()
{
    if (PuoChiudere()) accept();
}

void FinestraElenco::Aggiungi()
{
    const auto riga =
        FinestraVoce::Chiedi(this, Tipo(), ModoVoce::Aggiungi, {},
                             [this](const RigaElenco &r) { return m_modello->Rifiuto(r, true); });
    if (riga) m_modello->Aggiungi(*riga);
}

void FinestraElenco::Modifica()
{
    const std::optional<int> selezionata = RigaSelezionata();
    if (!selezionata) return;
    const auto riga =
        FinestraVoce::Chiedi(this, Tipo(), ModoVoce::Modifica, m_modello->Riga(*selezionata),
                             [this](const RigaElenco &r) { return m_modello->Rifiuto(r, false); });
    if (riga) m_modello->Imposta(*selezionata, *riga);
}

void FinestraElenco::Rimuovi()
{
    if (const std::optional<int> riga = RigaSelezionata()) m_modello->Rimuovi(*riga);
}

bool FinestraElenco::PuoSostituireRighe()
{
    if (!m_modello->Modificato()) return true;
    Piattaforma::PuntatoreOccupato(this, true);
    const bool uguali = m_modello->UgualeAlFile();
    Piattaforma::PuntatoreOccupato(this, false);
    return uguali ||
           Piattaforma::MessageBox(
               this,
               QStringLiteral("Le modifiche non salvate all'elenco andranno perse. Continuare?"),
               Piattaforma::Pulsanti::SiNo,
               Piattaforma::Icona::Domanda) == Piattaforma::Risposta::Si;
}

void FinestraElenco::Predefiniti()
{
    if (!PuoSostituireRighe()) return;
    // A language's cleaning list starts again from that language's ready
    // list: the factory rows are BASIC's, and would strip marks code needs.
    if (Tipo() == Elenco::Eliminazioni && m_linguaggio != Linguaggio::Nessuno)
        m_modello->Unisci(PuliziaDelLinguaggio(m_linguaggio), ModelloElenco::Unione::Sostituisci);
    else
        m_modello->Predefiniti();
}

void FinestraElenco::CaricaLinguaggio()
{
    AzioniElenco::CaricaLinguaggio(this, *m_modello, m_contesto.TipoDocumento().linguaggio,
                                   [this] { return PuoSostituireRighe(); });
}

void FinestraElenco::Importa()
{
    AzioniElenco::Importa(this, *m_modello);
}

void FinestraElenco::Esporta()
{
    if (Tipo() == Elenco::Sostituzioni)
        AzioniElenco::Esporta(this, m_modello->Sostituzioni());
    else
        AzioniElenco::Esporta(this, m_modello->Eliminazioni());
}

void FinestraElenco::Ripristina()
{
    CaricaElenco();
}

void FinestraElenco::SpostaSu()
{
    if (const std::optional<int> riga = RigaSelezionata())
        if (const std::optional<int> nuova = m_modello->SpostaSu(*riga)) Seleziona(*nuova);
}

void FinestraElenco::SpostaGiu()
{
    if (const std::optional<int> riga = RigaSelezionata())
        if (const std::optional<int> nuova = m_modello->SpostaGiu(*riga)) Seleziona(*nuova);
}

void FinestraElenco::keyPressEvent(QKeyEvent *e)
{
    // Esc is "&Chiudi", with the same question about unsaved rows.
    if (e->key() == Qt::Key_Escape) {
        Chiudi();
        return;
    }
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
    m_form->AbilitaAvvio(Tipo(), m_contesto.Liste.Lunghezza(Tipo()) != 0);
    QDialog::done(risultato);
}
