#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about window: the program's name, what it does, its version, and the credits.
class FinestraInformazioni : public QDialog
{
    Q_OBJECT
public:
    // The credits file is in `cartellaProgramma`, or in ../share/quadrivo from
    // it when the program is installed.
    FinestraInformazioni(const QString &cartellaProgramma, QWidget *padre);

    QLabel *ImmagineProgramma, *Titolo, *Descrizione, *Versione;
    QPushButton *BottoneOk, *BottoneCrediti;

    // The credits file the "&Crediti" button opens.
    QString PercorsoCrediti() const;

public Q_SLOTS:
    void Chiudi();        // "OK"
    void MostraCrediti(); // "&Crediti"

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QString m_cartella;
    QPixmap m_sfondo;
};
