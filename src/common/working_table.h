#pragma once
// A working copy's table: a temporary table of the connection, which no
// other workstation sees, created empty when the copy opens and dropped
// when it closes. A second copy open at the same time on the connection (a
// second window over the first) gets a table of its own ("<name>2", ...).

#include <QSqlDatabase>
#include <QString>

namespace torvika {

class WorkingTable {
public:
    // columns: the column list of CREATE TEMPORARY TABLE, without the
    // parentheses. Throws EDatabaseError.
    WorkingTable(const QSqlDatabase& db, const QString& baseName, const QString& columns);
    ~WorkingTable();
    WorkingTable(const WorkingTable&) = delete;
    WorkingTable& operator=(const WorkingTable&) = delete;

    // The table's plain name.
    const QString& name() const { return name_; }
    // The name for statements: qualified by the schema of the connection's
    // temporary tables, so that no shared table of the same name is reached.
    const QString& table() const { return table_; }

private:
    QSqlDatabase db_;
    QString name_;
    QString table_;
};

} // namespace torvika
