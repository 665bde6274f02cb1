// The warehouses window and the stock report, driven offscreen: opening
// them (and the other windows of the catalogue's stock part) from the main
// window, choosing the active warehouse (status line and Firm_Data.ini),
// adding, editing and deleting warehouses with their refusals, and the
// stock report per warehouse and in total, filtered and printed.

#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "catalogue/ui/form_cenovi_listi.h"
#include "catalogue/ui/form_nali4nosti_artikuli.h"
#include "catalogue/ui/form_sklad.h"
#include "catalogue/ui/form_valuti.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/form_print_vid_fail.h"
#include "common/ui/statement_model.h"
#include "shell/ui/status_widgets.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace torvika;

namespace {

QLineEdit* field(const QWidget& w, const char* name) {
    return test::control<QLineEdit>(w, name);
}
QPushButton* button(const QWidget& w, const char* name) {
    return test::control<QPushButton>(w, name);
}

int count(const QSqlDatabase& db, const QString& sql) {
    return scalarSql(db, sql).toInt();
}

// The grid's rows as "<ID> <quantity as shown>".
QStringList shownStock(const TForm_Nali4nosti_Artikuli& report) {
    QStringList out;
    const StatementModel* m = report.model();
    for (int row = 0; row < m->rowCount(); ++row)
        out << m->index(row, 0).data().toString() + u' ' + m->index(row, 2).data().toString();
    return out;
}

} // namespace

class WarehousesWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }
    Session& session() { return fx_->session(); }

    void chooseActive(int id, const QString& name) {
        session().setActiveWarehouse(id, QStringLiteral("%1:%2").arg(id).arg(name));
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad, Grad) VALUES (2, 'Магазин', 'Русе')");
        chooseActive(1, "Основен склад");
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        msg_.reset();
        fx_.reset();
    }

    // Every entry of the catalogue's stock part opens its window from the
    // main window.
    void entriesOpenTheirWindows_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("window");
        QTest::newRow("menu Складове") << "N_Sklad"
                                       << "Form_Sklad";
        QTest::newRow("tool button Складове") << "SpdBtn_Sklad"
                                              << "Form_Sklad";
        QTest::newRow("warehouse panel") << "Panel_Sklad"
                                         << "Form_Sklad";
        QTest::newRow("menu Валутни курсове") << "N_Valuti"
                                              << "Form_Valuti";
        QTest::newRow("currency ticker") << "Image_Show_Valuta_Kurs"
                                         << "Form_Valuti";
        QTest::newRow("menu Ценови групи") << "N6"
                                           << "Form_Cenovi_Listi";
        QTest::newRow("menu Наличност артикули") << "N_Spr_Nali4nosti_Art"
                                                 << "Form_Nali4nosti_Artikuli";
    }
    void entriesOpenTheirWindows() {
        QFETCH(QString, entry);
        QFETCH(QString, window);
        test::MainWindow main(session());
        QVERIFY(main.start());
        main.form.show();
        QString opened;
        test::ModalScript script;
        script.next([&](QWidget* dialog) {
            opened = dialog->objectName();
            dialog->close();
        });
        if (auto* b = main.form.findChild<QToolButton*>(entry))
            b->click();
        else if (auto* w = main.form.findChild<QWidget*>(entry); w && !entry.startsWith("N"))
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
        else
            test::control<QAction>(main.form, qPrintable(entry))->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(opened, window);
    }

    // "ИЗБЕРИ" from the window the status panel opens: the status line, the
    // session and Store/Active of Firm_Data.ini name the chosen warehouse.
    void chooseTheActiveWarehouse() {
        test::MainWindow main(session());
        QVERIFY(main.start());
        main.form.show();
        auto* panel = test::control<ClickablePanel>(main.form, "Panel_Sklad");
        QCOMPARE(panel->text(), "Склад: 1:Основен склад");
        QCOMPARE(panel->toolTip(), "Кликнете за промяна");
        test::ModalScript script;
        script.next<TForm_Sklad>([](TForm_Sklad* w) {
            // The active warehouse is current when the window opens.
            QCOMPARE(w->currentId(), 1);
            QVERIFY(w->positionOn(2));
            test::control<QPushButton>(*w, "Button_Izberi")->click();
        });
        QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(panel->text(), "Склад: 2:Магазин");
        QCOMPARE(session().activeWarehouse(), 2);
        QCOMPARE(fx_->settings().get(setting::kActiveWarehouse), 2);
        QVERIFY(test::Fixture::readFile(fx_->root() + "Firm_Data.ini").contains("Active=2"));
        QCOMPARE(msg_->shown, QStringList{});
    }

    // A new warehouse gets the next number unless another is typed; while
    // it is open only "Приеми" and "Откажи" act on it.
    void newWarehouse() {
        TForm_Sklad w(test::context(session()));
        QCOMPARE(w.windowTitle(), "Складове");
        QCOMPARE(w.model()->rowCount(), 2);
        QCOMPARE(w.model()->headerData(4, Qt::Horizontal).toString(), "МОЛ");
        test::control<QPushButton>(w, "Button_Nov")->click();
        QCOMPARE(w.state(), TForm_Sklad::Insert);
        QCOMPARE(button(w, "Button_Nov")->text(), "Приеми");
        QCOMPARE(button(w, "Button_Iztrii")->text(), "Откажи");
        QVERIFY(!button(w, "Button_Redaktirai")->isEnabled());
        QVERIFY(!button(w, "Button_Izberi")->isEnabled()); // only a stored row becomes active
        QCOMPARE(field(w, "Edit_ID_Sklad")->text(), "3");
        QVERIFY(!field(w, "Edit_ID_Sklad")->isReadOnly());
        QCOMPARE(w.focusWidget(), field(w, "Edit_Opis_Sklad"));
        test::typeText(field(w, "Edit_Opis_Sklad"), "Бус");
        field(w, "Edit_Grad")->setText("Варна");
        field(w, "Edit_Mol_Sklad")->setText("Иван Иванов");
        // Another workstation takes number 3 meanwhile: this one gets 4.
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (3, 'Друг')");
        test::control<QPushButton>(w, "Button_Nov")->click(); // "Приеми"
        QCOMPARE(w.state(), TForm_Sklad::Browse);
        QCOMPARE(w.currentId(), 4);
        QCOMPARE(scalarSql(db(), "SELECT Mol_Sklad FROM Sklad WHERE ID_Sklad = 4").toString(), "Иван Иванов");
        QCOMPARE(button(w, "Button_Nov")->text(), "Нов");
        QVERIFY(button(w, "Button_Izberi")->isEnabled());

        // A chosen free number; "Откажи" abandons, and so does closing.
        test::control<QPushButton>(w, "Button_Nov")->click();
        field(w, "Edit_ID_Sklad")->clear();
        test::typeText(field(w, "Edit_ID_Sklad"), "10");
        field(w, "Edit_Opis_Sklad")->setText("Склад 10");
        test::control<QPushButton>(w, "Button_Nov")->click(); // "Приеми"
        QCOMPARE(w.state(), RecordWindow::Browse);
        QCOMPARE(w.currentId(), 10);
        test::control<QPushButton>(w, "Button_Nov")->click();
        field(w, "Edit_Opis_Sklad")->setText("Изоставен");
        test::control<QPushButton>(w, "Button_Iztrii")->click(); // "Откажи"
        QCOMPARE(w.state(), TForm_Sklad::Browse);
        QCOMPARE(field(w, "Edit_Opis_Sklad")->text(), "Склад 10");
        test::control<QPushButton>(w, "Button_Nov")->click();
        field(w, "Edit_Opis_Sklad")->setText("Затворен");
        w.reject();
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Sklad"), 5);
        QCOMPARE(msg_->shown, QStringList{});
    }

    // Bad input: a clear message, the caret on the field, nothing written,
    // the typed values kept.
    void badInput_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("number in use") << "2"
                                       << "Бус" << texts::kWarehouseNumberTaken.arg(2) << "Edit_ID_Sklad";
        QTest::newRow("number not a number") << "1а"
                                             << "Бус" << texts::kWarehouseNumberInvalid << "Edit_ID_Sklad";
        QTest::newRow("number 0") << "0"
                                  << "Бус" << texts::kWarehouseNumberInvalid << "Edit_ID_Sklad";
        QTest::newRow("negative number") << "-5"
                                         << "Бус" << texts::kWarehouseNumberInvalid << "Edit_ID_Sklad";
        QTest::newRow("no name") << ""
                                 << "  " << texts::kWarehouseNameEmpty << "Edit_Opis_Sklad";
    }
    void badInput() {
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(QString, field);
        TForm_Sklad w(test::context(session()));
        test::control<QPushButton>(w, "Button_Nov")->click();
        if (!number.isEmpty()) {
            ::field(w, "Edit_ID_Sklad")->clear();
            test::typeText(::field(w, "Edit_ID_Sklad"), number);
        }
        ::field(w, "Edit_Opis_Sklad")->setText(name);
        test::control<QPushButton>(w, "Button_Nov")->click(); // "Приеми"
        QCOMPARE(msg_->shown, QStringList{message});
        QCOMPARE(w.focusWidget(), ::field(w, qPrintable(field)));
        QCOMPARE(w.state(), TForm_Sklad::Insert);
        QCOMPARE(::field(w, "Edit_Opis_Sklad")->text(), name);
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Sklad"), 2);
    }

    // An edit keeps the number (its field is read-only) and the status
    // line follows a new name of the active warehouse.
    void editTheActiveWarehouse() {
        TForm_Sklad w(test::context(session()));
        QVERIFY(w.positionOn(1));
        test::control<QPushButton>(w, "Button_Redaktirai")->click();
        QCOMPARE(w.state(), TForm_Sklad::Edit);
        QVERIFY(field(w, "Edit_ID_Sklad")->isReadOnly());
        QVERIFY(!button(w, "Button_Izberi")->isEnabled());
        field(w, "Edit_Opis_Sklad")->setText("Централен склад");
        test::control<QPushButton>(w, "Button_Nov")->click(); // "Приеми"
        QCOMPARE(scalarSql(db(), "SELECT Opis_Sklad FROM Sklad WHERE ID_Sklad = 1").toString(),
                 "Централен склад");
        QCOMPARE(session().activeWarehouseText(), "1:Централен склад");
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Sklad"), 2);

        // Renamed elsewhere after the list was read: "ИЗБЕРИ" takes the name as stored.
        execSql(db(), "UPDATE Sklad SET Opis_Sklad = 'Магазин Русе' WHERE ID_Sklad = 2");
        QVERIFY(w.positionOn(2));
        test::control<QPushButton>(w, "Button_Izberi")->click();
        QCOMPARE(session().activeWarehouseText(), "2:Магазин Русе");
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }

    // "Изтрии" says why a warehouse stays; a warehouse deleted elsewhere is
    // not chosen and the ini file is not touched.
    void deleteAndVanished() {
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (3, 'Празен')");
        GET_NALI4NOST(db(), 9, 2, kAddStock, 4);
        TForm_Sklad w(test::context(session()));
        QVERIFY(w.positionOn(1));
        test::control<QPushButton>(w, "Button_Iztrii")->click();
        QVERIFY(w.positionOn(2));
        test::control<QPushButton>(w, "Button_Iztrii")->click();
        QCOMPARE(msg_->shown, QStringList({texts::kWarehouseIsActive.arg("Основен склад"),
                                           texts::kWarehouseHasStock.arg("Магазин")}));
        QCOMPARE(w.currentId(), 2);
        msg_->clear();
        QVERIFY(w.positionOn(3));
        test::control<QPushButton>(w, "Button_Iztrii")->click();
        QCOMPARE(msg_->shown, QStringList{});
        QCOMPARE(w.model()->rowCount(), 2);
        QCOMPARE(w.currentId(), 2); // the row before the deleted last one

        execSql(db(), "DELETE FROM Store_Kol");
        execSql(db(), "DELETE FROM Sklad WHERE ID_Sklad = 2");
        const int stored = fx_->settings().get(setting::kActiveWarehouse);
        test::control<QPushButton>(w, "Button_Izberi")->click();
        QCOMPARE(msg_->shown, QStringList{texts::kWarehouseGone.arg(2)});
        QCOMPARE(session().activeWarehouse(), 1);
        QCOMPARE(fx_->settings().get(setting::kActiveWarehouse), stored);
        QCOMPARE(w.model()->rowCount(), 1);
    }

    // The stock report: totals over the warehouses, one warehouse's stock,
    // one group, one article; what never moved is absent.
    void stockReport() {
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Напитки'), (2, 'Храни')");
        execSql(db(),
                "INSERT INTO Produkti (ID, Nomer_Grupa, Opisanie, Mqrka) VALUES "
                "(1, 1, 'Вода', 'бр.'), (2, 1, 'Сок', 'л.'), (3, 2, 'Хляб', 'бр.'), (4, 2, 'Мляко', 'л.')");
        GET_NALI4NOST(db(), 1, 1, kAddStock, 10);
        GET_NALI4NOST(db(), 1, 2, kAddStock, Decimal("2.5"));
        GET_NALI4NOST(db(), 2, 2, kSetStock, 4);
        GET_NALI4NOST(db(), 3, 1, kAddStock, -3);
        chooseActive(2, "Магазин");
        TForm_Nali4nosti_Artikuli report(test::context(session()));
        QCOMPARE(report.windowTitle(), "Справка наличности артикули");
        QCOMPARE(report.model()->headerData(2, Qt::Horizontal).toString(), "Нал. кол.");
        QVERIFY(!field(report, "Edit_Artikul")->isEnabled());
        QCOMPARE(field(report, "Edit_Artikul")->text(), "0");
        QCOMPARE(test::control<QLabel>(report, "Label_Artikul")->text(), "0:Няма избран артикул");

        test::control<QAbstractButton>(report, "Button_Tarsi")->click();
        QCOMPARE(shownStock(report), QStringList({"1 12.50", "2 4.00", "3 -3.00"}));

        auto* sklad = test::control<QCheckBox>(report, "CheckBox_Sklad");
        sklad->click();
        auto* warehouses = test::control<QComboBox>(report, "ComboBox_Sklad");
        QVERIFY(warehouses->isEnabled());
        QCOMPARE(warehouses->count(), 2);
        QCOMPARE(warehouses->currentText(), "2:Магазин"); // the active warehouse
        test::control<QAbstractButton>(report, "Button_Tarsi")->click();
        QCOMPARE(shownStock(report), QStringList({"1 2.50", "2 4.00"}));
        warehouses->setCurrentIndex(0);
        test::control<QAbstractButton>(report, "Button_Tarsi")->click();
        QCOMPARE(shownStock(report), QStringList({"1 10.00", "3 -3.00"}));

        sklad->click();
        auto* grupa = test::control<QCheckBox>(report, "CheckBox_Grupa");
        grupa->click();
        auto* groups = test::control<QComboBox>(report, "ComboBox_Grupa");
        QCOMPARE(groups->count(), 2);
        groups->setCurrentIndex(1);
        test::control<QAbstractButton>(report, "Button_Tarsi")->click();
        QCOMPARE(shownStock(report), QStringList({"3 -3.00"}));
        grupa->click();

        test::control<QCheckBox>(report, "CheckBox_Artikul")->click();
        QVERIFY(field(report, "Edit_Artikul")->isEnabled());
        QCOMPARE(field(report, "Edit_Artikul")->selectedText(), "0");
        field(report, "Edit_Artikul")->setText("2");
        QCOMPARE(test::control<QLabel>(report, "Label_Artikul")->text(), "2:Сок");
        test::control<QAbstractButton>(report, "Button_Tarsi")->click();
        QCOMPARE(shownStock(report), QStringList({"2 4.00"}));
        field(report, "Edit_Artikul")->setText("4"); // never moved
        test::control<QAbstractButton>(report, "Button_Tarsi")->click();
        QCOMPARE(shownStock(report), QStringList{});
        field(report, "Edit_Artikul")->setText("абв");
        QCOMPARE(test::control<QLabel>(report, "Label_Artikul")->text(), "0:Няма избран артикул");
        test::control<QAbstractButton>(report, "Button_Tarsi")->click();
        QCOMPARE(shownStock(report), QStringList{});
        QCOMPARE(msg_->shown, QStringList{});
    }

    // "ПЕЧАТ" writes the report shown with the conditions it was made with.
    void printStockReport() {
        execSql(db(), "INSERT INTO Produkti (ID, Nomer_Grupa, Opisanie, Mqrka) VALUES (1, 1, 'Вода', 'бр.')");
        GET_NALI4NOST(db(), 1, 2, kAddStock, 7);
        session().clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); };
        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        TForm_Nali4nosti_Artikuli report(test::context(session()));
        test::control<QAbstractButton>(report, "Button_Pe4at")->click();
        QCOMPARE(opened, QStringList());
        QCOMPARE(msg_->shown, QStringList{"Няма данни за печат"});

        test::control<QCheckBox>(report, "CheckBox_Sklad")->click();
        test::control<QComboBox>(report, "ComboBox_Sklad")->setCurrentIndex(1);
        test::control<QAbstractButton>(report, "Button_Tarsi")->click();
        test::control<QCheckBox>(report, "CheckBox_Sklad")->click(); // after the search: not in the heading
        test::ModalScript script;
        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
            test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
        });
        test::control<QAbstractButton>(report, "Button_Pe4at")->click();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        setFileOpener(previous);
        QCOMPARE(opened.size(), 1);
        const QString file = opened.value(0);
        QVERIFY(file.endsWith("TEMP/Spr_Nali4nosti.txt"));
        const QString text = QString::fromUtf8(test::Fixture::readFile(file)).remove(QChar(0xFEFF));
        QVERIFY2(text.startsWith("\r\n\tСправка наличности артикули\r\n\tСклад: 2:Магазин\r\n\r\n"
                                 "\tДата:05.03.2024 14:07:09\r\n"),
                 qPrintable(text));
        QVERIFY2(text.contains("Вода") && text.contains("7.00"), qPrintable(text));
    }
};

QTEST_MAIN(WarehousesWindowTest)
#include "test_warehouses_window.moc"
