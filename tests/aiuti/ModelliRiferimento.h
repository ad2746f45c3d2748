#pragma once

// Slow, literal models of the program's algorithms, written step by step as
// the behaviour is described, to check the engines against.

#include "search/Ricerca.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace Modello {

// A record written byte by byte: each field a 16-bit little-endian length and
// its bytes, then the integers, then zero filler up to 128.
QByteArray RecordLetterale(const QList<QByteArray> &campiTesto, const QList<int> &campiInteri);

// An editor as plain values.
struct Editor : Ricerca::EditorRicerca
{
    QString testo;
    qsizetype selStart = 0;
    qsizetype selLength = 0;

    const QString &Testo() override { return testo; }
    qsizetype SelLength() override { return selLength; }
    void AzzeraSelLength() override { selLength = 0; }
    void Seleziona(qsizetype offset, qsizetype lunghezza) override
    {
        selStart = offset;
        selLength = lunghezza;
    }
};

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

} // namespace Modello
