// The runs reading a text as code -- comments and strings left alone, the
// code delimiters -- on hand-made cases for each language and against the
// literal models on random texts and lists, with the rules in all four
// combinations.

#include "aiuti/CorsaAutomatica.h"
#include "aiuti/ModelliRiferimento.h"
#include "nucleo/pseudocodifica/MotoreElenco.h"
#include "nucleo/pseudocodifica/Pseudocodifica.h"
#include "nucleo/pseudocodifica/Pulizia.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

using Voci = QVector<VoceSostituzione>;

// "Trova>Sostituisci|..." as substitution records.
Voci Elenco(const QString &testo)
{
    Voci voci;
    for (const QString &voce : testo.split(QLatin1Char('|')))
        voci.append({voce.section(QLatin1Char('>'), 0, 0), voce.section(QLatin1Char('>'), 1)});
    return voci;
}

// The rules for a type the tables name by index: 0 BASIC, 1 BASIC with a
// header block, 2 C, 3 batch, 4 none.
RegoleCodice Regole(int tipo, bool proteggi, bool separatori)
{
    const TipoTesto tipi[] = {{Linguaggio::Basic, false},
                              {Linguaggio::Basic, true},
                              {Linguaggio::C, false},
                              {Linguaggio::Batch, false},
                              {}};
    RegoleCodice r;
    r.tipo = tipi[tipo];
    r.proteggi = proteggi;
    r.separatoriCodice = separatori;
    return r;
}

Modello::Codice Letterale(const RegoleCodice &r)
{
    return {r.Protegge(), r.separatoriCodice, r.tipo};
}

// Pieces of every language's comment and string openers, delimiters of both
// sets, BASIC suffixes and words the lists look for.
const QStringList Pezzi = {
    "a",  "If", "if",   "Rem", "rem", "echo", "else", "x",  " ",
    " ",  "\t", "\r\n", "\n",  "=",   "+",    "-",    "*",  "/",
    "\\", "^",  "&",    "|",   "~",   "{",    "}",    "[",  "]",
    "\"", "'",  "(",    ")",   ":",   "::",   "#",    "//", "/*",
    "*/", "_",  "$",    "@",   " _",  "è",    ";",    "1",  "Attribute VB_Name"};
const QStringList Parole = {"if",  "a", "x&",     "a=x", "rem", "echo", "else", "'", "\"",
                            "a x", "&", "}else{", "/",   "\t",  "x",    "IF",   "se"};
const QStringList Sostituti = {"Se", "rem", "Rem x", "'",  "\"",      "//", "",   "a",
                               "If", "::",  "/*",    "x&", "Fine Se", " a", "èx1"};

// Words and replacements that cannot open or close a comment or a string.
const QStringList ParoleNeutre = {"if", "a", "else", "x", "se", "a x"};
const QStringList SostitutiNeutri = {"Se", "a", "x", "Fine Se", "If", "èx1"};

QString Scegli(QRandomGenerator &gen, const QStringList &da)
{
    return da[gen.bounded(int(da.size()))];
}

QString Testo(QRandomGenerator &gen, int pezzi)
{
    QString s;
    for (int i = int(gen.bounded(pezzi + 1)); i > 0; --i)
        s += Scegli(gen, Pezzi);
    return s;
}

} // namespace

class TestRegoleCodice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void casiPerLinguaggio_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("tipo"); // see Regole()
        QTest::addColumn<bool>("proteggi");
        QTest::addColumn<bool>("separatori");
        QTest::addColumn<QString>("elenco");
        QTest::addColumn<QString>("atteso");
        auto riga = [](const char *nome, const char *testo, int tipo, bool proteggi,
                       bool separatori, const char *elenco, const char *atteso) {
            QTest::newRow(nome) << QString::fromUtf8(testo) << tipo << proteggi << separatori
                                << QString::fromUtf8(elenco) << QString::fromUtf8(atteso);
        };
        riga("basic: stringa e commento", "x = \"If a\" ' If b\r\nIf c", 0, true, false, "If>Se",
             "x = \"If a\" ' If b\r\nSe c");
        riga("basic: Rem", "Rem If x\r\nIf y", 0, true, false, "If>Se", "Rem If x\r\nSe y");
        riga("basic: senza protezione", "x = \" If \" ' If", 0, false, false, "If>Se",
             "x = \" Se \" ' Se");
        riga("basic: dopo un tab", "\tIf x Then", 0, false, true, "If>Se|Then>Allora",
             "\tSe x Allora");
        riga("basic: tab senza separatori", "\tIf x Then", 0, false, false, "If>Se|Then>Allora",
             "\tIf x Allora");
        riga("basic: suffisso &", "a&If b &If", 0, false, true, "If>Se", "a&If b &Se");
        riga("basic: Rem creato da una voce", "X If\r\nIf", 0, true, false, "X>Rem|If>Se",
             "Rem If\r\nSe");
        riga("basic: apice chiuso da una voce", "x If", 0, true, false, "x>'|If>Se", "' If");
        riga("basic: zone spostate dalle voci", "If a x 'a x", 0, true, false, "If>Fine Se|a x>Y",
             "Fine Se Y 'a x");
        riga("basic: blocco del modulo",
             "VERSION 5.00\r\nBegin If\r\nEnd\r\nAttribute VB_Name = \"F\"\r\nIf x", 1, true, false,
             "If>Se", "VERSION 5.00\r\nBegin If\r\nEnd\r\nAttribute VB_Name = \"F\"\r\nSe x");
        riga("c: }else{", "}else{", 2, false, true, "else>altrimenti", "}altrimenti{");
        riga("c: }else{ senza separatori", "}else{", 2, false, false, "else>altrimenti", "}else{");
        riga("c: commenti e stringhe", "if (a) // if b\r\n\tif(c) printf(\"if\");", 2, true, true,
             "if>se", "se (a) // if b\r\n\tse(c) printf(\"if\");");
        riga("c: blocco e escape", "/* if */ s = \"a\\\"if\" + if", 2, true, true, "if>se",
             "/* if */ s = \"a\\\"if\" + se");
        riga("c: direttiva rinominata", "# define X", 2, true, false, "define>Definisci Se|Se>if",
             "# Definisci Se X");
        riga("c: parola a cavallo della direttiva", "# define X", 2, true, false, "define X>Y|Y>Z",
             "# Z");
        riga("batch: echo fino a &", "echo if x & if y", 3, true, false, "if>se",
             "echo if x & se y");
        riga("batch: echo creato da una voce", "x If\r\nIf", 3, true, false, "x>echo|If>Se",
             "echo If\r\nSe");
        riga("batch: echo tolto da una voce", "echo If\r\nIf", 3, true, false, "echo>x|If>Se",
             "x Se\r\nSe");
        riga("batch: rem e ::", "rem if\r\n::if\r\nif a", 3, true, false, "if>se",
             "rem if\r\n::if\r\nse a");
        riga("nessuno: niente da proteggere", "x=\"If\"", 4, true, true, "If>Se", "x=\"Se\"");
        riga("nessuno: separatori classici", "x=\"If\"", 4, true, false, "If>Se", "x=\"If\"");
    }
    void casiPerLinguaggio()
    {
        QFETCH(QString, testo);
        QFETCH(int, tipo);
        QFETCH(bool, proteggi);
        QFETCH(bool, separatori);
        QFETCH(QString, elenco);
        QFETCH(QString, atteso);
        const RegoleCodice regole = Regole(tipo, proteggi, separatori);
        const Voci voci = Elenco(elenco);
        QCOMPARE(CorsaAutomatica(testo, voci, regole), atteso);
        QCOMPARE(MotoreElenco(voci).Applica(testo, regole), atteso);
        QCOMPARE(Modello::ElencoCodice(testo, voci, Letterale(regole)), atteso);
    }

    // Every engine against the literal models, for each language and the
    // four combinations of the rules.
    void motoriContoModello_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<bool>("proteggi");
        QTest::addColumn<bool>("separatori");
        const char *nomi[] = {"basic", "modulo", "c", "batch", "nessuno"};
        for (int t = 0; t < 5; ++t)
            for (int combinazione = 0; combinazione < 4; ++combinazione)
                QTest::addRow("%s %d%d", nomi[t], combinazione & 1, combinazione >> 1)
                    << t << bool(combinazione & 1) << bool(combinazione >> 1);
    }
    void motoriContoModello()
    {
        QFETCH(int, tipo);
        QFETCH(bool, proteggi);
        QFETCH(bool, separatori);
        const RegoleCodice regole = Regole(tipo, proteggi, separatori);
        const Modello::Codice modello = Letterale(regole);
        QRandomGenerator gen(quint32(100 + tipo * 4 + proteggi + 2 * separatori));
        for (int caso = 0; caso < 250; ++caso) {
            const QString testo = Testo(gen, 40);
            Voci voci;
            QVector<VoceEliminazione> eliminazioni;
            const bool neutre = gen.bounded(2) == 0;
            for (int i = int(gen.bounded(1, 6)); i > 0; --i) {
                voci.append(neutre ? VoceSostituzione{Scegli(gen, ParoleNeutre),
                                                      Scegli(gen, SostitutiNeutri)}
                                   : VoceSostituzione{Scegli(gen, Parole), Scegli(gen, Sostituti)});
                eliminazioni.append({Scegli(gen, Parole), gen.bounded(2) ? TestoSi : TestoNo});
            }
            const auto contesto = [&] {
                QString s = QStringLiteral("testo ") +
                            QString::fromLatin1(testo.toUtf8().toPercentEncoding()) +
                            QStringLiteral(" voci");
                for (const VoceSostituzione &v : voci)
                    s += QLatin1Char(' ') + v.Trova + QLatin1Char('>') + v.Sostituisci;
                return s;
            };

            // One pass, any comparison.
            const qint16 maiuscole = qint16(gen.bounded(2)), intere = qint16(gen.bounded(2));
            const ZoneProtette zone = regole.Zone(testo);
            const Ricerca::EsitoSostituzione passo = Ricerca::SostituisciOccorrenze(
                testo, voci[0].Trova, voci[0].Sostituisci,
                Ricerca::Confronto::PerSostituzione(maiuscole, intere), regole.Delimitazione(),
                &zone);
            const Modello::EsitoSostituzione attesoPasso = Modello::SostituisciCodice(
                testo, voci[0].Trova, voci[0].Sostituisci, maiuscole, intere, modello);
            QVERIFY2(passo.testo == attesoPasso.testo &&
                         passo.sostituzioni == attesoPasso.sostituzioni,
                     qPrintable(contesto()));

            // The automatic run, the batch engine and the cleaning run.
            int conta = 0;
            const QString atteso = Modello::ElencoCodice(testo, voci, modello, &conta);
            QVERIFY2(CorsaAutomatica(testo, voci, regole) == atteso, qPrintable(contesto()));
            // With something to report the run goes entry by entry.
            QString riferito = testo;
            Pseudocodifica::Osservatore oss;
            oss.inizioVoce = [](int) {};
            Pseudocodifica::Percorso(voci, regole).Automatica(riferito, oss);
            QVERIFY2(riferito == atteso, qPrintable(contesto()));
            qsizetype contaMotore = 0;
            QVERIFY2(MotoreElenco(voci).Applica(testo, regole, &contaMotore) == atteso &&
                         contaMotore == conta,
                     qPrintable(contesto()));
            int eliminate = 0;
            const QString pulito = Modello::PuliziaCodice(testo, eliminazioni, modello, &eliminate);
            const Pulizia::Esito pulizia = Pulizia::Applica(testo, eliminazioni, regole);
            QVERIFY2(pulizia.testo == pulito && pulizia.eliminate == eliminate,
                     qPrintable(contesto()));

            // The walk's find, and a walk that replaces every occurrence it
            // finds (each find reads the text as it is then).
            const qsizetype da = gen.bounded(int(testo.size()) + 1);
            const Ricerca::Parola parola(voci[0].Trova, Pseudocodifica::Regole(),
                                         regole.Delimitazione());
            QCOMPARE(Pseudocodifica::Trova(testo, parola, da, {}, 4096, nullptr, &zone),
                     Modello::TrovaCodice(testo, voci[0].Trova, da, modello));
            QString cammino = testo, attesoCammino = testo;
            for (const VoceSostituzione &voce : voci) {
                qsizetype i = Modello::TrovaCodice(attesoCammino, voce.Trova, 0, modello);
                for (int limite = 0; i >= 0 && limite < 200; ++limite) {
                    attesoCammino.replace(i, voce.Trova.size(), voce.Sostituisci);
                    i = Modello::TrovaCodice(attesoCammino, voce.Trova, i + voce.Sostituisci.size(),
                                             modello);
                }
            }
            Pseudocodifica::Percorso percorso(voci, regole);
            Pseudocodifica::Esito esito = percorso.Controlla(cammino);
            for (int limite = 0; esito == Pseudocodifica::Esito::Trovata && limite < 1000;
                 ++limite) {
                const auto modifica = percorso.Sostituisci();
                QVERIFY(modifica);
                cammino.replace(modifica->inizio, modifica->lunghezza, modifica->testo);
                esito = percorso.Successivo(cammino);
            }
            QVERIFY2(cammino == attesoCammino, qPrintable(contesto()));
        }
    }
};

QTEST_GUILESS_MAIN(TestRegoleCodice)
#include "test_regolecodice.moc"
