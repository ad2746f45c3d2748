#pragma once

// Slow, literal models of the program's algorithms, written step by step as
// the behaviour is described, to check the engines against.

#include "nucleo/codice/Linguaggio.h"
#include "nucleo/elenchi/VociElenco.h"
#include "nucleo/ricerca/Ricerca.h"

#include <optional>

namespace Modello {

// A record written byte by byte: each field a 16-bit little-endian length and
// its bytes, then the integers, then zero filler up to 128.
QByteArray RecordLetterale(const QList<QByteArray> &campiTesto, const QList<int> &campiInteri);

// An editor as plain values.
struct Editor
{
    QString testo;
    qsizetype selStart = 0;
    qsizetype selLength = 0;
};

// The find engine driven as the find dialog drives it, on a plain editor, with
// the remembered position counted from 1: `chiedi` answers the question at
// the end (the start) of the text; silent mode (`Modo` not empty) never asks.
bool CercaConDomande(Editor &editor, qint32 &PosRicerca, const QString &Parola, const QString &Modo,
                     qint16 Maiuscole, qint16 Intere, qint16 Direzione,
                     const std::function<bool(Ricerca::Domanda)> &chiedi);

bool Separatore(QChar c);
QString Maiuscolo(const QString &s);

// The find routine, one position at a time.
bool CercaParola(Editor &editor, qint32 &PosRicerca, const QString &Parola, const QString &Modo,
                 qint16 Maiuscole, qint16 Intere, qint16 Direzione,
                 const std::function<bool(Ricerca::Domanda)> &chiedi);

// The replacing scan of the replace-all and of the pseudocoding run, rebuilding
// the working text at every match. `fermaA`: stop before examining the k-th
// position (counting from 1), as an interruption would; -1 never.
// `dopoIlTesto`: the character that follows W in the document when W is only
// its first part; none when W ends the document.
struct EsitoSostituzione
{
    QString testo;
    int sostituzioni = 0;
    bool interrotto = false;
};
EsitoSostituzione Sostituisci(QString W, const QString &Parola, const QString &Sostituto,
                              qint16 Maiuscole, qint16 Intere, qsizetype fermaA = -1,
                              int inizio = 1, std::optional<QChar> dopoIlTesto = std::nullopt);

// Reading a text as code, literally.
struct Codice
{
    bool proteggi = false;
    bool separatori = false;
    TipoTesto tipo;
};

// Whether W[k] ends a word: the 13 classic delimiters, and with `separatori`
// also tab = + - * / \ ^ & | ~ { } [ ] " ' -- but an "&" right after a letter,
// a digit or "_" in a BASIC text, which is that name's suffix. With the names
// kept, also "@" in batch and "$" after a name character in BASIC, while in
// batch a "-" after a name character no longer ends a word. Before the
// start of W (k < 0) stands a space.
bool DelimitaCodice(const QString &W, qsizetype k, const Codice &regole);

// Whether the code's names are kept: both options on, with a language.
bool Nomi(const Codice &regole);

// Whether the words match only as written: the names kept in C or C++.
bool MaiuscoleEsatte(const Codice &regole);

// One flag per character of W: a name kept intact (NomiDelCodice).
QVector<bool> NomiIntatti(const QString &W, const Codice &regole);

// One character flag per character of W: inside a comment or a string, or a
// name kept intact (`nomi` when given, else those of W).
QVector<bool> Protetti(const QString &W, const Codice &regole, const QVector<bool> *nomi = nullptr);

// The replacing scan with the code rules: an occurrence whose first
// character is flagged in the text the scan was given is left alone; the
// flags move with the text as it is rebuilt, the inserted text unflagged.
// With the names kept, a word that does not begin with a letter, a digit or
// "_" needs no delimiter before it.
EsitoSostituzione SostituisciCodice(QString W, const QString &Parola, const QString &Sostituto,
                                    qint16 Maiuscole, qint16 Intere, const Codice &regole,
                                    QVector<bool> *nomi = nullptr);

// The automatic run: every entry with a word, each a scan of the text the
// entries before it made (whole words, case aside unless MaiuscoleEsatte).
QString ElencoCodice(QString W, const QVector<VoceSostituzione> &voci, const Codice &regole,
                     int *sostituzioni = nullptr);

// The cleaning run: every word deleted, whole or anywhere as its "Sì"/"No" says
// (case as MaiuscoleEsatte says).
QString PuliziaCodice(QString W, const QVector<VoceEliminazione> &voci, const Codice &regole,
                      int *eliminate = nullptr);

// The first 0-based index at or after `da` where `Parola` occurs as a whole
// word (case as MaiuscoleEsatte says), outside comments and strings; -1 when none. `nomi`: the
// names kept intact, when not those of W.
qsizetype TrovaCodice(const QString &W, const QString &Parola, qsizetype da, const Codice &regole,
                      const QVector<bool> *nomi = nullptr);

// The walk that replaces every occurrence it finds, entry after entry: each
// find reads the comments and strings of the text as it is then, and the
// names of the text given, moved with it as in ElencoCodice.
QString CamminoCodice(QString W, const QVector<VoceSostituzione> &voci, const Codice &regole);

} // namespace Modello
