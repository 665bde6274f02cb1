// The receipt and ticket files as the program writes them: byte for byte,
// numbered without overwriting a file the print server has not consumed,
// nothing printed twice after a failure, department tickets that wait for
// their department's previous one; the settings, the sale lines and the
// departments they are made from.

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/sql.h"
#include "sales/departments.h"
#include "sales/receipt_files.h"
#include "support/fixture.h"

#include <QDir>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>
#include <array>
#include <atomic>
#include <barrier>
#include <sys/stat.h>
#include <thread>

using namespace torvika;

namespace {

// The expected bytes of a file: each line in Windows-1251 followed by CR LF.
QByteArray file(std::initializer_list<const char*> lines) {
    QByteArray out;
    for (const char* l : lines)
        out += toCp1251(QString::fromUtf8(l)) + "\r\n";
    return out;
}

// A value as the database gives it.
Decimal dec(double value) {
    return *Decimal::fromVariant(value);
}

ReceiptLine line(const QString& name, double quantity, double price, double discount = 0, int group = 2,
                 int department = 0) {
    ReceiptLine l;
    l.article = QStringLiteral("12");
    l.name = name;
    l.quantity = dec(quantity);
    l.unitPrice = dec(price);
    l.discount = dec(discount);
    l.vatGroup = group;
    l.department = department;
    return l;
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const BonHeader kHeader{"1", "Иван", "4"};
const char* const kOperator = ":Опер.: Иван            ";

} // namespace

class ReceiptFilesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    FiscalSettings settings_;
    QSqlDatabase db() { return fx_->db(); }
    QString receipts() const { return settings_.receiptDir; }
    QString bon(int n) const { return QDir(receipts()).filePath(QStringLiteral("BON%1.bon").arg(n)); }
    QString kitchenDir() const { return fx_->root() + "P"; }
    QString kitchenTicket() const { return kitchenDir() + "/ToPrepare1.bon"; }

    // Kitchen (1, type 2, path P) and bar (2, type 0), as the departments grid stores them.
    void setUpDepartments() {
        QDir().mkpath(kitchenDir());
        updateDepartment(db(), 1, {1, "Кухня", kitchenDir(), "2: ЕЛТРЕЙД - Касов апарат"});
        updateDepartment(db(), 2, {2, "Бар", "", "0: НЕ РАЗПЕЧАТВА"});
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        settings_ = FiscalSettings{};
        settings_.programDir = fx_->root();
        settings_.receiptDir = fx_->root() + "Fiscal";
    }
    void cleanup() { fx_.reset(); }

    // The first fiscal receipt after start: the receipt directory is
    // created, the file is BON1.bon, and no temporary file is left.
    void firstFiscalReceipt() {
        settings_.saleReceipt = kFiscalReceipt;
        FiscalState state;
        const BonResult r = printSaleReceipt(state, {line("Хляб", 1.5, 2.99, 10)}, Decimal("4.04"), db(),
                                             settings_, {"1", "Иван", "0"});
        QVERIFY(!r.receiptFailed);
        QCOMPARE(r.receiptFile, bon(1));
        QCOMPARE(test::Fixture::readFile(bon(1)),
                 file({":ПОС: 1", kOperator, "%12^Хляб        ^269^1500^2^", ":отстъпка: 10.00%"}));
        // Beside it only the directory's counter of receipt numbers.
        QCOMPARE(entries(receipts()), (QStringList{".torvika-bon-counter", "BON1.bon"}));
        QCOMPARE(state.counter, 2);
        QVERIFY(state.prepared.lines.isEmpty());
        QVERIFY(state.prepared.items.isEmpty());
    }

    void correctionLineClosesTheReceipt() {
        settings_.saleReceipt = kFiscalReceipt;
        FiscalState state;
        printSaleReceipt(state, {line("Хляб", 8, 0.125, 0, 1)}, 1, db(), settings_, kHeader);
        QCOMPARE(test::Fixture::readFile(bon(1)),
                 file({":ПОС: 1", kOperator, "%12^Хляб        ^12^8000^1^", "%0000^КОРЕКЦИЯ:^4^1000^1^"}));
    }

    // The reports and the copy drop what was prepared; the next receipt
    // takes the next number.
    void reportsTakeTheirNumbers() {
        FiscalState state;
        state.PREPARE_BON_FILE(line("Хляб", 1, 1), kFiscalReceipt, settings_, 1);
        QVERIFY(!state.CREATE_BON_FILE(kBonDailyZeroing, db(), settings_, kHeader).receiptFailed);
        state.CREATE_BON_FILE(kBonDailyReport, db(), settings_, kHeader);
        state.CREATE_BON_FILE(kBonCopyLast, db(), settings_, kHeader);
        state.PREPARE_BON_FILE(line("Сол", 1, 2), kFiscalReceipt, settings_, 2);
        state.CREATE_BON_FILE(kBonFiscal, db(), settings_, kHeader);
        QCOMPARE(test::Fixture::readFile(bon(1)), QByteArray("#N\r\n"));
        QCOMPARE(test::Fixture::readFile(bon(2)), QByteArray("#I\r\n"));
        QCOMPARE(test::Fixture::readFile(bon(3)), QByteArray("#C\r\n"));
        QCOMPARE(test::Fixture::readFile(bon(4)),
                 file({":ПОС: 1", kOperator, "%12^Сол         ^200^1000^2^"}));
    }

    // A file the print server has not consumed keeps its name, also after
    // a restart, whose counter starts at 1 again.
    void unconsumedFilesAreNotOverwritten() {
        writeBytes(bon(1), "old 1");
        writeBytes(bon(2), "old 2");
        FiscalState restarted;
        const BonResult r = restarted.CREATE_BON_FILE(kBonDailyReport, db(), settings_, kHeader);
        QCOMPARE(r.receiptFile, bon(3));
        QCOMPARE(test::Fixture::readFile(bon(1)), QByteArray("old 1"));
        QCOMPARE(test::Fixture::readFile(bon(2)), QByteArray("old 2"));
        QCOMPARE(restarted.counter, 4);
        QFile::remove(bon(1));
        QCOMPARE(restarted.CREATE_BON_FILE(kBonDailyReport, db(), settings_, kHeader).receiptFile, bon(4));
        QVERIFY(!QFile::exists(bon(1)));
    }

    // The files are readable by a print server of another account whatever
    // the program's umask, and take the directory's group.
    void filesReadableByThePrintServer() {
        setUpDepartments();
        settings_.saleReceipt = kFiscalReceipt;
        settings_.departmentTickets = true;
        const mode_t before = ::umask(077);
        const auto restore = qScopeGuard([before] { ::umask(before); });
        FiscalState state;
        const BonResult r =
            printSaleReceipt(state, {line("Супа", 1, 3, 0, 2, 1)}, 3, db(), settings_, kHeader);
        QVERIFY(!r.receiptFailed);
        for (const QString& path : {bon(1), kitchenTicket()}) {
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
            QCOMPARE(st.st_mode & 0777, mode_t(0644));
            struct stat dir {};
            QCOMPARE(::stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &dir), 0);
            QCOMPARE(st.st_gid, dir.st_gid);
        }
    }

    // Numbers only rise: past the files still waiting or being printed (a
    // new receipt is never printed before them), and, once the server has
    // taken them all, past the last one handed out, also after a restart, so
    // that the path a sale records names one receipt.
    void numbersOnlyRise() {
        writeBytes(bon(2), "waiting");
        writeBytes(bon(3), "waiting");
        FiscalState restarted;
        QCOMPARE(restarted.CREATE_BON_FILE(kBonDailyReport, db(), settings_, kHeader).receiptFile, bon(4));
        for (int n : {2, 3, 4})
            QFile::remove(bon(n));
        FiscalState again;
        QCOMPARE(again.CREATE_BON_FILE(kBonDailyReport, db(), settings_, kHeader).receiptFile, bon(5));
        QFile::remove(bon(5));
        // The server printing BON9 when the counter file was lost.
        QFile::remove(receipts() + "/.torvika-bon-counter");
        writeBytes(receipts() + "/.BON9.bon.printing", "printing");
        FiscalState third;
        QCOMPARE(third.CREATE_BON_FILE(kBonDailyReport, db(), settings_, kHeader).receiptFile, bon(10));
    }

    // Two workstations writing receipts into one directory at the same
    // moment: every receipt gets a number of its own and its own file.
    void twoWorkstationsNumberApart() {
        constexpr int kReceipts = 40;
        std::array<QStringList, 2> written;
        std::atomic<int> errors{0};
        std::barrier start(2);
        auto workstation = [&](int i) {
            const QString name = QStringLiteral("till %1").arg(i);
            {
                QSqlDatabase conn = fx_->openWorkstation(name);
                FiscalState state;
                start.arrive_and_wait();
                for (int n = 0; n < kReceipts; ++n) {
                    const BonResult r = state.CREATE_BON_FILE(kBonDailyReport, conn, settings_, kHeader);
                    if (r.receiptFailed)
                        ++errors;
                    else
                        written[size_t(i)] << r.receiptFile;
                }
            }
            QSqlDatabase::removeDatabase(name);
        };
        std::thread first(workstation, 0), second(workstation, 1);
        first.join();
        second.join();
        QCOMPARE(errors.load(), 0);
        QStringList all = written[0] + written[1];
        QCOMPARE(all.size(), 2 * kReceipts);
        all.removeDuplicates();
        QCOMPARE(all.size(), 2 * kReceipts);
        QCOMPARE(QDir(receipts()).entryList({"BON*.bon"}, QDir::Files).size(), 2 * kReceipts);
    }

    // On a file system without hard links two workstations placing a file
    // under one name at the same moment: one takes it, the other is told
    // the name is taken, and the file there is the winner's.
    void withoutLinksOneWriterTakesTheName() {
        const QString target = receipts() + "/BON1.bon";
        QDir().mkpath(receipts());
        constexpr int kRounds = 2000;
        const std::array<QString, 2> sources{receipts() + "/.w0.tmp", receipts() + "/.w1.tmp"};
        std::atomic<int> go{-1}; // the round both writers start, spinning till then
        std::barrier done(3);    // the two writers and this thread
        std::array<std::atomic<int>, 2> won{};
        std::atomic<int> errors{0};
        auto writer = [&](int i) {
            for (int round = 0; round < kRounds; ++round) {
                while (go.load(std::memory_order_acquire) < round)
                    std::this_thread::yield();
                try {
                    if (placeWithoutLinks(sources[size_t(i)], target))
                        ++won[size_t(i)];
                } catch (const std::exception&) {
                    ++errors;
                }
                done.arrive_and_wait();
            }
        };
        std::thread first(writer, 0), second(writer, 1);
        QStringList wrong;
        for (int round = 0; round < kRounds; ++round) {
            for (int i = 0; i < 2; ++i)
                writeBytes(sources[size_t(i)], QByteArray::number(i));
            const int before = won[0] + won[1];
            go.store(round, std::memory_order_release);
            done.arrive_and_wait();
            // One took the name; its file is there, the other's where it was.
            const int took = won[0] + won[1] - before;
            const int winner = QFile::exists(sources[0]) ? 1 : 0;
            const QByteArray there = test::Fixture::readFile(target);
            if (took != 1 || there != QByteArray::number(winner) || QFile::exists(sources[size_t(winner)]))
                wrong << QStringLiteral("round %1: %2 took the name, \"%3\" is there")
                             .arg(round)
                             .arg(took)
                             .arg(QString::fromLatin1(there));
            for (const QString& f : sources)
                QFile::remove(f);
            QFile::remove(target);
        }
        first.join();
        second.join();
        QCOMPARE(errors.load(), 0);
        QVERIFY2(wrong.isEmpty(), qPrintable(QString::number(wrong.size()) + " rounds wrong, as " +
                                             wrong.mid(0, 3).join(QStringLiteral("; "))));
    }

    // The tickets that wait for their department are kept: after a crash
    // the next run writes them, in order, once the previous one is gone.
    void waitingTicketsSurviveARestart() {
        setUpDepartments();
        settings_.departmentTickets = true;
        writeBytes(kitchenTicket(), "previous");
        {
            FiscalState crashed;
            printSaleReceipt(crashed, {line("Супа", 1, 3, 0, 2, 1)}, 3, db(), settings_, kHeader);
            printSaleReceipt(crashed, {line("Салата", 1, 4, 0, 2, 1)}, 4, db(), settings_, kHeader);
            QCOMPARE(crashed.waitingTickets(), 2);
        } // the run ends without writing them
        FiscalState next;
        QVERIFY(next.resumeWaitingTickets(settings_.waitingTicketsDir()).isEmpty());
        QCOMPARE(next.waitingTickets(), 2);
        QVERIFY(next.resumeWaitingTickets(settings_.waitingTicketsDir()).isEmpty());
        QCOMPARE(next.waitingTickets(), 2); // taken up once
        QFile::remove(kitchenTicket());
        QVERIFY(next.retryWaitingTickets().isEmpty());
        QVERIFY(test::Fixture::readFile(kitchenTicket()).contains(toCp1251(u":Супа")));
        QFile::remove(kitchenTicket());
        QVERIFY(next.retryWaitingTickets().isEmpty());
        QVERIFY(test::Fixture::readFile(kitchenTicket()).contains(toCp1251(u":Салата")));
        QCOMPARE(next.waitingTickets(), 0);
        QCOMPARE(entries(settings_.waitingTicketsDir()), QStringList{});

        // A kept ticket that cannot be read is said so and removed.
        writeBytes(settings_.waitingTicketsDir() + "/0000000001.ticket", "not a ticket");
        FiscalState third;
        const QList<TicketFailure> damaged = third.resumeWaitingTickets(settings_.waitingTicketsDir());
        QCOMPARE(damaged.size(), 1);
        QCOMPARE(third.waitingTickets(), 0);
        QCOMPARE(entries(settings_.waitingTicketsDir()), QStringList{});
    }

    // Kept tickets damaged in every way (bytes changed, cut, added): each is
    // read without a crash, and either taken up whole or removed as damaged.
    void damagedKeptTickets() {
        setUpDepartments();
        settings_.departmentTickets = true;
        writeBytes(kitchenTicket(), "previous");
        {
            FiscalState first;
            printSaleReceipt(first, {line("Супа", 1, 3, 0, 2, 1)}, 3, db(), settings_, kHeader);
        }
        const QString dir = settings_.waitingTicketsDir();
        const QString kept = dir + "/" + entries(dir).value(0);
        const QByteArray sound = test::Fixture::readFile(kept);
        QVERIFY(!sound.isEmpty());
        QRandomGenerator random(17);
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes = sound;
            const int changes = 1 + int(random.bounded(4));
            for (int c = 0; c < changes; ++c) {
                const int at = int(random.bounded(qMax<qsizetype>(1, bytes.size())));
                switch (random.bounded(3)) {
                case 0:
                    if (!bytes.isEmpty())
                        bytes[at] = char(random.bounded(256));
                    break;
                case 1:
                    bytes.truncate(at);
                    break;
                default:
                    bytes.insert(at, QByteArray(int(random.bounded(1, 9)), char(random.bounded(256))));
                }
            }
            writeBytes(kept, bytes);
            FiscalState next;
            const QList<TicketFailure> damaged = next.resumeWaitingTickets(dir);
            QCOMPARE(damaged.size() + next.waitingTickets(), 1);
            QCOMPARE(QFile::exists(kept), damaged.isEmpty());
        }
    }

    // A receipt that cannot be written is never printed with a later one,
    // the loss starts again, the counter stays, and the sale's tickets are
    // written; the sale's receipt can be printed again from its lines,
    // without its tickets.
    void failedReceiptIsDropped() {
        setUpDepartments();
        settings_.saleReceipt = kFiscalReceipt;
        settings_.departmentTickets = true;
        writeBytes(fx_->root() + "blocker", "a file where the directory should be");
        const QString good = settings_.receiptDir;
        settings_.receiptDir = fx_->root() + "blocker/Fiscal";
        FiscalState state;
        const QList<ReceiptLine> soup{line("Супа", 8, 0.125, 0, 1, 1)};
        const BonResult failed = printSaleReceipt(state, soup, 1, db(), settings_, kHeader);
        QVERIFY(failed.receiptFailed);
        QVERIFY2(failed.receiptError.contains("blocker"), qPrintable(failed.receiptError));
        QVERIFY(state.prepared.lines.isEmpty());
        QVERIFY(state.prepared.items.isEmpty());
        QCOMPARE(state.counter, 1);
        QCOMPARE(failed.ticketsWritten, 1);
        QVERIFY(QFile::exists(kitchenTicket()));

        settings_.receiptDir = good;
        printSaleReceipt(state, {line("Сол", 1, 2)}, 2, db(), settings_, kHeader);
        QCOMPARE(test::Fixture::readFile(bon(1)),
                 file({":ПОС: 1", kOperator, "%12^Сол         ^200^1000^2^"}));

        QFile::remove(kitchenTicket());
        const BonResult again = printSaleReceiptAgain(state, soup, 1, db(), settings_, kHeader);
        QVERIFY(!again.receiptFailed);
        QCOMPARE(test::Fixture::readFile(bon(2)),
                 file({":ПОС: 1", kOperator, "%12^Супа        ^12^8000^1^", "%0000^КОРЕКЦИЯ:^4^1000^1^"}));
        QVERIFY(!QFileInfo::exists(kitchenTicket()));
    }

    // Kitchen and bar: both kitchen lines on the kitchen's ticket, none for
    // the bar, whose device prints nothing; the bill line only on a
    // service receipt's tickets; without a receipt the tickets are written
    // at the end of the sale.
    void departmentTickets_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("ticket");
        QTest::addColumn<QStringList>("receiptFiles");
        const QByteArray withoutBill =
            file({":ПОС: 1", kOperator, ":=======================", ":КУХНЯ",
                  ":=======================", ":Супа        2.00 x 3.50    ", ":отстъпка: 10.00%",
                  ":Салата      1.00 x 4.20    ", ":======================="});
        const QByteArray withBill =
            file({":ПОС: 1", ":ПОРЪЧКА: 4", kOperator, ":=======================", ":КУХНЯ",
                  ":=======================", ":Супа        2.00 x 3.50    ", ":отстъпка: 10.00%",
                  ":Салата      1.00 x 4.20    ", ":======================="});
        QTest::newRow("fiscal") << kFiscalReceipt << withoutBill << QStringList{"BON1.bon"};
        QTest::newRow("service") << kServiceReceipt << withBill << QStringList{"BON1.bon"};
        QTest::newRow("none") << kNoReceipt << withoutBill << QStringList{};
    }
    void departmentTickets() {
        QFETCH(int, kind);
        QFETCH(QByteArray, ticket);
        QFETCH(QStringList, receiptFiles);
        setUpDepartments();
        settings_.saleReceipt = kind;
        settings_.departmentTickets = true;
        settings_.deviceType = 1;
        FiscalState state;
        const BonResult r = printSaleReceipt(
            state,
            {line("Супа", 2, 3.5, 10, 2, 1), line("Бира", 1, 2, 0, 2, 2), line("Салата", 1, 4.2, 0, 2, 1)},
            Decimal("13.5"), db(), settings_, kHeader);
        QCOMPARE(r.ticketsWritten, 1);
        QVERIFY(r.ticketFailures.isEmpty());
        QCOMPARE(test::Fixture::readFile(kitchenTicket()), ticket);
        QCOMPARE(entries(kitchenDir()), QStringList{"ToPrepare1.bon"});
        QCOMPARE(QDir(receipts()).entryList(QDir::Files), receiptFiles);
        QVERIFY(!QFileInfo::exists(receipts() + "/Department2"));
        QVERIFY(state.prepared.departments.isEmpty());
    }

    // A ticket waits while its department's previous ticket is there, and
    // so do the department's later ones, in order; none is overwritten.
    void ticketsWaitForTheirDepartment() {
        setUpDepartments();
        settings_.departmentTickets = true;
        writeBytes(kitchenTicket(), "previous");
        FiscalState state;
        const BonResult first =
            printSaleReceipt(state, {line("Супа", 1, 3, 0, 2, 1)}, 3, db(), settings_, kHeader);
        QCOMPARE(first.ticketsWritten, 0);
        QCOMPARE(first.ticketsWaiting, 1);
        const BonResult second =
            printSaleReceipt(state, {line("Салата", 1, 4, 0, 2, 1)}, 4, db(), settings_, kHeader);
        QCOMPARE(second.ticketsWaiting, 2);
        QCOMPARE(test::Fixture::readFile(kitchenTicket()), QByteArray("previous"));
        QCOMPARE(state.waitingDepartments().size(), 1);
        QCOMPARE(state.waitingDepartments().first().name, "Кухня");

        QVERIFY(state.retryWaitingTickets().isEmpty());
        QCOMPARE(state.waitingTickets(), 2);
        QFile::remove(kitchenTicket());
        QVERIFY(state.retryWaitingTickets().isEmpty());
        QCOMPARE(state.waitingTickets(), 1);
        QVERIFY(test::Fixture::readFile(kitchenTicket()).contains(toCp1251(u":Супа")));
        QVERIFY(state.retryWaitingTickets().isEmpty());
        QCOMPARE(state.waitingTickets(), 1);
        QFile::remove(kitchenTicket());
        state.retryWaitingTickets();
        QCOMPARE(state.waitingTickets(), 0);
        QVERIFY(test::Fixture::readFile(kitchenTicket()).contains(toCp1251(u":Салата")));
        QCOMPARE(entries(kitchenDir()), QStringList{"ToPrepare1.bon"});
    }

    // A ticket that cannot be written names its department; the others are
    // written, a department without a path into its default directory.
    void ticketFailuresNameTheDepartment() {
        updateDepartment(db(), 1, {1, "Кухня", fx_->root() + "missing", "2: ЕЛТРЕЙД - Касов апарат"});
        insertDepartment(db(), {0, "Пица", "", "1: ЕЛТРЕЙД - Фискален принтер"}); // number 3
        settings_.departmentTickets = true;
        FiscalState state;
        const BonResult r = printSaleReceipt(
            state, {line("Супа", 1, 3, 0, 2, 1), line("Пица", 1, 9, 0, 2, 3), line("Торта", 1, 5, 0, 2, 7)},
            17, db(), settings_, kHeader);
        QCOMPARE(r.ticketsWritten, 1);
        QCOMPARE(r.ticketFailures.size(), 2);
        QCOMPARE(r.ticketFailures[0].department, 1);
        QCOMPARE(r.ticketFailures[0].name, "Кухня");
        QVERIFY2(r.ticketFailures[0].error.contains("missing"), qPrintable(r.ticketFailures[0].error));
        QCOMPARE(r.ticketFailures[1].department, 7);
        QVERIFY(!QFileInfo::exists(fx_->root() + "missing"));
        QCOMPARE(
            test::Fixture::readFile(receipts() + "/Department3/ToPrepare3.bon"),
            file({"*", ":ПОС: 1", kOperator, ":=======================", ":ПИЦА",
                  ":=======================", ":Пица        1.00 x 9.00    ", ":======================="}));
        QCOMPARE(state.waitingTickets(), 0);
    }

    // "Издай служебен бон": the lines and their amount in leva, the unit
    // prices in leva as well.
    void serviceReceipt() {
        settings_.deviceType = 2;
        FiscalState state;
        ReceiptLine euro = line("Кафе", 2, 1.5, 0);
        euro.rate = 2;
        printServiceReceipt(state, {line("Чай", 1, 2.5, 20), euro}, 8, db(), settings_, kHeader);
        QCOMPARE(test::Fixture::readFile(bon(1)),
                 file({":ПОС: 1", ":ПОРЪЧКА: 4", kOperator, ":Чай         1.00 x 2.50    ",
                       ":отстъпка: 20.00%", ":Кафе        2.00 x 3.00    ",
                       ":=======================", ":Общо: 8.00", ":======================="}));
    }

    void settingsFromTheirValues_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("directory");
        QTest::newRow("not set") << QString() << "Fiscal";
        QTest::newRow("Windows default") << "C:\\Temp"
                                         << "Fiscal";
        QTest::newRow("relative") << "Bons/Kasa1"
                                  << "Bons/Kasa1";
        QTest::newRow("absolute, as typed") << "/srv/Fiscal Server/Bons"
                                            << "/srv/Fiscal Server/Bons";
    }
    void settingsFromTheirValues() {
        QFETCH(QString, typed);
        QFETCH(QString, directory);
        const FiscalSettings s =
            fiscalSettingsFrom(fx_->root(), typed, 2, "14: ДАТЕКС - Фискален принтер FP 3530", true);
        QCOMPARE(s.receiptDir, directory.startsWith('/') ? directory : fx_->root() + directory);
        QCOMPARE(s.saleReceipt, kFiscalReceipt);
        QCOMPARE(s.deviceType, 14);
        QVERIFY(s.departmentTickets);
        QCOMPARE(departmentDirectory(s, 4, ""), s.receiptDir + "/Department4");
        QCOMPARE(departmentDirectory(s, 4, "Kuhnq"), fx_->root() + "Kuhnq");
    }

    // The selected lines with their rates, in the order asked; a line of
    // another operator is left out, one without a known currency has no
    // rate, and no receipt line.
    void pendingLines() {
        const auto add = [this](const char* op, const char* name, double price, const char* currency) {
            return insertReturningKey(
                db(),
                "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Ed_Cena, Valuta, "
                "Operator, T_O, Dan_Grup, Prigotvq_Se, Sm_N) VALUES (7, ?, 2, ?, ?, ?, 5, 3, 1, 0)",
                {QString::fromUtf8(name), price, QString::fromUtf8(currency), QString::fromUtf8(op)},
                "N_Prodajba");
        };
        const qint64 leva = add("Иван", "Чай", 2.5, "Лева");
        const qint64 euro = add("Иван", "Кафе", 10, "EUR");
        const qint64 unknown = add("Иван", "Сок", 1, "XYZ");
        const qint64 other = add("Мария", "Мед", 1, "Лева");
        const QList<SaleLine> sale = pendingSaleLines(db(), "Иван", {euro, unknown, other, leva}, 2);
        QCOMPARE(sale.size(), 3);
        QVERIFY(!sale[1].rate);
        QCOMPARE(currenciesWithoutRate(sale), QStringList{"XYZ"});
        QCOMPARE(sale[0].amount, Decimal("37.16")); // 2 × 10 × 1.95583 less 5 %
        const QList<ReceiptLine> lines = receiptLines(sale);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].name, "Кафе");
        QCOMPARE(lines[0].rate, Decimal("1.95583"));
        QCOMPARE(lines[0].article, "7");
        QCOMPARE(lines[0].quantity, Decimal(2));
        QCOMPARE(lines[0].unitPrice, Decimal(10));
        QCOMPARE(lines[0].discount, Decimal(5));
        QCOMPARE(lines[0].vatGroup, 3);
        QCOMPARE(lines[0].department, 1);
        QCOMPARE(lines[1].name, "Чай");
        QCOMPARE(lines[1].rate, Decimal(1));
        QVERIFY(!receiptLine(sale[1]));
    }

    // New departments take the next number, the lowest free one once 100
    // is taken; one whose articles are prepared there stays.
    void departmentNumbers() {
        QCOMPARE(insertDepartment(db(), {0, "Пица", "", "0: НЕ РАЗПЕЧАТВА"}), 3);
        execSql(db(), "INSERT INTO Type_Prigotvq_Se (ID, Opisanie) VALUES (100, 'Последен')");
        QCOMPARE(insertDepartment(db(), {0, "Десерти", "/srv/d", "2: ЕЛТРЕЙД - Касов апарат"}), 4);
        QCOMPARE(*loadDepartment(db(), 4), (Department{4, "Десерти", "/srv/d", "2: ЕЛТРЕЙД - Касов апарат"}));
        for (int id = 5; id < 100; ++id)
            execSql(db(), "INSERT INTO Type_Prigotvq_Se (ID, Opisanie) VALUES (?, 'x')", {id});
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, insertDepartment(db(), {0, "Още", "", ""}));
        QCOMPARE(deleteDepartment(db(), 50), DepartmentDeletion::Deleted);
        QCOMPARE(insertDepartment(db(), {0, "Още", "", ""}), 50);

        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Prigotvq_Se) VALUES (1, 'Супа', 1)");
        QCOMPARE(deleteDepartment(db(), 1), DepartmentDeletion::InUse);
        QVERIFY(loadDepartment(db(), 1));
        QCOMPARE(deleteDepartment(db(), 2), DepartmentDeletion::Deleted);
        QCOMPARE(deleteDepartment(db(), 2), DepartmentDeletion::AlreadyGone);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, updateDepartment(db(), 2, {2, "Бар", "", ""}));
    }
};

QTEST_GUILESS_MAIN(ReceiptFilesTest)
#include "test_receipt_files.moc"
