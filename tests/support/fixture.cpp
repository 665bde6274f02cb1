#include "support/fixture.h"

#include "common/sql.h"
#include "shell/company_databases.h"
#include "shell/operators.h"
#include "shell/version.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace torvika::test {

namespace {

const QString kServerConnection = QStringLiteral("test-server");

// A PostgreSQL run without a server is a skipped test, said before anything runs.
struct EngineCheck {
    EngineCheck() {
        if (onPostgres() && qEnvironmentVariableIsEmpty("TORVIKA_TEST_PG")) {
            std::fputs("SKIPPED: the PostgreSQL variant needs a server: TORVIKA_TEST_PG is not set "
                       "(tools/pg_test_server.sh start prints it).\n",
                       stderr);
            std::exit(77);
        }
    }
} engineCheck;

// A program directory with the scripts and nothing else.
void prepareProgramDir(const QString& root) {
    ProgramDir pd(root);
    pd.prepare(QString());
    QDir scripts(QStringLiteral(TORVIKA_SOURCE_DIR "/scripts"));
    for (const QString& f : scripts.entryList(QDir::Files))
        QFile::copy(scripts.filePath(f), pd.sqlsDir() + u'/' + f);
}

// A connection to the test server's own database, for creating and
// dropping databases.
class ServerConnection {
public:
    ServerConnection() {
        Alias a = testServer();
        a.database = QStringLiteral("postgres");
        db_ = openCompanyConnection(kServerConnection, a);
    }
    ~ServerConnection() {
        db_ = QSqlDatabase();
        closeConnection(kServerConnection);
    }
    void run(const QString& sql) { execScriptStatement(db_, sql); }
    QVariant value(const QString& sql, const QVariantList& values) { return scalarSql(db_, sql, values); }

private:
    QSqlDatabase db_;
};

// The template database of the test run: named by the creation script it
// was made from, so that every test program of a run shares it and a
// changed script makes a new one. Test programs running side by side take
// turns through an advisory lock: one makes the template, the others wait
// and then copy it.
constexpr int kTemplateLock = 7247;

QString templateDatabase() {
    static const QString name = [] {
        QFile f(QStringLiteral(TORVIKA_SOURCE_DIR "/scripts/NewTables.nts"));
        f.open(QIODevice::ReadOnly);
        return QStringLiteral("torvika_tmpl_") +
               QString::fromLatin1(
                   QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex().left(12));
    }();
    return name;
}

// The first operator's password hashed with one round: every login of a
// test checks it, and the program's slow hash would make each one cost a
// tenth of a second.
void quickFirstPassword(Session& session) {
    session.workspace.open();
    execSql(session.db(), QStringLiteral("UPDATE Operators SET Par = ? WHERE Ime = ?"),
            {hashPassword(QStringLiteral("1"), 1), QStringLiteral("Администратор")});
    session.workspace.close();
}

// The program directory whose company database every fixture copies:
// created on first use, once per test program (and on PostgreSQL its
// database once per run).
const QString& templateDir() {
    static QTemporaryDir dir;
    static const bool made = [] {
        if (!dir.isValid())
            throw std::runtime_error("no temporary directory");
        prepareProgramDir(dir.path());
        Session session{ProgramDir(dir.path())};
        // The tests' company keeps its books in lev, as one made before the
        // euro did (a company made today is in euro).
        session.clock = [] { return QDateTime(QDate(2025, 6, 2), QTime(9, 0)); };
        // A test program listens for workstation messages only where a
        // test asks for it (on a port of its own).
        session.settings().set(setting::kMessagesListen, false);
        if (!onPostgres()) {
            const QString problem = ensureDefaultDatabase(session);
            if (!problem.isEmpty())
                throw std::runtime_error(problem.toStdString());
            quickFirstPassword(session);
            return true;
        }
        Alias a = testServer();
        a.database = templateDatabase();
        a.path = QDir::cleanPath(session.programDir.dataDir());
        ServerConnection server;
        server.run(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(kTemplateLock));
        const bool exists =
            server.value(QStringLiteral("SELECT COUNT(*) FROM pg_database WHERE datname = ?"), {a.database})
                .toInt() > 0;
        if (!exists) {
            const DbOperationResult r = createServerDatabase(session, a, QString());
            if (!r.ok)
                throw std::runtime_error((r.message + r.log.join(u'\n')).toStdString());
            quickFirstPassword(session);
        } else {
            // The database is there: this program directory gets what a
            // creation writes into it.
            session.workspace.engineConfig().addAlias(a);
            writeInitialGroupTree(a.path);
            session.settings().set(setting::kDatabaseVersion, QString::number(fileVersion().releaseNumber()));
        }
        server.run(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kTemplateLock));
        session.settings().set(setting::kActiveWarehouse, 1);
        return true;
    }();
    Q_UNUSED(made);
    static const QString path = dir.path();
    return path;
}

void copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(src);
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(src, target))
            throw std::runtime_error("cannot copy the template database");
    }
}

// The PostgreSQL database of this test program, reused by one fixture after
// the other: a fixture leaves it, the next one empties it and puts back the
// template's first rows, which takes milliseconds where a new copy of the
// template takes half a second. A fixture whose test changed the tables
// themselves (dropped one, added a trigger) gets a new copy instead.
class ReusedDatabase {
public:
    ~ReusedDatabase() = default;

    // The database for the next fixture, as it was made from the template.
    QString take() {
        const QString connection = QStringLiteral("test-reset");
        if (!name_.isEmpty()) {
            bool reset = false;
            {
                Alias a = testServer();
                a.database = name_;
                const QSqlDatabase db = openCompanyConnection(connection, a);
                if (fingerprint(db) == fingerprint_) {
                    resetRows(db);
                    reset = true;
                }
            }
            closeConnection(connection);
            if (reset)
                return name_;
            drop();
        }
        static int made = 0;
        name_ = QStringLiteral("torvika_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        ServerConnection().run(
            QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(name_, templateDatabase()));
        if (first_) {
            first_ = false;
            qAddPostRoutine([] { reused().drop(); });
        }
        {
            Alias a = testServer();
            a.database = name_;
            const QSqlDatabase db = openCompanyConnection(connection, a);
            fingerprint_ = fingerprint(db);
            if (baseline_.isEmpty())
                readBaseline(db);
        }
        closeConnection(connection);
        return name_;
    }

    void drop() {
        if (name_.isEmpty())
            return;
        try {
            ServerConnection().run(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "cannot drop %s: %s\n", qPrintable(name_), e.what());
        }
        name_.clear();
    }

    static ReusedDatabase& reused() {
        static ReusedDatabase db;
        return db;
    }

private:
    // Tables, columns, triggers and functions of the database.
    static QString fingerprint(const QSqlDatabase& db) {
        return scalarSql(db, QStringLiteral(
                                 "SELECT md5(string_agg(x, ',' ORDER BY x)) FROM ("
                                 " SELECT c.relname::text || ':' || c.relkind::text AS x FROM pg_class c"
                                 "  JOIN pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = 'public'"
                                 " UNION ALL SELECT c.relname::text || '.' || a.attname::text || ':' || "
                                 "a.atttypid::text || ':' || a.atttypmod::text"
                                 "  FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid"
                                 "  JOIN pg_namespace n ON n.oid = c.relnamespace"
                                 "  WHERE n.nspname = 'public' AND a.attnum > 0 AND NOT a.attisdropped"
                                 " UNION ALL SELECT t.tgname::text FROM pg_trigger t JOIN pg_class c ON "
                                 "c.oid = t.tgrelid"
                                 "  JOIN pg_namespace n ON n.oid = c.relnamespace"
                                 "  WHERE n.nspname = 'public' AND NOT t.tgisinternal"
                                 " UNION ALL SELECT k.conname::text || ':' || pg_get_constraintdef(k.oid)"
                                 "  FROM pg_constraint k JOIN pg_namespace n ON n.oid = k.connamespace"
                                 "  WHERE n.nspname = 'public'"
                                 " UNION ALL SELECT p.proname::text FROM pg_proc p"
                                 "  JOIN pg_namespace n ON n.oid = p.pronamespace WHERE n.nspname = 'public'"
                                 ") s"))
            .toString();
    }

    // The rows the creation script writes, and the key sequences.
    void readBaseline(const QSqlDatabase& db) {
        QSqlQuery tables =
            execSql(db, QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = 'public' "
                                       "ORDER BY tablename"));
        while (tables.next())
            tables_ << tables.value(0).toString();
        for (const QString& t : tables_) {
            SqlRows rows = readRows(db, QStringLiteral("SELECT * FROM %1").arg(t));
            if (!rows.rows.isEmpty())
                baseline_.append({t, rows});
        }
        QSqlQuery sequences =
            execSql(db, QStringLiteral("SELECT sequencename FROM pg_sequences WHERE schemaname = 'public'"));
        while (sequences.next())
            sequences_ << sequences.value(0).toString();
    }

    void resetRows(const QSqlDatabase& db) {
        QStringList statements;
        for (const QString& t : tables_)
            statements << QStringLiteral("DELETE FROM %1").arg(t);
        for (const QString& seq : sequences_)
            statements << QStringLiteral("SELECT setval('%1', 1, false)").arg(seq);
        execScriptStatement(db, statements.join(QStringLiteral("; ")));
        for (const auto& [table, rows] : baseline_) {
            const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(table, rows.fields.join(u','),
                                         QStringList(rows.fields.size(), QStringLiteral("?")).join(u','));
            for (const QVariantList& row : rows.rows)
                execSql(db, sql, row);
        }
    }

    QString name_;
    QString fingerprint_;
    bool first_ = true;
    QStringList tables_;
    QStringList sequences_;
    QList<std::pair<QString, SqlRows>> baseline_;
};

} // namespace

bool onPostgres() {
    return qEnvironmentVariable("TORVIKA_TEST_ENGINE") == QLatin1String("postgres");
}

Alias testServer() {
    Alias a{kServiceAlias, kPostgresDriver, QString()};
    for (const QString& part : qEnvironmentVariable("TORVIKA_TEST_PG").split(u' ', Qt::SkipEmptyParts)) {
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

Fixture::Fixture(bool withDatabase) {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary directory");
    if (!withDatabase) {
        prepareProgramDir(dir_.path());
        session_ = std::make_unique<Session>(ProgramDir(dir_.path()));
        return;
    }
    copyTree(templateDir(), dir_.path());
    ProgramDir pd(dir_.path());
    pd.prepare(QString());
    session_ = std::make_unique<Session>(pd);
    // The copy works on its own database.
    const QString data = QDir::cleanPath(pd.dataDir());
    if (onPostgres()) {
        Alias a = testServer();
        a.database = ReusedDatabase::reused().take();
        a.path = data;
        session_->workspace.engineConfig().addAlias(a);
    } else {
        session_->workspace.engineConfig().modifyAliasPath(kServiceAlias, data);
    }
    session_->settings().set(setting::kDatabasePath, data);
    session_->workspace.open();
}

Fixture::~Fixture() {
    session_.reset();
}

void refuseUpdates(const QSqlDatabase& db, const QString& table, const QString& message) {
    if (sqlEngine(db) == SqlEngine::SQLite) {
        execScriptStatement(db, QStringLiteral("CREATE TRIGGER %1_Locked BEFORE UPDATE ON %1 "
                                               "BEGIN SELECT RAISE(ABORT, '%2'); END")
                                    .arg(table, message));
        return;
    }
    execScriptStatement(db, QStringLiteral("CREATE FUNCTION %1_refuse() RETURNS trigger LANGUAGE plpgsql AS "
                                           "$$ BEGIN RAISE EXCEPTION '%2'; END $$")
                                .arg(table, message));
    execScriptStatement(db, QStringLiteral("CREATE TRIGGER %1_Locked BEFORE UPDATE ON %1 FOR EACH ROW "
                                           "EXECUTE FUNCTION %1_refuse()")
                                .arg(table));
}

void refuseInserts(const QSqlDatabase& db, const QString& table, const QString& condition,
                   const QString& message) {
    if (sqlEngine(db) == SqlEngine::SQLite) {
        execScriptStatement(db, QStringLiteral("CREATE TRIGGER %1_Refused BEFORE INSERT ON %1 WHEN %2 "
                                               "BEGIN SELECT RAISE(ABORT, '%3'); END")
                                    .arg(table, condition, message));
        return;
    }
    execScriptStatement(
        db, QStringLiteral("CREATE FUNCTION %1_refuse_insert() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN IF %2 THEN RAISE EXCEPTION '%3'; END IF; RETURN NEW; END $$")
                .arg(table, condition, message));
    execScriptStatement(db, QStringLiteral("CREATE TRIGGER %1_Refused BEFORE INSERT ON %1 FOR EACH ROW "
                                           "EXECUTE FUNCTION %1_refuse_insert()")
                                .arg(table));
}

QSqlDatabase Fixture::openReadOnly(const QString& connection) const {
    const Alias a = alias();
    if (a.isPostgres()) {
        QSqlDatabase db = openCompanyConnection(connection, a);
        execScriptStatement(db, QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"));
        return db;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(companyDbFile(a.path));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open())
        throw std::runtime_error("cannot open the database read-only");
    return db;
}

QSqlDatabase Fixture::openWorkstation(const QString& connection) const {
    const Alias a = alias();
    if (a.isPostgres())
        return openCompanyConnection(connection, a);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(companyDbFile(a.path));
    if (!db.open())
        throw std::runtime_error("cannot open the database");
    setUpConnection(db);
    return db;
}

Alias Fixture::alias() const {
    return session_->workspace.engineConfig().alias(kServiceAlias);
}

QString Fixture::writeFile(const QString& relative, const QByteArray& bytes) {
    QString path = root() + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
    return path;
}

QByteArray Fixture::readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace torvika::test
