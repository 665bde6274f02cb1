// The issued-documents report and the own-queries window driven through
// their controls in the main window: an invoice printed from the shop is
// found, its lines shown as the operator moves through the documents, and
// printed again as a copy under its own number.

#include "common/profile_file.h"
#include "common/sql.h"
#include "documents/print_run.h"
#include "documents/texts.h"
#include "documents/ui/form_spr_izd_dok.h"
#include "sales/ui/sales_module.h"
#include "sales/ui/shop_page.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace torvika;

namespace {

QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

void tickOnly(QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(list->item(i)->text() == text ? Qt::Checked : Qt::Unchecked);
}

void tick(const QWidget& w, const char* box) {
    QTest::mouseClick(test::control<QCheckBox>(w, box), Qt::LeftButton);
}

const QDateTime kNow(QDate(2024, 5, 17), QTime(10, 30, 5));

} // namespace

class ReportsWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QList<qint64> lines_;
    QSqlDatabase db() { return fx_->db(); }
    ShopPage* page() { return main_->modules.get<SalesModule>().shopPage(); }
    QString number() {
        return scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Фактура'").toString();
    }
    int registered() { return scalarSql(db(), "SELECT COUNT(*) FROM Printed_Dok").toInt(); }
    QString pdf(const char* name) { return fx_->root() + QString::fromLatin1(name); }

    // The invoice of the shop's rows, printed into the file.
    void printInvoice(const QList<int>& rows, const QString& file) {
        QTableView* grid = page()->findChild<QTableView*>("DBGrid1");
        grid->clearSelection();
        for (int row : rows)
            grid->selectionModel()->select(grid->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        auto* toggle = page()->findChild<QToolButton*>("SpdBtn_Pokaji_Dokuments");
        if (!toggle->isChecked())
            QTest::mouseClick(toggle, Qt::LeftButton);
        tickOnly(page()->findChild<QListWidget*>("ChkListBox_Pokaj_Dokum"), "Фактура");
        tickOnly(page()->findChild<QListWidget*>("CheckListBox_Printers"), texts::kPdfPrinter);
        msg_->answer("в брой");
        msg_->answer(file);
        QTest::mouseClick(page()->findChild<QPushButton*>("Button_Pe4at_Dokumenti"), Qt::LeftButton);
    }

    std::unique_ptr<TForm_Spr_Izd_Dok> openReport() {
        auto w = std::make_unique<TForm_Spr_Izd_Dok>(main_->form.context());
        w->show();
        return w;
    }

    QStringList shownNumbers(const QWidget& w) {
        auto* grid = test::control<QTableView>(w, "DBGrid_Dok");
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, 1).data().toString();
        return out;
    }
    int lineRows(const QWidget& w) { return test::control<QTableView>(w, "DBGrid_Art")->model()->rowCount(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->session().clock = [] { return kNow; };
        const QString docs = fx_->session().programDir.documentationsDir();
        QDir().mkpath(docs);
        for (const QString& f : QDir(TORVIKA_SOURCE_DIR "/documentations").entryList(QDir::Files))
            QFile::copy(TORVIKA_SOURCE_DIR "/documentations/" + f, docs + u'/' + f);
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, Adres_Firma, EIK, ID_Mol, Nomer_Grupa) VALUES "
                      "(5, 'Бета Трейд ООД', 'ул. Витоша 12', '123456789', 7, 0)");
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (7, 'Петър Петров')");
        execSql(db(), "UPDATE Dokumenti SET N_Dok = '000125' WHERE Opisanie = 'Фактура'");
        const QList<std::pair<const char*, int>> lines{
            {"Кафе мляно 250 г", 1}, {"Чай зелен", 3}, {"Захар 1 кг", 3}};
        for (const auto& [name, group] : lines)
            lines_ << insertReturningKey(
                db(),
                "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, "
                "Valuta, Operator, T_O, SUM_BezDDS, Bez_DDS, Sm_N, Dan_Grup) VALUES "
                "(10, ?, 2, 'бр.', 12, 'Лева', ?, 0, 20, 10, 0, ?)",
                {QString::fromUtf8(name), test::kFirstOperator, group}, "N_Prodajba");
        main_ = std::make_unique<test::MainWindow>(fx_->session());
        QVERIFY(main_->start());
        fx_->session().setSaleCounterparty("5:Бета Трейд ООД");
        page()->refresh();
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        main_.reset();
        msg_.reset();
        fx_.reset();
    }

    // The menu command opens the report, modally, with its caption.
    void menuCommand() {
        test::ModalScript script;
        script.next<TForm_Spr_Izd_Dok>([](TForm_Spr_Izd_Dok* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Справка издадени документи"));
            w->reject();
        });
        main_->form.runCommand(Command::N_Spr_Izd_Dok);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }

    // An invoice printed in the shop is found by kind and number, shows its
    // lines and their total, and is printed again as a copy: its number,
    // "КОПИЕ", no new number taken and nothing registered again.
    void findAndReprintCopy() {
        printInvoice({0, 2}, pdf("invoice.pdf"));
        QCOMPARE(number(), "000126");
        QCOMPARE(registered(), 2);
        msg_->clear();
        auto w = openReport();
        tick(*w, "ChkBox_Vid_Dok");
        auto* kinds = test::control<QComboBox>(*w, "ComboBox_Vid_Dok");
        test::chooseItem(kinds, kinds->findText("1:Фактура"));
        tick(*w, "ChkBox_N_Dok");
        test::typeAndEnter(*w, "Edit_N_Dok", "000125");
        test::click(*w, "Button_Search");
        QCOMPARE(shownNumbers(*w), QStringList{"000125"});
        auto* docs = test::control<QTableView>(*w, "DBGrid_Dok");
        QCOMPARE(docs->model()->index(0, 2).data().toString(), "Бета Трейд ООД");
        QCOMPARE(docs->model()->index(0, 3).data().toString(), "17.05.2024");
        QCOMPARE(lineRows(*w), 2);
        QCOMPARE(test::control<QLabel>(*w, "Label_SUM")->text(), "48.00");

        msg_->answer("в брой");
        msg_->answer(pdf("copy.pdf"));
        test::click(*w, "Button_Pe4at");
        QCOMPARE(msg_->messages, QStringList{});
        QCOMPARE(number(), "000126");
        QCOMPARE(registered(), 2);
        const QString text = pdfText(pdf("copy.pdf"));
        QVERIFY2(text.contains("КОПИЕ") && !text.contains("ОРИГИНАЛ"), qPrintable(text));
        QVERIFY2(text.contains("Фактура №: 000125"), qPrintable(text));
        QVERIFY2(text.contains("Сума за плащане: 48.00"), qPrintable(text));

        // Another number finds nothing; the lines and total are cleared.
        test::typeAndEnter(*w, "Edit_N_Dok", "000999");
        test::click(*w, "Button_Search");
        QCOMPARE(shownNumbers(*w), QStringList{});
        QCOMPARE(lineRows(*w), 0);
        QCOMPARE(test::control<QLabel>(*w, "Label_SUM")->text(), texts::kTotalZero);
    }

    // Moving through the documents with the arrow keys shows each one's
    // lines; the date filter "между" takes both dates.
    void arrowKeysAndDates() {
        printInvoice({0, 2}, pdf("first.pdf"));
        printInvoice({1}, pdf("second.pdf"));
        QCOMPARE(registered(), 3);
        msg_->clear();
        auto w = openReport();
        tick(*w, "ChkBox_Data");
        auto* op = test::control<QComboBox>(*w, "ComboBox1");
        QVERIFY(!test::control<QDateEdit>(*w, "DateTimePicker_Do")->isVisible());
        test::chooseItem(op, 3);
        QVERIFY(test::control<QDateEdit>(*w, "DateTimePicker_Do")->isVisible());
        test::control<QDateEdit>(*w, "DateTimePicker_Data")->setDate(QDate(2024, 5, 1));
        test::control<QDateEdit>(*w, "DateTimePicker_Do")->setDate(QDate(2024, 5, 31));
        test::click(*w, "Button_Search");
        QStringList numbers = shownNumbers(*w);
        numbers.sort();
        QCOMPARE(numbers, (QStringList{"000125", "000126"}));
        auto* docs = test::control<QTableView>(*w, "DBGrid_Dok");
        const QString first = docs->model()->index(0, 1).data().toString();
        const int firstLines = first == "000125" ? 2 : 1;
        QCOMPARE(lineRows(*w), firstLines);
        docs->setFocus();
        QTest::keyClick(docs, Qt::Key_Down);
        QCOMPARE(docs->currentIndex().row(), 1);
        QCOMPARE(lineRows(*w), 3 - firstLines);
        QTest::keyClick(docs, Qt::Key_Up);
        QCOMPARE(lineRows(*w), firstLines);

        // A month before finds none.
        test::control<QDateEdit>(*w, "DateTimePicker_Data")->setDate(QDate(2024, 4, 1));
        test::control<QDateEdit>(*w, "DateTimePicker_Do")->setDate(QDate(2024, 4, 30));
        test::click(*w, "Button_Search");
        QCOMPARE(shownNumbers(*w), QStringList{});
    }
};

QTEST_MAIN(ReportsWindowTest)
#include "test_reports_window.moc"
