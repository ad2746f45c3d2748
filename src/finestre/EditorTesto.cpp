#include "EditorTesto.h"

#include "nucleo/pseudocodifica/Lotto.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <iterator>

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

// Rewrites `vecchio`, at document position `pos`, into `nuovo`, which has as
// many line breaks: line by line, only the span of each line that differs.
// Lines keep their blocks, so the write costs what the changes cost rather
// than what the whole text costs.
void SostituisciRighe(QTextCursor &c, int pos, QStringView vecchio, QStringView nuovo)
{
    qsizetype ia = 0, ib = 0;
    for (;;) {
        qsizetype ea = vecchio.indexOf(u'\r', ia);
        qsizetype eb = nuovo.indexOf(u'\r', ib);
        if (ea < 0) ea = vecchio.size();
        if (eb < 0) eb = nuovo.size();
        const QStringView rigaA = vecchio.sliced(ia, ea - ia);
        const QStringView rigaB = nuovo.sliced(ib, eb - ib);
        if (rigaA != rigaB) {
            const qsizetype comune = std::min(rigaA.size(), rigaB.size());
            const qsizetype p =
                std::mismatch(rigaA.begin(), rigaA.begin() + comune, rigaB.begin()).first -
                rigaA.begin();
            const qsizetype s =
                std::mismatch(rigaA.rbegin(), rigaA.rbegin() + (comune - p), rigaB.rbegin()).first -
                rigaA.rbegin();
            Sostituisci(c, pos + int(p), pos + int(rigaA.size() - s),
                        rigaB.sliced(p, rigaB.size() - s - p).toString());
        }
        if (ea == vecchio.size()) return;
        pos += int(rigaB.size()) + 1; // the line as written now, and its break
        ia = ea + 2;
        ib = eb + 2;
    }
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
    setObjectName(QStringLiteral("Text1"));
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

QString EditorTesto::NormalizzaACapo(const QString &testo)
{
    if (!testo.contains(QLatin1Char('\r'))) return testo;
    QString risultato;
    risultato.reserve(testo.size());
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo[i];
        if (c == QLatin1Char('\r')) {
            risultato.append(QLatin1Char('\n'));
            if (i + 1 < testo.size() && testo[i + 1] == QLatin1Char('\n')) ++i;
        } else {
            risultato.append(c);
        }
    }
    return risultato;
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
    setPlainText(NormalizzaACapo(testo));
    m_scritturaIntera = false;
    // What the document now holds, without reading it back; usually `testo`
    // itself, shared.
    m_testo = Lotto::ACapoComeEditor(testo);
    m_testoValido = true;
}

void EditorTesto::SostituisciTesto(const QString &testo)
{
    // Both texts compared in the form Text() returns them.
    const QString nuovo = Lotto::ACapoComeEditor(testo);
    const QString &vecchio = Text();
    const ushort *a = vecchio.utf16();
    const ushort *b = nuovo.utf16();
    const qsizetype la = vecchio.size(), lb = nuovo.size();
    const qsizetype comune = std::min(la, lb);
    const qsizetype inizio = std::mismatch(a, a + comune, b).first - a;
    const auto coda = std::mismatch(std::reverse_iterator(a + la),
                                    std::reverse_iterator(a + inizio + (la - comune)),
                                    std::reverse_iterator(b + lb));
    const qsizetype fineA = coda.first.base() - a;
    const qsizetype fineB = coda.second.base() - b;
    // Both texts pair every CR with an LF, so a CR matched in both is followed
    // by an LF in both: the changed span never starts or ends inside a pair.
    Q_ASSERT(inizio == 0 || a[inizio - 1] != u'\r');
    Q_ASSERT(fineA == la || fineA == 0 || a[fineA - 1] != u'\r');

    m_scritturaIntera = true;
    QTextCursor c(document());
    if (inizio < fineA || inizio < fineB) {
        const QStringView spanA = QStringView(vecchio).sliced(inizio, fineA - inizio);
        const QStringView spanB = QStringView(nuovo).sliced(inizio, fineB - inizio);
        c.beginEditBlock();
        if (spanA.count(u'\r') == spanB.count(u'\r'))
            SostituisciRighe(c, PosizioneDaOffset(inizio), spanA, spanB);
        else
            Sostituisci(c, PosizioneDaOffset(inizio), PosizioneDaOffset(fineA),
                        NormalizzaACapo(spanB.toString()));
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
    return posizione + (blocco.isValid() ? blocco.blockNumber() : document()->blockCount() - 1);
}

int EditorTesto::PosizioneDaOffset(qsizetype offset) const
{
    const QTextDocument *doc = document();
    if (offset <= 0) return 0;
    // Last block whose CR LF start (position + number of breaks before it) is <= offset.
    int basso = 0, alto = doc->blockCount() - 1;
    while (basso < alto) {
        const int medio = basso + (alto - basso + 1) / 2;
        if (doc->findBlockByNumber(medio).position() + qsizetype(medio) <= offset)
            basso = medio;
        else
            alto = medio - 1;
    }
    const QTextBlock blocco = doc->findBlockByNumber(basso);
    const qsizetype dentro = offset - (blocco.position() + qsizetype(basso));
    // Inside a line break (between CR and LF) counts as the end of the line.
    return blocco.position() + int(std::min<qsizetype>(dentro, blocco.length() - 1));
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
    c.insertText(NormalizzaACapo(testo));
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
