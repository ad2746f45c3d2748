#pragma once

#include "nucleo/ModelloElenco.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What OK does with the row typed in the entry dialog.
enum class ModoVoce { Aggiungi, Modifica };

// The entry dialog of a list editor: "VoceSostituzioni" for substitutions, "VoceEliminazioni" for
// eliminations. It shows a row and returns the row typed when OK took it.
class FinestraVoce : public QDialog
{
    Q_OBJECT
public:
    // Why a typed row cannot be taken, or an empty string when it can.
    using Controllo = std::function<QString(const RigaElenco &)>;

    FinestraVoce(QWidget *padre, Elenco elenco, ModoVoce modo, const RigaElenco &iniziale,
                 Controllo rifiuto);

    // Shows the dialog modally: the row taken by OK, or nothing when cancelled.
    // `fuocoSulSecondo`: the typing starts in the replacement.
    static std::optional<RigaElenco> Chiedi(QWidget *padre, Elenco elenco, ModoVoce modo,
                                            const RigaElenco &iniziale, Controllo rifiuto,
                                            bool fuocoSulSecondo = false);

    // The row as typed.
    RigaElenco Riga() const;

    QLabel *EtichettaParola = nullptr, *EtichettaSostituzione = nullptr;
    QLineEdit *CasellaParola = nullptr, *CasellaSostituzione = nullptr; // the latter: substitutions
    QCheckBox *CasellaParolaIntera = nullptr;                           // eliminations only
    QPushButton *BottoneOk = nullptr, *BottoneAnnulla = nullptr;

public Q_SLOTS:
    // OK: a refused row is explained and the dialog stays open.
    void Conferma();

private:
    Controllo m_rifiuto;
};
