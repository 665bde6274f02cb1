#pragma once
// The command files of the fiscal print server: the receipt, report and
// copy files "BON<n>.bon" of the receipt directory and the tickets
// "ToPrepare<n>.bon" of the production departments, with the state the
// program keeps between them (the receipt being prepared, the department
// lists, the rounding loss, the file counter and the tickets waiting for
// their department's previous one).
//
// A file is written under a temporary name in its directory and renamed
// into place, so the server never reads half a file, and a file the server
// has not consumed yet is never overwritten: a receipt takes the next
// number, a ticket waits until its department's previous ticket is gone.
// The files are readable by everyone (0644) and take the directory's group
// where the program may give it, so that a print server running under
// another account reads them.
//
// Receipt numbers only rise: the next one is past every receipt file still
// in the directory and past the number the directory's counter file
// (".torvika-bon-counter", shared by every workstation writing there and
// kept across restarts) has handed out, so the path a sale records names
// that one receipt. The tickets that wait are kept in the program
// directory's "WaitingTickets" as well, so a restart after a crash writes
// them still.
//
// A cash sale prints its receipt after its rows are committed:
//
//     FiscalState& fiscal = session.state<FiscalState>();
//     const FiscalSettings settings = fiscalSettings(session); // sales/ui/fiscal_commands.h
//     const QList<ReceiptLine> lines = receiptLines(soldSaleLines);
//     … the sale's transaction …
//     const BonResult result = printSaleReceipt(fiscal, lines, amountDue, db, settings, header);
//
// and the window reports the result (a receipt that could not be written,
// a department whose ticket could not be). printSaleReceiptAgain prints the
// receipt of a recorded sale once more from the same lines.

#include "sales/receipt_lines.h"
#include "sales/sale_lines.h"

#include <QSqlDatabase>

namespace torvika {

// [Tuning] "19", "FB", "24" and "23" of Firm_Data.ini.
struct FiscalSettings {
    QString programDir;             // relative directories are taken from here; waiting tickets are kept here
    QString receiptDir;             // "19": where the receipt files go
    int saleReceipt = kNoReceipt;   // "FB": what a cash sale prints
    int deviceType = 0;             // "24": the device of the service receipt
    bool departmentTickets = false; // "23": a ticket for each department

    PrepareSettings prepare() const { return {deviceType, departmentTickets}; }
    // Whether a cash sale prints a receipt file (a service or fiscal one).
    bool saleHasReceipt() const { return saleReceipt == kServiceReceipt || saleReceipt == kFiscalReceipt; }
    // Where the tickets that wait for their department are kept.
    QString waitingTicketsDir() const;
};

// The settings from the values of Firm_Data.ini: [Tuning] "19" (the receipt
// directory), "FB", "24" (the device type's text) and "23". A receipt
// directory not set (or the Windows default "C:\Temp") is "Fiscal" in the
// program directory; a relative one is taken from the program directory;
// otherwise the text is the directory, as typed.
FiscalSettings fiscalSettingsFrom(const QString& programDir, const QString& receiptDirectory, int saleReceipt,
                                  const QString& deviceType, bool departmentTickets);
// The directory of a department's tickets: its Path as typed (a relative
// one from the program directory), or, when it has none,
// "Department<number>" in the receipt directory.
QString departmentDirectory(const FiscalSettings& settings, int department, const QString& path);

// The operator's sale lines with the given numbers (N_Prodajba), in that
// order, as the sale list shows them: a line that is gone is left out; a
// line whose currency has no rate is there without one. Throws
// EDatabaseError.
QList<SaleLine> pendingSaleLines(const QSqlDatabase& db, const QString& operatorName,
                                 const QList<qint64>& lineNumbers, int decimals);
// A sale line as a receipt prints it; none without the rate of its currency.
std::optional<ReceiptLine> receiptLine(const SaleLine& line);
// The receipt lines of the sale lines that have a rate, in order.
QList<ReceiptLine> receiptLines(const QList<SaleLine>& lines);

// The currencies of the lines that have no rate, each once.
QStringList currenciesWithoutRate(const QList<SaleLine>& lines);

// Writes the bytes as the next receipt file of the directory (created when
// missing): "BON<n>.bon" with n past the counter, past the directory's
// counter file and past every receipt file still there (waiting or being
// printed), under the directory's lock; afterwards counter and the counter
// file are past n. Returns the file's path. Throws EInOutError (nothing is
// left behind then, and the counter stays).
QString writeReceiptFile(const QString& directory, int& counter, const QByteArray& bytes);
// Writes the bytes as the file unless a file of that name is there (the
// server has not consumed it yet): false then, nothing written. Throws
// EInOutError when the directory is missing or cannot be written.
bool writeCommandFileIfAbsent(const QString& path, const QByteArray& bytes);
// How a written file is moved to its final name on a file system without
// hard links (a shared directory on CIFS): the final name is taken by an
// exclusive create, which only one writer wins, and the file is renamed
// over that placeholder. False when the name is taken, nothing moved.
// Throws EInOutError.
bool placeWithoutLinks(const QString& from, const QString& to);

// A department whose ticket could not be written, and why.
struct TicketFailure {
    int department = 0;
    QString name;  // the department's name; empty when it has no row
    QString error; // what went wrong, for the log
};

// What CREATE_BON_FILE (or the tickets of a sale) did.
struct BonResult {
    bool receiptFailed = false; // the receipt file could not be written
    QString receiptError;       // why, for the log
    QString receiptFile;        // the file written
    int ticketsWritten = 0;
    int ticketsWaiting = 0; // tickets waiting for their department's previous one
    QList<TicketFailure> ticketFailures;
    // Why waiting tickets could not be kept in the program directory (they
    // still wait, but only until the program ends); empty when they were.
    QString keepError;
};

// The receipt state of the run (one per session): what PREPARE_BON_FILE
// has prepared, the receipt-file counter and the waiting tickets.
class FiscalState {
public:
    PreparedReceipt prepared;
    // The number of the next receipt file; 1 at the start.
    int counter = 1;

    // Adds the sale line to the receipt being prepared as a receipt of the
    // kind (kNoReceipt, kServiceReceipt, kFiscalReceipt) and, with the
    // department tickets on, to its department's list. amountDue is the
    // amount due of the whole sale, the service receipt's "Общо".
    void PREPARE_BON_FILE(const ReceiptLine& line, int kind, const FiscalSettings& settings,
                          const Decimal& amountDue);

    // Writes the receipt directory's file of the mode, then the tickets of
    // the departments that have lines. The prepared receipt is used up
    // either way, so that a receipt that could not be written is never
    // printed on the next one; the rounding loss starts again at 0; and the
    // tickets are written even when the receipt file was not (the sale they
    // belong to is recorded). The modes 2 to 4 drop the prepared lines.
    BonResult CREATE_BON_FILE(BonMode mode, const QSqlDatabase& db, const FiscalSettings& settings,
                              const BonHeader& header);
    // The tickets of the departments that have lines, without a receipt
    // file (a sale that prints no receipt).
    BonResult writeDepartmentTickets(const QSqlDatabase& db, const FiscalSettings& settings,
                                     const BonHeader& header);

    // Tries again the tickets that wait for their department's previous
    // one, oldest first; returns those that failed (they are dropped, the
    // operator being told).
    QList<TicketFailure> retryWaitingTickets();
    // Takes up the tickets a run before this one left waiting in the
    // directory (once per directory), ahead of those waiting now, which are
    // younger. Returns the kept tickets that could not be read (they are
    // removed).
    QList<TicketFailure> resumeWaitingTickets(const QString& directory);
    int waitingTickets() const { return int(waiting_.size()); }
    // The departments of the waiting tickets, each once.
    QList<TicketFailure> waitingDepartments() const;

private:
    struct Ticket {
        int department;
        QString name;
        QString file;
        QByteArray bytes;
        QString kept; // its copy in the waiting tickets' directory; empty when none
    };
    void writeTickets(BonResult& result, const QSqlDatabase& db, const FiscalSettings& settings,
                      const BonHeader& header, bool withBill);
    bool waitingFor(int department) const;
    // Adds the ticket to the waiting ones, kept in the directory.
    void wait(Ticket ticket, const QString& directory, BonResult& result);
    void forget(const Ticket& ticket);

    QList<Ticket> waiting_;
    QStringList resumed_; // the directories whose kept tickets were taken up
};

// The receipt of a cash sale: its lines prepared in the order given as the
// sale's receipt kind ([Tuning] "FB"), with the correction line on a
// fiscal receipt, and written as a service receipt (FB 1), a fiscal receipt
// (FB 2), or, when the sale prints none, only as department tickets.
BonResult printSaleReceipt(FiscalState& state, const QList<ReceiptLine>& soldLines, const Decimal& amountDue,
                           const QSqlDatabase& db, const FiscalSettings& settings, const BonHeader& header);
// The receipt of a recorded sale once more (its file could not be written
// the first time): as printSaleReceipt, without the department tickets,
// which the sale has written already; nothing when the sale prints no
// receipt file.
BonResult printSaleReceiptAgain(FiscalState& state, const QList<ReceiptLine>& soldLines,
                                const Decimal& amountDue, const QSqlDatabase& db,
                                const FiscalSettings& settings, const BonHeader& header);
// "Издай служебен бон": the lines, in the order given, as a service receipt
// whose "Общо" is the amount due (the sum of their amounts in leva).
BonResult printServiceReceipt(FiscalState& state, const QList<ReceiptLine>& lines, const Decimal& amountDue,
                              const QSqlDatabase& db, const FiscalSettings& settings,
                              const BonHeader& header);

} // namespace torvika
