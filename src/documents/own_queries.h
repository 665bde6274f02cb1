#pragma once
// The operator's own queries: statements typed by the operator, kept by
// name in SQLs/Own_SQL.ini, and run against the company database.
//
// A query only reads. It is one statement beginning with SELECT or WITH
// (checkedOwnQuery), and it runs on a connection of its own that cannot
// write: SQLite opened read-only with query_only, PostgreSQL inside a
// read-only transaction that is rolled back. A run has a time limit and a
// row cap, and can be cancelled while it runs; it runs on a thread of its
// own so the window stays responsive.

#include "common/decimal.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <atomic>
#include <optional>
#include <thread>

namespace torvika {

// ---- the stored queries

// Statements are stored as one value per query: a line break is kept as
// "\n" and a backslash as "\\", so a statement of several lines reads back
// whole.
QString encodeOwnQuery(const QString& statement);
QString decodeOwnQuery(const QString& value);

class OwnQueryStore {
public:
    explicit OwnQueryStore(QString path) : path_(std::move(path)) {}
    // "<number>:<name>" for each stored query, from 1 on ("Не е зададено
    // име" for a query without a name). Throws EInOutError.
    QStringList items() const;
    // The statement stored under the number; empty when there is none.
    QString statement(int number) const;
    // Stores the query as the next number and returns it. Throws EInOutError.
    int add(const QString& name, const QString& statement);

private:
    QString path_;
};

// The number of a list item "<number>:<name>"; 0 when it has none.
int ownQueryNumber(const QString& item);

// ---- running a query

// The statement as it is run: the text without a final ";". Throws
// EDocumentError (with the message to show) for an empty text, a statement
// that does not begin with SELECT or WITH, and a second statement after
// ";". Quotes and comments are respected.
QString checkedOwnQuery(const QString& text);

struct OwnQueryLimits {
    int rowCap = 10000;
    int timeoutMs = 60000;
};

struct OwnQueryResult {
    QStringList fields;
    QList<QVariantList> rows;
    bool capped = false; // the query had more rows than the cap
};

// One run of a checked statement on its own read-only connection, made from
// the company connection's parameters. Made, started and read on the
// thread of the company connection; done() is emitted there when the run
// ends, however it ends.
class OwnQueryRun : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Running, Done, Failed, Cancelled, TimedOut };

    OwnQueryRun(const QSqlDatabase& db, QString statement, OwnQueryLimits limits = {},
                QObject* parent = nullptr);
    // Cancels a run still going and waits for its thread.
    ~OwnQueryRun() override;

    void start();
    // Asks the database to stop the statement; the run then ends Cancelled.
    void cancel();
    // Waits for the end of the run (the caller's thread blocks).
    void wait();

    Outcome outcome() const { return outcome_.load(); }
    // After the end: the rows (Done), the database's text (Failed).
    const OwnQueryResult& result() const { return result_; }
    const QString& error() const { return error_; }
    // The message for an outcome other than Done.
    QString message() const;

signals:
    void done();

private:
    void work();
    void finish(Outcome outcome);

    QString driver_, database_, host_, user_, password_, options_;
    int port_ = -1;
    QSqlDatabase company_; // to cancel a PostgreSQL statement from here
    QString statement_;
    OwnQueryLimits limits_;
    std::thread thread_;
    std::atomic<Outcome> outcome_{Outcome::Running};
    std::atomic<bool> cancel_{false};
    std::atomic<qint64> backend_{0}; // the PostgreSQL server process of the run
    QDeadlineTimer deadline_;
    OwnQueryResult result_;
    QString error_;
};

// Runs the statement and waits for it. Throws EDocumentError with the
// message of a refused, failed, cancelled or timed-out query.
OwnQueryResult runOwnQuery(const QSqlDatabase& db, const QString& text, OwnQueryLimits limits = {});

// The sum of a column over the rows, and its average; nullopt for the
// average of no rows (and for a column with no number at all).
struct ColumnTotals {
    std::optional<Decimal> sum;
    std::optional<Decimal> average; // to 8 decimals
};
ColumnTotals columnTotals(const QList<QVariantList>& rows, int column);
// Whether every value of the column that is not NULL is a number (and one is).
bool isNumericColumn(const QList<QVariantList>& rows, int column);

} // namespace torvika
