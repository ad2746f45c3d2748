// The pseudocoding run without a window: the check, the walk's commands and
// the automatic run, against the literal model where there is one.

#include "aiuti/CorsaAutomatica.h"
#include "aiuti/ModelliRiferimento.h"
#include "nucleo/pseudocodifica/Pseudocodifica.h"
#include "nucleo/pseudocodifica/Pulizia.h"

#include <QRandomGenerator>
#include <QTest>

using Pseudocodifica::Esito;
using Pseudocodifica::Percorso;

namespace {

// "If>Se|Then>Allora": one entry per "|"; an empty list text is the factory list.
QVector<VoceSostituzione> Voci(const QString &elenco)
{
    if (elenco.isEmpty()) return SostituzioniPredefinite();
    QVector<VoceSostituzione> voci;
    for (const QString &voce : elenco.split(QLatin1Char('|'))) {
        const qsizetype i = voce.indexOf(QLatin1Char('>'));
        voci.append({voce.left(i), voce.mid(i + 1)});
    }
    return voci;
}

// The automatic run as the literal model does it: each entry in turn over the whole text.
QString Atteso(QString testo, const QVector<VoceSostituzione> &voci, int finoA = INT_MAX)
{
    int k = 0;
    for (const VoceSostituzione &voce : voci) {
        if (voce.Trova.isEmpty()) continue;
        if (++k > finoA) break;
        testo = Modello::Sostituisci(testo, voce.Trova, voce.Sostituisci, 0, 1).testo;
    }
    return testo;
}

QString Casuale(QRandomGenerator &gen, int massimo, const QString &alfabeto)
{
    QString s;
    for (int i = int(gen.bounded(massimo + 1)); i > 0; --i)
        s.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
    return s;
}

} // namespace

class TestPseudocodifica : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A script of commands: c check, s replace, n next, l skip, t replace all.
    // After each one the trace shows the outcome (T found, C loaded, F end of
    // the list; for s: S replaced, - nothing selected), the current entry and
    // the selection, as "T2@5+4".
    void cammino_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("elenco");
        QTest::addColumn<QString>("comandi");
        QTest::addColumn<QString>("traccia");
        QTest::addColumn<QString>("finale");
        auto riga = [](const char *nome, const char *testo, const char *elenco, const char *comandi,
                       const char *traccia, const char *finale) {
            QTest::newRow(nome) << QString::fromUtf8(testo) << QString::fromUtf8(elenco)
                                << QString::fromUtf8(comandi) << QString::fromUtf8(traccia)
                                << QString::fromUtf8(finale);
        };
        riga("controllo, sostituisci, successivo", "If a Then\r\n", "", "csn",
             "T1@0+2 S1@0+2 T2@5+4", "Se a Then\r\n");
        riga("ogni voce dall'inizio del testo", "Then If", "", "csns",
             "T1@5+2 S1@5+2 T2@0+4 S2@0+6", "Allora Se");
        riga("la fine del testo delimita", "End If", "", "c", "T1@4+2", "End If");
        riga("nessuna voce compare", "\tIf x=1 Thenx\r\n", "", "c", "F9@0+0", "\tIf x=1 Thenx\r\n");
        riga("maiuscole e parentesi", "IF(x)", "", "cs", "T1@0+2 S1@0+2", "Se(x)");
        riga("salta l'ultima voce che compare", "If a\r\n", "", "cl", "T1@0+2 F9@0+0", "If a\r\n");
        riga("sostituisci tutto, poi niente di selezionato", "If a Then If\r\n", "", "ctsn",
             "T1@0+2 C2@0+0 -2@0+0 T2@5+4", "Se a Then Se\r\n");
        riga("successivo dopo il testo inserito", "a a\r\n", "a>a a", "csns",
             "T1@0+1 S1@0+3 T1@4+1 S1@4+3", "a a a a\r\n");
        riga("sostituto vuoto", "x If y If\r\n", "If>", "csn", "T1@2+2 S1@2+0 T1@5+2",
             "x  y If\r\n");
        riga("parole vuote passate", "If\r\n", ">x|If>Se|>y", "cl", "T1@0+2 F2@0+0", "If\r\n");
        riga("successivo fino alla fine", "To To\r\n", "To>a|Do>Ripeti", "cnnn",
             "T1@0+2 T1@3+2 F3@0+0 F3@0+0", "To To\r\n");
    }
    void cammino()
    {
        QFETCH(QString, testo);
        QFETCH(QString, elenco);
        QFETCH(QString, comandi);
        QFETCH(QString, traccia);
        QFETCH(QString, finale);
        Percorso percorso(Voci(elenco));
        QStringList passi;
        for (QChar comando : comandi) {
            std::optional<Esito> esito;
            switch (comando.unicode()) {
            case 'c':
                esito = percorso.Controlla(testo);
                break;
            case 'n':
                esito = percorso.Successivo(testo);
                break;
            case 'l':
                esito = percorso.Salta(testo);
                break;
            case 't':
                esito = percorso.SostituisciTutto(testo);
                break;
            case 's':
                if (const auto modifica = percorso.Sostituisci())
                    testo.replace(modifica->inizio, modifica->lunghezza, modifica->testo);
                else
                    comando = u'-';
            }
            // The outcome's letter in the order of Esito; "s" stands for itself.
            passi.append(QStringLiteral("%1%2@%3+%4")
                             .arg(esito ? QChar(u"TCFI"[int(*esito)]) : comando.toUpper())
                             .arg(percorso.VoceCorrente())
                             .arg(percorso.InizioSelezione())
                             .arg(percorso.LunghezzaSelezione()));
        }
        QCOMPARE(passi.join(QLatin1Char(' ')), traccia);
        QCOMPARE(testo, finale);
    }

    // Walking to the end, replacing every occurrence found, gives the
    // automatic run's draft: with both code options on the walk keeps the
    // names it found at the start (a translated "set" or "goto" leaves the
    // name after it alone), and an entry written with its operator matches a
    // member. Options off: as the plain run.
    void camminoComeAutomatica_data()
    {
        QTest::addColumn<int>("linguaggio");
        QTest::addColumn<bool>("codice");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("elenco"); // "word\treplacement|..."
        QTest::addColumn<QString>("atteso");
        auto riga = [](const char *nome, Linguaggio linguaggio, bool codice, const char *testo,
                       const char *elenco, const char *atteso) {
            QTest::newRow(nome) << int(linguaggio) << codice << QString::fromUtf8(testo)
                                << QString::fromUtf8(elenco) << QString::fromUtf8(atteso);
        };
        const char *batch = "set x=1\r\ngoto :fine\r\ngoto fine\r\n:fine\r\necho %x%\r\n";
        riga("batch: set e goto tradotti", Linguaggio::Batch, true, batch,
             "set\timposta|goto\tvai a|x\tics|fine\ttermina|echo\tmostra",
             "imposta x=1\r\nvai a :fine\r\nvai a fine\r\n:fine\r\nmostra %x%\r\n");
        riga("batch: opzioni spente", Linguaggio::Batch, false, batch,
             "set\timposta|goto\tvai a|x\tics|fine\ttermina",
             "imposta x=1\r\nvai a :termina\r\nvai a termina\r\n:termina\r\necho %x%\r\n");
        const char *membri = "With rs\r\n.Open\r\nrs.Close\r\nClose #1\r\nEnd With\r\n";
        riga("basic: membri e voce con il punto", Linguaggio::Basic, true, membri,
             ".Close\t.Chiudi|Close\tChiudi|Open\tApri|With\tCon",
             "Con rs\r\n.Open\r\nrs.Chiudi\r\nChiudi #1\r\nEnd Con\r\n");
        riga("basic: voce con il punto, opzioni spente", Linguaggio::Basic, false, membri,
             ".Close\t.Chiudi|Open\tApri",
             "With rs\r\n.Apri\r\nrs.Close\r\nClose #1\r\nEnd With\r\n");
        riga("c: voce con la freccia", Linguaggio::C, true, "p->next = q->next;\n",
             "->next\t->successivo|next\tprossimo", "p->successivo = q->successivo;\n");
        riga("c: la fine vuole un delimitatore", Linguaggio::C, true, "p->nextx = 0;\n",
             "->next\t->successivo", "p->nextx = 0;\n");
    }
    void camminoComeAutomatica()
    {
        QFETCH(int, linguaggio);
        QFETCH(bool, codice);
        QFETCH(QString, testo);
        QFETCH(QString, elenco);
        RegoleCodice regole;
        regole.proteggi = regole.separatoriCodice = codice;
        regole.tipo.linguaggio = Linguaggio(linguaggio);
        QVector<VoceSostituzione> voci;
        for (const QString &voce : elenco.split(QLatin1Char('|')))
            voci.append(
                {voce.section(QLatin1Char('\t'), 0, 0), voce.section(QLatin1Char('\t'), 1)});
        QTEST(CorsaAutomatica(testo, voci, regole), "atteso");
        Percorso percorso(voci, regole);
        for (Esito esito = percorso.Controlla(testo); esito == Esito::Trovata;
             esito = percorso.Successivo(testo)) {
            const auto modifica = percorso.Sostituisci();
            QVERIFY(modifica);
            testo.replace(modifica->inizio, modifica->lunghezza, modifica->testo);
        }
        QTEST(testo, "atteso");
    }

    void automaticaContoModello()
    {
        // Words that hold delimiters, replacements that hold list words, and
        // empty words, on texts where every entry has something to do.
        QRandomGenerator gen(11);
        const QString alfabeto = QStringLiteral("aAbB .(\r\n\t=");
        for (int caso = 0; caso < 800; ++caso) {
            const QString testo = Casuale(gen, 40, alfabeto);
            QVector<VoceSostituzione> voci;
            for (int i = int(gen.bounded(1, 6)); i > 0; --i)
                voci.append({Casuale(gen, 3, alfabeto), Casuale(gen, 4, alfabeto)});
            const QString atteso = Atteso(testo, voci);
            QCOMPARE(CorsaAutomatica(testo, voci), atteso);
        }
    }

    // The run stopped from its progress hook at the n-th report (during an
    // entry's scan) or from its end-of-entry hook after entry k.
    void interruzione_data()
    {
        QTest::addColumn<int>("fermaAvanzamento");
        QTest::addColumn<int>("fermaDopoVoce");
        QTest::addColumn<int>("voceFinale");
        QTest::addColumn<int>("vociFatte");
        QTest::addColumn<int>("vociIniziate");
        // One report per entry (the text is shorter than a step), 8 entries.
        QTest::newRow("durante la prima voce") << 1 << 0 << 1 << 0 << 1;
        QTest::newRow("durante la terza voce") << 3 << 0 << 3 << 2 << 3;
        QTest::newRow("dopo la seconda voce") << 0 << 2 << 3 << 2 << 2;
        QTest::newRow("dopo l'ultima voce: finita") << 0 << 8 << 9 << 8 << 8;
    }
    void interruzione()
    {
        QFETCH(int, fermaAvanzamento);
        QFETCH(int, fermaDopoVoce);
        QFETCH(int, voceFinale);
        QFETCH(int, vociFatte);
        QFETCH(int, vociIniziate);
        const QString originale = QStringLiteral("If Not a Then\r\nFor i = 1 To 2\r\n");
        QString testo = originale;
        Percorso percorso(SostituzioniPredefinite());
        int avvisi = 0;
        QList<int> iniziate;
        Pseudocodifica::Osservatore oss;
        oss.avanzamento = [&](qsizetype, qsizetype) { return ++avvisi != fermaAvanzamento; };
        oss.inizioVoce = [&](int k) { iniziate.append(k); };
        oss.fineVoce = [&](int k, qsizetype) { return k != fermaDopoVoce; };
        const Esito esito = percorso.Automatica(testo, oss);
        QCOMPARE(esito, voceFinale > 8 ? Esito::FineElenco : Esito::Interrotta);
        QCOMPARE(percorso.VoceCorrente(), voceFinale);
        QCOMPARE(testo, Atteso(originale, SostituzioniPredefinite(), vociFatte));
        // Every entry is reported as it starts, in order; nothing after the stop.
        QCOMPARE(iniziate.size(), vociIniziate);
        for (int i = 0; i < iniziate.size(); ++i)
            QCOMPARE(iniziate[i], i + 1);
        // Resuming goes on from the current entry to the end of the list.
        oss = {};
        QCOMPARE(percorso.Automatica(testo), Esito::FineElenco);
        QCOMPARE(testo, Atteso(originale, SostituzioniPredefinite()));
    }

    // A text of many pieces and a list longer than one stretch of entries run
    // as one pass: a stop within a pass (the report of a piece after the
    // first), at an entry's start or after an entry keeps exactly the entries
    // before the one stopped in, or up to the one stopped after.
    void automaticaATratti_data()
    {
        QTest::addColumn<int>("fermaNelPassoDi"); // the entry whose pass is stopped
        QTest::addColumn<int>("fermaAllInizioDi");
        QTest::addColumn<int>("fermaDopo");
        QTest::addColumn<int>("voceFinale");
        QTest::newRow("fino in fondo") << 0 << 0 << 0 << 301;
        QTest::newRow("nel primo passaggio") << 1 << 0 << 0 << 1;
        QTest::newRow("nel secondo passaggio") << 257 << 0 << 0 << 257;
        QTest::newRow("all'inizio della voce 5") << 0 << 5 << 0 << 5;
        QTest::newRow("all'inizio della voce 260") << 0 << 260 << 0 << 260;
        QTest::newRow("dopo la voce 3") << 0 << 0 << 3 << 4;
        QTest::newRow("dopo la voce 259") << 0 << 0 << 259 << 260;
    }
    void automaticaATratti()
    {
        QFETCH(int, fermaNelPassoDi);
        QFETCH(int, fermaAllInizioDi);
        QFETCH(int, fermaDopo);
        QFETCH(int, voceFinale);
        // Entries of the second stretch change what the first one wrote.
        QVector<VoceSostituzione> voci = SostituzioniPredefinite();
        while (voci.size() < 300) {
            if (voci.size() == 258) voci.append({QStringLiteral("Se"), QStringLiteral("SE")});
            if (voci.size() == 259) voci.append({QStringLiteral("b"), QStringLiteral("If c")});
            voci.append({QStringLiteral("w%1").arg(voci.size()), QStringLiteral("x")});
        }
        const QString originale =
            QStringLiteral("If Not a Then\r\nFor i = 1 To 2 b\r\n").repeated(100);
        QString testo = originale;
        Percorso percorso(voci);
        int voce = 0;
        Pseudocodifica::Osservatore oss;
        oss.passo = 4;
        oss.inizioVoce = [&](int k) { voce = k; };
        oss.avanzamento = [&](qsizetype posizione, qsizetype) {
            return posizione == 1 ? voce != fermaAllInizioDi : voce != fermaNelPassoDi;
        };
        oss.fineVoce = [&](int k, qsizetype) { return k != fermaDopo; };
        QCOMPARE(percorso.Automatica(testo, oss),
                 voceFinale > 300 ? Esito::FineElenco : Esito::Interrotta);
        QCOMPARE(percorso.VoceCorrente(), voceFinale);
        QCOMPARE(testo, Atteso(originale, voci, voceFinale - 1));
        QCOMPARE(percorso.Automatica(testo), Esito::FineElenco);
        QCOMPARE(testo, Atteso(originale, voci));
    }

    void controlloRiferisceOgniVoce()
    {
        // The check reports each entry it looks for and lets a long search
        // report its progress; a stop in the middle leaves that entry current.
        QVector<VoceSostituzione> voci;
        for (int i = 0; i < 5; ++i)
            voci.append({QStringLiteral("w%1").arg(i), QStringLiteral("x")});
        voci.append({QStringLiteral("If"), QStringLiteral("Se")});
        const QString testo = QStringLiteral("a b c\r\n").repeated(1000) + QStringLiteral("If");
        Percorso percorso(voci);
        QList<int> iniziate, finite;
        int avvisi = 0;
        Pseudocodifica::Osservatore oss;
        oss.passo = 100;
        oss.avanzamento = [&](qsizetype posizione, qsizetype lunghezza) {
            if (posizione > lunghezza) return false;
            return ++avvisi != 1000;
        };
        oss.inizioVoce = [&](int k) { iniziate.append(k); };
        oss.fineVoce = [&](int k, qsizetype) {
            finite.append(k);
            return true;
        };
        QCOMPARE(percorso.Controlla(testo, oss), Esito::Trovata);
        QCOMPARE(iniziate, (QList<int>{1, 2, 3, 4, 5, 6}));
        QCOMPARE(finite, (QList<int>{1, 2, 3, 4, 5}));
        QCOMPARE(percorso.InizioSelezione(), testo.size() - 2);
        QVERIFY(avvisi >= 6 * (testo.size() / 100) - 6);

        Percorso fermato(voci);
        avvisi = 0;
        oss.passo = 1000;
        oss.avanzamento = [&](qsizetype, qsizetype) { return ++avvisi != 20; };
        QCOMPARE(fermato.Controlla(testo, oss), Esito::Interrotta);
        QCOMPARE(fermato.VoceCorrente(), 3);
    }

    // The cleaning run deletes whole words for "Sì" and anywhere for "No",
    // a word that ends the text too.
    void pulizia_data()
    {
        // predefinito: the factory list, else "Unload" (Sì) and "#" (No)
        QTest::addColumn<bool>("predefinito");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("atteso");
        QTest::addColumn<qsizetype>("eliminate");
        QTest::newRow("parola intera alla fine")
            << false << QStringLiteral("x Unload") << QStringLiteral("x ") << qsizetype(1);
        QTest::newRow("ovunque alla fine")
            << false << QStringLiteral("a b#") << QStringLiteral("a b") << qsizetype(1);
        // ".Show" after "Form2" is no whole word.
        QTest::newRow("elenco predefinito")
            << true
            << QStringLiteral(
                   "Unload Me\r\nForm2.Show\r\nMsgBox x, vbInformation\r\nUnloaded #1\r\n")
            << QStringLiteral(" Me\r\nForm2.Show\r\nMsgBox x, \r\nUnloaded 1\r\n") << qsizetype(3);
    }
    void pulizia()
    {
        QFETCH(bool, predefinito);
        QFETCH(QString, testo);
        const QVector<VoceEliminazione> elenco =
            predefinito ? EliminazioniPredefinite()
                        : QVector<VoceEliminazione>{{QStringLiteral("Unload"), TestoSi, 1},
                                                    {QStringLiteral("#"), TestoNo, 0}};
        const Pulizia::Esito esito = Pulizia::Applica(testo, elenco);
        QTEST(esito.testo, "atteso");
        QTEST(esito.eliminate, "eliminate");
    }
};

QTEST_GUILESS_MAIN(TestPseudocodifica)
#include "test_pseudocodifica.moc"
