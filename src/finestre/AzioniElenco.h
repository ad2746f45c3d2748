#pragma once

// Commands of the list editors that bring rows in from elsewhere or write them
// out: a language's shipped list, and list text files. Each takes the rows the
// editor shows and returns the rows it is to show, or nothing when they stay
// as they are (cancelled, or nothing could be read). The file is written
// only by the editor's own save.

#include "nucleo/codice/Linguaggio.h"
#include "nucleo/elenchi/VociElenco.h"

#include <QDialog>
#include <QVector>
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
// them or to add at the end the entries whose word they lack.
std::optional<QVector<VoceSostituzione>> CaricaLinguaggio(QWidget *padre,
                                                          const QVector<VoceSostituzione> &righe,
                                                          Linguaggio proposto = Linguaggio::Basic);

// The open dialog, then the file read as list text: refused lines are listed
// in one message and the rest loaded (replacing the rows or added at the end,
// as asked when the editor holds rows).
std::optional<QVector<VoceSostituzione>> Importa(QWidget *padre,
                                                 const QVector<VoceSostituzione> &righe);
std::optional<QVector<VoceEliminazione>> Importa(QWidget *padre,
                                                 const QVector<VoceEliminazione> &righe);

// The save dialog (asking before replacing a file), then the rows written as
// list text; rows that could not be read back are left out and listed in one
// message. False when cancelled or the write failed (the error was shown).
bool Esporta(QWidget *padre, const QVector<VoceSostituzione> &righe);
bool Esporta(QWidget *padre, const QVector<VoceEliminazione> &righe);

// Adds at the end of `righe` the entries of `nuove` whose word no row has, in
// any case (nor an earlier entry of `nuove`).
QVector<VoceSostituzione> AggiungiMancanti(QVector<VoceSostituzione> righe,
                                           const QVector<VoceSostituzione> &nuove);
QVector<VoceEliminazione> AggiungiMancanti(QVector<VoceEliminazione> righe,
                                           const QVector<VoceEliminazione> &nuove);

} // namespace AzioniElenco
