#include "MotoreCodice.h"

#include "nucleo/codice/ScansioneCodice.h"
#include "nucleo/pseudocodifica/TestoInCostruzione.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <limits>
#include <optional>

namespace {

constexpr quint32 SemeHash = 2166136261u;
inline quint32 Mescola(quint32 h, char16_t u) noexcept
{
    return (h ^ u) * 16777619u;
}

bool Spazio(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool FineRiga(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Whether a run of letters and digits in `testo` is a word the scanners read
// as a comment opener or as a module header's end.
bool ParolaChiave(QStringView testo)
{
    for (qsizetype i = 0; i < testo.size();) {
        if (!testo[i].isLetterOrNumber()) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < testo.size() && testo[j].isLetterOrNumber())
            ++j;
        for (const char16_t *chiave : {u"rem", u"echo", u"attribute"})
            if (testo.sliced(i, j - i).compare(QStringView(chiave), Qt::CaseInsensitive) == 0)
                return true;
        i = j;
    }
    return false;
}

// How a replacement moves the stretches, beyond RegoleCodice::SostituzioneNeutra.
enum class Neutralita { Nessuna, Ovunque, FuoriDaiPreprocessori };

// BASIC comments and strings start only at a quote, "'" or a Rem statement
// (blanks or ":" before it on its line, no name character after it): a word
// and a replacement of letters, digits, spaces, "#", "." and "$", the word
// with no blank at its ends and the replacement not blank, with no such
// keyword in them and the same kind of first character (of a name or not: a
// Rem keeps its comment only before no name character), open, close and move
// none.
// In C and C++ only line ends, "/", "*", quotes, "#" and "\\" matter, and the
// head of a preprocessor line ("#", its word, the name a definition gives):
// any other characters are neutral away from such a head.
Neutralita NeutralitaDi(const RegoleCodice &regole, const QString &parola, const QString &sostituto)
{
    if (!regole.Protegge() || regole.SostituzioneNeutra(parola, sostituto))
        return Neutralita::Ovunque;
    if (parola.isEmpty() || sostituto.trimmed().isEmpty() || Spazio(parola.front()) ||
        Spazio(parola.back()))
        return Neutralita::Nessuna;
    const auto tutti = [&](auto ammesso) {
        return std::all_of(parola.begin(), parola.end(), ammesso) &&
               std::all_of(sostituto.begin(), sostituto.end(), ammesso);
    };
    switch (regole.tipo.linguaggio) {
    case Linguaggio::Basic: {
        const auto nome = [](QChar c) { return Delimitatori::CarattereNome(c); };
        if (!tutti([](QChar c) {
                return c.isLetterOrNumber() || c == u' ' || c == u'#' || c == u'.' || c == u'$';
            }) ||
            ParolaChiave(parola) || ParolaChiave(sostituto) ||
            nome(parola.front()) != nome(sostituto.front()))
            return Neutralita::Nessuna;
        return Neutralita::Ovunque;
    }
    case Linguaggio::C:
    case Linguaggio::Cpp:
        if (!tutti([](QChar c) {
                return !(FineRiga(c) || c == u'/' || c == u'*' || c == u'"' || c == u'\'' ||
                         c == u'#' || c == u'\\' || c == QChar(0x2028) || c == QChar(0x2029) ||
                         c == u'\v' || c == u'\f');
            }))
            return Neutralita::Nessuna;
        return Neutralita::FuoriDaiPreprocessori;
    default:
        return Neutralita::Nessuna;
    }
}

} // namespace

struct MotoreCodice::Voce
{
    QString parola, sostituto;
    QString chiave, chiaveSostituto; // both as compared (upper case unless exact)
    Ricerca::Parola regola;
    bool semplice = false;              // only ever a whole token
    bool inizioProprio = false;         // needs no delimiter before it
    bool neutra = true;                 // leaves the comments and strings where they were
    bool fuoriDaiPreprocessori = false; // only away from a preprocessor line's head

    Voce(const VoceSostituzione &v, Ricerca::Confronto confronto, Delimitatori delimitatori)
        : parola(v.Trova), sostituto(v.Sostituisci),
          chiave(confronto.ignoraMaiuscole ? Ricerca::Maiuscolo(v.Trova) : v.Trova),
          chiaveSostituto(confronto.ignoraMaiuscole ? Ricerca::Maiuscolo(v.Sostituisci)
                                                    : v.Sostituisci),
          regola(v.Trova, confronto, delimitatori),
          inizioProprio(delimitatori.InizioProprio(v.Trova.front()))
    {
        semplice = !inizioProprio;
        for (QChar c : parola)
            semplice = semplice && !delimitatori.PuoDelimitare(c);
    }
};

struct MotoreCodice::Gruppo
{
    int primo = 0, fine = 0;            // its entries, [primo, fine)
    bool neutro = true;                 // every entry leaves the stretches where they were
    bool fuoriDaiPreprocessori = false; // some entry only away from a preprocessor head

    // The words free of delimiters: each distinct one with the first entry
    // that has it, in an open-addressing table of indices.
    std::vector<QString> chiavi;
    std::vector<quint32> hashChiavi;
    std::vector<int> vociChiavi;
    std::vector<int> tabella; // -1 = empty slot
    quint32 maschera = 0;
    qsizetype minima = std::numeric_limits<qsizetype>::max(), massima = 0;

    // The other words, as a trie of their characters; a node lists the
    // entries whose word ends there, in list order.
    struct Nodo
    {
        std::vector<std::pair<char16_t, int>> figli;
        std::vector<int> voci;
    };
    std::vector<Nodo> nodi{Nodo{}};
    std::array<int, 128> radice; // the root's children for ASCII units, -1 = none
    bool dentroToken = false;    // some trie word may start inside a token
    // The last entry whose word ends with a character (as compared), for the
    // ASCII ones and for the others together; the same for the first
    // character of the trie words. -1: none.
    std::array<int, 128> finali, iniziali;
    int finaliNonAscii = -1, inizialiNonAscii = -1;

    Gruppo()
    {
        radice.fill(-1);
        finali.fill(-1);
        iniziali.fill(-1);
    }

    int Figlio(int nodo, char16_t u) const noexcept
    {
        if (nodo == 0 && u < 128) return radice[u];
        for (const auto &[c, figlio] : nodi[size_t(nodo)].figli)
            if (c == u) return figlio;
        return -1;
    }

    void Aggiungi(const Voce &v, int indice)
    {
        const char16_t ultimo = v.chiave.back().unicode(), primo = v.chiave.front().unicode();
        (ultimo < 128 ? finali[ultimo] : finaliNonAscii) = indice;
        if (!v.semplice) (primo < 128 ? iniziali[primo] : inizialiNonAscii) = indice;
        if (v.semplice) {
            if (std::find(chiavi.begin(), chiavi.end(), v.chiave) != chiavi.end()) return;
            quint32 h = SemeHash;
            for (QChar c : v.chiave)
                h = Mescola(h, c.unicode());
            chiavi.push_back(v.chiave);
            hashChiavi.push_back(h);
            vociChiavi.push_back(indice);
            minima = std::min(minima, v.chiave.size());
            massima = std::max(massima, v.chiave.size());
            return;
        }
        dentroToken = dentroToken || v.inizioProprio;
        int nodo = 0;
        for (QChar c : v.chiave) {
            int figlio = Figlio(nodo, c.unicode());
            if (figlio < 0) {
                figlio = int(nodi.size());
                nodi.emplace_back();
                nodi[size_t(nodo)].figli.emplace_back(c.unicode(), figlio);
                if (nodo == 0 && c.unicode() < 128) radice[c.unicode()] = figlio;
            }
            nodo = figlio;
        }
        nodi[size_t(nodo)].voci.push_back(indice);
    }

    void Prepara()
    {
        quint32 capienza = 16;
        while (capienza < chiavi.size() * 4)
            capienza *= 2;
        maschera = capienza - 1;
        tabella.assign(capienza, -1);
        for (int k = 0; k < int(chiavi.size()); ++k) {
            quint32 s = hashChiavi[size_t(k)] & maschera;
            while (tabella[s] >= 0)
                s = (s + 1) & maschera;
            tabella[s] = k;
        }
    }

    // The entry whose word the token t[0..L) is (`piegato` as compared); -1 when none.
    template <typename Piega>
    int Cerca(quint32 h, const QChar *t, qsizetype L, Piega piega) const noexcept
    {
        for (quint32 s = h & maschera;; s = (s + 1) & maschera) {
            const int k = tabella[s];
            if (k < 0) return -1;
            if (hashChiavi[size_t(k)] != h || chiavi[size_t(k)].size() != L) continue;
            const QChar *p = chiavi[size_t(k)].constData();
            qsizetype i = 0;
            while (i < L && piega(t[i]) == p[i].unicode())
                ++i;
            if (i == L) return vociChiavi[size_t(k)];
        }
    }
};

// What one reading of the text makes.
struct MotoreCodice::Lavoro
{
    QString testo;
    qsizetype conta = 0;
    bool nonNeutra = false;     // a replacement not neutral was made
    bool conSpostamenti = true; // the stretches are moved afterwards: keep the replacements
    QVector<RegoleCodice::Spostamento> spostamenti;
    // For each entry of the group, once met: what the rest of the group makes
    // of its replacement, and every form that replacement goes through.
    struct Esito
    {
        bool pronto = false;
        bool nonNeutra = false; // a replacement not neutral was made
        QString risultato;
        qsizetype conta = 0;
        std::vector<QString> forme;
    };
    std::vector<Esito> esiti;
};

MotoreCodice::MotoreCodice(const QVector<VoceSostituzione> &voci, const RegoleCodice &regole)
    : m_regole(regole), m_delimitatori(regole.Delimitazione()),
      m_confronto(Ricerca::Confronto::PerSostituzione(regole.MaiuscoleEsatte(), true))
{
    for (const VoceSostituzione &v : voci) {
        if (SenzaParola(v)) continue;
        m_voci.emplace_back(v, m_confronto, m_delimitatori);
        const Neutralita neutralita = NeutralitaDi(regole, v.Trova, v.Sostituisci);
        m_voci.back().neutra = neutralita != Neutralita::Nessuna;
        m_voci.back().fuoriDaiPreprocessori = neutralita == Neutralita::FuoriDaiPreprocessori;
    }
    bool chiuso = true;
    for (int b = 0; b < int(m_voci.size()); ++b) {
        if (chiuso || Conflitto(*m_gruppi.back(), b)) {
            m_gruppi.push_back(std::make_unique<Gruppo>());
            m_gruppi.back()->primo = b;
        }
        Aggiungi(*m_gruppi.back(), b);
        // After a replacement that may move a comment's edge, the later
        // entries read the stretches afresh.
        chiuso = !m_voci[size_t(b)].neutra;
    }
    for (auto &g : m_gruppi)
        g->Prepara();
}

void MotoreCodice::Aggiungi(Gruppo &g, int b) const
{
    g.fine = b + 1;
    g.neutro = g.neutro && m_voci[size_t(b)].neutra;
    g.fuoriDaiPreprocessori = g.fuoriDaiPreprocessori || m_voci[size_t(b)].fuoriDaiPreprocessori;
    g.Aggiungi(m_voci[size_t(b)], b);
}

std::unique_ptr<MotoreCodice::Gruppo> MotoreCodice::Parte(int primo, int fine, bool neutro) const
{
    auto g = std::make_unique<Gruppo>();
    g->primo = primo;
    for (int b = primo; b < fine; ++b)
        Aggiungi(*g, b);
    g->neutro = g->neutro && neutro;
    g->Prepara();
    return g;
}

MotoreCodice::~MotoreCodice() = default;

// Entry `b` cannot join `gruppo` when taking the lowest entry at each place
// could differ from the entries one after the other:
// - an earlier word may start inside b's word: in the text, b would be
//   found first at its start, though the earlier entry replaces first;
// - b's word, holding delimiters, may run across the edge of an earlier
//   entry's replacement (or across where an empty one took a word away):
//   the replacement is worked out apart from its neighbours.
// Places inside a word are only those where a word may start: after a
// character that may delimit, or anywhere for a word needing no delimiter.
bool MotoreCodice::Conflitto(const Gruppo &gruppo, int b) const
{
    const Voce &vb = m_voci[size_t(b)];
    const QString &wb = vb.chiave;
    const auto dopoDelimitatore = [&](const QString &s, qsizetype j) {
        return j == 0 || m_delimitatori.PuoDelimitare(s[j - 1]);
    };
    // Whether `x` starting at w[j] agrees with `w` where they overlap, and the
    // one that ends first is followed there, in the other, by a character
    // that may end a word (as its whole-word match needs).
    const auto sovrapposti = [&](const QString &w, qsizetype j, const QString &x) {
        const QStringView coda = QStringView(w).sliced(j);
        const qsizetype L = std::min(coda.size(), x.size());
        if (coda.first(L) != QStringView(x).first(L)) return false;
        if (coda.size() < x.size()) return m_delimitatori.PuoDelimitare(x[L]);
        if (x.size() < coda.size()) return m_delimitatori.PuoDelimitare(coda[L]);
        return true;
    };
    for (int a = gruppo.primo; a < gruppo.fine; ++a) {
        const Voce &va = m_voci[size_t(a)];
        for (qsizetype j = 1; j < wb.size(); ++j)
            if ((va.inizioProprio || dopoDelimitatore(wb, j)) && sovrapposti(wb, j, va.chiave))
                return true;
        if (vb.semplice) continue;
        const QString &r = va.chiaveSostituto;
        if (r.isEmpty()) return true;
        for (qsizetype j = 1; j < wb.size(); ++j)
            if ((va.inizioProprio || dopoDelimitatore(wb, j)) && sovrapposti(wb, j, r)) return true;
        for (qsizetype k = 0; k < r.size(); ++k)
            if ((vb.inizioProprio || dopoDelimitatore(r, k)) && r.size() - k < wb.size() &&
                sovrapposti(r, k, wb))
                return true;
    }
    return false;
}

int MotoreCodice::UnaLettura(const Gruppo &g, const QString &testo, const ZoneProtette &zone,
                             Lavoro &lavoro) const
{
    const qsizetype n = testo.size();
    const QChar *t = testo.constData();
    const QChar spazio = QLatin1Char(' ');
    const bool esatte = !m_confronto.ignoraMaiuscole;
    const auto piega = [esatte](QChar c) {
        return esatte ? c.unicode() : Ricerca::Maiuscola(c).unicode();
    };
    // The delimiters as a table: none beyond ASCII, and for the few that
    // depend on their neighbour, one answer after a name character and one
    // after anything else.
    std::array<bool, 128> dopoNome{}, dopoAltro{}, dipende{};
    for (char16_t u = 0; u < 128; ++u) {
        dopoNome[u] = m_delimitatori.Separatore(QChar(u), QLatin1Char('a'));
        dopoAltro[u] = m_delimitatori.Separatore(QChar(u), spazio);
        dipende[u] = dopoNome[u] != dopoAltro[u];
    }
    const auto S = [&](QChar c, QChar precedente) {
        const char16_t u = c.unicode();
        if (u >= 128) return false;
        if (!dipende[u]) return dopoAltro[u];
        return Delimitatori::CarattereNome(precedente) ? dopoNome[u] : dopoAltro[u];
    };
    // A delimiter whatever stands before it.
    const auto sempre = [&](QChar c) { return S(c, QLatin1Char('a')) && S(c, spazio); };
    std::optional<CursoreZone> protette;
    if (!zone.Vuote()) protette.emplace(zone);
    lavoro.esiti.assign(size_t(g.fine - g.primo), {});

    // Whether entry e leaves the stretches where they were here: a group's
    // last entry may not, or the text may have split the group after it.
    const auto neutraQui = [&](int e) {
        return m_voci[size_t(e)].neutra && !(e == g.fine - 1 && !g.neutro);
    };

    // What the rest of the group makes of entry e's replacement, read apart.
    const auto risolvi = [&](int e) -> const Lavoro::Esito & {
        Lavoro::Esito &esito = lavoro.esiti[size_t(e - g.primo)];
        if (esito.pronto) return esito;
        QString s = m_voci[size_t(e)].sostituto;
        esito.conta = 1;
        esito.nonNeutra = !neutraQui(e);
        esito.forme.push_back(s);
        for (int c = e + 1; c < g.fine; ++c) {
            const Voce &v = m_voci[size_t(c)];
            if (v.parola.size() > s.size()) continue;
            Ricerca::EsitoSostituzione passo = Ricerca::SostituisciOccorrenze(
                s, v.parola, v.sostituto, m_confronto, m_delimitatori, nullptr);
            if (passo.sostituzioni == 0) continue;
            s = std::move(passo.testo);
            esito.conta += passo.sostituzioni;
            esito.nonNeutra = esito.nonNeutra || !neutraQui(c);
            esito.forme.push_back(s);
        }
        esito.risultato = std::move(s);
        esito.pronto = true;
        return esito;
    };

    // Whether an entry after `e` has a word that ends (starts) with `c`.
    const auto finisceDopo = [&](QChar c, int e) {
        const char16_t u = piega(c);
        return (u < 128 ? g.finali[u] : g.finaliNonAscii) > e;
    };
    const auto iniziaDopo = [&](QChar c, int e) {
        const char16_t u = piega(c);
        return (u < 128 ? g.iniziali[u] : g.inizialiNonAscii) > e;
    };
    // The line of the last replacement checked, and where the head of its
    // preprocessor line ends (-1: it is none).
    qsizetype rigaFine = -1, testa = -1;
    const auto inTesta = [&](qsizetype p) {
        if (p >= rigaFine) {
            qsizetype a = p;
            while (a > 0 && !FineRiga(t[a - 1]))
                --a;
            rigaFine = p;
            while (rigaFine < n && !FineRiga(t[rigaFine]))
                ++rigaFine;
            testa = -1;
            const auto spazi = [&](qsizetype k) {
                while (k < n && Spazio(t[k]))
                    ++k;
                return k;
            };
            const auto nome = [&](qsizetype k) {
                while (k < n && Delimitatori::CarattereNome(t[k]))
                    ++k;
                return k;
            };
            // The scanner reads the directive's word and, after a definition's
            // word, the name it gives; a replacement there or just after could
            // change either.
            const qsizetype k = spazi(a);
            if (k < n && t[k] == u'#') {
                const qsizetype parola = spazi(k + 1);
                testa = nome(parola);
                if (LeggiDirettiva(QStringView(testo).sliced(parola, testa - parola)) ==
                    LetturaDirettiva::Definizione)
                    testa = nome(spazi(testa));
            }
        }
        return p <= testa;
    };

    // The stretches are read again after the group's last entry when it is
    // not neutral: where its own replacements go does not matter.
    const auto ultimaNonNeutra = [&](int e) { return e == g.fine - 1 && !g.neutro; };

    // Whether the later entries read every form of the replacement of the
    // `L` characters at `p` in place as they read it apart: the neighbours
    // delimit it the same way, and it delimits them as the word did. Only
    // the entries after `e`, the entry replaced there, read the forms.
    const auto alSuoPosto = [&](qsizetype p, qsizetype L, int e,
                                const std::vector<QString> &forme) {
        const QChar prima = p > 0 ? t[p - 1] : spazio;
        const QChar primaPrima = p > 1 ? t[p - 2] : spazio;
        const bool inizio = p == 0 || S(prima, primaPrima);
        const bool fineTesto = p + L == n;
        const QChar dopo = fineTesto ? spazio : t[p + L];
        const bool ultimoDelimita = S(t[p + L - 1], L > 1 ? t[p + L - 2] : prima);
        for (const QString &f : forme) {
            if (f.isEmpty()) {
                // The neighbours meet.
                if (p > 0 && !(sempre(prima) && S(t[p], prima))) return false;
                if (!fineTesto && !(sempre(dopo) && ultimoDelimita)) return false;
                continue;
            }
            if (p > 0) {
                if (!inizio && !m_delimitatori.InizioProprio(f.front())) return false;
                if (S(f.front(), prima) != S(f.front(), spazio)) return false;
                // A word ending just before reads the replacement as its end.
                if (S(f.front(), prima) != S(t[p], prima) && finisceDopo(prima, e)) return false;
            }
            if (!fineTesto) {
                if (!S(dopo, f.back())) return false;
                // A word starting just after reads the replacement as its start.
                const QChar penultimo = f.size() > 1 ? f[f.size() - 2] : prima;
                if (S(f.back(), penultimo) != ultimoDelimita && iniziaDopo(dopo, e)) return false;
            }
        }
        return true;
    };

    std::optional<TestoInCostruzione> R;
    qsizetype p = 0, copiato = 0, fineUnita = -1;
    // With no whole-token word only the characters a trie word begins with matter.
    const bool soloTrie = g.chiavi.empty();
    std::array<bool, 128> iniziaTrie{};
    for (char16_t u = 0; u < 128; ++u)
        iniziaTrie[u] = g.Figlio(0, piega(QChar(u))) >= 0;
    while (p < n) {
        if (soloTrie) {
            while (p < n && t[p].unicode() < 128 && !iniziaTrie[t[p].unicode()])
                ++p;
            if (p == n) break;
        }
        const QChar prima = p > 0 ? t[p - 1] : spazio;
        const QChar primaPrima = p > 1 ? t[p - 2] : spazio;
        int migliore = INT_MAX;
        qsizetype lunghezza = 0, fineToken = -1;
        if ((p == 0 || S(prima, primaPrima)) && !S(t[p], prima)) {
            // A token starts here.
            quint32 h = Mescola(SemeHash, piega(t[p]));
            qsizetype i = p + 1;
            for (; i < n && !S(t[i], t[i - 1]); ++i)
                h = Mescola(h, piega(t[i]));
            fineToken = i;
            const qsizetype L = i - p;
            if (L >= g.minima && L <= g.massima) {
                const int e = g.Cerca(h, t + p, L, piega);
                if (e >= 0) {
                    migliore = e;
                    lunghezza = L;
                }
            }
        }
        for (int nodo = g.Figlio(0, piega(t[p])), i = 1; nodo >= 0;) {
            for (int e : g.nodi[size_t(nodo)].voci) {
                if (e >= migliore) break;
                if (m_voci[size_t(e)].regola.Corrisponde(testo, p, prima, primaPrima,
                                                         p + i < n ? t + p + i : nullptr)) {
                    migliore = e;
                    lunghezza = i;
                    break;
                }
            }
            if (p + i >= n) break;
            nodo = g.Figlio(nodo, piega(t[p + i]));
            ++i;
        }
        if (migliore == INT_MAX || (protette && protette->Protetto(p))) {
            p = fineToken >= 0 && !g.dentroToken ? fineToken : p + 1;
            continue;
        }
        const Lavoro::Esito &esito = risolvi(migliore);
        // Two replacements side by side change each other's neighbours.
        if (p == fineUnita || !alSuoPosto(p, lunghezza, migliore, esito.forme))
            return VoceAVoceSoltanto;
        // In the head of a preprocessor line the entry may change what the
        // scanner keeps: the later entries must read the line again.
        if (g.fuoriDaiPreprocessori && !ultimaNonNeutra(migliore) &&
            (m_voci[size_t(migliore)].fuoriDaiPreprocessori || esito.forme.size() > 1) &&
            inTesta(p))
            return migliore;
        if (!R) R.emplace(n + n / 8 + 64);
        R->Aggiungi(t + copiato, p - copiato);
        R->Aggiungi(esito.risultato.constData(), esito.risultato.size());
        if (lavoro.conSpostamenti)
            lavoro.spostamenti.append({p, lunghezza, esito.risultato.size()});
        lavoro.conta += esito.conta;
        lavoro.nonNeutra = lavoro.nonNeutra || esito.nonNeutra;
        p += lunghezza;
        copiato = fineUnita = p;
    }
    if (!R) {
        lavoro.testo = testo;
        return Letto;
    }
    R->Aggiungi(t + copiato, n - copiato);
    lavoro.testo = R->Fine();
    return Letto;
}

void MotoreCodice::VoceAVoce(const Gruppo &g, QString &testo, ZoneProtette &zone,
                             qsizetype &conta) const
{
    for (int e = g.primo; e < g.fine; ++e) {
        const Voce &v = m_voci[size_t(e)];
        Ricerca::EsitoSostituzione passo = Ricerca::SostituisciOccorrenze(
            testo, v.parola, v.sostituto, m_confronto, m_delimitatori, &zone);
        if (passo.sostituzioni == 0) continue;
        testo = std::move(passo.testo);
        conta += passo.sostituzioni;
        zone = m_regole.ZoneDopo(zone, testo, v.parola, v.sostituto, passo.posizioni);
    }
}

QString MotoreCodice::Applica(QString testo, qsizetype *sostituzioni, Resoconto *resoconto) const
{
    // Each reading writes a new text: the one before is let go at once.
    QString lavoro = std::move(testo);
    ZoneProtette zone = m_regole.Zone(lavoro);
    qsizetype totale = 0;
    if (resoconto) *resoconto = {};
    for (const auto &gruppo : m_gruppi) {
        // A text may split the group where an entry's replacement must be
        // followed by a fresh reading of the stretches.
        std::unique_ptr<Gruppo> parte;
        for (const Gruppo *g = gruppo.get(); g;) {
            if (resoconto) ++resoconto->gruppi;
            Lavoro letto;
            // After the last group no one reads the stretches again.
            const bool ultima = &gruppo == &m_gruppi.back() && g->fine == gruppo->fine;
            letto.conSpostamenti = m_regole.Protegge() && !ultima;
            const int esito = UnaLettura(*g, lavoro, zone, letto);
            if (esito >= 0) {
                parte = Parte(g->primo, esito + 1, false);
                g = parte.get();
                continue;
            }
            const Gruppo &letti = *g;
            std::unique_ptr<Gruppo> resto;
            if (g->fine < gruppo->fine) resto = Parte(g->fine, gruppo->fine, gruppo->neutro);
            g = resto.get();
            if (esito == VoceAVoceSoltanto) {
                if (resoconto) ++resoconto->voceAVoce;
                VoceAVoce(letti, lavoro, zone, totale);
            } else if (letto.conta > 0) {
                lavoro = std::move(letto.testo);
                totale += letto.conta;
                if (letto.conSpostamenti) zone = ZoneDopo(zone, lavoro, letto);
            }
            parte = std::move(resto);
        }
    }
    if (sostituzioni) *sostituzioni = totale;
    return lavoro;
}

ZoneProtette MotoreCodice::ZoneDopo(const ZoneProtette &zone, const QString &testo,
                                    const Lavoro &letto) const
{
    if (!m_regole.Protegge()) return {};
    const QVector<RegoleCodice::Spostamento> &spostamenti = letto.spostamenti;
    if (m_regole.NomiIntatti()) {
        // The names are moved, never found again: what made a word a name
        // (a "set", a "goto") may be what was just replaced.
        const QVector<Zona> commenti =
            !letto.nonNeutra
                ? RegoleCodice::SpostaZone(ZoneProtette(zone.Commenti()), spostamenti).Elenco()
                : ScansionaCodice(testo, m_regole.tipo).Elenco();
        return ZoneProtette(commenti, RegoleCodice::SpostaNomi(zone.Nomi(), spostamenti));
    }
    return !letto.nonNeutra ? RegoleCodice::SpostaZone(zone, spostamenti) : m_regole.Zone(testo);
}
