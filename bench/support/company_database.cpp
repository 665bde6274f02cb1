#include "support/company_database.h"

#include "common/sql.h"
#include "shell/nts_script.h"
#include "shell/workspace.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <stdexcept>

namespace torvika::bench {

CompanyDatabase::CompanyDatabase()
    : connection_(QStringLiteral("bench-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary directory for the benchmark database");
    const NtsScript script = NtsScript::load(QStringLiteral(TORVIKA_SOURCE_DIR "/scripts/NewTables.nts"));
    if (script.statements.isEmpty())
        throw std::runtime_error("the creation script has no statements");
    const QSqlDatabase db = openCompanyConnection(connection_, dir_.path(), true);
    const ScriptResult r = runNtsScript(db, script);
    if (!r.ok)
        throw std::runtime_error(QStringLiteral("creation statement %1 failed: %2")
                                     .arg(r.failedOperation)
                                     .arg(r.error)
                                     .toStdString());
}

CompanyDatabase::~CompanyDatabase() {
    closeConnection(connection_);
}

QSqlDatabase CompanyDatabase::db() const {
    return QSqlDatabase::database(connection_, false);
}

QString CompanyDatabase::file() const {
    return companyDbFile(dir_.path());
}

void CompanyDatabase::insertRows(const QString& sql, qsizetype count,
                                 const std::function<QVariantList(qsizetype)>& row) {
    const QSqlDatabase database = db();
    Transaction t(database);
    {
        QSqlQuery q(database);
        if (!q.prepare(sql))
            throw std::runtime_error(q.lastError().text().toStdString());
        for (qsizetype i = 0; i < count; ++i) {
            const QVariantList values = row(i);
            for (int v = 0; v < values.size(); ++v)
                q.bindValue(v, values[v]);
            if (!q.exec())
                throw std::runtime_error(q.lastError().text().toStdString());
        }
    }
    t.commit();
}

} // namespace torvika::bench
