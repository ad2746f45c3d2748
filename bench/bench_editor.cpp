// Whole-text writes into the editor over 20 MB of BASIC-like source: the plain
// write that clears the undo history side by side with the undoable write of
// what changed, and its undo, for a text changed at both ends, one word changed
// in the middle, and every line changed. The machine may be shared: compare CPU
// times.

#include "SorgenteBasic.h"
#include "finestre/EditorTesto.h"
#include "finestre/FinestraConfronto.h"

#include <QApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

enum Caso { AiDueCapi, UnaParola, OgniRiga };

// The text before and the text after the operation that a benchmark writes.
struct Coppia
{
    QString prima, dopo;
};

const Coppia &Testi(int caso)
{
    static const QString base = SorgenteBasic(20 << 20);
    static const Coppia coppie[] = {
        [] {
            QString dopo = base;
            dopo[0] = QLatin1Char('p');
            dopo[dopo.size() - 3] = QLatin1Char('B'); // "End Sub" -> "End SuB"
            return Coppia{base, dopo};
        }(),
        [] {
            QString dopo = base;
            dopo.replace(base.indexOf(QStringLiteral("If"), base.size() / 2), 2,
                         QStringLiteral("Se"));
            return Coppia{base, dopo};
        }(),
        [] {
            QString dopo = base;
            dopo.replace(QStringLiteral("\r\n"), QStringLiteral("\r\n'"));
            dopo.prepend(QLatin1Char('\''));
            dopo.chop(1);
            return Coppia{base, dopo};
        }(),
    };
    return coppie[caso];
}

EditorTesto &Editor()
{
    static EditorTesto *editor = [] {
        auto *e = new EditorTesto;
        e->resize(800, 600);
        e->show();
        return e;
    }();
    return *editor;
}

// Today's write: the whole text replaced, the undo history cleared.
void ScritturaIntera(benchmark::State &stato)
{
    const Coppia &testi = Testi(int(stato.range(0)));
    EditorTesto &e = Editor();
    e.SetText(testi.prima);
    bool avanti = true;
    for (auto _ : stato) {
        e.SetText(avanti ? testi.dopo : testi.prima);
        avanti = !avanti;
    }
}

// The undoable write of the changed span; the history is emptied between
// iterations (not timed) so that memory does not grow with the run.
void ScritturaAnnullabile(benchmark::State &stato)
{
    const Coppia &testi = Testi(int(stato.range(0)));
    EditorTesto &e = Editor();
    e.SetText(testi.prima);
    e.Text(); // the operations read the text before they write it
    bool avanti = true;
    for (auto _ : stato) {
        e.SostituisciTesto(avanti ? testi.dopo : testi.prima);
        avanti = !avanti;
        stato.PauseTiming();
        e.document()->clearUndoRedoStacks();
        stato.ResumeTiming();
    }
}

// Taking the undoable write back ("&Annulla" after a run).
void AnnullaScrittura(benchmark::State &stato)
{
    const Coppia &testi = Testi(int(stato.range(0)));
    EditorTesto &e = Editor();
    e.SetText(testi.prima);
    for (auto _ : stato) {
        stato.PauseTiming();
        e.SostituisciTesto(testi.dopo);
        stato.ResumeTiming();
        e.undo();
        stato.PauseTiming();
        e.document()->clearUndoRedoStacks();
        stato.ResumeTiming();
    }
}

// Opening the comparison window on a run's result, up to its first paint:
// every "If" became "Se" (lines one to one), and in the middle of the text
// also one "Then" became a line break, or one line was added, or one removed
// (the lines are aligned). Arguments: megabytes, and which line change.
enum CambioRiga { Nessuno, ACapo, Aggiunta, Tolta };

void ApriConfronto(benchmark::State &stato)
{
    const QString prima = SorgenteBasic(int(stato.range(0)) << 20);
    QString dopo = QString(prima).replace(QStringLiteral("If"), QStringLiteral("Se"));
    const qsizetype riga = dopo.indexOf(QStringLiteral("\r\n"), dopo.size() / 2) + 2;
    switch (stato.range(1)) {
    case ACapo:
        dopo.replace(dopo.indexOf(QStringLiteral(" Then"), dopo.size() / 2), 5,
                     QStringLiteral("\r\nAllora"));
        break;
    case Aggiunta:
        dopo.insert(riga, QStringLiteral("    Beep\r\n"));
        break;
    case Tolta:
        dopo.remove(riga, dopo.indexOf(QStringLiteral("\r\n"), riga) + 2 - riga);
        break;
    }
    for (auto _ : stato) {
        FinestraConfronto finestra(prima, dopo);
        finestra.show();
        finestra.grab(); // one paint of the visible rows
    }
}

} // namespace

BENCHMARK(ApriConfronto)
    ->ArgNames({"MB", "riga"})
    ->ArgsProduct({{1, 20}, {Nessuno, ACapo, Aggiunta, Tolta}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(ScritturaIntera)
    ->ArgName("caso")
    ->DenseRange(AiDueCapi, OgniRiga)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(5);
BENCHMARK(ScritturaAnnullabile)
    ->ArgName("caso")
    ->DenseRange(AiDueCapi, OgniRiga)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(5);
BENCHMARK(AnnullaScrittura)
    ->ArgName("caso")
    ->DenseRange(AiDueCapi, OgniRiga)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
