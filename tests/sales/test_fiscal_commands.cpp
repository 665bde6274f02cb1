// The receipt commands of the shop in the main window ("Копие на последен
// бон", the daily reports, "Издай служебен бон"), what the operator is told
// when a receipt or a ticket cannot be printed, the tickets that wait for
// their department, and the departments window.

#include "common/cp1251.h"
#include "common/sql.h"
#include "common/ui/statement_model.h"
#include "sales/departments.h"
#include "sales/receipt_files.h"
#include "sales/ui/fiscal_commands.h"
#include "sales/ui/form_type_prigotvq_se.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace torvika;

namespace {

const QString kBonFailed = QStringLiteral("Неуспешен печат на бон");
const QString kSelectLines = QStringLiteral("Необходимо е да се изберат данни за издаване на служебен бон");

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class FiscalCommandsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QSqlDatabase db() { return fx_->db(); }
    Session& session() { return fx_->session(); }
    QString bons() const { return fx_->root() + "Bons"; }
    QByteArray bon(int n) const {
        return test::Fixture::readFile(bons() + QStringLiteral("/BON%1.bon").arg(n));
    }

    qint64 addLine(const char* name, double quantity, double price, int department = 0) {
        return insertReturningKey(
            db(),
            "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Ed_Cena, Valuta, Operator, "
            "T_O, Dan_Grup, Prigotvq_Se, Sm_N) VALUES (5, ?, ?, ?, 'Лева', ?, 0, 2, ?, 0)",
            {QString::fromUtf8(name), quantity, price, session().operatorName(), department}, "N_Prodajba");
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->firmData().writeString("Tuning", "19", "Bons");
        // Receipts in the base currency only, whatever the day the tests run.
        fx_->firmData().writeString("Tuning", "DualPricesUntil", "");
        main_ = std::make_unique<test::MainWindow>(session());
        QVERIFY(main_->start());
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        main_.reset();
        msg_.reset();
        fx_.reset();
    }

    void reportCommandsWriteTheirFiles() {
        main_->form.runCommand(Command::N_ot4et_s_Nula);
        main_->form.runCommand(Command::N_ot4et_bez_Nula);
        main_->form.runCommand(Command::N68);
        QCOMPARE(bon(1), QByteArray("#N\r\n"));
        QCOMPARE(bon(2), QByteArray("#I\r\n"));
        QCOMPARE(bon(3), QByteArray("#C\r\n"));
        QVERIFY(msg_->shown.isEmpty());
    }

    // A receipt directory that cannot be created: the operator is told, the
    // reason goes to the log.
    void failedReceiptIsReported() {
        writeBytes(fx_->root() + "blocker", "a file");
        fx_->firmData().writeString("Tuning", "19", fx_->root() + "blocker/Bons");
        main_->form.runCommand(Command::N_ot4et_s_Nula);
        QCOMPARE(msg_->shown, QStringList{kBonFailed});
        QVERIFY(test::Fixture::readFile(fx_->root() + "Exceptions.log").contains("blocker"));
    }

    void serviceReceiptNeedsSelectedLines() {
        main_->form.runCommand(Command::N70);
        QCOMPARE(msg_->shown, QStringList{kSelectLines});
        QVERIFY(!QFileInfo::exists(bons()));
    }

    // The selected lines, the last selected first, stay in the sale list.
    void serviceReceiptOfSelectedLines() {
        fx_->firmData().writeString("Tuning", "24", "1: ЕЛТРЕЙД - Фискален принтер");
        const qint64 tea = addLine("Чай", 1, 2.5);
        const qint64 coffee = addLine("Кафе", 2, 1.5);
        issueServiceReceipt(session(), {tea, coffee}, "3");
        QVERIFY(msg_->shown.isEmpty());
        const QByteArray expected =
            toCp1251(u"*\r\n:ПОС: 1\r\n:ПОРЪЧКА: 3\r\n:Опер.: Администратор   \r\n"
                     u":Кафе        2.00 x 1.50    \r\n:Чай         1.00 x 2.50    \r\n"
                     u":=======================\r\n:Общо: 5.50\r\n"
                     u":=======================\r\n");
        QCOMPARE(bon(1), expected);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni").toInt(), 2);
    }

    // A ticket that cannot be written names its department; one that waits
    // for its department's previous ticket is written once that is gone.
    void ticketsAreReportedAndRetried() {
        fx_->firmData().writeString("Tuning", "23", "1");
        const QString kitchen = fx_->root() + "Kitchen";
        updateDepartment(db(), 1, {1, "Кухня", fx_->root() + "missing", "2: ЕЛТРЕЙД - Касов апарат"});
        issueServiceReceipt(session(), {addLine("Супа", 1, 3, 1)}, "0");
        QCOMPARE(msg_->shown.size(), 1);
        QVERIFY2(msg_->shown.first().startsWith("Неуспешен печат на бележка за отдел 1:Кухня\n"),
                 qPrintable(msg_->shown.first()));
        msg_->clear();

        updateDepartment(db(), 1, {1, "Кухня", kitchen, "2: ЕЛТРЕЙД - Касов апарат"});
        writeBytes(kitchen + "/ToPrepare1.bon", "previous");
        issueServiceReceipt(session(), {addLine("Салата", 1, 4, 1)}, "0");
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(session().state<FiscalState>().waitingTickets(), 1);
        QFile::remove(kitchen + "/ToPrepare1.bon");
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(kitchen + "/ToPrepare1.bon"); }, 10000));
        QVERIFY(test::Fixture::readFile(kitchen + "/ToPrepare1.bon").contains(toCp1251(u":Салата")));
        QCOMPARE(session().state<FiscalState>().waitingTickets(), 0);

        // At exit the operator learns which tickets were not printed yet;
        // the next start prints them.
        issueServiceReceipt(session(), {addLine("Торта", 1, 5, 1)}, "0");
        finishWaitingTickets(session());
        QCOMPARE(msg_->shown.size(), 1);
        QVERIFY2(msg_->shown.first().endsWith(
                     "\n1:Кухня\nТе ще бъдат отпечатани при следващото стартиране на програмата."),
                 qPrintable(msg_->shown.first()));
    }

    // "Отдели за изготвяне на продукция ...": a new department, a changed
    // one, and one that articles still use.
    void departmentsWindow() {
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Prigotvq_Se) VALUES (1, 'Супа', 1)");
        test::ModalScript script;
        script.next<TForm_Type_Prigotvq_Se>([this](TForm_Type_Prigotvq_Se* w) {
            QCOMPARE(w->windowTitle(), "Отдели за изготвяне на продукция");
            QCOMPARE(w->model()->rowCount(), 2);
            QCOMPARE(w->model()->headerData(2, Qt::Horizontal).toString(), "Път за печат ");
            auto* name = test::control<QLineEdit>(*w, "DBEdit_Opisanie");
            auto* path = test::control<QLineEdit>(*w, "DBEdit_Path");
            auto* type = test::control<QComboBox>(*w, "DBComboBox_Vid_FU");
            QCOMPARE(name->text(), "Кухня");
            QCOMPARE(path->placeholderText(), fx_->root() + "Bons/Department1");
            QCOMPARE(type->count(), 19);

            test::control<QPushButton>(*w, "DBNavigator_Insert")->click();
            test::typeText(name, "Пица");
            msg_->answer(fx_->root() + "Pizza");
            test::control<QPushButton>(*w, "SpdBtn_Path")->click();
            type->setCurrentIndex(14);
            test::control<QPushButton>(*w, "DBNavigator_Post")->click();
            QCOMPARE(w->state(), TForm_Type_Prigotvq_Se::Browse);
            QCOMPARE(test::control<QLineEdit>(*w, "DBEdit_ID")->text(), "3");

            // Changing the bar's device type.
            w->grid()->setCurrentIndex(w->model()->index(1, 0));
            QCOMPARE(name->text(), "Бар");
            type->setCurrentIndex(2);
            emit type->activated(2);
            QCOMPARE(w->state(), TForm_Type_Prigotvq_Se::Edit);
            test::control<QPushButton>(*w, "DBNavigator_Post")->click();
            QCOMPARE(w->state(), TForm_Type_Prigotvq_Se::Browse);

            // The kitchen prepares the soup: it stays.
            w->grid()->setCurrentIndex(w->model()->index(0, 0));
            test::control<QPushButton>(*w, "DBNavigator_Delete")->click();
            QCOMPARE(msg_->shown.last(),
                     "Отделът не може да бъде изтрит: има артикули, които се приготвят в него");
            w->reject();
        });
        main_->form.runCommand(Command::N63);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(*loadDepartment(db(), 3),
                 (Department{3, "Пица", fx_->root() + "Pizza", "14: ДАТЕКС - Фискален принтер FP 3530"}));
        QCOMPARE(loadDepartment(db(), 2)->deviceType, "2: ЕЛТРЕЙД - Касов апарат");
        QVERIFY(loadDepartment(db(), 1));
    }
};

QTEST_MAIN(FiscalCommandsTest)
#include "test_fiscal_commands.moc"
