// Where -o puts each result: never on a file to be read, by any path to it,
// never two results under one name.

#include "aiuti/Tabella.h"
#include "cli/PianoUscita.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

class TestPianoUscita : public QObject
{
    Q_OBJECT

    // The test folder described below, made the current one.
    static void Prepara(const QTemporaryDir &dir)
    {
        QVERIFY(QDir::setCurrent(dir.path()));
        for (const char *nome : {"a.bas", "b/a.bas", "n\xe9.bas"}) {
            QDir().mkpath(QStringLiteral("b"));
            // Qt cannot spell a name that is not UTF-8: made here.
            const int fd = ::open(nome, O_WRONLY | O_CREAT, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        QVERIFY(QDir().mkdir(QStringLiteral("out")));
        QCOMPARE(::symlink(".", "specchio"), 0);
        QVERIFY(QDir().mkdir(QStringLiteral("altra")));
        QCOMPARE(::symlink("../n\xe9.bas", "altra/n\xe9.bas"), 0);
        QCOMPARE(::link("b/a.bas", "altra/a.bas"), 0);
    }

private Q_SLOTS:
    // In the test folder: "a.bas", "b/a.bas", "n\xe9.bas", the empty folder
    // "out", "specchio", a link to the test folder itself, and "altra", where
    // "n\xe9.bas" links to its namesake and "a.bas" is a hard link to "b/a.bas". "rifiuto": the
    // file refused and the earlier file with the same result (-1: it lands on a file to read);
    // empty when every file has its place.
    void destinazioni_data()
    {
        Colonne<QByteArray, QList<QByteArray>, QList<int>>("cartella", "file", "rifiuto");
        Riga("una cartella nuova", QByteArray("out"), QList<QByteArray>{"a.bas", "n\xe9.bas"},
             QList<int>{});
        Riga("la cartella degli ingressi", QByteArray("."), QList<QByteArray>{"a.bas"},
             QList<int>{0, -1});
        Riga("un collegamento a essa", QByteArray("specchio"),
             QList<QByteArray>{"b/a.bas", "n\xe9.bas"}, QList<int>{1, -1});
        Riga("un file ancora da fare nella cartella degli ingressi", QByteArray("specchio"),
             QList<QByteArray>{"manca.bas"}, QList<int>{0, -1});
        Riga("un percorso che vi ritorna", QByteArray("out/.."), QList<QByteArray>{"a.bas"},
             QList<int>{0, -1});
        Riga("un collegamento a un ingresso", QByteArray("altra"),
             QList<QByteArray>{"c.bas", "n\xe9.bas"}, QList<int>{1, -1});
        Riga("un collegamento fisico a un ingresso", QByteArray("altra"),
             QList<QByteArray>{"c.bas", "b/a.bas"}, QList<int>{1, -1});
        Riga("due risultati con lo stesso nome", QByteArray("out"),
             QList<QByteArray>{"a.bas", "n\xe9.bas", "b/a.bas"}, QList<int>{2, 0});
    }

    void destinazioni()
    {
        const auto [cartella, file, rifiuto] =
            DatiRiga<QByteArray, QList<QByteArray>, QList<int>>("cartella", "file", "rifiuto");
        QTemporaryDir dir;
        Prepara(dir);

        const PianoUscita::Esito esito = PianoUscita::Destinazioni(cartella, file);
        QDir::setCurrent(QDir::tempPath());
        if (rifiuto.isEmpty()) {
            QVERIFY(!esito.rifiuto);
            QList<QByteArray> attese;
            for (const QByteArray &f : file)
                attese.append(cartella + '/' + f.mid(f.lastIndexOf('/') + 1));
            QCOMPARE(esito.destinazioni, attese);
        } else {
            QVERIFY(esito.rifiuto);
            QCOMPARE(int(esito.rifiuto->file), rifiuto[0]);
            QCOMPARE(int(esito.rifiuto->altro), rifiuto[1]);
        }
    }

    // With -r each result keeps its path under the folder walked: the same
    // checks hold in the subfolders, and two files only clash on the same path.
    void destinazioniRelative_data()
    {
        Colonne<QByteArray, QList<QByteArray>, QList<QByteArray>, QList<int>>(
            "cartella", "file", "relativi", "rifiuto");
        Riga("lo stesso nome in due sottocartelle", QByteArray("out"),
             QList<QByteArray>{"a.bas", "b/a.bas"}, QList<QByteArray>{"a.bas", "b/a.bas"},
             QList<int>{});
        Riga("lo stesso percorso", QByteArray("out"), QList<QByteArray>{"a.bas", "b/a.bas"},
             QList<QByteArray>{"b/a.bas", "b/a.bas"}, QList<int>{1, 0});
        Riga("sopra un ingresso in una sottocartella", QByteArray("."),
             QList<QByteArray>{"b/a.bas"}, QList<QByteArray>{"b/a.bas"}, QList<int>{0, -1});
        Riga("un file ancora da fare in una sottocartella", QByteArray("specchio"),
             QList<QByteArray>{"a.bas", "b/nuovo.bas"}, QList<QByteArray>{"x.bas", "b/nuovo.bas"},
             QList<int>{1, -1});
        Riga("una sottocartella ancora da creare", QByteArray("out"), QList<QByteArray>{"a.bas"},
             QList<QByteArray>{"nuova/a.bas"}, QList<int>{});
    }
    void destinazioniRelative()
    {
        const auto [cartella, file, relativi, rifiuto] =
            DatiRiga<QByteArray, QList<QByteArray>, QList<QByteArray>, QList<int>>(
                "cartella", "file", "relativi", "rifiuto");
        QTemporaryDir dir;
        Prepara(dir);
        const PianoUscita::Esito esito = PianoUscita::Destinazioni(cartella, file, relativi);
        QDir::setCurrent(QDir::tempPath());
        if (rifiuto.isEmpty()) {
            QVERIFY(!esito.rifiuto);
            QList<QByteArray> attese;
            for (const QByteArray &r : relativi)
                attese.append(cartella + '/' + r);
            QCOMPARE(esito.destinazioni, attese);
        } else {
            QVERIFY(esito.rifiuto);
            QCOMPARE(int(esito.rifiuto->file), rifiuto[0]);
            QCOMPARE(int(esito.rifiuto->altro), rifiuto[1]);
        }
    }
};

QTEST_GUILESS_MAIN(TestPianoUscita)
#include "test_pianouscita.moc"
