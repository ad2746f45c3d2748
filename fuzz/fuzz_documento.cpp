// Any bytes as a document: decoding never crashes, and a text that is not
// RTF, saved unchanged, gives back every byte it was read from, followed by
// the one CR LF every save adds.

#include "nucleo/testo/Documento.h"
#include "nucleo/testo/LettoreRtf.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QByteArray AcapoFinale(FormatoTesto::Codifica codifica)
{
    switch (codifica) {
    case FormatoTesto::Codifica::Utf16Le:
        return QByteArray("\r\0\n\0", 4);
    case FormatoTesto::Codifica::Utf16Be:
        return QByteArray("\0\r\0\n", 4);
    default:
        return QByteArray("\r\n");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    const QByteArray byte(reinterpret_cast<const char *>(dati), qsizetype(dimensione));

    FormatoTesto formato;
    const QString testo = Documento::Decodifica(byte, &formato);
    const FormatoTesto letto = formato;
    const QByteArray salvato = Documento::Codifica(testo, formato);
    if (LettoreRtf::Riconosce(byte)) return 0; // only its plain text is kept

    if (!(formato == letto) || salvato != byte + AcapoFinale(letto.codifica)) {
        std::fprintf(stderr, "Read and saved unchanged, the bytes differ (format %d, BOM %d)\n",
                     int(letto.codifica), int(letto.bom));
        std::abort();
    }
    return 0;
}
