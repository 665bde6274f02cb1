#include "common/ref_text.h"

namespace torvika {

QString refText(qint64 id, const QString& text) {
    return QString::number(id) + u':' + text;
}

int GetID_MFromTreeNodeName(const QString& text) {
    int colon = text.indexOf(u':');
    QString head = colon < 0 ? text : text.left(colon);
    bool ok = false;
    int id = head.trimmed().toInt(&ok);
    return ok ? id : -1;
}

QString refDescription(const QString& text) {
    int colon = text.indexOf(u':');
    return colon < 0 ? QString() : text.mid(colon + 1);
}

} // namespace torvika
