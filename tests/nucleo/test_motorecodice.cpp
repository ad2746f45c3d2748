// The one-pass engine of the code rules: how it groups a list, where it
// steps aside for a text, and its results against the literal model with the
// ready lists on random code of each language.

#include "aiuti/ModelliRiferimento.h"
#include "aiuti/Tabella.h"
#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/pseudocodifica/MotoreCodice.h"

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

RegoleCodice Regole(Linguaggio linguaggio, bool proteggi, bool separatori)
{
    RegoleCodice r;
    r.tipo = {linguaggio, false};
    r.proteggi = proteggi;
    r.separatoriCodice = separatori;
    return r;
}

Modello::Codice Letterale(const RegoleCodice &r)
{
    return {r.Protegge(), r.separatoriCodice, r.tipo};
}

// Pieces of each language's code: its comments, strings and directives, the
// delimiters of both sets, suffixes, and words its ready list looks for.
QStringList Pezzi(Linguaggio linguaggio)
{
    QStringList comuni = {" ", " ", " ", "\r\n", "\t", "(",  ")", ".", ":", "=", "&", "$", "-",
                          "@", "#", "x", "a",    "_",  "\"", "'", "/", "%", "!", "1", "è"};
    switch (linguaggio) {
    case Linguaggio::Basic:
        return comuni + QStringList{"If",          "End",        "End If",      "Then", "Rem ",
                                    "' c\r\n",     "\"s\"",      "Left$",       "Mid",  "Sub ",
                                    "Dim",         "As",         "Debug.Print", "#If",  "On Error",
                                    "Resume Next", "Exit",       "For",         "Next", " _",
                                    "Private Sub", "Is Nothing", "String$",     ":",    "Me"};
    case Linguaggio::C:
    case Linguaggio::Cpp:
        return comuni + QStringList{"if",     "else",    "else if",   "#if",
                                    "# if",   "#define", "int",       "unsigned long",
                                    "long",   "// c\n",  "/* c */",   "\"s\"",
                                    "printf", "free",    "std::cout", "->",
                                    "goto",   "\\\n",    "#  define", "defined",
                                    "size_t", "*",       "{",         "}"};
    default:
        return comuni +
               QStringList{"if",   "if /i",   "not",          "echo",         "echo.", "@echo off",
                           "set ", "set /a ", "%errorlevel%", "!errorlevel!", "goto",  ":eof",
                           "rem ", "for /f",  "do",           "call",         "exist", "^",
                           "|",    "\"a b\"", "%1",           "%%a",          "nul",   "::"};
    }
}

QString Testo(QRandomGenerator &gen, const QStringList &pezzi, int quanti)
{
    QString s;
    for (int i = int(gen.bounded(quanti + 1)); i > 0; --i)
        s += pezzi[gen.bounded(int(pezzi.size()))];
    return s;
}

} // namespace

class TestMotoreCodice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A group ends where taking the lowest entry at each place could differ
    // from the entries one after the other, and after a replacement that may
    // move a comment's edge.
    void gruppi_data()
    {
        Colonne<QString, int, bool, bool, int>("elenco", "linguaggio", "proteggi", "separatori",
                                               "gruppi");
        const int basic = int(Linguaggio::Basic), c = int(Linguaggio::C);
        Riga("parole senza delimitatori", "If>Se|Then>Allora|Se>x", basic, true, true, 1);
        Riga("la più lunga prima", "End If>Fine Se|If>Se|End>Fine", basic, true, true, 1);
        Riga("una parola dentro una più lunga che segue", "If>Se|End If>Fine Se", basic, true, true,
             2);
        Riga("un sostituto che comincia una parola che segue", "a>End|End If>Fine Se", basic, true,
             true, 2);
        Riga("un sostituto che finisce una parola che segue", "a>If|End If>Fine Se", basic, true,
             true, 2);
        Riga("un sostituto vuoto", "a>|b c>d", basic, true, true, 2);
        Riga("un commento aperto chiude il gruppo", "Rem>Nota|If>Se|x>'", basic, true, true, 2);
        Riga("senza protezione nessun commento conta", "Rem>Nota|If>Se|x>'", basic, false, true, 1);
        Riga("punteggiatura neutra in BASIC", "Left$>Sinistra|#If>#Se|Debug.Print>Mostra", basic,
             true, true, 1);
        Riga("un nome che diventa altro", "#If>Se|x>y", basic, true, true, 2);
        Riga("C: parole di più nomi", "if>se|goto>vai a|std::cout>uscita", c, true, true, 1);
        Riga("C: una direttiva", "#if>#se|x>y", c, true, true, 2);
    }
    void gruppi()
    {
        const auto [elenco, linguaggio, proteggi, separatori, gruppi] =
            DatiRiga<QString, int, bool, bool, int>("elenco", "linguaggio", "proteggi",
                                                    "separatori", "gruppi");
        const RegoleCodice regole = Regole(Linguaggio(linguaggio), proteggi, separatori);
        QCOMPARE(MotoreCodice(Elenco(elenco), regole).NumeroGruppi(), gruppi);
    }

    // Texts where a replacement, read apart, would not be what the later
    // entries see in place: that group goes entry by entry, with the same
    // result as the model.
    void voceAVoce_data()
    {
        Colonne<QString, QString, int, bool, int, int>("testo", "elenco", "linguaggio",
                                                       "separatori", "letture", "voceAVoce");
        const int basic = int(Linguaggio::Basic), c = int(Linguaggio::C),
                  batch = int(Linguaggio::Batch);
        Riga("nulla da temere", "If x Then End If", "End If>Fine Se|If>Se|x>y", basic, true, 1, 0);
        Riga("un suffisso che resta tale", "a Input$ b", "Input>Ingresso|Ingresso>x", basic, true,
             1, 0);
        Riga("un suffisso dopo un altro", "a Input$ b", "Input>x$|x>y", basic, true, 1, 1);
        Riga("un suffisso dopo un sostituto senza nome", "Input$(1)", "Input>+|x>y", basic, true, 2,
             1);
        Riga("due sostituzioni a contatto", "a.b.c", ".b>.X|.c>.Y", basic, true, 1, 1);
        // The group is read up to the entry, then the rest after a fresh reading.
        Riga("C: il nome di una direttiva", "#  goto x\ngoto y", "goto>vai a|x>z", c, true, 3, 0);
        Riga("C: fuori dalla testa della direttiva", "#define X goto y", "goto>vai a|y>z", c, true,
             1, 0);
        Riga("batch: un trattino che unisce", "x%-y", "x%>+a|y>z", batch, true, 2, 1);
        Riga("batch: un trattino che resta", "x%-y", "x%>+%|y>z", batch, true, 2, 0);
    }
    void voceAVoce()
    {
        const auto [testo, elenco, linguaggio, separatori, letture, voceAVoce] =
            DatiRiga<QString, QString, int, bool, int, int>("testo", "elenco", "linguaggio",
                                                            "separatori", "letture", "voceAVoce");
        const RegoleCodice regole = Regole(Linguaggio(linguaggio), true, separatori);
        const Voci voci = Elenco(elenco);
        MotoreCodice::Resoconto resoconto;
        int conta = 0;
        qsizetype contaMotore = 0;
        const QString atteso = Modello::ElencoCodice(testo, voci, Letterale(regole), &conta);
        QCOMPARE(MotoreCodice(voci, regole).Applica(testo, &contaMotore, &resoconto), atteso);
        QCOMPARE(contaMotore, qsizetype(conta));
        QCOMPARE(resoconto.gruppi, letture);
        QCOMPARE(resoconto.voceAVoce, voceAVoce);
    }

    // The ready lists on random code of their language, the four
    // combinations of the rules, against the literal model.
    void listePronteContoModello_data()
    {
        Colonne<int, bool, bool>("linguaggio", "proteggi", "separatori");
        const std::pair<const char *, Linguaggio> linguaggi[] = {{"basic", Linguaggio::Basic},
                                                                 {"c", Linguaggio::C},
                                                                 {"c++", Linguaggio::Cpp},
                                                                 {"batch", Linguaggio::Batch}};
        for (const auto &[nome, linguaggio] : linguaggi)
            for (int combinazione = 0; combinazione < 4; ++combinazione)
                QTest::addRow("%s %d%d", nome, combinazione & 1, combinazione >> 1)
                    << int(linguaggio) << bool(combinazione & 1) << bool(combinazione >> 1);
    }
    void listePronteContoModello()
    {
        const auto [linguaggio, proteggi, separatori] =
            DatiRiga<int, bool, bool>("linguaggio", "proteggi", "separatori");
        const RegoleCodice regole = Regole(Linguaggio(linguaggio), proteggi, separatori);
        const Voci voci = ListaDelLinguaggio(Linguaggio(linguaggio));
        const MotoreCodice motore(voci, regole);
        const QStringList pezzi = Pezzi(Linguaggio(linguaggio));
        QRandomGenerator gen(quint32(700 + linguaggio * 4 + proteggi + 2 * separatori));
        for (int caso = 0; caso < 40; ++caso) {
            const QString testo = Testo(gen, pezzi, 60);
            int conta = 0;
            qsizetype contaMotore = 0;
            const QString atteso = Modello::ElencoCodice(testo, voci, Letterale(regole), &conta);
            QVERIFY2(motore.Applica(testo, &contaMotore) == atteso && contaMotore == conta,
                     qPrintable(QString::fromLatin1(testo.toUtf8().toPercentEncoding())));
        }
    }

    // Real code of each language never makes the ready list go entry by entry.
    void codiceVeroInUnaLettura_data()
    {
        Colonne<int, QString>("linguaggio", "testo");
        Riga("basic", int(Linguaggio::Basic),
             "Attribute VB_Name = \"Modulo\"\r\nOption Explicit\r\n' Legge il file\r\n"
             "Private Sub Carica(ByVal Nome As String)\r\n    Dim s As String, i As Long\r\n"
             "    On Error GoTo Errore\r\n    s = Left$(Nome, 3) & Mid$(Nome, 4)\r\n"
             "    If Len(s) > 0 Then Debug.Print s Else Exit Sub\r\n"
             "    For i = 1 To 10: Next i\r\n    Rem fine\r\nErrore:\r\nEnd Sub\r\n");
        Riga("c", int(Linguaggio::C),
             "#include <stdio.h>\n#define MAX 10 /* massimo */\n#if defined(X)\n"
             "static int conta(const char *s) {\n    unsigned long n = 0;\n"
             "    if (s == NULL) return -1; else if (*s) n++;\n"
             "    printf(\"%lu\\n\", n); // stampa\n    free(p->next);\n    return (int)n;\n}\n"
             "#endif\n");
        Riga("batch", int(Linguaggio::Batch),
             "@echo off\r\nsetlocal enabledelayedexpansion\r\nrem prova\r\n"
             "if /i \"%~1\"==\"\" goto :eof\r\nset /a n=%n%+1\r\n"
             "for /f \"tokens=*\" %%a in ('dir /b') do echo %%a\r\n"
             "if not exist \"%temp%\\x\" mkdir \"%temp%\\x\"\r\necho.\r\n"
             "if %errorlevel% neq 0 exit /b 1\r\n");
    }
    void codiceVeroInUnaLettura()
    {
        const auto [linguaggio, testo] = DatiRiga<int, QString>("linguaggio", "testo");
        const RegoleCodice regole = Regole(Linguaggio(linguaggio), true, true);
        const Voci voci = ListaDelLinguaggio(Linguaggio(linguaggio));
        MotoreCodice::Resoconto resoconto;
        const QString risultato = MotoreCodice(voci, regole).Applica(testo, nullptr, &resoconto);
        QCOMPARE(risultato, Modello::ElencoCodice(testo, voci, Letterale(regole)));
        QVERIFY(risultato != testo);
        QCOMPARE(resoconto.voceAVoce, 0);
    }
};

QTEST_GUILESS_MAIN(TestMotoreCodice)
#include "test_motorecodice.moc"
