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
    m_testoDaCorsa = false;
    m_fileSostituiti.clear();
    LinguaggioScelto.reset();
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
    m_testoDaCorsa = false;
    m_fileSostituiti.clear();
    LinguaggioScelto.reset();
}

void Contesto::DocumentoSalvato(const QString &percorso)
{
    // A new name that tells a language tells the text's language from now on.
    if (percorso != NomeFileCorrente && TipoDaNomeFile(percorso).linguaggio != Linguaggio::Nessuno)
        LinguaggioScelto.reset();
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

namespace {

// One name for a file however it is reached: through a link, or by a path
// with "." or "..".
QString FileReale(const QString &percorso)
{
    const QFileInfo info(percorso);
    const QString reale = info.canonicalFilePath();
    return reale.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : reale;
}

} // namespace

bool Contesto::ConservaPrimaDiScrivere(const QString &percorso) const
{
    return OpzioniCodice.ConservaOriginale && m_testoDaCorsa && !percorso.isEmpty() &&
           !m_fileSostituiti.contains(FileReale(percorso));
}

void Contesto::FileScritto(const QString &percorso)
{
    if (m_testoDaCorsa && !percorso.isEmpty()) m_fileSostituiti.insert(FileReale(percorso));
}

Linguaggio Contesto::LinguaggioElenco() const
{
    if (!OpzioniCodice.ElencoPerLinguaggio) return Linguaggio::Nessuno;
    return TipoDocumento().linguaggio;
}

TipoTesto Contesto::TipoDocumento() const
{
    TipoTesto tipo = TipoDaNomeFile(NomeFileCorrente);
    // A language chosen over the name's: the BASIC file header belongs to the name's.
    if (LinguaggioScelto && *LinguaggioScelto != tipo.linguaggio)
        tipo = TipoTesto{*LinguaggioScelto, false};
    return tipo;
}

ArchivioListe &Contesto::ListeDi(Linguaggio linguaggio, Elenco elenco, ErroreFile *errore)
{
    if (linguaggio == Linguaggio::Nessuno) return Liste;
    std::unique_ptr<ArchivioListe> &liste = m_listeLinguaggio[int(linguaggio) - 1];
    if (!liste)
        liste = std::make_unique<ArchivioListe>(
            Liste.Cartella(), NomeElencoLinguaggio(linguaggio, Elenco::Sostituzioni),
            NomeElencoLinguaggio(linguaggio, Elenco::Eliminazioni));
    // Until the file is open, each request tries again: the folder may have
    // become writable, or the user may have made room.
    if (liste->Stato(elenco) == StatoElenco::Chiuso &&
        PreparaElencoLinguaggio(Liste.Cartella(), linguaggio, elenco, errore) &&
        liste->Apri(elenco, errore) && elenco == Elenco::Sostituzioni)
        liste->ContaSostituzioni(errore);
    return *liste;
}
