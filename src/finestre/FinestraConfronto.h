#pragma once

#include "nucleo/codice/Linguaggio.h"
#include "nucleo/testo/Confronto.h"

#include <QDialog>
#include <QFont>
#include <QHash>
#include <functional>
#include <optional>

class EditorTesto;
class QAbstractTableModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTableView;

// How the comparison shows the texts: as the editor does.
struct AspettoConfronto
{
    // The editor's font at its zoom, and its size at zoom 0 (Ctrl+0); none:
    // the system's fixed-width font.
    std::optional<QFont> Carattere;
    qreal DimensioneNormale = 0;
    // The language whose comments and strings are coloured on both sides.
    TipoTesto Tipo;
    // The same as `editor`.
    static AspettoConfronto Di(const EditorTesto *editor, const TipoTesto &tipo);
};

// The original text on the left and the current text on the right, line
// beside line in one table (so both sides scroll together), the changed
// words highlighted; buttons and F8 / Maiusc+F8 walk through the changes.
// The two text columns share the view half and half, always side by side;
// sideways the text inside both moves by one shared offset (the bar under
// the table, Maiusc+wheel, arrows); F8 brings the change into view.
// The words the last run replaced are underlined on the current side.
// Above the table: a find field (Ctrl+T; Enter and F3 the next row holding
// the text, Maiusc+F3 the one before), "Solo le righe cambiate" and "A capo
// automatico" (long lines wrap at the column's width instead of moving
// sideways). Ctrl++, Ctrl+- and Ctrl+0 zoom as in the editor.
class FinestraConfronto : public QDialog
{
    Q_OBJECT
public:
    // `segniCorsa`: the stretches of `attuale` the last run replaced (CR LF offsets).
    FinestraConfronto(const QString &originale, const QString &attuale, QWidget *padre = nullptr,
                      const QList<std::pair<qsizetype, qsizetype>> &segniCorsa = {},
                      const AspettoConfronto &aspetto = {});

    // Compares and shows the dialog until it is closed. `allaRiga`, when
    // given, is called with the line of `attuale` (0-based) the user picks,
    // which closes the dialog.
    static void Mostra(const QString &originale, const QString &attuale, QWidget *padre,
                       const QList<std::pair<qsizetype, qsizetype>> &segniCorsa = {},
                       const std::function<void(qsizetype)> &allaRiga = {},
                       const AspettoConfronto &aspetto = {});
    // Moves the caret of `editor` to a picked line, centred in its view.
    static std::function<void(qsizetype)> AllaRigaDi(EditorTesto *editor);

    const Confronto::Risultato &Risultato() const { return m_risultato; }
    // The comparison's row the user is on, -1 for none.
    qsizetype RigaCorrente() const;
    // The comparison's rows the table shows, in order.
    const QList<qsizetype> &RigheMostrate() const { return m_righe; }
    // The comments and strings of each row's line, original and current side.
    const QHash<qsizetype, QList<Confronto::Tratto>> &CommentiOriginale() const
    {
        return m_commentiOriginale;
    }
    const QHash<qsizetype, QList<Confronto::Tratto>> &CommentiAttuale() const
    {
        return m_commentiAttuale;
    }
    // The height of the table row of comparison row `riga`: one line, or with
    // "A capo automatico" as many as its longer side wraps into.
    int AltezzaRiga(qsizetype riga) const;
    // Font size steps from the normal size, as the editor counts them.
    int Ingrandimento() const { return m_ingrandimento; }
    void ImpostaIngrandimento(int passi);

    QTableView *VistaConfronto = nullptr;
    // The text's sideways offset in pixels, the same for both sides.
    QScrollBar *BarraOrizzontale = nullptr;
    QLabel *EtichettaRiepilogo = nullptr; // how many lines changed
    QLabel *EtichettaLegenda = nullptr;   // what the underlining means; shown with marks only
    // The run's marks of each row's current line.
    const QHash<qsizetype, QList<Confronto::Tratto>> &SegniCorsa() const { return m_segniCorsa; }
    QPushButton *BottonePrecedente = nullptr, *BottoneSuccessivo = nullptr,
                *BottoneChiudi = nullptr;
    QLabel *EtichettaCambiamento = nullptr; // "Cambiamento N di M"
    QLineEdit *CampoTrova = nullptr;
    QLabel *EtichettaTrova = nullptr; // "Non trovato" after a search that failed
    QCheckBox *CasellaSoloCambiate = nullptr, *CasellaACapo = nullptr;

public Q_SLOTS:
    void CambiamentoSuccessivo();
    void CambiamentoPrecedente();
    // Picks the current line of table row `riga` (double-click, or Enter on
    // the row) and closes, so that the line shows in the editor.
    void ScegliRiga(qsizetype riga);
    // The next (or previous) shown row that holds the find field's text.
    void TrovaSuccessivo();
    void TrovaPrecedente();
    void MostraSoloCambiate(bool solo);
    void ImpostaACapo(bool aCapo);

Q_SIGNALS:
    // The user picked line `rigaAttuale` (0-based) of the current text.
    void RigaScelta(qsizetype rigaAttuale);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *oggetto, QEvent *e) override;

private:
    Confronto::Risultato m_risultato;
    QList<qsizetype> m_righe; // the rows shown
    QHash<qsizetype, QList<Confronto::Tratto>> m_segniCorsa;
    QHash<qsizetype, QList<Confronto::Tratto>> m_commentiOriginale, m_commentiAttuale;
    QAbstractTableModel *m_modello = nullptr;
    int m_colonneTab = 8;           // columns a tab reaches to
    qsizetype m_colonneMassime = 0; // longest line of either side
    qreal m_dimensioneNormale = 9;
    int m_ingrandimento = 0;
    int m_rotellaAccumulata = 0;
    bool m_aCapo = false;
    // What AltezzaRiga wraps by: columns a line holds, pixels a line takes.
    struct
    {
        qsizetype perRiga = 1;
        int altezzaLinea = 1;
    } m_misureACapo;
    // The table row of comparison row `riga`, or of the first shown row after it.
    int RigaTabella(qsizetype riga) const;
    void VaiA(qsizetype riga);
    void Trova(bool avanti, bool daQui);
    // The font changed: row heights, tab width, columns.
    void CarattereCambiato();
    // Shows the rows again (after the filter or the wrapping changed), on the same row.
    void Ricostruisci();
    // With wrapping on, each row as high as its longer side's wrapped lines.
    void AdattaAltezze();
    // Columns of text a wrapped line holds in a text column.
    qsizetype ColonnePerRiga() const;
    void AggiornaCambiamento();
    // Moves the text sideways so that columns [da, a) of the line show.
    void MostraColonne(qreal da, qreal a);
    // Each text column half of the width the numbers leave; the offset's range.
    void AdattaColonne();
    // Sets the offset so that the first change mark of table row `riga` shows
    // (0 when it shows from the line's start).
    void MostraSegno(qsizetype riga);
};
