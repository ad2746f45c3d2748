#pragma once

#include "nucleo/codice/RegoleCodice.h"
#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/ricerca/Ricerca.h"

#include <QString>
#include <QStringView>
#include <QVector>
#include <functional>
#include <optional>

// The pseudocoding run over a text, with no window: the start check, the walk
// through the substitution list entry by entry, and the automatic run over the
// rest of the list. Words match case aside and as whole words only (the start
// and the end of the text count as delimiters), and every entry is looked for
// from the start of the text.
namespace Pseudocodifica {

// How the run compares its words: case aside, but as written where the text
// is read as a language that tells case apart (RegoleCodice::MaiuscoleEsatte).
Ricerca::Confronto Regole(const RegoleCodice &regole = {});

// The entries a run walks: the records whose word is not empty, in file order.
QVector<VoceSostituzione> VociDaPercorrere(const QVector<VoceSostituzione> &record);

// What a run tells its caller while it works; every hook may be left empty.
struct Osservatore
{
    // Progress through the text for the current entry: the 1-based position
    // and the text's current length. False stops the run there.
    Ricerca::Avanzamento avanzamento;
    // Entry k (1-based) is about to be looked for or replaced.
    std::function<void(int k)> inizioVoce;
    // Entry k is done (`sostituzioni` occurrences replaced by it) and the run
    // has moved on to the next entry. False stops the run before that one.
    std::function<bool(int k, qsizetype sostituzioni)> fineVoce;
    // Positions examined between two progress reports.
    qsizetype passo = Ricerca::PassoAvanzamentoFinestra;
};

enum class Esito {
    Trovata,    // an occurrence of the current entry is selected
    Caricata,   // a new entry is current, nothing is selected
    FineElenco, // the last entry has been passed
    Interrotta, // a hook stopped the run
};

// A change for the text: `lunghezza` characters from index `inizio` become `testo`.
struct Modifica
{
    qsizetype inizio = 0;
    qsizetype lunghezza = 0;
    QString testo;
};

// One run through the list, from its first entry. The text is the caller's:
// every command is given the text as it is now.
class Percorso
{
public:
    // `record` in file order; records with an empty word are passed over.
    // With `regole`, occurrences that start in a comment or a string of the
    // text the command is given are never found nor replaced, and whole
    // words may end at the code delimiters.
    explicit Percorso(const QVector<VoceSostituzione> &record, const RegoleCodice &regole = {});

    int NumeroVoci() const { return int(m_voci.size()); }
    // The current entry, 1-based; NumeroVoci() + 1 once the list is passed.
    int VoceCorrente() const { return m_voce; }
    bool ElencoFinito() const { return m_voce > NumeroVoci(); }
    // The current entry; empty once the list is passed.
    VoceSostituzione Voce() const;

    // The protected stretches of `testo` as the walk reads them: those it
    // kept and moved with its own replacements while the text is the one
    // they belong to, else those read from `testo`.
    ZoneProtette ZoneDi(QStringView testo) const;

    // The occurrence selected in the text (0-based start); a length of 0
    // means that nothing is selected.
    qsizetype InizioSelezione() const { return m_selInizio; }
    qsizetype LunghezzaSelezione() const { return m_selLunghezza; }

    // The start check: from the current entry on, the first entry whose word
    // occurs, with its first occurrence selected (Trovata); FineElenco when
    // no entry occurs.
    Esito Controlla(QStringView testo, const Osservatore &oss = {});

    // "Replace": the change that puts the replacement in place of the
    // selected occurrence, which then selects the inserted text. Nothing when
    // nothing is selected. The caller applies it to its text.
    std::optional<Modifica> Sostituisci();

    // "Next": the next occurrence of the current word after the selection;
    // when there is none, the first occurrence of the next entry that occurs.
    Esito Successivo(QStringView testo, const Osservatore &oss = {});

    // "Skip this word": the first occurrence of the next entry that occurs.
    Esito Salta(QStringView testo, const Osservatore &oss = {});

    // "Replace all": every occurrence of the current word in `testo`, then
    // the next entry becomes current with nothing selected (Caricata), or the
    // list is passed (FineElenco). When stopped, `testo` and the entry stay.
    Esito SostituisciTutto(QString &testo, const Osservatore &oss = {},
                           qsizetype *sostituzioni = nullptr);

    // The automatic run: every entry from the current one to the last, each
    // over the whole text, whether its word occurs or not (FineElenco). When
    // stopped during an entry's scan, `testo` holds the work of the entries
    // before it and that entry stays current (Interrotta); when stopped by
    // `fineVoce`, the next entry is current and nothing of it was done.
    Esito Automatica(QString &testo, const Osservatore &oss = {});

private:
    // Moves to the next entry with nothing selected; false once the list is passed.
    bool Avanza();
    // Looks for the current word from index `da`; selects it when found.
    // Returns Trovata, or Caricata when it does not occur, or Interrotta.
    // `zone`: the protected stretches of `testo`, or nullptr for none.
    Esito CercaDa(QStringView testo, qsizetype da, const Osservatore &oss,
                  const ZoneProtette *zone);
    // From the current entry on, the first entry that occurs, each looked
    // for from the start of the text.
    Esito PrimaVoceCheCompare(QStringView testo, const Osservatore &oss, const ZoneProtette *zone);
    // "Replace all" with the protected stretches of `testo` already known.
    // `posizioni` receives where the occurrences replaced were (with `zone`).
    Esito SostituisciVoce(QString &testo, const Osservatore &oss, qsizetype *sostituzioni,
                          const ZoneProtette *zone, QVector<qsizetype> *posizioni = nullptr);
    // Salta over the stretches already found in `testo`.
    Esito Salta(QStringView testo, const Osservatore &oss, const ZoneProtette *zone);

    // The stretches of `testo`: the kept ones when `testo` is the text they
    // belong to, else read from it (and kept from then on).
    const ZoneProtette &ZonePer(QStringView testo);
    // Keeps `zone` as the stretches of `testo`.
    void Conserva(const QString &testo, ZoneProtette zone);

    QVector<VoceSostituzione> m_voci;
    RegoleCodice m_regole;
    // Like the automatic run, the walk finds the names of the code once and
    // moves them with its replacements (a translated "set" or "goto" must not
    // free the name after it); they are read again only from a text that
    // changed otherwise (the user edited it).
    bool m_zoneConservate = false;
    QString m_testoZone; // the text m_zone belongs to
    ZoneProtette m_zone;
    int m_voce = 1;
    qsizetype m_selInizio = 0;
    qsizetype m_selLunghezza = 0;
    qsizetype m_da = 0; // where "Next" looks for the current word
};

// The first occurrence of `parola` at or after index `da` that does not start
// in one of `zone` (nullptr: none); -1 when there is none, and for an empty
// word. The search reports its progress to `avanzamento` every `passo`
// positions; when that returns false it stops and sets `*interrotta`.
qsizetype Trova(QStringView testo, const Ricerca::Parola &parola, qsizetype da,
                const Ricerca::Avanzamento &avanzamento = {},
                qsizetype passo = Ricerca::PassoAvanzamento, bool *interrotta = nullptr,
                const ZoneProtette *zone = nullptr);

} // namespace Pseudocodifica
