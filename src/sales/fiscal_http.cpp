#include "sales/fiscal_http.h"

#include "common/errors.h"
#include "common/sql.h"
#include "sales/receipt_files.h"
#include "sales/texts.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrlQuery>
#include <QUuid>
#include <memory>
#include <optional>

namespace torvika {

namespace {

const QString kHttpPrefix = QStringLiteral("http:");

double cents(qint64 value) {
    return double(value) / 100.0;
}

// The device's items of the lines, and the correction item.
QJsonArray deviceItems(const QList<ReceiptLine>& lines, const Decimal& amountDue) {
    PreparedReceipt receipt;
    for (const ReceiptLine& line : lines)
        receipt.items << PreparedItem{line, fiscalItemFigures(line), 0};
    qint64 total = 0;
    const qint64 due = stotinki(amountDue);
    // As on the command file: the last prices are lowered where the items
    // come to more than the amount due, a correction item adds what the
    // truncated prices lost.
    for (const PreparedItem& item : receipt.items)
        total += item.figures.amount();
    for (qsizetype i = receipt.items.size() - 1; i >= 0 && total > due; --i) {
        FiscalItemFigures& f = receipt.items[i].figures;
        while (total > due && f.price > 0) {
            const qint64 before = f.amount();
            const qint64 step = std::max<qint64>(1, ((total - due) * 1000) / std::max<qint64>(1, f.quantity));
            f.price = std::max<qint64>(0, f.price - step);
            total += f.amount() - before;
        }
    }
    QJsonArray items;
    for (const PreparedItem& item : receipt.items)
        items << QJsonObject{{QStringLiteral("text"), commandText(item.line.name).trimmed()},
                             {QStringLiteral("quantity"), double(item.figures.quantity) / 1000.0},
                             {QStringLiteral("unitPrice"), cents(item.figures.price)},
                             {QStringLiteral("taxGroup"), item.line.vatGroup + 1},
                             {QStringLiteral("priceModifierType"), QStringLiteral("none")}};
    if (due > total)
        items << QJsonObject{{QStringLiteral("text"), QStringLiteral("КОРЕКЦИЯ")},
                             {QStringLiteral("quantity"), 1},
                             {QStringLiteral("unitPrice"), cents(due - total)},
                             {QStringLiteral("taxGroup"), 2},
                             {QStringLiteral("priceModifierType"), QStringLiteral("none")}};
    return items;
}

QJsonObject receiptCall(const QList<ReceiptLine>& lines, const Decimal& amount, const QString& unp,
                        const FiscalServer& server, const QString& paymentType) {
    return QJsonObject{{QStringLiteral("uniqueSaleNumber"), unp},
                       {QStringLiteral("operator"), server.operatorId},
                       {QStringLiteral("operatorPassword"), server.operatorPassword},
                       {QStringLiteral("items"), deviceItems(lines, amount)},
                       {QStringLiteral("payments"),
                        QJsonArray{QJsonObject{{QStringLiteral("amount"), cents(stotinki(amount))},
                                               {QStringLiteral("paymentType"), paymentType}}}}};
}

} // namespace

QJsonObject saleReceiptCall(const QList<ReceiptLine>& lines, const Decimal& amountDue, const QString& unp,
                            const FiscalServer& server, const QString& paymentType) {
    return receiptCall(lines, amountDue, unp, server, paymentType);
}

QString reversalReasonText(ReversalReason reason) {
    switch (reason) {
    case ReversalReason::OperatorError:
        return QStringLiteral("operator-error");
    case ReversalReason::Refund:
        return QStringLiteral("refund");
    case ReversalReason::TaxBaseReduction:
        return QStringLiteral("tax-base-reduction");
    }
    return {};
}

QJsonObject reversalReceiptCall(const QList<ReceiptLine>& lines, const Decimal& amount,
                                const OriginalReceipt& original, ReversalReason reason,
                                const FiscalServer& server) {
    QJsonObject call = receiptCall(lines, amount, original.unp, server, QStringLiteral("cash"));
    call.insert(QStringLiteral("receiptNumber"), original.receipt.number);
    call.insert(QStringLiteral("receiptDateTime"), original.receipt.dateTime);
    call.insert(QStringLiteral("fiscalMemorySerialNumber"), original.receipt.fiscalMemory);
    call.insert(QStringLiteral("reason"), reversalReasonText(reason));
    return call;
}

FiscalAnswer readAnswer(const QJsonObject& body) {
    FiscalAnswer a;
    a.reached = true;
    a.body = body;
    const QJsonValue ok = body.value(QStringLiteral("ok"));
    a.ok =
        ok.isBool() ? ok.toBool() : ok.toString().compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
    QStringList texts;
    for (const QJsonValue& m : body.value(QStringLiteral("messages")).toArray()) {
        const QJsonObject o = m.toObject();
        if (o.value(QStringLiteral("type")).toString() == u"error")
            texts << (o.value(QStringLiteral("code")).toString() + u' ' +
                      o.value(QStringLiteral("text")).toString())
                         .trimmed();
    }
    a.error = texts.join(QStringLiteral("; "));
    const QJsonValue number = body.value(QStringLiteral("receiptNumber"));
    a.receipt.number = number.isDouble() ? QString::number(number.toInteger()) : number.toString();
    a.receipt.dateTime = body.value(QStringLiteral("receiptDateTime")).toString();
    a.receipt.fiscalMemory = body.value(QStringLiteral("fiscalMemorySerialNumber")).toString();
    a.receipt.amount = Decimal::fromVariant(body.value(QStringLiteral("receiptAmount")).toVariant())
                           .value_or(Decimal())
                           .rounded(2);
    if (!a.ok && a.error.isEmpty())
        a.error = QStringLiteral("the server refused the call");
    return a;
}

struct FiscalHttpClient::Call {
    FiscalServer server;
    QString name;
    QJsonObject body;
    QString taskId;
    Done done;
    int attempts = 0;
    QDeadlineTimer taskDeadline;
};

FiscalHttpClient::FiscalHttpClient(QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)) {}

FiscalHttpClient::~FiscalHttpClient() = default;

void FiscalHttpClient::send(const FiscalServer& server, const QString& call, QJsonObject body, QString taskId,
                            Done done) {
    if (taskId.isEmpty())
        taskId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    body.insert(QStringLiteral("taskId"), taskId);
    body.insert(QStringLiteral("asyncTimeout"), server.asyncTimeoutMs);
    auto c = std::make_shared<Call>(Call{server, call, body, taskId, std::move(done), 0, {}});
    ++pending_;
    emit pendingChanged(pending_);
    attempt(c);
}

void FiscalHttpClient::attempt(std::shared_ptr<Call> call) {
    ++call->attempts;
    QString base = call->server.address.trimmed();
    while (base.endsWith(u'/'))
        base.chop(1);
    QNetworkRequest request(
        QUrl(base + QStringLiteral("/printers/") + call->server.printer + u'/' + call->name));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setTransferTimeout(call->server.transferTimeoutMs);
    QNetworkReply* reply = network_->post(request, QJsonDocument(call->body).toJson(QJsonDocument::Compact));
    connect(reply, &QNetworkReply::finished, this, [this, reply, call] {
        reply->deleteLater();
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const QByteArray bytes = reply->readAll();
        QJsonParseError parseError;
        const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
        if (!status.isValid() || parseError.error != QJsonParseError::NoError || !doc.isObject()) {
            // No answer (refused, timed out, cut off): the same call again,
            // under the same taskId, so that it prints once however often
            // it arrives.
            if (call->attempts < call->server.attempts) {
                QTimer::singleShot(call->server.retryDelayMs, this, [this, call] { attempt(call); });
                return;
            }
            FiscalAnswer failed;
            failed.error = reply->error() != QNetworkReply::NoError
                               ? reply->errorString()
                               : QStringLiteral("no answer from the server");
            finish(call, failed);
            return;
        }
        const QJsonObject body = doc.object();
        if (!body.contains(QStringLiteral("ok")) && body.contains(QStringLiteral("taskId"))) {
            call->taskDeadline = QDeadlineTimer(call->server.taskWaitMs);
            follow(call);
            return;
        }
        finish(call, readAnswer(body));
    });
}

void FiscalHttpClient::follow(std::shared_ptr<Call> call) {
    QTimer::singleShot(100, this, [this, call] {
        QString base = call->server.address.trimmed();
        while (base.endsWith(u'/'))
            base.chop(1);
        QUrl url(base + QStringLiteral("/printers/taskinfo"));
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("id"), call->taskId);
        url.setQuery(query);
        QNetworkRequest request(url);
        request.setTransferTimeout(call->server.transferTimeoutMs);
        QNetworkReply* reply = network_->get(request);
        connect(reply, &QNetworkReply::finished, this, [this, reply, call] {
            reply->deleteLater();
            const QJsonObject info = QJsonDocument::fromJson(reply->readAll()).object();
            if (info.value(QStringLiteral("taskStatus")).toString() == u"finished") {
                finish(call, readAnswer(info.value(QStringLiteral("result")).toObject()));
                return;
            }
            if (call->taskDeadline.hasExpired()) {
                FiscalAnswer failed;
                failed.error = QStringLiteral("the print task %1 did not finish").arg(call->taskId);
                finish(call, failed);
                return;
            }
            follow(call);
        });
    });
}

void FiscalHttpClient::finish(std::shared_ptr<Call> call, const FiscalAnswer& answer) {
    --pending_;
    emit pendingChanged(pending_);
    if (call->done)
        call->done(answer);
}

FiscalAnswer FiscalHttpClient::sendAndWait(const FiscalServer& server, const QString& call,
                                           const QJsonObject& body, const QString& taskId) {
    QEventLoop loop;
    std::optional<FiscalAnswer> answer;
    send(server, call, body, taskId, [&](const FiscalAnswer& a) {
        answer = a;
        loop.quit();
    });
    if (!answer)
        loop.exec();
    return *answer;
}

void recordDeviceReceipt(const QSqlDatabase& db, const QList<qint64>& saleRows,
                         const DeviceReceipt& receipt) {
    Transaction t(db);
    for (qint64 row : saleRows)
        execSql(
            db,
            QStringLiteral("INSERT INTO Prodajbi_Bon (ID_Prodajba, Bon_File, Bon_Nomer, Bon_Vreme, FP_Nomer) "
                           "VALUES (?, ?, ?, ?, ?) ON CONFLICT (ID_Prodajba) DO UPDATE SET "
                           "Bon_File = excluded.Bon_File, Bon_Nomer = excluded.Bon_Nomer, "
                           "Bon_Vreme = excluded.Bon_Vreme, FP_Nomer = excluded.FP_Nomer"),
            {row, kHttpPrefix + receipt.number, receipt.number, receipt.dateTime, receipt.fiscalMemory});
    t.commit();
}

std::optional<DeviceReceipt> deviceReceiptOf(const QSqlDatabase& db, qint64 saleRow) {
    const QList<QVariantList> rows =
        readRows(
            db,
            QStringLiteral("SELECT Bon_Nomer, Bon_Vreme, FP_Nomer FROM Prodajbi_Bon WHERE ID_Prodajba = ? "
                           "AND Bon_Nomer IS NOT NULL AND Bon_Nomer <> ''"),
            {saleRow})
            .rows;
    if (rows.isEmpty())
        return std::nullopt;
    return DeviceReceipt{
        rows[0].value(0).toString(), rows[0].value(1).toString(), rows[0].value(2).toString(), {}};
}

HttpSaleReceipt httpSaleReceipt(const QList<SaleLine>& sold, const Decimal& amountDue, const QString& unp,
                                const FiscalServer& server) {
    HttpSaleReceipt r;
    for (const SaleLine& line : sold)
        r.rows << line.number;
    r.unp = unp;
    r.call = saleReceiptCall(receiptLines(sold), amountDue, unp, server);
    return r;
}

HttpSaleReceipt httpSaleReceipt(const OwedReceipt& owed, const FiscalServer& server) {
    return httpSaleReceipt(owed.lines, owed.amountDue, owed.unp, server);
}

void printHttpSaleReceipt(FiscalHttpClient& client, const QSqlDatabase& db, const FiscalServer& server,
                          const HttpSaleReceipt& receipt, FiscalHttpClient::Done done) {
    printHttpSaleReceipt(client, DatabaseSource([db] { return db; }), server, receipt, std::move(done));
}

void printHttpSaleReceipt(FiscalHttpClient& client, const DatabaseSource& db, const FiscalServer& server,
                          const HttpSaleReceipt& receipt, FiscalHttpClient::Done done) {
    if (receipt.unp.isEmpty()) {
        FiscalAnswer refused;
        refused.error = texts::kNoUniqueSaleNumber;
        done(refused);
        return;
    }
    const QList<qint64> rows = receipt.rows;
    client.send(server, QStringLiteral("receipt"), receipt.call, receipt.unp,
                [db, rows, done](const FiscalAnswer& answer) {
                    FiscalAnswer a = answer;
                    if (a.ok) {
                        try {
                            recordDeviceReceipt(db(), rows, a.receipt);
                        } catch (const Error& e) {
                            a.error = e.message();
                        }
                    }
                    done(a);
                });
}

} // namespace torvika
