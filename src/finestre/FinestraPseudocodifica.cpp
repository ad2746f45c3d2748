#include "FinestraPseudocodifica.h"

#include "finestre/EditorTesto.h"
#include "finestre/FinestraParole.h"
#include "finestre/FinestraPrincipale.h"
#include "nucleo/Contesto.h"
#include "nucleo/pseudocodifica/Stima.h"
#include "piattaforma/Icone.h"
#include "piattaforma/PosizioneFinestra.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
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

} // namespace

FinestraPseudocodifica::FinestraPseudocodifica(FinestraPrincipale &form)
    : QDialog(nullptr), m_contesto(form.Condiviso()), m_form(form)
{
    setObjectName(QStringLiteral("FinestraPseudocodifica"));
    setWindowTitle(QStringLiteral("Pseudocodificazione in corso..."));
    setWindowIcon(Icone::Pseudo());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(Pixel(6300), Pixel(3990));
    Orologio = OraDelGiorno;

    auto etichetta = [this](const char *nome, int x, int y, int w, int h, const QString &testo) {
        auto *l = new QLabel(testo, this);
        l->setObjectName(QString::fromLatin1(nome));
        l->setTextFormat(Qt::PlainText);
        l->setGeometry(Pixel(x), Pixel(y), Pixel(w), Pixel(h));
        return l;
    };
    auto pulsante = [this](const char *nome, int x, int y, int w, const char *testo, auto gestore) {
        auto *b = new QPushButton(QString::fromUtf8(testo), this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setGeometry(Pixel(x), Pixel(y), Pixel(w), Pixel(AltezzaPulsante));
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

    Image1 = etichetta("Image1", 240, 360, 480, 480, {});
    Image1->setPixmap(Icone::Pseudo().pixmap(Pixel(480), Pixel(480)));
    Label1 = etichetta("Label1", 840, 240, 1335, Altezza, QStringLiteral("Parola corrente:"));
    EtichettaParola = etichetta("EtichettaParola", 2160, 240, 3975, Altezza, {});
    Label3 = etichetta("Label3", 840, 720, 1455, Altezza, QStringLiteral("Da sostituire con:"));
    EtichettaSostituto = etichetta("EtichettaSostituto", 2160, 720, 3975, Altezza, {});
    Label2 = etichetta("Label2", 0, 1320, 2295, 375,
                       QStringLiteral("Per sostituire tutte le parole nell'elenco Sostituzioni:"));
    Label2->setWordWrap(true);
    Command5 = pulsante("Command5", 2040, 1320, 2535, "&Avvia pseudocod. automatica",
                        &FinestraPseudocodifica::Command5_Click);
    // At the end of the list the automatic run's place shows what is left to translate.
    Command8 = pulsante("Command8", 2040, 1320, 2535, "&Parole non tradotte...",
                        [this] { FinestraParole::Mostra(m_form, this); });
    Command8->hide();
    Command7 = pulsante("Command7", 4680, 1320, 1575, "Ri&duci a icona",
                        &FinestraPseudocodifica::Command7_Click);
    Command1 = pulsante("Command1", 0, 2040, 1215, "&Sostituisci",
                        &FinestraPseudocodifica::Command1_Click);
    Command2 = pulsante("Command2", 1440, 2040, 1215, "S&uccessivo",
                        &FinestraPseudocodifica::Command2_Click);
    Command6 = pulsante("Command6", 3000, 2040, 1695, "Sa&lta questa parola",
                        &FinestraPseudocodifica::Command6_Click);
    Command3 = pulsante("Command3", 5040, 2040, 1215, "Sostituisci &tutto",
                        &FinestraPseudocodifica::Command3_Click);
    Label5 = etichetta("Label5", 0, 2520, 2655, Altezza, QStringLiteral("Totale pseudocodifica:"));
    ProgressBar2 = barra("ProgressBar2", 2760);
    BottoneInterrompi = pulsante("BottoneInterrompi", 5040, 2760, 1215, "&Interrompi",
                                 &FinestraPseudocodifica::InterrompiORiprendi);
    Label4 = etichetta("Label4", 0, 3120, 4335, Altezza, QStringLiteral("Parola corrente:"));
    Command4 =
        pulsante("Command4", 5040, 3240, 1215, "&Chiudi", &FinestraPseudocodifica::Command4_Click);
    ProgressBar1 = barra("ProgressBar1", 3360);
    Label6 = etichetta("Label6", 0, 3720, 1335, Altezza, QStringLiteral("Tempo rimanente:"));
    EtichettaTempo =
        etichetta("EtichettaTempo", 1440, 3720, 1335, Altezza, QStringLiteral("Indeterminato"));
    m_commento = FinestraPrincipale::TestoInattivo();
    Label7 = etichetta("Label7", 2880, 3720, 3375, Altezza, m_commento);

    // Enter is "&Sostituisci"; the automatic run has the focus first.
    Command1->setDefault(true);
    QWidget *ordine[] = {Command5, Command8, Command7,          Command1, Command2,
                         Command6, Command3, BottoneInterrompi, Command4};
    for (size_t i = 0; i + 1 < std::size(ordine); ++i)
        setTabOrder(ordine[i], ordine[i + 1]);
    Command5->setFocus();
    PosizioneFinestra::EvitaSelezione(this, m_form.Editor());
}

FinestraPseudocodifica::~FinestraPseudocodifica() = default;

void FinestraPseudocodifica::ImpostaFase(Fase fase)
{
    m_fase = fase;
    const bool cammino = fase == Fase::InCammino;
    for (QPushButton *b : {Command1, Command2, Command3, Command5, Command6})
        b->setEnabled(cammino);
    Command4->setEnabled(fase != Fase::Automatica);
    BottoneInterrompi->setEnabled(fase == Fase::Automatica || fase == Fase::InPausa);
    BottoneInterrompi->setText(fase == Fase::InPausa ? QStringLiteral("&Riprendi")
                                                     : QStringLiteral("&Interrompi"));
    const bool finita = fase == Fase::Terminata;
    Command5->setVisible(!finita);
    Command8->setVisible(finita);
}

void FinestraPseudocodifica::MostraVoce()
{
    const VoceSostituzione voce = m_percorso.Voce();
    m_contesto.VoceSost = voce;
    EtichettaParola->setText(voce.Trova);
    EtichettaSostituto->setText(voce.Sostituisci);
    ProgressBar2->setValue(std::min(m_percorso.VoceCorrente() - 1, ProgressBar2->maximum()));
}

void FinestraPseudocodifica::MostraSelezione()
{
    EditorTesto *editor = m_form.Editor();
    if (m_percorso.LunghezzaSelezione() > 0) {
        editor->SetSelStart(m_percorso.InizioSelezione());
        editor->SetSelLength(m_percorso.LunghezzaSelezione());
        editor->ensureCursorVisible();
        // A later search of the find dialog goes on from this occurrence.
        m_contesto.PosRicerca = Ricerca::PosizioneRicerca::Su(m_percorso.InizioSelezione());
    } else {
        editor->SetSelStart(1);
        editor->SetSelLength(0);
    }
}

void FinestraPseudocodifica::ScriviNellEditore(const QString &testo)
{
    m_form.Editor()->SostituisciTesto(testo);
}

void FinestraPseudocodifica::Conclusione(const QString &testo)
{
    EtichettaParola->setText(testo);
    EtichettaSostituto->setText(testo);
    setWindowTitle(testo);
}

void FinestraPseudocodifica::Avvia()
{
    QVector<VoceSostituzione> voci;
    for (qint32 k = 1; k <= m_contesto.NumSostituzioni; ++k) {
        VoceSostituzione voce;
        m_contesto.Liste.LeggiVoce(k, voce);
        voci.append(voce);
    }
    m_percorso = Pseudocodifica::Percorso(voci, m_contesto.Regole());
    const int numero = m_percorso.NumeroVoci();
    ProgressBar2->setRange(0, std::max(numero, 1));
    ProgressBar2->setValue(0);
    m_form.ImpostaAvanzamento(0, numero);
    m_form.ImpostaStato(QStringLiteral("Controllo testo in corso, attendere..."));

    if (Piattaforma::MessageBox(
            &m_form,
            QStringLiteral("Verrà effettuato un controllo sul testo. Premere OK per iniziare..."),
            Piattaforma::Pulsanti::OKAnnulla,
            Piattaforma::Icona::Informazione) != Piattaforma::Risposta::OK) {
        m_form.RipristinaStato();
        m_form.AzzeraAvanzamento();
        ImpostaFase(Fase::Annullata);
        Conclusione(Annullata);
        ProgressBar2->setValue(0);
        Piattaforma::PuntatoreOccupato(&m_form, false);
        return;
    }

    Piattaforma::PuntatoreOccupato(&m_form, true);
    BottoneInterrompi->setEnabled(false);
    // The check yields now and then, so the main window is out of reach from here on.
    m_form.setEnabled(false);
    QPointer<FinestraPseudocodifica> finestra(this);
    Piattaforma::Cessione cedi(IntervalloCessione);
    Pseudocodifica::Osservatore oss;
    oss.avanzamento = [&](qsizetype, qsizetype) {
        cedi();
        return !finestra.isNull();
    };
    oss.inizioVoce = [&](int k) {
        ProgressBar2->setValue(std::min(k - 1, ProgressBar2->maximum()));
        m_form.ImpostaAvanzamento(std::min(k - 1, std::max(numero, 1)), numero);
    };
    oss.fineVoce = [&](int, qsizetype) {
        cedi();
        return !finestra.isNull();
    };
    const QString testo = m_form.Editor()->Text();
    const Pseudocodifica::Esito esito = m_percorso.Controlla(testo, oss);
    if (!finestra) return;
    if (esito == Pseudocodifica::Esito::Trovata) {
        Piattaforma::PuntatoreOccupato(&m_form, false);
        m_form.RipristinaStato();
        m_form.AzzeraAvanzamento();
        MostraVoce();
        MostraSelezione();
        ImpostaFase(Fase::InCammino);
        return;
    }
    Piattaforma::MessageBox(
        &m_form,
        QStringLiteral("Non sono presenti parole dell'elenco Sostituzioni in questo testo."),
        Piattaforma::Pulsanti::OK, Piattaforma::Icona::Esclamazione);
    m_form.RipristinaStato();
    m_form.AzzeraAvanzamento();
    ImpostaFase(Fase::NienteDaFare);
    Conclusione(Terminata);
    ProgressBar2->setValue(ProgressBar2->maximum());
    Piattaforma::PuntatoreOccupato(&m_form, false);
}

void FinestraPseudocodifica::MostraEsito(Pseudocodifica::Esito esito)
{
    switch (esito) {
    case Pseudocodifica::Esito::Trovata:
    case Pseudocodifica::Esito::Caricata:
        MostraVoce();
        MostraSelezione();
        Piattaforma::PuntatoreOccupato(this, false);
        break;
    case Pseudocodifica::Esito::FineElenco:
        FineElenco();
        break;
    case Pseudocodifica::Esito::Interrotta:
        break;
    }
}

void FinestraPseudocodifica::Command1_Click()
{
    const std::optional<Pseudocodifica::Modifica> modifica = m_percorso.Sostituisci();
    if (!modifica) return;
    EditorTesto *editor = m_form.Editor();
    editor->SetSelStart(modifica->inizio);
    editor->SetSelLength(modifica->lunghezza);
    if (editor->SostituisciSelezione(modifica->testo)) m_contesto.TestoModificato = true;
}

void FinestraPseudocodifica::Command2_Click()
{
    Piattaforma::PuntatoreOccupato(this, true);
    MostraEsito(m_percorso.Successivo(m_form.Editor()->Text()));
}

void FinestraPseudocodifica::Command6_Click()
{
    Piattaforma::PuntatoreOccupato(this, true);
    MostraEsito(m_percorso.Salta(m_form.Editor()->Text()));
}

void FinestraPseudocodifica::Command7_Click()
{
    if (!m_ridotta) {
        showMinimized();
        m_form.showMinimized();
        Command7->setText(QStringLiteral("Ripristi&na"));
    } else {
        m_form.showNormal();
        Command7->setText(QStringLiteral("Ri&duci a icona"));
        activateWindow();
        setFocus();
    }
    m_ridotta = !m_ridotta;
}

void FinestraPseudocodifica::Command4_Click()
{
    close();
}

void FinestraPseudocodifica::FineElenco()
{
    ProgressBar2->setValue(ProgressBar2->maximum());
    Piattaforma::MessageBox(this, QStringLiteral("Pseudocodificazione terminata."),
                            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione);
    ImpostaFase(Fase::Terminata);
    Conclusione(Terminata);
    Piattaforma::PuntatoreOccupato(this, false);
}

Pseudocodifica::Osservatore
FinestraPseudocodifica::OsservatoreScansione(Piattaforma::Cessione &cedi,
                                             const QPointer<FinestraPseudocodifica> &finestra)
{
    Pseudocodifica::Osservatore oss;
    oss.passo = Ricerca::PassoAvanzamentoFinestra;
    oss.avanzamento = [this, &cedi, finestra](qsizetype posizione, qsizetype) {
        if (posizione <= ProgressBar1->maximum()) ProgressBar1->setValue(int(posizione));
        cedi();
        return finestra && m_contesto.InterruzionePseudo == 0 && !m_chiusa;
    };
    return oss;
}

void FinestraPseudocodifica::AvviaBarraTesto(qsizetype lunghezza)
{
    ProgressBar1->setRange(0, int(std::clamp<qsizetype>(lunghezza, 1, INT_MAX)));
    ProgressBar1->setValue(0);
}

void FinestraPseudocodifica::Command3_Click()
{
    Piattaforma::PuntatoreOccupato(this, true);
    // The walking commands wait until this scan is over; closing stops it.
    ImpostaFase(Fase::Automatica);
    BottoneInterrompi->setEnabled(false);
    Command4->setEnabled(true);
    QPointer<FinestraPseudocodifica> finestra(this);
    QString testo = m_form.Editor()->Text();
    Piattaforma::Cessione cedi(IntervalloCessione);
    Pseudocodifica::Osservatore oss = OsservatoreScansione(cedi, finestra);
    oss.inizioVoce = [&](int) { AvviaBarraTesto(testo.size()); };
    m_contesto.InterruzionePseudo = 0;
    m_inCorsa = true;
    qsizetype sostituzioni = 0;
    const Pseudocodifica::Esito esito = m_percorso.SostituisciTutto(testo, oss, &sostituzioni);
    if (!finestra) return;
    m_inCorsa = false;
    if (m_chiusa) {
        deleteLater();
        return;
    }
    if (esito != Pseudocodifica::Esito::Interrotta) {
        ProgressBar1->setValue(ProgressBar1->maximum());
        if (sostituzioni > 0) ScriviNellEditore(testo);
        m_contesto.TestoModificato = true;
    }
    ImpostaFase(Fase::InCammino);
    MostraEsito(esito);
}

void FinestraPseudocodifica::Command5_Click()
{
    QPointer<FinestraPseudocodifica> finestra(this);
    ImpostaFase(Fase::Automatica);
    m_contesto.InterruzionePseudo = 0;
    // The text is kept here between words and written to the editor once,
    // when the run ends or stops (and only if a word was replaced): the
    // editor then holds what word-by-word writes would have left in it.
    QString lavoro = m_form.Editor()->Text();
    bool cambiato = false;
    // One yield clock for the whole run: clicks are handled every few
    // milliseconds of work, however short each word's scan is.
    Piattaforma::Cessione cedi(IntervalloCessione);
    double t1 = 0;
    Pseudocodifica::Osservatore oss = OsservatoreScansione(cedi, finestra);
    oss.inizioVoce = [&](int) {
        AvviaBarraTesto(lavoro.size());
        t1 = Orologio();
    };
    oss.fineVoce = [&](int, qsizetype sostituzioni) {
        const double t2 = Orologio();
        cambiato = cambiato || sostituzioni > 0;
        m_contesto.TestoModificato = true;
        ProgressBar1->setValue(ProgressBar1->maximum());
        const qint16 E = Stima::TempoRimanente(
            t1, t2, qint64(m_percorso.NumeroVoci()) - m_percorso.VoceCorrente() + 1);
        EtichettaTempo->setText(Stima::TestoTempo(E));
        EtichettaTempo->repaint();
        m_commento = Stima::Commento(E, m_commento);
        Label7->setText(m_commento);
        Label7->repaint();
        ProgressBar2->setValue(std::min(m_percorso.VoceCorrente() - 1, ProgressBar2->maximum()));
        if (m_percorso.ElencoFinito()) return true;
        MostraVoce();
        EtichettaParola->repaint();
        EtichettaSostituto->repaint();
        // At least one turn of the event loop between two words.
        QCoreApplication::processEvents();
        return finestra && m_contesto.InterruzionePseudo == 0 && !m_chiusa;
    };
    m_inCorsa = true;
    const Pseudocodifica::Esito esito = m_percorso.Automatica(lavoro, oss);
    if (!finestra) return;
    m_inCorsa = false;

    if (esito == Pseudocodifica::Esito::Interrotta) {
        // The interrupted word's changes are dropped; earlier words' stay.
        // The paused state shows before the text is written back, which may take long.
        if (!m_chiusa) repaint();
        if (cambiato) {
            ScriviNellEditore(lavoro);
            m_form.Editor()->SetSelStart(1);
        }
        if (m_chiusa) {
            deleteLater();
            return;
        }
        Piattaforma::MessageBox(this, QStringLiteral("Pseudocodificazione interrotta dall'utente."),
                                Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione);
        return;
    }
    if (cambiato) ScriviNellEditore(lavoro);
    if (m_chiusa) {
        deleteLater();
        return;
    }
    Piattaforma::MessageBox(this, QStringLiteral("Pseudocodificazione terminata."),
                            Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione);
    m_commento = FinestraPrincipale::TestoInattivo();
    Label7->setText(m_commento);
    ImpostaFase(Fase::Terminata);
    Conclusione(Terminata);
    Piattaforma::PuntatoreOccupato(this, false);
}

void FinestraPseudocodifica::InterrompiORiprendi()
{
    if (m_fase == Fase::Automatica) {
        ImpostaFase(Fase::InPausa);
        m_contesto.InterruzionePseudo = 1;
        // The click shows at once, even if the run then takes a while to stop.
        BottoneInterrompi->repaint();
        Command4->repaint();
    } else if (m_fase == Fase::InPausa) {
        m_contesto.InterruzionePseudo = 0;
        if (m_inCorsa) {
            // Resumed before the run noticed the interruption: it simply goes on.
            ImpostaFase(Fase::Automatica);
        } else {
            Command5_Click();
        }
    }
}

void FinestraPseudocodifica::keyPressEvent(QKeyEvent *e)
{
    // No cancel button: Esc does nothing.
    if (e->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(e);
}

void FinestraPseudocodifica::closeEvent(QCloseEvent *e)
{
    m_form.setEnabled(true);
    if (m_form.isMinimized()) m_form.showNormal();
    e->accept();
    if (m_inCorsa) {
        // The scan stops at its next position; the run ends without a word.
        m_chiusa = true;
        m_contesto.InterruzionePseudo = 1;
        hide();
        return;
    }
    deleteLater();
}
