// The list files: record bytes, reading damaged files, counting, saving.

#include "aiuti/ModelliRiferimento.h"
#include "app/CodificaAnsi.h"
#include "lists/ArchivioListe.h"
#include "lists/CartellaListe.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

Q_DECLARE_METATYPE(StatoElenco)

namespace {

constexpr uid_t Nessuno = 65534; // the unprivileged "nobody" user and group

// Runs `prova` in a child process (set up by `prepara`, e.g. with lower limits)
// and returns what it returned; nothing when `prepara` failed.
std::optional<QString> InUnFiglio(const std::function<bool()> &prepara,
                                  const std::function<QString()> &prova)
{
    int tubo[2];
    if (pipe(tubo) != 0) return std::nullopt;
    const pid_t figlio = fork();
    if (figlio == 0) {
        close(tubo[0]);
        if (!prepara()) _exit(77);
        const QByteArray risultato = prova().toUtf8();
        for (qsizetype scritti = 0; scritti < risultato.size();) {
            const ssize_t n =
                write(tubo[1], risultato.constData() + scritti, size_t(risultato.size() - scritti));
            if (n <= 0) _exit(1);
            scritti += n;
        }
        _exit(0);
    }
    close(tubo[1]);
    QByteArray risultato;
    char blocco[4096];
    for (ssize_t n; (n = read(tubo[0], blocco, sizeof blocco)) > 0;)
        risultato.append(blocco, n);
    close(tubo[0]);
    int stato = 0;
    waitpid(figlio, &stato, 0);
    if (!WIFEXITED(stato) || WEXITSTATUS(stato) != 0) return std::nullopt;
    return QString::fromUtf8(risultato);
}

// Runs `prova` as a user whom file permissions bind: here when the tests do not
// run as root, otherwise in a child that gives up root's rights (and then owns
// `cartella`). Nothing when the rights cannot be given up.
std::optional<QString> ComeUtenteNormale(const QString &cartella,
                                         const std::function<QString()> &prova)
{
    if (geteuid() != 0) return prova();
    if (chown(QFile::encodeName(cartella).constData(), Nessuno, Nessuno) != 0) return std::nullopt;
    return InUnFiglio(
        [&] {
            return setgroups(0, nullptr) == 0 && setgid(Nessuno) == 0 && setuid(Nessuno) == 0 &&
                   access(QFile::encodeName(cartella).constData(), W_OK | X_OK) == 0;
        },
        prova);
}

void Permessi(const QString &percorso, mode_t modo)
{
    chmod(QFile::encodeName(percorso).constData(), modo);
}

QByteArray Sost(const char *trova, const char *sostituisci)
{
    return Record::Codifica(
        VoceSostituzione{QString::fromUtf8(trova), QString::fromUtf8(sostituisci)});
}

} // namespace

class TestRecord : public QObject
{
    Q_OBJECT

    static void Scrivi(const QString &percorso, const QByteArray &dati)
    {
        QFile f(percorso);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(dati), dati.size());
    }
    static QByteArray Leggi(const QString &percorso)
    {
        QFile f(percorso);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void esempiByteEsatti()
    {
        QByteArray atteso = QByteArray::fromHex("0200496602005365");
        atteso.append(QByteArray(120, '\0'));
        QCOMPARE(Record::Codifica(VoceSostituzione{QStringLiteral("If"), QStringLiteral("Se")}),
                 atteso);

        atteso = QByteArray::fromHex("010023") + QByteArray::fromHex("02004E6F0000");
        atteso.append(QByteArray(119, '\0'));
        QCOMPARE(Record::Codifica(VoceEliminazione{QStringLiteral("#"), QStringLiteral("No"), 7}),
                 atteso);

        atteso = QByteArray::fromHex("0600556E6C6F6164") + QByteArray::fromHex("020053EC0100");
        atteso.append(QByteArray(114, '\0'));
        QCOMPARE(Record::Codifica(VoceEliminazione{QStringLiteral("Unload"), TestoSi, 0}), atteso);
    }

    void flagDalTestoSoltanto_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("flag");
        QTest::newRow("Sì") << QStringLiteral("Sì") << 1;
        QTest::newRow("sì minuscolo") << QStringLiteral("sì") << 0;
        QTest::newRow("SÌ") << QStringLiteral("SÌ") << 0;
        QTest::newRow("No") << QStringLiteral("No") << 0;
        QTest::newRow("Si senza accento") << QStringLiteral("Si") << 0;
    }
    void flagDalTestoSoltanto()
    {
        QFETCH(QString, testo);
        QFETCH(int, flag);
        const QByteArray r = Record::Codifica(VoceEliminazione{QStringLiteral("x"), testo, 1});
        const int posFlag = 2 + 1 + 2 + int(testo.size());
        QCOMPARE(int(quint8(r[posFlag])) | (int(quint8(r[posFlag + 1])) << 8), flag);
    }

    void righeMostrate_data()
    {
        // A record's two texts and how an editor shows it: "primo|secondo"
        // (with "|flag" for the elimination list), or nothing when hidden.
        QTest::addColumn<bool>("sostituzioni");
        QTest::addColumn<QString>("primo");
        QTest::addColumn<QString>("secondo");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("spazi tolti") << true << QStringLiteral("  If ") << QStringLiteral(" Se  ")
                                     << QStringLiteral("If|Se");
        QTest::newRow("senza sostituto: nascosta")
            << true << QStringLiteral("Then") << QStringLiteral("") << QStringLiteral("");
        QTest::newRow("senza parola: mostrata")
            << true << QStringLiteral("") << QStringLiteral("vuota") << QStringLiteral("|vuota");
        QTest::newRow("tabulazione rimasta")
            << true << QStringLiteral("\tFor") << QStringLiteral("Per")
            << QStringLiteral("\tFor|Per");
        QTest::newRow("solo spazi")
            << true << QStringLiteral("   ") << QStringLiteral(" x") << QStringLiteral("|x");
        QTest::newRow("eliminazione Sì") << false << QStringLiteral(" Unload ")
                                         << QStringLiteral("Sì") << QStringLiteral("Unload|Sì|1");
        QTest::newRow("Sì tra spazi")
            << false << QStringLiteral("x") << QStringLiteral(" Sì ") << QStringLiteral("x|Sì|1");
        QTest::newRow("eliminazione No")
            << false << QStringLiteral("#") << QStringLiteral("No") << QStringLiteral("#|No|0");
        QTest::newRow("sì minuscolo")
            << false << QStringLiteral("x") << QStringLiteral("sì") << QStringLiteral("x|sì|0");
        QTest::newRow("senza parola: nascosta")
            << false << QStringLiteral("") << QStringLiteral("Sì") << QStringLiteral("");
        QTest::newRow("parola di soli spazi")
            << false << QStringLiteral("   ") << QStringLiteral("No") << QStringLiteral("|No|0");
    }
    void righeMostrate()
    {
        QFETCH(bool, sostituzioni);
        QFETCH(QString, primo);
        QFETCH(QString, secondo);
        QFETCH(QString, atteso);
        QStringList righe;
        if (sostituzioni) {
            for (const VoceSostituzione &v :
                 RigheElenco::DaMostrare(QVector<VoceSostituzione>{{primo, secondo}}))
                righe.append(v.Trova + QLatin1Char('|') + v.Sostituisci);
        } else {
            for (const VoceEliminazione &v :
                 RigheElenco::DaMostrare(QVector<VoceEliminazione>{{primo, secondo, 0}}))
                righe.append(
                    QStringLiteral("%1|%2|%3").arg(v.Elimina, v.ParolaIntera).arg(v.FlagIntera));
        }
        QCOMPARE(righe.join(QString()), atteso);
    }

    // Random rows against the byte-by-byte model, and back again.
    void andataERitornoContoModello()
    {
        QRandomGenerator gen(2026);
        const QString alfabeto = QStringLiteral("aZ09 ,.;#èéìòù€ŒœÿÀ\u00a0\t");
        auto casuale = [&](int massimo) {
            QString s;
            for (int i = int(gen.bounded(massimo + 1)); i > 0; --i)
                s.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
            return s;
        };
        for (int i = 0; i < 3000; ++i) {
            const VoceSostituzione s{casuale(60), casuale(60)};
            const QByteArray r = Record::Codifica(s);
            QCOMPARE(r, Modello::RecordLetterale({CodificaAnsi::Codifica(s.Trova),
                                                  CodificaAnsi::Codifica(s.Sostituisci)},
                                                 {}));
            QCOMPARE(Record::DecodificaSostituzione(r), s);
            const VoceEliminazione e{casuale(100), gen.bounded(2) ? TestoSi : TestoNo, 0};
            const VoceEliminazione letta = Record::DecodificaEliminazione(Record::Codifica(e));
            QCOMPARE(letta.Elimina, e.Elimina);
            QCOMPARE(letta.ParolaIntera, e.ParolaIntera);
            QCOMPARE(letta.FlagIntera, qint16(e.ParolaIntera == TestoSi));
        }
    }

    void asciiContoModelloLetterale()
    {
        const VoceSostituzione s{QStringLiteral("While"), QStringLiteral("Mentre")};
        QCOMPARE(Record::Codifica(s), Modello::RecordLetterale({"While", "Mentre"}, {}));
        const VoceEliminazione e{QStringLiteral(".Show"), TestoNo, 0};
        QCOMPARE(Record::Codifica(e), Modello::RecordLetterale({".Show", "No"}, {0}));
    }

    void capacita()
    {
        const QString a(62, QLatin1Char('a'));
        QVERIFY(Record::MotivoNonContenibile(VoceSostituzione{a, a}).isEmpty());
        QVERIFY(!Record::MotivoNonContenibile(VoceSostituzione{a, a + QLatin1Char('b')}).isEmpty());
        QVERIFY(Record::MotivoNonContenibile(
                    VoceEliminazione{QString(120, QLatin1Char('x')), TestoSi, 1})
                    .isEmpty());
        QVERIFY(!Record::MotivoNonContenibile(
                     VoceEliminazione{QString(121, QLatin1Char('x')), TestoNo, 0})
                     .isEmpty());
        QVERIFY(!Record::MotivoNonContenibile(VoceSostituzione{QStringLiteral("Ω"), QString()})
                     .isEmpty());
        // An over-long row is cut rather than written past its record.
        QCOMPARE(Record::Codifica(VoceSostituzione{QString(300, QLatin1Char('a')), a}).size(), 128);
    }

    void recordDanneggiati()
    {
        // Length fields that run past the record are read as far as the record goes.
        QByteArray r = QByteArray::fromHex("FFFF") + QByteArray(126, 'x');
        VoceSostituzione s = Record::DecodificaSostituzione(r);
        QCOMPARE(s.Trova, QString(126, QLatin1Char('x')));
        QCOMPARE(s.Sostituisci, QString());
        r = QByteArray::fromHex("0100") + "a" + QByteArray::fromHex("F000") + QByteArray(123, 'y');
        s = Record::DecodificaSostituzione(r);
        QCOMPARE(s.Sostituisci, QString(123, QLatin1Char('y')));
        const VoceEliminazione e =
            Record::DecodificaEliminazione(QByteArray::fromHex("7C00") + QByteArray(126, 'z'));
        QCOMPARE(e.Elimina.size(), 124);
        QCOMPARE(e.FlagIntera, qint16(0));
    }

    void apreCreaEConta()
    {
        QTemporaryDir dir;
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Sostituzioni));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("sostituzioni.dat"))));
        QCOMPARE(liste.Lunghezza(Elenco::Sostituzioni), 0);
        QCOMPARE(liste.ContaSostituzioni(), 0);

        // Entries are the records with a word, in file order: the empty one in
        // the middle does not hide the last.
        QVERIFY(liste.Salva(
            QVector<VoceSostituzione>{{QStringLiteral("If"), QStringLiteral("Se")},
                                      {QString(), QStringLiteral("vuota")},
                                      {QStringLiteral("Then"), QString()},
                                      {QStringLiteral("Not"), QStringLiteral("Non è")}}));
        QCOMPARE(liste.Lunghezza(Elenco::Sostituzioni), 4 * 128);
        QCOMPARE(liste.ContaSostituzioni(), 3);
        VoceSostituzione v;
        QVERIFY(liste.LeggiVoce(3, v));
        QCOMPARE(v, (VoceSostituzione{QStringLiteral("Not"), QStringLiteral("Non è")}));
        QVERIFY(liste.LeggiVoce(2, v));
        QCOMPARE(v.Trova, QStringLiteral("Then"));
        QVERIFY(!liste.LeggiVoce(4, v));
        QCOMPARE(v, VoceSostituzione());
        QVERIFY(!liste.LeggiVoce(0, v));

        QVERIFY(liste.Salva(QVector<VoceSostituzione>{}));
        QCOMPARE(liste.Lunghezza(Elenco::Sostituzioni), 0);
        QCOMPARE(Leggi(dir.filePath(QStringLiteral("sostituzioni.dat"))), QByteArray());
    }

    // A part-record at the end is a whole record padded with zeros: read,
    // counted, walked, and saved back with its bytes.
    void fileConCodaSpezzata()
    {
        QTemporaryDir dir;
        const QByteArray file = Sost("a", "b") + Sost("c", "d") + QByteArray::fromHex("0500414243");
        Scrivi(dir.filePath(QStringLiteral("sostituzioni.dat")), file);
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Sostituzioni));
        const QVector<VoceSostituzione> voci = liste.LeggiSostituzioni();
        QCOMPARE(voci.size(), 3);
        QCOMPARE(voci[2].Trova, QStringLiteral("ABC") + QString(2, QChar(0)));
        QCOMPARE(liste.ContaSostituzioni(), 3);
        VoceSostituzione v;
        QVERIFY(liste.LeggiVoce(3, v));
        QCOMPARE(v, voci[2]);
        QVERIFY(liste.Salva(voci));
        QCOMPARE(Leggi(liste.Percorso(Elenco::Sostituzioni)),
                 file + QByteArray(3 * 128 - file.size(), '\0'));
    }

    // A file the user may not write or read: it is never replaced, and the
    // save says why.
    void fileNonScrivibileOIlleggibile_data()
    {
        QTest::addColumn<int>("permessi"); // -1: a folder stands in its place
        QTest::addColumn<StatoElenco>("stato");
        QTest::addColumn<int>("righe");
        QTest::addColumn<QString>("erroreSalvataggio");
        QTest::newRow("sola lettura") << 0444 << StatoElenco::SolaLettura << 2
                                      << QStringLiteral("Errore: Permesso negato  (13)");
        QTest::newRow("illeggibile") << 0000 << StatoElenco::Illeggibile << 0
                                     << QStringLiteral("Errore: Permesso negato  (13)");
        QTest::newRow("sola scrittura") << 0200 << StatoElenco::Illeggibile << 0
                                        << QStringLiteral("Errore: Permesso negato  (13)");
        QTest::newRow("una cartella") << -1 << StatoElenco::Illeggibile << 0
                                      << QStringLiteral("Errore: È una cartella  (21)");
    }
    void fileNonScrivibileOIlleggibile()
    {
        QFETCH(int, permessi);
        QFETCH(StatoElenco, stato);
        QFETCH(int, righe);
        QFETCH(QString, erroreSalvataggio);
        QTemporaryDir dir;
        const QString percorso = dir.filePath(QStringLiteral("sostituzioni.dat"));
        const QByteArray dati = Sost("If", "Se") + Sost("For", "Per");
        const auto esito = ComeUtenteNormale(dir.path(), [&] {
            if (permessi < 0) {
                QDir().mkdir(percorso);
            } else {
                Scrivi(percorso, dati);
                Permessi(percorso, mode_t(permessi));
            }
            ArchivioListe liste(dir.path());
            const bool aperto = liste.Apri(Elenco::Sostituzioni);
            ErroreFile lettura, salvataggio;
            const int lette = int(liste.LeggiSostituzioni(&lettura).size());
            const bool salvato = liste.Salva(SostituzioniPredefinite(), &salvataggio);
            return QStringLiteral("%1|%2|%3|%4|%5|%6")
                .arg(aperto)
                .arg(int(liste.Stato(Elenco::Sostituzioni)))
                .arg(lette)
                .arg(lettura.numero != 0)
                .arg(salvato)
                .arg(salvataggio.Messaggio());
        });
        Permessi(percorso, 0644);
        if (!esito) QSKIP("the tests run as root and cannot give up its rights");
        const bool leggibile = stato != StatoElenco::Illeggibile;
        QCOMPARE(*esito, QStringLiteral("%1|%2|%3|%4|0|%5")
                             .arg(leggibile)
                             .arg(int(stato))
                             .arg(righe)
                             .arg(!leggibile)
                             .arg(erroreSalvataggio));
        if (permessi >= 0)
            QCOMPARE(Leggi(percorso), dati);
        else
            QVERIFY(QFileInfo(percorso).isDir());
    }

    // A read error is no empty list: it is reported, and no save may write
    // over the file it could not read.
    void erroreDiLettura()
    {
        QTemporaryDir dir;
        // Reading a process's memory at offset 0 always fails (EIO).
        const QString percorso = dir.filePath(QStringLiteral("pulizia.dat"));
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), percorso));
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Eliminazioni));
        ErroreFile errore;
        QVERIFY(liste.LeggiEliminazioni(&errore).isEmpty());
        QCOMPARE(errore.Messaggio(), QStringLiteral("Errore: Errore di input/output  (5)"));
        QCOMPARE(liste.Stato(Elenco::Eliminazioni), StatoElenco::Illeggibile);
        QVERIFY(!liste.Salva(EliminazioniPredefinite(), &errore));
        QCOMPARE(errore.numero, EIO);
        QCOMPARE(QFileInfo(percorso).symLinkTarget(), QStringLiteral("/proc/self/mem"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 1);
    }

    // Once the new file is in place the save has succeeded, even when the file
    // cannot be opened again; that failure is reported on its own.
    void riaperturaFallitaDopoIlSalvataggio()
    {
        QTemporaryDir dir;
        const QString percorso = dir.filePath(QStringLiteral("sostituzioni.dat"));
        const auto esito = ComeUtenteNormale(dir.path(), [&] {
            Scrivi(percorso, Sost("If", "Se"));
            ArchivioListe liste(dir.path());
            liste.Apri(Elenco::Sostituzioni);
            // Write-only: the new file takes these permissions and cannot be read.
            Permessi(percorso, 0200);
            ErroreFile errore;
            const bool salvato = liste.Salva(SostituzioniPredefinite(), &errore);
            return QStringLiteral("%1|%2|%3")
                .arg(salvato)
                .arg(int(liste.Stato(Elenco::Sostituzioni)))
                .arg(liste.Errore(Elenco::Sostituzioni).numero);
        });
        Permessi(percorso, 0644);
        if (!esito) QSKIP("the tests run as root and cannot give up its rights");
        QCOMPARE(*esito, QStringLiteral("1|%1|%2").arg(int(StatoElenco::Illeggibile)).arg(EACCES));
        QByteArray atteso;
        for (const VoceSostituzione &v : SostituzioniPredefinite())
            atteso += Record::Codifica(v);
        QCOMPARE(Leggi(percorso), atteso);
    }

    // Rows a record cannot hold are refused, never cut.
    void righeCheUnRecordNonContiene_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("riga");
        QByteArray elim = QByteArray::fromHex("7C00") + QByteArray(124, 'z') + "\0\0";
        QTest::newRow("parola di 124 byte da un file danneggiato")
            << Record::Codifica(EliminazioniPredefinite().first()) + elim << 2;
        QTest::newRow("tutte contenibili")
            << Record::Codifica(EliminazioniPredefinite().last()) << 0;
    }
    void righeCheUnRecordNonContiene()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, riga);
        QTemporaryDir dir;
        const QString percorso = dir.filePath(QStringLiteral("pulizia.dat"));
        Scrivi(percorso, file);
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Eliminazioni));
        const QVector<VoceEliminazione> voci = liste.LeggiEliminazioni();
        QCOMPARE(Record::PrimaRigaNonContenibile(voci), riga);
        ErroreFile errore;
        QCOMPARE(liste.Salva(voci, &errore), riga == 0);
        QCOMPARE(Leggi(percorso), file);
        if (riga) QVERIFY(errore.descrizione.contains(QStringLiteral("La riga %1 ").arg(riga)));
    }

    // Whether the file holds exactly the rows that a save would write.
    void fileContieneLeRighe_data()
    {
        QTest::addColumn<QVector<VoceSostituzione>>("righe");
        QTest::addColumn<bool>("contiene");
        const QVector<VoceSostituzione> file = {{QStringLiteral("If"), QStringLiteral("Se")},
                                                {QStringLiteral("a"), QString(122, 'b')}};
        QTest::newRow("le stesse") << file << true;
        QVector<VoceSostituzione> r = file;
        r[1].Sostituisci[5] = QLatin1Char('c');
        QTest::newRow("una lettera diversa") << r << false;
        QTest::newRow("una riga in meno") << file.mid(0, 1) << false;
        QTest::newRow("una riga in più") << file + file.mid(0, 1) << false;
        r = file;
        r[1].Sostituisci.append(QLatin1Char('b')); // would be cut to what the file holds
        QTest::newRow("una riga troppo lunga") << r << false;
        QTest::newRow("nessuna") << QVector<VoceSostituzione>{} << false;
    }
    void fileContieneLeRighe()
    {
        QFETCH(QVector<VoceSostituzione>, righe);
        QFETCH(bool, contiene);
        QTemporaryDir dir;
        Scrivi(dir.filePath(QStringLiteral("sostituzioni.dat")),
               Sost("If", "Se") + Record::Codifica(VoceSostituzione{
                                      QStringLiteral("a"), QString(122, QLatin1Char('b'))}));
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Sostituzioni));
        QCOMPARE(liste.Contiene(righe), contiene);
    }

    // Where the lists live: a read-only program folder sends them to the data
    // folder, taking the lists the program folder holds when it has none yet.
    void sceltaDellaCartellaListe_data()
    {
        QTest::addColumn<bool>("programmaScrivibile");
        QTest::addColumn<bool>("installato");
        QTest::addColumn<QStringList>("nelProgramma");
        QTest::addColumn<QStringList>("neiDati");
        QTest::addColumn<QString>("scelta");
        QTest::addColumn<QStringList>("datiDopo"); // name=content of the data folder's files
        const QString s = QStringLiteral("sostituzioni.dat"), p = QStringLiteral("pulizia.dat");
        QTest::newRow("programma scrivibile")
            << true << false << QStringList{s, p} << QStringList{} << "programma" << QStringList{};
        QTest::newRow("programma installato, scrivibile")
            << true << true << QStringList{} << QStringList{} << "dati" << QStringList{};
        QTest::newRow("copia entrambi")
            << false << false << QStringList{s, p} << QStringList{} << "dati"
            << QStringList{p + "=programma", s + "=programma"};
        QTest::newRow("copia quello che c'è") << false << false << QStringList{p} << QStringList{}
                                              << "dati" << QStringList{p + "=programma"};
        QTest::newRow("i dati hanno già un elenco")
            << false << false << QStringList{s, p} << QStringList{s} << "dati"
            << QStringList{s + "=dati"};
        QTest::newRow("nessun elenco")
            << false << false << QStringList{} << QStringList{} << "dati" << QStringList{};
    }
    void sceltaDellaCartellaListe()
    {
        QFETCH(bool, programmaScrivibile);
        QFETCH(bool, installato);
        QFETCH(QStringList, nelProgramma);
        QFETCH(QStringList, neiDati);
        QFETCH(QString, scelta);
        QFETCH(QStringList, datiDopo);
        QTemporaryDir dir;
        const QString programma = dir.filePath(QStringLiteral("programma"));
        const QString dati = dir.filePath(QStringLiteral("casa/dati/quadrivo"));
        const auto esito = ComeUtenteNormale(dir.path(), [&] {
            QDir().mkpath(programma);
            if (installato) {
                QDir().mkpath(dir.filePath(QStringLiteral("share/quadrivo")));
                Scrivi(dir.filePath(QStringLiteral("share/quadrivo/crediti.html")), "<html/>");
            }
            for (const QString &nome : nelProgramma)
                Scrivi(programma + QLatin1Char('/') + nome, "programma");
            if (!neiDati.isEmpty()) QDir().mkpath(dati);
            for (const QString &nome : neiDati)
                Scrivi(dati + QLatin1Char('/') + nome, "dati");
            if (!programmaScrivibile) Permessi(programma, 0555);
            const QString scelta = ScegliCartellaListe(programma, dati);
            return scelta == programma ? QStringLiteral("programma")
                   : scelta == dati    ? QStringLiteral("dati")
                                       : scelta;
        });
        Permessi(programma, 0755);
        if (!esito) QSKIP("the tests run as root and cannot give up its rights");
        QCOMPARE(*esito, scelta);
        QStringList trovati;
        for (const QString &nome : QDir(dati).entryList(QDir::Files | QDir::Hidden))
            trovati.append(nome + QLatin1Char('=') + QString::fromLatin1(Leggi(dati + '/' + nome)));
        QCOMPARE(trovati, datiDopo);
        QCOMPARE(QDir(programma).entryList(QDir::Files | QDir::Hidden).size(),
                 nelProgramma.size()); // no probe left behind
    }

    void salvataggioSenzaPerdite()
    {
        QTemporaryDir dir;
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Eliminazioni));
        QVERIFY(liste.Salva(EliminazioniPredefinite()));
        const QByteArray prima = Leggi(liste.Percorso(Elenco::Eliminazioni));
        QCOMPARE(prima.size(), 9 * 128);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(Record::DecodificaEliminazione(prima.mid(i * 128, 128)).FlagIntera,
                     qint16(i < 8));

        // A folder that cannot take the new file: the old file stays whole.
        ArchivioListe rotto(dir.filePath(QStringLiteral("sostituzioni.dat/sotto")));
        ErroreFile errore;
        QVERIFY(!rotto.Salva(EliminazioniPredefinite(), &errore));
        QVERIFY(errore.numero != 0);
        QVERIFY(errore.Messaggio().startsWith(QStringLiteral("Errore: ")));

        // The file turned into a folder: the save fails and leaves it there.
        QTemporaryDir altro;
        ArchivioListe l2(altro.path());
        QVERIFY(l2.Apri(Elenco::Eliminazioni));
        QVERIFY(l2.Salva(EliminazioniPredefinite()));
        QFile::remove(altro.path() + QStringLiteral("/pulizia.dat"));
        QVERIFY(QDir().mkdir(altro.path() + QStringLiteral("/pulizia.dat")));
        QVERIFY(!l2.Salva(QVector<VoceEliminazione>{}, &errore));
        QCOMPARE(
            QDir(altro.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{QStringLiteral("pulizia.dat")});
        QVERIFY(QFileInfo(altro.path() + QStringLiteral("/pulizia.dat")).isDir());

        // The kernel refuses the write half-way (file-size limit): the old file
        // stays byte for byte and no part of the new one is left beside it.
        const QVector<VoceEliminazione> molte(200, EliminazioniPredefinite().first());
        const auto esito = InUnFiglio(
            [] {
                const rlimit limite{8192, 8192};
                signal(SIGXFSZ, SIG_IGN);
                return setrlimit(RLIMIT_FSIZE, &limite) == 0;
            },
            [&] {
                ErroreFile e;
                const bool salvato = liste.Salva(molte, &e);
                return QStringLiteral("%1|%2").arg(salvato).arg(e.numero);
            });
        QVERIFY(esito);
        QCOMPARE(*esito, QStringLiteral("0|%1").arg(EFBIG));
        QCOMPARE(Leggi(liste.Percorso(Elenco::Eliminazioni)), prima);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("pulizia.dat")});
    }
};

QTEST_GUILESS_MAIN(TestRecord)
#include "test_record.moc"
