#include "FinestraPseudocodifica.h"

#include "finestre/EditorTesto.h"
#include "finestre/FinestraConfronto.h"
#include "finestre/FinestraParole.h"
#include "finestre/FinestraPrincipale.h"
#include "nucleo/Contesto.h"
#include "piattaforma/Icone.h"
#include "piattaforma/PosizioneFinestra.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTime>

using Piattaforma::Pixel;

namespace {

const QString Annullata = QStringLiteral("Pseudocodificazione annullata");
const QString Terminata = QStringLiteral("Pseudocodificazione terminata");
constexpr int Altezza = 255;
constexpr int AltezzaPulsante = 375;

double OraDelGiorno()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

// The entries of the list the text is pseudocoded with (its language's own
// list when each language has one).
QVector<VoceSostituzione> VociDelContesto(Contesto &contesto)
{
    ArchivioListe &liste = contesto.ListeInUso();
    QVector<VoceSostituzione> voci;
    for (qint32 k = 1; k <= liste.NumeroVoci(); ++k) {
        VoceSostituzione voce;
        liste.LeggiVoce(k, voce);
        voci.append(voce);
    }
    return voci;
}

// The walk's place among the current word's occurrences, on the word's bar.
void MostraOccorrenze(QProgressBar *barra, const SessionePseudocodifica::Occorrenze &occorrenze)
{
    barra->setRange(0, int(std::clamp<qsizetype>(occorrenze.totale, 1, INT_MAX)));
    barra->setValue(int(std::min<qsizetype>(occorrenze.numero, barra->maximum())));
    barra->setFormat(QStringLiteral("%v di %m"));
    barra->setTextVisible(occorrenze.totale > 0);
}

} // namespace

FinestraPseudocodifica::FinestraPseudocodifica(FinestraPrincipale &form)
    : QDialog(nullptr), m_contesto(form.Condiviso()), m_form(form),
      m_sessione(new SessionePseudocodifica(VociDelContesto(m_contesto), m_contesto.Regole(),
                                            FinestraPrincipale::TestoInattivo(), this))
{
    setObjectName(QStringLiteral("FinestraPseudocodifica"));
    setWindowTitle(QStringLiteral("Pseudocodificazione in corso..."));
    setWindowIcon(Icone::Pseudo());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(Pixel(6300), Pixel(3990));

    auto etichetta = [this](const char *nome, int x, int y, int w, int h, const QString &testo) {
        auto *l = new QLabel(testo, this);
        l->setObjectName(QString::fromLatin1(nome));
        l->setTextFormat(Qt::PlainText);
        l->setGeometry(Pixel(x), Pixel(y), Pixel(w), Pixel(h));
        return l;
    };
    auto pulsante = [this](const char *nome, int x, int y, int w, const char *testo, auto gestore) {
        QPushButton *b =
            Piattaforma::Pulsante(this, nome, QString::fromUtf8(testo), x, y, w, AltezzaPulsante);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, gestore);
        return b;
    };
    auto barra = [this](const char *nome, int y) {
        auto *p = new QProgressBar(this);
        p->setObjectName(QString::fromLatin1(nome));
        p->setGeometry(0, Pixel(y), Pixel(4935), Pixel(Altezza));
        p->setTextVisible(false);
        p->setRange(0, 1);
        p->setValue(0);
        return p;
    };

    Icona = etichetta("Icona", 240, 360, 480, 480, {});
    Icona->setPixmap(Icone::Pseudo().pixmap(Pixel(480), Pixel(480)));
    TitoloParola =
        etichetta("TitoloParola", 840, 240, 1335, Altezza, QStringLiteral("Parola corrente:"));
    EtichettaParola = etichetta("EtichettaParola", 2160, 240, 3975, Altezza, {});
    TitoloSostituto =
        etichetta("TitoloSostituto", 840, 720, 1455, Altezza, QStringLiteral("Da sostituire con:"));
    EtichettaSostituto = etichetta("EtichettaSostituto", 2160, 720, 3975, Altezza, {});
    TitoloAutomatica =
        etichetta("TitoloAutomatica", 0, 1320, 2295, 375,
                  QStringLiteral("Per sostituire tutte le parole nell'elenco Sostituzioni:"));
    TitoloAutomatica->setWordWrap(true);
    BottoneAvviaAutomatica =
        pulsante("BottoneAvviaAutomatica", 2040, 1320, 2535, "&Avvia pseudocod. automatica",
                 &FinestraPseudocodifica::AvviaAutomatica);
    // At the end of the list the automatic run's place shows what is left to translate.
    BottoneParoleNonTradotte =
        pulsante("BottoneParoleNonTradotte", 2040, 1320, 2535, "&Parole non tradotte...",
                 [this] { FinestraParole::Mostra(m_form, this); });
    BottoneParoleNonTradotte->hide();
    // ... and, in the place of the automatic run's caption, the draft beside the original.
    BottoneConfronta = pulsante("BottoneConfronta", 0, 1320, 1935, "C&onfronta...", [this] {
        // A picked line is where the editor's caret goes (seen once the run closes).
        FinestraConfronto::Mostra(m_contesto.TestoOriginale, m_form.Editor()->Text(), this,
                                  m_contesto.SegniCorsa,
                                  FinestraConfronto::AllaRigaDi(m_form.Editor()));
    });
    BottoneConfronta->setToolTip(QStringLiteral("Confronta con l'originale"));
    BottoneConfronta->hide();
    BottoneRiduciAIcona = pulsante("BottoneRiduciAIcona", 4680, 1320, 1575, "Ri&duci a icona",
                                   &FinestraPseudocodifica::RiduciORipristina);
    BottoneSostituisci = pulsante("BottoneSostituisci", 0, 2040, 1215, "&Sostituisci",
                                  &FinestraPseudocodifica::Sostituisci);
    BottoneSuccessivo = pulsante("BottoneSuccessivo", 1440, 2040, 1215, "S&uccessivo",
                                 &FinestraPseudocodifica::Successivo);
    BottoneSalta = pulsante("BottoneSalta", 3000, 2040, 1695, "Sa&lta questa parola",
                            &FinestraPseudocodifica::Salta);
    BottoneSostituisciTutto =
        pulsante("BottoneSostituisciTutto", 5040, 2040, 1215, "Sostituisci &tutto",
                 &FinestraPseudocodifica::SostituisciTutto);
    TitoloElenco =
        etichetta("TitoloElenco", 0, 2520, 2655, Altezza, QStringLiteral("Totale pseudocodifica:"));
    BarraElenco = barra("BarraElenco", 2760);
    BottoneInterrompi = pulsante("BottoneInterrompi", 5040, 2760, 1215, "&Interrompi",
                                 &FinestraPseudocodifica::InterrompiORiprendi);
    TitoloTesto =
        etichetta("TitoloTesto", 0, 3120, 4335, Altezza, QStringLiteral("Parola corrente:"));
    BottoneChiudi = pulsante("BottoneChiudi", 5040, 3240, 1215, "&Chiudi", &QWidget::close);
    BarraTesto = barra("BarraTesto", 3360);
    TitoloTempo =
        etichetta("TitoloTempo", 0, 3720, 1335, Altezza, QStringLiteral("Tempo rimanente:"));
    EtichettaTempo =
        etichetta("EtichettaTempo", 1440, 3720, 1335, Altezza, m_sessione->TestoTempo());
    EtichettaCommento =
        etichetta("EtichettaCommento", 2880, 3720, 3375, Altezza, m_sessione->Commento());

    // Enter is "&Sostituisci"; the automatic run has the focus first.
    BottoneSostituisci->setDefault(true);
    QWidget *ordine[] = {BottoneConfronta,    BottoneAvviaAutomatica,  BottoneParoleNonTradotte,
                         BottoneRiduciAIcona, BottoneSostituisci,      BottoneSuccessivo,
                         BottoneSalta,        BottoneSostituisciTutto, BottoneInterrompi,
                         BottoneChiudi};
    for (size_t i = 0; i + 1 < std::size(ordine); ++i)
        setTabOrder(ordine[i], ordine[i + 1]);
    BottoneAvviaAutomatica->setFocus();
    PosizioneFinestra::EvitaSelezione(this, m_form.Editor());

    // The window shows what the run reports.
    SessionePseudocodifica *s = m_sessione;
    s->Orologio = OraDelGiorno;
    s->NuovaCessione = [this]() -> std::function<void()> {
        auto cedi = std::make_shared<Piattaforma::Cessione>(IntervalloCessione);
        return [cedi] { (*cedi)(); };
    };
    s->CediTraVoci = [] { QCoreApplication::processEvents(); };
    connect(s, &SessionePseudocodifica::FaseCambiata, this, &FinestraPseudocodifica::MostraFase);
    connect(s, &SessionePseudocodifica::VoceCambiata, this, &FinestraPseudocodifica::MostraVoce);
    connect(s, &SessionePseudocodifica::ElencoAvanzato, this,
            [this](int fatte) { BarraElenco->setValue(std::min(fatte, BarraElenco->maximum())); });
    connect(s, &SessionePseudocodifica::ScansioneIniziata, this, [this](qsizetype lunghezza) {
        BarraTesto->setTextVisible(false);
        BarraTesto->setRange(0, int(std::clamp<qsizetype>(lunghezza, 1, INT_MAX)));
        BarraTesto->setValue(0);
    });
    connect(s, &SessionePseudocodifica::TestoAvanzato, this, [this](qsizetype posizione) {
        if (posizione <= BarraTesto->maximum()) BarraTesto->setValue(int(posizione));
    });
    connect(s, &SessionePseudocodifica::ScansioneCompleta, this,
            [this] { BarraTesto->setValue(BarraTesto->maximum()); });
    connect(s, &SessionePseudocodifica::StimaCambiata, this, [this] {
        EtichettaTempo->setText(m_sessione->TestoTempo());
        EtichettaTempo->repaint();
        EtichettaCommento->setText(m_sessione->Commento());
        EtichettaCommento->repaint();
    });
    connect(s, &SessionePseudocodifica::ScriviTesto, this,
            &FinestraPseudocodifica::ScriviNellEditore);
    connect(s, &SessionePseudocodifica::TestoModificato, this,
            [this] { m_contesto.TestoModificato = true; });
    connect(s, &SessionePseudocodifica::Annuncio, this, &FinestraPseudocodifica::MostraAvviso);
}

FinestraPseudocodifica::~FinestraPseudocodifica() = default;

void FinestraPseudocodifica::MostraFase(Fase fase)
{
    const bool cammino = fase == Fase::InCammino;
    for (QPushButton *b : {BottoneSostituisci, BottoneSuccessivo, BottoneSostituisciTutto,
                           BottoneAvviaAutomatica, BottoneSalta})
        b->setEnabled(cammino);
    BottoneChiudi->setEnabled(fase != Fase::Automatica);
    BottoneInterrompi->setEnabled(fase == Fase::Automatica || fase == Fase::InPausa);
    BottoneInterrompi->setText(fase == Fase::InPausa ? QStringLiteral("&Riprendi")
                                                     : QStringLiteral("&Interrompi"));
    const bool finita = fase == Fase::Terminata;
    BottoneAvviaAutomatica->setVisible(!finita);
    BottoneParoleNonTradotte->setVisible(finita);
    TitoloAutomatica->setVisible(!finita);
    BottoneConfronta->setVisible(finita);
    if (fase == Fase::InPausa) {
        // The click shows at once, even if the run then takes a while to stop.
        BottoneInterrompi->repaint();
        BottoneChiudi->repaint();
    }

    QString conclusione;
    if (fase == Fase::Annullata) {
        conclusione = Annullata;
        BarraElenco->setValue(0);
    } else if (fase == Fase::NienteDaFare || fase == Fase::Terminata) {
        conclusione = Terminata;
        BarraElenco->setValue(BarraElenco->maximum());
    }
    if (!conclusione.isEmpty()) {
        EtichettaParola->setText(conclusione);
        EtichettaSostituto->setText(conclusione);
        setWindowTitle(conclusione);
    }
}

void FinestraPseudocodifica::MostraVoce()
{
    const VoceSostituzione voce = m_sessione->Percorso().Voce();
    EtichettaParola->setText(voce.Trova);
    EtichettaSostituto->setText(voce.Sostituisci);
    BarraElenco->setValue(
        std::min(m_sessione->Percorso().VoceCorrente() - 1, BarraElenco->maximum()));
    EtichettaParola->repaint();
    EtichettaSostituto->repaint();
}

void FinestraPseudocodifica::MostraSelezione()
{
    EditorTesto *editor = m_form.Editor();
    const Pseudocodifica::Percorso &percorso = m_sessione->Percorso();
    if (percorso.LunghezzaSelezione() > 0) {
        editor->SetSelStart(percorso.InizioSelezione());
        editor->SetSelLength(percorso.LunghezzaSelezione());
        editor->CentraSelezione();
        MostraOccorrenze(BarraTesto, m_sessione->ProgressoOccorrenze(editor->Text()));
        // A later search of the find dialog goes on from this occurrence.
        m_contesto.PosRicerca = Ricerca::PosizioneRicerca::Su(percorso.InizioSelezione());
    } else {
        editor->SetSelStart(1);
        editor->SetSelLength(0);
    }
}

void FinestraPseudocodifica::MostraAvviso(SessionePseudocodifica::Avviso avviso)
{
    switch (avviso) {
    case SessionePseudocodifica::Avviso::NienteDaFare:
        Piattaforma::MessageBox(
            &m_form,
            QStringLiteral("Non sono presenti parole dell'elenco Sostituzioni in questo testo."),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Esclamazione);
        break;
    case SessionePseudocodifica::Avviso::Terminata:
        Piattaforma::MessageBox(this, QStringLiteral("Pseudocodificazione terminata."),
                                Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione);
        break;
    case SessionePseudocodifica::Avviso::Interrotta:
        Piattaforma::MessageBox(this, QStringLiteral("Pseudocodificazione interrotta dall'utente."),
                                Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione);
        break;
    }
}

void FinestraPseudocodifica::ScriviNellEditore(const QString &testo, bool cursoreAllInizio)
{
    // The state the run stopped in shows before the text is written, which may take long.
    if (isVisible()) repaint();
    m_form.RiscriviDaCorsa(testo);
    if (cursoreAllInizio) m_form.Editor()->SetSelStart(1);
}

void FinestraPseudocodifica::Avvia()
{
    const int numero = m_sessione->Percorso().NumeroVoci();
    BarraElenco->setRange(0, std::max(numero, 1));
    BarraElenco->setValue(0);
    m_form.ImpostaAvanzamento(0, numero);
    m_form.ImpostaStato(QStringLiteral("Controllo testo in corso, attendere..."));

    if (Piattaforma::MessageBox(
            &m_form,
            QStringLiteral("Verrà effettuato un controllo sul testo. Premere OK per iniziare..."),
            Piattaforma::Pulsanti::OKAnnulla,
            Piattaforma::Icona::Informazione) != Piattaforma::Risposta::OK) {
        m_form.RipristinaStato();
        m_form.AzzeraAvanzamento();
        m_sessione->Annulla();
        Piattaforma::PuntatoreOccupato(&m_form, false);
        return;
    }

    Piattaforma::PuntatoreOccupato(&m_form, true);
    MostraFase(Fase::InCammino);
    // The check yields now and then, so the main window is out of reach from here on.
    m_form.setEnabled(false);
    QPointer<FinestraPseudocodifica> finestra(this);
    // The main window's bar follows the list during the check.
    const QMetaObject::Connection barraPrincipale =
        connect(m_sessione, &SessionePseudocodifica::ElencoAvanzato, this, [this, numero](int k) {
            m_form.ImpostaAvanzamento(std::min(k, std::max(numero, 1)), numero);
        });
    const Pseudocodifica::Esito esito = m_sessione->Controlla(m_form.Editor()->Text());
    if (!finestra) return;
    disconnect(barraPrincipale);
    m_form.RipristinaStato();
    m_form.AzzeraAvanzamento();
    if (esito == Pseudocodifica::Esito::Trovata) MostraSelezione();
    Piattaforma::PuntatoreOccupato(&m_form, false);
}

void FinestraPseudocodifica::DopoCammino(Pseudocodifica::Esito esito)
{
    if (esito == Pseudocodifica::Esito::Trovata || esito == Pseudocodifica::Esito::Caricata)
        MostraSelezione();
    Piattaforma::PuntatoreOccupato(this, false);
}

void FinestraPseudocodifica::Sostituisci()
{
    const std::optional<Pseudocodifica::Modifica> modifica = m_sessione->Sostituisci();
    if (!modifica) return;
    EditorTesto *editor = m_form.Editor();
    editor->SetSelStart(modifica->inizio);
    editor->SetSelLength(modifica->lunghezza);
    if (editor->SostituisciSelezione(modifica->testo)) {
        m_contesto.TestoModificato = true;
        m_contesto.TestoDaCorsa();
    }
    MostraOccorrenze(BarraTesto, m_sessione->ProgressoOccorrenze(editor->Text()));
}

void FinestraPseudocodifica::Successivo()
{
    Piattaforma::PuntatoreOccupato(this, true);
    DopoCammino(m_sessione->Successivo(m_form.Editor()->Text()));
}

void FinestraPseudocodifica::Salta()
{
    Piattaforma::PuntatoreOccupato(this, true);
    DopoCammino(m_sessione->Salta(m_form.Editor()->Text()));
}

void FinestraPseudocodifica::RiduciORipristina()
{
    if (!m_ridotta) {
        showMinimized();
        m_form.showMinimized();
        BottoneRiduciAIcona->setText(QStringLiteral("Ripristi&na"));
    } else {
        m_form.showNormal();
        BottoneRiduciAIcona->setText(QStringLiteral("Ri&duci a icona"));
        activateWindow();
        setFocus();
    }
    m_ridotta = !m_ridotta;
}

void FinestraPseudocodifica::SostituisciTutto()
{
    Piattaforma::PuntatoreOccupato(this, true);
    QPointer<FinestraPseudocodifica> finestra(this);
    const Pseudocodifica::Esito esito = m_sessione->SostituisciTutto(m_form.Editor()->Text());
    if (!finestra) return;
    if (m_sessione->Chiusa()) {
        Termina(); // closed while it ran
        return;
    }
    DopoCammino(esito);
}

void FinestraPseudocodifica::AvviaAutomatica()
{
    QPointer<FinestraPseudocodifica> finestra(this);
    const Pseudocodifica::Esito esito = m_sessione->Automatica(m_form.Editor()->Text());
    if (!finestra) return;
    if (m_sessione->Chiusa()) {
        Termina(); // closed while it ran
        return;
    }
    if (esito != Pseudocodifica::Esito::Interrotta) Piattaforma::PuntatoreOccupato(this, false);
}

void FinestraPseudocodifica::InterrompiORiprendi()
{
    if (m_sessione->InterrompiORiprendi()) AvviaAutomatica();
}

void FinestraPseudocodifica::keyPressEvent(QKeyEvent *e)
{
    // Esc is "&Chiudi", while it can be clicked (not during an automatic run).
    if (e->key() == Qt::Key_Escape) {
        if (BottoneChiudi->isEnabled()) BottoneChiudi->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

void FinestraPseudocodifica::closeEvent(QCloseEvent *e)
{
    e->accept();
    if (m_sessione->Chiudi()) {
        // The run ends at the scan's next position, without a word, and then
        // writes what it did: until then the main window stays out of reach,
        // or an edit made meanwhile would be written over.
        hide();
        return;
    }
    Termina();
}

void FinestraPseudocodifica::Termina()
{
    m_form.setEnabled(true);
    if (m_form.isMinimized()) m_form.showNormal();
    deleteLater();
}
