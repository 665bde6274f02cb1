#include "common/working_table.h"

#include "common/exception_log.h"
#include "common/sql.h"
#include "common/sql_dialect.h"

#include <QSet>

namespace torvika {

namespace {

// The tables of the copies open in this program.
QSet<QString>& namesInUse() {
    static QSet<QString> names;
    return names;
}

QString takeName(const QString& base) {
    QString name = base;
    for (int n = 2; namesInUse().contains(name); ++n)
        name = base + QString::number(n);
    namesInUse().insert(name);
    return name;
}

} // namespace

WorkingTable::WorkingTable(const QSqlDatabase& db, const QString& baseName, const QString& columns)
    : db_(db), name_(takeName(baseName)) {
    table_ = temporaryTable(sqlEngine(db_), name_);
    try {
        execScriptStatement(
            db_, QStringLiteral("CREATE TEMPORARY TABLE IF NOT EXISTS %1 (%2)").arg(name_, columns));
        execScriptStatement(db_, QStringLiteral("DELETE FROM %1").arg(table_));
    } catch (...) {
        namesInUse().remove(name_);
        throw;
    }
}

WorkingTable::~WorkingTable() {
    try {
        execScriptStatement(db_, QStringLiteral("DROP TABLE %1").arg(table_));
    } catch (const std::exception& e) {
        logException(e);
    }
    namesInUse().remove(name_);
}

} // namespace torvika
