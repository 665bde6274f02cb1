#pragma once
// The one-time change of a company's books from the lev to the euro: every
// lev price (articles' selling and delivery prices, the suppliers' price
// lists, the special discounts' thresholds, the open credits and what was
// paid on them, the amounts in the price groups' formulas) becomes euro at the fixed rate 1.95583, divided
// exactly and rounded half up to the cent once; the euro becomes the base currency at rate 1 and every other
// currency's rate is restated against it. All of it is one transaction, and each value changed is recorded
// (Euro_Prehod, Euro_Prehod_Danni) with what it was, so that the change can be undone, every value restored
// exactly, until the first sale after it.
//
// Neither runs while a sale is being entered on any workstation (a line in
// Prodajbi_Vremenni): its lines carry prices of the currency being left.

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace torvika {

// What a conversion changed, or why it was refused (nothing was written).
struct EuroConversionResult {
    QString refusal;
    qint64 id = 0; // Euro_Prehod.ID
    qint64 articles = 0;
    qint64 priceListRows = 0;
    qint64 discounts = 0;
    qint64 credits = 0;
    qint64 formulas = 0;      // price groups' formulas restated
    QStringList formulasLeft; // price groups whose formula the operator must restate
    bool done() const { return refusal.isEmpty(); }
};

// Converts the company's lev prices to euro and makes the euro its base
// currency. Refused when the base currency is not the lev or a sale is open.
// Throws EDatabaseError (nothing written).
EuroConversionResult convertToEuro(const QSqlDatabase& db, const QString& operatorName, const QDateTime& now);

// Undoes the last conversion: every value recorded back as it was, the lev
// the base currency again. Refused when there is none to undo, a sale has
// been made since, or a sale is open. Throws EDatabaseError.
struct EuroReversalResult {
    QString refusal;
    bool done() const { return refusal.isEmpty(); }
};
EuroReversalResult reverseEuroConversion(const QSqlDatabase& db, const QDateTime& now);

// The last conversion not undone: its number, day and time; id 0 when none.
struct EuroConversionInfo {
    qint64 id = 0;
    QDateTime when;
    bool reversible = false; // no sale since
};
// Throws EDatabaseError.
EuroConversionInfo lastEuroConversion(const QSqlDatabase& db);

// The SQL value of an amount column (a lev double) in euro cents, rounded
// half up from the exact quotient: the amount to 1e-8 as an integer, then
// integer arithmetic, the same on both engines. Public for its test against
// Decimal.
QString euroCentsSql(const QString& column);

} // namespace torvika
