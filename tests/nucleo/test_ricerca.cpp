// The find engine and the replacing scan, against the literal models and on
// the cases where the rules are easiest to get wrong.

#include "aiuti/ModelliRiferimento.h"
#include "aiuti/Tabella.h"
#include "nucleo/ricerca/Ricerca.h"
#include "nucleo/ricerca/SostituzioneGlobale.h"

#include <QRandomGenerator>

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

struct Richiesta
{
    QString parola;
    qint16 maiuscole, intere, direzione;
    QString modo;
};

// What one find call did: its result, where it left PosRicerca and the
// selection, and the questions it asked.
struct Chiamata
{
    bool risultato;
    qint32 pos;
    qsizetype selStart, selLength;
    QList<Domanda> domande;
    bool operator==(const Chiamata &o) const
    {
        return std::tie(risultato, pos, selStart, selLength, domande) ==
               std::tie(o.risultato, o.pos, o.selStart, o.selLength, o.domande);
    }
};

// Shown as (risultato, pos, selStart, selLength, number of questions).
char *toString(const Chiamata &c)
{
    return QTest::toString(
        std::tuple(c.risultato, c.pos, c.selStart, c.selLength, int(c.domande.size())));
}

// One call of `cerca`, the engine or the model; `risposte` answers the
// questions in turn, then No.
template <typename Cerca>
Chiamata Esegui(Cerca cerca, Modello::Editor &ed, qint32 &pos, const Richiesta &r,
                QList<bool> risposte = {})
{
    Chiamata c{};
    c.risultato =
        cerca(ed, pos, r.parola, r.modo, r.maiuscole, r.intere, r.direzione, [&](Domanda d) {
            c.domande.append(d);
            return !risposte.isEmpty() && risposte.takeFirst();
        });
    c.pos = pos;
    c.selStart = ed.selStart;
    c.selLength = ed.selLength;
    return c;
}

} // namespace

Q_DECLARE_METATYPE(Chiamata)

class TestRicerca : public QObject
{
    Q_OBJECT

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
                const Richiesta r{parola, qint16(gen.bounded(3)),
                                  qint16(gen.bounded(10) == 0 ? 2 : gen.bounded(2)),
                                  qint16(gen.bounded(10) == 0 ? 5 : gen.bounded(3)),
                                  gen.bounded(2) ? QStringLiteral("S") : QString()};
                // Up to two Yes answers, then No, so that every call ends.
                const QList<bool> risposte{gen.bounded(2) == 1, gen.bounded(2) == 1};
                if (gen.bounded(4) == 0) { // the user moves the selection
                    motore.selStart = modello.selStart = gen.bounded(int(motore.testo.size()) + 1);
                    motore.selLength = modello.selLength =
                        gen.bounded(int(motore.testo.size() - motore.selStart) + 1);
                }
                const Chiamata a = Esegui(Modello::CercaConDomande, motore, posMotore, r, risposte);
                const Chiamata b = Esegui(Modello::CercaParola, modello, posModello, r, risposte);
                if (!(a == b))
                    qWarning() << "testo" << motore.testo << "parola" << parola << "dir"
                               << r.direzione << "modo" << r.modo << "maiusc" << r.maiuscole
                               << "intere" << r.intere;
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
            const QString parte = fine < 0 ? testo : testo.left(fine);
            Modello::EsitoSostituzione atteso = Modello::Sostituisci(
                parte, parola, sostituto, maiuscole, intere, fermaA, inizio,
                parte.size() < testo.size() ? std::optional(testo[parte.size()]) : std::nullopt);
            atteso.testo += testo.mid(parte.size());
            // A flag other than 0/1 compares nothing, as the model replaces nothing.
            Ricerca::Confronto confronto =
                Ricerca::Confronto::PerSostituzione(maiuscole == 1, intere == 1);
            confronto.valido = maiuscole <= 1 && intere <= 1;
            qsizetype chiamate = 0;
            const Ricerca::EsitoSostituzione ottenuto = Ricerca::SostituisciOccorrenze(
                testo, parola, sostituto, confronto,
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
        Colonne<QString, QString, QString, int, QString>("testo", "parola", "sostituto", "intere",
                                                         "atteso");
        Riga("Not cresce il limite", "Not Not Not\r\n", "Not", "Non è", 1, "Non è Non è Non è\r\n");
        Riga("Do Ripeti non riesaminato", "Do Do\r\n", "Do", "Ripeti", 1, "Ripeti Ripeti\r\n");
        Riga("parola intera alla fine", "If a If", "If", "Se", 1, "Se a Se");
        Riga("occorrenza alla fine", "x ab", "b", "c", 0, "x ac");
        Riga("testo uguale alla parola", "if", "If", "Se", 1, "Se");
        Riga("lettera prima", "Diff If\r\n", "If", "Se", 1, "Diff Se\r\n");
        Riga("maiuscole ignorate", "if(x)\r\n", "If", "Se", 1, "Se(x)\r\n");
        Riga("tab e uguale", "\tIf x If=\r\n", "If", "Se", 1, "\tIf x If=\r\n");
        Riga("a in bbb", "a a a a\r\n", "a", "bbb", 0, "bbb bbb bbb bbb\r\n");
        Riga("a in aa", "aaa\r\n", "a", "aa", 0, "aaaaaa\r\n");
        Riga("aa in b", "aaa", "aa", "b", 0, "ba");
        Riga("sostituto vuoto", "x ab ab.\r\n", "ab", "", 1, "x  .\r\n");
        Riga("vuoto all'inizio", "ab ab ab\r\n", "ab", "", 1, "  \r\n");
        // The next candidate sees the replacement before it, not the word replaced.
        Riga("dopo un sostituto", "..", ".", "x", 1, "x.");
        Riga("parola vuota intatta", "a b\r\n", "", "x", 0, "a b\r\n");
        // Upper case one character at a time: "ß" has no one-character capital.
        Riga("eszett", "ß STRASSE ẞ\r\n", "ß", "ss", 1, "ss STRASSE ẞ\r\n");
        Riga("accenti", "è È\r\n", "È", "e", 1, "e e\r\n");
    }
    void sostituzione()
    {
        QFETCH(QString, testo);
        QFETCH(QString, parola);
        QFETCH(QString, sostituto);
        QFETCH(int, intere);
        const auto confronto = Ricerca::Confronto::PerSostituzione(false, intere == 1);
        QTEST(Ricerca::SostituisciOccorrenze(testo, parola, sostituto, confronto).testo, "atteso");
    }

    void intervalloSostituzione_data()
    {
        // A ten-character text unless told; the caret is the selection's start.
        Colonne<int, int, int, int, int>("direzione", "cursore", "lunghezza", "inizio", "fine");
        Riga("giù, a metà", 1, 5, 10, 4, 10);
        Riga("giù, all'inizio", 1, 0, 10, 0, 10);
        Riga("giù, dopo il primo", 1, 1, 10, 0, 10);
        Riga("giù, prima dell'ultimo", 1, 9, 10, 8, 10);
        Riga("giù, alla fine", 1, 10, 10, 0, 10);
        Riga("giù, testo vuoto", 1, 0, 0, 0, 0);
        Riga("su, a metà", 0, 5, 10, 0, 4);
        Riga("su, all'inizio", 0, 0, 10, 0, 9);
        Riga("su, dopo il primo", 0, 1, 10, 0, 9);
        Riga("su, dopo il secondo", 0, 2, 10, 0, 1);
        Riga("su, alla fine", 0, 10, 10, 0, 9);
        Riga("su, testo vuoto", 0, 0, 0, 0, 0);
        Riga("su, un carattere", 0, 1, 1, 0, 0);
        Riga("tutte", 2, 5, 10, 0, 10);
        Riga("direzione sconosciuta", 7, 5, 10, 0, 10);
    }
    void intervalloSostituzione()
    {
        QFETCH(int, direzione);
        QFETCH(int, cursore);
        QFETCH(int, lunghezza);
        QFETCH(int, inizio);
        QFETCH(int, fine);
        const auto r =
            Ricerca::IntervalloSostituzione(Ricerca::Direzione(direzione), cursore, lunghezza);
        QCOMPARE(std::pair(r.inizio, r.fine), std::pair(qsizetype(inizio), qsizetype(fine)));
    }

    void sostituzioneGlobale_data()
    {
        // "ab" becomes "X" in "ab.ab(ab\r\nxab abx ab zz" (23 characters, the
        // line break at offsets 8 and 9), from the caret at the given offset.
        Colonne<int, int, bool, QString>("direzione", "caret", "intere", "atteso");
        const char *tutte = "X.X(X\r\nxX Xx X zz";
        const char *intere = "X.X(X\r\nxab abx X zz";
        Riga("Tutte", 2, 12, false, tutte);
        Riga("Tutte, parole intere", 2, 12, true, intere);
        // "Giù" starts at the character before the caret.
        Riga("Giù da 12", 1, 12, false, "ab.ab(ab\r\nxX Xx X zz");
        Riga("Giù da 2", 1, 2, false, "ab.X(X\r\nxX Xx X zz");
        Riga("Giù da 1", 1, 1, false, tutte);
        Riga("Giù da 15, parole intere", 1, 15, true, "ab.ab(ab\r\nxab abx X zz");
        Riga("Giù da 0", 1, 0, false, tutte);
        Riga("Giù dalla fine, parole intere", 1, 23, true, intere);
        // "Su" works on the text before the caret's character.
        Riga("Su da 4", 0, 4, false, "X.ab(ab\r\nxab abx ab zz");
        Riga("Su da 8", 0, 8, false, "X.X(ab\r\nxab abx ab zz");
        Riga("Su da 16, parole intere", 0, 16, true, "X.X(X\r\nxab abx ab zz");
        Riga("Su da 0", 0, 0, false, tutte);
        Riga("Su da 1, parole intere", 0, 1, true, intere);
    }
    void sostituzioneGlobale()
    {
        QFETCH(int, direzione);
        QFETCH(int, caret);
        QFETCH(bool, intere);
        const QString testo = QStringLiteral("ab.ab(ab\r\nxab abx ab zz");
        const Ricerca::OpzioniRicerca opzioni{false, intere, Ricerca::Direzione(direzione)};
        Ricerca::SostituzioneGlobale sostituzione;
        const auto esito = sostituzione.Esegui(
            testo, QStringLiteral("ab"), QStringLiteral("X"), opzioni,
            Ricerca::IntervalloSostituzione(opzioni.direzione, caret, testo.size()));
        QVERIFY(esito && !esito->interrotto);
        QTEST(esito->testo, "atteso");
        QCOMPARE(sostituzione.StatoAttuale(), Ricerca::SostituzioneGlobale::Stato::InCorso);
    }

    void sostituzioneGlobaleInterrotta()
    {
        using Stato = Ricerca::SostituzioneGlobale::Stato;
        Ricerca::SostituzioneGlobale sostituzione;
        sostituzione.Interrompi(); // nothing to interrupt
        QCOMPARE(sostituzione.StatoAttuale(), Stato::Ferma);
        const QString testo = QStringLiteral("uno due\r\n").repeated(500);
        QList<qsizetype> avvisi;
        const auto esito =
            sostituzione.Esegui(testo, QStringLiteral("uno"), QStringLiteral("1"), {},
                                {0, testo.size()}, [&](qsizetype fatto, qsizetype) {
                                    avvisi.append(fatto);
                                    if (avvisi.size() == 2) sostituzione.Interrompi();
                                });
        // The scan stops at the report during which the request came, keeping
        // what it did;
        // the reports count in the working text (1024 positions in, 114 "uno"
        // have become "1").
        QCOMPARE(avvisi, (QList<qsizetype>{0, 1024 - 114 * 2}));
        QVERIFY(esito->interrotto);
        QVERIFY(esito->testo.startsWith(QStringLiteral("1 due")));
        QVERIFY(esito->testo.endsWith(QStringLiteral("uno due\r\n")));
        // Busy until its outcome is dealt with: a second run does not start.
        QCOMPARE(sostituzione.StatoAttuale(), Stato::Interruzione);
        QVERIFY(!sostituzione.Interrompibile());
        QVERIFY(!sostituzione.Esegui(testo, QStringLiteral("uno"), QStringLiteral("1"), {},
                                     {0, testo.size()}));
        sostituzione.Termina();
        QVERIFY(!sostituzione.Occupata());
    }

    void cerca_data()
    {
        // Successive searches in silent mode from a fresh start: where each one
        // leaves the selection (its 1-based start, 0 for none) and whether it
        // reached the end of the text (the start, backward).
        Colonne<QString, QString, int, int, int, QList<int>, QList<bool>>(
            "testo", "parola", "direzione", "intere", "maiuscole", "selezioni", "fine");
        using S = QList<int>;
        using F = QList<bool>;
        const char *per = "For x = 1 To 10";
        const char *then = "Then THEN then\r\n";
        Riga("la fine del testo delimita", per, "10", 1, 1, 0, S{14}, F{false});
        Riga("una lettera dopo", "x = 10b", "10", 1, 1, 0, S{0}, F{true});
        Riga("a capo dopo", "For x = 1 To 10\r\n", "10", 1, 1, 0, S{14}, F{false});
        Riga("parentesi dopo", "If(a)", "If", 1, 1, 0, S{1}, F{false});
        Riga("tra parentesi", "If(a)", "a", 1, 1, 0, S{4}, F{false});
        Riga("uguale dopo", "\tIf x=1\r\n", "x", 1, 1, 0, S{0}, F{true});
        Riga("sovrapposte non trovate", "aaaa", "aa", 1, 0, 0, S{1, 3, 3}, F{false, false, true});
        Riga("all'indietro", "ab ab ab", "ab", 0, 0, 0, S{7, 4, 1}, F{false, false, true});
        Riga("maiuscole ignorate", then, "then", 1, 1, 0, S{1, 6, 11}, F{false, false, false});
        Riga("maiuscole esatte", then, "then", 1, 1, 1, S{11}, F{false});
        Riga("Tutte come Giù", "a b a\r\n", "a", 2, 1, 0, S{1, 5}, F{false, false});
        Riga("una lettera alla fine", "x y", "y", 1, 0, 0, S{3}, F{true});
    }
    void cerca()
    {
        QFETCH(QString, testo);
        QFETCH(QString, parola);
        QFETCH(int, direzione);
        QFETCH(int, intere);
        QFETCH(int, maiuscole);
        QFETCH(QList<int>, selezioni);
        Modello::Editor ed;
        ed.testo = testo;
        qint32 pos = 0;
        QList<int> selezioniOttenute;
        QList<bool> fine;
        for (qsizetype i = 0; i < selezioni.size(); ++i) {
            fine.append(!Modello::CercaConDomande(ed, pos, parola, QStringLiteral("S"),
                                                  qint16(maiuscole), qint16(intere),
                                                  qint16(direzione), {}));
            selezioniOttenute.append(ed.selLength > 0 ? int(ed.selStart + 1) : 0);
        }
        QCOMPARE(selezioniOttenute, selezioni);
        QTEST(fine, "fine");
    }

    void chiamata_data()
    {
        // One forward search, whole words; the selection as the user left it.
        Colonne<QString, int, int, QString, QString, QList<bool>, Chiamata>(
            "testo", "selStart", "selLength", "parola", "modo", "risposte", "atteso");
        const QList<bool> nessuna;
        const QList<Domanda> fine{Domanda::FineTesto};
        // A one-character word at the very end: selected, and the end is reached at once.
        Riga("la fine chiede di ricominciare", "x y", 0, 0, "y", "", nessuna,
             Chiamata{false, 3, 2, 1, fine});
        // Starts at PosRicerca 0 + the selection length.
        Riga("la selezione sposta l'inizio", "ab ab ab\r\n", 1, 5, "ab", "S", nessuna,
             Chiamata{true, 7, 6, 2, {}});
        Riga("testo vuoto, Sì poi No", "", 0, 0, "x", "", QList<bool>{true, false},
             Chiamata{false, 1, 0, 0, fine + fine});
    }
    void chiamata()
    {
        QFETCH(QString, testo);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, parola);
        QFETCH(QString, modo);
        QFETCH(QList<bool>, risposte);
        Modello::Editor ed;
        ed.testo = testo;
        ed.selStart = selStart;
        ed.selLength = selLength;
        qint32 pos = 0;
        QTEST(Esegui(Modello::CercaConDomande, ed, pos, {parola, 0, 1, 1, modo}, risposte),
              "atteso");
    }

    void parolaVuotaSelezionaIlNulla()
    {
        Modello::Editor ed;
        ed.testo = QStringLiteral("abc");
        qint32 pos = 0;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(Esegui(Modello::CercaConDomande, ed, pos, {{}, 0, 0, 1, QStringLiteral("S")}),
                     (Chiamata{true, 1, 0, 0, {}}));
    }

    void testoLungoInTempoLineare()
    {
        // A 2-million-character text with a match every few characters.
        const auto esito = Ricerca::SostituisciOccorrenze(
            QStringLiteral("If a Then\r\n").repeated(200000), QStringLiteral("if"),
            QStringLiteral("Se"), Ricerca::Confronto::PerSostituzione(false, true));
        QCOMPARE(esito.sostituzioni, 200000);
        QVERIFY(esito.testo.startsWith(QStringLiteral("Se a Then\r\nSe a")));
    }
};

QTEST_GUILESS_MAIN(TestRicerca)
#include "test_ricerca.moc"
