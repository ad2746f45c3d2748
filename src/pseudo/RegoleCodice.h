#pragma once

// How the runs read a text as program code: whether occurrences that start in
// a comment or a string literal are left alone, and whether the code
// delimiters end words. Both off gives the plain runs.

#include "pseudo/Linguaggio.h"
#include "pseudo/ScansioneCodice.h"
#include "search/Delimitatori.h"

#include <QStringView>

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
};
