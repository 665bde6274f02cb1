#include "common/ui/selection_order.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace torvika {

SelectionOrder::SelectionOrder(QAbstractItemView* view) : QObject(view), view_(view) {
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &SelectionOrder::changed);
    connect(view->model(), &QAbstractItemModel::modelReset, this, [this] { order_.clear(); });
}

void SelectionOrder::changed() {
    const QModelIndexList selected = view_->selectionModel()->selectedRows();
    // Rows no longer selected leave the order; new ones join at its end.
    QList<QPersistentModelIndex> kept;
    for (const QPersistentModelIndex& i : order_)
        if (i.isValid() && selected.contains(QModelIndex(i)))
            kept.append(i);
    QList<QModelIndex> added;
    for (const QModelIndex& i : selected)
        if (!kept.contains(QPersistentModelIndex(i)))
            added.append(i);
    std::sort(added.begin(), added.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& i : added)
        kept.append(QPersistentModelIndex(i));
    order_ = kept;
}

QList<int> SelectionOrder::rows() const {
    QList<int> out;
    for (const QPersistentModelIndex& i : order_)
        if (i.isValid())
            out.append(i.row());
    return out;
}

} // namespace torvika
