#pragma once
// A temporary program directory with the project's scripts in SQLs/ and,
// unless asked otherwise, a company database in Data/ with the workspace
// open on it. The database is created from NewTables.nts once per test
// program and copied for each fixture, so every test starts from a fresh
// database without running the creation script again.

#include "shell/session.h"

#include <QTemporaryDir>
#include <memory>

namespace torvika::test {

class Fixture {
public:
    explicit Fixture(bool withDatabase = true);
    ~Fixture();

    QString root() const { return dir_.path() + u'/'; }
    Session& session() { return *session_; }
    QSqlDatabase db() { return session_->workspace.db(); }
    FirmData firmData() { return session_->firmData(); }
    // Writes a file below the program directory (UTF-8).
    QString writeFile(const QString& relative, const QByteArray& bytes);
    static QByteArray readFile(const QString& path);

private:
    QTemporaryDir dir_;
    std::unique_ptr<Session> session_;
};

} // namespace torvika::test
