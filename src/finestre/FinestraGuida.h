#pragma once

#include <QDialog>

class QTextBrowser;

// The program's own guide, "Guida di Quadrivo": HTML built into the
// program, shown without a browser. It does not block the other windows.
class FinestraGuida : public QDialog
{
    Q_OBJECT
public:
    explicit FinestraGuida(QWidget *padre = nullptr);

    // Where the guide is kept inside the program.
    static QString Indirizzo();

    QTextBrowser *Testo = nullptr;
};
