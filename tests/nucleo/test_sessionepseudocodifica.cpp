// The pseudocoding run without a window: phases, walk, replace-all, the
// automatic run with its estimate, interrupt/resume, closing, and the single
// write-back of the worked text.

#include "aiuti/CorsaAutomatica.h"
#include "nucleo/pseudocodifica/SessionePseudocodifica.h"

#include <QTest>

using Fase = SessionePseudocodifica::Fase;
using Avviso = SessionePseudocodifica::Avviso;
using Pseudocodifica::Esito;

namespace {

const QString Inattivo = QStringLiteral("Pronto");

// The text after the first `n` entries of `voci`, one after the other.
QString Dopo(const QString &testo, const QVector<VoceSostituzione> &voci, int n)
{
    return CorsaAutomatica(testo, voci.mid(0, n));
}

// A session over `voci` that logs what it reports and keeps the text written back.
struct Banco
{
    SessionePseudocodifica s;
    QString testo;
    QStringList eventi; // phases, notices and write-backs, in order
    int scritture = 0;
    int cessioni = 0;

    Banco(const QVector<VoceSostituzione> &voci, const QString &t) : s(voci, {}, Inattivo), testo(t)
    {
        QObject::connect(&s, &SessionePseudocodifica::FaseCambiata, [this](Fase f) {
            eventi << QString::fromLatin1(QMetaEnum::fromType<Fase>().valueToKey(int(f)));
        });
        QObject::connect(&s, &SessionePseudocodifica::Annuncio, [this](Avviso a) {
            eventi << QStringLiteral("!") +
                          QString::fromLatin1(QMetaEnum::fromType<Avviso>().valueToKey(int(a)));
        });
        QObject::connect(&s, &SessionePseudocodifica::ScriviTesto,
                         [this](const QString &nuovo, bool inizio) {
                             testo = nuovo;
                             ++scritture;
                             eventi << (inizio ? QStringLiteral("scritto, cursore a 1")
                                               : QStringLiteral("scritto"));
                         });
        s.NuovaCessione = [this] { return [this] { ++cessioni; }; };
    }
};

} // namespace

class TestSessionePseudocodifica : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void avvio_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QVector<VoceSostituzione>>("voci");
        QTest::addColumn<bool>("annullato");
        QTest::addColumn<QStringList>("eventi");
        const QStringList vuoto;
        QTest::newRow("controllo annullato")
            << "If a\r\n"
            << SostituzioniPredefinite() << true << QStringList{"Annullata"};
        QTest::newRow("trovata") << "a If b\r\n"
                                 << SostituzioniPredefinite() << false << QStringList{"InCammino"};
        QTest::newRow("nessuna voce compare")
            << "\tIf x=1 Thenx\r\n"
            << SostituzioniPredefinite() << false << QStringList{"!NienteDaFare", "NienteDaFare"};
        QTest::newRow("elenco senza voci")
            << "If a\r\n"
            << QVector<VoceSostituzione>{{QString(), QStringLiteral("x")}} << false
            << QStringList{"!NienteDaFare", "NienteDaFare"};
    }
    void avvio()
    {
        QFETCH(QString, testo);
        QFETCH(QVector<VoceSostituzione>, voci);
        QFETCH(bool, annullato);
        QFETCH(QStringList, eventi);
        Banco b(voci, testo);
        if (annullato)
            b.s.Annulla();
        else
            b.s.Controlla(testo);
        QCOMPARE(b.eventi, eventi);
        QCOMPARE(b.scritture, 0);
        if (eventi == QStringList{"InCammino"}) {
            QCOMPARE(b.s.Percorso().InizioSelezione(), 2);
            QCOMPARE(b.s.Percorso().LunghezzaSelezione(), 2);
        }
    }

    // The walking commands, one letter each: s replace, u next, l skip, t replace all.
    void cammino_data()
    {
        QTest::addColumn<QString>("comandi");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("voce");
        QTest::addColumn<QStringList>("eventi");
        QTest::newRow("sostituisci, successivo, salta fino alla fine")
            << "sul"
            << "Se a Then\r\n"
            << 9 << QStringList{"InCammino", "!Terminata", "Terminata"};
        QTest::newRow("sostituisci tutto")
            << "t"
            << "Se a Then Se\r\n"
            << 2 << QStringList{"InCammino", "SostituzioneTotale", "scritto", "InCammino"};
    }
    void cammino()
    {
        QFETCH(QString, comandi);
        QFETCH(QString, testo);
        QFETCH(int, voce);
        QFETCH(QStringList, eventi);
        Banco b(
            SostituzioniPredefinite(),
            QStringLiteral("If a Then%1\r\n").arg(comandi == u"t" ? QStringLiteral(" If") : ""));
        bool modificato = false;
        QObject::connect(&b.s, &SessionePseudocodifica::TestoModificato,
                         [&] { modificato = true; });
        QCOMPARE(b.s.Controlla(b.testo), Esito::Trovata);
        for (QChar c : comandi) {
            if (c == u's') {
                const auto m = b.s.Sostituisci();
                QVERIFY(m);
                b.testo.replace(m->inizio, m->lunghezza, m->testo);
            } else if (c == u'u') {
                QCOMPARE(b.s.Successivo(b.testo), Esito::Trovata);
                QCOMPARE(b.s.Percorso().VoceCorrente(), 2); // "Then"
            } else if (c == u'l') {
                QCOMPARE(b.s.Salta(b.testo), Esito::FineElenco);
            } else {
                QCOMPARE(b.s.SostituisciTutto(b.testo), Esito::Caricata);
                QVERIFY(modificato);
            }
        }
        QCOMPARE(b.testo, testo);
        QCOMPARE(b.s.Percorso().VoceCorrente(), voce);
        QCOMPARE(b.eventi, eventi);
    }

    // The automatic run, stopped (or not) when the clock is read the
    // `lettura`-th time (3: the start of the second entry's scan) or at the
    // `cessione`-th yield; the text is written back once, with what the
    // entries finished before the stop did.
    void automatica_data()
    {
        QTest::addColumn<int>("lettura");
        QTest::addColumn<int>("cessione");
        QTest::addColumn<QString>("comando");
        QTest::addColumn<int>("esito");
        QTest::addColumn<int>("vociFatte");
        QTest::addColumn<QStringList>("eventi");
        const QStringList fine{"Automatica", "scritto", "!Terminata", "Terminata"};
        QTest::newRow("fino alla fine") << 0 << 0 << "" << int(Esito::FineElenco) << 8 << fine;
        QTest::newRow("interrotta nella seconda voce")
            << 3 << 0 << "interrompi" << int(Esito::Interrotta) << 1
            << QStringList{"Automatica", "InPausa", "scritto, cursore a 1", "!Interrotta"};
        QTest::newRow("chiusa nella seconda voce")
            << 3 << 0 << "chiudi" << int(Esito::Interrotta) << 1
            << QStringList{"Automatica", "scritto, cursore a 1"};
        QTest::newRow("ripresa prima che la corsa si fermi")
            << 3 << 0 << "interrompi e riprendi" << int(Esito::FineElenco) << 8
            << QStringList{"Automatica", "InPausa",    "Automatica",
                           "scritto",    "!Terminata", "Terminata"};
        // A click taken while an entry's scan yields stops the run at that entry.
        QTest::newRow("interrotta entro una voce")
            << 0 << 3 << "interrompi" << int(Esito::Interrotta) << 2
            << QStringList{"Automatica", "InPausa", "scritto, cursore a 1", "!Interrotta"};
    }
    void automatica()
    {
        QFETCH(int, lettura);
        QFETCH(int, cessione);
        QFETCH(QString, comando);
        QFETCH(int, esito);
        QFETCH(int, vociFatte);
        QFETCH(QStringList, eventi);
        const QString testo = QStringLiteral("If a Then b\r\nFor i = 1 To 3\r\n").repeated(50);
        const QVector<VoceSostituzione> voci = SostituzioniPredefinite();
        Banco b(voci, testo);
        auto premi = [&] {
            if (comando == u"chiudi") {
                QVERIFY(b.s.Chiudi());
            } else {
                QVERIFY(!b.s.InterrompiORiprendi());
                if (comando.endsWith(u"riprendi")) QVERIFY(!b.s.InterrompiORiprendi());
            }
        };
        int letture = 0;
        double ora = 1000.0;
        b.s.Orologio = [&] {
            if (++letture == lettura) premi();
            return ora += 1.25; // each word takes 1.25 s
        };
        b.s.NuovaCessione = [&] {
            return [&] {
                if (++b.cessioni == cessione) premi();
            };
        };
        QStringList tempi;
        QObject::connect(&b.s, &SessionePseudocodifica::StimaCambiata,
                         [&] { tempi << b.s.TestoTempo(); });
        QCOMPARE(int(b.s.Automatica(testo)), esito);
        QCOMPARE(b.eventi, eventi);
        QCOMPARE(b.scritture, 1);
        QCOMPARE(b.testo, Dopo(testo, voci, vociFatte));
        QCOMPARE(b.s.Chiusa(), comando == u"chiudi");
        QVERIFY(!b.s.InCorsa());
        if (esito == int(Esito::FineElenco)) {
            // Entries left times the last word's 1.25 s, rounded half to even.
            QCOMPARE(tempi.join(u','), QStringLiteral("9 secondi,8 secondi,6 secondi,5 secondi,4 "
                                                      "secondi,2 secondi,1 secondi,0 secondi,0 "
                                                      "secondi"));
            QCOMPARE(b.s.Commento(), Inattivo);
            return;
        }
        QCOMPARE(b.s.Percorso().VoceCorrente(), vociFatte + 1);
        if (comando == u"chiudi") return;
        // "&Riprendi" starts the run again from the interrupted entry.
        QVERIFY(b.s.InterrompiORiprendi());
        QCOMPARE(b.s.FaseAttuale(), Fase::InPausa);
        b.eventi.clear();
        QCOMPARE(b.s.Automatica(b.testo), Esito::FineElenco);
        QCOMPARE(b.testo, Dopo(testo, voci, 8));
        QCOMPARE(b.eventi, (QStringList{"Automatica", "scritto", "!Terminata", "Terminata"}));
    }

    // A run that replaces nothing writes nothing back.
    void automaticaSenzaSostituzioni()
    {
        Banco b(SostituzioniPredefinite(), QStringLiteral("nulla da fare\r\n"));
        QCOMPARE(b.s.Automatica(b.testo), Esito::FineElenco);
        QCOMPARE(b.scritture, 0);
        QCOMPARE(b.s.FaseAttuale(), Fase::Terminata);
    }

    // Where the walk stands in the current entry's occurrences after each
    // command: skipped and replaced ones count as passed, those in a comment
    // not at all.
    void progressoOccorrenze_data()
    {
        // u: Successivo, s: Sostituisci, S: Sostituisci again on the word it
        // just put there (nothing to replace), l: Salta
        QTest::addColumn<QString>("comandi");
        QTest::addColumn<QStringList>("progressi");
        QTest::newRow("next through the entry") << "uu" << QStringList{"1/3", "2/3", "3/3"};
        QTest::newRow("replaced ones stay counted")
            << "susu" << QStringList{"1/3", "1/3", "2/3", "2/3", "3/3"};
        QTest::newRow("the next entry starts again") << "l" << QStringList{"1/3", "1/1"};
        QTest::newRow("replace again: the count stays")
            << "sSSu" << QStringList{"1/3", "1/3", "1/3", "1/3", "2/3"};
        QTest::newRow("replace again after the next one")
            << "susSu" << QStringList{"1/3", "1/3", "2/3", "2/3", "2/3", "3/3"};
    }
    void progressoOccorrenze()
    {
        QFETCH(QString, comandi);
        QFETCH(QStringList, progressi);
        RegoleCodice regole;
        regole.proteggi = true;
        regole.tipo.linguaggio = Linguaggio::Basic;
        SessionePseudocodifica s({{"Dim", "Dichiara"}, {"Loop", "Ripeti"}}, regole, Inattivo);
        QString testo = QStringLiteral("Dim a ' Dim b\r\nDim c\r\nDim d Loop");
        const auto progresso = [&] {
            const SessionePseudocodifica::Occorrenze o = s.ProgressoOccorrenze(testo);
            return QStringLiteral("%1/%2").arg(o.numero).arg(o.totale);
        };
        QCOMPARE(s.Controlla(testo), Esito::Trovata);
        QStringList visti{progresso()};
        for (QChar c : comandi) {
            if (c == u's') {
                const auto m = s.Sostituisci();
                QVERIFY(m);
                testo.replace(m->inizio, m->lunghezza, m->testo);
            } else if (c == u'S') {
                QVERIFY(!s.Sostituisci());
            } else if (c == u'u') {
                QCOMPARE(s.Successivo(testo), Esito::Trovata);
            } else {
                QCOMPARE(s.Salta(testo), Esito::Trovata);
            }
            visti << progresso();
        }
        QCOMPARE(visti, progressi);
    }
};

QTEST_GUILESS_MAIN(TestSessionePseudocodifica)
#include "test_sessionepseudocodifica.moc"
