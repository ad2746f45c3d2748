// The runs reading a text as code -- comments and strings left alone, the
// code delimiters -- on hand-made cases for each language and against the
// literal models on random texts and lists, with the rules in all four
// combinations.

#include "aiuti/CorsaAutomatica.h"
#include "aiuti/ModelliRiferimento.h"
#include "nucleo/elenchi/ListeLinguaggio.h"
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
// header block, 2 C, 3 batch, 4 none, 5 C++.
RegoleCodice Regole(int tipo, bool proteggi, bool separatori)
{
    const TipoTesto tipi[] = {{Linguaggio::Basic, false},
                              {Linguaggio::Basic, true},
                              {Linguaggio::C, false},
                              {Linguaggio::Batch, false},
                              {},
                              {Linguaggio::Cpp, false}};
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
    "a",      "If",     "if",   "Rem",     "rem",   "echo",  "else", "x",    " ",
    " ",      "\t",     "\r\n", "\n",      "=",     "+",     "-",    "*",    "/",
    "\\",     "^",      "&",    "|",       "~",     "{",     "}",    "[",    "]",
    "\"",     "'",      "(",    ")",       ":",     "::",    "#",    "//",   "/*",
    "*/",     "_",      "$",    "@",       " _",    "è",     ";",    "1",    "Attribute VB_Name",
    ".",      "->",     "%",    "!",       "goto ", "set ",  "nul",  "@end", "Left",
    "#>",     "free",   "Sub ", "Const ",  "Dim ",  "Type ", "End ", ",",    "Me.",
    "title ", "this->", "FOR",  "Resume ", "Err:",  "GoSub "};
const QStringList Parole = {"if", "a",    "x&",  "a=x",    "rem", "echo",  "else", "'",
                            "\"", "a x",  "&",   "}else{", "/",   "\t",    "x",    "IF",
                            "se", "Left", "nul", "goto",   ".x",  "Left$", "free"};
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
        // Every C row runs again as C++, which reads C code the same way.
        auto riga = [](const char *nome, const char *testo, int tipo, bool proteggi,
                       bool separatori, const char *elenco, const char *atteso) {
            const QVector<int> tipi = tipo == 2 ? QVector<int>{2, 5} : QVector<int>{tipo};
            for (const int t : tipi)
                QTest::addRow("%s%s", t == 5 ? "c++ come " : "", nome)
                    << QString::fromUtf8(testo) << t << proteggi << separatori
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
        // C tells case apart: with the names kept, FOR, Free and Exit are the program's.
        const char *maiuscole = "int Free(int x){return FOR + Exit + free(x);}\r\n"
                                "{ \"for\", FOR, FOR }, case RETURN: return;";
        riga("c: maiuscole esatte", maiuscole, 2, true, true, "=c",
             "intero Free(intero x){ritorna FOR + Exit + libera(x);}\r\n"
             "{ \"for\", FOR, FOR }, caso RETURN: ritorna;");
        riga("c++: maiuscole esatte", "If(x) IF; if(x) Else; NULL; null;", 5, true, true,
             "if>se|else>altrimenti|NULL>nullo", "If(x) IF; se(x) Else; nullo; null;");
        riga("c++: this davanti a un membro", "this->x = *this; f(this);", 5, true, true, "=c++",
             "this->x = *questo oggetto; f(questo oggetto);");
        riga("c: maiuscole con la sola protezione", "FOR; Exit;", 2, true, false,
             "for>per|exit>esci", "per; esci;");
        riga("c: maiuscole con i soli separatori", "FOR;", 2, false, true, "for>per", "per;");
        riga("basic: maiuscole con entrambe le opzioni", "IF x THEN", 0, true, true,
             "If>Se|Then>Allora", "Se x Allora");
        riga("batch: maiuscole con entrambe le opzioni", "IF x GOTO a", 3, true, true,
             "if>se|goto>vai a", "se x vai a a");
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
        // With both options on the code's own names stay; with either off,
        // as before.
        const char *membri =
            "Set rs = Me.Open\r\nrs.Open x: rs.Close\r\nWith rs\r\n.Close\r\nEnd With";
        const char *elencoMembri = "Me>Io|Open>Apri|Close>Chiudi|End With>Fine Con|With>Con";
        riga("basic: membri intatti", membri, 0, true, true, elencoMembri,
             "Set rs = Me.Open\r\nrs.Open x: rs.Close\r\nCon rs\r\n.Close\r\nFine Con");
        riga("basic: Me davanti a un membro", "Me.Move 0: Set f = Me: Unload Me", 0, true, true,
             "Unload Me>Chiudi questa finestra|Me>questo oggetto|Set>Imposta",
             "Me.Move 0: Imposta f = questo oggetto: Chiudi questa finestra");
        riga("basic: membri senza protezione", membri, 0, false, true, elencoMembri,
             "Set rs = Io.Apri\r\nrs.Apri x: rs.Chiudi\r\nCon rs\r\n.Chiudi\r\nFine Con");
        riga("basic: membri con i separatori classici", membri, 0, true, false, elencoMembri,
             "Set rs = Io.Apri\r\nrs.Apri x: rs.Chiudi\r\nCon rs\r\n.Chiudi\r\nFine Con");
        riga("basic: voce che comincia con il punto", "With rs\r\n.Close: Close #1", 0, true, true,
             ".Close>.Chiudi|Close>Chiudi", "With rs\r\n.Chiudi: Chiudi #1");
        riga("basic: Left$", "s = Left$(a, 1) & Left(b, 2) & x.Left$", 0, true, true,
             "Left>Sinistra", "s = Sinistra$(a, 1) & Sinistra(b, 2) & x.Left$");
        riga("basic: Left$ senza protezione", "s = Left$(a, 1)", 0, false, true, "Left>Sinistra",
             "s = Left$(a, 1)");
        riga("basic: voce Left$", "s = Left$(a, 1)", 0, true, true, "Left$>Sinistra",
             "s = Sinistra(a, 1)");
        riga("basic: #If", "#If Win32 Then\r\n#End If\r\nIf x Then", 0, true, true,
             "#If>#Se|#End If>#Fine Se|If>Se|Then>Allora",
             "#Se Win32 Allora\r\n#Fine Se\r\nSe x Allora");
        const char *attributo = "Attribute VB_Name = \"Modulo\"\r\nPrint Name";
        riga("basic: riga Attribute", attributo, 0, true, true, "Attribute>Attributo|Name>Nome",
             "Attribute VB_Name = \"Modulo\"\r\nPrint Nome");
        riga("basic: riga Attribute senza separatori", attributo, 0, true, false,
             "Attribute>Attributo|Name>Nome", "Attributo VB_Name = \"Modulo\"\r\nPrint Nome");
        riga("c: membri e ->", "p->next = s.next; next(p);", 2, true, true, "next>prossimo",
             "p->next = s.next; prossimo(p);");
        riga("c: -> senza separatori", "p->next = s.next; next(p);", 2, true, false,
             "next>prossimo", "p->prossimo = s.prossimo; prossimo(p);");

        const char *dispositivi = "copy a >nul\r\nif exist x\\nul del y 2>NUL";
        riga("batch: nul", dispositivi, 3, true, true, "nul>il nulla|del>cancella|if>se",
             "copy a >nul\r\nse exist x\\nul cancella y 2>NUL");
        riga("batch: nul senza separatori", dispositivi, 3, false, true,
             "nul>il nulla|del>cancella|if>se",
             "copy a >il nulla\r\nse exist x\\il nulla cancella y 2>il nulla");
        const char *etichette = ":exit\r\ngoto exit\r\ngoto :exit\r\ncall :exit\r\nexit /b";
        riga("batch: etichette", etichette, 3, true, true, "exit>esci|goto>vai a|call>chiama",
             ":exit\r\nvai a exit\r\nvai a :exit\r\nchiama :exit\r\nesci /b");
        riga("batch: etichette con i separatori classici", etichette, 3, true, false,
             "exit>esci|goto>vai a|call>chiama",
             ":esci\r\nvai a esci\r\nvai a :esci\r\nchiama :esci\r\nesci /b");
        const char *rigaEtichetta = ":getTime <TIME> x & exit\r\nexit";
        riga("batch: riga di etichetta", rigaEtichetta, 3, true, true, "time>ora|exit>esci",
             ":getTime <TIME> x & exit\r\nesci");
        riga("batch: riga di etichetta con i separatori classici", rigaEtichetta, 3, true, false,
             "time>ora|exit>esci", ":getTime <ora> x & esci\r\nesci");
        const char *variabili =
            "set del=1\r\nset \"bar.del=2\"\r\nset /a del+=1\r\nset /p del=Nome?\r\n"
            "del %del% !del! %bar.del%\r\nfor %%f in (*) do del %%f";
        riga("batch: variabili", variabili, 3, true, true, "del>cancella|for>per ogni|f>F",
             "set del=1\r\nset \"bar.del=2\"\r\nset /a del+=1\r\nset /p del=Nome?\r\n"
             "cancella %del% !del! %bar.del%\r\nper ogni %%f in (*) do cancella %%f");
        riga("batch: variabili senza protezione", variabili, 3, false, true,
             "del>cancella|for>per ogni|f>F",
             "set cancella=1\r\nset \"bar.cancella=2\"\r\nset /a cancella+=1\r\n"
             "set /p cancella=Nome?\r\ncancella %del% !cancella! %bar.del%\r\n"
             "per ogni %%f in (*) do cancella %%f");
        riga("batch: opzioni", "robocopy a b /COPY:DAT /s", 3, true, true, "copy>copia|s>S",
             "robocopy a b /COPY:DAT /s");
        riga("batch: opzioni senza protezione", "robocopy a b /COPY:DAT /s", 3, false, true,
             "copy>copia|s>S", "robocopy a b /copia:DAT /S");
        riga("batch: comandi dopo @", "@echo off\r\n@if x==y @title t", 3, true, true,
             "echo>mostra|if>se|title>titolo", "@mostra off\r\n@se x==y @titolo t");
        riga("batch: @ senza protezione", "@echo off\r\n@if x", 3, false, true, "echo>mostra|if>se",
             "@echo off\r\n@if x");
        const char *ibrido =
            "@if (@a)==(@b) @end /*\r\n@echo off\r\ncscript //E:JScript \"%~f0\"\r\n"
            "exit /b\r\n*/\r\nif (x) WScript.Echo(\"exit\");\r\nexit();";
        riga("batch: file ibrido", ibrido, 3, true, true, "exit>esci|if>se",
             "@se (@a)==(@b) @end /*\r\n@echo off\r\ncscript //E:JScript \"%~f0\"\r\n"
             "esci /b\r\n*/\r\nif (x) WScript.Echo(\"exit\");\r\nexit();");
        riga("batch: @end e @endlocal", "@endlocal\r\nexit\r\n@end\r\nexit", 3, true, true,
             "exit>esci", "@endlocal\r\nesci\r\n@end\r\nexit");
        riga("batch: file ibrido senza separatori", ibrido, 3, true, false, "exit>esci|if>se",
             "@if (@a)==(@b) @end /*\r\n@echo off\r\ncscript //E:JScript \"%~f0\"\r\n"
             "esci /b\r\n*/\r\nse (x) WScript.Echo(\"exit\");\r\nesci();");
        // "=c", "=c++", "=batch": the language's ready list. The C++ words are names in C.
        const char *oggetti = "p = new Nodo(this); delete q; // new\r\n#define NUOVO new";
        riga("c: parole del C++ con l'elenco pronto", oggetti, 2, true, true, "=c",
             "p = new Nodo(this); delete q; // new\r\n#definisci NUOVO new");
        riga("c++: parole del C++ con l'elenco pronto", oggetti, 5, true, true, "=c++",
             "p = nuovo Nodo(questo oggetto); libera q; // new\r\n#definisci NUOVO nuovo");
        const char *trattini = "powershell -command Find-Java -Output x\r\nping -n 5 h & find /i";
        const char *elencoTrattini = "find>cerca il testo|ping>prova|n>N|command>comando|Output>Y";
        riga("batch: parola con -", trattini, 3, true, true, elencoTrattini,
             "powershell -command Find-Java -Output x\r\nprova -n 5 h & cerca il testo /i");
        riga("batch: - senza protezione", trattini, 3, false, true, elencoTrattini,
             "powershell -comando cerca il testo-Java -Y x\r\nprova -N 5 h & cerca il testo /i");
        // The lines after the batch half's last "exit" are PowerShell's comment.
        const char *powershell =
            "<# : x\r\n@echo off\r\n  exit /b\r\nexit /b\r\necho for\r\n#>\r\nexit 1";
        riga("batch: ibrido con PowerShell", powershell, 3, true, true, "exit>esci|echo>mostra",
             "<# : x\r\n@mostra off\r\n  esci /b\r\nesci /b\r\necho for\r\n#>\r\nexit 1");
        riga("batch: ibrido con PowerShell senza separatori", powershell, 3, true, false,
             "exit>esci|echo>mostra",
             "<# : x\r\n@echo off\r\n  esci /b\r\nesci /b\r\nmostra for\r\n#>\r\nesci 1");
        const char *funzioni = "int exit = 0; while (!exit) exit = 1;\r\n"
                               "void (*free)(void *); p->free(q); free (q); exit(1);\r\n"
                               "if (f == NULL) fputs(\"x\", stdout);";
        riga("c: funzioni di libreria come nomi", funzioni, 2, true, true, "=c",
             "intero exit = 0; mentre (!exit) exit = 1;\r\n"
             "vuoto (*free)(vuoto *); p->free(q); libera (q); termina(1);\r\n"
             "se (f == nullo) scrivi la stringa nel file(\"x\", uscita standard);");
        riga("c: funzioni di libreria senza separatori", funzioni, 2, true, false, "=c",
             "intero termina = 0; mentre (!termina) termina = 1;\r\n"
             "vuoto (*free)(vuoto *); p->libera(q); libera (q); termina(1);\r\n"
             "se (f == nullo) scrivi la stringa nel file(\"x\", uscita standard);");
        const char *dichiarati = "Public Enum LongPtr: [_]: End Enum\r\n"
                                 "Public Property Get IsEmpty() As Boolean\r\n"
                                 "IsEmpty = Not isempty(x) And IsEmptyX\r\n"
                                 "Private Declare PtrSafe Function Beep Lib \"k\" () As LongPtr\r\n"
                                 "Const Len = 2: Beep: Exit Sub";
        const char *elencoDichiarati = "LongPtr>Intero puntatore|IsEmpty>è vuoto|Beep>Suona|"
                                       "Len>Lunghezza|Not>non|Exit Sub>Esci";
        riga("basic: nomi dichiarati", dichiarati, 0, true, true, elencoDichiarati,
             "Public Enum LongPtr: [_]: End Enum\r\n"
             "Public Property Get IsEmpty() As Boolean\r\n"
             "IsEmpty = non isempty(x) And IsEmptyX\r\n"
             "Private Declare PtrSafe Function Beep Lib \"k\" () As LongPtr\r\n"
             "Const Len = 2: Beep: Esci");
        riga("basic: nomi dichiarati senza protezione", dichiarati, 0, false, true,
             elencoDichiarati,
             "Public Enum Intero puntatore: [_]: End Enum\r\n"
             "Public Property Get è vuoto() As Boolean\r\n"
             "è vuoto = non è vuoto(x) And IsEmptyX\r\n"
             "Private Declare PtrSafe Function Suona Lib \"k\" () As Intero puntatore\r\n"
             "Const Lunghezza = 2: Suona: Esci");
        // Variables, constants, parameters and Enum members are the
        // program's names everywhere in the file; a Type's fields where they
        // are declared, so a field "Type" leaves the keywords alone.
        const char *dichiaratiBasic =
            "Private Type RECT\r\n  Left As Long\r\n  Type As Long ' x\r\nEnd Type\r\n"
            "Enum Lati: Top = 1: End Enum\r\n"
            "Dim val As Integer, s(1 To 2) As String, Len: ReDim Preserve s(3)\r\n"
            "Const Str = \"a, b\", Mid = 2\r\n"
            "Function Conv(Optional ByVal Format As Long = 1, _\r\n  ByRef Right() As Long) As "
            "Long\r\n"
            "Conv = val + Val(Top) + Left(Str, Mid) + Format: Dim Chr\r\n"
            "End Function";
        const char *elencoVariabili =
            "End Type>Fine Tipo|End Function>Fine Funzione|Type>Tipo|Long>Intero "
            "lungo|As>come|Val>Valore|Left>Sinistra|"
            "Top>Alto|Len>Lunghezza|Str>In stringa|Mid>Mezzo|Format>Formatta|Right>Destra|"
            "Chr>Carattere|Dim>Variabile|Integer>Intero|String>Stringa|ByVal>per valore|"
            "Function>Funzione";
        riga("basic: variabili, costanti, parametri e campi", dichiaratiBasic, 0, true, true,
             elencoVariabili,
             "Private Tipo RECT\r\n  Left come Intero lungo\r\n  Type come Intero lungo ' x\r\n"
             "Fine Tipo\r\n"
             "Enum Lati: Top = 1: End Enum\r\n"
             "Variabile val come Intero, s(1 To 2) come Stringa, Len: ReDim Preserve s(3)\r\n"
             "Const Str = \"a, b\", Mid = 2\r\n"
             "Funzione Conv(Optional per valore Format come Intero lungo = 1, _\r\n"
             "  ByRef Right() come Intero lungo) come Intero lungo\r\n"
             "Conv = val + Val(Top) + Sinistra(Str, Mid) + Format: Variabile Chr\r\n"
             "Fine Funzione");
        // Line labels are names of their own: kept where they stand and
        // where jumped to, while the built-in of the same name stays a
        // keyword; the statements that may stand alone before ":" stay too.
        const char *righeEtichette =
            "On Error GoTo Err\r\nx = Err.Number: If x Then GoTo Fine Else Resume Err\r\n"
            "On x GoSub Err, Fine: Resume Next\r\nErr: MsgBox Err\r\nFine:\r\n"
            "Beep: Else: End:\r\nLoop: Stop:\r\n  Call f(a, _\r\n  Err:=1): Err:x: Print:";
        const char *elencoEtichette =
            "On Error GoTo>In caso di errore vai a|Err>Errore|GoTo>Vai a|GoSub>Esegui|If>Se|"
            "Then>Allora|Else>Altrimenti|Resume Next>Riprendi dopo|Resume>Riprendi|On>In base a|"
            "MsgBox>Messaggio|Fine>Termine|Beep>Suona|End>Fine|Loop>Ripeti|Stop>Ferma|"
            "Call>Chiama|Print>Stampa";
        riga("basic: etichette", righeEtichette, 0, true, true, elencoEtichette,
             "In caso di errore vai a Err\r\nx = Errore.Number: Se x Allora Vai a Fine Altrimenti "
             "Riprendi Err\r\nIn base a x Esegui Err, Fine: Riprendi dopo\r\nErr: Messaggio "
             "Errore\r\nFine:\r\nSuona: Altrimenti: Fine:\r\nRipeti: Ferma:\r\n  Chiama f(a, _\r\n"
             "  Errore:=1): Errore:x: Stampa:");
        riga("basic: etichette senza protezione", "Err: GoTo Err", 0, false, true,
             "Err>Errore|GoTo>Vai a", "Errore: Vai a Errore");
        riga("basic: Public Default Function", "Public Default Function Item(Key)\r\nItem = Key", 0,
             true, true,
             "End Function>Fine Funzione|Function>Funzione|Default>Predefinita|Key>Chiave",
             "Public Predefinita Funzione Item(Key)\r\nItem = Key");
        // Text for people and other programs' switches stay; a JScript half
        // opened by a comment on the first line is left alone.
        const char *perLePersone = "title Shutdown & shutdown /s\r\n"
                                   "wmic --type hdd -type x\r\n"
                                   "@cScript.EXE //job:x & call ::find 1 & echo.find\r\n";
        riga("batch: title e interruttori", perLePersone, 3, true, true, "=batch",
             "imposta il titolo Shutdown & spegni il computer /s\r\n"
             "interroga WMI --type hdd -type x\r\n"
             "@cScript.EXE //job:x & chiama ::find 1 & mostra.find\r\n");
        riga("batch: title con la sola protezione", "title Shutdown & shutdown", 3, true, false,
             "shutdown>spegni il computer|title>imposta il titolo",
             "imposta il titolo Shutdown & spegni il computer");
        const char *ibridoJScript =
            "0</* :\r\n@echo off\r\ncscript //e:jscript \"%~f0\"\r\n"
            "exit /b */0;\r\nswitch (x) { case '-title': if (y) break; }\r\n";
        riga("batch: metà JScript", ibridoJScript, 3, true, true, "=batch",
             "0</* :\r\nnascondi i comandi\r\nesegui lo script //e:jscript \"%~f0\"\r\n"
             "ritorna */0;\r\nswitch (x) { case '-title': if (y) break; }\r\n");
        // Batch strings and set values are data; C macro bodies are code.
        const char *stringhe =
            "set /p \"name=Please type a name\"\r\nset /p x=Please type a name\r\n"
            "if /i \"%a\" == \"Exit\" goto fine\r\nset \"log=Start\" & set x=Start& dir\r\n"
            "for /f \"tokens=1,2 delims=,\" %%a in ('dir /b') do type %%a\r\n"
            "if \"%x%\"==\"\" goto :fine\r\nstart \"\" \"%ProgramFiles%\\app.exe\"\r\n"
            "call \"%~dp0x.bat\"\r\nif x (set y=a dir) else type ^\"a dir\r\ntype \"a dir\r\ndir";
        riga("batch: stringhe e valori di set", stringhe, 3, true, true, "=batch",
             "leggi \"name=Please type a name\"\r\n"
             "leggi x=Please type a name\r\n"
             "se (senza distinguere le maiuscole) \"%a\"  è uguale a  \"Exit\" vai a fine\r\n"
             "imposta \"log=Start\" & imposta x=Start& elenca\r\n"
             "per ogni riga \"tokens=1,2 delims=,\" %%a in ('elenca /b') esegui mostra il file "
             "%%a\r\n"
             "se \"%x%\" è uguale a \"\" vai a :fine\r\n"
             "avvia \"\" \"%ProgramFiles%\\app.exe\"\r\n"
             "chiama \"%~dp0x.bat\"\r\n"
             "se x (imposta y=a dir) altrimenti mostra il file ^\"a elenca\r\n"
             "mostra il file \"a dir\r\n"
             "elenca");
        riga("batch: stringhe senza le opzioni", stringhe, 3, false, false, "=batch",
             "leggi \"name=Please mostra il file a name\"\r\n"
             "leggi x=Please mostra il file a name\r\n"
             "se (senza distinguere le maiuscole) \"%a\"  è uguale a  \"Exit\" vai a fine\r\n"
             "imposta \"log=Start\" & imposta x=Start& elenca\r\n"
             "per ogni riga \"tokens=1,2 delims=,\" %%a in ('dir /b') esegui mostra il file %%a\r\n"
             "se \"%x%\"==\"\" vai a :fine\r\n"
             "avvia \"\" \"%ProgramFiles%\\app.exe\"\r\n"
             "chiama \"%~dp0x.bat\"\r\n"
             "se x (imposta y=a elenca) altrimenti mostra il file ^\"a elenca\r\n"
             "mostra il file \"a elenca\r\n"
             "elenca");
        const char *macro =
            "#define EOF ((char) -1)\r\n#define MAX(a, b) ((a) > (b) ? \"if\" : (b)) "
            "/* if */\r\n#undef EOF\r\nint x = EOF;";
        riga("c: corpo di #define", macro, 2, true, true, "=c",
             "#definisci EOF ((carattere) -1)\r\n"
             "#definisci MAX(a, b) ((a) > (b) ? \"if\" : (b)) /* if */\r\n"
             "#annulla la definizione EOF\r\n"
             "intero x = fine del file;");
        riga("c: #define con la sola protezione", macro, 2, true, false, "=c",
             "#definisci EOF ((carattere) -1)\r\n"
             "#definisci MAX(a, b) ((a) > (b) ? \"if\" : (b)) /* if */\r\n"
             "#annulla la definizione EOF\r\n"
             "intero x = fine del file;");
        riga("c: #define senza le opzioni", macro, 2, false, false, "=c",
             "#definisci fine del file ((carattere) -1)\r\n"
             "#definisci MAX(a, b) ((a) > (b) ? \"if\" : (b)) /* se */\r\n"
             "#annulla la definizione fine del file\r\n"
             "intero x = fine del file;");
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
        const Voci voci = elenco == QLatin1String("=c")     ? ListaDelLinguaggio(Linguaggio::C)
                          : elenco == QLatin1String("=c++") ? ListaDelLinguaggio(Linguaggio::Cpp)
                          : elenco == QLatin1String("=batch")
                              ? ListaDelLinguaggio(Linguaggio::Batch)
                              : Elenco(elenco);
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
        const char *nomi[] = {"basic", "modulo", "c", "batch", "nessuno", "c++"};
        for (int t = 0; t < 6; ++t)
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
            // finds (each find reads the comments of the text as it is then,
            // the names as they were found and moved).
            const qsizetype da = gen.bounded(int(testo.size()) + 1);
            const Ricerca::Parola parola(voci[0].Trova, Pseudocodifica::Regole(regole),
                                         regole.Delimitazione());
            QCOMPARE(Pseudocodifica::Trova(testo, parola, da, {}, 4096, nullptr, &zone),
                     Modello::TrovaCodice(testo, voci[0].Trova, da, modello));
            QString cammino = testo;
            const QString attesoCammino = Modello::CamminoCodice(testo, voci, modello);
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
