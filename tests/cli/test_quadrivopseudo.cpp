// The batch command: the same bytes as the windows give, its ways in and out,
// and what it does with files and command lines it cannot use.

#include "aiuti/AmbienteProva.h"
#include "aiuti/Tabella.h"
#include "app/CodificaAnsi.h"
#include "app/EditorTesto.h"
#include "app/Form1.h"
#include "pseudo/Lotto.h"
#include "pseudo/frmPseudo.h"

#include <QAction>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>

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

} // namespace

class TestQuadrivoPseudo : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString P(const QString &nome) const { return m_dir.filePath(nome); }

    // The command run in the test folder, `ingresso` on its standard input.
    Esito Esegui(const QStringList &argomenti, const QByteArray &ingresso = {},
                 const QString &programma = QStringLiteral(QUADRIVO_PSEUDO)) const
    {
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(programma, argomenti);
        p.write(ingresso);
        p.closeWriteChannel();
        if (!p.waitForFinished(60000)) return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), p.readAllStandardError()};
    }

private Q_SLOTS:
    void init() { QVERIFY(QDir(m_dir.path()).removeRecursively() && QDir().mkpath(m_dir.path())); }

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
        Colonne<QByteArray, Voci, bool>("documento", "voci", "pulizia");
        const Voci fabbrica = SostituzioniPredefinite();
        Riga("windows-1252", Modulo, fabbrica, false);
        Riga("utf-8", QStringLiteral("' è ł\r\nIf ł Then\r\n").toUtf8(), fabbrica, false);
        Riga("utf-8 con bom", "\xEF\xBB\xBF" + QStringLiteral("For à To b\r\n").toUtf8(), fabbrica,
             false);
        Riga("a capo di ogni tipo", QByteArray("If a\nThen b\rFor c\r\n\n"), fabbrica, false);
        Riga("sostituto fuori da windows-1252", QByteArray("If x\r\n"),
             Voci{{"If", QStringLiteral("Se ł")}}, false);
        Riga("parole composte e a capo nei sostituti", QByteArray("End If\r\nIf x Then\r\n"),
             Voci{{"End If", "Fine\rSe"}, {"If", "Se"}, {"Se", "SE"}, {"Then", "\nAllora"}}, false);
        Riga("pulizia",
             QByteArray("MsgBox \"x\", vbInformation\r\nText1.SetFocus\r\n#If a Then\r\n"),
             fabbrica, true);
    }
    void ComeLeFinestre()
    {
        QFETCH(QByteArray, documento);
        QFETCH(Voci, voci);
        QFETCH(bool, pulizia);

        AmbienteProva amb;
        amb.ScriviElenchi(voci);
        amb.ScriviFile(QStringLiteral("pulizia.dat"), Record::Unisci(EliminazioniPredefinite()));
        amb.ScriviFile(QStringLiteral("modulo.bas"), documento);
        const QString modulo = amb.Percorso(QStringLiteral("modulo.bas"));
        QStringList argomenti{QStringLiteral("--elenco"), amb.Percorso("sostituzioni.dat"), modulo};
        if (pulizia) argomenti.prepend(QStringLiteral("--pulizia=") + amb.Percorso("pulizia.dat"));
        const Esito comando = Esegui(argomenti);
        QCOMPARE(comando.err, QByteArray());
        QCOMPARE(comando.uscita, 0);

        Form1 &f = amb.Avvia();
        Copione::RispondiFile(modulo);
        Comando(f, "mnuFileApri")->trigger();
        if (pulizia) {
            Copione::RispondiMessaggio(Risposta::OK);
            Copione::RispondiMessaggio(Risposta::OK);
            Comando(f, "mnuStrumAPul")->trigger();
        }
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuStrumAvvia")->trigger();
        auto *p = qobject_cast<frmPseudo *>(f.FinestraPseudo());
        QVERIFY(p);
        p->IntervalloCessione = 0;
        Copione::RispondiMessaggio(Risposta::OK);
        p->Command5->click();
        p->Command4->click();
        Comando(f, "mnuFileSalva")->trigger();
        VERIFICA_COPIONE_ESAURITO();
        QCOMPARE(comando.out, Leggi(modulo));
        QVERIFY(comando.out != documento);
    }

    // Standard input to standard output, with "-" or no file at all.
    void FlussoStandard()
    {
        Scrivi(P("m.bas"), Modulo);
        const Esito daFile = Esegui({P("m.bas")});
        QCOMPARE(daFile.uscita, 0);
        QVERIFY(daFile.out.startsWith("Sub Citt\xE0()\r\n  Se a Allora b\r\n"));
        QVERIFY(daFile.out.endsWith("\r\n\r\n"));
        QCOMPARE(Esegui({}, Modulo), daFile);
        QCOMPARE(Esegui({"-"}, Modulo), daFile);
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
             QByteArray("\tif(a) s = \"if\"; // if\r\n"),
             QByteArray("\tSe(a) s = \"if\"; // if\r\n\r\n"));
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
        QVERIFY(aiuto.out.contains("--linguaggio=basic|c|batch|nessuno"));
        const Esito versione = Esegui({"--version"});
        QCOMPARE(versione.uscita, 0);
        QVERIFY(versione.out.startsWith("quadrivo-pseudo "));
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

        // A part-record at the end is left out, as the program does; a length
        // field that runs past its record is cut there.
        QByteArray dati = Record::Unisci(Voci{{"If", "Se"}});
        dati.append(QByteArray("\xFF\x7F", 2).leftJustified(Record::Lunghezza, 'x'));
        dati.append("\x02\x00Th", 4);
        Scrivi(P("rotto.dat"), dati);
        e = Esegui({"--elenco", P("rotto.dat")}, "If Th\r\n");
        QCOMPARE(e.uscita, 0);
        QCOMPARE(e.out, QByteArray("Se Th\r\n\r\n"));
        QVERIFY(e.err.contains("record incompleto"));
    }
};

QTEST_MAIN(TestQuadrivoPseudo)
#include "test_quadrivopseudo.moc"
