#pragma once

// The programming language a text is read as, taken from its file name.

#include <QString>
#include <QStringView>

// The list editor offers the languages in this order (its choice index is the
// value), so a new language goes where it should appear.
enum class Linguaggio { Nessuno, Basic, C, Cpp, Batch };

// C and C++ read alike: the same comments, strings, "->" members,
// preprocessor lines and exact-case keywords. Only their lists differ.
constexpr bool FamigliaC(Linguaggio linguaggio)
{
    return linguaggio == Linguaggio::C || linguaggio == Linguaggio::Cpp;
}

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
// .vbs are BASIC, .c .h C, .cpp .hpp .cc .cxx .hh .hxx C++, .bat .cmd batch;
// anything else (no name, no extension) has no language. A ".h" header is read
// as C whatever stands beside it: both languages use the extension, and in C
// the C++ words are ordinary names that must not be translated, while a C++
// header read as C only leaves its C++ words in English.
TipoTesto TipoDaNomeFile(QStringView nomeFile);

// The short name of a language's files and of its name on the command line:
// "basic", "c", "cpp", "batch"; empty for no language.
QString ChiaveLinguaggio(Linguaggio linguaggio);

// The name shown to the user: "BASIC", "C", "C++", "Batch", "Nessuno".
QString NomeLinguaggio(Linguaggio linguaggio);
