// The stand-in HTTP fiscal print server: the checks a device makes (the
// unique sale number, tax groups, payments equal to the total to the cent,
// a reversal's original receipt, unknown printers), the answers and status
// codes, a taskId answered once however often it comes, the device's
// counters and tasks kept over a restart, and the program answering on its
// port.

#include "fiscal_http/fiscal_api.h"
#include "fiscal_http/http_server.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika::fiscal_http;

namespace {

QJsonObject item(const QString& text, double quantity, double price, int group) {
    return QJsonObject{{"text", text}, {"quantity", quantity}, {"unitPrice", price}, {"taxGroup", group}};
}

QJsonObject receipt(const QString& unp, const QJsonArray& items, const QJsonArray& payments = {}) {
    QJsonObject r{{"uniqueSaleNumber", unp}, {"operator", "1"}, {"operatorPassword", "1"}, {"items", items}};
    if (!payments.isEmpty())
        r.insert("payments", payments);
    return r;
}

QJsonObject cash(double amount) {
    return QJsonObject{{"amount", amount}, {"paymentType", "cash"}};
}

QByteArray json(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QString errorCode(const Reply& r) {
    return r.body.value("messages").toArray().first().toObject().value("code").toString();
}

const QString kUnp = "DT279013-0001-0000001";

} // namespace

class FiscalHttpTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString journalPath() const { return dir_.path() + "/journal.jsonl"; }
    QList<QJsonObject> journal() const {
        QList<QJsonObject> out;
        QFile f(journalPath());
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& line : f.readAll().split('\n'))
                if (!line.isEmpty())
                    out << QJsonDocument::fromJson(line).object();
        return out;
    }

private slots:
    void init() {
        QFile::remove(journalPath());
        QFile::remove(journalPath() + ".state");
    }

    // What a device refuses and what it prints, each call alone.
    void checks_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("code");
        const QString r = "/printers/dt279013/receipt";
        const QJsonArray two{item("Хляб", 2, 1.35, 2), item("Мляко", 1, 2.2, 2)};
        QTest::newRow("receipt") << "POST" << r << json(receipt(kUnp, two, {cash(4.9)})) << 200 << true << "";
        QTest::newRow("no payments: all in cash")
            << "POST" << r << json(receipt(kUnp, two)) << 200 << true << "";
        QTest::newRow("payments split")
            << "POST" << r
            << json(receipt(kUnp, two, {cash(0.1), QJsonObject{{"amount", 4.8}, {"paymentType", "card"}}}))
            << 200 << true << "";
        QTest::newRow("payments a cent short")
            << "POST" << r << json(receipt(kUnp, two, {cash(4.89)})) << 200 << false << "E410";
        QTest::newRow("payments a cent over")
            << "POST" << r << json(receipt(kUnp, two, {cash(4.91)})) << 200 << false << "E410";
        QTest::newRow("payment type unknown")
            << "POST" << r
            << json(receipt(kUnp, two, {QJsonObject{{"amount", 4.9}, {"paymentType", "gold"}}})) << 200
            << false << "E409";
        QTest::newRow("sale number lower case")
            << "POST" << r << json(receipt("dt279013-0001-0000001", two)) << 200 << false << "E401";
        QTest::newRow("sale number six digits")
            << "POST" << r << json(receipt("DT279013-0001-000001", two)) << 200 << false << "E401";
        QTest::newRow("sale number missing")
            << "POST" << r << json(QJsonObject{{"items", two}}) << 200 << false << "E401";
        QTest::newRow("tax group 0") << "POST" << r << json(receipt(kUnp, {item("Хляб", 1, 1, 0)})) << 200
                                     << false << "E406";
        QTest::newRow("tax group 9") << "POST" << r << json(receipt(kUnp, {item("Хляб", 1, 1, 9)})) << 200
                                     << false << "E406";
        QTest::newRow("tax group 8") << "POST" << r << json(receipt(kUnp, {item("Хляб", 1, 1, 8)})) << 200
                                     << true << "";
        QTest::newRow("quantity 0") << "POST" << r << json(receipt(kUnp, {item("Хляб", 0, 1, 2)})) << 200
                                    << false << "E407";
        QTest::newRow("no items") << "POST" << r << json(receipt(kUnp, {})) << 200 << false << "E405";
        QTest::newRow("comment only")
            << "POST" << r << json(receipt(kUnp, {QJsonObject{{"type", "comment"}, {"text", "Благодарим"}}}))
            << 200 << false << "E405";
        QTest::newRow("unknown printer")
            << "POST"
            << "/printers/zk000001/receipt" << json(receipt(kUnp, two)) << 404 << false << "E404";
        QTest::newRow("not JSON") << "POST" << r << QByteArray("{\"items\": [") << 400 << false << "E400";
        QTest::newRow("unknown call") << "POST"
                                      << "/printers/dt279013/print" << QByteArray() << 404 << false << "E404";
        QTest::newRow("reversal without original")
            << "POST"
            << "/printers/dt279013/reversalreceipt" << json(receipt(kUnp, two)) << 200 << false << "E403";
        QJsonObject reversal = receipt(kUnp, two);
        reversal.insert("receiptNumber", "0000007");
        reversal.insert("receiptDateTime", "2026-12-10T09:30:05");
        reversal.insert("fiscalMemorySerialNumber", "02279013");
        reversal.insert("reason", "refund");
        QTest::newRow("reversal") << "POST"
                                  << "/printers/dt279013/reversalreceipt" << json(reversal) << 200 << true
                                  << "";
        reversal.insert("reason", "changed-mind");
        QTest::newRow("reversal reason unknown")
            << "POST"
            << "/printers/dt279013/reversalreceipt" << json(reversal) << 200 << false << "E404";
        QTest::newRow("x report") << "POST"
                                  << "/printers/dt279013/xreport" << QByteArray() << 200 << true << "";
        QTest::newRow("z report") << "POST"
                                  << "/printers/dt279013/zreport" << QByteArray("{}") << 200 << true << "";
        QTest::newRow("deposit") << "POST"
                                 << "/printers/dt279013/deposit" << json({{"amount", 50}}) << 200 << true
                                 << "";
        QTest::newRow("deposit 0") << "POST"
                                   << "/printers/dt279013/deposit" << json({{"amount", 0}}) << 200 << false
                                   << "E411";
        QTest::newRow("withdraw from empty drawer")
            << "POST"
            << "/printers/dt279013/withdraw" << json({{"amount", 5}}) << 200 << false << "E412";
        QTest::newRow("duplicate of nothing")
            << "POST"
            << "/printers/dt279013/duplicate" << QByteArray() << 200 << false << "E413";
        QTest::newRow("GET of a call")
            << "GET"
            << "/printers/dt279013/receipt" << QByteArray() << 404 << false << "E404";
    }
    void checks() {
        QFETCH(QString, method);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, ok);
        QFETCH(QString, code);
        FiscalApi api(PrinterInfo(), journalPath());
        const Reply reply = api.handle(method, path, QString(), body);
        QCOMPARE(reply.status, status);
        QCOMPARE(reply.body.value("ok").toBool(), ok);
        if (!ok)
            QCOMPARE(errorCode(reply), code);
        // Printed exactly when accepted.
        QCOMPARE(journal().size(), ok ? 1 : 0);
    }

    // The amounts as a device computes them: cents of quantity × price,
    // then the modifier; floating-point noise never decides.
    void itemAmounts_data() {
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("modifier");
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("cents");
        QTest::newRow("plain") << 2.0 << 1.35 << "none" << 0.0 << qint64(270);
        QTest::newRow("half a cent up") << 1.5 << 2.35 << "none" << 0.0 << qint64(353);
        QTest::newRow("thirds") << 0.333 << 3.0 << "none" << 0.0 << qint64(100);
        QTest::newRow("discount percent") << 2.0 << 1.25 << "discount-percent" << 10.0 << qint64(225);
        QTest::newRow("surcharge percent") << 1.0 << 9.99 << "surcharge-percent" << 5.0 << qint64(1049);
        QTest::newRow("discount amount") << 1.0 << 5.0 << "discount-amount" << 0.5 << qint64(450);
        QTest::newRow("surcharge amount") << 3.0 << 0.1 << "surcharge-amount" << 0.1 << qint64(40);
    }
    void itemAmounts() {
        QFETCH(double, quantity);
        QFETCH(double, price);
        QFETCH(QString, modifier);
        QFETCH(double, value);
        QFETCH(qint64, cents);
        QCOMPARE(itemCents(quantity, price, modifier, value), cents);
    }

    // The printers and one printer's data.
    void printers() {
        FiscalApi api(PrinterInfo(), journalPath());
        const Reply all = api.handle("GET", "/printers", {}, {});
        QCOMPARE(all.status, 200);
        QCOMPARE(all.body.value("dt279013").toObject().value("serialNumber").toString(), "DT279013");
        QCOMPARE(all.body.value("dt279013").toObject().value("fiscalMemorySerialNumber").toString(),
                 "02279013");
        QVERIFY(
            all.body.value("dt279013").toObject().value("supportedPaymentTypes").toArray().contains("card"));
        QCOMPARE(api.handle("GET", "/printers/dt279013/status", {}, {}).body.value("ok").toBool(), true);
        QCOMPARE(api.handle("GET", "/printers/xx", {}, {}).status, 404);
    }

    // A taskId sent again gets the first answer and prints nothing; a
    // second receipt of one sale number under another taskId is refused;
    // the tasks, the numbers and the last receipt outlive a restart.
    void tasksAndRestart() {
        const QJsonArray items{item("Хляб", 2, 1.35, 2)};
        QJsonObject call = receipt(kUnp, items, {cash(2.7)});
        call.insert("taskId", kUnp);
        {
            FiscalApi api(PrinterInfo(), journalPath());
            const Reply first = api.handle("POST", "/printers/dt279013/receipt", {}, json(call));
            QCOMPARE(first.body.value("receiptNumber").toString(), "0000001");
            QCOMPARE(first.body.value("receiptAmount").toDouble(), 2.7);
            QCOMPARE(first.body.value("fiscalMemorySerialNumber").toString(), "02279013");
            const Reply again = api.handle("POST", "/printers/dt279013/receipt", {}, json(call));
            QCOMPARE(again.body, first.body);
            QCOMPARE(
                api.handle("GET", "/printers/taskinfo", "id=" + kUnp, {}).body.value("taskStatus").toString(),
                "finished");
            QCOMPARE(api.handle("GET", "/printers/taskinfo", "id=none", {}).status, 404);
        }
        FiscalApi restarted(PrinterInfo(), journalPath());
        QCOMPARE(restarted.handle("POST", "/printers/dt279013/receipt", {}, json(call))
                     .body.value("receiptNumber"),
                 "0000001");
        call.insert("taskId", "other");
        QCOMPARE(errorCode(restarted.handle("POST", "/printers/dt279013/receipt", {}, json(call))), "E402");
        const Reply duplicate = restarted.handle("POST", "/printers/dt279013/duplicate", {}, {});
        QVERIFY(duplicate.body.value("ok").toBool());
        call = receipt("DT279013-0001-0000002", items, {cash(2.7)});
        QCOMPARE(restarted.handle("POST", "/printers/dt279013/receipt", {}, json(call))
                     .body.value("receiptNumber"),
                 "0000002");
        // The cash of two receipts is in the drawer: 5.40 can go out, no more.
        QCOMPARE(
            errorCode(restarted.handle("POST", "/printers/dt279013/withdraw", {}, json({{"amount", 5.41}}))),
            "E412");
        QVERIFY(restarted.handle("POST", "/printers/dt279013/withdraw", {}, json({{"amount", 5.4}}))
                    .body.value("ok")
                    .toBool());

        const QList<QJsonObject> printed = journal();
        QCOMPARE(printed.size(), 4);
        QCOMPARE(printed[0].value("kind").toString(), "receipt");
        QCOMPARE(printed[0].value("uniqueSaleNumber").toString(), kUnp);
        QCOMPARE(printed[0].value("items").toArray()[0].toObject().value("taxGroup").toInt(), 2);
        QCOMPARE(printed[0].value("payments").toArray()[0].toObject().value("amount").toDouble(), 2.7);
        QCOMPARE(printed[1].value("kind").toString(), "duplicate");
        QCOMPARE(printed[1].value("original").toString(), "0000001");
        QCOMPARE(printed[3].value("kind").toString(), "withdraw");
    }

    // A server closed while a till is still connected closes the
    // connection and stops cleanly.
    void closedWithAConnectionOpen() {
        QTemporaryDir dir;
        FiscalApi api(PrinterInfo(), dir.filePath("journal.jsonl"));
        QTcpSocket till;
        {
            HttpServer server(api);
            QVERIFY(server.listen(QHostAddress::LocalHost, 0));
            till.connectToHost(QHostAddress::LocalHost, server.port());
            QVERIFY(till.waitForConnected(5000));
            till.write("GET /printers HTTP/1.1\r\nHost: x\r\n\r\n");
            QVERIFY(QTest::qWaitFor([&] { return till.bytesAvailable() > 0 || till.waitForReadyRead(10); },
                                    5000));
        }
        QVERIFY(QTest::qWaitFor([&] { return till.state() == QAbstractSocket::UnconnectedState; }, 5000));
    }

    // The program: answers on the port it names, --help and --version.
    void program() {
        QProcess p;
        p.start(TORVIKA_FISCAL_HTTP, {"--port", "0", "--journal", journalPath()});
        QVERIFY(p.waitForReadyRead(10000));
        const QString first = QString::fromUtf8(p.readLine());
        const QRegularExpressionMatch m = QRegularExpression(":(\\d+),").match(first);
        QVERIFY2(m.hasMatch(), qPrintable(first));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(m.captured(1).toUInt()));
        QVERIFY(socket.waitForConnected(5000));
        const QByteArray body = json(receipt(kUnp, {item("Хляб", 1, 1.5, 2)}, {cash(1.5)}));
        // Two requests on one connection, the second's body in two parts.
        socket.write("POST /printers/dt279013/receipt HTTP/1.1\r\nHost: x\r\nContent-Length: " +
                     QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket.write("GET /printers HTTP/1.1\r\nHost: x\r\n\r\n");
        QByteArray answers;
        QVERIFY(QTest::qWaitFor(
            [&] {
                socket.waitForReadyRead(100);
                answers += socket.readAll();
                return answers.count("HTTP/1.1 200 OK") == 2 && answers.endsWith("}}");
            },
            10000));
        QVERIFY(answers.contains("\"receiptNumber\":\"0000001\""));
        QVERIFY(answers.contains("\"serialNumber\":\"DT279013\""));
        p.kill();
        p.waitForFinished();
        QCOMPARE(journal().size(), 1);

        QProcess help;
        help.start(TORVIKA_FISCAL_HTTP, {"--help"});
        QVERIFY(help.waitForFinished(10000));
        QVERIFY(help.readAllStandardOutput().contains("--print-delay"));
        help.start(TORVIKA_FISCAL_HTTP, {"--version"});
        QVERIFY(help.waitForFinished(10000));
        QVERIFY(help.readAllStandardOutput().startsWith("torvika-fiscal-http "));
    }
};

QTEST_GUILESS_MAIN(FiscalHttpTest)
#include "test_fiscal_http.moc"
