// The transfer and scrap windows, driven offscreen on either engine: the
// transfer opened from the menu, an article found by its number with its
// stock proposed, a quantity above the stock (the stock proposed, or the
// line refused), articles picked from the catalogue with their
// quantities, a line edited and deleted by its own key, the warehouses
// fixed once lines exist, the print byte for byte, "ЗАПИС" moving the
// stock out of one warehouse and into the other; a single warehouse;
// scrap with its reason, confirmed above the stock; closing with lines
// asks first.

#include "catalogue/stock.h"
#include "catalogue/ui/form_artikuli.h"
#include "catalogue/ui/form_spr_transfer.h"
#include "catalogue/ui/form_transfer.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/form_print_vid_fail.h"
#include "common/ui/statement_model.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace torvika;

namespace {

using test::click;
using test::clickRow;
using test::shownRows;
using test::typeAndEnter;

const QDateTime kNow(QDate(2024, 4, 2), QTime(9, 30, 15));

template <typename T = QLineEdit> T* control(const QWidget& w, const char* name) {
    return test::control<T>(w, name);
}

} // namespace

class TransferWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }
    QString stock(qint64 article, qint64 warehouse) {
        const std::optional<Decimal> s = stockIn(db(), article, warehouse);
        return s ? s->toString() : QStringLiteral("-");
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->session().settings().set(setting::kVatPercent, QStringLiteral("20"));
        fx_->session().clock = [] { return kNow; };
        TForm_Transfer::addFollowUps(test::host(fx_->session()).followUps());
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Стоки')");
        execSql(db(), "DELETE FROM Sklad");
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (1, 'Магазин'), (2, 'Склад 2')");
        execSql(db(),
                "INSERT INTO Produkti (ID, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Mqrka, Dan_Grup) VALUES "
                "(10, 1, 'Чай', 2.4, 'Лева', 'бр.', 1), (11, 1, 'Кафе', 6, 'Лева', 'кг.', 1)");
        execSql(db(), "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (10, 1, 10), (11, 1, 2.5)");
    }
    void cleanup() {
        const int unexpected = msg_->unexpected;
        msg_.reset();
        fx_.reset();
        QCOMPARE(unexpected, 0);
    }

    // "Трансфер..." and "Брак..." of the menu open their windows.
    void openedFromTheMenu() {
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        for (const Command c : {Command::N_Transfer, Command::N_Brak}) {
            QAction* command = main.form.command(c);
            QVERIFY(command->isEnabled());
            test::ModalScript script;
            script.next<TForm_Transfer>([c](TForm_Transfer* w) {
                QCOMPARE(w->objectName(), c == Command::N_Transfer ? "Form_Transfer" : "Form_Brak");
                QCOMPARE(w->windowTitle(),
                         c == Command::N_Transfer ? "Трансфер на стоки" : "Бракуване на стоки");
                QCOMPARE(control<QComboBox>(*w, "ComboBox_Ot_Sklad")->currentText(), "1:Магазин");
                QCOMPARE(control<QComboBox>(*w, "ComboBox_V_Sklad")->isVisible(), c == Command::N_Transfer);
                w->reject();
            });
            main.form.runCommand(c);
            QVERIFY2(script.finished(), qPrintable(script.failure()));
        }
    }

    // Lines entered by number and picked, one edited and one deleted,
    // printed, and saved with the stock moved.
    void transfer() {
        TForm_Transfer window(test::context(fx_->session()));
        TForm_Transfer* w = &window;
        w->show();
        test::ModalScript script;
        QCOMPARE(control<QComboBox>(*w, "ComboBox_V_Sklad")->currentText(), "2:Склад 2");

        // The whole stock of the source is proposed.
        typeAndEnter(*w, "Edit_Art_ID", "10");
        QCOMPARE(control<QLabel>(*w, "Label_Artikul")->text(), "10:Чай");
        QCOMPARE(control(*w, "Edit_Kol")->text(), "10.00");
        typeAndEnter(*w, "Edit_Kol", "4");
        // "Добави" without an article adds nothing.
        click(*w, "Button_Dobavi");
        // Above what is left (6): the stock is proposed, the operator takes it.
        typeAndEnter(*w, "Edit_Art_ID", "10");
        QCOMPARE(control(*w, "Edit_Kol")->text(), "6.00");
        msg_->answerYes();
        typeAndEnter(*w, "Edit_Kol", "7");
        // Not a number, and an unknown article.
        typeAndEnter(*w, "Edit_Art_ID", "11");
        typeAndEnter(*w, "Edit_Kol", "abc");
        QCOMPARE(msg_->shown.last(), "Количеството трябва да е число, по-голямо от 0!");
        typeAndEnter(*w, "Edit_Kol", "1,5");
        QCOMPARE(shownRows(w->model()),
                 (QStringList{"10|Чай|4.00|бр.|2.40|Лева|9.60", "10|Чай|6.00|бр.|2.40|Лева|14.40",
                              "11|Кафе|1.50|кг.|6.00|Лева|9.00"}));
        QCOMPARE(msg_->questions, QStringList{"Количеството 7.00 е повече от наличното в склада (6.00).\r"
                                              "Да - прехвърли наличното количество, Не - прехвърли "
                                              "въведеното, Отказ - не добавяй"});
        QCOMPARE(control(*w, "Edit_Obshto")->text(), "33.00");
        QCOMPARE(control(*w, "Edit_DDS")->text(), "5.50");
        QCOMPARE(control(*w, "Edit_Suma")->text(), "27.50");
        // Fixed once lines exist.
        QVERIFY(!control<QComboBox>(*w, "ComboBox_Ot_Sklad")->isEnabled());

        // The second line only is edited (Enter on it), the first deleted.
        QTableView* grid = w->grid();
        clickRow(grid, 1);
        script.next<TForm_Get_Kol>([](TForm_Get_Kol* d) {
            QCOMPARE(d->findChild<QLabel*>("Label_Artikul")->text(), "10:Чай");
            auto* field = d->findChild<QLineEdit*>("Edit_Kol");
            field->selectAll();
            test::typeText(field, "5");
            d->findChild<QPushButton*>("Button_Priemi")->click();
        });
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        clickRow(grid, 0);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(shownRows(w->model()),
                 (QStringList{"10|Чай|5.00|бр.|2.40|Лева|12.00", "11|Кафе|1.50|кг.|6.00|Лева|9.00"}));

        // Picked from the catalogue, with its quantity.
        script.next<TForm_Artikuli>([](TForm_Artikuli* catalogue) {
            QCOMPARE(catalogue->mode(), int(kSelectTransferArticles));
            QVERIFY(catalogue->positionOn(11));
            test::control<QPushButton>(*catalogue, "BitBtn_Izberi")->click();
        });
        script.next<TForm_Get_Kol>([](TForm_Get_Kol* d) {
            auto* field = d->findChild<QLineEdit*>("Edit_Kol");
            field->selectAll();
            test::typeText(field, "0.5");
            d->findChild<QPushButton*>("Button_Priemi")->click();
        });
        click(*w, "Button_Izberi");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(w->model()->rowCount(), 3);

        // The print, byte for byte.
        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
            test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
        });
        click(*w, "Button_Pe4at");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        setFileOpener(previous);
        QCOMPARE(opened, QStringList{fx_->root() + "TEMP/Transfer.txt"});
        const QString printed = QString::fromUtf8(test::Fixture::readFile(opened.at(0)));
        QVERIFY2(printed.startsWith("\r\n\t ТРАНСФЕР НА СТОКИ МЕЖДУ СКЛАДОВЕ\r\n\tОТ СКЛАД: 1:Магазин\r\n"
                                    "\tКЪМ СКЛАД: 2:Склад 2\r\n\r\n\tОт Дата:02.04.2024, 09:30:15\r\n"),
                 qPrintable(printed));
        QVERIFY2(printed.contains("\r\n\r\n\tСума : 20.00\r\n\r\n\tДДС: 4.00\r\n\r\n\tОБЩО: 24.00\r\n\r\n\t"),
                 qPrintable(printed));

        // Saved: out of the shop, into the second warehouse.
        msg_->clear();
        test::typeText(control<QLineEdit>(*w, "Edit_Zabelejka"), "за витрината");
        click(*w, "Button_Zapis");
        QCOMPARE(msg_->shown, QStringList{"Трансферът е записан под номер 1."});
        QVERIFY(control<QLineEdit>(*w, "Edit_Zabelejka")->text().isEmpty());
        QCOMPARE(stock(10, 1), "5");
        QCOMPARE(stock(10, 2), "5");
        QCOMPARE(stock(11, 1), "0.5");
        QCOMPARE(stock(11, 2), "2");
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Transfer_Art WHERE ID_Trans = 1").toInt(), 3);
        QCOMPARE(w->model()->rowCount(), 0);
        QVERIFY(control<QComboBox>(*w, "ComboBox_Ot_Sklad")->isEnabled());
        click(*w, "Button_Otkaz");
        QVERIFY(!w->isVisible());

        // Listed in the report of transfers, with its lines.
        TForm_Spr_Transfer report(test::context(fx_->session()), StockMoveKind::Transfer);
        report.show();
        QCOMPARE(shownRows(report.model()),
                 QStringList{"1|02.04.2024|09:30:15|Магазин|Склад 2||за витрината"});
        QCOMPARE(shownRows(report.linesModel()),
                 (QStringList{"10|Чай|5.000|бр.|2.40|Лева|12.00", "11|Кафе|1.500|кг.|6.00|Лева|9.00",
                              "11|Кафе|0.500|кг.|6.00|Лева|3.00"}));
    }

    // An unknown number opens the catalogue; the same warehouse twice is
    // refused; a single warehouse only says so.
    void refusals() {
        {
            TForm_Transfer w(test::context(fx_->session()));
            w.show();
            test::ModalScript script;
            script.next<TForm_Artikuli>([](TForm_Artikuli* catalogue) {
                QCOMPARE(catalogue->mode(), int(kSelectTransferArticles));
                catalogue->reject();
            });
            typeAndEnter(w, "Edit_Art_ID", "77");
            QVERIFY2(script.finished(), qPrintable(script.failure()));
            QCOMPARE(msg_->shown, QStringList{"Въведеният номер за артикул не съществува!"});
            QComboBox* target = control<QComboBox>(w, "ComboBox_V_Sklad");
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Up);
            QCOMPARE(msg_->shown.last(), "Складът, от който се изтегля, и складът, в който се прехвърля, "
                                         "трябва да са различни!");
            QCOMPARE(target->currentText(), "2:Склад 2");
        }
        execSql(db(), "DELETE FROM Sklad WHERE ID_Sklad = 2");
        msg_->clear();
        TForm_Transfer w(test::context(fx_->session()));
        w.show();
        QCOMPARE(msg_->shown, QStringList{"В програмата има зададен само един склад!"});
        QTRY_VERIFY(!w.isVisible());
    }

    // Scrap: its warehouse only, the reason kept, more than the stock
    // confirmed; closing with lines asks first.
    void scrap() {
        TForm_Brak w(test::context(fx_->session()));
        w.show();
        QCOMPARE(w.objectName(), "Form_Brak");
        QVERIFY(!control<QComboBox>(w, "ComboBox_V_Sklad")->isVisible());
        typeAndEnter(w, "Edit_Art_ID", "11");
        QCOMPARE(control(w, "Edit_Kol")->text(), "2.50");
        control(w, "Edit_Kol")->setText("3");
        msg_->answerNo();
        typeAndEnter(w, "Edit_Pri4ina", "счупено");
        QCOMPARE(w.model()->rowCount(), 0);
        msg_->answerYes();
        QTest::keyClick(control(w, "Edit_Pri4ina"), Qt::Key_Return);
        QCOMPARE(msg_->questions,
                 QStringList(2, "Количеството за бракуване 3.00 е повече от наличното в склада (2.50).\r"
                                "Желаете ли да продължите?"));
        QCOMPARE(shownRows(w.model()), QStringList{"11|Кафе|3.00|кг.|6.00|Лева|18.00|счупено"});

        msg_->answerNo();
        click(w, "Button_Otkaz");
        QVERIFY(w.isVisible());
        msg_->clear();
        msg_->answerYes(); // the stock is short at saving as well
        click(w, "Button_Zapis");
        QCOMPARE(msg_->shown.last(), "Бракът е записан под номер 1.");
        QCOMPARE(stock(11, 1), "-0.5");
        QCOMPARE(scalarSql(db(), "SELECT Pri4ina FROM Brak_Art WHERE ID_Brak = 1").toString(), "счупено");
        click(w, "Button_Otkaz");
        QVERIFY(!w.isVisible());

        TForm_Spr_Transfer report(test::context(fx_->session()), StockMoveKind::Scrap);
        report.show();
        QCOMPARE(shownRows(report.model()), QStringList{"1|02.04.2024|09:30:15|Магазин||"});
        QCOMPARE(shownRows(report.linesModel()), QStringList{"11|Кафе|3.000|кг.|6.00|Лева|18.00|счупено"});
    }
};

QTEST_MAIN(TransferWindowTest)
#include "test_transfer_window.moc"
