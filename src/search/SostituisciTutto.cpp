#include "SostituisciTutto.h"

#include "app/EditorTesto.h"
#include "app/Form1.h"
#include "app/Modulo1.h"
#include "search/Ricerca.h"
#include "search/frmTrova.h"

#include <QPointer>
#include <QProgressBar>

using Piattaforma::Risposta;

void SostituisciTutto(Form1 &form, const QString &Parola, const QString &Sostituto,
                      qint16 Maiuscole, qint16 Intere, qint16 Direzione)
{
    Modulo1 &stato = form.Stato();
    EditorTesto *editor = form.Text1;
    const QString testoOriginale = editor->Text();
    const qsizetype lunghezza = testoOriginale.size();
    const qsizetype k = editor->SelStart();

    // The working range: "Su" works on the text before the caret's character
    // and leaves the rest as it is; "Giù" starts at the character before the caret.
    qsizetype inizio = 0;
    qsizetype fine = lunghezza;
    if (Direzione == 1) {
        inizio = (k == 0 || k >= lunghezza) ? 0 : k - 1;
    } else if (Direzione == 0) {
        const qsizetype s = (k == 0 || k == 1) ? lunghezza : k;
        fine = std::max<qsizetype>(s - 1, 0);
    }

    stato.RichiestaInterruzione = 0;
    Piattaforma::PuntatoreOccupato(&form, true);
    form.ProgressBar1->setRange(0, int(std::clamp<qsizetype>(fine, 1, INT_MAX)));
    form.ProgressBar1->setValue(0);
    form.ImpostaStato(QStringLiteral("Sostituzione di '") + Parola + QStringLiteral("' in '") +
                      Sostituto + QStringLiteral("'..."));

    QPointer<frmTrova> dialogo = form.FinestraTrova();
    Piattaforma::Cessione cedi(dialogo->IntervalloCessione);
    auto avanzamento = [&](qsizetype posizione, qsizetype lunghezzaAttuale) {
        form.ProgressBar1->setMaximum(int(std::clamp<qsizetype>(lunghezzaAttuale, 1, INT_MAX)));
        form.ProgressBar1->setValue(int(std::min<qsizetype>(posizione - 1, INT_MAX)));
        cedi();
        return stato.RichiestaInterruzione == 0;
    };
    const Ricerca::EsitoSostituzione esito = Ricerca::SostituisciOccorrenze(
        testoOriginale, Parola, Sostituto, Ricerca::Confronto::PerSostituzione(Maiuscole, Intere),
        avanzamento, Ricerca::PassoAvanzamentoFinestra, inizio, fine);
    if (esito.sostituzioni > 0) stato.TestoModificato = true;

    if (esito.interrotto) {
        stato.RichiestaInterruzione = 0;
        const Risposta risposta = Piattaforma::MessageBox(
            &form,
            QStringLiteral(
                "Sostituzione interrotta! Si desiderano mantenere le modifiche apportate?"),
            Piattaforma::Pulsanti::SiNo, Piattaforma::Icona::Domanda,
            QStringLiteral("Sostituisci tutto"));
        // No: the editor still holds the text as it was before the run.
        if (risposta == Risposta::Si) editor->SostituisciTesto(esito.testo);
    } else {
        Piattaforma::MessageBox(&form, QStringLiteral("Operazione completata"),
                                Piattaforma::Pulsanti::OK, Piattaforma::Icona::Informazione,
                                QStringLiteral("Sostituisci tutto  1"));
        editor->SostituisciTesto(esito.testo);
        stato.TestoModificato = true;
    }

    editor->SetSelStart(k);
    Piattaforma::PuntatoreOccupato(&form, false);
    if (dialogo) dialogo->FineSostituzione();
    form.ProgressBar1->setValue(0);
    form.RipristinaStato();
}
