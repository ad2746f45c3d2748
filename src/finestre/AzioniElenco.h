#pragma once

// Commands of the list editors that bring rows in from elsewhere or write them
// out: a language's shipped list, and list text files. They ask through their
// dialogs and hand what was chosen to the editor's model. The file is written
// only by the editor's own save.

#include "nucleo/ModelloElenco.h"
#include "nucleo/codice/Linguaggio.h"
#include "nucleo/elenchi/VociElenco.h"

#include <QDialog>
#include <QVector>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

// The choice of a language whose list is loaded.
class FinestraLinguaggio : public QDialog
{
    Q_OBJECT
public:
    // `proposto` is selected first (BASIC when it has no list).
    explicit FinestraLinguaggio(Linguaggio proposto, QWidget *padre = nullptr);

    QLabel *EtichettaLinguaggio = nullptr;
    QComboBox *SceltaLinguaggio = nullptr;
    QPushButton *BottoneOk = nullptr, *BottoneAnnulla = nullptr;

    Linguaggio Scelto() const;
};

namespace AzioniElenco {

// Asks for a language, then, when the editor holds rows, whether to replace
// them or to add at the end the entries whose word they lack; replacing goes
// ahead only when `puoSostituire` (if given) agrees. False when the rows stay
// as they are (cancelled).
bool CaricaLinguaggio(QWidget *padre, ModelloElenco &modello,
                      Linguaggio proposto = Linguaggio::Basic,
                      const std::function<bool()> &puoSostituire = {});

// The open dialog, then the file read as list text: refused lines are listed
// in one message and the rest loaded (replacing the rows or added at the end,
// as asked when the editor holds rows). False when the rows stay as they are.
bool Importa(QWidget *padre, ModelloElenco &modello);

// The save dialog (asking before replacing a file), then the rows written as
// list text; rows that could not be read back are left out and listed in one
// message. False when cancelled or the write failed (the error was shown).
bool Esporta(QWidget *padre, const QVector<VoceSostituzione> &righe);
bool Esporta(QWidget *padre, const QVector<VoceEliminazione> &righe);

} // namespace AzioniElenco
