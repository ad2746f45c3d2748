// Replacing a file: only a regular file or nothing is replaced, links are
// followed or refused as asked, a killed write leaves no named file behind.

#include "aiuti/Tabella.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using ScritturaAtomica::Collegamento;

namespace {

QByteArray LeggiFile(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<illeggibile>");
}

QStringList VociDi(const QString &cartella)
{
    return QDir(cartella).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

mode_t Tipo(const QString &percorso)
{
    struct stat st;
    return ::lstat(QFile::encodeName(percorso).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

// A pid no process has: a child that has already ended.
pid_t PidFinito()
{
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    int stato = 0;
    ::waitpid(pid, &stato, 0);
    return pid;
}

} // namespace

class TestScrittura : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What stands at the name, the link mode and what the write gives:
    // an empty message for a replaced file. "bersaglio" names what a link
    // leads to; whatever is refused stays what it was.
    void cosaSiSostituisce_data()
    {
        Colonne<QString, QString, bool, QString>("cosa", "bersaglio", "segui", "messaggio");
        const QString sostituito = u", non un file: non viene sostituito  (22)"_s;
        const QString dispositivo = u"Errore: È un dispositivo"_s + sostituito;
        const QString tubo = u"Errore: È una pipe con nome"_s + sostituito;
        const QString collegamento =
            u"Errore: È un collegamento simbolico: non viene seguito  (22)"_s;
        Riga("niente", u"niente"_s, QString(), true, QString());
        Riga("file", u"file"_s, QString(), true, QString());
        Riga("file, collegamenti rifiutati", u"file"_s, QString(), false, QString());
        Riga("collegamento a un file", u"link"_s, u"file"_s, true, QString());
        Riga("collegamento a un file mancante", u"link"_s, u"niente"_s, true, QString());
        Riga("collegamento rifiutato", u"link"_s, u"file"_s, false, collegamento);
        Riga("dispositivo", u"dispositivo"_s, QString(), true, dispositivo);
        Riga("collegamento a un dispositivo", u"link"_s, u"dispositivo"_s, true, dispositivo);
        Riga("dispositivo, collegamenti rifiutati", u"dispositivo"_s, QString(), false,
             dispositivo);
        Riga("pipe", u"pipe"_s, QString(), true, tubo);
        Riga("collegamento a una pipe", u"link"_s, u"pipe"_s, true, tubo);
        Riga("socket", u"socket"_s, QString(), true, u"Errore: È un socket"_s + sostituito);
        Riga("cartella", u"cartella"_s, QString(), true, u"Errore: È una cartella  (21)"_s);
        Riga("collegamento a una cartella", u"link"_s, u"cartella"_s, true,
             u"Errore: È una cartella  (21)"_s);
    }

    void cosaSiSostituisce()
    {
        const auto [cosa, bersaglio, segui, messaggio] =
            DatiRiga<QString, QString, bool, QString>("cosa", "bersaglio", "segui", "messaggio");
        QTemporaryDir dir;
        const auto p = [&](const QString &n) { return dir.filePath(n); };
        const auto nome = [&](const QString &n) { return QFile::encodeName(p(n)); };
        const QString fatto = bersaglio.isEmpty() ? cosa : bersaglio;
        if (fatto == u"file") {
            QFile f(p(u"file"_s));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("vecchio") == 7);
        } else if (fatto == u"dispositivo") {
            // A node of the null device of this test's own, never /dev/null.
            if (::mknod(nome(fatto).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("Only root may make a device node");
        } else if (fatto == u"pipe") {
            QCOMPARE(::mkfifo(nome(fatto).constData(), 0600), 0);
        } else if (fatto == u"socket") {
            const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un indirizzo{};
            indirizzo.sun_family = AF_UNIX;
            qstrncpy(indirizzo.sun_path, nome(fatto).constData(), sizeof indirizzo.sun_path);
            QCOMPARE(::bind(s, reinterpret_cast<sockaddr *>(&indirizzo), sizeof indirizzo), 0);
            ::close(s);
        } else if (fatto == u"cartella") {
            QVERIFY(QDir().mkdir(p(fatto)));
        }
        if (!bersaglio.isEmpty()) QVERIFY(QFile::link(bersaglio, p(cosa)));
        const mode_t prima = Tipo(p(cosa)), primaBersaglio = Tipo(p(fatto));
        const QStringList voci = VociDi(dir.path());

        ScritturaAtomica::Scrittura scrittura;
        scrittura.collegamento = segui ? Collegamento::Segui : Collegamento::Rifiuta;
        ErroreFile errore;
        const bool scritto = ScritturaAtomica::Scrivi(nome(cosa), "nuovo", scrittura, &errore);
        // The same through the path the windows give.
        ErroreFile erroreFinestra;
        const bool scrittoFinestra =
            segui && ScritturaAtomica::Scrivi(p(cosa), "nuovo", ScritturaAtomica::Modo::SoloAtomica,
                                              &erroreFinestra);
        if (messaggio.isEmpty()) {
            QVERIFY2(scritto, qPrintable(errore.Messaggio()));
            QCOMPARE(LeggiFile(p(fatto)), QByteArray("nuovo"));
            QCOMPARE(Tipo(p(cosa)), prima ? prima : S_IFREG); // a link stays a link
            QCOMPARE(Tipo(p(fatto)), mode_t(S_IFREG));
            QVERIFY(scrittoFinestra || !segui);
        } else {
            QVERIFY(!scritto);
            QCOMPARE(errore.Messaggio(), messaggio);
            QCOMPARE(Tipo(p(cosa)), prima);
            QCOMPARE(Tipo(p(fatto)), primaBersaglio);
            if (segui) {
                QVERIFY(!scrittoFinestra);
                QCOMPARE(erroreFinestra.Messaggio(), messaggio);
            }
        }
        // Nothing else was left in the folder.
        QStringList attese = voci;
        if (messaggio.isEmpty() && !attese.contains(fatto)) attese.append(fatto);
        attese.sort();
        QCOMPARE(VociDi(dir.path()), attese);
    }

    // In place, a file that fits under the file-size limit while the copy of
    // its old bytes does not: the refusal names the copy, not the file.
    void copiaOltreIlLimite()
    {
        QTemporaryDir dir;
        const QString percorso = dir.filePath(u"a.txt"_s);
        const QByteArray vecchi(4096, 'v');
        {
            QFile f(percorso);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(vecchi) == vecchi.size());
        }
        int tubo[2];
        QCOMPARE(::pipe(tubo), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(tubo[0]);
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limite{1024, 1024};
            if (::setrlimit(RLIMIT_FSIZE, &limite) != 0) ::_exit(77);
            ScritturaAtomica::Canale canale;
            canale.sempreInPosto = true;
            ErroreFile errore;
            const bool scritto = ScritturaAtomica::Scrivi(
                percorso, "nuovo", ScritturaAtomica::Modo::InPostoSeNecessario, &errore, &canale);
            const QByteArray riga = scritto ? "scritto" : errore.Messaggio().toUtf8();
            ::_exit(::write(tubo[1], riga.constData(), size_t(riga.size())) > 0 ? 0 : 1);
        }
        ::close(tubo[1]);
        QByteArray riga(4096, '\0');
        const ssize_t n = ::read(tubo[0], riga.data(), size_t(riga.size()));
        ::close(tubo[0]);
        int stato = 0;
        QCOMPARE(::waitpid(pid, &stato, 0), pid);
        if (WEXITSTATUS(stato) == 77) QSKIP("The file-size limit cannot be lowered here");
        riga.truncate(std::max<ssize_t>(n, 0));
        QVERIFY2(riga.startsWith("Errore: La copia di sicurezza dei vecchi contenuti (in ") &&
                     riga.endsWith(") supera il limite di dimensione dei file  (27)"),
                 riga.constData());
        QCOMPARE(LeggiFile(percorso), vecchi);
    }

    // A name that is not UTF-8 keeps its owner, group and mode.
    void nomeNonUtf8()
    {
        QTemporaryDir dir;
        const QByteArray nome = QFile::encodeName(dir.path()) + "/n\xe9.txt";
        const int fd = ::open(nome.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(fd >= 0 && ::write(fd, "vecchio", 7) == 7);
        ::close(fd);
        const bool root = ::geteuid() == 0;
        if (root) QCOMPARE(::chown(nome.constData(), 65534, 65534), 0);
        QCOMPARE(::chmod(nome.constData(), 0640), 0);
        struct stat prima, dopo;
        QCOMPARE(::stat(nome.constData(), &prima), 0);
        ErroreFile errore;
        QVERIFY(ScritturaAtomica::Scrivi(nome, "nuovo", ScritturaAtomica::Scrittura{}, &errore));
        QCOMPARE(::stat(nome.constData(), &dopo), 0);
        QVERIFY(dopo.st_ino != prima.st_ino);
        QCOMPARE(dopo.st_uid, prima.st_uid);
        QCOMPARE(dopo.st_gid, prima.st_gid);
        QCOMPARE(int(dopo.st_mode & 07777), 0640);
        QCOMPARE(dopo.st_size, off_t(5));
    }

    // A write killed halfway leaves the old file and nothing else (its new
    // file has no name); a new file with a name that a killed write left is
    // removed at the next save of the same name, one of a running process or
    // of another name is kept.
    void interruzioneSenzaResti()
    {
        QTemporaryDir dir;
        const QString percorso = dir.filePath(u"opzioni.ini"_s);
        {
            QFile f(percorso);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("vecchio") == 7);
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            class Uccide : public QIODevice
            {
            public:
                Uccide() { open(WriteOnly | Unbuffered); }
                qint64 readData(char *, qint64) override { return -1; }
                qint64 writeData(const char *, qint64) override { ::_exit(86); }
            };
            ScritturaAtomica::Canale canale;
            canale.dispositivo = [](QIODevice &) { return std::make_unique<Uccide>(); };
            ScritturaAtomica::Scrivi(percorso, "nuovo", ScritturaAtomica::Modo::SoloAtomica,
                                     nullptr, &canale);
            ::_exit(0);
        }
        int stato = 0;
        QCOMPARE(::waitpid(pid, &stato, 0), pid);
        QCOMPARE(WEXITSTATUS(stato), 86);
        QCOMPARE(VociDi(dir.path()), QStringList{u"opzioni.ini"_s});
        QCOMPARE(LeggiFile(percorso), QByteArray("vecchio"));

        const QString morto = u".opzioni.ini.%1-3f2a.quadrivo"_s.arg(PidFinito());
        const QString vivo = u".opzioni.ini.%1-77.quadrivo"_s.arg(::getpid());
        const QString altro = u".altro.ini.%1-3f2a.quadrivo"_s.arg(PidFinito());
        const QString simile = u".opzioni.ini.xyz.quadrivo"_s;
        for (const QString &n : {morto, vivo, altro, simile}) {
            QFile f(dir.filePath(n));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(ScritturaAtomica::Scrivi(percorso, "nuovo", ScritturaAtomica::Modo::SoloAtomica,
                                         nullptr));
        QStringList attese{u"opzioni.ini"_s, vivo, altro, simile};
        attese.sort();
        QCOMPARE(VociDi(dir.path()), attese);
        // Every name, for a folder written many times over.
        const int cartella = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY);
        ScritturaAtomica::RimuoviTemporanei(cartella);
        ::close(cartella);
        attese.removeAll(altro);
        QCOMPARE(VociDi(dir.path()), attese);
    }
};

QTEST_GUILESS_MAIN(TestScrittura)
#include "test_scrittura.moc"
