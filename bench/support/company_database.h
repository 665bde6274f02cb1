#pragma once
// A company database for a benchmark, made the way the program makes one:
// a temporary program directory prepared with the shipped scripts, and the
// company database created in it by the program's own creation
// (createCompanyDatabase on SQLite, createServerDatabase on PostgreSQL),
// then opened through the program's own connection set-up; and bulk loading
// of rows.
//
// The engine is SQLite unless the environment variable TORVIKA_BENCH_PG
// names a PostgreSQL server ("host=<dir or host> port=<n> user=<name>", as
// tools/pg_test_server.sh prints it). On the server the database gets a
// name of its own and is dropped again at the end.

#include "common/sql.h"
#include "shell/workspace.h"

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <functional>
#include <optional>

namespace torvika::bench {

// The server TORVIKA_BENCH_PG names, as an alias without database and
// path; none when the variable is not set.
std::optional<Alias> benchServer();
// The engine the benchmarks run on.
SqlEngine benchEngine();

class CompanyDatabase {
public:
    // Throws std::runtime_error when the database cannot be created.
    CompanyDatabase();
    ~CompanyDatabase();
    CompanyDatabase(const CompanyDatabase&) = delete;
    CompanyDatabase& operator=(const CompanyDatabase&) = delete;

    QSqlDatabase db() const;
    SqlEngine engine() const { return alias_.isPostgres() ? SqlEngine::PostgreSQL : SqlEngine::SQLite; }
    // The SQLite file, for a second connection that bypasses Qt (SQLite only).
    QString file() const;
    // Where the database is: on PostgreSQL the server and the database's
    // name, for a second connection that bypasses Qt.
    const Alias& alias() const { return alias_; }

    // Runs the statement once for every row 0 .. count-1 with the values
    // row(i) bound in order: one prepared statement, one transaction.
    void insertRows(const QString& sql, qsizetype count, const std::function<QVariantList(qsizetype)>& row);
    // What the database does by itself some time after a bulk load: on
    // PostgreSQL autovacuum vacuums and analyses a table that many rows
    // were added to (statistics for the planner, the GIN index's pending
    // entries merged). Nothing on SQLite, where the program runs no ANALYZE.
    void settleAfterLoad();

private:
    QTemporaryDir dir_;
    QString connection_;
    Alias alias_;
};

} // namespace torvika::bench
