// The real message box and modal window behind the scripted ones: Italian
// buttons, Esc, the answer, the window's own loop.

#include "aiuti/Tabella.h"
#include "piattaforma/Icone.h"
#include "piattaforma/Piattaforma.h"
#include "piattaforma/PosizioneFinestra.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace Piattaforma;
using namespace Qt::StringLiterals;

class TestPiattaforma : public QObject
{
    Q_OBJECT

    // Shows a real box; `azione` acts on it once it is up.
    static Risposta Mostra(Pulsanti pulsanti, std::function<void(QMessageBox *)> azione,
                           const QString &testo = u"Testo"_s)
    {
        QTimer::singleShot(0, [azione] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            azione(box);
        });
        // Should the action fail, the box still closes: a test never hangs on it.
        QObject sicurezza;
        QTimer::singleShot(5000, &sicurezza, [] {
            if (QWidget *aperta = QApplication::activeModalWidget()) aperta->close();
        });
        return MessageBox(nullptr, testo, pulsanti, Icona::Esclamazione, u"Titolo"_s);
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

    // Italian buttons, each way of answering: a click, an access key, Esc, Enter.
    void risposte_data()
    {
        // testi: of the buttons, sorted
        // azione: keys, or "clic " and a button's text
        Colonne<Pulsanti, QStringList, QString, Risposta>("pulsanti", "testi", "azione", "attesa");
        const QStringList sna{"&Annulla", "&No", "&Sì"}, sn{"&No", "&Sì"}, oa{"&Annulla", "OK"};
        Riga("clic su &No", Pulsanti::SiNoAnnulla, sna, u"clic &No"_s, Risposta::No);
        Riga("clic su OK", Pulsanti::OKAnnulla, oa, u"clic OK"_s, Risposta::OK);
        Riga("Alt+S", Pulsanti::SiNoAnnulla, sna, u"Alt+S"_s, Risposta::Si);
        Riga("Alt+N", Pulsanti::SiNoAnnulla, sna, u"Alt+N"_s, Risposta::No);
        Riga("Alt+A", Pulsanti::SiNoAnnulla, sna, u"Alt+A"_s, Risposta::Annulla);
        Riga("Alt+N, Sì e No", Pulsanti::SiNo, sn, u"Alt+N"_s, Risposta::No);
        Riga("Alt+A, OK e Annulla", Pulsanti::OKAnnulla, oa, u"Alt+A"_s, Risposta::Annulla);
        Riga("Esc", Pulsanti::SiNoAnnulla, sna, u"Esc"_s, Risposta::Annulla);
        Riga("Esc, Sì e No", Pulsanti::SiNo, sn, u"Esc"_s, Risposta::No);
        Riga("Invio, Sì e No", Pulsanti::SiNo, sn, u"Return"_s, Risposta::Si);
        // The import question: Enter adds, which loses nothing.
        const QStringList sag{"&Aggiungi in fondo", "&Sostituisci le righe", "A&nnulla"};
        Riga("Invio aggiunge in fondo", Pulsanti::SostituisciAggiungi, sag, u"Return"_s,
             Risposta::No);
        Riga("Alt+S sostituisce", Pulsanti::SostituisciAggiungi, sag, u"Alt+S"_s, Risposta::Si);
        Riga("Alt+A aggiunge", Pulsanti::SostituisciAggiungi, sag, u"Alt+A"_s, Risposta::No);
        Riga("Alt+N annulla", Pulsanti::SostituisciAggiungi, sag, u"Alt+N"_s, Risposta::Annulla);
        Riga("Esc annulla", Pulsanti::SostituisciAggiungi, sag, u"Esc"_s, Risposta::Annulla);
    }
    void risposte()
    {
        const auto [pulsanti, testi, azione, attesa] =
            DatiRiga<Pulsanti, QStringList, QString, Risposta>("pulsanti", "testi", "azione",
                                                               "attesa");
        QString mostrato; // title, text and icon
        QStringList visti;
        const auto rispondi = [&](QMessageBox *box) {
            mostrato =
                box->windowTitle() + u'|' + box->text() + u'|' + QString::number(box->icon());
            QAbstractButton *cliccato = nullptr;
            for (QAbstractButton *b : box->buttons()) {
                visti.append(b->text());
                if (u"clic "_s + b->text() == azione) cliccato = b;
            }
            box->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), box);
            if (cliccato)
                cliccato->click();
            else
                QTest::keySequence(box, QKeySequence(azione));
            // An access key clicks its button after a short animation.
            QTRY_VERIFY_WITH_TIMEOUT(!box->isVisible(), 2000);
        };
        QCOMPARE(Mostra(pulsanti, rispondi), attesa);
        QCOMPARE(mostrato, u"Titolo|Testo|"_s + QString::number(QMessageBox::Warning));
        visti.sort();
        QCOMPARE(visti, testi);
    }

    // The pictures are drawn at the size and scale asked for: at 200% a
    // 16-pixel icon has 32 pixels of its own, not 16 stretched.
    void iconeNitide_data()
    {
        Colonne<QIcon, int>("icona", "lato");
        Riga("programma", Icone::Programma(), 32);
        Riga("riga", Icone::Riga(), 16);
        Riga("freccia", Icone::FrecciaSu(), 24);
        Riga("pseudo", Icone::Pseudo(), 48);
    }
    void iconeNitide()
    {
        const auto [icona, lato] = DatiRiga<QIcon, int>("icona", "lato");
        for (const qreal scala : {1.0, 1.5, 2.0}) {
            const QPixmap immagine = icona.pixmap(QSize(lato, lato), scala);
            QCOMPARE(immagine.size(), (QSizeF(lato, lato) * scala).toSize());
            QCOMPARE(immagine.devicePixelRatio(), scala);
            // Drawn at that size: scaled down again it is the picture at 100%
            // within rounding, and it holds more detail than that one stretched.
            const QImage grande = immagine.toImage();
            const QImage piccola = icona.pixmap(QSize(lato, lato), 1.0).toImage();
            QVERIFY(!grande.isNull() && !piccola.isNull());
            if (scala == 2.0) {
                const QImage stirata = piccola.scaled(grande.size());
                QVERIFY(grande.convertToFormat(QImage::Format_ARGB32) !=
                        stirata.convertToFormat(QImage::Format_ARGB32));
            }
        }
    }

    // A name chosen to save under gets the dialog's extension only when it has none.
    void suffisso_data()
    {
        Colonne<QString, QString, QString>("suffisso", "scelto", "atteso");
        Riga("senza estensione", u"txt"_s, u"/d/elenco-c"_s, u"/d/elenco-c.txt"_s);
        Riga("con la sua", u"txt"_s, u"/d/elenco.csv"_s, u"/d/elenco.csv"_s);
        Riga("gia' .txt", u"txt"_s, u"/d/elenco.txt"_s, u"/d/elenco.txt"_s);
        Riga("punto nella cartella", u"txt"_s, u"/d.x/elenco"_s, u"/d.x/elenco.txt"_s);
        Riga("nessun suffisso", QString(), u"/d/elenco"_s, u"/d/elenco"_s);
    }
    void suffisso()
    {
        const auto [suffisso, scelto, atteso] =
            DatiRiga<QString, QString, QString>("suffisso", "scelto", "atteso");
        DialogoFile dialogo;
        dialogo.ImpostaSuffisso(suffisso);
        QCOMPARE(dialogo.ConSuffisso(scelto), atteso);
    }

    void testoSemplice()
    {
        // What the user typed is shown as typed, never read as markup.
        const QString digitato = u"Esiste già '<b>x</b> & <i>y' nella lista!"_s;
        Qt::TextFormat formato = Qt::AutoText;
        QString mostrato;
        Mostra(
            Pulsanti::OK,
            [&](QMessageBox *box) {
                formato = box->textFormat();
                if (auto *etichetta = box->findChild<QLabel *>(u"qt_msgbox_label"_s))
                    mostrato = etichetta->text() + QString::number(etichetta->textFormat());
                box->button(QMessageBox::Ok)->click();
            },
            digitato);
        QCOMPARE(formato, Qt::PlainText);
        QCOMPARE(mostrato, digitato + QString::number(Qt::PlainText));
    }

    void posizioneLibera_data()
    {
        // A 1000 × 800 screen, the window 4 pixels away from the selection.
        Colonne<QRect, QRect, QPoint>("finestra", "selezione", "attesa");
        Riga("non copre", QRect(100, 100, 200, 100), QRect(400, 400, 50, 15), QPoint(100, 100));
        Riga("selezione vuota", QRect(100, 100, 200, 100), QRect(), QPoint(100, 100));
        Riga("sotto, più vicino", QRect(100, 300, 200, 100), QRect(150, 320, 50, 15),
             QPoint(100, 339));
        Riga("sopra, più vicino", QRect(100, 300, 200, 100), QRect(150, 390, 50, 15),
             QPoint(100, 286));
        Riga("sotto non c'è posto", QRect(100, 650, 200, 100), QRect(150, 700, 50, 15),
             QPoint(100, 596));
        Riga("sopra non c'è posto", QRect(100, 0, 200, 100), QRect(150, 50, 50, 15),
             QPoint(100, 69));
        Riga("oltre il bordo destro", QRect(900, 300, 200, 100), QRect(950, 320, 40, 15),
             QPoint(800, 339));
        Riga("posto da nessuna parte", QRect(100, 50, 200, 700), QRect(150, 300, 50, 15),
             QPoint(100, 100));
    }
    void posizioneLibera()
    {
        const auto [finestra, selezione, attesa] =
            DatiRiga<QRect, QRect, QPoint>("finestra", "selezione", "attesa");
        QCOMPARE(PosizioneFinestra::Libera(finestra, selezione, QRect(0, 0, 1000, 800), 4), attesa);
    }

    void twip_data()
    {
        // ritorno: Twip(pixel)
        Colonne<int, int, int>("twip", "pixel", "ritorno");
        Riga("un pollice", 1440, 96, 1440);
        Riga("pulsante", 375, 25, 375);
        Riga("etichetta", 255, 17, 255);
        Riga("dialogo", 6195, 413, 6195);
        Riga("sotto mezzo pixel", 7, 0, 0);
        Riga("sopra mezzo pixel", 8, 1, 15);
        Riga("zero", 0, 0, 0);
    }
    void twip()
    {
        const auto [twip, pixel, ritorno] = DatiRiga<int, int, int>("twip", "pixel", "ritorno");
        // The offscreen screen has 96 logical dots per inch: 15 twips a pixel.
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
        QCOMPARE(Pixel(twip), pixel);
        QCOMPARE(Twip(pixel), ritorno);
    }
};

QTEST_MAIN(TestPiattaforma)
#include "test_piattaforma.moc"
