// The comparison window from the Tools menu: what it compares, walking the
// changes, and closing (the alignment itself: tests/nucleo/test_confronto.cpp).

#include "aiuti/AmbienteProva.h"
#include "finestre/Colori.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraConfronto.h"
#include "finestre/FinestraPrincipale.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

using namespace Qt::Literals::StringLiterals;

class TestFinestraConfronto : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;

private Q_SLOTS:
    void cleanup()
    {
        if (m_amb) VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
    }

    // The file as opened, or as last saved, beside the editor's text; F8 and
    // Maiusc+F8 walk the changes; "&Chiudi" and Esc both close.
    void dalMenu_data()
    {
        QTest::addColumn<bool>("salvaPrima");
        QTest::addColumn<QString>("riepilogo");
        QTest::addColumn<bool>("conEsc");
        QTest::newRow("dopo l'apertura, Chiudi") << false << u"2 righe cambiate"_s << false;
        QTest::newRow("dopo l'apertura, Esc") << false << u"2 righe cambiate"_s << true;
        QTest::newRow("dopo il salvataggio") << true << u"1 riga cambiata"_s << true;
    }
    void dalMenu()
    {
        QFETCH(bool, salvaPrima);
        QFETCH(QString, riepilogo);
        QFETCH(bool, conEsc);
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        m_amb->ScriviFile(u"prova.bas"_s, "If a Then\r\nb\r\nc\r\nd\r\n");
        FinestraPrincipale &form = m_amb->Avvia();
        form.ApriFile(m_amb->Percorso(u"prova.bas"_s));
        form.Editor()->SetText(u"Se a Allora\r\nb\r\nc\r\nd\r\n"_s);
        if (salvaPrima) {
            m_amb->Condiviso().TestoModificato = true;
            Comando(form, "azioneSalva")->trigger();
            QCOMPARE(m_amb->Condiviso().TestoOriginale, form.Editor()->Text());
        }
        form.Editor()->SetText(QString(form.Editor()->Text()).replace(u"d\r\n"_s, u"D\r\n"_s));

        Copione::QuandoModale([&](QDialog *d) {
            auto *f = qobject_cast<FinestraConfronto *>(d);
            QVERIFY(f);
            QCOMPARE(f->EtichettaRiepilogo->text(), riepilogo);
            const qsizetype primo = f->RigaCorrente();
            QCOMPARE(primo, salvaPrima ? 3 : 0);
            QTest::keyClick(f->VistaConfronto, Qt::Key_F8);
            QCOMPARE(f->RigaCorrente(), 3);
            QTest::keyClick(f->VistaConfronto, Qt::Key_F8, Qt::ShiftModifier);
            QCOMPARE(f->RigaCorrente(), primo);
            if (conEsc)
                QTest::keyClick(f->VistaConfronto, Qt::Key_Escape);
            else
                f->BottoneChiudi->click();
            QVERIFY(!f->isVisible());
        });
        Comando(form, "azioneConfronto")->trigger();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{u"FinestraConfronto"_s});
    }
    // A change far right in a long line, or after a deep indent, is reached:
    // F8 moves the text sideways until the change mark shows inside its
    // column; Maiusc+wheel and the arrows move it; tabs take their width.
    // Both text columns stay inside the view, however long the lines.
    void righeLungheERientrate_data()
    {
        QTest::addColumn<QString>("originale");
        QTest::addColumn<QString>("attuale");
        QTest::addColumn<int>("colonneMinime"); // where the mark starts, at least
        QTest::addColumn<bool>("lunga");
        const QString coda = QString(300, u'a');
        QTest::newRow("riga lunga")
            << u"If x Then\r\nb\r\nIf a <> b "_s + coda + u" Then\r\n"_s
            << u"Se x Then\r\nb\r\nIf a <> b "_s + coda + u" Allora\r\n"_s << 300 << true;
        QTest::newRow("rientro di spazi")
            << u"If x Then\r\nb\r\n"_s + QString(150, u' ') + u"ByVal x As Long\r\n"_s
            << u"Se x Then\r\nb\r\n"_s + QString(150, u' ') + u"PerValore x As Long\r\n"_s << 150
            << true;
        QTest::newRow("riga di 283 caratteri")
            << u"If x Then\r\nb\r\nIf a <> b "_s + QString(268, u'a') + u" Then\r\n"_s
            << u"Se x Then\r\nb\r\nIf a <> b "_s + QString(268, u'a') + u" Allora\r\n"_s << 278
            << true;
        QTest::newRow("rientro di tabulazioni")
            << u"If x Then\r\nb\r\n\t\t\tByVal x As Long\r\n"_s
            << u"Se x Then\r\nb\r\n\t\t\tPerValore x As Long\r\n"_s << 3 * 4 << true;
    }
    void righeLungheERientrate()
    {
        QFETCH(QString, originale);
        QFETCH(QString, attuale);
        QFETCH(int, colonneMinime);
        QFETCH(bool, lunga);
        FinestraConfronto f(originale, attuale);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QRect schermo = f.screen()->availableGeometry();
        QVERIFY(f.width() >= schermo.width() * 8 / 10);
        QVERIFY(schermo.contains(f.frameGeometry()));
        QTableView *vista = f.VistaConfronto;
        QScrollBar *barra = f.BarraOrizzontale;
        QCOMPARE(barra->maximum() > 0, lunga);
        QCOMPARE(barra->value(), 0); // opens at the lines' start
        for (int colonna : {1, 3}) {
            const QRect testo = vista->visualRect(vista->model()->index(0, colonna));
            QVERIFY2(vista->viewport()->rect().contains(testo),
                     qPrintable(QString::number(colonna)));
        }

        QCOMPARE(f.RigaCorrente(), 0);
        QTest::keyClick(vista, Qt::Key_F8);
        QCOMPARE(f.RigaCorrente(), 2);
        const QModelIndex indice = vista->model()->index(2, 1);
        QVERIFY(vista->model()
                    ->data(indice, Qt::ToolTipRole)
                    .toString()
                    .contains(attuale.contains(u"<>"_s) ? u"a &lt;&gt; b"_s : u"PerValore"_s));
        // The original side's change mark, as drawn, inside the view and its column.
        const QImage immagine = vista->viewport()->grab().toImage();
        const QRect cella = vista->visualRect(indice) & vista->viewport()->rect();
        int xSegno = -1;
        for (int x = cella.left(); x <= cella.right() && xSegno < 0; ++x)
            if (immagine.pixel(x, cella.center().y()) ==
                Colori::SegnoOriginale(vista->palette()).rgb())
                xSegno = x;
        QVERIFY(xSegno >= 0);
        const qreal avanzamento = QFontMetricsF(vista->font()).horizontalAdvance(u'x');
        QVERIFY(xSegno - vista->visualRect(indice).left() + barra->value() >=
                colonneMinime * avanzamento - 2);

        if (lunga) {
            barra->setValue(0);
            QWheelEvent rotella(QPointF(10, 10), vista->viewport()->mapToGlobal(QPointF(10, 10)),
                                QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ShiftModifier,
                                Qt::NoScrollPhase, false);
            QApplication::sendEvent(vista->viewport(), &rotella);
            QVERIFY(barra->value() > 0);
            barra->setValue(0);
            QTest::keyClick(vista, Qt::Key_Right);
            QVERIFY(barra->value() > 0);
            QTest::keyClick(vista, Qt::Key_Left);
            QCOMPARE(barra->value(), 0);
        }
    }

    // The controls above the table: the find field (Ctrl+T, typing, F3 and
    // Maiusc+F3), "Solo le righe cambiate", "A capo automatico"; "Cambiamento
    // N di M" beside the buttons; Ctrl++ and Ctrl+0; the rows hold the focus.
    void trovaFiltraACapoIngrandisci()
    {
        QString originale, attuale;
        for (int k = 0; k < 40; ++k) {
            const QString riga =
                k == 5 || k == 30 ? u"If x Then ' nota %1\r\n"_s.arg(k) : u"Print %1\r\n"_s.arg(k);
            originale += riga;
            attuale += QString(riga).replace(u"If x Then"_s, u"Se x Allora"_s);
        }
        attuale += u"Print "_s + QString(400, u'z') + u"\r\n"_s;
        AspettoConfronto aspetto;
        aspetto.Tipo.linguaggio = Linguaggio::Basic;
        FinestraConfronto f(originale, attuale, nullptr, {}, aspetto);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.focusWidget(), f.VistaConfronto);
        QCOMPARE(f.RigaCorrente(), 5);
        QCOMPARE(f.EtichettaCambiamento->text(), u"Cambiamento 1 di 3"_s);
        // The comment after the apostrophe is coloured on both sides.
        QCOMPARE(f.CommentiOriginale().value(5).size(), 1);
        QCOMPARE(f.CommentiAttuale().value(30).size(), 1);

        QTest::keyClick(f.VistaConfronto, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(f.focusWidget(), f.CampoTrova);
        QTest::keyClicks(f.CampoTrova, u"print 3"_s);
        QCOMPARE(f.RigaCorrente(), 30 + 1); // "Print 31": the first after row 5
        QTest::keyClick(f.CampoTrova, Qt::Key_F3);
        QCOMPARE(f.RigaCorrente(), 32);
        QTest::keyClick(f.CampoTrova, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(f.RigaCorrente(), 31);
        QTest::keyClick(f.CampoTrova, Qt::Key_Return);
        QCOMPARE(f.RigaCorrente(), 32);
        QVERIFY(f.isVisible()); // Enter in the field presses no button
        QTest::keyClicks(f.CampoTrova, u"nessuno"_s);
        QCOMPARE(f.EtichettaTrova->text(), u"Non trovato"_s);
        QCOMPARE(f.RigaCorrente(), 32);

        f.CasellaSoloCambiate->click();
        QCOMPARE(f.VistaConfronto->model()->rowCount(), 3);
        QCOMPARE(f.RigaCorrente(), 40); // the next change after the hidden row
        QCOMPARE(f.EtichettaCambiamento->text(), u"Cambiamento 3 di 3"_s);
        QTest::keyClick(f.VistaConfronto, Qt::Key_F8, Qt::ShiftModifier);
        QCOMPARE(f.RigaCorrente(), 30);
        f.CasellaSoloCambiate->click();
        QCOMPARE(f.VistaConfronto->model()->rowCount(), 42);
        QCOMPARE(f.RigaCorrente(), 30);

        QTableView *vista = f.VistaConfronto;
        const int altezzaRiga = vista->rowHeight(0);
        QVERIFY(f.BarraOrizzontale->maximum() > 0);
        f.CasellaACapo->click();
        QVERIFY(vista->rowHeight(40) >= 2 * altezzaRiga - 2);
        QCOMPARE(vista->rowHeight(0), altezzaRiga);
        QVERIFY(!f.BarraOrizzontale->isVisible());
        f.CasellaACapo->click();
        QCOMPARE(vista->rowHeight(40), altezzaRiga);

        const qreal normale = vista->font().pointSizeF();
        QTest::keyClick(vista, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(f.Ingrandimento(), 1);
        QCOMPARE(vista->font().pointSizeF(), normale + 1);
        QVERIFY(vista->rowHeight(0) > altezzaRiga);
        QTest::keyClick(vista, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(vista->font().pointSizeF(), normale);
        QCOMPARE(f.RigaCorrente(), 30);
    }
};

QTEST_MAIN(TestFinestraConfronto)
#include "test_confronto.moc"
