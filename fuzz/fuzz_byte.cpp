// A fuzzer-chosen list and Windows-1252 text: the batch run worked on the
// text's bytes, whole or in fuzzer-chosen pieces, writes the very bytes the
// run on the decoded text writes, and counts the same replacements; or it
// steps aside and writes nothing.

#include "nucleo/testo/CodificaAnsi.h"
#include "nucleo/testo/Documento.h"
#include "nucleo/pseudocodifica/Lotto.h"
#include "nucleo/pseudocodifica/MotoreAnsi.h"
#include "nucleo/pseudocodifica/MotoreElenco.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace {

// Words whose cases differ in the code page (à/À, ÿ/Ÿ, š/Š), whose upper case
// is outside it (µ) or the same (ß), longer than eight bytes, prefixes of one
// another; and texts the byte engine must leave to the text path (a
// delimiter or a line break inside, a character the code page lacks).
const QStringList Vocabolario{"If",   "Do",   "to",        "Then",   "più",         "ÿes", "µm",
                              "ß",    "šala", "ListCount", "a",      "abcdefghijk", "ab",  "Ab_1",
                              "x&",   "€uro", "n0t",       "Wend",   "ABCDEFGH",    "a b", "→",
                              "\r\n", ".",    "Se ",       "Fine.Se"};

// A word of the vocabulary with each letter's case chosen, or a few bytes of
// the input read as Windows-1252.
QString Parola(FuzzedDataProvider &dati)
{
    if (dati.ConsumeBool())
        return CodificaAnsi::Decodifica(
            QByteArray::fromStdString(dati.ConsumeRandomLengthString(8)));
    const QString parola =
        Vocabolario[dati.ConsumeIntegralInRange<qsizetype>(0, Vocabolario.size() - 1)];
    QString s;
    for (QChar c : parola)
        s.append(dati.ConsumeBool() ? c.toUpper() : c.toLower());
    return s;
}

[[noreturn]] void Diverso(const char *cosa, const QByteArray &byte,
                          const QVector<VoceSostituzione> &voci, const QByteArray &atteso,
                          const QByteArray &ottenuto)
{
    std::fprintf(stderr, "%s\ntext:     %s\nexpected: %s\nobtained: %s\n", cosa,
                 byte.toHex(' ').constData(), atteso.toHex(' ').constData(),
                 ottenuto.toHex(' ').constData());
    for (const VoceSostituzione &v : voci)
        std::fprintf(stderr, "entry: [%s] -> [%s]\n", qPrintable(v.Trova),
                     qPrintable(v.Sostituisci));
    std::abort();
}

// The engines of a list. Building the byte engine's tables costs far more
// than a short run, and most inputs keep the list of an input before them
// (only the text changes), so the engines of recent lists are kept.
struct Motori
{
    explicit Motori(const QVector<VoceSostituzione> &voci) : elenco(voci), ansi(elenco) {}
    const MotoreElenco elenco;
    const MotoreAnsi ansi;
};

const Motori &MotoriPer(const QVector<VoceSostituzione> &voci)
{
    static std::map<QStringList, std::unique_ptr<Motori>> recenti;
    QStringList chiave;
    for (const VoceSostituzione &v : voci)
        chiave << v.Trova << v.Sostituisci;
    auto trovato = recenti.find(chiave);
    if (trovato == recenti.end()) {
        if (recenti.size() >= 256) recenti.clear();
        trovato = recenti.emplace(chiave, std::make_unique<Motori>(voci)).first;
    }
    return *trovato->second;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati_, size_t dimensione)
{
    FuzzedDataProvider dati(dati_, dimensione);
    QVector<VoceSostituzione> voci;
    for (int n = dati.ConsumeIntegralInRange(0, 6); n > 0; --n) {
        const QString parola = Parola(dati);
        QString sostituto;
        for (int k = dati.ConsumeIntegralInRange(0, 2); k > 0; --k)
            sostituto += Parola(dati);
        voci.append({parola, sostituto});
    }
    // The sizes of the pieces the streamed run is given, in turn.
    std::vector<qsizetype> pezzi;
    for (int n = dati.ConsumeIntegralInRange(0, 8); n > 0; --n)
        pezzi.push_back(dati.ConsumeIntegralInRange<qsizetype>(1, 300));
    // The text: the list's words with each letter's case chosen, delimiters
    // and line breaks of every kind, and any bytes at all.
    QByteArray byte;
    for (int n = dati.ConsumeIntegralInRange(0, 64); n > 0; --n) {
        switch (dati.ConsumeIntegralInRange(0, 3)) {
        case 0:
            if (!voci.isEmpty()) {
                QString parola;
                for (QChar c :
                     voci[dati.ConsumeIntegralInRange<qsizetype>(0, voci.size() - 1)].Trova)
                    parola.append(dati.ConsumeBool() ? c.toUpper() : c.toLower());
                byte += CodificaAnsi::Codifica(parola);
            }
            break;
        case 1:
            byte += " ().,;:!?<>\r\n"[dati.ConsumeIntegralInRange(0, 12)];
            break;
        default:
            byte += QByteArray::fromStdString(dati.ConsumeRandomLengthString(8));
            break;
        }
    }
    byte += QByteArray::fromStdString(dati.ConsumeRemainingBytesAsString());

    const Motori &motori = MotoriPer(voci);
    const MotoreElenco &motore = motori.elenco;
    const MotoreAnsi &ansi = motori.ansi;
    qsizetype attese = 0;
    FormatoTesto formato; // Windows-1252
    const QByteArray atteso = Documento::Codifica(
        Lotto::Pseudocodifica(CodificaAnsi::Decodifica(byte), motore, nullptr, &attese), formato);

    QByteArray ottenuto;
    UscitaByte uscita([&](QByteArrayView pezzo) {
        ottenuto.append(pezzo);
        return true;
    });
    qsizetype fatte = -1;
    const bool preso =
        Lotto::PseudocodificaAnsi(byte, ansi, nullptr, RegoleCodice(), uscita, &fatte);
    if (!uscita.Fine())
        Diverso("The output refused nothing, yet failed", byte, voci, atteso, ottenuto);
    if (!preso) {
        if (!ottenuto.isEmpty())
            Diverso("Stepped aside after writing", byte, voci, atteso, ottenuto);
        return 0;
    }
    if (formato.codifica != FormatoTesto::Codifica::Ansi)
        Diverso("The byte path took a result the text path writes in UTF-8", byte, voci, atteso,
                ottenuto);
    if (ottenuto != atteso || fatte != attese)
        Diverso("The byte path differs from the text path", byte, voci, atteso, ottenuto);

    QByteArray aPezzi;
    UscitaByte uscitaPezzi([&](QByteArrayView pezzo) {
        aPezzi.append(pezzo);
        return true;
    });
    MotoreAnsi::APezzi flusso(ansi, uscitaPezzi);
    size_t k = 0;
    for (qsizetype i = 0; i < byte.size(); ++k) {
        const qsizetype quanti =
            std::min(byte.size() - i, pezzi.empty() ? byte.size() : pezzi[k % pezzi.size()]);
        std::memcpy(flusso.Spazio(quanti), byte.constData() + i, std::size_t(quanti));
        flusso.Scritti(quanti);
        i += quanti;
    }
    const qsizetype fattePezzi = flusso.Fine();
    uscitaPezzi.Aggiungi("\r\n", 2);
    uscitaPezzi.Fine();
    if (aPezzi != atteso || fattePezzi != attese)
        Diverso("The streamed byte path differs from the text path", byte, voci, atteso, aPezzi);
    return 0;
}
