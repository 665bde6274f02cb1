#pragma once
// The workshop: the items in service (Priem_Ser) with their repair states
// (Status_Remont), the repair lines of each item (Remont), the repair
// protocol, and issuing an item to its owner, which moves it and its lines
// into the archive (R_Priem, R_Remont) and charges a repair that has a
// price through a cash sale with a fiscal receipt.
//
// Every change of an item's repair lines locks the item's row first, and
// issuing starts by deleting that row: a line added while the item is
// being issued on another workstation either goes with it or is refused,
// never left behind without its item, and an item is issued once.

#include "common/decimal.h"
#include "common/sql_statement.h"
#include "sales/receipt_files.h"
#include "sales/sale_lines.h"

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QPalette>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace torvika {

// ---- Periods: the validity of a warranty ----

enum class PeriodUnit { Days, Months, UntilDate };
// The end of a period from a date: n days, n months of 30 days each (two
// months from 1 March is 30 April), or the date picked.
QDate periodEnd(const QDate& from, PeriodUnit unit, int count, const QDate& picked = {});

// ---- Repair states ----

// The colours a state may take, by position: the name the chooser shows
// and the colour of the item's row.
inline constexpr int kStateColourCount = 39;
// The default: "clWindowText".
inline constexpr int kDefaultStateColour = 38;
// The state of a newly accepted item, which must always exist.
inline constexpr int kNewItemState = 1;
const QStringList& stateColourNames();
// The colour at the position: a fixed colour, or the palette's colour for
// the system colours (an unknown position gives the window-text colour).
QColor stateColour(int position, const QPalette& palette);

struct RepairState {
    int id = 0;
    QString name;
    int colour = kDefaultStateColour;
    bool operator==(const RepairState&) const = default;
};
// Every state by number. Throws EDatabaseError.
QList<RepairState> repairStates(const QSqlDatabase& db);
// The state grid: ID, Opisanie, Color; by number.
SqlStatement repairStatesStatement();
// Adds the state under the next free number and returns it. Throws
// EConvertError for an empty name, EDatabaseError.
int insertRepairState(const QSqlDatabase& db, const QString& name, int colour);
// Renames and recolours the state. Throws EConvertError for an empty name
// or a state gone, EDatabaseError.
void updateRepairState(const QSqlDatabase& db, int id, const QString& name, int colour);
// Deletes the state unless items in service carry it or it is the state of
// new items (the message says why, nothing deleted). Throws EDatabaseError.
enum class StateDeletion { Deleted, AlreadyGone, InUse, NewItemState };
StateDeletion deleteRepairState(const QSqlDatabase& db, int id);

// ---- Items in service ----

// The item list's columns, in order; a search is by one of them.
enum class RepairColumn {
    Number,
    State,
    Article,
    Serial,
    Description,
    Model,
    Batch,
    Reason,
    IntakeDate,
    Operator,
    DocumentNumber,
    DocumentDate,
    Client,
    DueDate
};
inline constexpr int kRepairColumnCount = 14;
struct RepairColumnInfo {
    QStringView field;   // the statement's column
    QStringView caption; // the grid's title
};
const RepairColumnInfo& repairColumn(RepairColumn column);

struct RepairSearch {
    std::optional<RepairColumn> column; // none: every item
    QString text;                       // a number or a text column
    QDate date;                         // a date column
    int state = 0;                      // State
    qint64 client = 0;                  // Client
};
// The items in service: N_Prodajba, Status_Rem, Barkod, S_N, Opisanie,
// Model, Partida, Pri4ina, Data_Priem, Operator, Gar_Dok_N, Data_Gar_Dok,
// Ime_Firma, Krai_Data, then Status, ID_Kontrag and Color; by number (key
// N_Prodajba). An item whose state or client is gone is listed all the
// same. Texts are found by containment in any letter case; a number that
// is no number finds nothing.
SqlStatement itemsInServiceStatement(const RepairSearch& search);

// Whether the item's row is drawn as overdue (red and bold): its due date
// is before today and is not its intake date.
bool isOverdue(const QDate& due, const QDate& intake, const QDate& today);

// Sets the item's state. False when the item is no longer in service.
// Throws EDatabaseError.
bool setItemState(const QSqlDatabase& db, qint64 item, int state);

// ---- Repair lines ----

struct RepairLineEntry {
    QString text;     // the article's "<ID>:<name>" or the free text
    QString quantity; // as typed
    QString price;    // as typed
    QString currency;
    QDate warrantyUntil;
    QString serial; // of the installed part
    bool replacement = false;
};
// Adds the line to the item and returns its number. Throws EConvertError
// with the message to show (no text or currency, a quantity that is no
// number above 0, a price that is no number not below 0, an item issued
// meanwhile); nothing is written then. Throws EDatabaseError.
qint64 addRepairLine(const QSqlDatabase& db, qint64 item, const RepairLineEntry& entry,
                     const QString& operatorName);
// Deletes the line. False when it is gone (or its item was issued).
bool deleteRepairLine(const QSqlDatabase& db, qint64 line);

// A repair line of an item in service (Remont) or of an issued one (R_Remont).
struct RepairLine {
    qint64 id = 0; // Remont.ID; 0 in the archive
    qint64 item = 0;
    QString text;
    Decimal quantity;
    Decimal price;
    QString currency;
    QDate warrantyUntil;
    QString serial;
    bool replacement = false;
    QString operatorName;
    std::optional<Decimal> rate; // none when the currency is not in Valuti
    // Quantity × price × rate; none without a rate.
    std::optional<Decimal> amount() const;
};
enum class RepairArchive { InService, Issued };
// The item's lines by number (the archive's in the order they were moved).
QList<RepairLine> repairLines(const QSqlDatabase& db, qint64 item,
                              RepairArchive where = RepairArchive::InService);
// The grid of the item's lines: ID, Zamqna, SN, Remont, Kol, Ed_Cena,
// Valuta, Suma (in leva; empty without a rate), Garan_Remont, Oper_Remont,
// N_Priem, Kurs; key ID. In the archive ID is the position.
SqlStatement repairLinesStatement(qint64 item, RepairArchive where = RepairArchive::InService);

// The total of lines in leva, and the amounts of lines whose currency has
// no rate, by currency: they are shown beside the total, never dropped.
struct RepairTotal {
    Decimal leva;
    QList<std::pair<QString, Decimal>> withoutRate;
    // "<total>" with the decimals, followed by " + <amount> <currency>" for
    // each currency without a rate.
    QString text(int decimals) const;
};
RepairTotal repairTotal(const QList<RepairLine>& lines);

// ---- Issuing ----

struct RepairIssue {
    QString operatorName;
    int warehouse = 0; // the active warehouse: catalogue parts charged leave its stock
    int terminal = 1;
    int decimals = 2;
    QDateTime when;
    bool charge = true; // charge a repair with a price through a sale
};
struct RepairIssueResult {
    enum Status {
        Issued,
        NotInService, // issued on another workstation (or never accepted)
        NoRepairLines,
        NoRate, // a line to charge in a currency without a rate
    } status = Issued;
    qint64 item = 0;
    qint64 client = 0;
    QStringList currencies; // NoRate
    // The charge: the lines sold (empty when the repair has no price) and
    // the amount due.
    QList<SaleLine> sold;
    Decimal amountDue;
};
// Issues the item to its owner in one transaction: its row leaves the
// register (exactly one row, or nothing is done), its repair lines and the
// item move to the archive with the date, time and operator of the issue,
// and the lines with an amount above 0 are sold to the item's client as a
// cash sale that owes its receipt (a catalogue part leaves the stock of the
// warehouse; a line of free text is sold without an article). Throws
// EDatabaseError (nothing written).
RepairIssueResult issueItem(const QSqlDatabase& db, qint64 item, const RepairIssue& request);
// Writes the fiscal receipt of an issued item's charge and records it with
// the sale. A receipt that could not be written leaves the sale owing it
// (offered again at the next start).
BonResult printRepairReceipt(FiscalState& state, const QSqlDatabase& db, const FiscalSettings& settings,
                             const BonHeader& header, const RepairIssueResult& issued);

// ---- The repair protocol ----

// The data of the service company (Firm_Data of Firm_Data.ini).
struct ServiceCompany {
    QString name, mol, address, phone, eik, iban, bic, bank;
};
struct RepairProtocol {
    QDate today;
    QString clientName;
    QString description;
    QString serial;
    QString reason;
    ServiceCompany company;
    QList<RepairLine> lines;
    QString totalText; // "Обща сума на ремонта в лв : <total>"
    QString operatorName;
    int decimals = 2;
    QString footer; // the last line of printed lists
};
// The item and its client as the protocol names them. None when the item is
// no longer in service. Throws EDatabaseError.
std::optional<RepairProtocol> repairProtocolFor(const QSqlDatabase& db, qint64 item);
// The protocol's lines.
QStringList repairProtocolLines(const RepairProtocol& protocol);

} // namespace torvika
