// The recent-files list: order, dedupe, limit, files gone from disk, and the
// round trip through a settings file.

#include "nucleo/FileRecenti.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestFileRecenti : public QObject
{
    Q_OBJECT

    QTemporaryDir m_cartella;
    // Letters to paths in the test folder: "ab" is {a, b}.
    QStringList Percorsi(const QString &lettere) const
    {
        QStringList percorsi;
        for (QChar c : lettere)
            percorsi.append(m_cartella.filePath(QString(c)));
        return percorsi;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_cartella.isValid());
        for (QChar c : u"abcdefghij"_s) {
            QFile f(m_cartella.filePath(QString(c)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }

    // Files added one after another (letters), and the list that results.
    void ordine_data()
    {
        QTest::addColumn<QString>("aggiunti");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("latest first") << u"abc"_s << u"cba"_s;
        QTest::newRow("reopened moves to the top once") << u"abcab"_s << u"bac"_s;
        QTest::newRow("same file twice") << u"aa"_s << u"a"_s;
        QTest::newRow("limit drops the oldest") << u"abcdefghij"_s << u"jihgfedc"_s;
        QTest::newRow("at the limit, reopening drops nothing") << u"abcdefgha"_s << u"ahgfedcb"_s;
    }
    void ordine()
    {
        QFETCH(QString, aggiunti);
        QFETCH(QString, atteso);
        FileRecenti recenti;
        for (const QString &p : Percorsi(aggiunti))
            recenti.Aggiungi(p);
        QCOMPARE(recenti.Elenco(), Percorsi(atteso));
    }

    void stessoFileScrittoDiversamente()
    {
        FileRecenti recenti;
        recenti.Aggiungi(m_cartella.filePath(u"a"_s));
        recenti.Aggiungi(m_cartella.path() + u"/./x/../a"_s);
        QCOMPARE(recenti.Elenco(), Percorsi(u"a"_s));
        QVERIFY(recenti.Rimuovi(m_cartella.path() + u"//a"_s));
        QVERIFY(recenti.Elenco().isEmpty());
        QVERIFY(!recenti.Rimuovi(m_cartella.filePath(u"a"_s)));
    }

    void fileMancanti()
    {
        FileRecenti recenti;
        const QString sparito = m_cartella.filePath(u"sparito"_s);
        recenti.Aggiungi(m_cartella.filePath(u"a"_s));
        recenti.Aggiungi(sparito);
        recenti.Aggiungi(m_cartella.path()); // a folder is no file to open
        recenti.Aggiungi(m_cartella.filePath(u"b"_s));
        QCOMPARE(recenti.RimuoviMancanti(), (QStringList{m_cartella.path(), sparito}));
        QCOMPARE(recenti.Elenco(), Percorsi(u"ba"_s));
    }

    void impostazioni()
    {
        const QString file = m_cartella.filePath(u"prova.ini"_s);
        {
            QSettings s(file, QSettings::IniFormat);
            FileRecenti recenti;
            for (const QString &p : Percorsi(u"abc"_s))
                recenti.Aggiungi(p);
            recenti.Salva(s);
        }
        QSettings s(file, QSettings::IniFormat);
        FileRecenti letti;
        letti.Carica(s);
        QCOMPARE(letti.Elenco(), Percorsi(u"cba"_s));
        // A hand-edited list longer than the limit, with a repeat, keeps the rules.
        s.setValue(u"FileRecenti"_s, Percorsi(u"aabcdefghij"_s));
        letti.Carica(s);
        QCOMPARE(letti.Elenco(), Percorsi(u"abcdefgh"_s));
    }
};

QTEST_GUILESS_MAIN(TestFileRecenti)
#include "test_filerecenti.moc"
