// Open bills of an operator, and the table window: drawing, numbering,
// removing, storing a scheme and choosing a table of an open bill.

#include "common/sql.h"
#include "sales/bills.h"
#include "sales/table_floor.h"
#include "sales/ui/floor_view.h"
#include "sales/ui/form_smetki.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

using namespace torvika;

Q_DECLARE_METATYPE(std::optional<int>)

class TablesAndBillsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
    }
    void cleanup() {
        msg_.reset();
        fx_.reset();
    }

    void billNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<int>>("bill");
        QTest::newRow("plain") << "5" << std::optional<int>(5);
        QTest::newRow("leading zero") << "05" << std::optional<int>(5);
        QTest::newRow("blanks") << " 5 " << std::optional<int>(5);
        QTest::newRow("zero") << "0" << std::optional<int>(0);
        QTest::newRow("negative") << "-3" << std::optional<int>();
        QTest::newRow("fraction") << "2.5" << std::optional<int>();
        QTest::newRow("empty") << "" << std::optional<int>();
        QTest::newRow("letters") << "5a" << std::optional<int>();
        QTest::newRow("too long") << "12345678901" << std::optional<int>();
    }
    void billNumbers() {
        QFETCH(QString, text);
        QFETCH(std::optional<int>, bill);
        QCOMPARE(parseBillNumber(text), bill);
    }

    // Only the operator's own lines count, "0" is always there, and the
    // numbers sort as texts; an operator whose name holds "_" sees no other.
    void openBillsOfAnOperator() {
        execSql(db(), "INSERT INTO Prodajbi_Vremenni (Barkod, Operator, Sm_N) VALUES "
                      "(1, 'Иван', 2), (2, 'Иван', 10), (3, 'Иван', 2), (4, 'Ива_', 7), (5, 'Иван', 0)");
        QCOMPARE(openBills(db(), "Иван"), (QStringList{"0", "10", "2"}));
        QCOMPARE(openBills(db(), "Ива_"), (QStringList{"0", "7"}));
        QCOMPARE(openBills(db(), "Мария"), QStringList{"0"});
        QCOMPARE(billAfterRebuild({"0", "10", "2"}, 10), 10);
        QCOMPARE(billAfterRebuild({"0", "10", "2"}, 5), 0);
    }

    // Tables are numbered across the floor, places within their table;
    // removing a table takes its places along.
    void floorNumbering() {
        TableFloor f;
        QCOMPARE(f.add(FloorObject::RectangleTable, {0, 0, 60, 60}).number, 1);
        QCOMPARE(f.add(FloorObject::RoundTable, {100, 0, 60, 60}).number, 2);
        QCOMPARE(f.add(FloorObject::Place, {5, 5, 20, 20}, 1).number, 1);
        QCOMPARE(f.add(FloorObject::Place, {30, 5, 20, 20}, 1).number, 2);
        const FloorObject p = f.add(FloorObject::Place, {105, 5, 20, 20}, 2);
        QCOMPARE(p.number, 1);
        QCOMPARE(p.name(), QString("1:Място"));
        QCOMPARE(f.tables().at(1).name(), QString("2:Маса"));
        QCOMPARE(f.objectAt({10, 10})->kind, FloorObject::Place); // the place over its table
        QCOMPARE(f.objectAt({50, 50})->number, 1);
        QVERIFY(f.remove(f.tables().at(0)));
        QCOMPARE(f.objects().size(), 2); // table 2 and its place
        QCOMPARE(f.add(FloorObject::RectangleTable, {0, 0, 60, 60}).number, 3);
    }

    // A drawing stored under a scheme comes back on every workstation; a
    // second store replaces the first.
    void storedScheme() {
        TableFloor f;
        f.add(FloorObject::RoundTable, {10, 20, 70, 50});
        f.add(FloorObject::Place, {15, 25, 22, 22}, 1);
        saveFloor(db(), "Градина", f);
        QCOMPARE(loadFloor(db(), "Градина").objects(), f.objects());
        f.clear();
        f.add(FloorObject::RectangleTable, {1, 2, 3, 4});
        saveFloor(db(), "Градина", f);
        QCOMPARE(loadFloor(db(), "Градина").objects(), f.objects());
        QCOMPARE(floorSchemes(db()), (QStringList{"Стандарт", "Градина"}));
        QVERIFY(loadFloor(db(), "Стандарт").objects().isEmpty());
    }

    // The design window: draw two tables and a place with the mouse, remove
    // the place, store the scheme; the active-bills window shows the stored
    // floor and hands back the table clicked.
    void designAndChoose() {
        {
            TForm_Smetki form(test::context(fx_->session()), TForm_Smetki::Design, {});
            form.show();
            QVERIFY(test::control<QWidget>(form, "Panel_Design")->isVisible());
            auto* floor = test::control<FloorView>(form, "Floor");
            auto* rect = test::control<FloorShapeButton>(form, "Shape_Pravoagalnik");
            QTest::mouseClick(rect, Qt::LeftButton);
            QVERIFY(rect->isChosen());
            QCOMPARE(rect->toolTip(), QString("Кликнете за да откажете"));
            QTest::mouseClick(floor, Qt::LeftButton, {}, {100, 100});
            QTest::mouseClick(floor, Qt::LeftButton, {}, {300, 100});
            QTest::mouseClick(test::control<FloorShapeButton>(form, "Shape_Mqsto"), Qt::LeftButton);
            QVERIFY(!rect->isChosen());
            QTest::mouseClick(floor, Qt::LeftButton, {}, {300, 100});
            auto* tables = test::control<QComboBox>(form, "ComboBox_Masa");
            auto* places = test::control<QComboBox>(form, "ComboBox_Mqsto");
            QCOMPARE(tables->count(), 2);
            QCOMPARE(tables->currentText(), QString("2:Маса"));
            QCOMPARE(places->currentText(), QString("1:Място"));
            QTest::mouseClick(test::control<QPushButton>(form, "Button_Iztrii"), Qt::LeftButton);
            QCOMPARE(form.floor().objects().size(), 2);
            QCOMPARE(places->count(), 0);
            test::control<QComboBox>(form, "ComboBox_Shema")->setCurrentText("Стандарт");
            QTest::mouseClick(test::control<QPushButton>(form, "Button_Zapis"), Qt::LeftButton);
            QCOMPARE(msg_->messages, QStringList{"Схемата на масите е записана."});
        }
        fx_->session().state<FloorState>() = {}; // another workstation, or the next run
        TForm_Smetki form(test::context(fx_->session()), TForm_Smetki::ActiveBills, {2});
        form.show();
        QVERIFY(!test::control<QWidget>(form, "Panel_Design")->isVisible());
        QCOMPARE(form.floor().tables().size(), 2);
        QTest::mouseClick(test::control<FloorView>(form, "Floor"), Qt::LeftButton, {}, {300, 100});
        QTest::mouseClick(test::control<QPushButton>(form, "Button_Izberi"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.chosenTable(), 2);
    }
};

QTEST_MAIN(TablesAndBillsTest)
#include "test_tables_and_bills.moc"
