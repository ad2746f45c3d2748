#include "VistaVoci.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>

namespace VistaVoci {

namespace {

// The tooltip of a cell: its whole text, when the column cuts it.
class DelegatoIntero : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool helpEvent(QHelpEvent *e, QAbstractItemView *vista, const QStyleOptionViewItem &opzione,
                   const QModelIndex &indice) override
    {
        if (e->type() != QEvent::ToolTip)
            return QStyledItemDelegate::helpEvent(e, vista, opzione, indice);
        const QString testo = indice.data(Qt::DisplayRole).toString();
        if (!testo.isEmpty() &&
            sizeHint(opzione, indice).width() > vista->visualRect(indice).width()) {
            // As plain text whatever it holds, one line a paragraph.
            QToolTip::showText(
                e->globalPos(),
                QStringLiteral("<p style='white-space:pre-wrap'>%1</p>").arg(testo.toHtmlEscaped()),
                vista, vista->visualRect(indice));
            return true;
        }
        QToolTip::hideText();
        e->ignore();
        return true;
    }
};

// Home and End move among the entries, not along a row's columns.
class TastiInizioFine : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *oggetto, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress) return false;
        const auto *tasto = static_cast<QKeyEvent *>(e);
        if (tasto->modifiers() != Qt::NoModifier ||
            (tasto->key() != Qt::Key_Home && tasto->key() != Qt::Key_End))
            return false;
        auto *vista = static_cast<QTableView *>(oggetto);
        const int righe = vista->model() ? vista->model()->rowCount() : 0;
        if (righe == 0) return true;
        const int colonna = std::max(0, vista->currentIndex().column());
        const QModelIndex indice =
            vista->model()->index(tasto->key() == Qt::Key_Home ? 0 : righe - 1, colonna);
        vista->setCurrentIndex(indice);
        vista->scrollTo(indice);
        return true;
    }
};

} // namespace

void Prepara(QTableView *vista)
{
    vista->setItemDelegate(new DelegatoIntero(vista));
    QHeaderView *intestazione = vista->horizontalHeader();
    // Widths the user sets: the last column no longer fills what is left, so
    // a wider column scrolls sideways.
    intestazione->setSectionResizeMode(QHeaderView::Interactive);
    intestazione->setStretchLastSection(false);
    intestazione->setCascadingSectionResizes(false);
    vista->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    vista->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The second column as wide as the view leaves it, at first.
    if (vista->model() && vista->model()->columnCount() > 1) {
        // The viewport has its size only once shown: from the table's own.
        const int interna = vista->width() - 2 * vista->frameWidth() -
                            vista->verticalScrollBar()->sizeHint().width();
        const int resto = interna - vista->columnWidth(0);
        vista->setColumnWidth(1, std::max(resto, vista->columnWidth(0) / 2));
    }
    vista->installEventFilter(new TastiInizioFine(vista));
    vista->setTabKeyNavigation(false);
}

} // namespace VistaVoci
