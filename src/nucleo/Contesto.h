#pragma once

#include "nucleo/Opzioni.h"
#include "nucleo/codice/RegoleCodice.h"
#include "nucleo/elenchi/ArchivioListe.h"
#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/ricerca/Ricerca.h"
#include "nucleo/ricerca/SostituzioneGlobale.h"
#include "nucleo/testo/Documento.h"
#include "nucleo/testo/ModificheTesto.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QSet>
#include <QString>
#include <array>
#include <memory>
#include <optional>

// The program's shared state: one instance, made at start-up and handed to
// every window, which reads and writes it directly.
class Contesto
{
public:
    // `cartellaListe` is where "sostituzioni.dat" and "pulizia.dat" live.
    explicit Contesto(const QString &cartellaListe) : Liste(cartellaListe) {}
    Contesto(const Contesto &) = delete;
    Contesto &operator=(const Contesto &) = delete;

    // The document.
    bool TestoModificato = false;
    QString NomeFileCorrente;
    FormatoTesto FormatoDocumento; // how the text was read, and so how it is saved
    bool DocumentoRtf = false;     // the file was RTF: a save would write plain text over it
    // The file as it was when opened or last saved: "&Salva" asks before
    // writing over a file another program changed or replaced since.
    ScritturaAtomica::IdentitaFile IdentitaDocumento;
    // The text as it was when last opened or saved (empty for a new text):
    // the comparison window shows it beside the current text.
    QString TestoOriginale;
    // The stretches of the text the last run replaced (CR LF offsets): the
    // editor and the comparison window show them marked until the text is
    // next edited, rewritten, opened or made new.
    QList<ModificheTesto::Segno> SegniCorsa;

    // A run rewrote `prima` as `dopo` (CR LF breaks) in the editor with `modifiche`.
    void TestoRiscrittoDaCorsa(const QList<ModificheTesto::Modifica> &modifiche,
                               const QString &prima, const QString &dopo)
    {
        SegniCorsa = ModificheTesto::Segni(modifiche, prima, dopo);
        TestoDaCorsa();
    }
    // A run changed the text (a whole rewrite, or one replacement).
    void TestoDaCorsa() { m_testoDaCorsa = true; }
    // The user (or a command) changed the text: the run's marks no longer say
    // what the run replaced.
    void TestoCambiato()
    {
        TestoModificato = true;
        SegniCorsa.clear();
    }

    // What the File commands do to the document's state. The window asks the
    // questions, reads and writes the file, and reports here what happened.
    // "&Nuovo": an empty text with no file; searches start from its beginning.
    void DocumentoNuovo();
    // `percorso` was read as `formato` (`rtf`: it was an RTF file) and was
    // `identita` just before the read. The text is the file's: not modified.
    void DocumentoAperto(const QString &percorso, const FormatoTesto &formato, bool rtf,
                         const ScritturaAtomica::IdentitaFile &identita);
    // The text was written to `percorso`, which is now its file as it is on disk.
    void DocumentoSalvato(const QString &percorso);
    // The text was written to a file chosen for that save only: the text
    // keeps no file name.
    void DocumentoSalvatoAltrove() { TestoModificato = false; }
    // A save that was interrupted was undone at `percorso`: when that is the
    // text's own file, it is no longer the file that was read.
    void FileRipristinato(const QString &percorso);

    // What a save does: nothing (`soloSeModificato` and the text is not
    // modified), write to the text's own file, or ask for a name first.
    enum class Salvataggio { Nessuno, SulFileProprio, ChiediNome };
    Salvataggio ComeSalvare(bool soloSeModificato) const;
    // Before writing over the text's own file: true when another program
    // changed, replaced or removed it since it was read or last saved.
    bool FileCambiatoSulDisco() const;
    // The name offered when an RTF text is saved as plain text: the same, with .txt.
    QString NomeTestoSemplice() const;

    // "Conserva una copia dell'originale (NOME~)". Once a run has changed the
    // text, the first save that replaces a file keeps that file as it was;
    // later saves over the same file do not, since it then holds a draft
    // (which would take the original's place in the copy). This holds for
    // each document opened or made new: opening the draft again and running
    // over it again keeps the first draft.
    // True when writing the text over `percorso` must first keep that file.
    bool ConservaPrimaDiScrivere(const QString &percorso) const;
    // The text was written over `percorso`, or that file's copy kept: the
    // file's first save after a run is done.
    void FileScritto(const QString &percorso);

    // The word lists.
    ArchivioListe Liste;
    // How many entries a pseudocoding run walks: the list archive's count,
    // rebuilt when the substitution list is read at start-up or saved.
    qint32 NumSostituzioni() const { return Liste.NumeroVoci(); }
    Opzioni OpzioniCodice; // read from "opzioni.ini" beside the lists at start-up

    // "Un elenco per ogni linguaggio". The language whose own list the runs
    // use on the current text: none (the shared list) while the option is off.
    Linguaggio LinguaggioElenco() const;
    // The archive of `linguaggio`'s lists: `Liste` for none; otherwise the
    // language's own files, each made from its ready list and opened the
    // first time it is asked for (its state says when that failed, and
    // `errore` why). Without `elenco`, the substitution list.
    ArchivioListe &ListeDi(Linguaggio linguaggio, ErroreFile *errore = nullptr)
    {
        return ListeDi(linguaggio, Elenco::Sostituzioni, errore);
    }
    ArchivioListe &ListeDi(Linguaggio linguaggio, Elenco elenco, ErroreFile *errore = nullptr);
    // The archive whose lists run on the current text.
    ArchivioListe &ListeInUso(ErroreFile *errore = nullptr)
    {
        return ListeDi(LinguaggioElenco(), errore);
    }
    ArchivioListe &ListeInUso(Elenco elenco, ErroreFile *errore = nullptr)
    {
        return ListeDi(LinguaggioElenco(), elenco, errore);
    }

    // The language the user chose for the text, over the one its file name
    // gives; none chosen for a text just opened or made new, or saved under
    // a name that gives a language.
    std::optional<Linguaggio> LinguaggioScelto;
    // How the text is read: the language chosen, or else its file name's.
    TipoTesto TipoDocumento() const;

    // How the runs read the current text: the options, and its language.
    RegoleCodice Regole() const
    {
        return {OpzioniCodice.LasciaIntatti, OpzioniCodice.SeparatoriCodice, TipoDocumento()};
    }

    // The find dialog's words and options, which "&Ripeti trova" uses too,
    // where the next find goes on from, and its replace-all.
    QString ParolaCercata, ParolaSostitutiva;
    Ricerca::OpzioniRicerca OpzioniTrova;
    Ricerca::PosizioneRicerca PosRicerca;
    Ricerca::SostituzioneGlobale SostituzioneTrova;

    // The main window takes no input and does not close while busy.
    bool DialogoTrovaAperto = false;
    bool Occupato() const { return DialogoTrovaAperto || SostituzioneTrova.Occupata(); }

private:
    bool m_testoDaCorsa = false;
    // The files (their real paths) a save has replaced since a run changed
    // the text of this document.
    QSet<QString> m_fileSostituiti;
    // BASIC, C, C++, batch: each list file opened on demand.
    std::array<std::unique_ptr<ArchivioListe>, 4> m_listeLinguaggio;
};
