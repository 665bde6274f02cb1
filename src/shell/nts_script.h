#pragma once
// Creation and update scripts (".nts"): profile files whose section COUNT,
// key MAX gives the number of statements and whose sections "1" ... "MAX"
// hold one statement each under the key SQL. An update script also carries
// a section "DBVer-<version>" whose key Ver, when not "0", marks it as the
// update to that database version.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

namespace torvika {

struct NtsScript {
    // Statement i of the file is statements[i - 1]; a section without the
    // key SQL repeats the statement of the section before it.
    QStringList statements;

    static NtsScript load(const QString& path);
    static QString updateMarker(const QString& path, int version);
};

struct ScriptResult {
    bool ok = true;
    int failedOperation = 0; // 1-based
    QString failedStatement;
    QString error;
};

// A statement may carry a condition in front, so that a step an update must
// make only once is skipped when the database has it already (the update
// script runs whole every time):
//   UNLESS COLUMN <table>.<column> <statement>   unless the table has the column
//   UNLESS TABLE <table> <statement>             unless the table exists
// The condition is read when the statement's turn comes, inside the
// script's transaction. Returns the statement to run, or an empty text when
// the condition holds; a statement without a condition as it is.
QString scriptStatementToRun(const QSqlDatabase& db, const QString& statement);

// Runs the statements in order inside one transaction; a failing statement
// rolls back everything the script did. afterEach(i) is called for every
// operation that succeeded (1-based), so a caller can log it; after a
// failure those operations are undone, and a caller that logged them must
// say so.
// extraInTransaction runs last, inside the same transaction (the database's
// own version is recorded there).
ScriptResult runNtsScript(const QSqlDatabase& db, const NtsScript& script,
                          const std::function<void(int)>& afterEach = {},
                          const std::function<void(const QSqlDatabase&)>& extraInTransaction = {});

// The version the company database records of itself (-1 when it records
// none: an empty database, or one older than this record).
int storedDatabaseVersion(const QSqlDatabase& db);
// Records the version; run inside the transaction of a creation or update.
void storeDatabaseVersion(const QSqlDatabase& db, int version);

} // namespace torvika
