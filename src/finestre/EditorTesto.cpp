#include "EditorTesto.h"

#include "nucleo/testo/ACapo.h"
#include "nucleo/testo/ModificheTesto.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// Puts `testo` (no CR) in place of document positions [da, a).
void Sostituisci(QTextCursor &c, int da, int a, const QString &testo)
{
    c.setPosition(da);
    c.setPosition(a, QTextCursor::KeepAnchor);
    if (testo.isEmpty())
        c.removeSelectedText();
    else
        c.insertText(testo);
}

// Ends a program write's undo step. Qt joins typed text to a step whose last
// item is an insertion it continues, so a write ending in one would be taken
// back together with what is typed right after it; this item joins nothing.
class FineScrittura : public QAbstractUndoItem
{
public:
    void undo() override {}
    void redo() override {}
};

// Closes the edit block of a program write as an undo step of its own.
void ChiudiPasso(QTextCursor &c)
{
    c.document()->appendUndoItem(new FineScrittura);
    c.endEditBlock();
}

} // namespace

EditorTesto::EditorTesto(QWidget *padre) : QPlainTextEdit(padre)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);

    QFont carattere(QStringLiteral("Courier New"), 9);
    carattere.setStyleHint(QFont::Monospace);
    if (!QFontInfo(carattere).fixedPitch()) {
        carattere = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        carattere.setPointSize(9);
    }
    setFont(carattere);

    // The pseudocoding run selects words while the main window is disabled
    // and another window has the focus: keep the selection plainly visible.
    QPalette tavolozza = palette();
    for (QPalette::ColorRole ruolo :
         {QPalette::Highlight, QPalette::HighlightedText, QPalette::Text, QPalette::Base}) {
        const QColor attivo = tavolozza.color(QPalette::Active, ruolo);
        tavolozza.setColor(QPalette::Inactive, ruolo, attivo);
        tavolozza.setColor(QPalette::Disabled, ruolo, attivo);
    }
    setPalette(tavolozza);

    connect(document(), &QTextDocument::contentsChange, this, &EditorTesto::SegnaCambiamento);
}

void EditorTesto::SegnaCambiamento(int, int rimossi, int aggiunti)
{
    m_testoValido = false;
    if ((rimossi || aggiunti) && !m_scritturaIntera) Q_EMIT TestoCambiato();
}

const QString &EditorTesto::Text() const
{
    if (!m_testoValido) {
        const QString grezzo = document()->toRawText();
        m_testo.clear();
        m_testo.reserve(grezzo.size() + document()->blockCount());
        qsizetype inizio = 0;
        for (qsizetype i = 0; i < grezzo.size(); ++i) {
            if (grezzo[i] == QChar::ParagraphSeparator) {
                m_testo.append(QStringView(grezzo).sliced(inizio, i - inizio));
                m_testo.append(QLatin1String("\r\n"));
                inizio = i + 1;
            }
        }
        m_testo.append(QStringView(grezzo).sliced(inizio));
        m_testoValido = true;
    }
    return m_testo;
}

void EditorTesto::SetText(const QString &testo)
{
    m_scritturaIntera = true;
    setPlainText(ACapo::Normalizza(testo, ACapo::Forma::Lf));
    m_scritturaIntera = false;
    // What the document now holds, without reading it back; usually `testo`
    // itself, shared.
    m_testo = ACapo::Normalizza(testo);
    m_testoValido = true;
}

void EditorTesto::SostituisciTesto(const QString &testo)
{
    // Both texts compared in the form Text() returns them.
    const QString nuovo = ACapo::Normalizza(testo);
    const QList<ModificheTesto::Modifica> modifiche = ModificheTesto::Calcola(Text(), nuovo);

    m_scritturaIntera = true;
    QTextCursor c(document());
    if (!modifiche.isEmpty()) {
        c.beginEditBlock();
        for (const ModificheTesto::Modifica &m : modifiche)
            Sostituisci(c, int(m.inizio), int(m.inizio + m.lunghezza), m.testo);
        ChiudiPasso(c);
        c.setPosition(0);
    }
    setTextCursor(c);
    m_scritturaIntera = false;
    // The document now holds exactly `nuovo`: keep it instead of reading it back.
    m_testo = nuovo;
    m_testoValido = true;
}

qsizetype EditorTesto::OffsetDaPosizione(int posizione) const
{
    const QTextBlock blocco = document()->findBlock(posizione);
    return ACapo::OffsetDaPosizione(posizione, blocco.isValid() ? blocco.blockNumber()
                                                                : document()->blockCount() - 1);
}

int EditorTesto::PosizioneDaOffset(qsizetype offset) const
{
    const QTextDocument *doc = document();
    return int(ACapo::PosizioneDaOffset(
        offset, doc->blockCount(),
        [doc](qsizetype riga) { return doc->findBlockByNumber(int(riga)).position(); },
        [doc](qsizetype riga) { return doc->findBlockByNumber(int(riga)).length() - 1; }));
}

qsizetype EditorTesto::SelStart() const
{
    return OffsetDaPosizione(textCursor().selectionStart());
}

qsizetype EditorTesto::SelLength() const
{
    const QTextCursor c = textCursor();
    return OffsetDaPosizione(c.selectionEnd()) - OffsetDaPosizione(c.selectionStart());
}

QString EditorTesto::SelText() const
{
    QString testo = textCursor().selectedText();
    return testo.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
}

void EditorTesto::SetSelStart(qsizetype offset)
{
    QTextCursor c = textCursor();
    c.setPosition(PosizioneDaOffset(offset));
    setTextCursor(c);
}

void EditorTesto::SetSelLength(qsizetype lunghezza)
{
    const qsizetype inizio = SelStart();
    QTextCursor c = textCursor();
    c.setPosition(PosizioneDaOffset(inizio));
    c.setPosition(PosizioneDaOffset(inizio + std::max<qsizetype>(0, lunghezza)),
                  QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void EditorTesto::SetSelText(const QString &testo)
{
    QTextCursor c = textCursor();
    if (!c.hasSelection() && testo.isEmpty()) return;
    c.beginEditBlock();
    c.insertText(ACapo::Normalizza(testo, ACapo::Forma::Lf));
    ChiudiPasso(c);
    setTextCursor(c);
}

bool EditorTesto::SostituisciSelezione(const QString &testo)
{
    if (SelLength() == 0) return false;
    const qsizetype inizio = SelStart();
    SetSelText(testo);
    SetSelStart(inizio);
    SetSelLength(testo.size());
    return true;
}

void EditorTesto::RiservaScorciatoie(const QList<QKeySequence> &scorciatoie)
{
    m_riservate = scorciatoie;
}

bool EditorTesto::event(QEvent *e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        auto *tasto = static_cast<QKeyEvent *>(e);
        if (m_riservate.contains(QKeySequence(tasto->keyCombination()))) {
            e->ignore(); // let the menu's shortcut run
            return true;
        }
    }
    return QPlainTextEdit::event(e);
}
