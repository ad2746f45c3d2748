// The editor control: CR LF offsets, whole-text writes, what counts as a change.

#include "app/EditorTesto.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

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
