// The File menu and the closing procedure, with scripted boxes and dialogs.

#include "aiuti/AmbienteProva.h"
#include "aiuti/DispositivoGuasto.h"
#include "app/EditorTesto.h"
#include "app/Form1.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace Piattaforma;

namespace {
const QString Modificato = QStringLiteral("Il testo è stato modificato. Salvare le modifiche?");
const QString Esiste = QStringLiteral("Il file esiste già. Si desidera sostituirlo?");
} // namespace

class TestComandiFile : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;

    Form1 &Prepara()
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        return m_amb->Avvia();
    }
    Modulo1 &Stato() { return m_amb->Stato(); }
    QString P(const QString &nome) { return m_amb->Percorso(nome); }
    static void Digita(Form1 &f, const QString &testo)
    {
        f.Editor()->SetSelStart(f.Editor()->Lunghezza());
        QTest::keyClicks(f.Editor(), testo);
    }

private Q_SLOTS:
    void cleanup()
    {
        VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
    }

    void filtroDelDialogo()
    {
        Form1 &f = Prepara();
        QCOMPARE(
            f.DialogoApriSalva().Descrizioni(),
            (QStringList{QStringLiteral("File di testo (*.txt, *.c, *.cpp, *.bas, *.frm, *.h)"),
                         QStringLiteral("Solo testo (*.txt)"),
                         QStringLiteral("Form di Visual Basic (*.frm)"),
                         QStringLiteral("Modulo di Visual Basic (*.bas)"),
                         QStringLiteral("File batch (*.bat)"),
                         QStringLiteral("Sorgente C (*.c, *.cpp)"),
                         QStringLiteral("Tutti i file (*.*)")}));
        Copione::RispondiFile(std::nullopt);
        Comando(f, "mnuFileApri")->trigger();
        const auto dialoghi = Copione::Dialoghi();
        QCOMPARE(dialoghi.size(), 1);
        QCOMPARE(dialoghi[0].filtroSelezionato, f.DialogoApriSalva().Descrizioni().first());
        QCOMPARE(dialoghi[0].modo, DialogoFile::Modo::Apri);
    }

    void tabellaDegliStati()
    {
        Form1 &f = Prepara();
        Comando(f, "mnuFileSalva")->trigger(); // nothing typed: nothing happens
        QCOMPARE(Copione::Dialoghi().size(), 0);

        Digita(f, QStringLiteral("If a"));
        QVERIFY(Stato().TestoModificato);
        // "&Salva" on a new text asks for a name and does not keep it.
        Copione::RispondiFile(P(QStringLiteral("uno.bas")));
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(AmbienteProva::LeggiFile(P(QStringLiteral("uno.bas"))), QByteArray("If a\r\n"));
        QVERIFY(!Stato().TestoModificato);
        QVERIFY(Stato().NomeFileCorrente.isEmpty());
        Digita(f, QStringLiteral("b"));
        Copione::RispondiFile(P(QStringLiteral("due.bas")));
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(Copione::Dialoghi().size(), 2);
        // The dialog offers the path chosen last.
        Digita(f, QStringLiteral("c"));
        Copione::RispondiFile(P(QStringLiteral("tre.bas")));
        Comando(f, "mnuFilsSalvaN")->trigger();
        QCOMPARE(Copione::Dialoghi().last().percorsoProposto, P(QStringLiteral("due.bas")));
        QCOMPARE(Stato().NomeFileCorrente, P(QStringLiteral("tre.bas")));
        QVERIFY(!Stato().TestoModificato);
        // Named: saved without a question.
        Digita(f, QStringLiteral("d"));
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(AmbienteProva::LeggiFile(P(QStringLiteral("tre.bas"))), QByteArray("If abcd\r\n"));
        QCOMPARE(Copione::Dialoghi().size(), 0);
        // "&Nuovo" on a saved text: empty, unnamed, unmodified.
        Comando(f, "mnuFileNuovo")->trigger();
        QCOMPARE(f.Editor()->Text(), QString());
        QVERIFY(Stato().NomeFileCorrente.isEmpty());
        QVERIFY(!Stato().TestoModificato);
        QCOMPARE(Copione::Messaggi().size(), 0);
    }

    void sovrascritturaNoPoiAnnulla()
    {
        Form1 &f = Prepara();
        m_amb->ScriviFile(QStringLiteral("vecchio.txt"), "vecchio");
        Digita(f, QStringLiteral("nuovo"));
        Copione::RispondiFile(P(QStringLiteral("vecchio.txt")));
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiFile(std::nullopt);
        Comando(f, "mnuFileSalva")->trigger();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QCOMPARE(messaggi[0].testo, Esiste);
        QCOMPARE(messaggi[0].pulsanti, Pulsanti::SiNo);
        QCOMPARE(messaggi[0].icona, Icona::Esclamazione);
        QCOMPARE(messaggi[0].titolo, QStringLiteral("Salva con nome"));
        QCOMPARE(Copione::Dialoghi().size(), 2);
        QCOMPARE(AmbienteProva::LeggiFile(P(QStringLiteral("vecchio.txt"))), QByteArray("vecchio"));
        QVERIFY(Stato().TestoModificato);

        // Yes replaces it.
        Copione::RispondiFile(P(QStringLiteral("vecchio.txt")));
        Copione::RispondiMessaggio(Risposta::Si);
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(AmbienteProva::LeggiFile(P(QStringLiteral("vecchio.txt"))),
                 QByteArray("nuovo\r\n"));
        Copione::Messaggi();
        Copione::Dialoghi();
    }

    void salvaConNomeAnnullato()
    {
        Form1 &f = Prepara();
        Stato().NomeFileCorrente = P(QStringLiteral("mio.txt"));
        Copione::RispondiFile(std::nullopt);
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuFilsSalvaN")->trigger();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QCOMPARE(messaggi[0].testo,
                 QStringLiteral("Errore: Operazione annullata dall'utente  (32755)"));
        QCOMPARE(messaggi[0].icona, Icona::Critico);
        QCOMPARE(messaggi[0].titolo, QStringLiteral("Quadrivo"));
        QCOMPARE(Stato().NomeFileCorrente, P(QStringLiteral("mio.txt")));
        Copione::Dialoghi();
    }

    void nuovoChiedeAncheConNome()
    {
        Form1 &f = Prepara();
        m_amb->ScriviFile(QStringLiteral("a.bas"), "If x\r\n");
        Copione::RispondiFile(P(QStringLiteral("a.bas")));
        Comando(f, "mnuFileApri")->trigger();
        Digita(f, QStringLiteral("Then"));
        // Yes on a named text saves it to its own file, no dialog.
        Copione::RispondiMessaggio(Risposta::Si);
        Comando(f, "mnuFileNuovo")->trigger();
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()), QStringList{Modificato});
        QCOMPARE(Copione::Dialoghi().size(), 1);
        QCOMPARE(AmbienteProva::LeggiFile(P(QStringLiteral("a.bas"))),
                 QByteArray("If x\r\nThen\r\n"));
        QCOMPARE(f.Editor()->Text(), QString());

        // Cancel ends the command with nothing changed.
        Digita(f, QStringLiteral("z"));
        Copione::RispondiMessaggio(Risposta::Annulla);
        Comando(f, "mnuFileNuovo")->trigger();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("z"));
        QVERIFY(Stato().TestoModificato);
        Copione::Messaggi();
    }

    void apriNonRiuscitoNonCambiaNulla()
    {
        Form1 &f = Prepara();
        m_amb->ScriviFile(QStringLiteral("a.txt"), "prima");
        Copione::RispondiFile(P(QStringLiteral("a.txt")));
        Comando(f, "mnuFileApri")->trigger();
        Digita(f, QStringLiteral("!"));
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiFile(P(QStringLiteral("manca.txt")));
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuFileApri")->trigger();
        auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 2);
        QVERIFY(
            messaggi[1].testo.startsWith(QStringLiteral("Errore: File o cartella inesistente  (")));
        QCOMPARE(f.Editor()->Text(), QStringLiteral("prima!"));
        QCOMPARE(Stato().NomeFileCorrente, P(QStringLiteral("a.txt")));
        QVERIFY(Stato().TestoModificato);
        QCOMPARE(f.TestoStato(), Form1::TestoInattivo());
        QVERIFY(!HaPuntatoreOccupato(&f));

        // A folder chosen as a file.
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiFile(m_amb->Cartella());
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuFileApri")->trigger();
        messaggi = Copione::Messaggi();
        QVERIFY(messaggi[1].testo.startsWith(QStringLiteral("Errore: È una cartella  (")));
        QCOMPARE(f.Editor()->Text(), QStringLiteral("prima!"));
        Copione::Dialoghi();
    }

    void apriMantieneIlFlag()
    {
        Form1 &f = Prepara();
        m_amb->ScriviFile(QStringLiteral("b.txt"), "B");
        Digita(f, QStringLiteral("x"));
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiFile(P(QStringLiteral("b.txt")));
        Comando(f, "mnuFileApri")->trigger();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("B"));
        QVERIFY(Stato().TestoModificato);
        // So closing asks about the newly opened text.
        Copione::RispondiMessaggio(Risposta::Annulla);
        QVERIFY(!f.close());
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()),
                 (QStringList{Modificato, Modificato}));
        Copione::Dialoghi();
    }

    void apriRtfSalvaTesto()
    {
        Form1 &f = Prepara();
        m_amb->ScriviFile(QStringLiteral("d.rtf"),
                          "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}Caff\\'e8\\par fine}");
        Copione::RispondiFile(P(QStringLiteral("d.rtf")));
        Comando(f, "mnuFileApri")->trigger();
        QCOMPARE(f.Editor()->Text(), QStringLiteral("Caffè\r\nfine"));
        Digita(f, QStringLiteral("!"));
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(AmbienteProva::LeggiFile(P(QStringLiteral("d.rtf"))),
                 QByteArray("Caff\xe8\r\nfine!\r\n"));
        Copione::Dialoghi();
    }

    // A save that fails as on a full disk: the file on disk, the text, the
    // name, the modified flag and the format all stay as they were.
    void scritturaFallitaConservaTutto()
    {
        Form1 &f = Prepara();
        const QString c = P(QStringLiteral("c.txt"));
        m_amb->ScriviFile(QStringLiteral("c.txt"), "originale");
        Copione::RispondiFile(c);
        Comando(f, "mnuFileApri")->trigger();
        // "Ω" is not in the 8-bit code page: a save that went through would make it UTF-8.
        Digita(f, QStringLiteral(" cambiato "));
        f.Editor()->SetSelText(QStringLiteral("Ω"));
        DispositivoGuasto::Installa guasto(5);
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuFileSalva")->trigger();
        Copione::RispondiFile(P(QStringLiteral("altro.txt")));
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuFilsSalvaN")->trigger();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 2);
        for (const auto &m : messaggi) {
            QCOMPARE(m.testo, QStringLiteral("Errore: Spazio esaurito sul dispositivo  (28)"));
            QCOMPARE(m.icona, Icona::Critico);
        }
        QCOMPARE(AmbienteProva::LeggiFile(c), QByteArray("originale"));
        QVERIFY(!QFileInfo::exists(P(QStringLiteral("altro.txt"))));
        QCOMPARE(f.Editor()->Text(), QStringLiteral("originale cambiato Ω"));
        QVERIFY(Stato().TestoModificato);
        QCOMPARE(Stato().NomeFileCorrente, c);
        QCOMPARE(Stato().FormatoDocumento, FormatoTesto{});
        // So closing still asks.
        Copione::RispondiMessaggio(Risposta::Annulla);
        QVERIFY(!f.close());
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()), QStringList{Modificato});
        Copione::Dialoghi();
    }

    // Characters the editor keeps only as line breaks are announced once, when
    // the file is opened.
    void apriConSeparatoriSpeciali()
    {
        Form1 &f = Prepara();
        m_amb->ScriviFile(QStringLiteral("s.txt"),
                          QStringLiteral("a\u2028b\uFDD0c\u2029d\uFDD1e").toUtf8());
        // The line separator stays what it is: no word about it.
        m_amb->ScriviFile(QStringLiteral("n.txt"), QStringLiteral("riga\u2028riga").toUtf8());
        Copione::RispondiFile(P(QStringLiteral("s.txt")));
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuFileApri")->trigger();
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 1);
        QCOMPARE(messaggi[0].testo,
                 QStringLiteral("Il file contiene separatori di paragrafo o di blocco che l'editor "
                                "non conserva come tali: quando il testo sarà salvato, saranno "
                                "scritti come a capo."));
        QCOMPARE(messaggi[0].icona, Icona::Informazione);
        QCOMPARE(messaggi[0].pulsanti, Pulsanti::OK);
        QCOMPARE(Stato().NomeFileCorrente, P(QStringLiteral("s.txt")));
        Digita(f, QStringLiteral("!"));
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(AmbienteProva::LeggiFile(P(QStringLiteral("s.txt"))),
                 QStringLiteral("a\u2028b\r\nc\r\nd\r\ne!\r\n").toUtf8());
        Copione::RispondiFile(P(QStringLiteral("n.txt")));
        Comando(f, "mnuFileApri")->trigger();
        QCOMPARE(Copione::Messaggi().size(), 0);
        Copione::Dialoghi();
    }

    void chiusura()
    {
        Form1 &f = Prepara();
        QVERIFY(f.close()); // nothing changed: no question
        QCOMPARE(Copione::Messaggi().size(), 0);

        Form1 &g = Prepara();
        Digita(g, QStringLiteral("testo"));
        // Cancel keeps everything.
        Copione::RispondiMessaggio(Risposta::Annulla);
        QVERIFY(!g.close());
        QVERIFY(Stato().TestoModificato);
        // Yes, then the save dialog cancelled: the window stays, text and flag too.
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::RispondiFile(std::nullopt);
        QVERIFY(!g.close());
        QCOMPARE(g.Editor()->Text(), QStringLiteral("testo"));
        QVERIFY(Stato().TestoModificato);
        // Yes, an existing file, No, then a new name: saved and closed.
        m_amb->ScriviFile(QStringLiteral("c.txt"), "c");
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::RispondiFile(P(QStringLiteral("c.txt")));
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiFile(P(QStringLiteral("d.txt")));
        QVERIFY(g.close());
        QCOMPARE(AmbienteProva::LeggiFile(P(QStringLiteral("d.txt"))), QByteArray("testo\r\n"));
        QCOMPARE(AmbienteProva::LeggiFile(P(QStringLiteral("c.txt"))), QByteArray("c"));
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()),
                 (QStringList{Modificato, Modificato, Modificato, Esiste}));
        Copione::Dialoghi();
    }

    void chiusuraConScritturaFallita()
    {
        Form1 &f = Prepara();
        Digita(f, QStringLiteral("testo"));
        Stato().NomeFileCorrente = P(QStringLiteral("non/esiste/x.txt"));
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::RispondiMessaggio(Risposta::OK);
        QVERIFY(!f.close());
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 2);
        QVERIFY(
            messaggi[1].testo.startsWith(QStringLiteral("Errore: File o cartella inesistente")));
        QVERIFY(Stato().TestoModificato);
        // No drops the text.
        Copione::RispondiMessaggio(Risposta::No);
        QVERIFY(f.close());
        Copione::Messaggi();
    }
};

QTEST_MAIN(TestComandiFile)
#include "test_comandifile.moc"
