// The main window: start-up with its questions, the menu tree, the layout rule,
// the modified flag.

#include "aiuti/AmbienteProva.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraConfronto.h"
#include "finestre/FinestraInformazioni.h"
#include "finestre/FinestraOpzioni.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraPseudocodifica.h"
#include "finestre/FinestraTrova.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

using namespace Piattaforma;
using namespace Qt::Literals::StringLiterals;

class TestFinestraPrincipale : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;
    QTemporaryDir m_configurazione; // the user's settings of this test program alone

    AmbienteProva &Nuovo() { return *(m_amb = std::make_unique<AmbienteProva>()); }
    // Started over the default substitutions, so start-up asks nothing; with
    // `pulizia` over the default cleaning list too.
    FinestraPrincipale &Avvia(bool pulizia = false)
    {
        Nuovo().ScriviElenchi(SostituzioniPredefinite());
        if (pulizia) m_amb->ScriviFile(u"pulizia.dat"_s, Record::Unisci(EliminazioniPredefinite()));
        return m_amb->Avvia();
    }
    Contesto &Condiviso() { return m_amb->Condiviso(); }

    // The File menu's captions between "S&alva con nome..." and "&Esci".
    static QStringList VociRecenti(FinestraPrincipale &f)
    {
        QStringList voci;
        bool dentro = false;
        for (QAction *a : f.findChild<QMenu *>(u"menuFile"_s)->actions()) {
            if (a->objectName() == u"azioneEsci"_s) break;
            if (dentro) voci.append(a->isSeparator() ? u"-"_s : a->text());
            if (a->objectName() == u"azioneSalvaConNome"_s) dentro = true;
        }
        return voci;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_configurazione.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configurazione.path()));
    }

    void cleanup()
    {
        if (m_amb) VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
        // Every test starts with no recent files and the normal zoom.
        QDir(m_configurazione.path()).removeRecursively();
        QDir().mkpath(m_configurazione.path());
    }

    void fileRecenti()
    {
        FinestraPrincipale &f = Avvia();
        QCOMPARE(VociRecenti(f), QStringList{u"-"_s});
        QTemporaryDir cartella; // outlives each program's own folder
        const QString a = cartella.filePath(u"a.bas"_s), b = cartella.filePath(u"b&c.txt"_s);
        for (const QString &p : {a, b}) {
            QFile file(p);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("y") == 1);
        }
        f.ApriFile(a);
        f.ApriFile(b);
        f.ApriFile(a);
        QCOMPARE(VociRecenti(f),
                 (QStringList{u"-"_s, u"&1 "_s + a, u"&2 "_s + QString(b).replace(u"&"_s, u"&&"_s),
                              u"-"_s}));
        // Remembered by the next start; a file gone is dropped with a message naming it.
        QVERIFY(QFile::remove(a));
        f.ApriFile(b);
        FinestraPrincipale &g = Avvia();
        QCOMPARE(g.ElencoFileRecenti(), (QStringList{b, a}));
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(g, "azioneFileRecente2")->trigger();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QVERIFY(messaggi[0].testo.contains(a));
        QCOMPARE(g.ElencoFileRecenti(), QStringList{b});
        QCOMPARE(VociRecenti(g).size(), 3);
        Comando(g, "azioneFileRecente1")->trigger();
        QCOMPARE(g.Editor()->Text(), u"y"_s);
        QCOMPARE(Condiviso().NomeFileCorrente, b);
        // The file dialog then offers the file opened from the list.
        Copione::RispondiFile(std::nullopt);
        Copione::RispondiMessaggio(Risposta::OK); // a cancelled save says so
        Comando(g, "azioneSalvaConNome")->trigger();
        QCOMPARE(Copione::Dialoghi().last().percorsoProposto, b);
    }

    // The caret's line and column and the file's name, beside the status text.
    void barraDiStato()
    {
        FinestraPrincipale &f = Avvia();
        const auto pannello = [&f](const char *nome) {
            return f.findChild<QLabel *>(QString::fromLatin1(nome))->text();
        };
        QCOMPARE(pannello("m_pannelloFile"), u"Senza nome"_s);
        m_amb->ScriviFile(u"modulo.bas"_s, "uno\r\ndue righe ' nota\r\n");
        f.ApriFile(m_amb->Percorso(u"modulo.bas"_s));
        QCOMPARE(pannello("m_pannelloFile"), u"modulo.bas"_s);
        QVERIFY(!Condiviso().TestoModificato); // colouring the comments is no change
        QCOMPARE(pannello("m_pannelloPosizione"), u"Riga 1, colonna 1"_s);
        f.Editor()->SetSelStart(5 + 4); // "due |righe"
        QCOMPARE(pannello("m_pannelloPosizione"), u"Riga 2, colonna 5"_s);
        QCOMPARE(f.TestoStato(), FinestraPrincipale::TestoInattivo());
    }

    // Ctrl+G asks for a line, offering the caret's; the range keeps the
    // answer within the text's lines.
    void vaiAllaRiga_data()
    {
        QTest::addColumn<int>("risposta"); // 0: Annulla
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<qsizetype>("offset");
        QTest::newRow("riga 3") << 3 << u"Riga 3, colonna 1"_s << qsizetype(10);
        QTest::newRow("oltre la fine") << 99 << u"Riga 5, colonna 1"_s << qsizetype(24);
        QTest::newRow("annullata") << 0 << u"Riga 2, colonna 3"_s << qsizetype(7);
    }
    void vaiAllaRiga()
    {
        QFETCH(int, risposta);
        FinestraPrincipale &f = Avvia();
        f.show();
        f.Editor()->SetText(u"uno\r\ndue\r\ntre\r\nquattro\r\ncinque"_s);
        f.Editor()->SetSelStart(7); // "du|e"
        Copione::QuandoModale([&](QDialog *d) {
            auto *domanda = qobject_cast<QInputDialog *>(d);
            QVERIFY(domanda);
            QCOMPARE(domanda->labelText(), u"Numero di riga (1–5):"_s);
            QCOMPARE(domanda->intValue(), 2);
            if (risposta == 0) return QTest::keyClick(d, Qt::Key_Escape);
            domanda->setIntValue(risposta);
            domanda->accept();
        });
        Comando(f, "azioneVaiAllaRiga")->trigger();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{u"DomandaVaiAllaRiga"_s});
        QTEST(f.findChild<QLabel *>(u"m_pannelloPosizione"_s)->text(), "posizione");
        QTEST(f.Editor()->SelStart(), "offset");
    }

    // A double-click or Enter on a row of the comparison puts the editor's
    // caret on that row's current line; a line only the original has goes to
    // the next current line, or the one before at the end (which line is
    // checked on the comparison).
    void dalConfrontoAllEditor_data()
    {
        QTest::addColumn<QString>("attuale");
        QTest::addColumn<int>("riga"); // of the table
        QTest::addColumn<bool>("conInvio");
        QTest::addColumn<QString>("posizione");
        const QString senzaDue = u"uno\r\ntre\r\nquattro"_s;
        QTest::newRow("riga tolta") << senzaDue << 1 << false << u"Riga 2, colonna 1"_s;
        QTest::newRow("Invio") << senzaDue << 2 << true << u"Riga 2, colonna 1"_s;
    }
    void dalConfrontoAllEditor()
    {
        QFETCH(QString, attuale);
        QFETCH(int, riga);
        QFETCH(bool, conInvio);
        FinestraPrincipale &f = Avvia();
        f.show();
        m_amb->ScriviFile(u"prova.bas"_s, "uno\r\ndue\r\ntre\r\nquattro");
        f.ApriFile(m_amb->Percorso(u"prova.bas"_s));
        f.Editor()->SetText(attuale);
        Copione::QuandoModale([&](QDialog *d) {
            auto *c = qobject_cast<FinestraConfronto *>(d);
            QVERIFY(c);
            const QModelIndex indice = c->VistaConfronto->model()->index(riga, 1);
            c->VistaConfronto->setCurrentIndex(indice);
            if (conInvio)
                QTest::keyClick(c->VistaConfronto, Qt::Key_Return);
            else { // a double-click: press and release, then the second press
                QWidget *vista = c->VistaConfronto->viewport();
                const QPoint punto = c->VistaConfronto->visualRect(indice).center();
                QTest::mouseClick(vista, Qt::LeftButton, {}, punto);
                QTest::mouseDClick(vista, Qt::LeftButton, {}, punto);
            }
            QVERIFY(!c->isVisible()); // closed: the line shows, nothing blocks
        });
        Comando(f, "azioneConfronto")->trigger();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{u"FinestraConfronto"_s});
        QTEST(f.findChild<QLabel *>(u"m_pannelloPosizione"_s)->text(), "posizione");
        QCOMPARE(f.Editor()->ColonnaCursore(), 1);
    }

    void ingrandimentoRicordato()
    {
        FinestraPrincipale &f = Avvia();
        const qreal normale = f.Editor()->font().pointSizeF();
        Comando(f, "azioneIngrandisci")->trigger();
        Comando(f, "azioneIngrandisci")->trigger();
        Comando(f, "azioneRiduci")->trigger();
        Comando(f, "azioneIngrandisci")->trigger();
        QCOMPARE(f.Editor()->font().pointSizeF(), normale + 2);
        FinestraPrincipale &g = Avvia();
        QCOMPARE(g.Editor()->Ingrandimento(), 2);
        QCOMPARE(g.Editor()->font().pointSizeF(), normale + 2);
        Comando(g, "azioneDimensioneNormale")->trigger();
        QCOMPARE(g.Editor()->font().pointSizeF(), normale);
        QCOMPARE(Avvia().Editor()->Ingrandimento(), 0);
        // Word wrap: off by default, remembered once chosen.
        QCOMPARE(m_amb->Finestra().Editor()->lineWrapMode(), QPlainTextEdit::NoWrap);
        Comando(m_amb->Finestra(), "azioneACapoAutomatico")->trigger();
        QCOMPARE(Avvia().Editor()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(Comando(m_amb->Finestra(), "azioneACapoAutomatico")->isChecked());
    }

    void primoAvvioNoNo()
    {
        AmbienteProva &amb = Nuovo();
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiMessaggio(Risposta::No);
        FinestraPrincipale &f = amb.Avvia();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(Copione::TestiMessaggi(messaggi),
                 (QStringList{u"Il file delle sostituzioni è vuoto. Si desidera riempirlo ora?"_s,
                              u"Il file della pulizia è vuoto. Si desidera riempirlo ora?"_s}));
        for (const auto &m : messaggi)
            QCOMPARE(std::tuple(m.pulsanti, m.icona, m.titolo),
                     std::tuple(Pulsanti::SiNo, Icona::Informazione, u"Quadrivo"_s));
        QVERIFY(!Comando(f, "azioneAvviaPseudocodifica")->isEnabled());
        QVERIFY(!Comando(f, "azioneAvviaPulizia")->isEnabled());
        QCOMPARE(Condiviso().NumSostituzioni(), 0);
        QVERIFY(QFile::exists(amb.Percorso(u"sostituzioni.dat"_s)));
        QCOMPARE(QFileInfo(amb.Percorso(u"pulizia.dat"_s)).size(), 0);
        QCOMPARE(f.windowTitle(), u"Quadrivo"_s);
        QCOMPARE(f.TestoStato(), FinestraPrincipale::TestoInattivo());
        QVERIFY(!Condiviso().TestoModificato);
    }

    // With a list for each language an empty shared list does not disable the
    // run, which uses the text's own list; turning the option off does.
    void elencoPerLinguaggioConElencoVuoto()
    {
        AmbienteProva &amb = Nuovo();
        amb.ScriviFile(u"opzioni.ini"_s, FileOpzioni::Testo({false, false, true}));
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiMessaggio(Risposta::No);
        FinestraPrincipale &f = amb.Avvia();
        QVERIFY(Comando(f, "azioneAvviaPseudocodifica")->isEnabled());
        Copione::QuandoModale([](QDialog *d) {
            auto *opzioni = qobject_cast<FinestraOpzioni *>(d);
            QVERIFY(opzioni);
            opzioni->CasellaElencoLinguaggio->setChecked(false);
            opzioni->BottoneOk->click();
        });
        Comando(f, "azioneOpzioni")->trigger();
        QVERIFY(!Comando(f, "azioneAvviaPseudocodifica")->isEnabled());
    }

    void primoAvvioSiApreGliEditor()
    {
        AmbienteProva &amb = Nuovo();
        for (const QString &titolo : {u"Elenco sostituzioni"_s, u"Elenco eliminazioni"_s}) {
            Copione::RispondiMessaggio(Risposta::Si);
            Copione::QuandoModale([titolo](QDialog *d) {
                QCOMPARE(d->windowTitle(), titolo);
                d->accept();
            });
        }
        FinestraPrincipale &f = amb.Avvia();
        QCOMPARE(Copione::ModaliMostrati(),
                 (QStringList{u"FinestraSostituzioni"_s, u"FinestraEliminazioni"_s}));
        // Nothing was saved: the files stay empty and both commands disabled.
        QVERIFY(!Comando(f, "azioneAvviaPseudocodifica")->isEnabled());
        QVERIFY(!Comando(f, "azioneAvviaPulizia")->isEnabled());
    }

    void fileDiSoleParoleVuote()
    {
        AmbienteProva &amb = Nuovo();
        amb.ScriviFile(u"sostituzioni.dat"_s,
                       Record::Codifica(VoceSostituzione{QString(), u"x"_s}) +
                           Record::Codifica(VoceSostituzione{}));
        amb.ScriviFile(u"pulizia.dat"_s, Record::Codifica(VoceEliminazione{}));
        FinestraPrincipale &f = amb.Avvia();
        QCOMPARE(Copione::Messaggi().size(), 0);
        QVERIFY(Comando(f, "azioneAvviaPseudocodifica")->isEnabled());
        QVERIFY(Comando(f, "azioneAvviaPulizia")->isEnabled());
    }

    void fileDanneggiatiSenzaCrash()
    {
        AmbienteProva &amb = Nuovo();
        amb.ScriviFile(u"sostituzioni.dat"_s, QByteArray::fromHex("FFFF") + QByteArray(200, 'A') +
                                                  QByteArray::fromHex("0300"));
        amb.ScriviFile(u"pulizia.dat"_s, QByteArray(77, '\xFF'));
        // The substitution list is used as ever; the user is told once why it
        // may not hold what it seems.
        Copione::RispondiMessaggio(Risposta::OK);
        FinestraPrincipale &f = amb.Avvia();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QCOMPARE(messaggi[0].testo,
                 u"L'elenco \""_s + QDir::toNativeSeparators(amb.Percorso(u"sostituzioni.dat"_s)) +
                     u"\": il record 1 ha campi che non si leggono come testo.\r\nViene usato lo "
                     u"stesso: un record incompleto è completato con zeri, un campo più lungo del "
                     u"record è tagliato alla sua fine."_s);
        QCOMPARE(messaggi[0].icona, Icona::Informazione);
        // What is counted and shown of these files is checked on the core.
        Copione::QuandoModale([](QDialog *d) { d->accept(); });
        Comando(f, "azioneSostituzioni")->trigger();
        Copione::QuandoModale([](QDialog *d) { d->accept(); });
        Comando(f, "azionePulizia")->trigger();
    }

    void cartellaInutilizzabile()
    {
        AmbienteProva &amb = Nuovo();
        amb.ScriviFile(u"un-file"_s, "x");
        Contesto stato(amb.Percorso(u"un-file"_s));
        FinestraPrincipale f(stato);
        Copione::RispondiMessaggio(Risposta::OK);
        QVERIFY(!f.Avvia());
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QVERIFY(messaggi[0].testo.contains(u"Errore: "_s));
        QVERIFY(messaggi[0].testo.endsWith(u"  (20)"_s)); // ENOTDIR
        QCOMPARE(messaggi[0].icona, Icona::Critico);
    }

    void alberoDeiMenu()
    {
        FinestraPrincipale &f = Avvia();
        // A command a line: name, caption, shortcut; a menu's commands indented.
        const QStringList atteso = uR"(menuFile &File
  azioneNuovo &Nuovo Ctrl+N
  azioneApri &Apri... Ctrl+O
  azioneSalva &Salva
  azioneSalvaConNome S&alva con nome...
  -
  azioneEsci &Esci Ctrl+E
menuModifica &Modifica
  azioneAnnulla &Annulla Ctrl+Z
  azioneRifai Ri&fai Ctrl+Y
  -
  azioneTaglia &Taglia Ctrl+X
  azioneCopia &Copia Ctrl+C
  azioneIncolla &Incolla Ctrl+V
  azioneSelezionaTutto Seleziona &tutto
  -
  azioneTrova &Trova... Ctrl+T
  azioneRipetiTrova &Ripeti trova F3
  azioneSostituisciParola &Sostituisci una parola... Ctrl+H
  -
  azioneVaiAllaRiga &Vai alla riga... Ctrl+G
menuStrumenti &Strumenti
  azioneSostituzioni &Sostituzioni... Ctrl+S
  azionePulizia &Pulizia...
  -
  azioneAvviaPseudocodifica &Avvia la pseudocodificazione... Ctrl+A
  azioneAvviaPulizia A&vvia la pulizia... Ctrl+P
  -
  azioneParoleNonTradotte Parole &non tradotte...
  azioneOpzioni &Opzioni...
  menuLinguaggio &Linguaggio del testo
  -
  azioneConfronto &Confronta con l'originale...
menuVisualizza &Visualizza
  azioneIngrandisci &Ingrandisci Ctrl++
  azioneRiduci &Riduci Ctrl+-
  azioneDimensioneNormale Dimensione &normale Ctrl+0
  -
  azioneACapoAutomatico A capo &automatico
Punto &?
  azioneGuida &Guida F1
  azioneInformazioni &Informazioni su...)"_s.split(u'\n');
        QStringList trovato;
        for (QAction *menu : f.menuBar()->actions()) {
            trovato.append(menu->objectName() + u' ' + menu->text());
            for (QAction *voce : menu->menu()->actions()) {
                const QString tasto = voce->shortcut().toString(QKeySequence::PortableText);
                QString riga = u"  "_s + voce->objectName() + u' ' + voce->text();
                if (!tasto.isEmpty()) riga += u' ' + tasto;
                trovato.append(voce->isSeparator() ? u"  -"_s : riga);
            }
        }
        QCOMPARE(trovato, atteso);
    }

    void regolaDisposizione()
    {
        // Too small: snapped back to 3000 in each dimension that was short.
        FinestraPrincipale::Disposizione d =
            FinestraPrincipale::RegolaDisposizione(2000, 5000, 330, 4200);
        QCOMPARE(d.larghezza, 3000);
        QCOMPARE(d.altezza, 5000);
        QCOMPARE(*d.larghezzaEditor, 2890);
        QCOMPARE(*d.altezzaEditor, 5000 - 700 - 330);
        QCOMPARE(d.topBarra, 4050);
        d = FinestraPrincipale::RegolaDisposizione(3000, 2999, 330, 4200);
        QCOMPARE(d.altezza, 3000);
        QCOMPARE(d.topBarra, 2050);
        // The progress bar follows panel 2 up to 8900, the right edge beyond.
        QCOMPARE(FinestraPrincipale::RegolaDisposizione(8900, 6000, 330, 4200).leftBarra, 5100);
        QCOMPARE(FinestraPrincipale::RegolaDisposizione(8901, 6000, 330, 4200).leftBarra, 5401);
        // A negative editor height is a step skipped.
        QVERIFY(!FinestraPrincipale::RegolaDisposizione(5000, 3000, 3000, 0).altezzaEditor);
    }

    void finestraRealeSiRidimensiona()
    {
        FinestraPrincipale &f = Avvia();
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
        // The status bar's second panel starts halfway at any width and places
        // the progress bar; the line and file panels sit beside the bar, never under it.
        auto *pannello = f.findChild<QLabel *>(u"m_pannelloBarra"_s);
        auto *barraStato = f.findChild<QStatusBar *>(u"m_barraStato"_s);
        const auto sinistraNellaFinestra = [&f](QWidget *w) { return w->mapTo(&f, QPoint()).x(); };
        for (const int larghezza : {8000, 9000, 17000}) {
            f.resize(Pixel(larghezza), Pixel(6000));
            QTRY_COMPARE(f.width(), Pixel(larghezza));
            QTRY_VERIFY(qAbs(pannello->x() - barraStato->width() / 2) <= 8);
            const QRect barra = Avanzamento(f)->geometry();
            if (f.DimensioneEsterna().width() <= 8900)
                QTRY_COMPARE(barra.x(), sinistraNellaFinestra(pannello) + Pixel(900));
            for (const char *nome : {"m_pannelloPosizione", "m_pannelloFile"}) {
                QWidget *w = f.findChild<QLabel *>(QString::fromLatin1(nome));
                const int da = sinistraNellaFinestra(w), a = da + w->width();
                if (w->width() > 0) QTRY_VERIFY2(a <= barra.left() || da > barra.right(), nome);
            }
        }
        QVERIFY(f.findChild<QLabel *>(u"m_pannelloPosizione"_s)->width() > 0);
    }

    void puliziaEliminaLeParole()
    {
        FinestraPrincipale &f = Avvia(true);
        f.Editor()->SetText(
            u"Unload Me\r\nForm2.Show\r\nMsgBox x, vbInformation\r\nUnloaded #1\r\n"_s);
        Copione::RispondiMessaggio(Risposta::OK);
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "azioneAvviaPulizia")->trigger();
        // What the run deletes is checked on the core; the editor takes its text.
        QVERIFY(f.Editor()->Text().startsWith(u" Me\r\nForm2.Show\r\n"_s));
        QVERIFY(Condiviso().TestoModificato);
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.last().testo, u"Pulizia terminata: sono state eliminate 3 parole."_s);
        // The end box offers the comparison when words went, and only then.
        QCOMPARE(messaggi.last().pulsanti, Pulsanti::OKConfronta);
        Copione::RispondiMessaggio(Risposta::OK);
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "azioneAvviaPulizia")->trigger();
        QCOMPARE(Copione::Messaggi().last().pulsanti, Pulsanti::OK);
        f.Editor()->SetText(u"Unload Me"_s);
        Copione::RispondiMessaggio(Risposta::OK);
        Copione::RispondiMessaggio(Risposta::Confronta);
        Copione::QuandoModale([](QDialog *d) { d->reject(); });
        Comando(f, "azioneAvviaPulizia")->trigger();
        Copione::Messaggi();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{u"FinestraConfronto"_s});
    }

    void finestraInformazioni()
    {
        FinestraPrincipale &f = Avvia();
        Copione::QuandoModale([](QDialog *d) {
            auto *info = qobject_cast<FinestraInformazioni *>(d);
            QCOMPARE(info->windowTitle(), u"Informazioni su..."_s);
            QCOMPARE(info->Titolo->text(), u"Quadrivo"_s);
            QVERIFY(info->Titolo->font().bold());
            QCOMPARE(info->Descrizione->text(),
                     u"Trasforma il codice sorgente in un abbozzo di pseudocodifica"_s);
            QVERIFY(info->Descrizione->font().italic());
            QCOMPARE(info->Versione->text(), u"Versione 1"_s);
            // Twice "&Crediti": two viewers.
            info->BottoneCrediti->click();
            info->BottoneCrediti->click();
            const QStringList avviati = Copione::VisualizzatoriAvviati();
            QCOMPARE(avviati.size(), 2);
            QVERIFY(avviati[0].endsWith(u"/crediti.html"_s));
            // No viewer at all: the message, naming what is missing here (the
            // desktop's viewer, xdg-open), and the window stays.
            Copione::VisualizzatoreMancante(true);
            Copione::RispondiMessaggio(Risposta::OK);
            info->BottoneCrediti->click();
            const auto messaggi = Copione::Messaggi();
            QCOMPARE(messaggi.size(), 1);
            QVERIFY(messaggi[0].testo.startsWith(u"Impossibile avviare xdg-open"_s));
            QVERIFY(messaggi[0].testo.contains(u"xdg-utils"_s));
            QVERIFY(messaggi[0].testo.contains(u"\r\nSe non è installato, scaricarlo dal sito "_s));
            QCOMPARE(messaggi[0].titolo, u"Appunti"_s);
            QCOMPARE(messaggi[0].icona, Icona::Critico);
            QVERIFY(info->isVisible());
            // The viewer starts but the desktop has no browser: said in a box too.
            Copione::VisualizzatoreMancante(false);
            Copione::NessunProgrammaPerIlFile(true);
            Copione::RispondiMessaggio(Risposta::OK);
            info->BottoneCrediti->click();
            const auto nessunBrowser = Copione::Messaggi();
            QCOMPARE(nessunBrowser.size(), 1);
            QVERIFY2(nessunBrowser[0].testo.startsWith(u"Impossibile mostrare i crediti"_s),
                     qPrintable(nessunBrowser[0].testo));
            QVERIFY(nessunBrowser[0].testo.contains(u"crediti.html"_s));
            QCOMPARE(nessunBrowser[0].titolo, u"Crediti"_s);
            QCOMPARE(nessunBrowser[0].icona, Icona::Esclamazione);
            Copione::VisualizzatoriAvviati();
            info->BottoneOk->click();
        });
        Comando(f, "azioneInformazioni")->trigger();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{u"FinestraInformazioni"_s});
    }

    // F1: the guide, built into the program, beside the editor; F1 again
    // brings the same window back.
    void guida()
    {
        FinestraPrincipale &f = Avvia();
        QCOMPARE(Comando(f, "azioneGuida")->shortcut(), QKeySequence(Qt::Key_F1));
        Comando(f, "azioneGuida")->trigger();
        QWidget *guida = f.FinestraGuidaAperta();
        QVERIFY(guida);
        QVERIFY(guida->isVisible());
        QCOMPARE(guida->windowTitle(), u"Guida di Quadrivo"_s);
        auto *testo = guida->findChild<QTextBrowser *>();
        QVERIFY(testo);
        const QString contenuto = testo->toPlainText();
        for (const QString &parte : {u"A che cosa serve"_s, u"L'uso tipico"_s, u"Gli elenchi"_s,
                                     u"Lascia intatti commenti e stringhe"_s, u"quadrivo-pseudo"_s,
                                     u"opzioni.ini"_s, u"sostituzioni.dat"_s})
            QVERIFY2(contenuto.contains(parte), qPrintable(parte));
        QVERIFY(Copione::ModaliMostrati().isEmpty()); // it blocks nothing
        Comando(f, "azioneGuida")->trigger();
        QCOMPARE(f.FinestraGuidaAperta(), guida);
        guida->close();
    }

    // Strumenti → "&Linguaggio del testo": the file name's language is marked;
    // a choice changes how the runs read the text; opening a file or "&Nuovo"
    // goes back to the name's.
    void linguaggioDelTesto()
    {
        FinestraPrincipale &f = Avvia();
        const auto marcato = [&f] {
            for (QAction *a : f.findChild<QMenu *>(u"menuLinguaggio"_s)->actions())
                if (a->isChecked()) return a->text();
            return QString();
        };
        QCOMPARE(marcato(), u"&Testo"_s);
        QStringList voci;
        for (QAction *a : f.findChild<QMenu *>(u"menuLinguaggio"_s)->actions())
            voci.append(a->text());
        QCOMPARE(voci, (QStringList{u"&Testo"_s, u"&BASIC"_s, u"&C"_s, u"C&++"_s, u"B&atch"_s}));
        Comando(f, "azioneLinguaggio_c")->trigger();
        QCOMPARE(marcato(), u"&C"_s);
        QCOMPARE(Condiviso().Regole().tipo.linguaggio, Linguaggio::C);
        m_amb->ScriviFile(u"prova.bas"_s, "If a Then\r\n");
        f.ApriFile(m_amb->Percorso(u"prova.bas"_s));
        QCOMPARE(marcato(), u"&BASIC"_s);
        Comando(f, "azioneLinguaggio_testo")->trigger();
        QCOMPARE(Condiviso().Regole().tipo.linguaggio, Linguaggio::Nessuno);
        Comando(f, "azioneNuovo")->trigger();
        QCOMPARE(marcato(), u"&Testo"_s);
    }

    // "Seleziona &tutto" selects the whole text; the editor's own menu shows
    // no Ctrl+A beside its "select all" (Ctrl+A starts a run).
    void selezionaTutto()
    {
        FinestraPrincipale &f = Avvia();
        f.Editor()->SetText(u"ab\r\ncd"_s);
        Comando(f, "azioneSelezionaTutto")->trigger();
        QCOMPARE(f.Editor()->SelLength(), 6);
        QVERIFY(Comando(f, "azioneSelezionaTutto")->shortcut().isEmpty());
        std::unique_ptr<QMenu> menu(f.Editor()->CreaMenuContestuale());
        bool trovata = false;
        for (QAction *a : menu->actions()) {
            if (a->objectName() != u"select-all"_s) continue;
            trovata = true;
            QVERIFY2(!a->text().contains(u'\t'), qPrintable(a->text()));
        }
        QVERIFY(trovata);
    }

    void modificatoDaOgniCambiamentoDellUtente()
    {
        FinestraPrincipale &f = Avvia();
        QVERIFY(!Condiviso().TestoModificato);
        f.Editor()->SetText(u"riga uno\r\nriga due"_s);
        QVERIFY(!Condiviso().TestoModificato);
        f.Editor()->SetSelStart(0);
        f.Editor()->SetSelLength(4);
        Comando(f, "azioneTaglia")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), u"riga"_s);
        QVERIFY(Condiviso().TestoModificato);
        Condiviso().TestoModificato = false;
        f.Editor()->SetSelStart(f.Editor()->Lunghezza());
        Comando(f, "azioneIncolla")->trigger();
        QVERIFY(f.Editor()->Text().endsWith(u"dueriga"_s));
        QVERIFY(Condiviso().TestoModificato);
        Condiviso().TestoModificato = false;
        QTest::keyClick(f.Editor(), Qt::Key_Backspace);
        QVERIFY(Condiviso().TestoModificato);
    }

    void incollaSenzaTestoNonCancella_data()
    {
        QTest::addColumn<QString>("appunti");
        QTest::newRow("appunti vuoti") << QString();
        QTest::newRow("solo un'immagine") << u"immagine"_s;
        QTest::newRow("testo vuoto") << u"vuoto"_s;
    }

    void incollaSenzaTestoNonCancella()
    {
        QFETCH(QString, appunti);
        FinestraPrincipale &f = Avvia();
        f.Editor()->SetText(u"riga uno"_s);
        f.Editor()->SetSelStart(0);
        f.Editor()->SetSelLength(4);
        QClipboard *c = QGuiApplication::clipboard();
        c->clear();
        QImage immagine(2, 2, QImage::Format_RGB32);
        immagine.fill(Qt::red);
        if (appunti == u"immagine"_s) c->setImage(immagine);
        if (appunti == u"vuoto"_s) c->setText(QString());
        Comando(f, "azioneIncolla")->trigger();
        QCOMPARE(f.Editor()->Text(), u"riga uno"_s);
        QCOMPARE(f.Editor()->SelText(), u"riga"_s);
        QVERIFY(!Condiviso().TestoModificato);
    }

    void chiusuraIgnorataMentreDisabilitata_data()
    {
        QTest::addColumn<QString>("come");
        QTest::newRow("Trova") << u"trova"_s;
        QTest::newRow("Sostituisci") << u"sostituisci"_s;
        QTest::newRow("sostituzione in corso, dialogo chiuso") << u"corsa"_s;
    }

    void chiusuraIgnorataMentreDisabilitata()
    {
        QFETCH(QString, come);
        FinestraPrincipale &f = Avvia();
        f.Editor()->SetText(u"uno due\r\n"_s.repeated(500));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        FinestraTrova *d = f.DialogoTrova();
        d->IntervalloCessione = 0;
        // A close request as the window manager sends it.
        auto chiudi = [&f] { return f.windowHandle()->close(); };
        if (come == u"corsa"_s) {
            Comando(f, "azioneSostituisciParola")->trigger();
            d->TestoDaTrovare->setText(u"uno"_s);
            d->TestoSostitutivo->setText(u"1"_s);
            bool chiusa = true;
            QTimer::singleShot(0, d, [&] {
                d->close();
                chiusa = chiudi();
            });
            Copione::RispondiMessaggio(Risposta::OK);
            d->BottoneSostituisciTutto->click();
            Copione::Messaggi();
            QVERIFY(!chiusa);
            QVERIFY(f.Editor()->Text().endsWith(u"1 due\r\n"_s)); // the run ended
        } else {
            Comando(f, come == u"trova"_s ? "azioneTrova" : "azioneSostituisciParola")->trigger();
            QVERIFY(!chiudi());
            QVERIFY(f.isVisible());
            d->BottoneChiudi->click();
        }
        QVERIFY(f.isEnabled());
        Condiviso().TestoModificato = false;
        QVERIFY(chiudi()); // enabled again, it closes
    }

    void finestraDiCorsaNonCopreLaParola()
    {
        FinestraPrincipale &f = Avvia();
        f.Editor()->SetText(u"a\r\nIf b\r\nIf c\r\n"_s);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "azioneAvviaPseudocodifica")->trigger();
        auto *p = qobject_cast<FinestraPseudocodifica *>(f.FinestraPseudocodificaAperta());
        QVERIFY(p);
        QCoreApplication::processEvents();
        auto parola = [&f] {
            return f.Editor()->viewport()->mapToGlobal(f.Editor()->cursorRect().center());
        };
        QCOMPARE(f.Editor()->SelStart(), 3);
        QVERIFY(!p->frameGeometry().contains(parola()));
        // Put over the word; "S&uccessivo" selects the "If" on the line below.
        p->move(parola() - QPoint(p->width() / 2, p->height() / 2));
        QCoreApplication::processEvents();
        p->BottoneSuccessivo->click();
        QCoreApplication::processEvents();
        QCOMPARE(f.Editor()->SelStart(), 9);
        QVERIFY2(!p->frameGeometry().contains(parola()), "the run window covers the word");
        Copione::Messaggi();
    }

    // The word's bar follows the walk through the current word's occurrences.
    void camminoMostraOccorrenze()
    {
        FinestraPrincipale &f = Avvia();
        f.Editor()->SetText(u"a\r\nIf b\r\nIf c\r\n"_s);
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "azioneAvviaPseudocodifica")->trigger();
        auto *p = qobject_cast<FinestraPseudocodifica *>(f.FinestraPseudocodificaAperta());
        QVERIFY(p);
        QCOMPARE(p->BarraTesto->text(), u"1 di 2"_s);
        p->BottoneSostituisci->click();
        QCOMPARE(p->BarraTesto->text(), u"1 di 2"_s);
        p->BottoneSuccessivo->click();
        QCOMPARE(p->BarraTesto->text(), u"2 di 2"_s);
        Copione::Messaggi();
        p->close();
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
        FinestraPrincipale &f = Avvia(true);
        const QString iniziale = u"If a Then\r\n  Unload Me\r\nEnd If\r\n"_s;
        f.Editor()->SetText(iniziale);
        QVERIFY(!Comando(f, "azioneAnnulla")->isEnabled());
        f.Editor()->SetSelStart(f.Editor()->Lunghezza());
        QTest::keyClick(f.Editor(), Qt::Key_X);
        const QString prima = f.Editor()->Text();
        Copione::RispondiMessaggio(Risposta::OK);
        if (operazione == 0) {
            Condiviso().ParolaCercata = u"If"_s;
            Condiviso().ParolaSostitutiva = u"Se"_s;
            Condiviso().OpzioniTrova.paroleIntere = true;
            f.DialogoTrova()->SostituisciTutte();
        } else if (operazione == 1) {
            Copione::RispondiMessaggio(Risposta::OK);
            Comando(f, "azioneAvviaPulizia")->trigger();
        } else {
            Comando(f, "azioneAvviaPseudocodifica")->trigger();
            auto *p = qobject_cast<FinestraPseudocodifica *>(f.FinestraPseudocodificaAperta());
            p->IntervalloCessione = 0;
            if (operazione == 4) Copione::RispondiMessaggio(Risposta::OK);
            (operazione == 2   ? p->BottoneSostituisci
             : operazione == 3 ? p->BottoneSostituisciTutto
                               : p->BottoneAvviaAutomatica)
                ->click();
            p->close();
        }
        Copione::Messaggi();
        const QString dopo = f.Editor()->Text();
        QVERIFY(dopo != prima);
        Condiviso().TestoModificato = false;
        QVERIFY(Comando(f, "azioneAnnulla")->isEnabled());
        QVERIFY(!Comando(f, "azioneRifai")->isEnabled());
        Comando(f, "azioneAnnulla")->trigger();
        QCOMPARE(f.Editor()->Text(), prima);
        QVERIFY(Condiviso().TestoModificato);
        QVERIFY(Comando(f, "azioneRifai")->isEnabled());
        Comando(f, "azioneRifai")->trigger();
        QCOMPARE(f.Editor()->Text(), dopo);
        Comando(f, "azioneAnnulla")->trigger();
        Comando(f, "azioneAnnulla")->trigger();
        QCOMPARE(f.Editor()->Text(), iniziale);
        QVERIFY(!Comando(f, "azioneAnnulla")->isEnabled());
    }

    // The keys of undo and redo reach the menu; "&Nuovo" and "&Apri..." start
    // a fresh history.
    void annullaRifaiDaTastieraEStoriaNuova()
    {
        FinestraPrincipale &f = Avvia();
        m_amb->ScriviFile(u"doc.txt"_s, "testo aperto\r\n");
        f.show();
        f.Editor()->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.Editor()->SetText(u"uno"_s);
        f.Editor()->SostituisciTesto(u"due"_s);
        const QList<std::pair<QKeyCombination, QString>> tasti = {
            {Qt::CTRL | Qt::Key_Z, u"uno"_s},
            {Qt::CTRL | Qt::Key_Y, u"due"_s},
            {Qt::CTRL | Qt::Key_Z, u"uno"_s},
            {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, u"due"_s},
        };
        for (const auto &[tasto, atteso] : tasti) {
            QTest::keyClick(f.Editor(), tasto.key(), tasto.keyboardModifiers());
            QCOMPARE(f.Editor()->Text(), atteso);
        }
        QVERIFY(Condiviso().TestoModificato);
        Copione::RispondiMessaggio(Risposta::No);
        Comando(f, "azioneNuovo")->trigger();
        QVERIFY(!Comando(f, "azioneAnnulla")->isEnabled());
        QVERIFY(!Comando(f, "azioneRifai")->isEnabled());
        f.Editor()->SostituisciTesto(u"tre"_s);
        Comando(f, "azioneAnnulla")->trigger();
        QVERIFY(Comando(f, "azioneRifai")->isEnabled());
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiFile(m_amb->Percorso(u"doc.txt"_s));
        Comando(f, "azioneApri")->trigger();
        QCOMPARE(f.Editor()->Text(), u"testo aperto\r\n"_s);
        QVERIFY(!Comando(f, "azioneAnnulla")->isEnabled());
        QVERIFY(!Comando(f, "azioneRifai")->isEnabled());
        Copione::Messaggi();
        Copione::Dialoghi();
    }
};

QTEST_MAIN(TestFinestraPrincipale)
#include "test_finestraprincipale.moc"
