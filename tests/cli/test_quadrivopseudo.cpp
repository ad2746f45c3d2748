// The batch command: the same bytes as the windows give, its ways in and out,
// and what it does with files and command lines it cannot use.

#include "aiuti/AmbienteProva.h"
#include "aiuti/Tabella.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraPseudocodifica.h"
#include "nucleo/Opzioni.h"
#include "nucleo/elenchi/ElenchiLinguaggio.h"
#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/TestoElenco.h"
#include "nucleo/pseudocodifica/Lotto.h"
#include "nucleo/testo/CodificaAnsi.h"
#include "nucleo/testo/CopiaOriginale.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

using namespace Piattaforma;

namespace {

struct Esito
{
    int uscita = -1;
    QByteArray out, err;
    bool operator==(const Esito &o) const
    {
        return std::tie(uscita, out, err) == std::tie(o.uscita, o.out, o.err);
    }
};

char *toString(const Esito &e)
{
    return QTest::toString(std::tuple(e.uscita, e.out, e.err));
}

void Scrivi(const QString &percorso, const QByteArray &byte)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(byte), byte.size());
}

const auto Leggi = &AmbienteProva::LeggiFile;

const QByteArray Modulo = CodificaAnsi::Codifica(
    QStringLiteral("Sub Città()\r\n  If a Then b\r\n  Do While Not x\r\n  Loop\r\nEnd Sub\r\n"));

using Voci = QVector<VoceSostituzione>;

// The command copied into `cartella`, so that it keeps its lists and saved
// options there.
QString CopiaComando(const QString &cartella)
{
    const QString copia = QDir(cartella).filePath(QStringLiteral("quadrivo-pseudo"));
    QFile::copy(QStringLiteral(QUADRIVO_PSEUDO), copia);
    QFile(copia).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    return copia;
}

} // namespace

class TestQuadrivoPseudo : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    // Every run uses a copy of the command in a folder of its own: the lists
    // and options a user saved beside the built program are never read.
    QTemporaryDir m_programma;
    QString m_comando;

    QString P(const QString &nome) const { return m_dir.filePath(nome); }

    // The command run in the test folder, `ingresso` on its standard input.
    Esito Esegui(const QStringList &argomenti, const QByteArray &ingresso = {},
                 QString programma = {}) const
    {
        if (programma.isEmpty()) programma = m_comando;
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(programma, argomenti);
        p.write(ingresso);
        p.closeWriteChannel();
        if (!p.waitForFinished(60000)) return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), p.readAllStandardError()};
    }

    // A bash script run in the test folder, the command in "$QP" (for
    // limits, closed descriptors and names that are not UTF-8).
    Esito Shell(const QString &script) const
    {
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("QP"), m_comando);
        QProcess p;
        p.setProcessEnvironment(ambiente);
        p.setWorkingDirectory(m_dir.path());
        p.start(QStringLiteral("/bin/bash"), {QStringLiteral("-c"), script});
        p.closeWriteChannel();
        if (!p.waitForFinished(60000)) return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), p.readAllStandardError()};
    }

    // The file at `percorso` opened in a window over `amb`, cleaned (with
    // `pulizia`), run through the whole list and saved.
    static void BozzaDellaFinestra(AmbienteProva &amb, const QString &percorso, bool pulizia)
    {
        FinestraPrincipale &f = amb.Avvia();
        Copione::RispondiFile(percorso);
        Comando(f, "azioneApri")->trigger();
        if (pulizia) {
            Copione::RispondiMessaggio(Risposta::OK);
            Copione::RispondiMessaggio(Risposta::OK);
            Comando(f, "azioneAvviaPulizia")->trigger();
        }
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "azioneAvviaPseudocodifica")->trigger();
        auto *p = qobject_cast<FinestraPseudocodifica *>(f.FinestraPseudocodificaAperta());
        QVERIFY(p);
        p->IntervalloCessione = 0;
        Copione::RispondiMessaggio(Risposta::OK);
        p->BottoneAvviaAutomatica->click();
        p->BottoneChiudi->click();
        Comando(f, "azioneSalva")->trigger();
        VERIFICA_COPIONE_ESAURITO();
    }

    // The factory list in the test folder and what it makes of Modulo.
    QByteArray ListaEAtteso()
    {
        Scrivi(P("fabbrica.dat"), Record::Unisci(SostituzioniPredefinite()));
        return Esegui({"--elenco", P("fabbrica.dat")}, Modulo).out;
    }

private Q_SLOTS:
    void initTestCase() { m_comando = CopiaComando(m_programma.path()); }

    void init()
    {
        QVERIFY(QDir(m_dir.path()).removeRecursively() && QDir().mkpath(m_dir.path()));
        // Whatever a run left beside the command goes: each test starts clean.
        for (const QFileInfo &voce :
             QDir(m_programma.path())
                 .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            if (voce.fileName() != QStringLiteral("quadrivo-pseudo"))
                QVERIFY(voce.isDir() ? QDir(voce.filePath()).removeRecursively()
                                     : QFile::remove(voce.filePath()));
    }

    // The code page's tables give what the converter gives, every character
    // and every byte, inside a run of plain letters and alone.
    void CodificaComeIlConvertitore()
    {
        for (char32_t u = 0; u <= 0xFFFF; ++u) {
            for (const QString &s :
                 {QString(QChar(char16_t(u))),
                  QStringLiteral("abcdefghijklmnopqrst").replace(5, 1, QChar(char16_t(u)))}) {
                QStringEncoder encoder("windows-1252");
                const QByteArray atteso = encoder.encode(s);
                bool ok = false;
                QCOMPARE(CodificaAnsi::Codifica(s, &ok), atteso);
                QCOMPARE(ok, !encoder.hasError());
            }
        }
        QByteArray tutti;
        for (int b = 0; b < 256; ++b)
            tutti.append(char(b));
        tutti += tutti;
        QStringDecoder decoder("windows-1252");
        QCOMPARE(CodificaAnsi::Decodifica(tutti), decoder.decode(tutti));
    }

    // Lone CR, lone LF and the separators the editor breaks lines at.
    void ACapoComeLEditor()
    {
        EditorTesto editor;
        QRandomGenerator gen(11);
        const QString alfabeto = QStringLiteral("ab \r\n\t") + QChar(0x2029) + QChar(0x2028) +
                                 QChar(0xFDD0) + QChar(0xFDD1) + QChar(0) + QChar(0x0B) +
                                 QChar(0x0C) + QChar(0x85) + QChar(0xFEFF);
        // Short texts of any mix, and longer ones of CR LF lines with a rare
        // odd unit (the long runs are checked many units at a time).
        const QString comuni = QStringLiteral("aab \r") + QChar(0x20AC);
        for (int prova = 0; prova < 4000; ++prova) {
            const bool lungo = prova % 2;
            QString testo;
            for (int i = int(gen.bounded(lungo ? 200 : 40)); i > 0; --i) {
                if (!lungo || gen.bounded(60) == 0) {
                    testo.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
                } else {
                    const QChar c = comuni[gen.bounded(int(comuni.size()))];
                    testo.append(c == u'\r' ? QStringLiteral("\r\n") : QString(c));
                }
            }
            editor.SetText(testo);
            QCOMPARE(Lotto::ACapoComeEditor(testo), editor.Text());
        }
    }

    // The same document through the windows (open, cleaning, automatic run,
    // "&Salva") and through the command. The window's scans do not yet take
    // the end of the text as a delimiter, so every text here ends with a line break.
    void ComeLeFinestre_data()
    {
        // "taglio": bytes cut off the end of the list file.
        Colonne<QByteArray, Voci, bool, int>("documento", "voci", "pulizia", "taglio");
        const Voci fabbrica = SostituzioniPredefinite();
        Riga("windows-1252", Modulo, fabbrica, false, 0);
        Riga("utf-8", QStringLiteral("' è ł\r\nIf ł Then\r\n").toUtf8(), fabbrica, false, 0);
        Riga("utf-8 con bom", "\xEF\xBB\xBF" + QStringLiteral("For à To b\r\n").toUtf8(), fabbrica,
             false, 0);
        Riga("a capo di ogni tipo", QByteArray("If a\nThen b\rFor c\r\n\n"), fabbrica, false, 0);
        Riga("sostituto fuori da windows-1252", QByteArray("If x\r\n"),
             Voci{{"If", QStringLiteral("Se ł")}}, false, 0);
        Riga("parole composte e a capo nei sostituti", QByteArray("End If\r\nIf x Then\r\n"),
             Voci{{"End If", "Fine\rSe"}, {"If", "Se"}, {"Se", "SE"}, {"Then", "\nAllora"}}, false,
             0);
        Riga("pulizia",
             QByteArray("MsgBox \"x\", vbInformation\r\nText1.SetFocus\r\n#If a Then\r\n"),
             fabbrica, true, 0);
        Riga("elenco con un record incompleto alla fine", QByteArray("If a Then b\r\n"),
             Voci{{"If", "Se"}, {"Then", "Allora"}}, false, Record::Lunghezza - 14);
    }
    void ComeLeFinestre()
    {
        QFETCH(QByteArray, documento);
        QFETCH(Voci, voci);
        QFETCH(bool, pulizia);
        QFETCH(int, taglio);

        AmbienteProva amb;
        amb.ScriviElenchi(voci);
        amb.ScriviFile(QStringLiteral("sostituzioni.dat"), Record::Unisci(voci).chopped(taglio));
        amb.ScriviFile(QStringLiteral("pulizia.dat"), Record::Unisci(EliminazioniPredefinite()));
        amb.ScriviFile(QStringLiteral("modulo.bas"), documento);
        const QString modulo = amb.Percorso(QStringLiteral("modulo.bas"));
        QStringList argomenti{QStringLiteral("--elenco"), amb.Percorso("sostituzioni.dat"), modulo};
        if (pulizia) argomenti.prepend(QStringLiteral("--pulizia=") + amb.Percorso("pulizia.dat"));
        const Esito comando = Esegui(argomenti);
        // A list named with --elenco that is not a whole number of records is
        // no list: refused, where the window completes its own list's last
        // record (see ElenchiDanneggiati).
        QCOMPARE(comando.err.contains("non sono un numero intero di record"), taglio > 0);
        QCOMPARE(comando.err.isEmpty(), taglio == 0);
        QCOMPARE(comando.uscita, taglio > 0 ? 1 : 0);
        if (taglio > 0) return;

        BozzaDellaFinestra(amb, modulo, pulizia);
        QCOMPARE(comando.out, Leggi(modulo));
        QVERIFY(comando.out != documento);
    }

    // Standard input to standard output, with "-" or no file at all. A copy
    // of the command runs, so that lists or options left beside the built one
    // do not count.
    void FlussoStandard()
    {
        const QString copia = CopiaComando(m_dir.path());
        Scrivi(P("m.bas"), Modulo);
        const Esito daFile = Esegui({P("m.bas")}, {}, copia);
        QCOMPARE(daFile.uscita, 0);
        QVERIFY(daFile.out.startsWith("Sub Citt\xE0()\r\n  Se a Allora b\r\n"));
        QVERIFY(daFile.out.endsWith("\r\n\r\n"));
        QCOMPARE(Esegui({}, Modulo, copia), daFile);
        QCOMPARE(Esegui({"-"}, Modulo, copia), daFile);
    }

    // Several files into a folder or over themselves; the unreadable ones
    // (missing, a folder) are reported and the others done all the same.
    void PiuFile_data()
    {
        Colonne<bool>("sulPosto");
        Riga("-o", false);
        Riga("--sul-posto", true);
    }
    void PiuFile()
    {
        QFETCH(bool, sulPosto);
        Scrivi(P("fabbrica.dat"), Record::Unisci(SostituzioniPredefinite()));
        const QByteArray atteso = Esegui({"--elenco", P("fabbrica.dat")}, Modulo).out;
        QVERIFY(!atteso.isEmpty());
        QVERIFY(QDir().mkpath(P("cartella.bas")));
        Scrivi(P("a.bas"), Modulo);
        Scrivi(P("b.frm"), Modulo);
        QStringList argomenti{"-j", "2", "--elenco", P("fabbrica.dat")};
        argomenti << (sulPosto ? QStringList{"--sul-posto"} : QStringList{"-o", P("uscita")});
        for (const char *nome : {"a.bas", "manca.bas", "cartella.bas", "b.frm"})
            argomenti << P(nome);
        const Esito e = Esegui(argomenti);
        QCOMPARE(e.uscita, 1);
        QCOMPARE(e.out, QByteArray());
        const QList<QByteArray> righe = e.err.trimmed().split('\n');
        QCOMPARE(righe.size(), 2);
        for (const QByteArray &riga : righe)
            QVERIFY2(riga.startsWith("quadrivo-pseudo: impossibile leggere "), riga.constData());
        const QString uscita = sulPosto ? m_dir.path() : P("uscita");
        QCOMPARE(Leggi(uscita + "/a.bas"), atteso);
        QCOMPARE(Leggi(uscita + "/b.frm"), atteso);
        QVERIFY(!QFileInfo::exists(uscita + "/manca.bas"));
        if (!sulPosto) {
            QCOMPARE(Leggi(P("a.bas")), Modulo);
            QCOMPARE(QDir(uscita).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                     (QStringList{"a.bas", "b.frm"}));
        }
    }

    // --sul-posto never rewrites a file in place: refused when its folder
    // takes no new file (run as an ordinary user, whom the folder's
    // permissions stop), and for an RTF document, which would become plain
    // text. The other file is done all the same.
    void SulPostoRifiutato_data()
    {
        Colonne<QString, QByteArray>("file", "contenuto");
        Riga("cartella di sola lettura", "sola/a.bas", Modulo);
        Riga("documento rtf", "libera/doc.rtf", QByteArray("{\\rtf1 If a Then b}"));
    }
    void SulPostoRifiutato()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, contenuto);
        const QString utente = ::geteuid() == 0 ? QStringLiteral("setpriv --reuid=65534 "
                                                                 "--regid=65534 --clear-groups ")
                                                : QString();
        if (!utente.isEmpty() && QStandardPaths::findExecutable("setpriv").isEmpty())
            QSKIP("setpriv is needed to run the command as an ordinary user");
        const QByteArray atteso = ListaEAtteso();
        const auto tutti = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                           QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
        for (const char *cartella : {"sola", "libera"}) {
            QVERIFY(QDir().mkpath(P(cartella)));
            QFile(P(cartella))
                .setPermissions(tutti | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
        }
        Scrivi(P(file), contenuto);
        Scrivi(P("libera/ok.bas"), Modulo);
        for (const QString &f : {P(file), P("libera/ok.bas")})
            QFile(f).setPermissions(tutti);
        QFile(P("sola")).setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                        QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        // The ordinary user runs a copy of the command and its library in the
        // test folder: the build folder may sit where only its owner can reach.
        QString programma = QStringLiteral("\"$QP\"");
        if (!utente.isEmpty()) {
            const auto aperti = tutti | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
            QFile(m_dir.path()).setPermissions(aperti);
            QVERIFY(QDir().mkpath(P("programma")));
            QFile(P("programma")).setPermissions(aperti);
            for (const QString &origine :
                 {QStringLiteral(QUADRIVO_PSEUDO), QStringLiteral(QUADRIVO_CORE)}) {
                const QString copia = P("programma/" + QFileInfo(origine).fileName());
                QVERIFY(QFile::copy(origine, copia));
                QFile(copia).setPermissions(aperti);
            }
            programma =
                "env LD_LIBRARY_PATH=" + P("programma") + " " + P("programma/quadrivo-pseudo");
        }
        const Esito e = Shell(utente + programma + " --elenco fabbrica.dat --sul-posto " + file +
                              " libera/ok.bas");
        QFile(P("sola")).setPermissions(tutti | QFile::ExeOwner);
        QCOMPARE(e.uscita, 1);
        QVERIFY2(e.err.contains("usare -o CARTELLA") && e.err.count('\n') == 1, e.err.constData());
        QCOMPARE(Leggi(P(file)), contenuto);
        QCOMPARE(Leggi(P("libera/ok.bas")), atteso);
        QCOMPARE(QDir(P("sola")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 file.startsWith("sola/") ? QStringList{"a.bas"} : QStringList{});
    }

    // A file size limit is a write error like any other: reported, the file
    // left whole, the other files done.
    void LimiteDiDimensione()
    {
        const QByteArray atteso = ListaEAtteso();
        const QByteArray grande = Modulo.repeated(400);
        Scrivi(P("grande.bas"), grande);
        Scrivi(P("piccolo.bas"), Modulo);
        const Esito e = Shell("ulimit -f 8; exec \"$QP\" --elenco fabbrica.dat --sul-posto "
                              "--senza-copia grande.bas piccolo.bas");
        QCOMPARE(e.uscita, 1);
        QVERIFY2(e.err.startsWith("quadrivo-pseudo: impossibile scrivere grande.bas: "),
                 e.err.constData());
        QCOMPARE(Leggi(P("grande.bas")), grande);
        QCOMPARE(Leggi(P("piccolo.bas")), atteso);
    }

    // In the output folder only a regular file is replaced: a link (whose
    // target may be anywhere), a FIFO or a folder at a result's name is
    // refused and left as it is.
    void UscitaNonNormale_data()
    {
        Colonne<QString>("tipo");
        Riga("collegamento", "collegamento");
        Riga("collegamento pendente", "pendente");
        Riga("fifo", "fifo");
        Riga("cartella", "cartella");
        Riga("dispositivo", "dispositivo");
        Riga("collegamento a un dispositivo", "collegamento a un dispositivo");
    }
    void UscitaNonNormale()
    {
        QFETCH(QString, tipo);
        const QByteArray atteso = ListaEAtteso();
        Scrivi(P("a.bas"), Modulo);
        Scrivi(P("b.bas"), Modulo);
        QVERIFY(QDir().mkpath(P("uscita")));
        const QString posto = P("uscita/a.bas");
        if (tipo == "collegamento") Scrivi(P("bersaglio"), "intatto");
        if (tipo == "collegamento" || tipo == "pendente")
            QVERIFY(QFile::link(P("bersaglio"), posto));
        if (tipo == "fifo") QCOMPARE(::mkfifo(QFile::encodeName(posto).constData(), 0644), 0);
        if (tipo == "cartella") QVERIFY(QDir().mkpath(posto));
        if (tipo.contains("dispositivo")) {
            // A null device node of the test's own, never /dev/null itself.
            const QString nodo = tipo == "dispositivo" ? posto : P("bersaglio");
            if (::mknod(QFile::encodeName(nodo).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("Only root may make a device node");
            if (nodo != posto) QVERIFY(QFile::link(nodo, posto));
        }
        struct stat prima, dopo;
        QCOMPARE(::lstat(QFile::encodeName(posto).constData(), &prima), 0);

        const Esito e = Esegui({"--elenco", P("fabbrica.dat"), "-o", "uscita", "a.bas", "b.bas"});
        QCOMPARE(e.uscita, 1);
        QVERIFY2(e.err.startsWith("quadrivo-pseudo: impossibile scrivere uscita/a.bas: ") &&
                     e.err.count('\n') == 1,
                 e.err.constData());
        QCOMPARE(::lstat(QFile::encodeName(posto).constData(), &dopo), 0);
        QCOMPARE(dopo.st_mode, prima.st_mode);
        QCOMPARE(dopo.st_ino, prima.st_ino);
        QCOMPARE(Leggi(P("bersaglio")), tipo == "collegamento" ? QByteArray("intatto") : "");
        QCOMPARE(QFileInfo::exists(P("bersaglio")), tipo.startsWith("collegamento"));
        if (tipo == "collegamento a un dispositivo")
            QVERIFY(QFileInfo(P("bersaglio")).isSymLink() == false &&
                    !QFileInfo(P("bersaglio")).isFile());
        QCOMPARE(Leggi(P("uscita/b.bas")), atteso);
    }

    // A file named twice, by any path, is done once (two runs over it would
    // each add a line break, or race).
    void StessoFile_data()
    {
        Colonne<QStringList>("nomi");
        Riga("stesso nome", QStringList{"a.bas", "a.bas"});
        Riga("altro percorso", QStringList{"a.bas", "./a.bas"});
        Riga("collegamento", QStringList{"a.bas", "collegamento.bas"});
    }
    void StessoFile()
    {
        QFETCH(QStringList, nomi);
        const QByteArray atteso = ListaEAtteso();
        Scrivi(P("a.bas"), Modulo);
        QVERIFY(QFile::link(P("a.bas"), P("collegamento.bas")));
        for (const char *lavori : {"1", "2"}) {
            Scrivi(P("a.bas"), Modulo);
            const Esito e = Esegui(
                QStringList{"--elenco", P("fabbrica.dat"), "-j", lavori, "--sul-posto"} + nomi);
            QCOMPARE(e.uscita, 0);
            QVERIFY2(e.err.contains("una volta sola"), e.err.constData());
            QCOMPARE(Leggi(P("a.bas")), atteso);
        }
    }

    // A name whose bytes are not UTF-8 is the file's name all the same,
    // whatever the locale.
    void NomeNonUtf8_data()
    {
        Colonne<QString, bool>("locale", "sulPosto");
        Riga("C, --sul-posto", "C", true);
        Riga("C.UTF-8, -o", "C.UTF-8", false);
    }
    void NomeNonUtf8()
    {
        QFETCH(QString, locale);
        QFETCH(bool, sulPosto);
        const QByteArray atteso = ListaEAtteso();
        const QByteArray nome = QFile::encodeName(m_dir.path()) + "/n\xE9.bas";
        const QByteArray risultato =
            sulPosto ? nome : QFile::encodeName(m_dir.path()) + "/uscita/n\xE9.bas";
        // Qt cannot list these names, so they are removed here.
        const auto pulizia = qScopeGuard([&] {
            ::unlink(nome.constData());
            ::unlink(risultato.constData());
            ::unlink((nome + '~').constData());
        });
        const int fd = ::open(nome.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, Modulo.constData(), size_t(Modulo.size())), ssize_t(Modulo.size()));
        ::close(fd);
        // The replaced file's owner, group and mode stay (only root may give
        // a file to another user).
        const bool root = ::geteuid() == 0;
        if (!sulPosto) {
            QVERIFY(QDir().mkpath(P("uscita")));
            const int vecchio = ::open(risultato.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            QVERIFY(vecchio >= 0);
            ::close(vecchio);
        }
        if (root) QCOMPARE(::chown(risultato.constData(), 65534, 65534), 0);
        QCOMPARE(::chmod(risultato.constData(), 0640), 0);
        struct stat prima, dopo;
        QCOMPARE(::stat(risultato.constData(), &prima), 0);
        const Esito e = Shell("LC_ALL=" + locale + " exec \"$QP\" --elenco fabbrica.dat " +
                              (sulPosto ? "--sul-posto" : "-o uscita") + " $'n\\xe9.bas'");
        QCOMPARE(e, (Esito{0, {}, {}}));
        QFile f;
        const int letto = ::open(risultato.constData(), O_RDONLY);
        QVERIFY(letto >= 0 && f.open(letto, QIODevice::ReadOnly, QFile::AutoCloseHandle));
        QCOMPARE(f.readAll(), atteso);
        QCOMPARE(::stat(risultato.constData(), &dopo), 0);
        QVERIFY(dopo.st_ino != prima.st_ino);
        QCOMPARE(dopo.st_uid, prima.st_uid);
        QCOMPARE(dopo.st_gid, prima.st_gid);
        QCOMPARE(int(dopo.st_mode & 07777), 0640);
        // Rewritten in place, the file as it was is kept under its own name with "~".
        QFile copia;
        const int originale = ::open((nome + '~').constData(), O_RDONLY);
        QCOMPARE(originale >= 0, sulPosto);
        if (sulPosto) {
            QVERIFY(copia.open(originale, QIODevice::ReadOnly, QFile::AutoCloseHandle));
            QCOMPARE(copia.readAll(), Modulo);
        }
    }

    // A closed standard input or output is an error, said in Italian.
    void FlussoChiuso_data()
    {
        Colonne<QString, QByteArray>("script", "messaggio");
        Riga("ingresso chiuso", "exec \"$QP\" <&-",
             QByteArray("impossibile leggere standard input: non è aperto"));
        Riga("uscita chiusa", "exec \"$QP\" <<< 'If a' >&-",
             QByteArray("impossibile scrivere il risultato: non è aperto"));
    }
    void FlussoChiuso()
    {
        QFETCH(QString, script);
        QFETCH(QByteArray, messaggio);
        ListaEAtteso();
        const Esito e = Shell(script.replace("\"$QP\"", "\"$QP\" --elenco fabbrica.dat"));
        QCOMPARE(e.uscita, 1);
        QVERIFY2(e.err.contains("quadrivo-pseudo: " + messaggio), e.err.constData());
    }

    void RigaDiComandoSbagliata_data()
    {
        Colonne<QStringList>("argomenti");
        Riga("più file senza -o", QStringList{"a", "b"});
        Riga("-o e --sul-posto", QStringList{"-o", "x", "--sul-posto", "a"});
        Riga("opzione sconosciuta", QStringList{"--veloce", "a"});
        Riga("-j zero", QStringList{"-j", "0", "a"});
        Riga("-j senza numero", QStringList{"-j"});
        Riga("--elenco senza file", QStringList{"--elenco"});
        Riga("--sul-posto senza file", QStringList{"--sul-posto"});
        Riga("-o con lo standard input", QStringList{"-o", "x", "-"});
        Riga("-o sopra un file da leggere", QStringList{"-o", ".", "a.bas"});
        Riga("due risultati con lo stesso nome", QStringList{"-o", "x", "a.bas", "sotto/a.bas"});
        Riga("linguaggio sconosciuto", QStringList{"--linguaggio=pascal", "a"});
        Riga("--linguaggio senza nome", QStringList{"--linguaggio"});
        Riga("--copia senza --sul-posto", QStringList{"--copia", "-o", "x", "a.bas"});
        Riga("--senza-copia senza --sul-posto", QStringList{"--senza-copia", "a.bas"});
        Riga("-r senza -o né --sul-posto", QStringList{"-r", "a"});
    }
    void RigaDiComandoSbagliata()
    {
        QFETCH(QStringList, argomenti);
        const Esito e = Esegui(argomenti);
        QCOMPARE(e.uscita, 2);
        QVERIFY2(e.err.startsWith("quadrivo-pseudo: ") && e.err.contains("\nUso: quadrivo-pseudo"),
                 e.err.constData());
        QCOMPARE(e.out, QByteArray());
        QVERIFY(!QFileInfo::exists(P("x")));
    }

    // The code options: the language from the file's extension or chosen,
    // comments and strings left alone, tab and operators as delimiters.
    void OpzioniDelCodice_data()
    {
        // "file": empty for the standard input.
        Colonne<QString, QStringList, QByteArray, QByteArray>("file", "opzioni", "ingresso",
                                                              "atteso");
        const QByteArray basic = "If a Then ' If\r\n";
        const QByteArray tutto = "Se a Allora ' Se\r\n\r\n",
                         commentoIntatto = "Se a Allora ' If\r\n\r\n";
        const QByteArray tab = "\tIf a Then\r\n";
        Riga("nessuna opzione", "m.bas", QStringList{}, basic, tutto);
        Riga("basic dall'estensione", "m.bas", QStringList{"--proteggi"}, basic, commentoIntatto);
        Riga("estensione senza linguaggio", "m.txt", QStringList{"--proteggi"}, basic, tutto);
        Riga("standard input senza linguaggio", "", QStringList{"--proteggi"}, basic, tutto);
        Riga("linguaggio scelto", "", QStringList{"--linguaggio=basic", "--proteggi"}, basic,
             commentoIntatto);
        Riga("linguaggio scelto sopra l'estensione", "m.bas",
             QStringList{"--linguaggio", "nessuno", "--proteggi"}, basic, tutto);
        Riga("c dall'estensione", "m.c", QStringList{"--proteggi", "--separatori-codice"},
             QByteArray("\tIf(a) s = \"If\"; // If\r\n"),
             QByteArray("\tSe(a) s = \"If\"; // If\r\n\r\n"));
        // C tells case apart: "If" is not "if".
        Riga("c con le maiuscole esatte", "m.c", QStringList{"--proteggi", "--separatori-codice"},
             QByteArray("\tif(a) If(b);\r\n"), QByteArray("\tif(a) Se(b);\r\n\r\n"));
        Riga("tab senza separatori del codice", "m.bas", QStringList{}, tab,
             QByteArray("\tIf a Allora\r\n\r\n"));
        Riga("tab con separatori del codice", "m.bas", QStringList{"--separatori-codice"}, tab,
             QByteArray("\tSe a Allora\r\n\r\n"));
    }
    void OpzioniDelCodice()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, opzioni);
        QFETCH(QByteArray, ingresso);
        QFETCH(QByteArray, atteso);
        Scrivi(P("elenco.dat"), Record::Unisci(Voci{{"If", "Se"}, {"Then", "Allora"}}));
        QStringList argomenti = QStringList{"--elenco", P("elenco.dat")} + opzioni;
        if (!file.isEmpty()) {
            Scrivi(P(file), ingresso);
            argomenti << P(file);
        }
        QCOMPARE(Esegui(argomenti, file.isEmpty() ? ingresso : QByteArray()),
                 (Esito{0, atteso, {}}));
    }

    void AiutoEVersione()
    {
        const Esito aiuto = Esegui({"--help"});
        QCOMPARE(aiuto.uscita, 0);
        QVERIFY(aiuto.out.startsWith("Uso: quadrivo-pseudo"));
        QVERIFY(aiuto.out.contains("byte per byte"));
        QVERIFY(aiuto.out.contains("--linguaggio=basic|c|c++|batch|nessuno"));
        const Esito versione = Esegui({"--version"});
        QCOMPARE(versione.uscita, 0);
        QVERIFY(versione.out.startsWith("quadrivo-pseudo "));
        // A full device takes none of it: the command says so.
        for (const char *opzione : {"--help", "--version"}) {
            const Esito pieno = Shell(QStringLiteral("\"$QP\" ") + QLatin1String(opzione) +
                                      QStringLiteral(" > /dev/full"));
            QCOMPARE(pieno.uscita, 1);
            QCOMPARE(pieno.err, QByteArray("quadrivo-pseudo: impossibile scrivere sullo standard "
                                           "output: Spazio esaurito sul dispositivo\n"));
        }
    }

    // A link planted and removed in the output folder while the command runs
    // (by anyone who may write there) never takes a result outside it.
    void CollegamentoPiantato()
    {
        ListaEAtteso();
        Scrivi(P("a.bas"), Modulo);
        Scrivi(P("vittima"), "intatta");
        QVERIFY(QDir().mkpath(P("uscita")));
        const QByteArray posto = QFile::encodeName(P("uscita/a.bas"));
        std::atomic<bool> fine{false};
        std::thread pianta([&] {
            while (!fine) {
                ::symlink("../vittima", posto.constData());
                ::unlink(posto.constData());
            }
        });
        // 400 runs, or as many as 40 seconds allow.
        const Esito e = Shell("fine=$((SECONDS + 40)); for i in $(seq 400); do "
                              "[ $SECONDS -lt $fine ] || break; "
                              "\"$QP\" --elenco fabbrica.dat -o uscita a.bas 2>/dev/null; done; "
                              "echo $i");
        fine = true;
        pianta.join();
        QVERIFY2(e.out.trimmed().toInt() >= 100, e.out.constData());
        QCOMPARE(Leggi(P("vittima")), QByteArray("intatta"));
    }

    // -o onto the inputs' own folder, by any path to it: refused before
    // anything is written, the input left as it was.
    void CartellaDegliIngressi_data()
    {
        Colonne<QString>("cartella");
        Riga("la stessa", ".");
        Riga("un collegamento a essa", "specchio");
        Riga("un percorso che vi ritorna", "sotto/..");
    }
    void CartellaDegliIngressi()
    {
        QFETCH(QString, cartella);
        ListaEAtteso();
        Scrivi(P("a.bas"), Modulo);
        QVERIFY(QDir().mkpath(P("sotto")));
        QVERIFY(QFile::link(m_dir.path(), P("specchio")));
        const Esito e = Esegui({"--elenco", "fabbrica.dat", "-o", cartella, "a.bas"});
        QCOMPARE(e.uscita, 2);
        QVERIFY2(e.err.startsWith("quadrivo-pseudo: il risultato di a.bas andrebbe sopra un file "
                                  "da elaborare"),
                 e.err.constData());
        QCOMPARE(Leggi(P("a.bas")), Modulo);
    }

    // A folder that cannot be made is named with the reason.
    void CartellaNonCreata()
    {
        ListaEAtteso();
        Scrivi(P("a.bas"), Modulo);
        Scrivi(P("file"), "");
        const Esito e = Esegui({"--elenco", "fabbrica.dat", "-o", "file/sotto", "a.bas"});
        QCOMPARE(e, (Esito{1, {}, "quadrivo-pseudo: impossibile creare la cartella file/sotto: "
                                   "Non è una cartella\n"}));
    }

    // The program's own lists beside it; the factory list when there is none.
    void ElenchiDelProgramma()
    {
        const QString copia = P("quadrivo-pseudo");
        QVERIFY(QFile::copy(QStringLiteral(QUADRIVO_PSEUDO), copia));
        QFile(copia).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray testo("If a Then\r\n");

        Esito e = Esegui({}, testo, copia);
        QCOMPARE(e.uscita, 0);
        QCOMPARE(e.out, QByteArray("Se a Allora\r\n\r\n"));
        QVERIFY(e.err.startsWith("quadrivo-pseudo: nota: "));

        Scrivi(P("sostituzioni.dat"), Record::Unisci(Voci{{"Then", "Poi"}}));
        Scrivi(P("pulizia.dat"), Record::Unisci(QVector<VoceEliminazione>{{"a", TestoSi, 1}}));
        QCOMPARE(Esegui({"--pulizia"}, testo, copia), (Esito{0, "If  Poi\r\n\r\n", {}}));
    }

    // Damaged lists: a message, never a crash.
    void ElenchiDanneggiati()
    {
        QVERIFY(QDir().mkpath(P("cartella.dat")));
        Esito e = Esegui({"--elenco", P("cartella.dat")}, "If\r\n");
        QCOMPARE(e.uscita, 1);
        QVERIFY(e.err.startsWith("quadrivo-pseudo: impossibile leggere l'elenco "));
        QCOMPARE(e.out, QByteArray());
        QCOMPARE(Esegui({"--pulizia=" + P("manca.dat")}, "If\r\n").uscita, 1);

        // A part-record at the end, or a length field that runs past its
        // record: a list named with --elenco is then no list, refused with
        // the reason and nothing written.
        QByteArray dati = Record::Unisci(Voci{{"If", "Se"}});
        dati.append(QByteArray("\xFF\x7F", 2).leftJustified(Record::Lunghezza, 'x'));
        dati.append("\x02\x00Th", 4);
        Scrivi(P("rotto.dat"), dati);
        e = Esegui({"--elenco", P("rotto.dat")}, "If Th\r\n");
        QCOMPARE(e.uscita, 1);
        QCOMPARE(e.out, QByteArray());
        QVERIFY2(e.err.contains("non è un elenco: né un file .dat (i suoi 260 byte non sono un "
                                "numero intero di record da 128) né un testo (non è UTF-8)"),
                 e.err.constData());
    }

    // Text with a zero byte, random bytes and a program are no list: exit 1,
    // the reason, nothing written.
    void ElencoCheNonEUnElenco_data()
    {
        Colonne<QByteArray, QByteArray>("contenuto", "motivo");
        QRandomGenerator gen(5);
        QByteArray casuali(4 * Record::Lunghezza, '\0');
        gen.fillRange(reinterpret_cast<quint32 *>(casuali.data()), casuali.size() / 4);
        Riga("testo con un byte nullo", QByteArray("If\tSe\nThen\tAllora\0\nDo\tFai\n", 26),
             QByteArray("né un testo (ha un byte nullo alla riga 2)"));
        Riga("byte casuali", casuali, QByteArray("il record 1 non si legge come testo"));
        QFile ls(QStringLiteral("/bin/ls"));
        if (ls.open(QIODevice::ReadOnly)) Riga("/bin/ls", ls.readAll(), QByteArray("non è un elenco"));
    }
    void ElencoCheNonEUnElenco()
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(QByteArray, motivo);
        Scrivi(P("elenco"), contenuto);
        Scrivi(P("a.bas"), Modulo);
        const Esito e = Esegui({"--elenco", "elenco", "-o", "uscita", "a.bas"});
        QCOMPARE(e.uscita, 1);
        QVERIFY2(e.err.startsWith("quadrivo-pseudo: impossibile usare l'elenco delle "
                                  "sostituzioni elenco: non è un elenco: ") &&
                     e.err.contains(motivo) && e.err.count('\n') == 1,
                 e.err.constData());
        QVERIFY(!QFileInfo::exists(P("uscita")));
    }

    // Every list --elenco takes gives what the same entries give as a .dat
    // list: a text list is told by its content, whatever its name.
    void FormatiDellElenco_data()
    {
        // "argomento": empty for the file "elenco" holding "contenuto".
        Colonne<QByteArray, QString, Voci>("contenuto", "argomento", "equivalente");
        const Voci voci{{"If", "Se"}, {"Then", QStringLiteral("Allora è")}};
        Riga("file .dat", Record::Unisci(voci), QString(), voci);
        Riga("testo esportato", TestoElenco::ScriviSostituzioni(voci), QString(), voci);
        Riga("testo con bom e cr lf",
             "\xEF\xBB\xBF" + TestoElenco::ScriviSostituzioni(voci).replace("\n", "\r\n"),
             QString(), voci);
        // 128 bytes: read as records it would pass with no note at all.
        Riga("testo lungo un record",
             "If\tSe" + QByteArray(Record::Lunghezza - 10, '\n') + "b\tc\n", QString(),
             Voci{{"If", "Se"}, {"b", "c"}});
        Riga("elenco pronto basic", QByteArray(), "basic", ListaDelLinguaggio(Linguaggio::Basic));
        Riga("elenco pronto c", QByteArray(), "c", ListaDelLinguaggio(Linguaggio::C));
        Riga("elenco pronto c++", QByteArray(), "c++", ListaDelLinguaggio(Linguaggio::Cpp));
        Riga("elenco pronto cpp", QByteArray(), "cpp", ListaDelLinguaggio(Linguaggio::Cpp));
        Riga("elenco pronto batch", QByteArray(), "batch", ListaDelLinguaggio(Linguaggio::Batch));
    }
    void FormatiDellElenco()
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(QString, argomento);
        QFETCH(Voci, equivalente);
        const QByteArray testo("If a Then\r\nif (a) return;\r\ndelete this;\r\n@echo off\r\nb\r\n");
        if (argomento.isEmpty()) {
            Scrivi(P("elenco"), contenuto);
            argomento = P("elenco");
        }
        Scrivi(P("equivalente.dat"), Record::Unisci(equivalente));
        const Esito atteso = Esegui({"--elenco", P("equivalente.dat")}, testo);
        QCOMPARE(atteso.uscita, 0);
        QVERIFY(atteso.out != testo + "\r\n");
        QCOMPARE(Esegui({"--elenco", argomento}, testo), atteso);
    }

    // A list that cannot be used: exit 1, one line naming it and why, and
    // nothing written.
    void ElenchiRifiutati_data()
    {
        Colonne<QByteArray, QString>("contenuto", "motivo");
        Riga("vuoto", QByteArray(), "è vuoto");
        Riga("nessuna parola da cercare", Record::Unisci(Voci{{"", "Se"}}),
             "non ha nessuna parola da cercare");
        Riga("testo senza tab", QByteArray("If Se\nThen Allora\n"), "non è un elenco");
        Riga("testo non utf-8", QByteArray("If\tSe\nCitt\xE0\tx\n"), "non è un elenco");
        Riga("testo con una riga sbagliata", QByteArray("If\tSe\nThen\n"), "riga 2: ");
        Riga("testo con parola vuota", QByteArray("\tSe\n"), "riga 1: ");
        Riga("testo di sole righe vuote", QByteArray("\n\r\n"), "non ha nessuna parola da cercare");
    }
    void ElenchiRifiutati()
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(QString, motivo);
        Scrivi(P("elenco.lst"), contenuto);
        Scrivi(P("m.bas"), Modulo);
        const Esito e = Esegui({"--elenco", P("elenco.lst"), "-o", P("x"), P("m.bas")});
        QCOMPARE(e.uscita, 1);
        const QByteArray inizio =
            "quadrivo-pseudo: impossibile usare l'elenco delle sostituzioni " +
            P("elenco.lst").toUtf8() + ": ";
        QVERIFY2(e.err.startsWith(inizio + motivo.toUtf8()) && e.err.count('\n') == 1,
                 e.err.constData());
        QCOMPARE(e.out, QByteArray());
        QVERIFY(!QFileInfo::exists(P("x/m.bas")));
        QCOMPARE(Esegui({"--elenco", P("elenco.lst"), "--sul-posto", P("m.bas")}).uscita, 1);
        QCOMPARE(Leggi(P("m.bas")), Modulo);
    }

    // The options saved beside the lists, then the command line.
    void PrecedenzaDelleOpzioni_data()
    {
        Colonne<Opzioni, QStringList, QByteArray>("salvate", "argomenti", "atteso");
        const Opzioni spente, proteggi{true, false}, separatori{false, true}, tutte{true, true};
        Opzioni perLinguaggio;
        perLinguaggio.ElencoPerLinguaggio = true;
        Riga("nulla", spente, QStringList{}, QByteArray("\tIf a Allora ' Se"));
        Riga("proteggi salvata", proteggi, QStringList{}, QByteArray("\tIf a Allora ' If"));
        Riga("proteggi salvata e spenta", proteggi, QStringList{"--no-proteggi"},
             QByteArray("\tIf a Allora ' Se"));
        Riga("separatori salvati", separatori, QStringList{}, QByteArray("\tSe a Allora ' Se"));
        Riga("separatori salvati e spenti", tutte, QStringList{"--no-separatori-codice"},
             QByteArray("\tIf a Allora ' If"));
        Riga("accese dalla riga di comando", spente,
             QStringList{"--separatori-codice", "--proteggi"}, QByteArray("\tSe a Allora ' If"));
        Riga("elenco per linguaggio salvato", perLinguaggio, QStringList{},
             QByteArray("\tIf a ALLORA ' SE"));
        Riga("elenco per linguaggio salvato e spento", perLinguaggio,
             QStringList{"--no-elenco-per-linguaggio"}, QByteArray("\tIf a Allora ' Se"));
        Riga("elenco per linguaggio dalla riga di comando", spente,
             QStringList{"--elenco-per-linguaggio"}, QByteArray("\tIf a ALLORA ' SE"));
        Riga("elenco scelto sopra l'elenco per linguaggio", perLinguaggio,
             QStringList{"--elenco", "sostituzioni.dat"}, QByteArray("\tIf a Allora ' Se"));
    }
    void PrecedenzaDelleOpzioni()
    {
        QFETCH(Opzioni, salvate);
        QFETCH(QStringList, argomenti);
        QFETCH(QByteArray, atteso);
        const QString copia = CopiaComando(m_dir.path());
        QVERIFY(FileOpzioni::Scrivi(m_dir.path(), salvate));
        Scrivi(P("sostituzioni.dat"), Record::Unisci(Voci{{"If", "Se"}, {"Then", "Allora"}}));
        Scrivi(P("sostituzioni-basic.dat"), Record::Unisci(Voci{{"If", "SE"}, {"Then", "ALLORA"}}));
        Scrivi(P("m.bas"), "\tIf a Then ' If\r\n");
        QCOMPARE(Esegui(argomenti << P("m.bas"), {}, copia), (Esito{0, atteso + "\r\n\r\n", {}}));
    }

    // --elenco auto over a mixed folder gives what one run per language
    // gives; each language's own list is made once, then used as edited.
    void AutoComeUnaCorsaPerLinguaggio()
    {
        const QString copia = CopiaComando(m_dir.path());
        Scrivi(P("sostituzioni.dat"), Record::Unisci(Voci{{"b", "bi"}}));
        const QMap<QString, QString> elenchi{{"a.bas", "basic"},
                                             {"b.c", "c"},
                                             {"c.bat", "batch"},
                                             {"d.txt", P("sostituzioni.dat")},
                                             {"e.cpp", "c++"}};
        const QByteArray testo("If a Then\r\nif (a) return;\r\ndelete this;\r\n@echo off\r\nb\r\n");
        QStringList file;
        for (const QString &nome : elenchi.keys()) {
            Scrivi(P(nome), testo);
            file << P(nome);
        }
        QCOMPARE(Esegui(QStringList{"--elenco", "auto", "-o", P("auto")} + file, {}, copia),
                 (Esito{0, {}, {}}));
        for (auto e = elenchi.begin(); e != elenchi.end(); ++e) {
            const Esito una = Esegui({"--elenco", e.value(), P(e.key())}, {}, copia);
            QCOMPARE(una.uscita, 0);
            QCOMPARE(Leggi(P("auto/" + e.key())), una.out);
        }
        for (const Linguaggio l :
             {Linguaggio::Basic, Linguaggio::C, Linguaggio::Cpp, Linguaggio::Batch})
            QCOMPARE(Leggi(PercorsoElencoLinguaggio(m_dir.path(), l)),
                     Record::Unisci(ListaDelLinguaggio(l)));

        // The BASIC list edited: only BASIC files change.
        Scrivi(P("sostituzioni-basic.dat"), Record::Unisci(Voci{{"If", "SE"}}));
        QCOMPARE(Esegui(QStringList{"--elenco", "auto", "-o", P("dopo")} + file, {}, copia).uscita,
                 0);
        QCOMPARE(Leggi(P("dopo/a.bas")),
                 Esegui({"--elenco", P("sostituzioni-basic.dat"), P("a.bas")}, {}, copia).out);
        QVERIFY(Leggi(P("dopo/a.bas")).startsWith("SE a Then"));
        for (const QString nome : {"b.c", "c.bat", "d.txt", "e.cpp"})
            QCOMPARE(Leggi(P("dopo/" + nome)), Leggi(P("auto/" + nome)));
    }

    // --sul-posto keeps the file as it was as NAME~ as the saved option says,
    // unless --copia or --senza-copia says otherwise. A previous copy is
    // replaced; anything else at that name is left alone and the copy goes
    // to the data folder; with no place for it the file is not rewritten.
    void CopiaSulPosto_data()
    {
        Colonne<bool, QStringList, QString, bool, QString>("salvata", "argomenti", "posto",
                                                           "conDati", "copia");
        Riga("salvata accesa", true, QStringList{}, "nulla", true, "accanto");
        Riga("salvata spenta", false, QStringList{}, "nulla", true, "");
        Riga("--copia sopra la salvata", false, QStringList{"--copia"}, "nulla", true, "accanto");
        Riga("--senza-copia sopra la salvata", true, QStringList{"--senza-copia"}, "nulla", true,
             "");
        Riga("copia precedente", true, QStringList{}, "copia", true, "accanto");
        Riga("cartella al suo posto", true, QStringList{}, "cartella", true, "dati");
        Riga("nessun posto", true, QStringList{}, "cartella", false, "fallita");
        Riga("nessun posto, --senza-copia", true, QStringList{"--senza-copia"}, "cartella", false,
             "");
    }
    void CopiaSulPosto()
    {
        const auto [salvata, argomenti, posto, conDati, copia] =
            DatiRiga<bool, QStringList, QString, bool, QString>("salvata", "argomenti", "posto",
                                                                "conDati", "copia");
        const QByteArray atteso = ListaEAtteso();
        CopiaComando(m_dir.path());
        Opzioni opzioni;
        opzioni.ConservaOriginale = salvata;
        QVERIFY(FileOpzioni::Scrivi(m_dir.path(), opzioni));
        Scrivi(P("m.bas"), Modulo);
        if (posto == "copia") Scrivi(P("m.bas~"), "vecchia");
        if (posto == "cartella") QVERIFY(QDir().mkpath(P("m.bas~")));
        // No data folder can be made under a file.
        if (!conDati) Scrivi(P("dati"), "");
        const QString dati = P(conDati ? "dati/quadrivo" : "dati");
        const Esito e = Shell("XDG_DATA_HOME=\"$PWD/dati\" exec ./quadrivo-pseudo --elenco "
                              "fabbrica.dat --sul-posto " +
                              argomenti.join(u' ') + " m.bas");
        const bool fallita = copia == "fallita";
        QCOMPARE(e.uscita, fallita ? 1 : 0);
        QCOMPARE(Leggi(P("m.bas")), fallita ? Modulo : atteso);
        QCOMPARE(QFileInfo(P("m.bas~")).isFile(), copia == "accanto");
        if (copia == "accanto") QCOMPARE(Leggi(P("m.bas~")), Modulo);
        if (posto == "cartella") QVERIFY(QFileInfo(P("m.bas~")).isDir());
        const QString nelleDati =
            CopiaOriginale::NellaCartellaDati(QFileInfo(P("m.bas")).canonicalFilePath(), dati);
        QCOMPARE(Leggi(nelleDati), copia == "dati" ? Modulo : QByteArray());
        // Only a copy kept away from the file, or none, is worth a line.
        if (copia == "dati")
            QVERIFY2(e.err.startsWith("quadrivo-pseudo: nota: la copia dell'originale di m.bas "
                                      "è in "),
                     e.err.constData());
        else if (fallita)
            QVERIFY2(e.err.startsWith("quadrivo-pseudo: impossibile conservare la copia "
                                      "dell'originale di m.bas: ") &&
                         e.err.contains("--senza-copia"),
                     e.err.constData());
        else
            QCOMPARE(e.err, QByteArray());
    }

    // --pulizia=auto cleans each file with its language's cleaning list, made
    // once from the ready list beside the shared one, as one run per list
    // would; plain --pulizia does so too when lists go by language.
    void PuliziaPerLinguaggio()
    {
        const QString comando = CopiaComando(m_dir.path());
        Scrivi(P("fabbrica.dat"), Record::Unisci(SostituzioniPredefinite()));
        Scrivi(P("pulizia.dat"), Record::Unisci(EliminazioniPredefinite()));
        const QMap<QString, QString> elenchi{{"a.bas", "pulizia-basic.dat"},
                                             {"b.c", "pulizia-c.dat"},
                                             {"c.bat", "pulizia-batch.dat"},
                                             {"d.txt", "pulizia.dat"}};
        const QByteArray testo("#include <a.h>\r\nint __cdecl f(); vbInformation\r\n"
                               "dir >nul\r\n");
        QStringList file;
        for (const QString &nome : elenchi.keys()) {
            Scrivi(P(nome), testo);
            file << P(nome);
        }
        QCOMPARE(
            Esegui(QStringList{"--elenco", P("fabbrica.dat"), "--pulizia=auto", "-o", P("auto")} +
                       file,
                   {}, comando),
            (Esito{0, {}, {}}));
        QCOMPARE(Leggi(P("pulizia-c.dat")), Record::Unisci(PuliziaDelLinguaggio(Linguaggio::C)));
        QCOMPARE(Leggi(P("pulizia-batch.dat")),
                 Record::Unisci(PuliziaDelLinguaggio(Linguaggio::Batch)));
        QCOMPARE(Leggi(P("pulizia-basic.dat")), Record::Unisci(EliminazioniPredefinite()));
        QVERIFY(!QFileInfo::exists(P("pulizia-cpp.dat")));
        for (auto e = elenchi.begin(); e != elenchi.end(); ++e) {
            const Esito una =
                Esegui({"--elenco", P("fabbrica.dat"), "--pulizia=" + P(e.value()), P(e.key())}, {},
                       comando);
            QCOMPARE(una.uscita, 0);
            QCOMPARE(Leggi(P("auto/" + e.key())), una.out);
        }
        QVERIFY(Leggi(P("auto/b.c")).startsWith("#include <a.h>\r\nint  f();"));
        QVERIFY(Leggi(P("auto/d.txt")).startsWith("include <a.h>"));

        Opzioni perLinguaggio;
        perLinguaggio.ElencoPerLinguaggio = true;
        QVERIFY(FileOpzioni::Scrivi(m_dir.path(), perLinguaggio));
        QCOMPARE(
            Esegui(QStringList{"--elenco", P("fabbrica.dat"), "--pulizia", "-o", P("salvata")} +
                       file,
                   {}, comando),
            (Esito{0, {}, {}}));
        for (const QString &nome : elenchi.keys())
            QCOMPARE(Leggi(P("salvata/" + nome)), Leggi(P("auto/" + nome)));
    }

    // The same file, list and saved options through the window and through
    // the command beside the same lists with no flag at all: the same bytes,
    // for each language and each combination of the options.
    void StesseOpzioniComeLaFinestra_data()
    {
        Colonne<QString, QByteArray, Voci, Opzioni>("file", "documento", "voci", "opzioni");
        const QList<std::tuple<QString, QByteArray, Linguaggio>> documenti{
            {"modulo.frm",
             "VERSION 5.00\r\nBegin VB.Form F\r\n   Left = 10\r\nEnd\r\nAttribute VB_Name = "
             "\"F\"\r\nPrivate Sub Carica()\r\n\tIf Not a Then MsgBox \"If\" ' Left\r\nEnd "
             "Sub\r\n",
             Linguaggio::Basic},
            {"prova.c", "int main() {\r\n\tif (a) return 0; /* if */\r\n\twhile(x) {}\r\n}\r\n",
             Linguaggio::C},
            {"prova.cpp", "class A {\r\n\tvoid f() { if (a) delete this; } // new\r\n};\r\n",
             Linguaggio::Cpp},
            {"prova.bat",
             "@echo off\r\nrem if x\r\n\tif exist a goto fine\r\necho \"if\"\r\n:fine\r\n",
             Linguaggio::Batch}};
        // With a list for each language the shared list holds a word no text has:
        // both faces must take the text's own list, made from the ready one.
        for (const auto &[file, documento, linguaggio] : documenti)
            for (const bool perLinguaggio : {false, true})
                for (const bool proteggi : {false, true})
                    for (const bool separatori : {false, true})
                        Riga(qPrintable(
                                 QStringLiteral("%1 proteggi %2 separatori %3 per linguaggio %4")
                                     .arg(file)
                                     .arg(proteggi)
                                     .arg(separatori)
                                     .arg(perLinguaggio)),
                             file, documento,
                             perLinguaggio ? Voci{{"Zzz", "Www"}} : ListaDelLinguaggio(linguaggio),
                             Opzioni{proteggi, separatori, perLinguaggio});
    }
    void StesseOpzioniComeLaFinestra()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, documento);
        QFETCH(Voci, voci);
        QFETCH(Opzioni, opzioni);

        AmbienteProva amb;
        amb.ScriviElenchi(voci);
        QVERIFY(FileOpzioni::Scrivi(amb.Cartella(), opzioni));
        amb.ScriviFile(file, documento);
        const Esito comando = Esegui({amb.Percorso(file)}, {}, CopiaComando(amb.Cartella()));
        QCOMPARE(comando.uscita, 0);
        QCOMPARE(comando.err, QByteArray());
        BozzaDellaFinestra(amb, amb.Percorso(file), false);
        QCOMPARE(comando.out, Leggi(amb.Percorso(file)));
        QVERIFY(comando.out != documento);
    }

    // The words the lists leave untranslated, per language over all files.
    void ParoleNonTradotteDeiFile()
    {
        Scrivi(P("elenco.dat"), Record::Unisci(Voci{{"If", "Se"}, {"Then", "Allora"}}));
        Scrivi(P("a.bas"), "Loop\r\nIf a Then Loop ' Dim\r\n");
        Scrivi(P("b.bas"), "Dim a\r\nLoop\r\n");
        Scrivi(P("c.c"), "while (a) { if (b) return; }\r\nnew = delete;\r\n");
        Scrivi(P("d.cpp"), "delete p;\r\n");
        const Esito e = Esegui({"--parole-non-tradotte", "--elenco", P("elenco.dat"), P("a.bas"),
                                P("b.bas"), P("c.c"), P("d.cpp")});
        QCOMPARE(e.uscita, 0);
        QCOMPARE(e.out, QByteArray("BASIC\tLoop\t3\tnessuna voce nell'elenco\n"
                                   "BASIC\tDim\t1\tnessuna voce nell'elenco\n"
                                   "C\treturn\t1\tnessuna voce nell'elenco\n"
                                   "C\twhile\t1\tnessuna voce nell'elenco\n"
                                   "C++\tdelete\t1\tnessuna voce nell'elenco\n"));
        QVERIFY(!QFileInfo::exists(P("a.bas.tmp")));
        QCOMPARE(Leggi(P("b.bas")), QByteArray("Dim a\r\nLoop\r\n"));
    }

    // -r over a tree of mixed files: each file drafted as when named alone,
    // into -o with the tree kept or in place; hidden names, other extensions
    // and a link to a folder outside left alone. -v: a line per file, then
    // the totals.
    void Ricorsivo_data()
    {
        Colonne<bool>("sulPosto");
        Riga("-o", false);
        Riga("--sul-posto", true);
    }
    void Ricorsivo()
    {
        QFETCH(bool, sulPosto);
        Scrivi(P("elenco.dat"), Record::Unisci(Voci{{"If", "Se"}, {"Then", "Allora"}}));
        for (const char *cartella : {"progetto/moduli/vuota", "progetto/.git", "fuori"})
            QVERIFY(QDir().mkpath(P(cartella)));
        const QStringList elaborati{"a.bas", "leggimi.txt", "moduli/b.C", "moduli/c.bat"};
        const QByteArray testo = "If a Then b\r\nif (x) y;\r\n";
        QMap<QString, QByteArray> attesi;
        for (const QString &f : elaborati) {
            Scrivi(P("progetto/" + f), testo);
            attesi[f] = Esegui({"--elenco", P("elenco.dat"), P("progetto/" + f)}).out;
            QVERIFY(!attesi[f].isEmpty());
        }
        for (const char *altro : {"progetto/foto.png", "progetto/.git/d.c", "fuori/e.bas"})
            Scrivi(P(altro), testo);
        QCOMPARE(::symlink("../../fuori", QFile::encodeName(P("progetto/moduli/collegata"))), 0);

        QStringList argomenti{"-r", "-v", "--elenco", P("elenco.dat")};
        argomenti << (sulPosto ? QStringList{"--sul-posto", "--senza-copia"}
                               : QStringList{"-o", P("uscita")});
        const Esito e = Esegui(argomenti << P("progetto"));
        QCOMPARE(e.uscita, 0);
        const QString uscita = P(sulPosto ? "progetto" : "uscita");
        QStringList trovati;
        for (QDirIterator i(uscita, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
             i.hasNext();)
            trovati << QDir(uscita).relativeFilePath(i.next());
        trovati.sort();
        QStringList attesiTrovati = elaborati;
        if (sulPosto)
            attesiTrovati << ".git/d.c"
                          << "foto.png";
        attesiTrovati.sort();
        QCOMPARE(trovati, attesiTrovati);
        for (const QString &f : elaborati)
            QCOMPARE(Leggi(uscita + '/' + f), attesi[f]);
        for (const char *altro : {"progetto/foto.png", "progetto/.git/d.c", "fuori/e.bas"})
            QCOMPARE(Leggi(P(altro)), testo);

        const QList<QByteArray> righe = e.err.trimmed().split('\n');
        QCOMPARE(righe.size(), 5);
        QVERIFY2(righe.contains(QFile::encodeName(P("progetto/a.bas")) +
                                ": linguaggio BASIC, elenco " + QFile::encodeName(P("elenco.dat")) +
                                ", 3 sostituzioni"),
                 e.err.constData());
        QVERIFY2(righe.contains(QFile::encodeName(P("progetto/leggimi.txt")) +
                                ": linguaggio Nessuno, elenco " +
                                QFile::encodeName(P("elenco.dat")) + ", 3 sostituzioni"),
                 e.err.constData());
        QVERIFY2(righe.last().startsWith("Totale: 4 file elaborati, "), e.err.constData());
        QVERIFY2(righe.last().endsWith(" s"), e.err.constData());
    }

    // Under -r a file refused (its result's place is a link, or its folder
    // in the output is a link to a folder elsewhere) stops none of the others,
    // and the run ends with status 1; nothing is written through the links.
    void RicorsivoConRifiuti()
    {
        Scrivi(P("elenco.dat"), Record::Unisci(Voci{{"If", "Se"}}));
        for (const char *cartella : {"progetto/sub", "progetto/lib", "uscita/sub", "fuori"})
            QVERIFY(QDir().mkpath(P(cartella)));
        for (const char *f : {"progetto/a.bas", "progetto/sub/b.bas", "progetto/sub/c.bas",
                              "progetto/lib/d.bas", "bersaglio"})
            Scrivi(P(f), "If\r\n");
        QCOMPARE(::symlink("../../bersaglio", QFile::encodeName(P("uscita/sub/b.bas"))), 0);
        QCOMPARE(::symlink("../fuori", QFile::encodeName(P("uscita/lib"))), 0);

        const Esito e =
            Esegui({"-r", "-v", "--elenco", P("elenco.dat"), "-o", P("uscita"), P("progetto")});
        QCOMPARE(e.uscita, 1);
        QCOMPARE(Leggi(P("uscita/a.bas")), QByteArray("Se\r\n\r\n"));
        QCOMPARE(Leggi(P("uscita/sub/c.bas")), QByteArray("Se\r\n\r\n"));
        QCOMPARE(Leggi(P("bersaglio")), QByteArray("If\r\n"));
        QVERIFY(QDir(P("fuori")).isEmpty());
        QVERIFY2(e.err.contains("impossibile scrivere " + QFile::encodeName(P("uscita/sub/b.bas"))),
                 e.err.constData());
        QVERIFY2(e.err.contains("impossibile creare la cartella di " +
                                QFile::encodeName(P("uscita/lib/d.bas"))),
                 e.err.constData());
        QVERIFY2(e.err.contains("Totale: 2 file elaborati, 2 non elaborati, 2 sostituzioni, "),
                 e.err.constData());
    }
};

QTEST_MAIN(TestQuadrivoPseudo)
#include "test_quadrivopseudo.moc"
