#pragma once

#include "lists/ArchivioListe.h"

#include <QDialog>

class Form1;
class Modulo1;
class QLabel;
class QPushButton;
class QTreeWidget;

// The list editor window: "Form2" for the substitution list, "frmEl" for the
// elimination list.
class FinestraElenco : public QDialog
{
    Q_OBJECT
public:
    FinestraElenco(Modulo1 &stato, Elenco elenco, Form1 *form);

    Elenco Tipo() const { return m_elenco; }

    QLabel *Label1 = nullptr;
    QTreeWidget *ListView1 = nullptr;
    QPushButton *Command6 = nullptr; // "&Chiudi"

    // Appends the file's rows to the list.
    void CaricaElenco();

    void done(int risultato) override; // Form_Unload

private:
    Modulo1 &m_stato;
    Elenco m_elenco;
    Form1 *m_form;
};
