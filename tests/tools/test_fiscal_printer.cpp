// The stand-in fiscal print server: which files it accepts and which it
// refuses, what the device prints for each (running numbers, totals per VAT
// group, the daily reports, the copy), and the server taking files out of
// its directories, in the order written, refused ones moved aside, its
// figures kept over a restart.

#include "common/cp1251.h"
#include "fiscal_printer/print_server.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika;
using namespace torvika::fiscal_printer;

namespace {

QByteArray file(const QStringList& lines, const char* end = "\r\n") {
    QByteArray out;
    for (const QString& l : lines)
        out += toCp1251(l) + end;
    return out;
}

const QStringList kFiscal{":ПОС: 1", ":Опер.: Иван            ", "%12^Хляб        ^269^1500^2^",
                          ":отстъпка: 10.00%", "%0000^КОРЕКЦИЯ:^4^1000^1^"};

void write(const QString& path, const QByteArray& bytes, const QDateTime& modified = {}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.flush();
    if (modified.isValid())
        QVERIFY(f.setFileTime(modified, QFileDevice::FileModificationTime));
}

QString read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QByteArray movedAside(const QString& receipts) {
    QFile f(receipts + "/rejected/BON1.bon");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

CommandFile parsed(const QStringList& lines, Place place = Place::Receipts) {
    const ParsedFile p = parseCommandFile(file(lines), place);
    if (!p.file)
        qFatal("refused: %s", qPrintable(p.error->reason));
    return *p.file;
}

const QDateTime kNow(QDate(2024, 3, 1), QTime(9, 30));

} // namespace

class FiscalPrinterTest : public QObject {
    Q_OBJECT
private slots:
    void accepted_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("place");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("lines");
        const int receipts = int(Place::Receipts), department = int(Place::Department);
        QTest::newRow("fiscal") << file(kFiscal) << receipts << int(CommandFile::FiscalReceipt) << 5;
        QTest::newRow("service *") << file({"*", ":ПОС: 1", ":Общо: 1.00"}) << receipts
                                   << int(CommandFile::TextReceipt) << 2;
        QTest::newRow("service colon")
            << file({":ПОС: 1", ":"}) << receipts << int(CommandFile::TextReceipt) << 2;
        QTest::newRow("command layout") << file({"Y,1,______,_,__;ПОС: 1;", "P,1,______,_,__;КУХНЯ;"})
                                        << department << int(CommandFile::TextReceipt) << 2;
        QTest::newRow("ticket") << file({"*", ":ПОС: 1", ":КУХНЯ"}) << department
                                << int(CommandFile::TextReceipt) << 2;
        QTest::newRow("zeroing") << file({"#N"}) << receipts << int(CommandFile::DailyZeroing) << 0;
        QTest::newRow("report") << file({"#I"}) << receipts << int(CommandFile::DailyReport) << 0;
        QTest::newRow("copy") << file({"#C"}) << receipts << int(CommandFile::CopyLast) << 0;
        QTest::newRow("empty") << QByteArray() << receipts << int(CommandFile::Empty) << 0;
    }
    void accepted() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, place);
        QFETCH(int, kind);
        QFETCH(int, lines);
        const ParsedFile p = parseCommandFile(bytes, Place(place));
        QVERIFY2(p.file, p.error ? qPrintable(p.error->reason) : "");
        QCOMPARE(int(p.file->kind), kind);
        QCOMPARE(p.file->lines.size(), lines);
    }

    // A file with anything the device does not know is refused whole, with
    // the line that is wrong.
    void refused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("place");
        QTest::addColumn<int>("line");
        const int receipts = int(Place::Receipts), department = int(Place::Department);
        auto item = [](const char* itemLine) { return file({":ПОС: 1", QString::fromUtf8(itemLine)}); };
        QTest::newRow("unknown line") << file({":ПОС: 1", "ПОС: 1"}) << receipts << 2;
        QTest::newRow("field missing") << item("%12^Хляб^269^1500^") << receipts << 2;
        QTest::newRow("no closing ^") << item("%12^Хляб^269^1500^2") << receipts << 2;
        QTest::newRow("name of 13") << item("%12^Хляб         ^269^1500^2^") << receipts << 2;
        QTest::newRow("empty name") << item("%12^    ^269^1500^2^") << receipts << 2;
        QTest::newRow("group 4") << item("%12^Хляб^269^1500^4^") << receipts << 2;
        QTest::newRow("quantity 0") << item("%12^Хляб^269^0^2^") << receipts << 2;
        QTest::newRow("negative price") << item("%12^Хляб^-269^1500^2^") << receipts << 2;
        QTest::newRow("decimal price") << item("%12^Хляб^2.69^1500^2^") << receipts << 2;
        QTest::newRow("no article") << item("%^Хляб^269^1500^2^") << receipts << 2;
        QTest::newRow("LF only") << file({":ПОС: 1"}, "\n") + file({":Опер.: Иван"}) << receipts << 1;
        QTest::newRow("last line unfinished") << file({"#N"}).chopped(2) << receipts << 0;
        QTest::newRow("report and more") << file({"#N", ":ПОС: 1"}) << receipts << 1;
        QTest::newRow("report in a department") << file({"#I"}) << department << 1;
        QTest::newRow("item in a department") << item("%12^Хляб^269^1500^2^") << department << 2;
        QTest::newRow("* not first") << file({":ПОС: 1", "*"}) << receipts << 2;
        QTest::newRow("item in a service receipt") << file({"*", "%12^Хляб^269^1500^2^"}) << receipts << 2;
        QTest::newRow("P without Y") << file({"P,1,______,_,__;ПОС: 1;"}) << receipts << 1;
        QTest::newRow("Y not first") << file({"Y,1,______,_,__;ПОС: 1;", "Y,1,______,_,__;ПОС: 1;"})
                                     << receipts << 2;
        QTest::newRow("layouts mixed") << file({"Y,1,______,_,__;ПОС: 1;", ":Опер.: Иван"}) << receipts << 1;
        QTest::newRow("semicolon in the text")
            << file({"Y,1,______,_,__;ПОС: 1;", "P,1,______,_,__;a;b;"}) << receipts << 2;
    }
    void refused() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, place);
        QFETCH(int, line);
        const ParsedFile p = parseCommandFile(bytes, Place(place));
        QVERIFY(!p.file);
        QVERIFY(p.error);
        QCOMPARE(p.error->line, line);
    }

    // Fiscal receipts are numbered and summed per VAT group; the report
    // without zeroing shows the day, the one with zeroing starts a new day;
    // the copy repeats the last receipt.
    void deviceFigures() {
        FiscalDevice device;
        const QStringList first = device.print(parsed(kFiscal), Place::Receipts, "BON1.bon", kNow);
        QCOMPARE(
            first,
            (QStringList{QString(40, u'='), "ФИСКАЛЕН БОН № 0000001", "2024-03-01 09:30:00  BON1.bon",
                         "ПОС: 1", "Опер.: Иван            ", "12 Хляб", "   1.500 x 2.69 = 4.04 В",
                         "отстъпка: 10.00%", "0000 КОРЕКЦИЯ:", "   1.000 x 0.04 = 0.04 Б", QString(40, u'-'),
                         "ОБЩО: 4.08", "ДДС група Б: 0.04", "ДДС група В: 4.04", QString(40, u'=')}));
        const QStringList second =
            device.print(parsed({":ПОС: 2", "%7^Сол^150^3000^0^"}), Place::Receipts, "BON2.bon", kNow);
        QCOMPARE(second[1], "ФИСКАЛЕН БОН № 0000002");
        QCOMPARE(device.figures().dayTotals, (std::array<qint64, 4>{450, 4, 404, 0}));

        const QStringList report = device.print(parsed({"#I"}), Place::Receipts, "BON3.bon", kNow);
        QCOMPARE(report.mid(1),
                 (QStringList{"ДНЕВЕН ОТЧЕТ БЕЗ НУЛИРАНЕ", "2024-03-01 09:30:00  BON3.bon",
                              "Фискални бонове: 2", "ДДС група А: 4.50", "ДДС група Б: 0.04",
                              "ДДС група В: 4.04", "ДДС група Г: 0.00", "ОБЩО: 8.58", QString(40, u'=')}));
        const QStringList zeroing = device.print(parsed({"#N"}), Place::Receipts, "BON4.bon", kNow);
        QCOMPARE(zeroing[1], "ДНЕВЕН ОТЧЕТ С НУЛИРАНЕ № 0000001");
        QVERIFY(zeroing.contains("ОБЩО: 8.58"));
        QCOMPARE(device.figures().dayReceipts, qint64(0));
        QCOMPARE(device.figures().dayTotals, (std::array<qint64, 4>{}));
        QCOMPARE(device.print(parsed({"#N"}), Place::Receipts, "BON5.bon", kNow)[1],
                 "ДНЕВЕН ОТЧЕТ С НУЛИРАНЕ № 0000002");

        const QStringList copy = device.print(parsed({"#C"}), Place::Receipts, "BON6.bon", kNow);
        QCOMPARE(copy[1], "КОПИЕ НА ФИСКАЛЕН БОН № 0000002");
        QVERIFY(copy.contains("   3.000 x 1.50 = 4.50 А"));
        QCOMPARE(copy[copy.size() - 2], "КОПИЕ");
        QCOMPARE(device.figures().lastReceipt, qint64(2)); // a copy is no receipt

        FiscalDevice fresh;
        QCOMPARE(fresh.print(parsed({"#C"}), Place::Receipts, "BON1.bon", kNow)[1],
                 "КОПИЕ: няма отпечатан фискален бон");
        QVERIFY(fresh.print(parsed({}), Place::Receipts, "BON1.bon", kNow).isEmpty());
    }

    // Files are taken in the order written, refused ones moved aside and
    // reported; the figures survive a restart.
    void serverTakesTheFiles() {
        QTemporaryDir tmp;
        const QString receipts = tmp.filePath("bons");
        const QString extra = tmp.filePath("bar");
        const QString journal = tmp.filePath("journal.txt");
        const QDateTime t0 = QDateTime::currentDateTime().addSecs(-60);
        write(receipts + "/BON3.bon", file(kFiscal), t0);
        write(receipts + "/BON1.bon", file({":ПОС: 1", "%7^Сол^150^xx^0^"}), t0.addSecs(1));
        write(receipts + "/Department1/ToPrepare1.bon", file({":ПОС: 1", ":КУХНЯ"}), t0.addSecs(2));
        write(extra + "/ToPrepare2.bon", file({"*", ":БАР"}), t0.addSecs(3));
        write(receipts + "/BON2.bon", file({"#I"}), t0.addSecs(4));
        write(receipts + "/.torvika-abc.tmp", "half");
        write(receipts + "/notes.txt", "not a command file");
        QStringList reported;
        {
            PrintServer server({receipts, {extra}, journal});
            server.report = [&](const QString& t) { reported << t; };
            server.clock = [] { return kNow; };
            QCOMPARE(server.processPending(), 5);
            QCOMPARE(server.processPending(), 0);
        }
        QCOMPARE(QDir(receipts).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{".torvika-abc.tmp", "notes.txt"}));
        QVERIFY(QDir(receipts + "/Department1").isEmpty());
        QVERIFY(QDir(extra).isEmpty(QDir::Files));
        QCOMPARE(movedAside(receipts), file({":ПОС: 1", "%7^Сол^150^xx^0^"}));

        const QString printed = read(journal);
        const qsizetype fiscal = printed.indexOf("ФИСКАЛЕН БОН № 0000001");
        const qsizetype error =
            printed.indexOf("ГРЕШКА: " + receipts + "/BON1.bon, ред 2: неправилен ред на артикул");
        const qsizetype kitchen = printed.indexOf("БЕЛЕЖКА ЗА ИЗГОТВЯНЕ\n2024-03-01 09:30:00  " + receipts +
                                                  "/Department1/ToPrepare1.bon\nПОС: 1\nКУХНЯ\n");
        const qsizetype bar = printed.indexOf("БАР");
        const qsizetype report = printed.indexOf("ДНЕВЕН ОТЧЕТ БЕЗ НУЛИРАНЕ");
        QVERIFY2(fiscal >= 0 && fiscal < error && error < kitchen && kitchen < bar && bar < report,
                 qPrintable(printed));
        QVERIFY(!printed.contains("\n7 Сол")); // the refused item is not printed
        QCOMPARE(reported.size(), 5);
        QVERIFY(reported[1].startsWith("ГРЕШКА"));

        // Started again: the next receipt has the next number.
        write(receipts + "/BON1.bon", file({":ПОС: 1", "%7^Сол^150^1000^0^"}));
        PrintServer again({receipts, {extra}, journal});
        again.processPending();
        QVERIFY(read(journal).contains("ФИСКАЛЕН БОН № 0000002"));
        QCOMPARE(again.device().figures().dayReceipts, qint64(2));
    }
};

QTEST_GUILESS_MAIN(FiscalPrinterTest)
#include "test_fiscal_printer.moc"
