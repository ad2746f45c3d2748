#include "Pseudocodifica.h"

#include <algorithm>

namespace Pseudocodifica {

Ricerca::Confronto Regole()
{
    return Ricerca::Confronto::PerSostituzione(0, 1);
}

QVector<VoceSostituzione> VociDaPercorrere(const QVector<VoceSostituzione> &record)
{
    QVector<VoceSostituzione> voci;
    voci.reserve(record.size());
    for (const VoceSostituzione &voce : record)
        if (!voce.Trova.isEmpty()) voci.append(voce);
    return voci;
}

QString ApplicaElenco(QString testo, const QVector<VoceSostituzione> &record,
                      const RegoleCodice &regole)
{
    Percorso percorso(record, regole);
    percorso.Automatica(testo);
    return testo;
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

std::optional<ZoneProtette> Percorso::Zone(QStringView testo) const
{
    if (!m_regole.Protegge()) return std::nullopt;
    return m_regole.Zone(testo);
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
    const Ricerca::Parola parola(m_voci[m_voce - 1].Trova, Pseudocodifica::Regole(),
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
    const std::optional<ZoneProtette> zone = Zone(testo);
    return PrimaVoceCheCompare(testo, oss, zone ? &*zone : nullptr);
}

std::optional<Modifica> Percorso::Sostituisci()
{
    if (ElencoFinito() || m_selLunghezza == 0) return std::nullopt;
    Modifica modifica{m_selInizio, m_selLunghezza, m_voci[m_voce - 1].Sostituisci};
    m_selLunghezza = modifica.testo.size();
    m_da = m_selInizio + m_selLunghezza;
    return modifica;
}

Esito Percorso::Successivo(QStringView testo, const Osservatore &oss)
{
    if (ElencoFinito()) return Esito::FineElenco;
    const int k = m_voce;
    if (oss.inizioVoce) oss.inizioVoce(k);
    const std::optional<ZoneProtette> zone = Zone(testo);
    const Esito esito = CercaDa(testo, m_da, oss, zone ? &*zone : nullptr);
    if (esito != Esito::Caricata) return esito;
    return Salta(testo, oss);
}

Esito Percorso::Salta(QStringView testo, const Osservatore &oss)
{
    const int k = m_voce;
    Avanza();
    if (oss.fineVoce && !oss.fineVoce(k, 0))
        return ElencoFinito() ? Esito::FineElenco : Esito::Interrotta;
    const std::optional<ZoneProtette> zone = Zone(testo);
    return PrimaVoceCheCompare(testo, oss, zone ? &*zone : nullptr);
}

Esito Percorso::SostituisciTutto(QString &testo, const Osservatore &oss, qsizetype *sostituzioni)
{
    const std::optional<ZoneProtette> zone = Zone(testo);
    return SostituisciVoce(testo, oss, sostituzioni, zone ? &*zone : nullptr);
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
        testo, voce.Trova, voce.Sostituisci, Pseudocodifica::Regole(), m_regole.Delimitazione(),
        zone, oss.avanzamento, oss.passo);
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
    // Every entry reads the comments and strings of the text it is given:
    // a replacement may open or close one (a word that becomes "Rem", a
    // quote), so the stretches are found again after an entry that changed
    // the text, unless its replacements only moved them.
    std::optional<ZoneProtette> zone = Zone(testo);
    while (!ElencoFinito()) {
        const VoceSostituzione voce = m_voci[m_voce - 1];
        QVector<qsizetype> posizioni;
        qsizetype sostituzioni = 0;
        const Esito esito =
            SostituisciVoce(testo, oss, &sostituzioni, zone ? &*zone : nullptr, &posizioni);
        if (esito == Esito::Interrotta) return esito;
        if (sostituzioni == 0 || !zone || ElencoFinito()) continue;
        if (m_regole.SostituzioneNeutra(voce.Trova, voce.Sostituisci))
            zone = RegoleCodice::SpostaZone(*zone, posizioni, voce.Trova.size(),
                                            voce.Sostituisci.size());
        else
            zone = Zone(testo);
    }
    return Esito::FineElenco;
}

} // namespace Pseudocodifica
