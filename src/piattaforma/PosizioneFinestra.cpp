#include "PosizioneFinestra.h"

#include "piattaforma/Piattaforma.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextCursor>
#include <algorithm>
#include <cstdlib>

namespace PosizioneFinestra {

QPoint Libera(const QRect &finestra, const QRect &selezione, const QRect &schermo, int margine)
{
    if (selezione.isEmpty() || !finestra.intersects(selezione)) return finestra.topLeft();

    const int h = finestra.height();
    const int sotto = selezione.bottom() + 1 + margine;
    const int sopra = selezione.top() - margine - h;
    const bool staSotto = sotto + h - 1 <= schermo.bottom();
    const bool staSopra = sopra >= schermo.top();
    int y;
    if (staSotto && staSopra)
        y = std::abs(sotto - finestra.top()) <= std::abs(sopra - finestra.top()) ? sotto : sopra;
    else if (staSotto)
        y = sotto;
    else if (staSopra)
        y = sopra;
    else if (schermo.bottom() - selezione.bottom() >= selezione.top() - schermo.top())
        y = std::max(schermo.top(), schermo.bottom() + 1 - h);
    else
        y = schermo.top();

    const int x =
        std::max(schermo.left(), std::min(finestra.left(), schermo.right() + 1 - finestra.width()));
    return {x, y};
}

namespace {

// The visible part of the selection in screen coordinates; empty when nothing
// is selected or the selection is out of view.
QRect RettangoloSelezione(const QPlainTextEdit &editor)
{
    const QTextCursor cursore = editor.textCursor();
    if (!cursore.hasSelection() || !editor.isVisible()) return {};
    QTextCursor inizio(cursore), fine(cursore);
    inizio.setPosition(cursore.selectionStart());
    fine.setPosition(cursore.selectionEnd());
    const QRect a = editor.cursorRect(inizio);
    const QRect b = editor.cursorRect(fine);
    const QWidget *area = editor.viewport();
    // A selection over several lines takes their whole width.
    QRect r = a.top() == b.top() ? a.united(b)
                                 : QRect(QPoint(0, a.top()), QPoint(area->width() - 1, b.bottom()));
    r &= area->rect();
    if (r.isEmpty()) return {};
    return {area->mapToGlobal(r.topLeft()), r.size()};
}

void Sposta(QWidget *finestra, const QPlainTextEdit &editor)
{
    if (!finestra->isVisible() || finestra->isMinimized() || editor.window()->isMinimized()) return;
    const QRect selezione = RettangoloSelezione(editor);
    const QScreen *schermo = finestra->screen();
    if (selezione.isEmpty() || !schermo) return;
    const QRect esterno = finestra->frameGeometry();
    const QPoint dove =
        Libera(esterno, selezione, schermo->availableGeometry(), Piattaforma::Pixel(120));
    if (dove != esterno.topLeft()) finestra->move(dove);
}

// Moves the window once it is shown, when its frame is known.
class AllaComparsa : public QObject
{
public:
    AllaComparsa(QWidget *finestra, QPlainTextEdit *editor)
        : QObject(finestra), m_finestra(finestra), m_editor(editor)
    {
    }

    bool eventFilter(QObject *oggetto, QEvent *evento) override
    {
        if (oggetto == m_finestra && evento->type() == QEvent::Show)
            QMetaObject::invokeMethod(
                m_finestra, [f = m_finestra, e = m_editor] { Sposta(f, *e); },
                Qt::QueuedConnection);
        return false;
    }

private:
    QWidget *m_finestra;
    QPlainTextEdit *m_editor;
};

} // namespace

void EvitaSelezione(QWidget *finestra, QPlainTextEdit *editor)
{
    finestra->installEventFilter(new AllaComparsa(finestra, editor));
    // Queued: a find selects first and scrolls the selection into view after.
    QObject::connect(
        editor, &QPlainTextEdit::selectionChanged, finestra,
        [finestra, editor] { Sposta(finestra, *editor); }, Qt::QueuedConnection);
}

} // namespace PosizioneFinestra
