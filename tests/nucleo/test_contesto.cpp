// The document's state through the File commands: what each step leaves,
// which save a command makes, and when the file on disk is not the one read.

#include "nucleo/Contesto.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;
using Salvataggio = Contesto::Salvataggio;

namespace {

bool ScriviFile(const QString &percorso, const QByteArray &byte)
{
    QFile file(percorso);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(byte) == byte.size();
}

} // namespace

class TestContesto : public QObject
{
    Q_OBJECT

    QTemporaryDir m_cartella;
    QString P(const QString &nome) const { return m_cartella.filePath(nome); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_cartella.isValid()); }

    // The language the text is read as: the one chosen, else the file name's;
    // a new or opened text, or a save under a name that tells one, drops the choice.
    void linguaggioDelTesto_data()
    {
        QTest::addColumn<QString>("nome");   // the text's file, before the choice
        QTest::addColumn<int>("scelto");     // -1: none chosen
        QTest::addColumn<QString>("passo");  // then: "", "nuovo", "aperto NOME", "salvato NOME"
        QTest::addColumn<int>("linguaggio"); // what the runs read it as
        QTest::addColumn<bool>("intestazione");
        const int nessuno = int(Linguaggio::Nessuno), basic = int(Linguaggio::Basic),
                  c = int(Linguaggio::C), cpp = int(Linguaggio::Cpp),
                  batch = int(Linguaggio::Batch);
        QTest::newRow("dal nome") << u"a.frm"_s << -1 << QString() << basic << true;
        QTest::newRow("testo nuovo: nessuno") << QString() << -1 << QString() << nessuno << false;
        QTest::newRow("scelto per un testo incollato") << QString() << c << QString() << c << false;
        QTest::newRow("scelto sopra il nome") << u"a.frm"_s << cpp << QString() << cpp << false;
        QTest::newRow("scelto come il nome") << u"a.frm"_s << basic << QString() << basic << true;
        QTest::newRow("scelto Testo sopra il nome")
            << u"a.c"_s << nessuno << QString() << nessuno << false;
        QTest::newRow("nuovo: la scelta cade")
            << u"a.c"_s << batch << u"nuovo"_s << nessuno << false;
        QTest::newRow("aperto: la scelta cade")
            << QString() << batch << u"aperto b.bas"_s << basic << false;
        QTest::newRow("salvato con un nome senza linguaggio: resta")
            << QString() << batch << u"salvato b.txt"_s << batch << false;
        QTest::newRow("salvato con un nome di un linguaggio: il nome")
            << QString() << batch << u"salvato b.cpp"_s << cpp << false;
        QTest::newRow("salvato sul suo file: resta")
            << u"a.c"_s << cpp << u"salvato a.c"_s << cpp << false;
    }
    void linguaggioDelTesto()
    {
        QFETCH(QString, nome);
        QFETCH(int, scelto);
        QFETCH(QString, passo);
        Contesto c(m_cartella.path());
        if (!nome.isEmpty()) c.DocumentoAperto(P(nome), {}, false, {});
        if (scelto >= 0) c.LinguaggioScelto = Linguaggio(scelto);
        const QString file = passo.section(u' ', 1);
        if (passo == u"nuovo")
            c.DocumentoNuovo();
        else if (passo.startsWith(u"aperto"))
            c.DocumentoAperto(P(file), {}, false, {});
        else if (passo.startsWith(u"salvato"))
            c.DocumentoSalvato(P(file));
        QTEST(int(c.TipoDocumento().linguaggio), "linguaggio");
        QTEST(c.TipoDocumento().intestazioneBasic, "intestazione");
        QCOMPARE(c.Regole().tipo, c.TipoDocumento());
        c.OpzioniCodice.ElencoPerLinguaggio = true;
        QCOMPARE(c.LinguaggioElenco(), c.TipoDocumento().linguaggio);
    }

    // Each step from a text read from an RTF file, modified, searched in.
    void passi_data()
    {
        QTest::addColumn<QString>("passo");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<bool>("modificato");
        QTest::addColumn<bool>("rtf");
        QTest::addColumn<bool>("formatoDelFile"); // the UTF-8 format read is kept
        QTest::addColumn<bool>("identitaDelDisco");
        QTest::addColumn<bool>("segniCorsa"); // the last run's marks are still there
        QTest::newRow("nuovo: vuoto, senza nome")
            << u"nuovo"_s << QString() << false << false << false << false << false;
        // A "No" to the save question drops the edits: the opened file is not
        // modified, and a later save or exit must not write it again.
        QTest::newRow("aperto: il testo e' quello del file")
            << u"aperto"_s << u"b.txt"_s << false << false << false << true << false;
        QTest::newRow("salvato: il file e' quello scritto")
            << u"salvato"_s << u"c.txt"_s << false << false << true << true << true;
        QTest::newRow("salvato altrove: il nome resta")
            << u"altrove"_s << u"a.rtf"_s << false << true << true << false << true;
        QTest::newRow("testo cambiato: i segni della corsa cadono")
            << u"cambiato"_s << u"a.rtf"_s << true << true << true << false << false;
    }

    void passi()
    {
        QFETCH(QString, passo);
        QFETCH(QString, nome);
        QFETCH(bool, modificato);
        QFETCH(bool, rtf);
        QFETCH(bool, formatoDelFile);
        QFETCH(bool, identitaDelDisco);
        QFETCH(bool, segniCorsa);
        QVERIFY(ScriviFile(P(u"b.txt"_s), "B"));
        QVERIFY(ScriviFile(P(u"c.txt"_s), "C"));
        Contesto c(m_cartella.path());
        FormatoTesto utf8;
        utf8.codifica = FormatoTesto::Codifica::Utf8;
        c.DocumentoAperto(P(u"a.rtf"_s), utf8, true, {});
        c.TestoModificato = true;
        c.PosRicerca = Ricerca::PosizioneRicerca::Su(6);
        const QString riscritto = u"Dichiara a\r\nb"_s;
        c.TestoRiscrittoDaCorsa(ModificheTesto::Calcola(u"Dim a\r\nb"_s, riscritto),
                                u"Dim a\r\nb"_s, riscritto);
        QCOMPARE(c.SegniCorsa, QList<ModificheTesto::Segno>({{0, 8}}));
        if (passo == u"nuovo")
            c.DocumentoNuovo();
        else if (passo == u"aperto")
            c.DocumentoAperto(P(u"b.txt"_s), {}, false,
                              ScritturaAtomica::IdentitaFile::Di(P(u"b.txt"_s)));
        else if (passo == u"salvato")
            c.DocumentoSalvato(P(u"c.txt"_s));
        else if (passo == u"cambiato")
            c.TestoCambiato();
        else
            c.DocumentoSalvatoAltrove();
        QCOMPARE(c.NomeFileCorrente, nome.isEmpty() ? QString() : P(nome));
        QCOMPARE(c.TestoModificato, modificato);
        QCOMPARE(c.DocumentoRtf, rtf);
        QCOMPARE(c.FormatoDocumento.codifica == FormatoTesto::Codifica::Utf8, formatoDelFile);
        QCOMPARE(c.IdentitaDocumento.esiste, identitaDelDisco);
        QCOMPARE(!c.SegniCorsa.isEmpty(), segniCorsa);
        // Searches in an opened or new text start from its beginning.
        QCOMPARE(c.PosRicerca.Indice(), passo == u"nuovo" || passo == u"aperto" ? -1 : 6);
    }

    void comeSalvare_data()
    {
        QTest::addColumn<bool>("modificato");
        QTest::addColumn<bool>("conNome");
        QTest::addColumn<bool>("soloSeModificato");
        QTest::addColumn<Salvataggio>("atteso");
        QTest::newRow("Salva, non modificato") << false << true << true << Salvataggio::Nessuno;
        QTest::newRow("Salva, con nome") << true << true << true << Salvataggio::SulFileProprio;
        QTest::newRow("Salva, senza nome") << true << false << true << Salvataggio::ChiediNome;
        QTest::newRow("chiusura, non modificato, con nome")
            << false << true << false << Salvataggio::SulFileProprio;
        QTest::newRow("chiusura, senza nome") << false << false << false << Salvataggio::ChiediNome;
    }

    void comeSalvare()
    {
        QFETCH(bool, modificato);
        QFETCH(bool, conNome);
        QFETCH(bool, soloSeModificato);
        QFETCH(Salvataggio, atteso);
        Contesto c(m_cartella.path());
        c.TestoModificato = modificato;
        if (conNome) c.NomeFileCorrente = P(u"a.txt"_s);
        QCOMPARE(c.ComeSalvare(soloSeModificato), atteso);
    }

    // The file as read or last saved against what is on disk now.
    void fileCambiatoSulDisco_data()
    {
        QTest::addColumn<QString>("cambio");
        QTest::addColumn<bool>("cambiato");
        QTest::newRow("invariato") << u"nessuno"_s << false;
        QTest::newRow("contenuto cambiato") << u"contenuto"_s << true;
        QTest::newRow("rimosso") << u"rimosso"_s << true;
        QTest::newRow("sostituito, stessi dimensione e tempo") << u"sostituito"_s << true;
        QTest::newRow("diventato un collegamento") << u"collegamento"_s << true;
        QTest::newRow("salvato dopo il cambio") << u"salvato"_s << false;
        QTest::newRow("ripristinato") << u"ripristinato"_s << true;
        QTest::newRow("ripristinato un altro file") << u"altro"_s << false;
    }

    void fileCambiatoSulDisco()
    {
        QFETCH(QString, cambio);
        QFETCH(bool, cambiato);
        const QString percorso = P(u"d.txt"_s);
        QVERIFY(ScriviFile(percorso, "prima"));
        Contesto c(m_cartella.path());
        c.DocumentoAperto(percorso, {}, false, ScritturaAtomica::IdentitaFile::Di(percorso));
        if (cambio == u"contenuto" || cambio == u"salvato") QVERIFY(ScriviFile(percorso, "dopo!"));
        if (cambio == u"rimosso") QVERIFY(QFile::remove(percorso));
        if (cambio == u"sostituito") {
            // Another file of the same size and times renamed over it.
            struct stat st;
            QCOMPARE(::stat(QFile::encodeName(percorso).constData(), &st), 0);
            QVERIFY(ScriviFile(P(u"nuovo.tmp"_s), "dopo!"));
            const timespec tempi[2] = {st.st_atim, st.st_mtim};
            QCOMPARE(
                ::utimensat(AT_FDCWD, QFile::encodeName(P(u"nuovo.tmp"_s)).constData(), tempi, 0),
                0);
            QCOMPARE(::rename(QFile::encodeName(P(u"nuovo.tmp"_s)).constData(),
                              QFile::encodeName(percorso).constData()),
                     0);
        }
        if (cambio == u"collegamento") {
            QVERIFY(ScriviFile(P(u"altro.txt"_s), "altrove"));
            QVERIFY(QFile::remove(percorso));
            QVERIFY(QFile::link(P(u"altro.txt"_s), percorso));
        }
        if (cambio == u"salvato") c.DocumentoSalvato(percorso);
        if (cambio == u"ripristinato") c.FileRipristinato(percorso);
        if (cambio == u"altro") c.FileRipristinato(P(u"e.txt"_s));
        QCOMPARE(c.FileCambiatoSulDisco(), cambiato);
    }

    void nomeTestoSemplice_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("rtf") << u"/a/d.rtf"_s << u"/a/d.txt"_s;
        QTest::newRow("due punti") << u"/a/x.tar.rtf"_s << u"/a/x.tar.txt"_s;
        QTest::newRow("senza estensione") << u"/a/leggimi"_s << u"/a/leggimi.txt"_s;
    }

    void nomeTestoSemplice()
    {
        QFETCH(QString, nome);
        QFETCH(QString, atteso);
        Contesto c(m_cartella.path());
        c.NomeFileCorrente = nome;
        QCOMPARE(c.NomeTestoSemplice(), atteso);
    }
};

QTEST_GUILESS_MAIN(TestContesto)
#include "test_contesto.moc"
