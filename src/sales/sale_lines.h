#pragma once
// The sale under way: the pending lines (Prodajbi_Vremenni) of each
// operator, their totals and their discounts. Every operator has his own
// lines, found by his name (never by a pattern), and each line belongs to
// one open bill (Sm_N, 0 being the plain sale). Amounts are exact decimals.

#include "common/decimal.h"
#include "common/vat.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace torvika {

// Values read from the sale lines' number columns are rounded to these
// decimals so that a double read back never carries binary noise into the
// products.
inline constexpr int kQuantityScale = 6;
inline constexpr int kPriceScale = 6;
inline constexpr int kRateScale = 8;
inline constexpr int kDiscountScale = 8;

struct SaleLine {
    qint64 number = 0;  // N_Prodajba
    qint64 article = 0; // Barkod: the article number
    QString description;
    Decimal quantity;
    QString unit;
    Decimal unitPrice; // Ed_Cena, in the line's currency
    QString currency;  // Valuta
    Decimal discount;  // T_O in percent; negative: a surcharge
    QString operatorName;
    QString serialFrom; // Pored_Ot
    QString serialTo;   // Pored_Do
    int bill = 0;
    int terminal = 0;
    int taxGroup = 0;            // Dan_Grup
    int department = 0;          // Prigotvq_Se
    QString catalogueNumber;     // Nomenkl_N
    std::optional<Decimal> rate; // Valuti.Kurs; none when the currency has no row
    Decimal amount;              // Suma: in the base currency after the discount
    Decimal unitNet;             // Bez_DDS as stored
    Decimal lineNet;             // SUM_BezDDS as stored
};

// Who enters lines, and where.
struct SaleContext {
    QString operatorName;
    int bill = 0;
    int terminal = 1;
    qint64 counterparty = 0; // the sale counterparty chosen by the operator (0: none)
    int decimals = 2;        // display decimals
    VatRates vatRates;       // the rates of the tax groups in percent
};

// The amount of a line in the base currency: quantity × price × rate ×
// (1 − discount / 100), rounded to the display decimals.
Decimal lineAmount(const Decimal& quantity, const Decimal& unitPrice, const Decimal& rate,
                   const Decimal& discount, int decimals);

// The operator's lines of the bill whose currency is known (the sale as the
// grid shows it), in line order.
QList<SaleLine> billLines(const QSqlDatabase& db, const QString& operatorName, int bill, int decimals);
// Every line of the operator: all bills, also lines in an unknown currency.
QList<SaleLine> allOperatorLines(const QSqlDatabase& db, const QString& operatorName, int decimals);

// The totals of the bill shown.
struct SaleTotals {
    QList<SaleLine> lines;
    Decimal total; // the sum of the lines' amounts, base currency
    VatTotals vat; // the lines split at the rates of their tax groups
};

// Reads the operator's lines of the bill (one statement), computes each
// line's amount and net values at its tax group's rate, writes the net
// values that changed back (one transaction) and returns the lines with
// their totals.
SaleTotals recalculateSale(const QSqlDatabase& db, const SaleContext& context);

// The amounts of the sale lines with those numbers, as they are now, split
// at the rates of their tax groups: what a document printed for them
// shows. Lines that are gone, or whose currency has no rate, are left out.
VatTotals saleLinesVat(const QSqlDatabase& db, const QList<qint64>& lines, int decimals,
                       const VatRates& rates);

// A typed quantity or price: a number above 0, "1,5" and "1.5" alike.
// None for anything else ("0.0", "00", "-1", "inf", "").
std::optional<Decimal> parsePositiveAmount(const QString& text);

// What the operator enters for a line.
struct LineEntry {
    qint64 article = 0;
    Decimal quantity;
    Decimal typedPrice;
    QString serialFrom;
    QString serialTo;
};

struct EnterResult {
    enum Status {
        Added,         // a new line
        Rewritten,     // the line being edited
        Gone,          // the line being edited is no longer there
        NoArticle,     // the article is no longer in the catalogue
        IncorrectData, // no price to derive the discount from
        AboveMaximum,  // the discount exceeds the article's Max_TO
    } status = Added;
    qint64 line = 0;
    Decimal discount;
    Decimal maxDiscount; // for AboveMaximum
};

// The decimals of a line's stored unit price (Ed_Cena): the display
// decimals, but never fewer than 2, so that a price is kept to the stotinka.
int storedPriceDecimals(int displayDecimals);

// The discount that a typed price implies against the catalogue price, in
// percent, with as many decimals (from the display decimals up) as it takes
// for the typed price to come back, for one unit and for the line's
// quantity at the rate of its currency: 333.33 against 1000.00 is 66.667,
// and 1.00 against 7.00 for 100 units charges 100.00. The discount is cut
// towards the catalogue price, so that the price after it is never below
// the typed one (the receipt, which truncates it to the stotinka, shows
// the typed price).
Decimal discountFromPrice(const Decimal& cataloguePrice, const Decimal& typedPrice, const Decimal& quantity,
                          const Decimal& rate, int decimals);

// Appends a line to the operator's current bill, or rewrites the line being
// edited (only when it is still the operator's). The discount is the
// counterparty's for the article when above 0, otherwise the one implied by
// the typed price; an edit that keeps the article and the price keeps the
// line's discount. An article whose catalogue price is 0 sells at the typed
// price. A typed price must be above 0 (IncorrectData otherwise). Nothing
// is written when the result is not Added or Rewritten.
EnterResult enterLine(const QSqlDatabase& db, const SaleContext& context, const LineEntry& entry,
                      std::optional<qint64> editing = std::nullopt);

// An element of a recipe sold with its main article (the recipe's
// elements go into the sale as lines of their own at price 0, so that the
// sale takes them out of stock).
struct ElementLine {
    qint64 article = 0;
    Decimal quantity;
    QString serialFrom; // its serial number, when it carries one
    QString serialTo;   // its warranty text
};
// Appends the elements as lines of the operator's current bill at price 0
// without discount, in one transaction; elements no longer in the
// catalogue are left out. Returns the lines' numbers.
QList<qint64> addElementLines(const QSqlDatabase& db, const SaleContext& context,
                              const QList<ElementLine>& elements);

// Deletes the operator's lines with those numbers, and the documents
// registered for them from the page (1 shop, 2 service), in one transaction.
// Returns how many lines were deleted.
int cancelLines(const QSqlDatabase& db, const QString& operatorName, const QList<qint64>& lines, int page);

// The free discount: every line of the operator's current bill whose article
// is among the given ones gets the percentage (4 decimals). Throws
// EConvertError above 100 %.
void applyFreeDiscount(const QSqlDatabase& db, const SaleContext& context, const QList<qint64>& articles,
                       const Decimal& percent);
// (old − new) × 100 / old to 4 decimals; none when old is 0.
std::optional<Decimal> discountBetweenPrices(const Decimal& oldPrice, const Decimal& newPrice);

} // namespace torvika
