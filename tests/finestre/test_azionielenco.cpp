// The list editors' commands that load a language's list, import a list text
// file and export the rows, driven through their dialogs.

#include "aiuti/AmbienteProva.h"
#include "aiuti/Tabella.h"
#include "finestre/AzioniElenco.h"
#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/TestoElenco.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace Piattaforma;
using namespace Qt::StringLiterals;
using Righe = QVector<VoceSostituzione>;

Q_DECLARE_METATYPE(std::optional<Risposta>)

namespace {

QString Testo(const Righe &righe)
{
    QStringList s;
    for (const VoceSostituzione &v : righe)
        s << v.Trova + u'=' + v.Sostituisci;
    return s.join(u'|');
}

// An editor's rows, in a list folder that is never written.
struct Banco
{
    ArchivioListe liste;
    ModelloElenco modello;
    template <typename Voce>
    Banco(const QString &cartella, Elenco elenco, const QVector<Voce> &righe)
        : liste(cartella), modello(liste, elenco)
    {
        modello.Unisci(righe, ModelloElenco::Unione::Sostituisci);
    }
    explicit Banco(const QString &cartella, const Righe &righe = {})
        : Banco(cartella, Elenco::Sostituzioni, righe)
    {
    }
};

// The rows after a command: "<invariato>" when it reports them unchanged (and they are).
QString Dopo(bool cambiate, const Banco &banco, const Righe &prima)
{
    const QString righe = Testo(banco.modello.Sostituzioni());
    if (cambiate) return righe;
    return righe == Testo(prima) ? u"<invariato>"_s : u"cambiate: "_s + righe;
}

const Righe Esistenti = {{u"If"_s, u"Se"_s}, {u"Wend"_s, u"Fine Mentre"_s}};

} // namespace

class TestAzioniElenco : public QObject
{
    Q_OBJECT

    QTemporaryDir m_cartella;
    QString Percorso(const char *nome) const
    {
        return m_cartella.filePath(QString::fromUtf8(nome));
    }
    void Scrivi(const char *nome, const QByteArray &dati) const
    {
        QFile f(Percorso(nome));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(dati), dati.size());
    }

private Q_SLOTS:
    void init()
    {
        Copione::Attiva();
        Copione::Azzera();
    }
    void cleanup() { VERIFICA_COPIONE_ESAURITO(); }

    // Refused lines are listed in one message and the rest loaded, replacing
    // the rows or added where missing, as answered.
    void importa_data()
    {
        // risposta: to "replace the rows?"
        // messaggi: their beginnings
        Colonne<QByteArray, Righe, std::optional<Risposta>, QString, QStringList>(
            "file", "righe", "risposta", "attese", "messaggi");
        const std::optional<Risposta> nessuna, si = Risposta::Si, no = Risposta::No,
                                               annulla = Risposta::Annulla;
        const QByteArray file = "IF\tSE\nnon valida\nFor\tPer\n\xCF\x80\tpi greco\n";
        const QStringList rifiutate = {
            u"Le righe seguenti non sono state caricate:\nriga 2: \"non valida\""_s};
        QStringList conDomanda = rifiutate;
        conDomanda << u"L'elenco contiene già delle voci."_s;
        Riga("elenco vuoto: nessuna domanda", file, Righe(), nessuna, "IF=SE|For=Per", rifiutate);
        Riga("sostituisce", file, Esistenti, si, "IF=SE|For=Per", conDomanda);
        Riga("aggiunge le mancanti", file, Esistenti, no, "If=Se|Wend=Fine Mentre|For=Per",
             conDomanda);
        Riga("annulla", file, Esistenti, annulla, "<invariato>", conDomanda);
        Riga("tutte rifiutate", QByteArray("senza tab\n"), Esistenti, nessuna, "<invariato>",
             QStringList{rifiutate[0].section(u'\n', 0, 0)});
        Riga("file vuoto", QByteArray("\r\n\n"), Esistenti, nessuna, "<invariato>",
             QStringList{u"Il file non contiene voci."_s});
    }
    void importa()
    {
        const auto [file, righe, risposta, attese, messaggi] =
            DatiRiga<QByteArray, Righe, std::optional<Risposta>, QString, QStringList>(
                "file", "righe", "risposta", "attese", "messaggi");
        Scrivi("elenco.txt", file);
        Copione::RispondiFile(Percorso("elenco.txt"));
        for (const QString &m : messaggi)
            Copione::RispondiMessaggio(m.startsWith(u"L'elenco contiene"_s) ? *risposta
                                                                            : Risposta::OK);
        Banco banco(m_cartella.path(), righe);
        QCOMPARE(Dopo(AzioniElenco::Importa(nullptr, banco.modello), banco, righe), attese);
        const QStringList mostrati = Copione::TestiMessaggi(Copione::Messaggi());
        QCOMPARE(mostrati.size(), messaggi.size());
        for (qsizetype i = 0; i < messaggi.size(); ++i)
            QVERIFY2(mostrati[i].startsWith(messaggi[i]), qPrintable(mostrati[i]));
        // The question's buttons say what they do; Enter adds, losing nothing.
        for (const Copione::Messaggio &m : Copione::Messaggi())
            if (m.testo.startsWith(u"L'elenco contiene"_s))
                QCOMPARE(m.pulsanti, Pulsanti::SostituisciAggiungi);
        QCOMPARE(Copione::Dialoghi().first().modo, DialogoFile::Modo::Apri);
    }

    void importaEliminazioni()
    {
        Scrivi("pulizia.txt", "vbCrLf\tsi\nDebug.Print\tNo\nx\tforse\n");
        Copione::RispondiFile(Percorso("pulizia.txt"));
        Copione::RispondiMessaggio(Risposta::OK);
        Banco banco(m_cartella.path(), Elenco::Eliminazioni, QVector<VoceEliminazione>());
        QVERIFY(AzioniElenco::Importa(nullptr, banco.modello));
        QCOMPARE(
            banco.modello.Eliminazioni(),
            (QVector<VoceEliminazione>{{u"vbCrLf"_s, TestoSi, 1}, {u"Debug.Print"_s, TestoNo, 0}}));
        QVERIFY(Copione::Messaggi().first().testo.contains(u"riga 3"_s));
    }

    // What is exported reads back identically; a row that could not is left
    // out and listed; an existing file is replaced only when confirmed.
    void esportaEReimporta()
    {
        const Righe righe = {
            {u"End If"_s, u"Fine Se"_s}, {u"a\tb"_s, u"x"_s}, {u"Già"_s, u"  spazi  "_s}};
        const QString percorso = Percorso("esportato.txt");
        Scrivi("esportato.txt", "vecchio");
        Copione::RispondiFile(percorso);
        Copione::RispondiMessaggio(Risposta::No); // keep it: the dialog comes back
        Copione::RispondiFile(std::nullopt);
        QVERIFY(!AzioniElenco::Esporta(nullptr, righe));
        QCOMPARE(AmbienteProva::LeggiFile(percorso), QByteArray("vecchio"));
        QCOMPARE(Copione::Messaggi().first().titolo, u"Esporta"_s);
        QCOMPARE(Copione::Dialoghi().size(), 2);

        Copione::RispondiFile(percorso);
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::RispondiMessaggio(Risposta::OK);
        QVERIFY(AzioniElenco::Esporta(nullptr, righe));
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 2);
        QVERIFY2(messaggi[1].testo.startsWith(
                     u"Le righe seguenti non sono state scritte nel file:\nvoce 2:"_s),
                 qPrintable(messaggi[1].testo));
        QCOMPARE(Copione::Dialoghi().size(), 1);

        // A name typed without an extension gets ".txt"; the dialog proposes
        // the list's name in the folder used last.
        Copione::RispondiFile(Percorso("elenco-c"));
        Copione::RispondiMessaggio(Risposta::OK);
        QVERIFY(AzioniElenco::Esporta(nullptr, righe));
        QCOMPARE(Copione::Dialoghi().first().percorsoProposto,
                 QDir(m_cartella.path()).filePath(u"sostituzioni.txt"_s));
        QVERIFY(QFileInfo::exists(Percorso("elenco-c.txt")));
        QVERIFY(!QFileInfo::exists(Percorso("elenco-c")));
        Copione::Messaggi();

        Copione::RispondiFile(percorso);
        Banco riletto(m_cartella.path());
        QVERIFY(AzioniElenco::Importa(nullptr, riletto.modello));
        QCOMPARE(Testo(riletto.modello.Sostituzioni()), Testo(Righe{righe[0], righe[2]}));
        QCOMPARE(AmbienteProva::LeggiFile(percorso),
                 QByteArray("End If\tFine Se\nGi\xC3\xA0\t  spazi  \n"));
    }

    void erroriConErrno_data()
    {
        Colonne<bool, QString>("esporta", "inizio");
        Riga("importa", false, "Impossibile importare l'elenco da \"");
        Riga("esporta", true, "Impossibile esportare l'elenco in \"");
    }
    void erroriConErrno()
    {
        const auto [esporta, inizio] = DatiRiga<bool, QString>("esporta", "inizio");
        const QString percorso = Percorso("assente/elenco.txt");
        Copione::RispondiFile(percorso);
        Copione::RispondiMessaggio(Risposta::OK);
        Banco banco(m_cartella.path(), Esistenti);
        if (esporta)
            QVERIFY(!AzioniElenco::Esporta(nullptr, Esistenti));
        else
            QVERIFY(!AzioniElenco::Importa(nullptr, banco.modello));
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QCOMPARE(messaggi[0].testo, inizio + QDir::toNativeSeparators(percorso) +
                                        u"\".\r\nErrore: File o cartella inesistente  (2)"_s);
        QCOMPARE(messaggi[0].icona, Icona::Critico);
    }

    void caricaLinguaggio_data()
    {
        // scelta: combo row; -1: Annulla
        Colonne<Righe, int, std::optional<Risposta>, QString>("righe", "scelta", "risposta",
                                                              "attese");
        const std::optional<Risposta> nessuna, si = Risposta::Si, no = Risposta::No,
                                               annulla = Risposta::Annulla;
        const Righe c = ListaDelLinguaggio(Linguaggio::C);
        const Righe cpp = ListaDelLinguaggio(Linguaggio::Cpp);
        const Righe batch = ListaDelLinguaggio(Linguaggio::Batch);
        const Righe ifSe = {{u"IF"_s, u"Se!"_s}};
        Righe ifSeEBatch = ifSe; // the batch entries whose word is not "if", added
        for (const VoceSostituzione &v : batch)
            if (v.Trova.compare(u"if"_s, Qt::CaseInsensitive) != 0) ifSeEBatch.append(v);
        Riga("vuoto, C", Righe(), 1, nessuna, Testo(c));
        Riga("vuoto, C++", Righe(), 2, nessuna, Testo(cpp));
        Riga("sostituisce", ifSe, 3, si, Testo(batch));
        Riga("aggiunge", ifSe, 3, no, Testo(ifSeEBatch));
        Riga("annulla la domanda", ifSe, 0, annulla, "<invariato>");
        Riga("annulla la scelta", ifSe, -1, nessuna, "<invariato>");
    }
    void caricaLinguaggio()
    {
        const auto [righe, scelta, risposta, attese] =
            DatiRiga<Righe, int, std::optional<Risposta>, QString>("righe", "scelta", "risposta",
                                                                   "attese");
        Copione::QuandoModale([&](QDialog *d) {
            auto *f = qobject_cast<FinestraLinguaggio *>(d);
            QVERIFY(f);
            QCOMPARE(f->SceltaLinguaggio->currentText(), u"C"_s); // the proposed one
            QCOMPARE(f->SceltaLinguaggio->count(), 4);
            if (scelta < 0) return f->BottoneAnnulla->click();
            f->SceltaLinguaggio->setCurrentIndex(scelta);
            f->BottoneOk->click();
        });
        if (risposta) Copione::RispondiMessaggio(*risposta);
        Banco banco(m_cartella.path(), righe);
        const bool cambiate = AzioniElenco::CaricaLinguaggio(nullptr, banco.modello, Linguaggio::C);
        QCOMPARE(Copione::Messaggi().size(), risposta ? 1 : 0);
        QCOMPARE(Dopo(cambiate, banco, righe), attese);
    }

    // Only a regular list text of bounded size is imported: a pipe would block
    // and /dev/zero fill the memory. Refused at once, naming why; the alarm
    // turns a hang into a failure. Devices are checked on the document reader.
    void importaRifiutato_data()
    {
        Colonne<QString, QString>("tipo", "motivo");
        Riga("pipe con nome", "pipe", "È una pipe con nome");
        Riga("sparso oltre il limite", "sparso", "(il limite è 16 MB)");
    }
    void importaRifiutato()
    {
        const auto [tipo, motivo] = DatiRiga<QString, QString>("tipo", "motivo");
        const QString percorso = Percorso("rifiutato.txt");
        if (tipo == u"pipe"_s) {
            QFile::remove(percorso);
            QCOMPARE(mkfifo(QFile::encodeName(percorso).constData(), 0600), 0);
        } else {
            QFile sparso(percorso); // holes only: nothing written to disk
            QVERIFY(sparso.open(QIODevice::WriteOnly));
            QVERIFY(sparso.resize(qint64(64) << 20));
        }
        Copione::RispondiFile(percorso);
        Copione::RispondiMessaggio(Risposta::OK);
        alarm(10);
        Banco banco(m_cartella.path(), Esistenti);
        QVERIFY(!AzioniElenco::Importa(nullptr, banco.modello));
        alarm(0);
        QFile::remove(percorso);
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QVERIFY2(messaggi[0].testo.startsWith(u"Impossibile importare l'elenco da \""_s +
                                              QDir::toNativeSeparators(percorso)),
                 qPrintable(messaggi[0].testo));
        QVERIFY2(messaggi[0].testo.contains(motivo), qPrintable(messaggi[0].testo));
        QCOMPARE(messaggi[0].icona, Icona::Critico);
    }
};

QTEST_MAIN(TestAzioniElenco)
#include "test_azionielenco.moc"
