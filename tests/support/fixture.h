#pragma once
// A temporary program directory with the project's scripts in SQLs/ and,
// unless asked otherwise, a company database with the workspace open on it.
// The database is created from NewTables.nts once per test program and
// copied for each fixture, so every test starts from a fresh database
// without running the creation script again.
//
// The engine is SQLite, or PostgreSQL when the environment says
// TORVIKA_TEST_ENGINE=postgres (one database per test program, emptied and
// given its first rows again for each fixture): the server is then the one TORVIKA_TEST_PG
// names ("host=<dir or host> port=<n> user=<name>", as
// tools/pg_test_server.sh prints it). A PostgreSQL run without a server
// ends at start with the exit code 77 and says why, which CTest shows as a
// skipped test.

#include "shell/session.h"

#include <QTemporaryDir>
#include <memory>

namespace torvika::test {

// Whether this test program runs on PostgreSQL.
bool onPostgres();
// The test server as an alias (database and path still to be set).
Alias testServer();

// Makes every update of the table fail with the message, on either engine.
void refuseUpdates(const QSqlDatabase& db, const QString& table, const QString& message);

class Fixture {
public:
    explicit Fixture(bool withDatabase = true);
    ~Fixture();

    QString root() const { return dir_.path() + u'/'; }
    Session& session() { return *session_; }
    QSqlDatabase db() { return session_->workspace.db(); }
    // Firm_Data.ini as a person edits it, key by key: for setting up a test.
    ProfileFile firmData() { return ProfileFile(session_->settings().path()); }
    Settings& settings() { return session_->settings(); }
    // The alias of this fixture's company database.
    Alias alias() const;
    // A second connection to this fixture's database that can only read.
    QSqlDatabase openReadOnly(const QString& connection) const;
    // A second connection to this fixture's database, as another workstation has.
    QSqlDatabase openWorkstation(const QString& connection) const;
    // Writes a file below the program directory (UTF-8).
    QString writeFile(const QString& relative, const QByteArray& bytes);
    static QByteArray readFile(const QString& path);

private:
    QTemporaryDir dir_;
    std::unique_ptr<Session> session_;
};

} // namespace torvika::test
