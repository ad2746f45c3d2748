#include "ParoleNonTradotte.h"

#include "nucleo/codice/Delimitatori.h"
#include "nucleo/codice/RegoleCodice.h"
#include "nucleo/codice/ScansioneCodice.h"
#include "nucleo/ricerca/Ricerca.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace {

QStringList Parole(const char *elenco)
{
    return QString::fromLatin1(elenco).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

const QStringList &ParoleChiave(Linguaggio linguaggio)
{
    static const QStringList basic = Parole(
        "AddressOf Alias And Any Append As Base Binary Boolean ByRef Byte ByVal Call "
        "Case ChDir Close Compare Const Currency Date Debug Declare DefInt DefLng DefStr Dim Do "
        "DoEvents Double Each Else ElseIf Empty End Enum Eqv Erase Error Event Exit Explicit False "
        "FileCopy For Friend Function Get Global GoSub GoTo If Imp Implements In Input Integer Is "
        "Kill Let Lib Like Line Load Lock Long Loop Me MkDir Mod MsgBox New Next Not Nothing Null "
        "Object On Open Option Optional Or Output ParamArray Preserve Print Private Property "
        "Public Put RaiseEvent Random Read ReDim Rem Resume Return RmDir Seek Select Set Shared "
        "Single Static Step Stop String Sub Then To True Type TypeOf Unload Unlock Until Variant "
        "Wend While With WithEvents Write Xor");
    static const QStringList c = Parole(
        "#define #elif #else #endif #error #if #ifdef #ifndef #include #line #pragma #undef "
        "auto bool break case char const continue default do double else enum extern false "
        "float for goto if inline int long nullptr register return short signed sizeof static "
        "struct switch true typedef union unsigned void volatile while NULL");
    // In C these are ordinary names.
    static const QStringList cpp =
        c + Parole("catch class const_cast constexpr delete dynamic_cast explicit friend mutable "
                   "namespace new noexcept operator private protected public reinterpret_cast "
                   "static_cast template this throw try typename using virtual");
    static const QStringList batch = Parole(
        "assoc attrib call cd chdir choice cls cmd color copy date defined del dir do echo "
        "else endlocal equ erase errorlevel exist exit find findstr for ftype geq goto gtr if "
        "leq lss md mkdir move neq not nul path pause popd prompt pushd rd rem ren rename rmdir "
        "set setlocal shift start time title type ver xcopy");
    static const QStringList nessuna;
    switch (linguaggio) {
    case Linguaggio::Basic:
        return basic;
    case Linguaggio::C:
        return c;
    case Linguaggio::Cpp:
        return cpp;
    case Linguaggio::Batch:
        return batch;
    case Linguaggio::Nessuno:
        break;
    }
    return nessuna;
}

namespace {

const QString NessunaVoce = QStringLiteral("nessuna voce nell'elenco");
const QString NomeDelProgramma = QStringLiteral("è un nome dichiarato dal programma");
const QString AltreMaiuscole =
    QStringLiteral("la voce ha altre maiuscole: in C e in C++ le maiuscole contano");

// Whole words as the run compares them.
constexpr Ricerca::Confronto Intere{true, true, true};

// Whether the word starting at `inizio` names a member or, in batch, a
// variable, a label or a switch: such names are never keywords.
bool Nome(QStringView testo, qsizetype inizio, Linguaggio linguaggio)
{
    if (inizio == 0) return false;
    const QChar prima = testo[inizio - 1];
    if (prima == u'.') return true;
    switch (linguaggio) {
    case Linguaggio::C:
    case Linguaggio::Cpp:
        return prima == u'>' && inizio >= 2 && testo[inizio - 2] == u'-';
    case Linguaggio::Batch:
        return prima == u'%' || prima == u'!' || prima == u':' || prima == u'/';
    case Linguaggio::Basic:
    case Linguaggio::Nessuno:
        break;
    }
    return false;
}

// Why an entry equal to the word testo[inizio, fine) does not replace it
// there; empty when it does. The whole-word rule is the run's own.
QString MotivoPosizione(QStringView testo, qsizetype inizio, qsizetype fine,
                        const Delimitatori &regola, Linguaggio linguaggio)
{
    const Ricerca::Parola voce(testo.sliced(inizio, fine - inizio).toString(), Intere, regola);
    QChar ostacolo;
    switch (voce.SenzaDelimitatore(testo, inizio)) {
    case Ricerca::Parola::Lato::Nessuno:
        return {};
    case Ricerca::Parola::Lato::Prima:
        ostacolo = testo[inizio - 1]; // the start of the text delimits
        break;
    case Ricerca::Parola::Lato::Dopo:
        ostacolo = testo[fine]; // so does its end
        break;
    }
    const QChar dopo = fine < testo.size() ? testo[fine] : QLatin1Char(' ');
    if (linguaggio == Linguaggio::Basic && ostacolo == dopo &&
        QStringView(u"$%&#@").contains(ostacolo))
        return QStringLiteral("con il suffisso di tipo «%1»").arg(ostacolo);
    if (ostacolo == u'\t')
        return QStringLiteral("dopo una tabulazione: attiva «Separatori del codice»");
    if (!regola.Codice() && Delimitatori::DelCodice(ostacolo))
        return QStringLiteral("attaccata a un operatore: attiva «Separatori del codice»");
    return QStringLiteral("attaccata a «%1»").arg(ostacolo);
}

// The characters of `testo` that an entry of several words, or of a word with
// other characters than letters, digits and "_" ("#If", "Left$"), replaces, read as the engine
// reads it: whole words, starting in code.
std::vector<bool> CopertiDaVociComposte(QStringView testo, const QStringList &paroleElenco,
                                        const Delimitatori &regola, CursoreZone protetto)
{
    std::vector<bool> coperti;
    for (const QString &voce : paroleElenco) {
        const bool composta = std::any_of(voce.cbegin(), voce.cend(),
                                          [](QChar c) { return !Delimitatori::CarattereNome(c); });
        if (!composta || voce.isEmpty()) continue;
        const Ricerca::Parola parola(voce, Intere, regola);
        for (qsizetype k = testo.indexOf(voce, 0, Qt::CaseInsensitive); k >= 0;
             k = testo.indexOf(voce, k + 1, Qt::CaseInsensitive)) {
            const qsizetype fine = k + voce.size();
            if (!parola.CorrispondeNelTesto(testo, k) || protetto.Protetto(k)) continue;
            if (coperti.empty()) coperti.resize(size_t(testo.size()), false);
            std::fill(coperti.begin() + k, coperti.begin() + fine, true);
        }
    }
    return coperti;
}

// The characters of `testo` that a replacement wrote, as far as the text
// tells: the whole-word occurrences in code, exactly as written, of every
// replacement that holds a word spelled like a keyword (the "base" of
// "Scegli in base a" is no BASIC "Base").
std::vector<bool> ScrittiDaiSostituti(QStringView testo, const QVector<VoceSostituzione> &voci,
                                      const QSet<QString> &chiavi, bool esatte,
                                      const Delimitatori &regola, CursoreZone protetto)
{
    std::vector<bool> scritti;
    QSet<QString> visti;
    for (const VoceSostituzione &voce : voci) {
        const QString &sostituto = voce.Sostituisci;
        if (SenzaParola(voce) || sostituto.trimmed().isEmpty() || visti.contains(sostituto))
            continue;
        visti.insert(sostituto);
        bool chiave = false;
        for (qsizetype i = 0; i < sostituto.size() && !chiave;) {
            qsizetype fine = i;
            while (fine < sostituto.size() && Delimitatori::CarattereNome(sostituto[fine]))
                ++fine;
            const QStringView parola = QStringView(sostituto).sliced(i, fine - i);
            chiave = !parola.isEmpty() &&
                     chiavi.contains(esatte ? parola.toString() : Ricerca::Maiuscolo(parola));
            i = fine + 1;
        }
        if (!chiave) continue;
        const Ricerca::Parola parola(sostituto, Ricerca::Confronto{true, false, true}, regola);
        for (qsizetype k = testo.indexOf(sostituto, 0, Qt::CaseSensitive); k >= 0;
             k = testo.indexOf(sostituto, k + 1, Qt::CaseSensitive)) {
            if (!parola.CorrispondeNelTesto(testo, k) || protetto.Protetto(k)) continue;
            if (scritti.empty()) scritti.resize(size_t(testo.size()), false);
            std::fill(scritti.begin() + k, scritti.begin() + k + sostituto.size(), true);
        }
    }
    return scritti;
}

// Whether the word at `i` stands on a BASIC "Attribute" line (file metadata).
bool RigaAttribute(QStringView testo, qsizetype i)
{
    qsizetype inizio = i;
    while (inizio > 0 && testo[inizio - 1] != u'\n' && testo[inizio - 1] != u'\r')
        --inizio;
    while (inizio < i && (testo[inizio] == u' ' || testo[inizio] == u'\t'))
        ++inizio;
    const QStringView riga = testo.sliced(inizio);
    return riga.startsWith(u"attribute", Qt::CaseInsensitive) &&
           (riga.size() == 9 || !Delimitatori::CarattereNome(riga[9]));
}

// Whether the replacement of `voce` leaves unprotected what its word
// protects, or the other way round (echo, rem, set and their translations):
// compared on the word followed by some text, as the list's order rule does.
bool CambiaZone(const VoceSostituzione &voce, TipoTesto tipo)
{
    for (const QString &resto : {QStringLiteral(" x y"), QStringLiteral(" x=y")}) {
        const QString prima = voce.Trova + resto, dopo = voce.Sostituisci + resto;
        if (ScansionaCodice(prima, tipo).Protetto(prima.size() - 1) !=
            ScansionaCodice(dopo, tipo).Protetto(dopo.size() - 1))
            return true;
    }
    return false;
}

// A copy of a draft with the word of each entry that changes what is
// protected put back in place of its replacement, and where it was put back
// (indexes in the copy).
struct Ripristino
{
    QString copia;
    QVector<RegoleCodice::Spostamento> spostamenti;
};

// Nothing when no such replacement stands in the code of `testo`. Whole words
// starting outside the stretches of `zone`, in text order; where two
// replacements overlap, the first one found in the text wins, on a tie the
// earlier entry.
Ripristino RimettiParole(QStringView testo, TipoTesto tipo, const ZoneProtette &zone,
                         const QVector<VoceSostituzione> &voci, const Delimitatori &regola)
{
    struct Posto
    {
        qsizetype inizio;
        const VoceSostituzione *voce;
    };
    QVector<Posto> posti;
    for (const VoceSostituzione &voce : voci) {
        if (SenzaParola(voce) || voce.Sostituisci.trimmed().isEmpty() || !CambiaZone(voce, tipo))
            continue;
        const Ricerca::Parola parola(voce.Sostituisci, Intere, regola);
        for (qsizetype k = testo.indexOf(voce.Sostituisci, 0, Qt::CaseInsensitive); k >= 0;
             k = testo.indexOf(voce.Sostituisci, k + 1, Qt::CaseInsensitive))
            if (parola.CorrispondeNelTesto(testo, k) && !zone.Protetto(k)) posti.append({k, &voce});
    }
    if (posti.isEmpty()) return {};
    std::stable_sort(posti.begin(), posti.end(),
                     [](const Posto &a, const Posto &b) { return a.inizio < b.inizio; });
    Ripristino r;
    r.copia.reserve(testo.size());
    qsizetype fatto = 0;
    for (const Posto &p : posti) {
        if (p.inizio < fatto) continue; // inside the one put back before
        r.copia += testo.sliced(fatto, p.inizio - fatto);
        r.spostamenti.append({r.copia.size(), p.voce->Trova.size(), p.voce->Sostituisci.size()});
        r.copia += p.voce->Trova;
        fatto = p.inizio + p.voce->Sostituisci.size();
    }
    r.copia += testo.sliced(fatto);
    return r;
}

// Stretches of the copy moved onto the draft: each end moves by the change of
// length of the words put back before it, so a stretch that begins with such
// a word (a comment opened by "rem") keeps all of its draft text.
QVector<Zona> Riporta(const QVector<Zona> &zone,
                      const QVector<RegoleCodice::Spostamento> &spostamenti)
{
    QVector<Zona> riportate;
    riportate.reserve(zone.size());
    qsizetype k = 0, spostamento = 0;
    const auto sposta = [&](qsizetype indice) {
        for (; k < spostamenti.size() && spostamenti[k].inizio < indice; ++k)
            spostamento += spostamenti[k].nuova - spostamenti[k].lunghezza;
        return indice + spostamento;
    };
    for (const Zona &z : zone) {
        const Zona r{sposta(z.inizio), sposta(z.fine)};
        if (r.fine <= r.inizio) continue;
        if (!riportate.isEmpty() && riportate.back().fine >= r.inizio)
            riportate.back().fine = std::max(riportate.back().fine, r.fine);
        else
            riportate.append(r);
    }
    return riportate;
}

} // namespace

QVector<ParolaContata> ParoleNonTradotte(QStringView testo, TipoTesto tipo,
                                         const QVector<VoceSostituzione> &voci,
                                         bool separatoriCodice)
{
    QStringList paroleElenco;
    for (const VoceSostituzione &voce : voci)
        if (!SenzaParola(voce)) paroleElenco.append(voce.Trova);
    const Linguaggio linguaggio = tipo.linguaggio;
    const bool esatte = FamigliaC(linguaggio);
    const Delimitatori regola = Delimitatori::Per(separatoriCodice, linguaggio);
    QSet<QString> elenco, elencoEsatto;
    for (const QString &p : paroleElenco) {
        elenco.insert(Ricerca::Maiuscolo(p));
        elencoEsatto.insert(p);
    }

    // Key: the word as compared (upper case unless exact), then the reason;
    // value: row index.
    QHash<QString, qsizetype> indice;
    QVector<ParolaContata> righe;
    QSet<QString> chiavi; // keywords, as compared
    const bool chiave = linguaggio != Linguaggio::Nessuno;
    if (chiave) {
        for (const QString &p : ParoleChiave(linguaggio)) {
            const QString k = esatte ? p : Ricerca::Maiuscolo(p);
            chiavi.insert(k);
            if (!elenco.contains(Ricerca::Maiuscolo(p))) {
                indice.insert(k + u'\n' + NessunaVoce, righe.size());
                righe.append({p, 0, NessunaVoce, false});
            }
        }
    }

    ZoneProtette zone = ScansionaCodice(testo, tipo);
    // On a draft the stretches and names are those of the text as written.
    const Ripristino r = chiave ? RimettiParole(testo, tipo, zone, voci, regola) : Ripristino();
    const bool rimesse = !r.spostamenti.isEmpty();
    if (rimesse)
        zone = ZoneProtette(Riporta(ScansionaCodice(r.copia, tipo).Elenco(), r.spostamenti));
    CursoreZone protetto(zone);
    // The program's own names are names whatever the options: never offered.
    const ZoneProtette nomi(!chiave   ? QVector<Zona>()
                            : rimesse ? Riporta(NomiDelCodice(r.copia, linguaggio), r.spostamenti)
                                      : NomiDelCodice(testo, linguaggio));
    CursoreZone nome(nomi);
    const std::vector<bool> coperti =
        chiave ? CopertiDaVociComposte(testo, paroleElenco, regola, CursoreZone(zone))
               : std::vector<bool>();
    const std::vector<bool> scritti =
        chiave ? ScrittiDaiSostituti(testo, voci, chiavi, esatte, regola, CursoreZone(zone))
               : std::vector<bool>();
    const qsizetype n = testo.size();
    qsizetype i = 0;
    while (i < n) {
        if (!Delimitatori::CarattereNome(testo[i])) {
            ++i;
            continue;
        }
        qsizetype inizio = i;
        bool lettera = false;
        while (i < n && Delimitatori::CarattereNome(testo[i])) {
            lettera = lettera || testo[i].isLetter();
            ++i;
        }
        if (esatte && inizio > 0 && testo[inizio - 1] == u'#') --inizio;
        // Numbers ("1e5", "0x1F") are no words.
        if (!lettera || testo[inizio].isDigit() || protetto.Protetto(inizio)) continue;
        const QStringView parola = testo.sliced(inizio, i - inizio);
        const QString chiaveParola = esatte ? parola.toString() : Ricerca::Maiuscolo(parola);
        if (!chiave) {
            const auto trovata = indice.constFind(chiaveParola);
            if (trovata != indice.cend())
                ++righe[*trovata].occorrenze;
            else if (!elenco.contains(chiaveParola)) {
                indice.insert(chiaveParola, righe.size());
                righe.append({parola.toString(), 1, NessunaVoce, false});
            }
            continue;
        }
        if (!chiavi.contains(chiaveParola) || Nome(testo, inizio, linguaggio)) continue;
        if (!scritti.empty() && scritti[size_t(inizio)]) continue;
        // In C read as code an entry in other case does not apply: reported as such.
        const bool altreMaiuscole = esatte && separatoriCodice &&
                                    !elencoEsatto.contains(parola.toString()) &&
                                    elenco.contains(Ricerca::Maiuscolo(parola));
        const bool conVoce = elenco.contains(Ricerca::Maiuscolo(parola));
        QString motivo = NessunaVoce;
        if (nome.Protetto(i - 1)) {
            // A BASIC keyword the file declares as its own name keeps its
            // entry from applying; elsewhere such names are no keywords.
            if (!conVoce || linguaggio != Linguaggio::Basic ||
                (i < n && testo[i] == u'.') || // "Me.Move": part of the member's name
                RigaAttribute(testo, inizio))
                continue;
            motivo = NomeDelProgramma;
        } else {
            if (!coperti.empty() && coperti[size_t(inizio)]) continue;
            if (altreMaiuscole) {
                motivo = AltreMaiuscole;
            } else if (conVoce) {
                motivo = MotivoPosizione(testo, inizio, i, regola, linguaggio);
                if (motivo.isEmpty()) continue; // the entry replaces it
            }
        }
        const QString k = chiaveParola + u'\n' + motivo;
        const auto trovata = indice.constFind(k);
        if (trovata != indice.cend()) {
            ++righe[*trovata].occorrenze;
        } else {
            indice.insert(k, righe.size());
            righe.append({parola.toString(), 1, motivo, conVoce});
        }
    }

    const qsizetype minimo = chiave ? 1 : 3;
    righe.erase(std::remove_if(righe.begin(), righe.end(),
                               [&](const ParolaContata &r) { return r.occorrenze < minimo; }),
                righe.end());
    std::stable_sort(righe.begin(), righe.end(),
                     [](const ParolaContata &a, const ParolaContata &b) {
                         if (a.occorrenze != b.occorrenze) return a.occorrenze > b.occorrenze;
                         return a.parola.compare(b.parola, Qt::CaseInsensitive) < 0;
                     });
    return righe;
}
