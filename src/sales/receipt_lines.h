#pragma once
// The lines of the command files that the fiscal print server prints: a
// sale line as a fiscal item, as a service-receipt or department-ticket
// line, the correction line for the stotinki lost by truncating unit
// prices, and the layouts of the receipt, report and ticket files by device
// type. Everything here is a pure function of its arguments, so a sale's
// receipt can be built again from its lines.

#include "common/decimal.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace torvika {

// One sale line as a receipt prints it: a row of Prodajbi_Vremenni with the
// rate of its currency.
struct ReceiptLine {
    QString article;    // Barkod, the article number
    QString name;       // Opisanie
    Decimal quantity;   // Kol
    Decimal unitPrice;  // Ed_Cena, in the line's currency
    Decimal discount;   // T_O in percent; negative is a surcharge
    int vatGroup = 0;   // Dan_Grup, 0 to 3
    int department = 0; // Prigotvq_Se, 0 when the article is not prepared
    Decimal rate = 1;   // Valuti.Kurs, leva for one unit of the line's currency
};

// Receipt kinds: what PREPARE_BON_FILE makes of a line, and what a cash
// sale prints ([Tuning] "FB").
inline constexpr int kNoReceipt = 0;
inline constexpr int kServiceReceipt = 1;
inline constexpr int kFiscalReceipt = 2;

// Modes of CREATE_BON_FILE: what the file of the receipt directory holds.
enum BonMode {
    kBonService = 0,      // service receipt
    kBonFiscal = 1,       // fiscal receipt
    kBonDailyZeroing = 2, // "#N", daily report with zeroing
    kBonDailyReport = 3,  // "#I", daily report without zeroing
    kBonCopyLast = 4,     // "#C", copy of the last receipt
};

// The device types of [Tuning] "24" and Type_Prigotvq_Se.Vid_FU, as the
// whole texts stored; the type is the number before ":".
const QStringList& deviceTypeTexts();
int deviceTypeNumber(const QString& text);
// How a device of the type takes a service receipt or a ticket.
enum class DeviceLayout {
    None,      // prints nothing
    ColonStar, // ":" text lines after a "*" line
    Colon,     // ":" text lines
    Command,   // "Y,1,…;" and "P,1,…;" text commands
};
DeviceLayout deviceLayout(int type);

// The figures of a fiscal item line: the unit price after discount,
// converted to leva at the line's rate and truncated to whole stotinki, and
// the quantity truncated to thousandths. Exact decimals: 1000.00 is 100000
// stotinki, quantity 1.001 is 1001 thousandths.
struct FiscalItemFigures {
    qint64 price = 0;    // stotinki
    qint64 quantity = 0; // thousandths
    // The item's amount as the fiscal device computes it: price ×
    // quantity, rounded half up to the stotinka.
    qint64 amount() const { return (price * quantity + 500) / 1000; }
};
FiscalItemFigures fiscalItemFigures(const ReceiptLine& line);
// A sum of money in whole stotinki, rounded half away from zero.
qint64 stotinki(const Decimal& leva);

// The text with the characters that would break a command line ("^", ";",
// CR, LF) replaced by blanks.
QString commandText(const QString& text);

// The fiscal item line "%<article>^<name>^<price>^<quantity>^<group>^" and,
// for a discounted or surcharged line, its ":отстъпка: "/":надбавка: " line;
// with the figures given, those figures instead of the line's own.
QStringList fiscalItemLines(const ReceiptLine& line);
QString fiscalItemLine(const ReceiptLine& line, const FiscalItemFigures& figures);
// The service-receipt and department-ticket line (name, quantity, " x ",
// unit price in leva at the line's rate, as the total is: 27 characters)
// and its "отстъпка: "/"надбавка: " line.
QStringList serviceItemLines(const ReceiptLine& line);
// The item line that adds the stotinki lost by truncation.
QString correctionLine(qint64 stotinki);

// The values every file's header shows.
struct BonHeader {
    QString terminal;     // the terminal number in the status line
    QString operatorName; // the operator in the status line
    QString bill;         // the text of the bill box
    QString unp = {};     // the sale's unique sale number; empty: none printed
    // The total in euro and in lev ("10.00 EUR / 19.56 лв.") while the law
    // asks for both; empty: not printed.
    QString dualTotal = {};
};

// The lines of the receipt directory's file of the mode; for a service
// receipt the layout of the device type, with total on its "Общо" line.
QStringList receiptFileLines(BonMode mode, int deviceType, const BonHeader& header,
                             const QStringList& prepared, const Decimal& total);
// The lines of a department's ticket in the layout of its device type;
// empty for a type that prints nothing. The bill line only withBill.
QStringList departmentTicketLines(int deviceType, const BonHeader& header, bool withBill,
                                  const QString& departmentName, const QStringList& departmentLines);
// The file's bytes: Windows-1251, each line ended by CR LF.
QByteArray commandFileBytes(const QStringList& lines);

// The settings PREPARE_BON_FILE follows: [Tuning] "24" and "23".
struct PrepareSettings {
    int deviceType = 0;             // of service receipts
    bool departmentTickets = false; // collect the lines of each department
};

// A fiscal item of a receipt being prepared: its sale line, its figures and
// the place of its item line among the receipt's lines.
struct PreparedItem {
    ReceiptLine line;
    FiscalItemFigures figures;
    qsizetype at = 0;
};

// A receipt being prepared: its lines, the department lists by department
// number, the amount due for the service receipt's "Общо" line, and the
// fiscal items, which the correction line balances against the amount due.
struct PreparedReceipt {
    QStringList lines;
    QMap<int, QStringList> departments;
    Decimal total;
    QList<PreparedItem> items;
};

// What PREPARE_BON_FILE makes of one sale line of the kind: a service line
// (for a device type that prints; it also takes amountDue as the total), a
// fiscal item line with its rounding loss, and, with department tickets
// on, the line for its department.
void prepareBonLine(PreparedReceipt& receipt, const ReceiptLine& line, int kind,
                    const PrepareSettings& settings, const Decimal& amountDue);
// Makes the fiscal receipt's total, as the device computes it (its items
// and the correction line), equal the amount due (to the stotinka). What
// the truncated prices lose is added by the correction line ("КОРЕКЦИЯ",
// one piece); where the items come to more than the amount due (display
// decimals other than 2 round the amount due otherwise than the device),
// the prices of the last items are lowered first, since the device takes
// no negative line.
void addCorrectionLine(PreparedReceipt& receipt, const Decimal& amountDue);
// The whole receipt of a sale: every line in the order given, and on a
// fiscal receipt the correction line after the last, so that its total is
// the amount due.
PreparedReceipt buildSaleReceipt(const QList<ReceiptLine>& lines, int kind, const PrepareSettings& settings,
                                 const Decimal& amountDue);

} // namespace torvika
