// The comparison of the original with the current text: which lines sit side
// by side, which are changed, and which words are marked on each side.

#include "nucleo/testo/Confronto.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// The rows as "o:a" (a line index, or "-" for none), "*" after a changed row.
QString Allineamento(const Confronto::Risultato &r)
{
    QStringList parti;
    for (const Confronto::Riga &riga : r.Righe) {
        auto indice = [](qsizetype i) { return i < 0 ? u"-"_s : QString::number(i); };
        parti.append(indice(riga.Originale) + u':' + indice(riga.Attuale) +
                     (riga.Cambiata ? u"*"_s : QString()));
    }
    return parti.join(u' ');
}

// The marked words of every row on one side, "|" between them.
QString Segni(const Confronto::Risultato &r, bool originale)
{
    QStringList parti;
    for (const Confronto::Riga &riga : r.Righe) {
        const qsizetype i = originale ? riga.Originale : riga.Attuale;
        const QList<Confronto::Tratto> &segni = originale ? riga.SegniOriginale : riga.SegniAttuale;
        const QStringList &righe = originale ? r.RigheOriginale : r.RigheAttuale;
        for (const Confronto::Tratto &t : segni)
            parti.append(righe[i].mid(t.Inizio, t.Lunghezza));
    }
    return parti.join(u'|');
}

} // namespace

class TestConfronto : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void Confronta_data()
    {
        QTest::addColumn<QString>("originale");
        QTest::addColumn<QString>("attuale");
        QTest::addColumn<QString>("allineamento");
        QTest::addColumn<QString>("segniOriginale");
        QTest::addColumn<QString>("segniAttuale");
        QTest::addColumn<int>("cambiate");

        QTest::newRow("righe uguali") << u"a\r\nb\r\nc"_s << u"a\r\nb\r\nc"_s << u"0:0 1:1 2:2"_s
                                      << QString() << QString() << 0;
        QTest::newRow("parole cambiate")
            << u"Dim x As Integer\r\nx = 1\r\nIf x Then y"_s
            << u"Dichiara x Come Intero\r\nx = 1\r\nSe x Allora y"_s << u"0:0* 1:1 2:2*"_s
            << u"Dim|As|Integer|If|Then"_s << u"Dichiara|Come|Intero|Se|Allora"_s << 2;
        QTest::newRow("a capo diversi, stesso testo")
            << u"a\r\nb\nc"_s << u"a\nb\rc"_s << u"0:0 1:1 2:2"_s << QString() << QString() << 0;
        QTest::newRow("sostituto con un a capo")
            << u"uno\nPrint a\ntre\nquattro"_s << u"uno\nStampa a\nfine\ntre\nquattro"_s
            << u"0:0 1:1* -:2* 2:3 3:4"_s << u"Print"_s << u"Stampa|fine"_s << 2;
        QTest::newRow("a capo in ogni riga cambiata")
            << u"Print a\nPrint b\nPrint c\nx = 1"_s
            << u"Stampa a\nStampa b\nvai\nStampa c\nx = 1"_s << u"0:0* 1:1* -:2* 2:3* 3:4"_s
            << u"Print|Print|Print"_s << u"Stampa|Stampa|vai|Stampa"_s << 4;
        QTest::newRow("riga tolta")
            << u"a\nb\nc"_s << u"a\nc"_s << u"0:0 1:-* 2:1"_s << u"b"_s << QString() << 1;
        QTest::newRow("originale vuoto")
            << QString() << u"a\nb"_s << u"0:0* -:1*"_s << QString() << u"a|b"_s << 2;
        QTest::newRow("attuale vuoto")
            << u"a\nb"_s << QString() << u"0:0* 1:-*"_s << u"a|b"_s << QString() << 2;
        QTest::newRow("entrambi vuoti")
            << QString() << QString() << u"0:0"_s << QString() << QString() << 0;
        QTest::newRow("spazi non segnati")
            << u"a  b"_s << u"a b"_s << u"0:0*"_s << QString() << QString() << 1;
    }
    void Confronta()
    {
        QFETCH(QString, originale);
        QFETCH(QString, attuale);
        const Confronto::Risultato r = Confronto::Confronta(originale, attuale);
        QTEST(Allineamento(r), "allineamento");
        QTEST(Segni(r, true), "segniOriginale");
        QTEST(Segni(r, false), "segniAttuale");
        QTEST(int(r.RigheCambiate), "cambiate");
    }

    // Rows 1-2 and 4 changed: the changes start at rows 1 and 4.
    void Cambiamenti_data()
    {
        QTest::addColumn<int>("corrente");
        QTest::addColumn<int>("successivo");
        QTest::addColumn<int>("precedente");
        QTest::newRow("prima di tutto") << -1 << 1 << -1;
        QTest::newRow("riga uguale iniziale") << 0 << 1 << -1;
        QTest::newRow("inizio di un cambiamento") << 1 << 4 << -1;
        QTest::newRow("dentro un cambiamento") << 2 << 4 << 1;
        QTest::newRow("ultimo cambiamento") << 4 << -1 << 1;
        QTest::newRow("dopo l'ultimo") << 5 << -1 << 4;
    }
    void Cambiamenti()
    {
        QFETCH(int, corrente);
        const Confronto::Risultato r =
            Confronto::Confronta(u"a\nb\nc\nd\ne\nf"_s, u"a\nB\nC\nd\nE\nf"_s);
        QTEST(int(Confronto::CambiamentoSuccessivo(r, corrente)), "successivo");
        QTEST(int(Confronto::CambiamentoPrecedente(r, corrente)), "precedente");
    }

    // Stretches of the current text (as the editor gives them) placed on rows.
    void TrattiAttuali_data()
    {
        QTest::addColumn<QString>("originale");
        QTest::addColumn<QString>("attuale");
        QTest::addColumn<QString>("tratti"); // start+length, space-separated
        QTest::addColumn<QString>("pezzi");  // Lline:text of each piece's row
        QTest::newRow("CR LF counts two on a later line")
            << u"a\r\nb\r\nDim x"_s << u"a\r\nb\r\nDichiara x"_s << u"6+8"_s << u"L2:Dichiara"_s;
        QTest::newRow("over a line break: one piece a line")
            << u"a X b\r\nc"_s << u"a P\r\nQ b\r\nc"_s << u"2+4"_s << u"L0:P L1:Q"_s;
        QTest::newRow("lines removed above: rows shift")
            << u"x\r\ny\r\nDim a"_s << u"Dichiara a"_s << u"0+8"_s << u"L0:Dichiara"_s;
        QTest::newRow("lone LF and CR breaks")
            << u"a\nb\rc"_s << u"a\nb\rC"_s << u"4+1"_s << u"L2:C"_s;
        QTest::newRow("the break is in no piece")
            << u"ab\r\ncd"_s << u"ab\r\ncd"_s << u"0+4 2+4"_s << u"L0:ab L1:cd"_s;
        QTest::newRow("past the end is cut") << u"a"_s << u"ab"_s << u"1+10"_s << u"L0:b"_s;
        QTest::newRow("empty current text") << u"a"_s << QString() << u"0+0"_s << QString();
    }
    void TrattiAttuali()
    {
        QFETCH(QString, originale);
        QFETCH(QString, attuale);
        QFETCH(QString, tratti);
        const Confronto::Risultato r = Confronto::Confronta(originale, attuale);
        QList<std::pair<qsizetype, qsizetype>> dati;
        for (const QString &t : tratti.split(u' ')) {
            const QStringList parti = t.split(u'+');
            dati.append({parti[0].toLongLong(), parti[1].toLongLong()});
        }
        QStringList pezzi;
        for (const Confronto::TrattoInRiga &t : Confronto::TrattiAttuali(r, attuale, dati)) {
            const qsizetype linea = r.Righe[t.Riga].Attuale;
            pezzi.append(u"L%1:%2"_s.arg(linea).arg(
                r.RigheAttuale[linea].mid(t.Segno.Inizio, t.Segno.Lunghezza)));
        }
        QTEST(pezzi.join(u' '), "pezzi");
    }
};

QTEST_GUILESS_MAIN(TestConfronto)
#include "test_confronto.moc"
