// Any bytes as a document or as list records: decoding must never crash, hang
// or read outside its input, and a decoded text must encode again.

#include "app/Documento.h"
#include "app/LettoreRtf.h"
#include "lists/VociElenco.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    const QByteArray byte(reinterpret_cast<const char *>(dati), qsizetype(dimensione));

    FormatoTesto formato;
    const QString testo = Documento::Decodifica(byte, &formato);
    (void)Documento::Codifica(testo, formato);
    (void)LettoreRtf::Testo(byte);

    for (qsizetype i = 0; i < byte.size(); i += Record::Lunghezza) {
        const QByteArrayView record = QByteArrayView(byte).sliced(i).first(
            std::min<qsizetype>(Record::Lunghezza, byte.size() - i));
        (void)Record::Codifica(Record::DecodificaSostituzione(record));
        (void)Record::Codifica(Record::DecodificaEliminazione(record));
    }
    return 0;
}
