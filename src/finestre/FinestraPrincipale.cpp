#include "FinestraPrincipale.h"

#include "finestre/ApriListe.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraConfronto.h"
#include "finestre/FinestraElenco.h"
#include "finestre/FinestraGuida.h"
#include "finestre/FinestraInformazioni.h"
#include "finestre/FinestraOpzioni.h"
#include "finestre/FinestraParole.h"
#include "finestre/FinestraPseudocodifica.h"
#include "finestre/FinestraTrova.h"
#include "nucleo/Contesto.h"
#include "nucleo/pseudocodifica/Pulizia.h"
#include "nucleo/testo/FileRegolare.h"
#include "piattaforma/Icone.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <climits>

using Piattaforma::Pixel;

namespace {
// The descriptions as the users know them; the patterns take in every file
// the program reads as a language (batch .cmd files, C headers and the other
// BASIC and C++ extensions) as well.
const QString FiltroFile = QStringLiteral(
    "File di testo (*.txt, *.c, *.cpp, *.bas, *.frm, *.h)|*.txt;*.c;*.cpp;*.bas;*.frm;*.h;"
    "*.bat;*.cmd;*.cls;*.ctl;*.dsr;*.vbs;*.hpp;*.cc;*.cxx;*.hh;*.hxx|"
    "Solo testo (*.txt)|*.txt|Form di Visual Basic (*.frm)|*.frm|Modulo di Visual Basic "
    "(*.bas)|*.bas|File batch (*.bat)|*.bat;*.cmd|Sorgente C (*.c, *.cpp)|*.c;*.cpp;*.h;*.hpp;"
    "*.cc;*.cxx;*.hh;*.hxx|Tutti i file (*.*)|*");

// The layout, in twips.
constexpr int MargineSchermo = 1300;  // left free around the window at start-up
constexpr int LarghezzaMinima = 3000; // the window is never made smaller
constexpr int AltezzaMinima = 3000;
constexpr int MargineDestroEditor = 110;    // between the editor and the window's right edge
constexpr int MargineVerticaleEditor = 700; // frame, menu bar and status bar border
constexpr int LarghezzaBarra = 3015;        // the progress bar's size
constexpr int AltezzaBarra = 195;
constexpr int DistanzaBarraDalFondo = 950;     // from the window's bottom to the bar's top
constexpr int LarghezzaPerBarraADestra = 8900; // wider: the bar sits at the right
constexpr int DistanzaBarraDaDestra = 3500;    // from the right edge, when it sits there
constexpr int DistanzaBarraDalPannello =
    900;                                // after the start of the panel under the bar, otherwise
constexpr int SpazioAccantoBarra = 120; // between the progress bar and the panels beside it

// A label that shows a text too long for it shortened in the middle.
class EtichettaAccorciata : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter pittore(this);
        const QRect area = contentsRect();
        pittore.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

// Calls `azione` whenever the watched widget moves or changes size.
class OsservaGeometria : public QObject
{
public:
    OsservaGeometria(QWidget *osservato, std::function<void()> azione)
        : QObject(osservato), m_azione(std::move(azione))
    {
        osservato->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Resize || e->type() == QEvent::Move) m_azione();
        return false;
    }

private:
    std::function<void()> m_azione;
};
} // namespace
using Piattaforma::Twip;

FinestraPrincipale::FinestraPrincipale(Contesto &stato, QWidget *padre)
    : QMainWindow(padre), m_contesto(stato)
{
    setObjectName(QStringLiteral("FinestraPrincipale"));
    setWindowTitle(Piattaforma::TitoloProgramma);
    setWindowIcon(Icone::Programma());

    m_area = new QWidget(this);
    setCentralWidget(m_area);
    m_editor = new EditorTesto(m_area);
    m_editor->setObjectName(QStringLiteral("m_editor"));
    m_editor->move(0, 0);

    CreaMenu();
    CreaBarraDiStato();
    m_dialogoFile.ImpostaFiltro(FiltroFile);

    m_barraAvanzamento = new QProgressBar(this);
    m_barraAvanzamento->setObjectName(QStringLiteral("m_barraAvanzamento"));
    m_barraAvanzamento->setRange(0, 100);
    m_barraAvanzamento->setValue(0);
    m_barraAvanzamento->setTextVisible(false);
    m_barraAvanzamento->resize(Pixel(LarghezzaBarra), Pixel(AltezzaBarra));

    QList<QKeySequence> scorciatoie;
    for (QAction *azione : findChildren<QAction *>())
        scorciatoie.append(azione->shortcuts());
    m_editor->RiservaScorciatoie(scorciatoie);
    connect(m_editor, &EditorTesto::TestoCambiato, this, [this] { m_contesto.TestoCambiato(); });
    // A whole-text write that is not a run's (the find dialog's replace-all)
    // leaves no mark either.
    connect(m_editor, &EditorTesto::TestoRiscritto, this,
            [this] { m_contesto.SegniCorsa.clear(); });
    connect(m_editor, &EditorTesto::cursorPositionChanged, this,
            &FinestraPrincipale::MostraPosizione);
    LeggiImpostazioniEditor();
    connect(m_editor, &EditorTesto::IngrandimentoCambiato, this, [this](int passi) {
        SalvaImpostazioneEditor(QStringLiteral("Editor/Ingrandimento"), passi);
    });
    MostraPosizione();
    MostraNomeFile();

    setAcceptDrops(true);
    m_editor->viewport()->installEventFilter(this);
}

FinestraPrincipale::~FinestraPrincipale()
{
    // Ending the program closes every other window without its own handlers.
    delete m_finestraPseudocodifica.data();
    delete m_finestraTrova;
}

FinestraTrova *FinestraPrincipale::DialogoTrova()
{
    if (!m_finestraTrova) m_finestraTrova = new FinestraTrova(*this);
    return m_finestraTrova;
}

void FinestraPrincipale::MostraOccupato()
{
    setEnabled(!m_contesto.Occupato());
}

void FinestraPrincipale::Trova()
{
    DialogoTrova()->ModoTrova(FinestraTrova::MisureTrova);
    m_finestraTrova->Mostra();
}

void FinestraPrincipale::SostituisciParola()
{
    DialogoTrova()->ModoSostituisci(FinestraTrova::MisureSostituisci);
    m_finestraTrova->Mostra();
}

void FinestraPrincipale::MostraInformazioni()
{
    FinestraInformazioni finestra(QCoreApplication::applicationDirPath(), this);
    Piattaforma::MostraModale(&finestra);
}

void FinestraPrincipale::MostraGuida()
{
    // One guide, beside the editor: it blocks nothing, and F1 brings it back to the front.
    if (!m_finestraGuida) {
        auto *guida = new FinestraGuida(this);
        guida->setAttribute(Qt::WA_DeleteOnClose);
        m_finestraGuida = guida;
    }
    m_finestraGuida->show();
    m_finestraGuida->raise();
    m_finestraGuida->activateWindow();
}

void FinestraPrincipale::MostraOpzioni()
{
    FinestraOpzioni finestra(m_contesto, this);
    Piattaforma::MostraModale(&finestra);
    AbilitaAvvio(Elenco::Sostituzioni, m_sostituzioniUsabili);
    AbilitaAvvio(Elenco::Eliminazioni, m_eliminazioniUsabili);
}

void FinestraPrincipale::MostraConfronto()
{
    // A line picked in the comparison closes it and is shown in the editor.
    // Shown as the editor shows the text: its font and zoom, its colouring.
    FinestraConfronto::Mostra(m_contesto.TestoOriginale, m_editor->Text(), this,
                              m_contesto.SegniCorsa, FinestraConfronto::AllaRigaDi(m_editor),
                              AspettoConfronto::Di(m_editor, m_contesto.Regole().tipo));
}

void FinestraPrincipale::VaiAllaRiga()
{
    QInputDialog domanda(this);
    domanda.setObjectName(QStringLiteral("DomandaVaiAllaRiga"));
    domanda.setWindowTitle(QStringLiteral("Vai alla riga"));
    domanda.setInputMode(QInputDialog::IntInput);
    const int righe = m_editor->NumeroRighe();
    domanda.setLabelText(QStringLiteral("Numero di riga (1–%1):").arg(righe));
    domanda.setIntRange(1, righe);
    domanda.setIntValue(m_editor->RigaCursore());
    if (Piattaforma::MostraModale(&domanda) != QDialog::Accepted) return;
    m_editor->VaiAllaRiga(domanda.intValue());
    m_editor->setFocus();
}

void FinestraPrincipale::MostraParoleNonTradotte()
{
    FinestraParole::Mostra(*this, this);
}

void FinestraPrincipale::RipetiTrova()
{
    // The dialog's word and options, always forward.
    Ricerca::OpzioniRicerca opzioni = m_contesto.OpzioniTrova;
    opzioni.direzione = Ricerca::Direzione::Giu;
    DialogoTrova()->Cerca(m_contesto.ParolaCercata, opzioni);
}

QWidget *FinestraPrincipale::FinestraPseudocodificaAperta() const
{
    return m_finestraPseudocodifica;
}

void FinestraPrincipale::AvviaPseudocodifica()
{
    if (m_finestraPseudocodifica) return;
    // A language's own list is made and opened when first used: a run never
    // starts on a list that could not be.
    ErroreFile errore;
    const ArchivioListe &liste = m_contesto.ListeInUso(&errore);
    const StatoElenco stato = liste.Stato(Elenco::Sostituzioni);
    if (stato == StatoElenco::Chiuso || stato == StatoElenco::Illeggibile) {
        if (errore.numero == 0) errore = liste.Errore(Elenco::Sostituzioni);
        Piattaforma::MessageBox(
            this,
            QStringLiteral("Impossibile aprire l'elenco \"%1\".\r\n%2")
                .arg(QDir::toNativeSeparators(liste.Percorso(Elenco::Sostituzioni)),
                     errore.Messaggio()),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
        return;
    }
    auto *finestra = new FinestraPseudocodifica(*this);
    m_finestraPseudocodifica = finestra;
    finestra->Avvia();
    Piattaforma::MostraSopra(finestra, this);
    setEnabled(false);
}

void FinestraPrincipale::CreaMenu()
{
    auto menu = [this](const char *nome, const char *titolo) {
        QMenu *m = menuBar()->addMenu(QString::fromUtf8(titolo));
        m->setObjectName(QString::fromLatin1(nome));
        m->menuAction()->setObjectName(QString::fromLatin1(nome));
        return m;
    };
    auto voce = [this](QMenu *m, const char *nome, const char *titolo, QKeySequence scorciatoia,
                       auto gestore) {
        QAction *a = m->addAction(QString::fromUtf8(titolo));
        a->setObjectName(QString::fromLatin1(nome));
        a->setShortcut(scorciatoia);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, gestore);
        return a;
    };

    QMenu *file = menu("menuFile", "&File");
    azioneNuovo = voce(file, "azioneNuovo", "&Nuovo", QKeySequence(Qt::CTRL | Qt::Key_N),
                       &FinestraPrincipale::Nuovo);
    azioneApri = voce(file, "azioneApri", "&Apri...", QKeySequence(Qt::CTRL | Qt::Key_O),
                      &FinestraPrincipale::Apri);
    azioneSalva = voce(file, "azioneSalva", "&Salva", {}, &FinestraPrincipale::Salva);
    azioneSalvaConNome = voce(file, "azioneSalvaConNome", "S&alva con nome...", {},
                              &FinestraPrincipale::SalvaConNome);
    m_separatoreRecenti = file->addSeparator();
    m_menuFile = file;
    azioneEsci = voce(file, "azioneEsci", "&Esci", QKeySequence(Qt::CTRL | Qt::Key_E),
                      &FinestraPrincipale::Esci);

    QMenu *modifica = menu("menuModifica", "&Modifica");
    azioneAnnulla = voce(modifica, "azioneAnnulla", "&Annulla", QKeySequence(Qt::CTRL | Qt::Key_Z),
                         [this] { m_editor->undo(); });
    azioneRifai = voce(modifica, "azioneRifai", "Ri&fai", QKeySequence(Qt::CTRL | Qt::Key_Y),
                       [this] { m_editor->redo(); });
    azioneRifai->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    azioneAnnulla->setEnabled(false);
    azioneRifai->setEnabled(false);
    connect(m_editor, &EditorTesto::undoAvailable, azioneAnnulla, &QAction::setEnabled);
    connect(m_editor, &EditorTesto::redoAvailable, azioneRifai, &QAction::setEnabled);
    modifica->addSeparator();
    azioneTaglia = voce(modifica, "azioneTaglia", "&Taglia", QKeySequence(Qt::CTRL | Qt::Key_X),
                        &FinestraPrincipale::Taglia);
    azioneCopia = voce(modifica, "azioneCopia", "&Copia", QKeySequence(Qt::CTRL | Qt::Key_C),
                       &FinestraPrincipale::Copia);
    azioneIncolla = voce(modifica, "azioneIncolla", "&Incolla", QKeySequence(Qt::CTRL | Qt::Key_V),
                         &FinestraPrincipale::Incolla);
    // No key: Ctrl+A starts a run.
    azioneSelezionaTutto = voce(modifica, "azioneSelezionaTutto", "Seleziona &tutto", {},
                                [this] { m_editor->selectAll(); });
    modifica->addSeparator();
    azioneTrova = voce(modifica, "azioneTrova", "&Trova...", QKeySequence(Qt::CTRL | Qt::Key_T),
                       &FinestraPrincipale::Trova);
    azioneRipetiTrova = voce(modifica, "azioneRipetiTrova", "&Ripeti trova",
                             QKeySequence(Qt::Key_F3), &FinestraPrincipale::RipetiTrova);
    azioneSostituisciParola =
        voce(modifica, "azioneSostituisciParola", "&Sostituisci una parola...",
             QKeySequence(Qt::CTRL | Qt::Key_H), &FinestraPrincipale::SostituisciParola);
    modifica->addSeparator();
    azioneVaiAllaRiga = voce(modifica, "azioneVaiAllaRiga", "&Vai alla riga...",
                             QKeySequence(Qt::CTRL | Qt::Key_G), &FinestraPrincipale::VaiAllaRiga);

    QMenu *strumenti = menu("menuStrumenti", "&Strumenti");
    azioneSostituzioni =
        voce(strumenti, "azioneSostituzioni", "&Sostituzioni...",
             QKeySequence(Qt::CTRL | Qt::Key_S), &FinestraPrincipale::MostraSostituzioni);
    azionePulizia =
        voce(strumenti, "azionePulizia", "&Pulizia...", {}, &FinestraPrincipale::MostraPulizia);
    strumenti->addSeparator();
    azioneAvviaPseudocodifica =
        voce(strumenti, "azioneAvviaPseudocodifica", "&Avvia la pseudocodificazione...",
             QKeySequence(Qt::CTRL | Qt::Key_A), &FinestraPrincipale::AvviaPseudocodifica);
    azioneAvviaPulizia =
        voce(strumenti, "azioneAvviaPulizia", "A&vvia la pulizia...",
             QKeySequence(Qt::CTRL | Qt::Key_P), &FinestraPrincipale::AvviaPulizia);
    strumenti->addSeparator();
    azioneParoleNonTradotte = voce(strumenti, "azioneParoleNonTradotte", "Parole &non tradotte...",
                                   {}, &FinestraPrincipale::MostraParoleNonTradotte);
    azioneOpzioni =
        voce(strumenti, "azioneOpzioni", "&Opzioni...", {}, &FinestraPrincipale::MostraOpzioni);
    // The language the text is read as: by default its file name's.
    QMenu *linguaggi = strumenti->addMenu(QStringLiteral("&Linguaggio del testo"));
    linguaggi->setObjectName(QStringLiteral("menuLinguaggio"));
    linguaggi->menuAction()->setObjectName(QStringLiteral("menuLinguaggio"));
    auto *gruppo = new QActionGroup(linguaggi);
    for (const auto &[linguaggio, titolo] :
         {std::pair{Linguaggio::Nessuno, "&Testo"}, std::pair{Linguaggio::Basic, "&BASIC"},
          std::pair{Linguaggio::C, "&C"}, std::pair{Linguaggio::Cpp, "C&++"},
          std::pair{Linguaggio::Batch, "B&atch"}}) {
        QAction *azione = linguaggi->addAction(QString::fromUtf8(titolo));
        azione->setObjectName(QStringLiteral("azioneLinguaggio_") +
                              (linguaggio == Linguaggio::Nessuno ? QStringLiteral("testo")
                                                                 : ChiaveLinguaggio(linguaggio)));
        azione->setCheckable(true);
        azione->setData(int(linguaggio));
        gruppo->addAction(azione);
        connect(azione, &QAction::triggered, this,
                [this, linguaggio = linguaggio] { ScegliLinguaggio(linguaggio); });
        m_azioniLinguaggio.append(azione);
    }
    strumenti->addSeparator();
    azioneConfronto = voce(strumenti, "azioneConfronto", "&Confronta con l'originale...", {},
                           &FinestraPrincipale::MostraConfronto);

    QMenu *visualizza = menu("menuVisualizza", "&Visualizza");
    azioneIngrandisci =
        voce(visualizza, "azioneIngrandisci", "&Ingrandisci", QKeySequence(Qt::CTRL | Qt::Key_Plus),
             &FinestraPrincipale::Ingrandisci);
    // Ctrl+= too: the plus sign needs Shift on many keyboards.
    azioneIngrandisci->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    azioneRiduci = voce(visualizza, "azioneRiduci", "&Riduci",
                        QKeySequence(Qt::CTRL | Qt::Key_Minus), &FinestraPrincipale::Riduci);
    azioneDimensioneNormale =
        voce(visualizza, "azioneDimensioneNormale", "Dimensione &normale",
             QKeySequence(Qt::CTRL | Qt::Key_0), &FinestraPrincipale::DimensioneNormale);
    visualizza->addSeparator();
    azioneACapoAutomatico = voce(visualizza, "azioneACapoAutomatico", "A capo &automatico", {},
                                 &FinestraPrincipale::ImpostaACapoAutomatico);
    azioneACapoAutomatico->setCheckable(true);

    QMenu *punto = menu("Punto", "&?");
    azioneGuida = voce(punto, "azioneGuida", "&Guida", QKeySequence(Qt::Key_F1),
                       &FinestraPrincipale::MostraGuida);
    azioneInformazioni = voce(punto, "azioneInformazioni", "&Informazioni su...", {},
                              &FinestraPrincipale::MostraInformazioni);
}

void FinestraPrincipale::CreaBarraDiStato()
{
    m_barraStato = new QStatusBar(this);
    m_barraStato->setObjectName(QStringLiteral("m_barraStato"));
    m_barraStato->setSizeGripEnabled(false);
    m_barraStato->setFixedHeight(Pixel(330));
    m_testoStato = new QLabel(TestoInattivo(), m_barraStato);
    m_testoStato->setObjectName(QStringLiteral("m_testoStato"));
    m_pannelloBarra = new QLabel(m_barraStato);
    m_pannelloBarra->setObjectName(QStringLiteral("m_pannelloBarra"));
    // The two panels share the width and never hold the window wider than
    // the layout rule's minimum, so the second one, which places the progress
    // bar, starts halfway at any width.
    for (QLabel *pannello : {m_testoStato, m_pannelloBarra}) {
        pannello->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        m_barraStato->addWidget(pannello, 1);
    }
    // The caret's place and the file's name live in the second panel, beside
    // the progress bar (Ridisponi keeps them off it); the name gives way first.
    m_pannelloPosizione = new QLabel(m_pannelloBarra);
    m_pannelloPosizione->setObjectName(QStringLiteral("m_pannelloPosizione"));
    m_pannelloPosizione->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    m_pannelloFile = new EtichettaAccorciata(m_pannelloBarra);
    m_pannelloFile->setObjectName(QStringLiteral("m_pannelloFile"));
    m_pannelloFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *accanto = new QHBoxLayout(m_pannelloBarra);
    accanto->setSizeConstraint(QLayout::SetNoConstraint);
    accanto->setContentsMargins(0, 0, 0, 0);
    accanto->addWidget(m_pannelloPosizione);
    accanto->addWidget(m_pannelloFile, 1);
    setStatusBar(m_barraStato);
    // The status bar lays its panels out after the window's resize: the
    // progress bar follows the panel it is placed by.
    new OsservaGeometria(m_pannelloBarra, [this] {
        if (m_barraAvanzamento) Ridisponi();
    });
}

QString FinestraPrincipale::TestoInattivo()
{
    return Piattaforma::TitoloProgramma + QStringLiteral(" - pronto");
}

void FinestraPrincipale::ImpostaStato(const QString &testo)
{
    m_testoStato->setText(testo);
}
void FinestraPrincipale::RipristinaStato()
{
    m_testoStato->setText(TestoInattivo());
}
QString FinestraPrincipale::TestoStato() const
{
    return m_testoStato->text();
}

void FinestraPrincipale::ImpostaAvanzamento(qsizetype valore, qsizetype massimo)
{
    m_barraAvanzamento->setRange(0, int(std::clamp<qsizetype>(massimo, 1, INT_MAX)));
    m_barraAvanzamento->setValue(int(std::clamp<qsizetype>(valore, INT_MIN, INT_MAX)));
}
void FinestraPrincipale::AzzeraAvanzamento()
{
    m_barraAvanzamento->setValue(0);
}

void FinestraPrincipale::AbilitaAvvio(Elenco elenco, bool abilita)
{
    // With a list for each language the run uses the text's own list, made
    // when first needed: the shared list being empty does not matter then.
    const bool perLinguaggio = m_contesto.OpzioniCodice.ElencoPerLinguaggio;
    if (elenco == Elenco::Eliminazioni) {
        m_eliminazioniUsabili = abilita;
        azioneAvviaPulizia->setEnabled(abilita || perLinguaggio);
        return;
    }
    m_sostituzioniUsabili = abilita;
    azioneAvviaPseudocodifica->setEnabled(abilita || perLinguaggio);
}

namespace {
// Where QSettings keeps the user's editor settings.
QString FileImpostazioni()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(FileRecenti::NomeOrganizzazione() + QLatin1Char('/') +
                  FileRecenti::NomeImpostazioni() + QStringLiteral(".ini"));
}
} // namespace

bool FinestraPrincipale::Avvia()
{
    m_contesto.TestoModificato = false;
    const QSize schermo = Piattaforma::DimensioneSchermo();
    ImpostaDimensioneEsterna(std::nullopt, schermo.height() - MargineSchermo);
    ImpostaDimensioneEsterna(schermo.width() - MargineSchermo, std::nullopt);
    if (m_impostazioniRifiutate) {
        Piattaforma::MessageBox(
            this,
            QStringLiteral("Impossibile leggere le impostazioni dell'editor \"%1\".\r\n%2\r\nSi "
                           "usano le impostazioni predefinite, che non vengono salvate.")
                .arg(QDir::toNativeSeparators(FileImpostazioni()),
                     m_impostazioniRifiutate->Messaggio()),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Esclamazione);
        m_impostazioniRifiutate.reset();
    }
    if (!ApriListe(*this)) return false; // the options too
    AbilitaAvvio(Elenco::Sostituzioni, m_sostituzioniUsabili);
    m_editor->SetText(QString());
    m_editor->setFocus();
    m_contesto.TestoModificato = false;
    return true;
}

QSize FinestraPrincipale::DimensioneEsterna() const
{
    const QRect esterno = frameGeometry();
    return {Twip(esterno.width()), Twip(esterno.height())};
}

void FinestraPrincipale::ImpostaDimensioneEsterna(std::optional<int> larghezza,
                                                  std::optional<int> altezza)
{
    const QSize cornice = frameGeometry().size() - geometry().size();
    const int w = larghezza ? Pixel(*larghezza) - cornice.width() : width();
    const int h = altezza ? Pixel(*altezza) - cornice.height() : height();
    if (w > 0 && h > 0 && !isMinimized()) resize(w, h);
}

FinestraPrincipale::Disposizione
FinestraPrincipale::RegolaDisposizione(int W, int H, int altezzaBarraStato, int inizioPannelloBarra)
{
    Disposizione d;
    d.larghezza = std::max(W, LarghezzaMinima);
    d.altezza = std::max(H, AltezzaMinima);
    W = d.larghezza;
    H = d.altezza;
    if (W - MargineDestroEditor >= 0) d.larghezzaEditor = W - MargineDestroEditor;
    if (H - MargineVerticaleEditor - altezzaBarraStato >= 0)
        d.altezzaEditor = H - MargineVerticaleEditor - altezzaBarraStato;
    d.topBarra = H - DistanzaBarraDalFondo;
    d.leftBarra = W > LarghezzaPerBarraADestra ? W - DistanzaBarraDaDestra
                                               : inizioPannelloBarra + DistanzaBarraDalPannello;
    return d;
}

void FinestraPrincipale::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    Ridisponi();
}

void FinestraPrincipale::Ridisponi()
{
    if (isMinimized()) return;
    const QSize esterno = DimensioneEsterna();
    const Disposizione d =
        RegolaDisposizione(esterno.width(), esterno.height(), Twip(m_barraStato->height()),
                           Twip(m_pannelloBarra->x()));
    if (d.larghezza != esterno.width() || d.altezza != esterno.height()) {
        // Too small: snap back; the resize brings this rule back with the new size.
        ImpostaDimensioneEsterna(d.larghezza, d.altezza);
        return;
    }
    // The editor never reaches past the area it lives in, so its scroll bars stay visible.
    const int w = d.larghezzaEditor ? Pixel(*d.larghezzaEditor) : m_editor->width();
    const int h = d.altezzaEditor ? Pixel(*d.altezzaEditor) : m_editor->height();
    m_editor->resize(std::min(w, m_area->width()), std::min(h, m_area->height()));
    m_barraAvanzamento->move(Pixel(d.leftBarra), menuBar()->height() + Pixel(d.topBarra));
    m_barraAvanzamento->raise();
    // The second panel's line and file name sit after the progress bar when
    // it is placed over the panel, before it when it sits at the right.
    const int barraNelPannello = Pixel(d.leftBarra) - m_barraStato->x() - m_pannelloBarra->x();
    if (d.larghezza > LarghezzaPerBarraADestra)
        m_pannelloBarra->layout()->setContentsMargins(
            0, 0,
            std::max(0, m_pannelloBarra->width() - barraNelPannello + Pixel(SpazioAccantoBarra)),
            0);
    else
        m_pannelloBarra->layout()->setContentsMargins(
            std::max(0, barraNelPannello + Pixel(LarghezzaBarra + SpazioAccantoBarra)), 0, 0, 0);
}

void FinestraPrincipale::MostraElenco(Elenco elenco)
{
    FinestraElenco finestra(*this, elenco);
    Piattaforma::MostraModale(&finestra);
}

void FinestraPrincipale::MostraSostituzioni()
{
    MostraElenco(Elenco::Sostituzioni);
}
void FinestraPrincipale::MostraPulizia()
{
    MostraElenco(Elenco::Eliminazioni);
}

void FinestraPrincipale::AvviaPulizia()
{
    // Deletes the words of the elimination list from the whole text at once.
    // With a list for each language, the text's own cleaning list, made from
    // its ready list when first used.
    ErroreFile errore;
    ArchivioListe &liste = m_contesto.ListeInUso(Elenco::Eliminazioni, &errore);
    const StatoElenco stato = liste.Stato(Elenco::Eliminazioni);
    if (stato == StatoElenco::Chiuso || stato == StatoElenco::Illeggibile) {
        if (errore.numero == 0) errore = liste.Errore(Elenco::Eliminazioni);
        Piattaforma::MessageBox(
            this,
            QStringLiteral("Impossibile aprire l'elenco \"%1\".\r\n%2")
                .arg(QDir::toNativeSeparators(liste.Percorso(Elenco::Eliminazioni)),
                     errore.Messaggio()),
            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Critico);
        return;
    }
    if (Piattaforma::MessageBox(
            this,
            QStringLiteral("Le parole dell'elenco Pulizia verranno eliminate dal "
                           "testo. Continuare?"),
            Piattaforma::Pulsanti::OKAnnulla,
            Piattaforma::Icona::Domanda) != Piattaforma::Risposta::OK)
        return;
    Piattaforma::PuntatoreOccupato(this, true);
    const Pulizia::Esito esito =
        Pulizia::Applica(m_editor->Text(), liste.LeggiEliminazioni(), m_contesto.Regole());
    if (esito.eliminate > 0) {
        RiscriviDaCorsa(esito.testo);
        m_contesto.TestoModificato = true;
    }
    Piattaforma::PuntatoreOccupato(this, false);
    // When words went, the box offers the text beside the original.
    if (Piattaforma::MessageBox(
            this,
            esito.eliminate == 1
                ? QStringLiteral("Pulizia terminata: è stata eliminata 1 parola.")
                : QStringLiteral("Pulizia terminata: sono state eliminate %1 parole.")
                      .arg(esito.eliminate),
            esito.eliminate > 0 ? Piattaforma::Pulsanti::OKConfronta : Piattaforma::Pulsanti::OK,
            Piattaforma::Icona::Informazione) == Piattaforma::Risposta::Confronta)
        MostraConfronto();
}

void FinestraPrincipale::RiscriviDaCorsa(const QString &testo)
{
    const QString prima = m_editor->Text();
    const QList<ModificheTesto::Modifica> modifiche = m_editor->SostituisciTesto(testo);
    m_contesto.TestoRiscrittoDaCorsa(modifiche, prima, m_editor->Text());
    m_editor->MostraSegni(m_contesto.SegniCorsa);
}

void FinestraPrincipale::Copia()
{
    QGuiApplication::clipboard()->setText(m_editor->SelText());
}

void FinestraPrincipale::Taglia()
{
    QGuiApplication::clipboard()->setText(m_editor->SelText());
    m_editor->SetSelText(QString());
}

void FinestraPrincipale::Incolla()
{
    // A clipboard without text (empty, or a picture) leaves the selection alone.
    const QString testo = QGuiApplication::clipboard()->text();
    if (testo.isEmpty()) return;
    m_editor->SetSelText(testo);
}

void FinestraPrincipale::MostraPosizione()
{
    m_pannelloPosizione->setText(QStringLiteral("Riga %1, colonna %2")
                                     .arg(m_editor->RigaCursore())
                                     .arg(m_editor->ColonnaCursore()));
}

void FinestraPrincipale::MostraNomeFile()
{
    const QString &percorso = m_contesto.NomeFileCorrente;
    m_pannelloFile->setText(percorso.isEmpty() ? QStringLiteral("Senza nome")
                                               : QFileInfo(percorso).fileName());
    m_pannelloFile->setToolTip(QDir::toNativeSeparators(percorso));
    MostraLinguaggio();
}

void FinestraPrincipale::MostraLinguaggio()
{
    const TipoTesto tipo = m_contesto.TipoDocumento();
    m_editor->ImpostaLinguaggio(tipo);
    for (QAction *azione : m_azioniLinguaggio)
        azione->setChecked(Linguaggio(azione->data().toInt()) == tipo.linguaggio);
}

void FinestraPrincipale::ScegliLinguaggio(Linguaggio linguaggio)
{
    m_contesto.LinguaggioScelto = linguaggio;
    MostraLinguaggio();
}

namespace {
// The editor settings, or nothing when their file is not a regular file (a
// named pipe would block QSettings in open for ever, a device never end):
// the defaults are then used and nothing is saved.
std::unique_ptr<QSettings> ImpostazioniUtente(ErroreFile *errore = nullptr)
{
    if (std::optional<ErroreFile> e = FileRegolare::NonRegolare(FileImpostazioni())) {
        if (errore) *errore = *e;
        return nullptr;
    }
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       FileRecenti::NomeOrganizzazione(),
                                       FileRecenti::NomeImpostazioni());
}
} // namespace

void FinestraPrincipale::LeggiImpostazioniEditor()
{
    ErroreFile errore;
    const std::unique_ptr<QSettings> lette = ImpostazioniUtente(&errore);
    if (!lette) {
        // Said once, when the window starts.
        m_impostazioniRifiutate = errore;
        return;
    }
    const QSettings &impostazioni = *lette;
    m_editor->ImpostaIngrandimento(
        impostazioni.value(QStringLiteral("Editor/Ingrandimento"), 0).toInt());
    const bool aCapo = impostazioni.value(QStringLiteral("Editor/ACapoAutomatico"), false).toBool();
    azioneACapoAutomatico->setChecked(aCapo);
    m_editor->setLineWrapMode(aCapo ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    m_recenti.Carica(impostazioni);
    MostraRecenti();
}

void FinestraPrincipale::SalvaImpostazioneEditor(const QString &chiave, const QVariant &valore)
{
    if (const std::unique_ptr<QSettings> impostazioni = ImpostazioniUtente())
        impostazioni->setValue(chiave, valore);
}

void FinestraPrincipale::Ingrandisci()
{
    m_editor->ImpostaIngrandimento(m_editor->Ingrandimento() + 1);
}

void FinestraPrincipale::Riduci()
{
    m_editor->ImpostaIngrandimento(m_editor->Ingrandimento() - 1);
}

void FinestraPrincipale::DimensioneNormale()
{
    m_editor->ImpostaIngrandimento(0);
}

void FinestraPrincipale::ImpostaACapoAutomatico(bool attivo)
{
    m_editor->setLineWrapMode(attivo ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    SalvaImpostazioneEditor(QStringLiteral("Editor/ACapoAutomatico"), attivo);
}

void FinestraPrincipale::FileUsato(const QString &percorso)
{
    m_recenti.Aggiungi(percorso);
    SalvaRecenti();
    MostraNomeFile();
}

void FinestraPrincipale::SalvaRecenti()
{
    // Another window of the program may have stored its own list meanwhile:
    // the last one written wins, as with any single-user setting.
    if (const std::unique_ptr<QSettings> impostazioni = ImpostazioniUtente())
        m_recenti.Salva(*impostazioni);
    MostraRecenti();
}

void FinestraPrincipale::MostraRecenti()
{
    qDeleteAll(m_azioniRecenti);
    m_azioniRecenti.clear();
    const QStringList &elenco = m_recenti.Elenco();
    // Numbered after "S&alva con nome...", with a separator of their own before "&Esci".
    for (qsizetype i = 0; i < elenco.size(); ++i) {
        QString nome = QDir::toNativeSeparators(elenco[i]);
        nome.replace(QLatin1Char('&'), QLatin1String("&&"));
        auto *azione = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(nome), m_menuFile);
        azione->setObjectName(QStringLiteral("azioneFileRecente%1").arg(i + 1));
        connect(azione, &QAction::triggered, this, [this, i] { ApriFileRecente(i); });
        m_menuFile->insertAction(m_separatoreRecenti, azione);
        m_azioniRecenti.append(azione);
    }
    if (!elenco.isEmpty()) {
        QAction *separatore = new QAction(m_menuFile);
        separatore->setSeparator(true);
        m_menuFile->insertAction(m_azioniRecenti.first(), separatore);
        m_azioniRecenti.append(separatore);
    }
}

void FinestraPrincipale::ApriFileRecente(qsizetype indice)
{
    if (indice < 0 || indice >= m_recenti.Elenco().size()) return;
    const QString percorso = m_recenti.Elenco()[indice];
    const QFileInfo info(percorso);
    if (!info.exists() || info.isDir()) {
        m_recenti.Rimuovi(percorso);
        SalvaRecenti();
        Piattaforma::MessageBox(this,
                                QStringLiteral("Il file «%1» non esiste più: è stato tolto "
                                               "dall'elenco dei file recenti.")
                                    .arg(QDir::toNativeSeparators(percorso)),
                                Piattaforma::Pulsanti::OK, Piattaforma::Icona::Esclamazione);
        return;
    }
    ApriFile(percorso);
}
