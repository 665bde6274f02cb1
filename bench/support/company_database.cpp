#include "support/company_database.h"

#include "common/errors.h"
#include "shell/company_databases.h"
#include "shell/program_dir.h"
#include "shell/session.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <cstdio>
#include <stdexcept>

namespace torvika::bench {

namespace {

// A connection to the server's own database, for dropping the benchmark's.
const QString kMaintenanceConnection = QStringLiteral("bench-server");

[[noreturn]] void fail(const QString& what) {
    throw std::runtime_error(what.toStdString());
}

} // namespace

std::optional<Alias> benchServer() {
    const QString connection = qEnvironmentVariable("TORVIKA_BENCH_PG");
    if (connection.trimmed().isEmpty())
        return std::nullopt;
    Alias a{kServiceAlias, kPostgresDriver, QString()};
    for (const QString& part : connection.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = part.section(u'=', 0, 0);
        const QString value = part.section(u'=', 1);
        if (key == QLatin1String("host"))
            a.host = value;
        else if (key == QLatin1String("port"))
            a.port = value.toInt();
        else if (key == QLatin1String("user"))
            a.user = value;
    }
    return a;
}

SqlEngine benchEngine() {
    return benchServer() ? SqlEngine::PostgreSQL : SqlEngine::SQLite;
}

CompanyDatabase::CompanyDatabase()
    : connection_(QStringLiteral("bench-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    if (!dir_.isValid())
        fail(QStringLiteral("no temporary directory for the benchmark database"));
    const ProgramDir programDir(dir_.path());
    const QString data = QDir::cleanPath(programDir.dataDir());
    try {
        programDir.prepare(shippedShareDir());
        Session session(programDir);
        // The benchmarks' data is in lev: a company made before the euro.
        session.clock = [] { return QDateTime(QDate(2025, 6, 2), QTime(9, 0)); };
        DbOperationResult r;
        if (const std::optional<Alias> server = benchServer()) {
            Alias a = *server;
            // A plain identifier of our own: the program keeps server names in lower case.
            a.database = QStringLiteral("torvika_bench_%1_%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QUuid::createUuid().toString(QUuid::Id128).left(8));
            a.path = data;
            r = createServerDatabase(session, a, QString());
        } else {
            r = createCompanyDatabase(session, data, QString());
        }
        if (!r.ok)
            fail(QStringLiteral("the company database was not created: ") + r.message + u'\n' +
                 r.log.join(u'\n'));
        alias_ = session.workspace.engineConfig().alias(kServiceAlias);
        session.workspace.close();
        openCompanyConnection(connection_, alias_);
    } catch (const Error& e) {
        fail(e.message());
    }
}

CompanyDatabase::~CompanyDatabase() {
    closeConnection(connection_);
    if (!alias_.isPostgres())
        return;
    try {
        Alias server = alias_;
        server.database = QStringLiteral("postgres");
        execScriptStatement(openCompanyConnection(kMaintenanceConnection, server),
                            QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(alias_.database));
    } catch (const Error& e) {
        std::fprintf(stderr, "cannot drop %s: %s\n", qPrintable(alias_.database), qPrintable(e.message()));
    }
    closeConnection(kMaintenanceConnection);
}

QSqlDatabase CompanyDatabase::db() const {
    return QSqlDatabase::database(connection_, false);
}

QString CompanyDatabase::file() const {
    return companyDbFile(alias_.path);
}

void CompanyDatabase::insertRows(const QString& sql, qsizetype count,
                                 const std::function<QVariantList(qsizetype)>& row) {
    const QSqlDatabase database = db();
    Transaction t(database);
    {
        QSqlQuery q(database);
        if (!q.prepare(sql))
            fail(q.lastError().text());
        for (qsizetype i = 0; i < count; ++i) {
            const QVariantList values = row(i);
            for (int v = 0; v < values.size(); ++v)
                q.bindValue(v, values[v]);
            if (!q.exec())
                fail(q.lastError().text());
        }
    }
    t.commit();
}

void CompanyDatabase::settleAfterLoad() {
    if (engine() == SqlEngine::PostgreSQL)
        execScriptStatement(db(), QStringLiteral("VACUUM ANALYZE"));
}

} // namespace torvika::bench
