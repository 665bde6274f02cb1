#pragma once
// The two views of the catalogue window, promoted widgets of its .ui file:
// the article grid, whose marked rows are dragged with Ctrl and the left
// button held, and the group tree, which takes those rows on a group node
// and lets a group node be dragged onto another node.

#include <QPoint>
#include <QTableView>
#include <QTreeWidget>

namespace torvika {

class ArticleGrid : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    static const char* mimeType() { return "application/x-torvika-articles"; }

signals:
    // Ctrl+A while the grid has the focus.
    void markAllRequested();
    // Enter on the grid.
    void enterPressed();

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QPoint pressAt_;
    bool ctrlPressed_ = false;
    // A Ctrl+click on a marked row unmarks it on release, unless it began a drag.
    QPersistentModelIndex unmarkOnRelease_;
};

class ArticleGroupTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit ArticleGroupTree(QWidget* parent = nullptr);
    static const char* groupMimeType() { return "application/x-torvika-article-group"; }
    // Whether the last mouse press was on the node that was current already.
    bool pressWasOnCurrent() const { return pressWasOnCurrent_; }

signals:
    void articlesDropped(QTreeWidgetItem* node);
    void groupDropped(const QString& groupText, QTreeWidgetItem* node);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    QPoint pressAt_;
    QTreeWidgetItem* pressedItem_ = nullptr;
    bool pressWasOnCurrent_ = false;
};

} // namespace torvika
