// Reading and writing documents: encodings, line breaks, RTF, atomic saves
// of documents and list files.

#include "aiuti/DispositivoGuasto.h"
#include "aiuti/Tabella.h"
#include "nucleo/elenchi/ArchivioListe.h"
#include "nucleo/testo/Documento.h"
#include "nucleo/testo/LettoreRtf.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <optional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using Codifica = FormatoTesto::Codifica;

namespace {

QByteArray LeggiFile(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<illeggibile>");
}

// The files of a folder, hidden ones included: a failed write leaves no
// temporary file behind.
QStringList FileDi(const QString &cartella)
{
    return QDir(cartella).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// Runs `prova` in a child process, which reports through `Riporta`; the exit
// status and the lines reported. The child ends with _exit: nothing of this
// process (temporary folders) is cleaned up twice.
struct EsitoFiglio
{
    int stato = -1;
    QByteArray righe;
};

void Riporta(int fd, const QString &riga)
{
    const QByteArray byte = riga.toUtf8() + '\n';
    if (::write(fd, byte.constData(), size_t(byte.size())) < 0) ::_exit(120);
}

EsitoFiglio InFiglio(const std::function<int(int fd)> &prova)
{
    int tubo[2];
    if (::pipe(tubo) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(tubo[0]);
        ::_exit(prova(tubo[1]));
    }
    ::close(tubo[1]);
    EsitoFiglio esito;
    char blocco[4096];
    for (ssize_t n; (n = ::read(tubo[0], blocco, sizeof blocco)) > 0;)
        esito.righe.append(blocco, n);
    ::close(tubo[0]);
    int stato = 0;
    if (pid < 0 || ::waitpid(pid, &stato, 0) != pid) return esito;
    esito.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
    return esito;
}

const QVector<VoceSostituzione> RigheVecchie{{u"If"_s, u"Se"_s}};

// A document or the substitution list file in `cartella`, written once.
QString PreparaVecchio(const QString &cartella, bool elenco)
{
    if (elenco) {
        ArchivioListe archivio(cartella);
        if (!archivio.Apri(Elenco::Sostituzioni) || !archivio.Salva(RigheVecchie)) return {};
        return archivio.Percorso(Elenco::Sostituzioni);
    }
    const QString percorso = QDir(cartella).filePath(u"a.txt"_s);
    FormatoTesto f;
    return Documento::Scrivi(percorso, u"vecchio"_s, f, nullptr) ? percorso : QString();
}

// What the editor does to a text: any line break becomes CR LF.
QString ComeNellEditor(QString testo)
{
    testo.replace(u"\r\n"_s, u"\n"_s);
    testo.replace(u'\r', u'\n');
    return testo.replace(u'\n', u"\r\n"_s);
}

// Opening then saving: the bytes written.
QByteArray AndataERitorno(const QByteArray &byte, FormatoTesto *formatoLetto = nullptr)
{
    FormatoTesto formato;
    const QString testo = ComeNellEditor(Documento::Decodifica(byte, &formato));
    if (formatoLetto) *formatoLetto = formato;
    return Documento::Codifica(testo, formato);
}

} // namespace

class TestDocumento : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dati;

private Q_SLOTS:
    // Copies of old bytes kept by in-place writes go to a data folder of this run.
    void initTestCase()
    {
        QVERIFY(m_dati.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dati.path()));
    }

    // Opened, shown in the editor and saved: the encoding found is the one
    // written back, unless the text no longer fits it.
    void codifiche()
    {
        QByteArray stampabili;
        for (int b = 0x20; b <= 0xFF; ++b)
            if (b != 0x7F && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D)
                stampabili.append(char(b));
        stampabili += "\r\n";
        FormatoTesto f;
        QCOMPARE(AndataERitorno(stampabili, &f), stampabili + "\r\n");
        QCOMPARE(f, FormatoTesto{});
        const QByteArray senza = u"perché €\r\nfine"_s.toUtf8();
        QCOMPARE(AndataERitorno(senza, &f), senza + "\r\n");
        QCOMPARE(f, (FormatoTesto{Codifica::Utf8, false}));
        const QByteArray bom = "\xEF\xBB\xBF";
        QCOMPARE(AndataERitorno(bom + senza, &f), bom + senza + "\r\n");
        QCOMPARE(f, (FormatoTesto{Codifica::Utf8, true}));
        // A BOM alone with ASCII after it stays UTF-8 with its BOM.
        QCOMPARE(AndataERitorno(bom + "abc", &f), bom + "abc\r\n");
        QCOMPARE(f, (FormatoTesto{Codifica::Utf8, true}));
        // Pure ASCII is plain 8-bit text.
        QCOMPARE(AndataERitorno("abc", &f), QByteArray("abc\r\n"));
        QCOMPARE(f, FormatoTesto{});
        // Characters outside the code page make the saved document UTF-8,
        // read back as UTF-8 again.
        const QByteArray byte = Documento::Codifica(u"Ω è"_s, f);
        QCOMPARE(byte, u"Ω è\r\n"_s.toUtf8());
        QCOMPARE(f.codifica, Codifica::Utf8);
        QCOMPARE(Documento::Decodifica(byte, &f), u"Ω è\r\n"_s);
        // A text that ends in a multibyte character, after a short or a long
        // ASCII run, is UTF-8; one whose last character is cut is not.
        for (const QString &prima : {u"a"_s, u"x"_s.repeated(40)}) {
            for (const QString &ultimo : {u"é"_s, u"€"_s, u"😀"_s}) {
                const QByteArray intero = (prima + ultimo).toUtf8();
                QCOMPARE(Documento::Decodifica(intero, &f), prima + ultimo);
                QCOMPARE(f, (FormatoTesto{Codifica::Utf8, false}));
                Documento::Decodifica(intero.chopped(1), &f);
                QCOMPARE(f, FormatoTesto{});
            }
        }
    }

    void acapo()
    {
        QCOMPARE(AndataERitorno("a\r\nb\r\n"), QByteArray("a\r\nb\r\n\r\n"));
        QCOMPARE(AndataERitorno("a\nb\n"), QByteArray("a\r\nb\r\n\r\n"));
        QCOMPARE(AndataERitorno("a\rb\r"), QByteArray("a\r\nb\r\n\r\n"));
        QCOMPARE(AndataERitorno(""), QByteArray("\r\n"));
    }

    // Invalid UTF-8 (a stray byte, an overlong form, a cut sequence) is Windows-1252.
    void utf8NonValido()
    {
        QCOMPARE(Documento::Decodifica("caff\xe8", nullptr), u"caffè"_s);
        FormatoTesto f;
        QCOMPARE(Documento::Decodifica("\xC0\xAF", &f), u"À¯"_s);
        QCOMPARE(Documento::Decodifica("ab\xC3", &f), u"abÃ"_s);
        QCOMPARE(Documento::Decodifica("\xC3\xA8 \xE8", &f), u"Ã¨ è"_s);
    }

    // Read and written back unchanged, every byte survives: a text that is
    // not lossless in the encoding its mark names is read as Windows-1252.
    void andataERitornoSenzaPerdite_data()
    {
        Colonne<QByteArray, FormatoTesto>("byte", "formato");
        const QString testo = u"perché Ω\r\nfine"_s;
        const QByteArray le = QStringEncoder(QStringConverter::Utf16LE).encode(testo);
        const QByteArray be = QStringEncoder(QStringConverter::Utf16BE).encode(testo);
        QByteArray ogniByte;
        for (int b = 0; b < 256; ++b)
            ogniByte.append(char(b));
        const QByteArray bom = "\xEF\xBB\xBF";
        const FormatoTesto ansi, utf16Be{Codifica::Utf16Be, true};
        Riga("ogni byte", ogniByte, ansi);
        Riga("BOM UTF-8, byte non valido", bom + "caff\xE8", ansi);
        Riga("BOM UTF-8, sequenza tagliata", bom + "ab\xC3", ansi);
        Riga("BOM UTF-8 due volte", bom + bom + "x", FormatoTesto{Codifica::Utf8, true});
        Riga("UTF-16 LE", "\xFF\xFE" + le, FormatoTesto{Codifica::Utf16Le, true});
        Riga("UTF-16 BE", "\xFE\xFF" + be, utf16Be);
        Riga("UTF-16 LE, byte dispari", "\xFF\xFE" + le + 'x', ansi);
        Riga("UTF-16 BE vuoto", QByteArray("\xFE\xFF"), utf16Be);
        Riga("vuoto", QByteArray(), ansi);
        Riga("righe lunghe con accenti", QByteArray("  x = \"perch\xE9 \x80\"\r\n").repeated(50),
             ansi);
    }

    void andataERitornoSenzaPerdite()
    {
        const auto [byte, formato] = DatiRiga<QByteArray, FormatoTesto>("byte", "formato");
        FormatoTesto f;
        const QString testo = Documento::Decodifica(byte, &f);
        QCOMPARE(f, formato);
        // Read from a file (decoded in the text's own buffer), the same.
        QTemporaryDir dir;
        QFile file(dir.filePath(u"f.txt"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(byte) == byte.size());
        file.close();
        FormatoTesto letto;
        QCOMPARE(Documento::Leggi(file.fileName(), &letto, nullptr), std::optional(testo));
        QCOMPARE(letto, f);
        const QByteArray acapo = f.codifica == Codifica::Utf16Le   ? QByteArray("\r\0\n\0", 4)
                                 : f.codifica == Codifica::Utf16Be ? QByteArray("\0\r\0\n", 4)
                                                                   : QByteArray("\r\n");
        QCOMPARE(Documento::Codifica(testo, f), byte + acapo);
        QCOMPARE(f, formato);
    }

    void rtf()
    {
        const QByteArray rtf =
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Courier New;}}"
            "{\\colortbl ;\\red255\\green0\\blue0;}{\\*\\generator Riched20;}"
            "\\viewkind4\\uc1\\pard\\f0\\fs20 Perch\\'e8 \\u8364?5\\par\n"
            "If a\\tab Then\\line fine {\\b grassetto}\\par}";
        QVERIFY(LettoreRtf::Riconosce(rtf));
        FormatoTesto f;
        QCOMPARE(Documento::Decodifica(rtf, &f),
                 u"Perchè €5\r\nIf a\tThen\r\nfine grassetto\r\n"_s);
        QCOMPARE(f.codifica, Codifica::Ansi);
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 a\\{b\\}c\\\\d}"), u"a{b}c\\d"_s);
        QCOMPARE(LettoreRtf::Testo("{\\rtf1\\uc2 x\\u-3913\\'81\\'82y}"), u"x\uF0B7y"_s);
        // The fallback characters still to skip end with their group.
        QCOMPARE(LettoreRtf::Testo("{\\rtf1\\uc2{\\u8364}ab}"), u"€ab"_s);
        QCOMPARE(LettoreRtf::Testo("{\\rtf1{\\pict\\pngblip 89504e47}{\\info{\\title T}}ok}"),
                 u"ok"_s);
    }

    // Unbalanced braces, a cut control word or escape (which stays text), deep nesting.
    void rtfMalformato()
    {
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 a}}}} b"), u"a b"_s);
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 {{{ a"), u" a"_s);
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 x\\"), u"x"_s);
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 x\\'4"), u"x4"_s);
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 \\bin999999999 x"), QString());
        const QByteArray profondo = QByteArray(10000, '{') + "dentro" + QByteArray(10000, '}');
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 " + profondo), u"dentro"_s);
        // Groups a few thousand levels deep still have a state of their own;
        // deeper ones are plain text of the group around them.
        const auto annidato = [](int livelli) {
            return "{\\rtf1 " + QByteArray(livelli, '{') + "{\\info nascosto}testo" +
                   QByteArray(livelli + 1, '}') + "{\\info x}fine}";
        };
        QCOMPARE(LettoreRtf::Testo(annidato(3000)), u"testofine"_s);
        QCOMPARE(LettoreRtf::Testo(annidato(5000)), u"nascostotestofine"_s);
        // Random bytes after the header never crash the reader.
        QRandomGenerator gen(5);
        const QByteArray pezzi[] = {"{",   "}",   "\\", "\\'", "\\u",  "-", "12",
                                    "par", "bin", " ",  "a",   "\xe8", "*", "uc"};
        for (int i = 0; i < 2000; ++i) {
            QByteArray caso = "{\\rtf1";
            for (int k = int(gen.bounded(40)); k > 0; --k)
                caso += pezzi[gen.bounded(int(std::size(pezzi)))];
            (void)LettoreRtf::Testo(caso);
        }
    }

    // 32 MiB of open braces: the reader's memory does not grow with the depth.
    void rtfMemoriaLimitata()
    {
        const QByteArray rtf = "{\\rtf1 " + QByteArray(32 << 20, '{') + 'x';
        const auto picco = [] {
            QFile stato(u"/proc/self/status"_s);
            if (!stato.open(QIODevice::ReadOnly)) return QByteArray();
            for (const QByteArray &riga : stato.readAll().split('\n'))
                if (riga.startsWith("VmHWM:")) return riga.mid(6).trimmed();
            return QByteArray();
        };
        const EsitoFiglio esito = InFiglio([&](int fd) {
            // Resets the peak to the memory in use now.
            const int azzera = ::open("/proc/self/clear_refs", O_WRONLY);
            if (azzera < 0 || ::write(azzera, "5", 1) != 1) return 77;
            ::close(azzera);
            const QByteArray prima = picco();
            const bool giusto = LettoreRtf::Testo(rtf) == u"x"_s;
            Riporta(fd, QString::fromLatin1(prima + ' ' + picco()));
            return giusto ? 0 : 1;
        });
        if (esito.stato == 77) QSKIP("The peak memory of a process cannot be reset here");
        QCOMPARE(esito.stato, 0);
        const QList<QByteArray> kb = esito.righe.trimmed().replace(" kB", "").split(' ');
        QCOMPARE(kb.size(), 2);
        QVERIFY2(kb[1].toLongLong() - kb[0].toLongLong() < 16 * 1024, esito.righe.constData());
    }

    // Only regular files are opened (links to them included); anything else
    // is refused before it is opened, so a pipe with no writer blocks nothing.
    void fileSpeciali_data()
    {
        // nome: in the test folder, or absolute
        Colonne<QString, QString>("nome", "messaggio");
        const QString nonAperto = u", non un file: non viene aperto  (22)"_s;
        Riga("pipe", u"tubo"_s, u"Errore: È una pipe con nome"_s + nonAperto);
        Riga("collegamento a una pipe", u"al tubo"_s, u"Errore: È una pipe con nome"_s + nonAperto);
        Riga("socket", u"presa"_s, u"Errore: È un socket"_s + nonAperto);
        Riga("dispositivo", u"/dev/null"_s, u"Errore: È un dispositivo"_s + nonAperto);
        Riga("dispositivo senza fine", u"/dev/zero"_s, u"Errore: È un dispositivo"_s + nonAperto);
        Riga("cartella", QString(), u"Errore: È una cartella  (21)"_s);
        Riga("collegamento a un file", u"al file"_s, QString());
        Riga("mancante", u"manca"_s, u"Errore: File o cartella inesistente  (2)"_s);
        Riga("collegamento circolare", u"giro"_s,
             u"Errore: Troppi livelli di collegamenti simbolici  (40)"_s);
    }

    void fileSpeciali()
    {
        const auto [nome, messaggio] = DatiRiga<QString, QString>("nome", "messaggio");
        QTemporaryDir dir;
        const QString tubo = dir.filePath(u"tubo"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(tubo).constData(), 0600), 0);
        QFile file(dir.filePath(u"file.txt"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("testo") == 5);
        file.close();
        QVERIFY(QFile::link(tubo, dir.filePath(u"al tubo"_s)));
        QVERIFY(QFile::link(file.fileName(), dir.filePath(u"al file"_s)));
        QVERIFY(QFile::link(dir.filePath(u"giro"_s), dir.filePath(u"giro2"_s)));
        QVERIFY(QFile::link(dir.filePath(u"giro2"_s), dir.filePath(u"giro"_s)));
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un indirizzo{};
        indirizzo.sun_family = AF_UNIX;
        const QByteArray nomePresa = QFile::encodeName(dir.filePath(u"presa"_s));
        QVERIFY(size_t(nomePresa.size()) < sizeof indirizzo.sun_path);
        std::copy(nomePresa.begin(), nomePresa.end(), indirizzo.sun_path);
        QCOMPARE(::bind(s, reinterpret_cast<sockaddr *>(&indirizzo), sizeof indirizzo), 0);
        const QString percorso = nome.isEmpty()          ? dir.path()
                                 : nome.startsWith(u'/') ? nome
                                                         : dir.filePath(nome);
        FormatoTesto f;
        ErroreFile errore;
        const std::optional<QString> testo = Documento::Leggi(percorso, &f, &errore);
        ::close(s);
        if (messaggio.isEmpty()) {
            QCOMPARE(testo, std::optional(u"testo"_s));
        } else {
            QVERIFY(!testo);
            QCOMPARE(errore.Messaggio(), messaggio);
        }
    }

    // A write that fails at any byte leaves the old file and the format as
    // they were, and says why; through the same path a write that does not
    // fail replaces the file.
    void scritturaAtomica_data()
    {
        // guasto: -1 none, else 0 first byte, 1 middle, 2 last byte
        Colonne<bool, int>("elenco", "guasto");
        for (const bool elenco : {false, true}) {
            const char *cosa = elenco ? "elenco" : "documento";
            QTest::addRow("%s, nessun guasto", cosa) << elenco << -1;
            QTest::addRow("%s, primo byte", cosa) << elenco << 0;
            QTest::addRow("%s, a metà", cosa) << elenco << 1;
            QTest::addRow("%s, ultimo byte", cosa) << elenco << 2;
        }
    }

    void scritturaAtomica()
    {
        const auto [elenco, guasto] = DatiRiga<bool, int>("elenco", "guasto");
        QTemporaryDir dir;
        const QString percorso = PreparaVecchio(dir.path(), elenco);
        QVERIFY(!percorso.isEmpty());
        const QByteArray prima = LeggiFile(percorso);
        ArchivioListe archivio(dir.path());
        if (elenco) QVERIFY(archivio.Apri(Elenco::Sostituzioni));
        // Past the 16 KiB write buffer; "Ω" makes a saved document UTF-8.
        const QString testo = u"Se a Allora Ω\r\n"_s.repeated(2000);
        const QVector<VoceSostituzione> righe = SostituzioniPredefinite();
        FormatoTesto formato, nuovo;
        const qint64 dimensione =
            elenco ? righe.size() * Record::Lunghezza : Documento::Codifica(testo, nuovo).size();
        const qint64 accettati = guasto < 0    ? -1
                                 : guasto == 0 ? 0
                                 : guasto == 1 ? dimensione / 2
                                               : dimensione - 1;
        ErroreFile errore;
        bool riuscita;
        {
            DispositivoGuasto::Installa installa(accettati);
            riuscita = elenco ? archivio.Salva(righe, &errore)
                              : Documento::Scrivi(percorso, testo, formato, &errore);
        }
        QCOMPARE(FileDi(dir.path()), QStringList{QFileInfo(percorso).fileName()});
        if (guasto < 0) {
            QVERIFY(riuscita);
            QCOMPARE(LeggiFile(percorso).size(), dimensione);
            QCOMPARE(formato, nuovo);
            if (elenco) QCOMPARE(archivio.LeggiSostituzioni(), righe);
            return;
        }
        QVERIFY(!riuscita);
        QCOMPARE(errore.Messaggio(), u"Errore: Spazio esaurito sul dispositivo  (28)"_s);
        QCOMPARE(LeggiFile(percorso), prima);
        QCOMPARE(formato, FormatoTesto{});
        if (elenco) QCOMPARE(archivio.LeggiSostituzioni(), RigheVecchie);
        if (guasto != 0) return;
        // Paths that cannot be written at all.
        QVERIFY(!Documento::Scrivi(percorso + u"/b.txt"_s, testo, formato, &errore));
        QCOMPARE(errore.Messaggio(), u"Errore: Non è una cartella  (20)"_s);
        QVERIFY(!Documento::Scrivi(dir.path(), testo, formato, &errore));
        QCOMPARE(LeggiFile(percorso), prima);
    }

    // The kernel refuses the write (file-size limit, as on a full disk): the
    // last bytes of a small file are refused when the buffer is written out,
    // those of a large one while it is being written. In place, the write is
    // refused before a byte is written, with no SIGXFSZ to end the process.
    void spazioEsaurito_data()
    {
        Colonne<bool, int, bool>("elenco", "righe", "inPosto");
        Riga("documento piccolo, rifiutato alla chiusura", false, 100, false);
        Riga("documento grande, rifiutato durante la scrittura", false, 10000, false);
        Riga("elenco", true, 0, false);
        Riga("in posto, rifiutato prima di scrivere", false, 200, true);
    }

    void spazioEsaurito()
    {
        const auto [elenco, righe, inPosto] =
            DatiRiga<bool, int, bool>("elenco", "righe", "inPosto");
        QTemporaryDir dir;
        const QString percorso = PreparaVecchio(dir.path(), elenco);
        QVERIFY(!percorso.isEmpty());
        const QByteArray prima = LeggiFile(percorso);
        const EsitoFiglio esito = InFiglio([&](int fd) {
            const rlimit limite{1024, 1024};
            if (::setrlimit(RLIMIT_FSIZE, &limite) != 0) return 77;
            std::optional<DispositivoGuasto::InPosto> forza;
            if (inPosto)
                forza.emplace();
            else
                ::signal(SIGXFSZ, SIG_IGN);
            ErroreFile errore;
            bool riuscita;
            if (elenco) {
                ArchivioListe archivio(dir.path());
                QVector<VoceSostituzione> righe;
                while (righe.size() * Record::Lunghezza <= qsizetype(limite.rlim_cur))
                    righe += SostituzioniPredefinite();
                riuscita = archivio.Apri(Elenco::Sostituzioni) && archivio.Salva(righe, &errore);
            } else {
                FormatoTesto formato;
                riuscita = Documento::Scrivi(percorso, u"Se a Allora b\r\n"_s.repeated(righe),
                                             formato, &errore);
            }
            Riporta(fd, riuscita ? u"salvato"_s : errore.Messaggio());
            return 0;
        });
        if (esito.stato == 77) QSKIP("The file-size limit cannot be lowered here");
        QCOMPARE(esito.stato, 0);
        QCOMPARE(esito.righe, QByteArray("Errore: File troppo grande  (27)\n"));
        QCOMPARE(LeggiFile(percorso), prima);
        QCOMPARE(FileDi(dir.path()), QStringList{QFileInfo(percorso).fileName()});
        QVERIFY(ScritturaAtomica::CopieInSospeso().isEmpty());
    }

    // A user who may write a file but not its folder: a document is rewritten
    // in place, a list file keeps the atomic rename and so is refused.
    void cartellaNonScrivibile()
    {
        constexpr uid_t Nessuno = 65534;
        QTemporaryDir dir;
        const QString documento = PreparaVecchio(dir.path(), false);
        const QString lista = PreparaVecchio(dir.path(), true);
        QVERIFY(!documento.isEmpty() && !lista.isEmpty());
        const QByteArray primaLista = LeggiFile(lista);
        const bool radice = ::geteuid() == 0;
        for (const QString &file : {documento, lista})
            QVERIFY(!radice || ::chown(QFile::encodeName(file).constData(), Nessuno, Nessuno) == 0);
        // The copy of the old bytes an in-place write keeps goes to the user's data folder.
        QTemporaryDir dati;
        QVERIFY(!radice ||
                ::chown(QFile::encodeName(dati.path()).constData(), Nessuno, Nessuno) == 0);
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther |
                                                      QFile::ReadGroup | QFile::ExeGroup));
        const EsitoFiglio esito = InFiglio([&](int fd) {
            qputenv("XDG_DATA_HOME", QFile::encodeName(dati.path()));
            if (radice &&
                (::setgroups(0, nullptr) != 0 || ::setgid(Nessuno) != 0 || ::setuid(Nessuno) != 0))
                return 77;
            if (::access(QFile::encodeName(dir.path()).constData(), W_OK) == 0) return 78;
            if (::access(QFile::encodeName(documento).constData(), W_OK) != 0) return 79;
            FormatoTesto formato;
            ErroreFile errore;
            Riporta(fd, Documento::Scrivi(documento, u"nuovo"_s, formato, &errore)
                            ? u"salvato"_s
                            : errore.Messaggio());
            ArchivioListe archivio(dir.path());
            Riporta(fd, archivio.Apri(Elenco::Sostituzioni, &errore) &&
                                archivio.Salva(SostituzioniPredefinite(), &errore)
                            ? u"salvato"_s
                            : errore.Messaggio());
            return 0;
        });
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (esito.stato == 77) QSKIP("Running as root and unable to switch to user nobody (65534)");
        if (esito.stato == 78) QSKIP("This user may write to any folder (a capability)");
        if (esito.stato == 79) QSKIP("User nobody cannot reach the temporary folder");
        QCOMPARE(esito.stato, 0);
        QCOMPARE(esito.righe, QByteArray("salvato\nErrore: Permesso negato  (13)\n"));
        QCOMPARE(LeggiFile(documento), QByteArray("nuovo\r\n"));
        QCOMPARE(LeggiFile(lista), primaLista);
    }

    // A write that fails after some bytes (full disk) or whose bytes do not
    // reach the disk (fsync fails): atomic or in place, the old bytes stay and
    // no copy of them is left over.
    void guastoConservaIlVecchio_data()
    {
        // guasto: 0 none, 1 full disk halfway, 2 fsync
        Colonne<bool, int>("inPosto", "guasto");
        for (const bool inPosto : {false, true}) {
            const char *come = inPosto ? "in posto" : "atomica";
            QTest::addRow("%s, nessun guasto", come) << inPosto << 0;
            QTest::addRow("%s, spazio esaurito a metà", come) << inPosto << 1;
            QTest::addRow("%s, fsync fallita", come) << inPosto << 2;
        }
    }

    void guastoConservaIlVecchio()
    {
        const auto [inPosto, guasto] = DatiRiga<bool, int>("inPosto", "guasto");
        QTemporaryDir dir;
        const QString percorso = PreparaVecchio(dir.path(), false);
        QVERIFY(!percorso.isEmpty());
        const QByteArray prima = LeggiFile(percorso);
        const QByteArray nuovo = QByteArray("Se a Allora b\r\n").repeated(2000);
        ErroreFile errore;
        bool riuscita;
        {
            DispositivoGuasto::InPosto forza;
            if (!inPosto) ScritturaAtomica::ForzaInPostoPerProve(false);
            DispositivoGuasto::Installa spazio(guasto == 1 ? nuovo.size() / 2 : -1);
            std::optional<DispositivoGuasto::SincronizzazioneGuasta> sincronizzazione;
            if (guasto == 2) sincronizzazione.emplace();
            riuscita = ScritturaAtomica::Scrivi(
                percorso, nuovo, ScritturaAtomica::Modo::InPostoSeNecessario, &errore);
        }
        QCOMPARE(FileDi(dir.path()), QStringList{QFileInfo(percorso).fileName()});
        QVERIFY(ScritturaAtomica::CopieInSospeso().isEmpty());
        if (guasto == 0) {
            QVERIFY(riuscita);
            QCOMPARE(LeggiFile(percorso), nuovo);
            return;
        }
        QVERIFY(!riuscita);
        QCOMPARE(errore.Messaggio(), guasto == 1
                                         ? u"Errore: Spazio esaurito sul dispositivo  (28)"_s
                                         : u"Errore: Errore di input/output  (5)"_s);
        QCOMPARE(LeggiFile(percorso), prima);
    }

    // A process killed halfway through an in-place write leaves a torn file
    // and a copy of the old bytes, which is found and restored or discarded.
    void interruzioneInPosto_data()
    {
        QTest::addColumn<bool>("ripristina");
        Riga("ripristinata", true);
        Riga("scartata", false);
    }

    void interruzioneInPosto()
    {
        QFETCH(bool, ripristina);
        QTemporaryDir dir;
        const QString percorso = dir.filePath(u"a.txt"_s);
        const QByteArray prima = QByteArray("Se a Allora b\r\n").repeated(500);
        QFile vecchio(percorso);
        QVERIFY(vecchio.open(QIODevice::WriteOnly) && vecchio.write(prima) == prima.size());
        vecchio.close();
        const QByteArray nuovo = QByteArray("If x Then y\r\n").repeated(800);
        const EsitoFiglio esito = InFiglio([&](int) {
            DispositivoGuasto::InPosto forza;
            DispositivoGuasto::Installa uccidi(nuovo.size() / 2,
                                               DispositivoGuasto::Guasto::Termina);
            ScritturaAtomica::Scrivi(percorso, nuovo, ScritturaAtomica::Modo::InPostoSeNecessario,
                                     nullptr);
            return 0;
        });
        QCOMPARE(esito.stato, DispositivoGuasto::CodiceTermina);
        QCOMPARE(LeggiFile(percorso).left(nuovo.size() / 2), nuovo.left(nuovo.size() / 2));
        const QVector<ScritturaAtomica::CopiaInSospeso> copie = ScritturaAtomica::CopieInSospeso();
        QCOMPARE(copie.size(), 1);
        QCOMPARE(copie[0].percorso, percorso);
        QCOMPARE(copie[0].dimensione, prima.size());
        ErroreFile errore;
        if (ripristina) {
            QVERIFY(ScritturaAtomica::Ripristina(copie[0], &errore));
            QCOMPARE(LeggiFile(percorso), prima);
        } else {
            QVERIFY(ScritturaAtomica::Scarta(copie[0], &errore));
        }
        QVERIFY(ScritturaAtomica::CopieInSospeso().isEmpty());
        QCOMPARE(QDir(ScritturaAtomica::CartellaCopie()).entryList(QDir::Files), QStringList());
    }

    // An atomic save keeps the replaced file's owner, group and mode bits,
    // setuid, setgid and sticky included.
    void proprietarioEModo_data()
    {
        // altroProprietario: uid and gid 65534: only root may give them
        Colonne<int, bool>("modo", "altroProprietario");
        Riga("0444", 0444, false);
        Riga("0000", 0000, false);
        Riga("01755", 01755, false);
        Riga("04640, utente nobody", 04640, true);
        Riga("06750, utente nobody", 06750, true);
    }

    void proprietarioEModo()
    {
        const auto [modo, altroProprietario] = DatiRiga<int, bool>("modo", "altroProprietario");
        constexpr uid_t Nessuno = 65534;
        if (altroProprietario && ::geteuid() != 0)
            QSKIP("Only root may give a file to another user");
        QTemporaryDir dir;
        const QString percorso = PreparaVecchio(dir.path(), false);
        QVERIFY(!percorso.isEmpty());
        const QByteArray nome = QFile::encodeName(percorso);
        if (altroProprietario) QCOMPARE(::chown(nome.constData(), Nessuno, Nessuno), 0);
        QCOMPARE(::chmod(nome.constData(), mode_t(modo)), 0);
        struct stat prima;
        QCOMPARE(::stat(nome.constData(), &prima), 0);
        QVERIFY(ScritturaAtomica::Scrivi(percorso, "nuovo", ScritturaAtomica::Modo::SoloAtomica,
                                         nullptr));
        struct stat dopo;
        QCOMPARE(::stat(nome.constData(), &dopo), 0);
        QVERIFY(dopo.st_ino != prima.st_ino); // replaced, not rewritten
        QCOMPARE(int(dopo.st_mode & 07777), modo);
        QCOMPARE(dopo.st_uid, prima.st_uid);
        QCOMPARE(dopo.st_gid, prima.st_gid);
        QCOMPARE(LeggiFile(percorso), QByteArray("nuovo"));
    }

    void letturaRifiutata()
    {
        QTemporaryDir dir;
        FormatoTesto f;
        ErroreFile errore;
        QVERIFY(!Documento::Leggi(dir.path(), &f, &errore));
        QCOMPARE(errore.numero, EISDIR);
        QVERIFY(!Documento::Leggi(dir.filePath(u"manca.txt"_s), &f, &errore));
        QCOMPARE(errore.numero, ENOENT);
        // Past the size limit: refused before reading (a sparse file takes no room).
        QFile grande(dir.filePath(u"grande.txt"_s));
        QVERIFY(grande.open(QIODevice::WriteOnly));
        QVERIFY(grande.resize(Documento::DimensioneMassima + 1));
        grande.close();
        QVERIFY(!Documento::Leggi(grande.fileName(), &f, &errore));
        QCOMPARE(errore.numero, EFBIG);
        QVERIFY(errore.descrizione.contains(u"256 MB"_s));
        // Exactly at the limit: read whole. Only the bytes: decoding 256 MB
        // would take seconds and checks nothing about the limit.
        QVERIFY(grande.resize(Documento::DimensioneMassima));
        const std::optional<Documento::FileLetto> letto =
            Documento::LeggiByte(grande.fileName(), &errore);
        QVERIFY(letto);
        QCOMPARE(letto->Byte().size(), Documento::DimensioneMassima);
    }
};

QTEST_GUILESS_MAIN(TestDocumento)
#include "test_documento.moc"
