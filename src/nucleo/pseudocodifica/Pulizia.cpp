#include "Pulizia.h"

#include "nucleo/ricerca/Ricerca.h"

namespace Pulizia {

Esito Applica(const QString &testo, const QVector<VoceEliminazione> &elenco,
              const RegoleCodice &regole)
{
    Esito esito{testo, 0};
    const Delimitatori delimitatori = regole.Delimitazione();
    // A deletion can join a comment opener to the text around it, so the
    // protected stretches are found again after every word that deleted.
    ZoneProtette zone = regole.Zone(esito.testo);
    for (const VoceEliminazione &voce : elenco) {
        if (SenzaParola(voce)) continue;
        const bool intere = FlagParolaIntera(voce.ParolaIntera) == 1;
        Ricerca::EsitoSostituzione passo = Ricerca::SostituisciOccorrenze(
            esito.testo, voce.Elimina, QString(),
            Ricerca::Confronto::PerSostituzione(regole.MaiuscoleEsatte(), intere), delimitatori,
            &zone);
        esito.testo = std::move(passo.testo);
        esito.eliminate += passo.sostituzioni;
        if (passo.sostituzioni > 0 && regole.Protegge()) zone = regole.Zone(esito.testo);
    }
    return esito;
}

} // namespace Pulizia
