#pragma once

#include <QDialog>

class Contesto;
class QCheckBox;
class QLabel;
class QPushButton;

// The options dialog: the two ways of reading code, whether each language has
// its own list, whether a draft's first save keeps the original, and the
// language the current text is read as. OK stores them in the lists' folder.
class FinestraOpzioni : public QDialog
{
    Q_OBJECT
public:
    explicit FinestraOpzioni(Contesto &stato, QWidget *padre = nullptr);

    QCheckBox *CasellaLasciaIntatti = nullptr;    // comments and strings left alone
    QCheckBox *CasellaSeparatori = nullptr;       // code delimiters
    QCheckBox *CasellaElencoLinguaggio = nullptr; // a list for each language
    QCheckBox *CasellaCopiaOriginale = nullptr;   // NAME~ on a draft's first save
    QLabel *EtichettaLinguaggio = nullptr;        // the language of the text
    QPushButton *BottoneOk = nullptr, *BottoneAnnulla = nullptr;

public Q_SLOTS:
    // Stores the ticked options; on a failed write shows the error and keeps
    // both the dialog and the options as they were.
    void Conferma();

private:
    Contesto &m_contesto;
};
