#pragma once
// Running statements with bound values and transactions on either engine
// (SQLite, the embedded default, and PostgreSQL, the server several
// workstations share), and the connection set-up each engine gets.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace torvika {

enum class SqlEngine { SQLite, PostgreSQL };
SqlEngine sqlEngine(const QSqlDatabase& db);
bool isSqlite(const QSqlDatabase& db);

// Prepares and runs one statement with its values bound in order; throws
// EDatabaseError with the driver's text when it fails. The query is left on
// its result set, before the first row. On SQLite a statement that finds
// the database busy (another workstation writing) is tried again after a
// short random delay, with the wait shown, instead of failing.
QSqlQuery execSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
// The first column of the first row, or def when there is no row.
QVariant scalarSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {},
                   const QVariant& def = {});
// Runs an INSERT and gives the key the database generated for the row (the
// statement gets "RETURNING <keyColumn>", which both engines understand).
qint64 insertReturningKey(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
                          const QString& keyColumn);

// One statement prepared once and run many times with new values, for
// work that writes thousands of rows (imports, a revision): on PostgreSQL a
// run is one round trip instead of three, on SQLite the statement is not
// compiled again. Failures throw as execSql's do.
class PreparedSql {
public:
    PreparedSql(const QSqlDatabase& db, const QString& sql);
    // Binds the values in order and runs the statement; the query is left
    // on its result set, before the first row.
    QSqlQuery& exec(const QVariantList& values);

private:
    QSqlDatabase db_;
    QString sql_;
    QSqlQuery query_;
};

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

// The columns of a table of the database (PostgreSQL keeps the names of
// our tables in lower case); an empty record when there is no such table.
QSqlRecord tableColumns(const QSqlDatabase& db, const QString& table);

// Runs a statement without binding, for script statements read from files
// (table definitions and fixed rows) and statements of our own code.
void execScriptStatement(const QSqlDatabase& db, const QString& sql);

// All of it or none: rolls back unless commit() was called. On SQLite the
// transaction takes the write lock at once (BEGIN IMMEDIATE); on PostgreSQL
// a key taken as MAX + 1 inside it locks its table first (nextKey). Either
// way two workstations never take the same key. A transaction begun while
// another is open on the connection is a savepoint inside it.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

    // Whether a transaction of ours is open on the connection.
    static bool isOpen(const QSqlDatabase& db);

private:
    QSqlDatabase db_;
    int level_;
    bool open_ = true;
};

// What the windows show while a busy database is waited for: called with
// true when the wait begins and false when it ends.
using BusyWaitIndicator = std::function<void(bool waiting)>;
void setBusyWaitIndicator(BusyWaitIndicator indicator);
// How long a busy database is waited for before the statement fails (two
// minutes unless changed).
void setBusyPatience(int milliseconds);
int busyPatienceMilliseconds();

// The set-up of a freshly opened connection: on SQLite the busy timeout,
// write-ahead logging and Unicode-aware UPPER, LOWER and LIKE; on
// PostgreSQL the client encoding. Throws EDatabaseError.
void setUpConnection(const QSqlDatabase& db);
// Registers UPPER, LOWER and LIKE with Unicode case folding on a SQLite
// connection; nothing for other engines (PostgreSQL folds Unicode itself in
// a database with a UTF-8 character type; our statements compare
// UPPER(column) with an upper-cased pattern, so LIKE finds the same rows).
void registerSqlFunctions(const QSqlDatabase& db);

// The Unicode LIKE used by the connections: % and _ (one character) as
// wildcards, an optional escape character; letters match in any case.
bool likeMatch(QStringView pattern, QStringView text, QChar escape = QChar());

} // namespace torvika
