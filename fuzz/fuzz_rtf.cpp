// Any bytes after an RTF header: the reader ends, in time and memory that
// grow with the input alone (libFuzzer's -timeout and -rss_limit_mb watch
// both), and never produces more characters than it was given bytes.

#include "app/LettoreRtf.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    const QByteArray rtf =
        "{\\rtf1" + QByteArray(reinterpret_cast<const char *>(dati), qsizetype(dimensione));
    const QString testo = LettoreRtf::Testo(rtf);
    if (testo.size() > rtf.size()) {
        std::fprintf(stderr, "%lld characters from %lld bytes\n", qint64(testo.size()),
                     qint64(rtf.size()));
        std::abort();
    }
    return 0;
}
