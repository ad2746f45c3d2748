// The File menu and the closing procedure, with scripted boxes and dialogs.

#include "aiuti/AmbienteProva.h"
#include "aiuti/DispositivoGuasto.h"
#include "app/EditorTesto.h"
#include "app/Form1.h"

#include <QAction>
#include <QFileInfo>
#include <QTest>

using namespace Piattaforma;
using namespace Qt::Literals::StringLiterals;

namespace {
const QString Modificato = u"Il testo è stato modificato. Salvare le modifiche?"_s;
const QString Esiste = u"Il file esiste già. Si desidera sostituirlo?"_s;

// A box as one line, to compare all that was shown in one go.
QString Riga(const Copione::Messaggio &m)
{
    return u"%1 [pulsanti %2, icona %3] %4"_s.arg(m.titolo)
        .arg(int(m.pulsanti))
        .arg(int(m.icona))
        .arg(m.testo);
}

QStringList Righe(const QVector<Copione::Messaggio> &messaggi)
{
    QStringList righe;
    for (const Copione::Messaggio &m : messaggi)
        righe.append(Riga(m));
    return righe;
}
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
    // A file of the test folder: its path, its bytes, written.
    QString P(const char *nome) const { return m_amb->Percorso(QString::fromUtf8(nome)); }
    QByteArray Contenuto(const char *nome) const { return AmbienteProva::LeggiFile(P(nome)); }
    void Scrivi(const char *nome, const QByteArray &byte) const
    {
        m_amb->ScriviFile(QString::fromUtf8(nome), byte);
    }
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
        QCOMPARE(f.DialogoApriSalva().Descrizioni(),
                 (QStringList{u"File di testo (*.txt, *.c, *.cpp, *.bas, *.frm, *.h)"_s,
                              u"Solo testo (*.txt)"_s, u"Form di Visual Basic (*.frm)"_s,
                              u"Modulo di Visual Basic (*.bas)"_s, u"File batch (*.bat)"_s,
                              u"Sorgente C (*.c, *.cpp)"_s, u"Tutti i file (*.*)"_s}));
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
        Digita(f, u"If a"_s);
        QVERIFY(Stato().TestoModificato);
        // "&Salva" on a new text asks for a name and does not keep it.
        Copione::RispondiFile(P("uno.bas"));
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(Contenuto("uno.bas"), QByteArray("If a\r\n"));
        QVERIFY(!Stato().TestoModificato);
        QVERIFY(Stato().NomeFileCorrente.isEmpty());
        Digita(f, u"b"_s);
        Copione::RispondiFile(P("due.bas"));
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(Copione::Dialoghi().size(), 2);
        // The dialog offers the path chosen last.
        Digita(f, u"c"_s);
        Copione::RispondiFile(P("tre.bas"));
        Comando(f, "mnuFilsSalvaN")->trigger();
        QCOMPARE(Copione::Dialoghi().last().percorsoProposto, P("due.bas"));
        QCOMPARE(Stato().NomeFileCorrente, P("tre.bas"));
        QVERIFY(!Stato().TestoModificato);
        // Named: saved without a question.
        Digita(f, u"d"_s);
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(Contenuto("tre.bas"), QByteArray("If abcd\r\n"));
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
        Scrivi("vecchio.txt", "vecchio");
        Digita(f, u"nuovo"_s);
        Copione::RispondiFile(P("vecchio.txt"));
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiFile(std::nullopt);
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(
            Righe(Copione::Messaggi()),
            QStringList{Riga({Esiste, Pulsanti::SiNo, Icona::Esclamazione, u"Salva con nome"_s})});
        QCOMPARE(Copione::Dialoghi().size(), 2);
        QCOMPARE(Contenuto("vecchio.txt"), QByteArray("vecchio"));
        QVERIFY(Stato().TestoModificato);
        // Yes replaces it.
        Copione::RispondiFile(P("vecchio.txt"));
        Copione::RispondiMessaggio(Risposta::Si);
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(Contenuto("vecchio.txt"), QByteArray("nuovo\r\n"));
    }

    void salvaConNomeAnnullato()
    {
        Form1 &f = Prepara();
        Stato().NomeFileCorrente = P("mio.txt");
        Copione::RispondiFile(std::nullopt);
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuFilsSalvaN")->trigger();
        QCOMPARE(Righe(Copione::Messaggi()),
                 QStringList{Riga({u"Errore: Operazione annullata dall'utente  (32755)"_s,
                                   Pulsanti::OK, Icona::Critico, u"Quadrivo"_s})});
        QCOMPARE(Stato().NomeFileCorrente, P("mio.txt"));
    }

    void nuovoChiedeAncheConNome()
    {
        Form1 &f = Prepara();
        Scrivi("a.bas", "If x\r\n");
        Copione::RispondiFile(P("a.bas"));
        Comando(f, "mnuFileApri")->trigger();
        Digita(f, u"Then"_s);
        // Yes on a named text saves it to its own file, no dialog.
        Copione::RispondiMessaggio(Risposta::Si);
        Comando(f, "mnuFileNuovo")->trigger();
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()), QStringList{Modificato});
        QCOMPARE(Copione::Dialoghi().size(), 1);
        QCOMPARE(Contenuto("a.bas"), QByteArray("If x\r\nThen\r\n"));
        QCOMPARE(f.Editor()->Text(), QString());
        // Cancel ends the command with nothing changed.
        Digita(f, u"z"_s);
        Copione::RispondiMessaggio(Risposta::Annulla);
        Comando(f, "mnuFileNuovo")->trigger();
        QCOMPARE(f.Editor()->Text(), u"z"_s);
        QVERIFY(Stato().TestoModificato);
    }

    void apriNonRiuscitoNonCambiaNulla()
    {
        Form1 &f = Prepara();
        Scrivi("a.txt", "prima");
        Copione::RispondiFile(P("a.txt"));
        Comando(f, "mnuFileApri")->trigger();
        Digita(f, u"!"_s);
        // A missing file, then a folder chosen as a file.
        for (const QString &percorso : {P("manca.txt"), m_amb->Cartella()}) {
            Copione::RispondiMessaggio(Risposta::No);
            Copione::RispondiFile(percorso);
            Copione::RispondiMessaggio(Risposta::OK);
            Comando(f, "mnuFileApri")->trigger();
            const auto messaggi = Copione::Messaggi();
            QCOMPARE(messaggi.size(), 2);
            QVERIFY(messaggi[1].testo.startsWith(percorso == P("manca.txt")
                                                     ? u"Errore: File o cartella inesistente  ("_s
                                                     : u"Errore: È una cartella  ("_s));
            QCOMPARE(f.Editor()->Text(), u"prima!"_s);
            QCOMPARE(Stato().NomeFileCorrente, P("a.txt"));
            QVERIFY(Stato().TestoModificato);
            QCOMPARE(f.TestoStato(), Form1::TestoInattivo());
            QVERIFY(!HaPuntatoreOccupato(&f));
        }
    }

    void apriMantieneIlFlag()
    {
        Form1 &f = Prepara();
        Scrivi("b.txt", "B");
        Digita(f, u"x"_s);
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiFile(P("b.txt"));
        Comando(f, "mnuFileApri")->trigger();
        QCOMPARE(f.Editor()->Text(), u"B"_s);
        QVERIFY(Stato().TestoModificato);
        // So closing asks about the newly opened text.
        Copione::RispondiMessaggio(Risposta::Annulla);
        QVERIFY(!f.close());
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()),
                 (QStringList{Modificato, Modificato}));
    }

    void apriRtfSalvaTesto()
    {
        Form1 &f = Prepara();
        Scrivi("d.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}Caff\\'e8\\par fine}");
        Copione::RispondiFile(P("d.rtf"));
        Comando(f, "mnuFileApri")->trigger();
        QCOMPARE(f.Editor()->Text(), u"Caffè\r\nfine"_s);
        Digita(f, u"!"_s);
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(Contenuto("d.rtf"), QByteArray("Caff\xe8\r\nfine!\r\n"));
    }

    // A save that fails as on a full disk: the file on disk, the text, the
    // name, the modified flag and the format all stay as they were.
    void scritturaFallitaConservaTutto()
    {
        Form1 &f = Prepara();
        Scrivi("c.txt", "originale");
        Copione::RispondiFile(P("c.txt"));
        Comando(f, "mnuFileApri")->trigger();
        // "Ω" is not in the 8-bit code page: a save that went through would make it UTF-8.
        Digita(f, u" cambiato "_s);
        f.Editor()->SetSelText(u"Ω"_s);
        DispositivoGuasto::Installa guasto(5);
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuFileSalva")->trigger();
        Copione::RispondiFile(P("altro.txt"));
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuFilsSalvaN")->trigger();
        const QString pieno = Riga({u"Errore: Spazio esaurito sul dispositivo  (28)"_s,
                                    Pulsanti::OK, Icona::Critico, u"Quadrivo"_s});
        QCOMPARE(Righe(Copione::Messaggi()), (QStringList{pieno, pieno}));
        QCOMPARE(Contenuto("c.txt"), QByteArray("originale"));
        QVERIFY(!QFileInfo::exists(P("altro.txt")));
        QCOMPARE(f.Editor()->Text(), u"originale cambiato Ω"_s);
        QVERIFY(Stato().TestoModificato);
        QCOMPARE(Stato().NomeFileCorrente, P("c.txt"));
        QCOMPARE(Stato().FormatoDocumento, FormatoTesto{});
        // So closing still asks.
        Copione::RispondiMessaggio(Risposta::Annulla);
        QVERIFY(!f.close());
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()), QStringList{Modificato});
    }

    // Characters the editor keeps only as line breaks are announced once, when
    // the file is opened.
    void apriConSeparatoriSpeciali()
    {
        Form1 &f = Prepara();
        Scrivi("s.txt", u"a\u2028b\uFDD0c\u2029d\uFDD1e"_s.toUtf8());
        // The line separator stays what it is: no word about it.
        Scrivi("n.txt", u"riga\u2028riga"_s.toUtf8());
        Copione::RispondiFile(P("s.txt"));
        Copione::RispondiMessaggio(Risposta::OK);
        Comando(f, "mnuFileApri")->trigger();
        QCOMPARE(Righe(Copione::Messaggi()),
                 QStringList{Riga({u"Il file contiene separatori di paragrafo o di blocco che "
                                   u"l'editor non conserva come tali: quando il testo sarà "
                                   u"salvato, saranno scritti come a capo."_s,
                                   Pulsanti::OK, Icona::Informazione, u"Quadrivo"_s})});
        QCOMPARE(Stato().NomeFileCorrente, P("s.txt"));
        Digita(f, u"!"_s);
        Comando(f, "mnuFileSalva")->trigger();
        QCOMPARE(Contenuto("s.txt"), u"a\u2028b\r\nc\r\nd\r\ne!\r\n"_s.toUtf8());
        Copione::RispondiFile(P("n.txt"));
        Comando(f, "mnuFileApri")->trigger();
        QCOMPARE(Copione::Messaggi().size(), 0);
    }

    void chiusura()
    {
        QVERIFY(Prepara().close()); // nothing changed: no question
        QCOMPARE(Copione::Messaggi().size(), 0);
        Form1 &f = Prepara();
        Digita(f, u"testo"_s);
        // Cancel keeps everything.
        Copione::RispondiMessaggio(Risposta::Annulla);
        QVERIFY(!f.close());
        QVERIFY(Stato().TestoModificato);
        // Yes, then the save dialog cancelled: the window stays, text and flag too.
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::RispondiFile(std::nullopt);
        QVERIFY(!f.close());
        QCOMPARE(f.Editor()->Text(), u"testo"_s);
        QVERIFY(Stato().TestoModificato);
        // Yes, an existing file, No, then a new name: saved and closed.
        Scrivi("c.txt", "c");
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::RispondiFile(P("c.txt"));
        Copione::RispondiMessaggio(Risposta::No);
        Copione::RispondiFile(P("d.txt"));
        QVERIFY(f.close());
        QCOMPARE(Contenuto("d.txt"), QByteArray("testo\r\n"));
        QCOMPARE(Contenuto("c.txt"), QByteArray("c"));
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()),
                 (QStringList{Modificato, Modificato, Modificato, Esiste}));
    }

    void chiusuraConScritturaFallita()
    {
        Form1 &f = Prepara();
        Digita(f, u"testo"_s);
        Stato().NomeFileCorrente = P("non/esiste/x.txt");
        Copione::RispondiMessaggio(Risposta::Si);
        Copione::RispondiMessaggio(Risposta::OK);
        QVERIFY(!f.close());
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 2);
        QVERIFY(messaggi[1].testo.startsWith(u"Errore: File o cartella inesistente"_s));
        QVERIFY(Stato().TestoModificato);
        // No drops the text.
        Copione::RispondiMessaggio(Risposta::No);
        QVERIFY(f.close());
    }
};

QTEST_MAIN(TestComandiFile)
#include "test_comandifile.moc"
