// The comparison window from the Tools menu: what it compares, walking the
// changes, and closing (the alignment itself: tests/nucleo/test_confronto.cpp).

#include "aiuti/AmbienteProva.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraConfronto.h"
#include "finestre/FinestraPrincipale.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

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
};

QTEST_MAIN(TestFinestraConfronto)
#include "test_confronto.moc"
