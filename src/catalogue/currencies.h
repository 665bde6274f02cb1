#pragma once
// The currencies (Valuti), kept under their names: every amount of the
// database names its currency, and totals join Valuti by that name and
// multiply by Kurs (amount in lev = amount × Kurs). So the rules:
// exactly one base currency, at rate 1; every rate above 0; names given and
// unique (a name twice would count every amount in it twice); and a name in
// use by stored amounts is neither changed nor deleted.

#include "common/decimal.h"
#include "common/sql_statement.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace torvika {

struct Currency {
    QString name;      // Opisanie
    Decimal rate = 1;  // Kurs
    bool base = false; // Osn
    bool operator==(const Currency&) const = default;
};

// The longest name Valuti keeps.
inline constexpr int kCurrencyNameMaxLength = 20;

// The grid: Opisanie, Kurs, Osn; the base currency first, then by name.
SqlStatement currenciesStatement();

// The currency of that name; none when there is none. Throws EDatabaseError.
std::optional<Currency> loadCurrency(const QSqlDatabase& db, const QString& name);

// Where amounts in the currency are stored ("артикули", "продажби", ...),
// each named once; empty when it is not in use. Throws EDatabaseError.
QStringList currencyUses(const QSqlDatabase& db, const QString& name);

// The outcome of a write: stored, or why not and the field to correct
// (nothing was written).
struct CurrencyWrite {
    enum Field { None, Name, Rate, Base };
    Field field = None;
    QString refusal;
    bool stored() const { return refusal.isEmpty(); }
};

// Adds a currency (its name trimmed). A new base currency takes the mark
// from the one before. Throws EDatabaseError.
CurrencyWrite insertCurrency(const QSqlDatabase& db, const Currency& currency);
// Rewrites the currency now named `name`. The name changes only while no
// amount is stored in it; the base mark moves only by giving it to another
// currency. Throws EDatabaseError.
CurrencyWrite updateCurrency(const QSqlDatabase& db, const QString& name, const Currency& currency);
// Deletes the currency unless it is the base currency or in use. Throws
// EDatabaseError.
CurrencyWrite deleteCurrency(const QSqlDatabase& db, const QString& name);

} // namespace torvika
