// The comparison of the original with the current text: which lines sit side
// by side, which are changed, and which words are marked on each side.

#include "nucleo/testo/Confronto.h"

#include <QTest>

#include <algorithm>
#include <random>

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

// Edits a random text undergoes, as bits.
enum Modifica {
    CambiaParola = 1,
    AggiungiRiga = 2,
    TogliRiga = 4,
    SpezzaRiga = 8,
    SpostaRiga = 16
};

// A random text of few distinct lines, so that lines repeat, with now and
// then a line found nowhere else.
QStringList TestoCasuale(std::mt19937 &caso)
{
    static const QStringList comuni = {u"Dim x"_s, u"x = 1"_s, u"End Sub"_s, u"Print x y"_s, u""_s};
    QStringList righe;
    const int quante = int(caso() % 25);
    for (int k = 0; k < quante; ++k)
        righe.append(caso() % 5 == 0 ? u"unica %1"_s.arg(caso() % 1000)
                                     : comuni[int(caso() % comuni.size())]);
    return righe;
}

QStringList Modificato(QStringList righe, int modifiche, std::mt19937 &caso)
{
    const int volte = 1 + int(caso() % 4);
    for (int v = 0; v < volte; ++v) {
        const int tipo = 1 << (caso() % 5);
        if (!(modifiche & tipo)) continue;
        const int k = righe.isEmpty() ? 0 : int(caso() % righe.size());
        if (tipo == AggiungiRiga) {
            righe.insert(caso() % (righe.size() + 1), caso() % 2 ? u"nuova"_s : u"x = 1"_s);
        } else if (righe.isEmpty()) {
            continue;
        } else if (tipo == CambiaParola) {
            QStringList parole = righe[k].split(u' ');
            parole[int(caso() % parole.size())] = caso() % 2 ? u"Dichiara"_s : u"x"_s;
            righe[k] = parole.join(u' ');
        } else if (tipo == TogliRiga) {
            righe.removeAt(k);
        } else if (tipo == SpostaRiga) {
            // A block of up to three lines elsewhere.
            const QStringList blocco = righe.mid(k, 1 + int(caso() % 3));
            righe.remove(k, blocco.size());
            qsizetype dove = caso() % (righe.size() + 1);
            for (const QString &riga : blocco)
                righe.insert(dove++, riga);
        } else if (const qsizetype spazio = righe[k].indexOf(u' '); spazio >= 0) {
            righe.insert(k + 1, righe[k].mid(spazio + 1));
            righe[k].truncate(spazio);
        }
    }
    return righe;
}

// Length of the longest common subsequence of lines, the literal way.
qsizetype LungaComune(const QStringList &a, const QStringList &b)
{
    std::vector<std::vector<qsizetype>> L(size_t(a.size() + 1),
                                          std::vector<qsizetype>(size_t(b.size() + 1)));
    for (qsizetype i = a.size() - 1; i >= 0; --i)
        for (qsizetype j = b.size() - 1; j >= 0; --j)
            L[size_t(i)][size_t(j)] =
                a[i] == b[j] ? L[size_t(i + 1)][size_t(j + 1)] + 1
                             : std::max(L[size_t(i + 1)][size_t(j)], L[size_t(i)][size_t(j + 1)]);
    return L[0][0];
}

// Changed rows when the common first and last lines pair and the rest pairs in order.
qsizetype CambiateInOrdine(const QStringList &a, const QStringList &b)
{
    const qsizetype n = a.size(), m = b.size();
    qsizetype cambiate = std::abs(n - m);
    if (n == m) {
        for (qsizetype k = 0; k < n; ++k)
            cambiate += a[k] != b[k];
        return cambiate;
    }
    qsizetype prima = 0, dopo = 0;
    while (prima < n && prima < m && a[prima] == b[prima])
        ++prima;
    while (dopo < n - prima && dopo < m - prima && a[n - 1 - dopo] == b[m - 1 - dopo])
        ++dopo;
    for (qsizetype k = prima; k < std::min(n, m) - dopo; ++k)
        cambiate += a[k] != b[k];
    return cambiate;
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
        // "x = 1" occurs once on each side, far apart: the texts stay in step.
        QTest::newRow("riga uguale lontana")
            << u"a\nDim x\n\nEnd Sub\nEnd Sub\n\nx = 1\nEnd Sub\ne"_s
            << u"a\nx = 1\nDim x\n\nEnd Sub\nEnd Sub\n\nEnd\nSub\ne"_s
            << u"0:0 -:1* 1:2 2:3 3:4 4:5 5:6 6:7* 7:8* 8:9"_s << u"x|=|1|End"_s << u"x = 1|End"_s
            << 3;
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

    // Random texts with frequent repeats, edited at random, against literal
    // models: the rows are a valid alignment, never more changed rows than pairing in order,
    // and when one text holds all the lines of the other in order (lines
    // only added or only removed) every one of them pairs with its equal.
    void Casuale_data()
    {
        QTest::addColumn<int>("modifiche");
        QTest::newRow("parole cambiate") << int(CambiaParola);
        QTest::newRow("righe aggiunte") << int(AggiungiRiga);
        QTest::newRow("righe tolte") << int(TogliRiga);
        QTest::newRow("righe spezzate") << int(SpezzaRiga);
        QTest::newRow("aggiunte e tolte") << int(AggiungiRiga | TogliRiga);
        QTest::newRow("righe spostate a blocchi") << int(SpostaRiga);
        QTest::newRow("tutte") << int(CambiaParola | AggiungiRiga | TogliRiga | SpezzaRiga |
                                      SpostaRiga);
    }
    void Casuale()
    {
        QFETCH(int, modifiche);
        std::mt19937 caso{unsigned(modifiche)};
        for (int prova = 0; prova < 400; ++prova) {
            const QStringList a = TestoCasuale(caso), b = Modificato(a, modifiche, caso);
            const Confronto::Risultato r = Confronto::Confronta(a.join(u'\n'), b.join(u'\n'));
            const QString dove = u"%1 → %2: %3"_s.arg(a.join(u'|'), b.join(u'|'), Allineamento(r));
            const QStringList &ra = r.RigheOriginale, &rb = r.RigheAttuale;
            qsizetype prossimaA = 0, prossimaB = 0, cambiate = 0;
            for (const Confronto::Riga &riga : r.Righe) {
                // Every line of each side once, in order.
                if (riga.Originale >= 0) QVERIFY2(riga.Originale == prossimaA++, qPrintable(dove));
                if (riga.Attuale >= 0) QVERIFY2(riga.Attuale == prossimaB++, qPrintable(dove));
                QVERIFY2(riga.Originale >= 0 || riga.Attuale >= 0, qPrintable(dove));
                const bool uguale = riga.Originale >= 0 && riga.Attuale >= 0 &&
                                    ra[riga.Originale] == rb[riga.Attuale];
                QVERIFY2(riga.Cambiata != uguale, qPrintable(dove));
                QVERIFY2(uguale || riga.SegniOriginale.size() + riga.SegniAttuale.size() > 0 ||
                             ra.value(riga.Originale).simplified() ==
                                 rb.value(riga.Attuale).simplified(),
                         qPrintable(dove));
                cambiate += riga.Cambiata;
            }
            QVERIFY2(prossimaA == ra.size() && prossimaB == rb.size(), qPrintable(dove));
            QCOMPARE(r.RigheCambiate, cambiate);
            QVERIFY2(cambiate <= CambiateInOrdine(ra, rb), qPrintable(dove));
            if (LungaComune(ra, rb) == std::min(ra.size(), rb.size()))
                QVERIFY2(cambiate == std::abs(ra.size() - rb.size()), qPrintable(dove));
        }
    }

    // Rows 1-2 and 4 changed: the changes start at rows 1 and 4.
    // Walking the changes, and the "Cambiamento N di M" the window shows for
    // the row the user is on.
    void Cambiamenti_data()
    {
        QTest::addColumn<int>("corrente");
        QTest::addColumn<int>("successivo");
        QTest::addColumn<int>("precedente");
        QTest::addColumn<QString>("descrizione");
        QTest::newRow("prima di tutto") << -1 << 1 << -1 << u"2 cambiamenti"_s;
        QTest::newRow("riga uguale iniziale") << 0 << 1 << -1 << u"2 cambiamenti"_s;
        QTest::newRow("inizio di un cambiamento") << 1 << 4 << -1 << u"Cambiamento 1 di 2"_s;
        QTest::newRow("dentro un cambiamento") << 2 << 4 << 1 << u"Cambiamento 1 di 2"_s;
        QTest::newRow("riga uguale in mezzo") << 3 << 4 << 1 << u"2 cambiamenti"_s;
        QTest::newRow("ultimo cambiamento") << 4 << -1 << 1 << u"Cambiamento 2 di 2"_s;
        QTest::newRow("dopo l'ultimo") << 5 << -1 << 4 << u"2 cambiamenti"_s;
        QTest::newRow("oltre la fine") << 99 << -1 << 4 << u"2 cambiamenti"_s;
    }
    void Cambiamenti()
    {
        QFETCH(int, corrente);
        const Confronto::Risultato r =
            Confronto::Confronta(u"a\nb\nc\nd\ne\nf"_s, u"a\nB\nC\nd\nE\nf"_s);
        QTEST(int(Confronto::CambiamentoSuccessivo(r, corrente)), "successivo");
        QTEST(int(Confronto::CambiamentoPrecedente(r, corrente)), "precedente");
        QTEST(Confronto::DescriviCambiamento(r, corrente), "descrizione");
    }
    void CambiamentiContati_data()
    {
        QTest::addColumn<QString>("originale");
        QTest::addColumn<QString>("attuale");
        QTest::addColumn<QString>("descrizione"); // on the first changed row, or row 0
        QTest::newRow("nessuno") << u"a\nb"_s << u"a\nb"_s << u"Nessun cambiamento"_s;
        QTest::newRow("testi vuoti") << QString() << QString() << u"Nessun cambiamento"_s;
        QTest::newRow("uno solo") << u"a\nb"_s << u"a\nB"_s << u"Cambiamento 1 di 1"_s;
        QTest::newRow("righe aggiunte contigue: uno")
            << u"a\nb"_s << u"a\nx\ny\nb"_s << u"Cambiamento 1 di 1"_s;
        QTest::newRow("tutto cambiato: uno")
            << u"a\nb\nc"_s << u"A\nB\nC"_s << u"Cambiamento 1 di 1"_s;
    }
    void CambiamentiContati()
    {
        QFETCH(QString, originale);
        QFETCH(QString, attuale);
        const Confronto::Risultato r = Confronto::Confronta(originale, attuale);
        const qsizetype primo = Confronto::CambiamentoSuccessivo(r, -1);
        QTEST(Confronto::DescriviCambiamento(r, std::max<qsizetype>(primo, 0)), "descrizione");
    }

    // The rows shown with "Solo le righe cambiate", and the find field's
    // search among them: either side, any case, round past the end.
    void Cerca_data()
    {
        QTest::addColumn<bool>("soloCambiate");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("da");
        QTest::addColumn<bool>("avanti");
        QTest::addColumn<QString>("mostrate"); // the rows shown, and "> the row found"
        const QString tutte = u"0 1 2 3 4 5"_s;
        QTest::newRow("dall'inizio") << false << u"end"_s << -1 << true << tutte + u" > 2"_s;
        QTest::newRow("maiuscole e minuscole")
            << false << u"END"_s << -1 << true << tutte + u" > 2"_s;
        QTest::newRow("la successiva") << false << u"end"_s << 2 << true << tutte + u" > 5"_s;
        QTest::newRow("fa il giro") << false << u"end"_s << 5 << true << tutte + u" > 2"_s;
        QTest::newRow("solo lei: torna su se stessa")
            << false << u"Allora"_s << 1 << true << tutte + u" > 1"_s;
        QTest::newRow("sul lato originale")
            << false << u"Then"_s << -1 << true << tutte + u" > 1"_s;
        QTest::newRow("indietro dal nulla: l'ultima")
            << false << u"end"_s << -1 << false << tutte + u" > 5"_s;
        QTest::newRow("indietro fa il giro")
            << false << u"end"_s << 2 << false << tutte + u" > 5"_s;
        QTest::newRow("non trovato") << false << u"zzz"_s << -1 << true << tutte + u" > -1"_s;
        QTest::newRow("testo vuoto") << false << QString() << -1 << true << tutte + u" > -1"_s;
        QTest::newRow("solo le cambiate") << true << u"then"_s << -1 << true << u"1 4 > 1"_s;
        QTest::newRow("solo le cambiate: nessuna ha la parola")
            << true << u"Print"_s << -1 << true << u"1 4 > -1"_s;
    }
    void Cerca()
    {
        QFETCH(bool, soloCambiate);
        QFETCH(QString, testo);
        QFETCH(int, da);
        QFETCH(bool, avanti);
        const Confronto::Risultato r =
            Confronto::Confronta(u"Print a\nIf a Then b\nEnd If\nx = 1\nLoop\nend"_s,
                                 u"Print a\nSe a Allora b\nEnd If\nx = 1\nCiclo\nend"_s);
        const QList<qsizetype> righe = Confronto::RigheMostrate(r, soloCambiate);
        QStringList parti;
        for (qsizetype k : righe)
            parti.append(QString::number(k));
        const qsizetype trovata = Confronto::Cerca(r, righe, testo, da, avanti);
        QTEST(parti.join(u' ') + u" > "_s + QString::number(trovata < 0 ? -1 : righe[trovata]),
              "mostrate");
    }

    // The current line a row stands for: a line only the original has gives
    // the next current line, or the one before at the end.
    void RigaAttuale_data()
    {
        QTest::addColumn<QString>("attuale");
        QTest::addColumn<int>("riga");
        QTest::addColumn<int>("atteso");
        QTest::newRow("riga propria") << u"a\nc\nd"_s << 2 << 1;
        QTest::newRow("riga propria dopo una tolta") << u"a\nc\nd"_s << 3 << 2;
        QTest::newRow("tolta: la successiva") << u"a\nc\nd"_s << 1 << 1;
        QTest::newRow("tolte alla fine: la precedente") << u"a\nb"_s << 3 << 1;
        QTest::newRow("ultima tolta: la precedente") << u"a\nb\nc"_s << 3 << 2;
        QTest::newRow("fuori dalla tabella") << u"a\nc\nd"_s << 4 << -1;
    }
    void RigaAttuale()
    {
        QFETCH(QString, attuale);
        QFETCH(int, riga);
        const Confronto::Risultato r = Confronto::Confronta(u"a\nb\nc\nd"_s, attuale);
        QTEST(int(Confronto::RigaAttuale(r, riga)), "atteso");
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
        QTest::newRow("separators end lines as in the editor")
            << u"a\u2029b\uFDD0c\uFDD1d"_s << u"a\u2029b\uFDD0c\uFDD1D"_s << u"6+1"_s << u"L3:D"_s;
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
    // The original side's stretches (the colouring of its comments) fall on
    // its own lines, also where a line stands alone.
    void TrattiOriginali()
    {
        const QString originale = u"a\r\n' uno\r\nb ' due\r\n"_s;
        const Confronto::Risultato r = Confronto::Confronta(originale, u"a\r\nb ' due\r\n"_s);
        QStringList pezzi;
        for (const Confronto::TrattoInRiga &t :
             Confronto::TrattiOriginali(r, originale, {{3, 5}, {12, 5}})) {
            const qsizetype linea = r.Righe[t.Riga].Originale;
            pezzi.append(u"R%1 L%2:%3"_s.arg(t.Riga).arg(linea).arg(
                r.RigheOriginale[linea].mid(t.Segno.Inizio, t.Segno.Lunghezza)));
        }
        QCOMPARE(pezzi.join(u' '), u"R1 L1:' uno R2 L2:' due"_s);
    }
};

QTEST_GUILESS_MAIN(TestConfronto)
#include "test_confronto.moc"
