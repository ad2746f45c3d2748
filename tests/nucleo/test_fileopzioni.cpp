// The options file beside the lists: written in its exact format, read back,
// and anything but a well-formed file read as both options off.

#include "nucleo/Opzioni.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

class TestFileOpzioni : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void andataERitorno_data()
    {
        QTest::addColumn<Opzioni>("scritte");
        for (bool a : {false, true})
            for (bool b : {false, true})
                QTest::addRow("%d%d", a, b) << Opzioni{a, b};
    }
    void andataERitorno()
    {
        QFETCH(Opzioni, scritte);
        QTemporaryDir cartella;
        ErroreFile errore;
        QVERIFY(FileOpzioni::Scrivi(cartella.path(), scritte, &errore));
        QCOMPARE(FileOpzioni::Leggi(cartella.path()), scritte);
        // The file's exact format: one section, one key a line, 0 or 1.
        QFile file(FileOpzioni::Percorso(cartella.path()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("[Opzioni]\nLasciaIntattiCommentiEStringhe=") +
                     (scritte.LasciaIntatti ? "1" : "0") +
                     "\nSeparatoriDelCodice=" + (scritte.SeparatoriCodice ? "1" : "0") + "\n");
        // Writing again over an existing file replaces it.
        const Opzioni opposte{!scritte.LasciaIntatti, !scritte.SeparatoriCodice};
        QVERIFY(FileOpzioni::Scrivi(cartella.path(), opposte));
        QCOMPARE(FileOpzioni::Leggi(cartella.path()), opposte);
    }

    // The per-language key comes after the others, and only when on.
    void elencoPerLinguaggio()
    {
        QTemporaryDir cartella;
        QVERIFY(FileOpzioni::Scrivi(cartella.path(), Opzioni{true, false, true}));
        QCOMPARE(FileOpzioni::Leggi(cartella.path()), (Opzioni{true, false, true}));
        QFile file(FileOpzioni::Percorso(cartella.path()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[Opzioni]\nLasciaIntattiCommentiEStringhe=1\n"
                                            "SeparatoriDelCodice=0\nElencoPerLinguaggio=1\n"));
    }

    // The copy key comes last, and only when off.
    void conservaOriginale()
    {
        QTemporaryDir cartella;
        const Opzioni scritte{false, true, true, false};
        QVERIFY(FileOpzioni::Scrivi(cartella.path(), scritte));
        QCOMPARE(FileOpzioni::Leggi(cartella.path()), scritte);
        QCOMPARE(FileOpzioni::Testo(scritte),
                 QByteArray("[Opzioni]\nLasciaIntattiCommentiEStringhe=0\nSeparatoriDelCodice=1\n"
                            "ElencoPerLinguaggio=1\nConservaCopiaOriginale=0\n"));
    }

    // Anything but a well-formed file leaves both options off.
    void lettura_data()
    {
        QTest::addColumn<QByteArray>("contenuto"); // null: no file
        QTest::addColumn<Opzioni>("lette");
        const QByteArray buono =
            "[Opzioni]\nLasciaIntattiCommentiEStringhe=1\nSeparatoriDelCodice=1\n";
        const Opzioni spente;
        QTest::newRow("mancante") << QByteArray() << spente;
        QTest::newRow("vuoto") << QByteArray("") << spente;
        QTest::newRow("buono") << buono << Opzioni{true, true};
        QTest::newRow("elenco per linguaggio") << buono + "ElencoPerLinguaggio=1\n"
                                               << Opzioni{true, true, true};
        QTest::newRow("elenco per linguaggio 0") << buono + "elencoperlinguaggio = 0\n"
                                                 << Opzioni{true, true, false};
        QTest::newRow("elenco per linguaggio 2") << buono + "ElencoPerLinguaggio=2\n" << spente;
        // The copy of the original is on unless the file turns it off; an
        // old file without the key keeps it on, and so does a damaged one.
        QVERIFY(spente.ConservaOriginale);
        QTest::newRow("senza copia") << buono + "ConservaCopiaOriginale=0\n"
                                     << Opzioni{true, true, false, false};
        QTest::newRow("con copia") << buono + "conservacopiaoriginale=1\n" << Opzioni{true, true};
        QTest::newRow("senza copia, danneggiato") << buono + "ConservaCopiaOriginale=0\nx\n"
                                                  << spente;
        QTest::newRow("crlf, bom, commenti, spazi, chiave ignota, maiuscole")
            << QByteArray("\xEF\xBB\xBF; opzioni\r\n[opzioni]\r\n# x\r\n  separatoridelcodice = 1 "
                          "\r\nAltro=0\r\n")
            << Opzioni{false, true};
        QTest::newRow("valore 2") << QByteArray(buono).replace("Codice=1", "Codice=2") << spente;
        QTest::newRow("valore vuoto") << QByteArray(buono).replace("Codice=1", "Codice=") << spente;
        QTest::newRow("riga senza uguale") << buono + "spazzatura\n" << spente;
        QTest::newRow("chiave vuota") << buono + "=1\n" << spente;
        QTest::newRow("altra sezione") << "[Altro]\n" + buono << spente;
        QTest::newRow("utf-8 non valido") << buono + "; \xFF\xFE\n" << spente;
        QTest::newRow("binario") << QByteArray("\x00\x01\x02=1", 5) << spente;
        QTest::newRow("enorme") << buono + QByteArray(70 * 1024, ';') << spente;
    }
    void lettura()
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(Opzioni, lette);
        QTemporaryDir cartella;
        if (!contenuto.isNull()) {
            QFile file(FileOpzioni::Percorso(cartella.path()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(contenuto), contenuto.size());
        }
        QCOMPARE(FileOpzioni::Leggi(cartella.path()), lette);
    }

    // A file that cannot be taken is refused at once, naming why; both
    // options off. The alarm turns a hang into a failure.
    void fileRifiutato_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("pipe con nome") << u"pipe"_s << u"È una pipe con nome"_s;
        QTest::newRow("cartella") << u"cartella"_s << u"È una cartella"_s;
        QTest::newRow("enorme") << u"enorme"_s << u"troppo grande"_s;
        // Damaged: every option off, and the line that did it named.
        QTest::newRow("riga illeggibile")
            << u"[Opzioni]\nLasciaIntattiCommentiEStringhe=1\nSeparatoriDelCodice=sì\n"_s
            << u"La riga 3 non si legge (\"SeparatoriDelCodice=sì\")"_s;
        QTest::newRow("non UTF-8") << u"\xff"_s << u"Non è un testo UTF-8"_s;
    }
    void fileRifiutato()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, motivo);
        QTemporaryDir cartella;
        const QString percorso = FileOpzioni::Percorso(cartella.path());
        if (tipo == u"pipe"_s) {
            QCOMPARE(mkfifo(QFile::encodeName(percorso).constData(), 0600), 0);
        } else if (tipo == u"cartella"_s) {
            QVERIFY(QDir().mkdir(percorso));
        } else if (tipo == u"enorme"_s) {
            QFile file(percorso);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write(FileOpzioni::Testo({true, true}) + QByteArray(70 * 1024, ';')) > 0);
        } else {
            QFile file(percorso);
            QVERIFY(file.open(QIODevice::WriteOnly));
            // The row's text as it is, or one byte that is not UTF-8.
            const QByteArray byte = tipo == u"\xff"_s ? QByteArray("\xff") : tipo.toUtf8();
            QCOMPARE(file.write(byte), byte.size());
        }
        ErroreFile errore;
        alarm(10);
        const Opzioni lette = FileOpzioni::Leggi(cartella.path(), &errore);
        alarm(0);
        QCOMPARE(lette, Opzioni{});
        QVERIFY2(errore.Messaggio().contains(motivo), qPrintable(errore.Messaggio()));
    }

    void scritturaFallitaDaErrno()
    {
        QTemporaryDir cartella;
        ErroreFile errore;
        const QString assente = QDir(cartella.path()).filePath(u"assente"_s);
        QVERIFY(!FileOpzioni::Scrivi(assente, Opzioni{true, true}, &errore));
        QCOMPARE(errore.numero, ENOENT);
        QCOMPARE(errore.descrizione, u"File o cartella inesistente"_s);
    }
};

QTEST_GUILESS_MAIN(TestFileOpzioni)
#include "test_fileopzioni.moc"
