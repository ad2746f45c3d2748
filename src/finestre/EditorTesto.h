#pragma once

#include "nucleo/codice/Linguaggio.h"
#include "nucleo/testo/ModificheTesto.h"

#include <QKeySequence>
#include <QList>
#include <QPlainTextEdit>

class QMenu;

// The document editor. Its text and selection are read and written in
// characters of the CR LF text: a line break counts as its two characters, so a
// 1-based position p of Text() is the offset p - 1. The Qt document holds one
// position per line break; the conversions below cost O(log² n) per call.
class Evidenziatore;

class EditorTesto : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit EditorTesto(QWidget *padre = nullptr);

    // The whole text with CR LF line breaks. Kept until the document changes.
    const QString &Text() const;
    // Replaces the whole text; CR LF, lone LF and lone CR become line breaks.
    // The previous selection is not kept.
    void SetText(const QString &testo);
    // Replaces the whole text as one step of the undo history, applying only
    // the edits ModificheTesto::Calcola finds, so the unchanged lines keep
    // their blocks.
    // Like SetText it does not keep the selection and does not raise
    // TestoCambiato; undoing or redoing the step does.
    // With `segnaModifiche` the stretches it changes stay marked until the next
    // change of the text (the words a run replaced). Returns the edits made.
    QList<ModificheTesto::Modifica> SostituisciTesto(const QString &testo,
                                                     bool segnaModifiche = false);
    // Marks `segni` (CR LF offsets of the current text) until the next change
    // of the text, in place of any earlier marks.
    void MostraSegni(const QList<ModificheTesto::Segno> &segni);
    // The marked stretches, in CR LF offsets: start and length.
    QList<std::pair<qsizetype, qsizetype>> Segnati() const;

    // The language the comments and strings are coloured by; none by default.
    void ImpostaLinguaggio(const TipoTesto &tipo);
    qsizetype Lunghezza() const { return Text().size(); }

    qsizetype SelStart() const;
    void SetSelStart(qsizetype offset); // also empties the selection
    qsizetype SelLength() const;
    void SetSelLength(qsizetype lunghezza); // selects from SelStart
    QString SelText() const;
    void SetSelText(const QString &testo); // caret ends after the inserted text
    // Puts `testo` in place of a non-empty selection and selects it; false
    // (and nothing changed) when nothing is selected.
    bool SostituisciSelezione(const QString &testo);

    // Key combinations that belong to the menus, not to the editor.
    void RiservaScorciatoie(const QList<QKeySequence> &scorciatoie);
    // The context menu the editor shows, not yet shown: "Seleziona tutto"
    // names no key when a menu of the window takes that key for itself.
    QMenu *CreaMenuContestuale();

    // Scrolls so that the caret's line sits in the middle of the view, with
    // lines of context above and below it where the text has them.
    void CentraSelezione();
    // Puts the caret at the start of 1-based line `riga` (kept within the
    // text's lines) and centres it in the view.
    void VaiAllaRiga(int riga);
    // The text's lines: one more than its line breaks.
    int NumeroRighe() const { return blockCount(); }

    // The 1-based line and column of the caret (a column counts characters).
    int RigaCursore() const;
    int ColonnaCursore() const;

    // Font size steps from the normal size, within [IngrandimentoMinimo, IngrandimentoMassimo].
    static constexpr int IngrandimentoMinimo = -6;
    static constexpr int IngrandimentoMassimo = 30;
    int Ingrandimento() const { return m_ingrandimento; }
    void ImpostaIngrandimento(int passi);

    // The margin that shows the line numbers, its width in pixels.
    int LarghezzaMargine() const;

    // Conversions between Qt document positions and CR LF offsets.
    qsizetype OffsetDaPosizione(int posizione) const;
    int PosizioneDaOffset(qsizetype offset) const;

Q_SIGNALS:
    // The text changed by anything but SetText(): typing, deleting, pasting,
    // dragging, undo, redo, or a program write of the selection.
    void TestoCambiato();
    // SostituisciTesto() changed the text (any marks shown before are gone).
    void TestoRiscritto();
    // The zoom changed (Ctrl+wheel or ImpostaIngrandimento).
    void IngrandimentoCambiato(int passi);

protected:
    bool event(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;

private:
    friend class MargineRighe;
    void DisegnaMargine(QPaintEvent *e);
    void AggiornaMargine(const QRect &zona, int scorrimentoVerticale);
    void AdattaMargine();

    void SegnaCambiamento(int posizione, int rimossi, int aggiunti);

    mutable QString m_testo;
    mutable bool m_testoValido = false;
    bool m_scritturaIntera = false;
    QList<QKeySequence> m_riservate;
    QWidget *m_margine = nullptr;
    Evidenziatore *m_evidenziatore = nullptr;
    qreal m_dimensioneNormale = 9;
    int m_ingrandimento = 0;
    int m_rotellaAccumulata = 0;
};
