// The program's marks, fills and syntax colours on light and dark palettes:
// text stays readable on each, and each still shows against the background.

#include "aiuti/Tabella.h"
#include "finestre/Colori.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;

namespace {
QPalette Tavolozza(QColor sfondo, QColor testo)
{
    QPalette p;
    p.setColor(QPalette::Base, sfondo);
    p.setColor(QPalette::Window, sfondo);
    p.setColor(QPalette::Text, testo);
    p.setColor(QPalette::WindowText, testo);
    return p;
}
} // namespace

class TestColori : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void Contrasto_data()
    {
        Colonne<QColor, QColor, double>("a", "b", "rapporto");
        Riga("nero su bianco", QColor(Qt::black), QColor(Qt::white), 21.0);
        Riga("uguali", QColor(0x80, 0x80, 0x80), QColor(0x80, 0x80, 0x80), 1.0);
        Riga("grigio medio su bianco", QColor(0x76, 0x76, 0x76), QColor(Qt::white), 4.54);
        Riga("l'ordine non conta", QColor(Qt::white), QColor(0x76, 0x76, 0x76), 4.54);
    }
    void Contrasto()
    {
        const auto [a, b, rapporto] = DatiRiga<QColor, QColor, double>("a", "b", "rapporto");
        QVERIFY2(std::abs(Colori::Contrasto(a, b) - rapporto) < 0.01,
                 qPrintable(QString::number(Colori::Contrasto(a, b))));
    }

    // Every fill under text, every text colour over a fill: at least 4.5:1;
    // and each fill differs from the background enough to be seen.
    void Tavolozze_data()
    {
        Colonne<QPalette>("tavolozza");
        Riga("chiara", Tavolozza(Qt::white, Qt::black));
        Riga("chiara calda", Tavolozza(QColor(0xfa, 0xf4, 0xe8), QColor(0x30, 0x30, 0x30)));
        Riga("scura", Tavolozza(QColor(0x1e, 0x1e, 0x1e), QColor(0xe0, 0xe0, 0xe0)));
        Riga("scura blu", Tavolozza(QColor(0x23, 0x26, 0x2e), QColor(0xd8, 0xde, 0xe9)));
        Riga("nera", Tavolozza(Qt::black, Qt::white));
        Riga("grigia poco contrastata",
             Tavolozza(QColor(0x60, 0x60, 0x60), QColor(0xf0, 0xf0, 0xf0)));
    }
    void Tavolozze()
    {
        const auto [p] = DatiRiga<QPalette>("tavolozza");
        const QColor sfondo = p.color(QPalette::Base), testo = p.color(QPalette::Text);
        const QList<std::pair<const char *, QColor>> riempimenti = {
            {"SegniCorsa", Colori::SegniCorsa(p)},
            {"RigaCambiata", Colori::RigaCambiata(p)},
            {"RigaAssente", Colori::RigaAssente(p)},
            {"SegnoOriginale", Colori::SegnoOriginale(p)},
            {"SegnoAttuale", Colori::SegnoAttuale(p)},
        };
        const bool leggibile = Colori::Contrasto(testo, sfondo) >= 6;
        for (const auto &[nome, colore] : riempimenti) {
            QVERIFY2(Colori::Contrasto(testo, colore) >= Colori::ContrastoMinimo, nome);
            QVERIFY2(Colori::Contrasto(Colori::Commento(p, colore), colore) >=
                         Colori::ContrastoMinimo,
                     nome);
            // Where the text leaves room, the tint shows.
            if (leggibile) QVERIFY2(Colori::Contrasto(colore, sfondo) >= 1.04, nome);
        }
        QVERIFY(Colori::Contrasto(Colori::Commento(p), sfondo) >= Colori::ContrastoMinimo);
        QVERIFY(Colori::Commento(p) != testo); // comments look different
        QVERIFY(Colori::Contrasto(Colori::Sottolineatura(p), Colori::RigaCambiata(p)) >= 3);
        QCOMPARE(Colori::Scura(p), Colori::Luminanza(sfondo) < 0.2);
    }
    // A colour that already reads is kept; one that cannot turns black or white.
    void Leggibile()
    {
        QCOMPARE(Colori::Leggibile(QColor(Qt::black), QColor(Qt::white)), QColor(Qt::black));
        const QColor chiaro = Colori::Leggibile(QColor(0x2e, 0x7d, 0x32), QColor(0x1e, 0x1e, 0x1e));
        QVERIFY(Colori::Contrasto(chiaro, QColor(0x1e, 0x1e, 0x1e)) >= 4.5);
        QVERIFY(chiaro.green() > chiaro.red()); // still green
        QVERIFY(Colori::Contrasto(Colori::Leggibile(Qt::gray, Qt::gray, 30), Qt::gray) >= 4.5);
    }
};

QTEST_MAIN(TestColori)
#include "test_colori.moc"
