// The list editors and their entry dialogs, driven through the real windows.

#include "aiuti/AmbienteProva.h"
#include "aiuti/ModelliRiferimento.h"
#include "aiuti/Tabella.h"
#include "finestre/FinestraElenco.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraVoce.h"
#include "nucleo/Contesto.h"
#include "nucleo/elenchi/ArchivioListe.h"
#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/testo/CodificaAnsi.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QHelpEvent>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Piattaforma;
using namespace Qt::StringLiterals;

namespace {

// Sets or clears the immutable attribute, which stops even root from writing.
bool Immutabile(const QString &percorso, bool attiva)
{
    const int fd = open(QFile::encodeName(percorso).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    int attributi = 0;
    bool fatto = ioctl(fd, FS_IOC_GETFLAGS, &attributi) == 0;
    if (fatto) {
        attributi = attiva ? attributi | FS_IMMUTABLE_FL : attributi & ~FS_IMMUTABLE_FL;
        fatto = ioctl(fd, FS_IOC_SETFLAGS, &attributi) == 0;
    }
    close(fd);
    return fatto;
}

QStringList Righe(const FinestraElenco &f)
{
    QStringList righe;
    for (int i = 1; i <= f.Modello().NumeroRighe(); ++i)
        righe.append(f.Modello().Testo(i - 1, 0) + u'|' + f.Modello().Testo(i - 1, 1));
    return righe;
}

void Seleziona(FinestraElenco &f, int riga)
{
    f.VistaElenco->setCurrentIndex(f.Modello().index(riga - 1, 0));
}

// Presses "&Salva", confirms its message and returns what was shown.
QVector<Copione::Messaggio> Salva(FinestraElenco &f)
{
    Copione::RispondiMessaggio(Risposta::OK);
    f.BottoneSalva->click();
    return Copione::Messaggi();
}

// Opens the entry dialog with `apri` (`controlla` looks at it first), fills it
// and presses Enter, which is OK.
void Voce(std::function<void()> apri, const QString &primo, std::optional<QString> secondo,
          std::optional<bool> intera = std::nullopt,
          std::function<void(FinestraVoce *)> controlla = {})
{
    Copione::QuandoModale([=](QDialog *d) {
        auto *v = qobject_cast<FinestraVoce *>(d);
        QVERIFY(v);
        if (controlla) controlla(v);
        v->CasellaParola->setText(primo);
        if (secondo) v->CasellaSostituzione->setText(*secondo);
        if (intera) v->CasellaParolaIntera->setChecked(*intera);
        QTest::keyClick(v->CasellaParola, Qt::Key_Return);
    });
    apri();
}

// In an open entry dialog: types a row that OK must refuse with a message; the
// dialog stays open with what was typed.
void OkRifiutato(FinestraVoce *v, const QString &primo, std::optional<QString> secondo = {})
{
    v->CasellaParola->setText(primo);
    if (secondo) v->CasellaSostituzione->setText(*secondo);
    Copione::RispondiMessaggio(Risposta::OK);
    v->BottoneOk->click();
    QVERIFY(v->isVisible());
    QCOMPARE(v->CasellaParola->text(), primo);
    if (secondo) QCOMPARE(v->CasellaSostituzione->text(), *secondo);
}

} // namespace

class TestElenchi : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;

    // `risposteAvvio` answers the start-up questions (an empty list file asks one).
    FinestraPrincipale &Prepara(const QVector<VoceSostituzione> &voci = SostituzioniPredefinite(),
                                QList<Risposta> risposteAvvio = {})
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(voci);
        for (Risposta r : risposteAvvio)
            Copione::RispondiMessaggio(r);
        FinestraPrincipale &form = m_amb->Avvia();
        Copione::Messaggi();
        return form;
    }
    QByteArray File(Elenco e)
    {
        return AmbienteProva::LeggiFile(m_amb->Condiviso().Liste.Percorso(e));
    }

private Q_SLOTS:
    void cleanup()
    {
        VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
    }

    // The bytes written are checked on the model.
    void predefinitiESalva()
    {
        FinestraPrincipale &form = Prepara({}, {Risposta::No});
        QVERIFY(!Comando(form, "azioneAvviaPseudocodifica")->isEnabled());
        FinestraElenco sost(form, Elenco::Sostituzioni);
        sost.BottonePredefiniti->click();
        QCOMPARE(sost.Modello().NumeroRighe(), 8);
        const auto messaggi = Salva(sost);
        QCOMPARE(Copione::TestiMessaggi(messaggi), QStringList{"I dati sono stati salvati."});
        QCOMPARE(messaggi[0].icona, Icona::Informazione);
        QCOMPARE(File(Elenco::Sostituzioni).size(), 8 * 128);
        QCOMPARE(m_amb->Condiviso().NumSostituzioni(), 8);
        sost.BottoneChiudi->click();
        QVERIFY(Comando(form, "azioneAvviaPseudocodifica")->isEnabled());
    }

    // Beyond the table's fixed size: a cut entry shows whole in a tooltip,
    // the columns take the widths dragged (scrolling sideways), Home and End
    // go to the first and last entry, typing goes to an entry by its start;
    // the added buttons follow "Ripris&tina" in reading order.
    void tabellaELettura()
    {
        const QString lunga = u"intero molto lungo senza separatori "_s + QString(80, u'x');
        FinestraPrincipale &form =
            Prepara({{u"If"_s, u"Se"_s}, {u"Then"_s, u"Allora"_s}, {u"Wend"_s, lunga}});
        FinestraElenco sost(form, Elenco::Sostituzioni);
        sost.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sost));
        QTableView *vista = sost.VistaElenco;
        QVERIFY(!vista->horizontalHeader()->stretchLastSection());
        QCOMPARE(vista->horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
        vista->setColumnWidth(1, vista->viewport()->width() * 2);
        QTRY_VERIFY(vista->horizontalScrollBar()->maximum() > 0);

        vista->setColumnWidth(1, 60);
        const QRect cella = vista->visualRect(vista->model()->index(2, 1));
        QHelpEvent aiuto(QEvent::ToolTip, cella.center(),
                         vista->viewport()->mapToGlobal(cella.center()));
        QApplication::sendEvent(vista->viewport(), &aiuto);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().contains(lunga), qPrintable(QToolTip::text()));
        QToolTip::hideText();

        vista->setFocus();
        QTest::keyClick(vista, Qt::Key_End);
        QCOMPARE(vista->currentIndex().row(), 2);
        QTest::keyClick(vista, Qt::Key_Home);
        QCOMPARE(vista->currentIndex().row(), 0);
        QTest::keyClicks(vista, u"th"_s);
        QCOMPARE(vista->currentIndex().row(), 1);

        QWidget *dopo = sost.BottoneRipristina;
        for (QWidget *atteso : {static_cast<QWidget *>(sost.BottoneLinguaggio),
                                static_cast<QWidget *>(sost.BottoneImporta),
                                static_cast<QWidget *>(sost.BottoneEsporta)}) {
            QCOMPARE(dopo->nextInFocusChain(), atteso);
            dopo = atteso;
        }
        sost.BottoneChiudi->click();
    }

    void caricamentoRifilatoEVociNascoste()
    {
        FinestraPrincipale &form = Prepara(
            {{u"  If "_s, u" Se  "_s}, {u"Then"_s, {}}, {{}, u"vuota"_s}, {u"\tFor"_s, u"Per"_s}});
        QCOMPARE(m_amb->Condiviso().NumSostituzioni(), 3);
        FinestraElenco sost(form, Elenco::Sostituzioni);
        QCOMPARE(Righe(sost), (QStringList{"If|Se", "|vuota", "\tFor|Per"}));
        Salva(sost);
        // The saved records are checked on the model; the shared count follows them.
        QCOMPARE(m_amb->Condiviso().NumSostituzioni(), 2);
    }

    void frecce()
    {
        FinestraPrincipale &form =
            Prepara({{u"If"_s, u"Se"_s}, {u"Then"_s, u"Allora"_s}, {u"For"_s, u"Per"_s}});
        FinestraElenco f(form, Elenco::Sostituzioni);
        const auto premi = [&](int riga, QPushButton *pulsante) {
            Seleziona(f, riga);
            pulsante->click();
            return Righe(f);
        };
        // The moves themselves are checked on the model; here the selection follows the row.
        QCOMPARE(premi(2, f.BottoneSu), (QStringList{"Then|Allora", "If|Se", "For|Per"}));
        QCOMPARE(f.RigaSelezionata(), std::optional<int>(0));
        f.BottoneGiu->click();
        f.BottoneGiu->click();
        QCOMPARE(Righe(f), (QStringList{"If|Se", "For|Per", "Then|Allora"}));
        QCOMPARE(f.RigaSelezionata(), std::optional<int>(2));
        // Nothing selected: the commands do nothing.
        f.VistaElenco->clearSelection();
        f.BottoneRimuovi->click();
        f.BottoneModifica->click();
        QCOMPARE(f.Modello().NumeroRighe(), 3);
        QCOMPARE(premi(2, f.BottoneRimuovi), (QStringList{"If|Se", "Then|Allora"}));
    }

    void rimuoviTuttiSalvaChiudi()
    {
        FinestraPrincipale &form = Prepara();
        QVERIFY(Comando(form, "azioneAvviaPseudocodifica")->isEnabled());
        // Empties the list from `menu`, saves, closes with "&Chiudi" or the window's button.
        const auto svuota = [&](const char *menu, bool pulsanteChiudi) {
            Copione::QuandoModale([pulsanteChiudi](QDialog *d) {
                auto *f = qobject_cast<FinestraElenco *>(d);
                f->BottoneRimuoviTutti->click();
                Salva(*f);
                if (pulsanteChiudi)
                    f->BottoneChiudi->click();
                else
                    f->close();
            });
            Comando(form, menu)->trigger();
        };
        svuota("azioneSostituzioni", true);
        QCOMPARE(File(Elenco::Sostituzioni).size(), 0);
        QCOMPARE(m_amb->Condiviso().NumSostituzioni(), 0);
        QVERIFY(!Comando(form, "azioneAvviaPseudocodifica")->isEnabled());
        svuota("azionePulizia", false);
        QVERIFY(!Comando(form, "azioneAvviaPulizia")->isEnabled());
    }

    void aggiungiConDuplicati()
    {
        FinestraPrincipale &form = Prepara({{u"If"_s, u"Se"_s}, {u"è"_s, u"x"_s}});
        FinestraElenco f(form, Elenco::Sostituzioni);
        // "if" against "If": refused.
        Copione::QuandoModale([](QDialog *d) {
            auto *v = qobject_cast<FinestraVoce *>(d);
            QCOMPARE(v->windowTitle(), u"Aggiungi"_s);
            QCOMPARE(v->CasellaParola->text(), QString());
            OkRifiutato(v, u"if"_s, u"se"_s);   // the reasons are checked on the model
            QTest::keyClick(v, Qt::Key_Escape); // Annulla
        });
        f.BottoneAggiungi->click();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(Copione::TestiMessaggi(messaggi),
                 QStringList{"Esiste già 'if' nella lista delle sostituzioni!"});
        QCOMPARE(messaggi[0].icona, Icona::Esclamazione);
        QCOMPARE(f.Modello().NumeroRighe(), 2);

        // "If " with a trailing space is another word.
        Voce([&] { f.BottoneAggiungi->click(); }, u"If "_s, u"Se"_s);
        QCOMPARE(f.Modello().NumeroRighe(), 3);
        Salva(f);
        f.BottoneRipristina->click();
        QCOMPARE(Righe(f), (QStringList{"If|Se", "è|x", "If|Se"}));
    }

    void invioSulPulsanteConIlFuoco_data()
    {
        // Enter with the focus on a push button presses that button; elsewhere
        // it presses the default one.
        // fuoco: in the editor, or "voce" + Tabs from the word
        // ultima: the last row's word
        Colonne<QString, int, QStringList, QString>("fuoco", "righe", "modali", "ultima");
        const QStringList voce{u"VoceSostituzioni"_s};
        const QString nuova = u"Nuova"_s;
        const QString immutata = u"Not"_s; // the last default entry
        Riga("&Rimuovi", u"BottoneRimuovi"_s, 7, QStringList(), immutata);
        Riga("&Chiudi", u"BottoneChiudi"_s, 8, QStringList(), immutata);
        Riga("lista: &Modifica...", u"VistaElenco"_s, 8, voce, immutata);
        Riga("Annulla dopo tre Tab", u"voce3"_s, 8, voce, immutata);
        Riga("OK dopo due Tab", u"voce2"_s, 9, voce, nuova);
        Riga("OK dal testo", u"voce0"_s, 9, voce, nuova);
    }
    void invioSulPulsanteConIlFuoco()
    {
        const auto [fuoco, righe, modali, ultima] =
            DatiRiga<QString, int, QStringList, QString>("fuoco", "righe", "modali", "ultima");
        FinestraPrincipale &form = Prepara();
        FinestraElenco f(form, Elenco::Sostituzioni);
        f.show();
        f.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &f);
        Seleziona(f, 1);
        if (fuoco.startsWith(u"voce"_s)) {
            const int tab = fuoco.mid(4).toInt();
            Copione::QuandoModale([tab](QDialog *d) {
                auto *v = qobject_cast<FinestraVoce *>(d);
                v->activateWindow();
                QTRY_COMPARE(QApplication::activeWindow(), v);
                v->CasellaParola->setText(u"Nuova"_s);
                v->CasellaSostituzione->setText(u"nuova"_s);
                for (int i = 0; i < tab; ++i)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            });
            f.BottoneAggiungi->setFocus();
            QTest::keyClick(f.BottoneAggiungi, Qt::Key_Return); // "A&ggiungi..." has the focus
        } else {
            if (!modali.isEmpty()) Copione::QuandoModale([](QDialog *d) { d->reject(); });
            auto *w = f.findChild<QWidget *>(fuoco);
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Return);
        }
        QCOMPARE(Copione::ModaliMostrati(), modali);
        QCOMPARE(f.Modello().NumeroRighe(), righe);
        QCOMPARE(f.Modello().Testo(righe - 1, 0), ultima);
        QCOMPARE(f.Modello().Testo(1 - 1, 0), fuoco == u"BottoneRimuovi"_s ? u"Then"_s : u"If"_s);
        QCOMPARE(f.isVisible(), fuoco != u"BottoneChiudi"_s);
    }

    void modificaSenzaControlloDuplicati()
    {
        FinestraPrincipale &form = Prepara({{u"If"_s, u"Se"_s}, {u"For"_s, u"Per"_s}});
        FinestraElenco f(form, Elenco::Sostituzioni);
        Seleziona(f, 2);
        Voce([&] { f.BottoneModifica->click(); }, u"If"_s, u"Se!"_s, std::nullopt,
             [](FinestraVoce *v) {
                 QCOMPARE(v->windowTitle(), u"Modifica"_s);
                 QCOMPARE(v->CasellaParola->text() + u'|' + v->CasellaSostituzione->text(),
                          u"For|Per"_s);
             });
        QCOMPARE(Righe(f), (QStringList{"If|Se", "If|Se!"}));
    }

    void eliminazioniSiENo()
    {
        FinestraPrincipale &form = Prepara();
        FinestraElenco f(form, Elenco::Eliminazioni);
        QCOMPARE(f.objectName(), u"FinestraEliminazioni"_s);
        f.BottoneRimuoviTutti->click();
        Voce([&] { f.BottoneAggiungi->click(); }, u"Unload"_s, std::nullopt, true);
        Voce([&] { f.BottoneAggiungi->click(); }, u"#"_s, std::nullopt, false);
        QCOMPARE(Righe(f), (QStringList{"Unload|Sì", "#|No"}));
        for (const int riga : {1, 2}) {
            Copione::QuandoModale([riga](QDialog *d) {
                QCOMPARE(d->objectName(), u"VoceEliminazioni"_s);
                QCOMPARE(qobject_cast<FinestraVoce *>(d)->CasellaParolaIntera->isChecked(),
                         riga == 1);
                d->reject();
            });
            Seleziona(f, riga);
            f.BottoneModifica->click();
        }
    }

    void salvataggioImpossibileConservaIlFile()
    {
        FinestraPrincipale &form = Prepara();
        Contesto &stato = m_amb->Condiviso();
        const QByteArray prima = File(Elenco::Sostituzioni);
        // The list folder turns into a file: nothing can be written there.
        const QString cartella = stato.Liste.Cartella();
        QVERIFY(QDir().rename(cartella, cartella + u"-spostata"_s));
        QVERIFY(QFile(cartella).open(QIODevice::WriteOnly));

        FinestraElenco f(form, Elenco::Sostituzioni);
        f.BottoneRimuoviTutti->click();
        const auto messaggi = Salva(f);
        QCOMPARE(messaggi.size(), 1);
        QVERIFY(messaggi[0].testo.startsWith(u"Errore: "_s));
        QCOMPARE(messaggi[0].icona, Icona::Critico);
        QCOMPARE(stato.NumSostituzioni(), 8);
        QCOMPARE(AmbienteProva::LeggiFile(cartella + u"-spostata/sostituzioni.dat"_s), prima);
        Copione::RispondiMessaggio(Risposta::No); // close without saving
        f.BottoneChiudi->click();
        QVERIFY(Comando(form, "azioneAvviaPseudocodifica")->isEnabled());
        QFile::remove(cartella);
        QDir().rename(cartella + u"-spostata"_s, cartella);
    }

    // Closing with rows that differ from the file asks whether to save them.
    void chiusuraConRigheCambiate_data()
    {
        // chiusura: "Chiudi", the window's close button, or Esc
        // risposta: -1: no question
        Colonne<QString, QString, int, bool, bool>("modifica", "chiusura", "risposta", "aperta",
                                                   "salvato");
        const int si = int(Risposta::Si), no = int(Risposta::No), annulla = int(Risposta::Annulla);
        Riga("nessuna modifica", "nessuna", u"Chiudi"_s, -1, false, false);
        Riga("spostata e rimessa", "rimessa", u"Chiudi"_s, -1, false, false);
        Riga("Chiudi, Sì", "predefiniti", u"Chiudi"_s, si, false, true);
        Riga("Chiudi, No", "predefiniti", u"Chiudi"_s, no, false, false);
        Riga("Chiudi, Annulla", "predefiniti", u"Chiudi"_s, annulla, true, false);
        Riga("chiusura, Sì", "predefiniti", u"finestra"_s, si, false, true);
        Riga("chiusura, No", "predefiniti", u"finestra"_s, no, false, false);
        Riga("Esc, Sì", "predefiniti", u"Esc"_s, si, false, true);
        Riga("Esc, No", "predefiniti", u"Esc"_s, no, false, false);
        Riga("Esc, Annulla", "predefiniti", u"Esc"_s, annulla, true, false);
        Riga("Esc, nessuna modifica", "nessuna", u"Esc"_s, -1, false, false);
        Riga("chiusura, Annulla", "predefiniti", u"finestra"_s, annulla, true, false);
    }
    void chiusuraConRigheCambiate()
    {
        const auto [modifica, chiusura, risposta, aperta, salvato] =
            DatiRiga<QString, QString, int, bool, bool>("modifica", "chiusura", "risposta",
                                                        "aperta", "salvato");
        FinestraPrincipale &form = Prepara({{u"A"_s, u"B"_s}, {u"C"_s, u"D"_s}});
        const QByteArray prima = File(Elenco::Sostituzioni);
        FinestraElenco f(form, Elenco::Sostituzioni);
        f.show();
        if (modifica == u"rimessa"_s) {
            Seleziona(f, 1);
            f.BottoneGiu->click();
            f.BottoneSu->click();
        } else if (modifica == u"predefiniti"_s) {
            f.BottonePredefiniti->click();
        }
        if (risposta >= 0) Copione::RispondiMessaggio(Risposta(risposta));
        if (risposta == int(Risposta::Si)) Copione::RispondiMessaggio(Risposta::OK);
        if (chiusura == u"Chiudi"_s)
            f.BottoneChiudi->click();
        else if (chiusura == u"Esc"_s)
            QTest::keyClick(f.VistaElenco, Qt::Key_Escape);
        else
            f.close();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), risposta < 0 ? 0 : risposta == int(Risposta::Si) ? 2 : 1);
        if (risposta >= 0) {
            QCOMPARE(messaggi[0].testo, u"Salvare le modifiche all'elenco?"_s);
            QCOMPARE(messaggi[0].pulsanti, Pulsanti::SiNoAnnulla);
        }
        QCOMPARE(f.isVisible(), aperta);
        QCOMPARE(File(Elenco::Sostituzioni) != prima, salvato);
        QCOMPARE(m_amb->Condiviso().NumSostituzioni(), salvato ? 8 : 2);
        // A new editor shows the file's rows.
        QCOMPARE(Righe(FinestraElenco(form, Elenco::Sostituzioni)),
                 salvato ? Righe(f) : QStringList({"A|B", "C|D"}));
    }

    // "&Predefiniti" and "Carica linguaggio..." (replacing the rows) over rows
    // with unsaved edits ask first; "No" keeps the edits.
    void righeNonSalvateChiedono_data()
    {
        // risposta: -1: no question
        Colonne<QString, bool, int, bool>("azione", "modificate", "risposta", "sostituite");
        const int si = int(Risposta::Si), no = int(Risposta::No);
        Riga("predefiniti, righe del file", u"predefiniti"_s, false, -1, true);
        Riga("predefiniti, Sì", u"predefiniti"_s, true, si, true);
        Riga("predefiniti, No", u"predefiniti"_s, true, no, false);
        Riga("linguaggio, righe del file", u"linguaggio"_s, false, -1, true);
        Riga("linguaggio, Sì", u"linguaggio"_s, true, si, true);
        Riga("linguaggio, No", u"linguaggio"_s, true, no, false);
    }
    void righeNonSalvateChiedono()
    {
        const auto [azione, modificate, risposta, sostituite] =
            DatiRiga<QString, bool, int, bool>("azione", "modificate", "risposta", "sostituite");
        FinestraPrincipale &form = Prepara({{u"A"_s, u"B"_s}, {u"C"_s, u"D"_s}});
        FinestraElenco f(form, Elenco::Sostituzioni);
        f.show();
        if (modificate) {
            Seleziona(f, 1);
            f.BottoneRimuovi->click();
        }
        const QStringList prima = Righe(f);
        if (azione == u"linguaggio"_s) {
            Copione::QuandoModale([](QDialog *d) { d->accept(); });
            Copione::RispondiMessaggio(Risposta::Si); // replace the entries, not add to them
        }
        if (risposta >= 0) Copione::RispondiMessaggio(Risposta(risposta));
        (azione == u"linguaggio"_s ? f.BottoneLinguaggio : f.BottonePredefiniti)->click();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), (azione == u"linguaggio"_s ? 1 : 0) + (risposta >= 0 ? 1 : 0));
        if (risposta >= 0)
            QCOMPARE(messaggi.last().testo,
                     u"Le modifiche non salvate all'elenco andranno perse. Continuare?"_s);
        QCOMPARE(Righe(f) != prima, sostituite);
        if (modificate && !sostituite) QCOMPARE(Righe(f), QStringList{u"C|D"_s});
        Copione::RispondiMessaggio(Risposta::No); // closing: do not save
        f.close();
        Copione::Messaggi();
    }

    // A list file that cannot be written, or not even read, does not stop the
    // program, and is never replaced. Why each kind of file is refused is
    // checked on the list archive.
    void elencoNonScrivibileOIlleggibile_data()
    {
        // motivo: in the start-up message
        Colonne<QString, QString>("come", "motivo");
        Riga("sola lettura", "sola lettura", "");
        Riga("una cartella al suo posto", "cartella", "È una cartella");
    }
    void elencoNonScrivibileOIlleggibile()
    {
        const auto [come, motivo] = DatiRiga<QString, QString>("come", "motivo");
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        const QString pulizia = m_amb->Percorso(u"pulizia.dat"_s);
        const QByteArray prima = AmbienteProva::LeggiFile(pulizia);
        const QByteArray fp = QFile::encodeName(pulizia);
        const bool permessi = come == u"sola lettura"_s;
        const auto ripristina = [&] {
            if (!permessi) return;
            Immutabile(pulizia, false);
            chmod(fp.constData(), 0644);
        };
        const auto ripristinaSempre = qScopeGuard(ripristina);
        QString erroreScrittura;
        if (!permessi) QFile::remove(pulizia);
        if (come == u"cartella"_s) {
            QVERIFY(QDir().mkdir(pulizia));
        } else if (geteuid() != 0) {
            chmod(fp.constData(), 0444);
            erroreScrittura = u"Errore: Permesso negato  (13)"_s;
        } else if (Immutabile(pulizia, true)) {
            erroreScrittura = u"Errore: Operazione non permessa  (1)"_s;
        } else {
            QSKIP("root can write every file and this file system has no immutable files");
        }
        const bool leggibile = come == u"sola lettura"_s;

        struct stat statoPrima;
        QCOMPARE(lstat(fp.constData(), &statoPrima), 0);

        // Refused at once: a start-up that blocks is ended by the alarm.
        if (!leggibile) Copione::RispondiMessaggio(Risposta::OK);
        alarm(10);
        FinestraPrincipale &form = m_amb->Avvia();
        alarm(0);
        auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), leggibile ? 0 : 1);
        if (!leggibile) {
            QVERIFY(messaggi[0].testo.startsWith(u"Impossibile leggere l'elenco \""_s +
                                                 QDir::toNativeSeparators(pulizia)));
            QVERIFY2(messaggi[0].testo.contains(motivo), qPrintable(messaggi[0].testo));
            QCOMPARE(messaggi[0].icona, Icona::Critico);
        }
        QCOMPARE(Comando(form, "azioneAvviaPulizia")->isEnabled(), leggibile);
        QVERIFY(Comando(form, "azioneAvviaPseudocodifica")->isEnabled());
        QCOMPARE(m_amb->Condiviso().NumSostituzioni(), 8);

        // The editor shows what could be read and takes edits; only saving is refused.
        if (!leggibile) Copione::RispondiMessaggio(Risposta::OK); // the read error again
        FinestraElenco f(form, Elenco::Eliminazioni);
        QCOMPARE(Copione::Messaggi().size(), leggibile ? 0 : 1);
        QCOMPARE(f.Modello().NumeroRighe(), leggibile ? 1 : 0);
        f.BottonePredefiniti->click();
        messaggi = Salva(f);
        QCOMPARE(messaggi.size(), 1);
        if (leggibile)
            QCOMPARE(messaggi[0].testo, erroreScrittura + u"\r\nFile: \""_s +
                                            QDir::toNativeSeparators(pulizia) + u'"');
        else
            QVERIFY(messaggi[0].testo.contains(u"non è stato letto"_s));
        QCOMPARE(messaggi[0].icona, Icona::Critico);
        Copione::RispondiMessaggio(Risposta::No);
        f.BottoneChiudi->click();
        ripristina();
        struct stat statoDopo;
        QCOMPARE(lstat(fp.constData(), &statoDopo), 0);
        QCOMPARE(statoDopo.st_ino, statoPrima.st_ino);
        QCOMPARE(statoDopo.st_size, statoPrima.st_size);
        if (permessi) QCOMPARE(AmbienteProva::LeggiFile(pulizia), prima);
    }

    // A damaged file can hold a word longer than a record takes when saved:
    // the save is refused, naming the row, and nothing is cut.
    void rigaTroppoLungaNonSiSalva()
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        const QByteArray danneggiato = Record::Codifica(EliminazioniPredefinite().first()) +
                                       QByteArray::fromHex("7C00") + QByteArray(124, 'z') +
                                       QByteArray(2, '\0');
        m_amb->ScriviFile(u"pulizia.dat"_s, danneggiato);
        FinestraPrincipale &form = m_amb->Avvia();
        FinestraElenco f(form, Elenco::Eliminazioni);
        f.show();
        QCOMPARE(f.Modello().NumeroRighe(), 2);
        const auto messaggi = Salva(f);
        QCOMPARE(messaggi.size(), 1);
        QVERIFY(messaggi[0].testo.contains(u"la riga 2 (\"%1\")"_s.arg(QString(124, u'z'))));
        QCOMPARE(messaggi[0].icona, Icona::Esclamazione);

        // Closing with Sì tries that save: refused, so the window stays open.
        Seleziona(f, 1);
        f.BottoneRimuovi->click();
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::RispondiMessaggio(Risposta::OK);
        f.BottoneChiudi->click();
        QCOMPARE(Copione::Messaggi().size(), 2);
        QVERIFY(f.isVisible());
        Copione::RispondiMessaggio(Risposta::No);
        f.BottoneChiudi->click();
        QVERIFY(!f.isVisible());
        QCOMPARE(File(Elenco::Eliminazioni), danneggiato);
    }

    // Every row shows the same picture, however it was added: one icon for a
    // list of millions of rows.
    void unaSolaIconaPerTutteLeRighe()
    {
        FinestraPrincipale &form = Prepara();
        FinestraElenco f(form, Elenco::Sostituzioni);
        Voce([&] { f.BottoneAggiungi->click(); }, u"Loop"_s, u"Ciclo"_s);
        Seleziona(f, 2);
        Voce([&] { f.BottoneModifica->click(); }, u"Else"_s, u"Altrimenti"_s);
        const auto iconaDi = [&f](int riga) {
            return qvariant_cast<QIcon>(f.Modello().index(riga, 0).data(Qt::DecorationRole));
        };
        const QIcon icona = iconaDi(0);
        QVERIFY(!icona.isNull());
        QCOMPARE(f.Modello().NumeroRighe(), 9);
        for (int i = 1; i < f.Modello().NumeroRighe(); ++i)
            QCOMPARE(iconaDi(i).cacheKey(), icona.cacheKey());
    }

    // With a list for each language the editor opens on the text's own and
    // switches between them, each saved to its file; off, it shows the shared
    // list only.
    void elencoPerLinguaggio()
    {
        FinestraPrincipale &form = Prepara({{u"If"_s, u"Se"_s}});
        Contesto &stato = m_amb->Condiviso();
        stato.NomeFileCorrente = m_amb->Percorso(u"Modulo.bas"_s);
        {
            FinestraElenco spento(form, Elenco::Sostituzioni);
            QVERIFY(!spento.SceltaElenco);
            QCOMPARE(Righe(spento), QStringList{u"If|Se"_s});
        }
        QVERIFY(!QFile::exists(m_amb->Percorso(u"sostituzioni-basic.dat"_s)));

        stato.OpzioniCodice.ElencoPerLinguaggio = true;
        FinestraElenco f(form, Elenco::Sostituzioni);
        QVERIFY(f.SceltaElenco);
        QCOMPARE(f.SceltaElenco->currentText(), u"BASIC"_s);
        const auto righePronte = [](Linguaggio l) {
            return int(RigheElenco::DaMostrare(ListaDelLinguaggio(l)).size());
        };
        QCOMPARE(f.Modello().NumeroRighe(), righePronte(Linguaggio::Basic));
        f.Modello().Aggiungi({u"DoEvents"_s, u"LasciaLavorare"_s, false});

        // Switching asks about the unsaved row first; "Annulla" stays.
        Copione::RispondiMessaggio(Risposta::Annulla);
        f.SceltaElenco->setCurrentIndex(2);
        QCOMPARE(f.SceltaElenco->currentText(), u"BASIC"_s);
        QCOMPARE(f.Modello().NumeroRighe(), righePronte(Linguaggio::Basic) + 1);
        QCOMPARE(Copione::Messaggi().size(), 1);
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::RispondiMessaggio(Risposta::OK);
        f.SceltaElenco->setCurrentIndex(2);
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()),
                 (QStringList{"Salvare le modifiche all'elenco?", "I dati sono stati salvati."}));
        QCOMPARE(f.LinguaggioElenco(), Linguaggio::C);
        QCOMPARE(f.Modello().NumeroRighe(), righePronte(Linguaggio::C));
        f.SceltaElenco->setCurrentIndex(3);
        QCOMPARE(f.SceltaElenco->currentText(), u"C++"_s);
        QCOMPARE(f.LinguaggioElenco(), Linguaggio::Cpp);
        QCOMPARE(f.Modello().NumeroRighe(), righePronte(Linguaggio::Cpp));

        // The BASIC addition is in the BASIC file only; the shared list is untouched.
        const QVector<VoceSostituzione> basic =
            stato.ListeDi(Linguaggio::Basic).LeggiSostituzioni();
        QCOMPARE(basic.last(), (VoceSostituzione{u"DoEvents"_s, u"LasciaLavorare"_s}));
        f.SceltaElenco->setCurrentIndex(0);
        QCOMPARE(Righe(f), QStringList{u"If|Se"_s});
        QCOMPARE(stato.NumSostituzioni(), 1);
    }

    // The cleaning list editor switches alike; a language's "&Predefiniti"
    // are its ready cleaning list, which never holds the factory "#".
    void puliziaPerLinguaggio()
    {
        FinestraPrincipale &form = Prepara({{u"If"_s, u"Se"_s}});
        Contesto &stato = m_amb->Condiviso();
        stato.NomeFileCorrente = m_amb->Percorso(u"main.c"_s);
        stato.OpzioniCodice.ElencoPerLinguaggio = true;
        FinestraElenco f(form, Elenco::Eliminazioni);
        QVERIFY(f.SceltaElenco);
        QCOMPARE(f.SceltaElenco->currentText(), u"C"_s);
        const QVector<VoceEliminazione> pronta = PuliziaDelLinguaggio(Linguaggio::C);
        QCOMPARE(f.Modello().Eliminazioni(), pronta);
        QVERIFY(QFile::exists(m_amb->Percorso(u"pulizia-c.dat"_s)));
        f.Modello().Rimuovi(0);
        Copione::RispondiMessaggio(Risposta::Si); // lose the removal
        f.BottonePredefiniti->click();
        QCOMPARE(f.Modello().Eliminazioni(), pronta);
        QVERIFY(!f.Modello().ContieneParola(u"#"_s));
        f.SceltaElenco->setCurrentIndex(0);
        QCOMPARE(f.LinguaggioElenco(), Linguaggio::Nessuno);
        QCOMPARE(f.Modello().Eliminazioni(),
                 QVector<VoceEliminazione>{EliminazioniPredefinite()[0]});
        QCOMPARE(Copione::Messaggi().size(), 1);
    }
};

QTEST_MAIN(TestElenchi)
#include "test_elenchi.moc"
