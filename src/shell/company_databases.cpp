#include "shell/company_databases.h"

#include "common/errors.h"
#include "shell/nts_script.h"
#include "shell/version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace torvika {

namespace {

QString clean(const QString& dir) {
    return QDir::cleanPath(QDir(dir).absolutePath());
}

QString targetDir(const QString& base, const QString& name) {
    return name.trimmed().isEmpty() ? clean(base) : clean(QDir(base).filePath(name.trimmed()));
}

} // namespace

void writeInitialGroupTree(const QString& dir) {
    QSaveFile f(QDir(dir).filePath(QStringLiteral("Opis.pdt")));
    if (!f.open(QIODevice::WriteOnly) || f.write(QStringLiteral("Всички артикули\r\n").toUtf8()) < 0 ||
        !f.commit())
        throw EInOutError(QStringLiteral("Не може да бъде записан файлът %1").arg(f.fileName()));
}

bool SET_NEW_DATABASE(Session& session, const QString& dir) {
    try {
        session.firmData().setDbPath(QDir::toNativeSeparators(dir));
        session.workspace.open();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

DbOperationResult createCompanyDatabase(Session& session, const QString& base, const QString& name) {
    DbOperationResult r;
    const QString target = targetDir(base, name);
    r.directory = target;
    EngineConfig cfg = session.workspace.engineConfig();
    const QString previous = cfg.hasAlias(kServiceAlias) ? cfg.alias(kServiceAlias).path : QString();

    const bool dirExisted = QFileInfo(target).isDir();
    const QString dbFile = companyDbFile(target);
    const QString treeFile = QDir(target).filePath(QStringLiteral("Opis.pdt"));
    const bool dbExisted = QFileInfo::exists(dbFile);
    const bool treeExisted = QFileInfo::exists(treeFile);

    auto undo = [&] {
        closeConnection(QStringLiteral("create"));
        if (!dbExisted)
            QFile::remove(dbFile);
        if (!treeExisted)
            QFile::remove(treeFile);
        if (!dirExisted)
            QDir().rmdir(target); // only when empty
        cfg.modifyAliasPath(kServiceAlias, previous);
    };

    try {
        if (!QDir().mkpath(target))
            throw EInOutError(QStringLiteral("Не може да бъде създадена директорията %1").arg(target));
        session.workspace.close();
        cfg.modifyAliasPath(kServiceAlias, target);
        if (!cfg.hasAlias(kServiceAlias))
            cfg.addAlias({kServiceAlias, QStringLiteral("SQLITE"), target});
        writeInitialGroupTree(target);

        NtsScript script = NtsScript::load(session.programDir.newTablesScript());
        QSqlDatabase db = openCompanyConnection(QStringLiteral("create"), target, true);
        const int release = fileVersion().releaseNumber();
        ScriptResult run = runNtsScript(
            db, script, [&](int i) { r.log << QString() << dbtext::kOperationOk.arg(i); },
            [&](const QSqlDatabase& d) { storeDatabaseVersion(d, release); });
        db = QSqlDatabase();
        closeConnection(QStringLiteral("create"));
        if (!run.ok)
            throw EDatabaseError(run.error);
        r.log << QString() << dbtext::kCreated;
        session.firmData().setDbVer(release);
        r.ok = true;
    } catch (const std::exception&) {
        r.log << QString() << dbtext::kError;
        undo();
    }
    SET_NEW_DATABASE(session, r.ok ? target : previous);
    return r;
}

DbOperationResult updateCompanyDatabase(Session& session, const QString& scriptDir) {
    DbOperationResult r;
    r.directory = session.workspace.directory();
    NtsScript script = NtsScript::load(QDir(scriptDir).filePath(QStringLiteral("UpdateTables.nts")));
    const int release = fileVersion().releaseNumber();
    if (!session.workspace.isOpen()) {
        try {
            session.workspace.open();
        } catch (const Error& e) {
            r.message = e.message();
            return r;
        }
    }
    ScriptResult run = runNtsScript(
        session.workspace.db(), script, [&](int i) { r.log << QString() << dbtext::kOperationOk.arg(i); },
        [&](const QSqlDatabase& d) { storeDatabaseVersion(d, release); });
    if (!run.ok) {
        r.message = QStringLiteral("Прекратена актуализация при изпълнението на \rОПЕРАЦИЯ: %1\r:%2")
                        .arg(run.failedOperation)
                        .arg(run.failedStatement);
        return r;
    }
    session.firmData().setDbVer(release);
    r.message = dbtext::kUpdated;
    r.ok = true;
    return r;
}

DbOperationResult switchCompanyDatabase(Session& session, const QString& chosen) {
    DbOperationResult r;
    const QString dir = clean(chosen);
    r.directory = dir;
    EngineConfig cfg = session.workspace.engineConfig();
    const QString previous = cfg.hasAlias(kServiceAlias) ? cfg.alias(kServiceAlias).path : QString();
    if (isCompanyDatabase(dir)) {
        cfg.modifyAliasPath(kServiceAlias, dir);
        r.ok = SET_NEW_DATABASE(session, dir);
    }
    if (!r.ok) {
        cfg.modifyAliasPath(kServiceAlias, previous);
        SET_NEW_DATABASE(session, previous);
        r.message = dbtext::kSwitchFailed;
    }
    return r;
}

QString ensureDefaultDatabase(Session& session) {
    EngineConfig cfg = session.workspace.engineConfig();
    const QString data = clean(session.programDir.dataDir());
    if (cfg.hasAlias(kServiceAlias) && clean(cfg.alias(kServiceAlias).path) != data)
        return {};
    if (isCompanyDatabase(data))
        return {};
    if (QFileInfo::exists(companyDbFile(data)))
        return QStringLiteral("Файлът %1 не е база данни на програмата").arg(companyDbFile(data));
    DbOperationResult r = createCompanyDatabase(session, data, QString());
    return r.ok ? QString() : r.log.join(u'\n');
}

VersionCheck checkDatabaseVersion(Session& session) {
    VersionCheck c;
    FirmData fd = session.firmData();
    const int release = fileVersion().releaseNumber();
    // The database's own record decides when it has one: another workstation
    // may have updated it already. Otherwise this installation's record.
    int version = -1;
    if (session.workspace.isOpen())
        version = storedDatabaseVersion(session.workspace.db());
    if (version < 0) {
        bool ok = false;
        version = fd.dbVerText().trimmed().toInt(&ok);
        if (!ok)
            version = 0; // unreadable: treated as missing
    }
    if (version >= release)
        return c;
    c.outdated = true;
    c.request = QStringLiteral("Необходимо е базата данни да бъде актуализирана с версия N:") +
                QString::number(release) + QStringLiteral(" от ") + fd.dbVerDate();
    if (NtsScript::updateMarker(session.programDir.updateTablesScript(), release) != QStringLiteral("0"))
        c.needsUpdateDialog = true;
    else
        c.noScriptMessage = dbtext::kNoUpdateFile;
    return c;
}

} // namespace torvika
