#pragma once
// The database workspace: the alias Service (its driver and path, kept in
// the engine's configuration file of the program directory), the one
// connection GeneralDataBase bound to it, and what makes a directory a
// company database.

#include "shell/program_dir.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

namespace torvika {

inline const QString kServiceAlias = QStringLiteral("Service");
inline const QString kGeneralConnection = QStringLiteral("GeneralDataBase");
// The database file inside a company database directory.
inline const QString kCompanyDbFile = QStringLiteral("Torvika.db");

struct Alias {
    QString name;
    QString driver; // "SQLITE"
    QString path;   // the company database directory
};

// The engine's configuration: one section per alias, keys DRIVER and PATH.
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
    void addAlias(const Alias& alias);
    // Changes the path of an existing alias; nothing when it does not exist.
    void modifyAliasPath(const QString& name, const QString& path);

private:
    QString storedPath(const QString& path) const;
    QString file_;
    QString programDir_; // the directory of the file
};

QString companyDbFile(const QString& dir);
// A directory is a company database when its database file holds Operators.
bool isCompanyDatabase(const QString& dir);
// Opens (creating the file when asked) a SQLite connection to a company
// database directory, with the connection set-up applied. Throws
// EDatabaseError when it cannot be opened.
QSqlDatabase openCompanyConnection(const QString& connectionName, const QString& dir, bool create);
void closeConnection(const QString& connectionName);

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
    // Points the alias to dir (when it exists) and reconnects.
    void repoint(const QString& dir);
    void close();

    bool isOpen() const;
    QSqlDatabase db() const;
    // The directory the connection is on (the alias path once opened).
    QString directory() const { return directory_; }
    EngineConfig engineConfig() const { return EngineConfig(programDir_.engineConfig()); }
    const ProgramDir& programDir() const { return programDir_; }

signals:
    // The connection was opened on the directory (also when it is the same
    // directory again).
    void opened(const QString& directory);

private:
    ProgramDir programDir_;
    QString directory_;
};

} // namespace torvika
