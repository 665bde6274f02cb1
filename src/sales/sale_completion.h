#pragma once
// Completing a sale: the operator's selected lines become rows of Prodajbi,
// the stock of the active warehouse goes down by their quantities and the
// lines leave the sale list, all in one transaction, so that a sale is
// either recorded whole or not at all. The receipt is written after the
// transaction has committed (receipt_files.h), and the sale records the
// receipt file that carried it.
//
// A sale whose lines are gone or changed since the operator saw them (sold
// or edited on another workstation by the same operator, repriced by a new
// currency rate) is not recorded: the operator sees the list again.

#include "sales/sale_lines.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <optional>

namespace torvika {

// How the customer pays, in the order of the payment dialog's items.
enum class PayKind { Cash = 0, BankTransfer = 1, Deferred = 2 };
// The caption of the kind as Prodajbi.Type_Pay keeps it.
QString payKindCaption(PayKind kind);

// An order to the supplier proposed when a sale takes an article's stock
// down to its minimum.
struct OrderProposal {
    qint64 article = 0;
    QString description;     // the sale line's description
    QString currency;        // the sale line's currency
    QString catalogueNumber; // the supplier's number of the article
    QString supplier;        // "<ID>:<name>", or "0:Няма избран доставчик"
};

// The proposals for the sale's lines, in their order: each article once,
// when its stock in the warehouse less the quantity the sale takes of it is
// not above its Min_Kol and no order line for it exists. Throws
// EDatabaseError.
QList<OrderProposal> minimumStockProposals(const QSqlDatabase& db, const QList<SaleLine>& lines,
                                           int warehouse);
// Writes the proposal as an order line of the day unless an order line for
// the article was written meanwhile (checked with Zaqvki_All locked for
// writing). Returns whether it was written. Throws EDatabaseError.
bool writeOrderProposal(const QSqlDatabase& db, const OrderProposal& proposal, const QDate& today);

struct SaleRequest {
    QString operatorName;
    QList<qint64> lines; // N_Prodajba of the selected lines, in the order selected
    PayKind pay = PayKind::Cash;
    qint64 counterparty = 0; // the sale counterparty's ID (0: none)
    int warehouse = 0;       // the active warehouse
    int consignment = 0;     // the consignment the lines belong to (0: none)
    Decimal amountDue;       // what the payment dialog asked for
    QDateTime when;          // the date and time of every row
    int decimals = 2;        // display decimals of the amounts
};

struct SaleResult {
    enum Status {
        Sold,
        Changed, // lines gone or changed: nothing recorded
    } status = Sold;
    // The sold lines, last selected first: the order of the rows and of the
    // receipt.
    QList<SaleLine> sold;
};

// Records the sale in one transaction: for each line, last selected first,
// the pending line is deleted (it must still be the operator's), its row
// is written to Prodajbi, and its quantity taken from the warehouse's
// stock. Nothing is written when a line is gone or the lines' amounts no
// longer add up to the amount due. Throws EDatabaseError (nothing written).
SaleResult recordSale(const QSqlDatabase& db, const SaleRequest& request);

// Records the receipt file that carried the sold lines (their ID_Prodajba).
// Throws EDatabaseError.
void recordReceiptFile(const QSqlDatabase& db, const QList<SaleLine>& sold, const QString& file);
// The receipt file recorded for the sold line; empty when none.
QString receiptFileOf(const QSqlDatabase& db, qint64 saleId);

} // namespace torvika
