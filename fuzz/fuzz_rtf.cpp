// Any bytes after an RTF header: the reader ends, in time and memory that
// grow with the input alone (libFuzzer's -timeout and -rss_limit_mb watch
// both), and never produces more characters than it was given bytes.
// The same bytes read as a plain text and written as a document (characters
// escaped, line breaks as \par or \line, in groups of their own with
// formatting words, after a font table): the reader gives back exactly that
// text.

#include "nucleo/testo/LettoreRtf.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// `testo` in RTF: every character that is not printable ASCII as \'hh when it
// is the same in Windows-1252 and Latin-1, otherwise as \uN with a fallback
// character to skip. `gruppo` characters (none when zero) to a group, each
// opening with a formatting word.
QByteArray Documento(const QString &testo, int gruppo, bool aCapoLine)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                     "{\\*\\generator x;}\\pard ";
    for (qsizetype i = 0; i < testo.size(); ++i) {
        if (gruppo > 0 && i % gruppo == 0) rtf += i > 0 ? "}{\\b " : "{\\b ";
        const char16_t c = testo[i].unicode();
        if (c == '\r' && i + 1 < testo.size() && testo[i + 1] == QLatin1Char('\n')) {
            rtf += aCapoLine ? "\\line " : "\\par ";
            ++i;
        } else if (c == '\\' || c == '{' || c == '}') {
            rtf += '\\';
            rtf += char(c);
        } else if (c == '\t') {
            rtf += "\\tab ";
        } else if (c >= 0x20 && c < 0x7F) {
            rtf += char(c);
        } else if (c >= 0xA0 && c <= 0xFF) {
            rtf += "\\'" + QByteArray::number(int(c), 16).rightJustified(2, '0');
        } else {
            rtf += "\\u" + QByteArray::number(c > 32767 ? int(c) - 65536 : int(c)) + "?";
        }
    }
    if (gruppo > 0 && !testo.isEmpty()) rtf += '}';
    return rtf + "\\par}";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    const QByteArray byte(reinterpret_cast<const char *>(dati), qsizetype(dimensione));
    const QByteArray rtf = "{\\rtf1" + byte;
    const QString testo = LettoreRtf::Testo(rtf);
    if (testo.size() > rtf.size()) {
        std::fprintf(stderr, "%lld characters from %lld bytes\n", qint64(testo.size()),
                     qint64(rtf.size()));
        std::abort();
    }

    if (byte.isEmpty()) return 0;
    // A text whose line breaks are all CR LF, the only ones a document gives.
    QString semplice = QString::fromUtf8(byte.sliced(1));
    semplice.remove(QLatin1Char('\r'));
    semplice.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QByteArray documento = Documento(semplice, byte[0] & 7, byte[0] & 8);
    const QString letto = LettoreRtf::Testo(documento);
    if (!LettoreRtf::Riconosce(documento) || letto != semplice + QStringLiteral("\r\n")) {
        std::fprintf(stderr,
                     "The document does not give its text back\ndocument: %s\n"
                     "text: %s\nread: %s\n",
                     documento.constData(), semplice.toUtf8().toPercentEncoding().constData(),
                     letto.toUtf8().toPercentEncoding().constData());
        std::abort();
    }
    return 0;
}
