// Line breaks as the editor holds them, CR LF offsets, and the edit list of a
// whole-text write, against plain string arithmetic.

#include "nucleo/testo/ACapo.h"
#include "nucleo/testo/ModificheTesto.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using ACapo::Forma;

namespace {

// Every line break as `aCapo`, one character at a time.
QString NormalizzaRiferimento(const QString &testo, const QString &aCapo)
{
    QString r;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const char16_t u = testo[i].unicode();
        if (u == u'\r' || u == u'\n' || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1) {
            if (u == u'\r' && i + 1 < testo.size() && testo[i + 1] == u'\n') ++i;
            r += aCapo;
        } else {
            r += testo[i];
        }
    }
    return r;
}

QString Casuale(QRandomGenerator &gen, const QString &alfabeto, int massimo)
{
    QString t;
    for (int i = int(gen.bounded(massimo)); i > 0; --i)
        t.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
    return t;
}

QString Applica(QString testo, const QList<ModificheTesto::Modifica> &modifiche)
{
    for (const ModificheTesto::Modifica &m : modifiche) {
        if (m.inizio < 0 || m.lunghezza < 0 || m.inizio + m.lunghezza > testo.size())
            return u"<fuori dal testo>"_s;
        testo.replace(m.inizio, m.lunghezza, m.testo);
    }
    return testo;
}

// The edits as "start,length,text" separated by '|'.
QString Descrivi(const QList<ModificheTesto::Modifica> &modifiche)
{
    QStringList parti;
    for (const ModificheTesto::Modifica &m : modifiche)
        parti.append(u"%1,%2,%3"_s.arg(m.inizio).arg(m.lunghezza).arg(m.testo));
    return parti.join(u'|');
}

} // namespace

class TestModificheTesto : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void normalizza_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("crLf");
        QTest::addColumn<QString>("lf");
        QTest::newRow("vuoto") << QString() << QString() << QString();
        QTest::newRow("gia CR LF") << u"a\r\nb"_s << u"a\r\nb"_s << u"a\nb"_s;
        QTest::newRow("ogni tipo")
            << u"a\r\nb\nc\rd\r\n\r\n"_s << u"a\r\nb\r\nc\r\nd\r\n\r\n"_s << u"a\nb\nc\nd\n\n"_s;
        QTest::newRow("CR solo") << u"\r"_s << u"\r\n"_s << u"\n"_s;
        QTest::newRow("CR poi CR LF") << u"\r\r\n"_s << u"\r\n\r\n"_s << u"\n\n"_s;
        QTest::newRow("LF poi CR") << u"\n\r"_s << u"\r\n\r\n"_s << u"\n\n"_s;
        QTest::newRow("separatori")
            << u"a\u2029b\uFDD0c\uFDD1d"_s << u"a\r\nb\r\nc\r\nd"_s << u"a\nb\nc\nd"_s;
        QTest::newRow("U+2028 resta") << u"a\u2028b"_s << u"a\u2028b"_s << u"a\u2028b"_s;
        // Past the sixteen-unit blocks the scan looks at together.
        QTest::newRow("CR solo dopo un blocco")
            << u"0123456789abcdef0123456789abcde\r"_s << u"0123456789abcdef0123456789abcde\r\n"_s
            << u"0123456789abcdef0123456789abcde\n"_s;
        QTest::newRow("CR a fine blocco, LF mancante")
            << u"0123456789abcde\rx0123456789abcdef"_s << u"0123456789abcde\r\nx0123456789abcdef"_s
            << u"0123456789abcde\nx0123456789abcdef"_s;
    }

    void normalizza()
    {
        QFETCH(QString, testo);
        QFETCH(QString, crLf);
        QFETCH(QString, lf);
        QCOMPARE(ACapo::Normalizza(testo), crLf);
        QCOMPARE(ACapo::Normalizza(testo, Forma::Lf), lf);
    }

    // A single-byte text in pieces: a piece after one that ended in a CR
    // starts with that CR's LF.
    void normalizzaByte_data()
    {
        QTest::addColumn<QByteArray>("testo");
        QTest::addColumn<bool>("dopoCr");
        QTest::addColumn<QByteArray>("atteso");
        QTest::newRow("ogni tipo")
            << QByteArray("a\rb\nc\r\n\n\r") << false << QByteArray("a\r\nb\r\nc\r\n\r\n\r\n");
        QTest::newRow("dopo un CR, il suo LF") << QByteArray("\nx") << true << QByteArray("\nx");
        QTest::newRow("dopo un CR solo") << QByteArray("x") << true << QByteArray("\nx");
        QTest::newRow("dopo un CR, vuoto") << QByteArray() << true << QByteArray("\n");
    }

    void normalizzaByte()
    {
        QFETCH(QByteArray, testo);
        QFETCH(bool, dopoCr);
        QFETCH(QByteArray, atteso);
        QCOMPARE(ACapo::NormalizzaByte(testo, dopoCr), atteso);
    }

    // Long random texts with few breaks, so that the block scan meets them at
    // every place in a block; an unchanged text comes back shared.
    void normalizzaCasuale()
    {
        QRandomGenerator gen(5);
        for (int caso = 0; caso < 3000; ++caso) {
            QString testo = Casuale(gen, u"abcdefghijkl"_s, 80);
            const QString interruzioni = u"\r\n\u2029\uFDD0\uFDD1\u2028"_s;
            for (int n = int(gen.bounded(3)); n > 0 && !testo.isEmpty(); --n) {
                const qsizetype dove = gen.bounded(int(testo.size()));
                testo.insert(dove,
                             gen.bounded(2) ? u"\r\n"_s : QString(interruzioni[gen.bounded(6)]));
            }
            const QString crLf = ACapo::Normalizza(testo);
            QCOMPARE(crLf, NormalizzaRiferimento(testo, u"\r\n"_s));
            QCOMPARE(ACapo::Normalizza(testo, Forma::Lf), NormalizzaRiferimento(testo, u"\n"_s));
            if (crLf == testo && !testo.isEmpty()) QVERIFY(crLf.isSharedWith(testo));
        }
    }

    void modifiche_data()
    {
        QTest::addColumn<QString>("vecchio");
        QTest::addColumn<QString>("nuovo");
        QTest::addColumn<QString>("attese");
        QTest::newRow("uguali") << u"If a\r\nEnd If"_s << u"If a\r\nEnd If"_s << QString();
        QTest::newRow("una parola")
            << u"If a\r\nEnd If"_s << u"If a\r\nFine Se"_s << u"5,6,Fine Se"_s;
        // One edit per changed line, in positions of the text as already
        // rewritten; the lines between stay untouched.
        QTest::newRow("due righe")
            << u"If a\r\nx\r\nEnd If"_s << u"Se a\r\nx\r\nFine Se"_s << u"0,2,Se|7,6,Fine Se"_s;
        QTest::newRow("riga accorciata prima di un'altra")
            << u"abc\r\nd"_s << u"a\r\ne"_s << u"1,2,|2,1,e"_s;
        QTest::newRow("righe aggiunte") << u"a\r\nb"_s << u"a\r\nx\r\ny\r\nb"_s << u"2,0,x\ny\n"_s;
        QTest::newRow("righe unite") << u"a\r\nb\r\nc"_s << u"abc"_s << u"1,3,b"_s;
        QTest::newRow("da vuoto") << QString() << u"a\r\nb"_s << u"0,0,a\nb"_s;
        QTest::newRow("a vuoto") << u"a\r\nb"_s << QString() << u"0,3,"_s;
    }

    void modifiche()
    {
        QFETCH(QString, vecchio);
        QFETCH(QString, nuovo);
        QFETCH(QString, attese);
        const QList<ModificheTesto::Modifica> modifiche = ModificheTesto::Calcola(vecchio, nuovo);
        QCOMPARE(Descrivi(modifiche), attese);
        QCOMPARE(Applica(ACapo::Normalizza(vecchio, Forma::Lf), modifiche),
                 ACapo::Normalizza(nuovo, Forma::Lf));
    }

    // Thousands of random pairs: the edits give the new text; when the line
    // breaks are kept, no edit removes or writes one.
    void modificheCasuali()
    {
        QRandomGenerator gen(11);
        const QString alfabeto = u"ab \r\n\r\n\n\rè\u2029\uFDD1\u2028"_s;
        for (int caso = 0; caso < 6000; ++caso) {
            const QString vecchio = ACapo::Normalizza(Casuale(gen, alfabeto, 30));
            QString nuovo = vecchio;
            if (caso % 3 == 0) {
                nuovo = Casuale(gen, alfabeto, 30);
            } else if (caso % 3 == 1) {
                // Words changed on several lines, the line breaks kept.
                nuovo.clear();
                for (QChar ch : vecchio)
                    nuovo += ch != u'a' ? QString(ch)
                                        : QStringList{u"a"_s, u""_s, u"bè"_s}[gen.bounded(3)];
            } else {
                for (int n = 1 + int(gen.bounded(2)); n > 0; --n) {
                    const int da = int(gen.bounded(int(nuovo.size()) + 1));
                    nuovo.replace(da, int(gen.bounded(int(nuovo.size()) - da + 1)),
                                  Casuale(gen, alfabeto, 5));
                }
            }
            nuovo = ACapo::Normalizza(nuovo);
            const QString prima = ACapo::Normalizza(vecchio, Forma::Lf);
            const QList<ModificheTesto::Modifica> modifiche =
                ModificheTesto::Calcola(vecchio, nuovo);
            QCOMPARE(Applica(prima, modifiche), ACapo::Normalizza(nuovo, Forma::Lf));
            QCOMPARE(modifiche.isEmpty(), vecchio == nuovo);
            if (vecchio.count(u'\r') != nuovo.count(u'\r')) {
                QCOMPARE(modifiche.size(), 1);
                continue;
            }
            QString t = prima;
            for (const ModificheTesto::Modifica &m : modifiche) {
                QVERIFY(!m.testo.contains(u'\n'));
                QVERIFY(!QStringView(t).sliced(m.inizio, m.lunghezza).contains(u'\n'));
                t.replace(m.inizio, m.lunghezza, m.testo);
            }
        }
    }

    // CR LF offsets and document positions (one per line break) on random
    // texts: each position and back, and an offset between a CR and its LF
    // taken as the end of its line.
    void offsetEPosizioni()
    {
        QRandomGenerator gen(3);
        for (int caso = 0; caso < 500; ++caso) {
            const QString crLf = ACapo::Normalizza(Casuale(gen, u"ab\n\n"_s, 30));
            const QStringList righe = ACapo::Normalizza(crLf, Forma::Lf).split(u'\n');
            QList<qsizetype> inizi;
            qsizetype pos = 0;
            for (const QString &r : righe) {
                inizi.append(pos);
                pos += r.size() + 1;
            }
            const auto posizione = [&](qsizetype offset) {
                return ACapo::PosizioneDaOffset(
                    offset, righe.size(), [&](qsizetype n) { return inizi[n]; },
                    [&](qsizetype n) { return righe[n].size(); });
            };
            qsizetype p = 0;
            for (qsizetype offset = 0; offset <= crLf.size(); ++offset) {
                if (offset > 0 && crLf[offset - 1] == u'\r') {
                    QCOMPARE(posizione(offset), p - 1);
                    continue;
                }
                QCOMPARE(posizione(offset), p);
                QCOMPARE(ACapo::OffsetDaPosizione(p, crLf.first(offset).count(u'\r')), offset);
                ++p;
            }
        }
    }

    // The stretches a run's rewrite marks, read back as the words of the new text.
    void segni_data()
    {
        QTest::addColumn<QString>("vecchio");
        QTest::addColumn<QString>("nuovo");
        QTest::addColumn<QString>("segnati"); // start+length=text, in CR LF offsets
        QTest::newRow("a word far down: offsets count CR LF as two")
            << u"a\r\nb\r\nc\r\nDim x"_s << u"a\r\nb\r\nc\r\nDichiara x"_s << u"9+8=Dichiara"_s;
        QTest::newRow("a changed tail takes the whole word")
            << u"x Then y"_s << u"x Thenne y"_s << u"2+6=Thenne"_s;
        QTest::newRow("two lines, their words each")
            << u"If a\r\nb\r\nEnd If"_s << u"Se a\r\nb\r\nFine Se"_s
            << u"0+2=Se 9+4=Fine 14+2=Se"_s;
        QTest::newRow("a replacement holding a line break")
            << u"a X b\r\nc"_s << u"a P\r\nQ b\r\nc"_s << u"2+4=P\r\nQ"_s;
        QTest::newRow("removed words leave no mark")
            << u"a Call b\r\nc"_s << u"a b\r\nc"_s << u""_s;
        QTest::newRow("words kept between the changed ones stay unmarked")
            << u"x\r\nIf Not a Then"_s << u"x\r\nSe Non a Allora"_s
            << u"3+2=Se 6+3=Non 12+6=Allora"_s;
        QTest::newRow("a changed sign is not widened into its words")
            << u"a.b"_s << u"a,b"_s << u"1+1=,"_s;
        QTest::newRow("equal texts") << u"a"_s << u"a"_s << u""_s;
        QTest::newRow("from empty") << u""_s << u"ab\r\ncd"_s << u"0+6=ab\r\ncd"_s;
    }
    void segni()
    {
        QFETCH(QString, vecchio);
        QFETCH(QString, nuovo);
        QFETCH(QString, segnati);
        QStringList trovati;
        for (const auto &[inizio, lunghezza] :
             ModificheTesto::Segni(ModificheTesto::Calcola(vecchio, nuovo), vecchio, nuovo))
            trovati.append(
                u"%1+%2=%3"_s.arg(inizio).arg(lunghezza).arg(nuovo.sliced(inizio, lunghezza)));
        QCOMPARE(trovati.join(u' '), segnati);
    }

    // The first stretches only, past the limit.
    void segniOltreIlLimite()
    {
        const QString nuovo = u"B\r\nB\r\nB"_s;
        const auto segni = ModificheTesto::Segni(ModificheTesto::Calcola(u"a\r\na\r\na"_s, nuovo),
                                                 u"a\r\na\r\na"_s, nuovo, 2);
        QCOMPARE(segni, QList<ModificheTesto::Segno>({{0, 1}, {3, 1}}));
    }
};

QTEST_GUILESS_MAIN(TestModificheTesto)
#include "test_modifichetesto.moc"
