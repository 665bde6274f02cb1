#include "shell/workspace.h"

#include "common/errors.h"
#include "common/profile_file.h"
#include "common/sql.h"
#include "common/sql_statement.h"
#include "shell/texts.h"

#include <QSqlRecord>

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace torvika {

EngineConfig::EngineConfig(QString file)
    : file_(std::move(file)), programDir_(QDir::cleanPath(QFileInfo(file_).absolutePath())) {}

QString EngineConfig::storedPath(const QString& path) const {
    const QString absolute = QDir::cleanPath(QDir(programDir_).absoluteFilePath(path));
    if (absolute == programDir_)
        return QStringLiteral(".");
    const QString relative = QDir(programDir_).relativeFilePath(absolute);
    if (QDir::isAbsolutePath(relative) || relative == QStringLiteral("..") ||
        relative.startsWith(QStringLiteral("../")))
        return absolute;
    return relative;
}

bool EngineConfig::hasAlias(const QString& name) const {
    return ProfileFile(file_).sectionExists(name);
}

Alias EngineConfig::alias(const QString& name) const {
    ProfileData d = ProfileFile(file_).load();
    QString path = d.value(name, QStringLiteral("PATH"), QString());
    if (!path.isEmpty())
        path = QDir::cleanPath(QDir(programDir_).absoluteFilePath(path));
    Alias a{name, d.value(name, QStringLiteral("DRIVER"), kSqliteDriver).toUpper(), path};
    a.host = d.value(name, QStringLiteral("HOST"), QString());
    a.port = d.value(name, QStringLiteral("PORT"), QStringLiteral("5432")).toInt();
    a.database = d.value(name, QStringLiteral("DATABASE"), QString());
    a.user = d.value(name, QStringLiteral("USER"), QString());
    a.sslMode = d.value(name, QStringLiteral("SSLMODE"), QString());
    return a;
}

void EngineConfig::addAlias(const Alias& a) {
    ProfileFile f(file_);
    f.writeString(a.name, QStringLiteral("DRIVER"), a.driver);
    f.writeString(a.name, QStringLiteral("PATH"), storedPath(a.path));
    f.writeString(a.name, QStringLiteral("HOST"), a.isPostgres() ? a.host : QString());
    f.writeString(a.name, QStringLiteral("PORT"), a.isPostgres() ? QString::number(a.port) : QString());
    f.writeString(a.name, QStringLiteral("DATABASE"), a.isPostgres() ? a.database : QString());
    f.writeString(a.name, QStringLiteral("USER"), a.isPostgres() ? a.user : QString());
    f.writeString(a.name, QStringLiteral("SSLMODE"), a.isPostgres() ? a.sslMode : QString());
}

QString Alias::description() const {
    if (!isPostgres())
        return QDir::toNativeSeparators(path);
    return database + texts::kOnServerWord + (host.isEmpty() ? QStringLiteral("localhost") : host) + u':' +
           QString::number(port);
}

void EngineConfig::modifyAliasPath(const QString& name, const QString& path) {
    if (hasAlias(name))
        ProfileFile(file_).writeString(name, QStringLiteral("PATH"), storedPath(path));
}

QString companyDbFile(const QString& dir) {
    return QDir(dir).filePath(kCompanyDbFile);
}

void closeConnection(const QString& name) {
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

namespace {

// The words of the server's refusal between the server and the user.
QString refusalWords() {
    const QString& t = texts::kServerRefusedLogin;
    const qsizetype from = t.indexOf(QStringLiteral("%1")) + 2;
    return t.mid(from, t.indexOf(QStringLiteral("%2")) - from);
}

QSqlDatabase failOpen(QSqlDatabase& db, const QString& name, const QString& error) {
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
    throw EDatabaseError(error);
}

QSqlDatabase openSqlite(const QString& name, const QString& dir, bool create) {
    const QString file = companyDbFile(dir);
    if (!create && !QFileInfo::exists(file))
        throw EDatabaseError(texts::kNoDatabaseIn.arg(dir));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(file);
    // A short wait inside SQLite; longer waits take turns in execSql.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=50"));
    if (!db.open())
        return failOpen(db, name, db.lastError().text());
    // A file that is not a database fails on its first read.
    {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
            const QSqlError e = probe.lastError();
            // SQLITE_NOTADB: said in the user's words; other failures as the driver tells them.
            const QString err = e.nativeErrorCode() == QLatin1String("26")
                                    ? texts::kFileIsNoDatabase.arg(QDir::toNativeSeparators(file))
                                    : e.text();
            probe = QSqlQuery();
            return failOpen(db, name, err);
        }
    }
    return db;
}

QString serverError(const Alias& a, const QString& driverText) {
    const QString where = a.description();
    if (needsPassword(driverText))
        return texts::kServerRefusedLogin.arg(where, a.user);
    if (driverText.contains(QStringLiteral("does not exist")))
        return texts::kNoServerDatabase.arg(a.database);
    return texts::kServerUnreachable.arg(where, driverText.trimmed());
}

QSqlDatabase openPostgres(const QString& name, const Alias& a, const QString& password) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    if (!db.isValid())
        throw EDatabaseError(texts::kNoPostgresDriver);
    db.setHostName(a.host);
    db.setPort(a.port);
    db.setDatabaseName(a.database);
    db.setUserName(a.user);
    if (!password.isEmpty())
        db.setPassword(password);
    QStringList options{QStringLiteral("connect_timeout=5")};
    if (!a.sslMode.isEmpty())
        options << QStringLiteral("sslmode=") + a.sslMode;
    db.setConnectOptions(options.join(u';'));
    if (!db.open())
        return failOpen(db, name, serverError(a, db.lastError().text()));
    int version = 0;
    {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SHOW server_version_num")) && q.next())
            version = q.value(0).toInt();
    }
    if (!isSupportedServerVersion(version))
        return failOpen(db, name,
                        texts::kServerTooOld.arg(a.description()).arg(kOldestServerVersion / 10000));
    return db;
}

} // namespace

bool isSupportedServerVersion(int serverVersionNum) {
    return serverVersionNum >= kOldestServerVersion;
}

bool needsPassword(const QString& openError) {
    return openError.contains(QStringLiteral("no password supplied")) ||
           openError.contains(QStringLiteral("password authentication failed")) ||
           openError.contains(refusalWords());
}

QSqlDatabase openCompanyConnection(const QString& name, const Alias& alias, bool create,
                                   const QString& password) {
    closeConnection(name);
    QSqlDatabase db =
        alias.isPostgres() ? openPostgres(name, alias, password) : openSqlite(name, alias.path, create);
    try {
        setUpConnection(db);
    } catch (const EDatabaseError& e) {
        return failOpen(db, name, e.message());
    }
    return db;
}

namespace {

const QString kServerConnection = QStringLiteral("ServerMaintenance");

// Runs work on a connection to the server's own database.
template <typename Work> auto onServer(const Alias& alias, const QString& password, Work work) {
    Alias server = alias;
    server.database = QStringLiteral("postgres");
    struct Closer {
        ~Closer() { closeConnection(kServerConnection); }
    } closer;
    return work(openCompanyConnection(kServerConnection, server, false, password));
}

} // namespace

bool isServerDatabaseName(const QString& name) {
    return isPlainIdentifier(name) && !name.contains(u'.') && name.size() <= 63;
}

bool serverDatabaseExists(const Alias& alias, const QString& password) {
    return onServer(alias, password, [&](const QSqlDatabase& db) {
        return scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM pg_database WHERE datname = ?"),
                         {alias.database.toLower()})
                   .toInt() > 0;
    });
}

void createServerDatabaseOnly(const Alias& alias, const QString& password) {
    const QString name = alias.database.toLower();
    if (!isServerDatabaseName(name))
        throw EDatabaseError(texts::kInvalidDatabaseName.arg(alias.database));
    onServer(alias, password, [&](const QSqlDatabase& db) {
        if (scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM pg_database WHERE datname = ?"), {name})
                .toInt() > 0)
            throw EDatabaseError(texts::kServerDatabaseExists.arg(name, alias.description()));
        // The name was checked to be a plain identifier: it can stand in the statement.
        execScriptStatement(db, QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' "
                                               "LC_COLLATE 'C.UTF-8' LC_CTYPE 'C.UTF-8'")
                                    .arg(name));
    });
}

void dropServerDatabase(const Alias& alias, const QString& password) {
    const QString name = alias.database.toLower();
    if (!isServerDatabaseName(name))
        return;
    onServer(alias, password, [&](const QSqlDatabase& db) {
        execScriptStatement(db, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    });
}

QString companyDatabaseProblem(const Alias& alias, const QString& password) {
    if (!alias.isPostgres() && !QFileInfo::exists(companyDbFile(alias.path)))
        return texts::kNoDatabaseIn.arg(alias.description());
    const QString name = QStringLiteral("probe-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString problem;
    try {
        QSqlDatabase db = openCompanyConnection(name, alias, false, password);
        if (!db.tables().contains(QStringLiteral("Operators"), Qt::CaseInsensitive))
            problem = texts::kNotCompanyDatabase.arg(alias.description());
    } catch (const EDatabaseError& e) {
        problem = e.message();
    }
    closeConnection(name);
    return problem;
}

bool isCompanyDatabase(const Alias& alias, const QString& password) {
    return companyDatabaseProblem(alias, password).isEmpty();
}

Workspace::Workspace(const ProgramDir& programDir) : programDir_(programDir) {}

Workspace::~Workspace() {
    close();
}

void Workspace::open() {
    close();
    EngineConfig cfg = engineConfig();
    if (!cfg.hasAlias(kServiceAlias))
        cfg.addAlias(sqliteAlias(QDir::cleanPath(programDir_.dataDir())));
    const Alias alias = cfg.alias(kServiceAlias);
    directory_ = alias.path;
    description_ = alias.description();
    openCompanyConnection(kGeneralConnection, alias, false, password_);
    emit opened(directory_);
}

void Workspace::close() {
    closeConnection(kGeneralConnection);
}

bool Workspace::isOpen() const {
    return QSqlDatabase::contains(kGeneralConnection) &&
           QSqlDatabase::database(kGeneralConnection, false).isOpen();
}

QSqlDatabase Workspace::db() const {
    return QSqlDatabase::database(kGeneralConnection, false);
}

} // namespace torvika
