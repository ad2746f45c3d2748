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

Confronto Confronto::PerTrova(qint16 Maiuscole, qint16 Intere)
{
    return {Intere == 0 || Intere == 1, Maiuscole == 0, Intere == 1};
}

Confronto Confronto::PerSostituzione(qint16 Maiuscole, qint16 Intere)
{
    return {(Maiuscole == 0 || Maiuscole == 1) && (Intere == 0 || Intere == 1), Maiuscole == 0,
            Intere == 1};
}

Parola::Parola(const QString &parola, Confronto confronto, Delimitatori delimitatori)
    : m_parola(parola), m_maiuscola(Maiuscolo(parola)), m_confronto(confronto),
      m_delimitatori(delimitatori)
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

bool Parola::Corrisponde(QStringView testo, qsizetype i, QChar prima, QChar primaPrima,
                         const QChar *dopo) const noexcept
{
    if (!m_confronto.valido) return false;
    // The end of the text counts as a delimiter, as its start counts as a space.
    if (m_confronto.soloParoleIntere) {
        if (!m_delimitatori.Codice()) {
            if (!Separatore(prima) || (dopo && !Separatore(*dopo))) return false;
        } else {
            // The character after the candidate follows its last character.
            const QChar ultimo = m_parola.isEmpty() ? prima : testo[i + m_parola.size() - 1];
            if (!m_delimitatori.Separatore(prima, primaPrima) ||
                (dopo && !m_delimitatori.Separatore(*dopo, ultimo)))
                return false;
        }
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

namespace {

qint32 Limita(qint64 valore)
{
    return qint32(std::clamp<qint64>(valore, INT32_MIN, INT32_MAX));
}

// One attempt forward; returns whether the end of the text counts as reached.
bool ScansioneAvanti(EditorRicerca &editor, qint32 &PosRicerca, const Parola &parola, QStringView T)
{
    const qsizetype n = T.size();
    const qsizetype L = parola.Lunghezza();
    PosRicerca = Limita(qint64(PosRicerca) + editor.SelLength());
    const qint64 inizio = PosRicerca;
    // Candidates that would run past the end never match: stop before them.
    const qint64 ultima = std::min<qint64>(n, n - L + 1);
    for (qint64 p = std::max<qint64>(inizio, 1); p <= ultima; ++p) {
        const qsizetype i = p - 1;
        if (parola.CorrispondeNelTesto(T, i)) {
            editor.Seleziona(i, L);
            PosRicerca = qint32(p);
            return PosRicerca >= n;
        }
    }
    PosRicerca = Limita(std::max<qint64>(inizio, qint64(n) + 1));
    return PosRicerca >= n;
}

// One attempt backward; returns whether the start of the text counts as reached.
bool ScansioneIndietro(EditorRicerca &editor, qint32 &PosRicerca, const Parola &parola,
                       QStringView T)
{
    const qsizetype n = T.size();
    const qsizetype L = parola.Lunghezza();
    PosRicerca = Limita(qint64(PosRicerca) - editor.SelLength());
    const qint64 inizio = PosRicerca;
    for (qint64 p = std::min<qint64>({inizio, qint64(n), qint64(n) - L + 1}); p >= 1; --p) {
        const qsizetype i = p - 1;
        if (parola.CorrispondeNelTesto(T, i)) {
            editor.Seleziona(i, L);
            PosRicerca = qint32(p);
            return PosRicerca < 2;
        }
    }
    PosRicerca = qint32(std::min<qint64>(inizio, 0));
    return PosRicerca < 2;
}

} // namespace

bool CercaParola(EditorRicerca &editor, qint32 &PosRicerca, const QString &parolaCercata,
                 const QString &Modo, qint16 Maiuscole, qint16 Intere, qint16 Direzione,
                 const std::function<bool(Domanda)> &chiedi)
{
    const bool avanti = Direzione == 1 || Direzione == 2;
    const bool indietro = Direzione == 0;
    const bool silenzioso = !Modo.isEmpty();
    const Parola parola(parolaCercata, Confronto::PerTrova(Maiuscole, Intere));
    for (;;) {
        const qsizetype lunghezza = editor.Testo().size();
        if (avanti && PosRicerca >= lunghezza) {
            editor.AzzeraSelLength();
            PosRicerca = 1;
        } else if (indietro && PosRicerca < 1) {
            PosRicerca = Limita(lunghezza);
            editor.AzzeraSelLength();
        }
        if (!avanti && !indietro) return true;

        const QString T = editor.Testo(); // the snapshot of this attempt
        if (avanti) {
            if (!ScansioneAvanti(editor, PosRicerca, parola, T)) return true;
            if (silenzioso || !chiedi || !chiedi(Domanda::FineTesto)) return false;
        } else {
            if (!ScansioneIndietro(editor, PosRicerca, parola, T)) return true;
            if (silenzioso || !chiedi || !chiedi(Domanda::InizioTesto)) return false;
        }
    }
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

Intervallo IntervalloSostituzione(qint16 Direzione, qsizetype cursore, qsizetype lunghezza)
{
    Intervallo intervallo{0, lunghezza};
    if (Direzione == 1) {
        if (cursore > 0 && cursore < lunghezza) intervallo.inizio = cursore - 1;
    } else if (Direzione == 0) {
        const qsizetype s = cursore <= 1 ? lunghezza : cursore;
        intervallo.fine = std::max<qsizetype>(s - 1, 0);
    }
    return intervallo;
}

} // namespace Ricerca
