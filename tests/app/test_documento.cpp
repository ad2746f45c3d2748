// Reading and writing documents: encodings, line breaks, RTF, atomic saves
// of documents and list files.

#include "aiuti/DispositivoGuasto.h"
#include "app/Documento.h"
#include "app/LettoreRtf.h"
#include "lists/ArchivioListe.h"

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
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

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

const QVector<VoceSostituzione> RigheVecchie{{QStringLiteral("If"), QStringLiteral("Se")}};

// A document or the substitution list file in `cartella`, written once.
QString PreparaVecchio(const QString &cartella, bool elenco)
{
    if (elenco) {
        ArchivioListe archivio(cartella);
        if (!archivio.Apri(Elenco::Sostituzioni) || !archivio.Salva(RigheVecchie)) return {};
        return archivio.Percorso(Elenco::Sostituzioni);
    }
    const QString percorso = QDir(cartella).filePath(QStringLiteral("a.txt"));
    FormatoTesto f;
    return Documento::Scrivi(percorso, QStringLiteral("vecchio"), f, nullptr) ? percorso
                                                                              : QString();
}

// What the editor does to a text: any line break becomes CR LF.
QString ComeNellEditor(QString testo)
{
    testo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    testo.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return testo.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
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
private Q_SLOTS:
    void windows1252OgniByte()
    {
        QByteArray byte;
        for (int b = 0x20; b <= 0xFF; ++b)
            if (b != 0x7F && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D)
                byte.append(char(b));
        byte += "\r\n";
        FormatoTesto f;
        QCOMPARE(AndataERitorno(byte, &f), byte + "\r\n");
        QCOMPARE(f.codifica, FormatoTesto::Codifica::Ansi);
        QCOMPARE(Documento::Decodifica("caff\xe8", nullptr), QStringLiteral("caffè"));
    }

    void utf8ConESenzaBom()
    {
        const QByteArray senza = QStringLiteral("perché €\r\nfine").toUtf8();
        FormatoTesto f;
        QCOMPARE(AndataERitorno(senza, &f), senza + "\r\n");
        QCOMPARE(f, (FormatoTesto{FormatoTesto::Codifica::Utf8, false}));
        const QByteArray con = "\xEF\xBB\xBF" + senza;
        QCOMPARE(AndataERitorno(con, &f), con + "\r\n");
        QCOMPARE(f, (FormatoTesto{FormatoTesto::Codifica::Utf8, true}));
        // A BOM alone with ASCII after it stays UTF-8 with its BOM.
        QCOMPARE(AndataERitorno("\xEF\xBB\xBF"
                                "abc"),
                 QByteArray("\xEF\xBB\xBF"
                            "abc\r\n"));
        // Pure ASCII is plain 8-bit text.
        QCOMPARE(AndataERitorno("abc", &f), QByteArray("abc\r\n"));
        QCOMPARE(f.codifica, FormatoTesto::Codifica::Ansi);
        // Invalid UTF-8 (a stray byte, an overlong form, a cut sequence) is Windows-1252.
        QCOMPARE(Documento::Decodifica("\xC0\xAF", &f), QStringLiteral("À¯"));
        QCOMPARE(Documento::Decodifica("ab\xC3", &f), QStringLiteral("abÃ"));
        QCOMPARE(Documento::Decodifica("\xC3\xA8 \xE8", &f), QStringLiteral("Ã¨ è"));
    }

    void acapo()
    {
        QCOMPARE(AndataERitorno("a\r\nb\r\n"), QByteArray("a\r\nb\r\n\r\n"));
        QCOMPARE(AndataERitorno("a\nb\n"), QByteArray("a\r\nb\r\n\r\n"));
        QCOMPARE(AndataERitorno("a\rb\r"), QByteArray("a\r\nb\r\n\r\n"));
        QCOMPARE(AndataERitorno(""), QByteArray("\r\n"));
    }

    // Read and written back unchanged, every byte survives: a text that is
    // not lossless in the encoding its mark names is read as Windows-1252.
    void andataERitornoSenzaPerdite_data()
    {
        QTest::addColumn<QByteArray>("byte");
        QTest::addColumn<FormatoTesto::Codifica>("codifica");
        QTest::addColumn<bool>("bom");
        using C = FormatoTesto::Codifica;
        const QString testo = QStringLiteral("perché Ω\r\nfine");
        const QByteArray le = QStringEncoder(QStringConverter::Utf16LE).encode(testo);
        const QByteArray be = QStringEncoder(QStringConverter::Utf16BE).encode(testo);
        QByteArray ogniByte;
        for (int b = 0; b < 256; ++b)
            ogniByte.append(char(b));
        QTest::newRow("ogni byte") << ogniByte << C::Ansi << false;
        QTest::newRow("BOM UTF-8, byte non valido") << QByteArray("\xEF\xBB\xBF"
                                                                  "caff\xE8")
                                                    << C::Ansi << false;
        QTest::newRow("BOM UTF-8, sequenza tagliata") << QByteArray("\xEF\xBB\xBF"
                                                                    "ab\xC3")
                                                      << C::Ansi << false;
        QTest::newRow("BOM UTF-8 due volte")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << C::Utf8 << true;
        QTest::newRow("UTF-16 LE") << "\xFF\xFE" + le << C::Utf16Le << true;
        QTest::newRow("UTF-16 BE") << "\xFE\xFF" + be << C::Utf16Be << true;
        QTest::newRow("UTF-16 LE, byte dispari") << "\xFF\xFE" + le + 'x' << C::Ansi << false;
        QTest::newRow("UTF-16 BE vuoto") << QByteArray("\xFE\xFF") << C::Utf16Be << true;
        QTest::newRow("vuoto") << QByteArray() << C::Ansi << false;
        QTest::newRow("righe lunghe con accenti")
            << QByteArray("  x = \"perch\xE9 \x80\"\r\n").repeated(50) << C::Ansi << false;
    }

    void andataERitornoSenzaPerdite()
    {
        QFETCH(QByteArray, byte);
        QFETCH(FormatoTesto::Codifica, codifica);
        QFETCH(bool, bom);
        FormatoTesto f;
        const QString testo = Documento::Decodifica(byte, &f);
        QCOMPARE(f, (FormatoTesto{codifica, bom}));
        // Read from a file (decoded in the text's own buffer), the same.
        QTemporaryDir dir;
        const QString percorso = dir.filePath(QStringLiteral("f.txt"));
        QFile file(percorso);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(byte) == byte.size());
        file.close();
        FormatoTesto letto;
        QCOMPARE(Documento::Leggi(percorso, &letto, nullptr), std::optional<QString>(testo));
        QCOMPARE(letto, f);
        const QByteArray acapo =
            codifica == FormatoTesto::Codifica::Utf16Le   ? QByteArray("\r\0\n\0", 4)
            : codifica == FormatoTesto::Codifica::Utf16Be ? QByteArray("\0\r\0\n", 4)
                                                          : QByteArray("\r\n");
        QCOMPARE(Documento::Codifica(testo, f), byte + acapo);
        QCOMPARE(f, (FormatoTesto{codifica, bom}));
    }

    void caratteriFuoriCodepage()
    {
        FormatoTesto f;
        const QByteArray byte = Documento::Codifica(QStringLiteral("Ω è"), f);
        QCOMPARE(byte, QStringLiteral("Ω è\r\n").toUtf8());
        QCOMPARE(f.codifica, FormatoTesto::Codifica::Utf8);
        // Read back, it is recognised as UTF-8 again.
        QCOMPARE(Documento::Decodifica(byte, &f), QStringLiteral("Ω è\r\n"));
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
                 QStringLiteral("Perchè €5\r\nIf a\tThen\r\nfine grassetto\r\n"));
        QCOMPARE(f.codifica, FormatoTesto::Codifica::Ansi);
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 a\\{b\\}c\\\\d}"), QStringLiteral("a{b}c\\d"));
        QCOMPARE(LettoreRtf::Testo("{\\rtf1\\uc2 x\\u-3913\\'81\\'82y}"),
                 QStringLiteral("x\uF0B7y"));
        // The fallback characters still to skip end with their group.
        QCOMPARE(LettoreRtf::Testo("{\\rtf1\\uc2{\\u8364}ab}"), QStringLiteral("€ab"));
        QCOMPARE(LettoreRtf::Testo("{\\rtf1{\\pict\\pngblip 89504e47}{\\info{\\title T}}ok}"),
                 QStringLiteral("ok"));
    }

    void rtfMalformato()
    {
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 a}}}} b"), QStringLiteral("a b"));
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 {{{ a"), QStringLiteral(" a"));
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 x\\"), QStringLiteral("x"));
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 x\\'4"),
                 QStringLiteral("x4")); // a cut escape stays text
        QCOMPARE(LettoreRtf::Testo("{\\rtf1 \\bin999999999 x"), QString());
        QByteArray profondo = "{\\rtf1 ";
        profondo += QByteArray(10000, '{') + "dentro" + QByteArray(10000, '}');
        QCOMPARE(LettoreRtf::Testo(profondo), QStringLiteral("dentro"));
        // Groups a few thousand levels deep still have a state of their own;
        // deeper ones are plain text of the group around them.
        const auto annidato = [](int livelli) {
            return "{\\rtf1 " + QByteArray(livelli, '{') + "{\\info nascosto}testo" +
                   QByteArray(livelli + 1, '}') + "{\\info x}fine}";
        };
        QCOMPARE(LettoreRtf::Testo(annidato(3000)), QStringLiteral("testofine"));
        QCOMPARE(LettoreRtf::Testo(annidato(5000)), QStringLiteral("nascostotestofine"));
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
            QFile stato(QStringLiteral("/proc/self/status"));
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
            const bool giusto = LettoreRtf::Testo(rtf) == QStringLiteral("x");
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
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("messaggio");
        const QString nonAperto = QStringLiteral(", non un file: non viene aperto  (22)");
        QTest::newRow("pipe") << "pipe"
                              << QStringLiteral("Errore: È una pipe con nome") + nonAperto;
        QTest::newRow("collegamento a una pipe")
            << "collegamento a una pipe"
            << QStringLiteral("Errore: È una pipe con nome") + nonAperto;
        QTest::newRow("socket") << "socket" << QStringLiteral("Errore: È un socket") + nonAperto;
        QTest::newRow("dispositivo")
            << "dispositivo" << QStringLiteral("Errore: È un dispositivo") + nonAperto;
        QTest::newRow("cartella") << "cartella" << QStringLiteral("Errore: È una cartella  (21)");
        QTest::newRow("collegamento a un file") << "collegamento a un file" << QString();
    }

    void fileSpeciali()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, messaggio);
        QTemporaryDir dir;
        const QString tubo = dir.filePath(QStringLiteral("tubo"));
        const QString file = dir.filePath(QStringLiteral("file.txt"));
        const QString presa = dir.filePath(QStringLiteral("presa"));
        QCOMPARE(::mkfifo(QFile::encodeName(tubo).constData(), 0600), 0);
        QFile scritto(file);
        QVERIFY(scritto.open(QIODevice::WriteOnly) && scritto.write("testo") == 5);
        scritto.close();
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un indirizzo{};
        indirizzo.sun_family = AF_UNIX;
        const QByteArray nomePresa = QFile::encodeName(presa);
        QVERIFY(size_t(nomePresa.size()) < sizeof indirizzo.sun_path);
        std::copy(nomePresa.begin(), nomePresa.end(), indirizzo.sun_path);
        QCOMPARE(::bind(s, reinterpret_cast<sockaddr *>(&indirizzo), sizeof indirizzo), 0);
        const QString collegamento = dir.filePath(QStringLiteral("collegamento"));
        QVERIFY(QFile::link(tipo.endsWith(QStringLiteral("pipe")) ? tubo : file, collegamento));
        const QString percorso = tipo == QStringLiteral("pipe")     ? tubo
                                 : tipo == QStringLiteral("socket") ? presa
                                 : tipo == QStringLiteral("dispositivo")
                                     ? QStringLiteral("/dev/null")
                                 : tipo == QStringLiteral("cartella") ? dir.path()
                                                                      : collegamento;
        FormatoTesto f;
        ErroreFile errore;
        const std::optional<QString> testo = Documento::Leggi(percorso, &f, &errore);
        ::close(s);
        if (messaggio.isEmpty()) {
            QCOMPARE(testo, std::optional<QString>(QStringLiteral("testo")));
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
        QTest::addColumn<bool>("elenco");
        QTest::addColumn<int>("guasto"); // -1 none, else 0 first byte, 1 middle, 2 last byte
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
        QFETCH(bool, elenco);
        QFETCH(int, guasto);
        QTemporaryDir dir;
        const QString percorso = PreparaVecchio(dir.path(), elenco);
        QVERIFY(!percorso.isEmpty());
        const QByteArray prima = LeggiFile(percorso);
        ArchivioListe archivio(dir.path());
        if (elenco) QVERIFY(archivio.Apri(Elenco::Sostituzioni));
        // Past the 16 KiB write buffer; "Ω" makes a saved document UTF-8.
        const QString testo = QStringLiteral("Se a Allora Ω\r\n").repeated(2000);
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
        QCOMPARE(errore.Messaggio(),
                 QStringLiteral("Errore: Spazio esaurito sul dispositivo  (28)"));
        QCOMPARE(LeggiFile(percorso), prima);
        QCOMPARE(formato, FormatoTesto{});
        if (elenco) QCOMPARE(archivio.LeggiSostituzioni(), RigheVecchie);
        if (guasto != 0) return;
        // Paths that cannot be written at all.
        QVERIFY(!Documento::Scrivi(percorso + QStringLiteral("/b.txt"), testo, formato, &errore));
        QCOMPARE(errore.Messaggio(), QStringLiteral("Errore: Non è una cartella  (20)"));
        QVERIFY(!Documento::Scrivi(dir.path(), testo, formato, &errore));
        QCOMPARE(LeggiFile(percorso), prima);
    }

    // The kernel refuses the write (file-size limit, as on a full disk): the
    // last bytes of a small file are refused when the buffer is written out,
    // those of a large one while it is being written.
    void spazioEsaurito_data()
    {
        QTest::addColumn<bool>("elenco");
        QTest::addColumn<int>("righe");
        QTest::newRow("documento piccolo, rifiutato alla chiusura") << false << 100;
        QTest::newRow("documento grande, rifiutato durante la scrittura") << false << 10000;
        QTest::newRow("elenco") << true << 0;
    }

    void spazioEsaurito()
    {
        QFETCH(bool, elenco);
        QFETCH(int, righe);
        QTemporaryDir dir;
        const QString percorso = PreparaVecchio(dir.path(), elenco);
        QVERIFY(!percorso.isEmpty());
        const QByteArray prima = LeggiFile(percorso);
        const EsitoFiglio esito = InFiglio([&](int fd) {
            const rlimit limite{1024, 1024};
            if (::setrlimit(RLIMIT_FSIZE, &limite) != 0) return 77;
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
                riuscita =
                    Documento::Scrivi(percorso, QStringLiteral("Se a Allora b\r\n").repeated(righe),
                                      formato, &errore);
            }
            Riporta(fd, riuscita ? QStringLiteral("salvato") : errore.Messaggio());
            return 0;
        });
        if (esito.stato == 77) QSKIP("The file-size limit cannot be lowered here");
        QCOMPARE(esito.stato, 0);
        QCOMPARE(esito.righe, QByteArray("Errore: File troppo grande  (27)\n"));
        QCOMPARE(LeggiFile(percorso), prima);
        QCOMPARE(FileDi(dir.path()), QStringList{QFileInfo(percorso).fileName()});
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
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther |
                                                      QFile::ReadGroup | QFile::ExeGroup));
        const EsitoFiglio esito = InFiglio([&](int fd) {
            if (radice &&
                (::setgroups(0, nullptr) != 0 || ::setgid(Nessuno) != 0 || ::setuid(Nessuno) != 0))
                return 77;
            const QByteArray cartella = QFile::encodeName(dir.path());
            if (::access(cartella.constData(), W_OK) == 0) return 78;
            if (::access(QFile::encodeName(documento).constData(), W_OK) != 0) return 79;
            FormatoTesto formato;
            ErroreFile errore;
            Riporta(fd, Documento::Scrivi(documento, QStringLiteral("nuovo"), formato, &errore)
                            ? QStringLiteral("salvato")
                            : errore.Messaggio());
            ArchivioListe archivio(dir.path());
            Riporta(fd, archivio.Apri(Elenco::Sostituzioni, &errore) &&
                                archivio.Salva(SostituzioniPredefinite(), &errore)
                            ? QStringLiteral("salvato")
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

    void letturaRifiutata()
    {
        QTemporaryDir dir;
        FormatoTesto f;
        ErroreFile errore;
        QVERIFY(!Documento::Leggi(dir.path(), &f, &errore));
        QCOMPARE(errore.numero, EISDIR);
        QVERIFY(!Documento::Leggi(dir.filePath(QStringLiteral("manca.txt")), &f, &errore));
        QCOMPARE(errore.numero, ENOENT);
        // Past the size limit: refused before reading (a sparse file takes no room).
        QFile grande(dir.filePath(QStringLiteral("grande.txt")));
        QVERIFY(grande.open(QIODevice::WriteOnly));
        QVERIFY(grande.resize(Documento::DimensioneMassima + 1));
        grande.close();
        QVERIFY(!Documento::Leggi(grande.fileName(), &f, &errore));
        QCOMPARE(errore.numero, EFBIG);
        QVERIFY(errore.descrizione.contains(QStringLiteral("256 MB")));
        // Exactly at the limit: read.
        QVERIFY(grande.resize(Documento::DimensioneMassima));
        const std::optional<QString> letto = Documento::Leggi(grande.fileName(), &f, &errore);
        QVERIFY(letto);
        QCOMPARE(letto->size(), Documento::DimensioneMassima);
    }
};

QTEST_GUILESS_MAIN(TestDocumento)
#include "test_documento.moc"
