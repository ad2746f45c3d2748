#include "RegoleCodice.h"

#include <QSet>

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

// Letters, digits and spaces only, with no word that the scanner reads as a
// comment opener or as the header's end.
bool Inerte(const QString &testo, bool spazi)
{
    for (QChar c : testo)
        if (!(c.isLetterOrNumber() || (spazi && c == u' '))) return false;
    for (QStringView parola : QStringView(testo).split(u' ', Qt::SkipEmptyParts))
        for (const char16_t *chiave : {u"rem", u"echo", u"title", u"attribute"})
            if (parola.compare(QStringView(chiave), Qt::CaseInsensitive) == 0) return false;
    return true;
}

} // namespace

bool RegoleCodice::SostituzioneNeutra(const QString &parola, const QString &sostituto) const
{
    if (parola.isEmpty() || sostituto.trimmed().isEmpty()) return false;
    if (parola.front() == u' ' || parola.back() == u' ') return false;
    // In C the name after "#" ends where the directive's protected text
    // begins: a word or a replacement of more than one name could straddle it.
    const bool spazi = !FamigliaC(tipo.linguaggio);
    // A directive word decides what its line keeps: "if" and "se" do not
    // keep the same.
    if (!spazi && LeggiDirettiva(parola) != LeggiDirettiva(sostituto)) return false;
    return Inerte(parola, spazi) && Inerte(sostituto, spazi);
}

namespace {

// The stretches moved by `n` replacements in text order: replacement k starts
// at inizio(k) and changes the length of the text by differenza(k).
template <typename Inizio, typename Differenza>
ZoneProtette Sposta(const ZoneProtette &zone, qsizetype n, Inizio inizio, Differenza differenza)
{
    QVector<Zona> spostate = zone.Elenco();
    qsizetype k = 0, spostamento = 0;
    for (Zona &z : spostate) {
        for (; k < n && inizio(k) < z.inizio; ++k)
            spostamento += differenza(k);
        z.inizio += spostamento;
        z.fine += spostamento;
    }
    return ZoneProtette(std::move(spostate));
}

} // namespace

ZoneProtette RegoleCodice::SpostaZone(const ZoneProtette &zone, const QVector<qsizetype> &inizi,
                                      qsizetype lunghezza, qsizetype nuova)
{
    return Sposta(
        zone, inizi.size(), [&](qsizetype k) { return inizi[k]; },
        [&](qsizetype) { return nuova - lunghezza; });
}

ZoneProtette RegoleCodice::ZoneDopo(const ZoneProtette &zone, QStringView testo,
                                    const QString &parola, const QString &sostituto,
                                    const QVector<qsizetype> &inizi) const
{
    if (!Protegge()) return {};
    if (NomiIntatti()) {
        // The names are moved, never found again: what made a word a name
        // (a "set", a "goto") may be what was just replaced.
        const QVector<Zona> commenti =
            SostituzioneNeutra(parola, sostituto)
                ? SpostaZone(ZoneProtette(zone.Commenti()), inizi, parola.size(), sostituto.size())
                      .Elenco()
                : ScansionaCodice(testo, tipo).Elenco();
        return ZoneProtette(commenti,
                            SpostaNomi(zone.Nomi(), inizi, parola.size(), sostituto.size()));
    }
    return SostituzioneNeutra(parola, sostituto)
               ? SpostaZone(zone, inizi, parola.size(), sostituto.size())
               : Zone(testo);
}

ZoneProtette RegoleCodice::SpostaZone(const ZoneProtette &zone,
                                      const QVector<Spostamento> &spostamenti)
{
    return Sposta(
        zone, spostamenti.size(), [&](qsizetype k) { return spostamenti[k].inizio; },
        [&](qsizetype k) { return spostamenti[k].nuova - spostamenti[k].lunghezza; });
}

QVector<Zona> RegoleCodice::SpostaNomi(const QVector<Zona> &zone,
                                       const QVector<Spostamento> &spostamenti)
{
    QVector<Zona> spostate;
    qsizetype k = 0, spostamento = 0;
    const qsizetype n = spostamenti.size();
    for (const Zona &z : zone) {
        qsizetype a = z.inizio;
        while (a < z.fine) {
            for (; k < n && spostamenti[k].inizio + spostamenti[k].lunghezza <= a; ++k)
                spostamento += spostamenti[k].nuova - spostamenti[k].lunghezza;
            if (k < n && spostamenti[k].inizio <= a) { // a replaced character
                a = spostamenti[k].inizio + spostamenti[k].lunghezza;
                continue;
            }
            const qsizetype b =
                (k < n && spostamenti[k].inizio < z.fine) ? spostamenti[k].inizio : z.fine;
            const Zona pezzo{a + spostamento, b + spostamento};
            if (!spostate.isEmpty() && spostate.back().fine >= pezzo.inizio)
                spostate.back().fine = pezzo.fine;
            else
                spostate.append(pezzo);
            a = b;
        }
    }
    return spostate;
}

QVector<Zona> RegoleCodice::SpostaNomi(const QVector<Zona> &zone, const QVector<qsizetype> &inizi,
                                       qsizetype lunghezza, qsizetype nuova)
{
    QVector<Spostamento> spostamenti;
    spostamenti.reserve(inizi.size());
    for (const qsizetype inizio : inizi) spostamenti.append({inizio, lunghezza, nuova});
    return SpostaNomi(zone, spostamenti);
}

namespace {

bool Nome(QChar c)
{
    return Delimitatori::CarattereNome(c);
}

bool Spazio(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool FineRiga(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Marks characters of a text as names, then gives them as stretches.
class Segni
{
public:
    explicit Segni(qsizetype n) : m_segni(std::size_t(n), false) {}
    void Segna(qsizetype da, qsizetype a)
    {
        for (qsizetype i = da; i < a; ++i)
            m_segni[std::size_t(i)] = true;
    }
    QVector<Zona> Zone() const
    {
        QVector<Zona> zone;
        const qsizetype n = qsizetype(m_segni.size());
        for (qsizetype i = 0; i < n;) {
            if (!m_segni[std::size_t(i)]) {
                ++i;
                continue;
            }
            const qsizetype inizio = i;
            while (i < n && m_segni[std::size_t(i)])
                ++i;
            zone.append({inizio, i});
        }
        return zone;
    }

private:
    std::vector<bool> m_segni;
};

// The end of the run of name characters from `i`.
qsizetype FineNome(QStringView t, qsizetype i)
{
    while (i < t.size() && Nome(t[i]))
        ++i;
    return i;
}

qsizetype SaltaSpazi(QStringView t, qsizetype i)
{
    while (i < t.size() && Spazio(t[i]))
        ++i;
    return i;
}

// Whether the word at `i` is `parola` (case aside), ending there.
bool Parola(QStringView t, qsizetype i, QStringView parola)
{
    if (i > 0 && Nome(t[i - 1])) return false;
    const qsizetype fine = i + parola.size();
    if (fine > t.size() || (fine < t.size() && Nome(t[fine]))) return false;
    return t.sliced(i, parola.size()).compare(parola, Qt::CaseInsensitive) == 0;
}

void Membri(QStringView t, Linguaggio linguaggio, Segni &segni)
{
    for (qsizetype i = 0; i + 1 < t.size(); ++i) {
        qsizetype inizio = -1;
        if (t[i] == u'.' && Nome(t[i + 1]))
            inizio = i + 1;
        else if (FamigliaC(linguaggio) && t[i] == u'-' && t[i + 1] == u'>' && i + 2 < t.size() &&
                 Nome(t[i + 2]))
            inizio = i + 2;
        if (inizio < 0) continue;
        i = FineNome(t, inizio);
        segni.Segna(inizio, i);
        --i;
    }
}

void RigheAttribute(QStringView t, Segni &segni)
{
    for (qsizetype riga = 0; riga < t.size();) {
        qsizetype fine = riga;
        while (fine < t.size() && !FineRiga(t[fine]))
            ++fine;
        const qsizetype i = SaltaSpazi(t, riga);
        if (Parola(t, i, u"attribute")) segni.Segna(i, fine);
        riga = fine + 1;
    }
}

bool Dispositivo(QStringView parola)
{
    for (const char16_t *nome : {u"nul", u"con", u"prn", u"aux"})
        if (parola.compare(QStringView(nome), Qt::CaseInsensitive) == 0) return true;
    return parola.size() == 4 && parola[3] >= u'1' && parola[3] <= u'9' &&
           (parola.first(3).compare(u"com", Qt::CaseInsensitive) == 0 ||
            parola.first(3).compare(u"lpt", Qt::CaseInsensitive) == 0);
}

// The end of the protected stretch of `zone` that holds index `i`, or `i`.
qsizetype FineZona(const QVector<Zona> &zone, qsizetype i)
{
    const auto z = std::upper_bound(zone.cbegin(), zone.cend(), i,
                                    [](qsizetype k, const Zona &zona) { return k < zona.fine; });
    return z != zone.cend() && z->inizio <= i ? z->fine : i;
}

void NomiBatch(QStringView t, Segni &segni)
{
    // The scanner tells where a set value ends (quotes, escapes, blocks).
    const QVector<Zona> testi = ScansionaCodice(t, {Linguaggio::Batch, false}).Elenco();
    const qsizetype n = t.size();
    // A PowerShell hybrid opens with "<#": its batch half ends at the first
    // unindented line that leaves the script ("goto :eof", "exit"); what
    // follows, up to "#>", is a PowerShell comment cmd never reads.
    const bool powershell = t.sliced(SaltaSpazi(t, 0)).startsWith(u"<#");
    // A JScript hybrid may open a comment on its first line ("0</* :",
    // "@set @x=0 /*"): the batch half ends where it closes, whatever stands
    // before the "*/" on that line ("exit /b */0;").
    {
        qsizetype primaFine = 0;
        while (primaFine < n && !FineRiga(t[primaFine]))
            ++primaFine;
        if (t.first(primaFine).contains(u"/*")) {
            const qsizetype chiusura = t.indexOf(u"*/", primaFine);
            if (chiusura >= 0) segni.Segna(chiusura, n);
        }
    }
    qsizetype inizioRiga = 0;
    for (qsizetype i = 0; i < n;) {
        const QChar c = t[i];
        if (FineRiga(c)) {
            inizioRiga = ++i;
            continue;
        }
        if (i == inizioRiga) {
            const qsizetype primo = SaltaSpazi(t, i);
            const QStringView resto = t.sliced(primo);
            if (powershell && i > 0 && primo == i) { // not inside an indented block
                const qsizetype comando = primo + (resto.startsWith(u"@") ? 1 : 0);
                const qsizetype dopo = SaltaSpazi(t, comando + 4);
                const bool esce = (Parola(t, comando, u"goto") && dopo < n &&
                                   (Parola(t, dopo, u"eof") ||
                                    (t[dopo] == u':' && Parola(t, dopo + 1, u"eof")))) ||
                                  Parola(t, comando, u"exit");
                if (esce) {
                    qsizetype fine = primo;
                    while (fine < n && !FineRiga(t[fine]))
                        ++fine;
                    if (fine < n) segni.Segna(fine, n);
                    return;
                }
            }
            bool script = resto.startsWith(u"*/") || resto.startsWith(u"-->") ||
                          resto.startsWith(u"#>") ||
                          (resto.startsWith(u"@") && Parola(t, primo + 1, u"end"));
            for (const char16_t *marca : {u"<job", u"<script"})
                script = script || resto.startsWith(QStringView(marca), Qt::CaseInsensitive);
            if (script) {
                segni.Segna(primo, n);
                return;
            }
            if (primo + 1 < n && t[primo] == u':' && t[primo + 1] != u':') {
                // cmd never runs a label line: what follows the label is a note.
                qsizetype fine = primo + 1;
                while (fine < n && !FineRiga(t[fine]))
                    ++fine;
                segni.Segna(primo + 1, fine);
                i = fine;
                continue;
            }
        }
        if (Nome(c) && (i == 0 || !Nome(t[i - 1]))) {
            const qsizetype fine = FineNome(t, i);
            const QStringView parola = t.sliced(i, fine - i);
            // A file name with its extension (cscript.exe, setup.bat); "echo."
            // and "echo.text" are the echo command.
            const bool file = fine + 1 < n && t[fine] == u'.' && Nome(t[fine + 1]) &&
                              parola.compare(u"echo", Qt::CaseInsensitive) != 0;
            if (Dispositivo(parola) || file) {
                segni.Segna(i, fine);
            } else if (parola.compare(u"goto", Qt::CaseInsensitive) == 0 ||
                       parola.compare(u"call", Qt::CaseInsensitive) == 0) {
                qsizetype j = SaltaSpazi(t, fine);
                const bool duepunti = j < n && t[j] == u':';
                // "call name" runs a program; only "call :name" (or "::name")
                // names a label.
                if (duepunti || parola.compare(u"goto", Qt::CaseInsensitive) == 0) {
                    while (j < n && t[j] == u':')
                        ++j;
                    segni.Segna(j, FineNome(t, j));
                }
            } else if (parola.compare(u"set", Qt::CaseInsensitive) == 0) {
                qsizetype j = SaltaSpazi(t, fine);
                bool espressione = false;
                while (j + 1 < n && t[j] == u'/') {
                    espressione = espressione || t[j + 1] == u'a' || t[j + 1] == u'A';
                    j = SaltaSpazi(t, FineNome(t, j + 1));
                }
                qsizetype k = j;
                while (k < n && !FineRiga(t[k]) && t[k] != u'=' &&
                       !(espressione && (t[k] == u'&' || t[k] == u'|')))
                    ++k;
                if (espressione) {
                    while (k < n && !FineRiga(t[k]) && t[k] != u'&' && t[k] != u'|')
                        ++k;
                    segni.Segna(j, k);
                } else if (k < n && t[k] == u'=') {
                    if (j < n && t[j] == u'"') ++j;
                    segni.Segna(j, k);
                    // The value is data: kept with the name, even once the
                    // words before it were replaced.
                    segni.Segna(k + 1, FineZona(testi, k + 1));
                }
            }
            i = fine;
            continue;
        }
        if (c == u'%' && i + 1 < n) {
            if (t[i + 1] == u'%') { // a loop variable, with its ~ modifiers
                const qsizetype inizio = i + 2 < n && t[i + 2] == u'~' ? i + 3 : i + 2;
                i = FineNome(t, inizio);
                segni.Segna(inizio, i);
                continue;
            }
            if (t[i + 1].isDigit() || t[i + 1] == u'~' || t[i + 1] == u'*') {
                i += 2;
                continue;
            }
        }
        if (c == u'%' || (c == u'!' && i + 1 < n && Nome(t[i + 1]))) {
            qsizetype k = i + 1;
            while (k < n && !FineRiga(t[k]) && t[k] != c && (c == u'%' || !Spazio(t[k])))
                ++k;
            if (k < n && t[k] == c) {
                segni.Segna(i + 1, k);
                i = k + 1;
                continue;
            }
        }
        // A switch: "/name", or "-name" or "--name" after a blank (ping -n,
        // powershell -command, --type).
        const qsizetype trattini =
            c == u'-' && i > 0 && Spazio(t[i - 1]) ? (i + 1 < n && t[i + 1] == u'-' ? 2 : 1) : 0;
        if ((c == u'/' || trattini > 0) && i + qMax<qsizetype>(trattini, 1) < n &&
            Nome(t[i + qMax<qsizetype>(trattini, 1)])) {
            const qsizetype inizio = i + qMax<qsizetype>(trattini, 1);
            qsizetype k = inizio;
            while (k < n && (Nome(t[k]) || t[k] == u':' || t[k] == u'-' || t[k] == u'.'))
                ++k;
            segni.Segna(inizio, k);
            i = k;
            continue;
        }
        ++i;
    }
}

// The C library functions the ready lists translate: only a call is the
// function; the same name used otherwise is the program's own.
bool FunzioneLibreriaC(QStringView parola)
{
    static const std::unordered_set<std::u16string_view> funzioni = {
        u"printf",  u"fprintf", u"sprintf", u"snprintf", u"vsnprintf", u"scanf",   u"sscanf",
        u"fscanf",  u"puts",    u"fputs",   u"fputc",    u"putc",      u"putchar", u"getchar",
        u"getc",    u"fgetc",   u"fgets",   u"fopen",    u"fclose",    u"fread",   u"fwrite",
        u"fflush",  u"fseek",   u"ftell",   u"feof",     u"ferror",    u"perror",  u"strerror",
        u"malloc",  u"calloc",  u"realloc", u"free",     u"strcpy",    u"strncpy", u"strcat",
        u"strncat", u"strcmp",  u"strncmp", u"strlen",   u"strchr",    u"strrchr", u"strstr",
        u"memcpy",  u"memmove", u"memset",  u"memcmp",   u"atoi",      u"atol",    u"strtol",
        u"exit",    u"abort"};
    return funzioni.count(std::u16string_view(parola.utf16(), std::size_t(parola.size()))) > 0;
}

void FunzioniComeNomi(QStringView t, Segni &segni)
{
    const qsizetype n = t.size();
    for (qsizetype i = 0; i < n;) {
        if (!Nome(t[i])) {
            ++i;
            continue;
        }
        const qsizetype fine = FineNome(t, i);
        if ((i == 0 || !Nome(t[i - 1])) && FunzioneLibreriaC(t.sliced(i, fine - i))) {
            const qsizetype dopo = SaltaSpazi(t, fine);
            if (dopo >= n || t[dopo] != u'(') segni.Segna(i, fine);
        }
        i = fine;
    }
}

// The word at `i` (a run of name characters), or an empty one.
QStringView ParolaIn(QStringView t, qsizetype i)
{
    return t.sliced(i, FineNome(t, i) - i);
}

bool Uguale(QStringView parola, const char16_t *chiave)
{
    return parola.compare(QStringView(chiave), Qt::CaseInsensitive) == 0;
}

// Words that can never name a variable: a declared name spelled like one (a
// field "Type" of a Type block) is kept where it is declared, and nowhere
// else, so that the statements elsewhere stay keywords.
bool Riservata(QStringView parola)
{
    static const QSet<QString> riservate = [] {
        QSet<QString> s;
        for (const char *p :
             {"and",     "as",         "boolean",  "byref",    "byte",    "byval",      "call",
              "case",    "const",      "currency", "date",     "declare", "dim",        "do",
              "double",  "each",       "else",     "elseif",   "end",     "enum",       "event",
              "exit",    "for",        "friend",   "function", "get",     "global",     "gosub",
              "goto",    "if",         "in",       "integer",  "is",      "let",        "long",
              "loop",    "me",         "mod",      "new",      "next",    "not",        "nothing",
              "object",  "on",         "option",   "optional", "or",      "paramarray", "preserve",
              "private", "property",   "public",   "redim",    "resume",  "return",     "select",
              "set",     "single",     "static",   "step",     "string",  "sub",        "rem",
              "then",    "to",         "type",     "until",    "variant", "wend",       "while",
              "with",    "withevents", "xor"})
            s.insert(QString::fromLatin1(p));
        return s;
    }();
    return riservate.contains(parola.toString().toLower());
}

// One BASIC logical line (physical lines joined by a " _" continuation) read
// statement by statement for the names it declares.
class DichiarazioniBasic
{
public:
    enum class Blocco { Nessuno, Type, Enum };

    DichiarazioniBasic(QStringView t, Segni &segni, QSet<QString> &nomi)
        : m_t(t), m_segni(segni), m_nomi(nomi)
    {
    }

    // The line labels read so far, lower-case.
    const QSet<QString> &Etichette() const { return m_etichette; }
    // Where a name follows GoTo, GoSub or Resume: a label if the file has it.
    const QVector<Zona> &Salti() const { return m_salti; }

    // Reads the logical line [inizio, fine); `blocco` carries a Type or Enum
    // block from one line to the next.
    void Leggi(qsizetype inizio, qsizetype fine, Blocco &blocco)
    {
        m_i = inizio;
        m_fine = fine;
        for (bool primaIstruzione = true;; primaIstruzione = false) {
            Salta();
            if (m_i >= m_fine || m_t[m_i] == u'\'') return;
            if (!primaIstruzione || blocco != Blocco::Nessuno || !Etichetta()) Istruzione(blocco);
            // On to the next statement: past strings, up to ":" or a comment,
            // noting the names jumped to on the way.
            while (m_i < m_fine && m_t[m_i] != u':' && m_t[m_i] != u'\'') {
                if (m_t[m_i] == u'"') {
                    SaltaStringa();
                } else if (Nome(m_t[m_i]) && (m_i == 0 || !Nome(m_t[m_i - 1]))) {
                    const bool salto = E(u"goto") || E(u"gosub") || E(u"resume");
                    Avanti();
                    if (salto) Destinazioni();
                } else {
                    ++m_i;
                }
            }
            if (m_i >= m_fine || m_t[m_i] == u'\'') return;
            ++m_i; // the ":"
        }
    }

private:
    QStringView Parola() const
    {
        return m_i < m_fine ? ParolaIn(m_t.first(m_fine), m_i) : QStringView();
    }
    bool E(const char16_t *chiave) const { return Uguale(Parola(), chiave); }
    void Avanti()
    {
        m_i += Parola().size();
        Salta();
    }
    // Blanks, line breaks and the "_" of a continuation.
    void Salta()
    {
        for (;;) {
            while (m_i < m_fine && (Spazio(m_t[m_i]) || FineRiga(m_t[m_i])))
                ++m_i;
            if (m_i >= m_fine || m_t[m_i] != u'_' || (m_i + 1 < m_fine && Nome(m_t[m_i + 1])))
                return;
            const qsizetype dopo = SaltaSpazi(m_t, m_i + 1);
            if (dopo < m_fine && !FineRiga(m_t[dopo])) return;
            m_i = dopo;
        }
    }
    void SaltaStringa()
    {
        ++m_i;
        while (m_i < m_fine && m_t[m_i] != u'"' && !FineRiga(m_t[m_i]))
            ++m_i;
        if (m_i < m_fine && m_t[m_i] == u'"') ++m_i;
    }
    // Past the rest of a list item: up to its "," (then past it) or to the
    // list's end (a ")" closing it, the statement's end); false at the end.
    bool ProssimoElemento()
    {
        int profondita = 0;
        while (m_i < m_fine) {
            const QChar c = m_t[m_i];
            if (c == u'"') {
                SaltaStringa();
                continue;
            }
            if (c == u'\'' || (c == u':' && profondita == 0)) return false;
            if (c == u'(') ++profondita;
            if (c == u')' && profondita-- == 0) return false;
            if (c == u',' && profondita == 0) {
                ++m_i;
                Salta();
                return true;
            }
            ++m_i;
        }
        return false;
    }

    // The name at the current place, declared for the whole file or, when
    // `soloQui` or a reserved word, only there.
    void Dichiara(bool soloQui)
    {
        const QStringView nome = Parola();
        if (nome.isEmpty() || nome.front().isDigit()) return;
        if (soloQui || Riservata(nome))
            m_segni.Segna(m_i, m_i + nome.size());
        else
            m_nomi.insert(nome.toString().toLower());
    }

    // A line label: a name right before ":" opening the line ("Err:",
    // "web_Cleanup:"), marked where it stands. The statements that may stand
    // alone before a ":" ("Else:", "Beep:", "DoEvents:") are no labels, and
    // neither is a named argument ("x:=").
    bool Etichetta()
    {
        static const QSet<QString> istruzioni = [] {
            QSet<QString> s;
            for (const char *p : {"beep", "clear", "close", "cls", "cont", "debug", "doevents",
                                  "error", "files", "lprint", "palette", "print", "randomize",
                                  "reset", "restore", "run", "sleep", "stop", "system"})
                s.insert(QString::fromLatin1(p));
            return s;
        }();
        const QStringView nome = Parola();
        const qsizetype dopo = m_i + nome.size();
        if (nome.isEmpty() || nome.front().isDigit() || dopo >= m_fine || m_t[dopo] != u':' ||
            (dopo + 1 < m_fine && m_t[dopo + 1] == u'='))
            return false;
        const QString chiave = nome.toString().toLower();
        if (Riservata(nome) || istruzioni.contains(chiave)) return false;
        m_segni.Segna(m_i, dopo);
        m_etichette.insert(chiave);
        m_i = dopo;
        return true;
    }

    // The names after GoTo, GoSub or Resume: one, or a list after
    // "On x GoTo". "GoTo 0", "Resume Next" name no label.
    void Destinazioni()
    {
        for (;;) {
            const QStringView nome = Parola();
            if (nome.isEmpty()) return;
            m_salti.append(Zona{m_i, m_i + nome.size()});
            Avanti();
            if (m_i >= m_fine || m_t[m_i] != u',') return;
            ++m_i;
            Salta();
        }
    }

    void Variabili()
    {
        do {
            Dichiara(false);
        } while (ProssimoElemento());
    }

    void Parametri()
    {
        while (m_i < m_fine && m_t[m_i] != u'(' && m_t[m_i] != u'\'' && m_t[m_i] != u':') {
            if (m_t[m_i] == u'"')
                SaltaStringa();
            else
                ++m_i;
        }
        if (m_i >= m_fine || m_t[m_i] != u'(') return;
        ++m_i;
        Salta();
        do {
            while (E(u"optional") || E(u"byval") || E(u"byref") || E(u"paramarray"))
                Avanti();
            Dichiara(false);
        } while (ProssimoElemento());
    }

    void Istruzione(Blocco &blocco)
    {
        if (blocco != Blocco::Nessuno) {
            if (E(u"end")) {
                blocco = Blocco::Nessuno;
                return;
            }
            // A field: a Type's is only ever used after a dot, an Enum's alone.
            Dichiara(blocco == Blocco::Type);
            return;
        }
        bool modificatore = false;
        while (E(u"public") || E(u"private") || E(u"friend") || E(u"global") || E(u"static") ||
               E(u"default")) { // VBScript's "Public Default Function"
            Avanti();
            modificatore = true;
        }
        if (E(u"dim") || E(u"redim")) {
            Avanti();
            while (E(u"preserve") || E(u"shared") || E(u"withevents"))
                Avanti();
            Variabili();
        } else if (E(u"const")) {
            Avanti();
            Variabili();
        } else if (E(u"sub") || E(u"function") || E(u"event")) {
            Avanti();
            Dichiara(false);
            Parametri();
        } else if (E(u"property")) {
            Avanti();
            if (!E(u"get") && !E(u"let") && !E(u"set")) return;
            Avanti();
            Dichiara(false);
            Parametri();
        } else if (E(u"declare")) {
            Avanti();
            if (E(u"ptrsafe")) Avanti();
            if (!E(u"sub") && !E(u"function")) return;
            Avanti();
            Dichiara(false);
            Parametri();
        } else if (E(u"enum") || E(u"type")) {
            const bool tipo = E(u"type");
            Avanti();
            if (Parola().isEmpty()) return;
            Dichiara(false);
            blocco = tipo ? Blocco::Type : Blocco::Enum;
        } else if (E(u"withevents") && modificatore) {
            Avanti();
            Variabili();
        } else if (modificatore) {
            Variabili();
        }
    }

    QStringView m_t;
    Segni &m_segni;
    QSet<QString> &m_nomi;
    QSet<QString> m_etichette;
    QVector<Zona> m_salti;
    qsizetype m_i = 0, m_fine = 0;
};

// The names the file declares -- procedures, variables, constants,
// parameters, Enum members -- at their declaration and everywhere else as
// whole words (case aside): there they are the program's, not the built-ins.
// A Type's fields are kept where they are declared (elsewhere they follow a
// dot).
void NomiDichiaratiBasic(QStringView t, Segni &segni)
{
    QSet<QString> nomi;
    DichiarazioniBasic lettura(t, segni, nomi);
    DichiarazioniBasic::Blocco blocco = DichiarazioniBasic::Blocco::Nessuno;
    for (qsizetype riga = 0; riga < t.size();) {
        // A logical line: physical lines ending in " _" go on in the next one.
        qsizetype fine = riga;
        for (;;) {
            while (fine < t.size() && !FineRiga(t[fine]))
                ++fine;
            qsizetype ultimo = fine;
            while (ultimo > riga && Spazio(t[ultimo - 1]))
                --ultimo;
            const bool continua = ultimo > riga && t[ultimo - 1] == u'_' &&
                                  (ultimo - 1 == riga || Spazio(t[ultimo - 2]));
            if (!continua || fine >= t.size()) break;
            if (t[fine] == u'\r' && fine + 1 < t.size() && t[fine + 1] == u'\n') ++fine;
            ++fine;
        }
        lettura.Leggi(riga, fine, blocco);
        riga = fine + 1;
    }
    // Labels have names of their own, apart from variables and built-ins
    // ("Err:" beside "Err.Number"): kept where they stand and where jumped to.
    for (const Zona &salto : lettura.Salti())
        if (lettura.Etichette().contains(
                t.sliced(salto.inizio, salto.fine - salto.inizio).toString().toLower()))
            segni.Segna(salto.inizio, salto.fine);
    if (nomi.isEmpty()) return;
    for (qsizetype i = 0; i < t.size();) {
        if (!Nome(t[i])) {
            ++i;
            continue;
        }
        const qsizetype fine = FineNome(t, i);
        if ((i == 0 || !Nome(t[i - 1])) &&
            nomi.contains(t.sliced(i, fine - i).toString().toLower()))
            segni.Segna(i, fine);
        i = fine;
    }
}

// "Me" before a member ("Me.Move", "Me.[Cella]"): the object the member
// belongs to reads as part of the member's name.
void OggettoCorrente(QStringView t, Segni &segni)
{
    for (qsizetype i = t.indexOf(u"me.", 0, Qt::CaseInsensitive); i >= 0;
         i = t.indexOf(u"me.", i + 3, Qt::CaseInsensitive))
        if ((i == 0 || !Nome(t[i - 1])) && i + 3 < t.size() && (Nome(t[i + 3]) || t[i + 3] == u'['))
            segni.Segna(i, i + 2);
}

} // namespace

QVector<Zona> NomiDelCodice(QStringView testo, Linguaggio linguaggio)
{
    if (linguaggio == Linguaggio::Nessuno) return {};
    Segni segni(testo.size());
    Membri(testo, linguaggio, segni);
    if (linguaggio == Linguaggio::Basic) {
        RigheAttribute(testo, segni);
        NomiDichiaratiBasic(testo, segni);
        OggettoCorrente(testo, segni);
    }
    if (FamigliaC(linguaggio)) {
        FunzioniComeNomi(testo, segni);
        for (qsizetype i = testo.indexOf(u"this->"); i >= 0; i = testo.indexOf(u"this->", i + 6))
            if (i == 0 || !Nome(testo[i - 1])) segni.Segna(i, i + 4);
    }
    if (linguaggio == Linguaggio::Batch) NomiBatch(testo, segni);
    return segni.Zone();
}
