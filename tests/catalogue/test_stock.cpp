// Stock levels: GET_NALI4NOST as the one writer of Store_Kol, on either engine.

#include "catalogue/stock.h"
#include "common/errors.h"
#include "common/sql.h"
#include "support/fixture.h"

#include <QTest>

using namespace torvika;

class StockTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() { fx_ = std::make_unique<test::Fixture>(); }
    void cleanup() { fx_.reset(); }

    // Additions are kept exact: tenths added and taken away leave nothing.
    void addsAndSets() {
        QCOMPARE(stockIn(db(), 7, 1), std::nullopt);
        for (double q : {0.3, -0.1, -0.2})
            GET_NALI4NOST(db(), 7, 1, kAddStock, q);
        QCOMPARE(stockIn(db(), 7, 1), std::optional<double>(0.0));
        GET_NALI4NOST(db(), 7, 1, kAddStock, -2.5); // sales do not wait for stock
        QCOMPARE(stockIn(db(), 7, 1), std::optional<double>(-2.5));
        GET_NALI4NOST(db(), 7, 1, kSetStock, 12.125);
        QCOMPARE(stockIn(db(), 7, 1), std::optional<double>(12.125));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Store_Kol WHERE Art_ID = 7").toInt(), 1);
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Втори')");
        GET_NALI4NOST(db(), 7, 2, kSetStock, 1.875);
        QCOMPARE(stockTotal(db(), 7), 14.0);
        QCOMPARE(stockTotal(db(), 8), 0.0);
    }

    // A movement into a warehouse that does not exist writes nothing.
    void missingWarehouseIsRefused() {
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, GET_NALI4NOST(db(), 7, 99, kAddStock, 1));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Store_Kol").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(StockTest)
#include "test_stock.moc"
