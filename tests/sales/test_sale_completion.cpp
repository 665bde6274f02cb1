// A sale recorded whole or not at all: its rows, the stock of the active
// warehouse and the pending lines change together; lines sold or changed
// elsewhere stop it; two tills selling the last unit both count. And the
// order proposal when the stock falls to its minimum.

#include "catalogue/stock.h"
#include "common/errors.h"
#include "common/sql.h"
#include "sales/receipt_files.h"
#include "sales/sale_completion.h"
#include "support/fixture.h"

#include <QTest>
#include <QThread>

using namespace torvika;

namespace {

Decimal d(const char* text) {
    return *Decimal::parse(QString::fromLatin1(text));
}

} // namespace

class SaleCompletionTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    SaleContext context(const QString& op = "Иван") {
        SaleContext c;
        c.operatorName = op;
        c.terminal = 3;
        c.vatRates = VatRates::uniform(20);
        return c;
    }
    void addArticle(qint64 id, const QString& name, double price, double stock, double minimum = 0) {
        execSql(
            db(),
            "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, Dan_Grup, "
            "Prigotvq_Se, Min_Kol, Dostav4ik) VALUES (?, ?, 1, ?, 'лв.', 'бр.', 0, 2, 0, ?, 15)",
            {id, name, price, minimum});
        GET_NALI4NOST(db(), id, 1, 1, Decimal(QString::number(stock)));
    }
    qint64 enter(const QSqlDatabase& conn, const QString& op, qint64 article, const char* qty,
                 const char* price) {
        return enterLine(conn, context(op), {article, d(qty), d(price), {}, {}}).line;
    }
    SaleRequest request(const QList<qint64>& lines, const char* due, PayKind pay = PayKind::Cash) {
        SaleRequest r;
        r.operatorName = "Иван";
        r.lines = lines;
        r.pay = pay;
        r.counterparty = 15;
        r.warehouse = 1;
        r.amountDue = d(due);
        r.when = QDateTime(QDate(2026, 12, 10), QTime(9, 30, 5));
        return r;
    }
    int count(const char* table) {
        return scalarSql(db(), QString("SELECT COUNT(*) FROM %1").arg(table)).toInt();
    }
    double stock(qint64 article) { return stockIn(db(), article, 1).value_or(-999).toDouble(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "DELETE FROM Valuti");
        execSql(db(), "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('лв.', 1, 'True')");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (15, 'Бип ЕТ', '0', 0)");
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Втори склад')");
        addArticle(10, "Чай", 2.5, 10);
        addArticle(11, "Кафе", 4, 3);
    }
    void cleanup() { fx_.reset(); }

    // Two lines, sold last selected first: one row each with the line's
    // number, the sale's one date and time, and the stock lowered.
    void sellsTheSelectedLines() {
        const qint64 tea = enter(db(), "Иван", 10, "2", "2.5");
        const qint64 coffee = enter(db(), "Иван", 11, "1.5", "4");
        const qint64 maria = enter(db(), "Мария", 10, "1", "2.5");
        const SaleResult r = recordSale(db(), request({tea, coffee}, "11.00"));
        QCOMPARE(r.status, SaleResult::Sold);
        QCOMPARE(r.sold.size(), 2);
        QCOMPARE(r.sold[0].number, coffee);
        QCOMPARE(r.sold[1].number, tea);

        const SqlRows rows =
            readRows(db(), "SELECT ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, ED_Cena, "
                           "Valuta, ID_Klient, T_O, Konsign_N, Type_Pay, Term_N, Sklad_ID "
                           "FROM Prodajbi ORDER BY ID_Prodajba");
        QCOMPARE(rows.rows.size(), 2);
        const QVariantList& first = rows.rows[0];
        QCOMPARE(first[0].toLongLong(), tea);
        QCOMPARE(first[1].toInt(), 10);
        QCOMPARE(first[2].toString(), "Иван");
        QCOMPARE(first[3].toString(), "2026-12-10");
        QCOMPARE(first[4].toString(), "09:30:05");
        QCOMPARE(first[5].toDouble(), 2.0);
        QCOMPARE(first[6].toDouble(), 2.5);
        QCOMPARE(first[7].toString(), "лв.");
        QCOMPARE(first[8].toInt(), 15);
        QCOMPARE(first[9].toDouble(), 0.0);
        QCOMPARE(first[10].toInt(), 0);
        QCOMPARE(first[11].toString(), "в брой");
        QCOMPARE(first[12].toInt(), 3);
        QCOMPARE(first[13].toInt(), 1);
        QCOMPARE(rows.rows[1][5].toDouble(), 1.5);

        QCOMPARE(stock(10), 8.0);
        QCOMPARE(stock(11), 1.5);
        // Only the other operator's line is left.
        QCOMPARE(scalarSql(db(), "SELECT N_Prodajba FROM Prodajbi_Vremenni").toLongLong(), maria);

        recordReceiptFile(db(), r.sold, "/tmp/Fiscal/BON1.bon");
        QCOMPARE(receiptFileOf(db(), tea), "/tmp/Fiscal/BON1.bon");
        QCOMPARE(receiptFileOf(db(), maria), "");
    }

    void paymentKindsAsStored() {
        const qint64 tea = enter(db(), "Иван", 10, "1", "2.5");
        QCOMPARE(recordSale(db(), request({tea}, "2.50", PayKind::BankTransfer)).status, SaleResult::Sold);
        QCOMPARE(scalarSql(db(), "SELECT Type_Pay FROM Prodajbi").toString(), "по банков път");
        QCOMPARE(payKindCaption(PayKind::Deferred), "отложено плащане");
    }

    // Lines gone, another operator's, or priced otherwise than the operator
    // was asked to pay: nothing is recorded.
    void changedLinesStopTheSale() {
        const qint64 tea = enter(db(), "Иван", 10, "1", "2.5");
        const qint64 maria = enter(db(), "Мария", 11, "1", "4");
        QCOMPARE(recordSale(db(), request({tea, maria}, "6.50")).status, SaleResult::Changed);
        QCOMPARE(recordSale(db(), request({tea, tea + 100}, "2.50")).status, SaleResult::Changed);
        QCOMPARE(recordSale(db(), request({tea}, "2.40")).status, SaleResult::Changed);
        QCOMPARE(count("Prodajbi"), 0);
        QCOMPARE(count("Prodajbi_Vremenni"), 2);
        QCOMPARE(stock(10), 10.0);
    }

    // A failure part way (here the second row breaks a unique index) leaves
    // the first line unsold too.
    void failurePartWayRecordsNothing() {
        execSql(db(), "CREATE UNIQUE INDEX IX_Test_One_Sale_Per_Article ON Prodajbi (ID_Art)");
        const qint64 first = enter(db(), "Иван", 10, "1", "2.5");
        const qint64 second = enter(db(), "Иван", 10, "2", "2.5");
        QVERIFY(first != second);
        QVERIFY_THROWS_EXCEPTION(torvika::EDatabaseError, recordSale(db(), request({first, second}, "7.50")));
        QCOMPARE(count("Prodajbi"), 0);
        QCOMPARE(count("Prodajbi_Vremenni"), 2);
        QCOMPARE(stock(10), 10.0);
    }

    // The same operator on two workstations selling the same lines: the
    // second finds them sold.
    void linesSoldOnAnotherWorkstation() {
        const qint64 tea = enter(db(), "Иван", 10, "1", "2.5");
        {
            QSqlDatabase other = fx_->openWorkstation("second till");
            QCOMPARE(recordSale(other, request({tea}, "2.50")).status, SaleResult::Sold);
        }
        QSqlDatabase::removeDatabase("second till");
        QCOMPARE(recordSale(db(), request({tea}, "2.50")).status, SaleResult::Changed);
        QCOMPARE(count("Prodajbi"), 1);
        QCOMPARE(stock(10), 9.0);
    }

    // Two tills selling the last unit at the same moment: both sales are
    // recorded and both take their unit (the stock shows the oversale).
    void twoTillsSellTheLastUnit() {
        execSql(db(), "UPDATE Store_Kol SET Kol = 1 WHERE Art_ID = 11");
        QList<qint64> lines;
        const QStringList ops{"Иван", "Мария"};
        for (const QString& op : ops)
            lines << enter(db(), op, 11, "1", "4");
        QList<int> results(2, -1);
        QList<QThread*> threads;
        for (int i = 0; i < 2; ++i)
            threads << QThread::create([&, i] {
                const QString name = QString("till %1").arg(i);
                {
                    QSqlDatabase conn = fx_->openWorkstation(name);
                    SaleRequest r = request({lines[i]}, "4.00");
                    r.operatorName = ops[i];
                    results[i] = int(recordSale(conn, r).status);
                }
                QSqlDatabase::removeDatabase(name);
            });
        for (QThread* t : threads)
            t->start();
        for (QThread* t : threads) {
            QVERIFY(t->wait(60000));
            delete t;
        }
        QCOMPARE(results, QList<int>({SaleResult::Sold, SaleResult::Sold}));
        QCOMPARE(count("Prodajbi"), 2);
        QCOMPARE(stock(11), -1.0);
    }

    // A line whose currency has no rate stops the sale, which names the
    // currency: it was not changed elsewhere, and would never sell.
    void lineWithoutRate() {
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, "
                      "Dan_Grup, Prigotvq_Se) VALUES (12, 'Уиски', 1, 30, 'USD', 'бр.', 0, 2, 0)");
        const qint64 tea = enter(db(), "Иван", 10, "1", "2.5");
        const qint64 whisky = enter(db(), "Иван", 12, "1", "30");
        const SaleResult r = recordSale(db(), request({tea, whisky}, "2.50"));
        QCOMPARE(r.status, SaleResult::NoRate);
        QCOMPARE(r.currencies, QStringList{"USD"});
        QCOMPARE(count("Prodajbi"), 0);
        QCOMPARE(count("Prodajbi_Vremenni"), 2);
    }

    // Two sessions of one operator selecting the same lines in opposite
    // orders at once: the lines are locked in the order of their numbers,
    // so one sells them and the other finds them sold, with no deadlock.
    void oppositeOrdersDoNotDeadlock() {
        const qint64 tea = enter(db(), "Иван", 10, "1", "2.5");
        const qint64 coffee = enter(db(), "Иван", 11, "1", "4");
        QSqlDatabase blocker = fx_->openWorkstation("blocker");
        auto blocking = std::make_unique<Transaction>(blocker);
        execSql(blocker, "UPDATE Prodajbi_Vremenni SET Operator = Operator WHERE N_Prodajba = ?", {coffee});
        const QList<QList<qint64>> orders{{coffee, tea}, {tea, coffee}};
        QList<QString> outcomes(2);
        QList<QThread*> threads;
        for (int i = 0; i < 2; ++i)
            threads << QThread::create([&, i] {
                const QString name = QString("session %1").arg(i);
                {
                    QSqlDatabase conn = fx_->openWorkstation(name);
                    try {
                        outcomes[i] =
                            QString::number(int(recordSale(conn, request(orders[i], "6.50")).status));
                    } catch (const std::exception& e) {
                        outcomes[i] = QString::fromUtf8(e.what());
                    }
                }
                QSqlDatabase::removeDatabase(name);
            });
        // The first waits for the blocked line before the second starts.
        auto waiting = [this](int sessions) {
            if (!test::onPostgres()) {
                QThread::msleep(300);
                return true;
            }
            return QTest::qWaitFor(
                [&] {
                    return scalarSql(db(), "SELECT COUNT(*) FROM pg_locks WHERE NOT granted").toInt() >=
                           sessions;
                },
                10000);
        };
        threads[0]->start();
        QVERIFY(waiting(1));
        threads[1]->start();
        QVERIFY(waiting(2));
        blocking->commit();
        blocking.reset();
        for (QThread* t : threads) {
            QVERIFY(t->wait(60000));
            delete t;
        }
        blocker = QSqlDatabase();
        QSqlDatabase::removeDatabase("blocker");
        outcomes.sort();
        QCOMPARE(outcomes, (QList<QString>{QString::number(int(SaleResult::Sold)),
                                           QString::number(int(SaleResult::Changed))}));
        QCOMPARE(count("Prodajbi"), 2);
    }

    // A cash sale that prints a receipt owes it until its file is recorded;
    // the receipt of a sale left owing one is written from the stored sale,
    // once, even when two workstations try at the same moment.
    void owedReceiptPrintedOnce() {
        const qint64 tea = enter(db(), "Иван", 10, "2", "2.5");
        const qint64 coffee = enter(db(), "Иван", 11, "1", "4");
        SaleRequest owing = request({tea, coffee}, "9.00");
        owing.printsReceipt = true;
        QCOMPARE(recordSale(db(), owing).status, SaleResult::Sold);
        const qint64 bank = enter(db(), "Иван", 10, "1", "2.5");
        QCOMPARE(recordSale(db(), request({bank}, "2.50", PayKind::BankTransfer)).status, SaleResult::Sold);
        QCOMPARE(receiptFileOf(db(), tea), "");

        const QList<OwedReceipt> owed = owedReceipts(db(), 3, 2);
        QCOMPARE(owed.size(), 1);
        QCOMPARE(owed[0].operatorName, "Иван");
        QCOMPARE(owed[0].date, "2026-12-10");
        QCOMPARE(owed[0].time, "09:30:05");
        QCOMPARE(owed[0].amountDue, d("9.00"));
        QCOMPARE(owed[0].lines.size(), 2);
        QCOMPARE(owed[0].lines[0].description, "Чай");
        QVERIFY(owedReceipts(db(), 4, 2).isEmpty()); // another terminal's

        FiscalSettings settings;
        settings.programDir = fx_->root();
        settings.receiptDir = fx_->root() + "Fiscal";
        settings.saleReceipt = kFiscalReceipt;
        QList<QString> files(2);
        QList<QThread*> threads;
        for (int i = 0; i < 2; ++i)
            threads << QThread::create([&, i] {
                const QString name = QString("till %1").arg(i);
                {
                    QSqlDatabase conn = fx_->openWorkstation(name);
                    FiscalState state;
                    try {
                        const std::optional<BonResult> r = printOwedReceipt(state, conn, owed[0], settings);
                        files[i] = r ? r->receiptFile : QStringLiteral("owed no more");
                    } catch (const std::exception& e) {
                        files[i] = QString::fromUtf8(e.what());
                    }
                }
                QSqlDatabase::removeDatabase(name);
            });
        for (QThread* t : threads)
            t->start();
        for (QThread* t : threads) {
            QVERIFY(t->wait(60000));
            delete t;
        }
        files.sort();
        const QString bon = fx_->root() + "Fiscal/BON1.bon";
        QCOMPARE(files, (QList<QString>{bon, "owed no more"}));
        QCOMPARE(receiptFileOf(db(), tea), bon);
        QCOMPARE(receiptFileOf(db(), coffee), bon);
        QVERIFY(owedReceipts(db(), 3, 2).isEmpty());
        QVERIFY(!QFile::exists(fx_->root() + "Fiscal/BON2.bon"));

        // One the operator gives up is owed no more, and prints nothing.
        const qint64 honey = enter(db(), "Иван", 10, "1", "2.5");
        SaleRequest again = request({honey}, "2.50");
        again.printsReceipt = true;
        QCOMPARE(recordSale(db(), again).status, SaleResult::Sold);
        dropOwedReceipt(db(), owedReceipts(db(), 3, 2).value(0));
        QVERIFY(owedReceipts(db(), 3, 2).isEmpty());
        QCOMPARE(receiptFileOf(db(), honey), "");
    }

    void orderProposal_data() {
        QTest::addColumn<double>("stock"); // in the active warehouse
        QTest::addColumn<double>("minimum");
        QTest::addColumn<bool>("ordered"); // an order line exists already
        QTest::addColumn<bool>("proposed");
        QTest::newRow("falls to the minimum") << 5.0 << 2.0 << false << true;
        QTest::newRow("falls below") << 4.0 << 2.0 << false << true;
        QTest::newRow("stays above") << 6.0 << 2.0 << false << false;
        QTest::newRow("ordered already") << 5.0 << 2.0 << true << false;
        QTest::newRow("no minimum, sold out") << 3.0 << 0.0 << false << true;
    }
    // The sale takes 3 of the article in two lines; another warehouse's
    // stock does not count.
    void orderProposal() {
        QFETCH(double, stock);
        QFETCH(double, minimum);
        QFETCH(bool, ordered);
        QFETCH(bool, proposed);
        execSql(db(), "UPDATE Produkti SET Min_Kol = ? WHERE ID = 10", {minimum});
        GET_NALI4NOST(db(), 10, 1, 1, Decimal(QString::number(stock)));
        GET_NALI4NOST(db(), 10, 2, 1, 100);
        if (ordered)
            execSql(db(), "INSERT INTO Zaqvki_All (Art_ID, Opisanie) VALUES (10, 'Чай')");
        const QList<qint64> lines{enter(db(), "Иван", 10, "2", "2.5"), enter(db(), "Иван", 11, "1", "4"),
                                  enter(db(), "Иван", 10, "1", "2.5")};
        const QList<OrderProposal> p =
            minimumStockProposals(db(), pendingSaleLines(db(), "Иван", lines, 2), 1);
        QCOMPARE(p.size(), proposed ? 1 : 0);
        if (proposed)
            QCOMPARE(p.first().article, 10);
    }

    // The order line names the article's supplier and his number for it;
    // written once even when proposed twice.
    void orderProposalWritten() {
        execSql(
            db(),
            "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (10, 'X-7', 3), (10, 'B-10', 15)");
        const qint64 tea = enter(db(), "Иван", 10, "10", "2.5");
        const QList<SaleLine> lines = pendingSaleLines(db(), "Иван", {tea}, 2);
        const QList<OrderProposal> proposals = minimumStockProposals(db(), lines, 1);
        QCOMPARE(proposals.size(), 1);
        const OrderProposal* p = &proposals.first();
        QCOMPARE(p->supplier, "15:Бип ЕТ");
        QCOMPARE(p->catalogueNumber, "B-10");
        QVERIFY(writeOrderProposal(db(), *p, QDate(2026, 12, 10)));
        QVERIFY(!writeOrderProposal(db(), *p, QDate(2026, 12, 10)));
        const SqlRows rows = readRows(db(), "SELECT Data, Art_ID, Kat_N, Opisanie, Kol, Dost_Cena, Valuta, "
                                            "Klient_Ime, Dost_Ime FROM Zaqvki_All");
        QCOMPARE(rows.rows.size(), 1);
        QCOMPARE(rows.rows[0], QVariantList({"2026-12-10", 10, "B-10", "Чай", 1, 0, "лв.",
                                             "0:Няма избран клиент", "15:Бип ЕТ"}));

        // An article whose supplier has no number for it.
        execSql(db(), "DELETE FROM Zaqvki_All");
        execSql(db(), "UPDATE Produkti SET Dostav4ik = 0 WHERE ID = 10");
        QCOMPARE(minimumStockProposals(db(), lines, 1).value(0).supplier, "0:Няма избран доставчик");
    }
};

QTEST_MAIN(SaleCompletionTest)
#include "test_sale_completion.moc"
