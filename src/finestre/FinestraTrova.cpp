#include "FinestraTrova.h"

#include "finestre/EditorTesto.h"
#include "finestre/FinestraPrincipale.h"
#include "nucleo/Contesto.h"
#include "piattaforma/PosizioneFinestra.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using Piattaforma::Pixel;

namespace {
const QString TestoSostituisciTutto = QStringLiteral("S&ostituisci tutto");
const QString TestoInterrompi = QStringLiteral("I&nterrompi");
} // namespace

FinestraTrova::FinestraTrova(FinestraPrincipale &form)
    : QDialog(nullptr), m_contesto(form.Condiviso()), m_form(form)
{
    setObjectName(QStringLiteral("FinestraTrova"));
    setWindowTitle(QStringLiteral("Trova"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto posa = [](QWidget *w, const char *nome, int x, int y, int larghezza, int altezza) {
        w->setObjectName(QString::fromLatin1(nome));
        w->setGeometry(Pixel(x), Pixel(y), Pixel(larghezza), Pixel(altezza));
    };
    auto pulsante = [&](QWidget *padre, const char *nome, const QString &testo, int x, int y,
                        int larghezza, void (FinestraTrova::*gestore)()) {
        QPushButton *b = Piattaforma::Pulsante(padre, nome, testo, x, y, larghezza, 375);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, gestore);
        return b;
    };
    auto pannello = [&](const char *nome, int x, int y, int larghezza, int altezza) {
        auto *p = new QWidget(this);
        posa(p, nome, x, y, larghezza, altezza);
        p->setAutoFillBackground(true); // the panel in front covers the one behind
        return p;
    };

    EtichettaTrova = new QLabel(QStringLiteral("&Testo da trovare:"), this);
    posa(EtichettaTrova, "EtichettaTrova", 120, 120, 1455, 255);
    TestoDaTrovare = new QLineEdit(this);
    posa(TestoDaTrovare, "TestoDaTrovare", 1560, 120, 2895, 285);
    EtichettaTrova->setBuddy(TestoDaTrovare);
    BottoneTrovaSuccessivo =
        pulsante(this, "BottoneTrovaSuccessivo", QStringLiteral("Trova succ&essivo"), 4680, 120,
                 1455, &FinestraTrova::TrovaSuccessivo);
    BottoneTrovaSuccessivo->setDefault(true);

    PannelloSostituisci = pannello("PannelloSostituisci", 120, 600, 6135, 975);
    EtichettaSostituto = new QLabel(QStringLiteral("Sostitui&re con:"), PannelloSostituisci);
    posa(EtichettaSostituto, "EtichettaSostituto", 0, 120, 1335, 255);
    TestoSostitutivo = new QLineEdit(PannelloSostituisci);
    posa(TestoSostitutivo, "TestoSostitutivo", 1440, 120, 2895, 285);
    EtichettaSostituto->setBuddy(TestoSostitutivo);
    BottoneSostituisci =
        pulsante(PannelloSostituisci, "BottoneSostituisci", QStringLiteral("&Sostituisci"), 4560,
                 120, 1455, &FinestraTrova::Sostituisci);
    BottoneSoloTrova =
        pulsante(PannelloSostituisci, "BottoneSoloTrova", QStringLiteral("So&lo trova"), 0, 600,
                 1335, &FinestraTrova::SoloTrova);
    BottoneSostituisciTutto =
        pulsante(PannelloSostituisci, "BottoneSostituisciTutto", TestoSostituisciTutto, 4560, 600,
                 1455, &FinestraTrova::SostituisciTutteOInterrompi);

    PannelloTrova = pannello("PannelloTrova", 0, 600, 6255, 735);
    BottoneModoSostituisci =
        pulsante(PannelloTrova, "BottoneModoSostituisci", QStringLiteral("< Sost&ituisci"), 4680,
                 240, 1455, &FinestraTrova::PassaASostituisci);

    PannelloOpzioni = pannello("PannelloOpzioni", 120, MisureTrova.topOpzioni, 6135, 615);
    CasellaParoleIntere = new QCheckBox(QStringLiteral("Solo &parole intere"), PannelloOpzioni);
    posa(CasellaParoleIntere, "CasellaParoleIntere", 0, 0, 2175, 255);
    CasellaMaiuscole = new QCheckBox(QStringLiteral("&Maiuscole/minuscole"), PannelloOpzioni);
    posa(CasellaMaiuscole, "CasellaMaiuscole", 0, 360, 2175, 255);
    EtichettaDirezione = new QLabel(QStringLiteral("&Direzione:"), PannelloOpzioni);
    posa(EtichettaDirezione, "EtichettaDirezione", 2160, 120, 855, 255);
    SceltaDirezione = new QComboBox(PannelloOpzioni);
    posa(SceltaDirezione, "SceltaDirezione", 3000, 120, 1335, 315);
    // In the order of Ricerca::Direzione.
    SceltaDirezione->addItems(
        {QStringLiteral("Su"), QStringLiteral("Giù"), QStringLiteral("Tutte")});
    EtichettaDirezione->setBuddy(SceltaDirezione);
    BottoneChiudi = pulsante(PannelloOpzioni, "BottoneChiudi", QStringLiteral("&Chiudi"), 4560, 120,
                             1455, &FinestraTrova::Chiudi);

    // The fields show the shared state and write every change back to it.
    TestoDaTrovare->setText(m_contesto.ParolaCercata);
    TestoSostitutivo->setText(m_contesto.ParolaSostitutiva);
    CasellaParoleIntere->setChecked(m_contesto.OpzioniTrova.paroleIntere);
    CasellaMaiuscole->setChecked(m_contesto.OpzioniTrova.maiuscoleEsatte);
    SceltaDirezione->setCurrentIndex(int(m_contesto.OpzioniTrova.direzione));
    connect(TestoDaTrovare, &QLineEdit::textChanged, this,
            [this](const QString &testo) { m_contesto.ParolaCercata = testo; });
    connect(TestoSostitutivo, &QLineEdit::textChanged, this,
            [this](const QString &testo) { m_contesto.ParolaSostitutiva = testo; });
    connect(CasellaParoleIntere, &QCheckBox::toggled, this,
            [this](bool attiva) { m_contesto.OpzioniTrova.paroleIntere = attiva; });
    connect(CasellaMaiuscole, &QCheckBox::toggled, this,
            [this](bool attiva) { m_contesto.OpzioniTrova.maiuscoleEsatte = attiva; });
    connect(SceltaDirezione, &QComboBox::currentIndexChanged, this,
            [this](int indice) { m_contesto.OpzioniTrova.direzione = Ricerca::Direzione(indice); });

    QWidget *ordine[] = {
        TestoDaTrovare,          TestoSostitutivo,    BottoneTrovaSuccessivo, BottoneSostituisci,
        BottoneSostituisciTutto, CasellaParoleIntere, CasellaMaiuscole,       SceltaDirezione,
        BottoneModoSostituisci,  BottoneSoloTrova,    BottoneChiudi};
    for (size_t i = 0; i + 1 < std::size(ordine); ++i)
        setTabOrder(ordine[i], ordine[i + 1]);
    ModoTrova();
    PosizioneFinestra::EvitaSelezione(this, m_form.Editor());
}

void FinestraTrova::Modo(QWidget *pannello, const QString &titolo, Misure misure)
{
    // The panel behind is hidden as well as covered: its buttons and access
    // keys must not act, and Tab must not walk into it.
    for (QWidget *p : {PannelloSostituisci, PannelloTrova})
        p->setVisible(p == pannello);
    pannello->raise();
    PannelloOpzioni->move(PannelloOpzioni->x(), Pixel(misure.topOpzioni));
    PannelloOpzioni->raise();
    setWindowTitle(titolo);
    setFixedSize(Pixel(6195), Pixel(misure.altezza - AltezzaCornice));
}

void FinestraTrova::ModoTrova(Misure misure)
{
    Modo(PannelloTrova, QStringLiteral("Trova"), misure);
}

void FinestraTrova::ModoSostituisci(Misure misure)
{
    Modo(PannelloSostituisci, QStringLiteral("Sostituisci"), misure);
}

void FinestraTrova::Mostra()
{
    m_contesto.DialogoTrovaAperto = true;
    m_form.MostraOccupato();
    Piattaforma::MostraSopra(this, &m_form);
    activateWindow();
    TestoDaTrovare->setFocus();
}

bool FinestraTrova::Cerca(const QString &parola, const Ricerca::OpzioniRicerca &opzioni)
{
    EditorTesto &editor = *m_form.Editor();
    const Ricerca::Parola cercata(parola, opzioni.ComeConfronto(), opzioni.delimitatori);
    Piattaforma::PuntatoreOccupato(this, true);
    bool trovata = true;
    for (;;) {
        const Ricerca::PassoRicerca passo = Ricerca::Cerca(
            editor.Text(), editor.SelLength(), cercata, opzioni.direzione, m_contesto.PosRicerca);
        if (passo.ricomincia) editor.SetSelLength(0);
        if (passo.trovata) {
            editor.SetSelStart(passo.trovata->inizio);
            editor.SetSelLength(passo.trovata->lunghezza);
            editor.ensureCursorVisible();
        }
        if (!passo.limite) break;
        const QString domanda =
            passo.limite == Ricerca::Domanda::FineTesto
                ? QStringLiteral("Raggiunta la fine del testo. Ricominciare dall'inizio?")
                : QStringLiteral("Raggiunto l'inizio del testo. Ricominciare dalla fine?");
        if (Piattaforma::MessageBox(&m_form, domanda, Piattaforma::Pulsanti::SiNo,
                                    Piattaforma::Icona::Domanda,
                                    QStringLiteral("Trova")) != Piattaforma::Risposta::Si) {
            trovata = false;
            break;
        }
    }
    Piattaforma::PuntatoreOccupato(this, false);
    return trovata;
}

void FinestraTrova::TrovaSuccessivo()
{
    if (m_contesto.SostituzioneTrova.Occupata()) return;
    Cerca(m_contesto.ParolaCercata, m_contesto.OpzioniTrova);
}

void FinestraTrova::Sostituisci()
{
    if (m_contesto.SostituzioneTrova.Occupata()) return;
    // Pressed again on the word it just wrote: writing it over itself would
    // only leave an undo step that changes nothing.
    EditorTesto *editor = m_form.Editor();
    if (editor->SelLength() > 0 && editor->SelText() == m_contesto.ParolaSostitutiva) {
        BottoneTrovaSuccessivo->setFocus();
        return;
    }
    if (editor->SostituisciSelezione(m_contesto.ParolaSostitutiva))
        m_contesto.TestoModificato = true;
    BottoneTrovaSuccessivo->setFocus();
}

void FinestraTrova::MostraSostituzione()
{
    const bool interrompibile = m_contesto.SostituzioneTrova.Interrompibile();
    for (QWidget *w : std::initializer_list<QWidget *>{
             BottoneTrovaSuccessivo, BottoneChiudi, BottoneSoloTrova, BottoneSostituisci,
             CasellaParoleIntere, CasellaMaiuscole, SceltaDirezione})
        w->setEnabled(!interrompibile);
    BottoneSostituisciTutto->setText(interrompibile ? TestoInterrompi : TestoSostituisciTutto);
}

void FinestraTrova::SostituisciTutteOInterrompi()
{
    Ricerca::SostituzioneGlobale &sostituzione = m_contesto.SostituzioneTrova;
    if (sostituzione.Interrompibile()) {
        sostituzione.Interrompi();
        MostraSostituzione();
        m_form.AzzeraAvanzamento();
        m_form.RipristinaStato();
        return;
    }
    SostituisciTutte();
}

void FinestraTrova::SostituisciTutte()
{
    // Kept apart from the dialog, which the user may close during the run.
    FinestraPrincipale &form = m_form;
    Contesto &contesto = m_contesto;
    Ricerca::SostituzioneGlobale &sostituzione = contesto.SostituzioneTrova;
    // A run that has not noticed its interruption yet still holds the text.
    if (sostituzione.Occupata()) return;
    const QString parola = contesto.ParolaCercata;
    const QString sostituto = contesto.ParolaSostitutiva;
    const Ricerca::OpzioniRicerca opzioni = contesto.OpzioniTrova;
    EditorTesto *editor = form.Editor();
    const QString testoOriginale = editor->Text();
    const qsizetype cursore = editor->SelStart();
    const Ricerca::Intervallo intervallo =
        Ricerca::IntervalloSostituzione(opzioni.direzione, cursore, testoOriginale.size());

    Piattaforma::PuntatoreOccupato(&form, true);
    form.ImpostaAvanzamento(0, intervallo.fine);
    form.ImpostaStato(QStringLiteral("Sostituzione di '") + parola + QStringLiteral("' in '") +
                      sostituto + QStringLiteral("'..."));

    QPointer<FinestraTrova> dialogo(this);
    Piattaforma::Cessione cedi(IntervalloCessione);
    bool primo = true;
    const std::optional<Ricerca::EsitoSostituzione> esito =
        sostituzione.Esegui(testoOriginale, parola, sostituto, opzioni, intervallo,
                            [&](qsizetype fatto, qsizetype lunghezza) {
                                if (primo && dialogo)
                                    MostraSostituzione(); // "I&nterrompi" from now on
                                primo = false;
                                form.ImpostaAvanzamento(fatto, lunghezza);
                                cedi();
                            });
    if (primo && dialogo) MostraSostituzione();
    if (esito->sostituzioni > 0) contesto.TestoModificato = true;

    qsizetype sostituite = esito->sostituzioni;
    if (esito->interrotto) {
        const Piattaforma::Risposta risposta = Piattaforma::MessageBox(
            &form,
            QStringLiteral(
                "Sostituzione interrotta! Si desiderano mantenere le modifiche apportate?"),
            Piattaforma::Pulsanti::SiNo, Piattaforma::Icona::Domanda,
            QStringLiteral("Sostituisci tutto"));
        // No: the editor still holds the text as it was before the run.
        if (risposta == Piattaforma::Risposta::Si) editor->SostituisciTesto(esito->testo);
        else
            sostituite = 0;
    } else {
        Piattaforma::MessageBox(&form, QStringLiteral("Operazione completata"),
                                Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione,
                                QStringLiteral("Sostituisci tutto  1"));
        editor->SostituisciTesto(esito->testo);
        contesto.TestoModificato = true;
    }

    editor->SetSelStart(cursore);
    Piattaforma::PuntatoreOccupato(&form, false);
    sostituzione.Termina();
    if (dialogo) MostraSostituzione();
    // Closed during the run: the main window waited for the run to end.
    form.MostraOccupato();
    form.AzzeraAvanzamento();
    // The message box says only that it ended: how many stays in the status
    // bar, which is idle again when nothing was replaced.
    if (sostituite > 0)
        form.ImpostaStato(TestoSostituite(sostituite));
    else
        form.RipristinaStato();
}

QString FinestraTrova::TestoSostituite(qsizetype sostituite)
{
    if (sostituite == 1) return QStringLiteral("Sostituisci tutto: 1 sostituzione");
    return QStringLiteral("Sostituisci tutto: %1 sostituzioni").arg(sostituite);
}

void FinestraTrova::Chiudi()
{
    hide();
    m_contesto.DialogoTrovaAperto = false;
    // While a replace-all is still writing, the main window waits for it: a
    // text opened or typed meanwhile would be overwritten by its result.
    m_form.MostraOccupato();
    if (m_contesto.Occupato()) return;
    m_form.activateWindow();
    m_form.Editor()->setFocus();
}

void FinestraTrova::SoloTrova()
{
    ModoTrova();
    TestoDaTrovare->setFocus();
}

void FinestraTrova::PassaASostituisci()
{
    ModoSostituisci(MisureSostituisciDaTrova);
}

void FinestraTrova::closeEvent(QCloseEvent *e)
{
    Chiudi();
    e->ignore();
}

void FinestraTrova::keyPressEvent(QKeyEvent *e)
{
    // Esc is "&Chiudi", while that can be clicked.
    if (e->key() == Qt::Key_Escape) {
        if (BottoneChiudi->isEnabled()) Chiudi();
        return;
    }
    QDialog::keyPressEvent(e);
}
