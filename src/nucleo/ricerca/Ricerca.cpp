#include "Ricerca.h"

#include "nucleo/codice/ScansioneCodice.h"
#include "nucleo/ricerca/CercaVeloce.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace Ricerca {

QChar MaiuscolaNonAscii(QChar c) noexcept
{
    if (c.isSurrogate()) return c;
    const char32_t su = QChar::toUpper(char32_t(c.unicode()));
    return su > 0xFFFF ? c : QChar(char16_t(su));
}

QString Maiuscolo(QStringView testo)
{
    QString risultato(testo.size(), Qt::Uninitialized);
    QChar *out = risultato.data();
    for (qsizetype i = 0; i < testo.size(); ++i)
        out[i] = Maiuscola(testo[i]);
    return risultato;
}

Parola::Parola(const QString &parola, Confronto confronto, Delimitatori delimitatori)
    : m_parola(parola), m_maiuscola(Maiuscolo(parola)), m_confronto(confronto),
      m_delimitatori(delimitatori),
      m_inizioProprio(!parola.isEmpty() && delimitatori.InizioProprio(parola.front()))
{
}

bool Parola::UgualeA(QStringView testo, qsizetype i) const noexcept
{
    const qsizetype L = m_parola.size();
    const QChar *t = testo.data() + i;
    const QChar *p = m_parola.constData();
    if (!m_confronto.ignoraMaiuscole) {
        for (qsizetype k = 0; k < L; ++k)
            if (t[k] != p[k]) return false;
        return true;
    }
    // Identical, or identical once both are upper case.
    const QChar *pm = m_maiuscola.constData();
    for (qsizetype k = 0; k < L; ++k)
        if (t[k] != p[k] && Maiuscola(t[k]) != pm[k]) return false;
    return true;
}

Parola::Lato Parola::SenzaDelimitatore(QChar prima, QChar primaPrima, QChar ultimo,
                                       const QChar *dopo) const noexcept
{
    // The end of the text counts as a delimiter, as its start counts as a space.
    if (!m_delimitatori.Codice()) {
        if (!Separatore(prima)) return Lato::Prima;
        if (dopo && !Separatore(*dopo)) return Lato::Dopo;
        return Lato::Nessuno;
    }
    if (!m_inizioProprio && !m_delimitatori.Separatore(prima, primaPrima)) return Lato::Prima;
    // The character after the candidate follows its last character.
    if (dopo && !m_delimitatori.Separatore(*dopo, ultimo)) return Lato::Dopo;
    return Lato::Nessuno;
}

bool Parola::Corrisponde(QStringView testo, qsizetype i, QChar prima, QChar primaPrima,
                         const QChar *dopo) const noexcept
{
    if (!m_confronto.valido) return false;
    if (m_confronto.soloParoleIntere) {
        const QChar ultimo =
            m_parola.isEmpty() || !m_delimitatori.Codice() ? prima : testo[i + m_parola.size() - 1];
        if (SenzaDelimitatore(prima, primaPrima, ultimo, dopo) != Lato::Nessuno) return false;
    }
    return UgualeA(testo, i);
}

bool Parola::CorrispondeNelTesto(QStringView testo, qsizetype i) const noexcept
{
    const QChar prima = i > 0 ? testo[i - 1] : QLatin1Char(' ');
    if (Escluso(prima, testo[i])) return false;
    const QChar primaPrima = i > 1 ? testo[i - 2] : QLatin1Char(' ');
    const qsizetype dopo = i + m_parola.size();
    return Corrisponde(testo, i, prima, primaPrima,
                       dopo < testo.size() ? testo.data() + dopo : nullptr);
}

Parola::Lato Parola::SenzaDelimitatore(QStringView testo, qsizetype i) const noexcept
{
    const QChar spazio = QLatin1Char(' ');
    const qsizetype fine = i + m_parola.size();
    return SenzaDelimitatore(i > 0 ? testo[i - 1] : spazio, i > 1 ? testo[i - 2] : spazio,
                             fine > i ? testo[fine - 1] : (i > 0 ? testo[i - 1] : spazio),
                             fine < testo.size() ? testo.data() + fine : nullptr);
}

namespace {

qint32 Limita(qint64 valore)
{
    return qint32(std::clamp<qint64>(valore, INT32_MIN, INT32_MAX));
}

} // namespace

PosizioneRicerca PosizioneRicerca::Su(qsizetype indice)
{
    PosizioneRicerca posizione;
    posizione.m_numero = Limita(qint64(indice) + 1);
    return posizione;
}

// The scans count positions from 1 (the index + 1), so that 0 stands before
// the text.
struct Cercatore
{
    QStringView T;
    const Parola &parola;
    qint32 &pos;
    PassoRicerca &passo;

    static qint32 &Numero(PosizioneRicerca &posizione) { return posizione.m_numero; }

    // One attempt forward; whether the end of the text counts as reached.
    bool Avanti(qsizetype selezione)
    {
        const qsizetype n = T.size();
        const qsizetype L = parola.Lunghezza();
        pos = Limita(qint64(pos) + selezione);
        const qint64 inizio = pos;
        // Candidates that would run past the end never match: stop before them.
        const qint64 ultima = std::min<qint64>(n, n - L + 1);
        for (qint64 p = std::max<qint64>(inizio, 1); p <= ultima; ++p) {
            if (parola.CorrispondeNelTesto(T, p - 1)) {
                passo.trovata = Occorrenza{p - 1, L};
                pos = qint32(p);
                return pos >= n;
            }
        }
        pos = Limita(std::max<qint64>(inizio, qint64(n) + 1));
        return pos >= n;
    }

    // One attempt backward; whether the start of the text counts as reached.
    bool Indietro(qsizetype selezione)
    {
        const qsizetype n = T.size();
        const qsizetype L = parola.Lunghezza();
        pos = Limita(qint64(pos) - selezione);
        const qint64 inizio = pos;
        for (qint64 p = std::min<qint64>({inizio, qint64(n), qint64(n) - L + 1}); p >= 1; --p) {
            if (parola.CorrispondeNelTesto(T, p - 1)) {
                passo.trovata = Occorrenza{p - 1, L};
                pos = qint32(p);
                return pos < 2;
            }
        }
        pos = qint32(std::min<qint64>(inizio, 0));
        return pos < 2;
    }
};

PassoRicerca Cerca(QStringView testo, qsizetype lunghezzaSelezione, const Parola &parola,
                   Direzione direzione, PosizioneRicerca &posizione)
{
    PassoRicerca passo;
    const bool avanti = direzione == Direzione::Giu || direzione == Direzione::Tutte;
    const bool indietro = direzione == Direzione::Su;
    qint32 &pos = Cercatore::Numero(posizione);
    const qsizetype lunghezza = testo.size();
    if (avanti && pos >= lunghezza) {
        passo.ricomincia = true;
        pos = 1;
    } else if (indietro && pos < 1) {
        pos = Limita(lunghezza);
        passo.ricomincia = true;
    }
    if (!avanti && !indietro) return passo;

    const qsizetype selezione = passo.ricomincia ? 0 : lunghezzaSelezione;
    Cercatore cercatore{testo, parola, pos, passo};
    if (avanti) {
        if (cercatore.Avanti(selezione)) passo.limite = Domanda::FineTesto;
    } else {
        if (cercatore.Indietro(selezione)) passo.limite = Domanda::InizioTesto;
    }
    return passo;
}

PassoRicerca Cerca(QStringView testo, qsizetype lunghezzaSelezione, const QString &parola,
                   const OpzioniRicerca &opzioni, PosizioneRicerca &posizione)
{
    return Cerca(testo, lunghezzaSelezione,
                 Parola(parola, opzioni.ComeConfronto(), opzioni.delimitatori), opzioni.direzione,
                 posizione);
}

EsitoSostituzione SostituisciOccorrenze(QStringView testo, const QString &parolaCercata,
                                        const QString &sostituto, Confronto confronto,
                                        const Avanzamento &avanzamento, qsizetype passo,
                                        qsizetype inizio, qsizetype fine)
{
    return SostituisciOccorrenze(testo, parolaCercata, sostituto, confronto, Delimitatori(),
                                 nullptr, avanzamento, passo, inizio, fine);
}

EsitoSostituzione SostituisciOccorrenze(QStringView testo, const QString &parolaCercata,
                                        const QString &sostituto, Confronto confronto,
                                        Delimitatori delimitatori, const ZoneProtette *zone,
                                        const Avanzamento &avanzamento, qsizetype passo,
                                        qsizetype inizio, qsizetype fine)
{
    EsitoSostituzione esito;
    const Parola parola(parolaCercata, confronto, delimitatori);
    const qsizetype L = parola.Lunghezza();
    const qsizetype n = testo.size();
    fine = fine < 0 ? n : std::min(fine, n);
    // An empty word would match again right after its own replacement.
    if (L == 0) {
        esito.testo = testo.toString();
        return esito;
    }
    std::optional<CursoreZone> protette;
    if (zone && !zone->Vuote()) protette.emplace(*zone);

    // Unchanged stretches are copied in one piece when a match ends them.
    QString &R = esito.testo;
    R.reserve(n + n / 8);
    qsizetype q = std::clamp<qsizetype>(inizio, 0, fine); // index of the position examined
    qsizetype inizioBlocco = 0;                           // first index not yet copied to R
    // The two characters before inizioBlocco in the working text.
    QChar primaBlocco = QLatin1Char(' '), primaPrimaBlocco = QLatin1Char(' ');
    qsizetype prossimoAvviso = q;
    const FiltroPrimo primo(parolaCercata, confronto.ignoraMaiuscole);
    // Every candidate that ends inside the range, the last one included; the
    // character after it is the text's own (none at the end of the text).
    while (q + L <= fine) {
        if (avanzamento && q >= prossimoAvviso) {
            prossimoAvviso = q + std::max<qsizetype>(passo, 1);
            const qsizetype posizione = R.size() + (q - inizioBlocco) + 1;
            if (!avanzamento(posizione, posizione - 1 + (fine - q))) {
                esito.interrotto = true;
                break;
            }
        }
        const QChar prima = q == inizioBlocco ? primaBlocco : testo[q - 1];
        if (parola.Escluso(prima, testo[q])) {
            q = primo.Prossimo(testo, q + 1, avanzamento ? std::min(prossimoAvviso, n) : n);
            continue;
        }
        const QChar primaPrima = q == inizioBlocco       ? primaPrimaBlocco
                                 : q - 1 == inizioBlocco ? primaBlocco
                                                         : testo[q - 2];
        if (parola.Corrisponde(testo, q, prima, primaPrima,
                               q + L < n ? testo.data() + q + L : nullptr) &&
            !(protette && protette->Protetto(q))) {
            R.append(testo.sliced(inizioBlocco, q - inizioBlocco));
            R.append(sostituto);
            if (protette) esito.posizioni.append(q);
            q += L;
            inizioBlocco = q;
            const qsizetype r = R.size();
            primaBlocco = r > 0 ? R[r - 1] : QChar(u' ');
            primaPrimaBlocco = r > 1 ? R[r - 2] : QChar(u' ');
            ++esito.sostituzioni;
        } else {
            ++q;
        }
    }
    R.append(testo.sliced(inizioBlocco));
    return esito;
}

Intervallo IntervalloSostituzione(Direzione direzione, qsizetype cursore, qsizetype lunghezza)
{
    Intervallo intervallo{0, lunghezza};
    if (direzione == Direzione::Giu) {
        if (cursore > 0 && cursore < lunghezza) intervallo.inizio = cursore - 1;
    } else if (direzione == Direzione::Su) {
        const qsizetype s = cursore <= 1 ? lunghezza : cursore;
        intervallo.fine = std::max<qsizetype>(s - 1, 0);
    }
    return intervallo;
}

} // namespace Ricerca
