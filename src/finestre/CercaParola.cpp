#include "CercaParola.h"

#include "finestre/EditorTesto.h"
#include "finestre/FinestraPrincipale.h"
#include "nucleo/Contesto.h"
#include "nucleo/ricerca/Ricerca.h"

#include "finestre/FinestraTrova.h"

namespace {

class EditorForm : public Ricerca::EditorRicerca
{
public:
    explicit EditorForm(EditorTesto &editor) : m_editor(editor) {}
    const QString &Testo() override { return m_editor.Text(); }
    qsizetype SelLength() override { return m_editor.SelLength(); }
    void AzzeraSelLength() override { m_editor.SetSelLength(0); }
    void Seleziona(qsizetype offset, qsizetype lunghezza) override
    {
        m_editor.SetSelStart(offset);
        m_editor.SetSelLength(lunghezza);
        m_editor.ensureCursorVisible();
    }

private:
    EditorTesto &m_editor;
};

} // namespace

bool CercaParola(FinestraPrincipale &form, const QString &Parola, const QString &Modo,
                 qint16 Maiuscole, qint16 Intere, qint16 Direzione)
{
    QWidget *dialogo = form.DialogoTrova();
    EditorForm editor(*form.Editor());
    auto chiedi = [&form](Ricerca::Domanda domanda) {
        const QString testo =
            domanda == Ricerca::Domanda::FineTesto
                ? QStringLiteral("Raggiunta la fine del testo. Ricominciare dall'inizio?")
                : QStringLiteral("Raggiunto l'inizio del testo. Ricominciare dalla fine?");
        return Piattaforma::MessageBox(&form, testo, Piattaforma::Pulsanti::SiNo,
                                       Piattaforma::Icona::Domanda,
                                       QStringLiteral("Trova")) == Piattaforma::Risposta::Si;
    };
    Piattaforma::PuntatoreOccupato(dialogo, true);
    const bool risultato = Ricerca::CercaParola(editor, form.Condiviso().PosRicerca, Parola, Modo,
                                                Maiuscole, Intere, Direzione, chiedi);
    Piattaforma::PuntatoreOccupato(dialogo, false);
    return risultato;
}
