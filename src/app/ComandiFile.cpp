// The File menu of the main window and the closing procedure.

#include "app/Documento.h"
#include "app/EditorTesto.h"
#include "app/Form1.h"
#include "app/Modulo1.h"

#include <QCloseEvent>
#include <QFileInfo>

using Piattaforma::Icona;
using Piattaforma::Pulsanti;
using Piattaforma::Risposta;

namespace {
const QString DomandaModificato =
    QStringLiteral("Il testo è stato modificato. Salvare le modifiche?");
const QString AvvisoSeparatori = QStringLiteral(
    "Il file contiene separatori di paragrafo o di blocco che l'editor non "
    "conserva come tali: quando il testo sarà salvato, saranno scritti come a capo.");
} // namespace

bool Form1::ControllaFile(const QString &nomefile)
{
    // Hidden files are asked about too: replacing one unasked would lose it.
    const QFileInfo info(nomefile);
    if (!info.exists() || info.isDir()) return true;
    return Piattaforma::MessageBox(
               this, QStringLiteral("Il file esiste già. Si desidera sostituirlo?"), Pulsanti::SiNo,
               Icona::Esclamazione, QStringLiteral("Salva con nome")) == Risposta::Si;
}

std::optional<QString> Form1::CicloNome()
{
    for (;;) {
        const std::optional<QString> percorso =
            cmd1.Mostra(this, Piattaforma::DialogoFile::Modo::Salva);
        if (!percorso || ControllaFile(*percorso)) return percorso;
    }
}

void Form1::MostraErrore(const ErroreFile &errore)
{
    Piattaforma::MessageBox(this, errore.Messaggio(), Pulsanti::OK, Icona::Critico);
}

bool Form1::ScriviTesto(const QString &percorso)
{
    ErroreFile errore;
    if (Documento::Scrivi(percorso, Text1->Text(), m_stato.FormatoDocumento, &errore)) return true;
    MostraErrore(errore);
    return false;
}

bool Form1::SalvaInFileProprioONuovo()
{
    std::optional<QString> percorso = m_stato.NomeFileCorrente;
    if (percorso->isEmpty()) percorso = CicloNome();
    if (!percorso || !ScriviTesto(*percorso)) return false;
    m_stato.TestoModificato = false;
    return true;
}

bool Form1::OffriSalvataggio()
{
    if (!m_stato.TestoModificato) return true;
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

void Form1::mnuFileNuovo_Click()
{
    if (!OffriSalvataggio()) return;
    Text1->SetText(QString());
    m_stato.PosRicerca = 0; // searches in the new text start from its beginning
    m_stato.TestoModificato = false;
    m_stato.NomeFileCorrente.clear();
    m_stato.FormatoDocumento = {};
}

void Form1::mnuFileApri_Click()
{
    ApriFile(std::nullopt);
}

void Form1::ApriFile(const std::optional<QString> &scelto)
{
    struct Ripristino
    {
        Form1 *form;
        ~Ripristino()
        {
            Piattaforma::PuntatoreOccupato(form, false);
            form->RipristinaStato();
        }
    } ripristino{this};

    if (!OffriSalvataggio()) return;
    const std::optional<QString> percorso =
        scelto ? scelto : cmd1.Mostra(this, Piattaforma::DialogoFile::Modo::Apri);
    if (!percorso) return;
    Piattaforma::PuntatoreOccupato(this, true);
    repaint();
    ImpostaStato(QStringLiteral("Apertura del file ") + *percorso + QStringLiteral(" in corso..."));
    // The whole file is read before the editor changes: a failure leaves it as it was.
    FormatoTesto formato;
    ErroreFile errore;
    const std::optional<QString> testo = Documento::Leggi(*percorso, &formato, &errore);
    if (!testo) {
        MostraErrore(errore);
        return;
    }
    Text1->SetText(*testo);
    m_stato.PosRicerca = 0; // searches in the new text start from its beginning
    m_stato.NomeFileCorrente = *percorso;
    m_stato.FormatoDocumento = formato;
    if (Documento::ContieneSeparatoriSpeciali(*testo))
        Piattaforma::MessageBox(this, AvvisoSeparatori, Pulsanti::OK, Icona::Informazione);
}

void Form1::mnuFileSalva_Click()
{
    if (!m_stato.TestoModificato) return;
    if (m_stato.NomeFileCorrente.isEmpty()) {
        const std::optional<QString> percorso = CicloNome();
        if (!percorso || !ScriviTesto(*percorso)) return;
    } else if (!ScriviTesto(m_stato.NomeFileCorrente)) {
        return;
    }
    m_stato.TestoModificato = false;
}

void Form1::mnuFilsSalvaN_Click()
{
    const QString precedente = std::exchange(m_stato.NomeFileCorrente, QString());
    const std::optional<QString> percorso = CicloNome();
    if (!percorso) {
        MostraErrore(ErroreAnnullamento());
        m_stato.NomeFileCorrente = precedente;
        return;
    }
    if (!ScriviTesto(*percorso)) {
        m_stato.NomeFileCorrente = precedente;
        return;
    }
    m_stato.NomeFileCorrente = *percorso;
    m_stato.TestoModificato = false;
}

void Form1::mnuFileEsci_Click()
{
    close();
}

void Form1::closeEvent(QCloseEvent *e)
{
    // While a run window is open, the find dialog is shown or a replace-all
    // runs, the main window is out of the user's reach: closing it would end
    // the program halfway through.
    if (!isEnabled() || (m_frmPseudo && m_frmPseudo->isVisible())) {
        e->ignore();
        return;
    }
    if (!m_stato.TestoModificato) {
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
