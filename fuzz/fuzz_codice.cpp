// Any text read as each language: the scanner must end, stay inside the text
// and give sorted, disjoint stretches; the untranslated-word count must not
// crash; the language's ready list with both code options gives what the
// literal model gives; a list read from the same bytes must write back to
// what it read.

#include "aiuti/ModelliRiferimento.h"
#include "nucleo/codice/ScansioneCodice.h"
#include "nucleo/elenchi/ListeLinguaggio.h"
#include "nucleo/elenchi/TestoElenco.h"
#include "nucleo/pseudocodifica/MotoreElenco.h"
#include "nucleo/pseudocodifica/ParoleNonTradotte.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    const QByteArray byte(reinterpret_cast<const char *>(dati), qsizetype(dimensione));
    const QString testo = QString::fromUtf8(byte);

    const TipoTesto tipi[] = {{Linguaggio::Basic, false},
                              {Linguaggio::Basic, true},
                              {Linguaggio::C, false},
                              {Linguaggio::Batch, false}};
    for (const TipoTesto &tipo : tipi) {
        const ZoneProtette zone = ScansionaCodice(testo, tipo);
        qsizetype fine = -1;
        for (const Zona &z : zone.Elenco()) {
            if (z.inizio <= fine || z.fine <= z.inizio || z.fine > testo.size()) std::abort();
            fine = z.fine;
        }
        CursoreZone cursore(zone);
        for (qsizetype i = 0; i < testo.size(); ++i)
            if (cursore.Protetto(i) != zone.Protetto(i)) std::abort();
        (void)ParoleNonTradotte(testo, tipo, {{QStringLiteral("If"), QStringLiteral("Se")}});
    }

    // The model reads the text again for every entry and rebuilds it at every
    // match: short texts only, one language each.
    if (testo.size() <= 400) {
        const TipoTesto &tipo = tipi[dimensione % 4];
        static const QVector<VoceSostituzione> liste[] = {
            ListaDelLinguaggio(Linguaggio::Basic), ListaDelLinguaggio(Linguaggio::Basic),
            ListaDelLinguaggio(Linguaggio::C), ListaDelLinguaggio(Linguaggio::Batch)};
        const QVector<VoceSostituzione> &voci = liste[dimensione % 4];
        RegoleCodice regole;
        regole.tipo = tipo;
        regole.proteggi = regole.separatoriCodice = true;
        if (MotoreElenco(voci).Applica(testo, regole) !=
            Modello::ElencoCodice(testo, voci, {true, true, tipo}))
            std::abort();
    }

    const auto sostituzioni = TestoElenco::LeggiSostituzioni(byte);
    const QByteArray scritto = TestoElenco::ScriviSostituzioni(sostituzioni.voci);
    if (!(TestoElenco::LeggiSostituzioni(scritto).voci == sostituzioni.voci)) std::abort();
    const auto eliminazioni = TestoElenco::LeggiEliminazioni(byte);
    const QByteArray scrittoE = TestoElenco::ScriviEliminazioni(eliminazioni.voci);
    if (!(TestoElenco::LeggiEliminazioni(scrittoE).voci == eliminazioni.voci)) std::abort();
    return 0;
}
