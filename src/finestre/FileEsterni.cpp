// Files that come from outside the program: the command line and drag and drop.
// Both open the file the way "&Apri..." does.

#include "finestre/EditorTesto.h"
#include "finestre/FinestraPrincipale.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

void FinestraPrincipale::ApriArgomenti(const QStringList &argomenti)
{
    qsizetype i = 0;
    if (i < argomenti.size() && argomenti[i] == QLatin1String("--")) ++i;
    if (i >= argomenti.size() || argomenti[i].isEmpty()) return;
    QString percorso = argomenti[i];
    if (percorso.startsWith(QLatin1String("file:"))) percorso = QUrl(percorso).toLocalFile();
    ApriFile(QFileInfo(percorso).absoluteFilePath());
}

std::optional<QString> FinestraPrincipale::FileTrascinato(const QMimeData *dati)
{
    if (!dati || !dati->hasUrls()) return std::nullopt;
    for (const QUrl &indirizzo : dati->urls())
        if (indirizzo.isLocalFile()) return indirizzo.toLocalFile();
    return std::nullopt;
}

bool FinestraPrincipale::TrascinamentoDiFile(QEvent *e)
{
    const QEvent::Type tipo = e->type();
    if (tipo != QEvent::DragEnter && tipo != QEvent::DragMove && tipo != QEvent::Drop) return false;
    auto *evento = static_cast<QDropEvent *>(e);
    const std::optional<QString> percorso = FileTrascinato(evento->mimeData());
    if (!percorso) return false; // text: the editor inserts it
    // A copy, never a move: the source must keep its file.
    if (evento->possibleActions() & Qt::CopyAction)
        evento->setDropAction(Qt::CopyAction);
    else if (evento->possibleActions() & Qt::LinkAction)
        evento->setDropAction(Qt::LinkAction);
    else
        return false;
    evento->accept();
    // Opened once the drop is over, since opening may ask questions.
    if (tipo == QEvent::Drop)
        QTimer::singleShot(0, this, [this, percorso] { ApriFile(*percorso); });
    return true;
}

bool FinestraPrincipale::event(QEvent *e)
{
    return TrascinamentoDiFile(e) || QMainWindow::event(e);
}

bool FinestraPrincipale::eventFilter(QObject *oggetto, QEvent *e)
{
    if (oggetto == m_editor->viewport() && TrascinamentoDiFile(e)) return true;
    return QMainWindow::eventFilter(oggetto, e);
}
