// The find/replace dialog, the replace-all run and the edit-menu search commands.

#include "aiuti/AmbienteProva.h"
#include "aiuti/Tabella.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraTrova.h"
#include "nucleo/Contesto.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>

using namespace Piattaforma;

namespace {
using Messaggi = QVector<Copione::Messaggio>;
const Copione::Messaggio Completata{QStringLiteral("Operazione completata"), Pulsanti::OK,
                                    Icona::Informazione, QStringLiteral("Sostituisci tutto  1")};
const QString Righe = QStringLiteral("uno due\r\n").repeated(500);
} // namespace

class TestTrova : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;

    FinestraPrincipale &Prepara(const QString &testo)
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        FinestraPrincipale &f = m_amb->Avvia();
        f.Editor()->SetText(testo);
        f.DialogoTrova()->IntervalloCessione = 0;
        return f;
    }

    // A long replace-all of "uno" with "1", ready to start.
    FinestraTrova *PreparaCorsaLunga()
    {
        FinestraTrova *d = Prepara(Righe).DialogoTrova();
        d->TestoDaTrovare->setText(QStringLiteral("uno"));
        d->TestoSostitutivo->setText(QStringLiteral("1"));
        return d;
    }

    // Replace-all through the dialog's button, the caret at `k`.
    QString SostituisciTutti(FinestraPrincipale &f, const QString &parola, const QString &sostituto,
                             int direzione, qsizetype k, bool intere = false)
    {
        FinestraTrova *d = f.DialogoTrova();
        d->TestoDaTrovare->setText(parola);
        d->TestoSostitutivo->setText(sostituto);
        d->CasellaParoleIntere->setChecked(intere);
        d->SceltaDirezione->setCurrentIndex(direzione);
        f.Editor()->SetSelStart(k);
        Copione::RispondiMessaggio(Risposta::OK);
        d->BottoneSostituisciTutto->click();
        // Any other message makes the caller's comparison fail and shows it.
        const Messaggi messaggi = Copione::Messaggi();
        if (messaggi != Messaggi{Completata})
            return QStringLiteral("messaggi inattesi: ") +
                   Copione::TestiMessaggi(messaggi).join(QStringLiteral(" / "));
        return f.Editor()->Text();
    }

private Q_SLOTS:
    void cleanup()
    {
        VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
    }

    void sostituisciTuttoCompletato()
    {
        FinestraPrincipale &f = Prepara(QStringLiteral("a a a a\r\n"));
        const QString atteso = QStringLiteral("bbb bbb bbb bbb\r\n");
        QCOMPARE(SostituisciTutti(f, QStringLiteral("a"), QStringLiteral("bbb"), 2, 3), atteso);
        QCOMPARE(f.Editor()->SelStart(), 3); // the caret goes back to where it was
        QVERIFY(m_amb->Condiviso().TestoModificato);
        // The box only says it ended; the count is in the status bar.
        QCOMPARE(f.TestoStato(), QStringLiteral("Sostituisci tutto: 4 sostituzioni"));

        // Nothing found: still completed, and the text counts as modified.
        m_amb->Condiviso().TestoModificato = false;
        QCOMPARE(SostituisciTutti(f, QStringLiteral("zz"), QStringLiteral("y"), 2, 0), atteso);
        QVERIFY(m_amb->Condiviso().TestoModificato);
        QCOMPARE(f.TestoStato(), FinestraPrincipale::TestoInattivo()); // none replaced
        // An empty word ends at once and leaves the text intact.
        QCOMPARE(SostituisciTutti(f, QString(), QStringLiteral("y"), 2, 0), atteso);
        QCOMPARE(Avanzamento(f)->value(), 0);
        QCOMPARE(f.TestoStato(), FinestraPrincipale::TestoInattivo());
    }

    void sostituisciTuttoCampi_data()
    {
        // The dialog's direction, whole-word box and the caret reach the
        // replace-all (its rules are checked in test_ricerca): "ab" becomes
        // "X" in "ab.ab(ab\r\nxab abx ab zz".
        Colonne<int, int, bool, QString>("direzione", "caret", "intere", "atteso");
        Riga("Giù da 15, parole intere", 1, 15, true, "ab.ab(ab\r\nxab abx X zz");
        Riga("Su da 4", 0, 4, false, "X.ab(ab\r\nxab abx ab zz");
    }
    void sostituisciTuttoCampi()
    {
        const auto [direzione, caret, intere] =
            DatiRiga<int, int, bool>("direzione", "caret", "intere");
        FinestraPrincipale &f = Prepara(QStringLiteral("ab.ab(ab\r\nxab abx ab zz"));
        QTEST(SostituisciTutti(f, QStringLiteral("ab"), QStringLiteral("X"), direzione, caret,
                               intere),
              "atteso");
    }

    void interruzione()
    {
        FinestraTrova *d = PreparaCorsaLunga();
        FinestraPrincipale &f = m_amb->Finestra();
        f.Editor()->SetSelStart(5);
        m_amb->Condiviso().TestoModificato = false;
        // At the first yield: the controls are disabled, then "I&nterrompi" is clicked.
        QString stati; // 1 enabled, 0 disabled
        QTimer::singleShot(0, d, [&] {
            QTimer::singleShot(0, d,
                               [&] { d->BottoneSostituisciTutto->click(); }); // at the next yield
            for (QWidget *w : std::initializer_list<QWidget *>{
                     d->BottoneTrovaSuccessivo, d->BottoneSostituisci, d->BottoneChiudi,
                     d->BottoneSoloTrova, d->CasellaParoleIntere, d->CasellaMaiuscole,
                     d->SceltaDirezione})
                stati += QLatin1Char(w->isEnabled() ? '1' : '0');
            stati += QLatin1Char(' ') + d->BottoneSostituisciTutto->text();
        });
        Copione::RispondiMessaggio(Risposta::No);
        d->BottoneSostituisciTutto->click();
        QCOMPARE(stati, QStringLiteral("0000000 I&nterrompi"));
        QCOMPARE(Copione::Messaggi(),
                 (Messaggi{{QStringLiteral("Sostituzione interrotta! Si desiderano mantenere le "
                                           "modifiche apportate?"),
                            Pulsanti::SiNo, Icona::Domanda, QStringLiteral("Sostituisci tutto")}}));
        QCOMPARE(f.Editor()->Text(), Righe);
        QCOMPARE(f.Editor()->SelStart(), 5);
        QVERIFY(m_amb->Condiviso().TestoModificato); // some were replaced before the click
        QCOMPARE(d->BottoneSostituisciTutto->text(), QStringLiteral("S&ostituisci tutto"));
        QVERIFY(d->BottoneTrovaSuccessivo->isEnabled());
        QVERIFY(!m_amb->Condiviso().SostituzioneTrova.Occupata());

        // Yes keeps what was done: the text starts replaced and ends as it was.
        QTimer::singleShot(
            0, d, [&] { QTimer::singleShot(0, d, [&] { d->BottoneSostituisciTutto->click(); }); });
        Copione::RispondiMessaggio(Risposta::Si);
        d->BottoneSostituisciTutto->click();
        Copione::Messaggi();
        QVERIFY(f.Editor()->Text().startsWith(QStringLiteral("1 due")));
        QVERIFY(f.Editor()->Text().endsWith(QStringLiteral("uno due\r\n")));
    }

    void chiusoDuranteLaCorsa()
    {
        FinestraTrova *d = PreparaCorsaLunga();
        FinestraPrincipale &f = m_amb->Finestra();
        Comando(f, "azioneSostituisciParola")->trigger();
        // Closed while replacing: hidden at once, the run goes on to its end,
        // and the main window waits for it before taking input again.
        bool principaleAbilitata = true;
        QTimer::singleShot(0, d, [&] {
            d->close();
            principaleAbilitata = f.isEnabled();
        });
        Copione::RispondiMessaggio(Risposta::OK);
        d->BottoneSostituisciTutto->click();
        QCOMPARE(Copione::Messaggi(), Messaggi{Completata});
        QVERIFY(!principaleAbilitata);
        QVERIFY(!d->isVisible());
        QVERIFY(f.isEnabled());
        QVERIFY(f.Editor()->Text().startsWith(QStringLiteral("1 due\r\n1 due")));
    }

    void dialogoEModi()
    {
        FinestraPrincipale &f = Prepara(QStringLiteral("If a If b\r\n"));
        Comando(f, "azioneSostituisciParola")->trigger();
        FinestraTrova *d = f.DialogoTrova();
        QVERIFY(d->isVisible());
        QVERIFY(m_amb->Condiviso().Occupato());
        QVERIFY(!f.isEnabled());
        QCOMPARE(d->windowTitle(), QStringLiteral("Sostituisci"));
        QCOMPARE(d->SceltaDirezione->currentText(), QStringLiteral("Tutte"));
        const int altezzaMenu = d->height();
        d->BottoneSoloTrova->click();
        QCOMPARE(d->windowTitle(), QStringLiteral("Trova"));
        d->BottoneModoSostituisci->click();
        QVERIFY(qAbs(Twip(altezzaMenu - d->height()) - 200) <= 15);

        // "&Sostituisci" right after a find replaces that word and keeps it selected.
        d->TestoDaTrovare->setText(QStringLiteral("if"));
        d->TestoSostitutivo->setText(QStringLiteral("Se"));
        d->CasellaParoleIntere->setChecked(true);
        d->BottoneTrovaSuccessivo->click();
        QCOMPARE(f.Editor()->SelText(), QStringLiteral("If"));
        d->BottoneSostituisci->click();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("Se a If b\r\n"));
        QCOMPARE(f.Editor()->SelText(), QStringLiteral("Se"));
        QVERIFY(m_amb->Condiviso().TestoModificato);
        d->BottoneTrovaSuccessivo->click();
        QCOMPARE(f.Editor()->SelStart(), 5);
        // A selection made by hand is replaced too.
        f.Editor()->SetSelStart(0);
        f.Editor()->SetSelLength(1);
        d->BottoneSostituisci->click();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("See a If b\r\n"));

        // The close box only hides it; everything stays for the next time.
        d->close();
        QVERIFY(!d->isVisible());
        QVERIFY(f.isEnabled());
        Comando(f, "azioneTrova")->trigger();
        QCOMPARE(d->TestoDaTrovare->text(), QStringLiteral("if"));
        QCOMPARE(d->TestoSostitutivo->text(), QStringLiteral("Se"));
        QVERIFY(d->CasellaParoleIntere->isChecked());
        QCOMPARE(d->windowTitle(), QStringLiteral("Trova"));
        d->BottoneChiudi->click();
        QVERIFY(f.isEnabled());
    }

    // "&Sostituisci" pressed once or again on the word it just wrote: one undo
    // step a replacement, and the first Ctrl+Z undoes the last one.
    void sostituisciUnPassoDiAnnulla_data()
    {
        QTest::addColumn<int>("clic");
        Riga("una volta", 1);
        Riga("due volte", 2);
        Riga("tre volte", 3);
    }
    void sostituisciUnPassoDiAnnulla()
    {
        QFETCH(int, clic);
        const QString testo = QStringLiteral("Dim a\r\nDim b\r\n");
        FinestraPrincipale &f = Prepara(testo);
        Comando(f, "azioneSostituisciParola")->trigger();
        FinestraTrova *d = f.DialogoTrova();
        d->TestoDaTrovare->setText(QStringLiteral("Dim"));
        d->TestoSostitutivo->setText(QStringLiteral("Dichiara"));
        d->BottoneTrovaSuccessivo->click();
        for (int i = 0; i < clic; ++i)
            d->BottoneSostituisci->click();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("Dichiara a\r\nDim b\r\n"));
        d->BottoneChiudi->click();
        Comando(f, "azioneAnnulla")->trigger();
        QCOMPARE(f.Editor()->Text(), testo);
        QVERIFY(!f.Editor()->document()->isUndoAvailable()); // that was the only step
    }

    // Esc is "&Chiudi": the dialog hides and the main window takes input again;
    // while a replace-all runs (Chiudi disabled) it does nothing.
    void escChiude()
    {
        FinestraPrincipale &f = Prepara(QStringLiteral("a\r\n"));
        Comando(f, "azioneTrova")->trigger();
        FinestraTrova *d = f.DialogoTrova();
        QVERIFY(d->isVisible());
        QTest::keyClick(d->TestoDaTrovare, Qt::Key_Escape);
        QVERIFY(!d->isVisible());
        QVERIFY(f.isEnabled());
        QVERIFY(!m_amb->Condiviso().Occupato());
    }

    void rigaSostituzioneSoloInModoSostituisci_data()
    {
        // "nellaRiga": whether the focus reached the replacement row.
        Colonne<bool, Qt::Key, Qt::KeyboardModifier, int, QString, bool>(
            "sostituisci", "tasto", "modificatore", "volte", "atteso", "nellaRiga");
        const char *intatto = "ab ab\r\n";
        const auto alt = Qt::AltModifier, nessuno = Qt::NoModifier;
        // In find mode the covered row takes no key at all.
        Riga("Trova, Alt+O", false, Qt::Key_O, alt, 1, intatto, false);
        Riga("Trova, Alt+S", false, Qt::Key_S, alt, 1, intatto, false);
        Riga("Trova, Alt+R", false, Qt::Key_R, alt, 1, intatto, false);
        Riga("Trova, Tab", false, Qt::Key_Tab, nessuno, 12, intatto, false);
        Riga("Sostituisci, Alt+O", true, Qt::Key_O, alt, 1, "Z Z\r\n", false);
        Riga("Sostituisci, Alt+S", true, Qt::Key_S, alt, 1, "Z ab\r\n", false);
        Riga("Sostituisci, Alt+R", true, Qt::Key_R, alt, 1, intatto, true);
        Riga("Sostituisci, Tab", true, Qt::Key_Tab, nessuno, 12, intatto, true);
    }
    void rigaSostituzioneSoloInModoSostituisci()
    {
        const auto [sostituisci, tasto, modificatore, volte] =
            DatiRiga<bool, Qt::Key, Qt::KeyboardModifier, int>("sostituisci", "tasto",
                                                               "modificatore", "volte");
        FinestraPrincipale &f = Prepara(QStringLiteral("ab ab\r\n"));
        Comando(f, sostituisci ? "azioneSostituisciParola" : "azioneTrova")->trigger();
        FinestraTrova *d = f.DialogoTrova();
        QTRY_COMPARE(QApplication::activeWindow(), d);
        d->TestoDaTrovare->setText(QStringLiteral("ab"));
        d->TestoSostitutivo->setText(QStringLiteral("Z"));
        f.Editor()->SetSelStart(0);
        f.Editor()->SetSelLength(2);
        if (sostituisci && tasto == Qt::Key_O) Copione::RispondiMessaggio(Risposta::OK);
        bool raggiunta = false;
        for (int i = 0; i < volte; ++i) {
            QTest::keyClick(QApplication::focusWidget(), tasto, modificatore);
            raggiunta =
                raggiunta || d->PannelloSostituisci->isAncestorOf(QApplication::focusWidget());
        }
        // A button's access key clicks it after a short animation: wait until
        // no button is down (the click then has run to its end).
        const QList<QPushButton *> bottoni = d->findChildren<QPushButton *>();
        QTRY_VERIFY(std::none_of(bottoni.begin(), bottoni.end(),
                                 [](QPushButton *b) { return b->isDown(); }));
        Copione::Messaggi();
        QTEST(f.Editor()->Text(), "atteso");
        QTEST(raggiunta, "nellaRiga");
        QCOMPARE(d->windowTitle(),
                 sostituisci ? QStringLiteral("Sostituisci") : QStringLiteral("Trova"));
    }

    void nonCopreLaParolaTrovata()
    {
        FinestraPrincipale &f =
            Prepara(QStringLiteral("riga\r\nriga\r\nbersaglio\r\nbersaglio\r\nriga\r\n"));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        Comando(f, "azioneTrova")->trigger();
        FinestraTrova *d = f.DialogoTrova();
        d->TestoDaTrovare->setText(QStringLiteral("bersaglio"));
        // The two ends of the selection on the screen.
        auto estremi = [&f] {
            QTextCursor inizio = f.Editor()->textCursor();
            inizio.setPosition(inizio.selectionStart());
            const QWidget *area = f.Editor()->viewport();
            return QList<QPoint>{area->mapToGlobal(f.Editor()->cursorRect(inizio).center()),
                                 area->mapToGlobal(f.Editor()->cursorRect().center())};
        };
        d->BottoneTrovaSuccessivo->click();
        QCoreApplication::processEvents();
        QCOMPARE(f.Editor()->SelStart(), 12);
        // The user puts the dialog over the word; the next word found is the
        // one on the line below.
        d->move(estremi()[0] - QPoint(d->width() / 2, d->height() / 2));
        QCoreApplication::processEvents();
        QVERIFY(d->frameGeometry().contains(estremi()[0]));
        d->BottoneTrovaSuccessivo->click();
        QCoreApplication::processEvents();
        QCOMPARE(f.Editor()->SelStart(), 23);
        for (const QPoint &p : estremi())
            QVERIFY2(!d->frameGeometry().contains(p), "the dialog covers the word found");
        d->BottoneChiudi->click();
    }

    void ripetiTrova()
    {
        FinestraPrincipale &f = Prepara(QStringLiteral("ab ab\r\n"));
        // Never opened: the empty text selects nothing and stays put.
        Comando(f, "azioneRipetiTrova")->trigger();
        QCOMPARE(f.Editor()->SelLength(), 0);
        FinestraTrova *d = f.DialogoTrova();
        QVERIFY(!d->isVisible());
        // The word and options kept in the shared state, as the dialog writes them.
        m_amb->Condiviso().ParolaCercata = QStringLiteral("ab");
        // "Su": "&Ripeti trova" still goes forward
        m_amb->Condiviso().OpzioniTrova.direzione = Ricerca::Direzione::Su;
        m_amb->Condiviso().PosRicerca = {};
        f.Editor()->SetSelStart(0);
        Comando(f, "azioneRipetiTrova")->trigger();
        QCOMPARE(f.Editor()->SelStart(), 0);
        Comando(f, "azioneRipetiTrova")->trigger();
        QCOMPARE(f.Editor()->SelStart(), 3);
        Copione::RispondiMessaggio(Risposta::No);
        Comando(f, "azioneRipetiTrova")->trigger();
        QCOMPARE(
            Copione::Messaggi(),
            (Messaggi{{QStringLiteral("Raggiunta la fine del testo. Ricominciare dall'inizio?"),
                       Pulsanti::SiNo, Icona::Domanda, QStringLiteral("Trova")}}));
    }
};

QTEST_MAIN(TestTrova)
#include "test_trova.moc"
