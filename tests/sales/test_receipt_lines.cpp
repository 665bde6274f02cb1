// The lines of the receipt and ticket files: fiscal item lines with their
// exact arithmetic, the receipt's total as the device computes it, service
// lines and their widths, the layouts of each device type, and the bytes of
// a file.

#include "common/base_currency.h"
#include "common/cp1251.h"
#include "fiscal_printer/fiscal_device.h"
#include "sales/receipt_lines.h"

#include <QTest>

using namespace torvika;

namespace {

// A value as the database gives it.
Decimal dec(double value) {
    return *Decimal::fromVariant(value);
}

ReceiptLine line(const QString& name, double quantity, double price, double discount = 0, int group = 2,
                 double rate = 1, int department = 0) {
    ReceiptLine l;
    l.article = QStringLiteral("12");
    l.name = name;
    l.quantity = dec(quantity);
    l.unitPrice = dec(price);
    l.discount = dec(discount);
    l.vatGroup = group;
    l.rate = dec(rate);
    l.department = department;
    return l;
}

const QString kTwenty = QStringLiteral("Прясно мляко 3% 1 л.");

} // namespace

class ReceiptLinesTest : public QObject {
    Q_OBJECT
private slots:
    void fiscalItem_data() {
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("discount");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("discount") << 1.5 << 2.99 << 10.0 << 1.0 << "Хляб"
                                  << QStringList{"%12^Хляб        ^269^1500^2^", ":отстъпка: 10.00%"};
        QTest::newRow("surcharge") << 1.0 << 2.99 << -5.0 << 1.0 << "Хляб"
                                   << QStringList{"%12^Хляб        ^313^1000^2^", ":надбавка: -5.00%"};
        QTest::newRow("eighth") << 8.0 << 0.125 << 0.0 << 1.0 << "Хляб"
                                << QStringList{"%12^Хляб        ^12^8000^2^"};
        // Exact decimals where binary fractions and a factor of 100.001 are off.
        QTest::newRow("thousand") << 1.0 << 1000.0 << 0.0 << 1.0 << "Хляб"
                                  << QStringList{"%12^Хляб        ^100000^1000^2^"};
        QTest::newRow("4.35") << 1.0 << 4.35 << 0.0 << 1.0 << "Хляб"
                              << QStringList{"%12^Хляб        ^435^1000^2^"};
        QTest::newRow("quantity 1.001")
            << 1.001 << 1.0 << 0.0 << 1.0 << "Хляб" << QStringList{"%12^Хляб        ^100^1001^2^"};
        QTest::newRow("quantity 0.3")
            << 0.3 << 1.0 << 0.0 << 1.0 << "Хляб" << QStringList{"%12^Хляб        ^100^300^2^"};
        QTest::newRow("euro") << 1.0 << 10.0 << 0.0 << 1.95583 << "Хляб"
                              << QStringList{"%12^Хляб        ^1955^1000^2^"};
        QTest::newRow("twenty characters")
            << 1.0 << 1.0 << 0.0 << 1.0 << kTwenty << QStringList{"%12^Прясно мляко^100^1000^2^"};
        QTest::newRow("command characters")
            << 1.0 << 1.0 << 0.0 << 1.0 << "A^B;C\r\nD" << QStringList{"%12^A B C  D    ^100^1000^2^"};
    }
    void fiscalItem() {
        QFETCH(double, quantity);
        QFETCH(double, price);
        QFETCH(double, discount);
        QFETCH(double, rate);
        QFETCH(QString, name);
        QFETCH(QStringList, lines);
        QCOMPARE(fiscalItemLines(line(name, quantity, price, discount, 2, rate)), lines);
    }

    // A fiscal receipt's total as the device computes it (its items rounded
    // to the stotinka, and the correction line) is the sale's amount due:
    // the correction adds what truncated prices lose; items that come to
    // more than the amount due (display decimals other than 2) have their
    // prices lowered, since the device takes no negative line.
    void fiscalTotalIsTheAmountDue_data() {
        QTest::addColumn<QList<ReceiptLine>>("lines");
        QTest::addColumn<QString>("due");
        QTest::addColumn<QStringList>(
            "changed"); // item lines that differ from the lines' own, and the correction
        const ReceiptLine bread = line("Хляб", 1.5, 2.99, 10);
        QTest::newRow("under a stotinka") << QList<ReceiptLine>{bread} << "4.04" << QStringList{};
        QTest::newRow("seven of them") << QList<ReceiptLine>(7, bread) << "28.28" << QStringList{};
        QTest::newRow("four stotinki") << QList<ReceiptLine>{line("Хляб", 8, 0.125)} << "1.00"
                                       << QStringList{"%0000^КОРЕКЦИЯ:^4^1000^1^"};
        QTest::newRow("summed over lines")
            << QList<ReceiptLine>{line("Хляб", 8, 0.125), line("Мед", 8, 0.125), bread} << "6.04"
            << QStringList{"%0000^КОРЕКЦИЯ:^8^1000^1^"};
        QTest::newRow("euro") << QList<ReceiptLine>{line("Хляб", 2, 10, 0, 2, 1.95583)} << "39.12"
                              << QStringList{"%0000^КОРЕКЦИЯ:^2^1000^1^"};
        QTest::newRow("a table's order")
            << QList<ReceiptLine>{line("Супа", 2, 3.5, 10), line("Бира", 1, 2.99), line("Кафе", 8, 0.125),
                                  line("Вино", 1, 10, 0, 2, 1.95583)}
            << "29.85" << QStringList{"%0000^КОРЕКЦИЯ:^5^1000^1^"};
        QTest::newRow("exact prices")
            << QList<ReceiptLine>{line("Хляб", 3, 1.10), line("Сол", 2, 4.35)} << "12.00" << QStringList{};
        // Display decimals 3: seven times 4.037 is 28.259, 28.26 on the device.
        QTest::newRow("three decimals")
            << QList<ReceiptLine>(7, bread) << "28.259" << QStringList{"%12^Хляб        ^268^1500^2^"};
        // Display decimals 0: 2.40 is due as 2.
        QTest::newRow("no decimals") << QList<ReceiptLine>{line("Сол", 1, 2.4)} << "2"
                                     << QStringList{"%12^Сол         ^200^1000^2^"};
        QTest::newRow("a weighed thousandth")
            << QList<ReceiptLine>{line("Шафран", 0.001, 1)} << "0.00" << QStringList{};
    }
    void fiscalTotalIsTheAmountDue() {
        QFETCH(QList<ReceiptLine>, lines);
        QFETCH(QString, due);
        QFETCH(QStringList, changed);
        const Decimal amountDue(due);
        const PreparedReceipt r = buildSaleReceipt(lines, kFiscalReceipt, {}, amountDue);
        QStringList own;
        for (const ReceiptLine& l : lines)
            own += fiscalItemLines(l);
        QStringList differing;
        for (qsizetype i = 0; i < r.lines.size(); ++i)
            if (i >= own.size() || r.lines[i] != own[i])
                differing << r.lines[i];
        QCOMPARE(differing, changed);

        const QByteArray bytes =
            commandFileBytes(receiptFileLines(kBonFiscal, 0, {"1", "Иван", "0"}, r.lines, amountDue));
        const fiscal_printer::ParsedFile parsed =
            fiscal_printer::parseCommandFile(bytes, fiscal_printer::Place::Receipts);
        QVERIFY(parsed.file);
        fiscal_printer::FiscalDevice device;
        const QStringList printed =
            device.print(*parsed.file, fiscal_printer::Place::Receipts, "BON1.bon", QDateTime());
        QVERIFY2(printed.contains("ОБЩО: " + amountDue.toFixed(2)), qPrintable(printed.join(u'\n')));
    }

    // The unit price in leva, as the receipt's total is.
    void serviceItem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("discount");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("short") << "Чай" << 1.5 << 2.99 << 0.0 << 1.0
                               << QStringList{"Чай         1.50 x 2.99    "};
        QTest::newRow("twenty characters") << kTwenty << 12.5 << 1234.5 << 10.0 << 1.0
                                           << QStringList{"Прясно мляк 12.5 x 1234.50 ", "отстъпка: 10.00%"};
        QTest::newRow("quantity 100") << "Чай" << 100.0 << 2.0 << -2.5 << 1.0
                                      << QStringList{"Чай         100. x 2.00    ", "надбавка: -2.50%"};
        QTest::newRow("long price") << "Чай" << 1.0 << 123456.789 << 0.0 << 1.0
                                    << QStringList{"Чай         1.00 x 123456.7"};
        QTest::newRow("euro") << "Вино" << 1.0 << 10.0 << 0.0 << 1.95583
                              << QStringList{"Вино        1.00 x 19.56   "};
    }
    void serviceItem() {
        QFETCH(QString, name);
        QFETCH(double, quantity);
        QFETCH(double, price);
        QFETCH(double, discount);
        QFETCH(double, rate);
        QFETCH(QStringList, lines);
        const QStringList made = serviceItemLines(line(name, quantity, price, discount, 2, rate));
        QCOMPARE(made, lines);
        QCOMPARE(made.first().size(), 27);
    }

    // The receipt directory's files by mode and device type.
    void receiptFile_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("fiscal") << int(kBonFiscal) << 0
                                << QStringList{":ПОС: 3", ":Опер.: Мария Иванова-Пе",
                                               "Чай         1.50 x 2.99    ", "отстъпка: 10.00%"};
        QTest::newRow("service 1") << int(kBonService) << 1
                                   << QStringList{"*",
                                                  ":ПОС: 3",
                                                  ":ПОРЪЧКА: 7",
                                                  ":Опер.: Мария Иванова-Пе",
                                                  ":Чай         1.50 x 2.99    ",
                                                  ":отстъпка: 10.00%",
                                                  ":=======================",
                                                  ":Общо: 4.04",
                                                  ":======================="};
        QTest::newRow("service 2") << int(kBonService) << 2
                                   << QStringList{":ПОС: 3",
                                                  ":ПОРЪЧКА: 7",
                                                  ":Опер.: Мария Иванова-Пе",
                                                  ":Чай         1.50 x 2.99    ",
                                                  ":отстъпка: 10.00%",
                                                  ":=======================",
                                                  ":Общо: 4.04",
                                                  ":======================="};
        QTest::newRow("service 18") << int(kBonService) << 18
                                    << QStringList{"Y,1,______,_,__;ПОС: 3;",
                                                   "P,1,______,_,__;ПОРЪЧКА: 7;",
                                                   "P,1,______,_,__;Опер.: Мария Иванова-Пе;",
                                                   "P,1,______,_,__;Чай         1.50 x 2.99    ;",
                                                   "P,1,______,_,__;отстъпка: 10.00%;",
                                                   "P,1,______,_,__;=======================;",
                                                   "P,1,______,_,__;Общо: 4.04;",
                                                   "P,1,______,_,__;=======================;"};
        QTest::newRow("service 0") << int(kBonService) << 0 << QStringList{};
        QTest::newRow("service 19") << int(kBonService) << 19 << QStringList{};
        QTest::newRow("zeroing") << int(kBonDailyZeroing) << 1 << QStringList{"#N"};
        QTest::newRow("report") << int(kBonDailyReport) << 1 << QStringList{"#I"};
        QTest::newRow("copy") << int(kBonCopyLast) << 1 << QStringList{"#C"};
    }
    void receiptFile() {
        QFETCH(int, mode);
        QFETCH(int, type);
        QFETCH(QStringList, lines);
        const BonHeader header{"3", "Мария Иванова-Пеова", "7"};
        const QStringList prepared = mode == kBonFiscal || mode == kBonService
                                         ? QStringList{"Чай         1.50 x 2.99    ", "отстъпка: 10.00%"}
                                         : QStringList{};
        QCOMPARE(receiptFileLines(BonMode(mode), type, header, prepared, Decimal("4.035")), lines);
    }

    // While both currencies are shown: the total in euro first and in lev,
    // after the service receipt's total and after the fiscal receipt's
    // items, byte for byte in Windows-1251.
    void dualTotalLine_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("fiscal")
            << int(kBonFiscal) << 0
            << QByteArray(":\xcf\xce\xd1: 3\r\n:\xce\xef\xe5\xf0.: \xcc\xe0\xf0\xe8\xff           \r\n"
                          "\xd7\xe0\xe9 1 x 2.99\r\n:2.07 EUR / 4.04 \xeb\xe2.\r\n");
        QTest::newRow("service 2")
            << int(kBonService) << 2
            << QByteArray(":\xcf\xce\xd1: 3\r\n:\xcf\xce\xd0\xda\xd7\xca\xc0: 7\r\n"
                          ":\xce\xef\xe5\xf0.: \xcc\xe0\xf0\xe8\xff           \r\n:\xd7\xe0\xe9 1 x 2.99\r\n"
                          ":=======================\r\n:\xce\xe1\xf9\xee: 4.04\r\n"
                          ":2.07 EUR / 4.04 \xeb\xe2.\r\n:=======================\r\n");
        QTest::newRow("service 14")
            << int(kBonService) << 14
            << QByteArray(
                   "Y,1,______,_,__;\xcf\xce\xd1: 3;\r\nP,1,______,_,__;\xcf\xce\xd0\xda\xd7\xca\xc0: 7;\r\n"
                   "P,1,______,_,__;\xce\xef\xe5\xf0.: \xcc\xe0\xf0\xe8\xff           ;\r\n"
                   "P,1,______,_,__;\xd7\xe0\xe9 1 x 2.99;\r\nP,1,______,_,__;=======================;\r\n"
                   "P,1,______,_,__;\xce\xe1\xf9\xee: 4.04;\r\nP,1,______,_,__;2.07 EUR / 4.04 \xeb\xe2.;\r\n"
                   "P,1,______,_,__;=======================;\r\n");
    }
    void dualTotalLine() {
        QFETCH(int, mode);
        QFETCH(int, type);
        QFETCH(QByteArray, bytes);
        BonHeader header{"3", "Мария", "7"};
        header.dualTotal = dualAmountText(Decimal("4.04"), CurrencyKind::Lev);
        QCOMPARE(commandFileBytes(
                     receiptFileLines(BonMode(mode), type, header, {"Чай 1 x 2.99"}, Decimal("4.04"))),
                 bytes);
    }

    void departmentTicket_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("withBill");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("1 with bill") << 1 << true
                                     << QStringList{"*",
                                                    ":ПОС: 1",
                                                    ":ПОРЪЧКА: 0",
                                                    ":Опер.: Иван            ",
                                                    ":=======================",
                                                    ":КУХНЯ",
                                                    ":=======================",
                                                    ":Супа        2.00 x 3.50    ",
                                                    ":======================="};
        QTest::newRow("2 without bill") << 2 << false
                                        << QStringList{":ПОС: 1",
                                                       ":Опер.: Иван            ",
                                                       ":=======================",
                                                       ":КУХНЯ",
                                                       ":=======================",
                                                       ":Супа        2.00 x 3.50    ",
                                                       ":======================="};
        QTest::newRow("14 with bill") << 14 << true
                                      << QStringList{"Y,1,______,_,__;ПОС: 1;",
                                                     "P,1,______,_,__;ПОРЪЧКА: 0;",
                                                     "P,1,______,_,__;Опер.: Иван            ;",
                                                     "P,1,______,_,__;=======================;",
                                                     "P,1,______,_,__;КУХНЯ;",
                                                     "P,1,______,_,__;=======================;",
                                                     "P,1,______,_,__;Супа        2.00 x 3.50    ;",
                                                     "P,1,______,_,__;=======================;"};
        QTest::newRow("0") << 0 << true << QStringList{};
    }
    void departmentTicket() {
        QFETCH(int, type);
        QFETCH(bool, withBill);
        QFETCH(QStringList, lines);
        QCOMPARE(departmentTicketLines(type, {"1", "Иван", "0"}, withBill, "Кухня",
                                       serviceItemLines(line("Супа", 2, 3.5))),
                 lines);
    }

    // Windows-1251 and CR LF, widths counted in characters before encoding.
    void fileBytes() {
        QCOMPARE(commandFileBytes({":ПОС: 1", "%12^Чай^1^1^0^"}),
                 QByteArray(":\xCF\xCE\xD1: 1\r\n%12^\xD7\xE0\xE9^1^1^0^\r\n"));
        QCOMPARE(commandFileBytes({}), QByteArray());
        // A character outside Windows-1251 (and outside the BMP) is one "?",
        // so the name keeps its 12 places.
        const QStringList item = fiscalItemLines(line(QStringLiteral("Чай 😀 €"), 1, 1));
        QCOMPARE(commandFileBytes(item), QByteArray("%12^\xD7\xE0\xE9 ? \x88     ^100^1000^2^\r\n"));
    }

    // What each receipt kind prepares, and the department lists.
    void prepare() {
        const ReceiptLine kitchen = line("Супа", 2, 3.5, 10, 1, 1, 1);
        PreparedReceipt none;
        prepareBonLine(none, kitchen, kNoReceipt, {1, true}, 9);
        QVERIFY(none.lines.isEmpty());
        QCOMPARE(none.departments.value(1), serviceItemLines(kitchen));
        QVERIFY(none.total.isZero());

        // A service receipt for a device that prints nothing prepares no line.
        PreparedReceipt silent;
        prepareBonLine(silent, kitchen, kServiceReceipt, {0, false}, 9);
        QVERIFY(silent.lines.isEmpty());
        QVERIFY(silent.departments.isEmpty());

        PreparedReceipt service;
        prepareBonLine(service, kitchen, kServiceReceipt, {14, false}, Decimal("6.3"));
        QCOMPARE(service.lines, serviceItemLines(kitchen));
        QCOMPARE(service.total, Decimal("6.3"));
        QVERIFY(service.items.isEmpty());

        PreparedReceipt fiscal;
        prepareBonLine(fiscal, kitchen, kFiscalReceipt, {0, true}, 0);
        prepareBonLine(fiscal, line("Бира", 1, 2, 0, 2, 1, 2), kFiscalReceipt, {0, true}, 0);
        prepareBonLine(fiscal, line("Хляб", 1, 1), kFiscalReceipt, {0, true}, 0);
        QCOMPARE(fiscal.lines.size(), 4);
        QCOMPARE(fiscal.departments.keys(), (QList<int>{1, 2}));
    }
};

QTEST_APPLESS_MAIN(ReceiptLinesTest)
#include "test_receipt_lines.moc"
