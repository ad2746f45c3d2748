#pragma once

// How the runs read a text as program code: whether occurrences that start in
// a comment or a string literal are left alone, and whether the code
// delimiters end words. Both off gives the plain runs.

#include "nucleo/codice/Delimitatori.h"
#include "nucleo/codice/Linguaggio.h"
#include "nucleo/codice/ScansioneCodice.h"

#include <QString>
#include <QStringView>
#include <QVector>

QVector<Zona> NomiDelCodice(QStringView testo, Linguaggio linguaggio);

struct RegoleCodice
{
    bool proteggi = false;         // leave comments and strings alone
    bool separatoriCodice = false; // tab, operators, braces and quotes end words
    TipoTesto tipo;                // the language the text is read as

    // Protection only means something for a text with a language.
    bool Protegge() const { return proteggi && tipo.linguaggio != Linguaggio::Nessuno; }
    bool Attive() const { return Protegge() || separatoriCodice; }
    // With both options on the code's own names are kept too (NomiDelCodice).
    bool NomiIntatti() const { return Protegge() && separatoriCodice; }
    // C and C++ tell case apart: with the names kept, their entries match
    // only as written ("FOR", "Free" are the program's own names).
    bool MaiuscoleEsatte() const { return NomiIntatti() && FamigliaC(tipo.linguaggio); }

    Delimitatori Delimitazione() const
    {
        return Delimitatori::Per(separatoriCodice, tipo.linguaggio, NomiIntatti());
    }

    // The protected stretches of `testo`: comments and strings, and the names
    // when they are kept; none when protection is off.
    ZoneProtette Zone(QStringView testo) const
    {
        if (!Protegge()) return ZoneProtette();
        if (!NomiIntatti()) return ScansionaCodice(testo, tipo);
        return ZoneProtette(ScansionaCodice(testo, tipo).Elenco(),
                            NomiDelCodice(testo, tipo.linguaggio));
    }

    // Whether replacing whole-word occurrences of `parola` that start outside
    // the protected stretches by `sostituto` leaves every stretch as it was,
    // only moved: both are letters, digits and inner spaces (the word starts
    // and ends with neither space), the replacement is not empty, neither
    // holds a word that opens a comment or ends a header (rem, echo,
    // title, attribute), and in C both are one name (either may stand for a
    // preprocessor directive's word) and, as directive words, keep the rest
    // of their line alike (LeggiDirettiva). Then the scanner would find on the new
    // text what SpostaZone gives, and need not read it again. The batch word
    // "set" is the one exception it allows: a set value, once found, moves
    // with the text when "set" is replaced, since it is still the program's
    // data; a "set" written by a replacement opens no value.
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

    // Stretches of a text once the `lunghezza` characters at each of `inizi`
    // (increasing, not overlapping) became `nuova` characters: the replaced
    // characters leave their stretch, the others move with the text.
    static QVector<Zona> SpostaNomi(const QVector<Zona> &zone, const QVector<qsizetype> &inizi,
                                    qsizetype lunghezza, qsizetype nuova);
    // The same for replacements of any lengths (increasing, not overlapping).
    static QVector<Zona> SpostaNomi(const QVector<Zona> &zone,
                                    const QVector<Spostamento> &spostamenti);
};

// The words of a program that name something of its own and are never
// replaced when both code options are on (sorted, disjoint stretches, each
// from the first character of the name):
// - every language: a name right after "." (a member, a file extension), and
//   in C after "->"; an entry that itself begins with "." or "->" still
//   matches, since its occurrence starts at the operator;
// - BASIC: whole "Attribute" lines (module metadata); the names a statement
//   declares -- after Sub, Function, Property Get|Let|Set, Enum, Type, Event,
//   Declare [PtrSafe] Sub|Function, their parameters, the variables and
//   constants of Dim, ReDim, Const, Public, Private, Static, Global, and the
//   members of an Enum block -- there and at every whole-word occurrence in
//   the file, case aside: the program's own name shadows the built-in one.
//   The fields of a Type block, and a declared name that is a reserved word,
//   are kept where they are declared only; "Me" before a member (Me.Move);
// - C and C++: a library function the lists translate (exit, free, malloc,
//   printf...) not followed, blanks aside, by "(": a name of the program;
//   "this" before "->", which reads with its member;
// - batch: device names (nul con prn aux com1-9 lpt1-9) anywhere; a file
//   name before its extension (cscript.exe), but "echo" (echo.text); a label
//   line (":" at a line start) whole, since cmd never runs what follows the
//   label there; the label after "goto" (with or without ":") and after
//   "call :" or "call ::"; the variable of "set name=", "set "name=" and "set /p name=",
//   with the value the scanner keeps after its "=" (data, kept even once
//   "set" was replaced), the whole expression of "set /a"; what stands between "%...%" or
//   "!...!" on one line, and the loop variable of "%%a"; a switch after "/",
//   or after "-" that follows a blank, up to the next blank or "/". The
//   script half of a hybrid file is left alone: in a file whose first line
//   opens a comment ("0</* :", "@set @x=0 /*"), from the "*/" that closes
//   it; from the first line that
//   begins with "@end", "*/", "-->", "#>", "<job" or "<script" (blanks and
//   case aside) to the end of the text, since these lines close the batch
//   half of the usual JScript, PowerShell and WSF hybrids; in a file that
//   opens with "<#" (PowerShell), already from the line after the first
//   unindented "goto :eof" or "exit", the end of its batch half.
QVector<Zona> NomiDelCodice(QStringView testo, Linguaggio linguaggio);
