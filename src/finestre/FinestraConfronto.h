#pragma once

#include "nucleo/testo/Confronto.h"

#include <QDialog>
#include <QHash>
#include <functional>

class EditorTesto;
class QLabel;
class QPushButton;
class QScrollBar;
class QTableView;

// The original text on the left and the current text on the right, line
// beside line in one table (so both sides scroll together), the changed
// words highlighted; buttons and F8 / Maiusc+F8 walk through the changes.
// The two text columns share the view half and half, always side by side;
// sideways the text inside both moves by one shared offset (the bar under
// the table, Maiusc+wheel, arrows); F8 brings the change into view.
// The words the last run replaced are underlined on the current side.
class FinestraConfronto : public QDialog
{
    Q_OBJECT
public:
    // `segniCorsa`: the stretches of `attuale` the last run replaced (CR LF offsets).
    FinestraConfronto(const QString &originale, const QString &attuale, QWidget *padre = nullptr,
                      const QList<std::pair<qsizetype, qsizetype>> &segniCorsa = {});

    // Compares and shows the dialog until it is closed. `allaRiga`, when
    // given, is called with the line of `attuale` (0-based) the user picks,
    // which closes the dialog.
    static void Mostra(const QString &originale, const QString &attuale, QWidget *padre,
                       const QList<std::pair<qsizetype, qsizetype>> &segniCorsa = {},
                       const std::function<void(qsizetype)> &allaRiga = {});
    // Moves the caret of `editor` to a picked line, centred in its view.
    static std::function<void(qsizetype)> AllaRigaDi(EditorTesto *editor);

    const Confronto::Risultato &Risultato() const { return m_risultato; }
    // The table row the user is on, -1 for none.
    qsizetype RigaCorrente() const;

    QTableView *VistaConfronto = nullptr;
    // The text's sideways offset in pixels, the same for both sides.
    QScrollBar *BarraOrizzontale = nullptr;
    QLabel *EtichettaRiepilogo = nullptr; // how many lines changed
    QLabel *EtichettaLegenda = nullptr;   // what the underlining means; shown with marks only
    // The run's marks of each row's current line.
    const QHash<qsizetype, QList<Confronto::Tratto>> &SegniCorsa() const { return m_segniCorsa; }
    QPushButton *BottonePrecedente = nullptr, *BottoneSuccessivo = nullptr,
                *BottoneChiudi = nullptr;

public Q_SLOTS:
    void CambiamentoSuccessivo();
    void CambiamentoPrecedente();
    // Picks the current line of table row `riga` (double-click, or Enter on
    // the row) and closes, so that the line shows in the editor.
    void ScegliRiga(qsizetype riga);

Q_SIGNALS:
    // The user picked line `rigaAttuale` (0-based) of the current text.
    void RigaScelta(qsizetype rigaAttuale);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *oggetto, QEvent *e) override;

private:
    Confronto::Risultato m_risultato;
    QHash<qsizetype, QList<Confronto::Tratto>> m_segniCorsa;
    int m_colonneTab = 8;           // columns a tab reaches to
    qsizetype m_colonneMassime = 0; // longest line of either side
    void VaiA(qsizetype riga);
    // Each text column half of the width the numbers leave; the offset's range.
    void AdattaColonne();
    // Sets the offset so that the first change mark of table row `riga` shows
    // (0 when it shows from the line's start).
    void MostraSegno(qsizetype riga);
};
