// The File menu and the closing procedure, with scripted boxes and dialogs.

#include "aiuti/AmbienteProva.h"
#include "aiuti/DispositivoGuasto.h"
#include "aiuti/Tabella.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraPrincipale.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace Piattaforma;
using namespace Qt::Literals::StringLiterals;

namespace {
const QString Modificato = u"Il testo è stato modificato. Salvare le modifiche?"_s;
const QString Esiste = u"Il file esiste già. Si desidera sostituirlo?"_s;
const QString DomandaRtf =
    u"Il file è in formato RTF: salvandolo come testo semplice la formattazione andrà persa.\n"
    u"Salvare il testo in un altro file, con estensione .txt?"_s;
const QString DomandaCambiato =
    u"Il file «%1» è stato modificato, sostituito o rimosso da un altro programma dopo "
    u"l'apertura o l'ultimo salvataggio.\nSovrascriverlo con il testo dell'editor?"_s;
const QString DomandaRipristino =
    u"Il salvataggio di «%1» è stato interrotto: il file potrebbe essere incompleto.\n"
    u"Ripristinare il contenuto che aveva prima del salvataggio?"_s;

// One answer of the user, in turn: a box's button, or a file dialog's choice
// (a path, or nullopt when the dialog is cancelled).
struct Scelta
{
    Scelta(Risposta r) : pulsante(r) {}
    Scelta(const QString &percorso) : file(percorso) {}
    Scelta(std::nullopt_t) {}
    std::optional<Risposta> pulsante;
    std::optional<QString> file;
};

void Rispondi(std::initializer_list<Scelta> scelte)
{
    for (const Scelta &s : scelte)
        s.pulsante ? Copione::RispondiMessaggio(*s.pulsante) : Copione::RispondiFile(s.file);
}

// Runs a menu command, or closes the window, with the user's answers queued.
void Esegui(FinestraPrincipale &f, const char *comando, std::initializer_list<Scelta> scelte = {})
{
    Rispondi(scelte);
    Comando(f, comando)->trigger();
}

bool Chiudi(FinestraPrincipale &f, std::initializer_list<Scelta> scelte)
{
    Rispondi(scelte);
    return f.close();
}

// The boxes as lines, to compare all that was shown in one go.
QStringList Righe(const QVector<Copione::Messaggio> &messaggi)
{
    QStringList righe;
    for (const Copione::Messaggio &m : messaggi)
        righe.append(u"%1 [pulsanti %2, icona %3] %4"_s.arg(
            m.titolo, QString::number(int(m.pulsanti)), QString::number(int(m.icona)), m.testo));
    return righe;
}
} // namespace

class TestComandiFile : public QObject
{
    Q_OBJECT

    std::unique_ptr<AmbienteProva> m_amb;
    QTemporaryDir m_dati; // the user's data folder, where interrupted saves leave copies

    FinestraPrincipale &Prepara()
    {
        m_amb = std::make_unique<AmbienteProva>();
        m_amb->ScriviElenchi(SostituzioniPredefinite());
        return m_amb->Avvia();
    }
    Contesto &Condiviso() { return m_amb->Condiviso(); }
    // The document as the user sees it: its text, its file name, whether it is modified.
    using Vista = std::tuple<QString, QString, bool>;
    Vista Documento(FinestraPrincipale &f)
    {
        return {f.Editor()->Text(), Condiviso().NomeFileCorrente, Condiviso().TestoModificato};
    }
    // A file of the test folder: its path, its bytes, written.
    QString P(const char *nome) const { return m_amb->Percorso(QString::fromUtf8(nome)); }
    QByteArray Contenuto(const char *nome) const { return AmbienteProva::LeggiFile(P(nome)); }
    void Scrivi(const char *nome, const QByteArray &byte) const
    {
        m_amb->ScriviFile(QString::fromUtf8(nome), byte);
    }
    static void Digita(FinestraPrincipale &f, const QString &testo)
    {
        f.Editor()->SetSelStart(f.Editor()->Lunghezza());
        QTest::keyClicks(f.Editor(), testo);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dati.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dati.path()));
    }

    void cleanup()
    {
        VERIFICA_COPIONE_ESAURITO();
        m_amb.reset();
    }

    void filtroDelDialogo()
    {
        FinestraPrincipale &f = Prepara();
        QCOMPARE(f.DialogoApriSalva().Descrizioni(),
                 (QStringList{u"File di testo (*.txt, *.c, *.cpp, *.bas, *.frm, *.h)"_s,
                              u"Solo testo (*.txt)"_s, u"Form di Visual Basic (*.frm)"_s,
                              u"Modulo di Visual Basic (*.bas)"_s, u"File batch (*.bat)"_s,
                              u"Sorgente C (*.c, *.cpp)"_s, u"Tutti i file (*.*)"_s}));
        Esegui(f, "azioneApri", {std::nullopt});
        const auto dialoghi = Copione::Dialoghi();
        QCOMPARE(dialoghi.size(), 1);
        QCOMPARE(dialoghi[0].filtroSelezionato, f.DialogoApriSalva().Descrizioni().first());
        QCOMPARE(dialoghi[0].modo, DialogoFile::Modo::Apri);
        // Files without an extension (LEGGIMI, Makefile) are shown too.
        QCOMPARE(f.DialogoApriSalva().Modelli().last(), u"*"_s);
        // The patterns take in every file the program reads as a language.
        const QStringList modelli = f.DialogoApriSalva().Modelli();
        for (const QString &estensione : {u"*.bat"_s, u"*.cmd"_s, u"*.h"_s, u"*.cls"_s, u"*.hpp"_s})
            QVERIFY2(modelli.first().split(u' ').contains(estensione), qPrintable(estensione));
        QVERIFY(modelli[4].split(u' ').contains(u"*.cmd"_s)); // "File batch"
        QVERIFY(modelli[5].split(u' ').contains(u"*.h"_s));   // "Sorgente C"
    }

    void tabellaDegliStati()
    {
        FinestraPrincipale &f = Prepara();
        Esegui(f, "azioneSalva"); // nothing typed: nothing happens
        QCOMPARE(Copione::Dialoghi().size(), 0);
        Digita(f, u"If a"_s);
        QVERIFY(Condiviso().TestoModificato);
        // "&Salva" on a new text asks for a name and does not keep it.
        Esegui(f, "azioneSalva", {P("uno.bas")});
        QCOMPARE(Contenuto("uno.bas"), QByteArray("If a\r\n"));
        QCOMPARE(Documento(f), Vista(u"If a"_s, QString(), false));
        Digita(f, u"b"_s);
        Esegui(f, "azioneSalva", {P("due.bas")});
        QCOMPARE(Copione::Dialoghi().size(), 2);
        // The dialog offers the path chosen last.
        Digita(f, u"c"_s);
        Esegui(f, "azioneSalvaConNome", {P("tre.bas")});
        QCOMPARE(Copione::Dialoghi().last().percorsoProposto, P("due.bas"));
        QCOMPARE(Documento(f), Vista(u"If abc"_s, P("tre.bas"), false));
        // Named: saved without a question.
        Digita(f, u"d"_s);
        Esegui(f, "azioneSalva");
        QCOMPARE(Contenuto("tre.bas"), QByteArray("If abcd\r\n"));
        QCOMPARE(Copione::Dialoghi().size(), 0);
        // "&Nuovo" on a saved text: empty, unnamed, unmodified.
        Esegui(f, "azioneNuovo");
        QCOMPARE(Documento(f), Vista());
        QCOMPARE(Copione::Messaggi().size(), 0);
    }

    void sovrascritturaNoPoiAnnulla()
    {
        FinestraPrincipale &f = Prepara();
        Scrivi("vecchio.txt", "vecchio");
        Digita(f, u"nuovo"_s);
        Esegui(f, "azioneSalva", {P("vecchio.txt"), Risposta::No, std::nullopt});
        QCOMPARE(Righe(Copione::Messaggi()),
                 Righe({{Esiste, Pulsanti::SiNo, Icona::Esclamazione, u"Salva con nome"_s}}));
        QCOMPARE(Copione::Dialoghi().size(), 2);
        QCOMPARE(Contenuto("vecchio.txt"), QByteArray("vecchio"));
        QVERIFY(Condiviso().TestoModificato);
        // Yes replaces it.
        Esegui(f, "azioneSalva", {P("vecchio.txt"), Risposta::Si});
        QCOMPARE(Contenuto("vecchio.txt"), QByteArray("nuovo\r\n"));
    }

    void salvaConNomeAnnullato()
    {
        FinestraPrincipale &f = Prepara();
        Condiviso().NomeFileCorrente = P("mio.txt");
        Esegui(f, "azioneSalvaConNome", {std::nullopt, Risposta::OK});
        QCOMPARE(Righe(Copione::Messaggi()),
                 Righe({{u"Errore: Operazione annullata dall'utente  (32755)"_s, Pulsanti::OK,
                         Icona::Critico, u"Quadrivo"_s}}));
        QCOMPARE(Condiviso().NomeFileCorrente, P("mio.txt"));
    }

    void nuovoChiedeAncheConNome()
    {
        FinestraPrincipale &f = Prepara();
        Scrivi("a.bas", "If x\r\n");
        Esegui(f, "azioneApri", {P("a.bas")});
        Digita(f, u"Then"_s);
        // Yes on a named text saves it to its own file, no dialog.
        Esegui(f, "azioneNuovo", {Risposta::Si});
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()), QStringList{Modificato});
        QCOMPARE(Copione::Dialoghi().size(), 1);
        QCOMPARE(Contenuto("a.bas"), QByteArray("If x\r\nThen\r\n"));
        QCOMPARE(Documento(f), Vista());
        // Cancel ends the command with nothing changed.
        Digita(f, u"z"_s);
        Esegui(f, "azioneNuovo", {Risposta::Annulla});
        QCOMPARE(Documento(f), Vista(u"z"_s, QString(), true));
    }

    void apriNonRiuscitoNonCambiaNulla()
    {
        FinestraPrincipale &f = Prepara();
        Scrivi("a.txt", "prima");
        Esegui(f, "azioneApri", {P("a.txt")});
        Digita(f, u"!"_s);
        // A missing file, then a folder chosen as a file.
        for (const QString &percorso : {P("manca.txt"), m_amb->Cartella()}) {
            Esegui(f, "azioneApri", {Risposta::No, percorso, Risposta::OK});
            const auto messaggi = Copione::Messaggi();
            QCOMPARE(messaggi.size(), 2);
            QVERIFY(messaggi[1].testo.startsWith(percorso == P("manca.txt")
                                                     ? u"Errore: File o cartella inesistente  ("_s
                                                     : u"Errore: È una cartella  ("_s));
            // ... and names the file.
            QVERIFY(messaggi[1].testo.endsWith(u")\r\nFile: \""_s + percorso + u'"'));
            QCOMPARE(Documento(f), Vista(u"prima!"_s, P("a.txt"), true));
            QCOMPARE(f.TestoStato(), FinestraPrincipale::TestoInattivo());
            QVERIFY(!HaPuntatoreOccupato(&f));
        }
    }

    // "No" drops the edits: the opened file is not modified, so closing asks
    // nothing and writes nothing over it.
    void apriAzzeraIlFlag()
    {
        FinestraPrincipale &f = Prepara();
        Scrivi("b.txt", "B");
        Digita(f, u"x"_s);
        Esegui(f, "azioneApri", {Risposta::No, P("b.txt")});
        QCOMPARE(Documento(f), Vista(u"B"_s, P("b.txt"), false));
        QVERIFY(Chiudi(f, {}));
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()), QStringList{Modificato});
    }

    // "&Salva" over a file read as RTF asks first: Sì saves under a .txt
    // name, No writes the plain text over it, Annulla writes nothing.
    void apriRtfSalvaTesto_data()
    {
        QTest::addColumn<int>("risposta");
        Riga("testo semplice sul file RTF", int(Risposta::No));
        Riga("salva con nome .txt", int(Risposta::Si));
        Riga("annulla", int(Risposta::Annulla));
    }

    void apriRtfSalvaTesto()
    {
        QFETCH(int, risposta);
        FinestraPrincipale &f = Prepara();
        const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}Caff\\'e8\\par fine}";
        Scrivi("d.rtf", rtf);
        Esegui(f, "azioneApri", {P("d.rtf")});
        QCOMPARE(f.Editor()->Text(), u"Caffè\r\nfine"_s);
        Digita(f, u"!"_s);
        if (Risposta(risposta) == Risposta::Si)
            Esegui(f, "azioneSalva", {Risposta::Si, P("d.txt")});
        else
            Esegui(f, "azioneSalva", {Risposta(risposta)});
        QCOMPARE(Righe(Copione::Messaggi()), Righe({{DomandaRtf, Pulsanti::SiNoAnnulla,
                                                     Icona::Esclamazione, TitoloProgramma}}));
        const QByteArray testo = "Caff\xe8\r\nfine!\r\n";
        switch (Risposta(risposta)) {
        case Risposta::No:
            QCOMPARE(Contenuto("d.rtf"), testo);
            QCOMPARE(Documento(f), Vista(u"Caffè\r\nfine!"_s, P("d.rtf"), false));
            break;
        case Risposta::Si:
            QCOMPARE(Copione::Dialoghi().last().percorsoProposto, P("d.txt"));
            QCOMPARE(Contenuto("d.txt"), testo);
            QCOMPARE(Contenuto("d.rtf"), rtf);
            QCOMPARE(Documento(f), Vista(u"Caffè\r\nfine!"_s, P("d.txt"), false));
            break;
        default:
            QCOMPARE(Contenuto("d.rtf"), rtf);
            QCOMPARE(Documento(f), Vista(u"Caffè\r\nfine!"_s, P("d.rtf"), true));
            return;
        }
        // The file saved is plain text now: the next save asks nothing.
        Digita(f, u"?"_s);
        Esegui(f, "azioneSalva");
        QVERIFY(!Condiviso().TestoModificato);
    }

    // "&Salva" over a file another program changed, replaced or removed since
    // it was opened asks first; a file only this program wrote is not asked about.
    // Which changes count is checked on the shared state.
    void fileCambiatoSulDisco_data()
    {
        // risposta: -1: no question expected
        Colonne<QString, int>("cambio", "risposta");
        Riga("invariato, salvato due volte", u"nessuno"_s, -1);
        Riga("contenuto cambiato, sovrascrivi", u"contenuto"_s, int(Risposta::Si));
        Riga("contenuto cambiato, non sovrascrivere", u"contenuto"_s, int(Risposta::No));
        Riga("rimosso, salvato di nuovo", u"rimosso"_s, int(Risposta::Si));
    }

    void fileCambiatoSulDisco()
    {
        const auto [cambio, risposta] = DatiRiga<QString, int>("cambio", "risposta");
        FinestraPrincipale &f = Prepara();
        Scrivi("e.txt", "uno");
        Esegui(f, "azioneApri", {P("e.txt")});
        Digita(f, u"!"_s);
        QByteArray esterno;
        if (cambio == u"nessuno"_s) {
            Esegui(f, "azioneSalva");
            Digita(f, u"!"_s);
        } else if (cambio == u"contenuto"_s) {
            esterno = "altro programma";
            Scrivi("e.txt", esterno);
        } else {
            QVERIFY(QFile::remove(P("e.txt")));
        }
        if (risposta < 0) {
            Esegui(f, "azioneSalva");
            QCOMPARE(Copione::Messaggi().size(), 0);
            QCOMPARE(Contenuto("e.txt"), QByteArray("uno!!\r\n"));
            return;
        }
        Esegui(f, "azioneSalva", {Risposta(risposta)});
        QCOMPARE(Righe(Copione::Messaggi()),
                 Righe({{DomandaCambiato.arg(P("e.txt")), Pulsanti::SiNo, Icona::Esclamazione,
                         TitoloProgramma}}));
        if (Risposta(risposta) == Risposta::Si) {
            QCOMPARE(Contenuto("e.txt"), QByteArray("uno!\r\n"));
            QCOMPARE(Documento(f), Vista(u"uno!"_s, P("e.txt"), false));
        } else {
            QCOMPARE(Contenuto("e.txt"), esterno);
            QCOMPARE(Documento(f), Vista(u"uno!"_s, P("e.txt"), true));
        }
    }

    // A save in place that was interrupted left a copy of the old bytes: the
    // start-up offer puts them back (Sì) or discards the copy (No).
    void ripristinoAllAvvio_data()
    {
        QTest::addColumn<int>("risposta");
        Riga("ripristina", int(Risposta::Si));
        Riga("scarta", int(Risposta::No));
    }

    void ripristinoAllAvvio()
    {
        QFETCH(int, risposta);
        FinestraPrincipale &f = Prepara();
        Scrivi("r.txt", "nuovo testo tronc");
        // The copy a write of a process no longer running left behind.
        const QString cartella = ScritturaAtomica::CartellaCopie();
        QVERIFY(QDir().mkpath(cartella));
        for (const auto &[nome, byte] :
             {std::pair{u"0-prova.copia"_s, QByteArray("vecchio testo\r\n")},
              std::pair{u"0-prova.percorso"_s, P("r.txt").toUtf8()}}) {
            QFile file(QDir(cartella).filePath(nome));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(byte) == byte.size());
        }
        Copione::RispondiMessaggio(Risposta(risposta));
        f.OffriRipristini();
        QCOMPARE(Righe(Copione::Messaggi()),
                 Righe({{DomandaRipristino.arg(P("r.txt")), Pulsanti::SiNo, Icona::Esclamazione,
                         u"Salvataggio interrotto"_s}}));
        QCOMPARE(Contenuto("r.txt"), Risposta(risposta) == Risposta::Si
                                         ? QByteArray("vecchio testo\r\n")
                                         : QByteArray("nuovo testo tronc"));
        QVERIFY(ScritturaAtomica::CopieInSospeso().isEmpty());
        QCOMPARE(QDir(cartella).entryList(QDir::Files), QStringList());
    }

    // "S&alva con nome..." onto a device node, or a link to one, replaces
    // nothing: the save is refused with the reason and the node stays.
    void salvaConNomeSuUnDispositivo()
    {
        FinestraPrincipale &f = Prepara();
        // A null device node of the test's own, never /dev/null itself.
        if (::mknod(QFile::encodeName(P("nodo")).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("Only root may make a device node");
        QVERIFY(QFile::link(P("nodo"), P("al nodo")));
        Digita(f, u"If a"_s);
        // The name is taken: the window asks first, then the save refuses.
        Esegui(f, "azioneSalvaConNome", {P("nodo"), Risposta::Si, Risposta::OK});
        Esegui(f, "azioneSalvaConNome", {P("al nodo"), Risposta::Si, Risposta::OK});
        const QString motivo =
            u"Errore: È un dispositivo, non un file: non viene sostituito  (22)\r\nFile: \""_s;
        const Copione::Messaggio domanda{Esiste, Pulsanti::SiNo, Icona::Esclamazione,
                                         u"Salva con nome"_s};
        QCOMPARE(
            Righe(Copione::Messaggi()),
            Righe({domanda,
                   {motivo + P("nodo") + u'"', Pulsanti::OK, Icona::Critico, u"Quadrivo"_s},
                   domanda,
                   {motivo + P("al nodo") + u'"', Pulsanti::OK, Icona::Critico, u"Quadrivo"_s}}));
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(P("nodo")).constData(), &st), 0);
        QVERIFY(S_ISCHR(st.st_mode));
        QVERIFY(QFileInfo(P("al nodo")).isSymLink());
        QVERIFY(Condiviso().TestoModificato);
    }

    // A save that fails as on a full disk: the file on disk, the text, the
    // name, the modified flag and the format all stay as they were.
    void scritturaFallitaConservaTutto()
    {
        FinestraPrincipale &f = Prepara();
        Scrivi("c.txt", "originale");
        Esegui(f, "azioneApri", {P("c.txt")});
        // "Ω" is not in the 8-bit code page: a save that went through would make it UTF-8.
        Digita(f, u" cambiato "_s);
        f.Editor()->SetSelText(u"Ω"_s);
        const ScritturaAtomica::Canale guasto = DispositivoGuasto::Canale(5);
        f.Condiviso().ImpostaCanaleScrittura(&guasto);
        Esegui(f, "azioneSalva", {Risposta::OK});
        Esegui(f, "azioneSalvaConNome", {P("altro.txt"), Risposta::OK});
        f.Condiviso().ImpostaCanaleScrittura(nullptr);
        auto pieno = [&](const char *nome) {
            return Copione::Messaggio{
                u"Errore: Spazio esaurito sul dispositivo  (28)\r\nFile: \""_s + P(nome) + u'"',
                Pulsanti::OK, Icona::Critico, u"Quadrivo"_s};
        };
        QCOMPARE(Righe(Copione::Messaggi()), Righe({pieno("c.txt"), pieno("altro.txt")}));
        QCOMPARE(Contenuto("c.txt"), QByteArray("originale"));
        QVERIFY(!QFileInfo::exists(P("altro.txt")));
        QCOMPARE(Documento(f), Vista(u"originale cambiato Ω"_s, P("c.txt"), true));
        QCOMPARE(Condiviso().FormatoDocumento, FormatoTesto{});
        // So closing still asks.
        QVERIFY(!Chiudi(f, {Risposta::Annulla}));
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()), QStringList{Modificato});
    }

    // Characters the editor keeps only as line breaks are announced once, when
    // the file is opened.
    void apriConSeparatoriSpeciali()
    {
        FinestraPrincipale &f = Prepara();
        Scrivi("s.txt", u"a\u2028b\uFDD0c\u2029d\uFDD1e"_s.toUtf8());
        // The line separator stays what it is: no word about it.
        Scrivi("n.txt", u"riga\u2028riga"_s.toUtf8());
        Esegui(f, "azioneApri", {P("s.txt"), Risposta::OK});
        QCOMPARE(Righe(Copione::Messaggi()),
                 Righe({{u"Il file contiene separatori di paragrafo o di blocco che l'editor "
                         u"non conserva come tali: quando il testo sarà salvato, saranno "
                         u"scritti come a capo."_s,
                         Pulsanti::OK, Icona::Informazione, u"Quadrivo"_s}}));
        QCOMPARE(Condiviso().NomeFileCorrente, P("s.txt"));
        Digita(f, u"!"_s);
        Esegui(f, "azioneSalva");
        QCOMPARE(Contenuto("s.txt"), u"a\u2028b\r\nc\r\nd\r\ne!\r\n"_s.toUtf8());
        Esegui(f, "azioneApri", {P("n.txt")});
        QCOMPARE(Copione::Messaggi().size(), 0);
    }

    void chiusura()
    {
        QVERIFY(Prepara().close()); // nothing changed: no question
        QCOMPARE(Copione::Messaggi().size(), 0);
        FinestraPrincipale &f = Prepara();
        Digita(f, u"testo"_s);
        // Cancel keeps everything.
        QVERIFY(!Chiudi(f, {Risposta::Annulla}));
        QCOMPARE(Documento(f), Vista(u"testo"_s, QString(), true));
        // Yes, then the save dialog cancelled: the window stays, text and flag too.
        QVERIFY(!Chiudi(f, {Risposta::Si, std::nullopt}));
        QCOMPARE(Documento(f), Vista(u"testo"_s, QString(), true));
        // Yes, an existing file, No, then a new name: saved and closed.
        Scrivi("c.txt", "c");
        QVERIFY(Chiudi(f, {Risposta::Si, P("c.txt"), Risposta::No, P("d.txt")}));
        QCOMPARE(Contenuto("d.txt"), QByteArray("testo\r\n"));
        QCOMPARE(Contenuto("c.txt"), QByteArray("c"));
        QCOMPARE(Copione::TestiMessaggi(Copione::Messaggi()),
                 (QStringList{Modificato, Modificato, Modificato, Esiste}));
    }

    void chiusuraConScritturaFallita()
    {
        FinestraPrincipale &f = Prepara();
        Digita(f, u"testo"_s);
        Condiviso().NomeFileCorrente = P("non/esiste/x.txt");
        QVERIFY(!Chiudi(f, {Risposta::Si, Risposta::OK}));
        const auto messaggi = Copione::Messaggi();
        QCOMPARE(messaggi.size(), 2);
        QVERIFY(messaggi[1].testo.startsWith(u"Errore: File o cartella inesistente"_s));
        QVERIFY(Condiviso().TestoModificato);
        // No drops the text.
        QVERIFY(Chiudi(f, {Risposta::No}));
    }
};

QTEST_MAIN(TestComandiFile)
#include "test_comandifile.moc"
