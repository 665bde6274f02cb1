#pragma once
// Price groups (Cenovi_Grupi): named rules that give an article's price in
// the group from its selling price P and its delivery price D. A group's
// price is its formula's value times its factor; a group without a formula
// takes the delivery price (Ot_Dostavna "True", the tick "Продажна /
// доставна цена") or the selling price times the factor.

#include "catalogue/price_formula.h"
#include "common/sql_statement.h"

#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace torvika {

struct PriceGroup {
    QString name;              // Opisanie
    QString formula;           // Formula; empty: the base price
    Decimal factor = 1;        // Koeficient
    bool fromDelivery = false; // Ot_Dostavna: the base price is D, not P
    bool operator==(const PriceGroup&) const = default;
};

// The longest description Cenovi_Grupi keeps.
inline constexpr int kPriceGroupNameMaxLength = 100;

// The list: ID, Opisanie, Formula, Koeficient, Ot_Dostavna by number.
SqlStatement priceGroupsStatement();

// The group with that number; none when there is no such group. Throws
// EDatabaseError.
std::optional<PriceGroup> loadPriceGroup(const QSqlDatabase& db, qint64 id);

// The outcome of a write: the group's number when it was stored, otherwise
// why not and the field to correct (nothing was written).
struct PriceGroupWrite {
    enum Field { None, Name, Formula, Factor };
    qint64 id = 0;
    Field field = None;
    QString refusal;
    int position = -1; // where in the formula its fault is
    bool stored() const { return refusal.isEmpty(); }
};

// Stores a new group under MAX(ID) + 1, taken inside the transaction that
// writes it. The description must be given and unique (letter case
// ignored), the formula empty or well formed, the factor above 0. Throws
// EDatabaseError.
PriceGroupWrite insertPriceGroup(const QSqlDatabase& db, const PriceGroup& group);
// Rewrites the group with that number under the same rules; refused when
// the group no longer exists. Throws EDatabaseError.
PriceGroupWrite updatePriceGroup(const QSqlDatabase& db, qint64 id, const PriceGroup& group);
// Deletes the group; false when it was already gone. Throws EDatabaseError.
bool deletePriceGroup(const QSqlDatabase& db, qint64 id);

// The group's price for an article with these prices.
FormulaResult priceGroupPrice(const PriceGroup& group, const Decimal& P, const Decimal& D);

} // namespace torvika
