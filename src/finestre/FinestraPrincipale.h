#pragma once

#include "nucleo/FileRecenti.h"
#include "nucleo/codice/Linguaggio.h"
#include "nucleo/elenchi/ArchivioListe.h"
#include "piattaforma/Piattaforma.h"

#include <QMainWindow>
#include <QPointer>
#include <optional>

class EditorTesto;
class Contesto;
class FinestraTrova;
class QLabel;
class QMenu;
class QVariant;
class QMimeData;
class QProgressBar;
class QStatusBar;

// The main window: the editor, the menus, the status bar and the progress bar.
class FinestraPrincipale : public QMainWindow
{
    Q_OBJECT
public:
    explicit FinestraPrincipale(Contesto &stato, QWidget *padre = nullptr);
    ~FinestraPrincipale() override;

    // Start-up: sizes the window, opens the list files, empties the editor.
    // False when the lists cannot be opened (the error was shown): the program ends.
    bool Avvia();

    // What the layout rule computes, in twips, from the outer size W × H.
    struct Disposizione
    {
        int larghezza = 0, altezza = 0; // the window's outer size after steps 1 and 2
        std::optional<int> larghezzaEditor, altezzaEditor;
        int topBarra = 0, leftBarra = 0; // the progress bar's place
    };
    // `altezzaBarraStato`: the status bar's height; `inizioPannelloBarra`: where
    // its second panel, the one the progress bar sits over, starts.
    static Disposizione RegolaDisposizione(int W, int H, int altezzaBarraStato,
                                           int inizioPannelloBarra);

    // The status bar's first panel: the idle text, or a progress text of an operation.
    static QString TestoInattivo();
    void ImpostaStato(const QString &testo);
    void RipristinaStato();
    QString TestoStato() const;

    // The program's shared state, for the windows this one opens.
    Contesto &Condiviso() { return m_contesto; }
    // The editor.
    EditorTesto *Editor() const { return m_editor; }
    // The progress bar: `valore` of `massimo` (at least 1); empty again.
    void ImpostaAvanzamento(qsizetype valore, qsizetype massimo);
    void AzzeraAvanzamento();
    // Enables or disables the command that runs a list over the text:
    // "&Avvia la pseudocodificazione..." or "A&vvia la pulizia...".
    void AbilitaAvvio(Elenco elenco, bool abilita);
    // The open/save dialog and its filter.
    const Piattaforma::DialogoFile &DialogoApriSalva() const { return m_dialogoFile; }

    // Outer size of the window in twips, and setting it.
    QSize DimensioneEsterna() const;
    void ImpostaDimensioneEsterna(std::optional<int> larghezza, std::optional<int> altezza);

    // True when writing to `nomefile` may go ahead (asks before replacing a file).
    bool ControllaFile(const QString &nomefile);

    // "&Apri..." on `percorso`, the offer to save a modified text included;
    // with no path it asks for one with the open dialog.
    void ApriFile(const std::optional<QString> &percorso);
    // Opens the file named by the command-line arguments that follow the
    // program's name (a path or a file: address), if there is one.
    void ApriArgomenti(const QStringList &argomenti);
    // Start-up: for each save that was interrupted (the program ended while
    // rewriting a file in place), offers to put the file's old content back;
    // a copy not wanted is discarded.
    void OffriRipristini();
    // The local file a drag carries, if any.
    static std::optional<QString> FileTrascinato(const QMimeData *dati);

    // The find/replace dialog, created hidden on first use.
    FinestraTrova *DialogoTrova();
    // Takes input again, or not, as the shared state is busy or not.
    void MostraOccupato();
    // A run (pseudocoding or cleaning) rewrites the text as `testo`: one undo
    // step, and the stretches it replaced marked until the next edit.
    void RiscriviDaCorsa(const QString &testo);
    // The run window while it exists.
    QWidget *FinestraPseudocodificaAperta() const;
    // The guide's window while it is open.
    QWidget *FinestraGuidaAperta() const { return m_finestraGuida; }

    // Reads the text as `linguaggio` from now on, whatever its file name says.
    void ScegliLinguaggio(Linguaggio linguaggio);
    // Shows the list editor of `elenco` modally.
    void MostraElenco(Elenco elenco);

    // The files of the File menu's recent list, the latest first.
    const QStringList &ElencoFileRecenti() const { return m_recenti.Elenco(); }
    // Opens the n-th (0-based) recent file; a file gone from disk is dropped
    // from the list with a message naming it.
    void ApriFileRecente(qsizetype indice);

protected:
    void resizeEvent(QResizeEvent *e) override; // Ridisponi
    void closeEvent(QCloseEvent *e) override;
    // A file dropped on the window or on the editor is opened.
    bool event(QEvent *e) override;
    bool eventFilter(QObject *oggetto, QEvent *e) override;

private Q_SLOTS:
    // The menu commands.
    void Nuovo();
    void Apri();
    void Salva();
    void SalvaConNome();
    void Esci();
    void MostraSostituzioni();
    void MostraPulizia();
    void AvviaPulizia();
    void AvviaPseudocodifica();
    void Taglia();
    void Copia();
    void Incolla();
    void Trova();
    void RipetiTrova();
    void SostituisciParola();
    void MostraParoleNonTradotte();
    void MostraOpzioni();
    void MostraInformazioni();
    void MostraGuida();
    void Ingrandisci();
    void Riduci();
    void DimensioneNormale();
    void ImpostaACapoAutomatico(bool attivo);
    void MostraConfronto();
    void VaiAllaRiga();

private:
    EditorTesto *m_editor = nullptr;
    QStatusBar *m_barraStato = nullptr;
    QProgressBar *m_barraAvanzamento = nullptr;
    Piattaforma::DialogoFile m_dialogoFile;

    QAction *azioneNuovo = nullptr, *azioneApri = nullptr, *azioneSalva = nullptr,
            *azioneSalvaConNome = nullptr, *azioneEsci = nullptr;
    QAction *azioneAnnulla = nullptr, *azioneRifai = nullptr;
    QAction *azioneTaglia = nullptr, *azioneCopia = nullptr, *azioneIncolla = nullptr,
            *azioneSelezionaTutto = nullptr, *azioneTrova = nullptr, *azioneRipetiTrova = nullptr,
            *azioneSostituisciParola = nullptr, *azioneVaiAllaRiga = nullptr;
    QAction *azioneSostituzioni = nullptr, *azionePulizia = nullptr,
            *azioneAvviaPseudocodifica = nullptr, *azioneAvviaPulizia = nullptr;
    QAction *azioneParoleNonTradotte = nullptr, *azioneOpzioni = nullptr;
    QAction *azioneConfronto = nullptr;
    QAction *azioneInformazioni = nullptr, *azioneGuida = nullptr;
    QAction *azioneIngrandisci = nullptr, *azioneRiduci = nullptr,
            *azioneDimensioneNormale = nullptr, *azioneACapoAutomatico = nullptr;
    QMenu *m_menuFile = nullptr;
    QAction *m_separatoreRecenti = nullptr; // the one before "&Esci"
    QList<QAction *> m_azioniRecenti;
    QList<QAction *> m_azioniLinguaggio; // Strumenti → "&Linguaggio del testo"
    // The shared substitution list can be run (not empty, readable).
    bool m_sostituzioniUsabili = true;
    bool m_eliminazioniUsabili = true;

    void CreaMenu();
    void CreaBarraDiStato();
    void Ridisponi();

    // The recent list after `percorso` was opened or saved: stored and shown.
    void FileUsato(const QString &percorso);
    void SalvaRecenti();
    void MostraRecenti();
    // The status bar's panels of the caret's place and of the file's name.
    void MostraPosizione();
    void MostraNomeFile();
    // The editor's colouring and the menu's mark follow the text's language.
    void MostraLinguaggio();
    // The editor's zoom and word wrap, from and to the user's settings.
    void LeggiImpostazioniEditor();
    void SalvaImpostazioneEditor(const QString &chiave, const QVariant &valore);

    // The save dialog until ControllaFile agrees; nothing when cancelled.
    std::optional<QString> CicloNome();
    // Writes the editor text; shows the error and returns false on failure.
    // The first write of a draft over a file keeps it as "NAME~" first.
    bool ScriviTesto(const QString &percorso);
    // Keeps `percorso` as it is when the shared state says so, and tells where
    // in the status bar; when no copy can be kept, asks whether to write
    // anyway. False when the user chose not to.
    bool ConservaOriginale(const QString &percorso);
    // The error, naming `percorso` when it happened on a file.
    void MostraErrore(const ErroreFile &errore, const QString &percorso = {});
    // Saves to the text's own file, asking first when that would write plain
    // text over RTF or over a file changed on disk since it was read; true
    // when the text was saved (perhaps under a new .txt name).
    bool SalvaSulFileCorrente();
    // Saves to the text's own file, or to a name asked for (and not kept);
    // with `soloSeModificato`, only a modified text. False when the save was
    // cancelled or failed.
    bool SalvaInFileProprioONuovo(bool soloSeModificato = false);
    // Asks to save a modified text; false when the command must end here.
    bool OffriSalvataggio();
    // Takes a drag or drop that carries a file; false for anything else.
    bool TrascinamentoDiFile(QEvent *e);

    Contesto &m_contesto;
    QLabel *m_testoStato = nullptr;        // the status bar's first panel
    QLabel *m_pannelloBarra = nullptr;     // its second, empty: the progress bar is over it
    QLabel *m_pannelloPosizione = nullptr; // "Riga R, colonna C"
    QLabel *m_pannelloFile = nullptr;      // the text's file name
    FileRecenti m_recenti;
    // Why the editor settings file was not read, until start-up says so.
    std::optional<ErroreFile> m_impostazioniRifiutate;
    QWidget *m_area = nullptr;
    FinestraTrova *m_finestraTrova = nullptr;
    QPointer<QWidget> m_finestraPseudocodifica;
    QPointer<QWidget> m_finestraGuida;
};
