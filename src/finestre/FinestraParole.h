#pragma once

#include <QDialog>

class FinestraPrincipale;
class Contesto;
class QLabel;
class QPushButton;
class QTreeWidget;

// "Parole non tradotte": the keywords of the text's language that stay in its
// code after the substitution list, with their counts and why each stays (no
// entry, or where it stands), most frequent first (for a text with no
// language, the words that occur at least three times). Double-click on a word
// with no entry adds its translation to the substitution list through the
// entry dialog; on a word the list has, a message tells why it stayed.
class FinestraParole : public QDialog
{
    Q_OBJECT
public:
    explicit FinestraParole(FinestraPrincipale &form, QWidget *padre = nullptr);

    // Builds the window over `padre` (the main window, or the run window at
    // the end of a run) and shows it modally.
    static void Mostra(FinestraPrincipale &form, QWidget *padre);

    QLabel *EtichettaRiepilogo = nullptr, *EtichettaSuggerimento = nullptr;
    QTreeWidget *ElencoParole = nullptr;
    QPushButton *BottoneTraduci = nullptr; // "&Traduci..."
    QPushButton *BottoneChiudi = nullptr;  // "&Chiudi"

    int NumeroRighe() const;
    QString Testo(int riga, int colonna) const; // riga from 1

    // Counts the words again from the editor text and the list file.
    void Aggiorna();

    // The entry dialog in "Aggiungi" mode with the word of row `riga` (from 1)
    // filled in; on OK the entry is appended to the list file and the rows are
    // counted again. For a word the list already has, a message with the
    // reason instead. False when nothing was added.
    bool AggiungiTraduzione(int riga);

public Q_SLOTS:
    void TraduciSelezionata(); // "&Traduci...": the selected word

private:
    Contesto &m_contesto;
    FinestraPrincipale &m_form;
};
