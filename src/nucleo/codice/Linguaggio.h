#pragma once

// The programming language a text is read as, taken from its file name.

#include <QString>
#include <QStringView>

enum class Linguaggio { Nessuno, Basic, C, Batch };

struct TipoTesto
{
    Linguaggio linguaggio = Linguaggio::Nessuno;
    // BASIC files that open with a designer block or a class header (forms,
    // user controls, designers, classes): everything before the first
    // "Attribute VB_Name" line is read as data, not code.
    bool intestazioneBasic = false;

    bool operator==(const TipoTesto &o) const
    {
        return linguaggio == o.linguaggio && intestazioneBasic == o.intestazioneBasic;
    }
};

// From the extension of the file name, in any case: .bas .frm .cls .ctl .dsr
// .vbs are BASIC, .c .h .cpp .hpp .cc .cxx the C family, .bat .cmd batch;
// anything else (no name, no extension) has no language.
TipoTesto TipoDaNomeFile(QStringView nomeFile);

// The name shown to the user: "BASIC", "C/C++", "Batch", "Nessuno".
QString NomeLinguaggio(Linguaggio linguaggio);
