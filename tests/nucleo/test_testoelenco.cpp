// Lists as text files (reading, writing, refused rows) and the lists shipped
// for each language.

#include "aiuti/Tabella.h"
#include "nucleo/codice/Delimitatori.h"
#include "nucleo/codice/ScansioneCodice.h"
#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/TestoElenco.h"
#include "nucleo/ricerca/Ricerca.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using TestoElenco::RigaRifiutata;
using namespace Qt::StringLiterals;

namespace {

QString Testo(const QVector<VoceSostituzione> &voci)
{
    QStringList s;
    for (const VoceSostituzione &v : voci)
        s << v.Trova + u'=' + v.Sostituisci;
    return s.join(u'|');
}

QString Testo(const QVector<VoceEliminazione> &voci)
{
    QStringList s;
    for (const VoceEliminazione &v : voci)
        s << v.Elimina + u'=' + v.ParolaIntera + QString::number(v.FlagIntera);
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
    const Ricerca::Parola intera(p, Ricerca::Confronto(), regola);
    for (qsizetype i = t.indexOf(p); i >= 0; i = t.indexOf(p, i + 1))
        if (intera.CorrispondeNelTesto(t, i)) return true;
    return false;
}

} // namespace

class TestTestoElenco : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leggi_data()
    {
        // eliminazioni: else substitutions
        Colonne<bool, QByteArray, QString, QList<int>>("eliminazioni", "testo", "voci",
                                                       "rifiutate");
        Riga("righe semplici", false, QByteArray("If\tSe\nThen\tAllora\n"), u"If=Se|Then=Allora"_s,
             QList<int>{});
        Riga("fine riga di ogni tipo, BOM, righe vuote", false,
             QByteArray("\xEF\xBB\xBFIf\tSe\r\n\r\nThen\tAllora\rFor\tPer"),
             u"If=Se|Then=Allora|For=Per"_s, QList<int>{});
        Riga("tab nel secondo campo, spazi tenuti", false, QByteArray(" a \tb\tc "), u" a =b\tc "_s,
             QList<int>{});
        Riga("accenti e simboli della tabella occidentale", false,
             QByteArray("Until\tFinché\n€\tEuro\n"), u"Until=Finché|€=Euro"_s, QList<int>{});
        Riga("righe rifiutate, le altre caricate", false,
             QByteArray("senza tab\nA\tB\n\tvuota\nvuoto\t\n\xe4\xb8\xad\tcinese\nC\tD\n"
                        "\xff\tbyte\n") +
                 QByteArray(100, 'x') + "\t" + QByteArray(25, 'y') + "\n" + QByteArray(100, 'x') +
                 "\t" + QByteArray(24, 'y') + "\n",
             u"A=B|C=D|"_s + QString(100, u'x') + u'=' + QString(24, u'y'),
             QList<int>{1, 3, 4, 5, 7, 8});
        Riga("Sì e No in ogni forma", true, QByteArray("a\tSì\nb\tno\nc\tsi\nd\tSÌ\ne\tNO\n"),
             u"a=Sì1|b=No0|c=Sì1|d=Sì1|e=No0"_s, QList<int>{});
        Riga("secondo campo sbagliato o mancante", true, QByteArray("a\tforse\nb\nc\tSì \nd\tNo\n"),
             u"d=No0"_s, QList<int>{1, 2, 3});
        Riga("lunghezza al limite", true,
             QByteArray(120, 'w') + "\tSì\n" + QByteArray(121, 'w') + "\tNo\n",
             QString(120, u'w') + u"=Sì1"_s, QList<int>{2});
    }
    void leggi()
    {
        const auto [eliminazioni, testo, voci, rifiutate] =
            DatiRiga<bool, QByteArray, QString, QList<int>>("eliminazioni", "testo", "voci",
                                                            "rifiutate");
        const auto controlla = [&](const auto &esito) {
            QCOMPARE(Testo(esito.voci), voci);
            QCOMPARE(Righe(esito.rifiutate), rifiutate);
        };
        if (eliminazioni)
            controlla(TestoElenco::LeggiEliminazioni(testo));
        else
            controlla(TestoElenco::LeggiSostituzioni(testo));
    }

    // Random lists: what is written reads back identically; what is left out
    // is listed with its row number, and is exactly what reading would refuse.
    void scritturaELetturaCoincidono()
    {
        QRandomGenerator gen(6);
        const QString alfabeto = u"aZ09 ._#èé€\t\r\n中"_s;
        auto casuale = [&](int massimo) {
            QString s;
            for (int i = int(gen.bounded(massimo + 1)); i > 0; --i)
                s.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
            return s;
        };
        const QStringList flag{TestoSi, TestoNo, u"sì"_s, QString()};
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
            r.append({i * 2, u"a\tb"_s, u"motivo %1"_s.arg(i)});
        const QString m = TestoElenco::Messaggio(r, false, 15);
        QVERIFY(m.startsWith(u"Le righe seguenti non sono state caricate:"_s));
        QVERIFY(m.contains(u"riga 30: \"a → b\" - motivo 15"_s));
        QVERIFY(!m.contains(u"riga 32:"_s));
        QVERIFY(m.endsWith(u"... e altre 5."_s));
        QCOMPARE(m.count(u'\n'), 16);
    }

    void listeDeiLinguaggi_data()
    {
        // richieste: "word=replacement|..."
        Colonne<int, int, QString>("linguaggio", "minimo", "richieste");
        Riga("BASIC", int(Linguaggio::Basic), 120,
             u"End If=Fine Se|Exit For=Esci dal ciclo Per|Select Case=Scegli in base a|"
             u"ElseIf=Altrimenti Se|Dim=Variabile|As=come|Integer=Intero|"
             u"True=Vero"_s);
        Riga("C", int(Linguaggio::C), 50,
             u"if=se|else=altrimenti|while=mentre|return=ritorna|#endif=#fine se"_s);
        Riga("C++", int(Linguaggio::Cpp), 80,
             u"if=se|this=questo oggetto|new=nuovo|delete=libera|"
             u"std::cout=uscita standard|#endif=#fine se"_s);
        Riga("batch", int(Linguaggio::Batch), 30, u"rem=nota|echo=mostra|goto=vai a"_s);
    }
    // Each list loads whole from its text, fits the records, holds every word
    // once, puts entries of several words before the words they contain, keeps
    // the entries that move a comment's bounds at its end, and
    // gives no later entry a word to find in an earlier replacement, with
    // either set of delimiters.
    void listeDeiLinguaggi()
    {
        const auto [linguaggio, minimo, richieste] =
            DatiRiga<int, int, QString>("linguaggio", "minimo", "richieste");
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
        for (const QString &r : richieste.split(u'|')) {
            const QStringList campi = r.split(u'=');
            QVERIFY2(voci.contains(VoceSostituzione{campi[0], campi[1]}), qPrintable(r));
        }
        // An entry whose word or replacement opens or closes a comment (Rem,
        // echo, a directive, a quote) changes what the entries after it may
        // touch: such entries come last.
        const TipoTesto tipo{Linguaggio(linguaggio), false};
        bool coda = false;
        for (const VoceSostituzione &v : voci) {
            const QString prima = v.Trova + u" x y"_s, dopo = v.Sostituisci + u" x y"_s;
            const bool cambia = ScansionaCodice(prima, tipo).Protetto(prima.size() - 1) !=
                                ScansionaCodice(dopo, tipo).Protetto(dopo.size() - 1);
            QVERIFY2(cambia || !coda, qPrintable(v.Trova));
            coda = coda || cambia;
        }
        for (qsizetype i = 0; i < voci.size(); ++i)
            for (qsizetype j = i + 1; j < voci.size(); ++j) {
                for (const Delimitatori regola :
                     {Delimitatori(), Delimitatori::Per(true, Linguaggio(linguaggio))}) {
                    QVERIFY2(!Occorre(voci[j].Trova, voci[i].Trova, regola),
                             qPrintable(voci[i].Trova + u" prima di "_s + voci[j].Trova));
                    QVERIFY2(!Occorre(voci[i].Sostituisci, voci[j].Trova, regola),
                             qPrintable(voci[i].Sostituisci + u" / "_s + voci[j].Trova));
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
