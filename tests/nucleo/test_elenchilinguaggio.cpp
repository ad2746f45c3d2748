// The per-language lists: their files, made once from the ready lists and
// never overwritten afterwards.

#include "nucleo/elenchi/ArchivioListe.h"
#include "nucleo/elenchi/ElenchiLinguaggio.h"
#include "nucleo/elenchi/ListeLinguaggio.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Contenuto(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestElenchiLinguaggio : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void creatoUnaVolta_data()
    {
        QTest::addColumn<Linguaggio>("linguaggio");
        QTest::addColumn<QString>("nome");
        QTest::newRow("basic") << Linguaggio::Basic << u"sostituzioni-basic.dat"_s;
        QTest::newRow("c") << Linguaggio::C << u"sostituzioni-c.dat"_s;
        QTest::newRow("batch") << Linguaggio::Batch << u"sostituzioni-batch.dat"_s;
    }
    void creatoUnaVolta()
    {
        QFETCH(Linguaggio, linguaggio);
        QFETCH(QString, nome);
        QTemporaryDir cartella;
        const QString percorso = PercorsoElencoLinguaggio(cartella.path(), linguaggio);
        QCOMPARE(percorso, QDir(cartella.path()).filePath(nome));

        // The first time: the ready list, as records.
        ErroreFile errore;
        QVERIFY(PreparaElencoLinguaggio(cartella.path(), linguaggio, &errore));
        QCOMPARE(Contenuto(percorso), Record::Unisci(ListaDelLinguaggio(linguaggio)));

        // The user's edits stay: preparing again leaves the file alone.
        QFile file(percorso);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray propria = Record::Codifica(VoceSostituzione{u"Pippo"_s, u"Pluto"_s});
        file.write(propria);
        file.close();
        QVERIFY(PreparaElencoLinguaggio(cartella.path(), linguaggio));
        QCOMPARE(Contenuto(percorso), propria);
        // An empty file is the user's too.
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.close();
        QVERIFY(PreparaElencoLinguaggio(cartella.path(), linguaggio));
        QCOMPARE(Contenuto(percorso), QByteArray());

        // Only this language's file was made.
        QCOMPARE(QDir(cartella.path()).entryList(QDir::Files), QStringList{nome});
    }

    void senzaLinguaggio()
    {
        QTemporaryDir cartella;
        QCOMPARE(PercorsoElencoLinguaggio(cartella.path(), Linguaggio::Nessuno),
                 QDir(cartella.path()).filePath(u"sostituzioni.dat"_s));
        QVERIFY(PreparaElencoLinguaggio(cartella.path(), Linguaggio::Nessuno));
        QVERIFY(QDir(cartella.path()).entryList(QDir::Files).isEmpty());
    }

    void cartellaMancante()
    {
        QTemporaryDir cartella;
        ErroreFile errore;
        QVERIFY(!PreparaElencoLinguaggio(QDir(cartella.path()).filePath(u"assente"_s),
                                         Linguaggio::C, &errore));
        QCOMPARE(errore.numero, ENOENT);
    }
};

QTEST_GUILESS_MAIN(TestElenchiLinguaggio)
#include "test_elenchilinguaggio.moc"
