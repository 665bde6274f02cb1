// Statements with bound values, transactions, and the Unicode UPPER, LOWER
// and LIKE of the SQLite connections.

#include "common/errors.h"
#include "common/sql.h"

#include <QSemaphore>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace torvika;

namespace {

QSqlDatabase openSqlite(const QString& name, const QString& file, const QString& options = {}) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(file);
    db.setConnectOptions(options);
    if (!db.open())
        qFatal("cannot open %s: %s", qPrintable(file), qPrintable(db.lastError().text()));
    registerSqlFunctions(db);
    return db;
}

} // namespace

class SqlTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void boundValuesStoredAsTyped_data();
    void boundValuesStoredAsTyped();
    void failuresThrow();
    void scalarDefault();

    void transactionCommitsOnlyWhenAsked();
    void transactionTakesTheWriteLock();
    void transactionWaitsForTheWriteLock();

    void functions_data();
    void functions();
    void likeOverManyRows();
    void likeWithPatternPerRow();
    void likeReusedStatement();

    void registeredWhileAQueryRuns();

    void likeMatch_data();
    void likeMatch();

private:
    QTemporaryDir dir_;
    QSqlDatabase db_;
};

void SqlTest::initTestCase() {
    db_ = openSqlite(QStringLiteral("sql-test"), dir_.filePath(QStringLiteral("test.db")),
                     QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    execScriptStatement(db_, QStringLiteral("CREATE TABLE Produkti (ID INTEGER, Opisanie VARCHAR(60))"));
}

void SqlTest::cleanupTestCase() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("sql-test"));
}

void SqlTest::boundValuesStoredAsTyped_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("double quotes") << "Вино \"Мавруд\" 0,75";
    QTest::newRow("single quotes") << "O'Neil'; DROP TABLE Produkti; --";
    QTest::newRow("wildcards") << "100% _чист_";
    QTest::newRow("backslash") << "C:\\Temp\\";
    QTest::newRow("question mark") << "Какво? ?";
    QTest::newRow("empty") << "";
}

void SqlTest::boundValuesStoredAsTyped() {
    QFETCH(QString, value);
    execSql(db_, QStringLiteral("DELETE FROM Produkti"));
    execSql(db_, QStringLiteral("INSERT INTO Produkti (ID, Opisanie) VALUES (?, ?)"), {1, value});
    execSql(db_, QStringLiteral("INSERT INTO Produkti (ID, Opisanie) VALUES (?, ?)"), {2, value + u'x'});
    QCOMPARE(scalarSql(db_, QStringLiteral("SELECT Opisanie FROM Produkti WHERE ID = ?"), {1}).toString(),
             value);
    QCOMPARE(
        scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM Produkti WHERE Opisanie = ?"), {value}).toInt(),
        1);
    QCOMPARE(scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM Produkti")).toInt(), 2);
}

void SqlTest::failuresThrow() {
    try {
        execSql(db_, QStringLiteral("SELECT Nothing FROM NoSuchTable"));
        QFAIL("no exception");
    } catch (const EDatabaseError& e) {
        QVERIFY(e.message().contains(QStringLiteral("NoSuchTable")));
    }
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, execScriptStatement(db_, QStringLiteral("CREATE TABLE (")));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                             execSql(db_, QStringLiteral("INSERT INTO Produkti (ID) VALUES (?)"), {1, 2}));
}

void SqlTest::scalarDefault() {
    QCOMPARE(scalarSql(db_, QStringLiteral("SELECT ID FROM Produkti WHERE ID = ?"), {-5}, 42).toInt(), 42);
    QVERIFY(scalarSql(db_, QStringLiteral("SELECT MAX(ID) FROM Produkti WHERE ID = ?"), {-5}, 42).isNull());
}

void SqlTest::transactionCommitsOnlyWhenAsked() {
    execSql(db_, QStringLiteral("DELETE FROM Produkti"));
    {
        Transaction tx(db_);
        execSql(db_, QStringLiteral("INSERT INTO Produkti (ID) VALUES (1)"));
    }
    try {
        Transaction tx(db_);
        execSql(db_, QStringLiteral("INSERT INTO Produkti (ID) VALUES (2)"));
        execSql(db_, QStringLiteral("INSERT INTO NoSuchTable VALUES (3)"));
        tx.commit();
    } catch (const EDatabaseError&) {
    }
    QCOMPARE(scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM Produkti")).toInt(), 0);
    {
        Transaction tx(db_);
        execSql(db_, QStringLiteral("INSERT INTO Produkti (ID) VALUES (4)"));
        tx.commit();
    }
    QCOMPARE(scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM Produkti")).toInt(), 1);
    // The connection is usable for the next transaction.
    Transaction again(db_);
    again.commit();
}

// A second workstation cannot start writing while the first holds a
// transaction, even before the first has written anything: it waits, with
// the wait shown, and fails only when its patience runs out.
void SqlTest::transactionTakesTheWriteLock() {
    QSqlDatabase other =
        openSqlite(QStringLiteral("sql-test-other"), dir_.filePath(QStringLiteral("test.db")),
                   QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    QList<bool> shown;
    setBusyWaitIndicator([&shown](bool waiting) { shown << waiting; });
    setBusyPatience(150);
    {
        Transaction first(db_);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, Transaction second(other));
    }
    QCOMPARE(shown, (QList<bool>{true, false}));
    {
        Transaction second(other);
        second.commit();
    }
    setBusyPatience(120000);
    setBusyWaitIndicator({});
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("sql-test-other"));
}

// The second workstation gets the lock once the first lets it go.
void SqlTest::transactionWaitsForTheWriteLock() {
    const QString file = dir_.filePath(QStringLiteral("test.db"));
    QSemaphore holding;
    QThread* first = QThread::create([file, &holding] {
        {
            QSqlDatabase db = openSqlite(QStringLiteral("sql-test-thread"), file);
            Transaction t(db);
            execSql(db, QStringLiteral("INSERT INTO Produkti (ID) VALUES (77)"));
            holding.release();
            QThread::msleep(300);
            t.commit();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("sql-test-thread"));
    });
    first->start();
    holding.acquire();
    QList<bool> shown;
    setBusyWaitIndicator([&shown](bool waiting) { shown << waiting; });
    {
        Transaction second(db_);
        QCOMPARE(scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM Produkti WHERE ID = 77")).toInt(), 1);
        execSql(db_, QStringLiteral("DELETE FROM Produkti WHERE ID = 77"));
        second.commit();
    }
    setBusyWaitIndicator({});
    QCOMPARE(shown, (QList<bool>{true, false})); // it waited, and the wait was shown
    first->wait();
    delete first;
}

void SqlTest::functions_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QVariant>("expected"); // null for SQL NULL

    const QVariant null;
    QTest::newRow("upper") << "UPPER(?)" << QVariantList{"чаша Ёлха"} << QVariant("ЧАША ЁЛХА");
    QTest::newRow("lower") << "LOWER('ЧАША ёЛХА')" << QVariantList{} << QVariant("чаша ёлха");
    QTest::newRow("upper null") << "UPPER(NULL)" << QVariantList{} << null;
    QTest::newRow("lower null") << "LOWER(?)" << QVariantList{null} << null;
    QTest::newRow("upper of a number") << "UPPER(12)" << QVariantList{} << QVariant("12");
    QTest::newRow("like cyrillic any case") << "'Чаша' LIKE '%ч%'" << QVariantList{} << QVariant(1);
    QTest::newRow("like upper pattern") << "? LIKE ?" << QVariantList{"бяла чаша", "%ЧАШ%"} << QVariant(1);
    QTest::newRow("like underscore one letter") << "'Чаша' LIKE 'ч_ша'" << QVariantList{} << QVariant(1);
    QTest::newRow("like underscore not two") << "'Чаша' LIKE 'ч_а'" << QVariantList{} << QVariant(0);
    QTest::newRow("like whole text") << "'Чаша' LIKE 'чаш'" << QVariantList{} << QVariant(0);
    QTest::newRow("not like") << "'Чаша' NOT LIKE '%Ш%'" << QVariantList{} << QVariant(0);
    QTest::newRow("escape percent") << "'50%' LIKE '50\\%' ESCAPE '\\'" << QVariantList{} << QVariant(1);
    QTest::newRow("escape percent literal")
        << "'500' LIKE '50\\%' ESCAPE '\\'" << QVariantList{} << QVariant(0);
    QTest::newRow("escape underscore")
        << "? LIKE ? ESCAPE ?" << QVariantList{"a_б", "%\\_Б", "\\"} << QVariant(1);
    QTest::newRow("escape letter") << "? LIKE ? ESCAPE ?" << QVariantList{"a_б", "%!_Б", "!"} << QVariant(1);
    QTest::newRow("escape in capitals")
        << "? LIKE ? ESCAPE ?" << QVariantList{"a_б", "%Ж_Б", "Ж"} << QVariant(1);
    QTest::newRow("escape null") << "'a' LIKE 'a' ESCAPE NULL" << QVariantList{} << null;
    QTest::newRow("like null text") << "NULL LIKE 'a'" << QVariantList{} << null;
    QTest::newRow("like null pattern") << "? LIKE ?" << QVariantList{"a", null} << null;
    QTest::newRow("like a number") << "1234 LIKE '12%'" << QVariantList{} << QVariant(1);
}

void SqlTest::functions() {
    QFETCH(QString, expression);
    QFETCH(QVariantList, values);
    QFETCH(QVariant, expected);
    const QVariant got =
        scalarSql(db_, QStringLiteral("SELECT ") + expression, values, QStringLiteral("<no row>"));
    if (expected.isNull())
        QVERIFY2(got.isNull(), qPrintable(got.toString()));
    else
        QCOMPARE(got.toString(), expected.toString());
}

void SqlTest::likeOverManyRows() {
    execSql(db_, QStringLiteral("DELETE FROM Produkti"));
    Transaction tx(db_);
    for (int i = 0; i < 1000; ++i)
        execSql(db_, QStringLiteral("INSERT INTO Produkti (ID, Opisanie) VALUES (?, ?)"),
                {i, i % 2 ? QStringLiteral("Лъжица %1").arg(i) : QStringLiteral("Чаша %1").arg(i)});
    tx.commit();
    const QString count = QStringLiteral("SELECT COUNT(*) FROM Produkti WHERE Opisanie LIKE ?");
    QCOMPARE(scalarSql(db_, count, {QStringLiteral("%ЧАШ%")}).toInt(), 500);
    QCOMPARE(scalarSql(db_, count, {QStringLiteral("лъж%")}).toInt(), 500);
    QCOMPARE(scalarSql(db_, count, {QStringLiteral("%1_")}).toInt(), 100);
    QCOMPARE(scalarSql(db_, count, {QStringLiteral("%")}).toInt(), 1000);
    QCOMPARE(
        scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM Produkti WHERE UPPER(Opisanie) LIKE '%ЧАША 9%'"))
            .toInt(),
        55); // 90 to 98 and 900 to 998, even
}

// The pattern can change from row to row: nothing of one row's pattern may
// be used for the next.
void SqlTest::likeWithPatternPerRow() {
    execScriptStatement(db_, QStringLiteral("CREATE TEMP TABLE Pairs (T VARCHAR(20), P VARCHAR(20))"));
    const QList<std::pair<QString, QString>> pairs = {{"Чаша", "ч%"},    {"Чаша", "л%"}, {"Лъжица", "л%"},
                                                      {"Лъжица", "%ца"}, {"Нож", "%ца"}, {"Нож", "_О_"}};
    for (const auto& [t, p] : pairs)
        execSql(db_, QStringLiteral("INSERT INTO Pairs (T, P) VALUES (?, ?)"), {t, p});
    QSqlQuery q = execSql(db_, QStringLiteral("SELECT T LIKE P FROM Pairs ORDER BY rowid"));
    QList<int> got;
    while (q.next())
        got.append(q.value(0).toInt());
    QCOMPARE(got, QList<int>({1, 0, 1, 1, 0, 1}));
    q.finish();
    execScriptStatement(db_, QStringLiteral("DROP TABLE Pairs"));
}

void SqlTest::likeReusedStatement() {
    execSql(db_, QStringLiteral("DELETE FROM Produkti"));
    execSql(db_, QStringLiteral("INSERT INTO Produkti (ID, Opisanie) VALUES (1, 'Чаша'), (2, 'Лъжица')"));
    QSqlQuery q(db_);
    QVERIFY(q.prepare(QStringLiteral("SELECT ID FROM Produkti WHERE Opisanie LIKE ?")));
    for (const auto& [pattern, id] : QList<std::pair<QString, int>>{{"%ш%", 1}, {"%ж%", 2}, {"ч%", 1}}) {
        q.bindValue(0, pattern);
        QVERIFY(q.exec());
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), id);
        QVERIFY(!q.next());
    }
}

// A connection is set up right after it opened, and a query of the set-up
// may still be on its rows: the functions must take effect all the same,
// and the query must go on where it was.
void SqlTest::registeredWhileAQueryRuns() {
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("sql-test-busy"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        QSqlQuery running = execSql(db, QStringLiteral("SELECT 1 UNION ALL SELECT 2 UNION ALL SELECT 3"));
        QVERIFY(running.next());
        QCOMPARE(running.value(0).toInt(), 1);
        registerSqlFunctions(db);
        QCOMPARE(scalarSql(db, QStringLiteral("SELECT UPPER(?)"), {QStringLiteral("чаша")}).toString(),
                 QStringLiteral("ЧАША"));
        QCOMPARE(
            scalarSql(db, QStringLiteral("SELECT ? LIKE ?"), {QStringLiteral("Чаша"), QStringLiteral("%Ч%")})
                .toInt(),
            1);
        registerSqlFunctions(db); // a second set-up changes nothing
        QCOMPARE(scalarSql(db, QStringLiteral("SELECT LOWER('ЧАША')")).toString(), QStringLiteral("чаша"));
        QVERIFY(running.next());
        QCOMPARE(running.value(0).toInt(), 2);
        QVERIFY(running.next());
        QCOMPARE(running.value(0).toInt(), 3);
        QVERIFY(!running.next());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("sql-test-busy"));
}

void SqlTest::likeMatch_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escape");
    QTest::addColumn<bool>("matches");

    QTest::newRow("empty both") << ""
                                << ""
                                << "" << true;
    QTest::newRow("empty pattern") << ""
                                   << "a"
                                   << "" << false;
    QTest::newRow("percent empty text") << "%"
                                        << ""
                                        << "" << true;
    QTest::newRow("underscore empty text") << "_"
                                           << ""
                                           << "" << false;
    QTest::newRow("prefix") << "ab%"
                            << "abc"
                            << "" << true;
    QTest::newRow("suffix") << "%bc"
                            << "abc"
                            << "" << true;
    QTest::newRow("inside") << "%b%"
                            << "abc"
                            << "" << true;
    QTest::newRow("exact") << "abc"
                           << "abc"
                           << "" << true;
    QTest::newRow("longer text") << "ab"
                                 << "abc"
                                 << "" << false;
    QTest::newRow("longer pattern") << "abcd"
                                    << "abc"
                                    << "" << false;
    QTest::newRow("two percents") << "a%%b"
                                  << "ab"
                                  << "" << true;
    QTest::newRow("backtracking") << "%aab"
                                  << "aaab"
                                  << "" << true;
    QTest::newRow("backtracking twice") << "%a%b%c"
                                        << "xaybzaxc"
                                        << "" << true;
    QTest::newRow("backtracking fails") << "%a%b%c"
                                        << "xaybza"
                                        << "" << false;
    QTest::newRow("underscore each") << "___"
                                     << "абв"
                                     << "" << true;
    QTest::newRow("underscore too many") << "____"
                                         << "абв"
                                         << "" << false;
    QTest::newRow("case folded cyrillic") << "%ЧАШ%"
                                          << "бяла чаша"
                                          << "" << true;
    QTest::newRow("case folded latin") << "abc"
                                       << "ABC"
                                       << "" << true;
    QTest::newRow("case folded yo") << "ё"
                                    << "Ё"
                                    << "" << true;
    QTest::newRow("different letters") << "е"
                                       << "ё"
                                       << "" << false;
    QTest::newRow("wildcards literal without escape") << "50\\%"
                                                      << "50\\x"
                                                      << "" << true;
    QTest::newRow("escaped percent") << "50\\%"
                                     << "50%"
                                     << "\\" << true;
    QTest::newRow("escaped percent not wild") << "50\\%"
                                              << "500"
                                              << "\\" << false;
    QTest::newRow("escaped underscore") << "a\\_b"
                                        << "a_b"
                                        << "\\" << true;
    QTest::newRow("escaped underscore not wild") << "a\\_b"
                                                 << "axb"
                                                 << "\\" << false;
    QTest::newRow("escaped escape") << "a\\\\b"
                                    << "a\\b"
                                    << "\\" << true;
    QTest::newRow("escaped letter") << "\\a"
                                    << "A"
                                    << "\\" << true;
    QTest::newRow("escape after percent") << "%\\%"
                                          << "100%"
                                          << "\\" << true;
    QTest::newRow("escape at the end") << "a\\"
                                       << "a\\"
                                       << "\\" << false;
    QTest::newRow("escape is a letter") << "%!_!%"
                                        << "a_%"
                                        << "!" << true;
    QTest::newRow("escape matched exactly") << "%Ж_%"
                                            << "a_%"
                                            << "ж" << false;
    QTest::newRow("escape in capitals") << "%Ж_%"
                                        << "a_%"
                                        << "Ж" << true;
    QTest::newRow("ascii folded both ways") << "%sn-a1_%"
                                            << "XSN-A1bZ"
                                            << "" << true;
    QTest::newRow("ascii backtracking fails") << "%ab%ab"
                                              << "xabyaby"
                                              << "" << false;
    QTest::newRow("ascii pattern, cyrillic text") << "%a%"
                                                  << "чаша A"
                                                  << "" << true;
    QTest::newRow("underscore takes a whole character")
        << "_" << QString::fromUtf8("\xF0\x9F\x98\x80") << "" << true;
    QTest::newRow("two underscores for one character")
        << "__" << QString::fromUtf8("\xF0\x9F\x98\x80") << "" << false;
    QTest::newRow("percent and underscore around a character")
        << "%_x" << QString::fromUtf8("a\xF0\x9F\x98\x80x") << "" << true;
}

void SqlTest::likeMatch() {
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(QString, escape);
    QFETCH(bool, matches);
    QCOMPARE(torvika::likeMatch(pattern, text, escape.isEmpty() ? QChar() : escape[0]), matches);
    // The connection's LIKE gives the same answer, on its byte path for
    // ASCII texts and its Unicode path for the others.
    const QVariant got = escape.isEmpty() ? scalarSql(db_, QStringLiteral("SELECT ? LIKE ?"), {text, pattern})
                                          : scalarSql(db_, QStringLiteral("SELECT ? LIKE ? ESCAPE ?"),
                                                      {text, pattern, escape});
    QCOMPARE(got.toInt(), matches ? 1 : 0);
}

QTEST_GUILESS_MAIN(SqlTest)
#include "test_sql.moc"
