#pragma once

// What the batch command does to one document, from the core alone: the same
// steps as opening the file in the window, the cleaning run, the automatic run
// and "&Salva".

#include "nucleo/codice/RegoleCodice.h"
#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/testo/ErroreFile.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <optional>

class MotoreElenco;
class MotoreAnsi;
class UscitaByte;

namespace Lotto {

// The text as the editor holds it once it is shown: CR LF, a lone CR, a lone
// LF and the paragraph and frame separators each become one CR LF.
QString ACapoComeEditor(const QString &testo);

// The text "&Salva" writes after the cleaning run (when `eliminazioni` is
// given) and the automatic run of the whole list over `testo`, a document as
// read from its file. `sostituzioni` receives the replacements made. Both
// runs read the text with `regole`.
QString Pseudocodifica(QString testo, const MotoreElenco &motore,
                       const QVector<VoceEliminazione> *eliminazioni,
                       qsizetype *sostituzioni = nullptr, const RegoleCodice &regole = {});

// The same for a Windows-1252 text worked on as its bytes `byte` (for which
// the file's own decoding found no other encoding): the bytes "&Salva" writes,
// final CR LF included, go to `uscita`. Any text is taken, whatever its line
// breaks. False, with nothing written, when the run cannot be worked out on
// bytes: a cleaning run, code rules, or a list the byte engine does not take
// (MotoreAnsi::Disponibile); the text is then decoded and given to
// Pseudocodifica.
bool PseudocodificaAnsi(QByteArrayView byte, const MotoreAnsi &motore,
                        const QVector<VoceEliminazione> *eliminazioni, const RegoleCodice &regole,
                        UscitaByte &uscita, qsizetype *sostituzioni = nullptr);

// The batch run of the file at `percorso`: the bytes "&Salva" writes after
// opening it and the runs above go to `uscita`. A large Windows-1252 file
// that the byte engine takes is worked on while it is read, and never held
// whole. False when the file cannot be read (`errore` says why); part of the
// result may have gone to `uscita` when reading fails halfway. `sostituzioni`
// receives the replacements made.
bool Elabora(const QString &percorso, const MotoreElenco &motore, const MotoreAnsi &ansi,
             const QVector<VoceEliminazione> *eliminazioni, const RegoleCodice &regole,
             UscitaByte &uscita, ErroreFile *errore, qsizetype *sostituzioni = nullptr);
// The same for a document's bytes already read (standard input).
void Elabora(const QByteArray &byte, const MotoreElenco &motore, const MotoreAnsi &ansi,
             const QVector<VoceEliminazione> *eliminazioni, const RegoleCodice &regole,
             UscitaByte &uscita, qsizetype *sostituzioni = nullptr);

// A list file read as it is, never created nor changed; its records as the
// program reads them (a trailing part-record is ignored). Refused, as the
// window refuses it, when it is not a regular file or is larger than
// DimensioneMassimaElenco.
std::optional<QByteArray> LeggiElenco(const QString &percorso, ErroreFile *errore);
QVector<VoceSostituzione> Sostituzioni(const QByteArray &dati);
QVector<VoceEliminazione> Eliminazioni(const QByteArray &dati);

} // namespace Lotto
