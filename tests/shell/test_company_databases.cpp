// Creating, updating and switching company databases.

#include "common/base_currency.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/profile_file.h"
#include "common/sql.h"
#include "shell/company_databases.h"
#include "shell/nts_script.h"
#include "shell/operators.h"
#include "shell/program_dir.h"
#include "shell/texts.h"
#include "shell/version.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika;

namespace {

// A script text: COUNT/MAX and one section per statement; a null statement
// is a section without the key SQL.
QByteArray script(const QStringList& statements, int max = -1) {
    QString t = QStringLiteral("[COUNT]\r\nMAX=%1\r\n").arg(max < 0 ? statements.size() : max);
    for (int i = 0; i < statements.size(); ++i) {
        t += QStringLiteral("[%1]\r\n").arg(i + 1);
        if (!statements[i].isNull())
            t += QStringLiteral("SQL=") + statements[i] + QStringLiteral("\r\n");
    }
    return t.toUtf8();
}

const QString kOperators = QStringLiteral("CREATE TABLE Operators (ID INTEGER PRIMARY KEY, Ime VARCHAR(30))");

// The log lines of operations 1 .. n, each after an empty line.
QStringList operationsLog(int n) {
    QStringList l;
    for (int i = 1; i <= n; ++i)
        l << QString() << texts::kOperationOk.arg(i);
    return l;
}

QStringList logOf(int operations, const QString& last) {
    return operationsLog(operations) << QString() << last;
}

// The log of a creation or update that was rolled back: whatever ran, then
// the error and that nothing was changed.
QStringList cancelledLog(int operations, const QString& cancelled) {
    return logOf(operations, texts::kOperationError) << QString() << cancelled;
}

// Every file and directory below dir with a hash of its content: equal
// snapshots mean nothing was written there.
QMap<QString, QByteArray> snapshot(const QString& dir) {
    QMap<QString, QByteArray> m;
    QFileInfo top(dir);
    if (!top.exists())
        return m;
    if (!top.isDir()) {
        m.insert(QString(), QCryptographicHash::hash(test::Fixture::readFile(dir), QCryptographicHash::Sha1));
        return m;
    }
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        // The write-ahead log of an open database goes when it is closed.
        if (p.endsWith(QLatin1String("-wal")) || p.endsWith(QLatin1String("-shm")))
            continue;
        m.insert(QDir(dir).relativeFilePath(p),
                 it.fileInfo().isDir()
                     ? QByteArray("<dir>")
                     : QCryptographicHash::hash(test::Fixture::readFile(p), QCryptographicHash::Sha1));
    }
    return m;
}

QString aliasPath(test::Fixture& fx) {
    return EngineConfig(fx.session().programDir.engineConfig()).alias(kServiceAlias).path;
}

QString dbPath(test::Fixture& fx) {
    return fx.firmData().readString("DBVer", QStringLiteral("DBPath"));
}

QStringList tables(const QSqlDatabase& db) {
    QStringList t = db.tables();
    t.sort(Qt::CaseInsensitive);
    return t;
}

// A Firm_Data.ini that cannot be read or written: a directory stands in its place.
void breakFirmData(test::Fixture& fx) {
    const QString ini = fx.session().programDir.firmDataIni();
    QFile::remove(ini);
    QVERIFY(QDir().mkpath(ini));
}

// DBVer/Ver as stored; a mark when Firm_Data.ini cannot be read.
QString iniVersion(test::Fixture& fx) {
    try {
        return fx.settings().get(setting::kDatabaseVersion);
    } catch (const EInOutError&) {
        return QStringLiteral("<unreadable>");
    }
}

QString dbPathOrMark(test::Fixture& fx) {
    try {
        return fx.firmData().readString("DBVer", QStringLiteral("DBPath"));
    } catch (const EInOutError&) {
        return QStringLiteral("<unreadable>");
    }
}

const int kRelease = fileVersion().releaseNumber();

} // namespace

class CompanyDatabasesTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartCreatesDataDatabase() {
        if (test::onPostgres())
            QSKIP("a company database in a directory is the SQLite case");
        test::Fixture fx;
        QVERIFY(isCompanyDatabase(fx.root() + "Data"));
        QCOMPARE(fx.session().workspace.directory(), QDir::cleanPath(fx.root() + "Data"));
        QCOMPARE(storedDatabaseVersion(fx.db()), fileVersion().releaseNumber());
        QCOMPARE(fx.settings().get(setting::kDatabaseVersion),
                 QString::number(fileVersion().releaseNumber()));
        QCOMPARE(test::Fixture::readFile(fx.root() + "Data/Opis.pdt"),
                 QStringLiteral("Всички артикули\r\n").toUtf8());
        // The alias is created once and kept.
        EngineConfig cfg(fx.session().programDir.engineConfig());
        QVERIFY(cfg.hasAlias("Service"));
        QCOMPARE(cfg.alias("Service").path, QDir::cleanPath(fx.root() + "Data"));
    }

    // An installed program (its files in ../share/torvika) keeps each user's
    // directory under $XDG_DATA_HOME even when the executable's directory is
    // writable (run as root); a build tree uses its own; --home wins.
    void programDirectoryChosen_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected"); // "exe", "xdg" or a path
        QTest::newRow("build tree") << false << QStringList{} << "exe";
        QTest::newRow("installed") << true << QStringList{} << "xdg";
        QTest::newRow("home") << true << QStringList{"torvika", "--home", "/srv/shop"} << "/srv/shop";
        QTest::newRow("home=") << false << QStringList{"torvika", "--home=/srv/shop"} << "/srv/shop";
    }
    void programDirectoryChosen() {
        QFETCH(bool, installed);
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        QVERIFY(QDir().mkpath(prefix.filePath("bin")));
        if (installed)
            QVERIFY(QDir().mkpath(prefix.filePath("share/torvika/SQLs")));
        QTemporaryDir xdg;
        qputenv("XDG_DATA_HOME", xdg.path().toUtf8());
        const auto restore = qScopeGuard([] { qunsetenv("XDG_DATA_HOME"); });
        const QString exe = prefix.filePath("bin");
        const QString chosen = ProgramDir::choose(arguments, exe);
        if (expected == "exe")
            QCOMPARE(chosen, exe);
        else if (expected == "xdg")
            QCOMPARE(chosen, xdg.path() + "/torvika");
        else
            QCOMPARE(chosen, expected);
    }

    // Engine.cfg keeps a company database inside the program directory by
    // a path relative to it, and one outside by its full path.
    void aliasPathKeptRelativeInside_data() {
        QTest::addColumn<QString>("dir");    // below the program directory, or "../" outside it
        QTest::addColumn<QString>("stored"); // PATH as written; "<abs>" for the full path
        QTest::newRow("Data") << "Data"
                              << "Data";
        QTest::newRow("a company below Data") << "Data/Firma 2"
                                              << "Data/Firma 2";
        QTest::newRow("the program directory itself") << ""
                                                      << ".";
        QTest::newRow("a name starting with two dots") << "..Firma"
                                                       << "..Firma";
        QTest::newRow("beside the program directory") << "../Shared/Firma"
                                                      << "<abs>";
    }
    void aliasPathKeptRelativeInside() {
        QFETCH(QString, dir);
        QFETCH(QString, stored);
        QTemporaryDir top;
        const QString root = top.filePath("Program");
        QVERIFY(QDir().mkpath(root));
        const QString cfgFile = root + "/Engine.cfg";
        const QString absolute = QDir::cleanPath(root + u'/' + dir);
        EngineConfig cfg(cfgFile);

        cfg.addAlias({kServiceAlias, "SQLITE", absolute});
        QCOMPARE(ProfileFile(cfgFile).readString(kServiceAlias, "PATH"),
                 stored == "<abs>" ? absolute : stored);
        QCOMPARE(cfg.alias(kServiceAlias).path, absolute);

        cfg.modifyAliasPath(kServiceAlias, QDir::cleanPath(root + "/Other"));
        QCOMPARE(ProfileFile(cfgFile).readString(kServiceAlias, "PATH"), QStringLiteral("Other"));
        cfg.modifyAliasPath(kServiceAlias, absolute);
        QCOMPARE(ProfileFile(cfgFile).readString(kServiceAlias, "PATH"),
                 stored == "<abs>" ? absolute : stored);
        QCOMPARE(cfg.alias(kServiceAlias).path, absolute);
    }

    // A program directory copied or restored elsewhere works on its own
    // copy of the company database, not on the original's.
    void copiedProgramDirectoryOpensItsOwnDatabase() {
        if (test::onPostgres())
            QSKIP("a company database in a directory is the SQLite case");
        QTemporaryDir copyTop;
        const QString copy = copyTop.filePath("Copy");
        test::Fixture fx;
        execSql(fx.db(), "INSERT INTO Grupi_Kontrag (ID, Opisanie) VALUES (?, ?)", {7, "Преди копието"});
        fx.session().workspace.close();
        QDirIterator it(fx.root(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = copy + u'/' + QDir(fx.root()).relativeFilePath(from);
            if (it.fileInfo().isDir())
                QVERIFY(QDir().mkpath(to));
            else
                QVERIFY(QDir().mkpath(QFileInfo(to).path()) && QFile::copy(from, to));
        }
        // The original goes on after the copy was taken.
        fx.session().workspace.open();
        execSql(fx.db(), "UPDATE Grupi_Kontrag SET Opisanie = ? WHERE ID = ?", {"След копието", 7});
        fx.session().workspace.close();

        Session copied{ProgramDir(copy)};
        copied.workspace.open();
        QCOMPARE(copied.workspace.directory(), QDir::cleanPath(copy + "/Data"));
        QCOMPARE(scalarSql(copied.workspace.db(), "SELECT Opisanie FROM Grupi_Kontrag WHERE ID = ?", {7})
                     .toString(),
                 QStringLiteral("Преди копието"));
        QVERIFY(ensureDefaultDatabase(copied).isEmpty());
        copied.workspace.close();
    }

    void firstStartLeavesForeignFileAlone() {
        test::Fixture fx(false);
        const QString file = fx.writeFile("Data/Torvika.db", "not a database");
        QVERIFY(!ensureDefaultDatabase(fx.session()).isEmpty());
        QCOMPARE(test::Fixture::readFile(file), QByteArray("not a database"));
    }

    void create_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("subdir"); // where the tables go, below the chosen directory
        QTest::newRow("named") << "Firma 2"
                               << "Firma 2";
        QTest::newRow("name with blanks around") << "  Firma  "
                                                 << "Firma";
        QTest::newRow("empty name: the chosen directory itself") << ""
                                                                 << "";
    }
    void create() {
        QFETCH(QString, name);
        QFETCH(QString, subdir);
        test::Fixture fx;
        // The third section has no statement: it runs the second again.
        fx.writeFile("SQLs/NewTables.nts",
                     script({kOperators, "INSERT INTO Operators (Ime) VALUES ('Админ')", QString()}));
        const QString base = QDir::cleanPath(fx.root() + "Companies");
        QVERIFY(QDir().mkpath(base));
        const QString target = QDir::cleanPath(base + u'/' + subdir);
        const auto oldDb = snapshot(fx.root() + "Data");

        DbOperationResult r = createCompanyDatabase(fx.session(), base, name);

        QVERIFY(r.ok);
        QCOMPARE(r.log, logOf(3, texts::kDatabaseCreated));
        QVERIFY(r.message.isEmpty());
        QCOMPARE(r.directory, target);
        QVERIFY(isCompanyDatabase(target));
        QCOMPARE(aliasPath(fx), target);
        QVERIFY(fx.session().workspace.isOpen());
        QCOMPARE(fx.session().workspace.directory(), target);
        QCOMPARE(scalarSql(fx.db(), "SELECT COUNT(*) FROM Operators").toInt(), 2);
        QCOMPARE(storedDatabaseVersion(fx.db()), kRelease);
        QCOMPARE(fx.settings().get(setting::kDatabaseVersion), QString::number(kRelease));
        QCOMPARE(dbPath(fx), target);
        QCOMPARE(test::Fixture::readFile(target + "/Opis.pdt"),
                 QStringLiteral("Всички артикули\r\n").toUtf8());
        if (subdir.isEmpty())
            QVERIFY(QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
        QCOMPARE(snapshot(fx.root() + "Data"), oldDb);
    }

    // A company database made by the program with the shipped scripts holds
    // its first operator's password hashed from the start, never as the
    // script's "1", and "1" logs in. (The fixture's own database has a
    // quicker hash written over it, so it cannot show this.) Made in 2026,
    // it keeps its books in euro: the lev at 1/1.95583.
    void newDatabaseHashesTheFirstPassword() {
        test::Fixture fx;
        fx.session().clock = [] { return QDateTime(QDate(2026, 12, 11), QTime(9, 0)); };
        const QString firstOperator = QStringLiteral("Администратор");
        DbOperationResult r;
        Alias server;
        const auto dropServer = qScopeGuard([&] {
            if (server.database.isEmpty())
                return;
            fx.session().workspace.close();
            dropServerDatabase(server, QString());
        });
        if (test::onPostgres()) {
            server = fx.alias();
            server.database = QStringLiteral("torvika_new_%1").arg(QCoreApplication::applicationPid());
            server.path = QDir::cleanPath(fx.root() + "Server");
            dropServerDatabase(server, QString());
            QVERIFY(QDir().mkpath(server.path));
            r = createServerDatabase(fx.session(), server, QString());
        } else {
            const QString base = QDir::cleanPath(fx.root() + "Companies");
            QVERIFY(QDir().mkpath(base));
            r = createCompanyDatabase(fx.session(), base, QStringLiteral("Firma"));
            QCOMPARE(fx.session().workspace.directory(), base + QStringLiteral("/Firma"));
        }
        QVERIFY2(r.ok, qPrintable(r.message + u'\n' + r.log.join(u'\n')));

        const QString stored =
            scalarSql(fx.db(), QStringLiteral("SELECT Par FROM Operators WHERE Ime = ?"), {firstOperator})
                .toString();
        QVERIFY2(stored != QStringLiteral("1"), "the first password is stored as typed");
        QVERIFY2(isPasswordHash(stored), qPrintable(stored));
        QVERIFY(checkCredentials(fx.db(), firstOperator, QStringLiteral("1")).has_value());
        QVERIFY(!checkCredentials(fx.db(), firstOperator, QStringLiteral("2")).has_value());

        QCOMPARE(loadBaseCurrency(fx.db()).kind, CurrencyKind::Euro);
        const SqlRows rates = readRows(fx.db(), "SELECT Opisanie, Kurs, Osn FROM Valuti ORDER BY Opisanie");
        QStringList shown;
        for (const QVariantList& row : rates.rows)
            shown << row[0].toString() + u' ' + fromNumberColumn(row[1]).toString() + u' ' +
                         row[2].toString();
        shown.sort();
        QCOMPARE(shown, (QStringList{"BGL 0.51129188 False", "EUR 1 True", "USD 0.8691962 False",
                                     "Лева 0.51129188 False"}));
    }

    void createFails_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<bool>("explained"); // a message besides the log

        auto e = [](int operations) { return cancelledLog(operations, texts::kCreationCancelled); };
        QTest::newRow("failing statement") << "failing statement"
                                           << "Firma" << e(1) << false;
        QTest::newRow("MAX beyond the sections repeats the last") << "max beyond"
                                                                  << "Firma" << e(2) << false;
        QTest::newRow("missing script") << "missing script"
                                        << "Firma" << e(0) << true;
        QTest::newRow("script without Operators") << "no operators"
                                                  << "Firma" << e(1) << true;
        QTest::newRow("already a company database") << "company database"
                                                    << "" << e(0) << true;
        QTest::newRow("text file named Torvika.db") << "text db"
                                                    << "Firma" << e(0) << true;
        QTest::newRow("name taken by a file") << "name is a file"
                                              << "Firma" << e(0) << true;
        QTest::newRow("chosen directory under a file") << "base under file"
                                                       << "Firma" << e(0) << true;
        QTest::newRow("name leading elsewhere") << ""
                                                << "../Escape" << e(0) << true;
        QTest::newRow("Opis.pdt cannot be read") << "tree unreadable"
                                                 << "Firma" << e(0) << true;
        QTest::newRow("Firm_Data.ini cannot be read") << "ini unreadable"
                                                      << "Firma" << e(0) << true;
    }
    void createFails() {
        QFETCH(QString, setup);
        QFETCH(QString, name);
        QFETCH(QStringList, log);
        QFETCH(bool, explained);
        test::Fixture fx;
        const QString data = QDir::cleanPath(fx.root() + "Data");
        QString base = QDir::cleanPath(fx.root() + "Companies");
        QVERIFY(QDir().mkpath(base));
        fx.writeFile("SQLs/NewTables.nts", script({kOperators}));
        if (setup == "failing statement")
            fx.writeFile("SQLs/NewTables.nts",
                         script({kOperators, "CREATE TABLE Broken (", "CREATE TABLE Later (A)"}));
        else if (setup == "max beyond")
            fx.writeFile("SQLs/NewTables.nts", script({kOperators, "CREATE TABLE Extra (A INTEGER)"}, 3));
        else if (setup == "missing script")
            QFile::remove(fx.session().programDir.newTablesScript());
        else if (setup == "no operators")
            fx.writeFile("SQLs/NewTables.nts", script({"CREATE TABLE Extra (A INTEGER)"}));
        else if (setup == "company database" && test::onPostgres())
            QSKIP("the working database is on the server, not in a directory");
        else if (setup == "company database")
            base = data;
        else if (setup == "text db")
            fx.writeFile("Companies/Firma/Torvika.db", "just text");
        else if (setup == "name is a file")
            fx.writeFile("Companies/Firma", "a file");
        else if (setup == "base under file")
            base = fx.writeFile("plain.txt", "a file") + "/sub";
        else if (setup == "tree unreadable")
            QVERIFY(QDir().mkpath(base + "/Firma/Opis.pdt"));
        else if (setup == "ini unreadable")
            breakFirmData(fx);
        const QString aliasBefore = aliasPath(fx);
        const QString verBefore = iniVersion(fx);
        const QString pathBefore = dbPathOrMark(fx);
        const auto oldDb = snapshot(data);
        const auto companies = snapshot(fx.root() + "Companies");
        const auto rootEntries = QDir(fx.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        DbOperationResult r = createCompanyDatabase(fx.session(), base, name);

        QVERIFY(!r.ok);
        QCOMPARE(r.log, log);
        QCOMPARE(!r.message.isEmpty(), explained);
        // Nothing half-written, the working database and its records as they were.
        QCOMPARE(snapshot(fx.root() + "Companies"), companies);
        QCOMPARE(QDir(fx.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), rootEntries);
        QCOMPARE(snapshot(data), oldDb);
        QCOMPARE(aliasPath(fx), aliasBefore);
        QCOMPARE(aliasBefore, data);
        QCOMPARE(iniVersion(fx), verBefore);
        QCOMPARE(dbPathOrMark(fx), pathBefore);
        QVERIFY(fx.session().workspace.isOpen());
        QCOMPARE(fx.session().workspace.directory(), data);
    }

    void createAgainAfterFixingScript() {
        test::Fixture fx;
        fx.writeFile("SQLs/NewTables.nts", script({kOperators, "CREATE TABLE Broken ("}));
        const QString base = fx.root() + "Companies";
        QVERIFY(QDir().mkpath(base));
        QVERIFY(!createCompanyDatabase(fx.session(), base, "Firma").ok);
        fx.writeFile("SQLs/NewTables.nts", script({kOperators, "CREATE TABLE Fixed (A INTEGER)"}));
        DbOperationResult r = createCompanyDatabase(fx.session(), base, "Firma");
        QVERIFY2(r.ok, qPrintable(r.message));
        QVERIFY(tables(fx.db()).contains("Fixed"));
    }

    void update_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("addedTable");
        QTest::newRow("two statements")
            << script({"CREATE TABLE Added (A INTEGER)", "INSERT INTO Added (A) VALUES (1)"})
            << operationsLog(2) << "Added";
        QTest::newRow("empty update (MAX 0)") << script({}) << QStringList() << "";
    }
    void update() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, log);
        QFETCH(QString, addedTable);
        test::Fixture fx;
        storeDatabaseVersion(fx.db(), kRelease - 1);
        fx.settings().set(setting::kDatabaseVersion, QString::number(kRelease - 1));
        fx.writeFile("Upd/UpdateTables.nts", text);
        fx.writeFile("SQLs/UpdateTables.nts", "[DBVer-" + QByteArray::number(kRelease) + "]\r\nVer=1\r\n");
        QVERIFY(checkDatabaseVersion(fx.session()).outdated);

        DbOperationResult r = updateCompanyDatabase(fx.session(), fx.root() + "Upd");

        QVERIFY(r.ok);
        QCOMPARE(r.message, texts::kDatabaseUpdated);
        QCOMPARE(r.log, log);
        QCOMPARE(storedDatabaseVersion(fx.db()), kRelease);
        QCOMPARE(fx.settings().get(setting::kDatabaseVersion), QString::number(kRelease));
        if (!addedTable.isEmpty())
            QCOMPARE(scalarSql(fx.db(), "SELECT COUNT(*) FROM " + addedTable).toInt(), 1);
        QVERIFY(!checkDatabaseVersion(fx.session()).outdated);
    }

    void updateFailsAndCanBeRerun() {
        test::Fixture fx;
        storeDatabaseVersion(fx.db(), kRelease - 1);
        fx.settings().set(setting::kDatabaseVersion, QString::number(kRelease - 1));
        const QString failing = "INSERT INTO Missing (A) VALUES (1)";
        fx.writeFile("Upd/UpdateTables.nts",
                     script({"CREATE TABLE Added (A INTEGER)", failing, "INSERT INTO Added (A) VALUES (2)"}));
        const QStringList before = tables(fx.db());

        DbOperationResult r = updateCompanyDatabase(fx.session(), fx.root() + "Upd");

        QVERIFY(!r.ok);
        QCOMPARE(r.message,
                 QStringLiteral("Прекратена актуализация при изпълнението на \rОПЕРАЦИЯ: 2\r:") + failing);
        QCOMPARE(r.log, cancelledLog(1, texts::kUpdateCancelled));
        QCOMPARE(r.log.last(), QStringLiteral("Операцията е прекратена: базата данни не е променена"));
        QCOMPARE(tables(fx.db()), before);
        QCOMPARE(storedDatabaseVersion(fx.db()), kRelease - 1);
        QCOMPARE(fx.settings().get(setting::kDatabaseVersion), QString::number(kRelease - 1));

        fx.writeFile("Upd/UpdateTables.nts",
                     script({"CREATE TABLE Added (A INTEGER)", "INSERT INTO Added (A) VALUES (1)",
                             "INSERT INTO Added (A) VALUES (2)"}));
        r = updateCompanyDatabase(fx.session(), fx.root() + "Upd");
        QVERIFY(r.ok);
        QCOMPARE(scalarSql(fx.db(), "SELECT SUM(A) FROM Added").toInt(), 3);
        QCOMPARE(fx.settings().get(setting::kDatabaseVersion), QString::number(kRelease));
    }

    // The shipped update gives the towns of an older database their key and
    // keeps every row, also two written alike, which are then two rows.
    void shippedUpdateKeysTheTowns() {
        test::Fixture fx;
        execScriptStatement(fx.db(), "DROP TABLE Grad");
        execScriptStatement(fx.db(),
                            "CREATE TABLE Grad (Opisanie VARCHAR(100), PK VARCHAR(10), TK VARCHAR(10))");
        for (const auto& [name, pk, tk] :
             {std::tuple{"Варна", "9000", "052"}, std::tuple{"Варна", "9000", "052"},
              std::tuple{"Бургас", "8000", "056"}})
            execSql(fx.db(), "INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)", {name, pk, tk});
        storeDatabaseVersion(fx.db(), kRelease - 1);
        fx.settings().set(setting::kDatabaseVersion, QString::number(kRelease - 1));
        const VersionCheck check = checkDatabaseVersion(fx.session());
        QVERIFY(check.outdated && check.needsUpdateDialog);

        DbOperationResult r = updateCompanyDatabase(fx.session(), fx.session().programDir.sqlsDir());

        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(storedDatabaseVersion(fx.db()), kRelease);
        auto rows = [&fx] {
            QSqlQuery q = execSql(fx.db(), "SELECT ID, Opisanie, PK, TK FROM Grad ORDER BY ID");
            QStringList out;
            while (q.next())
                out << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                   q.value(3).toString()}
                           .join(u'|');
            return out;
        };
        QCOMPARE(rows(), (QStringList{"1|Варна|9000|052", "2|Варна|9000|052", "3|Бургас|8000|056"}));
        execSql(fx.db(), "DELETE FROM Grad WHERE ID = ?", {1});
        execSql(fx.db(), "INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)", {"Русе", "7000", "082"});
        QCOMPARE(rows(), (QStringList{"2|Варна|9000|052", "3|Бургас|8000|056", "4|Русе|7000|082"}));
        QVERIFY(!checkDatabaseVersion(fx.session()).outdated);

        // The update runs whole each time: a second run leaves the keyed
        // towns and their key sequence as they are.
        r = updateCompanyDatabase(fx.session(), fx.session().programDir.sqlsDir());
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(rows(), (QStringList{"2|Варна|9000|052", "3|Бургас|8000|056", "4|Русе|7000|082"}));
        execSql(fx.db(), "INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)", {"Плевен", "5800", "064"});
        QCOMPARE(rows().last(), QStringLiteral("5|Плевен|5800|064"));
    }

    // A step marked UNLESS runs only while the database lacks what it names;
    // the condition is read when the step's turn comes, so the later steps
    // of one rebuild see what the earlier ones did.
    void conditionalSteps_data() {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("result"); // the columns of T after each of two runs
        QTest::newRow("column missing: the rebuild runs once")
            << QStringList{"UNLESS COLUMN T.B CREATE TABLE T2 (A INTEGER, B INTEGER)",
                           "UNLESS COLUMN T.B INSERT INTO T2 (A, B) SELECT A, 7 FROM T",
                           "UNLESS COLUMN T.B DROP TABLE T", "UNLESS COLUMN T.B ALTER TABLE T2 RENAME TO T"}
            << "A,B|A,B";
        QTest::newRow("table missing: created once")
            << QStringList{"UNLESS TABLE Fresh CREATE TABLE Fresh (X INTEGER)"} << "A|A";
        QTest::newRow("lower case keyword, column there: skipped")
            << QStringList{"unless column t.a DROP TABLE T"} << "A|A";
    }
    void conditionalSteps() {
        QFETCH(QStringList, statements);
        QFETCH(QString, result);
        test::Fixture fx;
        execScriptStatement(fx.db(), "CREATE TABLE T (A INTEGER)");
        execSql(fx.db(), "INSERT INTO T (A) VALUES (?)", {1});
        NtsScript s;
        s.statements = statements;
        QStringList seen;
        for (int run = 0; run < 2; ++run) {
            const ScriptResult r = runNtsScript(fx.db(), s);
            QVERIFY2(r.ok, qPrintable(r.error));
            const QSqlRecord columns = tableColumns(fx.db(), "T");
            QStringList names;
            for (int i = 0; i < columns.count(); ++i)
                names << columns.fieldName(i).toUpper();
            seen << names.join(u',');
        }
        QCOMPARE(seen.join(u'|'), result);
        QCOMPARE(scalarSql(fx.db(), "SELECT COUNT(*) FROM T").toInt(), 1);
        if (statements.first().contains("Fresh"))
            QCOMPARE(tableColumns(fx.db(), "Fresh").count(), 1);
    }

    void updateRefused_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message"); // the start of it
        QTest::newRow("missing script") << "missing" << texts::kNoUpdateFile;
        QTest::newRow("Firm_Data.ini cannot be read") << "ini"
                                                      << "Прекратена актуализация: ";
    }
    void updateRefused() {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        test::Fixture fx;
        storeDatabaseVersion(fx.db(), kRelease - 1);
        QVERIFY(QDir().mkpath(fx.root() + "Upd"));
        if (setup == "ini") {
            fx.writeFile("Upd/UpdateTables.nts", script({"CREATE TABLE Added (A INTEGER)"}));
            breakFirmData(fx);
        }
        const QString verBefore = iniVersion(fx);
        const QStringList before = tables(fx.db());

        DbOperationResult r = updateCompanyDatabase(fx.session(), fx.root() + "Upd");

        QVERIFY(!r.ok);
        QVERIFY2(r.message.startsWith(message), qPrintable(r.message));
        QCOMPARE(tables(fx.db()), before);
        QCOMPARE(storedDatabaseVersion(fx.db()), kRelease - 1);
        QCOMPARE(iniVersion(fx), verBefore);
    }

    void switchTo_data() {
        QTest::addColumn<QString>("dir");
        QTest::newRow("another company database") << "Other";
        QTest::newRow("the working database itself") << "Data";
    }
    void switchTo() {
        if (test::onPostgres())
            QSKIP("a company database in a directory is the SQLite case");
        QFETCH(QString, dir);
        test::Fixture fx;
        QVERIFY(QDir().mkpath(fx.root() + "Other"));
        QVERIFY(QFile::copy(fx.root() + "Data/Torvika.db", fx.root() + "Other/Torvika.db"));
        const QString target = QDir::cleanPath(fx.root() + dir);

        DbOperationResult r = switchCompanyDatabase(fx.session(), fx.root() + dir + "/");

        QVERIFY(r.ok);
        QVERIFY(r.message.isEmpty());
        QCOMPARE(aliasPath(fx), target);
        QVERIFY(fx.session().workspace.isOpen());
        QCOMPARE(fx.session().workspace.directory(), target);
        QCOMPARE(dbPath(fx), target);
    }

    void switchRefused_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QByteArray>("dbFile"); // Torvika.db written there; null: none
        QTest::addColumn<QString>("reason");    // the second line; %1 the directory
        QTest::newRow("plain directory") << "Plain" << QByteArray() << "Няма база данни в %1";
        QTest::newRow("text file named Torvika.db")
            << "Text" << QByteArray("not a database") << "Файлът %1/Torvika.db не е база данни";
        QTest::newRow("missing directory") << "Nowhere" << QByteArray() << "Няма база данни в %1";
        QTest::newRow("no directory chosen") << "" << QByteArray() << QString();
        QTest::newRow("database without Operators")
            << "Foreign" << QByteArray("sqlite") << "%1 не е база данни на програмата";
    }
    void switchRefused() {
        QFETCH(QString, dir);
        QFETCH(QByteArray, dbFile);
        QFETCH(QString, reason);
        test::Fixture fx;
        QString chosen = dir.isEmpty() ? QString() : fx.root() + dir;
        if (dir == "Plain")
            QVERIFY(QDir().mkpath(chosen));
        if (dbFile == "sqlite") {
            QVERIFY(QDir().mkpath(chosen));
            QSqlDatabase other = openCompanyConnection("foreign", chosen, true);
            execScriptStatement(other, "CREATE TABLE Foo (A INTEGER)");
            other = QSqlDatabase();
            closeConnection("foreign");
        } else if (!dbFile.isNull()) {
            fx.writeFile(dir + "/Torvika.db", dbFile);
        }
        const QString data = QDir::cleanPath(fx.root() + "Data");
        const QString pathBefore = dbPath(fx);
        const auto foreign = snapshot(fx.root() + dir);

        DbOperationResult r = switchCompanyDatabase(fx.session(), chosen);

        QVERIFY(!r.ok);
        QCOMPARE(r.message, reason.isNull() ? QStringLiteral("Неуспешна смяна на базата данни")
                                            : QStringLiteral("Неуспешна смяна на базата данни\r") +
                                                  reason.arg(QDir::cleanPath(chosen)));
        QCOMPARE(aliasPath(fx), data);
        QVERIFY(fx.session().workspace.isOpen());
        QCOMPARE(fx.session().workspace.directory(), data);
        QCOMPARE(dbPath(fx), pathBefore);
        if (!dir.isEmpty())
            QCOMPARE(snapshot(fx.root() + dir), foreign);
    }

    // A switch to a server database that cannot be worked on names why,
    // and the working database stays.
    void switchToServerRefused_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason"); // the start of the second line
        QTest::newRow("no such database") << "missing"
                                          << "На сървъра няма база данни torvika_nowhere";
        QTest::newRow("not a company database") << "foreign"
                                                << "torvika_foreign на ";
        QTest::newRow("server unreachable") << "unreachable"
                                            << "Няма връзка със сървъра torvika_nowhere на ";
    }
    void switchToServerRefused() {
        if (!test::onPostgres())
            QSKIP("a server database is the PostgreSQL case");
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        test::Fixture fx;
        Alias target = fx.alias();
        target.path = fx.root() + "Server";
        target.database = setup == "foreign" ? "torvika_foreign" : "torvika_nowhere";
        if (setup == "unreachable")
            target.host = fx.root() + "no-server-here";
        if (setup == "foreign") {
            dropServerDatabase(target, {});
            createServerDatabaseOnly(target, {});
        }
        const QString before = fx.session().workspace.description();

        DbOperationResult r = switchCompanyDatabase(fx.session(), target, {});

        if (setup == "foreign")
            dropServerDatabase(target, {});
        QVERIFY(!r.ok);
        const QStringList lines = r.message.split(u'\r');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("Неуспешна смяна на базата данни"));
        QVERIFY2(lines[1].startsWith(reason), qPrintable(lines[1]));
        QVERIFY(fx.session().workspace.isOpen());
        QCOMPARE(fx.session().workspace.description(), before);
    }

    void serverVersions_data() {
        QTest::addColumn<int>("version"); // server_version_num
        QTest::addColumn<bool>("supported");
        QTest::newRow("unknown") << 0 << false;
        QTest::newRow("12.22") << 120022 << false;
        QTest::newRow("12.99") << 129999 << false;
        QTest::newRow("13.0") << 130000 << true;
        QTest::newRow("13.16") << 130016 << true;
        QTest::newRow("17.2") << 170002 << true;
    }
    void serverVersions() {
        QFETCH(int, version);
        QFETCH(bool, supported);
        QCOMPARE(isSupportedServerVersion(version), supported);
    }

    void versionCheck_data() {
        QTest::addColumn<QString>("iniVer");          // null: no key
        QTest::addColumn<int>("dbVer");               // -1: the database records none
        QTest::addColumn<QString>("date");            // null: no key
        QTest::addColumn<QByteArray>("updateScript"); // null: no file
        QTest::addColumn<bool>("outdated");
        QTest::addColumn<bool>("dialog");

        const QByteArray section = "[DBVer-" + QByteArray::number(kRelease) + "]\r\n";
        const QByteArray marked = section + "Ver=1\r\n";
        const QString none;
        const int r = kRelease;
        QTest::newRow("no version, update marked") << none << -1 << none << marked << true << true;
        QTest::newRow("no version, other release marked")
            << none << -1 << none << QByteArray("[DBVer-1]\r\nVer=1\r\n") << true << false;
        QTest::newRow("no version, marker 0") << none << -1 << none << section + "Ver=0\r\n" << true << false;
        QTest::newRow("no version, no update script") << none << -1 << none << QByteArray() << true << false;
        QTest::newRow("date in the request")
            << QString::number(r - 1) << -1 << "15.03.2024" << marked << true << true;
        QTest::newRow("version with blanks around")
            << QString(" %1 ").arg(r - 1) << -1 << none << marked << true << true;
        QTest::newRow("database records the release") << none << r << none << marked << false << false;
        QTest::newRow("installation records the release")
            << QString::number(r) << -1 << none << marked << false << false;
        QTest::newRow("database older than the installation's record")
            << QString::number(r) << r - 1 << none << marked << true << true;
    }
    // DBVer/Ver is converted whatever the database records; a text that is
    // not an integer ends the check with a conversion error.
    void versionCheckRefusesNonInteger_data() {
        QTest::addColumn<QString>("iniVer");
        QTest::addColumn<int>("dbVer"); // -1: the database records none
        QTest::newRow("letters") << "abc" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("blanks") << "  " << -1;
        QTest::newRow("digits and letters") << "23x" << -1;
        QTest::newRow("decimal") << "22.5" << -1;
        QTest::newRow("letters, database up to date") << "abc" << kRelease;
    }
    void versionCheckRefusesNonInteger() {
        QFETCH(QString, iniVer);
        QFETCH(int, dbVer);
        test::Fixture fx;
        fx.firmData().writeString("DBVer", "Ver", iniVer);
        if (dbVer < 0)
            execScriptStatement(fx.db(), "DROP TABLE DB_Info");
        else
            storeDatabaseVersion(fx.db(), dbVer);
        QVERIFY_THROWS_EXCEPTION(EConvertError, checkDatabaseVersion(fx.session()));
    }

    void versionCheck() {
        QFETCH(QString, iniVer);
        QFETCH(int, dbVer);
        QFETCH(QString, date);
        QFETCH(QByteArray, updateScript);
        QFETCH(bool, outdated);
        QFETCH(bool, dialog);
        test::Fixture fx;
        ProfileFile fd = fx.firmData();
        fd.deleteKey("DBVer", "Ver");
        if (!iniVer.isNull())
            fd.writeString("DBVer", "Ver", iniVer);
        if (!date.isNull())
            fd.writeString("DBVer", "Date", date);
        if (dbVer < 0)
            execScriptStatement(fx.db(), "DROP TABLE DB_Info");
        else
            storeDatabaseVersion(fx.db(), dbVer);
        QFile::remove(fx.session().programDir.updateTablesScript());
        if (!updateScript.isNull())
            fx.writeFile("SQLs/UpdateTables.nts", updateScript);

        VersionCheck c = checkDatabaseVersion(fx.session());

        QCOMPARE(c.outdated, outdated);
        QCOMPARE(c.needsUpdateDialog, dialog);
        if (!outdated) {
            QVERIFY(c.request.isEmpty());
            QVERIFY(c.noScriptMessage.isEmpty());
            return;
        }
        QCOMPARE(c.request, QStringLiteral("Необходимо е базата данни да бъде актуализирана с версия N:") +
                                QString::number(kRelease) + " от " + (date.isNull() ? "0" : date));
        QCOMPARE(c.noScriptMessage,
                 dialog ? QString() : QStringLiteral("Не беше открит файл за актуализация"));
    }
};

QTEST_GUILESS_MAIN(CompanyDatabasesTest)
#include "test_company_databases.moc"
