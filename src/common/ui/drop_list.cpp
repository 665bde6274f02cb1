#include "common/ui/drop_list.h"

#include <QListWidget>

namespace torvika {

bool showListUnder(QListWidget* list, const QWidget* field, const QWidget* host, const QStringList& items,
                   int height) {
    list->clear();
    list->addItems(items);
    if (items.isEmpty()) {
        list->hide();
        return false;
    }
    const QPoint at = field->mapTo(host, QPoint(0, field->height()));
    list->setGeometry(at.x(), at.y(), field->width(), height);
    list->setCurrentRow(0);
    list->show();
    list->raise();
    return true;
}

} // namespace torvika
