// The lines of the receipt and ticket files: fiscal item lines with their
// exact arithmetic and rounding loss, service lines and their widths, the
// layouts of each device type, and the bytes of a file.

#include "common/cp1251.h"
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

    // What truncation loses, and the correction line it calls for.
    void roundingLoss_data() {
        QTest::addColumn<QList<ReceiptLine>>("lines");
        QTest::addColumn<QString>("leva");
        QTest::addColumn<QStringList>("correction");
        QTest::newRow("under a stotinka")
            << QList<ReceiptLine>{line("Хляб", 1.5, 2.99, 10)} << "0.0015" << QStringList{};
        QTest::newRow("four stotinki") << QList<ReceiptLine>{line("Хляб", 8, 0.125)} << "0.04"
                                       << QStringList{"%0000^КОРЕКЦИЯ:^4^1000^1^"};
        QTest::newRow("summed over lines")
            << QList<ReceiptLine>{line("Хляб", 8, 0.125), line("Мед", 8, 0.125), line("Сол", 1.5, 2.99, 10)}
            << "0.0815" << QStringList{"%0000^КОРЕКЦИЯ:^8^1000^1^"};
        // Exactly 0.009 is not more than 0.009.
        QTest::newRow("exactly 0.009")
            << QList<ReceiptLine>{line("Хляб", 9, 0.001)} << "0.009" << QStringList{};
        // More than 0.009 but less than a stotinka corrects nothing.
        QTest::newRow("0.0095") << QList<ReceiptLine>{line("Хляб", 19, 0.0005)} << "0.0095" << QStringList{};
        // Prices in whole stotinki lose nothing.
        QTest::newRow("exact prices")
            << QList<ReceiptLine>{line("Хляб", 3, 1.10), line("Сол", 2, 4.35)} << "0.0" << QStringList{};
        QTest::newRow("euro") << QList<ReceiptLine>{line("Хляб", 2, 10, 0, 2, 1.95583)} << "0.0166"
                              << QStringList{"%0000^КОРЕКЦИЯ:^1^1000^1^"};
    }
    void roundingLoss() {
        QFETCH(QList<ReceiptLine>, lines);
        QFETCH(QString, leva);
        QFETCH(QStringList, correction);
        const PreparedReceipt r = buildSaleReceipt(lines, kFiscalReceipt, {}, 0);
        QCOMPARE(r.loss.toString(), Decimal(leva).toString());
        QStringList items;
        for (const ReceiptLine& l : lines)
            items += fiscalItemLines(l);
        QCOMPARE(r.lines, items + correction);
    }

    void serviceItem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("discount");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("short") << "Чай" << 1.5 << 2.99 << 0.0 << QStringList{"Чай         1.50 x 2.99    "};
        QTest::newRow("twenty characters") << kTwenty << 12.5 << 1234.5 << 10.0
                                           << QStringList{"Прясно мляк 12.5 x 1234.50 ", "отстъпка: 10.00%"};
        QTest::newRow("quantity 100") << "Чай" << 100.0 << 2.0 << -2.5
                                      << QStringList{"Чай         100. x 2.00    ", "надбавка: -2.50%"};
        QTest::newRow("long price") << "Чай" << 1.0 << 123456.789 << 0.0
                                    << QStringList{"Чай         1.00 x 123456.7"};
    }
    void serviceItem() {
        QFETCH(QString, name);
        QFETCH(double, quantity);
        QFETCH(double, price);
        QFETCH(double, discount);
        QFETCH(QStringList, lines);
        const QStringList made = serviceItemLines(line(name, quantity, price, discount));
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
        QVERIFY(service.loss.isZero());

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
