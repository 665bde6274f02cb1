#include "shell/workspace.h"

#include "common/errors.h"
#include "common/profile_file.h"
#include "common/sql.h"
#include "shell/texts.h"

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
    return {name, d.value(name, QStringLiteral("DRIVER"), QStringLiteral("SQLITE")), path};
}

void EngineConfig::addAlias(const Alias& a) {
    ProfileFile f(file_);
    f.writeString(a.name, QStringLiteral("DRIVER"), a.driver);
    f.writeString(a.name, QStringLiteral("PATH"), storedPath(a.path));
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

QSqlDatabase openCompanyConnection(const QString& name, const QString& dir, bool create) {
    closeConnection(name);
    QString file = companyDbFile(dir);
    if (!create && !QFileInfo::exists(file))
        throw EDatabaseError(texts::kNoDatabaseIn.arg(dir));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(file);
    // Several workstations may write at once: wait for the lock instead of failing.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open()) {
        QString err = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw EDatabaseError(err);
    }
    // A file that is not a database fails on its first read.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        QString err = probe.lastError().text();
        probe = QSqlQuery();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw EDatabaseError(err);
    }
    // SQLite refuses to redefine UPPER and LIKE while a statement is active.
    probe.finish();
    // Write-ahead logging: readers never block the writer, and a commit
    // writes the log alone instead of flushing the whole file.
    for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL"}) {
        QSqlQuery q(db);
        q.exec(QString::fromLatin1(pragma));
        q.finish();
    }
    registerSqlFunctions(db);
    return db;
}

bool isCompanyDatabase(const QString& dir) {
    if (!QFileInfo::exists(companyDbFile(dir)))
        return false;
    const QString name = QStringLiteral("probe-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool found = false;
    try {
        QSqlDatabase db = openCompanyConnection(name, dir, false);
        found = db.tables().contains(QStringLiteral("Operators"), Qt::CaseInsensitive);
    } catch (const EDatabaseError&) {
        found = false;
    }
    closeConnection(name);
    return found;
}

Workspace::Workspace(const ProgramDir& programDir) : programDir_(programDir) {}

Workspace::~Workspace() {
    close();
}

void Workspace::open() {
    close();
    EngineConfig cfg = engineConfig();
    if (!cfg.hasAlias(kServiceAlias))
        cfg.addAlias({kServiceAlias, QStringLiteral("SQLITE"), QDir::cleanPath(programDir_.dataDir())});
    directory_ = cfg.alias(kServiceAlias).path;
    openCompanyConnection(kGeneralConnection, directory_, false);
    emit opened(directory_);
}

void Workspace::repoint(const QString& dir) {
    engineConfig().modifyAliasPath(kServiceAlias, QDir::cleanPath(dir));
    open();
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
