// "Продажба" at the till: the payment dialog and its change, the sale
// recorded with its stock, the receipt printed by the stand-in fiscal print
// server beside the program, bank transfers without a receipt, the order
// proposal, and the login for the next customer.

#include "catalogue/stock.h"
#include "common/cp1251.h"
#include "common/sql.h"
#include "sales/fiscal_http.h"
#include "sales/invalidation.h"
#include "sales/sale_completion.h"
#include "sales/ui/form_pay_type.h"
#include "sales/ui/sale_lines_model.h"
#include "sales/ui/shop_page.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

using namespace torvika;

namespace {

const QString kAskReceiptAgain = QStringLiteral(
    "Продажбата е записана, но касовата бележка не е отпечатана.\rЖелаете ли нов опит за печат?");

const QString kAskOrder = QStringLiteral(
    "Артикул: Кафе е под минималното количество.\rЖелаете ли да бъде въведен в списък за Поръчки?");

// The payment dialog's step: types what the customer gives, checks the
// change shown, chooses the kind and presses "ПРИЕМИ".
std::function<void(TForm_Pay_Type*)> pay(const QString& due, const QString& given, const QString& change,
                                         const char* kind = "Pay_Cash") {
    return [=](TForm_Pay_Type* d) {
        auto* dueField = d->findChild<QLineEdit*>("Edit_Dalji_Sum");
        auto* givenField = d->findChild<QLineEdit*>("Edit_Dadena_Sum");
        QCOMPARE(d->windowTitle(), "РАЗПЛАЩАНЕ");
        QCOMPARE(dueField->text(), due);
        QCOMPARE(givenField->text(), due);
        QVERIFY(d->findChild<QRadioButton*>("Pay_Cash")->isChecked());
        QVERIFY(!d->findChild<QRadioButton*>("Pay_Deferred")->isVisibleTo(d));
        d->findChild<QRadioButton*>(kind)->click();
        if (!given.isNull()) {
            givenField->selectAll();
            test::typeText(givenField, given);
        }
        QCOMPARE(d->findChild<QLabel*>("Label_Resto")->text(), change);
        d->findChild<QPushButton*>("OKBtn")->click();
    };
}

} // namespace

class ShopSaleTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QSqlDatabase db() { return fx_->db(); }
    ShopPage* page() { return main_->form.findChild<ShopPage*>(); }
    QLineEdit* edit(const char* name) { return test::control<QLineEdit>(main_->form, name); }
    QString bons() const { return fx_->root() + "Bons"; }

    void typeAndEnter(const char* field, const QString& text) {
        QLineEdit* e = edit(field);
        e->setFocus();
        e->selectAll();
        test::typeText(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }
    void writeBytes(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void addLine(const QString& article, const QString& quantity) {
        typeAndEnter("Edit_Barkod", article);
        typeAndEnter("Edit_Broj", quantity);
        QTest::keyClick(edit("Edit_Cena_Nula"), Qt::Key_Return);
    }
    // Runs "Продажба" with the steps for its dialogs; a sale that goes
    // through ends at the login.
    void sell(const QList<std::function<void(TForm_Pay_Type*)>>& steps, bool login = true) {
        test::ModalScript script;
        for (const auto& step : steps)
            script.next<TForm_Pay_Type>(step);
        if (login)
            test::scriptLogin(script);
        main_->form.runCommand(Command::N_Prodajba);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }
    static QList<QByteArray> journalLines(const QString& journal) {
        return test::Fixture::readFile(journal).trimmed().split('\n');
    }
    int count(const char* table) {
        return scalarSql(db(), QString("SELECT COUNT(*) FROM %1").arg(table)).toInt();
    }
    double stock(qint64 article) { return stockIn(db(), article, 1).value_or(-999).toDouble(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->firmData().writeString("Tuning", "19", "Bons");
        fx_->firmData().writeString("Tuning", "FB", "2");
        fx_->firmData().writeString("Store", "Active", "1");
        fx_->firmData().writeString("Firm_Data", "DDS", "20");
        execSql(db(), "DELETE FROM Valuti");
        execSql(db(), "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('Лева', 1, 'True')");
        execSql(
            db(),
            "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, Dan_Grup, "
            "Prigotvq_Se, Min_Kol) VALUES (10, 'Чай', 1, 2.5, 'Лева', 'бр.', 0, 2, 0, 0), "
            "(11, 'Кафе', 1, 3.67, 'Лева', 'кг', 0, 2, 0, 1)");
        GET_NALI4NOST(db(), 10, 1, 1, 100);
        GET_NALI4NOST(db(), 11, 1, 1, 50);
        main_ = std::make_unique<test::MainWindow>(fx_->session());
        QVERIFY(main_->start());
        main_->form.resize(1024, 700);
        main_->form.show();
        main_->form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main_->form));
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        main_.reset();
        msg_.reset();
        fx_.reset();
    }

    // Two lines paid in cash, 20.00 given for 12.34: the change, the rows,
    // the stock, the sale list emptied, and the receipt printed by the
    // stand-in server, which the sale records.
    void cashSalePrintsItsReceipt() {
        const QString journal = fx_->root() + "journal.txt";
        QDir().mkpath(bons());
        QProcess server;
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(QStringLiteral(TORVIKA_FISCAL_PRINTER),
                     {"--receipts", bons(), "--journal", journal, "--interval", "100"});
        QVERIFY(server.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return server.canReadLine(); }, 30000));

        addLine("10", "2");
        addLine("11", "2");
        page()->selectOwnLines();
        sell({pay("12.34", "20", "РЕСТО: 7.66")});
        QVERIFY(msg_->shown.isEmpty());

        QCOMPARE(count("Prodajbi"), 2);
        QCOMPARE(count("Prodajbi_Vremenni"), 0);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi WHERE Type_Pay = 'в брой' AND Sklad_ID = 1")
                     .toInt(),
                 2);
        QCOMPARE(stock(10), 98.0);
        QCOMPARE(stock(11), 48.0);
        QCOMPARE(page()->model()->rowCount(), 0);
        const qint64 sold = scalarSql(db(), "SELECT MIN(ID_Prodajba) FROM Prodajbi").toLongLong();
        QVERIFY(receiptFileOf(db(), sold).endsWith("BON1.bon"));

        QVERIFY(QTest::qWaitFor([&] { return !QFileInfo::exists(bons() + "/BON1.bon"); }, 30000));
        server.terminate();
        QVERIFY(server.waitForFinished(30000));
        const QString printed = QString::fromUtf8(test::Fixture::readFile(journal));
        QVERIFY2(!printed.contains("ГРЕШКА"), qPrintable(printed));
        // The last selected line first.
        const qsizetype coffee = printed.indexOf("Кафе");
        const qsizetype tea = printed.indexOf("Чай");
        QVERIFY2(coffee > 0 && tea > coffee, qPrintable(printed));
        QVERIFY2(printed.contains("ОБЩО: 12.34"), qPrintable(printed));
    }

    // The workstation prints through the HTTP print server: three lines
    // sold in cash, the till free at once, the stand-in's journal shows the
    // items with their tax groups, the payment and the sale's number, and
    // the device's receipt is recorded with the sale.
    void cashSaleThroughThePrintServer() {
        execSql(db(), "UPDATE Produkti SET Dan_Grup = 1 WHERE ID = 11");
        execSql(
            db(),
            "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, Dan_Grup, "
            "Prigotvq_Se, Min_Kol) VALUES (12, 'Захар', 1, 1.99, 'Лева', 'кг', 0, 3, 0, 0)");
        GET_NALI4NOST(db(), 12, 1, 1, 10);
        execSql(db(), "UPDATE Operators SET Kod_Oper = 'AB12'");
        const QString journal = fx_->root() + "journal.jsonl";
        QProcess server;
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(QStringLiteral(TORVIKA_FISCAL_HTTP), {"--port", "0", "--journal", journal});
        QVERIFY(server.waitForReadyRead(30000));
        const QString port =
            QRegularExpression(":(\\d+),").match(QString::fromUtf8(server.readLine())).captured(1);
        QVERIFY(!port.isEmpty());
        fx_->firmData().writeString("Fiscal", "DeviceNumber", "DT279013");
        fx_->firmData().writeString("Fiscal", "HttpOutput", "1");
        fx_->firmData().writeString("Fiscal", "ServerAddress", "http://127.0.0.1:" + port);
        fx_->firmData().writeString("Fiscal", "PrinterId", "dt279013");

        addLine("10", "2");
        addLine("11", "1.5");
        addLine("12", "1");
        page()->selectOwnLines();
        sell({pay("12.50", QString(), "РЕСТО: 0.00")});
        QCOMPARE(count("Prodajbi"), 3);
        const qint64 first = scalarSql(db(), "SELECT MIN(ID_Prodajba) FROM Prodajbi").toLongLong();
        QVERIFY(QTest::qWaitFor([&] { return deviceReceiptOf(db(), first).has_value(); }, 30000));
        QVERIFY(msg_->shown.isEmpty());

        const QList<QByteArray> lines = journalLines(journal);
        QCOMPARE(lines.size(), 1);
        const QJsonObject r = QJsonDocument::fromJson(lines[0]).object();
        QCOMPARE(r.value("kind").toString(), "receipt");
        QCOMPARE(r.value("uniqueSaleNumber").toString(), "DT279013-AB12-0000001");
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi WHERE UNP = 'DT279013-AB12-0000001'").toInt(),
                 3);
        const QJsonArray items = r.value("items").toArray();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0].toObject().value("text").toString(), "Захар");
        QCOMPARE(items[0].toObject().value("taxGroup").toInt(), 4);
        QCOMPARE(items[1].toObject().value("text").toString(), "Кафе");
        QCOMPARE(items[1].toObject().value("taxGroup").toInt(), 2);
        QCOMPARE(items[1].toObject().value("quantity").toDouble(), 1.5);
        QCOMPARE(items[2].toObject().value("taxGroup").toInt(), 3);
        QCOMPARE(r.value("total").toDouble(), 12.5);
        const QJsonObject payment = r.value("payments").toArray()[0].toObject();
        QCOMPARE(payment.value("amount").toDouble(), 12.5);
        QCOMPARE(payment.value("paymentType").toString(), "cash");
        QCOMPARE(deviceReceiptOf(db(), first)->number, r.value("receiptNumber").toString());
        QVERIFY(!QFileInfo::exists(bons() + "/BON1.bon"));

        // Cash taken out of the drawer, from the till's cash desk.
        main_->form.runCommand(Command::SpdBtn_Kasa);
        msg_->answer(QString("5,50"));
        test::control<QPushButton>(main_->form, "Button_Sluj_Izvod")->click();
        QVERIFY(QTest::qWaitFor([&] { return journalLines(journal).size() == 2; }, 30000));
        const QJsonObject out = QJsonDocument::fromJson(journalLines(journal)[1]).object();
        QCOMPARE(out.value("kind").toString(), "withdraw");
        QCOMPARE(out.value("amount").toDouble(), 5.5);
        server.terminate();
        QVERIFY(server.waitForFinished(30000));
    }

    // Seven lines of 1.5 × 2.99 at 10 %: the receipt the stand-in server
    // prints totals what the customer paid.
    void sevenLinesPrintTheAmountPaid() {
        const QString journal = fx_->root() + "journal.txt";
        QDir().mkpath(bons());
        QProcess server;
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(QStringLiteral(TORVIKA_FISCAL_PRINTER),
                     {"--receipts", bons(), "--journal", journal, "--interval", "100"});
        QVERIFY(server.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return server.canReadLine(); }, 30000));

        execSql(db(), "UPDATE Produkti SET Ed_Cena = 2.99 WHERE ID = 10");
        for (int i = 0; i < 7; ++i) {
            typeAndEnter("Edit_Barkod", "10");
            typeAndEnter("Edit_Broj", "1,5");
            typeAndEnter("Edit_Cena_Nula", "2,691"); // 10 % off
        }
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni WHERE T_O = 10").toInt(), 7);
        page()->selectOwnLines();
        sell({pay("28.28", "30", "РЕСТО: 1.72")});
        QVERIFY(msg_->shown.isEmpty());

        QVERIFY(QTest::qWaitFor([&] { return !QFileInfo::exists(bons() + "/BON1.bon"); }, 30000));
        server.terminate();
        QVERIFY(server.waitForFinished(30000));
        const QString printed = QString::fromUtf8(test::Fixture::readFile(journal));
        QVERIFY2(!printed.contains("ГРЕШКА"), qPrintable(printed));
        QCOMPARE(printed.count("   1.500 x 2.69 = 4.04 В"), 7);
        QVERIFY2(printed.contains("ОБЩО: 28.28\n"), qPrintable(printed));
        QVERIFY2(!printed.contains("КОРЕКЦИЯ"), qPrintable(printed));
    }

    // A receipt the operator gave up on is offered at the next start and
    // printed from the stored sale; once printed it is not offered again.
    void owedReceiptAtTheNextStart() {
        writeBytes(fx_->root() + "blocker", "a file where the directory should be");
        fx_->firmData().writeString("Tuning", "19", "blocker/Bons");
        addLine("10", "2");
        page()->selectOwnLines();
        msg_->answerNo(); // no new try
        sell({pay("5.00", QString(), "РЕСТО: 0.00")});
        QCOMPARE(msg_->shown, (QStringList{"Неуспешен печат на бон", kAskReceiptAgain}));
        QCOMPARE(count("Prodajbi"), 1);
        msg_->clear();

        fx_->firmData().writeString("Tuning", "19", "Bons");
        const auto restart = [this] {
            main_.reset();
            main_ = std::make_unique<test::MainWindow>(fx_->session());
            QVERIFY(main_->start());
        };
        msg_->answerYes();
        restart();
        QCOMPARE(msg_->questions.size(), 1);
        QVERIFY2(msg_->questions.first().startsWith("Продажбата от " +
                                                    QDate::currentDate().toString("dd.MM.yyyy")),
                 qPrintable(msg_->questions.first()));
        QVERIFY2(msg_->questions.first().contains("(оператор Администратор, сума 5.00) е записана"),
                 qPrintable(msg_->questions.first()));
        const QString bon = bons() + "/BON1.bon";
        QVERIFY(QFileInfo::exists(bon));
        QVERIFY(fromCp1251(test::Fixture::readFile(bon)).contains("%10^Чай         ^250^2000^2^"));
        const qint64 sold = scalarSql(db(), "SELECT ID_Prodajba FROM Prodajbi").toLongLong();
        QCOMPARE(receiptFileOf(db(), sold), QDir::cleanPath(bon));
        msg_->clear();
        restart();
        QVERIFY(msg_->questions.isEmpty());
    }

    // The reversals that invalidated printed sales still owe are offered at
    // the next start: Yes prints the reversal file, No records that the
    // invalidation goes without one; neither is offered again.
    void owedReversalsAtTheNextStart() {
        addLine("10", "2");
        page()->selectOwnLines();
        sell({pay("5.00", QString(), "РЕСТО: 0.00")});
        addLine("10", "1");
        page()->selectOwnLines();
        sell({pay("2.50", QString(), "РЕСТО: 0.00")});
        QList<qint64> sold;
        for (const QVariantList& row :
             readRows(db(), "SELECT ID_Prodajba FROM Prodajbi ORDER BY ID_Prodajba").rows)
            sold << row[0].toLongLong();
        QCOMPARE(sold.size(), 2);
        // Invalidated where no reversal was printed (put off, or its print failed).
        InvalidationRequest request{{{sold[0], false, false}, {sold[1], false, false}},
                                    "върната стока",
                                    "Администратор",
                                    fx_->session().now(),
                                    1};
        QCOMPARE(invalidateSales(db(), request).invalidated.size(), 2);
        msg_->clear();

        const auto restart = [this] {
            main_.reset();
            main_ = std::make_unique<test::MainWindow>(fx_->session());
            QVERIFY(main_->start());
        };
        msg_->answerYes();
        msg_->answerNo();
        restart();
        QCOMPARE(msg_->questions.size(), 2);
        QVERIFY2(
            msg_->questions[0].startsWith("Продажбата от " + QDate::currentDate().toString("dd.MM.yyyy")),
            qPrintable(msg_->questions[0]));
        QVERIFY2(
            msg_->questions[0].contains("(сума 5.00) е анулирана,\rно сторно бонът за нея не е отпечатан"),
            qPrintable(msg_->questions[0]));
        const QString reversal = bons() + "/BON3.bon";
        QVERIFY(QFileInfo::exists(reversal));
        QVERIFY2(fromCp1251(test::Fixture::readFile(reversal)).startsWith("#S,refund\r\n"),
                 qPrintable(fromCp1251(test::Fixture::readFile(reversal))));
        QCOMPARE(scalarSql(db(), "SELECT Storno_Bon FROM Invalidate_Sales WHERE ID_Prodajba = ?", {sold[0]})
                     .toString(),
                 QDir::cleanPath(reversal));
        QCOMPARE(scalarSql(db(), "SELECT Storno_Bon FROM Invalidate_Sales WHERE ID_Prodajba = ?", {sold[1]})
                     .toString(),
                 "-");
        QVERIFY(!QFileInfo::exists(bons() + "/BON4.bon"));
        msg_->clear();
        restart();
        QVERIFY(msg_->questions.isEmpty());
    }

    // A receipt written whose file the database would not note: the sale
    // and its receipt are done, and the operator is told just that.
    void receiptWrittenButNotRecorded() {
        test::refuseUpdates(db(), "Prodajbi_Bon", "no writes here");
        addLine("10", "1");
        page()->selectOwnLines();
        sell({pay("2.50", QString(), "РЕСТО: 0.00")});
        QCOMPARE(msg_->shown.size(), 1);
        QVERIFY2(msg_->shown.first().startsWith("Продажбата е записана и касовата бележка е отпечатана"),
                 qPrintable(msg_->shown.first()));
        QVERIFY(!msg_->shown.first().contains("нищо не е записано"));
        QCOMPARE(count("Prodajbi"), 1);
        QVERIFY(QFileInfo::exists(bons() + "/BON1.bon"));
    }

    // A bank transfer writes its rows and no receipt; cash that does not
    // cover the sale is refused and the operator types it again.
    void bankTransferAndShortCash() {
        addLine("10", "1");
        page()->selectOwnLines();
        sell({pay("2.50", QString(), "РЕСТО: 0.00", "Pay_Bank")});
        QCOMPARE(scalarSql(db(), "SELECT Type_Pay FROM Prodajbi").toString(), "по банков път");
        QVERIFY(!QFileInfo::exists(bons()));

        addLine("10", "4");
        page()->selectOwnLines();
        sell({[](TForm_Pay_Type* d) {
            auto* given = d->findChild<QLineEdit*>("Edit_Dadena_Sum");
            given->selectAll();
            test::typeText(given, "9,5");
            QCOMPARE(d->findChild<QLabel*>("Label_Resto")->text(), "РЕСТО: -0.50");
            d->findChild<QPushButton*>("OKBtn")->click();
            QVERIFY(d->isVisible());
            given->selectAll();
            test::typeText(given, "10");
            d->findChild<QPushButton*>("OKBtn")->click();
        }});
        QCOMPARE(msg_->shown, QStringList{"Дадената сума е по-малка от дължимата."});
        QCOMPARE(count("Prodajbi"), 2);
        QVERIFY(QFileInfo::exists(bons() + "/BON1.bon"));
    }

    // Nothing selected: the message, no dialog. Cancelling the payment
    // records nothing and there is no login.
    void nothingSelectedOrCancelled() {
        sell({}, false);
        QCOMPARE(msg_->shown, QStringList{"Необходимо е да изберете артикули за продажба"});
        msg_->clear();
        addLine("10", "1");
        page()->selectOwnLines();
        sell({[](TForm_Pay_Type* d) { d->findChild<QPushButton*>("CancelBtn")->click(); }}, false);
        QCOMPARE(count("Prodajbi"), 0);
        QCOMPARE(count("Prodajbi_Vremenni"), 1);
    }

    // "При продажба продавай всичко" sells every line without a selection;
    // the article falling to its minimum is proposed for ordering first.
    void sellAllWithOrderProposal() {
        fx_->firmData().writeString("Tuning", "27", "1");
        fx_->firmData().writeString("Tuning", "FB", "0");
        GET_NALI4NOST(db(), 11, 1, 1, 3);
        addLine("11", "2");
        addLine("10", "1");
        page()->grid()->clearSelection();
        msg_->answerYes();
        sell({pay("9.84", QString(), "РЕСТО: 0.00")});
        QCOMPARE(msg_->shown, QStringList{kAskOrder});
        QCOMPARE(count("Prodajbi"), 2);
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Zaqvki_All WHERE Art_ID = 11").toString(), "Кафе");
    }

    // Without an active warehouse the sale is not offered for payment.
    void noActiveWarehouse() {
        fx_->session().setActiveWarehouse(7, "7:");
        addLine("10", "1");
        page()->selectOwnLines();
        sell({}, false);
        QCOMPARE(msg_->shown.size(), 1);
        QVERIFY(msg_->shown.first().startsWith("Няма избран активен склад"));
        QCOMPARE(count("Prodajbi"), 0);
    }
};

QTEST_MAIN(ShopSaleTest)
#include "test_shop_sale.moc"
