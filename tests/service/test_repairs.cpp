// The workshop: warranty periods, repair states and their colours, the
// search of the items in service, repair lines and their total, the repair
// protocol, and issuing: once, whole, with the item's own lines, charged
// through a sale with a fiscal receipt when the repair has a price.

#include "catalogue/stock.h"
#include "common/errors.h"
#include "common/sql.h"
#include "sales/sale_completion.h"
#include "service/intake_lines.h"
#include "service/repairs.h"
#include "support/fixture.h"

#include <QDir>
#include <QTest>
#include <QThread>

using namespace torvika;

namespace {

const QDateTime kNow(QDate(2026, 3, 10), QTime(16, 45, 0));

Decimal d(const char* text) {
    return *Decimal::parse(QString::fromLatin1(text));
}

RepairLineEntry line(const QString& text, const QString& qty, const QString& price,
                     const QString& currency = "Лева") {
    RepairLineEntry e;
    e.text = text;
    e.quantity = qty;
    e.price = price;
    e.currency = currency;
    e.warrantyUntil = QDate(2026, 9, 10);
    return e;
}

} // namespace

class RepairsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }
    int count(const QString& sql, const QVariantList& values = {}) {
        return scalarSql(db(), sql, values).toInt();
    }
    // An item in service, as "ПРИЕМИ" leaves it.
    void item(qint64 n, const QString& serial, qint64 client = 5, const QString& intake = "2026-03-01",
              const QString& due = "2026-03-20", int state = 1) {
        execSql(
            db(),
            "INSERT INTO Priem_Ser (N_Prodajba, Barkod, S_N, Opisanie, Pri4ina, Gar, Gar_Dok_N, "
            "Data_Gar_Dok, "
            "ID_Kontrag, Data_Priem, Time_Priem, Operator, Pred_Cena_Remont, Valuta, ID_Dostav4ik, Model, "
            "Partida, Status, Krai_Data, Dosie_ID) VALUES (?, 20, ?, '20:Лаптоп', 'Не се включва', 'False', "
            "'', '', ?, ?, '09:00:00', 'Иван', 30, 'Лева', 0, 'X1', 'P-1', ?, ?, 77)",
            {n, serial, client, intake, state, due});
    }
    RepairIssue issue(bool charge = true) {
        RepairIssue r;
        r.operatorName = "Мария";
        r.warehouse = 1;
        r.terminal = 2;
        r.when = kNow;
        r.charge = charge;
        return r;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (5, 'Бип ЕТ', '0', 0), "
                      "(6, 'Чип ООД', '0', 0)");
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Dan_Grup, "
                      "Garancionen) VALUES (20, 'Лаптоп', 1, 900, 'Лева', 'бр.', 1, 'True'), "
                      "(30, 'Захранване', 1, 40, 'Лева', 'бр.', 2, 'False')");
        GET_NALI4NOST(db(), 30, 1, kSetStock, Decimal(5));
    }
    void cleanup() { fx_.reset(); }

    // A month counts 30 days.
    void periods_data() {
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("count");
        QTest::addColumn<QDate>("end");
        QTest::newRow("10 days") << int(PeriodUnit::Days) << 10 << QDate(2026, 3, 11);
        QTest::newRow("1 month") << int(PeriodUnit::Months) << 1 << QDate(2026, 3, 31);
        QTest::newRow("2 months") << int(PeriodUnit::Months) << 2 << QDate(2026, 4, 30);
        QTest::newRow("until a date") << int(PeriodUnit::UntilDate) << 0 << QDate(2027, 1, 1);
    }
    void periods() {
        QFETCH(int, unit);
        QFETCH(int, count);
        QFETCH(QDate, end);
        QCOMPARE(periodEnd(QDate(2026, 3, 1), PeriodUnit(unit), count, QDate(2027, 1, 1)), end);
    }

    void overdueRows_data() {
        QTest::addColumn<QDate>("due");
        QTest::addColumn<QDate>("intake");
        QTest::addColumn<bool>("overdue");
        const QDate today(2026, 3, 10);
        QTest::newRow("due yesterday") << today.addDays(-1) << today.addDays(-2) << true;
        QTest::newRow("due today") << today << today.addDays(-2) << false;
        QTest::newRow("due on the intake day, long ago") << QDate(2025, 1, 1) << QDate(2025, 1, 1) << false;
        QTest::newRow("no due date") << QDate() << today.addDays(-2) << false;
    }
    void overdueRows() {
        QFETCH(QDate, due);
        QFETCH(QDate, intake);
        QFETCH(bool, overdue);
        QCOMPARE(isOverdue(due, intake, QDate(2026, 3, 10)), overdue);
    }

    void stateColours() {
        const QStringList& names = stateColourNames();
        QCOMPARE(names.size(), 39);
        QCOMPARE(names[0], "clAqua");
        QCOMPARE(names[38], "clWindowText");
        QPalette palette;
        palette.setColor(QPalette::Active, QPalette::Text, QColor(0x123456));
        QCOMPARE(stateColour(13, palette), QColor(0xFF0000));
        QCOMPARE(stateColour(3, palette), QColor(0x808080));
        QCOMPARE(stateColour(38, palette), QColor(0x123456));
        QCOMPARE(stateColour(99, palette), QColor(0x123456));
    }

    // States are added under the next number, renamed, and deleted unless
    // items carry them or they are the state of new items; after state 2
    // is deleted the list holds 1 and 3.
    void repairStatesKept() {
        QCOMPARE(insertRepairState(db(), "Чака части", 13), 2);
        QCOMPARE(insertRepairState(db(), " Готов ", 6), 3);
        QVERIFY_THROWS_EXCEPTION(EConvertError, insertRepairState(db(), "  ", 1));
        updateRepairState(db(), 3, "Готов за издаване", 7);
        QVERIFY_THROWS_EXCEPTION(EConvertError, updateRepairState(db(), 9, "Няма", 1));
        item(1, "AB-1", 5, "2026-03-01", "2026-03-20", 3);
        QCOMPARE(int(deleteRepairState(db(), 3)), int(StateDeletion::InUse));
        QCOMPARE(int(deleteRepairState(db(), 1)), int(StateDeletion::NewItemState));
        QCOMPARE(int(deleteRepairState(db(), 2)), int(StateDeletion::Deleted));
        QCOMPARE(int(deleteRepairState(db(), 2)), int(StateDeletion::AlreadyGone));
        QCOMPARE(repairStates(db()),
                 (QList<RepairState>{{1, "Приет за ремонт", 38}, {3, "Готов за издаване", 7}}));
        QVERIFY(setItemState(db(), 1, 1));
        QVERIFY(!setItemState(db(), 99, 1));
    }

    // The search by one column of the list: numbers exactly, dates on the
    // day, texts contained in any letter case, the client and the state by
    // their numbers. An item whose state is gone is still listed.
    void searchItems_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<qint64>>("found");
        QTest::newRow("all") << -1 << "" << QList<qint64>{1, 2, 3};
        QTest::newRow("number") << int(RepairColumn::Number) << "2" << QList<qint64>{2};
        QTest::newRow("number not a number") << int(RepairColumn::Number) << "2a" << QList<qint64>{};
        QTest::newRow("serial part") << int(RepairColumn::Serial) << "b-" << QList<qint64>{1, 3};
        QTest::newRow("percent as typed") << int(RepairColumn::Serial) << "%" << QList<qint64>{};
        QTest::newRow("article") << int(RepairColumn::Article) << "2" << QList<qint64>{1, 2, 3};
        QTest::newRow("intake date") << int(RepairColumn::IntakeDate) << "" << QList<qint64>{2};
        QTest::newRow("client") << int(RepairColumn::Client) << "" << QList<qint64>{3};
        QTest::newRow("state") << int(RepairColumn::State) << "" << QList<qint64>{2};
    }
    void searchItems() {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(QList<qint64>, found);
        item(1, "AB-1");
        item(2, "CD-2", 5, "2026-03-05", "2026-03-20", 9);
        item(3, "XB-3", 6);
        RepairSearch s;
        if (column >= 0)
            s.column = RepairColumn(column);
        s.text = text;
        s.date = QDate(2026, 3, 5);
        s.client = 6;
        s.state = 9;
        const SqlStatement st = itemsInServiceStatement(s);
        QList<qint64> numbers;
        for (const QVariantList& r : readRows(db(), st.text, st.values).rows)
            numbers << r[0].toLongLong();
        QCOMPARE(numbers, found);
    }

    // Repair lines: typed numbers with a comma or a point, refusals with
    // their messages, lines of an item issued meanwhile refused; the total
    // converts each line at its currency's rate and shows a currency
    // without a rate beside it.
    void repairLinesAndTotal() {
        item(1, "AB-1");
        QVERIFY(addRepairLine(db(), 1, line("30:Захранване", "1", "10", "EUR"), "Иван") > 0);
        const qint64 second = addRepairLine(db(), 1, line("Почистване", "2", "2,50"), "Иван");
        const QList<std::pair<RepairLineEntry, QString>> refused{
            {line("Смяна", "abc", "1"), "Количеството \"abc\" не е число, по-голямо от 0"},
            {line("Смяна", "0", "1"), "Количеството \"0\" не е число, по-голямо от 0"},
            {line("Смяна", "1", "12.5лв"), "Цената \"12.5лв\" не е число: въведете например 12.50"},
            {line("Смяна", "1", "-3"), "Цената \"-3\" не е число: въведете например 12.50"},
            {line("  ", "1", "1"), "Не са посочени данни за ремонт"},
            {line("Смяна", "1", "1", ""), "Не са посочени данни за ремонт"},
        };
        for (const auto& [entry, message] : refused) {
            try {
                addRepairLine(db(), 1, entry, "Иван");
                QFAIL(qPrintable("accepted: " + message));
            } catch (const EConvertError& e) {
                QCOMPARE(e.message(), message);
            }
        }
        try {
            addRepairLine(db(), 99, line("Смяна", "1", "1"), "Иван");
            QFAIL("a line for an item not in service");
        } catch (const EConvertError& e) {
            QCOMPARE(e.message(), "Стоката с номер 99 вече е издадена от друго работно място");
        }
        QCOMPARE(count("SELECT COUNT(*) FROM Remont"), 2);

        const QList<RepairLine> lines = repairLines(db(), 1);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[1].id, second);
        QCOMPARE(lines[1].price, d("2.5"));
        QCOMPARE(lines[1].operatorName, "Иван");
        QCOMPARE(lines[0].warrantyUntil, QDate(2026, 9, 10));
        QCOMPARE(repairTotal(lines).leva, d("24.5583"));
        QCOMPARE(repairTotal(lines).text(2), "24.56");

        addRepairLine(db(), 1, line("Вентилатор", "1", "7", "GBP"), "Иван");
        const RepairTotal withUnknown = repairTotal(repairLines(db(), 1));
        QCOMPARE(withUnknown.text(4), "24.5583 + 7.0000 GBP");
        const SqlStatement grid = repairLinesStatement(1);
        QCOMPARE(readRows(db(), grid.text, grid.values).rows.size(), 3);

        QVERIFY(deleteRepairLine(db(), second));
        QVERIFY(!deleteRepairLine(db(), second));
    }

    // The repair protocol, line for line.
    void protocolLines() {
        item(1, "AB-1");
        addRepairLine(db(), 1, line("30:Захранване", "1", "10", "EUR"), "Иван");
        std::optional<RepairProtocol> p = repairProtocolFor(db(), 1);
        QVERIFY(p.has_value());
        p->today = QDate(2026, 3, 10);
        p->company = {"Сервиз ЕООД", "Петър Петров", "София", "02 123", "123456789", "BG00", "BIC1", "Банка"};
        p->totalText = "Обща сума на ремонта в лв : 19.56";
        p->operatorName = "Мария";
        p->footer = "КРАЙ";
        const QStringList out = repairProtocolLines(*p);
        const qint64 id = repairLines(db(), 1)[0].id;
        QStringList expected{
            "",
            QString(" ПРОТОКОЛ ЗА РЕМОНТ ").rightJustified(40),
            "",
            "",
            "Днес 10.03.2026 на клиент: " + QString("Бип ЕТ").leftJustified(35),
            "За стоката: 20:Лаптоп",
            "SN:AB-1",
            "Причина за постъпване:Не се включва",
            "",
            "представител на Сервиз ЕООД,",
            "представлявано от  Петър Петров",
            "със седалище и адрес на управление София",
            "Телефон: 02 123",
            "Булстат: 123456789",
            "Сметка: BG00",
            "Код: BIC1",
            "При банка: Банка",
            "",
            "Извърши следният ремонт: ",
            "",
            "+--N--+-Гаранция до-+--------------------Описание на ремонта-------------------+-Кол-+--Ед "
            "цена---+"
            "--Валута--+----Общо--+",
            "|" + QString::number(id).leftJustified(5) + "| 10.09.2026  | " +
                QString("30:Захранване").leftJustified(57) + "| 1   | 10.0000    |  EUR     |19.56     |",
            "+-----+-------------+----------------------------------------------------------+-----+----------"
            "--+"
            "----------+----------+",
            "",
            "",
            "",
            "",
            "Обща сума на ремонта в лв : 19.56",
            "",
            "",
            "",
            "",
            "      Приел:...........             Предал:..............   ",
            "",
            "      /               /              Мария",
            "",
            "",
            "",
            "",
            "КРАЙ",
        };
        QCOMPARE(out, expected);
        QVERIFY(!repairProtocolFor(db(), 99));
    }

    // Issuing moves the item and its own lines into the archive, with the
    // date, time and operator of the issue; a second issue finds it gone,
    // and an item without lines is not issued.
    void issueMovesItemAndItsLines() {
        item(1, "AB-1");
        item(2, "CD-2", 6);
        item(3, "EF-3", 6);
        addRepairLine(db(), 1, line("Почистване", "1", "0"), "Иван");
        addRepairLine(db(), 2, line("Диагностика", "1", "0"), "Иван");
        addRepairLine(db(), 2, line("Настройка", "1", "0"), "Петър");

        RepairIssueResult r = issueItem(db(), 2, issue());
        QCOMPARE(r.status, RepairIssueResult::Issued);
        QCOMPARE(r.client, 6);
        QVERIFY(r.sold.isEmpty()); // no price: nothing charged
        QCOMPARE(count("SELECT COUNT(*) FROM Prodajbi"), 0);
        QCOMPARE(issueItem(db(), 2, issue()).status, RepairIssueResult::NotInService);
        QCOMPARE(issueItem(db(), 3, issue()).status, RepairIssueResult::NoRepairLines);
        QCOMPARE(count("SELECT COUNT(*) FROM Priem_Ser WHERE N_Prodajba = 3"), 1);
        QCOMPARE(issueItem(db(), 1, issue()).status, RepairIssueResult::Issued);

        QCOMPARE(count("SELECT COUNT(*) FROM Priem_Ser"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Remont"), 0);
        const SqlRows archived = readRows(
            db(), "SELECT N_Priem, S_N, ID_Kontrag, Dosie_ID, Data_Izd, Time_Izd, Oper_Izd, Operator "
                  "FROM R_Priem ORDER BY N_Priem");
        QCOMPARE(archived.rows.size(), 2);
        QCOMPARE(archived.rows[1],
                 (QVariantList{2, "CD-2", 6, 77, "2026-03-10", "16:45:00", "Мария", "Иван"}));
        const QList<RepairLine> lines = repairLines(db(), 2, RepairArchive::Issued);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].text, "Диагностика");
        QCOMPARE(lines[1].operatorName, "Петър");
        QCOMPARE(repairLines(db(), 1, RepairArchive::Issued).size(), 1);
        const SqlStatement grid = repairLinesStatement(2, RepairArchive::Issued);
        QCOMPARE(readRows(db(), grid.text, grid.values).rows.size(), 2);
    }

    // A repair with a price is sold to the item's client as a cash sale:
    // a catalogue part leaves the stock, free text moves none; the receipt
    // is owed until its file is written, then recorded with the sale.
    void issueChargesThroughASale() {
        item(1, "AB-1");
        addRepairLine(db(), 1, line("30:Захранване", "2", "40"), "Иван");
        RepairLineEntry labour = line("Труд", "1", "15", "EUR");
        labour.serial = "";
        addRepairLine(db(), 1, labour, "Иван");
        addRepairLine(db(), 1, line("Гаранционна смяна", "1", "0"), "Иван");
        const RepairIssueResult r = issueItem(db(), 1, issue());
        QCOMPARE(r.status, RepairIssueResult::Issued);
        QCOMPARE(r.sold.size(), 2);
        QCOMPARE(r.amountDue, d("109.34"));

        const SqlRows sales =
            readRows(db(), "SELECT ID_Art, Kol, ED_Cena, Valuta, ID_Klient, Type_Pay, Operator, "
                           "Term_N, Sklad_ID, D_Prodajba FROM Prodajbi ORDER BY ID_Prodajba");
        QCOMPARE(sales.rows.size(), 2);
        QCOMPARE(sales.rows[0],
                 (QVariantList{30, 2.0, 40.0, "Лева", 5, "в брой", "Мария", 2, 1, "2026-03-10"}));
        QCOMPARE(sales.rows[1][0].toInt(), 0);
        QCOMPARE(stockIn(db(), 30, 1).value_or(Decimal(-999)), Decimal(3));
        QCOMPARE(count("SELECT COUNT(*) FROM Store_Kol WHERE Art_ID = 0"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Prodajbi_Vremenni"), 0);
        QCOMPARE(owedReceipts(db(), 2, 2).size(), 1);

        FiscalSettings settings;
        settings.programDir = fx_->root();
        settings.receiptDir = fx_->root() + "Fiscal";
        FiscalState state;
        const BonResult bon = printRepairReceipt(state, db(), settings, {"2", "Мария", "0"}, r);
        QVERIFY(!bon.receiptFailed);
        QCOMPARE(bon.receiptFile, fx_->root() + "Fiscal/BON1.bon");
        const QString receipt = QString::fromUtf8(test::Fixture::readFile(bon.receiptFile));
        QVERIFY(receipt.contains("%30^"));
        QVERIFY(receipt.contains("%0^"));
        QVERIFY(owedReceipts(db(), 2, 2).isEmpty());
    }

    // A line to charge in a currency without a rate stops the issue:
    // nothing is moved, nothing sold.
    void chargeWithoutRateIssuesNothing() {
        item(1, "AB-1");
        addRepairLine(db(), 1, line("Вентилатор", "1", "7", "GBP"), "Иван");
        const RepairIssueResult r = issueItem(db(), 1, issue());
        QCOMPARE(r.status, RepairIssueResult::NoRate);
        QCOMPARE(r.currencies, QStringList{"GBP"});
        QCOMPARE(count("SELECT COUNT(*) FROM Priem_Ser"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Remont"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM R_Priem"), 0);
        // Without charging it is issued.
        QCOMPARE(issueItem(db(), 1, issue(false)).status, RepairIssueResult::Issued);
        QCOMPARE(count("SELECT COUNT(*) FROM Prodajbi"), 0);
    }

    // Two workstations issuing the same items at once: each item is issued
    // once, with its lines, and charged once.
    void issuedOnceOnTwoWorkstations() {
        for (qint64 n = 1; n <= 4; ++n) {
            item(n, QString("S-%1").arg(n));
            addRepairLine(db(), n, line("30:Захранване", "1", "1"), "Иван");
        }
        QList<int> issued(2, 0);
        QList<QThread*> threads;
        for (int i = 0; i < 2; ++i)
            threads << QThread::create([&, i] {
                const QString name = QString("desk %1").arg(i);
                {
                    QSqlDatabase conn = fx_->openWorkstation(name);
                    for (qint64 n = 1; n <= 4; ++n)
                        if (issueItem(conn, i == 0 ? n : 5 - n, issue()).status == RepairIssueResult::Issued)
                            ++issued[i];
                }
                QSqlDatabase::removeDatabase(name);
            });
        for (QThread* t : threads)
            t->start();
        for (QThread* t : threads) {
            QVERIFY(t->wait(60000));
            delete t;
        }
        QCOMPARE(issued[0] + issued[1], 4);
        QCOMPARE(count("SELECT COUNT(*) FROM R_Priem"), 4);
        QCOMPARE(count("SELECT COUNT(*) FROM R_Remont"), 4);
        QCOMPARE(count("SELECT COUNT(*) FROM Prodajbi"), 4);
        QCOMPARE(stockIn(db(), 30, 1).value_or(Decimal(-999)), Decimal(1));
    }

    // A line added on another workstation while the item is being issued
    // goes with the item or is refused: it never stays without its item.
    void lineAddedDuringTheIssue() {
        item(1, "AB-1");
        addRepairLine(db(), 1, line("Почистване", "1", "0"), "Иван");
        QSqlDatabase other = fx_->openWorkstation("bench");
        auto issuing = std::make_unique<Transaction>(other);
        QString outcome;
        QThread* adder = QThread::create([&] {
            {
                QSqlDatabase conn = fx_->openWorkstation("adder");
                try {
                    addRepairLine(conn, 1, line("Смяна", "1", "0"), "Петър");
                    outcome = "added";
                } catch (const EConvertError& e) {
                    outcome = e.message();
                }
            }
            QSqlDatabase::removeDatabase("adder");
        });
        // The issue holds the item while the other workstation adds.
        QCOMPARE(issueItem(other, 1, issue()).status, RepairIssueResult::Issued);
        adder->start();
        if (test::onPostgres())
            QVERIFY(QTest::qWaitFor(
                [&] {
                    return scalarSql(db(), "SELECT COUNT(*) FROM pg_locks WHERE NOT granted").toInt() >= 1;
                },
                10000));
        else
            QThread::msleep(300);
        issuing->commit();
        issuing.reset();
        QVERIFY(adder->wait(60000));
        delete adder;
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase("bench");
        QCOMPARE(outcome, "Стоката с номер 1 вече е издадена от друго работно място");
        QCOMPARE(count("SELECT COUNT(*) FROM Remont"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM R_Remont"), 1);
    }
};

QTEST_MAIN(RepairsTest)
#include "test_repairs.moc"
