#include "Contesto.h"

#include "nucleo/elenchi/ElenchiLinguaggio.h"

#include <QDir>
#include <QFileInfo>

void Contesto::DocumentoNuovo()
{
    PosRicerca = {}; // searches in the new text start from its beginning
    TestoModificato = false;
    NomeFileCorrente.clear();
    FormatoDocumento = {};
    DocumentoRtf = false;
    IdentitaDocumento = {};
    TestoOriginale.clear();
    SegniCorsa.clear();
}

void Contesto::DocumentoAperto(const QString &percorso, const FormatoTesto &formato, bool rtf,
                               const ScritturaAtomica::IdentitaFile &identita)
{
    PosRicerca = {}; // searches in the new text start from its beginning
    // The editor now holds the file's own text: nothing is unsaved, whatever
    // was modified before (the user saved it or chose to drop it).
    TestoModificato = false;
    NomeFileCorrente = percorso;
    FormatoDocumento = formato;
    DocumentoRtf = rtf;
    IdentitaDocumento = identita;
    SegniCorsa.clear();
}

void Contesto::DocumentoSalvato(const QString &percorso)
{
    NomeFileCorrente = percorso;
    DocumentoRtf = false;
    IdentitaDocumento = ScritturaAtomica::IdentitaFile::Di(percorso);
    TestoModificato = false;
}

void Contesto::FileRipristinato(const QString &percorso)
{
    if (percorso == QFileInfo(NomeFileCorrente).absoluteFilePath()) IdentitaDocumento = {};
}

Contesto::Salvataggio Contesto::ComeSalvare(bool soloSeModificato) const
{
    if (soloSeModificato && !TestoModificato) return Salvataggio::Nessuno;
    return NomeFileCorrente.isEmpty() ? Salvataggio::ChiediNome : Salvataggio::SulFileProprio;
}

bool Contesto::FileCambiatoSulDisco() const
{
    return ScritturaAtomica::IdentitaFile::Di(NomeFileCorrente) != IdentitaDocumento;
}

QString Contesto::NomeTestoSemplice() const
{
    const QFileInfo info(NomeFileCorrente);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".txt"));
}

Linguaggio Contesto::LinguaggioElenco() const
{
    if (!OpzioniCodice.ElencoPerLinguaggio) return Linguaggio::Nessuno;
    return TipoDaNomeFile(NomeFileCorrente).linguaggio;
}

ArchivioListe &Contesto::ListeDi(Linguaggio linguaggio, ErroreFile *errore)
{
    if (linguaggio == Linguaggio::Nessuno) return Liste;
    std::unique_ptr<ArchivioListe> &liste = m_listeLinguaggio[int(linguaggio) - 1];
    if (!liste)
        liste = std::make_unique<ArchivioListe>(Liste.Cartella(), NomeElencoLinguaggio(linguaggio));
    // Until the file is open, each request tries again: the folder may have
    // become writable, or the user may have made room.
    if (liste->Stato(Elenco::Sostituzioni) == StatoElenco::Chiuso &&
        PreparaElencoLinguaggio(Liste.Cartella(), linguaggio, errore) &&
        liste->Apri(Elenco::Sostituzioni, errore))
        liste->ContaSostituzioni(errore);
    return *liste;
}
