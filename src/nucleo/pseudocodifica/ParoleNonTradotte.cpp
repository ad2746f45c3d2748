#include "ParoleNonTradotte.h"

#include "nucleo/codice/ScansioneCodice.h"
#include "nucleo/codice/Delimitatori.h"
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
        "FileCopy For Friend Function Get Global GoSub GoTo If Imp Implements Input Integer Is "
        "Kill Let Lib Like Line Load Lock Long Loop Me MkDir Mod MsgBox New Next Not Nothing Null "
        "Object On Open Option Optional Or Output ParamArray Preserve Print Private Property "
        "Public Put RaiseEvent Random Read ReDim Rem Resume Return RmDir Seek Select Set Shared "
        "Single Static Step Stop String Sub Then To True Type TypeOf Unload Unlock Until Variant "
        "Wend While With WithEvents Write Xor");
    static const QStringList c = Parole(
        "#define #elif #else #endif #error #if #ifdef #ifndef #include #line #pragma #undef "
        "auto bool break case catch char class const const_cast constexpr continue default "
        "delete do double dynamic_cast else enum explicit extern false float for friend goto if "
        "inline int long mutable namespace new noexcept nullptr operator private protected "
        "public register reinterpret_cast return short signed sizeof static static_cast struct "
        "switch template this throw true try typedef typename union unsigned using virtual void "
        "volatile while NULL");
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
    case Linguaggio::Batch:
        return batch;
    case Linguaggio::Nessuno:
        break;
    }
    return nessuna;
}

QVector<ParolaContata> ParoleNonTradotte(QStringView testo, TipoTesto tipo,
                                         const QStringList &paroleElenco)
{
    const Linguaggio linguaggio = tipo.linguaggio;
    const bool esatte = linguaggio == Linguaggio::C;
    QSet<QString> elenco;
    for (const QString &p : paroleElenco)
        elenco.insert(Ricerca::Maiuscolo(p));

    // Key: the word as compared (upper case unless exact); value: row index.
    QHash<QString, qsizetype> indice;
    QVector<ParolaContata> righe;
    const bool chiave = linguaggio != Linguaggio::Nessuno;
    if (chiave) {
        for (const QString &p : ParoleChiave(linguaggio))
            if (!elenco.contains(Ricerca::Maiuscolo(p))) {
                indice.insert(esatte ? p : Ricerca::Maiuscolo(p), righe.size());
                righe.append({p, 0});
            }
    }

    const ZoneProtette zone = ScansionaCodice(testo, tipo);
    CursoreZone protetto(zone);
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
        const auto trovata = indice.constFind(chiaveParola);
        if (trovata != indice.cend()) {
            ++righe[*trovata].occorrenze;
        } else if (!chiave && !elenco.contains(chiaveParola)) {
            indice.insert(chiaveParola, righe.size());
            righe.append({parola.toString(), 1});
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
