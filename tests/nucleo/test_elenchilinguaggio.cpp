// The per-language lists: their files, made once from the ready lists and
// never overwritten afterwards; the ready cleaning lists leave code whole.

#include "nucleo/Contesto.h"
#include "nucleo/elenchi/ArchivioListe.h"
#include "nucleo/elenchi/ElenchiLinguaggio.h"
#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/TestoElenco.h"
#include "nucleo/pseudocodifica/Pulizia.h"

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
        QTest::addColumn<Elenco>("elenco");
        QTest::addColumn<QString>("nome");
        const Elenco s = Elenco::Sostituzioni, p = Elenco::Eliminazioni;
        QTest::newRow("basic") << Linguaggio::Basic << s << u"sostituzioni-basic.dat"_s;
        QTest::newRow("c") << Linguaggio::C << s << u"sostituzioni-c.dat"_s;
        QTest::newRow("c++") << Linguaggio::Cpp << s << u"sostituzioni-cpp.dat"_s;
        QTest::newRow("batch") << Linguaggio::Batch << s << u"sostituzioni-batch.dat"_s;
        QTest::newRow("pulizia basic") << Linguaggio::Basic << p << u"pulizia-basic.dat"_s;
        QTest::newRow("pulizia c") << Linguaggio::C << p << u"pulizia-c.dat"_s;
        QTest::newRow("pulizia c++") << Linguaggio::Cpp << p << u"pulizia-cpp.dat"_s;
        QTest::newRow("pulizia batch") << Linguaggio::Batch << p << u"pulizia-batch.dat"_s;
    }
    void creatoUnaVolta()
    {
        QFETCH(Linguaggio, linguaggio);
        QFETCH(Elenco, elenco);
        QFETCH(QString, nome);
        QTemporaryDir cartella;
        const QString percorso = PercorsoElencoLinguaggio(cartella.path(), linguaggio, elenco);
        QCOMPARE(percorso, QDir(cartella.path()).filePath(nome));

        // The first time: the ready list, as records.
        ErroreFile errore;
        QVERIFY(PreparaElencoLinguaggio(cartella.path(), linguaggio, elenco, &errore));
        QCOMPARE(Contenuto(percorso), elenco == Elenco::Sostituzioni
                                          ? Record::Unisci(ListaDelLinguaggio(linguaggio))
                                          : Record::Unisci(PuliziaDelLinguaggio(linguaggio)));

        // The user's edits stay: preparing again leaves the file alone.
        QFile file(percorso);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray propria = Record::Codifica(VoceSostituzione{u"Pippo"_s, u"Pluto"_s});
        file.write(propria);
        file.close();
        QVERIFY(PreparaElencoLinguaggio(cartella.path(), linguaggio, elenco));
        QCOMPARE(Contenuto(percorso), propria);
        // An empty file is the user's too.
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.close();
        QVERIFY(PreparaElencoLinguaggio(cartella.path(), linguaggio, elenco));
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

    // The ready cleaning lists: BASIC's is the factory list; the others
    // read back whole from their text and delete only what code can lose.
    void puliziaPronta_data()
    {
        QTest::addColumn<Linguaggio>("linguaggio");
        QTest::addColumn<bool>("proteggi"); // and the code delimiters
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("atteso");
        const QString c = u"#include <stdio.h>\r\n#define N 2 /* __cdecl */\r\n"
                          "static __inline int __cdecl f(int *__restrict p) { return p[N]; }\r\n"
                          "__declspec(dllexport) void g(void) { printf(\"#%d\", N); }\r\n"_s;
        const QString cPulito = u"#include <stdio.h>\r\n#define N 2 /* __cdecl */\r\n"
                                "static  int  f(int * p) { return p[N]; }\r\n"
                                " void g(void) { printf(\"#%d\", N); }\r\n"_s;
        QTest::newRow("c") << Linguaggio::C << true << c << cPulito;
        // Without the code delimiters "*__restrict" is one word.
        QTest::newRow("c, senza protezione")
            << Linguaggio::C << false << c
            << QString(cPulito).replace(u"__cdecl"_s, u""_s).replace(u"* p"_s, u"*__restrict p"_s);
        QTest::newRow("c++")
            << Linguaggio::Cpp << true
            << u"#pragma once\r\n[[nodiscard]] int __stdcall f();\r\n"
               "int g([[maybe_unused]] int x) { if (x) [[likely]] return 1; }\r\n"_s
            << u"#pragma once\r\n int  f();\r\n"
               "int g( int x) { if (x)  return 1; }\r\n"_s;
        // C tells case apart: a user's "CALLBACK" leaves the program's "callback".
        QTest::newRow("c, parola dell'utente")
            << Linguaggio::C << true << u"int CALLBACK f(int callback);\r\n"_s
            << u"int  f(int callback);\r\n"_s;
        QTest::newRow("c, parola dell'utente senza protezione")
            << Linguaggio::C << false << u"int CALLBACK f(int callback);\r\n"_s
            << u"int  f(int );\r\n"_s;
        QTest::newRow("batch") << Linguaggio::Batch << true
                               << u"@echo off\r\ncopy a b >nul\r\ndel x 2>nul\r\n"
                                  "dir >nul 2>&1\r\necho a@b.c >lista.txt\r\n"
                                  "fltmc 1>nul 2>&1 || exit /b\r\n"
                                  "for /f %%a in ('ver 2^>nul') do echo %%a\r\n"_s
                               << u"@echo off\r\ncopy a b \r\ndel x \r\n"
                                  "dir \r\necho a@b.c >lista.txt\r\n"
                                  "fltmc  || exit /b\r\n"
                                  "for /f %%a in ('ver ') do echo %%a\r\n"_s;
        QTest::newRow("basic") << Linguaggio::Basic << true
                               << u"Open f For Input As #1\r\nUnload Me\r\n"_s
                               << u"Open f For Input As 1\r\n Me\r\n"_s;
    }
    void puliziaPronta()
    {
        QFETCH(Linguaggio, linguaggio);
        QFETCH(bool, proteggi);
        QFETCH(QString, testo);
        QFETCH(QString, atteso);
        QVector<VoceEliminazione> lista = PuliziaDelLinguaggio(linguaggio);
        if (linguaggio == Linguaggio::Basic) QCOMPARE(lista, EliminazioniPredefinite());
        // The shipped text has no line the reader refuses.
        const auto letto = TestoElenco::LeggiEliminazioni(TestoPuliziaDelLinguaggio(linguaggio));
        QVERIFY(letto.rifiutate.isEmpty());
        QCOMPARE(letto.voci, lista);
        QVERIFY(!lista.isEmpty());
        if (QString(QTest::currentDataTag()).contains(u"utente"_s))
            lista.append(RigheElenco::Eliminazione(u"CALLBACK"_s, TestoSi));
        RegoleCodice regole;
        regole.proteggi = proteggi;
        regole.separatoriCodice = proteggi;
        regole.tipo = {linguaggio, false};
        QCOMPARE(Pulizia::Applica(testo, lista, regole).testo, atteso);
    }

    // The cleaning run takes the text's own cleaning list with the option on,
    // made from the ready list the first time; the shared list otherwise.
    void puliziaPerLinguaggio_data()
    {
        QTest::addColumn<bool>("perLinguaggio");
        QTest::addColumn<QString>("nomeTesto");
        QTest::addColumn<QString>("elenco");
        QTest::newRow("spenta, c") << false << u"/x/main.c"_s << u"pulizia.dat"_s;
        QTest::newRow("accesa, c") << true << u"/x/main.c"_s << u"pulizia-c.dat"_s;
        QTest::newRow("accesa, basic") << true << u"/x/a.frm"_s << u"pulizia-basic.dat"_s;
        QTest::newRow("accesa, batch") << true << u"/x/a.bat"_s << u"pulizia-batch.dat"_s;
        QTest::newRow("accesa, senza linguaggio") << true << u"/x/a.txt"_s << u"pulizia.dat"_s;
    }
    void puliziaPerLinguaggio()
    {
        QFETCH(bool, perLinguaggio);
        QFETCH(QString, nomeTesto);
        QFETCH(QString, elenco);
        QTemporaryDir cartella;
        Contesto contesto(cartella.path());
        QVERIFY(contesto.Liste.Apri(Elenco::Eliminazioni));
        contesto.OpzioniCodice.ElencoPerLinguaggio = perLinguaggio;
        contesto.NomeFileCorrente = nomeTesto;
        ArchivioListe &liste = contesto.ListeInUso(Elenco::Eliminazioni);
        QCOMPARE(liste.Percorso(Elenco::Eliminazioni), QDir(cartella.path()).filePath(elenco));
        QCOMPARE(liste.Stato(Elenco::Eliminazioni), StatoElenco::Scrivibile);
        const Linguaggio linguaggio = contesto.LinguaggioElenco();
        QCOMPARE(liste.LeggiEliminazioni(), PuliziaDelLinguaggio(linguaggio));
        // The language's substitution list is made only when a run needs it.
        const QStringList file = QDir(cartella.path()).entryList(QDir::Files);
        QCOMPARE(QSet<QString>(file.begin(), file.end()),
                 (QSet<QString>{u"pulizia.dat"_s, elenco}));
        // The same archive holds the language's substitution list.
        QCOMPARE(&contesto.ListeInUso(), &liste);
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
