#include "LettoreRtf.h"

#include <QStringDecoder>
#include <QVector>
#include <algorithm>
#include <cstring>

namespace LettoreRtf {

namespace {

bool Lettera(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool Cifra(char c)
{
    return c >= '0' && c <= '9';
}

int Esadecimale(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Destinations whose content is not document text.
bool DestinazioneSenzaTesto(QByteArrayView parola)
{
    static const char *const nomi[] = {
        "fonttbl",
        "colortbl",
        "stylesheet",
        "info",
        "pict",
        "object",
        "objdata",
        "themedata",
        "datastore",
        "listtable",
        "listoverridetable",
        "rsidtbl",
        "generator",
        "xmlnstbl",
        "latentstyles",
        "header",
        "headerl",
        "headerr",
        "headerf",
        "footer",
        "footerl",
        "footerr",
        "footerf",
        "footnote",
        "fldinst",
        "filetbl",
        "revtbl",
        "bkmkstart",
        "bkmkend",
        "nonshppict",
        "shppict",
        "mmathPr",
        "wgrffmtfilter",
        "pgdsctbl",
        "userprops",
        "docvar",
    };
    for (const char *nome : nomi)
        if (parola == QByteArrayView(nome, qsizetype(std::strlen(nome)))) return true;
    return false;
}

// Control words that stand for one typographic character.
QChar CarattereTipografico(QByteArrayView parola)
{
    static const struct
    {
        const char *nome;
        char16_t carattere;
    } simboli[] = {{"emdash", 0x2014},   {"endash", 0x2013}, {"bullet", 0x2022},
                   {"lquote", 0x2018},   {"rquote", 0x2019}, {"ldblquote", 0x201C},
                   {"rdblquote", 0x201D}};
    for (const auto &s : simboli)
        if (parola == QByteArrayView(s.nome, qsizetype(std::strlen(s.nome))))
            return QChar(s.carattere);
    return {};
}

// Deepest group nesting with a state of its own; deeper groups are read as
// plain text of the group around them, so memory stays bounded.
constexpr qsizetype ProfonditaMassima = 4000;

struct Stato
{
    bool salta = false;   // inside a destination without text
    int unicodeSalta = 1; // \ucN: fallback characters after \uN
};

class Lettore
{
public:
    explicit Lettore(QByteArrayView rtf) : m_rtf(rtf), m_decoder("windows-1252") {}

    QString Leggi()
    {
        const qsizetype n = m_rtf.size();
        while (m_i < n) {
            const char c = m_rtf[m_i];
            if (c == '{') {
                ++m_i;
                if (m_pila.size() < ProfonditaMassima)
                    m_pila.append(m_stato);
                else
                    ++m_oltre;
            } else if (c == '}') {
                ++m_i;
                Svuota();
                if (m_oltre > 0)
                    --m_oltre;
                else if (!m_pila.isEmpty())
                    m_stato = m_pila.takeLast();
                m_daSaltare = 0;
            } else if (c == '\\') {
                Controllo();
            } else if (c == '\r' || c == '\n') {
                ++m_i;
            } else {
                ++m_i;
                if (m_daSaltare > 0) {
                    --m_daSaltare;
                } else if (!m_stato.salta) {
                    m_byte.append(c);
                }
            }
        }
        Svuota();
        return m_testo;
    }

private:
    void Svuota()
    {
        if (!m_byte.isEmpty()) {
            m_testo.append(m_decoder.decode(m_byte));
            m_byte.clear();
        }
    }

    void Emetti(const QString &testo)
    {
        if (m_stato.salta) return;
        Svuota();
        m_testo.append(testo);
    }

    void Controllo()
    {
        const qsizetype n = m_rtf.size();
        ++m_i; // the backslash
        if (m_i >= n) return;
        const char c = m_rtf[m_i];
        if (!Lettera(c)) {
            ++m_i;
            Simbolo(c);
            return;
        }
        const qsizetype inizio = m_i;
        while (m_i < n && Lettera(m_rtf[m_i]) && m_i - inizio < 32)
            ++m_i;
        const QByteArrayView parola = m_rtf.sliced(inizio, m_i - inizio);
        bool conParametro = false;
        qint64 parametro = 0;
        bool negativo = false;
        if (m_i < n && m_rtf[m_i] == '-' && m_i + 1 < n && Cifra(m_rtf[m_i + 1])) {
            negativo = true;
            ++m_i;
        }
        while (m_i < n && Cifra(m_rtf[m_i])) {
            conParametro = true;
            if (parametro < 10000000) parametro = parametro * 10 + (m_rtf[m_i] - '0');
            ++m_i;
        }
        if (negativo) parametro = -parametro;
        if (m_i < n && m_rtf[m_i] == ' ') ++m_i;
        Parola(parola, conParametro, parametro);
    }

    void Simbolo(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            if (m_daSaltare > 0)
                --m_daSaltare;
            else if (!m_stato.salta)
                m_byte.append(c);
            break;
        case '\'': {
            const qsizetype n = m_rtf.size();
            int valore = -1;
            if (m_i + 1 < n) {
                const int alto = Esadecimale(m_rtf[m_i]), basso = Esadecimale(m_rtf[m_i + 1]);
                if (alto >= 0 && basso >= 0) valore = alto * 16 + basso;
            }
            if (valore < 0) break;
            m_i += 2;
            if (m_daSaltare > 0)
                --m_daSaltare;
            else if (!m_stato.salta)
                m_byte.append(char(valore));
            break;
        }
        case '~':
            Emetti(QString(QChar(0x00A0)));
            break;
        case '_':
            Emetti(QStringLiteral("-"));
            break;
        case '*': // an optional destination we do not know
            if (m_oltre > 0) break;
            Svuota();
            m_stato.salta = true;
            break;
        case '\r':
        case '\n':
            Emetti(QStringLiteral("\r\n"));
            break;
        default:
            break; // \- \| \: and others carry no text
        }
    }

    void Parola(QByteArrayView parola, bool conParametro, qint64 parametro)
    {
        if (parola == "par" || parola == "line" || parola == "sect" || parola == "page") {
            Emetti(QStringLiteral("\r\n"));
        } else if (parola == "tab") {
            Emetti(QStringLiteral("\t"));
        } else if (parola == "u" && conParametro) {
            const int codice = int(parametro < 0 ? parametro + 65536 : parametro) & 0xFFFF;
            Emetti(QString(QChar(char16_t(codice))));
            m_daSaltare = m_stato.unicodeSalta;
        } else if (parola == "uc" && conParametro) {
            // Too deep for a state of its own: what would change it is ignored.
            if (m_oltre > 0) return;
            m_stato.unicodeSalta = int(std::clamp<qint64>(parametro, 0, 16));
        } else if (parola == "ansicpg" && conParametro) {
            Svuota();
            QStringDecoder altro(QByteArray("windows-") + QByteArray::number(parametro));
            if (altro.isValid()) m_decoder = std::move(altro);
        } else if (parola == "bin" && conParametro) {
            m_i = std::min<qint64>(m_rtf.size(), m_i + std::max<qint64>(parametro, 0));
        } else if (const QChar segno = CarattereTipografico(parola); !segno.isNull()) {
            Emetti(QString(segno));
        } else if (m_oltre == 0 && DestinazioneSenzaTesto(parola)) {
            Svuota();
            m_stato.salta = true;
        }
    }

    QByteArrayView m_rtf;
    qsizetype m_i = 0;
    QStringDecoder m_decoder;
    QByteArray m_byte; // bytes waiting to be decoded together
    QString m_testo;
    Stato m_stato;
    QVector<Stato> m_pila;
    qsizetype m_oltre = 0; // open groups past ProfonditaMassima
    int m_daSaltare = 0;
};

} // namespace

bool Riconosce(QByteArrayView byte)
{
    return byte.startsWith("{\\rtf");
}

QString Testo(QByteArrayView rtf)
{
    return Lettore(rtf).Leggi();
}

} // namespace LettoreRtf
