#pragma once
// Reference texts: a record shown as its numeric ID, ":" and a description
// ("0: Няма избран контрагент", "3:Склад 3").

#include <QString>

namespace torvika {

QString refText(qint64 id, const QString& text);
// The integer before the first ":" (the whole text when there is none);
// leading and trailing blanks are allowed; -1 when it is not an integer.
int GetID_MFromTreeNodeName(const QString& text);
// The text after the first ":" (empty when there is none).
QString refDescription(const QString& text);

} // namespace torvika
