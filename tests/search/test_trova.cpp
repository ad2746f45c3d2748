// The find/replace dialog, the replace-all run and the edit-menu search commands.

#include "aiuti/AmbienteProva.h"
#include "aiuti/ModelliRiferimento.h"
#include "app/EditorTesto.h"
#include "app/Form1.h"
#include "search/frmTrova.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
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
        f.Text1->SetText(testo);
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
        f.Text1->SetSelStart(k);
        Copione::RispondiMessaggio(Risposta::OK);
        d->Command4->click();
        const auto messaggi = Copione::Messaggi();
        if (messaggi.size() != 1 || messaggi[0].testo != Completata ||
            messaggi[0].titolo != QStringLiteral("Sostituisci tutto  1"))
            qWarning() << "messaggi inattesi" << Copione::TestiMessaggi(messaggi);
        return f.Text1->Text();
    }

private Q_SLOTS:
    void cleanup()
    {
        VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
    }

    void sostituisciTuttoIntervalli()
    {
        Form1 &f = Prepara({});
        f.Text1->SetText(QStringLiteral("a a a a\r\n"));
        QCOMPARE(SostituisciTutti(f, QStringLiteral("a"), QStringLiteral("bbb"), 2, 3),
                 QStringLiteral("bbb bbb bbb bbb\r\n"));
        QCOMPARE(f.Text1->SelStart(), 3); // the caret goes back to where it was
        QVERIFY(m_amb->Stato().TestoModificato);

        // "Su" with the caret at 7 in 20 characters: positions 1 to 6 only.
        const QString venti = QStringLiteral("xx xx xx xx xx xx xx");
        f.Text1->SetText(venti);
        QCOMPARE(SostituisciTutti(f, QStringLiteral("x"), QStringLiteral("y"), 0, 7),
                 QStringLiteral("yy yy xx xx xx xx xx"));
        // "Su" at 0 or 1: all but the last character, up to the last character
        // of what it works on.
        for (int k : {0, 1}) {
            f.Text1->SetText(venti);
            QCOMPARE(SostituisciTutti(f, QStringLiteral("x"), QStringLiteral("y"), 0, k),
                     QStringLiteral("yy yy yy yy yy yy yx"));
        }
        // "Giù" from the character before the caret; at 0 or at the end, the whole text.
        f.Text1->SetText(venti);
        QCOMPARE(SostituisciTutti(f, QStringLiteral("x"), QStringLiteral("y"), 1, 8),
                 QStringLiteral("xx xx xy yy yy yy yy"));
        for (int k : {0, 20}) {
            f.Text1->SetText(venti);
            QCOMPARE(SostituisciTutti(f, QStringLiteral("x"), QStringLiteral("y"), 1, k),
                     QStringLiteral("yy yy yy yy yy yy yy"));
        }
        // Nothing found: still completed, and the text counts as modified.
        m_amb->Stato().TestoModificato = false;
        QCOMPARE(SostituisciTutti(f, QStringLiteral("zz"), QStringLiteral("y"), 2, 0),
                 QStringLiteral("yy yy yy yy yy yy yy"));
        QVERIFY(m_amb->Stato().TestoModificato);
        // An empty word ends at once and leaves the text intact.
        QCOMPARE(SostituisciTutti(f, QString(), QStringLiteral("y"), 2, 0),
                 QStringLiteral("yy yy yy yy yy yy yy"));
        QCOMPARE(f.ProgressBar1->value(), 0);
        QCOMPARE(f.TestoStato(), Form1::TestoInattivo());
    }

    void sostituisciTuttoContoModello()
    {
        Form1 &f = Prepara({});
        QRandomGenerator gen(3);
        const QString alfabeto = QStringLiteral("ab \r\n.(");
        for (int caso = 0; caso < 150; ++caso) {
            QString testo;
            for (int i = int(gen.bounded(25)); i > 0; --i)
                testo.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
            f.Text1->SetText(testo);
            const QString t = f.Text1->Text(); // line breaks as CR LF
            QList<qsizetype> carets;           // offsets that are not inside a line break
            for (qsizetype i = 0; i <= t.size(); ++i)
                if (!(i > 0 && t[i - 1] == QLatin1Char('\r'))) carets.append(i);
            const qsizetype k = carets[gen.bounded(int(carets.size()))];
            const int direzione = int(gen.bounded(3));
            const bool intere = gen.bounded(2);
            // The run's range, then the literal scan.
            QString atteso;
            const qsizetype len = t.size();
            if (direzione == 0) {
                const qsizetype s = (k == 0 || k == 1) ? len : k;
                const qsizetype taglio = std::max<qsizetype>(s - 1, 0);
                const std::optional<QChar> dopo =
                    taglio < len ? std::optional<QChar>(t[taglio]) : std::nullopt;
                atteso = Modello::Sostituisci(t.left(taglio), QStringLiteral("ab"),
                                              QStringLiteral("X"), 0, intere, -1, 1, dopo)
                             .testo +
                         t.mid(taglio);
            } else {
                const int inizio = (direzione == 2 || k == 0 || k >= len) ? 1 : int(k);
                atteso = Modello::Sostituisci(t, QStringLiteral("ab"), QStringLiteral("X"), 0,
                                              intere, -1, inizio)
                             .testo;
            }
            f.Text1->SetText(t);
            QCOMPARE(SostituisciTutti(f, QStringLiteral("ab"), QStringLiteral("X"), direzione, k,
                                      intere),
                     atteso);
        }
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
        f.Text1->SetSelStart(5);
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
        QCOMPARE(f.Text1->Text(), testo);
        QCOMPARE(f.Text1->SelStart(), 5);
        QVERIFY(m_amb->Stato().TestoModificato); // some were replaced before the click
        QCOMPARE(d->Command4->text(), QStringLiteral("S&ostituisci tutto"));
        QVERIFY(d->Command1->isEnabled());
        QCOMPARE(m_amb->Stato().RichiestaInterruzione, 0);

        // Yes keeps what was done: the text starts replaced and ends as it was.
        QTimer::singleShot(0, d, [&] { QTimer::singleShot(0, d, [&] { d->Command4->click(); }); });
        Copione::RispondiMessaggio(Risposta::Si);
        d->Command4->click();
        Copione::Messaggi();
        QVERIFY(f.Text1->Text().startsWith(QStringLiteral("1 due")));
        QVERIFY(f.Text1->Text().endsWith(QStringLiteral("uno due\r\n")));
    }

    void chiusoDuranteLaCorsa()
    {
        QString testo;
        for (int i = 0; i < 500; ++i)
            testo += QStringLiteral("uno due\r\n");
        Form1 &f = Prepara(testo);
        f.mnuModSostP->trigger();
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
        QVERIFY(f.Text1->Text().startsWith(QStringLiteral("1 due\r\n1 due")));
    }

    void dialogoEModi()
    {
        Form1 &f = Prepara(QStringLiteral("If a If b\r\n"));
        f.mnuModSostP->trigger();
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
        QCOMPARE(f.Text1->SelText(), QStringLiteral("If"));
        d->Command2->click();
        QCOMPARE(f.Text1->Text(), QStringLiteral("Se a If b\r\n"));
        QCOMPARE(f.Text1->SelText(), QStringLiteral("Se"));
        QVERIFY(m_amb->Stato().TestoModificato);
        d->Command1->click();
        QCOMPARE(f.Text1->SelStart(), 5);
        // A selection made by hand is replaced too.
        f.Text1->SetSelStart(0);
        f.Text1->SetSelLength(1);
        d->Command2->click();
        QCOMPARE(f.Text1->Text(), QStringLiteral("See a If b\r\n"));

        // The close box only hides it; everything stays for the next time.
        d->close();
        QVERIFY(!d->isVisible());
        QVERIFY(f.isEnabled());
        f.mnuModTrova->trigger();
        QCOMPARE(d->txtTrova->text(), QStringLiteral("if"));
        QCOMPARE(d->txtSost->text(), QStringLiteral("Se"));
        QVERIFY(d->Check1->isChecked());
        QCOMPARE(d->windowTitle(), QStringLiteral("Trova"));
        d->Command5->click();
        QVERIFY(f.isEnabled());
    }

    void ripetiTrova()
    {
        Form1 &f = Prepara(QStringLiteral("ab ab\r\n"));
        // Never opened: the empty text selects nothing and stays put.
        f.mnuModRip->trigger();
        QCOMPARE(f.Text1->SelLength(), 0);
        frmTrova *d = f.FinestraTrova();
        QVERIFY(!d->isVisible());
        d->txtTrova->setText(QStringLiteral("ab"));
        d->Combo1->setCurrentIndex(0); // "Su": "&Ripeti trova" still goes forward
        m_amb->Stato().PosRicerca = 0;
        f.Text1->SetSelStart(0);
        f.mnuModRip->trigger();
        QCOMPARE(f.Text1->SelStart(), 0);
        f.mnuModRip->trigger();
        QCOMPARE(f.Text1->SelStart(), 3);
        Copione::RispondiMessaggio(Risposta::No);
        f.mnuModRip->trigger();
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
