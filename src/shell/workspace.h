#pragma once
// The database workspace: the alias Service (its engine and where the
// company database is, kept in the engine's configuration file of the
// program directory), the one connection GeneralDataBase bound to it, and
// what makes a database a company database (its table Operators).
//
// A company database is either a directory holding the SQLite file and the
// text files of the company (Opis.pdt, Opis_Kontrag.pdt), or a database on
// a PostgreSQL server with the company directory of the text files.

#include "shell/program_dir.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

namespace torvika {

inline const QString kServiceAlias = QStringLiteral("Service");
inline const QString kGeneralConnection = QStringLiteral("GeneralDataBase");
// The database file inside a company database directory.
inline const QString kCompanyDbFile = QStringLiteral("Torvika.db");

inline const QString kSqliteDriver = QStringLiteral("SQLITE");
inline const QString kPostgresDriver = QStringLiteral("POSTGRESQL");

struct Alias {
    QString name;
    QString driver; // kSqliteDriver or kPostgresDriver
    QString path;   // the company directory (the database file, the text files)
    // On a PostgreSQL server. The password is never kept here: libpq reads
    // the user's ~/.pgpass, or the login asks for it (Workspace).
    QString host = {}; // a host name, or the directory of the server's socket
    int port = 5432;
    QString database = {};
    QString user = {};
    QString sslMode = {}; // libpq's sslmode; empty: libpq's default

    bool isPostgres() const { return driver == kPostgresDriver; }
    // How the status line names the database: the directory, or
    // "<database> на <host>:<port>".
    QString description() const;
};

// A SQLite company database in a directory.
inline Alias sqliteAlias(const QString& dir) {
    return {kServiceAlias, kSqliteDriver, dir};
}

// The engine's configuration: one section per alias, keys DRIVER and PATH,
// and for a server HOST, PORT, DATABASE, USER and SSLMODE.
// The file lies in the program directory. A company database inside that
// directory is kept by a path relative to it ("Data"), so that a program
// directory copied or restored elsewhere works on its own copy of the
// database; one outside it by its full path. Aliases give and take full
// paths: a relative PATH is read against the program directory.
class EngineConfig {
public:
    explicit EngineConfig(QString file);
    bool hasAlias(const QString& name) const;
    Alias alias(const QString& name) const;
    // Writes the alias whole (every key, so that nothing of an earlier
    // engine is left).
    void addAlias(const Alias& alias);
    // Changes the path of an existing alias; nothing when it does not exist.
    void modifyAliasPath(const QString& name, const QString& path);

private:
    QString storedPath(const QString& path) const;
    QString file_;
    QString programDir_; // the directory of the file
};

QString companyDbFile(const QString& dir);
// A database is a company database when it holds the table Operators.
bool isCompanyDatabase(const Alias& alias, const QString& password = {});
// Why the database is not a company database the program can work on (no
// database there, no table Operators, an unreachable server, a refused
// password, a server too old), in Bulgarian; empty when it is one.
QString companyDatabaseProblem(const Alias& alias, const QString& password = {});
inline bool isCompanyDatabase(const QString& dir) {
    return isCompanyDatabase(sqliteAlias(dir));
}
// Opens a connection to the database of the alias, with the engine's
// connection set-up applied; on SQLite the file is created when asked.
// Throws EDatabaseError with a Bulgarian text when it cannot be opened (no
// such file, an unreachable server, a refused password, a server older
// than kOldestServerVersion).
QSqlDatabase openCompanyConnection(const QString& connectionName, const Alias& alias, bool create = false,
                                   const QString& password = {});
inline QSqlDatabase openCompanyConnection(const QString& connectionName, const QString& dir, bool create) {
    return openCompanyConnection(connectionName, sqliteAlias(dir), create);
}
void closeConnection(const QString& connectionName);

// Databases of a PostgreSQL server, through its own database "postgres".
// The name of the alias' database is a plain identifier, kept in lower case.
// Throw EDatabaseError.
bool serverDatabaseExists(const Alias& alias, const QString& password);
// A new, empty database with UTF-8 text compared and case-folded by code
// point, as SQLite does; refused when the server has one of that name.
void createServerDatabaseOnly(const Alias& alias, const QString& password);
void dropServerDatabase(const Alias& alias, const QString& password);
bool isServerDatabaseName(const QString& name);
// The oldest PostgreSQL server the program works with, as the server's
// server_version_num: 13 (DROP DATABASE … WITH (FORCE), pg_trgm as a
// trusted extension).
inline constexpr int kOldestServerVersion = 130000;
bool isSupportedServerVersion(int serverVersionNum);
// Whether the error of an opening says that the server wants a password.
bool needsPassword(const QString& openError);

class Workspace : public QObject {
    Q_OBJECT
public:
    explicit Workspace(const ProgramDir& programDir);
    ~Workspace() override;

    // Disconnects, creates the alias with the Data directory when it is
    // missing, and connects GeneralDataBase to the alias' directory.
    // Throws EDatabaseError when the database cannot be opened, and
    // EInOutError when the engine's configuration cannot be read or
    // written; the connection is then closed.
    void open();
    void close();

    bool isOpen() const;
    QSqlDatabase db() const;
    // The company directory of the working database (the alias path once
    // opened): the SQLite file and the company's text files.
    QString directory() const { return directory_; }
    // The working database as the status line names it.
    QString description() const { return description_; }
    // The password of the server, given at the login, kept for the run in
    // memory only.
    void setServerPassword(const QString& password) { password_ = password; }
    const QString& serverPassword() const { return password_; }
    EngineConfig engineConfig() const { return EngineConfig(programDir_.engineConfig()); }
    const ProgramDir& programDir() const { return programDir_; }

signals:
    // The connection was opened on the directory (also when it is the same
    // directory again).
    void opened(const QString& directory);

private:
    ProgramDir programDir_;
    QString directory_;
    QString description_;
    QString password_;
};

} // namespace torvika
