// Reading source text as code: the language of a file, the comment and string
// scanner, the code delimiters and the words a list leaves untranslated.

#include "nucleo/codice/Delimitatori.h"
#include "nucleo/codice/Linguaggio.h"
#include "nucleo/codice/ScansioneCodice.h"
#include "nucleo/pseudocodifica/ParoleNonTradotte.h"
#include "nucleo/ricerca/Ricerca.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

TipoTesto Tipo(const QString &nome)
{
    if (nome == QLatin1String("basic")) return {Linguaggio::Basic, false};
    if (nome == QLatin1String("form")) return {Linguaggio::Basic, true};
    if (nome == QLatin1String("c")) return {Linguaggio::C, false};
    if (nome == QLatin1String("c++")) return {Linguaggio::Cpp, false};
    if (nome == QLatin1String("batch")) return {Linguaggio::Batch, false};
    return {};
}

// "#" for a protected index; line ends as they are; "." for the rest.
QString Maschera(const QString &testo, const QVector<bool> &protetto)
{
    QString m(testo.size(), u'.');
    for (qsizetype i = 0; i < testo.size(); ++i)
        if (protetto[i])
            m[i] = u'#';
        else if (testo[i] == u'\r' || testo[i] == u'\n')
            m[i] = testo[i];
    return m;
}

QVector<bool> DaZone(qsizetype n, const ZoneProtette &zone)
{
    QVector<bool> p(n, false);
    for (const Zona &z : zone.Elenco())
        for (qsizetype i = z.inizio; i < z.fine; ++i)
            p[i] = true;
    return p;
}

// --- The literal model: one character at a time, a state per character ---------

const auto FineRiga = [](QChar c) { return c == u'\r' || c == u'\n'; };
const auto Vuoto = [](QChar c) { return c == u' ' || c == u'\t'; };
const auto Nome = [](const QString &t, qsizetype i) {
    return i < t.size() && (t[i].isLetterOrNumber() || t[i] == u'_');
};
// `parola` at index i, case aside, not followed by a name character.
const auto ParolaA = [](const QString &t, qsizetype i, const QString &parola) {
    return t.mid(i, parola.size()).compare(parola, Qt::CaseInsensitive) == 0 &&
           i + parola.size() <= t.size() && !Nome(t, i + parola.size());
};

QVector<bool> ModelloBasic(const QString &t, bool intestazione)
{
    const qsizetype n = t.size();
    QVector<bool> p(n, false);
    qsizetype i = 0;
    if (intestazione) {
        // Every line start, first to last; the first that opens with the attribute.
        for (qsizetype riga = 0; riga < n;) {
            qsizetype j = riga;
            while (j < n && Vuoto(t[j]))
                ++j;
            bool trovata = false;
            if (ParolaA(t, j, QStringLiteral("Attribute"))) {
                qsizetype k = j + 9;
                while (k < n && Vuoto(t[k]))
                    ++k;
                trovata = k > j + 9 && ParolaA(t, k, QStringLiteral("VB_Name"));
            }
            if (trovata) {
                for (qsizetype k = 0; k < riga; ++k)
                    p[k] = true;
                i = riga;
                break;
            }
            while (riga < n && !FineRiga(t[riga]))
                ++riga;
            if (riga < n && t[riga] == u'\r' && riga + 1 < n && t[riga + 1] == u'\n') ++riga;
            ++riga;
        }
    }
    enum { Codice, Stringa, Commento } stato = Codice;
    bool istruzione = true;
    qsizetype inizioTratto = 0; // where the current comment line started
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (stato == Commento) {
            if (!FineRiga(c)) {
                p[i] = true;
                continue;
            }
            qsizetype k = i - 1;
            while (k >= inizioTratto && Vuoto(t[k]))
                --k;
            if (k > inizioTratto && t[k] == u'_' && Vuoto(t[k - 1])) {
                p[i] = true;
                if (c == u'\r' && i + 1 < n && t[i + 1] == u'\n') p[++i] = true;
                inizioTratto = i + 1;
                continue;
            }
            stato = Codice;
        }
        if (stato == Stringa) {
            if (FineRiga(c)) {
                stato = Codice;
            } else {
                p[i] = true;
                if (c == u'"') {
                    if (i + 1 < n && t[i + 1] == u'"')
                        p[++i] = true;
                    else
                        stato = Codice;
                }
                continue;
            }
        }
        if (FineRiga(c)) {
            istruzione = true;
            continue;
        }
        if (istruzione && Vuoto(c)) continue;
        if (istruzione) {
            istruzione = false;
            if (ParolaA(t, i, QStringLiteral("Rem"))) {
                stato = Commento;
                inizioTratto = i + 3;
                i += 2;
                continue;
            }
        }
        if (c == u'\'') {
            p[i] = true;
            stato = Commento;
            inizioTratto = i;
        } else if (c == u'"') {
            p[i] = true;
            stato = Stringa;
        } else if (c == u':') {
            istruzione = true;
        }
    }
    return p;
}

QVector<bool> ModelloC(const QString &t)
{
    const qsizetype n = t.size();
    QVector<bool> p(n, false);
    enum { Codice, Riga, Blocco, Letterale, ParolaDirettiva, NomeMacro, Direttiva };
    int stato = Codice;
    int ritorno = Codice; // the state a block comment or a literal returns to
    QChar virgolette;
    qsizetype inizioBlocco = 0;
    bool inizioRiga = true;
    bool nomeMacro = false; // a name character of the macro read
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = t[i];
        auto saltaACapo = [&] { // a backslash and the line end it continues
            p[i] = true;
            if (i + 1 < n) p[++i] = true;
            if (t[i] == u'\r' && i + 1 < n && t[i + 1] == u'\n') p[++i] = true;
        };
        switch (stato) {
        case Riga:
            if (FineRiga(c) && t[i - 1] != u'\\') {
                stato = Codice;
                break;
            }
            p[i] = true;
            if (c == u'\r' && i + 1 < n && t[i + 1] == u'\n') p[++i] = true;
            continue;
        case Blocco:
            p[i] = true;
            if (c == u'/' && i >= inizioBlocco + 3 && t[i - 1] == u'*') stato = ritorno;
            continue;
        case Letterale:
            if (FineRiga(c)) {
                stato = Codice;
                break;
            }
            if (c == u'\\') {
                saltaACapo();
                continue;
            }
            p[i] = true;
            if (c == virgolette) stato = ritorno;
            continue;
        case NomeMacro:
            if (Vuoto(c) && !nomeMacro) continue;
            if (Nome(t, i)) {
                p[i] = nomeMacro = true;
                continue;
            }
            stato = Codice;
            break;
        case ParolaDirettiva: {
            if (Vuoto(c) && !Nome(t, i - 1)) continue;
            if (Nome(t, i)) continue;
            qsizetype k = i;
            while (k > 0 && Nome(t, k - 1))
                --k;
            static const QStringList protette = {
                "include",  "include_next", "import", "ifdef", "ifndef", "elifdef",
                "elifndef", "else",         "endif",  "undef", "error",  "warning",
                "pragma",   "line",         "ident",  "sccs",  "assert", "unassert"};
            const QString parola = t.mid(k, i - k);
            if (parola == u"if" || parola == u"elif") { // a condition: code
                stato = Codice;
                inizioRiga = false;
                --i;
                continue;
            }
            if (i > k && !protette.contains(parola)) {
                stato = NomeMacro;
                nomeMacro = false;
                --i; // read again as the macro's name
                continue;
            }
            stato = Direttiva;
        }
            Q_FALLTHROUGH();
        case Direttiva:
            if (FineRiga(c)) {
                stato = Codice;
                break;
            }
            if (c == u'\\' && i + 1 < n && FineRiga(t[i + 1])) {
                saltaACapo();
                continue;
            }
            p[i] = true;
            if (c == u'/' && i + 1 < n && t[i + 1] == u'*') {
                p[++i] = true;
                inizioBlocco = i - 1;
                stato = Blocco;
                ritorno = Direttiva;
            } else if (c == u'/' && i + 1 < n && t[i + 1] == u'/') {
                stato = Riga;
            } else if (c == u'"' || c == u'\'') {
                virgolette = c;
                stato = Letterale;
                ritorno = Direttiva;
            }
            continue;
        }
        // Code.
        if (FineRiga(c)) {
            inizioRiga = true;
            continue;
        }
        if (Vuoto(c)) continue;
        if (c == u'#' && inizioRiga) {
            stato = ParolaDirettiva;
            inizioRiga = false;
            continue;
        }
        inizioRiga = false;
        if (c == u'/' && i + 1 < n && (t[i + 1] == u'/' || t[i + 1] == u'*')) {
            p[i] = p[i + 1] = true;
            stato = t[i + 1] == u'/' ? Riga : Blocco;
            inizioBlocco = i;
            ritorno = Codice;
            ++i;
        } else if (c == u'"' || c == u'\'') {
            p[i] = true;
            virgolette = c;
            stato = Letterale;
            ritorno = Codice;
        }
    }
    return p;
}

// Where the value of a set command whose word ends at `i` starts, or -1.
qsizetype ValoreSetModello(const QString &t, qsizetype i)
{
    while (i < t.size() && Vuoto(t[i]))
        ++i;
    while (i + 1 < t.size() && t[i] == u'/' && Nome(t, i + 1)) {
        if (t[i + 1] == u'a' || t[i + 1] == u'A') return -1;
        for (++i; Nome(t, i);)
            ++i;
        while (i < t.size() && Vuoto(t[i]))
            ++i;
    }
    for (; i < t.size(); ++i) {
        if (t[i] == u'=') return i + 1;
        if (FineRiga(t[i]) || QStringLiteral("\"^&|<>()").contains(t[i])) return -1;
    }
    return -1;
}

QVector<bool> ModelloBatch(const QString &t)
{
    const qsizetype n = t.size();
    QVector<bool> p(n, false);
    enum { Codice, FinoACapo, Eco, Valore, Stringa } stato = Codice;
    int profondita = 0;
    bool virgoletteEco = false, inizioRiga = true;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = t[i];
        auto salta = [&](bool proteggi) { // "^" and the character it escapes
            p[i] = proteggi;
            if (i + 1 < n) p[++i] = proteggi;
            if (t[i] == u'\r' && i + 1 < n && t[i + 1] == u'\n') p[++i] = proteggi;
        };
        // A "%" expansion, marked like the characters around it.
        auto percento = [&] {
            const QChar dopo = i + 1 < n ? t[i + 1] : QChar();
            qsizetype fine = i;
            if (dopo == u'%' || dopo == u'~' || dopo == u'*' || dopo.isDigit()) {
                fine = i + 1;
            } else {
                qsizetype k = i + 1;
                while (k < n && !FineRiga(t[k]) && t[k] != u'%')
                    ++k;
                if (k < n && t[k] == u'%') fine = k;
            }
            for (; i < fine; ++i)
                p[i + 1] = p[i];
        };
        if (stato == FinoACapo) {
            if (!FineRiga(c)) {
                p[i] = true;
                continue;
            }
            stato = Codice;
        }
        if (stato == Stringa) {
            if (!FineRiga(c)) {
                p[i] = true;
                if (c == u'"') stato = Codice;
                if (c == u'%') percento();
                continue;
            }
            stato = Codice;
        }
        if (stato == Eco || stato == Valore) {
            if (FineRiga(c)) {
                stato = Codice;
            } else if (c == u'^') {
                salta(true);
                continue;
            } else if (!virgoletteEco && (c == u'&' || c == u'|' || (c == u')' && profondita > 0) ||
                                          (stato == Valore && (c == u'<' || c == u'>')))) {
                stato = Codice;
            } else {
                if (c == u'"') virgoletteEco = !virgoletteEco;
                p[i] = true;
                if (c == u'%') percento();
                continue;
            }
        }
        if (FineRiga(c)) {
            inizioRiga = true;
            continue;
        }
        if (inizioRiga && Vuoto(c)) continue;
        if (inizioRiga && c == u':' && i + 1 < n && t[i + 1] == u':') {
            p[i] = true;
            stato = FinoACapo;
            continue;
        }
        inizioRiga = false;
        if (c == u'^') {
            salta(false);
            continue;
        }
        if (c == u'%') {
            percento();
            continue;
        }
        if (c == u'"') {
            p[i] = true;
            stato = Stringa;
            continue;
        }
        const bool comando = i == 0 || QStringLiteral("\r\n \t@(&|").contains(t[i - 1]);
        const qsizetype valore =
            comando && ParolaA(t, i, QStringLiteral("set")) ? ValoreSetModello(t, i + 3) : -1;
        if (comando && ParolaA(t, i, QStringLiteral("rem"))) {
            stato = FinoACapo;
            i += 2;
        } else if (comando && (ParolaA(t, i, QStringLiteral("echo")) ||
                               ParolaA(t, i, QStringLiteral("title")))) {
            stato = Eco;
            virgoletteEco = false;
            i += ParolaA(t, i, QStringLiteral("echo")) ? 3 : 4;
        } else if (valore >= 0) {
            stato = Valore;
            virgoletteEco = false;
            i = valore - 1;
        } else if (c == u'(') {
            ++profondita;
        } else if (c == u')' && profondita > 0) {
            --profondita;
        }
    }
    return p;
}

QVector<bool> Modello(const QString &t, TipoTesto tipo)
{
    if (tipo.linguaggio == Linguaggio::Basic) return ModelloBasic(t, tipo.intestazioneBasic);
    if (FamigliaC(tipo.linguaggio)) return ModelloC(t);
    if (tipo.linguaggio == Linguaggio::Batch) return ModelloBatch(t);
    return QVector<bool>(t.size(), false);
}

} // namespace

class TestCodice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linguaggioDalNomeFile_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("tipo"); // as Tipo() reads it
        const QVector<std::pair<QString, QStringList>> tipi = {
            {"basic", {"/p/Contesto.bas", "s.vbs", "C:\\d.x\\f.bas"}},
            {"form", {"/p/FinestraPrincipale.FRM", "c.cls", "c.Ctl", "d.dsr"}},
            {"c", {"a.c", "a.H", "/p.cpp/a.h"}},
            {"c++", {"a.cpp", "a.hpp", "a.cc", "a.CXX", "a.hh", "a.Hxx", "C:\\p.c\\a.cpp"}},
            {"batch", {"x.bat", "x.CMD"}},
            {"nessuno", {"", "/p/Makefile", "/p.bas/leggimi", "a.txt", "a.bas.txt", "a.c~"}}};
        for (const auto &[tipo, nomi] : tipi)
            for (const QString &nome : nomi)
                QTest::newRow(qPrintable(nome)) << nome << tipo;
    }
    void linguaggioDalNomeFile()
    {
        QFETCH(QString, nome);
        QFETCH(QString, tipo);
        const TipoTesto letto = TipoDaNomeFile(nome);
        QCOMPARE(int(letto.linguaggio), int(Tipo(tipo).linguaggio));
        QCOMPARE(letto.intestazioneBasic, Tipo(tipo).intestazioneBasic);
    }

    void zoneProtette_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("maschera");
        auto riga = [](const char *nome, const char *tipo, const char *testo, const char *mas) {
            QTest::newRow(nome) << QString::fromUtf8(tipo) << QString::fromUtf8(testo)
                                << QString::fromUtf8(mas);
        };
        // BASIC
        riga("apostrofo", "basic", "If a Then ' If b\r\nEnd If", "..........######\r\n......");
        riga("Rem istruzione", "basic",
             "Rem If x\r\n  rem y\r\nx = 1: Rem z\r\nRemark = 1\r\nx = Rem",
             "...#####\r\n.....##\r\n..........##\r\n..........\r\n.......");
        riga("stringa con doppie virgolette", "basic", "s = \"If \"\"x\"\" Then\" & If\r\n",
             "....###############.....\r\n");
        riga("stringa aperta fino a fine riga", "basic", "s = \"If x\r\nIf", "....#####\r\n..");
        riga("commento continuato", "basic", "' a _\r\nb _ \r\nc\r\nd", "##############\r\n.");
        riga("trattino basso attaccato", "basic", "x ' a_\r\nb", "..####\r\n.");
        riga("commento fino alla fine", "basic", "x ' If", "..####");
        riga("intestazione del form", "form",
             "VERSION 5.00\r\nBegin VB.Form F\r\nEnd\r\n  attribute\tVB_NAME = \"F\"\r\nIf",
             "####################################......................###\r\n..");
        riga("form senza attributo", "form", "VERSION 5.00\r\nIf", "............\r\n..");
        riga("attributo in un modulo", "basic", "Attribute VB_Name = \"M\"\r\nIf",
             "....................###\r\n..");
        riga("attributo simile", "form", "Attribute VB_Names\r\nAttribute VB_Name\r\nx",
             "####################.................\r\n.");
        // C family
        riga("commento di riga", "c", "if (a) // if b\r\nelse", ".......#######\r\n....");
        riga("commento a blocco", "c", "a /* if\r\nelse */ b", "..##############..");
        riga("barra e asterisco", "c", "a /*/ b */ c", "..########..");
        riga("letterali con escape", "c", "s = \"a\\\"if\" + 'x' + '\\'' if",
             "....#######...###...####...");
        riga("direttive", "c",
             "#include <stdio.h>\r\n  #  endif // x\r\n#define A \\\r\n  if\r\nif",
             "........##########\r\n..........#####\r\n........#..\r\n....\r\n..");
        riga("condizione con blocco su due righe", "c", "#if A /* x\r\ny */ B\r\nif",
             "......##########..\r\n..");
        riga("condizione: codice", "c", "#if defined(X) && !defined(Y)\r\n#elif sizeof(int)",
             ".............................\r\n.................");
        riga("commento di riga continuato", "c", "// a \\\r\nif\r\nif", "##########\r\n..");
        riga("blocco aperto", "c", "x /* if\r\nif", "..#########");
        riga("stringa aperta", "c", "\"if\r\nif", "###\r\n..");
        riga("stringa continuata", "c", "\"a\\\r\nb\" c", "#######..");
        riga("cancelletto non a inizio riga", "c", "a # b", ".....");
        riga("define: il corpo è codice", "c", "#define EOF ((char) -1) /* x */\r\nif",
             "........###.............#######\r\n..");
        riga("define con parametri e letterale", "c", "# define MAX(a) ((a)?\"if\":0)",
             ".........###.........####...");
        riga("undef resta protetto", "c", "#undef EOF", "......####");
        riga("direttiva tradotta", "c", "#definisci EOF (-1)\r\n#se X",
             "...........###.....\r\n....#");
        // Batch
        riga("rem e due punti", "batch", "@echo off\r\nrem If x\r\n:: If y\r\n  REM z\r\nremark",
             ".....####\r\n...#####\r\n#######\r\n.....##\r\n......");
        riga("echo fino a & e |", "batch", "echo if & if x | echo y ^& if",
             "....####.............########");
        riga("echo con virgolette", "batch", "echo \"a & b\" & if", "....#########....");
        riga("echo in un blocco", "batch", "if x (\r\n  echo a (b) c\r\n)\r\necho )if",
             "......\r\n......#####...\r\n.\r\n....####");
        riga("echo dopo if", "batch", "if exist x echo if", "...............###");
        riga("echo continuato", "batch", "echo a ^\r\nif\r\nif", "....########\r\n..");
        riga("title come echo", "batch", "title If x & if\r\n@title y",
             ".....######....\r\n......##");
        riga("rem fino alla fine", "batch", "rem & x", "...####");
        riga("echo tra virgolette", "batch", "x \"echo\" y", "..######..");
        riga("valore di set", "batch", "set x=Start & if\r\n(set y=a b) if",
             "......######....\r\n.......###....");
        riga("set tra virgolette", "batch", "set \"log=Start\" & if", "....###########.....");
        riga("set /p tra virgolette", "batch", "set /p \"n=Type a\"", ".......##########");
        riga("set /p e redirezione", "batch", "set /p x=<type.txt", "..................");
        riga("set /a resta codice", "batch", "set /a x=x+1", "............");
        riga("set senza uguale", "batch", "set x & type", "............");
        riga("confronto tra virgolette", "batch", "if /i \"%a\" == \"Exit\" goto fine",
             "......####....######..........");
        riga("virgolette vuote", "batch", "if \"%x%\"==\"\" goto :fine", "...#####..##...........");
        riga("for /f: opzioni e comando", "batch", "for /f \"delims=,\" %%a in ('dir /b') do",
             ".......##########.....................");
        riga("start e call", "batch", "start \"\" \"%P%\\a.exe\"\r\ncall \"%~dp0x.bat\"",
             "......##.###########\r\n.....############");
        riga("virgolette con escape", "batch", "if ^\"a dir", "..........");
        riga("virgolette in una sostituzione", "batch",
             "IF [\"%fn:\"=%\"]==[\"%~n0\"] EXIT\r\n%1\"a\" %%a\"b\" 5% \"c\"",
             "....#########....######......\r\n..###....###....###");
        riga("sostituzione in echo e set", "batch", "echo %x:\"=% & dir\r\nset y=%x:\"=%& dir",
             "....########.....\r\n......######.....");
        riga("virgolette aperte", "batch", "x \"a dir\r\ndir", "..######\r\n...");
        // No language
        riga("nessun linguaggio", "nessuno", "' x // y \"z\"", "............");
    }
    void zoneProtette()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, testo);
        QFETCH(QString, maschera);
        const ZoneProtette zone = ScansionaCodice(testo, Tipo(tipo));
        QCOMPARE(Maschera(testo, DaZone(testo.size(), zone)), maschera);
        QCOMPARE(Maschera(testo, Modello(testo, Tipo(tipo))), maschera);
    }

    // Random texts built from the characters that matter to every language:
    // the scanner against the literal model, the zones well formed, the
    // cursor and the binary search agreeing in both directions.
    void scannerContoModello()
    {
        static const char *const pezzi[] = {
            "'",     "\"", "\"\"", ":",    " ",         "\t",   "_",       " _",  "\r\n", "\n",
            "\r",    "x",  "If",   "Rem",  "rem ",      "REM:", "/",       "*",   "//",   "/*",
            "*/",    "#",  "\\",   "echo", "echo.",     "@",    "(",       ")",   "&",    "|",
            "^",     "::", "a1",   "è",    "Attribute", " ",    "VB_Name", "set", "set ", "/p",
            "title", "/a", "=",    "<",    "define",    "'",    "%",       "%~"};
        QRandomGenerator gen(12);
        const TipoTesto tipi[] = {{Linguaggio::Basic, false}, {Linguaggio::Basic, true},
                                  {Linguaggio::C, false},     {Linguaggio::Cpp, false},
                                  {Linguaggio::Batch, false}, {Linguaggio::Nessuno, false}};
        for (int prova = 0; prova < 20000; ++prova) {
            QString testo;
            for (int k = int(gen.bounded(40)); k > 0; --k)
                testo += QString::fromUtf8(pezzi[gen.bounded(int(std::size(pezzi)))]);
            for (const TipoTesto &tipo : tipi) {
                const ZoneProtette zone = ScansionaCodice(testo, tipo);
                const QVector<bool> atteso = Modello(testo, tipo);
                if (DaZone(testo.size(), zone) != atteso) {
                    qWarning() << int(tipo.linguaggio) << tipo.intestazioneBasic << testo;
                    QCOMPARE(Maschera(testo, DaZone(testo.size(), zone)), Maschera(testo, atteso));
                }
                const QVector<Zona> &z = zone.Elenco();
                for (qsizetype k = 0; k < z.size(); ++k) {
                    QVERIFY(z[k].inizio < z[k].fine);
                    QVERIFY(k == 0 || z[k - 1].fine < z[k].inizio);
                }
                QVERIFY(z.isEmpty() || z.back().fine <= testo.size());
                CursoreZone avanti(zone), indietro(zone);
                for (qsizetype i = 0; i <= testo.size(); ++i) {
                    const bool p = i < testo.size() && atteso[i];
                    QCOMPARE(zone.Protetto(i), p);
                    QCOMPARE(avanti.Protetto(i), p);
                    const qsizetype j = testo.size() - i;
                    QCOMPARE(indietro.Protetto(j), j < testo.size() && atteso[j]);
                }
            }
        }
    }

    void delimitatori_data()
    {
        QTest::addColumn<bool>("codice");
        QTest::addColumn<int>("linguaggio");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("inizio");
        QTest::addColumn<int>("lunghezza");
        QTest::addColumn<bool>("intera");
        const int B = int(Linguaggio::Basic), C = int(Linguaggio::C), N = int(Linguaggio::Nessuno);
        auto riga = [](const char *nome, bool codice, int ling, const char *testo, int inizio,
                       int lunghezza, bool intera) {
            QTest::newRow(nome) << codice << ling << QString::fromUtf8(testo) << inizio << lunghezza
                                << intera;
        };
        riga("tab classico", false, C, "\tif (a)", 1, 2, false);
        riga("tab codice", true, C, "\tif (a)", 1, 2, true);
        riga("graffe classico", false, C, "}else{", 1, 4, false);
        riga("graffe codice", true, C, "}else{", 1, 4, true);
        riga("uguale e virgolette", true, N, "x=If\"", 2, 2, true);
        riga("operatori", true, N, "a+b-c*d/e\\f^g|h~i[j]k'", 10, 1, true);
        riga("inizio del testo", true, N, "If=", 0, 2, true);
        riga("fine del testo", true, N, "=If", 1, 2, true);
        riga("trattino basso", true, N, "_If_", 1, 2, false);
        riga("suffissi non delimitano", true, N, "$If%", 1, 2, false);
        riga("cancelletto", true, N, "#If ", 1, 2, false);
        riga("e commerciale dopo un nome in BASIC", true, B, "a&If ", 2, 2, false);
        riga("e commerciale dopo una cifra in BASIC", true, B, "1&If ", 2, 2, false);
        riga("e commerciale dopo lettera accentata", true, B, "è&If ", 2, 2, false);
        riga("e commerciale dopo uno spazio in BASIC", true, B, "a &If ", 3, 2, true);
        riga("e commerciale dopo virgolette in BASIC", true, B, "\"&If&\"", 2, 2, false);
        riga("suffisso del nome cercato", true, B, " If& ", 1, 2, false);
        riga("e commerciale in C", true, C, "a&If&", 2, 2, true);
        riga("e commerciale in testo", true, N, "a&If&", 2, 2, true);
        riga("classico ignora il BASIC", false, B, " If ", 1, 2, true);
    }
    void delimitatori()
    {
        QFETCH(bool, codice);
        QFETCH(int, linguaggio);
        QFETCH(QString, testo);
        QFETCH(int, inizio);
        QFETCH(int, lunghezza);
        QFETCH(bool, intera);
        const Ricerca::Parola parola(testo.mid(inizio, lunghezza), Ricerca::Confronto(),
                                     Delimitatori::Per(codice, Linguaggio(linguaggio)));
        QCOMPARE(parola.CorrispondeNelTesto(testo, inizio), intera);
    }

    // The classic set is exactly the engines' 13; the code set adds 17 more.
    void insiemiDiDelimitatori()
    {
        int classici = 0, codice = 0;
        const Delimitatori classica, delCodice(true, false);
        for (int u = 0; u <= 0xFFFF; ++u) {
            const QChar c{char16_t(u)};
            QCOMPARE(Delimitatori::Classico(c), Ricerca::Separatore(c));
            classici += classica.Separatore(c, u' ');
            codice += delCodice.Separatore(c, u'a');
            if (Delimitatori::CarattereNome(c)) QVERIFY(!delCodice.Separatore(c, u' '));
        }
        QCOMPARE(classici, 13);
        QCOMPARE(codice, 30);
    }

    // Rows as "word:count", with "/reason" when the list has an entry for the
    // word and where it stands keeps it.
    void paroleNonTradotte_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("elenco"); // "word" or "word=replacement", separated by "|"
        QTest::addColumn<bool>("separatori");
        QTest::addColumn<QString>("attese");
        auto riga = [](const char *nome, const char *tipo, const char *testo, const char *elenco,
                       const char *attese, bool separatori = false) {
            QTest::newRow(nome) << QString::fromUtf8(tipo) << QString::fromUtf8(testo)
                                << QString::fromUtf8(elenco) << separatori
                                << QString::fromUtf8(attese);
        };
        riga("modulo BASIC", "form",
             "Attribute VB_Name = \"Contesto\"\r\nOption Explicit\r\n' Dim in un commento\r\n"
             "Private Sub Prova(ByVal n As Integer)\r\n\tDIM s As String\r\n"
             "\ts = \"If Then Else\"\r\n\tIf n > 0 Then s = s & \"x\"\r\nEnd Sub\r\n",
             "If|Then|For|To|Do|Until|While|Not",
             "As:2 Sub:2 ByVal:1 Dim:1 End:1 Explicit:1 If:1/dopo una tabulazione: attiva "
             "«Separatori del codice» Integer:1 Option:1 Private:1 String:1");
        riga("elenco in altre maiuscole", "basic", "Dim x As Long\r\nDim y", "dim|AS", "Long:1");
        riga("sorgente C", "c",
             "#include <stdio.h>\n\tint main(void) {\n\tif (x) return 0; // int\n\tIF(y);\n}\n"
             "#endif\n",
             "if|else",
             "#endif:1 #include:1 if:1/dopo una tabulazione: attiva «Separatori del codice» "
             "int:1 return:1 void:1");
        riga("batch", "batch",
             "@echo off\r\nrem set x\r\nset a=1\r\nif exist f echo set\r\nGOTO fine\r\n", "echo",
             "echo:1/attaccata a «@» exist:1 goto:1 if:1 rem:1 set:1");
        riga("nessun linguaggio: tre volte almeno", "nessuno",
             "alfa beta alfa Alfa gamma 1e5 1e5 1e5 beta beta _x _x _x", "BETA", "_x:3 alfa:3");
        // Where a listed word stands decides: tab indentation and operators need
        // the code separators, which then translate those words.
        riga("C rientrato con tabulazioni, senza separatori", "c",
             "int f(void)\n{\n\tif (a)\n\t\treturn 1;\n\telse\n\t\treturn 0;\n}\n",
             "if|else|return|int|void",
             "return:2/dopo una tabulazione: attiva «Separatori del codice» else:1/dopo una "
             "tabulazione: attiva «Separatori del codice» if:1/dopo una tabulazione: attiva "
             "«Separatori del codice»");
        riga("C rientrato con tabulazioni, con separatori", "c",
             "int f(void)\n{\n\tif (a)\n\t\treturn 1;\n\telse\n\t\treturn 0;\n}\n",
             "if|else|return|int|void", "", true);
        riga("attaccata a un operatore", "c", "x=sizeof y;\n{return x;}\n", "sizeof|return",
             "return:1/attaccata a un operatore: attiva «Separatori del codice» "
             "sizeof:1/attaccata a un operatore: attiva «Separatori del codice»");
        riga("suffisso di tipo BASIC", "basic", "s = String$(3, \"-\")\r\n", "String",
             "String:1/con il suffisso di tipo «$»");
        riga("suffisso nella voce", "basic", "s = String$(3, \"-\")\r\n", "String|String$", "");
        // Names are never keywords: members, "->", a With block's ".Name",
        // batch variables, labels and switches.
        riga("membri BASIC", "basic",
             "rs.Open\r\nWith rs\r\n.Close\r\n.Print 1\r\nEnd With\r\nVBA.Print\r\n", "With|End",
             "");
        riga("membro C", "c", "p->int = q.return;\n", "", "");
        riga("nomi batch", "batch", "echo %date% !time!\r\ngoto :exit\r\ncopy /y a b\r\n:exit\r\n",
             "echo|goto|copy", "");
        riga("dispositivi e variabili batch", "batch",
             "copy a >nul\r\nset path=x\r\nif exist x\\nul del %TIME%\r\n", "",
             "copy:1 del:1 exist:1 if:1 set:1");
        riga("riga di etichetta", "batch", ":getTime <TIME> & exit\r\n", "", "");
        riga("nomi dichiarati BASIC", "basic",
             "Public Property Get Print() As Long\r\nPrint = Len(x)\r\n", "",
             "As:1 Get:1 Long:1 Property:1 Public:1");
        riga("voce di più parole", "basic", "End If\r\n#If X Then\r\n#End If\r\n",
             "End If|#If|#End If|Then", "");
        riga("direttiva BASIC senza voce", "basic", "#If X Then\r\n", "If|Then",
             "If:1/attaccata a «#»");
        // Only what the program wrote counts: not what a replacement wrote,
        // and an entry kept from a declared name is reported with the reason.
        riga("parole scritte da un sostituto", "basic",
             "Scegli in base a x\r\nOption Base 1\r\nScegli in base a y\r\n",
             "Select Case=Scegli in base a", "Base:1 Option:1");
        riga("campo Type", "basic",
             "Private Type R\r\n  Type As Long\r\nEnd Type\r\nDim x As R\r\n",
             "End Type=Fine Tipo|Type=Tipo|As=come|Long=Intero lungo|Private=Privato|Dim=Variabile",
             "Type:1/è un nome dichiarato dal programma");
        riga("riga Attribute nella bozza", "basic", "Attribute VB_Exposed = False\r\nx = Falso\r\n",
             "False=Falso", "");
        riga("In senza voce", "basic", "For Each f In Forms\r\n", "For Each=Per ogni", "In:1");
        riga("C: voce in altre maiuscole", "c", "FOR(x); for(y);\n", "FOR=per",
             "for:1/la voce ha altre maiuscole: in C e in C++ le maiuscole contano", true);
        riga("C: voce in altre maiuscole senza separatori", "c", "FOR(x); for(y);\n", "FOR=per",
             "");
        riga("C: voce esatta", "c", "FOR(x); for(y);\n", "for=per", "", true);
        // A macro body is code; batch strings and set values are not.
        const char *macro =
            "#define EOF ((char) -1)\n#define X(a) ((a) ? \"if\" : a+sizeof a) // int\n";
        riga("corpo di #define", "c", macro, "#define|char|sizeof",
             "sizeof:1/attaccata a un operatore: attiva «Separatori del codice»");
        riga("corpo di #define con separatori", "c", macro, "#define|char|sizeof", "", true);
        riga("corpo di #define senza voce", "c", macro, "#define", "char:1 sizeof:1");
        riga("corpo di #define in una bozza", "c",
             "#definisci R(a) volatile a\n#includi <stdio.h>\n", "#define|#include", "volatile:1");
        riga("stringhe e valori batch", "batch", "if \"%x%\"==\"if\" set y=goto & exit\r\n", "",
             "exit:1 if:1 set:1");
        // A draft: the replacements of echo, rem and set no longer open their
        // text, which is still the original's text, not code.
        const char *bozzaBatch = "mostra if path\r\nnota if time\r\nimposta if=goto\r\nexit\r\n";
        riga("bozza batch", "batch", bozzaBatch, "echo=mostra|rem=nota|set=imposta|if=se",
             "exit:1");
        riga("bozza batch senza voci", "batch", bozzaBatch, "", "if:3 exit:1 goto:1 path:1 time:1");
        riga("bozza BASIC", "basic", "Nota If x Then\r\nIf y Then x = 1: Nota Loop\r\n",
             "Rem=Nota|Then=Allora", "If:1");
        riga("bozza BASIC senza voci", "basic", "Nota If x Then\r\nIf y Then x = 1: Nota Loop\r\n",
             "", "If:2 Then:2 Loop:1");
    }
    void paroleNonTradotte()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, testo);
        QFETCH(QString, elenco);
        QFETCH(bool, separatori);
        QFETCH(QString, attese);
        QVector<VoceSostituzione> voci;
        for (const QString &voce : elenco.split(u'|'))
            voci.append({voce.section(u'=', 0, 0), voce.section(u'=', 1)});
        QStringList trovate;
        for (const ParolaContata &p : ParoleNonTradotte(testo, Tipo(tipo), voci, separatori)) {
            QCOMPARE(p.conVoce, p.motivo != u"nessuna voce nell'elenco");
            trovate << p.parola + u':' + QString::number(p.occorrenze) +
                           (p.conVoce ? u'/' + p.motivo : QString());
        }
        QCOMPARE(trovate.join(u' '), attese);
    }
};

QTEST_GUILESS_MAIN(TestCodice)
#include "test_codice.moc"
