#include "common/new_keys.h"

#include "common/errors.h"
#include "common/sql.h"
#include "common/sql_statement.h"
#include "common/texts.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QThread>
#include <stdexcept>

namespace torvika {

namespace {

void checkNames(const QString& table, const QString& column) {
    if (!isPlainIdentifier(table) || table.contains(u'.') || !isPlainIdentifier(column))
        throw std::invalid_argument("not a table and column name: " + table.toStdString() + "." +
                                    column.toStdString());
}

} // namespace

void lockTableForWriting(const QSqlDatabase& db, const QString& table) {
    checkNames(table, QStringLiteral("ID"));
    // Other writers wait (readers go on) until this transaction ends.
    if (sqlEngine(db) == SqlEngine::PostgreSQL && Transaction::isOpen(db))
        execScriptStatement(db, QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(table));
}

void lockTablesAgainstWriters(const QSqlDatabase& db, const QStringList& tables) {
    for (const QString& table : tables)
        checkNames(table, QStringLiteral("ID"));
    if (tables.isEmpty() || sqlEngine(db) != SqlEngine::PostgreSQL || !Transaction::isOpen(db))
        return;
    const QString sql = QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE NOWAIT")
                            .arg(tables.join(QStringLiteral(", ")));
    QDeadlineTimer deadline(busyPatienceMilliseconds());
    for (;;) {
        {
            // A savepoint: a refused attempt gives back the tables it took.
            Transaction attempt(db);
            QSqlQuery q(db);
            if (q.exec(sql)) {
                attempt.commit();
                return;
            }
            // 55P03: lock_not_available, a table another transaction holds.
            if (q.lastError().nativeErrorCode() != QLatin1String("55P03"))
                throw EDatabaseError(q.lastError().text().trimmed() + QStringLiteral(" [") + sql + u']');
        }
        if (deadline.hasExpired())
            throw EDatabaseBusy(texts::kDatabaseBusy);
        QThread::msleep(5 + QRandomGenerator::global()->bounded(45));
    }
}

qint64 nextKey(const QSqlDatabase& db, const QString& table, const QString& column) {
    checkNames(table, column);
    // On PostgreSQL two transactions could read the same MAX: the table is
    // locked against other writers until this one ends.
    lockTableForWriting(db, table);
    const QVariant max =
        scalarSql(db, QStringLiteral("SELECT MAX(%1) AS MaxNumber FROM %2").arg(column, table));
    if (max.isNull())
        return 1;
    bool ok = false;
    const qint64 value = max.toLongLong(&ok);
    if (!ok)
        throw EDatabaseError(QStringLiteral("%1.%2 holds a key that is not a number").arg(table, column));
    return value + 1;
}

qint64 GET_MAX_NUMBER(const QSqlDatabase& db, const QString& table, const QString& column) {
    checkNames(table, column);
    try {
        return nextKey(db, table, column);
    } catch (const EDatabaseError&) {
        return 0;
    }
}

bool CHECK_REPEATED_NUMBERS(const QSqlDatabase& db, const QString& table, const QString& column,
                            const QVariant& value) {
    checkNames(table, column);
    QSqlQuery q = execSql(db, QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(table, column), {value});
    return q.next();
}

} // namespace torvika
