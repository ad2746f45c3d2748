#include "SostituisciTutto.h"

#include "finestre/EditorTesto.h"
#include "finestre/FinestraPrincipale.h"
#include "finestre/FinestraTrova.h"
#include "nucleo/Contesto.h"
#include "nucleo/ricerca/Ricerca.h"

#include <QPointer>

using Piattaforma::Risposta;

void SostituisciTutto(FinestraPrincipale &form, const QString &Parola, const QString &Sostituto,
                      qint16 Maiuscole, qint16 Intere, qint16 Direzione)
{
    Contesto &stato = form.Condiviso();
    EditorTesto *editor = form.Editor();
    const QString testoOriginale = editor->Text();
    const qsizetype k = editor->SelStart();

    const auto [inizio, fine] =
        Ricerca::IntervalloSostituzione(Direzione, k, testoOriginale.size());

    stato.RichiestaInterruzione = 0;
    Piattaforma::PuntatoreOccupato(&form, true);
    form.ImpostaAvanzamento(0, fine);
    form.ImpostaStato(QStringLiteral("Sostituzione di '") + Parola + QStringLiteral("' in '") +
                      Sostituto + QStringLiteral("'..."));

    QPointer<FinestraTrova> dialogo = form.DialogoTrova();
    Piattaforma::Cessione cedi(dialogo->IntervalloCessione);
    auto avanzamento = [&](qsizetype posizione, qsizetype lunghezzaAttuale) {
        form.ImpostaAvanzamento(posizione - 1, lunghezzaAttuale);
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
    form.AzzeraAvanzamento();
    form.RipristinaStato();
}
