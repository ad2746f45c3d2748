// The batch run worked on a Windows-1252 text's bytes against the same run on
// the decoded text, on random texts and lists: the bytes written must be the
// same, or the byte path must step aside and write nothing.

#include "aiuti/Tabella.h"
#include "nucleo/pseudocodifica/Lotto.h"
#include "nucleo/pseudocodifica/MotoreAnsi.h"
#include "nucleo/pseudocodifica/MotoreElenco.h"
#include "nucleo/testo/CodificaAnsi.h"
#include "nucleo/testo/Documento.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Words whose cases differ in the code page (à/À, ÿ/Ÿ, š/Š), whose upper case
// is outside it (µ) or the same (ß), longer than eight bytes, and prefixes of
// one another.
const QStringList Vocabolario{
    "If",         "Do",          "to", "Then", "più",  "ÿes", "µm",   "ß",   "šala", "ListCount",
    "LISTCOUNTS", "abcdefghijk", "a",  "ab",   "Ab_1", "x&",  "€uro", "n0t", "Wend", "ABCDEFGH"};
const QString Delimitatori = QStringLiteral(" ().,;:!?<>");
const QStringList ACapo{"\r\n", "\r", "\n", "\r\r\n", "\n\r", "\r\n\r\n"};

QString Scegli(QRandomGenerator &gen, const QStringList &tra)
{
    return tra[gen.bounded(int(tra.size()))];
}

// The word with each letter's case drawn at random.
QString CasoQualsiasi(QRandomGenerator &gen, const QString &parola)
{
    QString s;
    for (QChar c : parola)
        s.append(gen.bounded(2) ? c.toUpper() : c.toLower());
    return s;
}

QByteArray Testo(QRandomGenerator &gen, int pezzi, int aCapoIrregolari)
{
    QByteArray byte;
    for (int i = 0; i < pezzi; ++i) {
        const int r = int(gen.bounded(100));
        if (r < 45) {
            bool ok = false;
            const QByteArray parola =
                CodificaAnsi::Codifica(CasoQualsiasi(gen, Scegli(gen, Vocabolario)), &ok);
            byte += ok ? parola : QByteArray("x");
        } else if (r < 75) {
            byte += Delimitatori[gen.bounded(int(Delimitatori.size()))].toLatin1();
        } else if (r < 85) {
            byte += char(gen.bounded(256)); // any byte at all
        } else {
            byte += gen.bounded(100) < aCapoIrregolari ? Scegli(gen, ACapo).toLatin1()
                                                       : QByteArray("\r\n");
        }
    }
    return byte;
}

// Mostly words without delimiters; now and then an entry the byte path must
// leave to the text (a delimiter or a line break in the word, a replacement
// with a character the code page lacks).
QVector<VoceSostituzione> Elenco(QRandomGenerator &gen)
{
    QVector<VoceSostituzione> voci;
    for (int i = int(gen.bounded(9)); i > 0; --i) {
        QString parola = CasoQualsiasi(gen, Scegli(gen, Vocabolario));
        QString sostituto;
        for (int k = int(gen.bounded(3)); k > 0; --k)
            sostituto += Scegli(gen, Vocabolario) + (gen.bounded(2) ? " " : ".");
        switch (gen.bounded(30)) {
        case 0:
            parola += QStringLiteral(" b");
            break;
        case 1:
            sostituto += QStringLiteral("→");
            break;
        case 2:
            sostituto += QStringLiteral("\r\n");
            break;
        case 3:
            parola.clear();
            break;
        default:
            break;
        }
        voci.append({parola, sostituto});
    }
    return voci;
}

// The bytes the text path writes for `byte`, read as Windows-1252, and the
// byte path's (empty when it stepped aside, `preso` false).
struct Esiti
{
    QByteArray atteso, ottenuto, aPezzi; // `aPezzi`: given to the engine in random pieces
    qsizetype attese = 0, fatte = -1, fattePezzi = -1;
    bool preso = false, ansi = true;
};
Esiti Confronta(const QByteArray &byte, const QVector<VoceSostituzione> &voci)
{
    const MotoreElenco motore(voci);
    const MotoreAnsi ansi(motore);
    Esiti e;
    FormatoTesto formato; // Windows-1252
    e.atteso = Documento::Codifica(
        Lotto::Pseudocodifica(CodificaAnsi::Decodifica(byte), motore, nullptr, &e.attese), formato);
    e.ansi = formato.codifica == FormatoTesto::Codifica::Ansi;
    UscitaByte uscita([&](QByteArrayView pezzo) {
        e.ottenuto.append(pezzo);
        return true;
    });
    e.preso = Lotto::PseudocodificaAnsi(byte, ansi, nullptr, RegoleCodice(), uscita, &e.fatte);
    if (!uscita.Fine()) e.preso = false;
    if (!e.preso) return e;

    UscitaByte uscitaPezzi([&](QByteArrayView pezzo) {
        e.aPezzi.append(pezzo);
        return true;
    });
    MotoreAnsi::APezzi pezzi(ansi, uscitaPezzi);
    QRandomGenerator gen(quint32(byte.size()));
    for (qsizetype i = 0; i < byte.size();) {
        const qsizetype quanti =
            std::min(byte.size() - i, qsizetype(1 + gen.bounded(byte.size() / 4 + 70)));
        std::memcpy(pezzi.Spazio(quanti), byte.constData() + i, std::size_t(quanti));
        pezzi.Scritti(quanti);
        i += quanti;
    }
    e.fattePezzi = pezzi.Fine();
    uscitaPezzi.Aggiungi("\r\n", 2);
    uscitaPezzi.Fine();
    return e;
}

} // namespace

class TestLotto : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ByteComeTesto_data()
    {
        // aCapoIrregolari: in a hundred line breaks
        Colonne<quint32, int, int, int>("seme", "casi", "pezzi", "aCapoIrregolari");
        Riga("brevi", 11u, 3000, 40, 20);
        Riga("a capo tutti irregolari", 12u, 1000, 60, 100);
        Riga("a capo tutti CR LF", 13u, 1000, 60, 0);
        // Past the 4 KB rounds of the scan, and past the output's own buffer.
        Riga("lunghi", 14u, 60, 6000, 2);
        Riga("molto lunghi", 15u, 3, 150000, 1);
    }
    void ByteComeTesto()
    {
        const auto [seme, casi, pezzi, aCapoIrregolari] =
            DatiRiga<quint32, int, int, int>("seme", "casi", "pezzi", "aCapoIrregolari");
        QRandomGenerator gen(seme);
        int sulByte = 0;
        for (int caso = 0; caso < casi; ++caso) {
            const QByteArray byte = Testo(gen, 1 + int(gen.bounded(pezzi)), aCapoIrregolari);
            const QVector<VoceSostituzione> voci = Elenco(gen);
            const Esiti e = Confronta(byte, voci);
            if (!e.preso) {
                QVERIFY2(e.ottenuto.isEmpty(), qPrintable(QString::number(caso)));
                continue;
            }
            ++sulByte;
            QVERIFY2(e.ansi, qPrintable(QStringLiteral("caso %1: andava in UTF-8").arg(caso)));
            if (e.ottenuto != e.atteso || e.fatte != e.attese || e.aPezzi != e.atteso ||
                e.fattePezzi != e.attese) {
                qWarning() << "caso" << caso << "testo" << byte.toHex(' ') << "elenco";
                for (const VoceSostituzione &v : voci)
                    qWarning() << v.Trova << "->" << v.Sostituisci;
                QCOMPARE(e.ottenuto.toHex(' '), e.atteso.toHex(' '));
                QCOMPARE(e.fatte, e.attese);
                QCOMPARE(e.aPezzi.toHex(' '), e.atteso.toHex(' '));
                QCOMPARE(e.fattePezzi, e.attese);
            }
        }
        // The byte path must be the usual one, or the comparison proves little.
        QVERIFY2(sulByte > casi / 2, qPrintable(QString::number(sulByte)));
    }

    // Line breaks and words where the scan's blocks of 64 bytes and rounds of
    // 4096 meet.
    void Confini_data()
    {
        QTest::addColumn<QByteArray>("byte");
        const QByteArray a4095(4095, 'a');
        Riga("CR LF a cavallo, poi LF da solo", a4095 + "\r\nb\nc");
        Riga("parola a cavallo, poi CR da solo", QByteArray(4094, ' ') + "Then\rx");
        Riga("CR alla fine di 4096 byte", QByteArray(4095, ' ') + "\r");
        Riga("CR alla fine di 64 byte", QByteArray(60, ' ') + "If\r\r");
        Riga("LF all'inizio", QByteArray("\nIf a"));
        Riga("parola lunga fino alla fine", QByteArray(4096 * 3, 'x'));
        Riga("parola alla fine di 8192 byte", QByteArray(8190, '.') + "do");
        Riga("vuoto", QByteArray());
    }
    void Confini()
    {
        QFETCH(QByteArray, byte);
        const Esiti e = Confronta(byte, SostituzioniPredefinite());
        QVERIFY(e.preso);
        QCOMPARE(e.ottenuto, e.atteso);
        QCOMPARE(e.fatte, e.attese);
        QCOMPARE(e.aPezzi, e.atteso);
        QCOMPARE(e.fattePezzi, e.attese);
    }

    // A list too large for every word to have a slot of its own.
    void ElencoGrande()
    {
        QVector<VoceSostituzione> voci;
        for (int i = 0; i < 6000; ++i)
            voci.append({QStringLiteral("w%1").arg(i * 7919 % 100000),
                         QStringLiteral("W%1 w%2").arg(i).arg(i * 31 % 100000)});
        QRandomGenerator gen(17);
        QByteArray byte;
        for (int i = 0; i < 20000; ++i)
            byte += "w" + QByteArray::number(gen.bounded(100000)) + (i % 9 ? " " : "\r\n");
        const Esiti e = Confronta(byte, voci);
        QVERIFY(e.preso);
        QVERIFY(e.attese > 500);
        QVERIFY(e.ottenuto == e.atteso);
        QVERIFY(e.aPezzi == e.atteso);
        QCOMPARE(e.fatte, e.attese);
    }

    // A whole file through the batch run, large enough to be read piece by
    // piece when its first bytes show it is Windows-1252.
    void File_data()
    {
        QTest::addColumn<QByteArray>("byte");
        QRandomGenerator gen(16);
        const QByteArray ansi = "' perch\xe9\r\n" + Testo(gen, 400000, 1) + "\r";
        Riga("Windows-1252, a pezzi", ansi);
        Riga("Windows-1252 dopo 64 KB di ASCII", QByteArray(70000, 'a') + "\n" + ansi);
        Riga("UTF-8", QByteArray(70000, ' ') + "If perch\xc3\xa9 Then\n");
        Riga("Windows-1252, una riga sola", "\xe9" + QByteArray(300000, 'x'));
        // Past 64 KB in the other formats: these must never take the byte path.
        const QString righe = QStringLiteral("If perché Then ' più\r\n").repeated(4000);
        Riga("UTF-8 con BOM", "\xef\xbb\xbf" + righe.toUtf8());
        for (const auto codifica : {QStringConverter::Utf16LE, QStringConverter::Utf16BE})
            Riga(codifica == QStringConverter::Utf16LE ? "UTF-16 LE" : "UTF-16 BE",
                 QByteArray(codifica == QStringConverter::Utf16LE ? "\xff\xfe" : "\xfe\xff") +
                     QByteArray(QStringEncoder(codifica).encode(righe)));
        Riga("RTF",
             "{\\rtf1\\ansi " + QByteArray("If perch\\'e9 Then\\par\r\n").repeated(4000) + "}");
    }
    void File()
    {
        QFETCH(QByteArray, byte);
        QTemporaryDir cartella;
        const QString percorso = cartella.filePath(QStringLiteral("modulo.bas"));
        QFile file(percorso);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(byte) == byte.size());
        file.close();
        const MotoreElenco motore(SostituzioniPredefinite());
        const MotoreAnsi ansi(motore);
        FormatoTesto formato;
        const QByteArray atteso = Documento::Codifica(
            Lotto::Pseudocodifica(*Documento::Leggi(percorso, &formato, nullptr), motore, nullptr),
            formato);
        QByteArray ottenuto;
        UscitaByte uscita([&](QByteArrayView pezzo) {
            ottenuto.append(pezzo);
            return true;
        });
        QVERIFY(Lotto::Elabora(percorso, motore, ansi, nullptr, RegoleCodice(), uscita, nullptr));
        QVERIFY(uscita.Fine());
        QCOMPARE(ottenuto.size(), atteso.size());
        QVERIFY(ottenuto == atteso);
    }

    // The byte path steps aside where the text path must decide.
    void ByteNonPresi_data()
    {
        Colonne<QVector<VoceSostituzione>, bool, bool>("voci", "pulizia", "regole");
        const QVector<VoceSostituzione> fabbrica = SostituzioniPredefinite();
        Riga("fabbrica, pulizia", fabbrica, true, false);
        Riga("fabbrica, separatori del codice", fabbrica, false, true);
        Riga("parola con un delimitatore", QVector<VoceSostituzione>{{"End If", "Fine Se"}}, false,
             false);
        Riga("a capo nel sostituto", QVector<VoceSostituzione>{{"Then", "Allora\r\n"}}, false,
             false);
        Riga("sostituto fuori dalla code page", QVector<VoceSostituzione>{{"To", "→"}}, false,
             false);
    }
    void ByteNonPresi()
    {
        const auto [voci, pulizia, regole] =
            DatiRiga<QVector<VoceSostituzione>, bool, bool>("voci", "pulizia", "regole");
        const MotoreElenco motore(voci);
        const MotoreAnsi ansi(motore);
        const QVector<VoceEliminazione> eliminazioni{{"Dim", "Sì", 1}};
        RegoleCodice codice;
        codice.separatoriCodice = regole;
        int chiamate = 0;
        UscitaByte uscita([&](QByteArrayView) { return ++chiamate, true; });
        QVERIFY(!Lotto::PseudocodificaAnsi("If a Then To b End If\r\n", ansi,
                                           pulizia ? &eliminazioni : nullptr, codice, uscita));
        QVERIFY(uscita.Fine());
        QCOMPARE(chiamate, 0);
    }

    // A piece refused (a full disk, a closed pipe) ends the writing.
    void UscitaRifiutata()
    {
        int chiamate = 0;
        UscitaByte uscita([&](QByteArrayView) { return ++chiamate, false; });
        const QByteArray grande(1 << 20, 'x');
        uscita.Aggiungi(grande.constData(), grande.size());
        uscita.Aggiungi("abc", 3);
        QVERIFY(!uscita.Fine());
        QCOMPARE(chiamate, 1);
    }

    // A list that is not a regular file of bounded size is refused at once,
    // without reading it: a named pipe would block, /dev/zero never end. The
    // alarm turns a read that blocks into a failure rather than a hang.
    void ElencoRifiutato_data()
    {
        Colonne<QString, int>("tipo", "numero");
        Riga("pipe con nome", "pipe", EINVAL);
        Riga("dispositivo", "dispositivo", EINVAL);
        Riga("cartella", "cartella", EISDIR);
        Riga("sparso oltre il limite", "sparso", EFBIG);
    }
    void ElencoRifiutato()
    {
        const auto [tipo, numero] = DatiRiga<QString, int>("tipo", "numero");
        QTemporaryDir cartella;
        QString percorso = cartella.filePath(QStringLiteral("sostituzioni.dat"));
        const QByteArray nome = QFile::encodeName(percorso);
        if (tipo == u"pipe")
            QCOMPARE(mkfifo(nome.constData(), 0600), 0);
        else if (tipo == u"dispositivo")
            percorso = QStringLiteral("/dev/zero");
        else if (tipo == u"cartella")
            QVERIFY(QDir().mkdir(percorso));
        else {
            // 1 GB of holes only, twice the largest list taken.
            QFile sparso(percorso);
            QVERIFY(sparso.open(QIODevice::WriteOnly));
            QVERIFY(sparso.resize(qint64(1) << 30));
        }
        QElapsedTimer tempo;
        tempo.start();
        alarm(5);
        ErroreFile errore;
        const std::optional<QByteArray> dati = Lotto::LeggiElenco(percorso, &errore);
        alarm(0);
        QVERIFY(!dati);
        QCOMPARE(errore.numero, numero);
        QVERIFY(tempo.elapsed() < 1000);
    }
};

QTEST_GUILESS_MAIN(TestLotto)
#include "test_lotto.moc"
