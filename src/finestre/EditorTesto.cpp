#include "EditorTesto.h"

#include "finestre/Colori.h"
#include "finestre/Evidenziatore.h"

#include "nucleo/testo/ACapo.h"
#include "nucleo/testo/ModificheTesto.h"
#include <QContextMenuEvent>
#include <QMenu>

#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QWheelEvent>

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

// More marks than this are not shown: each one costs every repaint.
constexpr qsizetype MassimoSegni = 20000;

// Closes the edit block of a program write as an undo step of its own.
void ChiudiPasso(QTextCursor &c)
{
    c.document()->appendUndoItem(new FineScrittura);
    c.endEditBlock();
}

} // namespace

// The strip left of the text that shows the line numbers; the editor paints it.
class MargineRighe : public QWidget
{
public:
    explicit MargineRighe(EditorTesto *editor) : QWidget(editor), m_editor(editor) {}
    QSize sizeHint() const override { return {m_editor->LarghezzaMargine(), 0}; }

protected:
    void paintEvent(QPaintEvent *e) override { m_editor->DisegnaMargine(e); }

private:
    EditorTesto *m_editor;
};

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
    m_dimensioneNormale = carattere.pointSizeF();

    m_margine = new MargineRighe(this);
    m_margine->setObjectName(QStringLiteral("m_margine"));
    connect(this, &QPlainTextEdit::blockCountChanged, this, &EditorTesto::AdattaMargine);
    connect(this, &QPlainTextEdit::updateRequest, this, &EditorTesto::AggiornaMargine);
    AdattaMargine();

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
    if ((rimossi || aggiunti) && !m_scritturaIntera) {
        if (!extraSelections().isEmpty()) setExtraSelections({});
        Q_EMIT TestoCambiato();
    }
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
    setExtraSelections({});
    setPlainText(ACapo::Normalizza(testo, ACapo::Forma::Lf));
    m_scritturaIntera = false;
    // What the document now holds, without reading it back; usually `testo`
    // itself, shared.
    m_testo = ACapo::Normalizza(testo);
    m_testoValido = true;
}

QList<ModificheTesto::Modifica> EditorTesto::SostituisciTesto(const QString &testo,
                                                              bool segnaModifiche)
{
    // Both texts compared in the form Text() returns them.
    const QString nuovo = ACapo::Normalizza(testo);
    const QString vecchio = Text();
    const QList<ModificheTesto::Modifica> modifiche = ModificheTesto::Calcola(vecchio, nuovo);

    m_scritturaIntera = true;
    setExtraSelections({});
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
    if (segnaModifiche) MostraSegni(ModificheTesto::Segni(modifiche, vecchio, nuovo, MassimoSegni));
    if (!modifiche.isEmpty()) Q_EMIT TestoRiscritto();
    return modifiche;
}

void EditorTesto::MostraSegni(const QList<ModificheTesto::Segno> &segni)
{
    QTextCharFormat formato;
    formato.setBackground(Colori::SegniCorsa(palette()));
    QList<QTextEdit::ExtraSelection> selezioni;
    for (const auto &[inizio, lunghezza] : segni) {
        if (selezioni.size() >= MassimoSegni) break;
        QTextCursor segno(document());
        segno.setPosition(PosizioneDaOffset(inizio));
        segno.setPosition(PosizioneDaOffset(inizio + lunghezza), QTextCursor::KeepAnchor);
        selezioni.append({segno, formato});
    }
    setExtraSelections(selezioni);
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

int EditorTesto::LarghezzaMargine() const
{
    int cifre = 1;
    for (int n = std::max(1, blockCount()); n >= 10; n /= 10)
        ++cifre;
    const QFontMetrics misure(font());
    return 6 + misure.horizontalAdvance(QLatin1Char('9')) * std::max(cifre, 3);
}

void EditorTesto::AdattaMargine()
{
    setViewportMargins(LarghezzaMargine(), 0, 0, 0);
    const QRect interno = contentsRect();
    m_margine->setGeometry(interno.left(), interno.top(), LarghezzaMargine(), interno.height());
}

void EditorTesto::AggiornaMargine(const QRect &zona, int scorrimentoVerticale)
{
    if (scorrimentoVerticale)
        m_margine->scroll(0, scorrimentoVerticale);
    else
        m_margine->update(0, zona.y(), m_margine->width(), zona.height());
}

void EditorTesto::resizeEvent(QResizeEvent *e)
{
    QPlainTextEdit::resizeEvent(e);
    AdattaMargine();
}

void EditorTesto::DisegnaMargine(QPaintEvent *e)
{
    QPainter pittore(m_margine);
    pittore.fillRect(e->rect(), palette().color(QPalette::Window));
    pittore.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
    pittore.setFont(font());
    const int altezzaRiga = fontMetrics().height();
    QTextBlock blocco = firstVisibleBlock();
    int cima = qRound(blockBoundingGeometry(blocco).translated(contentOffset()).top());
    int fondo = cima + qRound(blockBoundingRect(blocco).height());
    while (blocco.isValid() && cima <= e->rect().bottom()) {
        if (blocco.isVisible() && fondo >= e->rect().top())
            pittore.drawText(0, cima, m_margine->width() - 3, altezzaRiga, Qt::AlignRight,
                             QString::number(blocco.blockNumber() + 1));
        blocco = blocco.next();
        cima = fondo;
        fondo = cima + qRound(blockBoundingRect(blocco).height());
    }
}

void EditorTesto::CentraSelezione()
{
    centerCursor();
    ensureCursorVisible(); // the horizontal part
}

void EditorTesto::VaiAllaRiga(int riga)
{
    const QTextBlock blocco = document()->findBlockByNumber(std::clamp(riga, 1, NumeroRighe()) - 1);
    QTextCursor cursore(blocco);
    setTextCursor(cursore);
    CentraSelezione();
}

int EditorTesto::RigaCursore() const
{
    return textCursor().blockNumber() + 1;
}

int EditorTesto::ColonnaCursore() const
{
    return textCursor().positionInBlock() + 1;
}

void EditorTesto::ImpostaIngrandimento(int passi)
{
    passi = std::clamp(passi, IngrandimentoMinimo, IngrandimentoMassimo);
    if (passi == m_ingrandimento) return;
    m_ingrandimento = passi;
    QFont carattere = font();
    carattere.setPointSizeF(std::max<qreal>(1, m_dimensioneNormale + passi));
    setFont(carattere);
    AdattaMargine();
    Q_EMIT IngrandimentoCambiato(passi);
}

void EditorTesto::wheelEvent(QWheelEvent *e)
{
    if (!(e->modifiers() & Qt::ControlModifier)) {
        QPlainTextEdit::wheelEvent(e);
        return;
    }
    // One step a notch (120); a fine-grained wheel adds its parts up.
    m_rotellaAccumulata += e->angleDelta().y();
    const int passi = m_rotellaAccumulata / 120;
    m_rotellaAccumulata %= 120;
    if (passi) ImpostaIngrandimento(m_ingrandimento + passi);
    e->accept();
}

QList<std::pair<qsizetype, qsizetype>> EditorTesto::Segnati() const
{
    QList<std::pair<qsizetype, qsizetype>> segnati;
    for (const QTextEdit::ExtraSelection &segno : extraSelections()) {
        const qsizetype inizio = OffsetDaPosizione(segno.cursor.selectionStart());
        segnati.append({inizio, OffsetDaPosizione(segno.cursor.selectionEnd()) - inizio});
    }
    return segnati;
}

void EditorTesto::ImpostaLinguaggio(const TipoTesto &tipo)
{
    if (!m_evidenziatore) {
        if (tipo.linguaggio == Linguaggio::Nessuno) return;
        m_evidenziatore = new Evidenziatore(this);
    }
    m_evidenziatore->ImpostaTipo(tipo);
}

QMenu *EditorTesto::CreaMenuContestuale()
{
    QMenu *menu = createStandardContextMenu();
    // The items show their key after a tab ("Seleziona tutto\tCtrl+A"). Select
    // all's key belongs to a window's menu (Ctrl+A starts a run): no key shown.
    for (QAction *azione : menu->actions()) {
        const qsizetype tab = azione->text().indexOf(u'\t');
        if (azione->objectName() != QStringLiteral("select-all") || tab < 0) continue;
        const QKeySequence tasto(azione->text().mid(tab + 1), QKeySequence::NativeText);
        if (m_riservate.contains(tasto)) azione->setText(azione->text().left(tab));
    }
    return menu;
}

void EditorTesto::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu *menu = CreaMenuContestuale();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(e->globalPos());
}
