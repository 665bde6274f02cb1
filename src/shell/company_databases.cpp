#include "shell/company_databases.h"

#include "common/base_currency.h"
#include "common/errors.h"
#include "common/exception_log.h"
#include "common/sql.h"
#include "common/sql_statement.h"
#include "shell/nts_script.h"
#include "shell/operators.h"
#include "shell/texts.h"
#include "shell/version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

namespace torvika {

namespace {

const QString kCreateConnection = QStringLiteral("CompanyDatabaseCreation");

QString clean(const QString& dir) {
    return QDir::cleanPath(QDir(dir).absolutePath());
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString cannotWrite(const QString& file) {
    return texts::kCannotWriteFile.arg(native(file));
}

// A new database gets one directory below the chosen one, never a path
// that leads elsewhere.
bool validName(const QString& name) {
    return name.isEmpty() ||
           (name != u'.' && name != QStringLiteral("..") && !name.contains(u'/') && !name.contains(u'\\'));
}

// The database the alias leads to; Data when the alias does not exist yet
// (that is where the workspace creates it).
Alias aliasTarget(const Session& session) {
    EngineConfig cfg = session.workspace.engineConfig();
    return cfg.hasAlias(kServiceAlias) ? cfg.alias(kServiceAlias)
                                       : sqliteAlias(clean(session.programDir.dataDir()));
}

// Makes the alias lead to the database. Throws EInOutError when the
// engine's configuration cannot be written.
void pointAlias(const Session& session, const Alias& target) {
    EngineConfig cfg = session.workspace.engineConfig();
    try {
        Alias a = target;
        a.name = kServiceAlias;
        cfg.addAlias(a);
    } catch (const std::exception&) {
        throw EInOutError(cannotWrite(session.programDir.engineConfig()));
    }
}

// DBVer/Ver as it was, so that a failed operation can put it back.
class SavedVersion {
public:
    explicit SavedVersion(Settings& settings)
        : settings_(settings), had_(settings.has(SettingId::DatabaseVersion)),
          old_(settings.get(setting::kDatabaseVersion)) {}
    void write(int version) {
        try {
            settings_.set(setting::kDatabaseVersion, QString::number(version));
        } catch (const std::exception&) {
            throw EInOutError(cannotWrite(settings_.path()));
        }
        written_ = true;
    }
    void restore() noexcept {
        if (!written_)
            return;
        try {
            if (had_)
                settings_.set(setting::kDatabaseVersion, old_);
            else
                settings_.remove(SettingId::DatabaseVersion);
        } catch (const std::exception&) {
        }
        written_ = false;
    }

private:
    Settings& settings_;
    bool had_;
    QString old_;
    bool written_ = false;
};

// Opis.pdt as it was before a creation wrote it. Throws EInOutError when
// it is there but cannot be read: putting it back would be impossible.
class SavedFile {
public:
    explicit SavedFile(QString path) : path_(std::move(path)), old_(readFileIfExists(path_)) {}
    void markWritten() { written_ = true; }
    void restore() noexcept {
        if (!written_)
            return;
        if (old_) {
            QSaveFile f(path_);
            if (f.open(QIODevice::WriteOnly) && f.write(*old_) == old_->size())
                f.commit();
        } else {
            QFile::remove(path_);
        }
        written_ = false;
    }

private:
    QString path_;
    std::optional<QByteArray> old_;
    bool written_ = false;
};

} // namespace

QString switchFailedMessage(const QString& reason) {
    return reason.isEmpty() ? texts::kSwitchFailed : texts::kSwitchFailed + u'\r' + reason;
}

QString updateAbortedMessage(int operation, const QString& statement) {
    return texts::kUpdateAbortedAt.arg(QString::number(operation), statement);
}

void writeInitialGroupTree(const QString& dir) {
    QSaveFile f(QDir(dir).filePath(QStringLiteral("Opis.pdt")));
    if (!f.open(QIODevice::WriteOnly) ||
        f.write((texts::kAllArticlesGroup + QStringLiteral("\r\n")).toUtf8()) < 0 || !f.commit())
        throw EInOutError(cannotWrite(f.fileName()));
}

bool SET_NEW_DATABASE(Session& session, const QString& dir, QString* error) {
    try {
        session.workspace.open();
        session.settings().set(setting::kDatabasePath, native(dir));
        return true;
    } catch (const std::exception& e) {
        if (error)
            *error = exceptionMessage(e);
        return false;
    }
}

namespace {

// Where a new company database goes: a directory of its own (SQLite) or a
// new database on a server (PostgreSQL), with the company directory for
// the text files.
class NewStorage {
public:
    virtual ~NewStorage() = default;
    // The alias of the new database.
    virtual Alias alias() const = 0;
    // A reason not to create it at all (nothing touched yet); empty for none.
    virtual QString refusal() const = 0;
    // Creates the directory or the database. Throws.
    virtual void make() = 0;
    // The connection the script runs on. Throws.
    virtual QSqlDatabase open() = 0;
    // Removes what make() created (the connection is closed by then).
    virtual void undo() noexcept = 0;
};

class DirectoryStorage : public NewStorage {
public:
    DirectoryStorage(const QString& base, const QString& name)
        : base_(base), name_(name.trimmed()),
          target_(name_.isEmpty() ? clean(base) : clean(QDir(base).filePath(name_))),
          dirExisted_(QFileInfo(target_).isDir()), dbExisted_(QFileInfo::exists(companyDbFile(target_))) {}

    Alias alias() const override { return sqliteAlias(target_); }
    QString refusal() const override {
        if (!validName(name_))
            return texts::kInvalidDatabaseName.arg(name_);
        if (base_.trimmed().isEmpty() || !QFileInfo(base_).isDir())
            return texts::kDirectoryMissing.arg(native(base_));
        // The script would meet the tables of a working company; never run
        // it into one.
        if (isCompanyDatabase(target_))
            return texts::kDatabaseAlreadyThere.arg(native(target_));
        return {};
    }
    void make() override {
        if (!dirExisted_ && !QDir(base_).mkdir(name_))
            throw EInOutError(texts::kCannotCreateDirectory.arg(native(target_)));
    }
    QSqlDatabase open() override {
        try {
            return openCompanyConnection(kCreateConnection, target_, true);
        } catch (const EDatabaseError&) {
            throw EDatabaseError((dbExisted_ ? texts::kFileIsNoDatabase : texts::kCannotCreateDatabaseFile)
                                     .arg(native(companyDbFile(target_))));
        }
    }
    void undo() noexcept override {
        const QString dbFile = companyDbFile(target_);
        if (!dbExisted_) {
            for (const char* suffix : {"", "-journal", "-wal", "-shm"})
                QFile::remove(dbFile + QString::fromLatin1(suffix));
        }
        if (!dirExisted_)
            QDir().rmdir(target_); // only when empty: files that were there stay
    }

private:
    QString base_, name_, target_;
    bool dirExisted_, dbExisted_;
};

class ServerStorage : public NewStorage {
public:
    ServerStorage(Alias alias, QString password) : alias_(std::move(alias)), password_(std::move(password)) {
        alias_.database = alias_.database.trimmed().toLower();
    }

    Alias alias() const override { return alias_; }
    QString refusal() const override {
        if (!isServerDatabaseName(alias_.database))
            return texts::kInvalidDatabaseName.arg(alias_.database);
        if (alias_.path.trimmed().isEmpty())
            return texts::kDirectoryMissing.arg(native(alias_.path));
        return {};
    }
    void make() override {
        // The company directory of the text files is made when it is missing.
        dirMade_ = !QFileInfo(alias_.path).isDir();
        if (dirMade_ && !QDir().mkpath(alias_.path))
            throw EInOutError(texts::kCannotCreateDirectory.arg(native(alias_.path)));
        createServerDatabaseOnly(alias_, password_);
        made_ = true;
    }
    QSqlDatabase open() override {
        return openCompanyConnection(kCreateConnection, alias_, false, password_);
    }
    void undo() noexcept override {
        if (made_) {
            try {
                dropServerDatabase(alias_, password_);
            } catch (const std::exception& e) {
                logException(e);
            }
            made_ = false;
        }
        if (dirMade_)
            QDir().rmdir(alias_.path); // only when empty
    }

private:
    Alias alias_;
    QString password_;
    bool made_ = false;
    bool dirMade_ = false;
};

DbOperationResult createIn(Session& session, NewStorage& storage, const QString& password) {
    DbOperationResult r;
    const Alias target = storage.alias();
    r.directory = target.path;
    auto refuse = [&r](const QString& message) {
        r.log << QString() << texts::kOperationError << QString() << texts::kCreationCancelled;
        r.message = message;
        return r;
    };

    // Checks that touch nothing.
    if (const QString why = storage.refusal(); !why.isEmpty())
        return refuse(why);
    const QString scriptPath = session.programDir.newTablesScript();
    if (!QFileInfo(scriptPath).isFile())
        return refuse(texts::kFileNotFound.arg(native(scriptPath)));
    NtsScript script;
    std::optional<SavedFile> savedTree;
    std::optional<SavedVersion> savedVersion;
    try {
        script = NtsScript::load(scriptPath);
        savedTree.emplace(QDir(target.path).filePath(QStringLiteral("Opis.pdt")));
        savedVersion.emplace(session.settings());
    } catch (const Error& e) {
        return refuse(e.message());
    }
    SavedFile& tree = *savedTree;
    SavedVersion& version = *savedVersion;
    const int release = fileVersion().releaseNumber();

    auto undo = [&] {
        closeConnection(kCreateConnection);
        version.restore();
        tree.restore();
        storage.undo();
    };

    try {
        storage.make();

        // The group tree and DBVer/Ver are written inside the script's
        // transaction: when one of them fails the tables are rolled back too.
        QString finishError;
        bool finished = false;
        ScriptResult run;
        {
            const QSqlDatabase db = storage.open();
            run = runNtsScript(
                db, script, [&](int i) { r.log << QString() << texts::kOperationOk.arg(i); },
                [&](const QSqlDatabase& d) {
                    try {
                        if (!d.tables().contains(QStringLiteral("Operators"), Qt::CaseInsensitive))
                            throw EDatabaseError(texts::kScriptCreatesNoOperators.arg(native(scriptPath)));
                        // The script writes the first operator's password as
                        // text; the database keeps only its hash.
                        hashPlainPasswords(d);
                        // A company made since the euro was adopted keeps its books in euro.
                        if (session.now().date() >= euroAdoptionDay())
                            makeEuroTheBaseOfNewCompany(d);
                        storeDatabaseVersion(d, release);
                        tree.markWritten();
                        writeInitialGroupTree(target.path);
                        version.write(release);
                        finished = true;
                    } catch (const Error& e) {
                        finishError = e.message();
                        throw;
                    }
                });
        }
        closeConnection(kCreateConnection);
        if (!run.ok) {
            if (!finishError.isEmpty())
                throw EDatabaseError(finishError);
            if (finished || run.failedOperation == 0) // the commit or the start of the transaction
                throw EDatabaseError(run.error);
            throw EDatabaseError(QString()); // a failing statement: the log tells it
        }
        pointAlias(session, target);
    } catch (const Error& e) {
        // The statements logged as done were rolled back with the rest.
        r.log << QString() << texts::kOperationError << QString() << texts::kCreationCancelled;
        r.message = e.message();
        undo();
        return r;
    }
    r.log << QString() << texts::kDatabaseCreated;
    r.ok = true;
    session.workspace.setServerPassword(password);
    SET_NEW_DATABASE(session, target.path);
    return r;
}

} // namespace

DbOperationResult createCompanyDatabase(Session& session, const QString& base, const QString& name) {
    DirectoryStorage storage(base, name);
    return createIn(session, storage, QString());
}

DbOperationResult createServerDatabase(Session& session, const Alias& target, const QString& password) {
    ServerStorage storage(target, password);
    return createIn(session, storage, password);
}

DbOperationResult updateCompanyDatabase(Session& session, const QString& scriptDir) {
    DbOperationResult r;
    r.directory = session.workspace.directory();
    const QString path = QDir(scriptDir).filePath(QStringLiteral("UpdateTables.nts"));
    // Recording the new version for a script that is not there would report
    // an update that never ran.
    if (scriptDir.trimmed().isEmpty() || !QFileInfo(path).isFile()) {
        r.message = texts::kNoUpdateFile;
        return r;
    }
    NtsScript script;
    std::optional<SavedVersion> savedVersion;
    try {
        script = NtsScript::load(path);
        if (!session.workspace.isOpen())
            session.workspace.open();
        savedVersion.emplace(session.settings());
    } catch (const Error& e) {
        r.message = texts::kUpdateStopped + e.message();
        return r;
    }
    SavedVersion& version = *savedVersion;
    r.directory = session.workspace.directory();

    const int release = fileVersion().releaseNumber();
    QString finishError;
    bool finished = false;
    ScriptResult run = runNtsScript(
        session.workspace.db(), script, [&](int i) { r.log << QString() << texts::kOperationOk.arg(i); },
        [&](const QSqlDatabase& d) {
            try {
                storeDatabaseVersion(d, release);
                version.write(release);
                finished = true;
            } catch (const Error& e) {
                finishError = e.message();
                throw;
            }
        });
    if (!run.ok) {
        // The statements logged as done were rolled back with the rest.
        r.log << QString() << texts::kOperationError << QString() << texts::kUpdateCancelled;
        version.restore();
        if (!finishError.isEmpty())
            r.message = texts::kUpdateStopped + finishError;
        else if (finished || run.failedOperation == 0)
            r.message = texts::kUpdateStopped + run.error;
        else
            r.message = updateAbortedMessage(run.failedOperation, run.failedStatement);
        return r;
    }
    r.message = texts::kDatabaseUpdated;
    r.ok = true;
    return r;
}

DbOperationResult switchCompanyDatabase(Session& session, const QString& chosen) {
    const QString dir = chosen.trimmed().isEmpty() ? QString() : clean(chosen);
    return switchCompanyDatabase(session, sqliteAlias(dir), QString());
}

DbOperationResult switchCompanyDatabase(Session& session, const Alias& target, const QString& password) {
    DbOperationResult r;
    r.directory = target.path;
    // Nothing is touched unless the target holds a company database.
    const bool named = target.isPostgres() ? !target.database.trimmed().isEmpty() : !target.path.isEmpty();
    // Nothing chosen has no reason to tell beyond the message itself.
    QString reason = named ? companyDatabaseProblem(target, password) : QString();
    if (named && reason.isEmpty()) {
        std::optional<Alias> previous;
        const QString previousPassword = session.workspace.serverPassword();
        try {
            previous = aliasTarget(session);
            pointAlias(session, target);
            session.workspace.setServerPassword(password);
            if (SET_NEW_DATABASE(session, target.path, &reason)) {
                r.ok = true;
                return r;
            }
            pointAlias(session, *previous);
        } catch (const Error& e) {
            if (reason.isEmpty())
                reason = e.message();
        }
        session.workspace.setServerPassword(previousPassword);
        if (previous)
            SET_NEW_DATABASE(session, previous->path);
    }
    r.message = switchFailedMessage(reason);
    return r;
}

QString ensureDefaultDatabase(Session& session) {
    try {
        EngineConfig cfg = session.workspace.engineConfig();
        const QString data = clean(session.programDir.dataDir());
        if (cfg.hasAlias(kServiceAlias) && clean(cfg.alias(kServiceAlias).path) != data)
            return {};
        if (isCompanyDatabase(data))
            return {};
        if (QFileInfo::exists(companyDbFile(data)))
            return texts::kFileIsNoProgramDatabase.arg(native(companyDbFile(data)));
        DbOperationResult r = createCompanyDatabase(session, data, QString());
        if (r.ok) {
            // A new installation works in the new company's first warehouse.
            Settings& settings = session.settings();
            if (!settings.has(SettingId::ActiveWarehouse))
                settings.set(setting::kActiveWarehouse, 1);
            return {};
        }
        return r.message.isEmpty() ? r.log.join(u'\n') : r.message;
    } catch (const Error& e) {
        // Engine.cfg or Firm_Data.ini is there but cannot be read or written.
        return e.message();
    }
}

VersionCheck checkDatabaseVersion(Session& session) {
    VersionCheck c;
    const Settings& settings = session.settings();
    const int release = fileVersion().releaseNumber();
    // This installation's record is converted first, whatever the database
    // records: a damaged value is a conversion error that ends the check,
    // never a missing key.
    const QString iniText = settings.get(setting::kDatabaseVersion);
    int version = -1;
    try {
        version = databaseVersionFromText(iniText);
    } catch (const EConvertError& e) {
        throw EConvertError(QStringLiteral("DBVer/Ver: ") + e.message());
    }
    // The database's own record decides when it has one: another workstation
    // may have updated it already, or the working database may be older than
    // the one this installation last updated. Otherwise this installation's
    // record.
    if (session.workspace.isOpen()) {
        try {
            if (const int stored = storedDatabaseVersion(session.workspace.db()); stored >= 0)
                version = stored;
        } catch (const Error&) {
        }
    }
    if (version >= release)
        return c;
    c.outdated = true;
    c.request =
        texts::kUpdateRequest.arg(QString::number(release), settings.get(setting::kDatabaseVersionDate));
    if (NtsScript::updateMarker(session.programDir.updateTablesScript(), release) != QStringLiteral("0"))
        c.needsUpdateDialog = true;
    else
        c.noScriptMessage = texts::kNoUpdateFile;
    return c;
}

} // namespace torvika
