#pragma once
// The sales report "Справка продажби": the recorded sale lines (Prodajbi)
// that match the criteria the operator ticks, their totals in the base
// currency by payment state, the heading of its printout, the plan of the
// documents issued for chosen lines, and the fiscal receipt of chosen
// lines that never had one.
//
// Every recorded line is listed and counted, whatever rows it joins: a
// line without a counterparty, an instalment payment (article 0), an
// article whose group is gone. A line's amount is taken at the rate of its
// own currency (Prodajbi.Valuta) and rounded to the display decimals, as
// the sale computed it; the totals add those amounts exactly.

#include "common/decimal.h"
#include "common/sql_statement.h"
#include "common/vat.h"
#include "sales/fiscal_http.h"
#include "sales/receipt_files.h"
#include "sales/sale_lines.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QTime>
#include <optional>

namespace torvika {

// The comparisons of the report's dates, times and amounts, in the order
// of their lists: "равно", "по - малко" (up to and including), "по -
// голямо" (from and including), "между" (both ends included).
enum class Comparison { Equal = 0, AtMost = 1, AtLeast = 2, Between = 3 };
const QStringList& comparisonTexts();
QString comparisonText(Comparison comparison);

// A criterion on a value: "между" takes from and to (in either order).
template <typename T> struct Range {
    Comparison comparison = Comparison::Equal;
    T from{};
    T to{};
};

// The payment state of a line, from its Konsign_N: 0 paid at the sale (any
// payment kind), above 0 an open obligation of that consignment, below 0
// (-1) an obligation paid off.
enum class PaymentState { Paid, Open, PaidOff };
PaymentState paymentState(qint64 consignment);

// The ticked criteria; a criterion not ticked is none.
struct SalesReportCriteria {
    std::optional<qint64> counterparty; // ID_Klient (0: sales without a counterparty)
    std::optional<QList<qint64>> articles;
    std::optional<Range<QDate>> date; // D_Prodajba
    std::optional<Range<QTime>> time; // T_Prodajba
    std::optional<QString> operatorName;
    std::optional<QString> payKind; // Type_Pay, as stored ("в брой" ...)
    std::optional<qint64> warehouse;
    std::optional<Range<Decimal>> amount; // the line's amount in the base currency, as shown
    // The unique sale number, or a part of it (capitals or not).
    std::optional<QString> uniqueSaleNumber;
};

// The conditions of a report's statement, with their values.
struct SqlConditions {
    QStringList conditions;
    QVariantList values;
    // " WHERE " and the conditions joined by " AND "; empty without any.
    QString where() const;
};
// The comparison of the column (ISO dates, "HH:mm:ss" times, or a number
// expression) with the range; "между" takes the ends in either order.
void addRange(SqlConditions& c, const QString& column, const Range<QDate>& range);
void addRange(SqlConditions& c, const QString& column, const Range<QTime>& range);
void addRange(SqlConditions& c, const QString& column, const Range<Decimal>& range);
// The conditions of the criteria on the rows of P, a table with the
// columns of Prodajbi (Prodajbi itself, or Invalidate_Sales), joined with
// V (Valuti) by its currency for the amount.
SqlConditions salesConditions(const SalesReportCriteria& criteria, int decimals);
// The amount of a row of P in the base currency, before rounding, and as
// the lists show it (rounded to the decimals).
QString lineAmountExpression();
QString shownAmountExpression(int decimals);

// The article numbers of the "Артикул" criterion: the articles marked in
// the catalogue, or, with none marked, those its label names ("<ID>:<name>",
// or "<n1>;<n2>;" for several). None when the label names no number.
std::optional<QList<qint64>> reportArticles(const QList<qint64>& marked, const QString& label);

// The list: one row per line, with the columns ID_Prodajba, ID_Art,
// ID_Grupa, Ime_Grupa, Opisanie, Kol, ED_Cena, Valuta, T_O, Suma (the
// amount in the base currency; empty when the currency has no rate),
// D_Prodajba, T_Prodajba, Ime_Firma, Operator, Pored_Ot, Pored_Do,
// Type_Pay, Term_N, Opis_Sklad, Konsign_N, ID_Klient, UNP and Bon (the
// device's receipt number, or "НЕОТПЕЧАТАН" while the sale owes it), keyed by
// ID_Prodajba. Every value is bound.
SqlStatement salesReportStatement(const SalesReportCriteria& criteria, int decimals);

// The totals of the lines by payment state, each the exact sum of the
// lines' amounts; 0 when there is none.
struct SalesReportTotals {
    Decimal paid;
    Decimal open;
    Decimal paidOff;
    qint64 lines = 0;
    // The currencies of lines left out of the totals for want of a rate.
    QStringList currenciesWithoutRate;
};
// Throws EDatabaseError.
SalesReportTotals salesReportTotals(const QSqlDatabase& db, const SalesReportCriteria& criteria,
                                    int decimals);

// The three total labels: "Обща сума платено в брой лева: ", "Обща сума на
// задължения в лева : " and "Обща сума на платени задължения в лева : "
// followed by the amount ("%*.*f", width 4, the display decimals).
// currencyWord: the base currency's ("лева", "евро").
QStringList salesReportTotalTexts(const SalesReportTotals& totals, int decimals,
                                  const QString& currencyWord = QStringLiteral("лева"));

// What the printout says was searched for: the text of each ticked
// criterion's controls.
struct SalesReportHeadingCriterion {
    QString caption; // "Контрагент:", "Дата:" ...
    QString value;   // the label, the chosen item, or the "от" value
    std::optional<Comparison> comparison{};
    QString to{}; // "между": the "до" value
};
// The heading lines of the printout: an empty line, "\tСправка продажби ",
// an empty line, "\tДата:" + the date and time, "\tТЪРСЕНЕ ПО:", then one
// line per criterion: "\t  " + caption + value ("равно"), + comparison, a
// blank and value ("по - малко", "по - голямо"), or + comparison, a blank,
// value, " - " and to ("между").
QStringList salesReportHeading(const QString& title, const QDateTime& now,
                               const QList<SalesReportHeadingCriterion>& criteria);

// The operators' names (Operators.Ime), by number. Throws EDatabaseError.
QStringList reportOperatorNames(const QSqlDatabase& db);

// ---- documents for chosen lines

// The documents to issue for the chosen lines: one per counterparty, each
// with its lines in the order chosen (an invoice never names two buyers).
struct SaleDocumentPlan {
    struct Document {
        qint64 counterparty = 0;
        QList<qint64> lines;
    };
    QList<Document> documents; // in the order of their first line
    QList<qint64> payments;    // instalment payments: no goods to document
    QList<qint64> gone;        // lines no longer recorded
};
// Throws EDatabaseError.
SaleDocumentPlan planSaleDocuments(const QSqlDatabase& db, const QList<qint64>& chosen);

// Where stored sale lines are read from: the recorded sales (Prodajbi),
// or the lines invalidated since (Invalidate_Sales, the same columns).
enum class StoredLines { Recorded, Invalidated };

// The recorded lines (ID_Prodajba) as a document shows them: each line's
// amount in the base currency at its currency's rate, split at the rate of
// its article's tax group. Lines that are gone or whose currency has no
// rate are left out. Throws EDatabaseError.
VatTotals recordedSalesVat(const QSqlDatabase& db, const QList<qint64>& lines, int decimals,
                           const VatRates& rates, StoredLines from = StoredLines::Recorded);

// ---- the fiscal receipt of chosen lines

// The recorded lines (ID_Prodajba) as sale lines, in the order given: the
// article's name, tax group and department as they are now (an
// instalment payment is named "Вноска"), the rate of the line's currency
// now. Lines that are gone are left out. Throws EDatabaseError.
QList<SaleLine> recordedSaleLines(const QSqlDatabase& db, const QList<qint64>& lines, int decimals,
                                  StoredLines from = StoredLines::Recorded);

// The chosen lines that have a receipt file recorded already.
QList<qint64> linesWithReceipt(const QSqlDatabase& db, const QList<qint64>& lines);

// What "Издай фискален бон" did.
struct ReportReceipt {
    enum Status {
        Printed,
        AlreadyPrinted, // a chosen line has a receipt: nothing written
        Gone,           // a chosen line is no longer recorded: nothing written
        NoRate,         // a line's currency has no rate: nothing written
        NotWritten,     // the file could not be written (bon.receiptError)
        SeveralSales,   // over HTTP: the lines are of several sales (each its own number)
        NoSaleNumber,   // over HTTP: the sale has no unique sale number
        SaleNumberUsed, // over HTTP: another part of the sale has its receipt (unp)
    } status = Printed;
    BonResult bon;
    QString unp;            // SaleNumberUsed
    QStringList currencies; // NoRate
};
// Writes a fiscal receipt for the chosen lines, in their order, once: their
// rows are locked, must all still be recorded without a receipt file, and
// the file written is recorded for them in the same transaction (a second
// workstation printing the same lines waits, then finds them printed).
// Throws EDatabaseError.
ReportReceipt printReportReceipt(FiscalState& state, const QSqlDatabase& db, const QList<qint64>& chosen,
                                 const FiscalSettings& settings, const BonHeader& header, int decimals);
// The same for a workstation that prints through the HTTP print server:
// the checks made, the receipt call of the chosen lines (all of one sale,
// none of whose lines has a receipt yet, under its unique sale number,
// which also names the task, so that the sale sent twice prints once) in
// receipt. Nothing is
// recorded: the device's receipt is, when it has printed. Throws
// EDatabaseError.
ReportReceipt reportHttpReceipt(const QSqlDatabase& db, const QList<qint64>& chosen,
                                const FiscalServer& server, int decimals, HttpSaleReceipt& receipt);

} // namespace torvika
