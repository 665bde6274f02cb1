// The statement model of the grids: reading a statement page by page,
// finding a row on a later page, leaving no read open on the rows while it
// shows them, and the column widths of its grid.

#include "common/errors.h"
#include "common/sql.h"
#include "common/ui/statement_model.h"
#include "support/fixture.h"

#include <QHeaderView>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>
#include <memory>

using namespace torvika;

namespace {

constexpr int kTowns = 1000;
// The program's patience with a busy database, put back after a test that
// shortens it.
constexpr int kProgramPatience = 120000;

QString townName(int n) {
    return QStringLiteral("Град %1").arg(n, 4, 10, QLatin1Char('0'));
}

// Towns "Град 0001" .. "Град <n>", keyed in that order.
void addTowns(const QSqlDatabase& db, int n) {
    Transaction t(db);
    for (int i = 1; i <= n; ++i)
        execSql(db, QStringLiteral("INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)"),
                {townName(i), QString::number(1000 + i), QStringLiteral("0%1").arg(i % 100)});
    t.commit();
}

const SqlStatement kTownsByKey{
    QStringLiteral("SELECT ID, Opisanie, PK FROM Grad ORDER BY ID"), {}, QStringLiteral("ID")};

// Another workstation changes the towns, and then this one does: both at
// once, whatever the model shows. On SQLite this workstation could never
// write after the other one while a read of its own stayed on an older
// state of the database; on PostgreSQL the other one's exclusive lock of
// the table waits for every read still open on it. Empty when all went
// through, else what failed.
QString bothWorkstationsWrite(test::Fixture& fx, const QSqlDatabase& other, int round) {
    try {
        {
            Transaction t(other);
            execSql(
                other, QStringLiteral("INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)"),
                {QStringLiteral("Ново село %1").arg(round), QStringLiteral("9000"), QStringLiteral("099")});
            execSql(other, QStringLiteral("UPDATE Grad SET TK = ? WHERE Opisanie = ?"),
                    {QString::number(round), townName(1)});
            if (test::onPostgres())
                execSql(other, QStringLiteral("LOCK TABLE Grad IN ACCESS EXCLUSIVE MODE"));
            t.commit();
        }
        Transaction t(fx.db());
        execSql(fx.db(), QStringLiteral("UPDATE Grad SET PK = ? WHERE Opisanie = ?"),
                {QString::number(round), townName(2)});
        t.commit();
        return {};
    } catch (const std::exception& e) {
        return exceptionMessage(e);
    }
}

} // namespace

class StatementModelTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() { fx_ = std::make_unique<test::Fixture>(); }
    void cleanup() { fx_.reset(); }

    // Every row once and in the statement's order, however the pages fall:
    // all at once, a last page that is full, one that is not, a first page
    // that holds everything.
    void readsPageByPage_data() {
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<int>("firstRead");
        QTest::addColumn<bool>("more");
        QTest::newRow("all at once") << 0 << kTowns << false;
        QTest::newRow("small pages, the last one partial") << 7 << 7 << true;
        QTest::newRow("pages that end with the rows") << 100 << 100 << true;
        QTest::newRow("a partial last page") << 300 << 300 << true;
        QTest::newRow("one full page") << kTowns << kTowns << true;
        QTest::newRow("one page with room left") << 5000 << kTowns << false;
    }
    void readsPageByPage() {
        QFETCH(int, pageSize);
        QFETCH(int, firstRead);
        QFETCH(bool, more);
        addTowns(db(), kTowns);
        StatementModel model;
        model.setColumns({{QStringLiteral("Opisanie"), QStringLiteral("Населено място")}});
        model.setPageSize(pageSize);
        model.setStatement(db(), kTownsByKey);
        QCOMPARE(model.rowCount(), firstRead);
        QCOMPARE(model.canFetchMore(), more);
        int reads = 0;
        while (model.canFetchMore()) {
            model.fetchMore();
            QVERIFY(++reads <= kTowns); // a read that brings nothing ends the reading
        }
        QCOMPARE(model.rowCount(), kTowns);
        for (int row = 0; row < kTowns; ++row)
            QCOMPARE(model.data(model.index(row, 0)).toString(), townName(row + 1));
        QCOMPARE(model.value(kTowns - 1, QStringLiteral("PK")).toString(), QString::number(1000 + kTowns));

        // Reading again starts over at the first page.
        model.reread();
        QCOMPARE(model.rowCount(), firstRead);
        model.fetchAll();
        QCOMPARE(model.rowCount(), kTowns);
    }

    // A row is found on whatever page it lies, reading only as far as it;
    // a value no row has reads every page and finds nothing. The field's
    // name is matched without regard to case (PostgreSQL names the columns
    // in lower case), and a key is found as a number or as its text.
    void findRow_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("town"); // the town whose row is looked for (its name or its key)
        QTest::addColumn<QString>("as");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("read");
        QTest::newRow("on the first page") << "Opisanie" << 50 << "name" << 49 << 100;
        QTest::newRow("on a later page") << "Opisanie" << 750 << "name" << 749 << 800;
        QTest::newRow("the last row") << "Opisanie" << kTowns << "name" << kTowns - 1 << kTowns;
        QTest::newRow("no such row") << "Opisanie" << 2 * kTowns << "name" << -1 << kTowns;
        QTest::newRow("field in other case") << "OPISANIE" << 420 << "name" << 419 << 500;
        QTest::newRow("key as a number") << "ID" << 601 << "number" << 600 << 700;
        QTest::newRow("key as text") << "id" << 601 << "text" << 600 << 700;
        QTest::newRow("no such field") << "Nqma" << 50 << "name" << -1 << 100;
    }
    void findRow() {
        QFETCH(QString, field);
        QFETCH(int, town);
        QFETCH(QString, as);
        QFETCH(int, row);
        QFETCH(int, read);
        addTowns(db(), kTowns);
        QVariant value = townName(town);
        if (as != QLatin1String("name")) {
            const qint64 key =
                scalarSql(db(), QStringLiteral("SELECT ID FROM Grad WHERE Opisanie = ?"), {value})
                    .toLongLong();
            value = as == QLatin1String("number") ? QVariant(int(key)) : QVariant(QString::number(key));
        }
        StatementModel model;
        model.setColumns({{QStringLiteral("Opisanie"), QStringLiteral("Населено място")}});
        model.setPageSize(100);
        model.setStatement(db(), kTownsByKey);
        QCOMPARE(model.findRow(field, value), row);
        QCOMPARE(model.rowCount(), read);
        if (row >= 0)
            QCOMPARE(model.data(model.index(row, 0)).toString(), townName(town));
    }

    // While the grid shows the first page of many rows, after it reads a
    // further page, after it finds a row further on and after it reads
    // again, another workstation and this one write to the table at once.
    // A short patience with a busy database makes a read left open fail the
    // write quickly instead of after two minutes.
    void neverLeavesAReadOpen() {
        addTowns(db(), kTowns);
        StatementModel model;
        model.setColumns({{QStringLiteral("Opisanie"), QStringLiteral("Населено място")}});
        model.setPageSize(100);
        model.setStatement(db(), kTownsByKey);
        QCOMPARE(model.rowCount(), 100);

        const QString connection = QStringLiteral("other-workstation");
        QSqlDatabase other = fx_->openWorkstation(connection);
        setBusyPatience(200);
        const auto restore = qScopeGuard([&] {
            setBusyPatience(kProgramPatience);
            other = QSqlDatabase();
            closeConnection(connection);
        });

        QCOMPARE(bothWorkstationsWrite(*fx_, other, 1), QString());
        model.fetchMore();
        QCOMPARE(model.rowCount(), 200);
        QCOMPARE(bothWorkstationsWrite(*fx_, other, 2), QString());
        QCOMPARE(model.findRow(QStringLiteral("Opisanie"), townName(650)), 649);
        QCOMPARE(bothWorkstationsWrite(*fx_, other, 3), QString());
        model.reread();
        QCOMPARE(model.rowCount(), 100);
        QCOMPARE(bothWorkstationsWrite(*fx_, other, 4), QString());

        // Read again, the grid has what both wrote.
        model.reread();
        model.fetchAll();
        QCOMPARE(model.rowCount(), kTowns + 4);
        QCOMPARE(model.data(model.index(kTowns + 3, 0)).toString(), QStringLiteral("Ново село 4"));
    }

    // The grid never wraps. A column of width 0 is as wide as its title and
    // its content need, up to 48 characters of content (a longer name is cut
    // there, unless its title is wider); a column with a width has that
    // many characters. New rows refit the columns.
    void columnWidths() {
        const QString longName = QStringLiteral("Село ") + QString(70, u'Ж');
        const QString mediumName = QStringLiteral("Горна Оряховица - център");
        const QString longTitle = QStringLiteral("Пощенски код на населеното място по каталога на пощите");
        execSql(db(), QStringLiteral("INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)"),
                {mediumName, QStringLiteral("5100"), QStringLiteral("0618")});

        StatementModel model;
        model.setColumns({{QStringLiteral("Opisanie"), QStringLiteral("Име")},
                          {QStringLiteral("PK"), longTitle},
                          {QStringLiteral("TK"), QStringLiteral("Телефонен код"), 6}});
        QTableView view;
        setUpStatementGrid(&view, &model);
        view.resize(1200, 400);
        view.show();
        model.setStatement(db(), SqlStatement{QStringLiteral("SELECT Opisanie, PK, TK FROM Grad ORDER BY ID"),
                                              {},
                                              QStringLiteral("ID")});
        QVERIFY(!view.wordWrap());
        const QFontMetrics fm = view.fontMetrics();
        const int digit = fm.horizontalAdvance(QLatin1Char('0'));

        // The whole name shows, and no more than 48 characters are given to it.
        QVERIFY2(view.columnWidth(0) >= fm.horizontalAdvance(mediumName),
                 qPrintable(QString::number(view.columnWidth(0))));
        // The long title shows whole over its short content.
        QVERIFY2(view.columnWidth(1) >= fm.horizontalAdvance(longTitle),
                 qPrintable(QString::number(view.columnWidth(1))));
        QCOMPARE(view.columnWidth(1), view.horizontalHeader()->sectionSizeHint(1));
        QCOMPARE(view.columnWidth(2), 6 * digit + 12);

        // A longer name comes: the column widens to 48 characters, not to the name.
        execSql(db(), QStringLiteral("INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)"),
                {longName, QStringLiteral("1"), QStringLiteral("2")});
        model.reread();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(view.columnWidth(0), 48 * digit);
        QCOMPARE(view.columnWidth(2), 6 * digit + 12);
    }
};

QTEST_MAIN(StatementModelTest)
#include "test_statement_model.moc"
