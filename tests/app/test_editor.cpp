// The editor control: CR LF offsets, whole-text writes, what counts as a change.

#include "app/EditorTesto.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

class TestEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void testoConAcapoDiOgniTipo()
    {
        EditorTesto e;
        e.SetText(QStringLiteral("a\r\nb\nc\rd\r\n\r\n"));
        QCOMPARE(e.Text(), QStringLiteral("a\r\nb\r\nc\r\nd\r\n\r\n"));
        QCOMPARE(e.document()->blockCount(), 6);
        e.SetText(QStringLiteral("\r"));
        QCOMPARE(e.Text(), QStringLiteral("\r\n"));
        e.SetText(QString());
        QCOMPARE(e.Text(), QString());
        // Characters Qt's plain-text export would turn into spaces stay as they are.
        e.SetText(QStringLiteral("a\u00a0b\tc"));
        QCOMPARE(e.Text(), QStringLiteral("a\u00a0b\tc"));
    }

    void offsetCrLf()
    {
        EditorTesto e;
        e.SetText(QStringLiteral("ab\r\ncd"));
        e.SetSelStart(4);
        e.SetSelLength(1);
        QCOMPARE(e.SelText(), QStringLiteral("c"));
        QCOMPARE(e.SelStart(), 4);
        QCOMPARE(e.SelLength(), 1);
        // An offset between the CR and the LF counts as the end of the line.
        e.SetSelStart(3);
        QCOMPARE(e.SelStart(), 2);
        e.SetSelLength(3);
        QCOMPARE(e.SelText(), QStringLiteral("\r\nc"));

        e.SetText(QStringLiteral("uno\r\ndue\r\ntre\r\nquattro"));
        e.SetSelStart(1);
        e.SetSelLength(16);
        QCOMPARE(e.SelText(), QStringLiteral("no\r\ndue\r\ntre\r\nqu"));
        QCOMPARE(e.SelStart(), 1);
        QCOMPARE(e.SelLength(), 16);
        e.SetSelText(QStringLiteral("X\r\nY"));
        QCOMPARE(e.Text(), QStringLiteral("uX\r\nYattro"));
        QCOMPARE(e.SelStart(), 5);
        QCOMPARE(e.SelLength(), 0);
    }

    // Random texts and selections against plain string arithmetic on Text().
    void selezioneContoModello()
    {
        QRandomGenerator gen(7);
        EditorTesto e;
        const QString alfabeto = QStringLiteral("ab \n\n\rè");
        for (int caso = 0; caso < 400; ++caso) {
            QString grezzo;
            for (int i = int(gen.bounded(40)); i > 0; --i)
                grezzo.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
            e.SetText(grezzo);
            const QString t = e.Text();
            QVERIFY(!t.contains(QRegularExpression(QStringLiteral("\r(?!\n)|(?<!\r)\n"))));
            // Offsets that are not between a CR and its LF.
            QList<qsizetype> validi;
            for (qsizetype i = 0; i <= t.size(); ++i)
                if (!(i > 0 && t[i - 1] == QLatin1Char('\r'))) validi.append(i);
            for (int k = 0; k < 10; ++k) {
                qsizetype a = validi[gen.bounded(int(validi.size()))];
                qsizetype b = validi[gen.bounded(int(validi.size()))];
                if (a > b) std::swap(a, b);
                e.SetSelStart(a);
                e.SetSelLength(b - a);
                QCOMPARE(e.SelStart(), a);
                QCOMPARE(e.SelLength(), b - a);
                QCOMPARE(e.SelText(), t.mid(a, b - a));
            }
        }
    }

    void cambiamentiDellUtente()
    {
        EditorTesto e;
        QSignalSpy cambiato(&e, &EditorTesto::TestoCambiato);
        e.SetText(QStringLiteral("abc"));
        QCOMPARE(cambiato.count(), 0);
        e.SetSelStart(3);
        QTest::keyClick(&e, Qt::Key_D);
        QCOMPARE(cambiato.count(), 1);
        e.SetSelStart(0);
        QTest::keyClick(&e, Qt::Key_Delete);
        QCOMPARE(cambiato.count(), 2);
        QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(cambiato.count(), 3);
        QCOMPARE(e.Text(), QStringLiteral("abcd"));
        QTest::keyClick(&e, Qt::Key_Right);
        QCOMPARE(cambiato.count(), 3);
    }

    // The span write leaves the document exactly as the whole write does, is one
    // step that undo takes back to the text before it, and redo brings back.
    void scritturaAnnullabileComeScritturaIntera()
    {
        QRandomGenerator gen(11);
        const QString alfabeto = QStringLiteral("ab \r\n\r\n\n\rè\u2029");
        auto casuale = [&](int massimo) {
            QString t;
            for (int i = int(gen.bounded(massimo)); i > 0; --i)
                t.append(alfabeto[gen.bounded(int(alfabeto.size()))]);
            return t;
        };
        EditorTesto e, riferimento;
        QSignalSpy cambiato(&e, &EditorTesto::TestoCambiato);
        for (int caso = 0; caso < 600; ++caso) {
            const QString grezzo = casuale(30);
            QString nuovo = grezzo;
            if (caso % 5 == 0) {
                nuovo = casuale(30);
            } else {
                for (int n = 1 + int(gen.bounded(2)); n > 0; --n) {
                    const int da = int(gen.bounded(int(nuovo.size()) + 1));
                    nuovo.replace(da, int(gen.bounded(int(nuovo.size()) - da + 1)), casuale(5));
                }
            }
            e.SetText(grezzo);
            const QString prima = e.Text();
            e.SetSelStart(e.Lunghezza());
            riferimento.SetText(nuovo);
            e.SostituisciTesto(nuovo);
            QCOMPARE(e.Text(), riferimento.Text());
            QCOMPARE(e.document()->toRawText(), riferimento.document()->toRawText());
            QCOMPARE(e.SelStart(), 0);
            QCOMPARE(cambiato.count(), 0);
            if (prima == riferimento.Text()) {
                QVERIFY(!e.document()->isUndoAvailable());
                continue;
            }
            e.undo();
            QCOMPARE(e.Text(), prima);
            QVERIFY(!e.document()->isUndoAvailable());
            QVERIFY(cambiato.count() > 0);
            e.redo();
            QCOMPARE(e.Text(), riferimento.Text());
            cambiato.clear();
        }
    }

    // Typing, a selection write and a whole-text write are three steps, taken
    // back one at a time; a whole write clears them all.
    void ogniOperazioneUnPasso()
    {
        EditorTesto e;
        e.SetText(QStringLiteral("If a\r\nEnd If"));
        e.SetSelStart(e.Lunghezza());
        QTest::keyClicks(&e, QStringLiteral("xy"));
        e.SetSelStart(0);
        e.SetSelLength(2);
        QVERIFY(e.SostituisciSelezione(QStringLiteral("Se")));
        e.SostituisciTesto(QStringLiteral("Se a\r\nFine Sexy"));
        QCOMPARE(e.Text(), QStringLiteral("Se a\r\nFine Sexy"));
        const QStringList attesi = {QStringLiteral("Se a\r\nEnd Ifxy"),
                                    QStringLiteral("If a\r\nEnd Ifxy"),
                                    QStringLiteral("If a\r\nEnd If")};
        for (const QString &atteso : attesi) {
            e.undo();
            QCOMPARE(e.Text(), atteso);
        }
        QVERIFY(!e.document()->isUndoAvailable());
        for (int i = 0; i < 3; ++i)
            e.redo();
        QCOMPARE(e.Text(), QStringLiteral("Se a\r\nFine Sexy"));
        // Typing right after the rewritten span is a step of its own.
        e.SostituisciTesto(QStringLiteral("Se a\r\nFine Sexy\r\nFine"));
        e.SetSelStart(e.Lunghezza());
        QTest::keyClick(&e, Qt::Key_Z);
        e.undo();
        QCOMPARE(e.Text(), QStringLiteral("Se a\r\nFine Sexy\r\nFine"));
        e.SetText(QStringLiteral("nuovo"));
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
        e->SetText(QStringLiteral("abc"));
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(scelta.count(), 1);
        QCOMPARE(e->SelLength(), 0); // not "select all"
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
