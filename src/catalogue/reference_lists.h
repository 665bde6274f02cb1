#pragma once
// The choice lists that several windows offer from the catalogue's tables:
// currencies, preparation places and warehouses.

#include <QSqlDatabase>
#include <QStringList>

namespace torvika {

// The currency names (Opisanie of Valuti, table order).
QStringList currencyNames(const QSqlDatabase& db);
// "0:Не се приготвя" followed by "<ID>:<Opisanie>" of every preparation department.
QStringList departmentItems(const QSqlDatabase& db);
// "<ID_Sklad>:<Opis_Sklad>" of every warehouse, by number.
QStringList warehouseItems(const QSqlDatabase& db);

} // namespace torvika
