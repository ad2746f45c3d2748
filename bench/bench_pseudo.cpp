// The speed figures of the pseudocoding run, each measured side by side with
// its reference in the same run, printed as one table.
//
//   bench_pseudo QUADRIVO_PSEUDO [RIPETIZIONI]
//
// A 20 MB BASIC-like text (CR LF lines, Windows-1252) is generated in a
// temporary folder. The batch command turns it into pseudocode with the
// factory list and with a 100-entry list, against GNU sed (one whole-word,
// case-insensitive expression per entry) and perl (one pass with an
// alternation of all the words). One replacing pass of a rare word is timed
// against a case-insensitive QString::indexOf over the same text. Through
// the real windows (offscreen): open + automatic run + "&Salva" against one
// setPlainText of the same text, F3 against indexOf, start-up against a bare
// QMainWindow, and the process's peak memory. Every figure is the median of
// the repetitions.

#include "aiuti/AmbienteProva.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraPseudocodifica.h"
#include "finestre/FinestraTrova.h"
#include "nucleo/Contesto.h"
#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/pseudocodifica/MotoreElenco.h"
#include "nucleo/pseudocodifica/Pseudocodifica.h"
#include "nucleo/ricerca/Ricerca.h"
#include "nucleo/testo/CodificaAnsi.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Orologio = std::chrono::steady_clock;

double Mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Misura(int volte, const std::function<void()> &f)
{
    std::vector<double> tempi;
    for (int i = 0; i < volte; ++i) {
        const auto t0 = Orologio::now();
        f();
        tempi.push_back(std::chrono::duration<double>(Orologio::now() - t0).count());
    }
    return Mediana(tempi);
}

// Runs a program with its standard input and output redirected to files;
// false when it could not run or did not end with 0. `cpu` receives the
// processor time it used (user and system).
bool Lancia(const QStringList &argomenti, const QString &ingresso, const QString &uscita,
            double &cpu, double *picco = nullptr)
{
    std::vector<QByteArray> byte;
    for (const QString &a : argomenti)
        byte.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : byte)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_addopen(&azioni, 0, ingresso.toLocal8Bit().constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&azioni, 1, uscita.toLocal8Bit().constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    const int errore = posix_spawnp(&pid, argv[0], &azioni, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&azioni);
    if (errore != 0) return false;
    int stato = 0;
    rusage uso{};
    wait4(pid, &stato, 0, &uso);
    cpu = double(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
          double(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
    if (picco) *picco = double(uso.ru_maxrss) * 1024;
    return WIFEXITED(stato) && WEXITSTATUS(stato) == 0;
}

// BASIC forms and modules as they come: keywords, names, numbers, strings and
// comments in Italian with accented letters.
QString Sorgente(qsizetype caratteri)
{
    QRandomGenerator gen(1998);
    const QStringList nomi{"conta", "riga", "Totale", "i",      "j", "nome", "valore", "Text1",
                           "List1", "rs",   "Elenco", "buffer", "x", "y",    "indice", "Prezzo"};
    const QStringList commenti{"' ciclo più lento del previsto", "' qui si calcola l'età",
                               "' perché non funziona?", "' NOTE: to be rewritten",
                               "' città e attività"};
    auto nome = [&] {
        QString n = nomi[gen.bounded(int(nomi.size()))];
        if (gen.bounded(3) == 0) n += QString::number(gen.bounded(200));
        return n;
    };
    QString testo;
    testo.reserve(caratteri + 200);
    int procedura = 0;
    while (testo.size() < caratteri) {
        testo += QStringLiteral("Private Sub Command%1_Click()\r\n").arg(++procedura);
        testo += QStringLiteral("    Dim %1 As Integer, %2 As String\r\n").arg(nome(), nome());
        for (int k = int(gen.bounded(6)) + 2; k > 0; --k) {
            switch (gen.bounded(7)) {
            case 0:
                testo += QStringLiteral("    If %1 = \"\" Then Exit Sub\r\n").arg(nome());
                break;
            case 1:
                testo += QStringLiteral("    For %1 = 1 To %2.ListCount - 1\r\n        %3 = %3 + "
                                        "%1\r\n    Next %1\r\n")
                             .arg(nome(), nome(), nome());
                break;
            case 2:
                testo += QStringLiteral("    Do While Not EOF(1)\r\n        Line Input #1, %1\r\n "
                                        "   Loop\r\n")
                             .arg(nome());
                break;
            case 3:
                testo += QStringLiteral("    Do\r\n        %1 = %1 * 2\r\n    Loop Until %1 > "
                                        "%2\r\n")
                             .arg(nome(), QString::number(gen.bounded(1000)));
                break;
            case 4:
                testo += commenti[gen.bounded(int(commenti.size()))] + QStringLiteral("\r\n");
                break;
            case 5:
                testo +=
                    QStringLiteral("    MsgBox \"Valore non valido: \" & %1, vbExclamation\r\n")
                        .arg(nome());
                break;
            default:
                testo += QStringLiteral("    While %1 < 10: %1 = %1 + 1: Wend\r\n").arg(nome());
                break;
            }
        }
        testo += QStringLiteral("End Sub\r\n\r\n");
    }
    testo.truncate(caratteri);
    return testo;
}

// The factory list and 92 more BASIC words: most occur in the text, some never.
QVector<VoceSostituzione> CentoVoci()
{
    QVector<VoceSostituzione> voci = SostituzioniPredefinite();
    const char *parole[] = {
        "Sub",      "End",     "Dim",       "As",     "Integer", "String",   "Next",     "Loop",
        "Private",  "Exit",    "Line",      "Input",  "Wend",    "MsgBox",   "EOF",      "Public",
        "Function", "Call",    "Set",       "Else",   "ElseIf",  "Select",   "Case",     "With",
        "Me",       "Nothing", "True",      "False",  "And",     "Or",       "Print",    "Open",
        "Close",    "Get",     "Put",       "Long",   "Boolean", "Double",   "Single",   "Byte",
        "Variant",  "Object",  "New",       "Const",  "ReDim",   "Preserve", "Each",     "In",
        "Step",     "GoTo",    "GoSub",     "Return", "Static",  "Type",     "Property", "Let",
        "Optional", "ByVal",   "ByRef",     "Is",     "Like",    "Mod",      "Xor",      "Eqv",
        "Imp",      "Len",     "Mid",       "Left",   "Right",   "Trim",     "UCase",    "LCase",
        "Val",      "Str",     "Chr",       "Asc",    "Date",    "Time",     "Now",      "Timer",
        "Format",   "Error",   "Resume",    "Event",  "Raise",   "Friend",   "Global",   "Declare",
        "Lib",      "Alias",   "Attribute", "Option"};
    for (const char *p : parole)
        voci.append(
            {QString::fromLatin1(p), QString::fromLatin1(p).toLower() + QStringLiteral("_it")});
    return voci;
}

// One whole-word, case-insensitive expression per entry, in the file's bytes.
QByteArray ScriptSed(const QVector<VoceSostituzione> &voci)
{
    QByteArray s;
    for (const VoceSostituzione &v : voci)
        s += "s/\\b" + CodificaAnsi::Codifica(v.Trova) + "\\b/" +
             CodificaAnsi::Codifica(v.Sostituisci) + "/gI\n";
    return s;
}

// One pass with an alternation of every word, each looked up in a table.
QByteArray ScriptPerl(const QVector<VoceSostituzione> &voci)
{
    QByteArray tabella, alternativa;
    for (const VoceSostituzione &v : voci) {
        tabella += "'" + CodificaAnsi::Codifica(v.Trova.toLower()) + "'=>'" +
                   CodificaAnsi::Codifica(v.Sostituisci) + "',";
        if (!alternativa.isEmpty()) alternativa += '|';
        alternativa += CodificaAnsi::Codifica(v.Trova);
    }
    return "BEGIN { %t = (" + tabella + "); }\ns/\\b(" + alternativa + ")\\b/$t{lc $1}/gi;\n";
}

// Code of a language as its programs have it: statements drawn from a pool
// of the usual ones, with names, numbers, comments and strings, CR LF lines.
QString Codice(Linguaggio linguaggio, qsizetype caratteri)
{
    QRandomGenerator gen(2027);
    const QStringList nomi{"conta", "riga", "Totale", "i",    "nome",   "valore", "buffer",
                           "rs",    "x",    "indice", "file", "Prezzo", "lista",  "elenco"};
    QStringList righe;
    switch (linguaggio) {
    case Linguaggio::Basic:
        righe = {"Private Sub %1_Click()",
                 "    Dim %1 As Long, %2 As String",
                 "    On Error GoTo Errore",
                 "    If %1 > 0 Then",
                 "        %2 = Left$(%2, %1) & Mid$(%3, 2)",
                 "    Else",
                 "        Debug.Print \"valore: \" & %1",
                 "    End If",
                 "    For %1 = 1 To UBound(%2)",
                 "    Next %1",
                 "    Do While Not EOF(1)",
                 "        Line Input #1, %2",
                 "    Loop",
                 "    Set %1 = Nothing",
                 "    ' se il valore è vuoto si esce",
                 "    Select Case %1",
                 "        Case 1: %2 = \"uno\"",
                 "        Case Else",
                 "    End Select",
                 "    %1.Close",
                 "    MsgBox \"Errore \" & Err.Description, vbExclamation",
                 "    Exit Sub",
                 "Errore:",
                 "    Resume Next",
                 "End Sub",
                 "Public Function %1(ByVal %2 As Integer) As Boolean",
                 "    %1 = Trim$(%2) <> \"\"",
                 "End Function"};
        break;
    case Linguaggio::Batch:
        righe = {"@echo off",
                 "setlocal enabledelayedexpansion",
                 "rem copia i file di %1",
                 "set %1=%2",
                 "if /i \"%~1\"==\"\" goto :eof",
                 "if not exist \"%%1%\\%2\" mkdir \"%%1%\\%2\"",
                 "for /f \"tokens=*\" %%a in ('dir /b %1') do echo %%a",
                 "call :%1 %2",
                 "echo.",
                 "echo Copia di %1 in corso...",
                 "copy /y %1 %2 > nul",
                 "if %errorlevel% neq 0 exit /b 1",
                 "goto %1",
                 ":%1",
                 "set /a %1=%1+1",
                 "del /q %1",
                 "pause",
                 "endlocal"};
        break;
    default:
        righe = {"#include <stdio.h>",
                 "#define MAX_%1 64",
                 "static int %1(const char *%2, size_t %3)",
                 "{",
                 "    unsigned long %1 = 0;",
                 "    if (%1 == NULL) return -1;",
                 "    else if (%2 > %3) %1++;",
                 "    for (int %1 = 0; %1 < %2; %1++) {",
                 "        printf(\"%s: %d\\n\", %2, %1); /* stampa */",
                 "    }",
                 "    while (%1-- > 0) free(%2);",
                 "    // controlla la lunghezza",
                 "    %1 = strlen(%2);",
                 "    memcpy(%1, %2, sizeof(%3));",
                 "    switch (%1) {",
                 "    case 1: break;",
                 "    default: return 0;",
                 "    }",
                 "    return %1;",
                 "}",
                 "#if defined(%1)",
                 "#endif",
                 "typedef struct { int %1; double %2; } %3;"};
        break;
    }
    QString testo;
    testo.reserve(caratteri + 200);
    while (testo.size() < caratteri) {
        QString riga = righe[gen.bounded(int(righe.size()))];
        for (const char *segno : {"%1", "%2", "%3"})
            riga.replace(QLatin1String(segno), nomi[gen.bounded(int(nomi.size()))]);
        testo += riga + QStringLiteral("\r\n");
    }
    testo.truncate(testo.lastIndexOf(QLatin1Char('\n'), caratteri - 1) + 1);
    return testo;
}

// One pass with an alternation of every word of a list, each written as it
// is (any character but a letter, a digit or "_" escaped), whole words only.
QByteArray ScriptPerlParole(const QVector<VoceSostituzione> &voci)
{
    const auto letterale = [](const QByteArray &parola) {
        QByteArray r;
        for (char c : parola) {
            if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
                  static_cast<unsigned char>(c) >= 128))
                r += '\\';
            r += c;
        }
        return r;
    };
    QByteArray tabella, alternativa;
    for (const VoceSostituzione &v : voci) {
        tabella += "'" + CodificaAnsi::Codifica(v.Trova.toLower()).replace("'", "\\'") + "'=>'" +
                   CodificaAnsi::Codifica(v.Sostituisci).replace("'", "\\'") + "',";
        if (!alternativa.isEmpty()) alternativa += '|';
        alternativa += letterale(CodificaAnsi::Codifica(v.Trova));
    }
    return "BEGIN { %t = (" + tabella + "); }\ns/(?<!\\w)(" + alternativa +
           ")(?!\\w)/$t{lc $1}/gi;\n";
}

void Scrivi(const QString &percorso, const QByteArray &byte)
{
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly) || f.write(byte) != byte.size()) {
        std::fprintf(stderr, "impossibile scrivere %s\n", qPrintable(percorso));
        std::exit(1);
    }
}

struct Riga
{
    QString figura;
    double nostro, riferimento;
    bool piuVeloce; // the target is a speed-up (reference / ours), else a bound (ours / reference)
    double obiettivo;  // 0: shown for diagnosis, no target
    bool byte = false; // the figures are sizes in bytes, not times
};

QString Tempo(double secondi)
{
    return secondi >= 1 ? QStringLiteral("%1 s").arg(secondi, 0, 'f', 2)
                        : QStringLiteral("%1 ms").arg(secondi * 1000, 0, 'f', 1);
}

QString Dimensione(double byte)
{
    return QStringLiteral("%1 MB").arg(byte / (1 << 20), 0, 'f', 0);
}

// ---------------------------------------------------------------------------
// The windows. Every reach into the main window and the run window is in
// this one function, so that a change in how they are reached stays here.

enum class Azione {
    Apri,           // "&Apri..." on `argomento`
    Pseudocodifica, // the run window, "&Avvia pseudocod. automatica", "&Chiudi"
    Salva,          // "&Salva"
    Ripeti,         // F3 for the word `argomento`, from the start of the text
    Testo,          // the editor's whole text becomes `argomento`
};

void Finestra(FinestraPrincipale &f, Azione azione, const QString &argomento = {})
{
    switch (azione) {
    case Azione::Apri:
        Copione::RispondiFile(argomento);
        Comando(f, "azioneApri")->trigger();
        break;
    case Azione::Pseudocodifica: {
        Copione::RispondiMessaggio(Piattaforma::Risposta::OK); // the start check
        Comando(f, "azioneAvviaPseudocodifica")->trigger();
        auto *p = qobject_cast<FinestraPseudocodifica *>(f.FinestraPseudocodificaAperta());
        if (!p) {
            std::fprintf(stderr, "la finestra della pseudocodifica non si è aperta\n");
            std::exit(1);
        }
        Copione::RispondiMessaggio(Piattaforma::Risposta::OK); // "Pseudocodificazione terminata."
        p->BottoneAvviaAutomatica->click();
        p->BottoneChiudi->click();
        break;
    }
    case Azione::Salva:
        Comando(f, "azioneSalva")->trigger();
        break;
    case Azione::Ripeti:
        f.DialogoTrova()->TestoDaTrovare->setText(argomento);
        f.Condiviso().PosRicerca = Ricerca::PosizioneRicerca::Su(0);
        f.Editor()->SetSelStart(0);
        Comando(f, "azioneRipetiTrova")->trigger();
        break;
    case Azione::Testo:
        f.Editor()->SetText(argomento);
        break;
    }
    if (Copione::SenzaRisposta() != 0 || Copione::RisposteAvanzate() != 0) {
        std::fprintf(stderr, "una finestra di messaggio inattesa\n");
        std::exit(1);
    }
}

// A main window started as the program starts it, over its own list folder.
FinestraPrincipale &Avvia(AmbienteProva &amb, const QVector<VoceSostituzione> &voci)
{
    amb.ScriviElenchi(voci);
    FinestraPrincipale &f = amb.Avvia();
    f.show();
    QCoreApplication::processEvents();
    return f;
}

double Secondi(Orologio::time_point t0)
{
    return std::chrono::duration<double>(Orologio::now() - t0).count();
}

// Open + automatic run + save through the windows, against one setPlainText
// of the same text into a bare editor; `atteso` is what the batch command
// wrote for the same file and list.
// Processor time of this process so far (every thread), in seconds.
double CpuProcesso()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct TempiFinestre
{
    double parete, cpu, pareteRif, cpuRif;
};
TempiFinestre AperturaPseudocodificaSalvataggio(int volte, const QByteArray &file,
                                                const QString &testo,
                                                const QVector<VoceSostituzione> &voci,
                                                const QByteArray &atteso)
{
    std::vector<double> nostro, riferimento, cpu, cpuRif;
    for (int i = 0; i < volte; ++i) {
        {
            AmbienteProva amb;
            FinestraPrincipale &f = Avvia(amb, voci);
            amb.ScriviFile(QStringLiteral("modulo.bas"), file);
            const QString modulo = amb.Percorso(QStringLiteral("modulo.bas"));
            const auto t0 = Orologio::now();
            const double c0 = CpuProcesso();
            Finestra(f, Azione::Apri, modulo);
            const double apri = Secondi(t0);
            Finestra(f, Azione::Pseudocodifica);
            const double pseudo = Secondi(t0) - apri;
            Finestra(f, Azione::Salva);
            QCoreApplication::processEvents();
            nostro.push_back(Secondi(t0));
            cpu.push_back(CpuProcesso() - c0);
            std::fprintf(stderr, "  apri %.2f s, pseudocodifica %.2f s, salva %.2f s\n", apri,
                         pseudo, nostro.back() - apri - pseudo);
            if (AmbienteProva::LeggiFile(modulo) != atteso)
                std::fprintf(stderr, "attenzione: le finestre hanno scritto un risultato diverso "
                                     "da quello di quadrivo-pseudo\n");
        }
        QPlainTextEdit editor;
        editor.show();
        QCoreApplication::processEvents();
        const auto t0 = Orologio::now();
        const double c0 = CpuProcesso();
        editor.setPlainText(testo);
        QCoreApplication::processEvents();
        riferimento.push_back(Secondi(t0));
        cpuRif.push_back(CpuProcesso() - c0);
    }
    return {Mediana(nostro), Mediana(cpu), Mediana(riferimento), Mediana(cpuRif)};
}

// F3 for a word found only at the end of a 20 MB text, against indexOf.
std::pair<double, double> RipetiRicerca(int volte, const QString &testo)
{
    const QString parola = QStringLiteral("Segnaposto");
    const QString documento = testo + QStringLiteral("' ") + parola + QStringLiteral("\r\n");
    AmbienteProva amb;
    FinestraPrincipale &f = Avvia(amb, SostituzioniPredefinite());
    Finestra(f, Azione::Testo, documento);
    std::vector<double> nostro, riferimento;
    for (int i = 0; i < volte; ++i) {
        auto t0 = Orologio::now();
        Finestra(f, Azione::Ripeti, parola);
        nostro.push_back(Secondi(t0));
        t0 = Orologio::now();
        if (documento.indexOf(parola, 0, Qt::CaseInsensitive) < testo.size()) std::exit(1);
        riferimento.push_back(Secondi(t0));
    }
    return {Mediana(nostro), Mediana(riferimento)};
}

// The main window from construction to shown, against a bare QMainWindow.
std::pair<double, double> Avvio(int volte)
{
    std::vector<double> nostro, riferimento;
    for (int i = 0; i <= volte; ++i) { // the first round warms up both
        {
            AmbienteProva amb;
            amb.ScriviElenchi(SostituzioniPredefinite());
            const auto t0 = Orologio::now();
            amb.Avvia().show();
            QCoreApplication::processEvents();
            if (i > 0) nostro.push_back(Secondi(t0));
        }
        const auto t0 = Orologio::now();
        QMainWindow finestra;
        finestra.show();
        QCoreApplication::processEvents();
        if (i > 0) riferimento.push_back(Secondi(t0));
    }
    return {Mediana(nostro), Mediana(riferimento)};
}

// The screen, in twips, of the start-up figures: the main window takes it
// all but 1300 twips each way.
const QSize SchermoAvvio(19200, 14400);

// The same, each a whole process from its start to the window shown: this
// program started again with --avvio, so that both load the same libraries.
struct TempiAvvio
{
    double parete, cpu, pareteNuda, cpuNuda, cpuNudaGrande;
};
TempiAvvio AvvioProcesso(int volte, const char *programma)
{
    AmbienteProva liste; // the list folder the program finds at start-up
    liste.ScriviElenchi(SostituzioniPredefinite());
    std::vector<double> parete, cpu, pareteNuda, cpuNuda, cpuGrande;
    const auto lancia = [&](const char *quale, std::vector<double> *tempo,
                            std::vector<double> *tempoCpu) {
        double c = 0;
        const auto t0 = Orologio::now();
        if (!Lancia({QString::fromLocal8Bit(programma), QStringLiteral("--avvio"),
                     QString::fromLatin1(quale), liste.Cartella()},
                    QStringLiteral("/dev/null"), QStringLiteral("/dev/null"), c))
            std::exit(1);
        if (tempo) tempo->push_back(Secondi(t0));
        if (tempoCpu) tempoCpu->push_back(c);
    };
    lancia("quadrivo", nullptr, nullptr); // warms the caches for both
    lancia("nuda", nullptr, nullptr);
    // One of each in turn, so that a change in the machine's load falls on
    // both sides alike.
    for (int i = 0; i < 3 * volte; ++i) {
        lancia("quadrivo", &parete, &cpu);
        lancia("nuda", &pareteNuda, &cpuNuda);
        lancia("grande", nullptr, &cpuGrande);
    }
    return {Mediana(parete), Mediana(cpu), Mediana(pareteNuda), Mediana(cpuNuda),
            Mediana(cpuGrande)};
}

// The child of AvvioProcesso: the program started as its main() starts it,
// over the list folder `cartella` (message boxes scripted, none expected), or
// a bare QMainWindow ("grande": as large as the program's on this screen);
// shown, and the process ends.
int SoloAvvio(QApplication &applicazione, const char *quale, const char *cartella)
{
    if (std::strcmp(quale, "quadrivo") == 0) {
        Piattaforma::PreparaApplicazione(applicazione);
        Copione::Attiva();
        Copione::ImpostaSchermo(SchermoAvvio);
        Contesto stato(QString::fromLocal8Bit(cartella));
        FinestraPrincipale finestra(stato);
        if (!finestra.Avvia()) return 1;
        finestra.show();
        QCoreApplication::processEvents();
        if (Copione::SenzaRisposta() != 0) return 1;
    } else {
        QMainWindow finestra;
        if (std::strcmp(quale, "grande") == 0)
            finestra.resize(Piattaforma::Pixel(SchermoAvvio.width() - 1300),
                            Piattaforma::Pixel(SchermoAvvio.height() - 1300));
        finestra.show();
        QCoreApplication::processEvents();
    }
    return 0;
}

// The most memory the process has held, in bytes.
double MemoriaMassima()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return double(uso.ru_maxrss) * 1024;
}

// The window figures, appended to `righe`.
void FigureFinestre(std::vector<Riga> &righe, int volte, const QString &comando,
                    const QByteArray &file, const QString &testo,
                    const std::function<QString(const char *)> &P, const char *programma)
{
    for (const char *elenco : {"otto", "cento"}) {
        std::fprintf(stderr, "Finestre, elenco di %s voci: apri, pseudocodifica, salva...\n",
                     elenco);
        const QString e = QString::fromLatin1(elenco);
        double cpu = 0;
        if (!Lancia({comando, "--elenco", P(elenco) + ".dat", P("modulo.bas")}, P("modulo.bas"),
                    P("atteso"), cpu))
            std::exit(1);
        QFile atteso(P("atteso"));
        if (!atteso.open(QIODevice::ReadOnly)) std::exit(1);
        const TempiFinestre t = AperturaPseudocodificaSalvataggio(
            volte, file, testo, e == "otto" ? SostituzioniPredefinite() : CentoVoci(),
            atteso.readAll());
        const int voci = e == "otto" ? 8 : 100;
        righe.push_back(
            {QStringLiteral("finestre, %1 voci: apri+autom.+salva / setPlainText, reale").arg(voci),
             t.parete, t.pareteRif, false, 2.5});
        righe.push_back(
            {QStringLiteral("finestre, %1 voci: apri+autom.+salva / setPlainText, CPU").arg(voci),
             t.cpu, t.cpuRif, false, 2.5});
    }
    std::fprintf(stderr, "Finestre: F3, avvio...\n");
    const auto [f3, indexOf] = RipetiRicerca(volte, testo);
    righe.push_back({QStringLiteral("F3 su 20 MB / indexOf"), f3, indexOf, false, 5});
    const auto [avvio, nudo] = Avvio(volte);
    // For diagnosis only: an empty window costs a fraction of a millisecond.
    righe.push_back(
        {QStringLiteral("avvio nel processo / QMainWindow vuota"), avvio, nudo, false, 0});
    const TempiAvvio processo = AvvioProcesso(volte, programma);
    righe.push_back({QStringLiteral("avvio di un processo / QMainWindow vuota, reale"),
                     processo.parete, processo.pareteNuda, false, 1.5});
    righe.push_back({QStringLiteral("avvio di un processo / QMainWindow vuota, CPU"), processo.cpu,
                     processo.cpuNuda, false, 1.5});
    // For diagnosis: a bare window as large as the program's pays the same
    // backing store (about 4 MB, a page fault for every 4 KB) on its first paint.
    righe.push_back({QStringLiteral("avvio di un processo / QMainWindow vuota grande, CPU"),
                     processo.cpu, processo.cpuNudaGrande, false, 0});
    righe.push_back({QStringLiteral("memoria massima del processo (finestre, 20 MB) / 1 GB"),
                     MemoriaMassima(), double(1 << 30), false, 1, true});
}

// The automatic run of the factory list over the text read as BASIC, with
// comments and strings left alone, against the same run without.
// The draft people use: the ready list of a language with both code options,
// on code of that language, against one perl pass over the same words; how
// the time grows from 5 MB to 20 MB, and the peak memory against the file.
void FigureListePronte(std::vector<Riga> &righe, int volte, const QString &comando,
                       const std::function<QString(const char *)> &P)
{
    struct Lingua
    {
        const char *nome, *opzione, *file5, *file20, *perl;
        Linguaggio linguaggio;
    };
    for (const Lingua &l :
         {Lingua{"BASIC", "basic", "codice5.bas", "codice20.bas", "basic.pl", Linguaggio::Basic},
          Lingua{"C", "c", "codice5.c", "codice20.c", "c.pl", Linguaggio::C},
          Lingua{"batch", "batch", "codice5.bat", "codice20.bat", "batch.pl", Linguaggio::Batch}}) {
        std::fprintf(stderr, "Elenco pronto %s con le opzioni del codice, perl...\n", l.nome);
        Scrivi(P(l.file5), CodificaAnsi::Codifica(Codice(l.linguaggio, 5 << 20)));
        Scrivi(P(l.file20), CodificaAnsi::Codifica(Codice(l.linguaggio, 20 << 20)));
        Scrivi(P(l.perl), ScriptPerlParole(ListaDelLinguaggio(l.linguaggio)));
        const QString lingua = QString::fromLatin1(l.opzione);
        const auto cpu = [&](const QStringList &argomenti, const char *file, double *picco) {
            std::vector<double> tempi, picchi;
            for (int i = 0; i < volte; ++i) {
                double c = 0, m = 0;
                if (!Lancia(argomenti, P(file), P("uscita"), c, &m)) {
                    std::fprintf(stderr, "non riuscito: %s\n", qPrintable(argomenti.join(' ')));
                    std::exit(1);
                }
                tempi.push_back(c);
                picchi.push_back(m);
            }
            if (picco) *picco = Mediana(picchi);
            return Mediana(tempi);
        };
        const QStringList nostro{comando,      "--elenco",
                                 lingua,       "--linguaggio=" + lingua,
                                 "--proteggi", "--separatori-codice"};
        double picco = 0;
        const double venti = cpu(nostro, l.file20, &picco);
        const double cinque = cpu(nostro, l.file5, nullptr);
        const double perl = cpu({"perl", "-p", P(l.perl)}, l.file20, nullptr);
        const QString nome = QString::fromLatin1(l.nome);
        righe.push_back(
            {QStringLiteral("20 MB %1, elenco pronto e opzioni del codice / perl, CPU").arg(nome),
             venti, perl, true, 10});
        righe.push_back({QStringLiteral("%1, elenco pronto: 20 MB / 5 MB, CPU").arg(nome), venti,
                         cinque, false, 4.6});
        righe.push_back({QStringLiteral("%1, elenco pronto: picco di memoria / file").arg(nome),
                         picco, double(QFileInfo(P(l.file20)).size()), false, 4, true});
    }
}

void RigaProtezione(const QString &testo, int volte, std::vector<Riga> &righe)
{
    std::fprintf(stderr, "Pseudocodifica automatica con e senza protezione...\n");
    const QVector<VoceSostituzione> otto = SostituzioniPredefinite();
    RegoleCodice protette;
    protette.proteggi = true;
    protette.tipo = {Linguaggio::Basic, false};
    const double senza = Misura(volte, [&] {
        QString t = testo;
        Pseudocodifica::Percorso(otto).Automatica(t);
    });
    const double con = Misura(volte, [&] {
        QString t = testo;
        Pseudocodifica::Percorso(otto, protette).Automatica(t);
    });
    righe.push_back(
        {QStringLiteral("automatica 8 voci, protezione / senza"), con, senza, false, 1.5});
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_pseudo QUADRIVO_PSEUDO [RIPETIZIONI]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication applicazione(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--avvio") == 0)
        return SoloAvvio(applicazione, argv[2], argv[3]);
    const QString comando = QString::fromLocal8Bit(argv[1]);
    const int volte = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QTemporaryDir cartella;
    auto P = [&](const char *nome) { return cartella.filePath(QString::fromLatin1(nome)); };
    std::vector<Riga> righe;
    // "--liste-pronte" after the repetitions: only the rows of the ready lists.
    const bool soloListe = argc > 3 && std::strcmp(argv[3], "--liste-pronte") == 0;
    const QString rara = QStringLiteral("Prezzo7"); // one name in about 10000
    qsizetype trovate = 0;
    if (soloListe) {
        qputenv("LC_ALL", "C");
        FigureListePronte(righe, volte, comando, P);
    } else {

        std::fprintf(stderr, "Preparazione del testo di 20 MB...\n");
        const QString testo = Sorgente(20 << 20);
        const QByteArray file = CodificaAnsi::Codifica(testo);
        Scrivi(P("modulo.bas"), file);
        const QVector<VoceSostituzione> otto = SostituzioniPredefinite(), cento = CentoVoci();
        Scrivi(P("otto.dat"), Record::Unisci(otto));
        Scrivi(P("cento.dat"), Record::Unisci(cento));
        Scrivi(P("otto.sed"), ScriptSed(otto));
        Scrivi(P("cento.sed"), ScriptSed(cento));
        Scrivi(P("otto.pl"), ScriptPerl(otto));
        Scrivi(P("cento.pl"), ScriptPerl(cento));
        qputenv("LC_ALL", "C"); // sed and perl work on the bytes, as the text is Windows-1252

        // Wall-clock and processor time of a whole process, medians.
        struct Tempi
        {
            double parete, cpu;
        };
        auto processo = [&](const QStringList &argomenti) {
            std::vector<double> cpu;
            const double parete = Misura(volte, [&] {
                double c = 0;
                if (!Lancia(argomenti, P("modulo.bas"), P("uscita"), c)) {
                    std::fprintf(stderr, "non riuscito: %s\n", qPrintable(argomenti.join(' ')));
                    std::exit(1);
                }
                cpu.push_back(c);
            });
            return Tempi{parete, Mediana(cpu)};
        };
        for (const char *elenco : {"otto", "cento"}) {
            const QString e = QString::fromLatin1(elenco);
            std::fprintf(stderr, "Elenco di %s voci: quadrivo-pseudo, sed, perl...\n", elenco);
            const Tempi nostro =
                processo({comando, "--elenco", P(elenco) + ".dat", P("modulo.bas")});
            const Tempi sed = processo({"sed", "-f", P(elenco) + ".sed"});
            const Tempi perl = processo({"perl", "-p", P(elenco) + ".pl"});
            const QString voci =
                e == "otto" ? QStringLiteral("8 voci") : QStringLiteral("100 voci");
            for (const auto &[nome, rif, obiettivo] :
                 {std::tuple{"sed", sed, 10.0}, std::tuple{"perl", perl, 3.0}}) {
                righe.push_back({QStringLiteral("20 MB, %1 / %2, tempo reale").arg(voci, nome),
                                 nostro.parete, rif.parete, true, obiettivo});
                righe.push_back({QStringLiteral("20 MB, %1 / %2, tempo di CPU").arg(voci, nome),
                                 nostro.cpu, rif.cpu, true, obiettivo});
            }
        }

        std::fprintf(stderr, "Una parola rara, una passata...\n");
        const double indexOf = Misura(volte, [&] {
            trovate = 0;
            for (qsizetype i = testo.indexOf(rara, 0, Qt::CaseInsensitive); i >= 0;
                 i = testo.indexOf(rara, i + rara.size(), Qt::CaseInsensitive))
                ++trovate;
        });
        const double passata = Misura(volte, [&] {
            const auto esito =
                Ricerca::SostituisciOccorrenze(testo, rara, QStringLiteral("Fine Mentre"),
                                               Ricerca::Confronto::PerSostituzione(0, 1));
            if (esito.sostituzioni == 0) std::exit(1);
        });
        const MotoreElenco soloRara({{rara, QStringLiteral("Fine Mentre")}});
        const double motore = Misura(volte, [&] {
            qsizetype conta = 0;
            soloRara.Applica(testo, &conta);
            if (conta == 0) std::exit(1);
        });
        righe.push_back({QStringLiteral("parola rara, una passata (finestra) / indexOf"), passata,
                         indexOf, false, 2});
        righe.push_back({QStringLiteral("parola rara, una passata (elenco) / indexOf"), motore,
                         indexOf, false, 2});

        RigaProtezione(testo, volte, righe);
        FigureListePronte(righe, volte, comando, P);
        FigureFinestre(righe, volte, comando, file, testo, P, argv[0]);
    }

    const QString titolo = QStringLiteral("%1 | %2 | %3 | %4 | %5 | %6")
                               .arg(QStringLiteral("Misura"), -60)
                               .arg(QStringLiteral("Quadrivo"), 9)
                               .arg(QStringLiteral("Riferim."), 9)
                               .arg(QStringLiteral("Rapporto"), 8)
                               .arg(QStringLiteral("Obiettivo"), 9)
                               .arg(QStringLiteral("Raggiunto"));
    std::printf("\n%s\n%s\n", qPrintable(titolo), qPrintable(QString(titolo.size(), '-')));
    int raggiunti = 0, obiettivi = 0;
    for (const Riga &r : righe) {
        const double rapporto = r.piuVeloce ? r.riferimento / r.nostro : r.nostro / r.riferimento;
        const bool raggiunto = r.piuVeloce ? rapporto >= r.obiettivo : rapporto <= r.obiettivo;
        const QString nessuno = QStringLiteral("—");
        raggiunti += r.obiettivo > 0 && raggiunto;
        obiettivi += r.obiettivo > 0;
        std::printf(
            "%s\n",
            qPrintable(QStringLiteral("%1 | %2 | %3 | %4 | %5 | %6")
                           .arg(r.figura, -60)
                           .arg(r.byte ? Dimensione(r.nostro) : Tempo(r.nostro), 9)
                           .arg(r.byte ? Dimensione(r.riferimento) : Tempo(r.riferimento), 9)
                           .arg(QStringLiteral("%1×").arg(rapporto, 0, 'f', 1), 8)
                           .arg(r.obiettivo == 0 ? nessuno
                                                 : (r.piuVeloce ? QStringLiteral("≥ %1×")
                                                                : QStringLiteral("≤ %1×"))
                                                       .arg(r.obiettivo),
                                9)
                           .arg(r.obiettivo == 0 ? nessuno
                                : raggiunto      ? QStringLiteral("sì")
                                                 : QStringLiteral("no"))));
    }
    std::printf("\nMediane di %d prove. Tempo reale: dall'avvio alla fine del processo; tempo di "
                "CPU: il tempo di processore che ha usato\n(utente e sistema), meno sensibile al "
                "carico della macchina. %lld occorrenze di \"%s\" nel testo.\n",
                volte, qlonglong(trovate), qPrintable(rara));
    std::printf("Obiettivi raggiunti: %d di %d.\n", raggiunti, obiettivi);
    return 0;
}
