// The find/replace dialog, the replace-all run and the edit-menu search commands.

#include "aiuti/AmbienteProva.h"
#include "aiuti/ModelliRiferimento.h"
#include "app/EditorTesto.h"
#include "app/Form1.h"
#include "search/frmTrova.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

using namespace Piattaforma;

namespace {
const QString Completata = QStringLiteral("Operazione completata");
const QString Interrotta =
    QStringLiteral("Sostituzione interrotta! Si desiderano mantenere le modifiche apportate?");
} // namespace

class TestTrova : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;

    Form1 &Prepara(const QString &testo)
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        Form1 &f = m_amb->Avvia();
        f.Editor()->SetText(testo);
        f.FinestraTrova()->IntervalloCessione = 0;
        return f;
    }

    // Replace-all through the dialog's button, the caret at `k`.
    QString SostituisciTutti(Form1 &f, const QString &parola, const QString &sostituto,
                             int direzione, qsizetype k, bool intere = false)
    {
        frmTrova *d = f.FinestraTrova();
        d->txtTrova->setText(parola);
        d->txtSost->setText(sostituto);
        d->Check1->setChecked(intere);
        d->Combo1->setCurrentIndex(direzione);
        f.Editor()->SetSelStart(k);
        Copione::RispondiMessaggio(Risposta::OK);
        d->Command4->click();
        const auto messaggi = Copione::Messaggi();
        // Any other message makes the caller's comparison fail and shows it.
        if (messaggi.size() != 1 || messaggi[0].testo != Completata ||
            messaggi[0].titolo != QStringLiteral("Sostituisci tutto  1"))
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
        Form1 &f = Prepara(QStringLiteral("a a a a\r\n"));
        QCOMPARE(SostituisciTutti(f, QStringLiteral("a"), QStringLiteral("bbb"), 2, 3),
                 QStringLiteral("bbb bbb bbb bbb\r\n"));
        QCOMPARE(f.Editor()->SelStart(), 3); // the caret goes back to where it was
        QVERIFY(m_amb->Stato().TestoModificato);

        // Nothing found: still completed, and the text counts as modified.
        m_amb->Stato().TestoModificato = false;
        QCOMPARE(SostituisciTutti(f, QStringLiteral("zz"), QStringLiteral("y"), 2, 0),
                 QStringLiteral("bbb bbb bbb bbb\r\n"));
        QVERIFY(m_amb->Stato().TestoModificato);
        // An empty word ends at once and leaves the text intact.
        QCOMPARE(SostituisciTutti(f, QString(), QStringLiteral("y"), 2, 0),
                 QStringLiteral("bbb bbb bbb bbb\r\n"));
        QCOMPARE(Avanzamento(f)->value(), 0);
        QCOMPARE(f.TestoStato(), Form1::TestoInattivo());
    }

    void sostituisciTuttoCampi_data()
    {
        // "ab" becomes "X" in "ab.ab(ab\r\nxab abx ab zz" (23 characters, the
        // line break at offsets 8 and 9), from the caret at the given offset.
        QTest::addColumn<int>("direzione");
        QTest::addColumn<int>("caret");
        QTest::addColumn<bool>("intere");
        QTest::addColumn<QString>("atteso");
        const QString tutte = QStringLiteral("X.X(X\r\nxX Xx X zz");
        const QString intere = QStringLiteral("X.X(X\r\nxab abx X zz");
        QTest::newRow("Tutte") << 2 << 12 << false << tutte;
        QTest::newRow("Tutte, parole intere") << 2 << 12 << true << intere;
        // "Giù" starts at the character before the caret.
        QTest::newRow("Giù da 12") << 1 << 12 << false << QStringLiteral("ab.ab(ab\r\nxX Xx X zz");
        QTest::newRow("Giù da 2") << 1 << 2 << false << QStringLiteral("ab.X(X\r\nxX Xx X zz");
        QTest::newRow("Giù da 1") << 1 << 1 << false << tutte;
        QTest::newRow("Giù da 15, parole intere")
            << 1 << 15 << true << QStringLiteral("ab.ab(ab\r\nxab abx X zz");
        QTest::newRow("Giù da 0") << 1 << 0 << false << tutte;
        QTest::newRow("Giù dalla fine, parole intere") << 1 << 23 << true << intere;
        // "Su" works on the text before the caret's character.
        QTest::newRow("Su da 4") << 0 << 4 << false << QStringLiteral("X.ab(ab\r\nxab abx ab zz");
        QTest::newRow("Su da 8") << 0 << 8 << false << QStringLiteral("X.X(ab\r\nxab abx ab zz");
        QTest::newRow("Su da 16, parole intere")
            << 0 << 16 << true << QStringLiteral("X.X(X\r\nxab abx ab zz");
        QTest::newRow("Su da 0") << 0 << 0 << false << tutte;
        QTest::newRow("Su da 1, parole intere") << 0 << 1 << true << intere;
    }

    void sostituisciTuttoCampi()
    {
        QFETCH(int, direzione);
        QFETCH(int, caret);
        QFETCH(bool, intere);
        QFETCH(QString, atteso);
        Form1 &f = Prepara(QStringLiteral("ab.ab(ab\r\nxab abx ab zz"));
        QCOMPARE(SostituisciTutti(f, QStringLiteral("ab"), QStringLiteral("X"), direzione, caret,
                                  intere),
                 atteso);
    }

    void interruzione()
    {
        QString testo;
        for (int i = 0; i < 500; ++i)
            testo += QStringLiteral("uno due\r\n");
        Form1 &f = Prepara(testo);
        frmTrova *d = f.FinestraTrova();
        d->txtTrova->setText(QStringLiteral("uno"));
        d->txtSost->setText(QStringLiteral("1"));
        f.Editor()->SetSelStart(5);
        m_amb->Stato().TestoModificato = false;
        // At the first yield: the controls are disabled, then "I&nterrompi" is clicked.
        QStringList statiDuranteLaCorsa;
        QTimer::singleShot(0, d, [&] {
            QTimer::singleShot(0, d, [&] { d->Command4->click(); }); // at the next yield
            for (QWidget *w :
                 std::initializer_list<QWidget *>{d->Command1, d->Command2, d->Command5,
                                                  d->Command6, d->Check1, d->Check2, d->Combo1})
                statiDuranteLaCorsa.append(w->isEnabled() ? QStringLiteral("1")
                                                          : QStringLiteral("0"));
            statiDuranteLaCorsa.append(d->Command4->text());
        });
        Copione::RispondiMessaggio(Risposta::No);
        d->Command4->click();
        QCOMPARE(statiDuranteLaCorsa.join(QLatin1Char(' ')),
                 QStringLiteral("0 0 0 0 0 0 0 I&nterrompi"));
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QCOMPARE(messaggi[0].testo, Interrotta);
        QCOMPARE(messaggi[0].titolo, QStringLiteral("Sostituisci tutto"));
        QCOMPARE(f.Editor()->Text(), testo);
        QCOMPARE(f.Editor()->SelStart(), 5);
        QVERIFY(m_amb->Stato().TestoModificato); // some were replaced before the click
        QCOMPARE(d->Command4->text(), QStringLiteral("S&ostituisci tutto"));
        QVERIFY(d->Command1->isEnabled());
        QCOMPARE(m_amb->Stato().RichiestaInterruzione, 0);

        // Yes keeps what was done: the text starts replaced and ends as it was.
        QTimer::singleShot(0, d, [&] { QTimer::singleShot(0, d, [&] { d->Command4->click(); }); });
        Copione::RispondiMessaggio(Risposta::Si);
        d->Command4->click();
        Copione::Messaggi();
        QVERIFY(f.Editor()->Text().startsWith(QStringLiteral("1 due")));
        QVERIFY(f.Editor()->Text().endsWith(QStringLiteral("uno due\r\n")));
    }

    void chiusoDuranteLaCorsa()
    {
        QString testo;
        for (int i = 0; i < 500; ++i)
            testo += QStringLiteral("uno due\r\n");
        Form1 &f = Prepara(testo);
        Comando(f, "mnuModSostP")->trigger();
        frmTrova *d = f.FinestraTrova();
        d->txtTrova->setText(QStringLiteral("uno"));
        d->txtSost->setText(QStringLiteral("1"));
        // Closed while replacing: hidden at once, the run goes on to its end,
        // and the main window waits for it before taking input again.
        bool principaleAbilitata = true;
        QTimer::singleShot(0, d, [&] {
            d->close();
            principaleAbilitata = f.isEnabled();
        });
        Copione::RispondiMessaggio(Risposta::OK);
        d->Command4->click();
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()), QStringList{Completata});
        QVERIFY(!principaleAbilitata);
        QVERIFY(!d->isVisible());
        QVERIFY(f.isEnabled());
        QVERIFY(f.Editor()->Text().startsWith(QStringLiteral("1 due\r\n1 due")));
    }

    void dialogoEModi()
    {
        Form1 &f = Prepara(QStringLiteral("If a If b\r\n"));
        Comando(f, "mnuModSostP")->trigger();
        frmTrova *d = f.FinestraTrova();
        QVERIFY(d->isVisible());
        QVERIFY(!f.isEnabled());
        QCOMPARE(d->windowTitle(), QStringLiteral("Sostituisci"));
        QCOMPARE(d->Combo1->currentText(), QStringLiteral("Tutte"));
        const int altezzaMenu = d->height();
        d->Command6->click();
        QCOMPARE(d->windowTitle(), QStringLiteral("Trova"));
        d->Command7->click();
        QVERIFY(qAbs(Twip(altezzaMenu - d->height()) - 200) <= 15);

        // "&Sostituisci" right after a find replaces that word and keeps it selected.
        d->txtTrova->setText(QStringLiteral("if"));
        d->txtSost->setText(QStringLiteral("Se"));
        d->Check1->setChecked(true);
        d->Command1->click();
        QCOMPARE(f.Editor()->SelText(), QStringLiteral("If"));
        d->Command2->click();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("Se a If b\r\n"));
        QCOMPARE(f.Editor()->SelText(), QStringLiteral("Se"));
        QVERIFY(m_amb->Stato().TestoModificato);
        d->Command1->click();
        QCOMPARE(f.Editor()->SelStart(), 5);
        // A selection made by hand is replaced too.
        f.Editor()->SetSelStart(0);
        f.Editor()->SetSelLength(1);
        d->Command2->click();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("See a If b\r\n"));

        // The close box only hides it; everything stays for the next time.
        d->close();
        QVERIFY(!d->isVisible());
        QVERIFY(f.isEnabled());
        Comando(f, "mnuModTrova")->trigger();
        QCOMPARE(d->txtTrova->text(), QStringLiteral("if"));
        QCOMPARE(d->txtSost->text(), QStringLiteral("Se"));
        QVERIFY(d->Check1->isChecked());
        QCOMPARE(d->windowTitle(), QStringLiteral("Trova"));
        d->Command5->click();
        QVERIFY(f.isEnabled());
    }

    void rigaSostituzioneSoloInModoSostituisci_data()
    {
        QTest::addColumn<bool>("sostituisci");
        QTest::addColumn<int>("tasto");
        QTest::addColumn<int>("modificatori");
        QTest::addColumn<int>("volte");
        QTest::addColumn<QString>("atteso");
        QTest::addColumn<bool>("nellaRiga"); // the focus reached the replacement row
        const QString intatto = QStringLiteral("ab ab\r\n");
        const int alt = int(Qt::AltModifier);
        // In find mode the covered row takes no key at all.
        QTest::newRow("Trova, Alt+O") << false << int(Qt::Key_O) << alt << 1 << intatto << false;
        QTest::newRow("Trova, Alt+S") << false << int(Qt::Key_S) << alt << 1 << intatto << false;
        QTest::newRow("Trova, Alt+R") << false << int(Qt::Key_R) << alt << 1 << intatto << false;
        QTest::newRow("Trova, Tab") << false << int(Qt::Key_Tab) << 0 << 12 << intatto << false;
        QTest::newRow("Sostituisci, Alt+O")
            << true << int(Qt::Key_O) << alt << 1 << QStringLiteral("Z Z\r\n") << false;
        QTest::newRow("Sostituisci, Alt+S")
            << true << int(Qt::Key_S) << alt << 1 << QStringLiteral("Z ab\r\n") << false;
        QTest::newRow("Sostituisci, Alt+R")
            << true << int(Qt::Key_R) << alt << 1 << intatto << true;
        QTest::newRow("Sostituisci, Tab") << true << int(Qt::Key_Tab) << 0 << 12 << intatto << true;
    }

    void rigaSostituzioneSoloInModoSostituisci()
    {
        QFETCH(bool, sostituisci);
        QFETCH(int, tasto);
        QFETCH(int, modificatori);
        QFETCH(int, volte);
        QFETCH(QString, atteso);
        QFETCH(bool, nellaRiga);
        Form1 &f = Prepara(QStringLiteral("ab ab\r\n"));
        (sostituisci ? Comando(f, "mnuModSostP") : Comando(f, "mnuModTrova"))->trigger();
        frmTrova *d = f.FinestraTrova();
        QTRY_COMPARE(QApplication::activeWindow(), d);
        d->txtTrova->setText(QStringLiteral("ab"));
        d->txtSost->setText(QStringLiteral("Z"));
        f.Editor()->SetSelStart(0);
        f.Editor()->SetSelLength(2);
        if (sostituisci && tasto == Qt::Key_O) Copione::RispondiMessaggio(Risposta::OK);
        bool raggiunta = false;
        for (int i = 0; i < volte; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(tasto),
                            Qt::KeyboardModifiers(modificatori));
            raggiunta = raggiunta || d->Picture1->isAncestorOf(QApplication::focusWidget());
        }
        QTest::qWait(300); // a button's access key clicks it after a short animation
        Copione::Messaggi();
        QCOMPARE(f.Editor()->Text(), atteso);
        QCOMPARE(raggiunta, nellaRiga);
        QCOMPARE(d->windowTitle(),
                 sostituisci ? QStringLiteral("Sostituisci") : QStringLiteral("Trova"));
    }

    void nonCopreLaParolaTrovata()
    {
        Form1 &f = Prepara(QStringLiteral("riga\r\nriga\r\nbersaglio\r\nbersaglio\r\nriga\r\n"));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        Comando(f, "mnuModTrova")->trigger();
        frmTrova *d = f.FinestraTrova();
        d->txtTrova->setText(QStringLiteral("bersaglio"));
        // The two ends of the selection on the screen.
        auto estremi = [&f] {
            QTextCursor inizio = f.Editor()->textCursor();
            inizio.setPosition(inizio.selectionStart());
            const QWidget *area = f.Editor()->viewport();
            return QList<QPoint>{area->mapToGlobal(f.Editor()->cursorRect(inizio).center()),
                                 area->mapToGlobal(f.Editor()->cursorRect().center())};
        };
        d->Command1->click();
        QCoreApplication::processEvents();
        QCOMPARE(f.Editor()->SelStart(), 12);
        // The user puts the dialog over the word; the next word found is the
        // one on the line below.
        d->move(estremi()[0] - QPoint(d->width() / 2, d->height() / 2));
        QCoreApplication::processEvents();
        QVERIFY(d->frameGeometry().contains(estremi()[0]));
        d->Command1->click();
        QCoreApplication::processEvents();
        QCOMPARE(f.Editor()->SelStart(), 23);
        for (const QPoint &p : estremi())
            QVERIFY2(!d->frameGeometry().contains(p), "the dialog covers the word found");
        d->Command5->click();
    }

    void ripetiTrova()
    {
        Form1 &f = Prepara(QStringLiteral("ab ab\r\n"));
        // Never opened: the empty text selects nothing and stays put.
        Comando(f, "mnuModRip")->trigger();
        QCOMPARE(f.Editor()->SelLength(), 0);
        frmTrova *d = f.FinestraTrova();
        QVERIFY(!d->isVisible());
        d->txtTrova->setText(QStringLiteral("ab"));
        d->Combo1->setCurrentIndex(0); // "Su": "&Ripeti trova" still goes forward
        m_amb->Stato().PosRicerca = 0;
        f.Editor()->SetSelStart(0);
        Comando(f, "mnuModRip")->trigger();
        QCOMPARE(f.Editor()->SelStart(), 0);
        Comando(f, "mnuModRip")->trigger();
        QCOMPARE(f.Editor()->SelStart(), 3);
        Copione::RispondiMessaggio(Risposta::No);
        Comando(f, "mnuModRip")->trigger();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QCOMPARE(messaggi[0].testo,
                 QStringLiteral("Raggiunta la fine del testo. Ricominciare dall'inizio?"));
        QCOMPARE(messaggi[0].titolo, QStringLiteral("Trova"));
        QCOMPARE(messaggi[0].icona, Icona::Domanda);
    }
};

QTEST_MAIN(TestTrova)
#include "test_trova.moc"
