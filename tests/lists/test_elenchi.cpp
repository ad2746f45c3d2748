// The list editors and their entry dialogs, driven through the real windows.

#include "aiuti/AmbienteProva.h"
#include "aiuti/ModelliRiferimento.h"
#include "app/CodificaAnsi.h"
#include "app/Form1.h"
#include "lists/FinestraElenco.h"
#include "lists/FinestraVoce.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTreeWidget>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Piattaforma;

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
    for (int i = 1; i <= f.NumeroRighe(); ++i)
        righe.append(f.Testo(i, 0) + QLatin1Char('|') + f.Testo(i, 1));
    return righe;
}

void Seleziona(FinestraElenco &f, int riga)
{
    f.ListView1->setCurrentItem(f.ListView1->topLevelItem(riga - 1));
}

// Opens the entry dialog with `apri` and fills it; `ok` then presses OK, else Annulla.
void Voce(std::function<void()> apri, const QString &primo, std::optional<QString> secondo,
          std::optional<bool> intera = std::nullopt, QString *titolo = nullptr,
          std::function<void(FinestraVoce *)> controlla = {})
{
    Copione::QuandoModale([=](QDialog *d) {
        auto *v = qobject_cast<FinestraVoce *>(d);
        QVERIFY(v);
        if (titolo) *titolo = v->windowTitle();
        if (controlla) controlla(v);
        v->Text1->setText(primo);
        if (secondo) v->Text2->setText(*secondo);
        if (intera) v->Check1->setChecked(*intera);
        QTest::keyClick(v->Text1, Qt::Key_Return); // Enter is OK
    });
    apri();
}

} // namespace

class TestElenchi : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;

    // `risposteAvvio` answers the start-up questions (an empty list file asks one).
    Form1 &Prepara(const QVector<VoceSostituzione> &voci = SostituzioniPredefinite(),
                   QList<Risposta> risposteAvvio = {})
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(voci);
        for (Risposta r : risposteAvvio)
            Copione::RispondiMessaggio(r);
        Form1 &form = m_amb->Avvia();
        Copione::Messaggi();
        return form;
    }
    QByteArray File(Elenco e) { return AmbienteProva::LeggiFile(m_amb->Stato().Liste.Percorso(e)); }

private Q_SLOTS:
    void cleanup()
    {
        VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
    }

    void predefinitiESalvaByteEsatti()
    {
        Form1 &form = Prepara({}, {Risposta::No});
        QVERIFY(!Comando(form, "mnuStrumAvvia")->isEnabled());
        FinestraElenco sost(form, Elenco::Sostituzioni);
        sost.Command5->click();
        QCOMPARE(sost.NumeroRighe(), 8);
        Copione::RispondiMessaggio(Risposta::OK);
        sost.Command2->click();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QCOMPARE(messaggi[0].testo, QStringLiteral("I dati sono stati salvati."));
        QCOMPARE(messaggi[0].icona, Icona::Informazione);
        QByteArray atteso;
        for (const auto &v : SostituzioniPredefinite())
            atteso += Modello::RecordLetterale(
                {CodificaAnsi::Codifica(v.Trova), CodificaAnsi::Codifica(v.Sostituisci)}, {});
        QCOMPARE(File(Elenco::Sostituzioni), atteso);
        QCOMPARE(m_amb->Stato().NumSostituzioni, 8);
        sost.Command6->click();
        QVERIFY(Comando(form, "mnuStrumAvvia")->isEnabled());

        FinestraElenco elim(form, Elenco::Eliminazioni);
        elim.Command5->click();
        QCOMPARE(Righe(elim).last(), QStringLiteral("#|No"));
        Copione::RispondiMessaggio(Risposta::OK);
        elim.Command2->click();
        Copione::Messaggi();
        const QByteArray dati = File(Elenco::Eliminazioni);
        QCOMPARE(dati.size(), 9 * 128);
        QCOMPARE(dati.mid(8 * 128, 128), Modello::RecordLetterale({"#", "No"}, {0}));
        QCOMPARE(dati.first(128), Modello::RecordLetterale({"vbInformation", "S\xEC"}, {1}));
    }

    void predefinitiSenzaSalvareNonCambiaNulla()
    {
        Form1 &form = Prepara({{QStringLiteral("A"), QStringLiteral("B")}});
        const QByteArray prima = File(Elenco::Sostituzioni);
        {
            FinestraElenco sost(form, Elenco::Sostituzioni);
            sost.Command5->click();
            Copione::RispondiMessaggio(Risposta::No); // do not save the changes
            sost.Command6->click();
        }
        QCOMPARE(File(Elenco::Sostituzioni), prima);
        QCOMPARE(m_amb->Stato().NumSostituzioni, 1);
        FinestraElenco di_nuovo(form, Elenco::Sostituzioni);
        QCOMPARE(Righe(di_nuovo), QStringList{QStringLiteral("A|B")});
    }

    void caricamentoRifilatoEVociNascoste()
    {
        Form1 &form = Prepara({{QStringLiteral("  If "), QStringLiteral(" Se  ")},
                               {QStringLiteral("Then"), QString()},
                               {QString(), QStringLiteral("vuota")},
                               {QStringLiteral("\tFor"), QStringLiteral("Per")}});
        QCOMPARE(m_amb->Stato().NumSostituzioni, 3);
        FinestraElenco sost(form, Elenco::Sostituzioni);
        QCOMPARE(Righe(sost), (QStringList{QStringLiteral("If|Se"), QStringLiteral("|vuota"),
                                           QStringLiteral("\tFor|Per")}));
        Copione::RispondiMessaggio(Risposta::OK);
        sost.Command2->click();
        Copione::Messaggi();
        // Saved trimmed, the row without a replacement dropped; the empty word is not an entry.
        QCOMPARE(File(Elenco::Sostituzioni).size(), 3 * 128);
        QCOMPARE(File(Elenco::Sostituzioni).first(128), Modello::RecordLetterale({"If", "Se"}, {}));
        QCOMPARE(m_amb->Stato().NumSostituzioni, 2);
    }

    void frecce()
    {
        Form1 &form = Prepara({{QStringLiteral("If"), QStringLiteral("Se")},
                               {QStringLiteral("Then"), QStringLiteral("Allora")},
                               {QStringLiteral("For"), QStringLiteral("Per")}});
        FinestraElenco f(form, Elenco::Sostituzioni);
        const QStringList iniziale = Righe(f);
        Seleziona(f, 1);
        f.Command9->click(); // first row up: nothing
        QCOMPARE(Righe(f), iniziale);
        Seleziona(f, 3);
        f.Command10->click(); // last row down: nothing
        QCOMPARE(Righe(f), iniziale);
        Seleziona(f, 2);
        f.Command9->click();
        QCOMPARE(Righe(f), (QStringList{QStringLiteral("Then|Allora"), QStringLiteral("If|Se"),
                                        QStringLiteral("For|Per")}));
        QCOMPARE(f.RigaSelezionata(), 1);
        f.Command10->click();
        f.Command10->click();
        QCOMPARE(Righe(f), (QStringList{QStringLiteral("If|Se"), QStringLiteral("For|Per"),
                                        QStringLiteral("Then|Allora")}));
        QCOMPARE(f.RigaSelezionata(), 3);
        // Nothing selected: the commands do nothing.
        f.ListView1->clearSelection();
        f.Command4->click();
        f.Command7->click();
        QCOMPARE(f.NumeroRighe(), 3);
        Seleziona(f, 2);
        f.Command4->click();
        QCOMPARE(Righe(f), (QStringList{QStringLiteral("If|Se"), QStringLiteral("Then|Allora")}));
    }

    void rimuoviTuttiSalvaChiudi()
    {
        Form1 &form = Prepara();
        QVERIFY(Comando(form, "mnuStrumAvvia")->isEnabled());
        Copione::QuandoModale([](QDialog *d) {
            auto *f = qobject_cast<FinestraElenco *>(d);
            f->Command1->click();
            Copione::RispondiMessaggio(Risposta::OK);
            f->Command2->click();
            f->Command6->click();
        });
        Comando(form, "mnuStrumSost")->trigger();
        Copione::Messaggi();
        QCOMPARE(File(Elenco::Sostituzioni).size(), 0);
        QCOMPARE(m_amb->Stato().NumSostituzioni, 0);
        QVERIFY(!Comando(form, "mnuStrumAvvia")->isEnabled());

        Copione::QuandoModale([](QDialog *d) {
            auto *f = qobject_cast<FinestraElenco *>(d);
            f->Command1->click();
            Copione::RispondiMessaggio(Risposta::OK);
            f->Command2->click();
            f->close();
        });
        Comando(form, "mnuStrumPul")->trigger();
        Copione::Messaggi();
        QVERIFY(!Comando(form, "mnuStrumAPul")->isEnabled());
    }

    void aggiungiConDuplicati()
    {
        Form1 &form = Prepara({{QStringLiteral("If"), QStringLiteral("Se")},
                               {QStringLiteral("è"), QStringLiteral("x")}});
        FinestraElenco f(form, Elenco::Sostituzioni);
        // "if" against "If": refused, the dialog stays open with the texts typed.
        Copione::QuandoModale([](QDialog *d) {
            auto *v = qobject_cast<FinestraVoce *>(d);
            QCOMPARE(v->windowTitle(), QStringLiteral("Aggiungi"));
            QCOMPARE(v->Text1->text(), QString());
            v->Text1->setText(QStringLiteral("if"));
            v->Text2->setText(QStringLiteral("se"));
            Copione::RispondiMessaggio(Risposta::OK);
            v->Command1->click();
            QVERIFY(v->isVisible());
            QCOMPARE(v->Text1->text(), QStringLiteral("if"));
            Copione::RispondiMessaggio(Risposta::OK);
            v->Text1->setText(QStringLiteral("È"));
            v->Command1->click();
            QVERIFY(v->isVisible());
            QTest::keyClick(v, Qt::Key_Escape); // Annulla
        });
        f.Command3->click();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 2);
        QCOMPARE(messaggi[0].testo,
                 QStringLiteral("Esiste già 'if' nella lista delle sostituzioni!"));
        QCOMPARE(messaggi[0].icona, Icona::Esclamazione);
        QCOMPARE(messaggi[1].testo,
                 QStringLiteral("Esiste già 'È' nella lista delle sostituzioni!"));
        QCOMPARE(f.NumeroRighe(), 2);

        // "If " with a trailing space is another word.
        Voce([&] { f.Command3->click(); }, QStringLiteral("If "), QStringLiteral("Se"));
        QCOMPARE(f.NumeroRighe(), 3);
        Copione::RispondiMessaggio(Risposta::OK);
        f.Command2->click();
        f.Command8->click();
        Copione::Messaggi();
        QCOMPARE(Righe(f), (QStringList{QStringLiteral("If|Se"), QStringLiteral("è|x"),
                                        QStringLiteral("If|Se")}));
    }

    void invioSulPulsanteConIlFuoco_data()
    {
        // Enter with the focus on a push button presses that button; elsewhere
        // it presses the default one.
        QTest::addColumn<QString>("fuoco"); // in the editor, or "voce" + Tabs from Text1
        QTest::addColumn<int>("righe");
        QTest::addColumn<QStringList>("modali");
        QTest::addColumn<QString>("ultima"); // the last row's word
        const QStringList voce{QStringLiteral("frmMA")};
        const QString nuova = QStringLiteral("Nuova");
        const QString immutata = QStringLiteral("Not"); // the last default entry
        QTest::newRow("&Rimuovi") << QStringLiteral("Command4") << 7 << QStringList() << immutata;
        QTest::newRow("&Chiudi") << QStringLiteral("Command6") << 8 << QStringList() << immutata;
        QTest::newRow("lista: &Modifica...")
            << QStringLiteral("ListView1") << 8 << voce << immutata;
        QTest::newRow("Annulla dopo tre Tab") << QStringLiteral("voce3") << 8 << voce << immutata;
        QTest::newRow("OK dopo due Tab") << QStringLiteral("voce2") << 9 << voce << nuova;
        QTest::newRow("OK dal testo") << QStringLiteral("voce0") << 9 << voce << nuova;
    }

    void invioSulPulsanteConIlFuoco()
    {
        QFETCH(QString, fuoco);
        QFETCH(int, righe);
        QFETCH(QStringList, modali);
        QFETCH(QString, ultima);
        Form1 &form = Prepara();
        FinestraElenco f(form, Elenco::Sostituzioni);
        f.show();
        f.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &f);
        Seleziona(f, 1);
        if (fuoco.startsWith(QStringLiteral("voce"))) {
            const int tab = fuoco.mid(4).toInt();
            Copione::QuandoModale([tab](QDialog *d) {
                auto *v = qobject_cast<FinestraVoce *>(d);
                v->activateWindow();
                QTRY_COMPARE(QApplication::activeWindow(), v);
                v->Text1->setText(QStringLiteral("Nuova"));
                v->Text2->setText(QStringLiteral("nuova"));
                for (int i = 0; i < tab; ++i)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            });
            f.Command3->setFocus();
            QTest::keyClick(f.Command3, Qt::Key_Return); // "A&ggiungi..." has the focus
        } else {
            if (!modali.isEmpty()) Copione::QuandoModale([](QDialog *d) { d->reject(); });
            auto *w = f.findChild<QWidget *>(fuoco);
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Return);
        }
        QCOMPARE(Copione::ModaliMostrati(), modali);
        QCOMPARE(f.NumeroRighe(), righe);
        QCOMPARE(f.Testo(righe, 0), ultima);
        QCOMPARE(f.Testo(1, 0), fuoco == QStringLiteral("Command4") ? QStringLiteral("Then")
                                                                    : QStringLiteral("If"));
        QCOMPARE(f.isVisible(), fuoco != QStringLiteral("Command6"));
    }

    void modificaSenzaControlloDuplicati()
    {
        Form1 &form = Prepara({{QStringLiteral("If"), QStringLiteral("Se")},
                               {QStringLiteral("For"), QStringLiteral("Per")}});
        FinestraElenco f(form, Elenco::Sostituzioni);
        Seleziona(f, 2);
        QString titolo;
        Voce([&] { f.Command7->click(); }, QStringLiteral("If"), QStringLiteral("Se!"),
             std::nullopt, &titolo,
             [](FinestraVoce *v) {
                 QCOMPARE(v->Text1->text(), QStringLiteral("For"));
                 QCOMPARE(v->Text2->text(), QStringLiteral("Per"));
             });
        QCOMPARE(titolo, QStringLiteral("Modifica"));
        QCOMPARE(m_amb->Stato().IndiceModifica, 2);
        QCOMPARE(Righe(f), (QStringList{QStringLiteral("If|Se"), QStringLiteral("If|Se!")}));
    }

    void eliminazioniSiENo()
    {
        Form1 &form = Prepara();
        FinestraElenco f(form, Elenco::Eliminazioni);
        QCOMPARE(f.objectName(), QStringLiteral("frmEl"));
        f.Command1->click();
        Voce([&] { f.Command3->click(); }, QStringLiteral("Unload"), std::nullopt, true);
        Voce([&] { f.Command3->click(); }, QStringLiteral("#"), std::nullopt, false);
        QCOMPARE(Righe(f), (QStringList{QStringLiteral("Unload|Sì"), QStringLiteral("#|No")}));
        Copione::QuandoModale([](QDialog *d) {
            QCOMPARE(d->objectName(), QStringLiteral("frmMA1"));
            QVERIFY(qobject_cast<FinestraVoce *>(d)->Check1->isChecked());
            d->reject();
        });
        Seleziona(f, 1);
        f.Command7->click();
        Copione::QuandoModale([](QDialog *d) {
            QVERIFY(!qobject_cast<FinestraVoce *>(d)->Check1->isChecked());
            d->reject();
        });
        Seleziona(f, 2);
        f.Command7->click();
        Copione::QuandoModale([](QDialog *d) {
            auto *v = qobject_cast<FinestraVoce *>(d);
            v->Text1->setText(QStringLiteral("UNLOAD"));
            Copione::RispondiMessaggio(Risposta::OK);
            v->Command1->click();
            v->reject();
        });
        f.Command3->click();
        QCOMPARE(
            Copione::TestiMessaggi(Copione::Messaggi()),
            QStringList{QStringLiteral("Esiste già 'UNLOAD' nella lista delle eliminazioni!")});
        QCOMPARE(f.NumeroRighe(), 2);
    }

    void righeCheIlFileNonPuoContenere()
    {
        Form1 &form = Prepara();
        FinestraElenco f(form, Elenco::Sostituzioni);
        const QStringList prima = Righe(f);
        Copione::QuandoModale([](QDialog *d) {
            auto *v = qobject_cast<FinestraVoce *>(d);
            v->Text1->setText(QString(100, QLatin1Char('a')));
            v->Text2->setText(QString(25, QLatin1Char('b')));
            Copione::RispondiMessaggio(Risposta::OK);
            v->Command1->click();
            QVERIFY(v->isVisible());
            QCOMPARE(v->Text2->text(), QString(25, QLatin1Char('b')));
            v->Text1->setText(QStringLiteral("Ω"));
            v->Text2->setText(QStringLiteral("omega"));
            Copione::RispondiMessaggio(Risposta::OK);
            v->Command1->click();
            QVERIFY(v->isVisible());
            v->reject();
        });
        f.Command3->click();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 2);
        QVERIFY(messaggi[0].testo.contains(QStringLiteral("124")));
        QVERIFY(messaggi[1].testo.contains(QStringLiteral("Windows-1252")));
        QCOMPARE(Righe(f), prima);

        FinestraElenco e(form, Elenco::Eliminazioni);
        Copione::QuandoModale([](QDialog *d) {
            auto *v = qobject_cast<FinestraVoce *>(d);
            v->Text1->setText(QString(121, QLatin1Char('x')));
            v->Check1->setChecked(true);
            Copione::RispondiMessaggio(Risposta::OK);
            v->Command1->click();
            QVERIFY(v->isVisible());
            v->reject();
        });
        e.Command3->click();
        QVERIFY(Copione::Messaggi().first().testo.contains(QStringLiteral("120")));
    }

    void salvataggioImpossibileConservaIlFile()
    {
        Form1 &form = Prepara();
        Modulo1 &stato = m_amb->Stato();
        const QByteArray prima = File(Elenco::Sostituzioni);
        // The list folder turns into a file: nothing can be written there.
        const QString cartella = stato.Liste.Cartella();
        QVERIFY(QDir().rename(cartella, cartella + QStringLiteral("-spostata")));
        QFile blocco(cartella);
        QVERIFY(blocco.open(QIODevice::WriteOnly));
        blocco.close();

        FinestraElenco f(form, Elenco::Sostituzioni);
        f.Command1->click();
        Copione::RispondiMessaggio(Risposta::OK);
        f.Command2->click();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QVERIFY(messaggi[0].testo.startsWith(QStringLiteral("Errore: ")));
        QCOMPARE(messaggi[0].icona, Icona::Critico);
        QCOMPARE(stato.NumSostituzioni, 8);
        QCOMPARE(AmbienteProva::LeggiFile(cartella + QStringLiteral("-spostata/sostituzioni.dat")),
                 prima);
        Copione::RispondiMessaggio(Risposta::No); // close without saving
        f.Command6->click();
        QVERIFY(Comando(form, "mnuStrumAvvia")->isEnabled());
        QFile::remove(cartella);
        QDir().rename(cartella + QStringLiteral("-spostata"), cartella);
    }

    // Closing with rows that differ from the file asks whether to save them.
    void chiusuraConRigheCambiate_data()
    {
        QTest::addColumn<QString>("modifica");
        QTest::addColumn<bool>("pulsanteChiudi"); // else the window's close button
        QTest::addColumn<int>("risposta");        // -1: no question
        QTest::addColumn<bool>("aperta");
        QTest::addColumn<bool>("salvato");
        const int si = int(Risposta::Si), no = int(Risposta::No), annulla = int(Risposta::Annulla);
        QTest::newRow("nessuna modifica") << "nessuna" << true << -1 << false << false;
        QTest::newRow("spostata e rimessa") << "rimessa" << true << -1 << false << false;
        QTest::newRow("Chiudi, Sì") << "predefiniti" << true << si << false << true;
        QTest::newRow("Chiudi, No") << "predefiniti" << true << no << false << false;
        QTest::newRow("Chiudi, Annulla") << "predefiniti" << true << annulla << true << false;
        QTest::newRow("chiusura, Sì") << "predefiniti" << false << si << false << true;
        QTest::newRow("chiusura, No") << "predefiniti" << false << no << false << false;
        QTest::newRow("chiusura, Annulla") << "predefiniti" << false << annulla << true << false;
    }
    void chiusuraConRigheCambiate()
    {
        QFETCH(QString, modifica);
        QFETCH(bool, pulsanteChiudi);
        QFETCH(int, risposta);
        QFETCH(bool, aperta);
        QFETCH(bool, salvato);
        Form1 &form = Prepara({{QStringLiteral("A"), QStringLiteral("B")},
                               {QStringLiteral("C"), QStringLiteral("D")}});
        const QByteArray prima = File(Elenco::Sostituzioni);
        FinestraElenco f(form, Elenco::Sostituzioni);
        f.show();
        if (modifica == QStringLiteral("rimessa")) {
            Seleziona(f, 1);
            f.Command10->click();
            f.Command9->click();
        } else if (modifica == QStringLiteral("predefiniti")) {
            f.Command5->click();
        }
        if (risposta >= 0) Copione::RispondiMessaggio(Risposta(risposta));
        if (risposta == int(Risposta::Si)) Copione::RispondiMessaggio(Risposta::OK);
        if (pulsanteChiudi)
            f.Command6->click();
        else
            f.close();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), risposta < 0 ? 0 : risposta == int(Risposta::Si) ? 2 : 1);
        if (risposta >= 0) {
            QCOMPARE(messaggi[0].testo, QStringLiteral("Salvare le modifiche all'elenco?"));
            QCOMPARE(messaggi[0].pulsanti, Pulsanti::SiNoAnnulla);
        }
        QCOMPARE(f.isVisible(), aperta);
        QCOMPARE(File(Elenco::Sostituzioni) != prima, salvato);
        if (salvato) QCOMPARE(m_amb->Stato().NumSostituzioni, 8);
    }

    // A list file that cannot be written, or not even read, does not stop the
    // program, and is never replaced.
    void elencoNonScrivibileOIlleggibile_data()
    {
        QTest::addColumn<QString>("come");
        QTest::newRow("sola lettura") << "sola lettura";
        QTest::newRow("illeggibile") << "illeggibile";
        QTest::newRow("una cartella al suo posto") << "cartella";
    }
    void elencoNonScrivibileOIlleggibile()
    {
        QFETCH(QString, come);
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        const QString pulizia = m_amb->Percorso(QStringLiteral("pulizia.dat"));
        const QByteArray prima = AmbienteProva::LeggiFile(pulizia);
        const QByteArray fp = QFile::encodeName(pulizia);
        auto ripristina = qScopeGuard([&] {
            Immutabile(pulizia, false);
            chmod(fp.constData(), 0644);
        });
        QString erroreScrittura;
        if (come == QStringLiteral("cartella")) {
            QFile::remove(pulizia);
            QVERIFY(QDir().mkdir(pulizia));
        } else if (geteuid() != 0) {
            chmod(fp.constData(), come == QStringLiteral("illeggibile") ? 0 : 0444);
            erroreScrittura = QStringLiteral("Errore: Permesso negato  (13)");
        } else if (come == QStringLiteral("illeggibile")) {
            QSKIP("root can read every file (the core tests cover it as a normal user)");
        } else if (Immutabile(pulizia, true)) {
            erroreScrittura = QStringLiteral("Errore: Operazione non permessa  (1)");
        } else {
            QSKIP("root can write every file and this file system has no immutable files");
        }
        const bool leggibile = come == QStringLiteral("sola lettura");

        if (!leggibile) Copione::RispondiMessaggio(Risposta::OK);
        Form1 &form = m_amb->Avvia();
        auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), leggibile ? 0 : 1);
        if (!leggibile) {
            QVERIFY(messaggi[0].testo.startsWith(QStringLiteral("Impossibile leggere l'elenco")));
            QCOMPARE(messaggi[0].icona, Icona::Critico);
        }
        QCOMPARE(Comando(form, "mnuStrumAPul")->isEnabled(), leggibile);
        QVERIFY(Comando(form, "mnuStrumAvvia")->isEnabled());
        QCOMPARE(m_amb->Stato().NumSostituzioni, 8);

        // The editor shows what could be read and takes edits; only saving is refused.
        if (!leggibile) Copione::RispondiMessaggio(Risposta::OK); // the read error again
        FinestraElenco f(form, Elenco::Eliminazioni);
        QCOMPARE(Copione::Messaggi().size(), leggibile ? 0 : 1);
        QCOMPARE(f.NumeroRighe(), leggibile ? 1 : 0);
        f.Command5->click();
        Copione::RispondiMessaggio(Risposta::OK);
        f.Command2->click();
        messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        if (leggibile)
            QCOMPARE(messaggi[0].testo, erroreScrittura);
        else
            QVERIFY(messaggi[0].testo.contains(QStringLiteral("non è stato letto")));
        QCOMPARE(messaggi[0].icona, Icona::Critico);
        Copione::RispondiMessaggio(Risposta::No);
        f.Command6->click();
        ripristina.dismiss();
        Immutabile(pulizia, false);
        chmod(fp.constData(), 0644);
        if (come == QStringLiteral("cartella"))
            QVERIFY(QFileInfo(pulizia).isDir());
        else
            QCOMPARE(AmbienteProva::LeggiFile(pulizia), prima);
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
        m_amb->ScriviFile(QStringLiteral("pulizia.dat"), danneggiato);
        Form1 &form = m_amb->Avvia();
        FinestraElenco f(form, Elenco::Eliminazioni);
        f.show();
        QCOMPARE(f.NumeroRighe(), 2);
        Copione::RispondiMessaggio(Risposta::OK);
        f.Command2->click();
        auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QVERIFY(messaggi[0].testo.contains(
            QStringLiteral("la riga 2 (\"%1\")").arg(QString(124, QLatin1Char('z')))));
        QCOMPARE(messaggi[0].icona, Icona::Esclamazione);

        // Closing with Sì tries that save: refused, so the window stays open.
        Seleziona(f, 1);
        f.Command4->click();
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::RispondiMessaggio(Risposta::OK);
        f.Command6->click();
        QCOMPARE(Copione::Messaggi().size(), 2);
        QVERIFY(f.isVisible());
        Copione::RispondiMessaggio(Risposta::No);
        f.Command6->click();
        QVERIFY(!f.isVisible());
        QCOMPARE(File(Elenco::Eliminazioni), danneggiato);
    }

    // Every row shows the same picture, however it was added: one icon for a
    // list of millions of rows.
    void unaSolaIconaPerTutteLeRighe()
    {
        Form1 &form = Prepara();
        FinestraElenco f(form, Elenco::Sostituzioni);
        Voce([&] { f.Command3->click(); }, QStringLiteral("Loop"), QStringLiteral("Ciclo"));
        Seleziona(f, 2);
        Voce([&] { f.Command7->click(); }, QStringLiteral("Else"), QStringLiteral("Altrimenti"));
        const QIcon icona = f.ListView1->topLevelItem(0)->icon(0);
        QVERIFY(!icona.isNull());
        QCOMPARE(f.NumeroRighe(), 9);
        for (int i = 1; i < f.NumeroRighe(); ++i)
            QCOMPARE(f.ListView1->topLevelItem(i)->icon(0).cacheKey(), icona.cacheKey());
    }
};

QTEST_MAIN(TestElenchi)
#include "test_elenchi.moc"
