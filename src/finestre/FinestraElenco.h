#pragma once

#include "nucleo/ModelloElenco.h"
#include "nucleo/codice/Linguaggio.h"

#include <memory>

#include <QDialog>

class FinestraPrincipale;
class Contesto;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// The list editor window: "FinestraSostituzioni" edits the substitution list,
// "FinestraEliminazioni" the elimination list. Both are built alike; the list decides the captions,
// the entry dialog and the tab order. The rows live in the model; the file changes on "&Salva".
class FinestraElenco : public QDialog
{
    Q_OBJECT
public:
    FinestraElenco(FinestraPrincipale &form, Elenco elenco);

    Elenco Tipo() const { return m_modello->Tipo(); }
    ModelloElenco &Modello() { return *m_modello; }
    const ModelloElenco &Modello() const { return *m_modello; }
    // The language whose list is shown (none: the shared list).
    Linguaggio LinguaggioElenco() const { return m_linguaggio; }

    // The message shown when a list file could not be read.
    static void AvvisaLetturaFallita(QWidget *padre, const ArchivioListe &liste, Elenco elenco,
                                     const ErroreFile &errore);

    QLabel *EtichettaElenco = nullptr;
    // Which list is edited ("Testo", "BASIC", "C", "C++", "batch"): only
    // when each language has its own lists.
    QComboBox *SceltaElenco = nullptr;
    QTableView *VistaElenco = nullptr;
    QPushButton *BottoneRimuoviTutti = nullptr, *BottoneSalva = nullptr, *BottoneAggiungi = nullptr,
                *BottoneRimuovi = nullptr, *BottonePredefiniti = nullptr, *BottoneChiudi = nullptr,
                *BottoneModifica = nullptr, *BottoneRipristina = nullptr, *BottoneSu = nullptr,
                *BottoneGiu = nullptr, *BottoneLinguaggio = nullptr, *BottoneImporta = nullptr,
                *BottoneEsporta = nullptr;

    // The first selected row (from 0), or nothing when none is selected.
    std::optional<int> RigaSelezionata() const;

    // Rewrites the file from the rows; false (after the error message) when it failed.
    bool SalvaElenco();

    // True when the window may close: its rows are those of the file, or the
    // user answered the question about saving them (and a save succeeded).
    bool PuoChiudere();
    // True when the rows may be replaced by others ("&Predefiniti", "Carica
    // &linguaggio..."): they are those of the file, or the user agreed to lose the edits.
    bool PuoSostituireRighe();

public Q_SLOTS:
    void RimuoviTutti(); // "R&imuovi tutti"
    void Salva();        // "&Salva"
    void Aggiungi();     // "A&ggiungi..."
    void Rimuovi();      // "&Rimuovi"
    void Predefiniti();  // "&Predefiniti"
    void Chiudi();       // "&Chiudi"
    void Modifica();     // "&Modifica...", a double click
    void Ripristina();   // "Ripris&tina": the file's rows again
    void SpostaSu();     // up arrow
    void SpostaGiu();    // down arrow

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
    void CaricaElenco();
    // Shows `linguaggio`'s list of this kind, after the question about
    // unsaved rows; false (the list unchanged) when the user cancelled or the
    // list could not be opened.
    bool CambiaElenco(Linguaggio linguaggio);
    static void AvvisaAperturaFallita(QWidget *padre, const ArchivioListe &liste, Elenco elenco,
                                      const ErroreFile &errore);
    void Seleziona(int riga);

    Contesto &m_contesto;
    FinestraPrincipale *m_form;
    std::unique_ptr<ModelloElenco> m_modello;
    Linguaggio m_linguaggio = Linguaggio::Nessuno;
};
