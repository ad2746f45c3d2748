// quadrivo-pseudo: turns whole files into pseudocode with the substitution
// list, giving the bytes the program writes for them.

#include "nucleo/Opzioni.h"
#include "cli/AlberoFile.h"
#include "cli/PianoUscita.h"
#include "nucleo/elenchi/CartellaListe.h"
#include "nucleo/elenchi/ElenchiLinguaggio.h"
#include "nucleo/elenchi/FormatoElenco.h"
#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/TestoElenco.h"
#include "nucleo/pseudocodifica/Lotto.h"
#include "nucleo/pseudocodifica/MotoreAnsi.h"
#include "nucleo/pseudocodifica/MotoreElenco.h"
#include "nucleo/pseudocodifica/ParoleNonTradotte.h"
#include "nucleo/testo/CopiaOriginale.h"
#include "nucleo/testo/Documento.h"
#include "nucleo/testo/LettoreRtf.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const char *const Nome = "quadrivo-pseudo";

const char *const Uso =
    "Uso: quadrivo-pseudo [--elenco ELENCO|basic|c|c++|batch|auto]\n"
    "                     [--pulizia[=PULIZIA.dat|auto]]\n"
    "                     [-o CARTELLA | --sul-posto [--copia | --senza-copia]\n"
    "                      | --parole-non-tradotte] [-j N]\n"
    "                     [--linguaggio=basic|c|c++|batch|nessuno]\n"
    "                     [--proteggi | --no-proteggi]\n"
    "                     [--separatori-codice | --no-separatori-codice]\n"
    "                     [--elenco-per-linguaggio | --no-elenco-per-linguaggio]\n"
    "                     [-r] [-v] [FILE...]\n";

const char *const Aiuto =
    "\n"
    "Trasforma i FILE in una prima stesura di pseudocodice con l'elenco delle\n"
    "sostituzioni, come fa Quadrivo, senza aprire finestre.\n"
    "\n"
    "Il risultato è, byte per byte, quello che Quadrivo scrive con \"Salva\" dopo\n"
    "aver aperto il file, fatto la pulizia (solo con --pulizia) e la\n"
    "pseudocodificazione automatica con tutto l'elenco: il testo è letto allo\n"
    "stesso modo (UTF-8, UTF-16 con il suo BOM o Windows-1252), ogni riga\n"
    "finisce con CR LF, alla fine c'è un CR LF in più, e il testo è scritto\n"
    "nella codifica del file letto (in UTF-8 se Windows-1252 non basta).\n"
    "\n"
    "Con un solo FILE, con nessuno o con \"-\" il testo viene dallo standard input\n"
    "(\"-\" o nessun FILE) e il risultato va sullo standard output. Con più file\n"
    "serve -o oppure --sul-posto.\n"
    "\n"
    "Opzioni:\n"
    "  --elenco ELENCO    l'elenco delle sostituzioni da usare: un file .dat di\n"
    "                     Quadrivo, oppure un elenco di testo come lo esportano gli\n"
    "                     editor degli elenchi (UTF-8, una voce per riga, un tab\n"
    "                     tra la parola e la traduzione), riconosciuto dal\n"
    "                     contenuto; basic, c, c++ (o cpp) o batch: l'elenco pronto\n"
    "                     di quel linguaggio (per un file con uno di questi nomi:\n"
    "                     ./basic);\n"
    "                     auto: per ogni file l'elenco del suo linguaggio, quello\n"
    "                     che Quadrivo tiene accanto agli altri (sostituzioni-basic.dat,\n"
    "                     sostituzioni-c.dat, sostituzioni-cpp.dat,\n"
    "                     sostituzioni-batch.dat, fatto\n"
    "                     dall'elenco pronto la prima volta che serve); per un\n"
    "                     testo senza linguaggio, sostituzioni.dat.\n"
    "                     Un elenco vuoto, senza parole da cercare o che non è un\n"
    "                     elenco viene rifiutato (stato 1) e non si scrive nulla.\n"
    "                     Senza questa opzione si usa quello di Quadrivo, nella\n"
    "                     cartella dove il programma tiene i suoi elenchi; se manca\n"
    "                     o è vuoto, l'elenco predefinito.\n"
    "  --pulizia[=FILE]   prima di tutto elimina dal testo le parole dell'elenco\n"
    "                     Pulizia (senza FILE, quello di Quadrivo: con l'elenco\n"
    "                     per linguaggio, quello del linguaggio di ogni file);\n"
    "                     auto: per ogni file l'elenco della pulizia del suo\n"
    "                     linguaggio (pulizia-basic.dat, pulizia-c.dat,\n"
    "                     pulizia-cpp.dat, pulizia-batch.dat, fatto dall'elenco\n"
    "                     pronto la prima volta che serve); per un testo senza\n"
    "                     linguaggio, pulizia.dat (per un file di nome auto: ./auto).\n"
    "  -o CARTELLA        scrive ogni risultato nella CARTELLA con il nome del suo\n"
    "                     file; non scrive mai sopra un file da elaborare, e\n"
    "                     con quel nome sostituisce solo un file normale (mai un\n"
    "                     collegamento simbolico, una cartella o un file speciale).\n"
    "  --sul-posto        riscrive ogni file con il suo risultato; il file viene\n"
    "                     sostituito solo quando il nuovo contenuto è scritto tutto.\n"
    "                     Rifiuta un file nella cui cartella non si possono creare\n"
    "                     file e un documento RTF (diventerebbe testo semplice):\n"
    "                     per questi serve -o. Prima conserva il file com'era\n"
    "                     come NOME~ accanto a lui (vedi --copia).\n"
    "  -j N               elabora N file alla volta (di solito quanti sono i\n"
    "                     processori). Su un terminale, quando dura più di un\n"
    "                     secondo, una riga mostra quanti file sono fatti.\n"
    "  --linguaggio=L     legge ogni testo come codice del linguaggio L: basic,\n"
    "                     c, c++ (o cpp), batch oppure nessuno. Senza questa\n"
    "                     opzione il linguaggio viene dall'estensione di ogni file\n"
    "                     (.bas .frm .cls .ctl .dsr .vbs; .c .h; .cpp .hpp .cc .cxx\n"
    "                     .hh .hxx; .bat .cmd); un'intestazione .h è letta come C.\n"
    "                     Lo standard input non ha linguaggio.\n"
    "  -r, --ricorsivo    un FILE che è una cartella vale per tutti i file del suo\n"
    "                     albero con un'estensione di un linguaggio (vedi\n"
    "                     --linguaggio) o .txt, in qualsiasi maiuscolo; i nomi\n"
    "                     nascosti (che cominciano con un punto), i collegamenti a\n"
    "                     cartelle e la cartella di -o sono lasciati fuori. Con -o\n"
    "                     ogni risultato va nella CARTELLA con il suo percorso\n"
    "                     sotto la cartella indicata (cartella/sub/a.bas diventa\n"
    "                     CARTELLA/sub/a.bas); con --sul-posto ogni file viene\n"
    "                     riscritto. Vuole -o, --sul-posto o --parole-non-tradotte.\n"
    "                     Senza -r una cartella viene rifiutata.\n"
    "  -v, --dettagli     per ogni file una riga sullo standard error: il suo\n"
    "                     linguaggio, l'elenco usato e quante sostituzioni; alla\n"
    "                     fine il totale dei file, delle sostituzioni e il tempo.\n"
    "  --parole-non-tradotte\n"
    "                     non scrive nessun risultato: mostra, per ogni linguaggio,\n"
    "                     le parole che l'elenco lascia senza traduzione nei\n"
    "                     risultati di tutti i FILE, una per riga: linguaggio,\n"
    "                     parola, quante volte e perché, separati da un tab; le\n"
    "                     più frequenti per prime.\n"
    "\n"
    "Le opzioni seguenti valgono come le ha salvate Quadrivo (\"Opzioni...\",\n"
    "nel file opzioni.ini accanto agli elenchi), se la riga di comando non dice\n"
    "altrimenti; la forma con no- o senza- le spegne.\n"
    "  --proteggi, --no-proteggi\n"
    "                     lascia intatti commenti e stringhe: una parola che\n"
    "                     comincia dentro un commento o una stringa del\n"
    "                     linguaggio non viene né sostituita né eliminata.\n"
    "  --separatori-codice, --no-separatori-codice\n"
    "                     per le parole intere conta come separatore anche il\n"
    "                     tab e = + - * / \\ ^ & | ~ { } [ ] \" ', tranne i\n"
    "                     caratteri che fanno parte di un nome (in BASIC la &\n"
    "                     subito dopo un nome).\n"
    "  --elenco-per-linguaggio, --no-elenco-per-linguaggio\n"
    "                     senza --elenco, usa per ogni file l'elenco del suo\n"
    "                     linguaggio, come --elenco auto.\n"
    "                     Il risultato è quello di Quadrivo con le stesse opzioni.\n"
    "  --copia, --senza-copia\n"
    "                     solo con --sul-posto: conserva (o no) una copia\n"
    "                     dell'originale, NOME~ accanto al file; dove al suo posto\n"
    "                     c'è altro che un file normale, la copia va nella\n"
    "                     cartella dei dati di Quadrivo. Un file di cui non si\n"
    "                     può conservare la copia resta com'è. Di solito è accesa.\n"
    "  -h, --help         mostra questo aiuto ed esce.\n"
    "  --version          mostra la versione ed esce.\n"
    "\n"
    "Un file che non si può leggere o scrivere viene segnalato con una riga sullo\n"
    "standard error e lasciato com'è; gli altri vengono elaborati lo stesso. Un\n"
    "file indicato più volte (anche con percorsi diversi) viene elaborato una\n"
    "volta sola.\n"
    "\n"
    "Stato di uscita: 0 se tutto è andato bene, 1 se almeno un file (o un elenco)\n"
    "non si è potuto leggere o scrivere, 2 se la riga di comando è sbagliata.\n";

std::mutex uscitaErrori;
bool progressoVisibile = false;

void ScriviErrore(const QString &riga)
{
    const std::lock_guard<std::mutex> blocco(uscitaErrori);
    if (progressoVisibile) {
        std::fputs("\r\033[K", stderr);
        progressoVisibile = false;
    }
    std::fputs((QString::fromLatin1(Nome) + QStringLiteral(": ") + riga + QLatin1Char('\n'))
                   .toUtf8()
                   .constData(),
               stderr);
}

// A line of -v on standard error, where the progress line is cleared first.
void ScriviDettaglio(const QString &riga)
{
    const std::lock_guard<std::mutex> blocco(uscitaErrori);
    if (progressoVisibile) {
        std::fputs("\r\033[K", stderr);
        progressoVisibile = false;
    }
    std::fputs((riga + QLatin1Char('\n')).toUtf8().constData(), stderr);
}

QString Sostituzioni(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 sostituzione") : QStringLiteral("%1 sostituzioni").arg(n);
}

int ErroreUso(const QString &motivo)
{
    ScriviErrore(motivo);
    std::fputs(Uso, stderr);
    std::fputs("Per l'aiuto: quadrivo-pseudo --help\n", stderr);
    return 2;
}

QString Mostra(const QString &percorso)
{
    return percorso == QStringLiteral("-") ? QStringLiteral("standard input")
                                           : QDir::toNativeSeparators(percorso);
}

struct Comando
{
    QString elenco;
    bool pulizia = false;
    QString filePulizia;
    QString cartella;
    QByteArray cartellaGrezza; // the output folder's name as given, byte for byte
    bool sulPosto = false;
    int lavori = 0;
    QStringList file;
    QList<QByteArray> grezzi;             // each file's name as given, byte for byte
    std::optional<Linguaggio> linguaggio; // empty: from each file's extension
    // Empty: as saved in opzioni.ini.
    std::optional<bool> proteggi, separatoriCodice, elencoPerLinguaggio, copia;
    bool paroleNonTradotte = false;
    bool ricorsivo = false;
    bool dettagli = false;
    // With -o: each file's result name under the folder, its path under a
    // folder walked with -r or its own name (one per file once the folders
    // are walked).
    QList<QByteArray> relativi;
};

// How the file `nome` is read as code: its language from its extension
// unless one is chosen (a BASIC file keeps its header block when BASIC is
// chosen); standard input has none.
RegoleCodice RegoleDi(const Comando &o, const QString &nome)
{
    RegoleCodice regole;
    regole.proteggi = o.proteggi.value_or(false);
    regole.separatoriCodice = o.separatoriCodice.value_or(false);
    if (nome != QStringLiteral("-")) regole.tipo = TipoDaNomeFile(nome);
    if (o.linguaggio && *o.linguaggio != regole.tipo.linguaggio)
        regole.tipo = {*o.linguaggio, false};
    return regole;
}

// The language a name on the command line chooses, in any case: its short
// name, "c++" or "nessuno".
std::optional<Linguaggio> LinguaggioDaNome(const QString &nome)
{
    const QString n = nome.toLower();
    if (n == QStringLiteral("c++")) return Linguaggio::Cpp;
    for (Linguaggio l : {Linguaggio::Basic, Linguaggio::C, Linguaggio::Cpp, Linguaggio::Batch})
        if (n == ChiaveLinguaggio(l)) return l;
    if (n == QStringLiteral("nessuno")) return Linguaggio::Nessuno;
    return std::nullopt;
}

// Empty when the command line is right, otherwise why it is not; `uscita`
// receives 0 when --help or --version has been answered.
std::optional<QString> Analizza(const QList<QByteArray> &grezzi, Comando &o, int &uscita)
{
    QStringList argomenti;
    for (const QByteArray &g : grezzi)
        argomenti.append(QFile::decodeName(g));
    uscita = -1;
    bool soloFile = false;
    bool conCartella = false;
    for (qsizetype i = 1; i < argomenti.size(); ++i) {
        const QString &a = argomenti[i];
        // The value glued to the option from index `da` on (none when
        // negative: then the next argument).
        auto valore = [&](qsizetype da) -> std::optional<QString> {
            if (da >= 0) return a.mid(da);
            if (i + 1 >= argomenti.size()) return std::nullopt;
            return argomenti[++i];
        };
        const qsizetype uguale = a.indexOf(QLatin1Char('='));
        const qsizetype dopoUguale = uguale < 0 ? -1 : uguale + 1; // "--opzione=valore"
        const qsizetype dopoLettera = a.size() > 2 ? 2 : -1;       // "-oVALORE"
        if (soloFile || a == QStringLiteral("-") || !a.startsWith(QLatin1Char('-'))) {
            o.file.append(a);
            o.grezzi.append(grezzi[i]);
        } else if (a == QStringLiteral("--")) {
            soloFile = true;
        } else if (a == QStringLiteral("-h") || a == QStringLiteral("--help")) {
            std::fputs(Uso, stdout);
            std::fputs(Aiuto, stdout);
            uscita = 0;
            return std::nullopt;
        } else if (a == QStringLiteral("--version")) {
            std::printf("%s %s\n", Nome, QUADRIVO_VERSIONE);
            uscita = 0;
            return std::nullopt;
        } else if (a == QStringLiteral("--elenco") || a.startsWith(QStringLiteral("--elenco="))) {
            const std::optional<QString> v = valore(dopoUguale);
            if (!v || v->isEmpty()) return QStringLiteral("--elenco vuole il nome di un file");
            o.elenco = *v;
        } else if (a == QStringLiteral("--pulizia")) {
            o.pulizia = true;
        } else if (a.startsWith(QStringLiteral("--pulizia="))) {
            o.pulizia = true;
            o.filePulizia = a.section(QLatin1Char('='), 1);
            if (o.filePulizia.isEmpty())
                return QStringLiteral("--pulizia= vuole il nome di un file");
        } else if (a == QStringLiteral("-o") ||
                   (a.startsWith(QStringLiteral("-o")) && a.size() > 2 &&
                    !a.startsWith(QStringLiteral("--")))) {
            const std::optional<QString> v = valore(dopoLettera);
            if (!v || v->isEmpty()) return QStringLiteral("-o vuole il nome di una cartella");
            o.cartella = *v;
            o.cartellaGrezza = dopoLettera >= 0 ? grezzi[i].mid(2) : grezzi[i];
            conCartella = true;
        } else if (a == QStringLiteral("--sul-posto")) {
            o.sulPosto = true;
        } else if (a == QStringLiteral("--linguaggio") ||
                   a.startsWith(QStringLiteral("--linguaggio="))) {
            const std::optional<QString> v = valore(dopoUguale);
            o.linguaggio = v ? LinguaggioDaNome(*v) : std::nullopt;
            if (!o.linguaggio)
                return QStringLiteral("--linguaggio vuole basic, c, c++, batch oppure nessuno");
        } else if (a == QStringLiteral("--proteggi") || a == QStringLiteral("--no-proteggi")) {
            o.proteggi = !a.startsWith(QStringLiteral("--no-"));
        } else if (a == QStringLiteral("--separatori-codice") ||
                   a == QStringLiteral("--no-separatori-codice")) {
            o.separatoriCodice = !a.startsWith(QStringLiteral("--no-"));
        } else if (a == QStringLiteral("--elenco-per-linguaggio") ||
                   a == QStringLiteral("--no-elenco-per-linguaggio")) {
            o.elencoPerLinguaggio = !a.startsWith(QStringLiteral("--no-"));
        } else if (a == QStringLiteral("--copia") || a == QStringLiteral("--senza-copia")) {
            o.copia = a == QStringLiteral("--copia");
        } else if (a == QStringLiteral("--parole-non-tradotte")) {
            o.paroleNonTradotte = true;
        } else if (a == QStringLiteral("-r") || a == QStringLiteral("--ricorsivo")) {
            o.ricorsivo = true;
        } else if (a == QStringLiteral("-v") || a == QStringLiteral("--dettagli")) {
            o.dettagli = true;
        } else if (a == QStringLiteral("-j") ||
                   (a.startsWith(QStringLiteral("-j")) && a.size() > 2 &&
                    !a.startsWith(QStringLiteral("--")))) {
            const std::optional<QString> v = valore(dopoLettera);
            bool ok = false;
            const int n = v ? v->toInt(&ok) : 0;
            if (!ok || n < 1) return QStringLiteral("-j vuole un numero intero da 1 in su");
            o.lavori = n;
        } else {
            return QStringLiteral("opzione sconosciuta: %1").arg(a);
        }
    }
    if (conCartella && o.sulPosto)
        return QStringLiteral("-o e --sul-posto non si possono usare insieme");
    if (o.copia && !o.sulPosto)
        return QStringLiteral("--copia e --senza-copia valgono solo con --sul-posto");
    if (o.paroleNonTradotte && (conCartella || o.sulPosto))
        return QStringLiteral("--parole-non-tradotte non scrive risultati: non vuole -o né "
                              "--sul-posto");
    const bool standard = o.file.isEmpty() || o.file.contains(QStringLiteral("-"));
    if (o.sulPosto && standard)
        return QStringLiteral("--sul-posto vuole dei file, non lo standard input");
    if (conCartella && standard)
        return QStringLiteral("con -o il testo non può venire dallo standard input");
    if (o.ricorsivo && !conCartella && !o.sulPosto && !o.paroleNonTradotte)
        return QStringLiteral("-r vuole -o CARTELLA, --sul-posto oppure --parole-non-tradotte");
    if (o.file.size() > 1 && !conCartella && !o.sulPosto && !o.paroleNonTradotte)
        return QStringLiteral("con più file serve -o CARTELLA oppure --sul-posto");
    return std::nullopt;
}

struct Liste
{
    // The list for the texts of each language; one for all unless lists are
    // chosen by language. Filled before any file is read.
    std::map<Linguaggio, QVector<VoceSostituzione>> sostituzioni;
    bool perLinguaggio = false;
    // Which list each of those is, as -v shows it.
    std::map<Linguaggio, QString> nomi;
    // The cleaning list for the texts of each language (one for all unless
    // chosen by language); none without --pulizia.
    std::map<Linguaggio, QVector<VoceEliminazione>> eliminazioni;
    bool puliziaPerLinguaggio = false;
};

// Reads one list; a missing default list is not an error (nothing comes back).
bool CaricaElenco(const QString &percorso, bool scelto, const QString &quale,
                  std::optional<QByteArray> &dati)
{
    if (!scelto && !QFileInfo::exists(percorso)) return true;
    ErroreFile errore;
    dati = Lotto::LeggiElenco(percorso, &errore);
    if (!dati) {
        ScriviErrore(QStringLiteral("impossibile leggere l'elenco %1 %2: %3")
                         .arg(quale, QDir::toNativeSeparators(percorso), errore.descrizione));
        return false;
    }
    return true;
}

// A part-record at the end of a .dat list is filled with zeros and used, as
// the program's list reader does.
void CompletaRecord(const QString &percorso, const QString &quale, QByteArray &dati)
{
    if (const qsizetype parte = dati.size() % Record::Lunghezza; parte != 0) {
        dati.append(QByteArray(Record::Lunghezza - parte, '\0'));
        ScriviErrore(QStringLiteral("nota: l'elenco %1 %2 finisce con un record incompleto "
                                    "(%3 byte), che viene completato con zeri e usato come fa "
                                    "Quadrivo")
                         .arg(quale, QDir::toNativeSeparators(percorso))
                         .arg(parte));
    }
}

bool ConParole(const QVector<VoceSostituzione> &voci)
{
    return std::any_of(voci.begin(), voci.end(),
                       [](const VoceSostituzione &v) { return !SenzaParola(v); });
}

// A list file named on the command line, as a .dat list or as a text list,
// told apart by content (FormatoElenco). Nothing, with one line saying why,
// when the file is none of these, is empty or has no word to look for: an
// explicit list is never swapped for another.
// The program's own per-language lists (`delProgramma`) keep the reading of
// its list files: a part-record at the end is completed and used.
std::optional<QVector<VoceSostituzione>> ElencoScelto(const QString &percorso,
                                                      bool delProgramma = false)
{
    const QString quale = QStringLiteral("delle sostituzioni");
    std::optional<QByteArray> dati;
    if (!CaricaElenco(percorso, true, quale, dati)) return std::nullopt;
    auto rifiuta = [&](const QString &motivo) {
        ScriviErrore(QStringLiteral("impossibile usare l'elenco delle sostituzioni %1: %2")
                         .arg(QDir::toNativeSeparators(percorso), motivo));
        return std::nullopt;
    };
    if (dati->isEmpty()) return rifiuta(QStringLiteral("è vuoto"));
    QVector<VoceSostituzione> voci;
    const FormatoElenco::Esito formato = FormatoElenco::Riconosci(*dati);
    const bool recordDelProgramma = !formato.tipo && delProgramma && dati->contains('\0');
    if (!formato.tipo && !recordDelProgramma) return rifiuta(formato.motivo);
    if (recordDelProgramma || *formato.tipo == FormatoElenco::Tipo::Record) {
        CompletaRecord(percorso, quale, *dati);
        voci = Lotto::Sostituzioni(*dati);
    } else {
        const TestoElenco::Esito<VoceSostituzione> letto = TestoElenco::LeggiSostituzioni(*dati);
        if (letto.voci.isEmpty() && !letto.rifiutate.isEmpty() &&
            std::all_of(letto.rifiutate.begin(), letto.rifiutate.end(),
                        [](const TestoElenco::RigaRifiutata &r) {
                            return !r.testo.contains(QLatin1Char('\t'));
                        }))
            return rifiuta(QStringLiteral("non è un elenco (nessuna riga con un tab tra la "
                                          "parola e la traduzione)"));
        if (!letto.rifiutate.isEmpty())
            return rifiuta(QStringLiteral("riga %1: %2")
                               .arg(letto.rifiutate.front().riga)
                               .arg(letto.rifiutate.front().motivo));
        voci = letto.voci;
    }
    if (!ConParole(voci)) return rifiuta(QStringLiteral("non ha nessuna parola da cercare"));
    return voci;
}

// The list of the program's folder; the factory list when it is missing or
// has no word to look for.
std::optional<QVector<VoceSostituzione>> ElencoDelProgramma(const QString &percorso,
                                                            bool *predefinito = nullptr)
{
    const QString quale = QStringLiteral("delle sostituzioni");
    std::optional<QByteArray> dati;
    if (!CaricaElenco(percorso, false, quale, dati)) return std::nullopt;
    QVector<VoceSostituzione> voci;
    if (dati) {
        CompletaRecord(percorso, quale, *dati);
        voci = Lotto::Sostituzioni(*dati);
    }
    if (!ConParole(voci)) {
        ScriviErrore(QStringLiteral("nota: l'elenco delle sostituzioni %1 %2: si usa l'elenco "
                                    "predefinito")
                         .arg(QDir::toNativeSeparators(percorso),
                              dati ? QStringLiteral("è vuoto") : QStringLiteral("non esiste")));
        voci = SostituzioniPredefinite();
        if (predefinito) *predefinito = true;
    }
    return voci;
}

// The language whose ready list a name on the command line chooses: a
// language's name in lower case (any other name is a list file).
std::optional<Linguaggio> ElencoPronto(const QString &nome)
{
    const std::optional<Linguaggio> linguaggio = LinguaggioDaNome(nome);
    if (nome != nome.toLower() || linguaggio == Linguaggio::Nessuno) return std::nullopt;
    return linguaggio;
}

// A cleaning list file; a missing list not `scelto` is an empty one. Nothing
// (after the message) when it cannot be read.
std::optional<QVector<VoceEliminazione>> ElencoPulizia(const QString &pulizia, bool scelto)
{
    const QString quale = QStringLiteral("della pulizia");
    std::optional<QByteArray> dati;
    if (!CaricaElenco(pulizia, scelto, quale, dati)) return std::nullopt;
    if (dati) CompletaRecord(pulizia, quale, *dati);
    QVector<VoceEliminazione> voci =
        dati ? Lotto::Eliminazioni(*dati) : QVector<VoceEliminazione>();
    if (voci.isEmpty())
        ScriviErrore(
            QStringLiteral("nota: l'elenco della pulizia %1 %2: nessuna parola da eliminare")
                .arg(QDir::toNativeSeparators(pulizia),
                     dati ? QStringLiteral("è vuoto") : QStringLiteral("non esiste")));
    return voci;
}

QString ElencoProntoDi(Linguaggio linguaggio)
{
    return QStringLiteral("elenco pronto %1").arg(NomeLinguaggio(linguaggio));
}

QString NomeElenco(const QString &percorso)
{
    return QStringLiteral("elenco %1").arg(QDir::toNativeSeparators(percorso));
}

// `linguaggi`: the languages of the texts to be read.
std::optional<Liste> CaricaListe(const Comando &o, const QString &cartella, bool perLinguaggio,
                                 const QSet<Linguaggio> &linguaggi)
{
    Liste liste;
    liste.perLinguaggio = perLinguaggio;
    const QString programma = QDir(cartella).filePath(QStringLiteral("sostituzioni.dat"));
    if (perLinguaggio) {
        // Each language's own list beside the others, made from its ready
        // list the first time; when it cannot be made, the ready list itself.
        for (const Linguaggio l : linguaggi) {
            if (l == Linguaggio::Nessuno) continue;
            ErroreFile errore;
            if (!PreparaElencoLinguaggio(cartella, l, &errore)) {
                ScriviErrore(
                    QStringLiteral("nota: impossibile creare l'elenco %1 (%2): si usa "
                                   "l'elenco pronto del linguaggio")
                        .arg(QDir::toNativeSeparators(PercorsoElencoLinguaggio(cartella, l)),
                             errore.descrizione));
                liste.sostituzioni[l] = ListaDelLinguaggio(l);
                liste.nomi[l] = ElencoProntoDi(l);
                continue;
            }
            const auto voci = ElencoScelto(PercorsoElencoLinguaggio(cartella, l), true);
            if (!voci) return std::nullopt;
            liste.sostituzioni[l] = *voci;
            liste.nomi[l] = NomeElenco(PercorsoElencoLinguaggio(cartella, l));
        }
        if (linguaggi.contains(Linguaggio::Nessuno)) {
            bool predefinito = false;
            const auto voci = ElencoDelProgramma(programma, &predefinito);
            if (!voci) return std::nullopt;
            liste.sostituzioni[Linguaggio::Nessuno] = *voci;
            liste.nomi[Linguaggio::Nessuno] =
                predefinito ? QStringLiteral("elenco predefinito") : NomeElenco(programma);
        }
    } else {
        const std::optional<Linguaggio> pronto = ElencoPronto(o.elenco);
        bool predefinito = false;
        const auto voci = pronto               ? std::optional(ListaDelLinguaggio(*pronto))
                          : o.elenco.isEmpty() ? ElencoDelProgramma(programma, &predefinito)
                                               : ElencoScelto(o.elenco);
        if (!voci) return std::nullopt;
        liste.sostituzioni[Linguaggio::Nessuno] = *voci;
        liste.nomi[Linguaggio::Nessuno] =
            pronto        ? ElencoProntoDi(*pronto)
            : predefinito ? QStringLiteral("elenco predefinito")
                          : NomeElenco(o.elenco.isEmpty() ? programma : o.elenco);
    }

    if (!o.pulizia) return liste;
    // Each language's own cleaning list, as for the substitutions.
    liste.puliziaPerLinguaggio = o.filePulizia == QStringLiteral("auto") ||
                                 (o.filePulizia.isEmpty() && o.elencoPerLinguaggio.value_or(false));
    const QString comune = QDir(cartella).filePath(QStringLiteral("pulizia.dat"));
    if (!liste.puliziaPerLinguaggio) {
        const QString pulizia = o.filePulizia.isEmpty() ? comune : o.filePulizia;
        const auto voci = ElencoPulizia(pulizia, !o.filePulizia.isEmpty());
        if (!voci) return std::nullopt;
        liste.eliminazioni[Linguaggio::Nessuno] = *voci;
        return liste;
    }
    for (const Linguaggio l : linguaggi) {
        if (l == Linguaggio::Nessuno) {
            const auto voci = ElencoPulizia(comune, false);
            if (!voci) return std::nullopt;
            liste.eliminazioni[l] = *voci;
            continue;
        }
        const QString percorso = PercorsoElencoLinguaggio(cartella, l, Elenco::Eliminazioni);
        ErroreFile errore;
        if (!PreparaElencoLinguaggio(cartella, l, Elenco::Eliminazioni, &errore)) {
            ScriviErrore(QStringLiteral("nota: impossibile creare l'elenco %1 (%2): si usa "
                                        "l'elenco pronto del linguaggio")
                             .arg(QDir::toNativeSeparators(percorso), errore.descrizione));
            liste.eliminazioni[l] = PuliziaDelLinguaggio(l);
            continue;
        }
        const auto voci = ElencoPulizia(percorso, true);
        if (!voci) return std::nullopt;
        liste.eliminazioni[l] = *voci;
    }
    return liste;
}

// Standard input or output closed by whoever started the command: the
// descriptor is then held by /dev/null, so that no file opened later takes its
// number, and using it is an error.
bool ingressoChiuso = false, uscitaChiusa = false;

void OccupaDescrittoriChiusi()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        if (fd == STDIN_FILENO) ingressoChiuso = true;
        if (fd == STDOUT_FILENO) uscitaChiusa = true;
        const int nullo = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (nullo >= 0 && nullo != fd) {
            ::dup2(nullo, fd);
            ::close(nullo);
        }
    }
}

ErroreFile DescrittoreChiuso()
{
    return {EBADF, QStringLiteral("non è aperto")};
}

// Waits until a non-blocking descriptor is ready for `evento`; false when it
// cannot be waited on.
bool AttendiDescrittore(int fd, short evento)
{
    pollfd attesa{fd, evento, 0};
    while (::poll(&attesa, 1, -1) < 0)
        if (errno != EINTR) return false;
    return true;
}

// The whole of standard input, or nothing (and why) when it cannot be read.
std::optional<QByteArray> LeggiStandardInput(ErroreFile &errore)
{
    if (ingressoChiuso) {
        errore = DescrittoreChiuso();
        return std::nullopt;
    }
    QByteArray dati;
    char blocco[1 << 16];
    for (;;) {
        const ssize_t letti = ::read(STDIN_FILENO, blocco, sizeof blocco);
        if (letti == 0) break;
        if (letti < 0) {
            if (errno == EINTR) continue;
            // Standard input shared with a program that made it non-blocking.
            if ((errno == EAGAIN || errno == EWOULDBLOCK) &&
                AttendiDescrittore(STDIN_FILENO, POLLIN))
                continue;
            errore = errno == EBADF ? DescrittoreChiuso() : ErroreFile::DaErrno(errno);
            return std::nullopt;
        }
        dati.append(blocco, letti);
        if (dati.size() > Documento::DimensioneMassima) {
            errore = {EFBIG, QStringLiteral("il testo è troppo grande (il limite è %1 MB)")
                                 .arg(Documento::DimensioneMassima >> 20)};
            return std::nullopt;
        }
    }
    return dati;
}

bool ScriviStandardOutput(QByteArrayView byte, ErroreFile &errore)
{
    if (uscitaChiusa) {
        errore = DescrittoreChiuso();
        return false;
    }
    qsizetype fatto = 0;
    while (fatto < byte.size()) {
        const ssize_t scritti =
            ::write(STDOUT_FILENO, byte.constData() + fatto, size_t(byte.size() - fatto));
        if (scritti < 0) {
            if (errno == EINTR) continue;
            if ((errno == EAGAIN || errno == EWOULDBLOCK) &&
                AttendiDescrittore(STDOUT_FILENO, POLLOUT))
                continue;
            errore = errno == EBADF ? DescrittoreChiuso() : ErroreFile::DaErrno(errno);
            return false;
        }
        fatto += scritti;
    }
    return true;
}

// Whether Qt's file functions reach the file named by the bytes `grezzo`
// (not so when they are not UTF-8): otherwise plain system calls are used.
bool Rappresentabile(const QString &nome, const QByteArray &grezzo)
{
    return QFile::encodeName(nome) == grezzo;
}

QByteArray CartellaDi(const QByteArray &percorso)
{
    const qsizetype barra = percorso.lastIndexOf('/');
    return barra < 0 ? QByteArray(".") : barra == 0 ? QByteArray("/") : percorso.first(barra);
}

QByteArray NomeDi(const QByteArray &percorso)
{
    return percorso.mid(percorso.lastIndexOf('/') + 1);
}

// Makes the folder `cartella` and those above it that are missing; false,
// with the reason, when one of them cannot be made.
bool CreaCartella(const QByteArray &cartella, ErroreFile &errore)
{
    for (qsizetype fine = 0; fine >= 0;) {
        fine = cartella.indexOf('/', fine + 1);
        const QByteArray parte = fine < 0 ? cartella : cartella.first(fine);
        if (::mkdir(parte.constData(), 0777) != 0 && errno != EEXIST) {
            errore = ErroreFile::DaErrno(errno);
            return false;
        }
    }
    struct stat stato;
    if (::stat(cartella.constData(), &stato) != 0 || !S_ISDIR(stato.st_mode)) {
        errore = ErroreFile::DaErrno(errno == 0 || S_ISDIR(stato.st_mode) ? errno : ENOTDIR);
        return false;
    }
    return true;
}

// Removes the new files that killed runs left in the folders of `percorsi`.
void RimuoviTemporaneiDi(const QList<QByteArray> &percorsi)
{
    QSet<QByteArray> cartelle;
    for (const QByteArray &p : percorsi)
        cartelle.insert(CartellaDi(p));
    for (const QByteArray &c : cartelle) {
        const int fd = ::open(c.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) continue;
        ScritturaAtomica::RimuoviTemporanei(fd);
        ::close(fd);
    }
}

// Whether a new file can be made in `cartella` (where a replacement is
// first written): a file is made there and removed at once.
bool SiPuoCreare(const QByteArray &cartella, ErroreFile &errore)
{
    // An unnamed file leaves nothing behind, even if the command is killed.
    const int anonimo = ::open(cartella.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (anonimo >= 0) {
        ::close(anonimo);
        return true;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        errore = ErroreFile::DaErrno(errno);
        return false;
    }
    QByteArray modello = cartella + "/.quadrivo-pseudo-XXXXXX";
    const int fd = ::mkostemp(modello.data(), O_CLOEXEC);
    if (fd < 0) {
        errore = ErroreFile::DaErrno(errno);
        return false;
    }
    ::close(fd);
    ::unlink(modello.constData());
    return true;
}

// CopiaOriginale::Conserva for a name Qt cannot spell: the copy only beside
// the file, where only a previous copy (a regular file) is replaced.
CopiaOriginale::Esito CopiaGrezza(const QByteArray &percorso)
{
    CopiaOriginale::Esito esito;
    esito.tipo = CopiaOriginale::Esito::Tipo::Fallita;
    const QByteArray copia = percorso + '~';
    const int fd = ::open(percorso.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat info, posto;
    QByteArray byte;
    int e = 0;
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        e = errno;
    } else if (!S_ISREG(info.st_mode)) {
        // Nothing to keep: the write refuses what is not a file.
        ::close(fd);
        esito.tipo = CopiaOriginale::Esito::Tipo::NienteDaConservare;
        return esito;
    } else if (info.st_size > Documento::DimensioneMassima)
        e = EFBIG;
    for (char blocco[1 << 16]; !e;) {
        const ssize_t letti = ::read(fd, blocco, sizeof blocco);
        if (letti == 0) break;
        if (letti < 0 && errno != EINTR) e = errno;
        if (letti > 0) byte.append(blocco, letti);
    }
    if (fd >= 0) ::close(fd);
    if (!e && ::lstat(copia.constData(), &posto) == 0 && !S_ISREG(posto.st_mode)) e = EEXIST;
    if (e) {
        esito.errore = ErroreFile::DaErrno(e);
        return esito;
    }
    ScritturaAtomica::Scrittura scrittura;
    scrittura.collegamento = ScritturaAtomica::Collegamento::Rifiuta;
    scrittura.proprieta = &info;
    if (!ScritturaAtomica::Scrivi(copia, byte, scrittura, &esito.errore)) return esito;
    esito.tipo = CopiaOriginale::Esito::Tipo::Conservata;
    esito.copia = QFile::decodeName(copia);
    return esito;
}

// The first bytes of a file; empty when it cannot be read.
QByteArray Inizio(const QByteArray &percorso)
{
    QByteArray inizio(16, '\0');
    const int fd = ::open(percorso.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return {};
    const ssize_t letti = ::read(fd, inizio.data(), size_t(inizio.size()));
    ::close(fd);
    return inizio.first(std::max<ssize_t>(letti, 0));
}

class Elaborazione
{
public:
    Elaborazione(const Liste &liste, const Comando &opzioni) : m_liste(liste), m_opzioni(opzioni)
    {
        for (const auto &[linguaggio, voci] : liste.sostituzioni)
            m_motori[linguaggio] = std::make_unique<Motori>(voci);
    }

    // The entries of the list a text of `linguaggio` is worked with.
    const QVector<VoceSostituzione> &VociElenco(Linguaggio linguaggio) const
    {
        return Voci(linguaggio);
    }

    RegoleCodice Regole(const QString &nome) const { return RegoleDi(m_opzioni, nome); }

    // The bytes the file `nome` (given as `grezzo`) would be written as;
    // nothing, with a message, when it cannot be read.
    std::optional<QByteArray> Bozza(const QString &nome, const QByteArray &grezzo)
    {
        QByteArray risultato;
        if (nome == QStringLiteral("-")) {
            ErroreFile errore;
            const std::optional<QByteArray> byte = LeggiStandardInput(errore);
            if (!byte) {
                ScriviErrore(QStringLiteral("impossibile leggere %1: %2")
                                 .arg(Mostra(nome), errore.descrizione));
                return std::nullopt;
            }
            UscitaByte uscita([&](QByteArrayView pezzo) {
                risultato.append(pezzo);
                return true;
            });
            const RegoleCodice regole = Regole(nome);
            const Motori &m = MotoriPer(regole);
            qsizetype conta = 0;
            Lotto::Elabora(*byte, m.motore, m.ansi, Eliminazioni(regole), regole, uscita, &conta);
            uscita.Fine();
            Riferisci(nome, conta);
            return risultato;
        }
        qsizetype conta = 0;
        if (!Risultato(nome, grezzo, risultato, conta)) return std::nullopt;
        Riferisci(nome, conta);
        return risultato;
    }

    // Standard input to standard output.
    bool Flusso(const QString &nome)
    {
        ErroreFile errore, erroreScrittura;
        UscitaByte uscita(
            [&](QByteArrayView pezzo) { return ScriviStandardOutput(pezzo, erroreScrittura); });
        bool letto = true;
        qsizetype conta = 0;
        if (nome == QStringLiteral("-")) {
            const std::optional<QByteArray> byte = LeggiStandardInput(errore);
            letto = byte.has_value();
            const RegoleCodice regole = Regole(nome);
            const Motori &m = MotoriPer(regole);
            if (byte)
                Lotto::Elabora(*byte, m.motore, m.ansi, Eliminazioni(regole), regole, uscita,
                               &conta);
        } else {
            const RegoleCodice regole = Regole(nome);
            const Motori &m = MotoriPer(regole);
            letto = Lotto::Elabora(nome, m.motore, m.ansi, Eliminazioni(regole), regole, uscita,
                                   &errore, &conta);
        }
        const bool scritto = uscita.Fine();
        if (!letto)
            ScriviErrore(
                QStringLiteral("impossibile leggere %1: %2").arg(Mostra(nome), errore.descrizione));
        else if (!scritto)
            ScriviErrore(QStringLiteral("impossibile scrivere il risultato: %1")
                             .arg(erroreScrittura.descrizione));
        if (letto && scritto) Riferisci(nome, conta);
        return letto && scritto;
    }

    // One file over itself. Refused before anything is written when the
    // replacement cannot be made beside it (it is never rewritten in place,
    // where a failure would leave it torn) or when it is an RTF document,
    // whose result would be plain text.
    bool SulPosto(const QString &nome, const QByteArray &grezzo)
    {
        ErroreFile errore;
        // The file the write replaces: a link's target, in the target's folder.
        char *const vero = ::realpath(grezzo.constData(), nullptr);
        if (!vero) {
            errore = ErroreFile::DaErrno(errno);
            ScriviErrore(
                QStringLiteral("impossibile leggere %1: %2").arg(Mostra(nome), errore.descrizione));
            return false;
        }
        const QByteArray reale(vero);
        std::free(vero);
        if (LettoreRtf::Riconosce(Inizio(reale))) {
            ScriviErrore(QStringLiteral("%1 è un documento RTF e verrebbe riscritto come testo "
                                        "semplice: lasciato com'è (usare -o CARTELLA)")
                             .arg(Mostra(nome)));
            return false;
        }
        if (!SiPuoCreare(CartellaDi(reale), errore)) {
            ScriviErrore(QStringLiteral("impossibile riscrivere %1 sul posto: nella sua cartella "
                                        "non si possono creare file (%2); usare -o CARTELLA")
                             .arg(Mostra(nome), errore.descrizione));
            return false;
        }
        QByteArray risultato;
        qsizetype conta = 0;
        if (!Risultato(nome, grezzo, risultato, conta) || !ConservaOriginale(nome, reale) ||
            !Scrivi(nome, reale, risultato, ScritturaAtomica::Collegamento::Segui))
            return false;
        Riferisci(nome, conta);
        return true;
    }

    // One file into the output folder, at `destinazione`, where only a
    // regular file is replaced: a link would take the result anywhere, and a
    // FIFO, device or folder is not a place for it.
    // Under -r the result's folders under the output folder are made first
    // (see AlberoFile::CreaCartelle): `relativo` is its name there.
    bool InCartella(const QString &nome, const QByteArray &grezzo, const QByteArray &destinazione,
                    const QByteArray &relativo)
    {
        QByteArray risultato;
        qsizetype conta = 0;
        if (!Risultato(nome, grezzo, risultato, conta)) return false;
        if (relativo.contains('/')) {
            if (const int e = AlberoFile::CreaCartelle(m_opzioni.cartellaGrezza, relativo)) {
                ScriviErrore(QStringLiteral("impossibile creare la cartella di %1: %2")
                                 .arg(Mostra(QFile::decodeName(destinazione)),
                                      ErroreFile::DaErrno(e).descrizione));
                return false;
            }
        }
        if (!Scrivi(QFile::decodeName(destinazione), destinazione, risultato,
                    ScritturaAtomica::Collegamento::Rifiuta))
            return false;
        Riferisci(nome, conta);
        return true;
    }

    // The files drafted so far and their replacements.
    qsizetype FileFatti() const { return m_fatti; }
    qsizetype SostituzioniFatte() const { return m_sostituzioni; }

private:
    // The result for the file `nome` (given as the bytes `grezzo`) in
    // `risultato`; false, with a message, when it cannot be read.
    // `conta` receives the replacements made.
    bool Risultato(const QString &nome, const QByteArray &grezzo, QByteArray &risultato,
                   qsizetype &conta)
    {
        ErroreFile errore;
        UscitaByte uscita([&](QByteArrayView pezzo) {
            risultato.append(pezzo);
            return true;
        });
        // A name Qt cannot spell is opened here and read through its descriptor.
        QString percorso = nome;
        int fd = -1;
        if (!Rappresentabile(nome, grezzo)) {
            fd = ::open(grezzo.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
            if (fd >= 0)
                percorso = QStringLiteral("/proc/self/fd/%1").arg(fd);
            else
                errore = ErroreFile::DaErrno(errno);
        }
        const RegoleCodice regole = Regole(nome);
        const Motori &m = MotoriPer(regole);
        const bool letto = (fd >= 0 || percorso == nome) &&
                           Lotto::Elabora(percorso, m.motore, m.ansi, Eliminazioni(regole), regole,
                                          uscita, &errore, &conta);
        if (fd >= 0) ::close(fd);
        if (!letto) {
            ScriviErrore(
                QStringLiteral("impossibile leggere %1: %2").arg(Mostra(nome), errore.descrizione));
            return false;
        }
        uscita.Fine();
        return true;
    }

    // A file drafted with `conta` replacements: counted, and with -v its line.
    void Riferisci(const QString &nome, qsizetype conta)
    {
        ++m_fatti;
        m_sostituzioni += conta;
        if (!m_opzioni.dettagli) return;
        const Linguaggio linguaggio = Regole(nome).tipo.linguaggio;
        ScriviDettaglio(QStringLiteral("%1: linguaggio %2, %3, %4")
                            .arg(Mostra(nome), NomeLinguaggio(linguaggio),
                                 m_liste.nomi.at(Chiave(linguaggio)), Sostituzioni(conta)));
    }

    // With the copy on, the file at `reale` (shown as `nome`) as it is now,
    // kept before its draft replaces it; false, with a message, when no copy
    // can be kept: the file is then left as it is.
    bool ConservaOriginale(const QString &nome, const QByteArray &reale) const
    {
        if (!m_opzioni.copia.value_or(true)) return true;
        const QString percorso = QFile::decodeName(reale);
        const CopiaOriginale::Esito esito = Rappresentabile(percorso, reale)
                                                ? CopiaOriginale::Conserva(percorso, m_cartellaDati)
                                                : CopiaGrezza(reale);
        if (esito.tipo == CopiaOriginale::Esito::Tipo::Fallita) {
            ScriviErrore(QStringLiteral("impossibile conservare la copia dell'originale di %1: "
                                        "%2; lasciato com'è (--senza-copia per riscriverlo "
                                        "senza copia)")
                             .arg(Mostra(nome), esito.errore.descrizione));
            return false;
        }
        if (esito.tipo == CopiaOriginale::Esito::Tipo::Conservata &&
            esito.copia != CopiaOriginale::Accanto(percorso))
            ScriviErrore(QStringLiteral("nota: la copia dell'originale di %1 è in %2")
                             .arg(Mostra(nome), Mostra(esito.copia)));
        return true;
    }

    // `risultato` atomically over the file at `percorso` (shown as `nome`).
    // The stale new files of killed runs are removed once per folder, before
    // the run (see RimuoviTemporaneiDi).
    static bool Scrivi(const QString &nome, const QByteArray &percorso, QByteArrayView risultato,
                       ScritturaAtomica::Collegamento collegamento)
    {
        ErroreFile errore;
        ScritturaAtomica::Scrittura scrittura;
        scrittura.collegamento = collegamento;
        scrittura.rimuoviTemporanei = false;
        const bool scritto = ScritturaAtomica::Scrivi(percorso, risultato, scrittura, &errore);
        if (!scritto)
            ScriviErrore(QStringLiteral("impossibile scrivere %1: %2")
                             .arg(Mostra(nome), errore.descrizione));
        return scritto;
    }

    // The cleaning list of a text read with `regole`; none without --pulizia.
    const QVector<VoceEliminazione> *Eliminazioni(const RegoleCodice &regole) const
    {
        const auto voci = m_liste.eliminazioni.find(
            m_liste.puliziaPerLinguaggio ? regole.tipo.linguaggio : Linguaggio::Nessuno);
        return voci == m_liste.eliminazioni.end() ? nullptr : &voci->second;
    }

    struct Motori
    {
        explicit Motori(const QVector<VoceSostituzione> &voci) : motore(voci), ansi(motore) {}
        MotoreElenco motore;
        MotoreAnsi ansi;
    };

    // The list's key: the text's language when lists are chosen by language.
    Linguaggio Chiave(Linguaggio linguaggio) const
    {
        return m_liste.perLinguaggio ? linguaggio : Linguaggio::Nessuno;
    }
    const Motori &MotoriPer(const RegoleCodice &regole) const
    {
        return *m_motori.at(Chiave(regole.tipo.linguaggio));
    }
    const QVector<VoceSostituzione> &Voci(Linguaggio linguaggio) const
    {
        return m_liste.sostituzioni.at(Chiave(linguaggio));
    }

    const Liste &m_liste;
    const Comando &m_opzioni;
    const QString m_cartellaDati =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    std::map<Linguaggio, std::unique_ptr<Motori>> m_motori;
    std::atomic<qsizetype> m_fatti{0}, m_sostituzioni{0};
};

// The words the lists leave untranslated in the drafts of all the files, per
// language, most frequent first: one line each on standard output.
int ParoleNonTradotteDi(Elaborazione &elaborazione, const Comando &o)
{
    // Per language, word and reason: the occurrences over all the files.
    std::map<Linguaggio, QHash<std::pair<QString, QString>, qsizetype>> conteggi;
    bool falliti = false;
    const QStringList file = o.file.isEmpty() ? QStringList{QStringLiteral("-")} : o.file;
    for (qsizetype i = 0; i < file.size(); ++i) {
        const std::optional<QByteArray> bozza =
            elaborazione.Bozza(file[i], i < o.grezzi.size() ? o.grezzi[i] : QByteArray("-"));
        if (!bozza) {
            falliti = true;
            continue;
        }
        const TipoTesto tipo = elaborazione.Regole(file[i]).tipo;
        const QString testo = Documento::Decodifica(*bozza, nullptr);
        for (const ParolaContata &p :
             ParoleNonTradotte(testo, tipo, elaborazione.VociElenco(tipo.linguaggio),
                               o.separatoriCodice.value_or(false)))
            conteggi[tipo.linguaggio][{p.parola, p.motivo}] += p.occorrenze;
    }
    QByteArray uscita;
    for (const auto &[linguaggio, parole] : conteggi) {
        QVector<ParolaContata> elenco;
        for (auto p = parole.begin(); p != parole.end(); ++p) {
            ParolaContata contata;
            contata.parola = p.key().first;
            contata.motivo = p.key().second;
            contata.occorrenze = p.value();
            elenco.append(contata);
        }
        std::sort(elenco.begin(), elenco.end(), [](const ParolaContata &a, const ParolaContata &b) {
            if (a.occorrenze != b.occorrenze) return a.occorrenze > b.occorrenze;
            return a.parola != b.parola ? a.parola < b.parola : a.motivo < b.motivo;
        });
        for (const ParolaContata &p : elenco) {
            const QString motivo =
                !p.motivo.isEmpty() ? p.motivo
                : linguaggio == Linguaggio::Nessuno
                    ? QStringLiteral("ripetuta almeno tre volte in un testo senza linguaggio")
                    : QStringLiteral("nessuna voce nell'elenco");
            uscita +=
                (NomeLinguaggio(linguaggio) + QLatin1Char('\t') + p.parola + QLatin1Char('\t') +
                 QString::number(p.occorrenze) + QLatin1Char('\t') + motivo + QLatin1Char('\n'))
                    .toUtf8();
        }
    }
    ErroreFile errore;
    if (!ScriviStandardOutput(uscita, errore)) {
        ScriviErrore(
            QStringLiteral("impossibile scrivere il risultato: %1").arg(errore.descrizione));
        return 1;
    }
    return falliti ? 1 : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Past a file size limit a write fails like any other instead of ending
    // the command halfway through.
    std::signal(SIGXFSZ, SIG_IGN);
    OccupaDescrittoriChiusi();
    // File names are bytes: the arguments as given, whatever the locale.
    QList<QByteArray> grezzi;
    for (int i = 0; i < argc; ++i)
        grezzi.append(QByteArray(argv[i]));
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quadrivo"));

    // Room for the whole help: its write is checked once, with its reason.
    static char bufferUscita[1 << 16];
    std::setvbuf(stdout, bufferUscita, _IOFBF, sizeof bufferUscita);
    Comando o;
    int uscita = -1;
    if (const std::optional<QString> errore = Analizza(grezzi, o, uscita))
        return ErroreUso(*errore);
    if (uscita >= 0) {
        // The help or the version went to standard output: a full or closed
        // one is an error like any other write's.
        errno = 0;
        if (std::fflush(stdout) != 0 || std::ferror(stdout) || uscitaChiusa) {
            const ErroreFile errore = uscitaChiusa ? DescrittoreChiuso() : ErroreFile::DaErrno(errno);
            ScriviErrore(QStringLiteral("impossibile scrivere sullo standard output: %1")
                             .arg(errore.descrizione));
            return 1;
        }
        return uscita;
    }

    const auto inizio = std::chrono::steady_clock::now();
    // With -r each folder stands for the files of its tree (the output folder
    // left out); a folder that cannot be read is reported and the run goes on.
    bool esplorazioneFallita = false;
    {
        std::set<std::pair<dev_t, ino_t>> escluse;
        struct stat stato;
        if (!o.cartella.isEmpty() && ::stat(o.cartellaGrezza.constData(), &stato) == 0)
            escluse.insert({stato.st_dev, stato.st_ino});
        QStringList file;
        QList<QByteArray> grezzi;
        for (qsizetype i = 0; i < o.file.size(); ++i) {
            const QByteArray &g = o.grezzi[i];
            if (!o.ricorsivo || o.file[i] == QStringLiteral("-") ||
                ::stat(g.constData(), &stato) != 0 || !S_ISDIR(stato.st_mode)) {
                file.append(o.file[i]);
                grezzi.append(g);
                o.relativi.append(NomeDi(g));
                continue;
            }
            const AlberoFile::Esito albero = AlberoFile::Raccogli(g, escluse);
            QByteArray radice = g;
            while (radice.size() > 1 && radice.endsWith('/'))
                radice.chop(1);
            const QByteArray base = radice == "/" ? radice : radice + '/';
            for (const AlberoFile::Errore &e : albero.errori) {
                ScriviErrore(QStringLiteral("impossibile leggere la cartella %1: %2")
                                 .arg(Mostra(QFile::decodeName(
                                          e.relativo.isEmpty() ? g : base + e.relativo)),
                                      ErroreFile::DaErrno(e.numero).descrizione));
                esplorazioneFallita = true;
            }
            if (albero.relativi.isEmpty() && albero.errori.isEmpty())
                ScriviErrore(
                    QStringLiteral("nota: in %1 nessun file da elaborare").arg(Mostra(o.file[i])));
            for (const QByteArray &r : albero.relativi) {
                grezzi.append(base + r);
                file.append(QFile::decodeName(base + r));
                o.relativi.append(r);
            }
        }
        o.file = file;
        o.grezzi = grezzi;
    }

    // A file named twice (by any path) is done once: over itself twice the
    // two runs would race; into the folder, the same result under the same
    // name. The same file under another name in the folder is still written.
    if (o.sulPosto || !o.cartella.isEmpty()) {
        std::map<std::tuple<dev_t, ino_t, QByteArray>, QString> visti;
        for (qsizetype i = 0; i < o.file.size();) {
            struct stat stato;
            if (::stat(o.grezzi[i].constData(), &stato) != 0) {
                ++i;
                continue;
            }
            const auto [primo, nuovo] = visti.try_emplace(
                {stato.st_dev, stato.st_ino, o.sulPosto ? QByteArray() : o.relativi[i]}, o.file[i]);
            if (nuovo) {
                ++i;
                continue;
            }
            ScriviErrore(QStringLiteral("nota: %1 è lo stesso file di %2: elaborato una volta sola")
                             .arg(Mostra(o.file[i]), Mostra(primo->second)));
            o.file.removeAt(i);
            o.grezzi.removeAt(i);
            o.relativi.removeAt(i);
        }
    }

    // Where each file's result goes; refused before anything is written when
    // a result would land on a file to be read, or on another file's result.
    QList<QByteArray> destinazioni;
    if (!o.cartella.isEmpty()) {
        const PianoUscita::Esito piano =
            PianoUscita::Destinazioni(o.cartellaGrezza, o.grezzi, o.relativi);
        if (const std::optional<PianoUscita::Rifiuto> r = piano.rifiuto) {
            const QString &f = o.file[r->file];
            if (r->altro < 0)
                return ErroreUso(QStringLiteral("il risultato di %1 andrebbe sopra un file da "
                                                "elaborare: scegliere un'altra cartella")
                                     .arg(Mostra(f)));
            return ErroreUso(QStringLiteral("%1 e %2 darebbero due risultati con lo stesso nome")
                                 .arg(Mostra(o.file[r->altro]), Mostra(f)));
        }
        destinazioni = piano.destinazioni;
    }

    // The options saved beside the lists, where the command line says nothing.
    const QString cartella =
        ScegliCartellaListe(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    ErroreFile erroreOpzioni;
    const Opzioni salvate = FileOpzioni::Leggi(cartella, &erroreOpzioni);
    if (erroreOpzioni.numero != 0)
        ScriviErrore(QStringLiteral("nota: impossibile leggere le opzioni %1: %2; restano spente")
                         .arg(QDir::toNativeSeparators(FileOpzioni::Percorso(cartella)),
                              erroreOpzioni.descrizione));
    if (!o.proteggi) o.proteggi = salvate.LasciaIntatti;
    if (!o.separatoriCodice) o.separatoriCodice = salvate.SeparatoriCodice;
    if (!o.elencoPerLinguaggio) o.elencoPerLinguaggio = salvate.ElencoPerLinguaggio;
    if (!o.copia) o.copia = salvate.ConservaOriginale;
    const bool perLinguaggio =
        o.elenco == QStringLiteral("auto") || (o.elenco.isEmpty() && *o.elencoPerLinguaggio);

    QSet<Linguaggio> linguaggi;
    if (o.file.isEmpty()) linguaggi.insert(RegoleDi(o, QStringLiteral("-")).tipo.linguaggio);
    for (const QString &f : o.file)
        linguaggi.insert(RegoleDi(o, f).tipo.linguaggio);

    const std::optional<Liste> liste = CaricaListe(o, cartella, perLinguaggio, linguaggi);
    if (!liste) return 1;
    Elaborazione elaborazione(*liste, o);

    // With -v the totals close the run.
    auto totali = [&](int stato) {
        if (o.dettagli) {
            const double secondi =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
            const qsizetype fatti = elaborazione.FileFatti();
            const qsizetype mancati = o.file.size() - fatti;
            QString riga = fatti == 1 ? QStringLiteral("Totale: 1 file elaborato")
                                      : QStringLiteral("Totale: %1 file elaborati").arg(fatti);
            if (mancati > 0)
                riga += mancati == 1 ? QStringLiteral(", 1 non elaborato")
                                     : QStringLiteral(", %1 non elaborati").arg(mancati);
            riga += QStringLiteral(", %1, %2 s")
                        .arg(Sostituzioni(elaborazione.SostituzioniFatte()),
                             QString::number(secondi, 'f', 2)
                                 .replace(QLatin1Char('.'), QLatin1Char(',')));
            ScriviDettaglio(riga);
        }
        return esplorazioneFallita ? 1 : stato;
    };

    if (o.paroleNonTradotte) return totali(ParoleNonTradotteDi(elaborazione, o));

    if (o.cartella.isEmpty() && !o.sulPosto)
        return totali(
            elaborazione.Flusso(o.file.isEmpty() ? QStringLiteral("-") : o.file.front()) ? 0 : 1);

    ErroreFile erroreCartella;
    if (!o.cartella.isEmpty() && !CreaCartella(o.cartellaGrezza, erroreCartella)) {
        ScriviErrore(QStringLiteral("impossibile creare la cartella %1: %2")
                         .arg(Mostra(o.cartella), erroreCartella.descrizione));
        return 1;
    }
    RimuoviTemporaneiDi(o.sulPosto ? o.grezzi : destinazioni);

    const qsizetype totale = o.file.size();
    // On a terminal, a line of progress once the run has taken a second.
    const bool progresso = isatty(STDERR_FILENO);
    std::atomic<qsizetype> prossimo{0}, fatti{0};
    std::atomic<bool> falliti{false};
    auto lavoro = [&] {
        for (qsizetype i; (i = prossimo++) < totale;) {
            const bool ok = o.sulPosto ? elaborazione.SulPosto(o.file[i], o.grezzi[i])
                                       : elaborazione.InCartella(o.file[i], o.grezzi[i],
                                                                 destinazioni[i], o.relativi[i]);
            if (!ok) falliti = true;
            const qsizetype n = ++fatti;
            if (progresso && std::chrono::steady_clock::now() - inizio > std::chrono::seconds(1)) {
                const std::lock_guard<std::mutex> blocco(uscitaErrori);
                std::fprintf(stderr, "\r\033[K%lld di %lld file elaborati", qlonglong(n),
                             qlonglong(totale));
                progressoVisibile = true;
            }
        }
    };
    const int lavori = int(std::min<qsizetype>(
        o.lavori > 0 ? o.lavori : std::max(1, QThread::idealThreadCount()), totale));
    std::vector<std::thread> fili;
    for (int k = 1; k < lavori; ++k)
        fili.emplace_back(lavoro);
    lavoro();
    for (std::thread &f : fili)
        f.join();
    if (progressoVisibile) std::fputs("\n", stderr);
    progressoVisibile = false;
    return totali(falliti ? 1 : 0);
}
