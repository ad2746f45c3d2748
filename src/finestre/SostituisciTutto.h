#pragma once

#include <QString>

class FinestraPrincipale;

// Replaces every occurrence of `Parola` in the chosen part of the editor text
// ("Su", "Giù" or "Tutte" from the caret), showing progress in the main
// window and stopping when the find dialog's "I&nterrompi" is clicked.
void SostituisciTutto(FinestraPrincipale &form, const QString &Parola, const QString &Sostituto,
                      qint16 Maiuscole, qint16 Intere, qint16 Direzione);
