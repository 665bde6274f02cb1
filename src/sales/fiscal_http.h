#pragma once
// The second receipt output: a fiscal print server over HTTP. A sale's
// receipt (and a reversal receipt, the X and Z reports, a duplicate, cash
// in and out) is a JSON call to "<address>/printers/<printer>/<call>",
// sent asynchronously: the till goes on while the device prints.
//
// A call carries a taskId (a sale's receipt: its unique sale number), so
// that a call sent again after a timeout or a lost answer is not printed
// twice: the server answers it as it did the first time. A call still
// printing when its asyncTimeout runs out is answered {"taskId": …} and
// followed with taskinfo until it is done. The sale is recorded before its
// receipt is sent: a receipt that could not be printed leaves the sale
// owing it (Prodajbi_Bon.Bon_File empty), to be printed again, with the
// same taskId, by this or another workstation.

#include "common/decimal.h"
#include "sales/receipt_lines.h"
#include "sales/sale_completion.h"

#include <QJsonObject>
#include <QObject>
#include <QSqlDatabase>
#include <functional>

class QNetworkAccessManager;

namespace torvika {

// The workstation's print server ([Fiscal] of Firm_Data.ini).
struct FiscalServer {
    QString address; // "http://127.0.0.1:8001"
    QString printer; // the printer's id on the server
    QString operatorId = QStringLiteral("1");
    QString operatorPassword = QStringLiteral("1");
    int attempts = 3;             // sends of one call before it is given up
    int retryDelayMs = 300;       // between two sends
    int transferTimeoutMs = 8000; // one send without an answer
    int asyncTimeoutMs = 1500;    // the server answers {"taskId"} after this
    int taskWaitMs = 30000;       // how long a task is followed with taskinfo
};

// A receipt as the device printed it.
struct DeviceReceipt {
    QString number;       // receiptNumber
    QString dateTime;     // receiptDateTime, as the server gave it
    QString fiscalMemory; // fiscalMemorySerialNumber
    Decimal amount;       // receiptAmount
};

struct FiscalAnswer {
    bool ok = false;
    bool reached = false; // the server answered (false: network failure or timeout)
    QString error;        // why not ok, for the operator and the log
    DeviceReceipt receipt;
    QJsonObject body;
};

// The receipt call of a sale: its lines as the device's items (the unit
// price after discount truncated to the cent, the quantity to thousandths,
// tax group 1 to 4 from А to Г), the correction item that brings the total
// to the amount due, and one payment of the amount due.
QJsonObject saleReceiptCall(const QList<ReceiptLine>& lines, const Decimal& amountDue, const QString& unp,
                            const FiscalServer& server, const QString& paymentType = QStringLiteral("cash"));

// Why a printed receipt is reversed.
enum class ReversalReason { OperatorError, Refund, TaxBaseReduction };
QString reversalReasonText(ReversalReason reason); // "operator-error", …
// The original receipt a reversal names.
struct OriginalReceipt {
    QString unp;
    DeviceReceipt receipt;
};
// The reversal receipt of the lines of a printed receipt, paid back in cash.
QJsonObject reversalReceiptCall(const QList<ReceiptLine>& lines, const Decimal& amount,
                                const OriginalReceipt& original, ReversalReason reason,
                                const FiscalServer& server);

// Reads an answer's body: "ok" as a boolean or as the text "true", the
// receipt's figures, the messages' texts joined as the error.
FiscalAnswer readAnswer(const QJsonObject& body);

// Sends calls to the server, one QNetworkAccessManager for the run.
class FiscalHttpClient : public QObject {
    Q_OBJECT
public:
    explicit FiscalHttpClient(QObject* parent = nullptr);
    ~FiscalHttpClient() override;

    using Done = std::function<void(const FiscalAnswer&)>;
    // Sends the call ("receipt", "reversalreceipt", "xreport", "zreport",
    // "duplicate", "deposit", "withdraw") with the taskId (a new one when
    // empty), again on a network failure, and follows a task that runs past
    // its asyncTimeout; done is called once, on this object's thread.
    void send(const FiscalServer& server, const QString& call, QJsonObject body, QString taskId, Done done);
    // The same, waiting for the answer in a local event loop (tools, tests).
    FiscalAnswer sendAndWait(const FiscalServer& server, const QString& call, const QJsonObject& body,
                             const QString& taskId);
    // The calls sent and not answered yet.
    int pending() const { return pending_; }

signals:
    void pendingChanged(int pending);

private:
    struct Call;
    void attempt(std::shared_ptr<Call> call);
    void follow(std::shared_ptr<Call> call);
    void finish(std::shared_ptr<Call> call, const FiscalAnswer& answer);

    QNetworkAccessManager* network_;
    int pending_ = 0;
};

// The receipt of the sale's rows is printed: the device's receipt is
// recorded with each row ("http:<number>" as its Bon_File, the number, the
// time and the fiscal memory). Throws EDatabaseError.
void recordDeviceReceipt(const QSqlDatabase& db, const QList<qint64>& saleRows, const DeviceReceipt& receipt);
// The device's receipt recorded for the sale row; none while it is owed or
// printed as a command file.
std::optional<DeviceReceipt> deviceReceiptOf(const QSqlDatabase& db, qint64 saleRow);

// The receipt call of a recorded sale: its rows, its unique sale number
// (the call's taskId) and the call.
struct HttpSaleReceipt {
    QList<qint64> rows;
    QString unp;
    QJsonObject call;
};
HttpSaleReceipt httpSaleReceipt(const QList<SaleLine>& sold, const Decimal& amountDue, const QString& unp,
                                const FiscalServer& server);
HttpSaleReceipt httpSaleReceipt(const OwedReceipt& owed, const FiscalServer& server);
// Sends the sale's receipt with its unique sale number as the taskId and,
// once the device has printed it, records the device's receipt with the
// rows (a failure to record is the answer's error, the receipt being
// printed: sent again it is answered as printed and recorded then). A sale
// without a unique sale number is refused without a call.
// The connection the answer is recorded on is asked for when the answer
// comes (a login meanwhile opens the database anew).
using DatabaseSource = std::function<QSqlDatabase()>;
void printHttpSaleReceipt(FiscalHttpClient& client, const DatabaseSource& db, const FiscalServer& server,
                          const HttpSaleReceipt& receipt, FiscalHttpClient::Done done);
void printHttpSaleReceipt(FiscalHttpClient& client, const QSqlDatabase& db, const FiscalServer& server,
                          const HttpSaleReceipt& receipt, FiscalHttpClient::Done done);

} // namespace torvika
