// The per-language lists: their files, made once from the ready lists and
// never overwritten afterwards.

#include "nucleo/Contesto.h"
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
        QTest::newRow("c++") << Linguaggio::Cpp << u"sostituzioni-cpp.dat"_s;
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

    // The runs take the list of the text's language only with the option on.
    void sceltoPerLinguaggio_data()
    {
        QTest::addColumn<bool>("perLinguaggio");
        QTest::addColumn<QString>("nomeTesto");
        QTest::addColumn<QString>("elenco");
        QTest::newRow("spenta, basic") << false << u"/x/Modulo.bas"_s << u"sostituzioni.dat"_s;
        QTest::newRow("spenta, c") << false << u"/x/main.c"_s << u"sostituzioni.dat"_s;
        QTest::newRow("accesa, basic") << true << u"/x/Modulo.BAS"_s << u"sostituzioni-basic.dat"_s;
        QTest::newRow("accesa, c") << true << u"/x/main.c"_s << u"sostituzioni-c.dat"_s;
        QTest::newRow("accesa, intestazione") << true << u"/x/main.h"_s << u"sostituzioni-c.dat"_s;
        QTest::newRow("accesa, c++") << true << u"/x/main.cpp"_s << u"sostituzioni-cpp.dat"_s;
        QTest::newRow("accesa, batch") << true << u"/x/a.cmd"_s << u"sostituzioni-batch.dat"_s;
        QTest::newRow("accesa, senza linguaggio")
            << true << u"/x/nota.txt"_s << u"sostituzioni.dat"_s;
        QTest::newRow("accesa, senza nome") << true << QString() << u"sostituzioni.dat"_s;
    }
    void sceltoPerLinguaggio()
    {
        QFETCH(bool, perLinguaggio);
        QFETCH(QString, nomeTesto);
        QFETCH(QString, elenco);
        QTemporaryDir cartella;
        Contesto contesto(cartella.path());
        QVERIFY(contesto.Liste.Apri(Elenco::Sostituzioni));
        contesto.OpzioniCodice.ElencoPerLinguaggio = perLinguaggio;
        contesto.NomeFileCorrente = nomeTesto;
        ArchivioListe &liste = contesto.ListeInUso();
        QCOMPARE(liste.Percorso(Elenco::Sostituzioni), QDir(cartella.path()).filePath(elenco));
        QCOMPARE(liste.Stato(Elenco::Sostituzioni), StatoElenco::Scrivibile);
        // A language's list holds its ready list, counted for the walk.
        const Linguaggio linguaggio = contesto.LinguaggioElenco();
        QCOMPARE(liste.NumeroVoci(), int(ListaDelLinguaggio(linguaggio).size()));
        // Only the list in use was made beside the shared one.
        const QStringList file = QDir(cartella.path()).entryList(QDir::Files);
        QCOMPARE(QSet<QString>(file.begin(), file.end()),
                 (QSet<QString>{u"sostituzioni.dat"_s, elenco}));
    }

    // Additions to one language's list stay there, through work on another
    // language and a new start of the program.
    void modificatiSeparatamente()
    {
        QTemporaryDir cartella;
        const VoceSostituzione aggiunta{u"DoEvents"_s, u"LasciaLavorare"_s};
        {
            Contesto contesto(cartella.path());
            ArchivioListe &basic = contesto.ListeDi(Linguaggio::Basic);
            QVector<VoceSostituzione> righe = basic.LeggiSostituzioni();
            righe.append(aggiunta);
            QVERIFY(basic.Salva(righe));
            QCOMPARE(&contesto.ListeDi(Linguaggio::Basic), &basic);
            QVERIFY(!contesto.ListeDi(Linguaggio::C).LeggiSostituzioni().contains(aggiunta));
        }
        Contesto contesto(cartella.path());
        const QVector<VoceSostituzione> basic =
            contesto.ListeDi(Linguaggio::Basic).LeggiSostituzioni();
        QCOMPARE(basic.size(), ListaDelLinguaggio(Linguaggio::Basic).size() + 1);
        QCOMPARE(basic.last(), aggiunta);
        QCOMPARE(contesto.ListeDi(Linguaggio::C).LeggiSostituzioni(),
                 ListaDelLinguaggio(Linguaggio::C));
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
