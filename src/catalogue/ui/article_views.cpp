#include "catalogue/ui/article_views.h"

#include "catalogue/article_groups.h"
#include "common/ui/field_events.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>

namespace torvika {

namespace {

bool isMarkAll(const QKeyEvent* k) {
    return k->key() == Qt::Key_A && (k->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

} // namespace

bool ArticleGrid::event(QEvent* e) {
    // Ctrl+A is also the window's "new article"; in the grid it marks every
    // row, so the grid takes the key before the shortcuts see it.
    if (e->type() == QEvent::ShortcutOverride && isMarkAll(static_cast<QKeyEvent*>(e))) {
        e->accept();
        return true;
    }
    return QTableView::event(e);
}

void ArticleGrid::keyPressEvent(QKeyEvent* e) {
    if (isMarkAll(e)) {
        emit markAllRequested();
        return;
    }
    if (isEnterKey(e->key()) && e->modifiers() == Qt::NoModifier) {
        emit enterPressed();
        return;
    }
    QTableView::keyPressEvent(e);
}

void ArticleGrid::mousePressEvent(QMouseEvent* e) {
    pressAt_ = e->position().toPoint();
    ctrlPressed_ = e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier);
    unmarkOnRelease_ = QPersistentModelIndex();
    const QModelIndex at = indexAt(pressAt_);
    if (ctrlPressed_ && at.isValid() && selectionModel()->isRowSelected(at.row(), at.parent())) {
        // Keep the marked rows for a drag; a plain Ctrl+click unmarks on release.
        unmarkOnRelease_ = at;
        selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
        return;
    }
    QTableView::mousePressEvent(e);
}

void ArticleGrid::mouseMoveEvent(QMouseEvent* e) {
    const bool dragging = (e->buttons() & Qt::LeftButton) && (e->modifiers() & Qt::ControlModifier);
    if (!dragging || !ctrlPressed_) {
        QTableView::mouseMoveEvent(e);
        return;
    }
    if ((e->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance())
        return;
    ctrlPressed_ = false;
    unmarkOnRelease_ = QPersistentModelIndex();
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(mimeType()), QByteArray());
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

void ArticleGrid::mouseReleaseEvent(QMouseEvent* e) {
    if (unmarkOnRelease_.isValid())
        selectionModel()->select(unmarkOnRelease_, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    unmarkOnRelease_ = QPersistentModelIndex();
    ctrlPressed_ = false;
    QTableView::mouseReleaseEvent(e);
}

ArticleGroupTree::ArticleGroupTree(QWidget* parent) : QTreeWidget(parent) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(true);
}

void ArticleGroupTree::mousePressEvent(QMouseEvent* e) {
    pressAt_ = e->position().toPoint();
    pressedItem_ = e->button() == Qt::LeftButton ? itemAt(pressAt_) : nullptr;
    pressWasOnCurrent_ = pressedItem_ && pressedItem_ == currentItem();
    QTreeWidget::mousePressEvent(e);
}

void ArticleGroupTree::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton) || !pressedItem_ ||
        (e->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance()) {
        QTreeWidget::mouseMoveEvent(e);
        return;
    }
    QTreeWidgetItem* item = pressedItem_;
    pressedItem_ = nullptr;
    // Only a group node is dragged: neither the root nor the bin.
    if (!groupOfNode(item->text(0)))
        return;
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(groupMimeType()), item->text(0).toUtf8());
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

void ArticleGroupTree::dragEnterEvent(QDragEnterEvent* e) {
    const QMimeData* m = e->mimeData();
    if (m->hasFormat(QString::fromLatin1(ArticleGrid::mimeType())) ||
        m->hasFormat(QString::fromLatin1(groupMimeType())))
        e->acceptProposedAction();
    else
        e->ignore();
}

void ArticleGroupTree::dragMoveEvent(QDragMoveEvent* e) {
    QTreeWidgetItem* node = itemAt(e->position().toPoint());
    if (!node) {
        e->ignore();
        return;
    }
    // A dragged group opens the node under the cursor, so that it can go
    // into any sub-group.
    if (e->mimeData()->hasFormat(QString::fromLatin1(groupMimeType())))
        node->setExpanded(true);
    e->acceptProposedAction();
}

void ArticleGroupTree::dropEvent(QDropEvent* e) {
    QTreeWidgetItem* node = itemAt(e->position().toPoint());
    const QMimeData* m = e->mimeData();
    if (!node) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    if (m->hasFormat(QString::fromLatin1(groupMimeType())))
        emit groupDropped(QString::fromUtf8(m->data(QString::fromLatin1(groupMimeType()))), node);
    else if (m->hasFormat(QString::fromLatin1(ArticleGrid::mimeType())))
        emit articlesDropped(node);
}

} // namespace torvika
