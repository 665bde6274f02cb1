// The receipts through the HTTP print server, against the stand-in
// program: the sale's receipt call as the device checks it (tax groups,
// the correction item, payments equal to the total), the device's receipt
// recorded with the sale, a call sent again after a lost answer or a
// timeout printed once, a task followed with taskinfo, and a sale made
// while the server was stopped left owing its receipt and printed once
// later.

#include "common/sql.h"
#include "fiscal_printer/fiscal_device.h"
#include "sales/fiscal_http.h"
#include "sales/invalidation.h"
#include "sales/reversals.h"
#include "sales/sale_completion.h"
#include "sales/sales_report.h"
#include "support/fixture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

using namespace torvika;

namespace {

Decimal d(const char* text) {
    return *Decimal::parse(QString::fromLatin1(text));
}

// A port nobody listens on now.
quint16 freePort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

} // namespace

class FiscalHttpClientTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }
    std::unique_ptr<QProcess> server_;
    quint16 port_ = 0;
    QString journalPath() { return fx_->root() + "journal.jsonl"; }

    // Starts the stand-in on the port (the test's port by default).
    void startServer(int delayMs = 0) {
        server_ = std::make_unique<QProcess>();
        server_->start(TORVIKA_FISCAL_HTTP, {"--port", QString::number(port_), "--journal", journalPath(),
                                             "--print-delay", QString::number(delayMs)});
        QVERIFY(server_->waitForReadyRead(10000));
        QVERIFY(server_->readLine().startsWith("listening"));
    }
    void stopServer() {
        if (!server_)
            return;
        server_->kill();
        server_->waitForFinished();
        server_.reset();
    }
    FiscalServer server() {
        FiscalServer s;
        s.address = QString("http://127.0.0.1:%1/").arg(port_);
        s.printer = "dt279013";
        s.retryDelayMs = 50;
        return s;
    }
    QList<QJsonObject> journal() {
        QList<QJsonObject> out;
        QFile f(journalPath());
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& line : f.readAll().split('\n'))
                if (!line.isEmpty())
                    out << QJsonDocument::fromJson(line).object();
        return out;
    }
    // A recorded cash sale of three lines that owes its receipt.
    SaleResult sellThree() {
        SaleContext c;
        c.operatorName = "Иван";
        c.terminal = 3;
        c.vatRates = VatRates::uniform(20);
        QList<qint64> lines;
        lines << enterLine(db(), c, {10, d("3"), d("1.35"), {}, {}}).line;
        lines << enterLine(db(), c, {11, d("1.5"), d("2.35"), {}, {}}).line;
        lines << enterLine(db(), c, {12, d("1"), d("9.99"), {}, {}}).line;
        SaleRequest r;
        r.operatorName = "Иван";
        r.lines = lines;
        r.warehouse = 1;
        r.amountDue = d("17.57"); // 4.05 + 3.53 + 9.99
        r.when = QDateTime(QDate(2026, 12, 10), QTime(9, 30, 5));
        r.printsReceipt = true;
        r.fiscalDevice = "DT279013";
        return recordSale(db(), r);
    }
    FiscalAnswer print(FiscalHttpClient& client, const HttpSaleReceipt& receipt) {
        std::optional<FiscalAnswer> answer;
        printHttpSaleReceipt(client, db(), server(), receipt, [&](const FiscalAnswer& a) { answer = a; });
        if (!QTest::qWaitFor([&] { return answer.has_value(); }, 60000))
            qFatal("no answer");
        return *answer;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        port_ = freePort();
        execSql(db(), "DELETE FROM Valuti");
        execSql(db(), "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('лв.', 1, 'True')");
        for (const auto& [id, name, price, group] :
             {std::tuple{10, "Хляб", 1.35, 1}, std::tuple{11, "Сирене", 2.35, 2},
              std::tuple{12, "Вино", 9.99, 3}})
            execSql(db(),
                    "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, "
                    "Dan_Grup, "
                    "Prigotvq_Se) VALUES (?, ?, 1, ?, 'лв.', 'бр.', 0, ?, 0)",
                    {id, QString::fromUtf8(name), price, group});
    }
    void cleanup() {
        stopServer();
        fx_.reset();
    }

    // A sale of three lines: the device prints its items with their tax
    // groups, the payment equal to the total, the sale number; the device's
    // receipt is recorded with every row and shown in the sales report.
    void saleReceiptPrinted() {
        startServer();
        const SaleResult sale = sellThree();
        QCOMPARE(sale.unp, "DT279013-0000-0000001");
        FiscalHttpClient client;
        const FiscalAnswer a = print(client, httpSaleReceipt(sale.sold, d("17.57"), sale.unp, server()));
        QVERIFY2(a.ok, qPrintable(a.error));
        QCOMPARE(a.receipt.number, "0000001");
        QCOMPARE(a.receipt.amount, d("17.57"));

        const QList<QJsonObject> printed = journal();
        QCOMPARE(printed.size(), 1);
        const QJsonObject r = printed[0];
        QCOMPARE(r.value("uniqueSaleNumber").toString(), sale.unp);
        QCOMPARE(r.value("taskId").toString(), sale.unp);
        QCOMPARE(r.value("total").toDouble(), 17.57);
        const QJsonArray items = r.value("items").toArray();
        QCOMPARE(items.size(), 3); // the sold lines, last selected first
        QCOMPARE(items[0].toObject().value("text").toString(), "Вино");
        QCOMPARE(items[0].toObject().value("taxGroup").toInt(), 4);
        QCOMPARE(items[1].toObject().value("taxGroup").toInt(), 3);
        QCOMPARE(items[1].toObject().value("amount").toDouble(), 3.53);
        QCOMPARE(items[2].toObject().value("taxGroup").toInt(), 2);
        QCOMPARE(items[2].toObject().value("quantity").toDouble(), 3.0);
        QCOMPARE(r.value("payments").toArray()[0].toObject().value("amount").toDouble(), 17.57);
        QCOMPARE(r.value("payments").toArray()[0].toObject().value("paymentType").toString(), "cash");

        for (const SaleLine& line : sale.sold) {
            const std::optional<DeviceReceipt> recorded = deviceReceiptOf(db(), line.number);
            QVERIFY(recorded);
            QCOMPARE(recorded->number, "0000001");
            QCOMPARE(recorded->fiscalMemory, "02279013");
            QVERIFY(!recorded->dateTime.isEmpty());
        }
        QVERIFY(owedReceipts(db(), 3, 2).isEmpty());
        const SqlStatement s = salesReportStatement({}, 2);
        QCOMPARE(readRows(db(), s.text, s.values).rows[0].value(22).toString(), "0000001");
    }

    // "Издай фискален бон" of the sales report through the print server:
    // the chosen lines of a sale that owes its receipt, under the sale's
    // number; the same lines again are refused, and so is the sale's other
    // line (its number is on a receipt now); lines of two sales are refused.
    void reportReceiptOfChosenLines() {
        startServer();
        const SaleResult sale = sellThree();
        const SaleResult other = sellThree();
        FiscalHttpClient client;
        const QList<qint64> first{sale.sold[0].number, sale.sold[1].number};
        HttpSaleReceipt receipt;
        QCOMPARE(reportHttpReceipt(db(), first, server(), 2, receipt).status, ReportReceipt::Printed);
        QCOMPARE(receipt.rows, first);
        QCOMPARE(receipt.unp, sale.unp);
        const FiscalAnswer a = print(client, receipt);
        QVERIFY2(a.ok && a.error.isEmpty(), qPrintable(a.error));
        const QJsonObject printed = journal().value(0);
        QCOMPARE(printed.value("uniqueSaleNumber").toString(), sale.unp);
        QCOMPARE(printed.value("items").toArray().size(), 2);
        QCOMPARE(printed.value("total").toDouble(), 13.52); // 9.99 + 3.53

        HttpSaleReceipt again;
        QCOMPARE(reportHttpReceipt(db(), first, server(), 2, again).status, ReportReceipt::AlreadyPrinted);
        HttpSaleReceipt rest;
        const ReportReceipt refused = reportHttpReceipt(db(), {sale.sold[2].number}, server(), 2, rest);
        QCOMPARE(refused.status, ReportReceipt::SaleNumberUsed);
        QCOMPARE(refused.unp, sale.unp);
        QCOMPARE(journal().size(), 1);

        HttpSaleReceipt mixed;
        QCOMPARE(
            reportHttpReceipt(db(), {other.sold[0].number, sale.sold[0].number}, server(), 2, mixed).status,
            ReportReceipt::AlreadyPrinted);
        QCOMPARE(
            reportHttpReceipt(db(), {other.sold[0].number, other.sold[1].number}, server(), 2, mixed).status,
            ReportReceipt::Printed);
        execSql(db(), "UPDATE Prodajbi SET UNP = 'DT279013-0000-0000009' WHERE ID_Prodajba = ?",
                {other.sold[1].number});
        QCOMPARE(
            reportHttpReceipt(db(), {other.sold[0].number, other.sold[1].number}, server(), 2, mixed).status,
            ReportReceipt::SeveralSales);
    }

    // A line whose price loses a part of a cent: the correction item
    // brings the device's total to the amount due, which the device checks
    // against the payment.
    void correctionItem() {
        startServer();
        ReceiptLine line{"10", "Хляб", d("3"), d("0.333"), Decimal(), 1, 0, Decimal(1)};
        const QJsonObject call = saleReceiptCall({line}, d("1.00"), "DT279013-0000-0000009", server());
        FiscalHttpClient client;
        const FiscalAnswer a = client.sendAndWait(server(), "receipt", call, "DT279013-0000-0000009");
        QVERIFY2(a.ok, qPrintable(a.error));
        const QJsonArray items = journal()[0].value("items").toArray();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0].toObject().value("amount").toDouble(), 0.99);
        QCOMPARE(items[1].toObject().value("text").toString(), "КОРЕКЦИЯ");
        QCOMPARE(items[1].toObject().value("amount").toDouble(), 0.01);
    }

    // The server stopped when the sale is made: the sale is recorded and
    // owes its receipt (shown so in the report); printed again later it is
    // printed once, and a further try with the same number prints nothing.
    void serverStoppedMidSale() {
        const SaleResult sale = sellThree();
        FiscalHttpClient client;
        const FiscalAnswer failed = print(client, httpSaleReceipt(sale.sold, d("17.57"), sale.unp, server()));
        QVERIFY(!failed.ok);
        QVERIFY(!failed.reached);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi").toInt(), 3);
        const SqlStatement s = salesReportStatement({}, 2);
        QCOMPARE(readRows(db(), s.text, s.values).rows[0].value(22).toString(), "НЕОТПЕЧАТАН");
        const QList<OwedReceipt> owed = owedReceipts(db(), 3, 2);
        QCOMPARE(owed.size(), 1);
        QCOMPARE(owed[0].unp, sale.unp);

        startServer();
        const FiscalAnswer printed = print(client, httpSaleReceipt(owed[0], server()));
        QVERIFY2(printed.ok, qPrintable(printed.error));
        QVERIFY(owedReceipts(db(), 3, 2).isEmpty());
        // Another workstation that still had it in its list.
        const FiscalAnswer again = print(client, httpSaleReceipt(owed[0], server()));
        QVERIFY(again.ok);
        QCOMPARE(again.receipt.number, printed.receipt.number);
        QCOMPARE(journal().size(), 1);
        QCOMPARE(journal()[0].value("total").toDouble(), 17.57);
    }

    // The server starts while the call is being retried: the retry with
    // the same taskId prints it.
    void retriedUntilTheServerAnswers() {
        FiscalHttpClient client;
        FiscalServer s = server();
        s.retryDelayMs = 400;
        s.attempts = 10;
        std::optional<FiscalAnswer> answer;
        client.send(s, "xreport", {}, "x-1", [&](const FiscalAnswer& a) { answer = a; });
        QCOMPARE(client.pending(), 1);
        QTest::qWait(500);
        QVERIFY(!answer);
        startServer();
        QVERIFY(QTest::qWaitFor([&] { return answer.has_value(); }, 20000));
        QVERIFY2(answer->ok, qPrintable(answer->error));
        QCOMPARE(client.pending(), 0);
        QCOMPARE(journal().size(), 1);
    }

    // A slow device: the call runs past its asyncTimeout and is followed
    // with taskinfo; a send that times out is sent again under the same
    // taskId and prints once.
    void slowDevice_data() {
        QTest::addColumn<int>("asyncTimeout");
        QTest::addColumn<int>("transferTimeout");
        QTest::newRow("taskinfo") << 100 << 8000;
        QTest::newRow("timed out, sent again") << 20000 << 300;
    }
    void slowDevice() {
        QFETCH(int, asyncTimeout);
        QFETCH(int, transferTimeout);
        startServer(1200);
        FiscalServer s = server();
        s.asyncTimeoutMs = asyncTimeout;
        s.transferTimeoutMs = transferTimeout;
        FiscalHttpClient client;
        const QJsonObject call =
            saleReceiptCall({ReceiptLine{"10", "Хляб", d("2"), d("1.35"), {}, 1, 0, Decimal(1)}}, d("2.70"),
                            "DT279013-0000-0000001", s);
        const FiscalAnswer a = client.sendAndWait(s, "receipt", call, "DT279013-0000-0000001");
        QVERIFY2(a.ok, qPrintable(a.error));
        QCOMPARE(a.receipt.number, "0000001");
        QCOMPARE(journal().size(), 1);
    }

    // A line of a printed sale invalidated: its reversal names the
    // original (sale number, receipt number, time, fiscal memory), is
    // printed once and owed no more; lines never printed owe none.
    void reversalNamesTheOriginal() {
        startServer();
        const SaleResult sale = sellThree();
        FiscalHttpClient client;
        const FiscalAnswer printed =
            print(client, httpSaleReceipt(sale.sold, d("17.57"), sale.unp, server()));
        QVERIFY(printed.ok);
        const qint64 wine = sale.sold[0].number;
        InvalidationRequest request{
            {{wine, true, false}}, "върната стока", "Иван", QDateTime::currentDateTime(), 1};
        QCOMPARE(invalidateSales(db(), request).invalidated, QList<qint64>{wine});
        const QList<PendingReversal> pending = pendingReversals(db(), {wine}, 2);
        QCOMPARE(pending.size(), 1);
        QCOMPARE(pending[0].amount, d("9.99"));
        std::optional<FiscalAnswer> answer;
        printHttpReversal(client, DatabaseSource([this] { return db(); }), server(), pending[0],
                          ReversalReason::Refund, [&](const FiscalAnswer& a) { answer = a; });
        QVERIFY(QTest::qWaitFor([&] { return answer.has_value(); }, 30000));
        QVERIFY2(answer->ok, qPrintable(answer->error));
        const QJsonObject r = journal().value(1);
        QCOMPARE(r.value("kind").toString(), "reversalreceipt");
        QCOMPARE(r.value("uniqueSaleNumber").toString(), sale.unp);
        QCOMPARE(r.value("original_receiptNumber").toString(), printed.receipt.number);
        QCOMPARE(r.value("original_receiptDateTime").toString(), printed.receipt.dateTime);
        QCOMPARE(r.value("original_fiscalMemorySerialNumber").toString(), "02279013");
        QCOMPARE(r.value("original_reason").toString(), "refund");
        QCOMPARE(r.value("total").toDouble(), 9.99);
        QCOMPARE(r.value("items").toArray()[0].toObject().value("text").toString(), "Вино");
        QVERIFY(pendingReversals(db(), {wine}, 2).isEmpty());
        QCOMPARE(scalarSql(db(), "SELECT Storno_Bon FROM Invalidate_Sales WHERE ID_Prodajba = ?", {wine})
                     .toString(),
                 "http:" + answer->receipt.number);
    }

    // The reversal of a receipt printed as a command file: a file the
    // command-file print server reads as a reversal naming the original.
    void reversalCommandFile() {
        const SaleResult sale = sellThree();
        recordReceiptFile(db(), sale.sold, "/srv/Fiscal/BON7.bon");
        const qint64 bread = sale.sold[2].number;
        InvalidationRequest request{
            {{bread, false, false}}, "грешка", "Иван", QDateTime::currentDateTime(), 1};
        invalidateSales(db(), request);
        const QList<PendingReversal> pending = pendingReversals(db(), {bread}, 2);
        QCOMPARE(pending.size(), 1);
        FiscalSettings settings;
        settings.programDir = fx_->root();
        settings.receiptDir = fx_->root() + "Fiscal";
        FiscalState state;
        const QString file =
            writeReversalFile(state, db(), settings, pending[0], ReversalReason::OperatorError);
        const fiscal_printer::ParsedFile parsed =
            fiscal_printer::parseCommandFile(test::Fixture::readFile(file), fiscal_printer::Place::Receipts);
        QVERIFY2(parsed.file, parsed.error ? qPrintable(parsed.error->reason) : "");
        QCOMPARE(parsed.file->kind, fiscal_printer::CommandFile::ReversalReceipt);
        QCOMPARE(parsed.file->reversalReason, "operator-error");
        QCOMPARE(parsed.file->lines[0].text, "Сторно на бон: /srv/Fiscal/BON7.bon");
        QCOMPARE(parsed.file->lines[1].text, "УНП: " + sale.unp);
        QCOMPARE(parsed.file->lines[2].text, "Дата: 2026-12-10T09:30:05");
        QCOMPARE(parsed.file->lines[3].item.name.trimmed(), "Хляб");
        QCOMPARE(parsed.file->lines[3].item.amount(), 405);
        fiscal_printer::FiscalDevice device;
        const QStringList printed =
            device.print(*parsed.file, fiscal_printer::Place::Receipts, "BON1.bon", {});
        QVERIFY(printed.value(1).startsWith("СТОРНО ФИСКАЛЕН БОН № "));
        QVERIFY(pendingReversals(db(), {bread}, 2).isEmpty());
    }

    // Refusals come back with the device's reason; "ok" as a text is read.
    void refusalsAndAnswers() {
        startServer();
        FiscalHttpClient client;
        FiscalServer unknown = server();
        unknown.printer = "zk000001";
        const FiscalAnswer a = client.sendAndWait(unknown, "xreport", {}, {});
        QVERIFY(!a.ok);
        QVERIFY(a.reached);
        QVERIFY(a.error.contains("unknown printer"));
        QVERIFY(readAnswer(QJsonObject{{"ok", "true"}, {"receiptNumber", 17}}).ok);
        QCOMPARE(readAnswer(QJsonObject{{"ok", "true"}, {"receiptNumber", 17}}).receipt.number, "17");
        QVERIFY(!readAnswer(QJsonObject{{"ok", "false"}}).ok);
        // A sale without a number makes no call.
        std::optional<FiscalAnswer> none;
        printHttpSaleReceipt(client, db(), server(), HttpSaleReceipt{{1}, {}, {}},
                             [&](const FiscalAnswer& answer) { none = answer; });
        QVERIFY(none && !none->ok);
        QCOMPARE(journal().size(), 0);
    }
};

QTEST_GUILESS_MAIN(FiscalHttpClientTest)
#include "test_fiscal_http_client.moc"
