// The code-reading options: their file beside the lists, start-up and the dialog.

#include "aiuti/AmbienteProva.h"
#include "app/Form1.h"
#include "app/frmOpzioni.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Piattaforma;

class TestOpzioni : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { VERIFICA_COPIONE_ESAURITO(); }

    void andataERitorno_data()
    {
        QTest::addColumn<bool>("lascia");
        QTest::addColumn<bool>("separatori");
        for (bool a : {false, true})
            for (bool b : {false, true})
                QTest::addRow("%d%d", a, b) << a << b;
    }
    void andataERitorno()
    {
        QFETCH(bool, lascia);
        QFETCH(bool, separatori);
        QTemporaryDir cartella;
        const Opzioni scritte{lascia, separatori};
        ErroreFile errore;
        QVERIFY(FileOpzioni::Scrivi(cartella.path(), scritte, &errore));
        QCOMPARE(FileOpzioni::Leggi(cartella.path()), scritte);
        // Writing again over an existing file replaces it.
        const Opzioni opposte{!lascia, !separatori};
        QVERIFY(FileOpzioni::Scrivi(cartella.path(), opposte));
        QCOMPARE(FileOpzioni::Leggi(cartella.path()), opposte);
    }

    // Anything but a well-formed file leaves both options off.
    void lettura_data()
    {
        QTest::addColumn<QByteArray>("contenuto"); // null: no file
        QTest::addColumn<bool>("lascia");
        QTest::addColumn<bool>("separatori");
        const QByteArray buono =
            "[Opzioni]\nLasciaIntattiCommentiEStringhe=1\nSeparatoriDelCodice=1\n";
        QTest::newRow("mancante") << QByteArray() << false << false;
        QTest::newRow("vuoto") << QByteArray("") << false << false;
        QTest::newRow("buono") << buono << true << true;
        QTest::newRow("crlf, bom, commenti, spazi, chiave ignota, maiuscole")
            << QByteArray("\xEF\xBB\xBF; opzioni\r\n[opzioni]\r\n# x\r\n  separatoridelcodice = 1 "
                          "\r\nAltro=0\r\n")
            << false << true;
        QTest::newRow("valore 2") << QByteArray(buono).replace("Codice=1", "Codice=2") << false
                                  << false;
        QTest::newRow("valore vuoto")
            << QByteArray(buono).replace("Codice=1", "Codice=") << false << false;
        QTest::newRow("riga senza uguale") << buono + "spazzatura\n" << false << false;
        QTest::newRow("chiave vuota") << buono + "=1\n" << false << false;
        QTest::newRow("altra sezione") << "[Altro]\n" + buono << false << false;
        QTest::newRow("utf-8 non valido") << buono + "; \xFF\xFE\n" << false << false;
        QTest::newRow("binario") << QByteArray("\x00\x01\x02=1", 5) << false << false;
        QTest::newRow("enorme") << buono + QByteArray(70 * 1024, ';') << false << false;
    }
    void lettura()
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(bool, lascia);
        QFETCH(bool, separatori);
        QTemporaryDir cartella;
        if (!contenuto.isNull()) {
            QFile file(FileOpzioni::Percorso(cartella.path()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(contenuto), contenuto.size());
        }
        QCOMPARE(FileOpzioni::Leggi(cartella.path()), (Opzioni{lascia, separatori}));
    }

    void scritturaFallitaDaErrno()
    {
        QTemporaryDir cartella;
        ErroreFile errore;
        const QString assente = QDir(cartella.path()).filePath(QStringLiteral("assente"));
        QVERIFY(!FileOpzioni::Scrivi(assente, Opzioni{true, true}, &errore));
        QCOMPARE(errore.numero, ENOENT);
        QCOMPARE(errore.descrizione, QStringLiteral("File o cartella inesistente"));
    }

    // The file is read at start-up; the dialog shows it and the text's
    // language, and OK stores what was ticked while Annulla stores nothing.
    void dialogo_data()
    {
        QTest::addColumn<QByteArray>("fileAvvio");
        QTest::addColumn<QString>("nomeFile");
        QTest::addColumn<bool>("lascia");
        QTest::addColumn<bool>("separatori");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("linguaggio");
        const QByteArray entrambe = FileOpzioni::Testo({true, true});
        QTest::newRow("basic, attiva")
            << QByteArray() << "/x/Modulo1.BAS" << true << false << true << "BASIC";
        QTest::newRow("c, spegne") << entrambe << "/x/main.cpp" << false << true << true << "C/C++";
        QTest::newRow("batch, annulla")
            << entrambe << "/x/a.cmd" << false << false << false << "Batch";
        QTest::newRow("senza nome") << QByteArray() << "" << true << true << true << "Nessuno";
    }
    void dialogo()
    {
        QFETCH(QByteArray, fileAvvio);
        QFETCH(QString, nomeFile);
        QFETCH(bool, lascia);
        QFETCH(bool, separatori);
        QFETCH(bool, ok);
        QFETCH(QString, linguaggio);
        AmbienteProva amb;
        amb.ScriviElenchi(SostituzioniPredefinite());
        if (!fileAvvio.isNull()) amb.ScriviFile(QStringLiteral("opzioni.ini"), fileAvvio);
        Form1 &form = amb.Avvia();
        const Opzioni avvio = FileOpzioni::DaTesto(fileAvvio);
        QCOMPARE(amb.Stato().OpzioniCodice, avvio);
        amb.Stato().NomeFileCorrente = nomeFile;

        Copione::QuandoModale([&](QDialog *d) {
            auto *f = qobject_cast<frmOpzioni *>(d);
            QVERIFY(f);
            QCOMPARE(f->windowTitle(), QStringLiteral("Opzioni"));
            QCOMPARE(f->Label1->text(), QStringLiteral("Linguaggio del testo: ") + linguaggio);
            QCOMPARE(f->Check1->isChecked(), avvio.LasciaIntatti);
            QCOMPARE(f->Check2->isChecked(), avvio.SeparatoriCodice);
            f->Check1->setChecked(lascia);
            f->Check2->setChecked(separatori);
            (ok ? f->Command1 : f->Command2)->click();
        });
        QCOMPARE(Comando(form, "mnuStrumOpz")->text(), QStringLiteral("&Opzioni..."));
        Comando(form, "mnuStrumOpz")->trigger();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{QStringLiteral("frmOpzioni")});

        const Opzioni attese = ok ? Opzioni{lascia, separatori} : avvio;
        QCOMPARE(amb.Stato().OpzioniCodice, attese);
        QCOMPARE(FileOpzioni::Leggi(amb.Cartella()), attese);
        QCOMPARE(Copione::Messaggi().size(), 0);
    }

    void dialogoScritturaFallita()
    {
        AmbienteProva amb;
        amb.ScriviElenchi(SostituzioniPredefinite());
        amb.Avvia();
        // A folder where the file should be: it can be neither written nor replaced.
        QVERIFY(QDir(amb.Cartella()).mkdir(QStringLiteral("opzioni.ini")));
        frmOpzioni f(amb.Stato());
        f.show();
        f.Check1->setChecked(true);
        Copione::RispondiMessaggio(Risposta::OK);
        f.Command1->click();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QVERIFY2(messaggi[0].testo.startsWith(QStringLiteral("Impossibile salvare le opzioni in")),
                 qPrintable(messaggi[0].testo));
        QVERIFY(messaggi[0].testo.contains(QStringLiteral("\r\nErrore: ")));
        QCOMPARE(messaggi[0].icona, Icona::Critico);
        QVERIFY(f.isVisible());
        QCOMPARE(amb.Stato().OpzioniCodice, (Opzioni{}));
    }
};

QTEST_MAIN(TestOpzioni)
#include "test_opzioni.moc"
