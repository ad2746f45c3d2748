#pragma once

#include <QString>

// A failed file operation as the user sees it: a number and a description.
struct ErroreFile
{
    int numero = 0;
    QString descrizione;

    // The error of the last failed C library call (errno), described in Italian.
    static ErroreFile DaErrno(int numeroErrno);

    // "Errore: <descrizione>  (<numero>)"
    QString Messaggio() const;
    // The same, with a line naming the file it happened on:
    // "Errore: <descrizione>  (<numero>)\r\nFile: \"<percorso>\""
    QString Messaggio(const QString &percorso) const;
};

// Number of the condition "the user cancelled the file dialog".
constexpr int NumeroAnnullamento = 32755;

ErroreFile ErroreAnnullamento();
