#pragma once
// The rows of a multi-select grid in the order the operator selected them
// (the order documents list their lines in and a sale takes them in), which
// the view's own selection does not keep.

#include <QList>
#include <QObject>
#include <QPersistentModelIndex>

class QAbstractItemView;

namespace torvika {

class SelectionOrder : public QObject {
    Q_OBJECT
public:
    // Follows the view's selection model (set the view's model first).
    explicit SelectionOrder(QAbstractItemView* view);

    // The selected rows, first selected first.
    QList<int> rows() const;

private:
    void changed();

    QAbstractItemView* view_;
    QList<QPersistentModelIndex> order_;
};

} // namespace torvika
