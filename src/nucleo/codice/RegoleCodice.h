#pragma once

// How the runs read a text as program code: whether occurrences that start in
// a comment or a string literal are left alone, and whether the code
// delimiters end words. Both off gives the plain runs.

#include "nucleo/codice/Linguaggio.h"
#include "nucleo/codice/ScansioneCodice.h"
#include "nucleo/codice/Delimitatori.h"

#include <QString>
#include <QStringView>
#include <QVector>

struct RegoleCodice
{
    bool proteggi = false;         // leave comments and strings alone
    bool separatoriCodice = false; // tab, operators, braces and quotes end words
    TipoTesto tipo;                // the language the text is read as

    // Protection only means something for a text with a language.
    bool Protegge() const { return proteggi && tipo.linguaggio != Linguaggio::Nessuno; }
    bool Attive() const { return Protegge() || separatoriCodice; }

    Delimitatori Delimitazione() const
    {
        return Delimitatori::Per(separatoriCodice, tipo.linguaggio);
    }

    // The protected stretches of `testo`; none when protection is off.
    ZoneProtette Zone(QStringView testo) const
    {
        return Protegge() ? ScansionaCodice(testo, tipo) : ZoneProtette();
    }

    // Whether replacing whole-word occurrences of `parola` that start outside
    // the protected stretches by `sostituto` leaves every stretch as it was,
    // only moved: both are letters, digits and inner spaces (the word starts
    // and ends with neither space), the replacement is not empty, neither
    // holds a word that opens a comment or ends a header (rem, echo,
    // attribute), and in C both are one name (either may stand for a
    // preprocessor directive's word). Then the scanner would find on the new
    // text what SpostaZone gives, and need not read it again.
    bool SostituzioneNeutra(const QString &parola, const QString &sostituto) const;

    // The stretches of a text once the `lunghezza` characters at each of
    // `inizi` (increasing, all outside the stretches) became `nuova` characters.
    static ZoneProtette SpostaZone(const ZoneProtette &zone, const QVector<qsizetype> &inizi,
                                   qsizetype lunghezza, qsizetype nuova);

    // The stretches of `testo` once `parola` was replaced by `sostituto` at
    // each of `inizi` (indexes in the text before) where `zone` lay: moved when
    // the replacement is neutral, else read again from the new text; none
    // when protection is off.
    ZoneProtette ZoneDopo(const ZoneProtette &zone, QStringView testo, const QString &parola,
                          const QString &sostituto, const QVector<qsizetype> &inizi) const;

    // One replacement: `lunghezza` characters from index `inizio` became `nuova`.
    struct Spostamento
    {
        qsizetype inizio = 0, lunghezza = 0, nuova = 0;
    };
    // The same for replacements of any lengths (increasing, all outside).
    static ZoneProtette SpostaZone(const ZoneProtette &zone,
                                   const QVector<Spostamento> &spostamenti);
};
