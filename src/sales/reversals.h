#pragma once
// Reversal receipts for invalidated sale lines whose receipt was printed:
// the goods given back are printed as a reversal of the original receipt,
// naming it (its unique sale number, its number, time and fiscal memory as
// the device gave them, or, for a receipt printed as a command file, its
// file), through the HTTP print server or as a reversal command file
// ("#S,<reason>" first, the ":" lines naming the original, then the items).
// An invalidated line owes its reversal until it is recorded
// (Invalidate_Sales.Storno_Bon), so one that could not be printed is tried
// again, and one printed is never printed twice.

#include "common/decimal.h"
#include "sales/fiscal_http.h"
#include "sales/receipt_files.h"

#include <QSqlDatabase>

namespace torvika {

// The invalidated lines of one original receipt that owe their reversal.
struct PendingReversal {
    QList<qint64> rows;       // ID_Prodajba of the lines
    QList<SaleLine> lines;    // as sold, the name, tax group and rate the article's now
    Decimal amount;           // the lines' amounts in the base currency
    OriginalReceipt original; // the original's number, time and fiscal memory (HTTP)
    QString originalFile;     // the original's command file; empty for one printed over HTTP
    QString saleDateTime;     // the sale's date and time, "yyyy-MM-ddTHH:mm:ss"
};
// The lines among the invalidated rows that were printed on a receipt and
// owe their reversal, one entry per original receipt, in the order of the
// rows' numbers. Throws EDatabaseError.
QList<PendingReversal> pendingReversals(const QSqlDatabase& db, const QList<qint64>& invalidatedRows,
                                        int decimals);

// The invalidated lines of the terminal's sales that still owe their
// reversal (one that failed, or was put off, before), in number order.
// Throws EDatabaseError.
QList<qint64> owedReversalRows(const QSqlDatabase& db, int terminal);
// What a reversal the operator chose not to print records: the lines owe it
// no more.
inline constexpr char16_t kReversalDeclined[] = u"-";
// Records the reversal of the rows as declined, unless it was printed in
// the meantime. Throws EDatabaseError.
void declineReversal(const QSqlDatabase& db, const QList<qint64>& rows);
// The reversal command file's lines: "#S,<reason>", the original
// (":Сторно на бон: <number or file>", ":УНП: …", ":Дата: …", ":ФП: …"
// where known), the items and the correction line.
QStringList reversalFileLines(const PendingReversal& reversal, ReversalReason reason);

// The reversal is printed: its receipt ("http:<number>" or the file) is
// recorded with each line. Throws EDatabaseError.
void recordReversal(const QSqlDatabase& db, const QList<qint64>& rows, const QString& receipt);

// Writes the reversal as the next receipt file of the receipt directory and
// records it; returns the file. Throws EInOutError (nothing recorded),
// EDatabaseError.
QString writeReversalFile(FiscalState& state, const QSqlDatabase& db, const FiscalSettings& settings,
                          const PendingReversal& reversal, ReversalReason reason);

// Sends the reversal to the print server (its taskId made of the original
// sale number and the first line, so a retry prints it once) and records
// it when printed.
void printHttpReversal(FiscalHttpClient& client, const DatabaseSource& db, const FiscalServer& server,
                       const PendingReversal& reversal, ReversalReason reason, FiscalHttpClient::Done done);

} // namespace torvika
