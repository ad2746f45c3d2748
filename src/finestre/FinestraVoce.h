#pragma once

#include "nucleo/elenchi/ArchivioListe.h"

#include <QDialog>

class FinestraElenco;
class Contesto;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The entry dialog of a list editor: "VoceSostituzioni" for substitutions, "VoceEliminazioni" for
// eliminations. Its caption ("Aggiungi" or "Modifica") says what OK does.
class FinestraVoce : public QDialog
{
    Q_OBJECT
public:
    explicit FinestraVoce(FinestraElenco &elenco);

    QLabel *Label1 = nullptr, *Label2 = nullptr;
    QLineEdit *Text1 = nullptr, *Text2 = nullptr; // Text2: substitutions only
    QCheckBox *Check1 = nullptr;                  // eliminations only
    QPushButton *Command1 = nullptr, *Command2 = nullptr;

    // True when a row of the list has `testo` as its first column, case aside.
    bool CercaLista(const QString &testo) const;

public Q_SLOTS:
    void Command1_Click(); // OK

private:
    QString SecondaColonna() const;

    Contesto &m_contesto;
    FinestraElenco &m_elenco;
};
