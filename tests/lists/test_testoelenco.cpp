// Lists as text files (reading, writing, refused rows) and the lists shipped
// for each language.

#include "lists/ListeLinguaggio.h"
#include "lists/TestoElenco.h"
#include "pseudo/ScansioneCodice.h"
#include "search/Delimitatori.h"
#include "search/Ricerca.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using TestoElenco::RigaRifiutata;

namespace {

QString Sostituzioni(const QVector<VoceSostituzione> &voci)
{
    QStringList s;
    for (const VoceSostituzione &v : voci)
        s << v.Trova + QStringLiteral("=") + v.Sostituisci;
    return s.join(u'|');
}

QString Eliminazioni(const QVector<VoceEliminazione> &voci)
{
    QStringList s;
    for (const VoceEliminazione &v : voci)
        s << v.Elimina + QStringLiteral("=") + v.ParolaIntera + QString::number(v.FlagIntera);
    return s.join(u'|');
}

QList<int> Righe(const QVector<RigaRifiutata> &rifiutate)
{
    QList<int> r;
    for (const RigaRifiutata &x : rifiutate) {
        r << int(x.riga);
        if (x.motivo.isEmpty()) r << -1; // every refusal says why
    }
    return r;
}

// `parola` occurs in `testo` as a whole word, in any case, under `regola`
// (the text is followed by a space, as a word in a line would be).
bool Occorre(const QString &testo, const QString &parola, Delimitatori regola)
{
    const QString t = Ricerca::Maiuscolo(testo) + QLatin1Char(' ');
    const QString p = Ricerca::Maiuscolo(parola);
    for (qsizetype i = t.indexOf(p); i >= 0; i = t.indexOf(p, i + 1))
        if (regola.Prima(t, i) && regola.Dopo(t, i + p.size())) return true;
    return false;
}

} // namespace

class TestTestoElenco : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leggiSostituzioni_data()
    {
        QTest::addColumn<QByteArray>("testo");
        QTest::addColumn<QString>("voci");
        QTest::addColumn<QList<int>>("rifiutate");
        QTest::newRow("righe semplici") << QByteArray("If\tSe\nThen\tAllora\n")
                                        << QStringLiteral("If=Se|Then=Allora") << QList<int>{};
        QTest::newRow("fine riga di ogni tipo, BOM, righe vuote")
            << QByteArray("\xEF\xBB\xBFIf\tSe\r\n\r\nThen\tAllora\rFor\tPer")
            << QStringLiteral("If=Se|Then=Allora|For=Per") << QList<int>{};
        QTest::newRow("tab nel secondo campo, spazi tenuti")
            << QByteArray(" a \tb\tc ") << QStringLiteral(" a =b\tc ") << QList<int>{};
        QTest::newRow("accenti e simboli della tabella occidentale")
            << QByteArray("Until\tFinché\n€\tEuro\n") << QStringLiteral("Until=Finché|€=Euro")
            << QList<int>{};
        QTest::newRow("righe rifiutate, le altre caricate")
            << QByteArray("senza tab\nA\tB\n\tvuota\nvuoto\t\n\xe4\xb8\xad\tcinese\nC\tD\n"
                          "\xff\tbyte\n") +
                   QByteArray(100, 'x') + "\t" + QByteArray(25, 'y') + "\n" + QByteArray(100, 'x') +
                   "\t" + QByteArray(24, 'y') + "\n"
            << QStringLiteral("A=B|C=D|") + QString(100, u'x') + u'=' + QString(24, u'y')
            << QList<int>{1, 3, 4, 5, 7, 8};
    }
    void leggiSostituzioni()
    {
        QFETCH(QByteArray, testo);
        QFETCH(QString, voci);
        QFETCH(QList<int>, rifiutate);
        const auto esito = TestoElenco::LeggiSostituzioni(testo);
        QCOMPARE(Sostituzioni(esito.voci), voci);
        QCOMPARE(Righe(esito.rifiutate), rifiutate);
    }

    void leggiEliminazioni_data()
    {
        QTest::addColumn<QByteArray>("testo");
        QTest::addColumn<QString>("voci");
        QTest::addColumn<QList<int>>("rifiutate");
        QTest::newRow("Sì e No in ogni forma")
            << QByteArray("a\tSì\nb\tno\nc\tsi\nd\tSÌ\ne\tNO\n")
            << QStringLiteral("a=Sì1|b=No0|c=Sì1|d=Sì1|e=No0") << QList<int>{};
        QTest::newRow("secondo campo sbagliato o mancante")
            << QByteArray("a\tforse\nb\nc\tSì \nd\tNo\n") << QStringLiteral("d=No0")
            << QList<int>{1, 2, 3};
        QTest::newRow("lunghezza al limite")
            << QByteArray(120, 'w') + "\tSì\n" + QByteArray(121, 'w') + "\tNo\n"
            << QString(120, u'w') + QStringLiteral("=Sì1") << QList<int>{2};
    }
    void leggiEliminazioni()
    {
        QFETCH(QByteArray, testo);
        QFETCH(QString, voci);
        QFETCH(QList<int>, rifiutate);
        const auto esito = TestoElenco::LeggiEliminazioni(testo);
        QCOMPARE(Eliminazioni(esito.voci), voci);
        QCOMPARE(Righe(esito.rifiutate), rifiutate);
    }

    // Random lists: what is written reads back identically; what is left out
    // is listed with its row number, and is exactly what reading would refuse.
    void scritturaELetturaCoincidono()
    {
        QRandomGenerator gen(6);
        const QString alfabeto = QStringLiteral("aZ09 ._#èé€\t\r\n中");
        auto casuale = [&](int massimo) {
            QString s;
            for (int i = int(gen.bounded(massimo + 1)); i > 0; --i)
                s.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
            return s;
        };
        const QStringList flag{TestoSi, TestoNo, QStringLiteral("sì"), QString()};
        for (int prova = 0; prova < 300; ++prova) {
            QVector<VoceSostituzione> sost;
            QVector<VoceEliminazione> elim;
            for (int i = int(gen.bounded(12)); i > 0; --i) {
                sost.append({casuale(gen.bounded(2) ? 8 : 80), casuale(gen.bounded(2) ? 8 : 80)});
                const QString f = flag[gen.bounded(int(flag.size()))];
                elim.append({casuale(gen.bounded(2) ? 8 : 130), f, qint16(f == TestoSi)});
            }
            QVector<RigaRifiutata> esclusiS, esclusiE;
            const QByteArray testoS = TestoElenco::ScriviSostituzioni(sost, &esclusiS);
            const QByteArray testoE = TestoElenco::ScriviEliminazioni(elim, &esclusiE);
            for (auto it = esclusiS.crbegin(); it != esclusiS.crend(); ++it)
                sost.removeAt(it->riga - 1);
            for (auto it = esclusiE.crbegin(); it != esclusiE.crend(); ++it)
                elim.removeAt(it->riga - 1);
            const auto lettiS = TestoElenco::LeggiSostituzioni(testoS);
            const auto lettiE = TestoElenco::LeggiEliminazioni(testoE);
            QVERIFY(lettiS.rifiutate.isEmpty());
            QVERIFY(lettiE.rifiutate.isEmpty());
            QCOMPARE(lettiS.voci, sost);
            QCOMPARE(lettiE.voci, elim);
            QCOMPARE(TestoElenco::ScriviSostituzioni(lettiS.voci), testoS);
        }
    }

    void messaggioUnico()
    {
        QVERIFY(TestoElenco::Messaggio({}, false).isEmpty());
        QVector<RigaRifiutata> r;
        for (int i = 1; i <= 20; ++i)
            r.append({i * 2, QStringLiteral("a\tb"), QStringLiteral("motivo %1").arg(i)});
        const QString m = TestoElenco::Messaggio(r, false, 15);
        QVERIFY(m.startsWith(QStringLiteral("Le righe seguenti non sono state caricate:")));
        QVERIFY(m.contains(QStringLiteral("riga 30: \"a → b\" - motivo 15")));
        QVERIFY(!m.contains(QStringLiteral("riga 32:")));
        QVERIFY(m.endsWith(QStringLiteral("... e altre 5.")));
        QCOMPARE(m.count(u'\n'), 16);
    }

    void listeDeiLinguaggi_data()
    {
        QTest::addColumn<int>("linguaggio");
        QTest::addColumn<int>("minimo");
        QTest::addColumn<QStringList>("richieste"); // "word=replacement"
        QTest::newRow("BASIC") << int(Linguaggio::Basic) << 120
                               << QStringList{"End If=Fine Se",
                                              "Exit For=Esci da Per",
                                              "Select Case=Seleziona Caso",
                                              "ElseIf=Altrimenti Se",
                                              "Dim=Dichiara",
                                              "As=come",
                                              "Integer=Intero",
                                              "True=Vero"};
        QTest::newRow("C") << int(Linguaggio::C) << 50
                           << QStringList{"if=se", "else=altrimenti", "while=mentre",
                                          "return=restituisci", "#endif=fine se"};
        QTest::newRow("batch") << int(Linguaggio::Batch) << 30
                               << QStringList{"rem=nota", "echo=mostra", "goto=vai a"};
    }
    // Each list loads whole from its text, fits the records, holds every word
    // once, puts entries of several words before the words they contain, keeps
    // the entries that move a comment's bounds at its end, and
    // gives no later entry a word to find in an earlier replacement, with
    // either set of delimiters.
    void listeDeiLinguaggi()
    {
        QFETCH(int, linguaggio);
        QFETCH(int, minimo);
        QFETCH(QStringList, richieste);
        const QByteArray testo = TestoListaDelLinguaggio(Linguaggio(linguaggio));
        const auto esito = TestoElenco::LeggiSostituzioni(testo);
        QVERIFY2(esito.rifiutate.isEmpty(),
                 qPrintable(TestoElenco::Messaggio(esito.rifiutate, false)));
        const QVector<VoceSostituzione> &voci = esito.voci;
        QCOMPARE(ListaDelLinguaggio(Linguaggio(linguaggio)), voci);
        QVERIFY(voci.size() >= minimo);
        QCOMPARE(TestoElenco::ScriviSostituzioni(voci), testo);

        QSet<QString> viste;
        for (const VoceSostituzione &v : voci) {
            QVERIFY2(Record::MotivoNonContenibile(v).isEmpty(), qPrintable(v.Trova));
            QVERIFY2(!viste.contains(Ricerca::Maiuscolo(v.Trova)), qPrintable(v.Trova));
            viste.insert(Ricerca::Maiuscolo(v.Trova));
        }
        for (const QString &r : richieste) {
            const QStringList campi = r.split(u'=');
            QVERIFY2(voci.contains(VoceSostituzione{campi[0], campi[1]}), qPrintable(r));
        }
        // An entry whose word or replacement opens or closes a comment (Rem,
        // echo, a directive, a quote) changes what the entries after it may
        // touch: such entries come last.
        const TipoTesto tipo{Linguaggio(linguaggio), false};
        auto cambiaProtezione = [&](const VoceSostituzione &v) {
            const QString prima = v.Trova + QStringLiteral(" x y");
            const QString dopo = v.Sostituisci + QStringLiteral(" x y");
            return ScansionaCodice(prima, tipo).Protetto(prima.size() - 1) !=
                   ScansionaCodice(dopo, tipo).Protetto(dopo.size() - 1);
        };
        bool coda = false;
        for (const VoceSostituzione &v : voci) {
            const bool cambia = cambiaProtezione(v);
            QVERIFY2(cambia || !coda, qPrintable(v.Trova));
            coda = coda || cambia;
        }
        for (qsizetype i = 0; i < voci.size(); ++i)
            for (qsizetype j = i + 1; j < voci.size(); ++j) {
                for (const Delimitatori regola :
                     {Delimitatori(), Delimitatori::Per(true, Linguaggio(linguaggio))}) {
                    QVERIFY2(
                        !Occorre(voci[j].Trova, voci[i].Trova, regola),
                        qPrintable(voci[i].Trova + QStringLiteral(" prima di ") + voci[j].Trova));
                    QVERIFY2(
                        !Occorre(voci[i].Sostituisci, voci[j].Trova, regola),
                        qPrintable(voci[i].Sostituisci + QStringLiteral(" / ") + voci[j].Trova));
                }
            }
    }

    void nessunaListaSenzaLinguaggio()
    {
        QVERIFY(ListaDelLinguaggio(Linguaggio::Nessuno).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTestoElenco)
#include "test_testoelenco.moc"
