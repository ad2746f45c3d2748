#pragma once

// Keeps a window that works beside the editor (the find dialog, the run
// window) off the editor's selection: while it is shown the main window is
// disabled, so the user could not scroll the selected word into view.

#include <QPoint>
#include <QRect>

class QPlainTextEdit;
class QWidget;

namespace PosizioneFinestra {

// Where a window whose outer rectangle is `finestra` goes so that it leaves
// `selezione` uncovered (all in screen coordinates, `schermo` the usable
// screen area). A window that covers nothing stays where it is. Otherwise it
// goes just above or just below the selection, `margine` pixels away, on the
// side that is the shorter move among those that fit on the screen; when
// neither fits, on the side with more room, kept on the screen.
QPoint Libera(const QRect &finestra, const QRect &selezione, const QRect &schermo, int margine);

// From now on moves `finestra` by Libera() when it is shown and whenever the
// selection of `editor` changes while it is shown.
void EvitaSelezione(QWidget *finestra, QPlainTextEdit *editor);

} // namespace PosizioneFinestra
