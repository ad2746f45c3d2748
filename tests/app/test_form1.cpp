// The main window: start-up with its questions, the menu tree, the layout rule,
// the modified flag.

#include "aiuti/AmbienteProva.h"
#include "app/EditorTesto.h"
#include "app/Form1.h"
#include "app/frmInfo.h"
#include "lists/FinestraElenco.h"
#include "pseudo/frmPseudo.h"
#include "search/SostituisciTutto.h"
#include "search/frmTrova.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

using namespace Piattaforma;

namespace {
const QString DomandaSost =
    QStringLiteral("Il file delle sostituzioni è vuoto. Si desidera riempirlo ora?");
const QString DomandaPul =
    QStringLiteral("Il file della pulizia è vuoto. Si desidera riempirlo ora?");
} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void primoAvvioNoNo()
    {
        AmbienteProva amb;
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiMessaggio(Risposta::No);
        Form1 &f = amb.Avvia();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 2);
        QCOMPARE(messaggi[0].testo, DomandaSost);
        QCOMPARE(messaggi[1].testo, DomandaPul);
        for (const auto &m : messaggi) {
            QCOMPARE(m.pulsanti, Pulsanti::SiNo);
            QCOMPARE(m.icona, Icona::Informazione);
            QCOMPARE(m.titolo, QStringLiteral("Quadrivo"));
        }
        QVERIFY(!Comando(f, "mnuStrumAvvia")->isEnabled());
        QVERIFY(!Comando(f, "mnuStrumAPul")->isEnabled());
        QCOMPARE(amb.Stato().NumSostituzioni, 0);
        QVERIFY(QFile::exists(amb.Percorso(QStringLiteral("sostituzioni.dat"))));
        QCOMPARE(QFileInfo(amb.Percorso(QStringLiteral("pulizia.dat"))).size(), 0);
        QCOMPARE(f.windowTitle(), QStringLiteral("Quadrivo"));
        QCOMPARE(f.TestoStato(), Form1::TestoInattivo());
        QVERIFY(!amb.Stato().TestoModificato);
        VERIFICA_COPIONE_ESAURITO();
    }

    void primoAvvioSiApreGliEditor()
    {
        AmbienteProva amb;
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::QuandoModale([](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Elenco sostituzioni"));
            d->accept();
        });
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::QuandoModale([](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Elenco eliminazioni"));
            d->accept();
        });
        Form1 &f = amb.Avvia();
        QCOMPARE(Copione::ModaliMostrati(),
                 (QStringList{QStringLiteral("Form2"), QStringLiteral("frmEl")}));
        // Nothing was saved: the files stay empty and both commands disabled.
        QVERIFY(!Comando(f, "mnuStrumAvvia")->isEnabled());
        QVERIFY(!Comando(f, "mnuStrumAPul")->isEnabled());
        VERIFICA_COPIONE_ESAURITO();
    }

    void fileDiSoleParoleVuote()
    {
        AmbienteProva amb;
        amb.ScriviFile(QStringLiteral("sostituzioni.dat"),
                       Record::Codifica(VoceSostituzione{QString(), QStringLiteral("x")}) +
                           Record::Codifica(VoceSostituzione{}));
        amb.ScriviFile(QStringLiteral("pulizia.dat"), Record::Codifica(VoceEliminazione{}));
        Form1 &f = amb.Avvia();
        QCOMPARE(Copione::Messaggi().size(), 0);
        QVERIFY(Comando(f, "mnuStrumAvvia")->isEnabled());
        QVERIFY(Comando(f, "mnuStrumAPul")->isEnabled());
        QCOMPARE(amb.Stato().NumSostituzioni, 0);
        VERIFICA_COPIONE_ESAURITO();
    }

    void fileDanneggiatiSenzaCrash()
    {
        AmbienteProva amb;
        QByteArray rotto =
            QByteArray::fromHex("FFFF") + QByteArray(200, 'A') + QByteArray::fromHex("0300");
        amb.ScriviFile(QStringLiteral("sostituzioni.dat"), rotto);
        amb.ScriviFile(QStringLiteral("pulizia.dat"), QByteArray(77, '\xFF'));
        Form1 &f = amb.Avvia();
        QCOMPARE(amb.Stato().NumSostituzioni, 2); // the part-record at the end holds a word
        Copione::QuandoModale([](QDialog *d) {
            auto *lista = d->findChild<QTreeWidget *>(QStringLiteral("ListView1"));
            QCOMPARE(lista->topLevelItemCount(), 0); // the only record has no replacement
            d->accept();
        });
        Comando(f, "mnuStrumSost")->trigger();
        Copione::QuandoModale([](QDialog *d) { d->accept(); });
        Comando(f, "mnuStrumPul")->trigger();
        VERIFICA_COPIONE_ESAURITO();
    }

    void cartellaInutilizzabile()
    {
        AmbienteProva amb;
        amb.ScriviFile(QStringLiteral("un-file"), "x");
        Modulo1 stato(amb.Percorso(QStringLiteral("un-file")));
        Form1 f(stato);
        QVERIFY(!f.Form_Load());
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QVERIFY(messaggi[0].testo.contains(QStringLiteral("Errore: ")));
        QVERIFY(messaggi[0].testo.endsWith(QStringLiteral("  (20)"))); // ENOTDIR
        QCOMPARE(messaggi[0].icona, Icona::Critico);
    }

    void alberoDeiMenu()
    {
        AmbienteProva amb;
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiMessaggio(Risposta::No);
        Form1 &f = amb.Avvia();
        Copione::Messaggi();
        const QList<QStringList> atteso = {
            {QStringLiteral("mnuFile"), QStringLiteral("&File"), {}},
            {QStringLiteral("mnuFileNuovo"), QStringLiteral("&Nuovo"), {}},
            {QStringLiteral("mnuFileApri"), QStringLiteral("&Apri..."), {}},
            {QStringLiteral("mnuFileSalva"), QStringLiteral("&Salva"), {}},
            {QStringLiteral("mnuFilsSalvaN"), QStringLiteral("S&alva con nome..."), {}},
            {QStringLiteral("-"), {}, {}},
            {QStringLiteral("mnuFileEsci"), QStringLiteral("&Esci"), QStringLiteral("Ctrl+E")},
            {QStringLiteral("mnuModif"), QStringLiteral("&Modifica"), {}},
            {QStringLiteral("mnuModAnnulla"), QStringLiteral("&Annulla"), QStringLiteral("Ctrl+Z")},
            {QStringLiteral("mnuModRifai"), QStringLiteral("Ri&fai"), QStringLiteral("Ctrl+Y")},
            {QStringLiteral("-"), {}, {}},
            {QStringLiteral("mnuModTaglia"), QStringLiteral("&Taglia"), QStringLiteral("Ctrl+X")},
            {QStringLiteral("mnuModCopia"), QStringLiteral("&Copia"), QStringLiteral("Ctrl+C")},
            {QStringLiteral("mnuModInc"), QStringLiteral("&Incolla"), QStringLiteral("Ctrl+V")},
            {QStringLiteral("-"), {}, {}},
            {QStringLiteral("mnuModTrova"), QStringLiteral("&Trova..."), QStringLiteral("Ctrl+T")},
            {QStringLiteral("mnuModRip"), QStringLiteral("&Ripeti trova"), QStringLiteral("F3")},
            {QStringLiteral("mnuModSostP"), QStringLiteral("&Sostituisci una parola..."),
             QStringLiteral("Ctrl+H")},
            {QStringLiteral("mnuStrum"), QStringLiteral("&Strumenti"), {}},
            {QStringLiteral("mnuStrumSost"), QStringLiteral("&Sostituzioni..."),
             QStringLiteral("Ctrl+S")},
            {QStringLiteral("mnuStrumPul"), QStringLiteral("&Pulizia..."), {}},
            {QStringLiteral("-"), {}, {}},
            {QStringLiteral("mnuStrumAvvia"), QStringLiteral("&Avvia la pseudocodificazione..."),
             QStringLiteral("Ctrl+A")},
            {QStringLiteral("mnuStrumAPul"), QStringLiteral("A&vvia la pulizia..."),
             QStringLiteral("Ctrl+P")},
            {QStringLiteral("-"), {}, {}},
            {QStringLiteral("mnuStrumParole"), QStringLiteral("Parole &non tradotte..."), {}},
            {QStringLiteral("mnuStrumOpz"), QStringLiteral("&Opzioni..."), {}},
            {QStringLiteral("Punto"), QStringLiteral("&?"), {}},
            {QStringLiteral("mnuInfoOn"), QStringLiteral("&Informazioni su..."), {}},
        };
        QList<QStringList> trovato;
        for (QAction *menu : f.menuBar()->actions()) {
            trovato.append({menu->objectName(), menu->text(), {}});
            for (QAction *voce : menu->menu()->actions()) {
                if (voce->isSeparator())
                    trovato.append({QStringLiteral("-"), {}, {}});
                else
                    trovato.append({voce->objectName(), voce->text(),
                                    voce->shortcut().toString(QKeySequence::PortableText)});
            }
        }
        QCOMPARE(trovato, atteso);
    }

    void regolaDisposizione()
    {
        // Too small: snapped back to 3000 in each dimension that was short.
        Form1::Disposizione d = Form1::RegolaDisposizione(2000, 5000, 330, 4200);
        QCOMPARE(d.larghezza, 3000);
        QCOMPARE(d.altezza, 5000);
        QCOMPARE(*d.larghezzaText1, 2890);
        QCOMPARE(*d.altezzaText1, 5000 - 700 - 330);
        QCOMPARE(d.topBarra, 4050);
        d = Form1::RegolaDisposizione(3000, 2999, 330, 4200);
        QCOMPARE(d.altezza, 3000);
        QCOMPARE(d.topBarra, 2050);
        // The progress bar follows panel 2 up to 8900, the right edge beyond.
        QCOMPARE(Form1::RegolaDisposizione(8900, 6000, 330, 4200).leftBarra, 5100);
        QCOMPARE(Form1::RegolaDisposizione(8901, 6000, 330, 4200).leftBarra, 5401);
        // A negative editor height is a step skipped.
        QVERIFY(!Form1::RegolaDisposizione(5000, 3000, 3000, 0).altezzaText1);
    }

    void finestraRealeSiRidimensiona()
    {
        AmbienteProva amb;
        amb.ScriviElenchi(SostituzioniPredefinite());
        Form1 &f = amb.Avvia();
        // The screen is 19200 × 14400 twips: the window is 1300 smaller each way.
        QCOMPARE(f.DimensioneEsterna(), QSize(Twip(Pixel(17900)), Twip(Pixel(13100))));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.resize(Pixel(1500), Pixel(8000));
        QTRY_COMPARE(f.DimensioneEsterna().width(), 3000);
        QCOMPARE(f.height(), Pixel(8000)); // the height was large enough: unchanged
        f.resize(Pixel(9000), Pixel(6000));
        QTRY_COMPARE(Avanzamento(f)->x(), Pixel(f.DimensioneEsterna().width() - 3500));
        QVERIFY(f.Editor()->width() > 0);
    }

    void puliziaEliminaLeParole()
    {
        AmbienteProva amb;
        amb.ScriviElenchi(SostituzioniPredefinite());
        QByteArray pulizia;
        for (const VoceEliminazione &v : EliminazioniPredefinite())
            pulizia += Record::Codifica(v);
        amb.ScriviFile(QStringLiteral("pulizia.dat"), pulizia);
        Form1 &f = amb.Avvia();
        f.Editor()->SetText(QStringLiteral(
            "Unload Me\r\nForm2.Show\r\nMsgBox x, vbInformation\r\nUnloaded #1\r\n"));
        Copione::RispondiMessaggio(Risposta::OK);
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuStrumAPul")->trigger();
        // Whole words for "Sì" (".Show" after "Form2" is no whole word), anywhere for "No".
        QCOMPARE(f.Editor()->Text(),
                 QStringLiteral(" Me\r\nForm2.Show\r\nMsgBox x, \r\nUnloaded 1\r\n"));
        QVERIFY(amb.Stato().TestoModificato);
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.last().testo,
                 QStringLiteral("Pulizia terminata: sono state eliminate 3 parole."));
        VERIFICA_COPIONE_ESAURITO();
    }

    void finestraInformazioni()
    {
        AmbienteProva amb;
        amb.ScriviElenchi(SostituzioniPredefinite());
        Form1 &f = amb.Avvia();
        Copione::QuandoModale([](QDialog *d) {
            auto *info = qobject_cast<frmInfo *>(d);
            QCOMPARE(info->windowTitle(), QStringLiteral("Informazioni su..."));
            QCOMPARE(info->Titolo->text(), QStringLiteral("Quadrivo"));
            QVERIFY(info->Titolo->font().bold());
            QCOMPARE(
                info->Descrizione->text(),
                QStringLiteral("Trasforma il codice sorgente in un abbozzo di pseudocodifica"));
            QVERIFY(info->Descrizione->font().italic());
            QCOMPARE(info->Versione->text(), QStringLiteral("Versione 1"));
            // Twice "&Crediti": two viewers.
            info->Command2->click();
            info->Command2->click();
            const QStringList avviati = Copione::VisualizzatoriAvviati();
            QCOMPARE(avviati.size(), 2);
            QVERIFY(avviati[0].endsWith(QStringLiteral("/crediti.html")));
            // No viewer at all: the message, and the window stays.
            Copione::VisualizzatoreMancante(true);
            Copione::RispondiMessaggio(Risposta::OK);
            info->Command2->click();
            const auto messaggi = Copione::Messaggi();
            QCOMPARE(messaggi.size(), 1);
            // It names what is missing here: the desktop's viewer, xdg-open.
            QVERIFY(messaggi[0].testo.startsWith(QStringLiteral("Impossibile avviare xdg-open")));
            QVERIFY(messaggi[0].testo.contains(QStringLiteral("xdg-utils")));
            QVERIFY(messaggi[0].testo.contains(
                QStringLiteral("\r\nSe non è installato, scaricarlo dal sito ")));
            QCOMPARE(messaggi[0].titolo, QStringLiteral("Appunti"));
            QCOMPARE(messaggi[0].icona, Icona::Critico);
            QVERIFY(info->isVisible());
            info->Command1->click();
        });
        Comando(f, "mnuInfoOn")->trigger();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{QStringLiteral("frmInfo")});
        VERIFICA_COPIONE_ESAURITO();
    }

    void modificatoDaOgniCambiamentoDellUtente()
    {
        AmbienteProva amb;
        amb.ScriviElenchi(SostituzioniPredefinite());
        Form1 &f = amb.Avvia();
        QVERIFY(!amb.Stato().TestoModificato);
        f.Editor()->SetText(QStringLiteral("riga uno\r\nriga due"));
        QVERIFY(!amb.Stato().TestoModificato);

        f.Editor()->SetSelStart(0);
        f.Editor()->SetSelLength(4);
        Comando(f, "mnuModTaglia")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("riga"));
        QVERIFY(amb.Stato().TestoModificato);

        amb.Stato().TestoModificato = false;
        f.Editor()->SetSelStart(f.Editor()->Lunghezza());
        Comando(f, "mnuModInc")->trigger();
        QVERIFY(f.Editor()->Text().endsWith(QStringLiteral("dueriga")));
        QVERIFY(amb.Stato().TestoModificato);

        amb.Stato().TestoModificato = false;
        QTest::keyClick(f.Editor(), Qt::Key_Backspace);
        QVERIFY(amb.Stato().TestoModificato);
    }

    void incollaSenzaTestoNonCancella_data()
    {
        QTest::addColumn<QString>("appunti");
        QTest::newRow("appunti vuoti") << QString();
        QTest::newRow("solo un'immagine") << QStringLiteral("immagine");
        QTest::newRow("testo vuoto") << QStringLiteral("vuoto");
    }

    void incollaSenzaTestoNonCancella()
    {
        QFETCH(QString, appunti);
        AmbienteProva amb;
        amb.ScriviElenchi(SostituzioniPredefinite());
        Form1 &f = amb.Avvia();
        f.Editor()->SetText(QStringLiteral("riga uno"));
        f.Editor()->SetSelStart(0);
        f.Editor()->SetSelLength(4);
        QClipboard *c = QGuiApplication::clipboard();
        c->clear();
        if (appunti == QStringLiteral("immagine")) {
            QImage immagine(2, 2, QImage::Format_RGB32);
            immagine.fill(Qt::red);
            c->setImage(immagine);
        } else if (appunti == QStringLiteral("vuoto")) {
            c->setText(QString());
        }
        Comando(f, "mnuModInc")->trigger();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("riga uno"));
        QCOMPARE(f.Editor()->SelText(), QStringLiteral("riga"));
        QVERIFY(!amb.Stato().TestoModificato);
    }

    void chiusuraIgnorataMentreDisabilitata_data()
    {
        QTest::addColumn<QString>("come");
        QTest::newRow("Trova") << QStringLiteral("trova");
        QTest::newRow("Sostituisci") << QStringLiteral("sostituisci");
        QTest::newRow("sostituzione in corso, dialogo chiuso") << QStringLiteral("corsa");
    }

    void chiusuraIgnorataMentreDisabilitata()
    {
        QFETCH(QString, come);
        AmbienteProva amb;
        amb.ScriviElenchi(SostituzioniPredefinite());
        Form1 &f = amb.Avvia();
        QString testo;
        for (int i = 0; i < 500; ++i)
            testo += QStringLiteral("uno due\r\n");
        f.Editor()->SetText(testo);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        frmTrova *d = f.FinestraTrova();
        d->IntervalloCessione = 0;
        // A close request as the window manager sends it.
        auto chiudi = [&f] { return f.windowHandle()->close(); };
        if (come == QStringLiteral("corsa")) {
            Comando(f, "mnuModSostP")->trigger();
            d->txtTrova->setText(QStringLiteral("uno"));
            d->txtSost->setText(QStringLiteral("1"));
            bool chiusa = true;
            QTimer::singleShot(0, d, [&] {
                d->close();
                chiusa = chiudi();
            });
            Copione::RispondiMessaggio(Risposta::OK);
            d->Command4->click();
            Copione::Messaggi();
            QVERIFY(!chiusa);
            QVERIFY(f.Editor()->Text().endsWith(QStringLiteral("1 due\r\n"))); // the run ended
        } else {
            (come == QStringLiteral("trova") ? Comando(f, "mnuModTrova")
                                             : Comando(f, "mnuModSostP"))
                ->trigger();
            QVERIFY(!chiudi());
            QVERIFY(f.isVisible());
            d->Command5->click();
        }
        QVERIFY(f.isEnabled());
        amb.Stato().TestoModificato = false;
        QVERIFY(chiudi()); // enabled again, it closes
        VERIFICA_COPIONE_ESAURITO();
    }

    void finestraDiCorsaNonCopreLaParola()
    {
        AmbienteProva amb;
        amb.ScriviElenchi(SostituzioniPredefinite());
        Form1 &f = amb.Avvia();
        f.Editor()->SetText(QStringLiteral("a\r\nIf b\r\nIf c\r\n"));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuStrumAvvia")->trigger();
        auto *p = qobject_cast<frmPseudo *>(f.FinestraPseudo());
        QVERIFY(p);
        QCoreApplication::processEvents();
        auto parola = [&f] {
            const QWidget *area = f.Editor()->viewport();
            return area->mapToGlobal(f.Editor()->cursorRect().center());
        };
        QCOMPARE(f.Editor()->SelStart(), 3);
        QVERIFY(!p->frameGeometry().contains(parola()));
        // Put over the word; "S&uccessivo" selects the "If" on the line below.
        p->move(parola() - QPoint(p->width() / 2, p->height() / 2));
        QCoreApplication::processEvents();
        p->Command2->click();
        QCoreApplication::processEvents();
        QCOMPARE(f.Editor()->SelStart(), 9);
        QVERIFY2(!p->frameGeometry().contains(parola()), "the run window covers the word");
        Copione::Messaggi();
        VERIFICA_COPIONE_ESAURITO();
    }

    void operazioneSulTestoUnPasso_data()
    {
        QTest::addColumn<int>("operazione");
        QTest::newRow("sostituisci tutto") << 0;
        QTest::newRow("avvia la pulizia") << 1;
        QTest::newRow("cammino: sostituisci") << 2;
        QTest::newRow("cammino: sostituisci tutto") << 3;
        QTest::newRow("pseudocodificazione automatica") << 4;
    }

    // Every operation that rewrites the text is one undo step: the menu takes
    // it back to the exact text before it, keeps the earlier steps, marks the
    // text modified, and redoes it.
    void operazioneSulTestoUnPasso()
    {
        QFETCH(int, operazione);
        AmbienteProva amb;
        amb.ScriviElenchi(SostituzioniPredefinite());
        QByteArray pulizia;
        for (const VoceEliminazione &v : EliminazioniPredefinite())
            pulizia += Record::Codifica(v);
        amb.ScriviFile(QStringLiteral("pulizia.dat"), pulizia);
        Form1 &f = amb.Avvia();
        const QString iniziale = QStringLiteral("If a Then\r\n  Unload Me\r\nEnd If\r\n");
        f.Editor()->SetText(iniziale);
        QVERIFY(!Comando(f, "mnuModAnnulla")->isEnabled());
        f.Editor()->SetSelStart(f.Editor()->Lunghezza());
        QTest::keyClick(f.Editor(), Qt::Key_X);
        const QString prima = f.Editor()->Text();

        if (operazione == 0) {
            Copione::RispondiMessaggio(Risposta::OK);
            SostituisciTutto(f, QStringLiteral("If"), QStringLiteral("Se"), 0, 1, 2);
        } else if (operazione == 1) {
            Copione::RispondiMessaggio(Risposta::OK);
            Copione::RispondiMessaggio(Risposta::OK);
            Comando(f, "mnuStrumAPul")->trigger();
        } else {
            Copione::RispondiMessaggio(Risposta::OK);
            Comando(f, "mnuStrumAvvia")->trigger();
            auto *p = qobject_cast<frmPseudo *>(f.FinestraPseudo());
            p->IntervalloCessione = 0;
            if (operazione == 2) {
                p->Command1->click();
            } else if (operazione == 3) {
                p->Command3->click();
            } else {
                Copione::RispondiMessaggio(Risposta::OK);
                p->Command5->click();
            }
            p->close();
        }
        Copione::Messaggi();
        VERIFICA_COPIONE_ESAURITO();
        const QString dopo = f.Editor()->Text();
        QVERIFY(dopo != prima);

        amb.Stato().TestoModificato = false;
        QVERIFY(Comando(f, "mnuModAnnulla")->isEnabled());
        QVERIFY(!Comando(f, "mnuModRifai")->isEnabled());
        Comando(f, "mnuModAnnulla")->trigger();
        QCOMPARE(f.Editor()->Text(), prima);
        QVERIFY(amb.Stato().TestoModificato);
        QVERIFY(Comando(f, "mnuModRifai")->isEnabled());
        Comando(f, "mnuModRifai")->trigger();
        QCOMPARE(f.Editor()->Text(), dopo);
        Comando(f, "mnuModAnnulla")->trigger();
        Comando(f, "mnuModAnnulla")->trigger();
        QCOMPARE(f.Editor()->Text(), iniziale);
        QVERIFY(!Comando(f, "mnuModAnnulla")->isEnabled());
    }

    // The keys of undo and redo reach the menu; "&Nuovo" and "&Apri..." start
    // a fresh history.
    void annullaRifaiDaTastieraEStoriaNuova()
    {
        AmbienteProva amb;
        amb.ScriviElenchi(SostituzioniPredefinite());
        amb.ScriviFile(QStringLiteral("doc.txt"), "testo aperto\r\n");
        Form1 &f = amb.Avvia();
        f.show();
        f.Editor()->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.Editor()->SetText(QStringLiteral("uno"));
        f.Editor()->SostituisciTesto(QStringLiteral("due"));
        const QList<std::pair<QKeyCombination, QString>> tasti = {
            {Qt::CTRL | Qt::Key_Z, QStringLiteral("uno")},
            {Qt::CTRL | Qt::Key_Y, QStringLiteral("due")},
            {Qt::CTRL | Qt::Key_Z, QStringLiteral("uno")},
            {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, QStringLiteral("due")},
        };
        for (const auto &[tasto, atteso] : tasti) {
            QTest::keyClick(f.Editor(), tasto.key(), tasto.keyboardModifiers());
            QCOMPARE(f.Editor()->Text(), atteso);
        }
        QVERIFY(amb.Stato().TestoModificato);

        Copione::RispondiMessaggio(Risposta::No);
        Comando(f, "mnuFileNuovo")->trigger();
        QVERIFY(!Comando(f, "mnuModAnnulla")->isEnabled());
        QVERIFY(!Comando(f, "mnuModRifai")->isEnabled());

        f.Editor()->SostituisciTesto(QStringLiteral("tre"));
        Comando(f, "mnuModAnnulla")->trigger();
        QVERIFY(Comando(f, "mnuModRifai")->isEnabled());
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiFile(amb.Percorso(QStringLiteral("doc.txt")));
        Comando(f, "mnuFileApri")->trigger();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("testo aperto\r\n"));
        QVERIFY(!Comando(f, "mnuModAnnulla")->isEnabled());
        QVERIFY(!Comando(f, "mnuModRifai")->isEnabled());
        Copione::Messaggi();
        Copione::Dialoghi();
        VERIFICA_COPIONE_ESAURITO();
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
