// The copy of the original (NAME~): where it goes and what it never replaces,
// and which save keeps it.

#include "aiuti/Tabella.h"
#include "nucleo/Contesto.h"
#include "nucleo/testo/CopiaOriginale.h"
#include "nucleo/testo/Documento.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using Tipo = CopiaOriginale::Esito::Tipo;

namespace {

QByteArray Contenuto(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Scrivi(const QString &percorso, const QByteArray &byte)
{
    QFile file(percorso);
    return file.open(QIODevice::WriteOnly) && file.write(byte) == byte.size();
}

} // namespace

class TestCopiaOriginale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // `posto`: what stands at NAME~ beside the file; `dove`: where the copy
    // is expected ("accanto", "dati", or "" for none).
    void conserva_data()
    {
        Colonne<QString, QString, bool, int, QString>("sorgente", "posto", "conDati", "tipo",
                                                      "dove");
        const int conservata = int(Tipo::Conservata), fallita = int(Tipo::Fallita),
                  niente = int(Tipo::NienteDaConservare);
        Riga("prima copia", "file", "nulla", true, conservata, "accanto");
        Riga("copia precedente sostituita", "file", "copia", true, conservata, "accanto");
        Riga("cartella al posto della copia", "file", "cartella", true, conservata, "dati");
        Riga("collegamento al posto della copia", "file", "collegamento", true, conservata, "dati");
        Riga("pipe al posto della copia", "file", "pipe", true, conservata, "dati");
        Riga("nessun posto", "file", "cartella", false, fallita, "");
        Riga("collegamento al file", "collegamento", "nulla", true, conservata, "accanto");
        Riga("file assente", "assente", "nulla", true, niente, "");
        Riga("collegamento spezzato", "spezzato", "nulla", true, niente, "");
        Riga("pipe da copiare", "pipe", "nulla", true, niente, "");
        Riga("cartella da copiare", "cartella", "nulla", true, niente, "");
    }
    void conserva()
    {
        const auto [sorgente, posto, conDati, tipo, dove] =
            DatiRiga<QString, QString, bool, int, QString>("sorgente", "posto", "conDati", "tipo",
                                                           "dove");
        QTemporaryDir radice;
        const QDir dir(radice.path());
        QVERIFY(dir.mkpath(u"testi"_s) && dir.mkpath(u"altrove"_s));
        const QString dati = conDati ? dir.filePath(u"dati"_s) : QString();
        // The file a save would replace, and the path the save is given.
        const QString file = dir.filePath(u"testi/Modulo.bas"_s);
        QString percorso = file;
        const QByteArray originale = "Sub Main()\r\nEnd Sub\r\n";
        const QByteArray nativo = QFile::encodeName(file);
        if (sorgente == u"file"_s || sorgente == u"collegamento"_s) {
            QVERIFY(Scrivi(file, originale));
            QCOMPARE(::chmod(nativo.constData(), 0640), 0);
            // Only root may give the file to another user.
            if (::geteuid() == 0) QCOMPARE(::chown(nativo.constData(), 65534, 65534), 0);
        } else if (sorgente == u"pipe"_s) {
            QCOMPARE(::mkfifo(nativo.constData(), 0600), 0);
        } else if (sorgente == u"cartella"_s) {
            QVERIFY(dir.mkpath(file));
        } else if (sorgente == u"spezzato"_s) {
            QVERIFY(QFile::link(file, dir.filePath(u"altrove/spezzato.bas"_s)));
            percorso = dir.filePath(u"altrove/spezzato.bas"_s);
        }
        if (sorgente == u"collegamento"_s) {
            percorso = dir.filePath(u"altrove/Link.bas"_s);
            QVERIFY(QFile::link(file, percorso));
        }
        const QString accanto = file + u"~"_s;
        const QByteArray accantoNativo = QFile::encodeName(accanto);
        const QString estraneo = dir.filePath(u"altrove/estraneo"_s);
        QVERIFY(Scrivi(estraneo, "altro"));
        if (posto == u"copia"_s) {
            QVERIFY(Scrivi(accanto, "copia vecchia"));
        } else if (posto == u"cartella"_s) {
            QVERIFY(dir.mkpath(accanto));
        } else if (posto == u"collegamento"_s) {
            QVERIFY(QFile::link(estraneo, accanto));
        } else if (posto == u"pipe"_s) {
            QCOMPARE(::mkfifo(accantoNativo.constData(), 0600), 0);
        }

        const CopiaOriginale::Esito esito = CopiaOriginale::Conserva(percorso, dati);
        QCOMPARE(int(esito.tipo), tipo);
        const QString attesa = dove == u"accanto"_s ? accanto
                               : dove == u"dati"_s  ? CopiaOriginale::NellaCartellaDati(file, dati)
                                                    : QString();
        QCOMPARE(esito.copia, attesa);
        QCOMPARE(esito.errore.numero != 0, esito.tipo == Tipo::Fallita);
        if (!attesa.isEmpty()) {
            QCOMPARE(Contenuto(attesa), originale);
            // A private file's copy is as private, and its owner's.
            QCOMPARE(QFileInfo(attesa).permissions(), QFileInfo(file).permissions());
            struct stat copia, dellOriginale;
            QCOMPARE(::stat(QFile::encodeName(attesa).constData(), &copia), 0);
            QCOMPARE(::stat(nativo.constData(), &dellOriginale), 0);
            QCOMPARE(copia.st_uid, dellOriginale.st_uid);
            QCOMPARE(copia.st_gid, dellOriginale.st_gid);
        }
        if (dove == u"dati"_s) QCOMPARE(attesa, dati + u"/originali"_s + file + u"~"_s);
        // What stood at NAME~ and was no copy is untouched; the file too.
        struct stat info;
        QCOMPARE(::lstat(accantoNativo.constData(), &info) == 0,
                 posto != u"nulla"_s || dove == u"accanto"_s);
        if (posto == u"cartella"_s) QVERIFY(S_ISDIR(info.st_mode));
        if (posto == u"collegamento"_s) QVERIFY(S_ISLNK(info.st_mode));
        if (posto == u"pipe"_s) QVERIFY(S_ISFIFO(info.st_mode));
        QCOMPARE(Contenuto(estraneo), QByteArray("altro"));
        if (sorgente == u"file"_s) QCOMPARE(Contenuto(file), originale);
        if (esito.tipo == Tipo::Fallita) QVERIFY(!esito.errore.descrizione.isEmpty());
    }

    // A file past the documents' size limit is not read whole for a copy.
    void troppoGrande()
    {
        QTemporaryDir radice;
        const QString file = QDir(radice.path()).filePath(u"enorme.txt"_s);
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(Documento::DimensioneMassima + 1));
        f.close();
        const CopiaOriginale::Esito esito = CopiaOriginale::Conserva(file, radice.path());
        QCOMPARE(esito.tipo, Tipo::Fallita);
        QCOMPARE(esito.errore.numero, EFBIG);
        QVERIFY(!QFileInfo::exists(file + u"~"_s));
    }

    // Which saves keep the copy. Steps: "apri F" (a document opened from F),
    // "nuovo", "corsa" (a run rewrote the text), "spenta"/"accesa" (the
    // option), "salva F" (a save over F). `copie`: for each save, 1 when it
    // keeps the copy first.
    void quandoSiConserva_data()
    {
        Colonne<QStringList, QString>("passi", "copie");
        const auto passi = [](const char *testo) { return QString::fromLatin1(testo).split(u';'); };
        Riga("la prima dopo una corsa", passi("apri a;corsa;salva a;salva a"), "10");
        Riga("senza corsa", passi("apri a;salva a;salva a"), "00");
        Riga("salvato prima della corsa", passi("apri a;salva a;corsa;salva a"), "01");
        Riga("altre corse dopo la copia", passi("apri a;corsa;salva a;corsa;salva a"), "10");
        Riga("riaperto e ripassato", passi("apri a;corsa;salva a;apri a;corsa;salva a"), "11");
        Riga("opzione spenta alla prima", passi("apri a;corsa;spenta;salva a;accesa;salva a"),
             "00");
        Riga("opzione accesa dopo", passi("apri a;spenta;corsa;accesa;salva a"), "1");
        Riga("salva con nome su un altro file",
             passi("apri a;corsa;salva b;salva b;salva a;salva a"), "1010");
        Riga("testo nuovo", passi("nuovo;corsa;salva b;salva b"), "10");
        Riga("nuovo dopo una corsa", passi("apri a;corsa;nuovo;salva a"), "0");
        Riga("stesso file per altra via", passi("apri a;corsa;salva ./x/../a;salva link"), "10");
        Riga("per il collegamento", passi("apri link;corsa;salva a;salva link"), "10");
    }
    void quandoSiConserva()
    {
        const auto [passi, copie] = DatiRiga<QStringList, QString>("passi", "copie");
        QTemporaryDir radice;
        const QDir dir(radice.path());
        QVERIFY(dir.mkpath(u"x"_s));
        QVERIFY(Scrivi(dir.filePath(u"a"_s), "a") && Scrivi(dir.filePath(u"b"_s), "b"));
        QVERIFY(QFile::link(dir.filePath(u"a"_s), dir.filePath(u"link"_s)));
        Contesto contesto(radice.path());
        QString ottenute;
        for (const QString &passo : passi) {
            const QString percorso = dir.filePath(passo.section(u' ', 1));
            if (passo.startsWith(u"apri"_s)) {
                contesto.DocumentoAperto(percorso, {}, false, {});
            } else if (passo == u"nuovo"_s) {
                contesto.DocumentoNuovo();
            } else if (passo == u"corsa"_s) {
                contesto.TestoRiscrittoDaCorsa({}, u"x"_s, u"y"_s);
            } else if (passo == u"spenta"_s || passo == u"accesa"_s) {
                contesto.OpzioniCodice.ConservaOriginale = passo == u"accesa"_s;
            } else {
                ottenute += contesto.ConservaPrimaDiScrivere(percorso) ? u'1' : u'0';
                contesto.FileScritto(percorso);
            }
        }
        QCOMPARE(ottenute, copie);
    }
};

QTEST_GUILESS_MAIN(TestCopiaOriginale)
#include "test_copiaoriginale.moc"
