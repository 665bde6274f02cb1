#pragma once
// Running statements with bound values, transactions, and the connection
// set-up every SQLite connection gets (Unicode-aware UPPER, LOWER and LIKE).

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace torvika {

// Prepares and runs one statement with its values bound in order; throws
// EDatabaseError with the driver's text when it fails. The query is left on
// its result set, before the first row.
QSqlQuery execSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
// The first column of the first row, or def when there is no row.
QVariant scalarSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {},
                   const QVariant& def = {});

// The rows of a statement, read whole and with the statement finished, so
// that no read stays open on the database.
struct SqlRows {
    QStringList fields; // the column names, in statement order
    QList<QVariantList> rows;
};
// Reads the statement's rows; with a limit, at most that many from offset
// on (the statement must then order its rows by a unique key, so that
// successive pages neither repeat nor skip a row). Throws EDatabaseError.
SqlRows readRows(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {}, int limit = -1,
                 qint64 offset = 0);

// Runs a statement without binding, for script statements read from files
// (table definitions and fixed rows).
void execScriptStatement(const QSqlDatabase& db, const QString& sql);

// All of it or none: rolls back unless commit() was called. On SQLite the
// transaction takes the write lock at once (BEGIN IMMEDIATE), so keys taken
// inside it as MAX + 1 are never taken twice by two workstations.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    QSqlDatabase db_;
    bool sqlite_;
    bool open_ = true;
};

bool isSqlite(const QSqlDatabase& db);
// Registers UPPER, LOWER and LIKE with Unicode case folding on a SQLite
// connection; nothing for other engines. (PostgreSQL's UPPER and LOWER fold
// Unicode already, but its LIKE is case-sensitive.)
void registerSqlFunctions(const QSqlDatabase& db);

// The Unicode LIKE used by the connections: % and _ (one character) as
// wildcards, an optional escape character; letters match in any case.
bool likeMatch(QStringView pattern, QStringView text, QChar escape = QChar());

} // namespace torvika
