// The remaining-time estimate and its remarks.

#include "nucleo/pseudocodifica/Stima.h"

#include <QTest>

class TestStima : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tabella_data()
    {
        QTest::addColumn<double>("durata");
        QTest::addColumn<int>("rimanenti");
        QTest::addColumn<int>("atteso");
        QTest::addColumn<QString>("commento");
        const QString invariato = QStringLiteral("(invariato)");
        QTest::newRow("2.5 s × 7") << 2.5 << 7 << 18 << QStringLiteral("Ha finito ormai!");
        QTest::newRow("4 s × 5") << 4.0 << 5 << 20 << invariato;
        QTest::newRow("metà verso il pari") << 0.5 << 5 << 2 << QStringLiteral("Ha finito ormai!");
        QTest::newRow("21") << 3.0 << 7 << 21 << QStringLiteral("Un minutino ancora...");
        QTest::newRow("100") << 10.0 << 10 << 100 << invariato;
        QTest::newRow("150") << 15.0 << 10 << 150 << QStringLiteral("Tre minuti ancora, dai...");
        QTest::newRow("250") << 25.0 << 10 << 250
                             << QStringLiteral("C'è tempo per guardarsi il giornale...");
        QTest::newRow("300") << 30.0 << 10 << 300 << invariato;
        QTest::newRow("350") << 35.0 << 10 << 350 << QStringLiteral("Non passa più, avvisato!");
        QTest::newRow("400") << 40.0 << 10 << 400 << invariato;
        QTest::newRow("401") << 40.1 << 10 << 401
                             << QStringLiteral("Disabilita lo ScreenSaver e fai qualcos'altro!!!");
        QTest::newRow("fine") << 3.0 << 0 << 0 << QStringLiteral("Ha finito ormai!");
        QTest::newRow("oltre 16 bit")
            << 1000.0 << 100 << 32767
            << QStringLiteral("Disabilita lo ScreenSaver e fai qualcos'altro!!!");
    }
    void tabella()
    {
        QFETCH(double, durata);
        QFETCH(int, rimanenti);
        QFETCH(int, atteso);
        QFETCH(QString, commento);
        const qint16 E = Stima::TempoRimanente(100.0, 100.0 + durata, rimanenti);
        QCOMPARE(int(E), atteso);
        QCOMPARE(Stima::TestoTempo(E), QString::number(atteso) + QStringLiteral(" secondi"));
        QCOMPARE(Stima::Commento(E, QStringLiteral("(invariato)")), commento);
    }

    void mezzanotte()
    {
        // 86399.5 → 0.5 the next day: one second for the word.
        QCOMPARE(int(Stima::TempoRimanente(86399.5, 0.5, 3)), 3);
    }
};

QTEST_GUILESS_MAIN(TestStima)
#include "test_stima.moc"
