// The find and replace engines over 1 MB and 20 MB of BASIC-like source, side
// by side with the literal model (the text rebuilt at every match) and with a
// QRegularExpression doing a comparable whole-word replace.

#include "SorgenteBasic.h"
#include "aiuti/ModelliRiferimento.h"
#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/ricerca/Ricerca.h"

#include <QRegularExpression>
#include <benchmark/benchmark.h>

namespace {

const QString &Testo(qsizetype caratteri)
{
    static QString uno = SorgenteBasic(1 << 20), venti = SorgenteBasic(20 << 20),
                   piccolo = SorgenteBasic(64 << 10);
    return caratteri == (1 << 20) ? uno : caratteri == (20 << 20) ? venti : piccolo;
}

// A quiet forward search for a word that is not there: the whole text is scanned.
void CercaParolaAssente(benchmark::State &stato)
{
    Modello::Editor editor;
    editor.testo = Testo(stato.range(0));
    for (auto _ : stato) {
        qint32 pos = 0;
        benchmark::DoNotOptimize(Modello::CercaConDomande(editor, pos, QStringLiteral("Wend"),
                                                          QStringLiteral("S"), 0, 1, 1, {}));
    }
    stato.SetBytesProcessed(stato.iterations() * stato.range(0) * 2);
}

// The whole factory list applied in turn, as the automatic run does.
void SostituisciPseudoElenco(benchmark::State &stato)
{
    const QString &testo = Testo(stato.range(0));
    const auto voci = SostituzioniPredefinite();
    for (auto _ : stato) {
        QString lavoro = testo;
        for (const auto &voce : voci)
            lavoro = Ricerca::SostituisciOccorrenze(lavoro, voce.Trova, voce.Sostituisci,
                                                    Ricerca::Confronto::PerSostituzione(0, 1))
                         .testo;
        benchmark::DoNotOptimize(lavoro);
    }
    stato.SetBytesProcessed(stato.iterations() * stato.range(0) * 2 * voci.size());
}

void ModelloLetteraleElenco(benchmark::State &stato)
{
    const QString &testo = Testo(stato.range(0));
    const auto voci = SostituzioniPredefinite();
    for (auto _ : stato) {
        QString lavoro = testo;
        for (const auto &voce : voci)
            lavoro = Modello::Sostituisci(lavoro, voce.Trova, voce.Sostituisci, 0, 1).testo;
        benchmark::DoNotOptimize(lavoro);
    }
    stato.SetBytesProcessed(stato.iterations() * stato.range(0) * 2 * voci.size());
}

void EspressioneRegolareElenco(benchmark::State &stato)
{
    const QString &testo = Testo(stato.range(0));
    const auto voci = SostituzioniPredefinite();
    QList<QRegularExpression> espressioni;
    for (const auto &voce : voci)
        espressioni.append(QRegularExpression(QStringLiteral("(?<=^|[ \\r\\n()<>!?.;:,])") +
                                                  QRegularExpression::escape(voce.Trova) +
                                                  QStringLiteral("(?=[ \\r\\n()<>!?.;:,])"),
                                              QRegularExpression::CaseInsensitiveOption));
    for (auto _ : stato) {
        QString lavoro = testo;
        for (qsizetype i = 0; i < voci.size(); ++i)
            lavoro.replace(espressioni[i], voci[i].Sostituisci);
        benchmark::DoNotOptimize(lavoro);
    }
    stato.SetBytesProcessed(stato.iterations() * stato.range(0) * 2 * voci.size());
}

} // namespace

BENCHMARK(CercaParolaAssente)->Arg(1 << 20)->Arg(20 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(SostituisciPseudoElenco)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Arg(20 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(EspressioneRegolareElenco)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Arg(20 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ModelloLetteraleElenco)->Arg(64 << 10)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
