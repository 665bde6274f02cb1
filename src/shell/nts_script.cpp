#include "shell/nts_script.h"

#include "common/errors.h"
#include "common/profile_file.h"
#include "common/sql.h"
#include "common/sql_dialect.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace torvika {

namespace {

const QRegularExpression
    kUnless(QStringLiteral(R"(^\s*UNLESS\s+(?:COLUMN\s+(\w+)\.(\w+)|TABLE\s+(\w+))\s+(\S.*)$)"),
            QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);

} // namespace

QString scriptStatementToRun(const QSqlDatabase& db, const QString& statement) {
    const auto m = kUnless.match(statement);
    if (!m.hasMatch())
        return statement;
    // Read now, inside the script's transaction: the statements before this
    // one may have made or removed the table.
    const bool done = m.capturedLength(3) > 0 ? !tableColumns(db, m.captured(3)).isEmpty()
                                              : tableColumns(db, m.captured(1)).contains(m.captured(2));
    return done ? QString() : m.captured(4);
}

NtsScript NtsScript::load(const QString& path) {
    ProfileData d = ProfileFile(path).load();
    bool ok = false;
    int max =
        d.value(QStringLiteral("COUNT"), QStringLiteral("MAX"), QStringLiteral("0")).trimmed().toInt(&ok);
    NtsScript s;
    QString previous;
    for (int i = 1; ok && i <= max; ++i) {
        previous = d.value(QString::number(i), QStringLiteral("SQL"), previous);
        s.statements.append(previous);
    }
    return s;
}

QString NtsScript::updateMarker(const QString& path, int version) {
    return ProfileFile(path).readString(QStringLiteral("DBVer-") + QString::number(version),
                                        QStringLiteral("Ver"), QStringLiteral("0"));
}

ScriptResult runNtsScript(const QSqlDatabase& db, const NtsScript& script,
                          const std::function<void(int)>& afterEach,
                          const std::function<void(const QSqlDatabase&)>& extraInTransaction) {
    ScriptResult r;
    int i = 0;
    try {
        Transaction tx(db);
        for (i = 1; i <= script.statements.size(); ++i) {
            const QString sql = scriptStatementToRun(db, script.statements[i - 1]);
            if (!sql.trimmed().isEmpty())
                for (const QString& statement : scriptStatementsFor(sql, sqlEngine(db)))
                    execScriptStatement(db, statement);
            if (afterEach)
                afterEach(i);
        }
        i = script.statements.size();
        if (extraInTransaction)
            extraInTransaction(db);
        tx.commit();
    } catch (const Error& e) {
        r.ok = false;
        r.failedOperation = i;
        r.failedStatement = i >= 1 && i <= script.statements.size() ? script.statements[i - 1] : QString();
        r.error = e.message();
    }
    return r;
}

// The record lives in its own small table so that an old database without
// it can still be read.
int storedDatabaseVersion(const QSqlDatabase& db) {
    if (!db.tables().contains(QStringLiteral("DB_Info"), Qt::CaseInsensitive))
        return -1;
    bool ok = false;
    int v = scalarSql(db, QStringLiteral("SELECT Value FROM DB_Info WHERE Name = ?"), {QStringLiteral("Ver")})
                .toString()
                .toInt(&ok);
    return ok ? v : -1;
}

void storeDatabaseVersion(const QSqlDatabase& db, int version) {
    execScriptStatement(
        db, QStringLiteral("CREATE TABLE IF NOT EXISTS DB_Info (Name VARCHAR(32) NOT NULL PRIMARY "
                           "KEY, Value VARCHAR(255))"));
    execSql(db, QStringLiteral("DELETE FROM DB_Info WHERE Name = ?"), {QStringLiteral("Ver")});
    execSql(db, QStringLiteral("INSERT INTO DB_Info (Name, Value) VALUES (?, ?)"),
            {QStringLiteral("Ver"), QString::number(version)});
}

} // namespace torvika
