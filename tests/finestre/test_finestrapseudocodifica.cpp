// The pseudocoding run window, driven through its buttons with scripted boxes.

#include "aiuti/AmbienteProva.h"
#include "aiuti/ModelliRiferimento.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraConfronto.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraPseudocodifica.h"
#include "finestre/FinestraTrova.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Piattaforma;

namespace {

const QString Controllo =
    QStringLiteral("Verrà effettuato un controllo sul testo. Premere OK per iniziare...");
const QString NienteDaFare =
    QStringLiteral("Non sono presenti parole dell'elenco Sostituzioni in questo testo.");
const QString Finita = QStringLiteral("Pseudocodificazione terminata.");
const QString Interrotta = QStringLiteral("Pseudocodificazione interrotta dall'utente.");

// The text after applying `voci` from entry `da` on, one after the other, with the model.
QString Atteso(QString testo, const QVector<VoceSostituzione> &voci, int da = 1, int a = -1)
{
    if (a < 0) a = int(voci.size());
    for (int k = da; k <= a; ++k)
        testo = Modello::Sostituisci(testo, voci[k - 1].Trova, voci[k - 1].Sostituisci, 0, 1).testo;
    return testo;
}

// Which of Sostituisci, Successivo, Sostituisci tutto, Avvia, Salta, Chiudi and Interrompi are
// enabled, as a string of 0 and 1.
QString Abilitati(FinestraPseudocodifica *f)
{
    QString s;
    for (QPushButton *b :
         {f->BottoneSostituisci, f->BottoneSuccessivo, f->BottoneSostituisciTutto,
          f->BottoneAvviaAutomatica, f->BottoneSalta, f->BottoneChiudi, f->BottoneInterrompi})
        s.append(b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0'));
    return s;
}

} // namespace

class TestFinestraPseudocodifica : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;
    QVector<Copione::Messaggio> m_avvio; // the boxes shown by the last start

    FinestraPrincipale &Prepara(const QString &testo,
                                const QVector<VoceSostituzione> &voci = SostituzioniPredefinite())
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(voci);
        FinestraPrincipale &f = m_amb->Avvia();
        f.Editor()->SetText(testo);
        return f;
    }

    // Starts a run; `risposte` answers the boxes of the start-up check.
    FinestraPseudocodifica *Avvia(FinestraPrincipale &f, QList<Risposta> risposte = {Risposta::OK})
    {
        for (Risposta r : risposte)
            Copione::RispondiMessaggio(r);
        Comando(f, "azioneAvviaPseudocodifica")->trigger();
        m_avvio = Copione::Messaggi();
        auto *finestra = qobject_cast<FinestraPseudocodifica *>(f.FinestraPseudocodificaAperta());
        finestra->IntervalloCessione = 0;
        return finestra;
    }

    // Clicks with `ok` boxes answered OK; the texts of the boxes shown.
    static QStringList Clic(QAbstractButton *pulsante, int ok = 1)
    {
        for (int i = 0; i < ok; ++i)
            Copione::RispondiMessaggio(Risposta::OK);
        pulsante->click();
        return Copione::TestiMessaggi(Copione::Messaggi());
    }

private Q_SLOTS:
    void cleanup()
    {
        if (m_amb) VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
    }

    void controlloAnnullato()
    {
        FinestraPrincipale &f = Prepara(QStringLiteral("If a Then\r\n"));
        FinestraPseudocodifica *p = Avvia(f, {Risposta::Annulla});
        QCOMPARE(Copione::TestiMessaggi(m_avvio), QStringList{Controllo});
        QCOMPARE(m_avvio[0].pulsanti, Pulsanti::OKAnnulla);
        QCOMPARE(m_avvio[0].icona, Icona::Informazione);
        const QString annullata = QStringLiteral("Pseudocodificazione annullata");
        QCOMPARE((QStringList{p->windowTitle(), p->EtichettaParola->text(),
                              p->EtichettaSostituto->text()}),
                 QStringList(3, annullata));
        QCOMPARE(p->BarraElenco->value(), 0);
        QCOMPARE(Avanzamento(f)->value(), 0);
        QCOMPARE(f.TestoStato(), FinestraPrincipale::TestoInattivo());
        QCOMPARE(Abilitati(p), QStringLiteral("0000010"));
        QVERIFY(p->BottoneRiduciAIcona->isEnabled());
        QVERIFY(!f.isEnabled());
        QVERIFY(!HaPuntatoreOccupato(&f));

        p->BottoneChiudi->click();
        QVERIFY(f.isEnabled());
        QTRY_VERIFY(!f.FinestraPseudocodificaAperta());
    }

    // No entry of the list occurs, or the list has only records with an empty
    // word: nothing to walk, and no empty-range bar.
    void nienteDaFare_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QVector<VoceSostituzione>>("voci");
        QTest::addColumn<int>("numero");
        QTest::newRow("nessuna voce compare") << "\tIf x=1 Thenx\r\n"
                                              << SostituzioniPredefinite() << 8;
        QTest::newRow("elenco senza voci")
            << "If a\r\n"
            << QVector<VoceSostituzione>{{QString(), QStringLiteral("x")}} << 0;
    }
    void nienteDaFare()
    {
        QFETCH(QString, testo);
        QFETCH(QVector<VoceSostituzione>, voci);
        QFETCH(int, numero);
        FinestraPrincipale &f = Prepara(testo, voci);
        QCOMPARE(m_amb->Condiviso().NumSostituzioni(), numero);
        FinestraPseudocodifica *p = Avvia(f, {Risposta::OK, Risposta::OK});
        QCOMPARE(Copione::TestiMessaggi(m_avvio), (QStringList{Controllo, NienteDaFare}));
        QCOMPARE(p->FaseAttuale(), FinestraPseudocodifica::Fase::NienteDaFare);
        QCOMPARE(p->windowTitle(), QStringLiteral("Pseudocodificazione terminata"));
        QCOMPARE(p->EtichettaParola->text(), QStringLiteral("Pseudocodificazione terminata"));
        QCOMPARE(p->BarraElenco->value(), p->BarraElenco->maximum());
        QCOMPARE(p->BarraElenco->maximum(), std::max(numero, 1));
        QVERIFY(p->BarraElenco->maximum() > p->BarraElenco->minimum());
        QCOMPARE(Abilitati(p), QStringLiteral("0000010"));
        QCOMPARE(f.TestoStato(), FinestraPrincipale::TestoInattivo());
    }

    void camminoFinoAllaFine()
    {
        FinestraPrincipale &f = Prepara(QStringLiteral("If a Then\r\n"));
        FinestraPseudocodifica *p = Avvia(f);
        QCOMPARE(Copione::TestiMessaggi(m_avvio), QStringList{Controllo});
        QCOMPARE(p->EtichettaParola->text(), QStringLiteral("If"));
        QCOMPARE(p->EtichettaSostituto->text(), QStringLiteral("Se"));
        QCOMPARE(f.Editor()->SelText(), QStringLiteral("If"));
        QCOMPARE(Abilitati(p), QStringLiteral("1111110"));
        QVERIFY(f.DialogoTrova()->isHidden());

        p->BottoneSostituisci->click();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("Se a Then\r\n"));
        QCOMPARE(f.Editor()->SelText(), QStringLiteral("Se"));
        QVERIFY(m_amb->Condiviso().TestoModificato);

        p->BottoneSuccessivo->click();
        QCOMPARE(p->VoceCorrente(), 2);
        QCOMPARE(p->EtichettaParola->text(), QStringLiteral("Then"));
        QCOMPARE(f.Editor()->SelText(), QStringLiteral("Then"));
        QCOMPARE(p->BarraElenco->value(), 1);

        QCOMPARE(Clic(p->BottoneSalta), QStringList{Finita});
        QCOMPARE(p->FaseAttuale(), FinestraPseudocodifica::Fase::Terminata);
        QCOMPARE(p->windowTitle(), QStringLiteral("Pseudocodificazione terminata"));
        QCOMPARE(Abilitati(p), QStringLiteral("0000010"));
        QCOMPARE(p->BarraElenco->value(), 8);
    }

    void sostituisciTutto()
    {
        FinestraPrincipale &f = Prepara(QStringLiteral("If a Then If\r\n"));
        FinestraPseudocodifica *p = Avvia(f);
        m_amb->Condiviso().TestoModificato = false;
        p->BottoneSostituisciTutto->click();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("Se a Then Se\r\n"));
        QVERIFY(m_amb->Condiviso().TestoModificato);
        QCOMPARE(p->VoceCorrente(), 2);
        QCOMPARE(p->EtichettaParola->text(), QStringLiteral("Then"));
        QCOMPARE(f.Editor()->SelLength(), 0);
        QCOMPARE(Abilitati(p), QStringLiteral("1111110"));
    }

    void automaticaFinoAllaFine()
    {
        const QString testo =
            QStringLiteral("If Not a Then\r\n  For i = 1 To 10\r\n  Do While x\r\nLoop Until y\r\n")
                .repeated(300);
        FinestraPrincipale &f = Prepara(testo);
        FinestraPseudocodifica *p = Avvia(f);
        double ora = 1000.0;
        p->Sessione()->Orologio = [&] { return ora += 1.25; }; // each word takes 1.25 s
        QCOMPARE(Clic(p->BottoneAvviaAutomatica), QStringList{Finita});
        QCOMPARE(f.Editor()->Text(), Atteso(testo, SostituzioniPredefinite()));
        QCOMPARE(p->EtichettaTempo->text(), QStringLiteral("0 secondi"));
        QCOMPARE(p->EtichettaCommento->text(), FinestraPrincipale::TestoInattivo());
        QCOMPARE(p->BarraElenco->value(), p->BarraElenco->maximum());
        QCOMPARE(Abilitati(p), QStringLiteral("0000010"));
        QVERIFY(m_amb->Condiviso().TestoModificato);
        // The end state offers the words still untranslated in place of the run.
        QVERIFY(p->BottoneParoleNonTradotte->isVisible() &&
                !p->BottoneAvviaAutomatica->isVisible());
        Copione::QuandoModale([](QDialog *d) { d->reject(); });
        p->BottoneParoleNonTradotte->click();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{QStringLiteral("FinestraParole")});
        // ... and the draft beside the original.
        QVERIFY(p->BottoneConfronta->isVisible() && !p->TitoloAutomatica->isVisible());
        Copione::QuandoModale([](QDialog *d) { d->reject(); });
        p->BottoneConfronta->click();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{QStringLiteral("FinestraConfronto")});
        // The replaced words are held in the shared state, which the editor
        // and the comparison show, until the next edit.
        const Contesto &c = m_amb->Condiviso();
        QStringList parole;
        for (const auto &[inizio, lunghezza] : c.SegniCorsa.first(4))
            parole.append(f.Editor()->Text().mid(inizio, lunghezza));
        QCOMPARE(parole, (QStringList{QStringLiteral("Se"), QStringLiteral("Non"),
                                      QStringLiteral("è"), QStringLiteral("Allora")}));
        QCOMPARE(c.SegniCorsa.size(), 300 * 9); // "Non è" marks two words
        QCOMPARE(f.Editor()->Segnati(), c.SegniCorsa);
        qsizetype righeSegnate = -1;
        bool legenda = false;
        Copione::QuandoModale([&](QDialog *d) {
            auto *confronto = qobject_cast<FinestraConfronto *>(d);
            righeSegnate = confronto->SegniCorsa().size();
            legenda = confronto->EtichettaLegenda->isVisibleTo(confronto);
            d->reject();
        });
        p->BottoneConfronta->click();
        Copione::ModaliMostrati();
        QCOMPARE(righeSegnate, 300 * 4);
        QVERIFY(legenda);
        f.Editor()->SetSelStart(0);
        f.Editor()->SetSelText(QStringLiteral("x"));
        QVERIFY(c.SegniCorsa.isEmpty() && f.Editor()->Segnati().isEmpty());
    }

    // Esc is "&Chiudi": it closes the window whenever that button can be clicked.
    void escChiude_data()
    {
        QTest::addColumn<bool>("finoAllaFine");
        QTest::newRow("in cammino") << false;
        QTest::newRow("terminata") << true;
    }
    void escChiude()
    {
        QFETCH(bool, finoAllaFine);
        FinestraPrincipale &f = Prepara(QStringLiteral("If a Then\r\n"));
        FinestraPseudocodifica *p = Avvia(f);
        if (finoAllaFine) QCOMPARE(Clic(p->BottoneAvviaAutomatica), QStringList{Finita});
        QVERIFY(p->BottoneChiudi->isEnabled());
        QTest::keyClick(p, Qt::Key_Escape);
        QVERIFY(!p->isVisible());
        QVERIFY(f.isEnabled());
    }

    // The run reads the text with the stored options and the language of its file name.
    void opzioniDelCodice()
    {
        FinestraPrincipale &f =
            Prepara(QStringLiteral("If a Then ' If b Then\r\n\tIf c Then MsgBox \"If\"\r\n"));
        m_amb->Condiviso().OpzioniCodice = {true, true};
        m_amb->Condiviso().NomeFileCorrente = QStringLiteral("modulo.bas");
        QCOMPARE(Clic(Avvia(f)->BottoneAvviaAutomatica), QStringList{Finita});
        QCOMPARE(f.Editor()->Text(),
                 QStringLiteral("Se a Allora ' If b Then\r\n\tSe c Allora MsgBox \"If\"\r\n"));
    }

    // "&Interrompi" is clicked, or the window closed, while the second word is
    // being replaced: the first word's changes stay, the second's are dropped.
    void fermataNellaSecondaVoce_data()
    {
        QTest::addColumn<bool>("chiusa");
        QTest::newRow("interrompi e riprendi") << false;
        QTest::newRow("chiusa durante la scansione") << true;
    }
    void fermataNellaSecondaVoce()
    {
        QFETCH(bool, chiusa);
        const QString testo = QStringLiteral("If a Then b\r\n").repeated(400);
        FinestraPrincipale &f = Prepara(testo);
        QPointer<FinestraPseudocodifica> p = Avvia(f);
        int letture = 0;
        p->Sessione()->Orologio = [&] {
            if (++letture == 3 && chiusa)
                QTimer::singleShot(0, p.data(), &QWidget::close);
            else if (letture == 3)
                QTimer::singleShot(0, p->BottoneInterrompi, &QPushButton::click);
            return 0.0;
        };
        QCOMPARE(Clic(p->BottoneAvviaAutomatica, !chiusa),
                 chiusa ? QStringList() : QStringList{Interrotta});
        if (chiusa) {
            QVERIFY(f.isEnabled());
            QTRY_VERIFY(!p);
            QVERIFY(!f.FinestraPseudocodificaAperta());
        }
        QCOMPARE(f.Editor()->Text(), Atteso(testo, SostituzioniPredefinite(), 1, 1));
        if (chiusa) return;
        QCOMPARE(p->FaseAttuale(), FinestraPseudocodifica::Fase::InPausa);
        QCOMPARE(p->BottoneInterrompi->text(), QStringLiteral("&Riprendi"));
        QCOMPARE(Abilitati(p), QStringLiteral("0000011"));
        QCOMPARE(p->VoceCorrente(), 2);

        QCOMPARE(Clic(p->BottoneInterrompi), QStringList{Finita});
        QCOMPARE(f.Editor()->Text(), Atteso(testo, SostituzioniPredefinite()));
        QCOMPARE(p->FaseAttuale(), FinestraPseudocodifica::Fase::Terminata);
    }

    void apriENuovoRicominciano()
    {
        FinestraPrincipale &f = Prepara(QStringLiteral("x\r\n"));
        m_amb->ScriviFile(QStringLiteral("a.txt"), "If a\r\n");
        for (QAction *comando : {Comando(f, "azioneApri"), Comando(f, "azioneNuovo")}) {
            m_amb->Condiviso().PosRicerca = Ricerca::PosizioneRicerca::Su(39);
            m_amb->Condiviso().TestoModificato = false;
            if (comando == Comando(f, "azioneApri"))
                Copione::RispondiFile(m_amb->Percorso(QStringLiteral("a.txt")));
            comando->trigger();
            Copione::Dialoghi();
            QCOMPARE(m_amb->Condiviso().PosRicerca.Indice(), -1);
        }
    }

    void controlloCede()
    {
        // A long list over a large text: the check lets the event loop run,
        // with the main window already out of reach.
        QVector<VoceSostituzione> voci;
        for (int i = 0; i < 1500; ++i)
            voci.append({QStringLiteral("w%1").arg(i), QStringLiteral("x")});
        voci.append({QStringLiteral("If"), QStringLiteral("Se")});
        FinestraPrincipale &f = Prepara(
            QStringLiteral("a b c d e f g h\r\n").repeated(1000) + QStringLiteral("If"), voci);
        bool durante = false;
        bool principaleAbilitata = true;
        QObject contesto;
        QTimer::singleShot(0, &contesto, [&] {
            durante =
                f.FinestraPseudocodificaAperta() && !f.FinestraPseudocodificaAperta()->isVisible();
            principaleAbilitata = f.isEnabled();
        });
        Avvia(f);
        QVERIFY(durante);
        QVERIFY(!principaleAbilitata);
        QCOMPARE(f.Editor()->SelText(), QStringLiteral("If"));
    }

    void riduciERipristina()
    {
        FinestraPrincipale &f = Prepara(QStringLiteral("If\r\n"));
        f.show();
        FinestraPseudocodifica *p = Avvia(f);
        p->BottoneRiduciAIcona->click();
        QVERIFY(f.isMinimized());
        QCOMPARE(p->BottoneRiduciAIcona->text(), QStringLiteral("Ripristi&na"));
        p->BottoneRiduciAIcona->click();
        QVERIFY(!f.isMinimized());
        QCOMPARE(p->BottoneRiduciAIcona->text(), QStringLiteral("Ri&duci a icona"));
        f.showMinimized();
        p->close();
        QVERIFY(!f.isMinimized());
        QVERIFY(f.isEnabled());
    }

    // The run window closed mid-run: the main window takes no input and does
    // not close until the run has stopped and written its text.
    void chiusaDuranteLaCorsa()
    {
        const QString testo = QStringLiteral("If a Then\r\n").repeated(2000);
        FinestraPrincipale &f = Prepara(testo);
        f.show();
        FinestraPseudocodifica *p = Avvia(f);
        bool abilitata = true, chiusa = true;
        QTimer::singleShot(0, p, [&] {
            p->close();
            abilitata = f.isEnabled();
            chiusa = f.close();
        });
        QCOMPARE(Clic(p->BottoneAvviaAutomatica, 0), QStringList{}); // stopped without a word
        QVERIFY(!abilitata);
        QVERIFY(!chiusa);
        QVERIFY(f.isEnabled());
        QTRY_VERIFY(!f.FinestraPseudocodificaAperta());
        Copione::RispondiMessaggio(Risposta::No); // "Salvare le modifiche?"
        m_amb->Condiviso().TestoModificato = true;
        QVERIFY(f.close());
        Copione::Messaggi();
    }
};

QTEST_MAIN(TestFinestraPseudocodifica)
#include "test_finestrapseudocodifica.moc"
