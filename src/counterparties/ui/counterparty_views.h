#pragma once
// The two views of the counterparty list, promoted widgets of its .ui file:
// the grid, whose selected rows can be dragged, and the group tree, which
// takes them when they are dropped on a node.

#include <QPoint>
#include <QTableView>
#include <QTreeWidget>

namespace torvika {

// The grid: a drag of the selected rows starts when the mouse moves 5
// pixels with the left button held.
class CounterpartyGrid : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    static const char* mimeType() { return "application/x-torvika-counterparties"; }

signals:
    void dragStarted();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QPoint pressAt_;
    bool pressed_ = false;
    bool pressOnSelection_ = false;
};

// The group tree: a drop target for the grid's rows, and nothing else.
class CounterpartyGroupTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CounterpartyGroupTree(QWidget* parent = nullptr);

signals:
    void rowsDropped(QTreeWidgetItem* node);

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
};

} // namespace torvika
