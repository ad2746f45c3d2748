// The list files: record bytes, reading damaged files, counting, saving.

#include "aiuti/ModelliRiferimento.h"
#include "aiuti/Tabella.h"
#include "nucleo/elenchi/ArchivioListe.h"
#include "nucleo/elenchi/CartellaListe.h"
#include "nucleo/testo/CodificaAnsi.h"

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

using namespace Qt::StringLiterals;

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
        QFile uscita;
        const bool fatto = prepara() && uscita.open(tubo[1], QIODevice::WriteOnly) &&
                           uscita.write(prova().toUtf8()) >= 0 && uscita.flush();
        _exit(fatto ? 0 : 77);
    }
    close(tubo[1]);
    QFile entrata;
    entrata.open(tubo[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QByteArray risultato = entrata.readAll();
    entrata.close();
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

void Scrivi(const QString &percorso, const QByteArray &dati)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(dati), dati.size());
}

QByteArray Leggi(const QString &percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

private Q_SLOTS:
    // Lengths, Windows-1252 text, the flag and the zero filler, byte for byte.
    void esempiByteEsatti()
    {
        QCOMPARE(Record::Codifica(VoceSostituzione{u"If"_s, u"Se"_s}),
                 QByteArray::fromHex("0200496602005365").leftJustified(128, '\0'));
        QCOMPARE(Record::Codifica(VoceEliminazione{u"#"_s, u"No"_s, 7}),
                 QByteArray::fromHex("01002302004E6F0000").leftJustified(128, '\0'));
        QCOMPARE(Record::Codifica(VoceEliminazione{u"Unload"_s, TestoSi, 0}),
                 QByteArray::fromHex("0600556E6C6F6164020053EC0100").leftJustified(128, '\0'));
        QCOMPARE(Record::Codifica(VoceSostituzione{u"While"_s, u"Mentre"_s}),
                 Modello::RecordLetterale({"While", "Mentre"}, {}));
        QCOMPARE(Record::Codifica(VoceEliminazione{u".Show"_s, TestoNo, 0}),
                 Modello::RecordLetterale({".Show", "No"}, {0}));
    }

    void flagDalTestoSoltanto_data()
    {
        Colonne<QString, int>("testo", "flag");
        Riga("Sì", u"Sì"_s, 1);
        Riga("sì minuscolo", u"sì"_s, 0);
        Riga("SÌ", u"SÌ"_s, 0);
        Riga("No", u"No"_s, 0);
        Riga("Si senza accento", u"Si"_s, 0);
    }
    void flagDalTestoSoltanto()
    {
        const auto [testo, flag] = DatiRiga<QString, int>("testo", "flag");
        QCOMPARE(Record::Codifica(VoceEliminazione{u"x"_s, testo, 1}),
                 Modello::RecordLetterale({"x", CodificaAnsi::Codifica(testo)}, {flag}));
    }

    void righeMostrate_data()
    {
        // A record's two texts and how an editor shows it: "primo|secondo"
        // (with "|flag" for the elimination list), or nothing when hidden.
        Colonne<bool, QString, QString, QString>("sostituzioni", "primo", "secondo", "atteso");
        Riga("spazi tolti", true, u"  If "_s, u" Se  "_s, u"If|Se"_s);
        Riga("senza sostituto: nascosta", true, u"Then"_s, u""_s, u""_s);
        Riga("senza parola: mostrata", true, u""_s, u"vuota"_s, u"|vuota"_s);
        Riga("tabulazione rimasta", true, u"\tFor"_s, u"Per"_s, u"\tFor|Per"_s);
        Riga("solo spazi", true, u"   "_s, u" x"_s, u"|x"_s);
        Riga("eliminazione Sì", false, u" Unload "_s, u"Sì"_s, u"Unload|Sì|1"_s);
        Riga("Sì tra spazi", false, u"x"_s, u" Sì "_s, u"x|Sì|1"_s);
        Riga("eliminazione No", false, u"#"_s, u"No"_s, u"#|No|0"_s);
        Riga("sì minuscolo", false, u"x"_s, u"sì"_s, u"x|sì|0"_s);
        Riga("senza parola: nascosta", false, u""_s, u"Sì"_s, u""_s);
        Riga("parola di soli spazi", false, u"   "_s, u"No"_s, u"|No|0"_s);
    }
    void righeMostrate()
    {
        const auto [sostituzioni, primo, secondo, atteso] =
            DatiRiga<bool, QString, QString, QString>("sostituzioni", "primo", "secondo", "atteso");
        QStringList righe;
        if (sostituzioni) {
            for (const VoceSostituzione &v :
                 RigheElenco::DaMostrare(QVector<VoceSostituzione>{{primo, secondo}}))
                righe.append(v.Trova + u'|' + v.Sostituisci);
        } else {
            for (const VoceEliminazione &v :
                 RigheElenco::DaMostrare(QVector<VoceEliminazione>{{primo, secondo, 0}}))
                righe.append(u"%1|%2|%3"_s.arg(v.Elimina, v.ParolaIntera).arg(v.FlagIntera));
        }
        QCOMPARE(righe.join(QString()), atteso);
    }

    // Random rows against the byte-by-byte model, and back again.
    void andataERitornoContoModello()
    {
        QRandomGenerator gen(2026);
        const QString alfabeto = u"aZ09 ,.;#èéìòù€ŒœÿÀ\u00a0\t"_s;
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
            QCOMPARE(Record::DecodificaEliminazione(Record::Codifica(e)),
                     (VoceEliminazione{e.Elimina, e.ParolaIntera, e.ParolaIntera == TestoSi}));
            // The count's empty-word test on raw (also short or damaged) records.
            QByteArray grezzo(int(gen.bounded(131)), '\0');
            for (char &c : grezzo)
                c = char(gen.bounded(4) ? gen.bounded(3) : gen.bounded(256));
            QCOMPARE(Record::SenzaParola(grezzo),
                     SenzaParola(Record::DecodificaSostituzione(grezzo)));
        }
    }

    void capacita()
    {
        const auto entra = [](const auto &voce) {
            return Record::MotivoNonContenibile(voce).isEmpty();
        };
        const QString a(62, u'a');
        QVERIFY(entra(VoceSostituzione{a, a}));
        QVERIFY(!entra(VoceSostituzione{a, a + u'b'}));
        QVERIFY(entra(VoceEliminazione{QString(120, u'x'), TestoSi, 1}));
        QVERIFY(!entra(VoceEliminazione{QString(121, u'x'), TestoNo, 0}));
        QVERIFY(!entra(VoceSostituzione{u"Ω"_s, QString()}));
        // An over-long row is cut rather than written past its record.
        QCOMPARE(Record::Codifica(VoceSostituzione{QString(300, u'a'), a}).size(), 128);
    }

    // Length fields that run past the record are read as far as the record goes.
    void recordDanneggiati()
    {
        QCOMPARE(Record::DecodificaSostituzione(QByteArray::fromHex("FFFF") + QByteArray(126, 'x')),
                 (VoceSostituzione{QString(126, u'x'), QString()}));
        QCOMPARE(Record::DecodificaSostituzione(QByteArray::fromHex("010061F000") +
                                                QByteArray(123, 'y')),
                 (VoceSostituzione{u"a"_s, QString(123, u'y')}));
        QCOMPARE(Record::DecodificaEliminazione(QByteArray::fromHex("7C00") + QByteArray(126, 'z')),
                 (VoceEliminazione{QString(124, u'z'), QString(), 0}));
    }

    void apreCreaEConta()
    {
        QTemporaryDir dir;
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Sostituzioni));
        QVERIFY(QFile::exists(dir.filePath(u"sostituzioni.dat"_s)));
        QCOMPARE(liste.Lunghezza(Elenco::Sostituzioni), 0);
        QCOMPARE(liste.ContaSostituzioni(), 0);

        // Entries are the records with a word, in file order: the empty one in
        // the middle does not hide the last.
        QVERIFY(liste.Salva(QVector<VoceSostituzione>{{u"If"_s, u"Se"_s},
                                                      {QString(), u"vuota"_s},
                                                      {u"Then"_s, QString()},
                                                      {u"Not"_s, u"Non è"_s}}));
        QCOMPARE(liste.Lunghezza(Elenco::Sostituzioni), 4 * 128);
        QCOMPARE(liste.ContaSostituzioni(), 3);
        // "letta:Trova|Sostituisci"; a missing entry also empties the buffer.
        const auto voce = [&](int k) {
            VoceSostituzione v{u"prima"_s, u"prima"_s};
            const bool letta = liste.LeggiVoce(k, v);
            return u"%1:%2|%3"_s.arg(letta).arg(v.Trova, v.Sostituisci);
        };
        QCOMPARE((QStringList{voce(0), voce(2), voce(3), voce(4)}),
                 (QStringList{"0:|", "1:Then|", "1:Not|Non è", "0:|"}));

        QVERIFY(liste.Salva(QVector<VoceSostituzione>{}));
        QCOMPARE(liste.Lunghezza(Elenco::Sostituzioni), 0);
        QCOMPARE(Leggi(dir.filePath(u"sostituzioni.dat"_s)), QByteArray());
    }

    // The entries a run walks, counted from files a user or a fault can leave.
    void conteggioVoci_data()
    {
        Colonne<QByteArray, int>("dati", "voci");
        Riga("solo parole vuote",
             QByteArray(Record::Codifica(VoceSostituzione{QString(), u"x"_s}) +
                        Record::Codifica(VoceSostituzione{})),
             0);
        // The part-record at the end holds a word.
        Riga("lunghezza oltre il record e coda spezzata",
             QByteArray(QByteArray::fromHex("FFFF") + QByteArray(200, 'A') +
                        QByteArray::fromHex("0300")),
             2);
    }
    void conteggioVoci()
    {
        const auto [dati, voci] = DatiRiga<QByteArray, int>("dati", "voci");
        QTemporaryDir dir;
        Scrivi(dir.filePath(u"sostituzioni.dat"_s), dati);
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Sostituzioni));
        QCOMPARE(liste.ContaSostituzioni(), voci);
        QCOMPARE(liste.NumeroVoci(), voci);
    }

    // A part-record at the end is a whole record padded with zeros: read,
    // counted, walked, and saved back with its bytes.
    void fileConCodaSpezzata()
    {
        QTemporaryDir dir;
        const QByteArray file = Sost("a", "b") + Sost("c", "d") + QByteArray::fromHex("0500414243");
        Scrivi(dir.filePath(u"sostituzioni.dat"_s), file);
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Sostituzioni));
        const QVector<VoceSostituzione> voci = liste.LeggiSostituzioni();
        QCOMPARE(voci.size(), 3);
        QCOMPARE(voci[2].Trova, u"ABC"_s + QString(2, QChar(0)));
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
        // permessi: -1: a folder stands in its place
        Colonne<int, StatoElenco, int, QString>("permessi", "stato", "righe", "erroreSalvataggio");
        const QString negato = u"Errore: Permesso negato  (13)"_s;
        Riga("sola lettura", 0444, StatoElenco::SolaLettura, 2, negato);
        Riga("illeggibile", 0000, StatoElenco::Illeggibile, 0, negato);
        Riga("sola scrittura", 0200, StatoElenco::Illeggibile, 0, negato);
        Riga("una cartella", -1, StatoElenco::Illeggibile, 0, u"Errore: È una cartella  (21)"_s);
    }
    void fileNonScrivibileOIlleggibile()
    {
        const auto [permessi, stato, righe, erroreSalvataggio] =
            DatiRiga<int, StatoElenco, int, QString>("permessi", "stato", "righe",
                                                     "erroreSalvataggio");
        QTemporaryDir dir;
        const QString percorso = dir.filePath(u"sostituzioni.dat"_s);
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
            return u"%1|%2|%3|%4|%5|%6"_s.arg(aperto)
                .arg(int(liste.Stato(Elenco::Sostituzioni)))
                .arg(lette)
                .arg(lettura.numero != 0)
                .arg(salvato)
                .arg(salvataggio.Messaggio());
        });
        Permessi(percorso, 0644);
        if (!esito) QSKIP("the tests run as root and cannot give up its rights");
        const bool leggibile = stato != StatoElenco::Illeggibile;
        QCOMPARE(*esito, u"%1|%2|%3|%4|0|%5"_s.arg(leggibile)
                             .arg(int(stato))
                             .arg(righe)
                             .arg(!leggibile)
                             .arg(erroreSalvataggio));
        if (permessi >= 0)
            QCOMPARE(Leggi(percorso), dati);
        else
            QVERIFY(QFileInfo(percorso).isDir());
    }

    // Something other than a regular file of bounded size in a list's place
    // is refused at once, naming why, and never replaced.
    void fileCheNonEUnElenco_data()
    {
        Colonne<QString, QString>("come", "motivo");
        Riga("una cartella al suo posto", "cartella", "È una cartella");
        Riga("pipe con nome", "pipe", "È una pipe con nome");
        Riga("collegamento a /dev/zero", "dispositivo", "È un dispositivo");
        Riga("sparso oltre il limite", "sparso", "troppo grande");
    }
    void fileCheNonEUnElenco()
    {
        const auto [come, motivo] = DatiRiga<QString, QString>("come", "motivo");
        QTemporaryDir dir;
        const QString percorso = dir.filePath(u"pulizia.dat"_s);
        const QByteArray fp = QFile::encodeName(percorso);
        if (come == u"cartella"_s) {
            QVERIFY(QDir().mkdir(percorso));
        } else if (come == u"pipe"_s) {
            QCOMPARE(mkfifo(fp.constData(), 0600), 0);
        } else if (come == u"dispositivo"_s) {
            QVERIFY(QFile::link(u"/dev/zero"_s, percorso));
        } else {
            QFile sparso(percorso); // holes only: nothing written to disk
            QVERIFY(sparso.open(QIODevice::WriteOnly));
            QVERIFY(sparso.resize(DimensioneMassimaElenco + 128));
        }
        struct stat prima;
        QCOMPARE(lstat(fp.constData(), &prima), 0);
        ArchivioListe liste(dir.path());
        alarm(10); // a refusal that blocks is ended by the alarm
        QVERIFY(!liste.Apri(Elenco::Eliminazioni));
        alarm(0);
        QCOMPARE(liste.Stato(Elenco::Eliminazioni), StatoElenco::Illeggibile);
        QVERIFY2(liste.Errore(Elenco::Eliminazioni).Messaggio().contains(motivo),
                 qPrintable(liste.Errore(Elenco::Eliminazioni).Messaggio()));
        QVERIFY(liste.LeggiEliminazioni().isEmpty());
        QVERIFY(!liste.Salva(EliminazioniPredefinite()));
        struct stat dopo;
        QCOMPARE(lstat(fp.constData(), &dopo), 0);
        QCOMPARE(dopo.st_ino, prima.st_ino);
        QCOMPARE(dopo.st_size, prima.st_size);
    }

    // A read error is no empty list: it is reported, and no save may write
    // over the file it could not read.
    void erroreDiLettura()
    {
        QTemporaryDir dir;
        // Reading a process's memory at offset 0 always fails (EIO).
        const QString percorso = dir.filePath(u"pulizia.dat"_s);
        QVERIFY(QFile::link(u"/proc/self/mem"_s, percorso));
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Eliminazioni));
        ErroreFile errore;
        QVERIFY(liste.LeggiEliminazioni(&errore).isEmpty());
        QCOMPARE(errore.Messaggio(), u"Errore: Errore di input/output  (5)"_s);
        QCOMPARE(liste.Stato(Elenco::Eliminazioni), StatoElenco::Illeggibile);
        QVERIFY(!liste.Salva(EliminazioniPredefinite(), &errore));
        QCOMPARE(errore.numero, EIO);
        QCOMPARE(QFileInfo(percorso).symLinkTarget(), u"/proc/self/mem"_s);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 1);
    }

    // Once the new file is in place the save has succeeded, even when the file
    // cannot be opened again; that failure is reported on its own.
    void riaperturaFallitaDopoIlSalvataggio()
    {
        QTemporaryDir dir;
        const QString percorso = dir.filePath(u"sostituzioni.dat"_s);
        const auto esito = ComeUtenteNormale(dir.path(), [&] {
            Scrivi(percorso, Sost("If", "Se"));
            ArchivioListe liste(dir.path());
            liste.Apri(Elenco::Sostituzioni);
            // Write-only: the new file takes these permissions and cannot be read.
            Permessi(percorso, 0200);
            ErroreFile errore;
            const bool salvato = liste.Salva(SostituzioniPredefinite(), &errore);
            return u"%1|%2|%3"_s.arg(salvato)
                .arg(int(liste.Stato(Elenco::Sostituzioni)))
                .arg(liste.Errore(Elenco::Sostituzioni).numero);
        });
        Permessi(percorso, 0644);
        if (!esito) QSKIP("the tests run as root and cannot give up its rights");
        QCOMPARE(*esito, u"1|%1|%2"_s.arg(int(StatoElenco::Illeggibile)).arg(EACCES));
        QByteArray atteso;
        for (const VoceSostituzione &v : SostituzioniPredefinite())
            atteso += Record::Codifica(v);
        QCOMPARE(Leggi(percorso), atteso);
    }

    // Rows a record cannot hold are refused, never cut.
    void righeCheUnRecordNonContiene_data()
    {
        Colonne<QByteArray, int>("file", "riga");
        Riga("parola di 124 byte da un file danneggiato",
             Record::Codifica(EliminazioniPredefinite().first()) + QByteArray::fromHex("7C00") +
                 QByteArray(124, 'z'),
             2);
        Riga("tutte contenibili", Record::Codifica(EliminazioniPredefinite().last()), 0);
    }
    void righeCheUnRecordNonContiene()
    {
        const auto [file, riga] = DatiRiga<QByteArray, int>("file", "riga");
        QTemporaryDir dir;
        const QString percorso = dir.filePath(u"pulizia.dat"_s);
        Scrivi(percorso, file);
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Eliminazioni));
        const QVector<VoceEliminazione> voci = liste.LeggiEliminazioni();
        QCOMPARE(Record::PrimaRigaNonContenibile(voci), riga);
        ErroreFile errore;
        QCOMPARE(liste.Salva(voci, &errore), riga == 0);
        QCOMPARE(Leggi(percorso), file);
        if (riga) QVERIFY(errore.descrizione.contains(u"La riga %1 "_s.arg(riga)));
    }

    // Whether the file holds exactly the rows that a save would write.
    void fileContieneLeRighe_data()
    {
        Colonne<QVector<VoceSostituzione>, bool>("righe", "contiene");
        const QVector<VoceSostituzione> file = {{u"If"_s, u"Se"_s}, {u"a"_s, QString(122, u'b')}};
        Riga("le stesse", file, true);
        QVector<VoceSostituzione> r = file;
        r[1].Sostituisci[5] = u'c';
        Riga("una lettera diversa", r, false);
        Riga("una riga in meno", file.mid(0, 1), false);
        Riga("una riga in più", file + file.mid(0, 1), false);
        r = file;
        r[1].Sostituisci.append(u'b'); // would be cut to what the file holds
        Riga("una riga troppo lunga", r, false);
        Riga("nessuna", QVector<VoceSostituzione>{}, false);
    }
    void fileContieneLeRighe()
    {
        const auto [righe, contiene] =
            DatiRiga<QVector<VoceSostituzione>, bool>("righe", "contiene");
        QTemporaryDir dir;
        Scrivi(dir.filePath(u"sostituzioni.dat"_s),
               Sost("If", "Se") + Record::Codifica(VoceSostituzione{u"a"_s, QString(122, u'b')}));
        ArchivioListe liste(dir.path());
        QVERIFY(liste.Apri(Elenco::Sostituzioni));
        QCOMPARE(liste.Contiene(righe), contiene);
    }

    // Where the lists live: a read-only program folder sends them to the data
    // folder, taking the lists the program folder holds when it has none yet.
    void sceltaDellaCartellaListe_data()
    {
        // datiDopo: name=content of the data folder's files
        Colonne<bool, bool, QStringList, QStringList, QString, QStringList>(
            "programmaScrivibile", "installato", "nelProgramma", "neiDati", "scelta", "datiDopo");
        const QString s = u"sostituzioni.dat"_s, p = u"pulizia.dat"_s;
        Riga("programma scrivibile", true, false, QStringList{s, p}, QStringList{}, "programma",
             QStringList{});
        Riga("programma installato, scrivibile", true, true, QStringList{}, QStringList{}, "dati",
             QStringList{});
        Riga("copia entrambi", false, false, QStringList{s, p}, QStringList{}, "dati",
             QStringList{p + "=programma", s + "=programma"});
        Riga("copia quello che c'è", false, false, QStringList{p}, QStringList{}, "dati",
             QStringList{p + "=programma"});
        Riga("i dati hanno già un elenco", false, false, QStringList{s, p}, QStringList{s}, "dati",
             QStringList{s + "=dati"});
        Riga("nessun elenco", false, false, QStringList{}, QStringList{}, "dati", QStringList{});
    }
    void sceltaDellaCartellaListe()
    {
        const auto [programmaScrivibile, installato, nelProgramma, neiDati, scelta, datiDopo] =
            DatiRiga<bool, bool, QStringList, QStringList, QString, QStringList>(
                "programmaScrivibile", "installato", "nelProgramma", "neiDati", "scelta",
                "datiDopo");
        QTemporaryDir dir;
        const QString programma = dir.filePath(u"programma"_s);
        const QString dati = dir.filePath(u"casa/dati/quadrivo"_s);
        const auto esito = ComeUtenteNormale(dir.path(), [&] {
            QDir().mkpath(programma);
            if (installato) {
                QDir().mkpath(dir.filePath(u"share/quadrivo"_s));
                Scrivi(dir.filePath(u"share/quadrivo/crediti.html"_s), "<html/>");
            }
            for (const QString &nome : nelProgramma)
                Scrivi(programma + u'/' + nome, "programma");
            if (!neiDati.isEmpty()) QDir().mkpath(dati);
            for (const QString &nome : neiDati)
                Scrivi(dati + u'/' + nome, "dati");
            if (!programmaScrivibile) Permessi(programma, 0555);
            const QString scelta = ScegliCartellaListe(programma, dati);
            return scelta == programma ? u"programma"_s : scelta == dati ? u"dati"_s : scelta;
        });
        Permessi(programma, 0755);
        if (!esito) QSKIP("the tests run as root and cannot give up its rights");
        QCOMPARE(*esito, scelta);
        QStringList trovati;
        for (const QString &nome : QDir(dati).entryList(QDir::Files | QDir::Hidden))
            trovati.append(nome + u'=' + QString::fromLatin1(Leggi(dati + '/' + nome)));
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
        ArchivioListe rotto(dir.filePath(u"sostituzioni.dat/sotto"_s));
        ErroreFile errore;
        QVERIFY(!rotto.Salva(EliminazioniPredefinite(), &errore));
        QVERIFY(errore.numero != 0);
        QVERIFY(errore.Messaggio().startsWith(u"Errore: "_s));

        // The file turned into a folder: the save fails and leaves it there.
        QTemporaryDir altro;
        ArchivioListe l2(altro.path());
        QVERIFY(l2.Apri(Elenco::Eliminazioni));
        QVERIFY(l2.Salva(EliminazioniPredefinite()));
        QFile::remove(altro.path() + u"/pulizia.dat"_s);
        QVERIFY(QDir().mkdir(altro.path() + u"/pulizia.dat"_s));
        QVERIFY(!l2.Salva(QVector<VoceEliminazione>{}, &errore));
        QCOMPARE(
            QDir(altro.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{u"pulizia.dat"_s});
        QVERIFY(QFileInfo(altro.path() + u"/pulizia.dat"_s).isDir());

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
                return u"%1|%2"_s.arg(salvato).arg(e.numero);
            });
        QVERIFY(esito);
        QCOMPARE(*esito, u"0|%1"_s.arg(EFBIG));
        QCOMPARE(Leggi(liste.Percorso(Elenco::Eliminazioni)), prima);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"pulizia.dat"_s});
    }
};

QTEST_GUILESS_MAIN(TestRecord)
#include "test_record.moc"
