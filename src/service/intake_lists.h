#pragma once
// The choices of the service page's intake boxes: currencies and the
// departments a workshop ticket can go to.

#include <QSqlDatabase>
#include <QStringList>

namespace torvika {

// The currency names (Opisanie of Valuti, table order).
QStringList currencyNames(const QSqlDatabase& db);
// "0:Не се приготвя" followed by "<ID>:<Opisanie>" of every preparation department.
QStringList departmentItems(const QSqlDatabase& db);

} // namespace torvika
