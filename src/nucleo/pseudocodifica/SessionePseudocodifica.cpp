#include "SessionePseudocodifica.h"

#include "nucleo/pseudocodifica/Stima.h"

#include <QPointer>

using Pseudocodifica::Esito;

SessionePseudocodifica::SessionePseudocodifica(const QVector<VoceSostituzione> &record,
                                               const RegoleCodice &regole,
                                               const QString &commentoIniziale, QObject *padre)
    : QObject(padre), m_percorso(record, regole), m_regole(regole),
      m_commentoIniziale(commentoIniziale), m_commento(commentoIniziale)
{
}

void SessionePseudocodifica::ImpostaFase(Fase fase)
{
    m_fase = fase;
    Q_EMIT FaseCambiata(fase);
}

void SessionePseudocodifica::Annulla()
{
    ImpostaFase(Fase::Annullata);
}

Esito SessionePseudocodifica::Controlla(QStringView testo)
{
    QPointer<SessionePseudocodifica> viva(this);
    const std::function<void()> cedi = NuovaCessione ? NuovaCessione() : nullptr;
    Pseudocodifica::Osservatore oss;
    oss.avanzamento = [&](qsizetype, qsizetype) {
        if (cedi) cedi();
        return !viva.isNull();
    };
    oss.inizioVoce = [&](int k) { Q_EMIT ElencoAvanzato(k - 1); };
    oss.fineVoce = [&](int, qsizetype) {
        if (cedi) cedi();
        return !viva.isNull();
    };
    const Esito esito = m_percorso.Controlla(testo, oss);
    if (!viva) return Esito::Interrotta;
    if (esito == Esito::Trovata) {
        Q_EMIT VoceCambiata();
        ImpostaFase(Fase::InCammino);
        return esito;
    }
    Q_EMIT Annuncio(Avviso::NienteDaFare);
    ImpostaFase(Fase::NienteDaFare);
    return esito;
}

std::optional<Pseudocodifica::Modifica> SessionePseudocodifica::Sostituisci()
{
    // The selection is the text this command has just put there: there is
    // no occurrence to replace, and the count does not move.
    if (m_percorso.LunghezzaSelezione() > 0 &&
        m_ultimaSostituita.voce == m_percorso.VoceCorrente() &&
        m_ultimaSostituita.inizio == m_percorso.InizioSelezione() &&
        m_ultimaSostituita.lunghezza == m_percorso.LunghezzaSelezione())
        return std::nullopt;
    std::optional<Pseudocodifica::Modifica> modifica = m_percorso.Sostituisci();
    if (modifica) {
        m_ultimaSostituita = {m_percorso.VoceCorrente(), m_percorso.InizioSelezione(),
                              m_percorso.LunghezzaSelezione()};
        if (m_voceSostituite != m_percorso.VoceCorrente()) {
            m_voceSostituite = m_percorso.VoceCorrente();
            m_sostituite = 0;
        }
        ++m_sostituite;
    }
    return modifica;
}

SessionePseudocodifica::Occorrenze
SessionePseudocodifica::ProgressoOccorrenze(QStringView testo) const
{
    Occorrenze esito;
    if (m_percorso.ElencoFinito()) return esito;
    const Ricerca::Parola parola(m_percorso.Voce().Trova, Pseudocodifica::Regole(m_regole),
                                 m_regole.Delimitazione());
    const ZoneProtette zone = m_percorso.ZoneDi(testo);
    const qsizetype selezione =
        m_percorso.LunghezzaSelezione() > 0 ? m_percorso.InizioSelezione() : -1;
    if (m_voceSostituite == m_percorso.VoceCorrente()) esito.numero = esito.totale = m_sostituite;
    for (qsizetype i = Pseudocodifica::Trova(testo, parola, 0, {}, 0, nullptr, &zone); i >= 0;
         i = Pseudocodifica::Trova(testo, parola, i + parola.Lunghezza(), {}, 0, nullptr, &zone)) {
        ++esito.totale;
        if (selezione >= 0 && i <= selezione) ++esito.numero;
    }
    return esito;
}

void SessionePseudocodifica::FineElenco()
{
    Q_EMIT ElencoAvanzato(m_percorso.NumeroVoci());
    Q_EMIT Annuncio(Avviso::Terminata);
    ImpostaFase(Fase::Terminata);
}

void SessionePseudocodifica::DopoCammino(Esito esito)
{
    switch (esito) {
    case Esito::Trovata:
    case Esito::Caricata:
        Q_EMIT VoceCambiata();
        break;
    case Esito::FineElenco:
        FineElenco();
        break;
    case Esito::Interrotta:
        break;
    }
}

Esito SessionePseudocodifica::Successivo(QStringView testo)
{
    const Esito esito = m_percorso.Successivo(testo);
    DopoCammino(esito);
    return esito;
}

Esito SessionePseudocodifica::Salta(QStringView testo)
{
    const Esito esito = m_percorso.Salta(testo);
    DopoCammino(esito);
    return esito;
}

Pseudocodifica::Osservatore
SessionePseudocodifica::OsservatoreScansione(const std::function<void()> &cedi)
{
    Pseudocodifica::Osservatore oss;
    oss.passo = Ricerca::PassoAvanzamentoFinestra;
    QPointer<SessionePseudocodifica> viva(this);
    oss.avanzamento = [this, cedi, viva](qsizetype posizione, qsizetype) {
        Q_EMIT TestoAvanzato(posizione);
        if (cedi) cedi();
        return viva && !m_interruzione && !m_chiusa;
    };
    return oss;
}

Esito SessionePseudocodifica::SostituisciTutto(QString testo)
{
    // The walking commands wait until this scan is over; closing stops it.
    ImpostaFase(Fase::SostituzioneTotale);
    QPointer<SessionePseudocodifica> viva(this);
    Pseudocodifica::Osservatore oss =
        OsservatoreScansione(NuovaCessione ? NuovaCessione() : nullptr);
    oss.inizioVoce = [&](int) { Q_EMIT ScansioneIniziata(testo.size()); };
    m_interruzione = false;
    m_inCorsa = true;
    qsizetype sostituzioni = 0;
    const Esito esito = m_percorso.SostituisciTutto(testo, oss, &sostituzioni);
    if (!viva) return Esito::Interrotta;
    m_inCorsa = false;
    if (m_chiusa) return esito;
    if (esito != Esito::Interrotta) {
        Q_EMIT ScansioneCompleta();
        if (sostituzioni > 0) Q_EMIT ScriviTesto(testo, false);
        Q_EMIT TestoModificato();
    }
    ImpostaFase(Fase::InCammino);
    DopoCammino(esito);
    return esito;
}

Esito SessionePseudocodifica::Automatica(QString testo)
{
    QPointer<SessionePseudocodifica> viva(this);
    ImpostaFase(Fase::Automatica);
    m_interruzione = false;
    // The text is kept here between words and written back once, when the
    // run ends or stops (and only if a word was replaced): the caller's text
    // then holds what word-by-word writes would have left in it.
    bool cambiato = false;
    // One yield clock for the whole run: clicks are handled every few
    // milliseconds of work, however short each word's scan is.
    double t1 = 0;
    Pseudocodifica::Osservatore oss =
        OsservatoreScansione(NuovaCessione ? NuovaCessione() : nullptr);
    oss.inizioVoce = [&](int) {
        Q_EMIT ScansioneIniziata(testo.size());
        t1 = Orologio ? Orologio() : 0.0;
    };
    oss.fineVoce = [&](int, qsizetype sostituzioni) {
        const double t2 = Orologio ? Orologio() : 0.0;
        cambiato = cambiato || sostituzioni > 0;
        Q_EMIT TestoModificato();
        Q_EMIT ScansioneCompleta();
        const qint16 E = Stima::TempoRimanente(
            t1, t2, qint64(m_percorso.NumeroVoci()) - m_percorso.VoceCorrente() + 1);
        m_testoTempo = Stima::TestoTempo(E);
        m_commento = Stima::Commento(E, m_commento);
        Q_EMIT StimaCambiata();
        Q_EMIT ElencoAvanzato(m_percorso.VoceCorrente() - 1);
        if (m_percorso.ElencoFinito()) return true;
        Q_EMIT VoceCambiata();
        // At least one turn of the event loop between two words.
        if (CediTraVoci) CediTraVoci();
        return viva && !m_interruzione && !m_chiusa;
    };
    m_inCorsa = true;
    const Esito esito = m_percorso.Automatica(testo, oss);
    if (!viva) return Esito::Interrotta;
    m_inCorsa = false;

    // When interrupted, the interrupted word's changes are dropped; earlier words' stay.
    const bool interrotta = esito == Esito::Interrotta;
    if (cambiato) Q_EMIT ScriviTesto(testo, interrotta);
    if (m_chiusa) return esito;
    if (interrotta) {
        Q_EMIT Annuncio(Avviso::Interrotta);
        return esito;
    }
    Q_EMIT Annuncio(Avviso::Terminata);
    m_commento = m_commentoIniziale;
    Q_EMIT StimaCambiata();
    ImpostaFase(Fase::Terminata);
    return esito;
}

bool SessionePseudocodifica::InterrompiORiprendi()
{
    if (m_fase == Fase::Automatica) {
        m_interruzione = true;
        ImpostaFase(Fase::InPausa);
    } else if (m_fase == Fase::InPausa) {
        m_interruzione = false;
        // Resumed before the run noticed the interruption: it simply goes on.
        if (m_inCorsa)
            ImpostaFase(Fase::Automatica);
        else
            return true;
    }
    return false;
}

bool SessionePseudocodifica::Chiudi()
{
    if (!m_inCorsa) return false;
    m_chiusa = true;
    m_interruzione = true;
    return true;
}
