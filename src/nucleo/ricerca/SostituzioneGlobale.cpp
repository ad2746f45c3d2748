#include "SostituzioneGlobale.h"

namespace Ricerca {

std::optional<EsitoSostituzione>
SostituzioneGlobale::Esegui(QStringView testo, const QString &parola, const QString &sostituto,
                            const OpzioniRicerca &opzioni, Intervallo intervallo,
                            const std::function<void(qsizetype, qsizetype)> &avanzamento)
{
    if (Occupata()) return std::nullopt;
    m_stato = Stato::InCorso;
    auto controlla = [&](qsizetype posizione, qsizetype lunghezza) {
        if (avanzamento) avanzamento(posizione - 1, lunghezza);
        return m_stato == Stato::InCorso;
    };
    EsitoSostituzione esito = SostituisciOccorrenze(
        testo, parola, sostituto, opzioni.ComeConfronto(), opzioni.delimitatori, nullptr, controlla,
        PassoAvanzamentoFinestra, intervallo.inizio, intervallo.fine);
    if (esito.interrotto) m_stato = Stato::Interruzione;
    return esito;
}

void SostituzioneGlobale::Interrompi()
{
    if (m_stato == Stato::InCorso) m_stato = Stato::Interruzione;
}

} // namespace Ricerca
