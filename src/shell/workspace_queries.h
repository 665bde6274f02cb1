#pragma once
// The few reads the main window makes of the company database: the ticker
// of currency rates and the active warehouse.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace torvika {

// Opisanie + " - " + Kurs ("%*.*f", width 4) + ten blanks, for every
// currency in the order the table returns them.
QString buildTickerText(const QSqlDatabase& db, int decimals);
// ID_Sklad + ":" + Opis_Sklad of the warehouse (both empty when it does
// not exist).
QString warehouseRefText(const QSqlDatabase& db, int warehouseId);

class Session;
// Makes the warehouse of Store/Active the session's active warehouse; a
// failure is logged and leaves the text ":".
void loadActiveWarehouse(Session& session);
} // namespace torvika
