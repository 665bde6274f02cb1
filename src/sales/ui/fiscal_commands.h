#pragma once
// The receipt commands of the shop ("Копие на последен бон", "Издай
// служебен бон", the daily reports) and what every window that prints a
// receipt shares: the settings and header of the session, and the report
// of what could not be printed.
//
// A cash sale (after its rows are committed):
//
//     const BonResult result =
//         printSaleReceipt(session.state<FiscalState>(), receiptLines(soldLines), amountDue, session.db(),
//                          fiscalSettings(session), bonHeader(session, billText));
//     reportBonResult(session, result);

#include "sales/fiscal_http.h"
#include "sales/receipt_files.h"
#include "sales/reversals.h"
#include "shell/session.h"
#include <optional>

namespace torvika {

// [Tuning] "19", "FB", "24" and "23" as Firm_Data.ini holds them now.
// Throws EInOutError when the file cannot be read.
FiscalSettings fiscalSettings(Session& session);
// The terminal of the status line, the operator logged in, and the bill.
// With the receipt's total: its dual line while both currencies are shown.
BonHeader bonHeader(Session& session, const QString& bill,
                    const std::optional<Decimal>& total = std::nullopt);
// The amount in euro and in lev while both currencies are shown today;
// empty otherwise.
QString dualAmount(Session& session, const Decimal& amount);

// Tells the operator what could not be printed ("Неуспешен печат на бон"
// for a receipt file, the department of each ticket), each also logged,
// and keeps trying the tickets that wait for their department's previous
// one until they are written.
void reportBonResult(Session& session, const BonResult& result);

// "Копие на последен бон", "Дневен отчет без нулиране" and "Дневен отчет с
// нулиране": the file of the mode (kBonCopyLast, kBonDailyReport,
// kBonDailyZeroing).
void printReportFile(Session& session, BonMode mode, const QString& bill);

// "Издай служебен бон": the selected lines of the sale list (N_Prodajba,
// in the order they were selected) as a service receipt, the last selected
// first; they stay in the sale list. With none selected only the message.
void issueServiceReceipt(Session& session, const QList<qint64>& selectedLines, const QString& bill);

// The workstation's fiscal print server over HTTP ([Fiscal] of
// Firm_Data.ini); none while its receipts go as command files.
std::optional<FiscalServer> fiscalServer(Session& session);
// The client of the run, shared by every window.
FiscalHttpClient& fiscalClient(Session& session);
// Sends the receipt of a recorded sale to the print server and returns at
// once; when the device has printed it the device's receipt is recorded
// with the sale. A receipt that failed is said ("Неуспешен печат на бон"
// and why) and offered again at once (the same taskId: printed once
// whatever happened to the first call); declined, the sale stays owing it
// and is offered at the next start.
void sendSaleReceipt(Session& session, const FiscalServer& server, const HttpSaleReceipt& receipt);
// A call of the print server without a sale ("xreport", "zreport",
// "duplicate", "deposit", "withdraw"), its failure said.
void sendFiscalCall(Session& session, const FiscalServer& server, const QString& call,
                    const QJsonObject& body = {});

// After an invalidation: the reversal receipt of the invalidated lines
// that were printed, one per original receipt, through the print server or
// as a reversal command file. One that fails is said and offered again at
// once; declined, its lines keep owing it (Invalidate_Sales.Storno_Bon
// empty).
void printReversals(Session& session, const QList<qint64>& invalidated);

// At exit: the tickets still waiting are tried once more, and the operator
// is told which departments' tickets were not printed (they are kept for
// the next start).
void finishWaitingTickets(Session& session);

// At the first login of a run (and after a change of database): the
// tickets a run before left waiting are taken up again, and each sale of
// this terminal that owes its receipt is offered: Yes prints it now, No
// leaves the sale without one, Cancel asks again at the next start. The
// reversal receipts this terminal's invalidations still owe are offered
// the same way (No: the invalidation goes without one).
void resumeFiscalWork(Session& session);

} // namespace torvika
