#pragma once

// The few platform services the windows use: message boxes, the file dialog,
// modal windows, the busy pointer, the screen, twips and the program folder.
// Message boxes, file dialogs and modal windows can be answered by a
// Risponditore instead of the user.

#include <QElapsedTimer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

class QMessageBox;

class QPushButton;

class QApplication;
class QDialog;
class QWidget;

namespace Piattaforma {

// OKConfronta: OK, and "C&onfronta..." that opens the comparison window.
// SostituisciAggiungi: "&Sostituisci le righe" (Si), "&Aggiungi in fondo" (No,
// the default: it loses nothing) and "A&nnulla".
enum class Pulsanti { OK, OKAnnulla, SiNo, SiNoAnnulla, OKConfronta, SostituisciAggiungi };
enum class Icona { Informazione, Domanda, Esclamazione, Critico };
enum class Risposta { OK, Annulla, Si, No, Confronta };

inline const QString TitoloProgramma = QStringLiteral("Quadrivo");

// A modal message box; returns the button pressed.
// What Esc answers: Annulla, or No (or OK) when there is no Annulla button.
Risposta RispostaEsc(Pulsanti pulsanti);
Risposta MessageBox(QWidget *padre, const QString &testo, Pulsanti pulsanti, Icona icona,
                    const QString &titolo = TitoloProgramma);
// The box MessageBox shows, not yet shown: its buttons, default and Esc button set.
std::unique_ptr<QMessageBox> CreaMessaggio(QWidget *padre, const QString &testo, Pulsanti pulsanti,
                                           Icona icona, const QString &titolo = TitoloProgramma);

// Shows `finestra` modally and returns when it has closed.
int MostraModale(QDialog *finestra);

// Shows a window that works beside the main window (which the caller then
// disables), kept above it by the window manager.
void MostraSopra(QWidget *finestra, QWidget *principale);

// Milliseconds of work between two turns of the event loop while a window
// runs a long scan: short enough for the interface to feel alive.
inline constexpr int MillisecondiCessione = 15;

// Lets the event loop run during a long scan, once every `intervallo`
// milliseconds of work, so the interface repaints and takes clicks.
class Cessione
{
public:
    explicit Cessione(int intervallo);
    // Yields when the interval has passed; true when it did.
    bool operator()();

private:
    qint64 m_prossima;
    int m_intervallo;
};

// The open/save dialog. One instance serves a whole window, so it offers the
// path chosen last.
class DialogoFile
{
public:
    enum class Modo { Apri, Salva };

    // Filter in the "description|patterns|description|patterns" form.
    void ImpostaFiltro(const QString &filtro);
    // The chosen path, or nothing when the user cancelled.
    std::optional<QString> Mostra(QWidget *padre, Modo modo);
    // The path the next dialog offers.
    void ProponiPercorso(const QString &percorso) { m_ultimo = percorso; }
    const QString &Ultimo() const { return m_ultimo; }
    // The extension (without the dot) a name chosen to save under gets when
    // it has none; empty: names are kept as typed.
    void ImpostaSuffisso(const QString &suffisso) { m_suffisso = suffisso; }
    QString ConSuffisso(const QString &percorso) const;

    const QStringList &Descrizioni() const { return m_descrizioni; }
    // The patterns of each description, space-separated.
    const QStringList &Modelli() const { return m_modelli; }

private:
    QStringList m_descrizioni;
    QStringList m_modelli; // patterns of each description, space-separated
    QString m_ultimo;
    QString m_suffisso;
};

// Starts the desktop's viewer on `percorso` without waiting for it; false
// when no viewer could be started. `nonAperto` is called later when the
// desktop turns out to have no program that shows the file.
bool AvviaVisualizzatore(const QString &percorso, const std::function<void()> &nonAperto = {});

void PuntatoreOccupato(QWidget *finestra, bool occupato);
bool HaPuntatoreOccupato(const QWidget *finestra);

// Screen size in twips.
QSize DimensioneSchermo();

// Twips (1/1440 inch) at the screen's logical resolution.
int Pixel(int twip);
int Twip(int pixel);

// A push button of `padre` named `nome` (for tests and styles), at a place
// and size given in twips.
QPushButton *Pulsante(QWidget *padre, const char *nome, const QString &testo, int x, int y,
                      int larghezza, int altezza);

// Folder for the list files: the executable's folder when it can be written,
// otherwise the user's data folder for the program (created when needed).
QString CartellaListe();

// The program's application settings: its style, name and desktop entry, the
// Italian translations and the font. No display name is set, so every window shows the
// window manager its own title and nothing more.
void PreparaApplicazione(QApplication &app);

// Answers in place of the user. Tests install one so that no message box,
// file dialog or modal window waits for a person; the program installs none.
class Risponditore
{
public:
    virtual ~Risponditore() = default;
    virtual Risposta Messaggio(const QString &testo, Pulsanti pulsanti, Icona icona,
                               const QString &titolo) = 0;
    // `proposto`: the path the dialog would offer; `filtro`: its first description.
    virtual std::optional<QString> File(DialogoFile::Modo modo, const QString &proposto,
                                        const QString &filtro) = 0;
    // Takes over the modal window `finestra` and returns its result once closed.
    virtual int Modale(QDialog *finestra) = 0;
    // Whether the viewer could be started on `percorso`.
    // `nonAperto` as AvviaVisualizzatore calls it: the desktop has no program for the file.
    virtual bool Visualizzatore(const QString &percorso,
                                const std::function<void()> &nonAperto) = 0;
    // The screen size in twips, or nothing for the real screen's.
    virtual std::optional<QSize> Schermo() = 0;
};

// Installs `risponditore` (nullptr: the user answers again).
void InstallaRisponditore(Risponditore *risponditore);

} // namespace Piattaforma
