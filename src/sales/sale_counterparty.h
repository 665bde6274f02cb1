#pragma once
// What choosing the counterparty of a sale does to the operator's pending
// lines (Prodajbi_Vremenni): the counterparty's discount of each article and
// the counterparty's own number of each article.

#include "common/decimal.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace torvika {

// The discount in percent of an article for a counterparty: a special
// discount for the article wins over one for its group, which wins over
// the counterparty's standing discount; 0 for counterparty 0 (none)
// without reading a table. Values may be negative (surcharges).
Decimal counterpartyDiscount(const QSqlDatabase& db, qint64 counterparty, qint64 article);

// The article numbers of the operator's pending lines of the bill, each
// once, in line order.
QList<qint64> pendingArticles(const QSqlDatabase& db, const QString& operatorName, int bill);

struct PendingLinesUpdate {
    bool discounts = false;      // T_O := the counterparty's discount, to 4 decimals
    bool articleNumbers = false; // Nomenkl_N := the counterparty's number, empty when none
};
// Rewrites the operator's lines of the bill with the given articles in one
// transaction; the lines of his other bills keep theirs.
void updatePendingLines(const QSqlDatabase& db, const QString& operatorName, int bill, qint64 counterparty,
                        const QList<qint64>& articles, PendingLinesUpdate what);

} // namespace torvika
