#include "nucleo/testo/Confronto.h"

#include <QHash>

#include <algorithm>
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

int Somiglianza(const std::vector<size_t> &a, const std::vector<size_t> &b)
{
    int comuni = 0;
    for (size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        if (a[i] < b[j])
            ++i;
        else if (b[j] < a[i])
            ++j;
        else
            ++comuni, ++i, ++j;
    }
    return comuni;
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

// Lines beyond which the middle of two texts is no longer aligned by
// likeness but paired in order: the work grows with lines times the difference.
constexpr qsizetype CelleMassime = 60'000'000;
constexpr qsizetype MargineBanda = 8;

// Pairs a[inizioA, fineA) with b[inizioB, fineB): the lines of the longer side
// that fit the other's lines least stand alone. A band around the diagonal
// keeps it linear in the number of lines.
void AllineaMezzo(const QStringList &a, qsizetype inizioA, qsizetype fineA, const QStringList &b,
                  qsizetype inizioB, qsizetype fineB, QList<Riga> *righe)
{
    const qsizetype n = fineA - inizioA, m = fineB - inizioB;
    const qsizetype differenza = std::abs(n - m);
    const qsizetype banda = differenza + MargineBanda;
    const qsizetype larghezza = 2 * banda + 1;
    if (n == 0 || m == 0 || (n + 1) * larghezza > CelleMassime) {
        const qsizetype comuni = std::min(n, m);
        for (qsizetype k = 0; k < comuni; ++k)
            righe->append(Coppia(inizioA + k, inizioB + k));
        for (qsizetype k = comuni; k < n; ++k)
            righe->append(Coppia(inizioA + k, -1));
        for (qsizetype k = comuni; k < m; ++k)
            righe->append(Coppia(-1, inizioB + k));
        return;
    }
    std::vector<std::vector<size_t>> impA(n), impB(m);
    for (qsizetype i = 0; i < n; ++i)
        impA[i] = ImprontaParole(a[inizioA + i]);
    for (qsizetype j = 0; j < m; ++j)
        impB[j] = ImprontaParole(b[inizioB + j]);

    // Cell (i, j) with j - i + banda in [0, larghezza): best likeness of
    // a[0, i) beside b[0, j), and the move that reached it.
    constexpr int Fuori = -1;
    std::vector<int> punti(size_t((n + 1) * larghezza), Fuori);
    std::vector<unsigned char> mossa(size_t((n + 1) * larghezza),
                                     0); // 1 pair, 2 a alone, 3 b alone
    auto cella = [&](qsizetype i, qsizetype j) -> qsizetype {
        const qsizetype k = j - i + banda;
        return (k < 0 || k >= larghezza || j < 0 || j > m) ? -1 : i * larghezza + k;
    };
    punti[size_t(cella(0, 0))] = 0;
    for (qsizetype i = 0; i <= n; ++i) {
        for (qsizetype j = std::max<qsizetype>(0, i - banda); j <= std::min(m, i + banda); ++j) {
            const qsizetype c = cella(i, j);
            if (i == 0 && j == 0) continue;
            int migliore = Fuori;
            unsigned char scelta = 0;
            // On a tie a line stands alone rather than pairs: read from the
            // end back, the pairs come first.
            if (i > 0 && j > 0) {
                const qsizetype p = cella(i - 1, j - 1);
                if (p >= 0 && punti[size_t(p)] != Fuori) {
                    const std::vector<size_t> &x = impA[size_t(i - 1)], &y = impB[size_t(j - 1)];
                    // Equal lines weigh most; then shared words, plus one so
                    // that pairing beats standing alone.
                    const int guadagno = a[inizioA + i - 1] == b[inizioB + j - 1]
                                             ? 4 * int(x.size()) + 4
                                             : Somiglianza(x, y) + 1;
                    migliore = punti[size_t(p)] + guadagno, scelta = 1;
                }
            }
            if (i > 0) {
                const qsizetype p = cella(i - 1, j);
                if (p >= 0 && punti[size_t(p)] != Fuori && punti[size_t(p)] >= migliore)
                    migliore = punti[size_t(p)], scelta = 2;
            }
            if (j > 0) {
                const qsizetype p = cella(i, j - 1);
                if (p >= 0 && punti[size_t(p)] != Fuori && punti[size_t(p)] >= migliore)
                    migliore = punti[size_t(p)], scelta = 3;
            }
            punti[size_t(c)] = migliore;
            mossa[size_t(c)] = scelta;
        }
    }
    QList<Riga> inverse;
    for (qsizetype i = n, j = m; i > 0 || j > 0;) {
        switch (mossa[size_t(cella(i, j))]) {
        case 1:
            --i, --j;
            inverse.append(Coppia(inizioA + i, inizioB + j));
            break;
        case 2:
            --i;
            inverse.append(Coppia(inizioA + i, -1));
            break;
        default:
            --j;
            inverse.append(Coppia(-1, inizioB + j));
            break;
        }
    }
    for (qsizetype k = inverse.size() - 1; k >= 0; --k)
        righe->append(inverse[k]);
}

} // namespace

QStringList Righe(const QString &testo)
{
    QStringList righe;
    qsizetype inizio = 0;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const char16_t u = testo[i].unicode();
        if (u != u'\r' && u != u'\n' && u != 0x2029) continue;
        righe.append(testo.mid(inizio, i - inizio));
        if (u == u'\r' && i + 1 < testo.size() && testo[i + 1] == u'\n') ++i;
        inizio = i + 1;
    }
    righe.append(testo.mid(inizio));
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

namespace {
bool InizioCambiamento(const Risultato &r, qsizetype k)
{
    return r.Righe[k].Cambiata && (k == 0 || !r.Righe[k - 1].Cambiata);
}
} // namespace

qsizetype CambiamentoSuccessivo(const Risultato &r, qsizetype corrente)
{
    for (qsizetype k = std::max<qsizetype>(corrente + 1, 0); k < r.Righe.size(); ++k)
        if (InizioCambiamento(r, k)) return k;
    return -1;
}

qsizetype CambiamentoPrecedente(const Risultato &r, qsizetype corrente)
{
    for (qsizetype k = std::min(corrente, r.Righe.size()) - 1; k >= 0; --k)
        if (InizioCambiamento(r, k)) return k;
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
    return r;
}

QList<TrattoInRiga> TrattiAttuali(const Risultato &r, const QString &attuale,
                                  const QList<std::pair<qsizetype, qsizetype>> &tratti)
{
    // Where each line of `attuale` starts and ends, split as Righe() splits it.
    std::vector<qsizetype> inizi{0}, fini;
    for (qsizetype i = 0; i < attuale.size(); ++i) {
        const char16_t u = attuale[i].unicode();
        if (u != u'\r' && u != u'\n' && u != 0x2029) continue;
        fini.push_back(i);
        if (u == u'\r' && i + 1 < attuale.size() && attuale[i + 1] == u'\n') ++i;
        inizi.push_back(i + 1);
    }
    fini.push_back(attuale.size());
    std::vector<qsizetype> rigaDellaLinea(inizi.size(), -1);
    for (qsizetype k = 0; k < r.Righe.size(); ++k) {
        const qsizetype linea = r.Righe[k].Attuale;
        if (linea >= 0 && size_t(linea) < rigaDellaLinea.size()) rigaDellaLinea[size_t(linea)] = k;
    }
    QList<TrattoInRiga> risultato;
    for (const auto &[inizio, lunghezza] : tratti) {
        const qsizetype da = std::clamp<qsizetype>(inizio, 0, attuale.size());
        const qsizetype a = std::clamp<qsizetype>(inizio + lunghezza, da, attuale.size());
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

} // namespace Confronto
