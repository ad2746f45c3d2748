// The editor control: CR LF offsets, whole-text writes, what counts as a change.

#include "finestre/EditorTesto.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

using namespace Qt::Literals::StringLiterals;

namespace {
// A selection as the editor reports it: start, length and text.
using Selezione = std::tuple<qsizetype, qsizetype, QString>;

Selezione Seleziona(EditorTesto &e, qsizetype inizio, qsizetype lunghezza)
{
    e.SetSelStart(inizio);
    e.SetSelLength(lunghezza);
    return {e.SelStart(), e.SelLength(), e.SelText()};
}
} // namespace

class TestEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void testoConAcapoDiOgniTipo()
    {
        EditorTesto e;
        const auto scritto = [&e](const QString &testo) {
            e.SetText(testo);
            return e.Text();
        };
        QCOMPARE(scritto(u"a\r\nb\nc\rd\r\n\r\n"_s), u"a\r\nb\r\nc\r\nd\r\n\r\n"_s);
        QCOMPARE(e.document()->blockCount(), 6);
        // Characters Qt's plain-text export would turn into spaces stay as they are.
        QCOMPARE(scritto(u"a\u00a0b\tc"_s), u"a\u00a0b\tc"_s);
    }

    void offsetCrLf()
    {
        EditorTesto e;
        e.SetText(u"ab\r\ncd"_s);
        QCOMPARE(Seleziona(e, 4, 1), Selezione(4, 1, u"c"_s));
        // An offset between the CR and the LF counts as the end of the line.
        e.SetSelStart(3);
        QCOMPARE(e.SelStart(), 2);
        e.SetSelLength(3);
        QCOMPARE(e.SelText(), u"\r\nc"_s);
        e.SetText(u"uno\r\ndue\r\ntre\r\nquattro"_s);
        QCOMPARE(Seleziona(e, 1, 16), Selezione(1, 16, u"no\r\ndue\r\ntre\r\nqu"_s));
        e.SetSelText(u"X\r\nY"_s);
        QCOMPARE(e.Text(), u"uX\r\nYattro"_s);
        QCOMPARE(e.SelStart(), 5);
        QCOMPARE(e.SelLength(), 0);
    }

    // Random texts and selections against plain string arithmetic on Text().
    void selezioneContoModello()
    {
        QRandomGenerator gen(7);
        EditorTesto e;
        const QString alfabeto = u"ab \n\n\rè"_s;
        for (int caso = 0; caso < 400; ++caso) {
            QString grezzo;
            for (int i = int(gen.bounded(40)); i > 0; --i)
                grezzo.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
            e.SetText(grezzo);
            const QString t = e.Text();
            QVERIFY(!t.contains(QRegularExpression(u"\r(?!\n)|(?<!\r)\n"_s)));
            // Offsets that are not between a CR and its LF.
            QList<qsizetype> validi;
            for (qsizetype i = 0; i <= t.size(); ++i)
                if (!(i > 0 && t[i - 1] == u'\r')) validi.append(i);
            for (int k = 0; k < 10; ++k) {
                qsizetype a = validi[gen.bounded(int(validi.size()))];
                qsizetype b = validi[gen.bounded(int(validi.size()))];
                if (a > b) std::swap(a, b);
                QCOMPARE(Seleziona(e, a, b - a), Selezione(a, b - a, t.mid(a, b - a)));
            }
        }
    }

    void cambiamentiDellUtente()
    {
        EditorTesto e;
        QSignalSpy cambiato(&e, &EditorTesto::TestoCambiato);
        const auto tasto = [&](Qt::Key tasto, Qt::KeyboardModifiers modificatori = {}) {
            QTest::keyClick(&e, tasto, modificatori);
            return cambiato.count();
        };
        e.SetText(u"abc"_s);
        QCOMPARE(cambiato.count(), 0);
        e.SetSelStart(3);
        QCOMPARE(tasto(Qt::Key_D), 1);
        e.SetSelStart(0);
        QCOMPARE(tasto(Qt::Key_Delete), 2);
        QCOMPARE(tasto(Qt::Key_Z, Qt::ControlModifier), 3);
        QCOMPARE(e.Text(), u"abcd"_s);
        QCOMPARE(tasto(Qt::Key_Right), 3);
    }

    // The span write leaves the document exactly as the whole write does, is one
    // step that undo takes back to the text before it, and redo brings back.
    // (The edit list itself is checked on thousands of cases in test_modifichetesto.)
    void scritturaAnnullabileComeScritturaIntera_data()
    {
        QTest::addColumn<QString>("grezzo");
        QTest::addColumn<QString>("nuovo");
        QTest::newRow("invariato") << u"If a\r\nEnd If"_s << u"If a\nEnd If"_s;
        QTest::newRow("una parola") << u"If a\r\nEnd If"_s << u"If a\r\nEnd Se"_s;
        QTest::newRow("piu righe, a capo tenuti") << u"a b\r\na\rba"_s << u"bè b\r\n\nbbè"_s;
        QTest::newRow("righe aggiunte") << u"a\r\nb"_s << u"a\r\nx\ry\nz\r\nb"_s;
        QTest::newRow("righe unite") << u"a\r\nb\r\nc"_s << u"abc"_s;
        QTest::newRow("separatori") << u"a\u2029b\uFDD1c\u2028"_s << u"a\rb\u2029c\u2028d\uFDD0"_s;
        QTest::newRow("da vuoto") << QString() << u"a\nb"_s;
        QTest::newRow("a vuoto") << u"a\r\nb"_s << QString();
        QTest::newRow("tutto diverso") << u"ab\r\n"_s << u"\n\rè"_s;
    }

    void scritturaAnnullabileComeScritturaIntera()
    {
        QFETCH(QString, grezzo);
        QFETCH(QString, nuovo);
        EditorTesto e, riferimento;
        QSignalSpy cambiato(&e, &EditorTesto::TestoCambiato);
        e.SetText(grezzo);
        const QString prima = e.Text();
        QCOMPARE(prima, e.document()->toRawText().replace(QChar::ParagraphSeparator, u"\r\n"_s));
        e.SetSelStart(e.Lunghezza());
        riferimento.SetText(nuovo);
        e.SostituisciTesto(nuovo);
        QCOMPARE(e.Text(), riferimento.Text());
        QCOMPARE(e.document()->toRawText(), riferimento.document()->toRawText());
        QCOMPARE(e.SelStart(), 0);
        QCOMPARE(cambiato.count(), 0);
        if (prima == riferimento.Text()) {
            QVERIFY(!e.document()->isUndoAvailable());
            return;
        }
        e.undo();
        QCOMPARE(e.Text(), prima);
        QVERIFY(!e.document()->isUndoAvailable());
        QVERIFY(cambiato.count() > 0);
        e.redo();
        QCOMPARE(e.Text(), riferimento.Text());
    }

    // Typing, a selection write and a whole-text write are three steps, taken
    // back one at a time; a whole write clears them all.
    void ogniOperazioneUnPasso()
    {
        EditorTesto e;
        e.SetText(u"If a\r\nEnd If"_s);
        e.SetSelStart(e.Lunghezza());
        QTest::keyClicks(&e, u"xy"_s);
        e.SetSelStart(0);
        e.SetSelLength(2);
        QVERIFY(e.SostituisciSelezione(u"Se"_s));
        // Typing right after the replaced word is a step of its own.
        e.SetSelStart(2);
        QTest::keyClick(&e, Qt::Key_Z);
        e.undo();
        QCOMPARE(e.Text(), u"Se a\r\nEnd Ifxy"_s);
        e.SostituisciTesto(u"Se a\r\nFine Sexy"_s);
        QCOMPARE(e.Text(), u"Se a\r\nFine Sexy"_s);
        const QStringList attesi = {u"Se a\r\nEnd Ifxy"_s, u"If a\r\nEnd Ifxy"_s,
                                    u"If a\r\nEnd If"_s};
        for (const QString &atteso : attesi) {
            e.undo();
            QCOMPARE(e.Text(), atteso);
        }
        QVERIFY(!e.document()->isUndoAvailable());
        for (int i = 0; i < 3; ++i)
            e.redo();
        QCOMPARE(e.Text(), u"Se a\r\nFine Sexy"_s);
        // Typing right after the last rewritten character is a step of its own,
        // whether the write ends in a new line, in a changed line or joins lines.
        for (const QString &scritto :
             {u"Se a\r\nFine Sexy\r\nFine"_s, u"Se b\r\nFine Sexy\r\nFinez"_s, u"Se bw"_s}) {
            e.SostituisciTesto(scritto);
            e.SetSelStart(e.Lunghezza());
            QTest::keyClick(&e, Qt::Key_Z);
            e.undo();
            QCOMPARE(e.Text(), scritto);
        }
        e.SetText(u"nuovo"_s);
        QVERIFY(!e.document()->isUndoAvailable());
        QVERIFY(!e.document()->isRedoAvailable());
    }

    void scorciatoieRiservateAlMenu()
    {
        QWidget finestra;
        auto *e = new EditorTesto(&finestra);
        QAction azione(&finestra);
        azione.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
        finestra.addAction(&azione);
        e->RiservaScorciatoie({azione.shortcut()});
        QSignalSpy scelta(&azione, &QAction::triggered);
        finestra.show();
        e->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&finestra));
        e->SetText(u"abc"_s);
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(scelta.count(), 1);
        QCOMPARE(e->SelLength(), 0); // not "select all"
        // The keypad's key is the menu's too, and types nothing.
        azione.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Plus));
        e->RiservaScorciatoie({azione.shortcut()});
        QTest::keyClick(e, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(scelta.count(), 2);
        QCOMPARE(e->Text(), u"abc"_s);
    }

    // The walk's occurrence lands mid-view with context around it, wherever it is.
    void selezioneCentrata_data()
    {
        QTest::addColumn<int>("riga");
        QTest::addColumn<bool>("centrata");
        QTest::newRow("middle of the text") << 100 << true;
        QTest::newRow("below the first screen") << 40 << true;
        QTest::newRow("above the current view") << 60 << true;
        QTest::newRow("first line: at the top, nothing above") << 0 << false;
    }
    void selezioneCentrata()
    {
        QFETCH(int, riga);
        QFETCH(bool, centrata);
        EditorTesto e;
        e.resize(400, 300);
        e.show();
        QStringList righe;
        for (int i = 0; i < 200; ++i)
            righe.append(u"riga %1 Dim x"_s.arg(i));
        e.SetText(righe.join(u"\r\n"_s));
        // Start from a view scrolled elsewhere: far down the text.
        e.SetSelStart(e.Lunghezza());
        e.ensureCursorVisible();
        e.SetSelStart(e.Text().indexOf(u"riga %1 "_s.arg(riga)) + 8);
        e.SetSelLength(3);
        e.CentraSelezione();
        const int altezzaRiga = e.fontMetrics().height();
        const int y = e.cursorRect().center().y();
        if (centrata)
            QVERIFY2(qAbs(y - e.viewport()->height() / 2) <= altezzaRiga,
                     qPrintable(u"y %1 of %2"_s.arg(y).arg(e.viewport()->height())));
        else
            QVERIFY(y < altezzaRiga);
        QCOMPARE(e.RigaCursore(), riga + 1);
    }

    // The stretches a run changed stay marked, as whole words, until the next edit.
    void segniDellaScrittura_data()
    {
        QTest::addColumn<QString>("vecchio");
        QTest::addColumn<QString>("nuovo");
        QTest::addColumn<QString>("segni"); // start+length, in CR LF offsets
        QTest::newRow("one word a line") << u"Dim a\r\nx = 1\r\nDim b"_s
                                         << u"Dichiara a\r\nx = 1\r\nDichiara b"_s << u"0+8 19+8"_s;
        QTest::newRow("a word that shrinks") << u"x Then y"_s << u"x Allora y"_s << u"2+6"_s;
        QTest::newRow("a removed word leaves no mark") << u"a Call b"_s << u"a b"_s << u""_s;
        QTest::newRow("nothing changed") << u"a b"_s << u"a b"_s << u""_s;
    }
    void segniDellaScrittura()
    {
        QFETCH(QString, vecchio);
        QFETCH(QString, nuovo);
        QFETCH(QString, segni);
        EditorTesto e;
        e.SetText(vecchio);
        e.SostituisciTesto(nuovo, true);
        QStringList trovati;
        for (const auto &[inizio, lunghezza] : e.Segnati())
            trovati.append(u"%1+%2"_s.arg(inizio).arg(lunghezza));
        QCOMPARE(trovati.join(u' '), segni);
        QCOMPARE(e.Text(), nuovo);
        // Gone at the first edit; a plain whole-text write marks nothing.
        e.SetSelStart(0);
        e.SetSelText(u"z"_s);
        QVERIFY(e.Segnati().isEmpty());
        e.SostituisciTesto(vecchio);
        QVERIFY(e.Segnati().isEmpty());
    }

    // Comments and strings of the text's language in their own colour; none
    // for a text with no language.
    void commentiEStringheColorati_data()
    {
        QTest::addColumn<int>("linguaggio");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("colorati"); // line:start+length
        QTest::newRow("BASIC") << int(Linguaggio::Basic) << u"x = 1 ' nota\r\ny = \"s\" & z"_s
                               << u"0:6+6 1:4+3"_s;
        QTest::newRow("C, a comment over two lines")
            << int(Linguaggio::C) << u"a /* b\r\nc */ d"_s << u"0:2+4 1:0+4"_s;
        QTest::newRow("no language") << int(Linguaggio::Nessuno) << u"x = 1 ' nota"_s << u""_s;
    }
    void commentiEStringheColorati()
    {
        QFETCH(int, linguaggio);
        QFETCH(QString, testo);
        QFETCH(QString, colorati);
        EditorTesto e;
        e.SetText(testo);
        TipoTesto tipo;
        tipo.linguaggio = Linguaggio(linguaggio);
        e.ImpostaLinguaggio(tipo);
        QStringList trovati;
        for (QTextBlock b = e.document()->begin(); b.isValid(); b = b.next())
            for (const QTextLayout::FormatRange &f : b.layout()->formats())
                trovati.append(u"%1:%2+%3"_s.arg(b.blockNumber()).arg(f.start).arg(f.length));
        QCOMPARE(trovati.join(u' '), colorati);
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
