// The real message box behind the scripted one: Italian buttons, Esc, the answer.

#include "platform/Piattaforma.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Piattaforma;

class TestPiattaforma : public QObject
{
    Q_OBJECT

    // Shows a real box; `azione` acts on it once it is up.
    static Risposta Mostra(Pulsanti pulsanti, std::function<void(QMessageBox *)> azione)
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
        return MessageBox(nullptr, QStringLiteral("Testo"), pulsanti, Icona::Esclamazione,
                          QStringLiteral("Titolo"));
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
    void initTestCase() { Copione::Disattiva(); }

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
        QCOMPARE(visti, (QStringList{QStringLiteral("Annulla"), QStringLiteral("No"),
                                     QStringLiteral("Sì")}));
        QCOMPARE(Mostra(Pulsanti::OKAnnulla,
                        [&](QMessageBox *box) {
                            visti = Testi(box);
                            box->button(QMessageBox::Ok)->click();
                        }),
                 Risposta::OK);
        QCOMPARE(visti, (QStringList{QStringLiteral("Annulla"), QStringLiteral("OK")}));
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

    void twip()
    {
        // 1440 twips are one inch at the screen's logical resolution.
        const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
        QCOMPARE(Pixel(1440), qRound(dpi));
        QCOMPARE(Twip(Pixel(2880)), 2880);
    }
};

QTEST_MAIN(TestPiattaforma)
#include "test_piattaforma.moc"
