#pragma once

// The find dialog's replace-all as a machine: started, perhaps asked to stop
// while it scans, then ended by whoever shows its outcome.

#include "nucleo/ricerca/Ricerca.h"

#include <functional>
#include <optional>

namespace Ricerca {

class SostituzioneGlobale
{
public:
    enum class Stato {
        Ferma,        // nothing running: a new run may start
        InCorso,      // scanning; it can be interrupted
        Interruzione, // asked to stop, or stopped, and not yet ended
    };

    Stato StatoAttuale() const { return m_stato; }
    // From the start until Termina(): a second run does not start meanwhile.
    bool Occupata() const { return m_stato != Stato::Ferma; }
    // The run can still be interrupted.
    bool Interrompibile() const { return m_stato == Stato::InCorso; }

    // Starts a run and replaces every occurrence of `parola` in `testo`
    // between the indices of `intervallo`. `avanzamento` gets how far the scan
    // got (0-based) and the current length up to the end of the range, and
    // may let the user act, Interrompi() included; the scan stops at the
    // next report after that. Nothing runs while busy. The run stays busy
    // until Termina().
    std::optional<EsitoSostituzione>
    Esegui(QStringView testo, const QString &parola, const QString &sostituto,
           const OpzioniRicerca &opzioni, Intervallo intervallo,
           const std::function<void(qsizetype fatto, qsizetype lunghezza)> &avanzamento = {});
    // Asks a running scan to stop; ignored when nothing can be interrupted.
    void Interrompi();
    // The outcome has been dealt with: ready for the next run.
    void Termina() { m_stato = Stato::Ferma; }

private:
    Stato m_stato = Stato::Ferma;
};

} // namespace Ricerca
