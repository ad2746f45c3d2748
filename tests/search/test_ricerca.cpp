// The find engine and the replacing scan, against the literal models and on
// the cases where the rules are easiest to get wrong.

#include "aiuti/ModelliRiferimento.h"
#include "search/Ricerca.h"

#include <QRandomGenerator>
#include <QTest>

using Ricerca::Domanda;

namespace {

const QString Alfabeto = QStringLiteral("aAbB \t=(.,\r\nèÈßẞ");

QString Casuale(QRandomGenerator &gen, int massimo, const QString &alfabeto = Alfabeto)
{
    QString s;
    for (int i = int(gen.bounded(massimo + 1)); i > 0; --i)
        s.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
    return s;
}

// Runs the engine on a copy of `editor`, recording the questions it asks.
struct Chiamata
{
    bool risultato;
    qint32 pos;
    qsizetype selStart, selLength;
    QList<Domanda> domande;
    bool operator==(const Chiamata &o) const
    {
        return risultato == o.risultato && pos == o.pos && selStart == o.selStart &&
               selLength == o.selLength && domande == o.domande;
    }
};

char *Descrivi(const Chiamata &c)
{
    return qstrdup(QStringLiteral("risultato %1 pos %2 sel %3+%4 domande %5")
                       .arg(c.risultato)
                       .arg(c.pos)
                       .arg(c.selStart)
                       .arg(c.selLength)
                       .arg(c.domande.size())
                       .toUtf8());
}

} // namespace

namespace QTest {
template <> char *toString(const Chiamata &c)
{
    return Descrivi(c);
}
} // namespace QTest

class TestRicerca : public QObject
{
    Q_OBJECT

    // One call of the engine or of the model; `risposte` answers the questions in turn.
    template <typename Funzione>
    static Chiamata Esegui(Funzione f, Modello::Editor &ed, qint32 &pos, QList<bool> risposte)
    {
        Chiamata c{};
        c.risultato = f(ed, pos, [&](Domanda d) {
            c.domande.append(d);
            return risposte.isEmpty() ? false : risposte.takeFirst();
        });
        c.pos = pos;
        c.selStart = ed.selStart;
        c.selLength = ed.selLength;
        return c;
    }

private Q_SLOTS:
    void cercaParolaContoModello()
    {
        QRandomGenerator gen(41);
        for (int caso = 0; caso < 4000; ++caso) {
            Modello::Editor motore, modello;
            motore.testo = modello.testo = Casuale(gen, 24);
            qint32 posMotore = qint32(gen.bounded(-3, 30)), posModello = posMotore;
            const QString parola = Casuale(gen, 3);
            for (int passo = 0; passo < 6; ++passo) {
                const qint16 maiuscole = qint16(gen.bounded(3));
                const qint16 intere = qint16(gen.bounded(10) == 0 ? 2 : gen.bounded(2));
                const qint16 direzione = qint16(gen.bounded(10) == 0 ? 5 : gen.bounded(3));
                const QString modo = gen.bounded(2) ? QStringLiteral("S") : QString();
                // Up to two Yes answers, then No, so that every call ends.
                QList<bool> risposte;
                for (int i = 0; i < 2; ++i)
                    risposte.append(gen.bounded(2) == 1);
                if (gen.bounded(4) == 0) { // the user moves the selection
                    motore.selStart = modello.selStart = gen.bounded(int(motore.testo.size()) + 1);
                    motore.selLength = modello.selLength =
                        gen.bounded(int(motore.testo.size() - motore.selStart) + 1);
                }
                const Chiamata a = Esegui(
                    [&](auto &ed, qint32 &pos, auto chiedi) {
                        return Ricerca::CercaParola(ed, pos, parola, modo, maiuscole, intere,
                                                    direzione, chiedi);
                    },
                    motore, posMotore, risposte);
                const Chiamata b = Esegui(
                    [&](auto &ed, qint32 &pos, auto chiedi) {
                        return Modello::CercaParola(ed, pos, parola, modo, maiuscole, intere,
                                                    direzione, chiedi);
                    },
                    modello, posModello, risposte);
                if (!(a == b))
                    qWarning() << "testo" << motore.testo << "parola" << parola << "dir"
                               << direzione << "modo" << modo << "maiusc" << maiuscole << "intere"
                               << intere;
                QCOMPARE(a, b);
            }
        }
    }

    void sostituzioneContoModello()
    {
        QRandomGenerator gen(42);
        for (int caso = 0; caso < 6000; ++caso) {
            const QString testo = Casuale(gen, 30);
            QString parola = Casuale(gen, 4);
            if (parola.isEmpty()) parola = QStringLiteral("a");
            const QString sostituto = Casuale(gen, 6, QStringLiteral("xX. aB"));
            const qint16 maiuscole = qint16(gen.bounded(10) == 0 ? 2 : gen.bounded(2));
            const qint16 intere = qint16(gen.bounded(10) == 0 ? 3 : gen.bounded(2));
            const qsizetype fermaA = gen.bounded(4) == 0 ? gen.bounded(1, 30) : -1;
            const int inizio =
                gen.bounded(3) == 0 ? int(gen.bounded(int(testo.size()) + 1)) + 1 : 1;
            // The range may end before the text does: the model then works on
            // the first part and sees the character that follows it.
            const int fine = gen.bounded(3) == 0 ? int(gen.bounded(int(testo.size()) + 1)) : -1;

            Modello::EsitoSostituzione atteso;
            if (fine < 0) {
                atteso = Modello::Sostituisci(testo, parola, sostituto, maiuscole, intere, fermaA,
                                              inizio);
            } else {
                const std::optional<QChar> dopo =
                    fine < testo.size() ? std::optional<QChar>(testo[fine]) : std::nullopt;
                atteso = Modello::Sostituisci(testo.left(fine), parola, sostituto, maiuscole,
                                              intere, fermaA, inizio, dopo);
                atteso.testo += testo.mid(fine);
            }
            qsizetype chiamate = 0;
            const Ricerca::EsitoSostituzione ottenuto = Ricerca::SostituisciOccorrenze(
                testo, parola, sostituto, Ricerca::Confronto::PerSostituzione(maiuscole, intere),
                [&](qsizetype, qsizetype) { return ++chiamate != fermaA; }, 1, inizio - 1, fine);
            if (ottenuto.testo != atteso.testo || ottenuto.interrotto != atteso.interrotto)
                qWarning() << testo << parola << sostituto << maiuscole << intere << fermaA
                           << inizio << fine;
            QCOMPARE(ottenuto.testo, atteso.testo);
            QCOMPARE(ottenuto.sostituzioni, qsizetype(atteso.sostituzioni));
            QCOMPARE(ottenuto.interrotto, atteso.interrotto);
        }
    }

    void sostituzione_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("parola");
        QTest::addColumn<QString>("sostituto");
        QTest::addColumn<int>("intere");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("Not cresce il limite") << "Not Not Not\r\n"
                                              << "Not"
                                              << "Non è" << 1 << "Non è Non è Non è\r\n";
        QTest::newRow("Do Ripeti non riesaminato") << "Do Do\r\n"
                                                   << "Do"
                                                   << "Ripeti" << 1 << "Ripeti Ripeti\r\n";
        QTest::newRow("parola intera alla fine") << "If a If"
                                                 << "If"
                                                 << "Se" << 1 << "Se a Se";
        QTest::newRow("occorrenza alla fine") << "x ab"
                                              << "b"
                                              << "c" << 0 << "x ac";
        QTest::newRow("testo uguale alla parola") << "if"
                                                  << "If"
                                                  << "Se" << 1 << "Se";
        QTest::newRow("lettera prima") << "Diff If\r\n"
                                       << "If"
                                       << "Se" << 1 << "Diff Se\r\n";
        QTest::newRow("maiuscole ignorate") << "if(x)\r\n"
                                            << "If"
                                            << "Se" << 1 << "Se(x)\r\n";
        QTest::newRow("tab e uguale") << "\tIf x If=\r\n"
                                      << "If"
                                      << "Se" << 1 << "\tIf x If=\r\n";
        QTest::newRow("a in bbb") << "a a a a\r\n"
                                  << "a"
                                  << "bbb" << 0 << "bbb bbb bbb bbb\r\n";
        QTest::newRow("a in aa") << "aaa\r\n"
                                 << "a"
                                 << "aa" << 0 << "aaaaaa\r\n";
        QTest::newRow("aa in b") << "aaa"
                                 << "aa"
                                 << "b" << 0 << "ba";
        QTest::newRow("sostituto vuoto") << "x ab ab.\r\n"
                                         << "ab"
                                         << "" << 1 << "x  .\r\n";
        QTest::newRow("vuoto all'inizio") << "ab ab ab\r\n"
                                          << "ab"
                                          << "" << 1 << "  \r\n";
        QTest::newRow("parola vuota intatta") << "a b\r\n"
                                              << ""
                                              << "x" << 0 << "a b\r\n";
        // Upper case one character at a time: "ß" has no one-character capital.
        QTest::newRow("eszett") << "ß STRASSE ẞ\r\n"
                                << "ß"
                                << "ss" << 1 << "ss STRASSE ẞ\r\n";
        QTest::newRow("accenti") << "è È\r\n"
                                 << "È"
                                 << "e" << 1 << "e e\r\n";
    }
    void sostituzione()
    {
        QFETCH(QString, testo);
        QFETCH(QString, parola);
        QFETCH(QString, sostituto);
        QFETCH(int, intere);
        QFETCH(QString, atteso);
        QCOMPARE(
            Ricerca::SostituisciOccorrenze(testo, parola, sostituto,
                                           Ricerca::Confronto::PerSostituzione(0, qint16(intere)))
                .testo,
            atteso);
    }

    void intervalloSostituzione_data()
    {
        // A ten-character text unless told; the caret is the selection's start.
        QTest::addColumn<int>("direzione");
        QTest::addColumn<int>("cursore");
        QTest::addColumn<int>("lunghezza");
        QTest::addColumn<int>("inizio");
        QTest::addColumn<int>("fine");
        QTest::newRow("giù, a metà") << 1 << 5 << 10 << 4 << 10;
        QTest::newRow("giù, all'inizio") << 1 << 0 << 10 << 0 << 10;
        QTest::newRow("giù, dopo il primo") << 1 << 1 << 10 << 0 << 10;
        QTest::newRow("giù, prima dell'ultimo") << 1 << 9 << 10 << 8 << 10;
        QTest::newRow("giù, alla fine") << 1 << 10 << 10 << 0 << 10;
        QTest::newRow("giù, testo vuoto") << 1 << 0 << 0 << 0 << 0;
        QTest::newRow("su, a metà") << 0 << 5 << 10 << 0 << 4;
        QTest::newRow("su, all'inizio") << 0 << 0 << 10 << 0 << 9;
        QTest::newRow("su, dopo il primo") << 0 << 1 << 10 << 0 << 9;
        QTest::newRow("su, dopo il secondo") << 0 << 2 << 10 << 0 << 1;
        QTest::newRow("su, alla fine") << 0 << 10 << 10 << 0 << 9;
        QTest::newRow("su, testo vuoto") << 0 << 0 << 0 << 0 << 0;
        QTest::newRow("su, un carattere") << 0 << 1 << 1 << 0 << 0;
        QTest::newRow("tutte") << 2 << 5 << 10 << 0 << 10;
        QTest::newRow("direzione sconosciuta") << 7 << 5 << 10 << 0 << 10;
    }
    void intervalloSostituzione()
    {
        QFETCH(int, direzione);
        QFETCH(int, cursore);
        QFETCH(int, lunghezza);
        QFETCH(int, inizio);
        QFETCH(int, fine);
        const Ricerca::Intervallo r =
            Ricerca::IntervalloSostituzione(qint16(direzione), cursore, lunghezza);
        QCOMPARE(r.inizio, qsizetype(inizio));
        QCOMPARE(r.fine, qsizetype(fine));
    }

    void cerca_data()
    {
        // Successive searches in silent mode from a fresh start: where each one
        // leaves the selection (its 1-based start, 0 for none) and whether it
        // reached the end of the text (the start, backward).
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("parola");
        QTest::addColumn<int>("direzione");
        QTest::addColumn<int>("intere");
        QTest::addColumn<int>("maiuscole");
        QTest::addColumn<QList<int>>("selezioni");
        QTest::addColumn<QList<bool>>("fine");
        const QString per = QStringLiteral("For x = 1 To 10");
        const QString then = QStringLiteral("Then THEN then\r\n");
        QTest::newRow("la fine del testo delimita")
            << per << QStringLiteral("10") << 1 << 1 << 0 << QList<int>{14} << QList<bool>{false};
        QTest::newRow("una lettera dopo") << QStringLiteral("x = 10b") << QStringLiteral("10") << 1
                                          << 1 << 0 << QList<int>{0} << QList<bool>{true};
        QTest::newRow("a capo dopo") << per + QStringLiteral("\r\n") << QStringLiteral("10") << 1
                                     << 1 << 0 << QList<int>{14} << QList<bool>{false};
        QTest::newRow("parentesi dopo") << QStringLiteral("If(a)") << QStringLiteral("If") << 1 << 1
                                        << 0 << QList<int>{1} << QList<bool>{false};
        QTest::newRow("tra parentesi") << QStringLiteral("If(a)") << QStringLiteral("a") << 1 << 1
                                       << 0 << QList<int>{4} << QList<bool>{false};
        QTest::newRow("uguale dopo") << QStringLiteral("\tIf x=1\r\n") << QStringLiteral("x") << 1
                                     << 1 << 0 << QList<int>{0} << QList<bool>{true};
        QTest::newRow("sovrapposte non trovate")
            << QStringLiteral("aaaa") << QStringLiteral("aa") << 1 << 0 << 0 << QList<int>{1, 3, 3}
            << QList<bool>{false, false, true};
        QTest::newRow("all'indietro")
            << QStringLiteral("ab ab ab") << QStringLiteral("ab") << 0 << 0 << 0
            << QList<int>{7, 4, 1} << QList<bool>{false, false, true};
        QTest::newRow("maiuscole ignorate")
            << then << QStringLiteral("then") << 1 << 1 << 0 << QList<int>{1, 6, 11}
            << QList<bool>{false, false, false};
        QTest::newRow("maiuscole esatte") << then << QStringLiteral("then") << 1 << 1 << 1
                                          << QList<int>{11} << QList<bool>{false};
        QTest::newRow("Tutte come Giù") << QStringLiteral("a b a\r\n") << QStringLiteral("a") << 2
                                        << 1 << 0 << QList<int>{1, 5} << QList<bool>{false, false};
        QTest::newRow("una lettera alla fine") << QStringLiteral("x y") << QStringLiteral("y") << 1
                                               << 0 << 0 << QList<int>{3} << QList<bool>{true};
    }
    void cerca()
    {
        QFETCH(QString, testo);
        QFETCH(QString, parola);
        QFETCH(int, direzione);
        QFETCH(int, intere);
        QFETCH(int, maiuscole);
        QFETCH(QList<int>, selezioni);
        QFETCH(QList<bool>, fine);
        Modello::Editor ed;
        ed.testo = testo;
        qint32 pos = 0;
        QList<int> selezioniOttenute;
        QList<bool> fineOttenuta;
        for (qsizetype i = 0; i < selezioni.size(); ++i) {
            fineOttenuta.append(!Ricerca::CercaParola(ed, pos, parola, QStringLiteral("S"),
                                                      qint16(maiuscole), qint16(intere),
                                                      qint16(direzione), {}));
            selezioniOttenute.append(ed.selLength > 0 ? int(ed.selStart + 1) : 0);
        }
        QCOMPARE(selezioniOttenute, selezioni);
        QCOMPARE(fineOttenuta, fine);
    }

    void finaleChiedeDiRicominciare()
    {
        // A one-character word at the very end: selected, and the end is reached at once.
        Modello::Editor ed;
        ed.testo = QStringLiteral("x y");
        qint32 pos = 0;
        QList<Domanda> domande;
        QVERIFY(
            !Ricerca::CercaParola(ed, pos, QStringLiteral("y"), QString(), 0, 0, 1, [&](Domanda d) {
                domande.append(d);
                return false;
            }));
        QCOMPARE(ed.selStart, 2);
        QCOMPARE(domande, QList<Domanda>{Domanda::FineTesto});
    }

    void primaRicercaConSelezione()
    {
        // Starts at PosRicerca 0 + the selection length.
        Modello::Editor ed;
        ed.testo = QStringLiteral("ab ab ab\r\n");
        ed.selStart = 1;
        ed.selLength = 5;
        qint32 pos = 0;
        QVERIFY(
            Ricerca::CercaParola(ed, pos, QStringLiteral("ab"), QStringLiteral("S"), 0, 1, 1, {}));
        QCOMPARE(ed.selStart, 6);
    }

    void testoVuotoEParolaVuota()
    {
        Modello::Editor ed;
        qint32 pos = 0;
        int domande = 0;
        QList<bool> risposte{true, false};
        QVERIFY(
            !Ricerca::CercaParola(ed, pos, QStringLiteral("x"), QString(), 0, 1, 1, [&](Domanda) {
                ++domande;
                return risposte.takeFirst();
            }));
        QCOMPARE(domande, 2);

        ed.testo = QStringLiteral("abc");
        pos = 0;
        for (int i = 0; i < 3; ++i) {
            QVERIFY(Ricerca::CercaParola(ed, pos, QString(), QStringLiteral("S"), 0, 0, 1, {}));
            QCOMPARE(ed.selStart, 0);
            QCOMPARE(ed.selLength, 0);
        }
    }

    void testoLungoInTempoLineare()
    {
        // A 2-million-character text with a match every few characters.
        QString testo;
        for (int i = 0; i < 200000; ++i)
            testo += QStringLiteral("If a Then\r\n");
        const auto esito =
            Ricerca::SostituisciOccorrenze(testo, QStringLiteral("if"), QStringLiteral("Se"),
                                           Ricerca::Confronto::PerSostituzione(0, 1));
        QCOMPARE(esito.sostituzioni, 200000);
        QVERIFY(esito.testo.startsWith(QStringLiteral("Se a Then\r\nSe a")));
    }
};

QTEST_GUILESS_MAIN(TestRicerca)
#include "test_ricerca.moc"
