#pragma once
// New numeric keys taken as MAX + 1, and the check whether a value is taken.
// Table and column are names from our own code (checked against a plain
// identifier pattern); values are always bound. Take a key inside the
// Transaction that inserts the row, so two workstations never get one key.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace torvika {

// MAX(column) + 1; 1 for an empty table; 0 when the statement fails.
// Throws std::invalid_argument for a name that is not a plain identifier.
qint64 GET_MAX_NUMBER(const QSqlDatabase& db, const QString& table, const QString& column);
// Like GET_MAX_NUMBER, but a failing statement throws EDatabaseError, for
// callers that must never insert key 0. Inside a Transaction the key stays
// this transaction's until it ends, on either engine.
qint64 nextKey(const QSqlDatabase& db, const QString& table, const QString& column);

// Inside a Transaction: keeps other workstations from writing the table
// until the transaction ends, so that a value found free by
// CHECK_REPEATED_NUMBERS stays free until it is written (a table lock on
// PostgreSQL; SQLite's transactions hold the write lock from their start).
void lockTableForWriting(const QSqlDatabase& db, const QString& table);
// Inside a Transaction, before a check that must still hold when the
// transaction writes (an article without a history is deleted, a group that
// exists takes articles): keeps other workstations from writing any of the
// tables checked until the transaction ends. On PostgreSQL the tables are
// locked all at once or not at all, and a refused attempt is tried again
// after a short pause, so a workstation waiting here never holds one table
// while it waits for another (it can never deadlock with a sale writing the
// same tables in another order). SQLite's transactions hold the write lock
// from their start. Throws EDatabaseBusy when the tables stay taken for
// longer than the busy patience.
void lockTablesAgainstWriters(const QSqlDatabase& db, const QStringList& tables);

// Whether a row with column = value exists. Throws EDatabaseError when the
// statement fails.
bool CHECK_REPEATED_NUMBERS(const QSqlDatabase& db, const QString& table, const QString& column,
                            const QVariant& value);

} // namespace torvika
