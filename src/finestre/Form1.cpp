#include "Form1.h"

#include "finestre/EditorTesto.h"
#include "nucleo/Modulo1.h"
#include "finestre/frmInfo.h"
#include "finestre/frmOpzioni.h"
#include "finestre/ApriListe.h"
#include "finestre/FinestraElenco.h"
#include "piattaforma/Icone.h"
#include "nucleo/pseudocodifica/Pulizia.h"
#include "finestre/frmParole.h"
#include "finestre/frmPseudo.h"
#include "finestre/CercaParola.h"
#include "finestre/frmTrova.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <climits>

using Piattaforma::Pixel;

namespace {
const QString FiltroFile = QStringLiteral(
    "File di testo (*.txt, *.c, *.cpp, *.bas, *.frm, *.h)|*.txt;*.c;*.cpp;*.bas;*.frm;*.h|"
    "Solo testo (*.txt)|*.txt|Form di Visual Basic (*.frm)|*.frm|Modulo di Visual Basic "
    "(*.bas)|*.bas|File batch (*.bat)|*.bat|Sorgente C (*.c, *.cpp)|*.c;*.cpp|Tutti i file "
    "(*.*)|*");
} // namespace
using Piattaforma::Twip;

Form1::Form1(Modulo1 &stato, QWidget *padre) : QMainWindow(padre), m_stato(stato)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Piattaforma::TitoloProgramma);
    setWindowIcon(Icone::Programma());

    m_area = new QWidget(this);
    setCentralWidget(m_area);
    Text1 = new EditorTesto(m_area);
    Text1->move(0, 0);

    CreaMenu();
    CreaBarraDiStato();
    cmd1.ImpostaFiltro(FiltroFile);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->resize(Pixel(3015), Pixel(195));

    QList<QKeySequence> scorciatoie;
    for (QAction *azione : findChildren<QAction *>())
        scorciatoie.append(azione->shortcuts());
    Text1->RiservaScorciatoie(scorciatoie);
    connect(Text1, &EditorTesto::TestoCambiato, this, [this] { m_stato.TestoModificato = true; });

    setAcceptDrops(true);
    Text1->viewport()->installEventFilter(this);
}

Form1::~Form1()
{
    // Ending the program closes every other window without its own handlers.
    delete m_frmPseudo.data();
    delete m_frmTrova;
}

frmTrova *Form1::FinestraTrova()
{
    if (!m_frmTrova) m_frmTrova = new frmTrova(*this);
    return m_frmTrova;
}

void Form1::mnuModTrova_Click()
{
    FinestraTrova()->ModoTrova(frmTrova::MisureTrova);
    m_frmTrova->Mostra();
    setEnabled(false);
}

void Form1::mnuModSostP_Click()
{
    FinestraTrova()->ModoSostituisci(frmTrova::MisureSostituisci);
    m_frmTrova->Mostra();
    setEnabled(false);
}

void Form1::mnuInfoOn_Click()
{
    frmInfo finestra(QCoreApplication::applicationDirPath(), this);
    Piattaforma::MostraModale(&finestra);
}

void Form1::mnuStrumOpz_Click()
{
    frmOpzioni finestra(m_stato, this);
    Piattaforma::MostraModale(&finestra);
}

void Form1::mnuStrumParole_Click()
{
    frmParole::Mostra(*this, this);
}

void Form1::mnuModRip_Click()
{
    frmTrova *dialogo = FinestraTrova();
    CercaParola(*this, dialogo->ParolaCercata(), QString(), dialogo->ValoreMaiuscole(),
                dialogo->ValoreIntere(), 1);
}

QWidget *Form1::FinestraPseudo() const
{
    return m_frmPseudo;
}

void Form1::mnuStrumAvvia_Click()
{
    if (m_frmPseudo) return;
    auto *finestra = new frmPseudo(*this);
    m_frmPseudo = finestra;
    finestra->Form_Load();
    Piattaforma::MostraSopra(finestra, this);
    setEnabled(false);
}

void Form1::CreaMenu()
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

    QMenu *file = menu("mnuFile", "&File");
    mnuFileNuovo = voce(file, "mnuFileNuovo", "&Nuovo", {}, &Form1::mnuFileNuovo_Click);
    mnuFileApri = voce(file, "mnuFileApri", "&Apri...", {}, &Form1::mnuFileApri_Click);
    mnuFileSalva = voce(file, "mnuFileSalva", "&Salva", {}, &Form1::mnuFileSalva_Click);
    mnuFilsSalvaN =
        voce(file, "mnuFilsSalvaN", "S&alva con nome...", {}, &Form1::mnuFilsSalvaN_Click);
    file->addSeparator();
    mnuFileEsci = voce(file, "mnuFileEsci", "&Esci", QKeySequence(Qt::CTRL | Qt::Key_E),
                       &Form1::mnuFileEsci_Click);

    QMenu *modifica = menu("mnuModif", "&Modifica");
    mnuModAnnulla = voce(modifica, "mnuModAnnulla", "&Annulla", QKeySequence(Qt::CTRL | Qt::Key_Z),
                         [this] { Text1->undo(); });
    mnuModRifai = voce(modifica, "mnuModRifai", "Ri&fai", QKeySequence(Qt::CTRL | Qt::Key_Y),
                       [this] { Text1->redo(); });
    mnuModRifai->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    mnuModAnnulla->setEnabled(false);
    mnuModRifai->setEnabled(false);
    connect(Text1, &EditorTesto::undoAvailable, mnuModAnnulla, &QAction::setEnabled);
    connect(Text1, &EditorTesto::redoAvailable, mnuModRifai, &QAction::setEnabled);
    modifica->addSeparator();
    mnuModTaglia = voce(modifica, "mnuModTaglia", "&Taglia", QKeySequence(Qt::CTRL | Qt::Key_X),
                        &Form1::mnuModTaglia_Click);
    mnuModCopia = voce(modifica, "mnuModCopia", "&Copia", QKeySequence(Qt::CTRL | Qt::Key_C),
                       &Form1::mnuModCopia_Click);
    mnuModInc = voce(modifica, "mnuModInc", "&Incolla", QKeySequence(Qt::CTRL | Qt::Key_V),
                     &Form1::mnuModInc_Click);
    modifica->addSeparator();
    mnuModTrova = voce(modifica, "mnuModTrova", "&Trova...", QKeySequence(Qt::CTRL | Qt::Key_T),
                       &Form1::mnuModTrova_Click);
    mnuModRip = voce(modifica, "mnuModRip", "&Ripeti trova", QKeySequence(Qt::Key_F3),
                     &Form1::mnuModRip_Click);
    mnuModSostP = voce(modifica, "mnuModSostP", "&Sostituisci una parola...",
                       QKeySequence(Qt::CTRL | Qt::Key_H), &Form1::mnuModSostP_Click);

    QMenu *strumenti = menu("mnuStrum", "&Strumenti");
    mnuStrumSost = voce(strumenti, "mnuStrumSost", "&Sostituzioni...",
                        QKeySequence(Qt::CTRL | Qt::Key_S), &Form1::mnuStrumSost_Click);
    mnuStrumPul = voce(strumenti, "mnuStrumPul", "&Pulizia...", {}, &Form1::mnuStrumPul_Click);
    strumenti->addSeparator();
    mnuStrumAvvia = voce(strumenti, "mnuStrumAvvia", "&Avvia la pseudocodificazione...",
                         QKeySequence(Qt::CTRL | Qt::Key_A), &Form1::mnuStrumAvvia_Click);
    mnuStrumAPul = voce(strumenti, "mnuStrumAPul", "A&vvia la pulizia...",
                        QKeySequence(Qt::CTRL | Qt::Key_P), &Form1::mnuStrumAPul_Click);
    strumenti->addSeparator();
    mnuStrumParole = voce(strumenti, "mnuStrumParole", "Parole &non tradotte...", {},
                          &Form1::mnuStrumParole_Click);
    mnuStrumOpz = voce(strumenti, "mnuStrumOpz", "&Opzioni...", {}, &Form1::mnuStrumOpz_Click);

    QMenu *punto = menu("Punto", "&?");
    mnuInfoOn = voce(punto, "mnuInfoOn", "&Informazioni su...", {}, &Form1::mnuInfoOn_Click);
}

void Form1::CreaBarraDiStato()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(Pixel(330));
    m_pannello1 = new QLabel(TestoInattivo(), StatusBar1);
    m_pannello1->setObjectName(QStringLiteral("Pannello1"));
    m_pannello2 = new QLabel(StatusBar1);
    m_pannello2->setObjectName(QStringLiteral("Pannello2"));
    // The panels share the width and never hold the window wider than the
    // layout rule's minimum.
    for (QLabel *pannello : {m_pannello1, m_pannello2}) {
        pannello->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        StatusBar1->addWidget(pannello, 1);
    }
    setStatusBar(StatusBar1);
}

QString Form1::TestoInattivo()
{
    return Piattaforma::TitoloProgramma + QStringLiteral(" - pronto");
}

void Form1::ImpostaStato(const QString &testo)
{
    m_pannello1->setText(testo);
}
void Form1::RipristinaStato()
{
    m_pannello1->setText(TestoInattivo());
}
QString Form1::TestoStato() const
{
    return m_pannello1->text();
}

void Form1::ImpostaAvanzamento(qsizetype valore, qsizetype massimo)
{
    ProgressBar1->setRange(0, int(std::clamp<qsizetype>(massimo, 1, INT_MAX)));
    ProgressBar1->setValue(int(std::clamp<qsizetype>(valore, INT_MIN, INT_MAX)));
}
void Form1::AzzeraAvanzamento()
{
    ProgressBar1->setValue(0);
}

void Form1::AbilitaAvvio(Elenco elenco, bool abilita)
{
    (elenco == Elenco::Sostituzioni ? mnuStrumAvvia : mnuStrumAPul)->setEnabled(abilita);
}

bool Form1::Form_Load()
{
    m_stato.TestoModificato = false;
    const QSize schermo = Piattaforma::DimensioneSchermo();
    ImpostaDimensioneEsterna(std::nullopt, schermo.height() - 1300);
    ImpostaDimensioneEsterna(schermo.width() - 1300, std::nullopt);
    if (!ApriListe(*this)) return false; // the options too
    Text1->SetText(QString());
    Text1->setFocus();
    m_stato.TestoModificato = false;
    return true;
}

QSize Form1::DimensioneEsterna() const
{
    const QRect esterno = frameGeometry();
    return {Twip(esterno.width()), Twip(esterno.height())};
}

void Form1::ImpostaDimensioneEsterna(std::optional<int> larghezza, std::optional<int> altezza)
{
    const QSize cornice = frameGeometry().size() - geometry().size();
    const int w = larghezza ? Pixel(*larghezza) - cornice.width() : width();
    const int h = altezza ? Pixel(*altezza) - cornice.height() : height();
    if (w > 0 && h > 0 && !isMinimized()) resize(w, h);
}

Form1::Disposizione Form1::RegolaDisposizione(int W, int H, int altezzaStatusBar,
                                              int bordoPannello2)
{
    Disposizione d;
    d.larghezza = std::max(W, 3000);
    d.altezza = std::max(H, 3000);
    W = d.larghezza;
    H = d.altezza;
    if (W - 110 >= 0) d.larghezzaText1 = W - 110;
    if (H - 700 - altezzaStatusBar >= 0) d.altezzaText1 = H - 700 - altezzaStatusBar;
    d.topBarra = H - 950;
    d.leftBarra = W > 8900 ? W - 3500 : bordoPannello2 + 900;
    return d;
}

void Form1::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    Form_Resize();
}

void Form1::Form_Resize()
{
    if (isMinimized()) return;
    const QSize esterno = DimensioneEsterna();
    const Disposizione d = RegolaDisposizione(esterno.width(), esterno.height(),
                                              Twip(StatusBar1->height()), Twip(m_pannello2->x()));
    if (d.larghezza != esterno.width() || d.altezza != esterno.height()) {
        // Too small: snap back; the resize brings this rule back with the new size.
        ImpostaDimensioneEsterna(d.larghezza, d.altezza);
        return;
    }
    // The editor never reaches past the area it lives in, so its scroll bars stay visible.
    const int w = d.larghezzaText1 ? Pixel(*d.larghezzaText1) : Text1->width();
    const int h = d.altezzaText1 ? Pixel(*d.altezzaText1) : Text1->height();
    Text1->resize(std::min(w, m_area->width()), std::min(h, m_area->height()));
    ProgressBar1->move(Pixel(d.leftBarra), menuBar()->height() + Pixel(d.topBarra));
    ProgressBar1->raise();
}

void Form1::MostraElenco(Elenco elenco)
{
    FinestraElenco finestra(*this, elenco);
    Piattaforma::MostraModale(&finestra);
}

void Form1::mnuStrumSost_Click()
{
    MostraElenco(Elenco::Sostituzioni);
}
void Form1::mnuStrumPul_Click()
{
    MostraElenco(Elenco::Eliminazioni);
}

void Form1::mnuStrumAPul_Click()
{
    // Deletes the words of the elimination list from the whole text at once.
    if (Piattaforma::MessageBox(
            this,
            QStringLiteral("Le parole dell'elenco Pulizia verranno eliminate dal "
                           "testo. Continuare?"),
            Piattaforma::Pulsanti::OKAnnulla,
            Piattaforma::Icona::Domanda) != Piattaforma::Risposta::OK)
        return;
    Piattaforma::PuntatoreOccupato(this, true);
    const Pulizia::Esito esito =
        Pulizia::Applica(Text1->Text(), m_stato.Liste.LeggiEliminazioni(), m_stato.Regole());
    if (esito.eliminate > 0) {
        Text1->SostituisciTesto(esito.testo);
        m_stato.TestoModificato = true;
    }
    Piattaforma::PuntatoreOccupato(this, false);
    Piattaforma::MessageBox(
        this,
        esito.eliminate == 1 ? QStringLiteral("Pulizia terminata: è stata eliminata 1 parola.")
                             : QStringLiteral("Pulizia terminata: sono state eliminate %1 parole.")
                                   .arg(esito.eliminate),
        Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione);
}

void Form1::mnuModCopia_Click()
{
    QGuiApplication::clipboard()->setText(Text1->SelText());
}

void Form1::mnuModTaglia_Click()
{
    QGuiApplication::clipboard()->setText(Text1->SelText());
    Text1->SetSelText(QString());
}

void Form1::mnuModInc_Click()
{
    // A clipboard without text (empty, or a picture) leaves the selection alone.
    const QString testo = QGuiApplication::clipboard()->text();
    if (testo.isEmpty()) return;
    Text1->SetSelText(testo);
}
