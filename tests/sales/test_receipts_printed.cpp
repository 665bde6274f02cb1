// The program's receipts and tickets printed by the stand-in fiscal print
// server running beside it: every file is consumed, none is refused, and
// the journal shows them in the order written, with the device's numbers
// and totals.

#include "common/sql.h"
#include "sales/departments.h"
#include "sales/receipt_files.h"
#include "support/fixture.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using namespace torvika;

namespace {

// A value as the database gives it.
Decimal dec(double value) {
    return *Decimal::fromVariant(value);
}

ReceiptLine line(const QString& name, double quantity, double price, double discount, int group,
                 int department, double rate = 1) {
    ReceiptLine l;
    l.article = QStringLiteral("31");
    l.name = name;
    l.quantity = dec(quantity);
    l.unitPrice = dec(price);
    l.discount = dec(discount);
    l.vatGroup = group;
    l.department = department;
    l.rate = dec(rate);
    return l;
}

// The command files still in the directory and its subdirectories.
int commandFiles(const QString& dir) {
    int n = 0;
    const QDir d(dir);
    n += int(d.entryList({QStringLiteral("*.bon")}, QDir::Files).size());
    for (const QString& sub : d.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        n += commandFiles(d.filePath(sub));
    return n;
}

} // namespace

class ReceiptsPrintedTest : public QObject {
    Q_OBJECT
private slots:
    void printedByTheStandIn() {
        test::Fixture fx;
        const QSqlDatabase db = fx.db();
        const QString kitchen = fx.root() + "Kitchen";
        const QString journal = fx.root() + "journal.txt";
        updateDepartment(db, 1, {1, "Кухня", kitchen, "1: ЕЛТРЕЙД - Фискален принтер"});
        updateDepartment(db, 2, {2, "Бар", "", "14: ДАТЕКС - Фискален принтер FP 3530"});
        FiscalSettings settings;
        settings.programDir = fx.root();
        settings.receiptDir = fx.root() + "Fiscal";
        settings.departmentTickets = true;
        settings.deviceType = 1;
        QDir().mkpath(kitchen);

        QProcess server;
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(QStringLiteral(TORVIKA_FISCAL_PRINTER),
                     {"--receipts", settings.receiptDir, "--department", kitchen, "--journal", journal,
                      "--interval", "100"});
        QVERIFY(server.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return server.canReadLine(); }, 30000));
        QVERIFY(server.readLine().startsWith("watching"));

        FiscalState state;
        const BonHeader header{"2", "Мария", "5"};
        const QList<ReceiptLine> first{
            line("Супа^топчета;", 2, 3.5, 10, 2, 1), line("Бира", 1, 2.99, 0, 2, 2),
            line("Кафе с мляко и сметана", 8, 0.125, 0, 1, 0), line("Вино", 1, 10, 0, 2, 2, 1.95583)};
        settings.saleReceipt = kFiscalReceipt;
        BonResult r = printSaleReceipt(state, first, Decimal("29.85"), db, settings, header);
        QVERIFY(!r.receiptFailed);
        settings.saleReceipt = kServiceReceipt;
        r = printSaleReceipt(state, {line("Салата", 1, 4.2, 0, 2, 1)}, Decimal("4.2"), db, settings, header);
        QVERIFY(!r.receiptFailed);
        settings.saleReceipt = kFiscalReceipt;
        r = printSaleReceipt(state, {line("Хляб", 1.5, 2.99, -5, 3, 0)}, Decimal("4.71"), db, settings,
                             header);
        QVERIFY(!r.receiptFailed);
        for (BonMode mode : {kBonDailyReport, kBonCopyLast, kBonDailyZeroing})
            QVERIFY(!state.CREATE_BON_FILE(mode, db, settings, header).receiptFailed);

        // Every file consumed; the tickets that waited for their
        // department's previous one were written once it was gone.
        QList<TicketFailure> failures;
        QVERIFY(QTest::qWaitFor(
            [&] {
                failures += state.retryWaitingTickets();
                return state.waitingTickets() == 0 && commandFiles(settings.receiptDir) == 0 &&
                       commandFiles(kitchen) == 0;
            },
            60000));
        QVERIFY(failures.isEmpty());
        server.terminate();
        QVERIFY(server.waitForFinished(30000));

        QFile f(journal);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString printed = QString::fromUtf8(f.readAll());
        QVERIFY2(!printed.contains("ГРЕШКА"), qPrintable(printed));
        QVERIFY(!QFileInfo::exists(settings.receiptDir + "/rejected"));
        // In the order written, with the device's numbers and totals.
        QStringList expected{"ФИСКАЛЕН БОН № 0000001",
                             "Опер.: Мария",
                             "31 Супа топчета",
                             "   2.000 x 3.15 = 6.30 В",
                             "отстъпка: 10.00%",
                             "31 Кафе с мляко",
                             "   8.000 x 0.12 = 0.96 Б",
                             "31 Вино",
                             "   1.000 x 19.55 = 19.55 В",
                             "0000 КОРЕКЦИЯ:",
                             "   1.000 x 0.05 = 0.05 Б",
                             "ОБЩО: 29.85",
                             "СЛУЖЕБЕН БОН",
                             "ПОРЪЧКА: 5",
                             "Салата      1.00 x 4.20    ",
                             "Общо: 4.20",
                             "ФИСКАЛЕН БОН № 0000002",
                             "   1.500 x 3.13 = 4.70 Г",
                             "надбавка: -5.00%",
                             "   1.000 x 0.01 = 0.01 Б",
                             "ОБЩО: 4.71",
                             "ДНЕВЕН ОТЧЕТ БЕЗ НУЛИРАНЕ",
                             "Фискални бонове: 2",
                             "ОБЩО: 34.56",
                             "КОПИЕ НА ФИСКАЛЕН БОН № 0000002",
                             "ДНЕВЕН ОТЧЕТ С НУЛИРАНЕ № 0000001"};
        qsizetype at = 0;
        for (const QString& text : expected) {
            const qsizetype found = printed.indexOf(text, at);
            QVERIFY2(found >= 0, qPrintable("not in order: " + text + "\n" + printed));
            at = found + text.size();
        }
        // The tickets: kitchen twice (the second with the service
        // receipt's bill), the bar once, in the command layout.
        QCOMPARE(printed.count("БЕЛЕЖКА ЗА ИЗГОТВЯНЕ"), 3);
        QCOMPARE(printed.count("\nКУХНЯ\n"), 2);
        QCOMPARE(printed.count("\nБАР\n"), 1);
        QVERIFY(printed.contains(
            "ToPrepare2.bon\nПОС: 2\nОпер.: Мария           \n=======================\nБАР\n"));
        QVERIFY(printed.contains("ПОРЪЧКА: 5\nОпер.: Мария           \n=======================\nКУХНЯ\n"));
    }
};

QTEST_GUILESS_MAIN(ReceiptsPrintedTest)
#include "test_receipts_printed.moc"
