#include "nucleo/testo/Confronto.h"

#include "nucleo/testo/ACapo.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <vector>

namespace Confronto {

namespace {

bool ParteDiParola(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// A line as tokens: runs of word characters, and single other characters.
// Blanks are not tokens: they are never marked.
QList<Tratto> Gettoni(const QString &riga)
{
    QList<Tratto> gettoni;
    for (qsizetype i = 0; i < riga.size();) {
        if (riga[i].isSpace()) {
            ++i;
            continue;
        }
        qsizetype fine = i + 1;
        if (ParteDiParola(riga[i]))
            while (fine < riga.size() && ParteDiParola(riga[fine]))
                ++fine;
        gettoni.append({i, fine - i});
        i = fine;
    }
    return gettoni;
}

// The hashes of a line's words, sorted: how alike two lines are is how many they share.
std::vector<size_t> ImprontaParole(const QString &riga)
{
    std::vector<size_t> impronta;
    for (const Tratto &t : Gettoni(riga))
        if (ParteDiParola(riga[t.Inizio]))
            impronta.push_back(qHash(QStringView(riga).mid(t.Inizio, t.Lunghezza)));
    std::sort(impronta.begin(), impronta.end());
    return impronta;
}

Riga Coppia(qsizetype originale, qsizetype attuale)
{
    Riga riga;
    riga.Originale = originale;
    riga.Attuale = attuale;
    return riga;
}

void MarcaTutta(const QString &riga, QList<Tratto> *segni)
{
    if (!riga.isEmpty()) segni->append({0, riga.size()});
}

// Lines beyond which a stretch of two texts is no longer aligned by
// likeness but paired in order: the work grows with lines times the difference.
constexpr qsizetype CelleMassime = 60'000'000;
constexpr qsizetype MargineBanda = 8;

// The middle of the two texts with every line as a number: equal lines have
// the same number. Each number knows how often it occurs on each side and
// the words of its line, hashed once when first needed.
class Numerate
{
public:
    Numerate(const QStringList &a, qsizetype inizioA, qsizetype fineA, const QStringList &b,
             qsizetype inizioB, qsizetype fineB)
        : m_inizioA(inizioA), m_inizioB(inizioB)
    {
        QHash<QStringView, int> numeri;
        numeri.reserve(fineA - inizioA);
        auto numera = [&](const QStringList &righe, qsizetype inizio, qsizetype fine,
                          std::vector<int> *lato, bool originale) {
            lato->reserve(size_t(fine - inizio));
            for (qsizetype k = inizio; k < fine; ++k) {
                const qsizetype prima = numeri.size();
                int &numero = numeri[QStringView(righe[k])];
                if (numeri.size() != prima) {
                    numero = int(m_contaA.size());
                    m_contaA.push_back(0), m_contaB.push_back(0), m_postoB.push_back(-1);
                    m_riga.push_back(&righe[k]);
                }
                if (originale) {
                    ++m_contaA[size_t(numero)];
                } else {
                    ++m_contaB[size_t(numero)];
                    m_postoB[size_t(numero)] = k - inizio;
                }
                lato->push_back(numero);
            }
        };
        numera(a, inizioA, fineA, &A, true);
        numera(b, inizioB, fineB, &B, false);
        m_inizioParole.assign(m_contaA.size(), -1);
        m_fineParole.assign(m_contaA.size(), -1);
    }

    // Lines of the middle, relative to its start, as numbers.
    std::vector<int> A, B;

    qsizetype RigaA(qsizetype i) const { return m_inizioA + i; }
    qsizetype RigaB(qsizetype j) const { return m_inizioB + j; }

    // The lines that occur exactly once on each side, as (i, j) pairs in the
    // order of the original, when a line next to them is also equal on both
    // sides: a line found once on each side by chance (one removed here, its
    // like added far away) would pull the texts out of step.
    std::vector<std::pair<qsizetype, qsizetype>> Uniche() const
    {
        const qsizetype n = qsizetype(A.size()), m = qsizetype(B.size());
        std::vector<std::pair<qsizetype, qsizetype>> uniche;
        for (qsizetype i = 0; i < n; ++i) {
            const size_t numero = size_t(A[size_t(i)]);
            if (m_contaA[numero] != 1 || m_contaB[numero] != 1) continue;
            const qsizetype j = m_postoB[numero];
            if ((i > 0 && j > 0 && A[size_t(i - 1)] == B[size_t(j - 1)]) ||
                (i + 1 < n && j + 1 < m && A[size_t(i + 1)] == B[size_t(j + 1)]))
                uniche.emplace_back(i, j);
        }
        return uniche;
    }

    // How alike two different lines are: the words they share.
    int Somiglianza(int x, int y)
    {
        Parole(x), Parole(y);
        const size_t *p = m_parole.data() + m_inizioParole[size_t(x)],
                     *fineP = m_parole.data() + m_fineParole[size_t(x)];
        const size_t *q = m_parole.data() + m_inizioParole[size_t(y)],
                     *fineQ = m_parole.data() + m_fineParole[size_t(y)];
        int comuni = 0;
        while (p < fineP && q < fineQ) {
            if (*p < *q)
                ++p;
            else if (*q < *p)
                ++q;
            else
                ++comuni, ++p, ++q;
        }
        return comuni;
    }
    int ContaParole(int x)
    {
        Parole(x);
        return int(m_fineParole[size_t(x)] - m_inizioParole[size_t(x)]);
    }

private:
    void Parole(int x)
    {
        if (m_inizioParole[size_t(x)] >= 0) return;
        const std::vector<size_t> impronta = ImprontaParole(*m_riga[size_t(x)]);
        m_inizioParole[size_t(x)] = qsizetype(m_parole.size());
        m_parole.insert(m_parole.end(), impronta.begin(), impronta.end());
        m_fineParole[size_t(x)] = qsizetype(m_parole.size());
    }

    qsizetype m_inizioA, m_inizioB;
    std::vector<int> m_contaA, m_contaB;
    std::vector<qsizetype> m_postoB;
    std::vector<const QString *> m_riga;
    std::vector<size_t> m_parole;
    std::vector<qsizetype> m_inizioParole, m_fineParole;
};

void AccodaInOrdine(const Numerate &nu, qsizetype inizioA, qsizetype fineA, qsizetype inizioB,
                    qsizetype fineB, QList<Riga> *righe)
{
    const qsizetype n = fineA - inizioA, m = fineB - inizioB;
    const qsizetype comuni = std::min(n, m);
    for (qsizetype k = 0; k < comuni; ++k)
        righe->append(Coppia(nu.RigaA(inizioA + k), nu.RigaB(inizioB + k)));
    for (qsizetype k = comuni; k < n; ++k)
        righe->append(Coppia(nu.RigaA(inizioA + k), -1));
    for (qsizetype k = comuni; k < m; ++k)
        righe->append(Coppia(-1, nu.RigaB(inizioB + k)));
}

// Aligns A[inizioA, fineA) with B[inizioB, fineB): first as few changed rows
// as can be (a pair of equal lines is no change, any other pair one, a line
// standing alone one), then among those the pairs of most alike lines. So a
// line changed in place stays beside its original and the lines a change
// added or removed stand alone. A band around the diagonal keeps it linear
// in the number of lines.
void AllineaTratto(Numerate &nu, qsizetype inizioA, qsizetype fineA, qsizetype inizioB,
                   qsizetype fineB, QList<Riga> *righe)
{
    // Equal lines at the ends of the stretch pair with each other.
    while (inizioA < fineA && inizioB < fineB && nu.A[size_t(inizioA)] == nu.B[size_t(inizioB)])
        righe->append(Coppia(nu.RigaA(inizioA++), nu.RigaB(inizioB++)));
    qsizetype dopo = 0;
    while (inizioA < fineA - dopo && inizioB < fineB - dopo &&
           nu.A[size_t(fineA - 1 - dopo)] == nu.B[size_t(fineB - 1 - dopo)])
        ++dopo;
    fineA -= dopo, fineB -= dopo;

    const qsizetype n = fineA - inizioA, m = fineB - inizioB;
    const qsizetype banda = std::abs(n - m) + MargineBanda;
    const qsizetype larghezza = 2 * banda + 1;
    // No line against some: they stand alone; one against one: they pair.
    if (n == 0 || m == 0 || (n == 1 && m == 1) || (n + 1) * larghezza > CelleMassime) {
        AccodaInOrdine(nu, inizioA, fineA, inizioB, fineB, righe);
    } else {
        // Score: rows spared (a pair of equal lines spares two, any other
        // pair one) in the high half, likeness in the low half. Only two rows
        // of scores are kept; the moves are kept for the way back.
        constexpr qint64 Fuori = std::numeric_limits<qint64>::min();
        constexpr qint64 Risparmio = qint64(1) << 32;
        std::vector<qint64> precedente(size_t(larghezza), Fuori),
            corrente(size_t(larghezza), Fuori);
        std::vector<unsigned char> mossa(size_t((n + 1) * larghezza), 0); // 1 pair, 2 a, 3 b alone
        for (qsizetype i = 0; i <= n; ++i) {
            std::fill(corrente.begin(), corrente.end(), Fuori);
            const qsizetype primaJ = std::max<qsizetype>(0, i - banda),
                            ultimaJ = std::min(m, i + banda);
            for (qsizetype j = primaJ; j <= ultimaJ; ++j) {
                const qsizetype k = j - i + banda;
                if (i == 0 && j == 0) {
                    corrente[size_t(k)] = 0;
                    continue;
                }
                qint64 migliore = Fuori;
                unsigned char scelta = 0;
                // On a tie a line stands alone rather than pairs: read from
                // the end back, the pairs come first.
                if (i > 0 && j > 0 && precedente[size_t(k)] != Fuori) {
                    const int x = nu.A[size_t(inizioA + i - 1)], y = nu.B[size_t(inizioB + j - 1)];
                    // Equal lines weigh most; then shared words, plus one so
                    // that pairing beats standing alone.
                    const qint64 guadagno = x == y ? 2 * Risparmio + 4 * nu.ContaParole(x) + 4
                                                   : Risparmio + nu.Somiglianza(x, y) + 1;
                    migliore = precedente[size_t(k)] + guadagno, scelta = 1;
                }
                if (i > 0 && k + 1 < larghezza && precedente[size_t(k + 1)] != Fuori &&
                    precedente[size_t(k + 1)] >= migliore)
                    migliore = precedente[size_t(k + 1)], scelta = 2;
                if (j > 0 && k > 0 && corrente[size_t(k - 1)] != Fuori &&
                    corrente[size_t(k - 1)] >= migliore)
                    migliore = corrente[size_t(k - 1)], scelta = 3;
                corrente[size_t(k)] = migliore;
                mossa[size_t(i * larghezza + k)] = scelta;
            }
            std::swap(precedente, corrente);
        }
        QList<Riga> inverse;
        for (qsizetype i = n, j = m; i > 0 || j > 0;) {
            switch (mossa[size_t(i * larghezza + j - i + banda)]) {
            case 1:
                --i, --j;
                inverse.append(Coppia(nu.RigaA(inizioA + i), nu.RigaB(inizioB + j)));
                break;
            case 2:
                --i;
                inverse.append(Coppia(nu.RigaA(inizioA + i), -1));
                break;
            default:
                --j;
                inverse.append(Coppia(-1, nu.RigaB(inizioB + j)));
                break;
            }
        }
        for (qsizetype k = inverse.size() - 1; k >= 0; --k)
            righe->append(inverse[k]);
    }
    for (qsizetype k = 0; k < dopo; ++k)
        righe->append(Coppia(nu.RigaA(fineA + k), nu.RigaB(fineB + k)));
}

// The longest run of unique lines in increasing order on both sides: the
// lines that surely did not change and split the texts into stretches.
std::vector<std::pair<qsizetype, qsizetype>>
Ancore(const std::vector<std::pair<qsizetype, qsizetype>> &uniche)
{
    // Longest increasing subsequence of the positions in the current text.
    std::vector<qsizetype> code;                 // per length, the index of its smallest tail
    std::vector<qsizetype> prima(uniche.size()); // the previous anchor in the run
    for (qsizetype u = 0; u < qsizetype(uniche.size()); ++u) {
        const auto posto = std::lower_bound(
            code.begin(), code.end(), uniche[size_t(u)].second,
            [&](qsizetype c, qsizetype j) { return uniche[size_t(c)].second < j; });
        prima[size_t(u)] = posto == code.begin() ? -1 : *(posto - 1);
        if (posto == code.end())
            code.push_back(u);
        else
            *posto = u;
    }
    std::vector<std::pair<qsizetype, qsizetype>> ancore(code.size());
    for (qsizetype u = code.empty() ? -1 : code.back(), k = qsizetype(code.size()) - 1; u >= 0;
         u = prima[size_t(u)], --k)
        ancore[size_t(k)] = uniche[size_t(u)];
    return ancore;
}

// Aligns a[inizioA, fineA) with b[inizioB, fineB): split at the anchors, each
// stretch between them aligned on its own. Never more changed rows than
// pairing the lines in order would give (anchors far apart on the two sides,
// a line moved, could cost more).
void AllineaMezzo(const QStringList &a, qsizetype inizioA, qsizetype fineA, const QStringList &b,
                  qsizetype inizioB, qsizetype fineB, QList<Riga> *righe)
{
    Numerate nu(a, inizioA, fineA, b, inizioB, fineB);
    const qsizetype n = fineA - inizioA, m = fineB - inizioB;
    const qsizetype primaRiga = righe->size();
    qsizetype i = 0, j = 0;
    for (const auto &[ai, bj] : Ancore(nu.Uniche())) {
        AllineaTratto(nu, i, ai, j, bj, righe);
        righe->append(Coppia(nu.RigaA(ai), nu.RigaB(bj)));
        i = ai + 1, j = bj + 1;
    }
    AllineaTratto(nu, i, n, j, m, righe);

    auto cambiate = [&](qsizetype daRiga) {
        qsizetype conta = 0;
        for (qsizetype k = daRiga; k < righe->size(); ++k) {
            const Riga &riga = righe->at(k);
            conta += riga.Originale < 0 || riga.Attuale < 0 ||
                     nu.A[size_t(riga.Originale - inizioA)] != nu.B[size_t(riga.Attuale - inizioB)];
        }
        return conta;
    };
    qsizetype inOrdine = std::abs(n - m);
    for (qsizetype k = 0; k < std::min(n, m); ++k)
        inOrdine += nu.A[size_t(k)] != nu.B[size_t(k)];
    if (cambiate(primaRiga) > inOrdine) {
        righe->resize(primaRiga);
        AccodaInOrdine(nu, 0, n, 0, m, righe);
    }
}

} // namespace

namespace {

// Calls `riga(inizio, fine)` for each line of `testo`, its break excluded; a
// line ends where the editor ends one (CR LF, CR, LF and the separators).
template <typename Riga> void PerOgniRiga(const QString &testo, Riga riga)
{
    qsizetype inizio = 0;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const char16_t u = testo[i].unicode();
        if (!ACapo::Interruzione(u)) continue;
        riga(inizio, i);
        if (u == u'\r' && i + 1 < testo.size() && testo[i + 1] == u'\n') ++i;
        inizio = i + 1;
    }
    riga(inizio, testo.size());
}

} // namespace

QStringList Righe(const QString &testo)
{
    QStringList righe;
    PerOgniRiga(testo, [&](qsizetype inizio, qsizetype fine) {
        righe.append(testo.mid(inizio, fine - inizio));
    });
    return righe;
}

void SegniParole(const QString &a, const QString &b, QList<Tratto> *segniA, QList<Tratto> *segniB)
{
    const QList<Tratto> ga = Gettoni(a), gb = Gettoni(b);
    const qsizetype n = ga.size(), m = gb.size();
    // A very long line is marked whole rather than compared token by token.
    if (n * m > 4'000'000) {
        MarcaTutta(a, segniA);
        MarcaTutta(b, segniB);
        return;
    }
    auto uguali = [&](qsizetype i, qsizetype j) {
        return QStringView(a).mid(ga[i].Inizio, ga[i].Lunghezza) ==
               QStringView(b).mid(gb[j].Inizio, gb[j].Lunghezza);
    };
    // Longest common token sequence; what is outside it changed.
    std::vector<int> lcs(size_t((n + 1) * (m + 1)), 0);
    auto L = [&](qsizetype i, qsizetype j) -> int & { return lcs[size_t(i * (m + 1) + j)]; };
    for (qsizetype i = n - 1; i >= 0; --i)
        for (qsizetype j = m - 1; j >= 0; --j)
            L(i, j) = uguali(i, j) ? L(i + 1, j + 1) + 1 : std::max(L(i + 1, j), L(i, j + 1));
    qsizetype i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && uguali(i, j)) {
            ++i, ++j;
        } else if (j < m && (i == n || L(i, j + 1) >= L(i + 1, j))) {
            segniB->append(gb[j++]);
        } else {
            segniA->append(ga[i++]);
        }
    }
}

qsizetype CambiamentoSuccessivo(const Risultato &r, qsizetype corrente)
{
    const auto dopo = std::upper_bound(r.Cambiamenti.cbegin(), r.Cambiamenti.cend(), corrente);
    return dopo == r.Cambiamenti.cend() ? -1 : *dopo;
}

qsizetype CambiamentoPrecedente(const Risultato &r, qsizetype corrente)
{
    const auto prima = std::lower_bound(r.Cambiamenti.cbegin(), r.Cambiamenti.cend(), corrente);
    return prima == r.Cambiamenti.cbegin() ? -1 : *(prima - 1);
}

qsizetype NumeroCambiamento(const Risultato &r, qsizetype riga)
{
    if (riga < 0 || riga >= r.Righe.size() || !r.Righe[riga].Cambiata) return 0;
    // The changes that start at or before the row: the last of them holds it.
    return std::upper_bound(r.Cambiamenti.cbegin(), r.Cambiamenti.cend(), riga) -
           r.Cambiamenti.cbegin();
}

QString DescriviCambiamento(const Risultato &r, qsizetype riga)
{
    const qsizetype totale = r.Cambiamenti.size();
    if (totale == 0) return QStringLiteral("Nessun cambiamento");
    if (const qsizetype n = NumeroCambiamento(r, riga))
        return QStringLiteral("Cambiamento %1 di %2").arg(n).arg(totale);
    return totale == 1 ? QStringLiteral("1 cambiamento")
                       : QStringLiteral("%1 cambiamenti").arg(totale);
}

QList<qsizetype> RigheMostrate(const Risultato &r, bool soloCambiate)
{
    QList<qsizetype> righe;
    righe.reserve(soloCambiate ? r.RigheCambiate : r.Righe.size());
    for (qsizetype k = 0; k < r.Righe.size(); ++k)
        if (!soloCambiate || r.Righe[k].Cambiata) righe.append(k);
    return righe;
}

qsizetype Cerca(const Risultato &r, const QList<qsizetype> &righe, const QString &testo,
                qsizetype da, bool avanti)
{
    const qsizetype n = righe.size();
    if (testo.isEmpty() || n == 0) return -1;
    const auto contiene = [&](const QStringList &linee, qsizetype linea) {
        return linea >= 0 && linee[linea].contains(testo, Qt::CaseInsensitive);
    };
    // From the row after (or before) `da`, once round, `da` itself last.
    // From none (or beyond the rows), forward starts at the first row and
    // backward at the last.
    const qsizetype inizio =
        avanti ? std::clamp<qsizetype>(da, -1, n - 1) : (da < 0 || da >= n ? n : da);
    for (qsizetype passo = 1; passo <= n; ++passo) {
        qsizetype k = avanti ? inizio + passo : inizio - passo;
        k = ((k % n) + n) % n;
        const Riga &riga = r.Righe[righe[k]];
        if (contiene(r.RigheOriginale, riga.Originale) || contiene(r.RigheAttuale, riga.Attuale))
            return k;
    }
    return -1;
}

qsizetype RigaAttuale(const Risultato &r, qsizetype riga)
{
    if (riga < 0 || riga >= r.Righe.size()) return -1;
    for (qsizetype k = riga; k < r.Righe.size(); ++k)
        if (r.Righe[k].Attuale >= 0) return r.Righe[k].Attuale;
    for (qsizetype k = riga - 1; k >= 0; --k)
        if (r.Righe[k].Attuale >= 0) return r.Righe[k].Attuale;
    return -1;
}

Risultato Confronta(const QString &originale, const QString &attuale)
{
    Risultato r;
    r.RigheOriginale = Righe(originale);
    r.RigheAttuale = Righe(attuale);
    const QStringList &a = r.RigheOriginale, &b = r.RigheAttuale;
    const qsizetype n = a.size(), m = b.size();
    r.Righe.reserve(std::max(n, m));
    if (n == m) {
        for (qsizetype k = 0; k < n; ++k)
            r.Righe.append(Coppia(k, k));
    } else {
        qsizetype prima = 0;
        while (prima < n && prima < m && a[prima] == b[prima])
            ++prima;
        qsizetype dopo = 0;
        while (dopo < n - prima && dopo < m - prima && a[n - 1 - dopo] == b[m - 1 - dopo])
            ++dopo;
        for (qsizetype k = 0; k < prima; ++k)
            r.Righe.append(Coppia(k, k));
        AllineaMezzo(a, prima, n - dopo, b, prima, m - dopo, &r.Righe);
        for (qsizetype k = dopo; k > 0; --k)
            r.Righe.append(Coppia(n - k, m - k));
    }
    for (Riga &riga : r.Righe) {
        if (riga.Originale < 0) {
            riga.Cambiata = true;
            MarcaTutta(b[riga.Attuale], &riga.SegniAttuale);
        } else if (riga.Attuale < 0) {
            riga.Cambiata = true;
            MarcaTutta(a[riga.Originale], &riga.SegniOriginale);
        } else if (a[riga.Originale] != b[riga.Attuale]) {
            riga.Cambiata = true;
            SegniParole(a[riga.Originale], b[riga.Attuale], &riga.SegniOriginale,
                        &riga.SegniAttuale);
        }
        if (riga.Cambiata) ++r.RigheCambiate;
    }
    for (qsizetype k = 0; k < r.Righe.size(); ++k)
        if (r.Righe[k].Cambiata && (k == 0 || !r.Righe[k - 1].Cambiata)) r.Cambiamenti.append(k);
    return r;
}

namespace {
QList<TrattoInRiga> TrattiDi(const Risultato &r, const QString &testo, bool originale,
                             const QList<std::pair<qsizetype, qsizetype>> &tratti)
{
    // Where each line of `testo` starts and ends, split as Righe() splits it.
    std::vector<qsizetype> inizi, fini;
    PerOgniRiga(testo, [&](qsizetype inizio, qsizetype fine) {
        inizi.push_back(inizio);
        fini.push_back(fine);
    });
    std::vector<qsizetype> rigaDellaLinea(inizi.size(), -1);
    for (qsizetype k = 0; k < r.Righe.size(); ++k) {
        const qsizetype linea = originale ? r.Righe[k].Originale : r.Righe[k].Attuale;
        if (linea >= 0 && size_t(linea) < rigaDellaLinea.size()) rigaDellaLinea[size_t(linea)] = k;
    }
    QList<TrattoInRiga> risultato;
    for (const auto &[inizio, lunghezza] : tratti) {
        const qsizetype da = std::clamp<qsizetype>(inizio, 0, testo.size());
        const qsizetype a = std::clamp<qsizetype>(inizio + lunghezza, da, testo.size());
        // The line holding `da`: the last one starting at or before it.
        size_t linea = size_t(std::upper_bound(inizi.begin(), inizi.end(), da) - inizi.begin()) - 1;
        for (; linea < inizi.size() && inizi[linea] < a; ++linea) {
            const qsizetype pezzoDa = std::max(da, inizi[linea]);
            const qsizetype pezzoA = std::min(a, fini[linea]);
            if (pezzoA > pezzoDa && rigaDellaLinea[linea] >= 0)
                risultato.append(TrattoInRiga{rigaDellaLinea[linea],
                                              {pezzoDa - inizi[linea], pezzoA - pezzoDa}});
        }
    }
    return risultato;
}

} // namespace

QList<TrattoInRiga> TrattiAttuali(const Risultato &r, const QString &attuale,
                                  const QList<std::pair<qsizetype, qsizetype>> &tratti)
{
    return TrattiDi(r, attuale, false, tratti);
}

QList<TrattoInRiga> TrattiOriginali(const Risultato &r, const QString &originale,
                                    const QList<std::pair<qsizetype, qsizetype>> &tratti)
{
    return TrattiDi(r, originale, true, tratti);
}

} // namespace Confronto
