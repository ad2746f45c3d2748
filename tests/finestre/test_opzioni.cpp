// The code-reading options at start-up and in the dialog (the file itself: test_fileopzioni).

#include "aiuti/AmbienteProva.h"
#include "finestre/FinestraOpzioni.h"
#include "finestre/FinestraPrincipale.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace Piattaforma;
using namespace Qt::Literals::StringLiterals;

class TestOpzioni : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;

    // The program started over the default lists, with `opzioni` as its options file (none when
    // null).
    FinestraPrincipale &Avvia(const QByteArray &opzioni = {})
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        if (!opzioni.isNull()) m_amb->ScriviFile(u"opzioni.ini"_s, opzioni);
        return m_amb->Avvia();
    }

private Q_SLOTS:
    void cleanup()
    {
        if (m_amb) VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
    }

    // The file is read at start-up; the dialog shows it and the text's
    // language, and OK stores what was ticked while Annulla stores nothing.
    void dialogo_data()
    {
        QTest::addColumn<QByteArray>("fileAvvio");
        QTest::addColumn<QString>("nomeFile");
        QTest::addColumn<Opzioni>("spuntate");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("linguaggio");
        const QByteArray entrambe = FileOpzioni::Testo({true, true});
        QTest::newRow("basic, attiva")
            << QByteArray() << "/x/Contesto.BAS" << Opzioni{true, false} << true << "BASIC";
        QTest::newRow("c, spegne")
            << entrambe << "/x/main.cpp" << Opzioni{false, true} << true << "C++";
        QTest::newRow("batch, annulla") << entrambe << "/x/a.cmd" << Opzioni{} << false << "Batch";
        QTest::newRow("senza nome")
            << QByteArray() << "" << Opzioni{true, true} << true << "Nessuno";
    }
    void dialogo()
    {
        QFETCH(QByteArray, fileAvvio);
        QFETCH(QString, nomeFile);
        QFETCH(Opzioni, spuntate);
        QFETCH(bool, ok);
        QFETCH(QString, linguaggio);
        FinestraPrincipale &form = Avvia(fileAvvio);
        const Opzioni avvio = FileOpzioni::DaTesto(fileAvvio);
        QCOMPARE(m_amb->Condiviso().OpzioniCodice, avvio);
        m_amb->Condiviso().NomeFileCorrente = nomeFile;
        Copione::QuandoModale([&](QDialog *d) {
            auto *f = qobject_cast<FinestraOpzioni *>(d);
            QVERIFY(f);
            QCOMPARE(f->windowTitle(), u"Opzioni"_s);
            QCOMPARE(f->EtichettaLinguaggio->text(), u"Linguaggio del testo: "_s + linguaggio);
            QCOMPARE(f->CasellaLasciaIntatti->isChecked(), avvio.LasciaIntatti);
            QCOMPARE(f->CasellaSeparatori->isChecked(), avvio.SeparatoriCodice);
            f->CasellaLasciaIntatti->setChecked(spuntate.LasciaIntatti);
            f->CasellaSeparatori->setChecked(spuntate.SeparatoriCodice);
            (ok ? f->BottoneOk : f->BottoneAnnulla)->click();
        });
        Comando(form, "azioneOpzioni")->trigger();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{u"FinestraOpzioni"_s});
        const Opzioni attese = ok ? spuntate : avvio;
        QCOMPARE(m_amb->Condiviso().OpzioniCodice, attese);
        QCOMPARE(FileOpzioni::Leggi(m_amb->Cartella()), attese);
        QCOMPARE(Copione::Messaggi().size(), 0);
    }

    // The per-language box shows and stores its option with the others kept.
    void elencoPerLinguaggio()
    {
        Avvia(FileOpzioni::Testo({true, false, false}));
        FinestraOpzioni f(m_amb->Condiviso());
        QVERIFY(!f.CasellaElencoLinguaggio->isChecked());
        QCOMPARE(f.CasellaElencoLinguaggio->text(), u"Un &elenco per ogni linguaggio"_s);
        f.CasellaElencoLinguaggio->setChecked(true);
        f.BottoneOk->click();
        const Opzioni attese{true, false, true};
        QCOMPARE(m_amb->Condiviso().OpzioniCodice, attese);
        QCOMPARE(FileOpzioni::Leggi(m_amb->Cartella()), attese);
        FinestraOpzioni g(m_amb->Condiviso());
        QVERIFY(g.CasellaElencoLinguaggio->isChecked());
    }

    // A cleaning run's draft saved over its file first keeps the file as
    // NAME~ and says where in the status bar; with the box unticked (stored
    // with the others) the same save keeps nothing.
    void copiaDellOriginale()
    {
        FinestraPrincipale &form = Avvia();
        const QString file = m_amb->Percorso(u"Modulo.bas"_s), copia = file + u"~"_s;
        const QByteArray originale = "MsgBox x, vbInformation\r\n";
        for (const bool conserva : {true, false}) {
            m_amb->ScriviFile(u"Modulo.bas"_s, originale);
            form.ApriFile(file);
            Copione::RispondiMessaggio(Risposta::OK); // delete the words?
            Copione::RispondiMessaggio(Risposta::OK); // words deleted
            Comando(form, "azioneAvviaPulizia")->trigger();
            Comando(form, "azioneSalva")->trigger();
            // A save ends the text with one more CR LF.
            QCOMPARE(AmbienteProva::LeggiFile(file), QByteArray("MsgBox x, \r\n\r\n"));
            QCOMPARE(QFile::exists(copia), conserva);
            QCOMPARE(form.TestoStato().startsWith(u"Copia dell'originale"_s), conserva);
            if (conserva) {
                QCOMPARE(AmbienteProva::LeggiFile(copia), originale);
                QCOMPARE(form.TestoStato(), u"Copia dell'originale conservata in «"_s +
                                                QDir::toNativeSeparators(copia) + u"»"_s);
                QVERIFY(QFile::remove(copia));
                Copione::QuandoModale([](QDialog *d) {
                    auto *f = qobject_cast<FinestraOpzioni *>(d);
                    QVERIFY(f);
                    QCOMPARE(f->CasellaCopiaOriginale->text(),
                             u"Conserva una copia dell'originale (NOME~)"_s);
                    QVERIFY(f->CasellaCopiaOriginale->isChecked());
                    f->CasellaCopiaOriginale->setChecked(false);
                    f->BottoneOk->click();
                });
                Comando(form, "azioneOpzioni")->trigger();
                QVERIFY(!FileOpzioni::Leggi(m_amb->Cartella()).ConservaOriginale);
            }
        }
        QCOMPARE(Copione::Messaggi().size(), 4);
    }

    // Esc is Annulla: the ticks made are not stored.
    void escAnnulla()
    {
        FinestraPrincipale &form = Avvia();
        Copione::QuandoModale([](QDialog *d) {
            auto *f = qobject_cast<FinestraOpzioni *>(d);
            QVERIFY(f);
            f->CasellaLasciaIntatti->setChecked(true);
            QTest::keyClick(f->CasellaLasciaIntatti, Qt::Key_Escape);
            QVERIFY(!f->isVisible());
        });
        Comando(form, "azioneOpzioni")->trigger();
        QCOMPARE(Copione::ModaliMostrati(), QStringList{u"FinestraOpzioni"_s});
        QCOMPARE(m_amb->Condiviso().OpzioniCodice, Opzioni{});
    }

    void dialogoScritturaFallita()
    {
        Avvia();
        // A folder where the file should be: it can be neither written nor replaced.
        QVERIFY(QDir(m_amb->Cartella()).mkdir(u"opzioni.ini"_s));
        FinestraOpzioni f(m_amb->Condiviso());
        f.show();
        f.CasellaLasciaIntatti->setChecked(true);
        Copione::RispondiMessaggio(Risposta::OK);
        f.BottoneOk->click();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QVERIFY2(messaggi[0].testo.startsWith(u"Impossibile salvare le opzioni in"_s),
                 qPrintable(messaggi[0].testo));
        QVERIFY(messaggi[0].testo.contains(u"\r\nErrore: "_s));
        QCOMPARE(messaggi[0].icona, Icona::Critico);
        QVERIFY(f.isVisible());
        QCOMPARE(m_amb->Condiviso().OpzioniCodice, (Opzioni{}));
    }

    // An options file that cannot be taken (a pipe would block the start-up
    // before the window appears) is refused at once: one message naming the
    // file and why, and both options off. The alarm turns a hang into a failure.
    // The other kinds of file refused are checked on the options file.
    void avvioConFileRifiutato()
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        const QString percorso = FileOpzioni::Percorso(m_amb->Cartella());
        QCOMPARE(mkfifo(QFile::encodeName(percorso).constData(), 0600), 0);
        Copione::RispondiMessaggio(Risposta::OK);
        alarm(10);
        m_amb->Avvia();
        alarm(0);
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QVERIFY2(messaggi[0].testo.startsWith(u"Impossibile leggere le opzioni \""_s +
                                              QDir::toNativeSeparators(percorso) + u'"'),
                 qPrintable(messaggi[0].testo));
        QVERIFY2(messaggi[0].testo.contains(u"È una pipe con nome"_s),
                 qPrintable(messaggi[0].testo));
        QCOMPARE(m_amb->Condiviso().OpzioniCodice, (Opzioni{}));
    }

    // An editor settings file that is a named pipe would block the start in
    // open(): the window starts with the defaults and says why, once.
    void avvioConImpostazioniEditorRifiutate()
    {
        QTemporaryDir configurazione;
        const QByteArray prima = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configurazione.path()));
        const QString percorso = configurazione.filePath(u"quadrivo/editor.ini"_s);
        QVERIFY(QDir().mkpath(configurazione.filePath(u"quadrivo"_s)));
        QCOMPARE(mkfifo(QFile::encodeName(percorso).constData(), 0600), 0);
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        Copione::RispondiMessaggio(Risposta::OK);
        alarm(10);
        FinestraPrincipale &f = m_amb->Avvia();
        // Changing a setting writes nothing over the pipe.
        f.findChild<QAction *>(u"azioneACapoAutomatico"_s)->trigger();
        alarm(0);
        qputenv("XDG_CONFIG_HOME", prima);
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QCOMPARE(messaggi[0].testo,
                 u"Impossibile leggere le impostazioni dell'editor \""_s +
                     QDir::toNativeSeparators(percorso) +
                     u"\".\r\nErrore: È una pipe con nome, non un file: non viene aperto  "
                     u"(22)\r\nSi usano le impostazioni predefinite, che non vengono salvate."_s);
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(percorso).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
    }
};

QTEST_MAIN(TestOpzioni)
#include "test_opzioni.moc"
