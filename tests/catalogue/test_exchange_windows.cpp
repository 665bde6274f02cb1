// The export window and the import report window offscreen, their
// controls pressed by name: the fields ticked and cleared, the opener,
// closer and decimal separator typed, the file written byte for byte; a
// value the file cannot carry listed with nothing written; the import
// report's rows and print.

#include "catalogue/data_export.h"
#include "catalogue/data_import.h"
#include "catalogue/texts.h"
#include "catalogue/ui/form_info_import.h"
#include "common/cp1251.h"
#include "common/sql.h"
#include "common/texts.h"
#include "common/ui/desktop.h"
#include "common/ui/form_export_data.h"
#include "common/ui/form_print_vid_fail.h"
#include "common/ui/import_statistic_panel.h"
#include "shell/session_grids.h"
#include "support/fixture.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>

using namespace torvika;
using test::control;

class ExchangeWindowsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QStringList opened_;
    FileOpener previousOpener_;
    QSqlDatabase db() { return fx_->db(); }

    void article(qint64 id, const QString& name, double price) {
        execSql(db(),
                "INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Mqrka, "
                "Garancionen, Poredica, Dostav4ik, Min_Kol, Dan_Grup, Prigotvq_Se, Kasovo_ime, Etiketno_ime) "
                "VALUES (?, ?, 1, ?, ?, 'Лева', 'бр.', 'False', 'True', 0, 1, 2, 0, ?, ?)",
                {id, QStringLiteral("К%1").arg(id), name, price, name, name});
    }
    static void click(const QWidget& w, const char* name) {
        QTest::mouseClick(control<QPushButton>(w, name), Qt::LeftButton);
    }
    // Toggles the field's box with the space key, as the operator does.
    static void toggle(QListWidget* list, int row) {
        list->setCurrentRow(row);
        QTest::keyClick(list, Qt::Key_Space);
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        opened_.clear();
        previousOpener_ = setFileOpener([this](const QString& f) {
            opened_ << f;
            return true;
        });
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Напитки')");
        article(1, "Вода \"Банкя\" 2:1", 1.5);
        article(2, "Сок", 2.25);
    }
    void cleanup() {
        setFileOpener(previousOpener_);
        msg_.reset();
        fx_.reset();
    }

    // Clearing all and exporting says so; two fields ticked again, another
    // closer and the decimal comma: the file holds exactly those fields.
    void exportsTheTickedFields() {
        const QString path = fx_->root() + "TEMP/articles.txt";
        Form_Export_Data w([this] { return db(); });
        test::ModalScript script;
        script.next<Form_Export_Data>([&](Form_Export_Data* d) {
            auto* list = control<QListWidget>(*d, "CheckListBox_Fields");
            QCOMPARE(list->count(), articleExportSource().fields.size());
            QCOMPARE(list->item(0)->text(), QStringLiteral("1: Арт. номер"));
            QVERIFY(!d->chosen().contains(false));
            QCOMPARE(control<QLineEdit>(*d, "Edit_Prefix")->text(), QStringLiteral("N:["));
            QCOMPARE(control<QLineEdit>(*d, "Edit_Subfix")->text(), QStringLiteral("]"));
            click(*d, "Button_Clear_All");
            QVERIFY(!d->chosen().contains(true));
            click(*d, "Button_Export");
            QCOMPARE(msg_->shown, QStringList{texts::kExportNoField});
            toggle(list, 0);
            toggle(list, 3);
            auto* subfix = control<QLineEdit>(*d, "Edit_Subfix");
            subfix->selectAll();
            QTest::keyClicks(subfix, "}");
            auto* decimal = control<QComboBox>(*d, "ComboBox_Decimal");
            decimal->setFocus();
            QTest::keyClick(decimal, Qt::Key_Down);
            msg_->answer(path);
            click(*d, "Button_Export");
        });
        QCOMPARE(w.SELECTED_EXPORT(articleExportSource()), path);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(test::Fixture::readFile(path), QByteArray("1:[1}\t4:[1,5}\t\r\n1:[2}\t4:[2,25}\t\r\n"));
        QCOMPARE(opened_, QStringList{path});

        // The values typed are kept for the next export of the run.
        Form_Export_Data again([this] { return db(); });
        QCOMPARE(control<QLineEdit>(again, "Edit_Subfix")->text(), QStringLiteral("}"));
        QCOMPARE(again.format().decimalSeparator, QChar(u','));
        control<QLineEdit>(again, "Edit_Subfix")->setText("]");
        control<QComboBox>(again, "ComboBox_Decimal")->setCurrentIndex(0);
    }

    // A description holding the closer is listed and nothing is written; the
    // window stays open until "ОТКАЗ".
    void refusesWhatTheFileCannotCarry() {
        article(3, "Кабел [1]", 3);
        const QString path = fx_->root() + "TEMP/bad.txt";
        Form_Export_Data w([this] { return db(); });
        test::ModalScript script;
        script.next<Form_Export_Data>([&](Form_Export_Data* d) {
            control<QLineEdit>(*d, "Edit_Subfix")->setText("]");
            click(*d, "Button_Export");
            QCOMPARE(msg_->shown.size(), 1);
            QVERIFY(msg_->shown[0].contains("Кабел [1]"));
            QVERIFY(d->isVisible());
            click(*d, "Button_Cancel");
        });
        QCOMPARE(w.SELECTED_EXPORT(articleExportSource()), QString());
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QVERIFY(!QFile::exists(path));
        QVERIFY(opened_.isEmpty());
    }

    // The import report lists the rows it is given and prints them.
    void importReport() {
        fx_->session().clock = [] { return QDateTime(QDate(2026, 12, 10), QTime(18, 30)); };
        Form_Info_Import w(gridContext(fx_->session()), [this] { return fx_->session().now(); });
        const QList<ImportedArticle> rows = {{10, "Чай \"Липа\"", Decimal("3.5"), "Лева", false, true},
                                             {11, "Кафе", Decimal("12"), "EUR", true, false}};
        w.fill(rows);
        w.show();
        auto* grid = control<QTableView>(w, "DBGrid_Import");
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("Чай \"Липа\""));
        QCOMPARE(grid->model()->index(1, 4).data().toString(), texts::kYes);
        QCOMPARE(grid->model()->index(1, 5).data().toString(), texts::kNo);
        test::ModalScript script;
        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* c) { click(*c, "BitBtn_Priemi"); });
        click(w, "Button_Pe4at");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        click(w, "Button_Otkaz");
        QVERIFY(!w.isVisible());
        QVERIFY2(opened_.size() == 1, qPrintable(script.failure()));
        const QString printed = QString::fromUtf8(test::Fixture::readFile(opened_[0]));
        QVERIFY(printed.contains(texts::kInfoImportHeading));
        QVERIFY(printed.contains("Кафе"));
        QVERIFY(printed.contains("10.12.2026"));
    }

    // The statistics panel shows the report's lines, read-only; Esc hides it.
    void statisticPanel() {
        QWidget main;
        main.resize(800, 600);
        main.show();
        ImportStatisticPanel panel(&main);
        panel.begin();
        QVERIFY(panel.isVisible());
        QVERIFY(panel.toPlainText().isEmpty());
        ImportReport report;
        report.addNumbered("Артикул: 1[Вода] - ДОБАВЕН");
        closeImportReport(report, texts::kImportArticlesTotal, false);
        panel.showReport(report);
        QCOMPARE(panel.toPlainText().split(u'\n'), report.lines);
        QCOMPARE(report.lines.first(), QStringLiteral("1- Артикул: 1[Вода] - ДОБАВЕН"));
        QCOMPARE(report.lines.last(), texts::kImportPressEsc);
        QVERIFY(panel.isReadOnly());
        QCOMPARE(panel.size(), QSize(500, 270));
        QTest::keyClick(&panel, Qt::Key_Escape);
        QVERIFY(!panel.isVisible());
    }
};

QTEST_MAIN(ExchangeWindowsTest)
#include "test_exchange_windows.moc"
