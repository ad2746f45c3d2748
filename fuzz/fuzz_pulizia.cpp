// Fuzzer-chosen texts, elimination lists and ways of reading code: the
// cleaning run deletes the same words as its literal reference model, and
// counts the same deletions.

#include "aiuti/ModelliRiferimento.h"
#include "nucleo/pseudocodifica/Pulizia.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Comment and string openers of every language, delimiters of both sets,
// BASIC suffixes and the header line, letters whose case folding differs.
const QStringList Pezzi = {
    "a",  "If", "if", "Rem", "rem", "echo", "else", "x", " ",  "\t", "\r\n", "\n",
    "\r", "=",  "+",  "-",   "*",   "/",    "\\",   "^", "&",  "|",  "~",    "{",
    "}",  "[",  "]",  "\"",  "'",   "(",    ")",    ":", "::", "#",  "//",   "/*",
    "*/", "_",  "$",  "@",   " _",  "è",    "È",    "ß", ";",  "1",  "ﬀ",    "Attribute VB_Name"};

// The texts a row's whole-word column may hold: only an exact "Sì" means whole.
const QStringList Intere = {
    TestoSi, TestoNo, QString(), QStringLiteral("sì"), QStringLiteral("SÌ"), QStringLiteral("Si")};

QString Testo(FuzzedDataProvider &dati, size_t massimo)
{
    QString testo;
    for (size_t n = dati.ConsumeIntegralInRange<size_t>(0, massimo); n > 0; --n)
        testo += Pezzi[dati.ConsumeIntegralInRange<qsizetype>(0, Pezzi.size() - 1)];
    return testo;
}

RegoleCodice Regole(FuzzedDataProvider &dati)
{
    const TipoTesto tipi[] = {{Linguaggio::Basic, false},
                              {Linguaggio::Basic, true},
                              {Linguaggio::C, false},
                              {Linguaggio::Cpp, false},
                              {Linguaggio::Batch, false},
                              {}};
    RegoleCodice regole;
    regole.tipo = tipi[dati.ConsumeIntegralInRange(0, 5)];
    regole.proteggi = dati.ConsumeBool();
    regole.separatoriCodice = dati.ConsumeBool();
    return regole;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *byte, size_t dimensione)
{
    FuzzedDataProvider dati(byte, dimensione);
    const RegoleCodice regole = Regole(dati);
    QVector<VoceEliminazione> elenco;
    for (int n = dati.ConsumeIntegralInRange(0, 5); n > 0; --n) {
        const QString parola = Testo(dati, 3);
        elenco.append(
            {parola, Intere[dati.ConsumeIntegralInRange<qsizetype>(0, Intere.size() - 1)]});
    }
    const QString testo = Testo(dati, 120);

    int attese = 0;
    const QString atteso = Modello::PuliziaCodice(
        testo, elenco, {regole.Protegge(), regole.separatoriCodice, regole.tipo}, &attese);
    const Pulizia::Esito esito = Pulizia::Applica(testo, elenco, regole);
    if (esito.testo != atteso || esito.eliminate != attese) {
        std::fprintf(stderr,
                     "The cleaning run differs from its model (%lld deleted, %d expected)\n"
                     "text:     [%s]\nresult:   [%s]\nexpected: [%s]\n",
                     qint64(esito.eliminate), attese, qPrintable(testo), qPrintable(esito.testo),
                     qPrintable(atteso));
        for (const VoceEliminazione &voce : elenco)
            std::fprintf(stderr, "entry: [%s] [%s]\n", qPrintable(voce.Elimina),
                         qPrintable(voce.ParolaIntera));
        std::abort();
    }
    return 0;
}
