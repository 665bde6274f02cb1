#pragma once
// A company database for a benchmark: a temporary directory with a database
// made by the creation script scripts/NewTables.nts, opened through the
// program's own connection set-up, and bulk loading of rows.

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <functional>

namespace torvika::bench {

class CompanyDatabase {
public:
    // Throws std::runtime_error when the database cannot be created.
    CompanyDatabase();
    ~CompanyDatabase();
    CompanyDatabase(const CompanyDatabase&) = delete;
    CompanyDatabase& operator=(const CompanyDatabase&) = delete;

    QSqlDatabase db() const;
    // The SQLite file, for a second connection that bypasses Qt.
    QString file() const;

    // Runs the statement once for every row 0 .. count-1 with the values
    // row(i) bound in order: one prepared statement, one transaction.
    void insertRows(const QString& sql, qsizetype count, const std::function<QVariantList(qsizetype)>& row);

private:
    QTemporaryDir dir_;
    QString connection_;
};

} // namespace torvika::bench
