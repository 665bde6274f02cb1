#pragma once
// Shows the rows of a statement with bound values in a read-only grid model.

#include "common/sql_statement.h"

#include <QSqlDatabase>
#include <QSqlQueryModel>
#include <QStringList>

namespace torvika {

// Runs the statement and gives its rows to the model, all of them fetched
// so that rowCount() is the number found. Throws EDatabaseError.
void setModelStatement(QSqlQueryModel& model, const QSqlDatabase& db, const SqlStatement& statement);
// Column titles, in column order.
void setModelTitles(QSqlQueryModel& model, const QStringList& titles);

} // namespace torvika
