#include "Pseudocodifica.h"

#include "nucleo/pseudocodifica/MotoreElenco.h"

#include <algorithm>

namespace Pseudocodifica {

Ricerca::Confronto Regole(const RegoleCodice &regole)
{
    return Ricerca::Confronto::PerSostituzione(regole.MaiuscoleEsatte(), true);
}

QVector<VoceSostituzione> VociDaPercorrere(const QVector<VoceSostituzione> &record)
{
    QVector<VoceSostituzione> voci;
    voci.reserve(record.size());
    for (const VoceSostituzione &voce : record)
        if (!SenzaParola(voce)) voci.append(voce);
    return voci;
}

qsizetype Trova(QStringView testo, const Ricerca::Parola &parola, qsizetype da,
                const Ricerca::Avanzamento &avanzamento, qsizetype passo, bool *interrotta,
                const ZoneProtette *zone)
{
    std::optional<CursoreZone> protette;
    if (zone && !zone->Vuote()) protette.emplace(*zone);
    if (interrotta) *interrotta = false;
    if (parola.Lunghezza() == 0) return -1;                     // an empty word is never looked for
    const qsizetype ultimo = testo.size() - parola.Lunghezza(); // last index a candidate fits at
    const qsizetype primo = std::max<qsizetype>(da, 0);
    const qsizetype blocco = avanzamento ? std::max<qsizetype>(passo, 1) : ultimo + 1;
    for (qsizetype i = primo; i <= ultimo;) {
        if (avanzamento && !avanzamento(i + 1, testo.size())) {
            if (interrotta) *interrotta = true;
            return -1;
        }
        // Most positions fail on the character before or the first character:
        // that test is inline, the full one a call.
        const qsizetype fineBlocco = std::min(ultimo, i + blocco - 1);
        QChar prima = i > 0 ? testo[i - 1] : QLatin1Char(' ');
        for (; i <= fineBlocco; ++i) {
            const QChar c = testo[i];
            if (!parola.Escluso(prima, c) && parola.CorrispondeNelTesto(testo, i) &&
                !(protette && protette->Protetto(i)))
                return i;
            prima = c;
        }
    }
    return -1;
}

Percorso::Percorso(const QVector<VoceSostituzione> &record, const RegoleCodice &regole)
    : m_voci(VociDaPercorrere(record)), m_regole(regole)
{
}

ZoneProtette Percorso::ZoneDi(QStringView testo) const
{
    if (m_zoneConservate && testo == m_testoZone) return m_zone;
    return m_regole.Zone(testo);
}

const ZoneProtette &Percorso::ZonePer(QStringView testo)
{
    // Without protection there are no stretches.
    if (m_regole.Protegge() && !(m_zoneConservate && testo == m_testoZone))
        Conserva(testo.toString(), m_regole.Zone(testo));
    return m_zone;
}

void Percorso::Conserva(const QString &testo, ZoneProtette zone)
{
    // Without protection there is nothing to keep.
    m_zoneConservate = m_regole.Protegge();
    m_testoZone = m_zoneConservate ? testo : QString();
    m_zone = std::move(zone);
}

VoceSostituzione Percorso::Voce() const
{
    return ElencoFinito() ? VoceSostituzione{} : m_voci[m_voce - 1];
}

bool Percorso::Avanza()
{
    if (!ElencoFinito()) ++m_voce;
    m_selInizio = 0;
    m_selLunghezza = 0;
    m_da = 0;
    return !ElencoFinito();
}

Esito Percorso::CercaDa(QStringView testo, qsizetype da, const Osservatore &oss,
                        const ZoneProtette *zone)
{
    const Ricerca::Parola parola(m_voci[m_voce - 1].Trova, Pseudocodifica::Regole(m_regole),
                                 m_regole.Delimitazione());
    bool interrotta = false;
    const qsizetype i = Trova(testo, parola, da, oss.avanzamento, oss.passo, &interrotta, zone);
    if (interrotta) return Esito::Interrotta;
    if (i < 0) return Esito::Caricata;
    m_selInizio = i;
    m_selLunghezza = parola.Lunghezza();
    m_da = i + parola.Lunghezza();
    return Esito::Trovata;
}

Esito Percorso::PrimaVoceCheCompare(QStringView testo, const Osservatore &oss,
                                    const ZoneProtette *zone)
{
    while (!ElencoFinito()) {
        const int k = m_voce;
        if (oss.inizioVoce) oss.inizioVoce(k);
        const Esito esito = CercaDa(testo, 0, oss, zone);
        if (esito != Esito::Caricata) return esito;
        Avanza();
        if (oss.fineVoce && !oss.fineVoce(k, 0))
            return ElencoFinito() ? Esito::FineElenco : Esito::Interrotta;
    }
    return Esito::FineElenco;
}

Esito Percorso::Controlla(QStringView testo, const Osservatore &oss)
{
    m_selInizio = m_selLunghezza = m_da = 0;
    // The start reads the text afresh.
    m_zoneConservate = false;
    const ZoneProtette zone = ZonePer(testo);
    return PrimaVoceCheCompare(testo, oss, &zone);
}

std::optional<Modifica> Percorso::Sostituisci()
{
    if (ElencoFinito() || m_selLunghezza == 0) return std::nullopt;
    Modifica modifica{m_selInizio, m_selLunghezza, m_voci[m_voce - 1].Sostituisci};
    // The selection was found in the kept text: the stretches move with the
    // replacement, read again only if it may open or close a comment.
    if (m_zoneConservate && m_selInizio + m_selLunghezza <= m_testoZone.size()) {
        const QString sostituita = m_testoZone.mid(m_selInizio, m_selLunghezza);
        QString nuovo = m_testoZone;
        nuovo.replace(m_selInizio, m_selLunghezza, modifica.testo);
        ZoneProtette zone =
            m_regole.ZoneDopo(m_zone, nuovo, sostituita, modifica.testo, {m_selInizio});
        Conserva(nuovo, std::move(zone));
    }
    m_selLunghezza = modifica.testo.size();
    m_da = m_selInizio + m_selLunghezza;
    return modifica;
}

Esito Percorso::Successivo(QStringView testo, const Osservatore &oss)
{
    if (ElencoFinito()) return Esito::FineElenco;
    const int k = m_voce;
    if (oss.inizioVoce) oss.inizioVoce(k);
    const ZoneProtette zone = ZonePer(testo);
    const Esito esito = CercaDa(testo, m_da, oss, &zone);
    if (esito != Esito::Caricata) return esito;
    return Salta(testo, oss, &zone);
}

Esito Percorso::Salta(QStringView testo, const Osservatore &oss)
{
    const ZoneProtette zone = ZonePer(testo);
    return Salta(testo, oss, &zone);
}

Esito Percorso::Salta(QStringView testo, const Osservatore &oss, const ZoneProtette *zone)
{
    const int k = m_voce;
    Avanza();
    if (oss.fineVoce && !oss.fineVoce(k, 0))
        return ElencoFinito() ? Esito::FineElenco : Esito::Interrotta;
    return PrimaVoceCheCompare(testo, oss, zone);
}

Esito Percorso::SostituisciTutto(QString &testo, const Osservatore &oss, qsizetype *sostituzioni)
{
    const ZoneProtette zone = ZonePer(testo);
    const VoceSostituzione voce = Voce();
    QVector<qsizetype> posizioni;
    qsizetype fatte = 0;
    const Esito esito = SostituisciVoce(testo, oss, &fatte, &zone, &posizioni);
    if (sostituzioni) *sostituzioni = fatte;
    // Replacements are counted only once the scan is complete.
    if (fatte > 0)
        Conserva(testo, m_regole.ZoneDopo(zone, testo, voce.Trova, voce.Sostituisci, posizioni));
    return esito;
}

Esito Percorso::SostituisciVoce(QString &testo, const Osservatore &oss, qsizetype *sostituzioni,
                                const ZoneProtette *zone, QVector<qsizetype> *posizioni)
{
    if (sostituzioni) *sostituzioni = 0;
    if (ElencoFinito()) return Esito::FineElenco;
    const int k = m_voce;
    if (oss.inizioVoce) oss.inizioVoce(k);
    const VoceSostituzione &voce = m_voci[k - 1];
    Ricerca::EsitoSostituzione esito = Ricerca::SostituisciOccorrenze(
        testo, voce.Trova, voce.Sostituisci, Pseudocodifica::Regole(m_regole),
        m_regole.Delimitazione(), zone, oss.avanzamento, oss.passo);
    if (esito.interrotto) return Esito::Interrotta;
    if (esito.sostituzioni > 0) testo = std::move(esito.testo);
    if (posizioni) *posizioni = std::move(esito.posizioni);
    if (sostituzioni) *sostituzioni = esito.sostituzioni;
    Avanza();
    if (oss.fineVoce && !oss.fineVoce(k, esito.sostituzioni) && !ElencoFinito())
        return Esito::Interrotta;
    return ElencoFinito() ? Esito::FineElenco : Esito::Caricata;
}

Esito Percorso::Automatica(QString &testo, const Osservatore &oss)
{
    const bool conservate = m_zoneConservate && testo == m_testoZone;
    if (m_regole.Attive() && !conservate && !oss.avanzamento && !oss.inizioVoce && !oss.fineVoce) {
        // Nothing to report: the whole-list engine reads the text as code too.
        testo = MotoreElenco(m_voci.mid(m_voce - 1)).Applica(testo, m_regole);
        m_voce = NumeroVoci();
        Avanza();
        return Esito::FineElenco;
    }
    if (m_regole.Attive()) {
        // Every entry reads the comments and strings of the text it is given:
        // a replacement may open or close one (a word that becomes "Rem", a
        // quote), so the stretches are found again after an entry that changed
        // the text, unless its replacements only moved them.
        // A run that goes on from the walk keeps the names the walk kept.
        ZoneProtette zone = ZonePer(testo);
        while (!ElencoFinito()) {
            const VoceSostituzione voce = m_voci[m_voce - 1];
            QVector<qsizetype> posizioni;
            qsizetype sostituzioni = 0;
            const Esito esito = SostituisciVoce(testo, oss, &sostituzioni, &zone, &posizioni);
            if (esito == Esito::Interrotta) {
                // Stopped in the scan, the text is as before the entry;
                // stopped after it, the entry's replacements are done.
                if (sostituzioni > 0)
                    zone = m_regole.ZoneDopo(zone, testo, voce.Trova, voce.Sostituisci, posizioni);
                Conserva(testo, std::move(zone));
                return esito;
            }
            if (sostituzioni > 0 && !ElencoFinito())
                zone = m_regole.ZoneDopo(zone, testo, voce.Trova, voce.Sostituisci, posizioni);
        }
        return Esito::FineElenco;
    }
    // The plain run: stretches of entries, each as one whole-list pass that gives the result
    // of their scans one after the other. The pass runs in pieces of the text
    // that end after a line break, with a progress report between two pieces:
    // when no word and no replacement holds a line break, no occurrence can
    // run across one, so the pieces' results joined are the whole text's.
    // Otherwise the stretch's entries are scanned one by one.
    constexpr int VociPerTratto = 256;
    while (!ElencoFinito()) {
        const int prima = m_voce;
        const int ultima = std::min(NumeroVoci(), prima + VociPerTratto - 1);
        const MotoreElenco motore(m_voci.mid(prima - 1, ultima - prima + 1));
        if (motore.ToccaGliACapo()) {
            while (m_voce <= ultima) {
                const Esito esito = SostituisciTutto(testo, oss);
                if (esito == Esito::Interrotta) return esito;
            }
            continue;
        }
        // An entry's scan reports its start when its word fits in the text.
        const auto parte = [&](int k) {
            return !oss.avanzamento || m_voci[k - 1].Trova.size() > testo.size() ||
                   oss.avanzamento(1, testo.size());
        };
        if (oss.inizioVoce) oss.inizioVoce(prima);
        if (!parte(prima)) return Esito::Interrotta;
        const qsizetype n = testo.size();
        const qsizetype pezzo = std::max<qsizetype>(oss.passo, 1) * 64;
        QString risultato;
        qsizetype conta = 0;
        if (!oss.avanzamento || n <= pezzo) {
            risultato = motore.Applica(testo, &conta);
        } else {
            risultato.reserve(n + n / 8);
            for (qsizetype a = 0; a < n;) {
                if (a > 0 && !oss.avanzamento(a + 1, n)) return Esito::Interrotta;
                qsizetype b = a + pezzo < n ? testo.indexOf(QLatin1Char('\n'), a + pezzo) : -1;
                b = b < 0 ? n : b + 1;
                qsizetype c = 0;
                risultato.append(
                    motore.Applica(QString::fromRawData(testo.constData() + a, b - a), &c));
                conta += c;
                a = b;
            }
        }
        // The entries' own reports, in order; the pass's replacements are
        // counted at its first entry. A stop keeps exactly the entries before
        // the one stopped in, or up to the one stopped after.
        const QString inizio = testo;
        testo = std::move(risultato);
        const auto fermaDopo = [&](int k) {
            testo = MotoreElenco(m_voci.mid(prima - 1, k - prima + 1)).Applica(inizio);
        };
        for (int k = prima; k <= ultima; ++k) {
            if (k > prima) {
                if (oss.inizioVoce) oss.inizioVoce(k);
                if (!parte(k)) {
                    fermaDopo(k - 1);
                    return Esito::Interrotta;
                }
            }
            Avanza();
            if (oss.fineVoce && !oss.fineVoce(k, k == prima ? conta : 0) && !ElencoFinito()) {
                fermaDopo(k);
                return Esito::Interrotta;
            }
        }
    }
    return Esito::FineElenco;
}

} // namespace Pseudocodifica
