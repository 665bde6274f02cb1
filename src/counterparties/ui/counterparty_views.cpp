#include "counterparties/ui/counterparty_views.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>

namespace torvika {

namespace {
constexpr int kDragDistance = 5;

bool carriesRows(const QDropEvent* e) {
    return e->mimeData()->hasFormat(QString::fromLatin1(CounterpartyGrid::mimeType()));
}
} // namespace

// Pressing on a row that is already selected keeps the selection until the
// button is released, so that several selected rows can be dragged.
void CounterpartyGrid::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
    pressAt_ = e->position().toPoint();
    const QModelIndex at = indexAt(pressAt_);
    pressOnSelection_ = pressed_ && at.isValid() && e->modifiers() == Qt::NoModifier &&
                        selectionModel()->isRowSelected(at.row(), at.parent());
    if (pressOnSelection_) {
        selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
        return;
    }
    QTableView::mousePressEvent(e);
}

void CounterpartyGrid::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) {
        QTableView::mouseMoveEvent(e);
        return;
    }
    if (!pressed_ || (e->position().toPoint() - pressAt_).manhattanLength() < kDragDistance)
        return;
    pressed_ = false;
    pressOnSelection_ = false;
    emit dragStarted();
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(mimeType()), QByteArray());
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

void CounterpartyGrid::mouseReleaseEvent(QMouseEvent* e) {
    if (pressOnSelection_ && pressed_) {
        // A plain click on a selected row: select just that row after all.
        QMouseEvent press(QEvent::MouseButtonPress, e->position(), e->globalPosition(), e->button(),
                          e->buttons() | e->button(), e->modifiers());
        QTableView::mousePressEvent(&press);
    }
    pressed_ = false;
    pressOnSelection_ = false;
    QTableView::mouseReleaseEvent(e);
}

CounterpartyGroupTree::CounterpartyGroupTree(QWidget* parent) : QTreeWidget(parent) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(true);
}

void CounterpartyGroupTree::dragEnterEvent(QDragEnterEvent* e) {
    if (carriesRows(e))
        e->acceptProposedAction();
    else
        e->ignore();
}

void CounterpartyGroupTree::dragMoveEvent(QDragMoveEvent* e) {
    if (carriesRows(e) && itemAt(e->position().toPoint()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void CounterpartyGroupTree::dropEvent(QDropEvent* e) {
    QTreeWidgetItem* node = itemAt(e->position().toPoint());
    if (!node || !carriesRows(e)) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    emit rowsDropped(node);
}

} // namespace torvika
