// The orders to suppliers, driven offscreen: the list opened from the menu
// with every line, choosing the search column and the comparison, the
// search and its refusal, the title sort, deleting marked lines (asked
// first, also with Delete), the list's print and the order document byte
// for byte; and the order dialog: choosing the requester, the supplier and
// the article through the pickers with the supplier's number proposed, free
// texts, an empty line, refused numbers, changing and removing working
// lines, saving them with the date shown, and a failed save that keeps them.

#include "catalogue/orders.h"
#include "catalogue/ui/form_add_red_zaqvka.h"
#include "catalogue/ui/form_artikuli.h"
#include "catalogue/ui/form_zaqvka_all.h"
#include "common/grid_export.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/form_print_vid_fail.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_kontrakents.h"
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
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace torvika;

namespace {

const QString kAskDelete = QStringLiteral("Найстина ли желаете да изтриете избраните елементи от Поръчките?");
const QDateTime kNow(QDate(2024, 3, 8), QTime(14, 7, 9));

template <typename T = QLineEdit> T* control(const QWidget& w, const char* name) {
    return test::control<T>(w, name);
}

QString labelText(const QWidget& w, const char* name) {
    return control<QLabel>(w, name)->text();
}

QList<qint64> listed(const StatementModel* m) {
    QList<qint64> out;
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->value(r, QStringLiteral("ID")).toLongLong();
    return out;
}

// A grid row as its cells show it, joined by "|".
QString shownRow(const StatementModel* m, int row) {
    QStringList cells;
    for (int c = 0; c < m->columnCount(); ++c)
        cells << m->index(row, c).data().toString();
    return cells.join(u'|');
}

QStringList shownRows(const StatementModel* m) {
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r)
        out << shownRow(m, r);
    return out;
}

void clickCell(QTableView* grid, int row, int column, Qt::KeyboardModifiers modifiers = {}) {
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cell.center());
}

void clickLabel(const QWidget& w, const char* name) {
    QTest::mouseClick(control<QLabel>(w, name), Qt::LeftButton);
}

} // namespace

class OrdersWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }

    QStringList stored() {
        QSqlQuery q = execSql(db(), "SELECT ID, Data, Art_ID, Kat_N, Opisanie, Kol, Dost_Cena, Valuta, "
                                    "Klient_Ime, Dost_Ime FROM Zaqvki_All ORDER BY ID");
        QStringList out;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < 10; ++i)
                cells << q.value(i).toString();
            out << cells.join(u'|');
        }
        return out;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->session().clock = [] { return kNow; };
        TForm_Add_Red_Zaqvka::addFollowUps(test::host(fx_->session()).followUps());
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (3, 'Напитки')");
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Dostav4ik) VALUES "
                      "(12, 'Чай', 3, 4.5, 'Лева', 5), (13, 'Кафе', 3, 6, 'Лева', 0), (14, 'Хляб', 99, 1, "
                      "'Лева', 0)");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa) VALUES "
                      "(5, 'Метро ООД', 5, 0), (6, 'Булмаг', 6, 0), (7, 'Иван Петров', 7, 0)");
        execSql(db(), "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES "
                      "(12, 'MT-12', 5), (12, 'BG-7', 6)");
        execSql(db(),
                "INSERT INTO Zaqvki_All (Data, Art_ID, Kat_N, Opisanie, Kol, Dost_Cena, Valuta, Klient_Ime, "
                "Dost_Ime) VALUES "
                "('2024-03-01', 12, 'MT-12', '12:Чай', 5, 4.5, 'Лева', '7:Иван Петров', '5:Метро ООД'), "
                "('2024-03-02', 0, '', 'Чаши за кафе', 10, 1.2, 'EUR', 'Магазин', '6:Булмаг'), "
                "('2024-03-05', 14, '', '14:Хляб', 2.5, 1.1, 'Лева', '0:Няма избран Заявител', "
                "'5:Метро ООД'), "
                "('2024-03-07', 13, 'K-13', '13:Кафе', 6, 6, 'Лева', '7:Иван Петров', '5:Метро ООД')");
    }
    void cleanup() {
        const int unexpected = msg_->unexpected;
        msg_.reset();
        fx_.reset();
        QCOMPARE(unexpected, 0);
    }

    // "Поръчки..." opens the list with every line and its group, searching
    // by "Описание".
    void openedFromTheMenu() {
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        QAction* command = main.form.command(Command::N_Zaqvki_All);
        QVERIFY(command->isEnabled());
        QCOMPARE(command->text(), "Поръчки...");
        test::ModalScript script;
        script.next<TForm_Zaqvka_all>([](TForm_Zaqvka_all* w) {
            QCOMPARE(w->windowTitle(), "Списък артикули за заявка");
            QStringList titles;
            for (int c = 0; c < w->model()->columnCount(); ++c)
                titles << w->model()->headerData(c, Qt::Horizontal).toString();
            QCOMPARE(titles, (QStringList{"Дата", "Арт. N", "Кат. N", "Описание", "Кол.", "Дост.цена",
                                          "Валута", "Заявител", "Доставчик", "Група"}));
            QCOMPARE(
                shownRows(w->model()),
                (QStringList{"01.03.2024|12|MT-12|12:Чай|5.00|4.50|Лева|7:Иван Петров|5:Метро ООД|Напитки",
                             "02.03.2024|0||Чаши за кафе|10.00|1.20|EUR|Магазин|6:Булмаг|",
                             "05.03.2024|14||14:Хляб|2.50|1.10|Лева|0:Няма избран Заявител|5:Метро ООД|",
                             "07.03.2024|13|K-13|13:Кафе|6.00|6.00|Лева|7:Иван Петров|5:Метро ООД|Напитки"}));
            QCOMPARE(labelText(*w, "Label_Tarsene_Po"), "Търсене по: Описание");
            QCOMPARE(w->focusWidget(), control(*w, "Edit_ot"));
            QVERIFY(control<QPushButton>(*w, "Button_Tarsene")->isDefault());
            w->reject();
        });
        main.form.runCommand(Command::N_Zaqvki_All);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }

    // A click on a cell chooses the search column: the label, the red
    // title, and the fields of its kind; "между" shows the second field.
    void choosingTheSearchColumn() {
        TForm_Zaqvka_all w(test::context(fx_->session()));
        w.show();
        QTableView* grid = w.grid();
        auto* comparison = control<QComboBox>(w, "ComboBox_Uslovie");
        const auto visible = [&w](const char* name) { return control<QWidget>(w, name)->isVisible(); };
        const auto redTitles = [&w] {
            QList<int> red;
            for (int c = 0; c < w.model()->columnCount(); ++c)
                if (w.model()->headerData(c, Qt::Horizontal, Qt::ForegroundRole).isValid())
                    red << c;
            return red;
        };
        QCOMPARE(redTitles(), QList<int>{3});
        QVERIFY(!comparison->isEnabled());
        QVERIFY(visible("Edit_ot"));
        QVERIFY(!visible("DateTimePicker_Ot") && !visible("DateTimePicker_Do") && !visible("Edit_Do"));

        clickCell(grid, 1, 0); // "Дата"
        QCOMPARE(labelText(w, "Label_Tarsene_Po"), "Търсене по: Дата");
        QCOMPARE(redTitles(), QList<int>{0});
        QVERIFY(comparison->isEnabled());
        QCOMPARE(comparison->currentText(), "равно");
        QVERIFY(visible("DateTimePicker_Ot"));
        QCOMPARE(control<QDateEdit>(w, "DateTimePicker_Ot")->date(), kNow.date());
        QVERIFY(!visible("Edit_ot") && !visible("Label_Ot") && !visible("DateTimePicker_Do"));
        comparison->setCurrentIndex(3); // "между"
        QVERIFY(visible("Label_Ot") && visible("Label_Do") && visible("DateTimePicker_Do"));
        QVERIFY(!visible("Edit_Do"));

        clickCell(grid, 1, 4); // "Кол."
        QCOMPARE(labelText(w, "Label_Tarsene_Po"), "Търсене по: Кол.");
        QCOMPARE(comparison->currentText(), "равно");
        QVERIFY(visible("Edit_ot") && !visible("DateTimePicker_Ot") && !visible("Edit_Do"));
        comparison->setCurrentIndex(3);
        QVERIFY(visible("Edit_Do") && visible("Label_Do") && !visible("DateTimePicker_Do"));
        comparison->setCurrentIndex(1); // "по - малко"
        QVERIFY(!visible("Edit_Do") && !visible("Label_Ot"));

        clickCell(grid, 1, 9); // "Група"
        QCOMPARE(labelText(w, "Label_Tarsene_Po"), "Търсене по: Група");
        QCOMPARE(comparison->currentText(), "равно");
        QVERIFY(!comparison->isEnabled());
        QVERIFY(visible("Edit_ot") && !visible("Edit_Do"));
    }

    void search_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("comparison");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QList<qint64>>("found");
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        const QStringList refused{"Некоректни данни за търсене"};
        QTest::newRow("quantity at most 5 finds 5") << 4 << 1 << "5" << QList<qint64>{3, 1} << none;
        QTest::newRow("group name") << 9 << 0 << "НАПИТ" << QList<qint64>{1, 4} << none;
        QTest::newRow("supplier") << 8 << 0 << "булм" << QList<qint64>{2} << none;
        QTest::newRow("not a number: every line") << 5 << 0 << "пет" << QList<qint64>{1, 2, 3, 4} << refused;
    }
    void search() {
        QFETCH(int, column);
        QFETCH(int, comparison);
        QFETCH(QString, value);
        QFETCH(QList<qint64>, found);
        QFETCH(QStringList, messages);
        TForm_Zaqvka_all w(test::context(fx_->session()));
        w.show();
        clickCell(w.grid(), 0, column);
        control<QComboBox>(w, "ComboBox_Uslovie")->setCurrentIndex(comparison);
        control(w, "Edit_ot")->setText(value);
        QTest::keyClick(control(w, "Edit_ot"), Qt::Key_Return); // "Търсене" is the default button
        QCOMPARE(listed(w.model()), found);
        QCOMPARE(msg_->shown, messages);
        // The group column stays.
        const int first = w.model()->findRow("ID", found.front());
        QCOMPARE(w.model()->value(first, "Grupa").toString(), found.front() == 1 ? "Напитки" : "");
    }

    void searchByDate() {
        TForm_Zaqvka_all w(test::context(fx_->session()));
        w.show();
        clickCell(w.grid(), 0, 0);
        control<QComboBox>(w, "ComboBox_Uslovie")->setCurrentIndex(3);
        control<QDateEdit>(w, "DateTimePicker_Ot")->setDate(QDate(2024, 3, 2));
        control<QDateEdit>(w, "DateTimePicker_Do")->setDate(QDate(2024, 3, 5));
        control<QPushButton>(w, "Button_Tarsene")->click();
        QCOMPARE(listed(w.model()), (QList<qint64>{2, 3}));
    }

    // A title click sorts by its column, the next one the other way round.
    void titleSort() {
        TForm_Zaqvka_all w(test::context(fx_->session()));
        w.show();
        test::clickTitle(w.grid(), 4);
        QCOMPARE(listed(w.model()), (QList<qint64>{3, 1, 4, 2}));
        test::clickTitle(w.grid(), 4);
        QCOMPARE(listed(w.model()), (QList<qint64>{2, 4, 1, 3}));
        QCOMPARE(labelText(w, "Label_Tarsene_Po"), "Търсене по: Описание"); // a title click is no cell click
    }

    // Shift-click marks a range; "Изтрии" (or Delete) asks, and Yes deletes
    // the marked lines; the list then shows every line left, with its group.
    void deleteMarked_data() {
        QTest::addColumn<bool>("deleteKey");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QList<qint64>>("left");
        QTest::newRow("yes") << false << true << QList<qint64>{1};
        QTest::newRow("the Delete key") << true << true << QList<qint64>{1};
        QTest::newRow("no") << false << false << QList<qint64>{1, 2, 3, 4};
    }
    void deleteMarked() {
        QFETCH(bool, deleteKey);
        QFETCH(bool, yes);
        QFETCH(QList<qint64>, left);
        TForm_Zaqvka_all w(test::context(fx_->session()));
        w.show();
        clickCell(w.grid(), 1, 3);
        clickCell(w.grid(), 3, 3, Qt::ShiftModifier);
        QCOMPARE(w.markedLines(), (QList<qint64>{2, 3, 4}));
        yes ? msg_->answerYes() : msg_->answerNo();
        if (deleteKey)
            QTest::keyClick(w.grid(), Qt::Key_Delete);
        else
            control<QPushButton>(w, "Button_Iztrii")->click();
        QCOMPARE(msg_->questions, QStringList{kAskDelete});
        QCOMPARE(listed(w.model()), left);
        QCOMPARE(stored().size(), left.size());
        QCOMPARE(w.model()->value(0, "Grupa").toString(), "Напитки");
    }

    void print() {
        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        TForm_Zaqvka_all w(test::context(fx_->session()));
        w.show();
        QHeaderView* header = w.grid()->horizontalHeader();
        header->setStretchLastSection(false);
        const int widths[] = {50, 25, 30, 60, 30, 35, 30, 50, 50, 40};
        for (int i = 0; i < 10; ++i)
            header->resizeSection(i, widths[i]);
        test::ModalScript script;
        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
            test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
        });
        test::click(w, "Button_Pe4at");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(opened.size(), 1);
        const QString written = opened.value(0);
        QVERIFY(written.endsWith("/TEMP/Zaqvka.txt"));
        const QByteArray expected =
            "\xEF\xBB\xBF\r\n\tЗАЯВКА КЪМ ДОСТАВЧИК \r\n\r\n\tДата:08.03.2024 14:07:09\r\n"
            "\r\n|Дата      |Арт. |Кат. N|Описание    |Кол.  |Дост.це|Валута|Заявител  |Доставчик |Група   "
            "\r\n\r\n"
            "|01.03.2024|12   |MT-12 |12:Чай      |5.00  |4.50   |Лева  |7:Иван Пет|5:Метро ОО|Напитки \r\n"
            "|02.03.2024|0    |      |Чаши за кафе|10.00 |1.20   |EUR   |Магазин   |6:Булмаг  |        \r\n"
            "|05.03.2024|14   |      |14:Хляб     |2.50  |1.10   |Лева  |0:Няма изб|5:Метро ОО|        \r\n"
            "|07.03.2024|13   |K-13  |13:Кафе     |6.00  |6.00   |Лева  |7:Иван Пет|5:Метро ОО|Напитки \r\n"
            "\r\n\r\n\r\n" +
            footerLine().toUtf8() + "\r\n";
        QCOMPARE(QString::fromUtf8(test::Fixture::readFile(written)), QString::fromUtf8(expected));

        // Shown again over no lines: nothing to print.
        execSql(db(), "DELETE FROM Zaqvki_All");
        w.hide();
        w.show();
        opened.clear();
        test::click(w, "Button_Pe4at");
        setFileOpener(previous);
        QCOMPARE(opened, QStringList());
        QCOMPARE(msg_->shown, QStringList{"Няма данни за печат"});
    }

    // "Изготви заявка": the marked lines (all shown, when none is marked)
    // as an order to each supplier with its totals.
    void supplierDocument_data() {
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QByteArray>("file");
        const QByteArray heading = "\r\n\tЗАЯВКА КЪМ ДОСТАВЧИК \r\n\r\n\tДата:08.03.2024 14:07:09\r\n";
        const QByteArray titles = "\r\n|N   |Арт. N |Кат. N      |Описание                      |Кол.      "
                                  "|Дост.цена |Валута |Сума        |Заявител              \r\n\r\n";
        const QByteArray metro = heading + "\tДоставчик: 5:Метро ООД\r\n" + titles +
                                 "|1   |12     |MT-12       |12:Чай                        |5.00      |4.50  "
                                 "    |Лева   |22.50       "
                                 "|7:Иван Петров         \r\n"
                                 "|2   |14     |            |14:Хляб                       |2.50      |1.10  "
                                 "    |Лева   |2.75        "
                                 "|0:Няма избран Заявител\r\n"
                                 "|3   |13     |K-13        |13:Кафе                       |6.00      |6.00  "
                                 "    |Лева   |36.00       "
                                 "|7:Иван Петров         \r\n"
                                 "\r\n\tОбщо: 61.25 Лева\r\n";
        const QByteArray bulmag = heading + "\tДоставчик: 6:Булмаг\r\n" + titles +
                                  "|1   |0      |            |Чаши за кафе                  |10.00     |1.20 "
                                  "     |EUR    |12.00       "
                                  "|Магазин               \r\n"
                                  "\r\n\tОбщо: 12.00 EUR\r\n";
        const QByteArray footer = "\r\n\r\n" + footerLine().toUtf8() + "\r\n";
        QTest::newRow("every line shown") << false << "\xEF\xBB\xBF" + metro + bulmag + footer;
        QTest::newRow("the marked lines") << true << "\xEF\xBB\xBF" + bulmag + footer;
    }
    void supplierDocument() {
        QFETCH(bool, marked);
        QFETCH(QByteArray, file);
        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        TForm_Zaqvka_all w(test::context(fx_->session()));
        w.show();
        if (marked)
            clickCell(w.grid(), 1, 3);
        else
            w.grid()->clearSelection();
        test::ModalScript script;
        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
            test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
        });
        test::click(w, "Button_Izgotvi_Zaqvka");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        setFileOpener(previous);
        QCOMPARE(opened.size(), 1);
        const QString written = opened.value(0);
        QVERIFY(written.endsWith("/TEMP/Zaqvka_Dostav4ik.txt"));
        QCOMPARE(QString::fromUtf8(test::Fixture::readFile(written)), QString::fromUtf8(file));
        QCOMPARE(msg_->shown, QStringList{});
    }

    void nothingForAnOrder() {
        execSql(db(), "DELETE FROM Zaqvki_All");
        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        TForm_Zaqvka_all w(test::context(fx_->session()));
        w.show();
        test::click(w, "Button_Izgotvi_Zaqvka");
        setFileOpener(previous);
        QCOMPARE(opened, QStringList());
        QCOMPARE(msg_->shown, QStringList{"Няма данни за печат"});
    }

    // The dialog's main path: the requester, supplier and article through
    // the pickers, the supplier's number proposed for the supplier chosen,
    // a free-text line, and "Запис" with the date showing then.
    void addLines() {
        TForm_Add_Red_Zaqvka d(test::context(fx_->session()));
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(d.windowTitle(), "Нова поръчка");
        QCOMPARE(labelText(d, "Label_Zaqvitel_Name"), "0:Няма избран Заявител");
        QCOMPARE(labelText(d, "Label_Dostav4ik_Name"), "0:Няма избран Доставчик");
        QCOMPARE(labelText(d, "Label_Artikul_Name"), "0:Няма избран артикул");
        QCOMPARE(control(d, "Edit_Kol")->text(), "1.0000");
        QCOMPARE(control(d, "Edit_Dost_Cena")->text(), "0.0000");
        QCOMPARE(control<QComboBox>(d, "ComboBox_Valuta")->currentText(), "Лева");
        QCOMPARE(control<QDateEdit>(d, "DateTimePicker_Data")->date(), kNow.date());
        QVERIFY(!control<QPushButton>(d, "Button_Redaktirai")->isEnabled());
        QVERIFY(!control<QPushButton>(d, "Button_Zapis")->isEnabled());
        QVERIFY(!control(d, "Edit_Zaqvitel")->isVisible());

        test::ModalScript script;
        script.next<TForm_Artikuli>([](TForm_Artikuli* catalogue) {
            QCOMPARE(catalogue->mode(), int(kSelectOrderArticle));
            QVERIFY(catalogue->positionOn(12));
            test::control<QAbstractButton>(*catalogue, "BitBtn_Izberi")->click();
        });
        clickLabel(d, "Label_Artikul");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(labelText(d, "Label_Artikul_Name"), "12:Чай");
        QCOMPARE(control(d, "Edit_Kat_N")->text(), "MT-12"); // of its last supplier

        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QCOMPARE(list->mode(), int(kSelectOrderSupplier));
            QVERIFY(list->positionOn(6));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        clickLabel(d, "Label_Dostav4ik");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(labelText(d, "Label_Dostav4ik_Name"), "6:Булмаг");
        QCOMPARE(control(d, "Edit_Kat_N")->text(), "BG-7"); // of the supplier chosen

        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QCOMPARE(list->mode(), int(kSelectOrderRequester));
            QVERIFY(list->positionOn(7));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        clickLabel(d, "Label_Zaqvitel");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(labelText(d, "Label_Zaqvitel_Name"), "7:Иван Петров");

        control(d, "Edit_Kol")->setText("2,5");
        control(d, "Edit_Dost_Cena")->setText("3.1");
        control<QComboBox>(d, "ComboBox_Valuta")->setCurrentText("EUR");
        control<QDateEdit>(d, "DateTimePicker_Data")->setDate(QDate(2024, 3, 6));
        QTest::keyClick(control(d, "Edit_Dost_Cena"), Qt::Key_Return); // "Добави" is the default button
        // Everything but the currency starts again.
        QCOMPARE(labelText(d, "Label_Zaqvitel_Name"), "0:Няма избран Заявител");
        QCOMPARE(labelText(d, "Label_Artikul_Name"), "0:Няма избран артикул");
        QCOMPARE(control(d, "Edit_Kat_N")->text(), "");
        QCOMPARE(control(d, "Edit_Kol")->text(), "1.0000");
        QCOMPARE(control<QDateEdit>(d, "DateTimePicker_Data")->date(), kNow.date());
        QVERIFY(control<QPushButton>(d, "Button_Redaktirai")->isEnabled());
        QVERIFY(control<QPushButton>(d, "Button_Zapis")->isEnabled());

        // A free-text article, requester and supplier; a number typed for it.
        d.activateWindow(); // the pickers have been over it
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto* freeArticle = control<QCheckBox>(d, "CheckBox_Artikul");
        freeArticle->click();
        QVERIFY(!control<QLabel>(d, "Label_Artikul_Name")->isEnabled());
        QVERIFY(!control<QLabel>(d, "Label_Artikul")->isEnabled());
        QCOMPARE(QApplication::focusWidget(), control(d, "Edit_Artikul"));
        test::typeText(control(d, "Edit_Artikul"), "Салфетки");
        control<QCheckBox>(d, "CheckBox_Zaqvitel")->click();
        control(d, "Edit_Zaqvitel")->setText("Магазин 2");
        control<QCheckBox>(d, "CheckBox_Dostav4ik")->click();
        control(d, "Edit_Dostav4ik")->setText("Пазар");
        control(d, "Edit_Kat_N")->setText("S-1");
        control<QComboBox>(d, "ComboBox_Valuta")->setCurrentText("Лева");
        control<QDateEdit>(d, "DateTimePicker_Data")->setDate(QDate(2024, 3, 7));
        control<QPushButton>(d, "Button_Dobavi")->click();
        QVERIFY(!control(d, "Edit_Artikul")->isVisible());
        QVERIFY(control<QLabel>(d, "Label_Artikul_Name")->isEnabled());
        QCOMPARE(shownRows(d.lines()),
                 (QStringList{"1|12|BG-7|12:Чай|2.50|3.10|EUR", "2|0|S-1|Салфетки|1.00|0.00|Лева"}));
        QCOMPARE(stored().size(), 4); // nothing stored yet

        control<QDateEdit>(d, "DateTimePicker_Data")->setDate(QDate(2024, 3, 9));
        control<QPushButton>(d, "Button_Zapis")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.saved(), (QList<qint64>{5, 6}));
        QCOMPARE(stored().mid(4),
                 (QStringList{"5|2024-03-09|12|BG-7|12:Чай|2.5|3.1|EUR|7:Иван Петров|6:Булмаг",
                              "6|2024-03-09|0|S-1|Салфетки|1|0|Лева|Магазин 2|Пазар"}));
        QCOMPARE(msg_->shown, QStringList{});
    }

    // Nothing chosen: the line names no article, requester or supplier.
    void emptyLine() {
        TForm_Add_Red_Zaqvka d(test::context(fx_->session()));
        d.show();
        control<QPushButton>(d, "Button_Dobavi")->click();
        const std::optional<OrderLine> l = d.copy().line(1);
        QVERIFY(l);
        QCOMPARE(l->article, 0);
        QCOMPARE(l->description, "0:Няма избран артикул");
        QCOMPARE(l->requester, "0:Няма избран Заявител");
        QCOMPARE(l->supplier, "0:Няма избран Доставчик");
        QCOMPARE(l->supplierNumber, "");
        QCOMPARE(l->quantity, Decimal(1));
        QCOMPARE(l->price, Decimal(0));
        QCOMPARE(l->currency, "Лева");
    }

    // A quantity or price that is no number (or below 0) is refused with a
    // message, the caret on the field and every field as typed; on "Добави"
    // and on "Приеми" alike.
    void refusedNumbers_data() {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString badQuantity = "Количеството трябва да е число, по-голямо от 0!";
        const QString badPrice = "Доставната цена трябва да е число, не по-малко от 0!";
        QTest::newRow("quantity no number") << false << "пет"
                                            << "1" << badQuantity << "Edit_Kol";
        QTest::newRow("quantity empty") << false << ""
                                        << "1" << badQuantity << "Edit_Kol";
        QTest::newRow("quantity 0") << false << "0,000"
                                    << "1" << badQuantity << "Edit_Kol";
        QTest::newRow("price no number") << false << "2"
                                         << "1.2.3" << badPrice << "Edit_Dost_Cena";
        QTest::newRow("price below 0") << false << "2"
                                       << "-1" << badPrice << "Edit_Dost_Cena";
        QTest::newRow("accepting: quantity") << true << "две"
                                             << "1" << badQuantity << "Edit_Kol";
        QTest::newRow("accepting: price") << true << "2"
                                          << "x" << badPrice << "Edit_Dost_Cena";
    }
    void refusedNumbers() {
        QFETCH(bool, editing);
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TForm_Add_Red_Zaqvka d(test::context(fx_->session()));
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        if (editing) {
            control<QPushButton>(d, "Button_Dobavi")->click();
            control<QPushButton>(d, "Button_Redaktirai")->click();
        }
        control<QCheckBox>(d, "CheckBox_Artikul")->click();
        control(d, "Edit_Artikul")->setText("Салфетки");
        control(d, "Edit_Kol")->setText(quantity);
        control(d, "Edit_Dost_Cena")->setText(price);
        control<QPushButton>(d, "Button_Dobavi")->click();
        QCOMPARE(msg_->shown, QStringList{message});
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(control(d, "Edit_Artikul")->text(), "Салфетки");
        QCOMPARE(control(d, "Edit_Kol")->text(), quantity);
        QCOMPARE(control(d, "Edit_Dost_Cena")->text(), price);
        QCOMPARE(d.editedLine().has_value(), editing);
        QCOMPARE(d.copy().count(), editing ? 1 : 0);
        if (editing)
            QCOMPARE(d.copy().line(1)->description, "0:Няма избран артикул");
    }

    // "Редактирай" loads the current line: a line without a catalogue
    // article is free text, also one whose text begins with a number and
    // ":"; the line keeps its currency; "Приеми" changes the line opened.
    void changeLines() {
        TForm_Add_Red_Zaqvka d(test::context(fx_->session()));
        d.show();
        OrderLine typed;
        typed.date = QDate(2024, 3, 1);
        typed.description = "12: кутии";
        typed.quantity = Decimal("2.5");
        typed.price = Decimal("1.2345");
        typed.currency = "USD";
        typed.requester = "Магазин";
        typed.supplier = "5:Метро ООД";
        typed.supplierNumber = "K-1";
        d.copy().add(typed);
        OrderLine plain = typed;
        plain.description = "Чаши";
        d.copy().add(plain);
        control<QPushButton>(d, "Button_Dobavi")->click(); // reads the working lines again
        QCOMPARE(d.lines()->rowCount(), 3);

        d.grid()->setCurrentIndex(d.lines()->index(0, 0));
        control<QPushButton>(d, "Button_Redaktirai")->click();
        QCOMPARE(control<QPushButton>(d, "Button_Dobavi")->text(), "Приеми");
        QCOMPARE(control<QPushButton>(d, "Button_Iztrii")->text(), "Откажи");
        QVERIFY(!control<QPushButton>(d, "Button_Redaktirai")->isEnabled());
        QVERIFY(!control<QPushButton>(d, "Button_Zapis")->isEnabled());
        QVERIFY(control<QCheckBox>(d, "CheckBox_Artikul")->isChecked());
        QCOMPARE(control(d, "Edit_Artikul")->text(), "12: кутии");
        QCOMPARE(labelText(d, "Label_Zaqvitel_Name"), "Магазин");
        QCOMPARE(labelText(d, "Label_Dostav4ik_Name"), "5:Метро ООД");
        QCOMPARE(control(d, "Edit_Kol")->text(), "2.50");
        QCOMPARE(control(d, "Edit_Dost_Cena")->text(), "1.2345");
        QCOMPARE(control(d, "Edit_Kat_N")->text(), "K-1");
        QCOMPARE(control<QDateEdit>(d, "DateTimePicker_Data")->date(), QDate(2024, 3, 1));
        QCOMPARE(control<QComboBox>(d, "ComboBox_Valuta")->currentText(), "USD");
        control(d, "Edit_Kol")->setText("3");
        d.grid()->setCurrentIndex(d.lines()->index(2, 0)); // another row current by now
        control<QPushButton>(d, "Button_Dobavi")->click();
        QCOMPARE(control<QPushButton>(d, "Button_Dobavi")->text(), "Добави");
        QCOMPARE(control<QPushButton>(d, "Button_Iztrii")->text(), "Изтрии");
        QVERIFY(control<QPushButton>(d, "Button_Redaktirai")->isEnabled());
        std::optional<OrderLine> l = d.copy().line(1);
        QCOMPARE(l->article, 0); // still free text
        QCOMPARE(l->description, "12: кутии");
        QCOMPARE(l->quantity, Decimal(3));
        QCOMPARE(l->price, Decimal("1.2345"));
        QCOMPARE(l->currency, "USD");
        QCOMPARE(l->requester, "Магазин");
        QCOMPARE(l->supplierNumber, "K-1");

        d.grid()->setCurrentIndex(d.lines()->index(1, 0));
        control<QPushButton>(d, "Button_Redaktirai")->click();
        QVERIFY(control<QCheckBox>(d, "CheckBox_Artikul")->isChecked());
        QCOMPARE(control(d, "Edit_Artikul")->text(), "Чаши");
        control(d, "Edit_Kol")->setText("99");
        control<QPushButton>(d, "Button_Iztrii")->click(); // "Откажи"
        QCOMPARE(control<QPushButton>(d, "Button_Dobavi")->text(), "Добави");
        QVERIFY(!control<QCheckBox>(d, "CheckBox_Artikul")->isChecked());
        QCOMPARE(d.copy().line(2)->quantity, Decimal("2.5"));
        QCOMPARE(d.copy().line(2)->article, 0);
        QCOMPARE(msg_->shown, QStringList{});
    }

    // "Изтрии" removes the marked working lines without a question; with none
    // left, "Редактирай" and "Запис" are disabled.
    void removeWorkingLines() {
        TForm_Add_Red_Zaqvka d(test::context(fx_->session()));
        d.show();
        for (int i = 0; i < 3; ++i)
            control<QPushButton>(d, "Button_Dobavi")->click();
        clickCell(d.grid(), 0, 1);
        clickCell(d.grid(), 1, 1, Qt::ShiftModifier);
        control<QPushButton>(d, "Button_Iztrii")->click();
        QCOMPARE(listed(d.lines()), QList<qint64>{3});
        clickCell(d.grid(), 0, 1);
        control<QPushButton>(d, "Button_Iztrii")->click();
        QCOMPARE(d.lines()->rowCount(), 0);
        QVERIFY(!control<QPushButton>(d, "Button_Redaktirai")->isEnabled());
        QVERIFY(!control<QPushButton>(d, "Button_Zapis")->isEnabled());
        QCOMPARE(msg_->shown, QStringList{});
    }

    // A save that fails stores nothing and keeps the dialog with its lines;
    // closing the dialog drops them.
    void failedSave() {
        if (test::onPostgres()) {
            execScriptStatement(db(),
                                "CREATE FUNCTION zaqvki_refuse() RETURNS trigger LANGUAGE plpgsql AS $$ "
                                "BEGIN RAISE EXCEPTION 'refused'; END $$");
            execScriptStatement(db(),
                                "CREATE TRIGGER Zaqvki_All_Refused BEFORE INSERT ON Zaqvki_All FOR EACH ROW "
                                "EXECUTE FUNCTION zaqvki_refuse()");
        } else {
            execScriptStatement(db(), "CREATE TRIGGER Zaqvki_All_Refused BEFORE INSERT ON Zaqvki_All "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        }
        {
            TForm_Add_Red_Zaqvka d(test::context(fx_->session()));
            d.show();
            control<QPushButton>(d, "Button_Dobavi")->click();
            control<QPushButton>(d, "Button_Dobavi")->click();
            control<QPushButton>(d, "Button_Zapis")->click();
            QCOMPARE(msg_->shown.size(), 1);
            QVERIFY(msg_->shown.front().contains("refused"));
            QVERIFY(d.isVisible());
            QCOMPARE(d.copy().count(), 2);
            QCOMPARE(d.lines()->rowCount(), 2);
            QCOMPARE(stored().size(), 4);
        }
        TForm_Add_Red_Zaqvka again(test::context(fx_->session()));
        QCOMPARE(again.copy().count(), 0);
    }

    // "Добави" of the list opens the dialog; after "Запис" the list shows
    // every line, the new one current, and searches by "Описание" again.
    void listAddsThroughTheDialog() {
        TForm_Zaqvka_all w(test::context(fx_->session()));
        w.show();
        clickCell(w.grid(), 0, 4);
        test::ModalScript script;
        script.next<TForm_Add_Red_Zaqvka>([](TForm_Add_Red_Zaqvka* d) {
            control<QCheckBox>(*d, "CheckBox_Artikul")->click();
            control(*d, "Edit_Artikul")->setText("Салфетки");
            control<QPushButton>(*d, "Button_Dobavi")->click();
            control<QPushButton>(*d, "Button_Zapis")->click();
        });
        control<QPushButton>(w, "Button_Dobavi")->click();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(listed(w.model()), (QList<qint64>{1, 2, 3, 4, 5}));
        QCOMPARE(w.model()->value(w.grid()->currentIndex().row(), "Opisanie").toString(), "Салфетки");
        QCOMPARE(w.model()->value(0, "Grupa").toString(), "Напитки");
        QCOMPARE(labelText(w, "Label_Tarsene_Po"), "Търсене по: Описание");
        QCOMPARE(w.searchColumn(), OrderColumn::Description);

        // "Отказ" with a working line asks: No stays, Yes closes and stores nothing.
        msg_->answerNo();
        msg_->answerYes();
        script.next<TForm_Add_Red_Zaqvka>([](TForm_Add_Red_Zaqvka* d) {
            control<QPushButton>(*d, "Button_Dobavi")->click();
            control<QPushButton>(*d, "Button_Otkaz")->click();
            QVERIFY(d->isVisible());
            control<QPushButton>(*d, "Button_Otkaz")->click();
        });
        control<QPushButton>(w, "Button_Dobavi")->click();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->questions,
                 QStringList(2, "Поръчките в списъка не са записани.\rЖелаете ли да затворите без запис?"));
        QCOMPARE(stored().size(), 5);
    }
};

QTEST_MAIN(OrdersWindowTest)
#include "test_orders_window.moc"
