#pragma once
// The few reads the main window makes of the company database: the ticker
// of currency rates, the active warehouse, and the service page's boxes.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace torvika {

// Opisanie + " - " + Kurs ("%*.*f", width 4) + ten blanks, for every
// currency in the order the table returns them.
QString buildTickerText(const QSqlDatabase& db, int decimals);
// "Склад: " + ID_Sklad + ":" + Opis_Sklad of the warehouse (both empty when
// it does not exist).
QString warehousePanelText(const QSqlDatabase& db, int warehouseId);
// The currency names (Opisanie of Valuti, table order).
QStringList currencyNames(const QSqlDatabase& db);
// "0:Не се приготвя" followed by "<ID>:<Opisanie>" of every preparation department.
QStringList departmentItems(const QSqlDatabase& db);

} // namespace torvika
