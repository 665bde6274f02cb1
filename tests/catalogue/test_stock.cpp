// Stock levels: GET_NALI4NOST as the one writer of Store_Kol, the stock
// report and the stock of marked articles, on either engine.

#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "common/errors.h"
#include "common/sql.h"
#include "support/fixture.h"

#include <QRegularExpression>
#include <QTest>

using namespace torvika;

namespace {

// Article number -> quantity, as a report lists them.
using Quantities = QList<QPair<qint64, double>>;

Quantities rowsOf(const QSqlDatabase& db, const SqlStatement& s, const QString& quantity = "All_Kol") {
    const SqlRows rows = readRows(db, s.text, s.values);
    const int id =
        int(rows.fields.indexOf(QRegularExpression("^id$", QRegularExpression::CaseInsensitiveOption)));
    const int kol = int(rows.fields.indexOf(
        QRegularExpression("^" + quantity + "$", QRegularExpression::CaseInsensitiveOption)));
    Quantities out;
    for (const QVariantList& r : rows.rows)
        out << qMakePair(r[id].toLongLong(), r[kol].toDouble());
    return out;
}

} // namespace

Q_DECLARE_METATYPE(StockFilter)

class StockTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    void addArticle(qint64 id, const QString& name, qint64 group, const QString& unit = "бр.") {
        execSql(db(),
                "INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Mqrka) "
                "VALUES (?, ?, ?, ?, ?, 'Лева', ?)",
                {id, QStringLiteral("%1_%2").arg(group).arg(id), group, name, 1.5 * double(id), unit});
    }

    // Two groups and three warehouses; article 4 never moved.
    void addStockFixture() {
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Напитки'), (2, 'Храни')");
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Магазин'), (3, 'Бус')");
        addArticle(1, "Вода", 1);
        addArticle(2, "Сок", 1, "л.");
        addArticle(3, "Хляб", 2);
        addArticle(4, "Мляко", 2);
        GET_NALI4NOST(db(), 1, 1, kAddStock, 10);
        GET_NALI4NOST(db(), 1, 2, kAddStock, Decimal("2.5"));
        GET_NALI4NOST(db(), 2, 2, kSetStock, 4);
        GET_NALI4NOST(db(), 3, 1, kAddStock, -3); // sold before it was delivered
        GET_NALI4NOST(db(), 3, 3, kAddStock, Decimal("0.1"));
        GET_NALI4NOST(db(), 3, 3, kAddStock, Decimal("0.2"));
    }

private slots:
    void init() { fx_ = std::make_unique<test::Fixture>(); }
    void cleanup() { fx_.reset(); }

    // Additions are kept exact: tenths added and taken away leave nothing.
    void addsAndSets() {
        QCOMPARE(stockIn(db(), 7, 1), std::nullopt);
        for (const char* q : {"0.3", "-0.1", "-0.2"})
            GET_NALI4NOST(db(), 7, 1, kAddStock, Decimal(q));
        QCOMPARE(stockIn(db(), 7, 1), std::optional<Decimal>(0));
        GET_NALI4NOST(db(), 7, 1, kAddStock, Decimal("-2.5")); // sales do not wait for stock
        QCOMPARE(stockIn(db(), 7, 1), std::optional<Decimal>(Decimal("-2.5")));
        GET_NALI4NOST(db(), 7, 1, kSetStock, Decimal("12.125"));
        QCOMPARE(stockIn(db(), 7, 1), std::optional<Decimal>(Decimal("12.125")));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Store_Kol WHERE Art_ID = 7").toInt(), 1);
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Втори')");
        GET_NALI4NOST(db(), 7, 2, kSetStock, Decimal("1.875"));
        QCOMPARE(stockTotal(db(), 7), Decimal(14));
        QCOMPARE(stockTotal(db(), 8), Decimal(0));
    }

    // The first movement of an article in a warehouse creates its row with
    // the quantity, whatever the mode: a delivery, a sale of what was never
    // delivered, a revision count.
    void firstMovementCreatesTheRow_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("typed");
        QTest::newRow("delivery") << kAddStock << "12.5";
        QTest::newRow("sale") << kAddStock << "-2";
        QTest::newRow("revision") << kSetStock << "7";
        QTest::newRow("other mode adds") << 5 << "3";
    }
    void firstMovementCreatesTheRow() {
        QFETCH(int, mode);
        QFETCH(QString, typed);
        const Decimal quantity(typed);
        GET_NALI4NOST(db(), 5, 1, mode, quantity);
        QCOMPARE(stockIn(db(), 5, 1), std::optional<Decimal>(quantity));
        GET_NALI4NOST(db(), 5, 1, mode, quantity);
        QCOMPARE(stockIn(db(), 5, 1), std::optional<Decimal>(mode == kSetStock ? quantity : quantity * 2));
    }

    // A movement into a warehouse that does not exist (a number never
    // given, the "none" of an unreadable status line, an active warehouse
    // deleted on another workstation) writes nothing and says so.
    void missingWarehouseIsRefused_data() {
        QTest::addColumn<qint64>("warehouse");
        QTest::newRow("never given") << qint64(99);
        QTest::newRow("no number") << qint64(-1);
        QTest::newRow("none") << qint64(0);
        QTest::newRow("deleted elsewhere") << qint64(2);
    }
    void missingWarehouseIsRefused() {
        QFETCH(qint64, warehouse);
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Втори')");
        execSql(db(), "DELETE FROM Sklad WHERE ID_Sklad = 2");
        for (int mode : {kAddStock, kSetStock}) {
            try {
                GET_NALI4NOST(db(), 7, warehouse, mode, 1);
                QFAIL("the movement was not refused");
            } catch (const EDatabaseError& e) {
                QCOMPARE(e.message(), texts::kStockNoSuchWarehouse.arg(warehouse));
            }
        }
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Store_Kol").toInt(), 0);
    }

    // Each ticked condition narrows the report; an article's rows in
    // several warehouses are summed; an article that never moved is absent.
    void stockReport_data() {
        QTest::addColumn<StockFilter>("filter");
        QTest::addColumn<Quantities>("expected");
        QTest::newRow("everything") << StockFilter{} << Quantities{{1, 12.5}, {2, 4}, {3, -2.7}};
        QTest::newRow("one warehouse") << StockFilter{{}, 2, {}} << Quantities{{1, 2.5}, {2, 4}};
        QTest::newRow("sums exactly") << StockFilter{{}, 3, {}} << Quantities{{3, 0.3}};
        QTest::newRow("one group") << StockFilter{{}, {}, 2} << Quantities{{3, -2.7}};
        QTest::newRow("group and warehouse") << StockFilter{{}, 1, 1} << Quantities{{1, 10}};
        QTest::newRow("one article") << StockFilter{1, {}, {}} << Quantities{{1, 12.5}};
        QTest::newRow("article never moved") << StockFilter{4, {}, {}} << Quantities{};
        QTest::newRow("not a number") << StockFilter{-1, {}, {}} << Quantities{};
        QTest::newRow("article not in the warehouse") << StockFilter{2, 1, {}} << Quantities{};
    }
    void stockReport() {
        QFETCH(StockFilter, filter);
        QFETCH(Quantities, expected);
        addStockFixture();
        QCOMPARE(rowsOf(db(), stockReportStatement(filter)), expected);
    }

    void stockReportColumns() {
        addStockFixture();
        const SqlStatement s = stockReportStatement({2, {}, {}});
        const SqlRows rows = readRows(db(), s.text, s.values);
        QCOMPARE(rows.rows.size(), 1);
        QCOMPARE(rows.rows[0][rows.fields.indexOf(QRegularExpression("(?i)^opisanie$"))].toString(), "Сок");
        QCOMPARE(rows.rows[0][rows.fields.indexOf(QRegularExpression("(?i)^mqrka$"))].toString(), "л.");
        QCOMPARE(stockReportArticleText(db(), 2), "2:Сок");
        QCOMPARE(stockReportArticleText(db(), 99), texts::kNoArticleChosen);
        QCOMPARE(stockReportGroupItems(db()), QStringList({"1:Напитки", "2:Храни"}));
    }

    // The catalogue's report of marked articles: up to 255 articles; 256
    // are refused (the operator is sent to the stock report). Articles
    // without stock rows are absent.
    void markedArticles_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("refused");
        QTest::newRow("none marked") << 0 << false;
        QTest::newRow("one") << 1 << false;
        QTest::newRow("255") << 255 << false;
        QTest::newRow("256") << 256 << true;
        QTest::newRow("300") << 300 << true;
    }
    void markedArticles() {
        QFETCH(int, count);
        QFETCH(bool, refused);
        addStockFixture();
        // Marked last first: 3, then 4 (no stock), then numbers of no article.
        QList<qint64> marked;
        for (int i = 0; i < count; ++i)
            marked << (i == 0 ? 3 : i == 1 ? 4 : 1000 + i);
        const std::optional<SqlStatement> s = markedArticlesStockStatement(marked);
        QCOMPARE(!s, refused);
        if (!s)
            return;
        const Quantities expected = count == 0 ? Quantities{} : Quantities{{3, -2.7}};
        QCOMPARE(rowsOf(db(), *s), expected);
    }

    // The columns of the catalogue grid and the quantity, for the articles
    // of existing groups.
    void markedArticlesColumns() {
        addStockFixture();
        const SqlStatement s = *markedArticlesStockStatement({1, 2});
        const SqlRows rows = readRows(db(), s.text, s.values);
        QStringList fields;
        for (const QString& f : rows.fields)
            fields << f.toLower();
        QCOMPARE(fields, QStringList({"id_grupa", "grupa_opis", "id", "nomenkl_n", "opisanie", "ed_cena",
                                      "valuta_p", "mqrka", "all_kol"}));
        QCOMPARE(rows.rows.size(), 2);
        QCOMPARE(rows.rows[1][1].toString(), "Напитки");
        QCOMPARE(rows.rows[1][3].toString(), "1_2");
        QCOMPARE(rows.rows[1][5].toDouble(), 3.0);
        QCOMPARE(rows.rows[1][8].toDouble(), 4.0);
        QCOMPARE(s.key, "ID");
    }
};

QTEST_GUILESS_MAIN(StockTest)
#include "test_stock.moc"
