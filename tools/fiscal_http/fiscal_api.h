#pragma once
// The stand-in of the HTTP fiscal print server: the answers of its API for
// one fiscal printer, without the sockets (http_server.h carries them).
//
//   GET  /printers                      the printers by id, with their data
//   GET  /printers/{id}                 one printer's data
//   GET  /printers/{id}/status          whether it answers
//   GET  /printers/taskinfo?id=…        a task's state and, when done, its result
//   POST /printers/{id}/receipt         a fiscal receipt
//   POST /printers/{id}/reversalreceipt a reversal of a printed receipt
//   POST /printers/{id}/xreport, zreport, duplicate, deposit, withdraw
//
// A printing call is checked as the device checks it (the unique sale
// number's form, the items, the payments equal to the total to the cent,
// a reversal's original receipt) and printed into the journal, one JSON
// object per line. A call with a taskId that was done already answers as it
// did and prints nothing; the tasks and the device's counters are kept in a
// state file beside the journal, so a stand-in started again still knows
// them.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <functional>
#include <variant>

namespace torvika::fiscal_http {

struct PrinterInfo {
    QString id = QStringLiteral("dt279013");
    QString serialNumber = QStringLiteral("DT279013");
    QString fiscalMemorySerialNumber = QStringLiteral("02279013");
    QString model = QStringLiteral("TORVIKA stand-in");
    int itemTextMaxLength = 22;
    int commentTextMaxLength = 42;
    QJsonObject toJson() const;
};

struct Reply {
    int status = 200;
    QJsonObject body;
};

class FiscalApi {
public:
    // The journal is appended to; its state file is "<journal>.state".
    // Throws std::runtime_error when the state file is there but unreadable.
    FiscalApi(PrinterInfo printer, QString journal);

    // The answer to a request whose body has been read.
    Reply handle(const QString& method, const QString& path, const QString& query, const QByteArray& body);

    // Printing calls: the request checked and, when sound, printed. A call
    // whose taskId was seen gives the stored answer. Printing is split from
    // the check so that the server can make it take time (--print-delay).
    struct Job {
        QString printer;
        QString kind; // "receipt", "reversalreceipt", "xreport", …
        QJsonObject request;
        QString taskId;
        int asyncTimeout = -1; // ms; -1: wait for the answer
    };
    // A printing call read from the request, or the answer refusing it
    // before anything is checked (unknown printer, malformed body).
    std::variant<Job, Reply> printingJob(const QString& path, const QString& query, const QByteArray& body);
    // Whether the task was printed already (its answer kept).
    bool hasTask(const QString& taskId) const { return tasks_.contains(taskId); }
    Reply taskAnswer(const QString& taskId) const { return Reply{200, tasks_.value(taskId)}; }
    // Checks and prints the job; keeps its answer under its taskId.
    Reply print(const Job& job);
    // A task started but not finished (asyncTimeout passed).
    void markRunning(const QString& taskId) { running_.insert(taskId); }
    QString newTaskId();

    // The clock of the printouts (tests set it).
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

private:
    Reply printers() const;
    Reply taskInfo(const QString& query) const;
    Reply check(const Job& job, QJsonObject& printed) const;
    void journal(const QJsonObject& entry);
    void saveState() const;

    PrinterInfo printer_;
    QString journal_;
    qint64 lastReceipt_ = 0;
    qint64 lastZReport_ = 0;
    qint64 taskCounter_ = 0;
    double cashInDrawer_ = 0;
    QJsonObject lastReceiptEntry_;
    QHash<QString, QJsonObject> tasks_; // taskId → the answer
    QSet<QString> running_;
    QSet<QString> usedSaleNumbers_;
};

// The amount of an item as the device computes it: quantity × unit price
// rounded to the cent, then its discount or surcharge (a percent of that
// rounded to the cent). In cents.
qint64 itemCents(double quantity, double unitPrice, const QString& modifierType, double modifierValue);
qint64 cents(double amount);

} // namespace torvika::fiscal_http
