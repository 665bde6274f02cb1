// The tasks window and dialog offscreen, from the main window's command: a
// task entered (a refused order of moments first), edited, coloured, found
// by the search, listed into a file and printed as a protocol; the overdue
// mark of the status line.

#include "common/grid_export.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/form_print_vid_fail.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"
#include "tasks/tasks.h"
#include "tasks/ui/form_newzada4a.h"
#include "tasks/ui/form_zada4i.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>

using namespace torvika;

namespace {
const QDateTime kNow(QDate(2026, 5, 20), QTime(11, 40, 15));

void chooseAssigner(const QWidget& dialog, const QString& typed) {
    QLineEdit* field = test::control<QLineEdit>(dialog, "Edit_Vazlojitel");
    field->setFocus();
    test::typeText(field, typed);
    QListWidget* list = test::control<QListWidget>(dialog, "ListBox_SelectDostav4ik");
    QVERIFY(list->isVisible());
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
}
} // namespace

class TasksWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        fx_->session().clock = [] { return kNow; };
        msg_ = std::make_unique<test::ScriptedMessages>();
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (7, 'Бета ООД', '0', 0)");
        fx_->settings().save(Settings::Changes()
                                 .set(setting::kCompanyName, "Тест ООД")
                                 .set(setting::kCompanyAddress, "ул. Роза 5"));
    }
    void cleanup() {
        msg_.reset();
        fx_.reset();
    }

    // With TORVIKA_PICTURES naming a directory: the tasks window with a
    // task of each mark, and the task dialog.
    void pictures() {
        const QString dir = qEnvironmentVariable("TORVIKA_PICTURES");
        if (dir.isEmpty())
            QSKIP("TORVIKA_PICTURES names no directory");
        const char* statuses[] = {"Възложен", "Изпълнява се", "Отложен", "Изпълнен", "Възложен"};
        for (int i = 0; i < 5; ++i) {
            Task t;
            t.description = QStringLiteral("Задача %1: профилактика на касов апарат").arg(i + 1);
            t.performers = "Иван, Петър";
            t.status = statuses[i];
            t.assigner = 7;
            t.assignedDate = kNow.date().addDays(-3 + i);
            t.assignedTime = QTime(9, 0);
            t.dueDate = t.assignedDate.addDays(1);
            t.dueTime = QTime(17, 30);
            t.note = "Да се вземе резервна лента";
            insertTask(db(), t);
        }
        TForm_Zada4i w(test::context(fx_->session()));
        w.show();
        QVERIFY(w.grab().save(dir + "/tasks.png"));
        TForm_NewZada4a d(test::context(fx_->session()));
        d.editTask(*loadTask(db(), 1), "Бета ООД");
        d.show();
        QVERIFY(d.grab().save(dir + "/task_dialog.png"));
    }

    // A task the database refuses: "Невалидни данни", and the dialog stays
    // open with what was typed; an assigner typed without choosing one is
    // refused before the database is asked.
    void refusedTaskKeepsTheDialog() {
        test::refuseInserts(db(), "Zada4i_Zadanie", "NEW.Opisanie_Z = 'Отказана'", "refused by the test");
        TForm_NewZada4a d(test::context(fx_->session()));
        d.newTask();
        d.show();
        QLineEdit* description = test::control<QLineEdit>(d, "Edit_Opisanie");
        description->setFocus();
        test::typeText(description, "Отказана");
        QLineEdit* assigner = test::control<QLineEdit>(d, "Edit_Vazlojitel");
        assigner->setText("Бета");
        test::click(d, "BitBtn_Ok");
        QCOMPARE(msg_->shown, QStringList{"Изберете възложител от списъка на контрагентите"});
        chooseAssigner(d, " ООД");
        test::click(d, "BitBtn_Ok");
        QCOMPARE(msg_->shown.size(), 2);
        QCOMPARE(msg_->shown.last(), QStringLiteral("Невалидни данни"));
        QVERIFY(d.isVisible());
        QCOMPARE(description->text(), QStringLiteral("Отказана"));
        QCOMPARE(assigner->text(), QStringLiteral("7:Бета ООД"));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Zada4i_Zadanie").toInt(), 0);
    }

    void enterEditFindAndList() {
        Task overdue;
        overdue.description = "Стара задача";
        overdue.assigner = 7;
        overdue.assignedDate = overdue.dueDate = kNow.date().addDays(-2);
        overdue.assignedTime = overdue.dueTime = QTime(9, 0);
        const qint64 old = insertTask(db(), overdue);

        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        main.form.show();
        QLabel* mark = main.form.findChild<QLabel*>("Image_Have_Job");
        QVERIFY(mark && mark->isVisible());

        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        test::ModalScript script;
        script.next<TForm_Zada4i>([&](TForm_Zada4i* w) {
            QTableView* grid = test::control<QTableView>(*w, "DBGrid_Zada4i");
            QCOMPARE(grid->model()->rowCount(), 1);
            QCOMPARE(w->rowColour(0), QColor(Qt::red));
            // "Нова": the moments in the wrong order are refused, then stored.
            script.next<TForm_NewZada4a>([&](TForm_NewZada4a* d) {
                QCOMPARE(d->windowTitle(), QStringLiteral("Въвеждане на нова задача"));
                QCOMPARE(test::control<QComboBox>(*d, "ComboBox_Status")->count(), 1);
                QCOMPARE(test::control<QTimeEdit>(*d, "DateTimePicker_T_Vazlagane")->time(), QTime(11, 40));
                test::control<QLineEdit>(*d, "Edit_Opisanie")->setFocus();
                test::typeText(test::control<QLineEdit>(*d, "Edit_Opisanie"), "Смяна на батерия");
                test::typeText(test::control<QLineEdit>(*d, "Edit_Izpalnitel"), "Иван");
                chooseAssigner(*d, "Бета");
                QCOMPARE(test::control<QLineEdit>(*d, "Edit_Vazlojitel")->text(),
                         QStringLiteral("7:Бета ООД"));
                test::control<QDateEdit>(*d, "DateTimePicker_D_Izpalnenie")->setDate(kNow.date().addDays(-1));
                test::click(*d, "BitBtn_Ok");
                QCOMPARE(msg_->shown,
                         QStringList{"Не е позволено дата на изпълнение\rда е преди дата на възлагане"});
                QVERIFY(d->isVisible());
                // "всяка седмица" puts the execution a week after the assignment.
                test::chooseItem(test::control<QComboBox>(*d, "ComboBox_Povtorenie"), 3);
                QCOMPARE(test::control<QDateEdit>(*d, "DateTimePicker_D_Izpalnenie")->date(),
                         kNow.date().addDays(7));
                test::click(*d, "BitBtn_Ok");
            });
            test::click(*w, "BitBtn_Nova_Zada4a");
            QCOMPARE(grid->model()->rowCount(), 2);
            const qint64 added = w->currentKey().toLongLong();
            QVERIFY(added != old);
            QVERIFY(!w->rowColour(grid->currentIndex().row()).isValid());

            // "Редактирай": every status; running shows green; the protocol.
            script.next<TForm_NewZada4a>([&](TForm_NewZada4a* d) {
                QCOMPARE(d->windowTitle(), QStringLiteral("Редактиране на задача"));
                QComboBox* status = test::control<QComboBox>(*d, "ComboBox_Status");
                QCOMPARE(status->count(), 4);
                QCOMPARE(status->currentText(), QStringLiteral("Възложен"));
                test::chooseItem(status, 1);
                test::click(*d, "Button2");
                test::click(*d, "BitBtn_Ok");
            });
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Return);
            QCOMPARE(loadTask(db(), added)->status, QStringLiteral("Изпълнява се"));
            QCOMPARE(w->currentKey().toLongLong(), added);
            QCOMPARE(w->rowColour(grid->currentIndex().row()), QColor(Qt::darkGreen));

            // The search by the clicked column.
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->model()->index(0, 0)).center());
            QCOMPARE(w->windowTitle(), QStringLiteral("ЗАДАЧИ - Търсене по: Описание задача"));
            QLineEdit* from = test::control<QLineEdit>(*w, "Edit_Ot");
            from->setFocus();
            test::typeText(from, "батер");
            test::click(*w, "Button_Tarsi");
            QCOMPARE(grid->model()->rowCount(), 1);
            test::click(*w, "BitBtn_Pokaji_Vsi4ko");
            QCOMPARE(grid->model()->rowCount(), 2);

            // The list into a file.
            script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
                test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
            });
            test::click(*w, "Button1");
            QTest::keyClick(w, Qt::Key_Escape);
        });
        main.form.command(Command::N_Zada4i)->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        setFileOpener(previous);

        QCOMPARE(opened.size(), 2);
        QVERIFY(opened[0].endsWith("/TEMP/ProtZadanie.txt"));
        const QString protocol = QString::fromUtf8(test::Fixture::readFile(opened[0]));
        QVERIFY(protocol.contains("\tТЕСТ ООД\tУЛ. РОЗА 5\r\n"));
        QVERIFY(protocol.contains(
            "\tВЪЗЛОЖИТЕЛ: 7:Бета ООД\r\n\tЗАДАНИЕ: Смяна на батерия\r\n\tИЗПЪЛНИТЕЛИ: Иван\r\n"));
        QVERIFY(opened[1].endsWith("/TEMP/Prot_Zad.txt"));
        const QString list = QString::fromUtf8(test::Fixture::readFile(opened[1]));
        QVERIFY(list.startsWith("\xEF\xBB\xBF\tСПРАВКА ЗАДАЧИ \r\n\tДата:20.05.2026 11:40:15\r\n"));
        QVERIFY(list.contains("Смяна на батерия"));
        QVERIFY(list.endsWith(footerLine() + "\r\n"));
        // The old task is still overdue: the mark stays.
        QVERIFY(mark->isVisible());
        execSql(db(), "UPDATE Zada4i_Zadanie SET Status = 'Изпълнен' WHERE ID = ?", {old});
        script.next<TForm_Zada4i>([](TForm_Zada4i* w) { QTest::keyClick(w, Qt::Key_Escape); });
        QTest::mouseClick(mark, Qt::LeftButton);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QVERIFY(!mark->isVisible());
    }
};

QTEST_MAIN(TasksWindowTest)
#include "test_tasks_window.moc"
