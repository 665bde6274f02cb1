#pragma once
// Open bills: every sale line carries the number of the bill it belongs to
// (Sm_N), 0 being the plain sale. An operator's open bills are the numbers
// of his lines.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace torvika {

// A typed bill number: a whole number of 0 or more, blanks around it and
// leading zeros allowed, so "05" and " 5" are bill 5. None for anything else.
std::optional<int> parseBillNumber(QStringView text);

// "0" and the bill numbers of the operator's lines, each once, sorted as
// texts ("0", "10", "2").
QStringList openBills(const QSqlDatabase& db, const QString& operatorName);

// The bill to show after the list was rebuilt: the current one when it is
// listed, otherwise the plain sale.
int billAfterRebuild(const QStringList& bills, int current);

} // namespace torvika
