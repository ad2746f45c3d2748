#pragma once

// The whole substitution list applied to a text, with the result of applying
// its entries one after the other: each entry a case-insensitive, whole-word
// replacing pass over the whole text, the inserted text never scanned again
// by the same entry but seen by the later ones. Entries with an empty word are
// passed over.
//
// Most words hold no delimiter: such an entry can only replace a whole token
// (a run of characters between delimiters), so a run of them turns every token
// into what the entries make of that token alone. The text is then read once,
// each distinct token worked out once. An entry whose word holds a delimiter
// gets a pass of its own over the text.

#include "nucleo/codice/RegoleCodice.h"
#include "nucleo/elenchi/VociElenco.h"

#include <QString>
#include <QVector>
#include <memory>
#include <optional>
#include <vector>

class MotoreElenco
{
public:
    explicit MotoreElenco(const QVector<VoceSostituzione> &voci);
    ~MotoreElenco();
    MotoreElenco(const MotoreElenco &) = delete;
    MotoreElenco &operator=(const MotoreElenco &) = delete;

    // The text after every entry. `sostituzioni` (when given) receives the
    // number of replacements all the entries made. Safe to call from several
    // threads at once.
    QString Applica(const QString &testo, qsizetype *sostituzioni = nullptr) const;

    // The same with the text read as code: occurrences that start in a
    // comment or a string of the text an entry reads are left alone, and
    // whole words may end at the code delimiters (MotoreCodice).
    QString Applica(QString testo, const RegoleCodice &regole,
                    qsizetype *sostituzioni = nullptr) const;

    // Whether a word or a replacement holds a line break or a paragraph or
    // frame separator: only then can the result hold line breaks other than
    // CR LF when the text held none.
    bool ToccaGliACapo() const { return m_toccaACapo; }

    // The same for any one text.
    static bool TieneACapo(QStringView testo);

    // For a list whose words all hold no delimiter: each distinct word in
    // upper case, with what the whole list makes of a token that is that word
    // (case aside) and the replacements that takes. Nothing for any other list.
    struct Esito
    {
        QString parola, risultato;
        qsizetype sostituzioni;
    };
    std::optional<std::vector<Esito>> EsitiToken() const;

private:
    struct Gruppo;
    std::vector<std::unique_ptr<Gruppo>> m_gruppi;
    QVector<VoceSostituzione> m_voci; // the entries with a word, for the code rules
    bool m_toccaACapo = false;
};
