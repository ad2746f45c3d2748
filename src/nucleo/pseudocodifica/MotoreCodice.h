#pragma once

// The substitution list over a text read as code (comments, strings and the
// code's names left alone, the code delimiters), with the result of applying
// its entries one after the other, each a whole-word pass over the whole text.
//
// The entries are taken in groups, each group one reading of the text: at
// every place an entry of the group may start, the lowest entry that matches
// there wins, and what the rest of the group makes of its replacement is
// worked out once per entry and copied wherever it recurs. Words free of
// delimiters are found as whole tokens through a hash table, the others
// ("End If", "#If", "Left$", "goto :eof") through a trie of their characters.
//
// That gives the one-after-the-other result only when no entry can see the
// work of another across the edge of a replacement, and when the stretches
// stay where they were: a group ends at an entry whose replacement may open
// or close a comment or a string, and before an entry that could overlap the
// word or the replacement of an earlier entry of the group (see Conflitto in
// the source). Where a text still puts a replacement against something its
// later entries would read differently in place (a "$" suffix after a name
// that becomes no name, two replacements side by side), that group is worked
// entry by entry on that text.

#include "nucleo/codice/RegoleCodice.h"
#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/ricerca/Ricerca.h"

#include <QString>
#include <QVector>
#include <memory>
#include <vector>

class MotoreCodice
{
public:
    // `voci` in list order (entries with an empty word are passed over).
    // Words match case aside, or exactly where the rules say the language
    // tells case apart (RegoleCodice::MaiuscoleEsatte).
    MotoreCodice(const QVector<VoceSostituzione> &voci, const RegoleCodice &regole);
    ~MotoreCodice();
    MotoreCodice(const MotoreCodice &) = delete;
    MotoreCodice &operator=(const MotoreCodice &) = delete;

    // How a text was worked: the readings of the text by a group (or by a
    // part of one, where the text split it) and the groups worked entry by
    // entry instead.
    struct Resoconto
    {
        int gruppi = 0;
        int voceAVoce = 0;
    };

    // The text after every entry; `sostituzioni` receives the replacements
    // made. Safe to call from several threads at once.
    QString Applica(QString testo, qsizetype *sostituzioni = nullptr,
                    Resoconto *resoconto = nullptr) const;

    int NumeroGruppi() const { return int(m_gruppi.size()); }

private:
    struct Voce;
    struct Gruppo;
    struct Lavoro;
    bool Conflitto(const Gruppo &gruppo, int b) const;
    void Aggiungi(Gruppo &g, int b) const;
    // The entries [primo, fine) as a group; `neutro` false: the stretches are
    // read again after its last entry.
    std::unique_ptr<Gruppo> Parte(int primo, int fine, bool neutro) const;
    // One reading of the text by the group: Letto, or VoceAVoceSoltanto when
    // the text needs the group entry by entry, or the entry after which the
    // stretches must be read again (the group is split there).
    static constexpr int Letto = -1, VoceAVoceSoltanto = -2;
    int UnaLettura(const Gruppo &g, const QString &testo, const ZoneProtette &zone,
                   Lavoro &lavoro) const;
    // The stretches after a reading: moved, or read again from `testo` when
    // a replacement that is not neutral was made.
    ZoneProtette ZoneDopo(const ZoneProtette &zone, const QString &testo,
                          const Lavoro &letto) const;
    void VoceAVoce(const Gruppo &g, QString &testo, ZoneProtette &zone, qsizetype &conta) const;

    RegoleCodice m_regole;
    Delimitatori m_delimitatori;
    Ricerca::Confronto m_confronto;
    std::vector<Voce> m_voci;
    std::vector<std::unique_ptr<Gruppo>> m_gruppi;
};
