#pragma once

#include <QString>

class FinestraPrincipale;

// Finds the next occurrence in the main window's editor and selects it there,
// asking the wrap questions in interactive mode (`Modo` empty). The find
// dialog's window shows the busy pointer while it runs.
bool CercaParola(FinestraPrincipale &form, const QString &Parola, const QString &Modo,
                 qint16 Maiuscole, qint16 Intere, qint16 Direzione);
