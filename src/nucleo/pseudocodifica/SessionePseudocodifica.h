#pragma once

#include "nucleo/pseudocodifica/Pseudocodifica.h"

#include <QObject>
#include <QString>
#include <functional>

// One pseudocoding run as the run window drives it: the phase, the current
// entry and selection, the walking commands, the automatic run with its
// interrupt/resume and remaining-time estimate, and when the worked text is
// written back. The text belongs to the caller: every command is given the
// text as it is now, and a changed text comes back through ScriviTesto.
class SessionePseudocodifica : public QObject
{
    Q_OBJECT
public:
    enum class Fase {
        Annullata,          // the start check was refused
        NienteDaFare,       // no entry occurs in the text
        InCammino,          // walking entry by entry
        Automatica,         // the automatic run is going on
        InPausa,            // the automatic run is interrupted
        SostituzioneTotale, // "replace all" of the current entry is going on
        Terminata,          // the list has been passed
    };
    Q_ENUM(Fase)

    // What the run tells the user, at the moment it happens.
    enum class Avviso { NienteDaFare, Terminata, Interrotta };
    Q_ENUM(Avviso)

    // `commentoIniziale`: the remark beside the estimate before the first
    // word, and again once the automatic run is over.
    SessionePseudocodifica(const QVector<VoceSostituzione> &record, const RegoleCodice &regole,
                           const QString &commentoIniziale, QObject *padre = nullptr);

    // Seconds since midnight, read before and after every word of the automatic run.
    std::function<double()> Orologio;
    // Makes the yield of one long command; it is called at every progress
    // report of that command's scans (it may run the event loop).
    std::function<std::function<void()>()> NuovaCessione;
    // Called between two words of the automatic run (one event loop turn).
    std::function<void()> CediTraVoci;

    const Pseudocodifica::Percorso &Percorso() const { return m_percorso; }
    Fase FaseAttuale() const { return m_fase; }
    // A scan that yields is going on.
    bool InCorsa() const { return m_inCorsa; }
    // An interrupt was asked for and not taken back.
    bool InterruzioneRichiesta() const { return m_interruzione; }
    // The window was closed while a scan went on.
    bool Chiusa() const { return m_chiusa; }
    QString TestoTempo() const { return m_testoTempo; }
    QString Commento() const { return m_commento; }

    // Where the walk stands in the current entry's occurrences: `numero` of
    // `totale`. Occurrences replaced so far by "Replace" count as passed; the
    // rest are those of `testo` outside the protected stretches. `numero`
    // counts the selection when it is an occurrence. Both 0 with no entry.
    struct Occorrenze
    {
        qsizetype numero = 0;
        qsizetype totale = 0;
        bool operator==(const Occorrenze &o) const
        {
            return numero == o.numero && totale == o.totale;
        }
    };
    Occorrenze ProgressoOccorrenze(QStringView testo) const;

    // The start check refused.
    void Annulla();
    // The start check: the first entry that occurs, selected (Trovata, then
    // walking), or FineElenco with nothing to do.
    Pseudocodifica::Esito Controlla(QStringView testo);
    // "Replace": the change to apply to the text; nothing when nothing is selected.
    std::optional<Pseudocodifica::Modifica> Sostituisci();
    Pseudocodifica::Esito Successivo(QStringView testo);
    Pseudocodifica::Esito Salta(QStringView testo);
    Pseudocodifica::Esito SostituisciTutto(QString testo);
    // The automatic run from the current entry. The worked text is written
    // back once, when the run ends or stops, and only if a word was replaced.
    Pseudocodifica::Esito Automatica(QString testo);
    // "Interrupt" / "Resume". True when the automatic run must start again
    // (the caller then runs Automatica over the current text).
    bool InterrompiORiprendi();
    // The window closes: a scan going on stops at its next position and the
    // run ends without a word. True when a scan is going on.
    bool Chiudi();

Q_SIGNALS:
    void FaseCambiata(SessionePseudocodifica::Fase fase);
    // A new entry is current.
    void VoceCambiata();
    // Entries done, for the list bar.
    void ElencoAvanzato(int fatte);
    // A scan of one entry over a text of `lunghezza` characters begins,
    // reaches `posizione`, is complete.
    void ScansioneIniziata(qsizetype lunghezza);
    void TestoAvanzato(qsizetype posizione);
    void ScansioneCompleta();
    void StimaCambiata();
    // The single write-back of a worked text; `cursoreAllInizio` after an interrupt.
    void ScriviTesto(const QString &testo, bool cursoreAllInizio);
    // The run changed the text (or went over it as a whole).
    void TestoModificato();
    void Annuncio(SessionePseudocodifica::Avviso avviso);

private:
    void ImpostaFase(Fase fase);
    void FineElenco();
    // What a walking command led to.
    void DopoCammino(Pseudocodifica::Esito esito);
    Pseudocodifica::Osservatore OsservatoreScansione(const std::function<void()> &cedi);

    Pseudocodifica::Percorso m_percorso;
    RegoleCodice m_regole;
    // The selection the last "Replace" left: the text it put in.
    struct Selezione
    {
        int voce = -1;
        qsizetype inizio = -1, lunghezza = 0;
    } m_ultimaSostituita;
    // Occurrences of entry m_voceSostituite replaced by "Replace".
    int m_voceSostituite = 0;
    qsizetype m_sostituite = 0;
    Fase m_fase = Fase::InCammino;
    QString m_commentoIniziale;
    QString m_commento;
    QString m_testoTempo = QStringLiteral("Indeterminato");
    bool m_interruzione = false;
    bool m_inCorsa = false;
    bool m_chiusa = false;
};
