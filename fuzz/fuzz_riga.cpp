// Fuzzer-chosen command lines of quadrivo-pseudo, run in this process from a
// fresh temporary folder holding a few documents and lists: the command never
// crashes and ends with 0, 1 or 2. Every argument is a name inside that
// folder (no "/", no ".."), so nothing is read or written outside it;
// standard input is empty and standard output and error are discarded
// (-close_fd_mask=3, set below).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

int QuadrivoPseudoMain(int argc, char *argv[]);

namespace {

const char *const Argomenti[] = {"--elenco",
                                 "--elenco=s.dat",
                                 "--elenco=p.dat",
                                 "--elenco=",
                                 "--pulizia",
                                 "--pulizia=p.dat",
                                 "--pulizia=",
                                 "-o",
                                 "-ouscita",
                                 "uscita",
                                 "--sul-posto",
                                 "-j",
                                 "-j2",
                                 "-j0",
                                 "2",
                                 "--linguaggio",
                                 "--linguaggio=basic",
                                 "--linguaggio=C",
                                 "--linguaggio=nessuno",
                                 "--linguaggio=x",
                                 "--proteggi",
                                 "--separatori-codice",
                                 "-h",
                                 "--help",
                                 "--version",
                                 "--",
                                 "-",
                                 "a.bas",
                                 "b.c",
                                 "c.txt",
                                 "d.bat",
                                 "manca.txt",
                                 "s.dat",
                                 "p.dat",
                                 "--x",
                                 "-x",
                                 ""};

// The documents and lists of the folder each command line runs in.
const struct
{
    const char *nome;
    QByteArray byte;
} File[] = {
    {"a.bas", "If a Then ' commento\r\nEnd If\r\n"},
    {"b.c", "/* x */ if (a) return \"b\";\n"},
    {"c.txt", "Caf\xe9 If x\rThen\n"},
    {"d.bat", "rem x\r\necho if\r\n"},
    // One substitution record (If -> Se) and one elimination record (x, whole).
    {"s.dat", QByteArray("\x02\x00If\x02\x00Se", 8) + QByteArray(120, '\0')},
    {"p.dat",
     QByteArray("\x01\x00x\x02\x00S\xec", 8) + QByteArray("\x01\x00", 2) + QByteArray(118, '\0')},
};

// A name safe to give: no folder separator, and never "..".
std::string Sicuro(std::string s)
{
    for (char &c : s)
        if (c == '/' || c == '\0') c = '_';
    for (size_t i; (i = s.find("..")) != std::string::npos;)
        s[i + 1] = '_';
    return s;
}

// The standard error as it was before libFuzzer discarded it.
FILE *errori = stderr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The command's own messages would flood the fuzzer's report.
    static std::vector<char *> argomenti(*argv, *argv + *argc);
    static char chiudi[] = "-close_fd_mask=3";
    argomenti.insert(argomenti.begin() + 1, chiudi);
    argomenti.push_back(nullptr);
    *argc = int(argomenti.size() - 1);
    *argv = argomenti.data();
    const int copia = dup(STDERR_FILENO);
    if (copia >= 0) errori = fdopen(copia, "w");
    if (!errori) errori = stderr;
    // Standard input reads as empty; the user's own lists are never found.
    const int nulla = open("/dev/null", O_RDONLY);
    if (nulla < 0 || dup2(nulla, STDIN_FILENO) < 0) std::abort();
    close(nulla);
    static QTemporaryDir casa(QDir::tempPath() + QStringLiteral("/quadrivo-fuzz-casa-XXXXXX"));
    if (!casa.isValid()) std::abort();
    setenv("HOME", qPrintable(casa.path()), 1);
    setenv("XDG_DATA_HOME", qPrintable(casa.path()), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati_, size_t dimensione)
{
    FuzzedDataProvider dati(dati_, dimensione);
    std::vector<std::string> argomenti{"quadrivo-pseudo"};
    for (int n = dati.ConsumeIntegralInRange(0, 8); n > 0; --n)
        argomenti.push_back(
            dati.ConsumeBool()
                ? std::string(
                      Argomenti[dati.ConsumeIntegralInRange<size_t>(0, std::size(Argomenti) - 1)])
                : Sicuro(dati.ConsumeRandomLengthString(16)));

    static const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    QTemporaryDir cartella(base + QStringLiteral("/quadrivo-fuzz-riga-XXXXXX"));
    if (!cartella.isValid()) std::abort();
    for (const auto &f : File) {
        QFile file(QDir(cartella.path()).filePath(QString::fromLatin1(f.nome)));
        if (!file.open(QIODevice::WriteOnly) || file.write(f.byte) != f.byte.size()) std::abort();
    }
    const QString prima = QDir::currentPath();
    if (!QDir::setCurrent(cartella.path())) std::abort();

    std::vector<char *> argv;
    for (std::string &a : argomenti)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int uscita = QuadrivoPseudoMain(int(argomenti.size()), argv.data());

    QDir::setCurrent(prima);
    if (uscita < 0 || uscita > 2) {
        std::fprintf(errori, "Exit status %d for:", uscita);
        for (const std::string &a : argomenti)
            std::fprintf(errori, " [%s]", a.c_str());
        std::fprintf(errori, "\n");
        std::fflush(errori);
        std::abort();
    }
    return 0;
}
