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
//
// A cash sale that prints a receipt owes it until the receipt's file is
// recorded (Prodajbi_Bon, its Bon_File empty meanwhile): a sale left owing
// one (the program ended between the sale and its file, or the operator
// stopped retrying) is offered at the next start, and its receipt is
// written from the stored sale, once.

#include "sales/consignment.h"
#include "sales/receipt_files.h"
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
    // A deferred payment: the credit recorded with the sale, in its
    // transaction, and its first instalment (the lines then belong to it).
    std::optional<CreditTerms> credit;
    Decimal amountDue;          // what the payment dialog asked for
    QDateTime when;             // the date and time of every row
    int decimals = 2;           // display decimals of the amounts
    bool printsReceipt = false; // a cash sale whose receipt file is to be written: it owes one till then
    // The individual number of the workstation's fiscal device: the sale
    // takes its unique sale number from that device's sequence. Empty: the
    // workstation has no device set, and the sale carries no number.
    QString fiscalDevice;
};

struct SaleResult {
    enum Status {
        Sold,
        Changed, // lines gone or changed: nothing recorded
        NoRate,  // lines in a currency without a rate: nothing recorded
    } status = Sold;
    // The sold lines, last selected first: the order of the rows and of the
    // receipt.
    QList<SaleLine> sold;
    QStringList currencies; // NoRate: the currencies without a rate
    CreditRecord credit;    // the credit recorded with the sale
    QString unp;            // the unique sale number every row carries; empty without a device
};

// Records the sale in one transaction: the lines are locked in the order of
// their numbers (two sessions selecting the same lines in other orders
// wait for each other, never deadlock); for each line, last selected
// first, the pending line is deleted (it must still be the operator's), its
// row is written to Prodajbi, and its quantity taken from the warehouse's
// stock; a sale that prints a receipt notes that it owes one. A sale on
// credit first records the credit and its first instalment (the lines'
// amounts being its purchase sum). Nothing is written when a line is gone,
// its currency has no rate, or the lines' amounts no longer add up to the
// amount due. With a fiscal device the sale's unique sale number is taken
// from the device's sequence in the same transaction (unp.h), so a sale
// rolled back takes none. Throws EConvertError for credit terms that cannot
// be taken or a device number that is not one,
// EDatabaseError (nothing written either way).
SaleResult recordSale(const QSqlDatabase& db, const SaleRequest& request);

// Records the receipt file that carried the sold lines (their ID_Prodajba).
// Throws EDatabaseError.
void recordReceiptFile(const QSqlDatabase& db, const QList<SaleLine>& sold, const QString& file);
// The receipt file recorded for the sold line; empty when none (also while
// the receipt is owed).
QString receiptFileOf(const QSqlDatabase& db, qint64 saleId);

// A recorded cash sale that owes its receipt.
struct OwedReceipt {
    QString operatorName;
    QString unp;  // the sale's unique sale number; empty when it has none
    QString date; // D_Prodajba
    QString time; // T_Prodajba
    int terminal = 0;
    // As sold, in the order of their numbers; the name, tax group and
    // department are the article's now, the rate its currency's now.
    QList<SaleLine> lines;
    Decimal amountDue; // the lines' amounts in the base currency
};
// The sales of the terminal that owe their receipt, oldest first (the rows
// of one sale share operator, date and time). Throws EDatabaseError.
QList<OwedReceipt> owedReceipts(const QSqlDatabase& db, int terminal, int decimals);
// Writes the owed receipt, once: its rows are locked and must still owe it,
// and its file is recorded in the same transaction. Nothing (nullopt) when
// it is owed no more (printed or given up on another workstation). A file
// that cannot be written leaves the receipt owed (receiptFailed). Throws
// EDatabaseError, EConvertError for a line whose currency has no rate.
std::optional<BonResult> printOwedReceipt(FiscalState& state, const QSqlDatabase& db,
                                          const OwedReceipt& receipt, const FiscalSettings& settings);
// The sale prints no receipt after all: it owes none any more.
void dropOwedReceipt(const QSqlDatabase& db, const OwedReceipt& receipt);

} // namespace torvika
