// Fuzzer-chosen texts, words and options: the find routine and the replacing
// scan agree with their literal reference models, call after call.

#include "aiuti/ModelliRiferimento.h"
#include "nucleo/ricerca/Ricerca.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Letters in both cases (accented and not), delimiters and a letter whose
// upper case is itself.
const QString Alfabeto = QStringLiteral("aAbBàÀéÉß .,(\r\n!x");

QString Testo(FuzzedDataProvider &dati, size_t massimo)
{
    QString testo;
    for (size_t n = dati.ConsumeIntegralInRange<size_t>(0, massimo); n > 0; --n)
        testo += Alfabeto[dati.ConsumeIntegralInRange<qsizetype>(0, Alfabeto.size() - 1)];
    return testo;
}

[[noreturn]] void Diverso(const char *cosa, const QString &testo, const QString &parola)
{
    std::fprintf(stderr, "%s\ntext: [%s]\nword: [%s]\n", cosa, qPrintable(testo),
                 qPrintable(parola));
    std::abort();
}

struct Chiamata
{
    bool trovato;
    qint32 posizione;
    qsizetype selStart, selLength;
    QList<Ricerca::Domanda> domande;
    bool operator==(const Chiamata &o) const
    {
        return trovato == o.trovato && posizione == o.posizione && selStart == o.selStart &&
               selLength == o.selLength && domande == o.domande;
    }
};

void ConfrontaRicerca(FuzzedDataProvider &dati)
{
    Modello::Editor motore, modello;
    motore.testo = modello.testo = Testo(dati, 40);
    const QString parola = Testo(dati, 4);
    qint32 posMotore = dati.ConsumeIntegralInRange<qint32>(-3, 45), posModello = posMotore;
    for (int chiamata = dati.ConsumeIntegralInRange(1, 5); chiamata > 0; --chiamata) {
        const auto maiuscole = dati.ConsumeIntegralInRange<qint16>(0, 2);
        const auto intere = dati.ConsumeIntegralInRange<qint16>(0, 2);
        const auto direzione = dati.ConsumeIntegralInRange<qint16>(0, 5);
        const QString modo = dati.ConsumeBool() ? QStringLiteral("S") : QString();
        const bool risposte[2] = {dati.ConsumeBool(), dati.ConsumeBool()};
        if (dati.ConsumeBool()) { // the user moves the selection
            const auto n = motore.testo.size();
            motore.selStart = modello.selStart = dati.ConsumeIntegralInRange<qsizetype>(0, n);
            motore.selLength = modello.selLength =
                dati.ConsumeIntegralInRange<qsizetype>(0, n - motore.selStart);
        }
        // At most two Yes answers, then No: every call ends.
        const auto esegui = [&](auto &&cerca, Modello::Editor &ed, qint32 &pos) {
            Chiamata c{};
            const auto chiedi = [&](Ricerca::Domanda d) {
                c.domande.append(d);
                return c.domande.size() <= 2 && risposte[c.domande.size() - 1];
            };
            c.trovato = cerca(ed, pos, parola, modo, maiuscole, intere, direzione, chiedi);
            c.posizione = pos;
            c.selStart = ed.selStart;
            c.selLength = ed.selLength;
            return c;
        };
        const Chiamata a =
            esegui([](auto &...argomenti) { return Modello::CercaConDomande(argomenti...); },
                   motore, posMotore);
        const Chiamata b =
            esegui([](auto &...argomenti) { return Modello::CercaParola(argomenti...); }, modello,
                   posModello);
        if (!(a == b)) Diverso("CercaParola differs from its model", motore.testo, parola);
    }
}

void ConfrontaSostituzione(FuzzedDataProvider &dati)
{
    const QString testo = Testo(dati, 60);
    QString parola = Testo(dati, 4);
    if (parola.isEmpty()) parola = QStringLiteral("a");
    const QString sostituto = Testo(dati, 6);
    const auto maiuscole = dati.ConsumeIntegralInRange<qint16>(0, 2);
    const auto intere = dati.ConsumeIntegralInRange<qint16>(0, 3);
    const qsizetype fermaA =
        dati.ConsumeBool() ? dati.ConsumeIntegralInRange<qsizetype>(1, 60) : -1;
    const int inizio = dati.ConsumeIntegralInRange(1, int(testo.size()) + 1);

    const Modello::EsitoSostituzione atteso =
        Modello::Sostituisci(testo, parola, sostituto, maiuscole, intere, fermaA, inizio);
    qsizetype chiamate = 0;
    // Flag values other than 0 and 1 make a comparison that replaces nothing.
    auto confronto = Ricerca::Confronto::PerSostituzione(maiuscole == 1, intere == 1);
    confronto.valido = maiuscole <= 1 && intere <= 1;
    const Ricerca::EsitoSostituzione ottenuto = Ricerca::SostituisciOccorrenze(
        testo, parola, sostituto, confronto,
        [&](qsizetype, qsizetype) { return ++chiamate != fermaA; }, 1, inizio - 1);
    if (ottenuto.testo != atteso.testo || ottenuto.sostituzioni != atteso.sostituzioni ||
        ottenuto.interrotto != atteso.interrotto)
        Diverso("SostituisciOccorrenze differs from its model", testo, parola);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *byte, size_t dimensione)
{
    FuzzedDataProvider dati(byte, dimensione);
    if (dati.ConsumeBool())
        ConfrontaRicerca(dati);
    else
        ConfrontaSostituzione(dati);
    return 0;
}
