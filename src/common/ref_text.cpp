#include "common/ref_text.h"

namespace torvika {

QString refText(qint64 id, const QString& text) {
    return QString::number(id) + u':' + text;
}

int GetID_MFromTreeNodeName(const QString& text) {
    const int colon = text.indexOf(u':');
    if (colon < 0)
        return -1;
    bool ok = false;
    const int id = text.left(colon).trimmed().toInt(&ok);
    return ok ? id : -1;
}

QString refDescription(const QString& text) {
    int colon = text.indexOf(u':');
    return colon < 0 ? QString() : text.mid(colon + 1);
}

} // namespace torvika
