// Reading and writing documents: encodings, line breaks, RTF, atomic saves.

#include "app/Documento.h"
#include "app/LettoreRtf.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

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

    void scritturaAtomica()
    {
        QTemporaryDir dir;
        const QString percorso = dir.filePath(QStringLiteral("a.txt"));
        FormatoTesto f;
        ErroreFile errore;
        QVERIFY(Documento::Scrivi(percorso, QStringLiteral("uno"), f, &errore));
        QFile file(percorso);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("uno\r\n"));
        file.close();
        // A path that cannot be created: an error, and nothing else touched.
        QVERIFY(!Documento::Scrivi(percorso + QStringLiteral("/b.txt"), QStringLiteral("due"), f,
                                   &errore));
        QCOMPARE(errore.numero, ENOTDIR);
        QVERIFY(errore.Messaggio().startsWith(QStringLiteral("Errore: Non è una cartella  (")));
        QVERIFY(!Documento::Scrivi(dir.path(), QStringLiteral("due"), f, &errore));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("uno\r\n"));
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
    }
};

QTEST_GUILESS_MAIN(TestDocumento)
#include "test_documento.moc"
