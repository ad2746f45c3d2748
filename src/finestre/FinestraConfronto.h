#pragma once

#include "nucleo/testo/Confronto.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;

// The original text on the left and the current text on the right, line
// beside line in one table (so both sides scroll together), the changed
// words highlighted; buttons and F8 / Maiusc+F8 walk through the changes.
class FinestraConfronto : public QDialog
{
    Q_OBJECT
public:
    FinestraConfronto(const QString &originale, const QString &attuale, QWidget *padre = nullptr);

    // Compares and shows the dialog until it is closed.
    static void Mostra(const QString &originale, const QString &attuale, QWidget *padre);

    const Confronto::Risultato &Risultato() const { return m_risultato; }
    // The table row the user is on, -1 for none.
    qsizetype RigaCorrente() const;

    QTableView *VistaConfronto = nullptr;
    QLabel *EtichettaRiepilogo = nullptr; // how many lines changed
    QPushButton *BottonePrecedente = nullptr, *BottoneSuccessivo = nullptr,
                *BottoneChiudi = nullptr;

public Q_SLOTS:
    void CambiamentoSuccessivo();
    void CambiamentoPrecedente();

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    Confronto::Risultato m_risultato;
    void VaiA(qsizetype riga);
};
