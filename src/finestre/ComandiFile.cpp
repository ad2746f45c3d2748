// The File menu of the main window and the closing procedure.

#include "finestre/EditorTesto.h"
#include "finestre/FinestraPrincipale.h"
#include "nucleo/Contesto.h"
#include "nucleo/testo/CopiaOriginale.h"
#include "nucleo/testo/Documento.h"
#include "nucleo/testo/LettoreRtf.h"
#include "nucleo/testo/ScritturaAtomica.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using Piattaforma::Icona;
using Piattaforma::Pulsanti;
using Piattaforma::Risposta;

namespace {
const QString DomandaModificato =
    QStringLiteral("Il testo è stato modificato. Salvare le modifiche?");
const QString AvvisoSeparatori = QStringLiteral(
    "Il file contiene separatori di paragrafo o di blocco che l'editor non "
    "conserva come tali: quando il testo sarà salvato, saranno scritti come a capo.");
const QString DomandaRtf = QStringLiteral(
    "Il file è in formato RTF: salvandolo come testo semplice la formattazione andrà persa.\n"
    "Salvare il testo in un altro file, con estensione .txt?");
const QString DomandaFileCambiato = QStringLiteral(
    "Il file «%1» è stato modificato, sostituito o rimosso da un altro programma dopo "
    "l'apertura o l'ultimo salvataggio.\nSovrascriverlo con il testo dell'editor?");
const QString DomandaRipristino = QStringLiteral(
    "Il salvataggio di «%1» è stato interrotto: il file potrebbe essere incompleto.\n"
    "Ripristinare il contenuto che aveva prima del salvataggio?");
const QString TitoloRipristino = QStringLiteral("Salvataggio interrotto");
const QString DomandaSenzaCopia =
    QStringLiteral("Impossibile conservare una copia dell'originale di «%1».\n%2\n"
                   "Salvare comunque, sostituendo il file senza copia?");
const QString StatoCopia = QStringLiteral("Copia dell'originale conservata in «%1»");
} // namespace

bool FinestraPrincipale::ControllaFile(const QString &nomefile)
{
    // Hidden files are asked about too: replacing one unasked would lose it.
    const QFileInfo info(nomefile);
    if (!info.exists() || info.isDir()) return true;
    return Piattaforma::MessageBox(
               this, QStringLiteral("Il file esiste già. Si desidera sostituirlo?"), Pulsanti::SiNo,
               Icona::Esclamazione, QStringLiteral("Salva con nome")) == Risposta::Si;
}

std::optional<QString> FinestraPrincipale::CicloNome()
{
    for (;;) {
        const std::optional<QString> percorso =
            m_dialogoFile.Mostra(this, Piattaforma::DialogoFile::Modo::Salva);
        if (!percorso || ControllaFile(*percorso)) return percorso;
    }
}

void FinestraPrincipale::MostraErrore(const ErroreFile &errore, const QString &percorso)
{
    Piattaforma::MessageBox(this,
                            percorso.isEmpty() ? errore.Messaggio() : errore.Messaggio(percorso),
                            Pulsanti::OK, Icona::Critico);
}

bool FinestraPrincipale::ConservaOriginale(const QString &percorso)
{
    if (!m_contesto.ConservaPrimaDiScrivere(percorso)) return true;
    using Tipo = CopiaOriginale::Esito::Tipo;
    const CopiaOriginale::Esito copia = CopiaOriginale::Conserva(
        percorso, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    switch (copia.tipo) {
    case Tipo::Conservata:
        m_contesto.FileScritto(percorso);
        ImpostaStato(StatoCopia.arg(QDir::toNativeSeparators(copia.copia)));
        return true;
    case Tipo::NienteDaConservare:
        return true;
    case Tipo::Fallita:
        break;
    }
    return Piattaforma::MessageBox(
               this,
               DomandaSenzaCopia.arg(QDir::toNativeSeparators(percorso), copia.errore.Messaggio()),
               Pulsanti::SiNo, Icona::Esclamazione) == Risposta::Si;
}

bool FinestraPrincipale::ScriviTesto(const QString &percorso)
{
    if (!ConservaOriginale(percorso)) return false;
    ErroreFile errore;
    if (Documento::Scrivi(percorso, m_editor->Text(), m_contesto.FormatoDocumento, &errore)) {
        m_contesto.TestoOriginale = m_editor->Text();
        m_contesto.FileScritto(percorso);
        return true;
    }
    MostraErrore(errore, percorso);
    return false;
}

bool FinestraPrincipale::SalvaSulFileCorrente()
{
    const QString percorso = m_contesto.NomeFileCorrente;
    if (m_contesto.DocumentoRtf) {
        switch (
            Piattaforma::MessageBox(this, DomandaRtf, Pulsanti::SiNoAnnulla, Icona::Esclamazione)) {
        case Risposta::Si: {
            m_dialogoFile.ProponiPercorso(m_contesto.NomeTestoSemplice());
            const std::optional<QString> nuovo = CicloNome();
            if (!nuovo || !ScriviTesto(*nuovo)) return false;
            m_contesto.DocumentoSalvato(*nuovo);
            FileUsato(*nuovo);
            return true;
        }
        case Risposta::No:
            break; // plain text over the RTF file, as the user chose
        default:
            return false;
        }
    }
    if (m_contesto.FileCambiatoSulDisco() &&
        Piattaforma::MessageBox(this, DomandaFileCambiato.arg(QDir::toNativeSeparators(percorso)),
                                Pulsanti::SiNo, Icona::Esclamazione) != Risposta::Si)
        return false;
    if (!ScriviTesto(percorso)) return false;
    m_contesto.DocumentoSalvato(percorso);
    FileUsato(percorso);
    return true;
}

bool FinestraPrincipale::SalvaInFileProprioONuovo(bool soloSeModificato)
{
    switch (m_contesto.ComeSalvare(soloSeModificato)) {
    case Contesto::Salvataggio::Nessuno:
        return true;
    case Contesto::Salvataggio::SulFileProprio:
        return SalvaSulFileCorrente();
    case Contesto::Salvataggio::ChiediNome:
        break;
    }
    const std::optional<QString> percorso = CicloNome();
    if (!percorso || !ScriviTesto(*percorso)) return false;
    m_contesto.DocumentoSalvatoAltrove();
    FileUsato(*percorso);
    return true;
}

void FinestraPrincipale::OffriRipristini()
{
    const QVector<ScritturaAtomica::CopiaInSospeso> copie = ScritturaAtomica::CopieInSospeso();
    for (const ScritturaAtomica::CopiaInSospeso &copia : copie) {
        ErroreFile errore;
        const bool ripristina =
            Piattaforma::MessageBox(
                this, DomandaRipristino.arg(QDir::toNativeSeparators(copia.percorso)),
                Pulsanti::SiNo, Icona::Esclamazione, TitoloRipristino) == Risposta::Si;
        if (!(ripristina ? ScritturaAtomica::Ripristina(copia, &errore)
                         : ScritturaAtomica::Scarta(copia, &errore)))
            MostraErrore(errore, copia.percorso);
        if (ripristina) m_contesto.FileRipristinato(copia.percorso);
    }
    MostraNomeFile();
}

bool FinestraPrincipale::OffriSalvataggio()
{
    if (!m_contesto.TestoModificato) return true;
    switch (Piattaforma::MessageBox(this, DomandaModificato, Pulsanti::SiNoAnnulla,
                                    Icona::Esclamazione)) {
    case Risposta::No:
        return true;
    case Risposta::Si:
        break;
    default:
        return false;
    }
    return SalvaInFileProprioONuovo();
}

void FinestraPrincipale::Nuovo()
{
    if (!OffriSalvataggio()) return;
    m_editor->SetText(QString());
    m_contesto.DocumentoNuovo();
    MostraNomeFile();
}

void FinestraPrincipale::Apri()
{
    ApriFile(std::nullopt);
}

void FinestraPrincipale::ApriFile(const std::optional<QString> &scelto)
{
    struct Ripristino
    {
        FinestraPrincipale *form;
        ~Ripristino()
        {
            Piattaforma::PuntatoreOccupato(form, false);
            form->RipristinaStato();
        }
    } ripristino{this};

    if (!OffriSalvataggio()) return;
    const std::optional<QString> percorso =
        scelto ? scelto : m_dialogoFile.Mostra(this, Piattaforma::DialogoFile::Modo::Apri);
    if (!percorso) return;
    Piattaforma::PuntatoreOccupato(this, true);
    // The status text is painted before the read: a large file takes a while.
    ImpostaStato(QStringLiteral("Apertura del file ") + *percorso + QStringLiteral(" in corso..."));
    repaint();
    // The whole file is read before the editor changes: a failure leaves it as it was.
    // Taken before reading: a change while the file is read is noticed at the save.
    const ScritturaAtomica::IdentitaFile identita = ScritturaAtomica::IdentitaFile::Di(*percorso);
    FormatoTesto formato;
    ErroreFile errore;
    std::optional<Documento::FileLetto> letto = Documento::LeggiByte(*percorso, &errore);
    if (!letto) {
        MostraErrore(errore, *percorso);
        return;
    }
    const bool rtf = LettoreRtf::Riconosce(letto->Byte());
    const QString testo = Documento::Decodifica(*std::move(letto), &formato);
    m_editor->SetText(testo);
    m_contesto.DocumentoAperto(*percorso, formato, rtf, identita);
    // Opened from the command line or the recent files, the file is still
    // what the next open or save dialog offers.
    if (scelto) m_dialogoFile.ProponiPercorso(*percorso);
    FileUsato(*percorso);
    m_contesto.TestoOriginale = testo;
    if (Documento::ContieneSeparatoriSpeciali(testo))
        Piattaforma::MessageBox(this, AvvisoSeparatori, Pulsanti::OK, Icona::Informazione);
}

void FinestraPrincipale::Salva()
{
    SalvaInFileProprioONuovo(true);
}

void FinestraPrincipale::SalvaConNome()
{
    const QString precedente = std::exchange(m_contesto.NomeFileCorrente, QString());
    const std::optional<QString> percorso = CicloNome();
    if (!percorso) {
        MostraErrore(ErroreAnnullamento());
        m_contesto.NomeFileCorrente = precedente;
        return;
    }
    if (!ScriviTesto(*percorso)) {
        m_contesto.NomeFileCorrente = precedente;
        return;
    }
    m_contesto.DocumentoSalvato(*percorso);
    FileUsato(*percorso);
}

void FinestraPrincipale::Esci()
{
    close();
}

void FinestraPrincipale::closeEvent(QCloseEvent *e)
{
    // While a run window is open (or, closed, waits for its scan to stop),
    // the find dialog is shown or a replace-all runs, the main window is out
    // of the user's reach: closing it would end the program halfway through.
    if (m_contesto.Occupato() || m_finestraPseudocodifica) {
        e->ignore();
        return;
    }
    if (!m_contesto.TestoModificato) {
        e->accept();
        return;
    }
    const Risposta risposta = Piattaforma::MessageBox(this, DomandaModificato,
                                                      Pulsanti::SiNoAnnulla, Icona::Esclamazione);
    if (risposta == Risposta::No) {
        e->accept();
        return;
    }
    // A save that is cancelled or fails keeps the window and the text.
    if (risposta == Risposta::Si && SalvaInFileProprioONuovo())
        e->accept();
    else
        e->ignore();
}
