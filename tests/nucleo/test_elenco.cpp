// The whole-list engine against a literal model of the automatic run: the
// entries one after the other, each a scan of the whole text one position at
// a time, the working text rebuilt at every match.

#include "nucleo/pseudocodifica/MotoreElenco.h"
#include "nucleo/ricerca/Ricerca.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// The run as literally as it can be written. The end of the text counts as a
// delimiter after a word, as the start counts as a space before one.
QString Letterale(QString W, const QVector<VoceSostituzione> &voci, qsizetype *sostituzioni)
{
    qsizetype conta = 0;
    for (const VoceSostituzione &voce : voci) {
        const QString &parola = voce.Trova;
        if (parola.isEmpty()) continue;
        const qsizetype L = parola.size();
        for (qsizetype p = 1; p <= W.size() - L + 1; ++p) {
            const QChar prima = p > 1 ? W[p - 2] : QLatin1Char(' ');
            const bool dopo = p + L - 1 == W.size() || Ricerca::Separatore(W[p + L - 1]);
            if (!Ricerca::Separatore(prima) || !dopo) continue;
            if (Ricerca::Maiuscolo(W.mid(p - 1, L)) != Ricerca::Maiuscolo(parola)) continue;
            W = W.left(p - 1) + voce.Sostituisci + W.mid(p - 1 + L);
            p += voce.Sostituisci.size() - 1;
            ++conta;
        }
    }
    *sostituzioni = conta;
    return W;
}

QString Casuale(QRandomGenerator &gen, int minimo, int massimo, const QString &alfabeto)
{
    QString s;
    for (int i = minimo + int(gen.bounded(massimo - minimo + 1)); i > 0; --i)
        s.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
    return s;
}

using Voci = QVector<VoceSostituzione>;

} // namespace

class TestElenco : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void CasiDifficili_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<Voci>("voci");
        QTest::addColumn<QString>("atteso");
        const Voci fabbrica = SostituzioniPredefinite();
        QTest::newRow("fabbrica") << "If a Then\r\nDo While Not x\r\nLoop Until y" << fabbrica
                                  << "Se a Allora\r\nRipeti Mentre Non è x\r\nLoop Finché y";
        QTest::newRow("parola all'inizio e alla fine") << "if" << fabbrica << "Se";
        QTest::newRow("dentro una parola") << "Diff If.Ifx" << fabbrica << "Diff Se.Ifx";
        QTest::newRow("tab e uguale non delimitano") << "\tIf x=Then" << fabbrica << "\tIf x=Then";
        QTest::newRow("inserito non riletto dalla stessa voce")
            << "Do Do" << Voci{{"Do", "Do Do"}} << "Do Do Do Do";
        QTest::newRow("inserito letto dalle voci seguenti")
            << "If" << Voci{{"If", "Then x"}, {"Then", "Allora"}} << "Allora x";
        QTest::newRow("inserito letto nell'ordine delle voci, non delle parole")
            << "X" << Voci{{"X", "A B"}, {"B", "b"}, {"A", "a B"}} << "a B b";
        QTest::newRow("voce precedente non rilegge")
            << "If" << Voci{{"Then", "Allora"}, {"If", "Then"}} << "Then";
        QTest::newRow("parola vuota saltata") << "a b" << Voci{{"", "x"}, {"a", ""}} << " b";
        QTest::newRow("sostituto vuoto unisce i delimitatori")
            << "a (b) c" << Voci{{"b", ""}, {"()", "x"}} << "a x c";
        QTest::newRow("parola con spazio")
            << "End If\r\nIf" << Voci{{"End If", "Fine Se"}, {"If", "Se"}} << "Fine Se\r\nSe";
        QTest::newRow("parola che inizia con punto")
            << "x.SetFocus .setfocus" << Voci{{".SetFocus", ""}} << "x.SetFocus ";
        QTest::newRow("il carattere prima è l'ultimo inserito")
            << ".a.a" << Voci{{".a", "b"}} << "b.a";
        QTest::newRow("maiuscola di una sola unità") << "ıf İF" << fabbrica << "Se İF";
        QTest::newRow("accentate") << "è È" << Voci{{"È", "e"}} << "e e";
        QTest::newRow("risultato molto più lungo del testo")
            << QStringLiteral(" a").repeated(300) << Voci{{"a", QString(40, QLatin1Char('x'))}}
            << (QLatin1Char(' ') + QString(40, QLatin1Char('x'))).repeated(300);
        QTest::newRow("gruppi di parole semplici e composte")
            << "a b c" << Voci{{"a", "b c"}, {"b c", "d"}, {"d", "e"}, {"c", "f"}} << "e e";
    }
    void CasiDifficili()
    {
        QFETCH(QString, testo);
        QFETCH(Voci, voci);
        QFETCH(QString, atteso);
        qsizetype attese = 0, contate = -1;
        QCOMPARE(Letterale(testo, voci, &attese), atteso);
        QCOMPARE(MotoreElenco(voci).Applica(testo, &contate), atteso);
        QCOMPARE(contate, attese);
    }

    // Random texts and lists: words of one token and of several, with
    // delimiters at either end, replacements that hold other words of the list.
    void ComeIlModelloLetterale()
    {
        QRandomGenerator gen(20261207);
        const QString lettere = QStringLiteral("aAbBcèÈıiIſsS");
        const QString testo = lettere + QStringLiteral("  \r\n(.,\t=");
        for (int prova = 0; prova < 6000; ++prova) {
            Voci voci;
            const int quante = 1 + int(gen.bounded(prova % 10 == 0 ? 40 : 6));
            for (int k = 0; k < quante; ++k) {
                const bool composta = gen.bounded(4) == 0;
                QString parola = Casuale(gen, 0, 3, composta ? testo : lettere);
                QString sostituto;
                switch (gen.bounded(4)) {
                case 0:
                    sostituto = Casuale(gen, 0, 4, testo);
                    break;
                case 1: // another word of the list, maybe with something around it
                    if (!voci.isEmpty()) sostituto = voci[gen.bounded(int(voci.size()))].Trova;
                    sostituto += Casuale(gen, 0, 2, testo);
                    break;
                case 2:
                    sostituto = parola + Casuale(gen, 0, 2, testo);
                    break;
                default:
                    sostituto = Casuale(gen, 0, 3, lettere);
                    break;
                }
                voci.append({parola, sostituto});
            }
            // Texts made of list words and delimiters find many matches.
            QString T;
            for (int pezzi = int(gen.bounded(12)); pezzi > 0; --pezzi) {
                if (gen.bounded(2) && !voci.isEmpty())
                    T += voci[gen.bounded(int(voci.size()))].Trova;
                else
                    T += Casuale(gen, 0, 3, testo);
            }
            qsizetype attese = 0, contate = -1;
            const QString atteso = Letterale(T, voci, &attese);
            const QString ottenuto = MotoreElenco(voci).Applica(T, &contate);
            if (ottenuto != atteso || contate != attese) {
                QStringList elenco;
                for (const auto &v : voci)
                    elenco << v.Trova + QStringLiteral("→") + v.Sostituisci;
                qWarning() << "testo" << T << "voci" << elenco;
                QCOMPARE(ottenuto, atteso);
                QCOMPARE(contate, attese);
            }
        }
    }

    // A one-entry list agrees with the window's replacing scan, the end of the
    // text a delimiter for both: half the texts end with a word.
    void UnaVoceComeLaScansioneDellaFinestra()
    {
        QRandomGenerator gen(7);
        const QString alfabeto = QStringLiteral("aAbıI ſsS.\r\n(=èÈ");
        for (int prova = 0; prova < 3000; ++prova) {
            const QString parola = Casuale(gen, 1, 3, alfabeto);
            const QString T = Casuale(gen, 0, 40, alfabeto) + (gen.bounded(2) ? parola : QString());
            const QString sostituto = Casuale(gen, 0, 3, alfabeto);
            const auto finestra = Ricerca::SostituisciOccorrenze(
                T, parola, sostituto, Ricerca::Confronto::PerSostituzione(0, 1));
            qsizetype conta = -1;
            QCOMPARE(MotoreElenco({{parola, sostituto}}).Applica(T, &conta), finestra.testo);
            QCOMPARE(conta, finestra.sostituzioni);
        }
    }
};

QTEST_GUILESS_MAIN(TestElenco)
#include "test_elenco.moc"
