#include "Pulizia.h"

#include "search/Ricerca.h"

namespace Pulizia {

Esito Applica(const QString &testo, const QVector<VoceEliminazione> &elenco)
{
    Esito esito{testo, 0};
    for (const VoceEliminazione &voce : elenco) {
        if (voce.Elimina.isEmpty()) continue;
        const qint16 intere = FlagParolaIntera(voce.ParolaIntera);
        Ricerca::EsitoSostituzione passo = Ricerca::SostituisciOccorrenze(
            esito.testo, voce.Elimina, QString(), Ricerca::Confronto::PerSostituzione(0, intere));
        esito.testo = std::move(passo.testo);
        esito.eliminate += passo.sostituzioni;
    }
    return esito;
}

} // namespace Pulizia
