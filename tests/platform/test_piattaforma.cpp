// The real message box and modal window behind the scripted ones: Italian
// buttons, Esc, the answer, the window's own loop.

#include "platform/Piattaforma.h"
#include "platform/PosizioneFinestra.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace Piattaforma;

class TestPiattaforma : public QObject
{
    Q_OBJECT

    // Shows a real box; `azione` acts on it once it is up.
    static Risposta Mostra(Pulsanti pulsanti, std::function<void(QMessageBox *)> azione,
                           const QString &testo = QStringLiteral("Testo"))
    {
        QTimer::singleShot(0, [azione] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            azione(box);
        });
        // Should the action fail, the box still closes: a test never hangs on it.
        QTimer sicurezza;
        sicurezza.setSingleShot(true);
        QObject::connect(&sicurezza, &QTimer::timeout, [] {
            if (QWidget *aperta = QApplication::activeModalWidget()) aperta->close();
        });
        sicurezza.start(5000);
        return MessageBox(nullptr, testo, pulsanti, Icona::Esclamazione, QStringLiteral("Titolo"));
    }

    static QStringList Testi(QMessageBox *box)
    {
        QStringList testi;
        for (QAbstractButton *b : box->buttons())
            testi.append(b->text());
        testi.sort();
        return testi;
    }

private Q_SLOTS:
    void finestraModale()
    {
        // With no answerer installed a modal window runs its own loop until it closes.
        QDialog finestra;
        bool modale = false;
        QTimer::singleShot(0, &finestra, [&] {
            modale = QApplication::activeModalWidget() == &finestra;
            finestra.done(7);
        });
        QCOMPARE(MostraModale(&finestra), 7);
        QVERIFY(modale);
    }

    void pulsantiItaliani()
    {
        QStringList visti;
        QCOMPARE(Mostra(Pulsanti::SiNoAnnulla,
                        [&](QMessageBox *box) {
                            visti = Testi(box);
                            QCOMPARE(box->windowTitle(), QStringLiteral("Titolo"));
                            QCOMPARE(box->text(), QStringLiteral("Testo"));
                            QCOMPARE(box->icon(), QMessageBox::Warning);
                            box->button(QMessageBox::No)->click();
                        }),
                 Risposta::No);
        QCOMPARE(visti, (QStringList{QStringLiteral("&Annulla"), QStringLiteral("&No"),
                                     QStringLiteral("&Sì")}));
        QCOMPARE(Mostra(Pulsanti::OKAnnulla,
                        [&](QMessageBox *box) {
                            visti = Testi(box);
                            box->button(QMessageBox::Ok)->click();
                        }),
                 Risposta::OK);
        QCOMPARE(visti, (QStringList{QStringLiteral("&Annulla"), QStringLiteral("OK")}));
    }

    void tastiDiAccesso_data()
    {
        QTest::addColumn<Pulsanti>("pulsanti");
        QTest::addColumn<int>("tasto");
        QTest::addColumn<Risposta>("attesa");
        QTest::newRow("Alt+S") << Pulsanti::SiNoAnnulla << int(Qt::Key_S) << Risposta::Si;
        QTest::newRow("Alt+N") << Pulsanti::SiNoAnnulla << int(Qt::Key_N) << Risposta::No;
        QTest::newRow("Alt+A") << Pulsanti::SiNoAnnulla << int(Qt::Key_A) << Risposta::Annulla;
        QTest::newRow("Alt+N, Sì e No") << Pulsanti::SiNo << int(Qt::Key_N) << Risposta::No;
        QTest::newRow("Alt+A, OK e Annulla")
            << Pulsanti::OKAnnulla << int(Qt::Key_A) << Risposta::Annulla;
    }

    void tastiDiAccesso()
    {
        QFETCH(Pulsanti, pulsanti);
        QFETCH(int, tasto);
        QFETCH(Risposta, attesa);
        QCOMPARE(Mostra(pulsanti,
                        [tasto](QMessageBox *box) {
                            box->activateWindow();
                            QTRY_COMPARE(QApplication::activeWindow(), box);
                            QTest::keyClick(box, Qt::Key(tasto), Qt::AltModifier);
                            // The key clicks its button after a short animation.
                            QTRY_VERIFY_WITH_TIMEOUT(!box->isVisible(), 2000);
                        }),
                 attesa);
    }

    void testoSemplice()
    {
        // What the user typed is shown as typed, never read as markup.
        const QString digitato = QStringLiteral("Esiste già '<b>x</b> & <i>y' nella lista!");
        Qt::TextFormat formato = Qt::AutoText;
        QString mostrato;
        Mostra(
            Pulsanti::OK,
            [&](QMessageBox *box) {
                formato = box->textFormat();
                if (auto *etichetta = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
                    mostrato = etichetta->text() + QString::number(etichetta->textFormat());
                box->button(QMessageBox::Ok)->click();
            },
            digitato);
        QCOMPARE(formato, Qt::PlainText);
        QCOMPARE(mostrato, digitato + QString::number(Qt::PlainText));
    }

    void escEInvio()
    {
        QCOMPARE(Mostra(Pulsanti::SiNoAnnulla,
                        [](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); }),
                 Risposta::Annulla);
        QCOMPARE(
            Mostra(Pulsanti::SiNo, [](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); }),
            Risposta::No);
        QCOMPARE(
            Mostra(Pulsanti::SiNo, [](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Return); }),
            Risposta::Si);
    }

    void posizioneLibera_data()
    {
        // A 1000 × 800 screen, the window 4 pixels away from the selection.
        QTest::addColumn<QRect>("finestra");
        QTest::addColumn<QRect>("selezione");
        QTest::addColumn<QPoint>("attesa");
        QTest::newRow("non copre")
            << QRect(100, 100, 200, 100) << QRect(400, 400, 50, 15) << QPoint(100, 100);
        QTest::newRow("selezione vuota")
            << QRect(100, 100, 200, 100) << QRect() << QPoint(100, 100);
        QTest::newRow("sotto, più vicino")
            << QRect(100, 300, 200, 100) << QRect(150, 320, 50, 15) << QPoint(100, 339);
        QTest::newRow("sopra, più vicino")
            << QRect(100, 300, 200, 100) << QRect(150, 390, 50, 15) << QPoint(100, 286);
        QTest::newRow("sotto non c'è posto")
            << QRect(100, 650, 200, 100) << QRect(150, 700, 50, 15) << QPoint(100, 596);
        QTest::newRow("sopra non c'è posto")
            << QRect(100, 0, 200, 100) << QRect(150, 50, 50, 15) << QPoint(100, 69);
        QTest::newRow("oltre il bordo destro")
            << QRect(900, 300, 200, 100) << QRect(950, 320, 40, 15) << QPoint(800, 339);
        QTest::newRow("posto da nessuna parte")
            << QRect(100, 50, 200, 700) << QRect(150, 300, 50, 15) << QPoint(100, 100);
    }

    void posizioneLibera()
    {
        QFETCH(QRect, finestra);
        QFETCH(QRect, selezione);
        QFETCH(QPoint, attesa);
        QCOMPARE(PosizioneFinestra::Libera(finestra, selezione, QRect(0, 0, 1000, 800), 4), attesa);
    }

    void twip_data()
    {
        QTest::addColumn<int>("twip");
        QTest::addColumn<int>("pixel");
        QTest::addColumn<int>("ritorno"); // Twip(pixel)
        QTest::newRow("un pollice") << 1440 << 96 << 1440;
        QTest::newRow("pulsante") << 375 << 25 << 375;
        QTest::newRow("etichetta") << 255 << 17 << 255;
        QTest::newRow("dialogo") << 6195 << 413 << 6195;
        QTest::newRow("sotto mezzo pixel") << 7 << 0 << 0;
        QTest::newRow("sopra mezzo pixel") << 8 << 1 << 15;
        QTest::newRow("zero") << 0 << 0 << 0;
    }

    void twip()
    {
        QFETCH(int, twip);
        QFETCH(int, pixel);
        QFETCH(int, ritorno);
        // The offscreen screen has 96 logical dots per inch: 15 twips a pixel.
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
        QCOMPARE(Pixel(twip), pixel);
        QCOMPARE(Twip(pixel), ritorno);
    }
};

QTEST_MAIN(TestPiattaforma)
#include "test_piattaforma.moc"
