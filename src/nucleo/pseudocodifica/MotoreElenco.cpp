#include "MotoreElenco.h"

#include "nucleo/pseudocodifica/MotoreCodice.h"
#include "nucleo/pseudocodifica/TestoInCostruzione.h"

#include "nucleo/ricerca/CercaVeloce.h"
#include "nucleo/ricerca/Ricerca.h"
#include "nucleo/testo/ACapo.h"
#include "nucleo/testo/PagineGrandi.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace {

using Ricerca::Maiuscola;
using Ricerca::Separatore;

struct Voce
{
    QString parola;
    QString maiuscola;
    QString sostituto;
    Ricerca::FiltroPrimo filtro;

    Voce(const QString &p, const QString &s)
        : parola(p), maiuscola(Ricerca::Maiuscolo(p)), sostituto(s), filtro(p, true)
    {
    }
};

// Delimiters as a table for the units below 128; no other unit is one.
constexpr std::array<bool, 128> TabellaSeparatori = [] {
    std::array<bool, 128> t{};
    for (char16_t u = 0; u < 128; ++u)
        t[u] = Separatore(QChar(u));
    return t;
}();

// ASCII units by class: Delimitatore for a delimiter, otherwise the upper case.
constexpr char16_t Delimitatore = 0xFFFF;
constexpr std::array<char16_t, 128> ClasseAscii = [] {
    std::array<char16_t, 128> t{};
    for (char16_t u = 0; u < 128; ++u)
        t[u] = Separatore(QChar(u)) ? Delimitatore : (u >= 'a' && u <= 'z') ? char16_t(u - 32) : u;
    return t;
}();

inline bool Delimita(char16_t u) noexcept
{
    return u < 128 && TabellaSeparatori[u];
}

inline char16_t Su(char16_t u) noexcept
{
    if (u < 128) return (u >= 'a' && u <= 'z') ? char16_t(u - 32) : u;
    return Ricerca::MaiuscolaNonAscii(QChar(u)).unicode();
}

inline quint32 Mescola(quint32 h, char16_t u) noexcept
{
    return (h ^ u) * 16777619u;
}
constexpr quint32 SemeHash = 2166136261u;

// A word with no delimiter, in either case form, can only match whole tokens.
bool SenzaDelimitatori(const QString &parola)
{
    for (QChar c : parola)
        if (Separatore(c) || Separatore(Maiuscola(c))) return false;
    return true;
}

inline bool Uguale(const QChar *t, const Voce &v) noexcept
{
    const QChar *p = v.parola.constData();
    const QChar *pm = v.maiuscola.constData();
    for (qsizetype k = 0, L = v.parola.size(); k < L; ++k)
        if (t[k] != p[k] && Maiuscola(t[k]) != pm[k]) return false;
    return true;
}

// One entry over the whole text, from its start.
qsizetype Passo(QStringView T, const Voce &v, QString &risultato)
{
    const qsizetype L = v.parola.size(), n = T.size();
    if (L == 0 || L > n) return 0;
    const QChar *t = T.data();
    QString R;
    qsizetype conta = 0, blocco = 0, q = 0;
    QChar primaBlocco = QLatin1Char(' '); // the character before `blocco` in the working text
    const qsizetype ultimo = n - L;       // the last index a candidate may start at
    while (q <= ultimo) {
        q = v.filtro.Prossimo(T, q, ultimo + 1);
        if (q > ultimo) break;
        const QChar prima = q == blocco ? primaBlocco : t[q - 1];
        if (Separatore(prima) && (q + L == n || Separatore(t[q + L])) && Uguale(t + q, v)) {
            if (conta == 0) {
                R.reserve(n + n / 8 + v.sostituto.size());
                PagineGrandi(R.constData(), std::size_t(R.capacity()) * 2);
            }
            R.append(T.sliced(blocco, q - blocco));
            R.append(v.sostituto);
            q += L;
            blocco = q;
            primaBlocco = R.isEmpty() ? QLatin1Char(' ') : R.back();
            ++conta;
        } else {
            ++q;
        }
    }
    if (conta == 0) return 0;
    R.append(T.sliced(blocco));
    risultato = std::move(R);
    return conta;
}

} // namespace

struct MotoreElenco::Gruppo
{
    std::vector<Voce> voci;
    bool token = false; // every word free of delimiters

    // The distinct upper-case words of a token group, each with every entry
    // that has it (in order), in an open-addressing table of indices.
    std::vector<QString> parole;
    std::vector<std::vector<int>> vociParola;
    std::vector<quint32> hashParole;
    std::vector<int> tabella; // -1 = empty slot
    quint32 maschera = 0;
    qsizetype minima = 0, massima = 0;
    std::array<bool, 128> iniziali{}; // ASCII units a word may begin with, case aside

    void Prepara()
    {
        QHash<QString, int> viste;
        minima = std::numeric_limits<qsizetype>::max();
        for (int j = 0; j < int(voci.size()); ++j) {
            const QString &su = voci[j].maiuscola;
            if (const auto vista = viste.constFind(su); vista != viste.cend()) {
                vociParola[*vista].push_back(j);
                continue;
            }
            viste.insert(su, int(parole.size()));
            parole.push_back(su);
            vociParola.push_back({j});
            quint32 h = SemeHash;
            for (QChar c : su)
                h = Mescola(h, c.unicode());
            hashParole.push_back(h);
            for (char16_t u = 0; u < 128; ++u)
                iniziali[u] = iniziali[u] || Su(u) == su.front().unicode();
            minima = std::min(minima, su.size());
            massima = std::max(massima, su.size());
        }
        quint32 capienza = 16;
        while (capienza < parole.size() * 4)
            capienza *= 2;
        maschera = capienza - 1;
        tabella.assign(capienza, -1);
        for (int k = 0; k < int(parole.size()); ++k) {
            quint32 s = hashParole[k] & maschera;
            while (tabella[s] >= 0)
                s = (s + 1) & maschera;
            tabella[s] = k;
        }
    }

    // The word the token t[0..L) is, case aside; -1 when none.
    int Cerca(quint32 h, const char16_t *t, qsizetype L) const noexcept
    {
        for (quint32 s = h & maschera;; s = (s + 1) & maschera) {
            const int k = tabella[s];
            if (k < 0) return -1;
            if (hashParole[k] != h || parole[k].size() != L) continue;
            const char16_t *p = reinterpret_cast<const char16_t *>(parole[k].utf16());
            qsizetype i = 0;
            while (i < L && Su(t[i]) == p[i])
                ++i;
            if (i == L) return k;
        }
    }

    // What the entries from `prima` on make of a token that entry `prima` replaces.
    // Every word being free of delimiters, an entry can only change the text
    // when one of its tokens is the entry's word: the entries are taken in
    // order, passing straight to the next one that some token of the text
    // names.
    QString Risolvi(int prima, qsizetype &conta) const
    {
        QString s = voci[prima].sostituto;
        conta = 1;
        for (int j = prima;;) {
            j = ProssimaVoce(s, j);
            if (j < 0) return s;
            QString r;
            if (const qsizetype c = Passo(s, voci[size_t(j)], r)) {
                s = std::move(r);
                conta += c;
            }
        }
    }

    // The first entry after `dopo` whose word is one of the tokens of `s`; -1
    // when there is none.
    int ProssimaVoce(const QString &s, int dopo) const
    {
        int prossima = -1;
        const char16_t *t = reinterpret_cast<const char16_t *>(s.utf16());
        const qsizetype n = s.size();
        for (qsizetype i = 0; i < n;) {
            while (i < n && Delimita(t[i]))
                ++i;
            const qsizetype inizio = i;
            quint32 h = SemeHash;
            for (; i < n && !Delimita(t[i]); ++i)
                h = Mescola(h, Su(t[i]));
            const qsizetype L = i - inizio;
            if (L < minima || L > massima) continue;
            const int k = Cerca(h, t + inizio, L);
            if (k < 0) continue;
            const std::vector<int> &indici = vociParola[size_t(k)];
            const auto dopoDi = std::upper_bound(indici.begin(), indici.end(), dopo);
            if (dopoDi != indici.end() && (prossima < 0 || *dopoDi < prossima)) prossima = *dopoDi;
        }
        return prossima;
    }

    QString ApplicaToken(const QString &T, qsizetype &totale) const
    {
        struct Variante
        {
            QString esatta, risultato;
            qsizetype conta;
        };
        std::vector<std::vector<Variante>> noti(parole.size());
        const qsizetype n = T.size();
        const char16_t *t = reinterpret_cast<const char16_t *>(T.utf16());
        std::optional<TestoInCostruzione> R;
        qsizetype copiato = 0, conta = 0;
        qsizetype i = 0;
        while (i < n) {
            while (i < n && Delimita(t[i]))
                ++i;
            if (i == n) break;
            const qsizetype inizio = i;
            if (t[i] < 128 && !iniziali[t[i]]) {
                // No word begins with this character: on to the next token.
                ++i;
                while (i < n && !Delimita(t[i]))
                    ++i;
                continue;
            }
            quint32 h = SemeHash;
            for (; i < n; ++i) {
                const char16_t u = t[i];
                char16_t su;
                if (u < 128) {
                    su = ClasseAscii[u];
                    if (su == Delimitatore) break;
                } else {
                    su = Ricerca::MaiuscolaNonAscii(QChar(u)).unicode();
                }
                h = Mescola(h, su);
            }
            const qsizetype L = i - inizio;
            if (L < minima || L > massima) continue;
            const int k = Cerca(h, t + inizio, L);
            if (k < 0) continue;
            // Every spelling of the word is worked out once (all have its length).
            const Variante *nota = nullptr;
            for (const Variante &v : noti[k])
                if (std::memcmp(v.esatta.utf16(), t + inizio, std::size_t(L) * 2) == 0) nota = &v;
            if (!nota) {
                Variante v{QStringView(T).sliced(inizio, L).toString(), {}, 0};
                v.risultato = Risolvi(vociParola[k].front(), v.conta);
                noti[k].push_back(std::move(v));
                nota = &noti[k].back();
            }
            if (!R) R.emplace(n + n / 8 + 64);
            R->Aggiungi(t + copiato, inizio - copiato);
            R->Aggiungi(reinterpret_cast<const char16_t *>(nota->risultato.utf16()),
                        nota->risultato.size());
            copiato = i;
            conta += nota->conta;
        }
        if (conta == 0) return T;
        R->Aggiungi(t + copiato, n - copiato);
        totale += conta;
        return R->Fine();
    }
};

MotoreElenco::MotoreElenco(const QVector<VoceSostituzione> &voci)
{
    for (const VoceSostituzione &v : voci) {
        if (SenzaParola(v)) continue;
        m_voci.append(v);
        m_toccaACapo = m_toccaACapo || TieneACapo(v.Trova) || TieneACapo(v.Sostituisci);
        const bool token = SenzaDelimitatori(v.Trova);
        if (!token || m_gruppi.empty() || !m_gruppi.back()->token) {
            m_gruppi.push_back(std::make_unique<Gruppo>());
            m_gruppi.back()->token = token;
        }
        m_gruppi.back()->voci.emplace_back(v.Trova, v.Sostituisci);
    }
    for (auto &g : m_gruppi)
        if (g->token) g->Prepara();
}

MotoreElenco::~MotoreElenco() = default;

bool MotoreElenco::TieneACapo(QStringView testo)
{
    for (QChar c : testo) {
        if (ACapo::Interruzione(c.unicode())) return true;
    }
    return false;
}

QString MotoreElenco::Applica(const QString &testo, qsizetype *sostituzioni) const
{
    QString lavoro = testo;
    qsizetype totale = 0;
    for (const auto &g : m_gruppi) {
        if (g->token) {
            lavoro = g->ApplicaToken(lavoro, totale);
        } else {
            QString r;
            if (const qsizetype c = Passo(lavoro, g->voci.front(), r)) {
                lavoro = std::move(r);
                totale += c;
            }
        }
    }
    if (sostituzioni) *sostituzioni = totale;
    return lavoro;
}

QString MotoreElenco::Applica(QString testo, const RegoleCodice &regole,
                              qsizetype *sostituzioni) const
{
    if (!regole.Attive()) return Applica(testo, sostituzioni);
    return MotoreCodice(m_voci, regole).Applica(std::move(testo), sostituzioni);
}

std::optional<std::vector<MotoreElenco::Esito>> MotoreElenco::EsitiToken() const
{
    std::vector<Esito> esiti;
    if (m_gruppi.size() > 1 || (m_gruppi.size() == 1 && !m_gruppi.front()->token))
        return std::nullopt;
    for (const auto &g : m_gruppi)
        for (size_t k = 0; k < g->parole.size(); ++k) {
            Esito e{g->parole[k], {}, 0};
            e.risultato = g->Risolvi(g->vociParola[k].front(), e.sostituzioni);
            esiti.push_back(std::move(e));
        }
    return esiti;
}
