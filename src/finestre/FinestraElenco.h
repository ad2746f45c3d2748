#pragma once

#include "nucleo/elenchi/ArchivioListe.h"

#include <QDialog>
#include <QIcon>

class FinestraPrincipale;
class Contesto;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The list editor window: "FinestraSostituzioni" edits the substitution list,
// "FinestraEliminazioni" the elimination list. Both are built alike; the list decides the captions,
// the file, the entry dialog and the tab order. The rows change only the window: the file changes
// on "&Salva".
class FinestraElenco : public QDialog
{
    Q_OBJECT
public:
    FinestraElenco(FinestraPrincipale &form, Elenco elenco);
    ~FinestraElenco() override;

    Elenco Tipo() const { return m_elenco; }
    Contesto &Condiviso() { return m_contesto; }

    QLabel *Label1 = nullptr;
    QTreeWidget *ListView1 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr,
                *Command5 = nullptr, *Command6 = nullptr, *Command7 = nullptr, *Command8 = nullptr,
                *Command9 = nullptr, *Command10 = nullptr, *Command11 = nullptr,
                *Command12 = nullptr, *Command13 = nullptr;

    // Rows as shown: first and second column.
    int NumeroRighe() const;
    QString Testo(int riga, int colonna) const; // riga from 1
    void AggiungiRiga(const QString &primo, const QString &secondo);
    void ImpostaRiga(int riga, const QString &primo, const QString &secondo);

    // Number (from 1) of the first selected row, or 0 when none is selected.
    int RigaSelezionata() const;

    // Appends the file's rows, trimmed of spaces.
    void CaricaElenco();
    // Rewrites the file from the rows; false (after the error message) when it failed.
    bool SalvaElenco();

    // True when the window may close: its rows are those of the file, or the
    // user answered the question about saving them (and a save succeeded).
    bool PuoChiudere();

public Q_SLOTS:
    void Command1_Click(); // "R&imuovi tutti"
    void Command2_Click(); // "&Salva"
    void Command3_Click(); // "A&ggiungi..."
    void Command4_Click(); // "&Rimuovi"
    void Command5_Click(); // "&Predefiniti"
    void Command6_Click(); // "&Chiudi"
    void Command7_Click(); // "&Modifica..."
    void Command8_Click(); // "Ripris&tina"
    void SpostaSu();       // up arrow
    void SpostaGiu();      // down arrow

    // Rows from elsewhere: "Carica &linguaggio..." (substitution list only),
    // "Imp&orta...", "&Esporta...".
    void CaricaLinguaggio();
    void Importa();
    void Esporta();

protected:
    void done(int risultato) override;
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void Scambia(int riga, int altra);
    void MostraVoce(const QString &modo, int riga);
    void MostraRighe(const QVector<VoceSostituzione> &righe);
    void MostraRighe(const QVector<VoceEliminazione> &righe);
    QTreeWidgetItem *NuovaRiga(const QString &primo, const QString &secondo) const;
    QVector<VoceSostituzione> RigheSostituzione() const;
    QVector<VoceEliminazione> RigheEliminazione() const;

    Contesto &m_contesto;
    Elenco m_elenco;
    FinestraPrincipale *m_form;
    QIcon m_iconaRiga;      // one picture shared by every row
    bool m_toccato = false; // rows changed since they were loaded or saved
};
