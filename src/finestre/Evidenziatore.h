#pragma once

#include "nucleo/codice/Linguaggio.h"
#include "nucleo/codice/ScansioneCodice.h"

#include <QSyntaxHighlighter>
#include <QTimer>

class EditorTesto;

// Shows the comments and strings of the editor's text in their own colour:
// the stretches the runs' scanner leaves alone when protection is on. The
// whole text is scanned again shortly after each change; a text with no
// language, or one of more than 2 MB, shows nothing.
class Evidenziatore : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    explicit Evidenziatore(EditorTesto *editor);

    void ImpostaTipo(const TipoTesto &tipo);
    const ZoneProtette &Zone() const { return m_zone; }
    // Scans now instead of after the pause.
    void Aggiorna();

protected:
    void highlightBlock(const QString &testo) override;

private:
    EditorTesto *m_editor;
    TipoTesto m_tipo;
    ZoneProtette m_zone;
    QTimer m_attesa;
};
