#pragma once
// Orders to suppliers: the order lines of Zaqvki_All (what to order, how
// many, at which delivery price, for whom and from whom), not grouped into
// documents; each stays until it is deleted. Their list with its search,
// deleting lines, the list's print and the order document per supplier;
// and the working copy in which the order dialog collects new lines before
// they are stored together.
//
// A line keeps its article, requester and supplier as the texts shown: a
// reference text "<ID>:<name>" or free text. Its Art_ID is 0 for an article
// typed as free text.

#include "common/decimal.h"
#include "common/sql_statement.h"
#include "common/working_table.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>

namespace torvika {

struct OrderLine {
    QDate date;             // Data
    qint64 article = 0;     // Art_ID: Produkti.ID, 0 for free text
    QString supplierNumber; // Kat_N: the supplier's number of the article
    QString description;    // Opisanie: "<ID>:<description>" or free text
    Decimal quantity;       // Kol
    Decimal price;          // Dost_Cena: the expected delivery price
    QString currency;       // Valuta: a Valuti.Opisanie
    QString requester;      // Klient_Ime
    QString supplier;       // Dost_Ime
};

// The widest texts the lines keep: the supplier's number, the currency, and
// the article, requester and supplier texts.
inline constexpr int kOrderNumberWidth = 50;
inline constexpr int kOrderCurrencyWidth = 20;
inline constexpr int kOrderTextWidth = 200;

// Appends one line to the list, for any part of the program that proposes
// orders. Returns the ID the database gave it. Throws EDatabaseError.
qint64 addOrderLine(const QSqlDatabase& db, const OrderLine& line);

// A quantity or price as typed ("," or "." alike), to the 4 decimals the
// dialog shows; none when the text is no number.
std::optional<Decimal> typedOrderNumber(const QString& text);

// The supplier's number of an article (Nomenklatures): the one of the given
// supplier, or, for supplier 0, of the article's last supplier
// (Produkti.Dostav4ik). Empty when there is none.
QString supplierArticleNumber(const QSqlDatabase& db, qint64 article, qint64 supplier = 0);

// ---- The list ----

// The columns of the list in grid order.
enum class OrderColumn {
    Date,
    Article,
    SupplierNumber,
    Description,
    Quantity,
    Price,
    Currency,
    Requester,
    Supplier,
    Group
};
enum class OrderColumnKind { Date, Number, Text };
struct OrderListColumn {
    QStringView field;     // the statement's column
    QStringView caption;   // the column's title
    QStringView qualified; // the column a search or a title click names
    OrderColumnKind kind;
};
inline constexpr std::array<OrderListColumn, 10> orderListColumns{{
    {u"Data", u"Дата", u"Zaqvki_All.Data", OrderColumnKind::Date},
    {u"Art_ID", u"Арт. N", u"Zaqvki_All.Art_ID", OrderColumnKind::Number},
    {u"Kat_N", u"Кат. N", u"Zaqvki_All.Kat_N", OrderColumnKind::Text},
    {u"Opisanie", u"Описание", u"Zaqvki_All.Opisanie", OrderColumnKind::Text},
    {u"Kol", u"Кол.", u"Zaqvki_All.Kol", OrderColumnKind::Number},
    {u"Dost_Cena", u"Дост.цена", u"Zaqvki_All.Dost_Cena", OrderColumnKind::Number},
    {u"Valuta", u"Валута", u"Zaqvki_All.Valuta", OrderColumnKind::Text},
    {u"Klient_Ime", u"Заявител", u"Zaqvki_All.Klient_Ime", OrderColumnKind::Text},
    {u"Dost_Ime", u"Доставчик", u"Zaqvki_All.Dost_Ime", OrderColumnKind::Text},
    {u"Grupa", u"Група", u"Grupi.Opisanie", OrderColumnKind::Text},
}};
inline const OrderListColumn& orderListColumn(OrderColumn column) {
    return orderListColumns[size_t(column)];
}

// The comparisons in list order.
using OrderComparison = ValueComparison;
inline constexpr std::array<QStringView, 4> orderComparisonCaptions{u"равно", u"по - малко", u"по - голямо",
                                                                    u"между"};

// Every line with its article's group name (Grupa, empty for a free-text
// line and for an article without a group), by ID; the key is the line's ID.
SqlStatement orderListStatement();

// A search of the list by one column. Dates and numbers are compared
// ("по - малко" and "по - голямо" include the value itself); texts, the
// group name included, are found by containment in any letter case, the
// text taken as typed, whatever the comparison; an empty text finds every
// line. The statement lists as orderListStatement does, ordered by the
// column (then by ID).
struct OrderSearch {
    OrderColumn column = OrderColumn::Description;
    OrderComparison comparison = OrderComparison::Equal;
    QString from;   // the value of a number or text column
    QString to;     // the second number of "между"
    QDate fromDate; // the dates of the date column
    QDate toDate;
};
// Throws EConvertError when a number is no number or a date is missing.
SqlStatement orderSearchStatement(const OrderSearch& search);

// Deletes the lines in one transaction; returns how many were deleted
// (lines deleted meanwhile by another workstation are not counted).
int deleteOrderLines(const QSqlDatabase& db, const QList<qint64>& ids);

// The list printed to a file: its name in TEMP and its heading lines.
inline const QString kOrderListFile = QStringLiteral("Zaqvka");
QStringList orderListHeading(const QDateTime& now);

// ---- The order document: the lines grouped by supplier ----

struct StoredOrderLine {
    qint64 id = 0;
    OrderLine line;
    // Quantity times price, to 2 decimals.
    Decimal amount() const;
};
struct CurrencyTotal {
    QString currency;
    Decimal amount;
};
struct SupplierOrder {
    QString supplier; // Dost_Ime as the lines have it
    QList<StoredOrderLine> lines;
    QList<CurrencyTotal> totals; // in the order of their first line
};
// The lines with the IDs grouped by supplier text: the suppliers in the
// order of their first line, each supplier's lines in the order given.
// Lines no longer stored are left out. Throws EDatabaseError.
QList<SupplierOrder> supplierOrders(const QSqlDatabase& db, const QList<qint64>& ids);

// The file of the order document in TEMP. Each supplier's part is headed as
// the list's print is, with the supplier under the date, and closed by its
// totals.
inline const QString kSupplierOrderFile = QStringLiteral("Zaqvka_Dostav4ik");
QStringList supplierOrderHeading(const SupplierOrder& order, const QDateTime& now);
QStringList supplierOrderTotals(const SupplierOrder& order);

// ---- The working copy of the order dialog ----

// A temporary table of the connection (Zaqvki_TMP), which no other
// workstation sees; it lives as long as the object.
class OrderLinesCopy {
public:
    // Creates an empty copy. Each copy open at the same time has a table of
    // its own. Throws EDatabaseError.
    explicit OrderLinesCopy(const QSqlDatabase& db);
    // Drops the table; a failure is logged, never thrown.
    ~OrderLinesCopy();
    OrderLinesCopy(const OrderLinesCopy&) = delete;
    OrderLinesCopy& operator=(const OrderLinesCopy&) = delete;

    // The table, qualified as the connection's temporary table.
    const QString& table() const { return table_; }

    // Adds a working line; returns its ID in the copy.
    qint64 add(const OrderLine& line);
    // Gives the working line new values; false when there is no such line.
    bool edit(qint64 id, const OrderLine& line);
    // Takes the lines out of the copy; returns how many there were.
    int remove(const QList<qint64>& ids);
    std::optional<OrderLine> line(qint64 id) const;
    int count() const;
    // The working lines by ID for the grid: ID, Data, Art_ID, Kat_N,
    // Opisanie, Kol, Dost_Cena, Valuta, Klient_Ime, Dost_Ime.
    SqlStatement linesStatement() const;

    // Appends every working line, in copy order, to the list with the date
    // (the same for all), and empties the copy; all in one transaction.
    // Returns the IDs of the new lines. Throws EDatabaseError: nothing is
    // stored then and the copy keeps every line.
    QList<qint64> save(const QDate& date);

private:
    QSqlDatabase db_;
    WorkingTable working_;
    QString table_;
};

} // namespace torvika
