// The warehouses register: numbers given once (MAX + 1 or a free one the
// operator chose), the name required, and no deletion of a warehouse that
// holds stock, has history or is this workstation's active one.

#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "catalogue/warehouses.h"
#include "common/sql.h"
#include "support/fixture.h"

#include <QTest>

using namespace torvika;

namespace {
int count(const QSqlDatabase& db, const QString& sql) {
    return scalarSql(db, sql).toInt();
}
} // namespace

class WarehousesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() { fx_ = std::make_unique<test::Fixture>(); }
    void cleanup() { fx_.reset(); }

    // The new company database has warehouse 1; a gap in the numbers is
    // not filled unless the operator chooses the number.
    void newWarehouseNumbers_data() {
        QTest::addColumn<QList<qint64>>("existing");
        QTest::addColumn<std::optional<qint64>>("chosen");
        QTest::addColumn<qint64>("stored");
        QTest::newRow("next") << QList<qint64>{} << std::optional<qint64>{} << qint64(2);
        QTest::newRow("after a gap") << QList<qint64>{7} << std::optional<qint64>{} << qint64(8);
        QTest::newRow("free number chosen") << QList<qint64>{7} << std::optional<qint64>(3) << qint64(3);
    }
    void newWarehouseNumbers() {
        QFETCH(QList<qint64>, existing);
        QFETCH(std::optional<qint64>, chosen);
        QFETCH(qint64, stored);
        for (qint64 id : existing)
            execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (?, 'Съществуващ')", {id});
        QCOMPARE(proposedWarehouseNumber(db()), existing.isEmpty() ? 2 : existing.back() + 1);
        const Warehouse w{"  Бус  ", "Русе", "ул. Борисова 1", "Петър Петров"};
        const WarehouseWrite result = insertWarehouse(db(), chosen, w);
        QVERIFY2(result.stored(), qPrintable(result.refusal));
        QCOMPARE(result.id, stored);
        QCOMPARE(loadWarehouse(db(), stored), (Warehouse{"Бус", "Русе", "ул. Борисова 1", "Петър Петров"}));
        // Stock can move in the new warehouse at once.
        GET_NALI4NOST(db(), 1, stored, kAddStock, 1);
    }

    // Bad input: nothing is written and the field to correct is named.
    void newWarehouseRefused_data() {
        QTest::addColumn<std::optional<qint64>>("chosen");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        QTest::newRow("number in use") << std::optional<qint64>(1) << "Бус" << int(WarehouseWrite::Number)
                                       << texts::kWarehouseNumberTaken.arg(1);
        QTest::newRow("number 0") << std::optional<qint64>(0) << "Бус" << int(WarehouseWrite::Number)
                                  << texts::kWarehouseNumberInvalid;
        QTest::newRow("negative number") << std::optional<qint64>(-4) << "Бус" << int(WarehouseWrite::Number)
                                         << texts::kWarehouseNumberInvalid;
        QTest::newRow("number too large") << std::optional<qint64>(4294967296) << "Бус"
                                          << int(WarehouseWrite::Number) << texts::kWarehouseNumberInvalid;
        QTest::newRow("empty name") << std::optional<qint64>{} << "" << int(WarehouseWrite::Name)
                                    << texts::kWarehouseNameEmpty;
        QTest::newRow("blank name") << std::optional<qint64>(5) << "   " << int(WarehouseWrite::Name)
                                    << texts::kWarehouseNameEmpty;
    }
    void newWarehouseRefused() {
        QFETCH(std::optional<qint64>, chosen);
        QFETCH(QString, name);
        QFETCH(int, field);
        QFETCH(QString, message);
        const WarehouseWrite result = insertWarehouse(db(), chosen, {name, "", "", ""});
        QVERIFY(!result.stored());
        QCOMPARE(int(result.field), field);
        QCOMPARE(result.refusal, message);
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Sklad"), 1);
        QCOMPARE(loadWarehouse(db(), 1)->name, "Основен склад");
    }

    // An edit keeps the number; a warehouse deleted elsewhere is not
    // written back.
    void editKeepsTheNumber() {
        const WarehouseWrite result = updateWarehouse(db(), 1, {"Централен склад", "София", "", "Мария"});
        QVERIFY(result.stored());
        QCOMPARE(loadWarehouse(db(), 1), (Warehouse{"Централен склад", "София", "", "Мария"}));
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Sklad"), 1);

        QCOMPARE(updateWarehouse(db(), 1, {" ", "", "", ""}).field, WarehouseWrite::Name);
        const WarehouseWrite gone = updateWarehouse(db(), 9, {"Нов", "", "", ""});
        QCOMPARE(gone.refusal, texts::kWarehouseGone.arg(9));
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Sklad"), 1);
    }

    // A warehouse is deleted only when nothing refers to it.
    void deletion_data() {
        QTest::addColumn<QString>("history");
        QTest::addColumn<qint64>("active");
        QTest::addColumn<QString>("refusal");
        const QString name = "Бус";
        QTest::newRow("unused") << "" << qint64(1) << "";
        QTest::newRow("active here") << "" << qint64(2) << texts::kWarehouseIsActive.arg(name);
        QTest::newRow("holds stock") << "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (5, 2, 3)"
                                     << qint64(1) << texts::kWarehouseHasStock.arg(name);
        QTest::newRow("owes stock") << "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (5, 2, -1)"
                                    << qint64(1) << texts::kWarehouseHasStock.arg(name);
        QTest::newRow("stock back to 0") << "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (5, 2, 0)"
                                         << qint64(1) << texts::kWarehouseHasHistory.arg(name);
        QTest::newRow("a sale")
            << "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Kol, Sklad_ID) VALUES (1, 5, 1, 2)" << qint64(1)
            << texts::kWarehouseHasHistory.arg(name);
        QTest::newRow("a delivery") << "INSERT INTO Dostavki (ID, ID_Sklad) VALUES (1, 2)" << qint64(1)
                                    << texts::kWarehouseHasHistory.arg(name);
        QTest::newRow("a revision") << "INSERT INTO Revision (ID, Sklad_ID) VALUES (1, 2)" << qint64(1)
                                    << texts::kWarehouseHasHistory.arg(name);
    }
    void deletion() {
        QFETCH(QString, history);
        QFETCH(qint64, active);
        QFETCH(QString, refusal);
        QCOMPARE(insertWarehouse(db(), {}, {"Бус", "", "", ""}).id, 2);
        if (!history.isEmpty())
            execSql(db(), history);
        // Another warehouse's history does not count.
        execSql(db(), "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (6, 1, 8)");
        const WarehouseWrite result = deleteWarehouse(db(), 2, active);
        QCOMPARE(result.refusal, refusal);
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Sklad WHERE ID_Sklad = 2"), refusal.isEmpty() ? 0 : 1);
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Sklad"), refusal.isEmpty() ? 1 : 2);
    }

    void deletingAWarehouseAlreadyGone() {
        QCOMPARE(deleteWarehouse(db(), 9, 1).refusal, texts::kWarehouseGone.arg(9));
    }
};

QTEST_GUILESS_MAIN(WarehousesTest)
#include "test_warehouses.moc"
