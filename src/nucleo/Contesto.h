#pragma once

#include "nucleo/Opzioni.h"
#include "nucleo/codice/RegoleCodice.h"
#include "nucleo/elenchi/ArchivioListe.h"
#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/ricerca/Ricerca.h"
#include "nucleo/ricerca/SostituzioneGlobale.h"
#include "nucleo/testo/Documento.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QString>

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

    // The word lists.
    ArchivioListe Liste;
    // How many entries a pseudocoding run walks: the list archive's count,
    // rebuilt when the substitution list is read at start-up or saved.
    qint32 NumSostituzioni() const { return Liste.NumeroVoci(); }
    Opzioni OpzioniCodice;     // read from "opzioni.ini" beside the lists at start-up

    // How the runs read the current text: the options, and the language its
    // file name gives.
    RegoleCodice Regole() const
    {
        return {OpzioniCodice.LasciaIntatti, OpzioniCodice.SeparatoriCodice,
                TipoDaNomeFile(NomeFileCorrente)};
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
};
