#pragma once
// Reference texts: a record shown as its numeric ID, ":" and a description
// ("0: Няма избран контрагент", "3:Склад 3").

#include <QString>

namespace torvika {

QString refText(qint64 id, const QString& text);
// The integer before the first ":", leading and trailing blanks allowed;
// -1 when it is not an integer or the text has no ":" (a bare number is
// not a reference text).
int GetID_MFromTreeNodeName(const QString& text);
// The text after the first ":" (empty when there is none).
QString refDescription(const QString& text);

} // namespace torvika
