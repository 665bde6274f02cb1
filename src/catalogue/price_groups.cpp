#include "catalogue/price_groups.h"

#include "catalogue/texts.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/sql.h"

#include <stdexcept>

namespace torvika {

namespace {

const QString kSelect =
    QStringLiteral("SELECT ID, Opisanie, Formula, Koeficient, Ot_Dostavna FROM Cenovi_Grupi");

QString boolText(bool b) {
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

PriceGroupWrite refused(PriceGroupWrite::Field field, const QString& why, int position = -1) {
    PriceGroupWrite w;
    w.field = field;
    w.refusal = why;
    w.position = position;
    return w;
}

// The checks of the group's own values; the name comes trimmed.
std::optional<PriceGroupWrite> checkValues(const PriceGroup& g) {
    if (g.name.isEmpty())
        return refused(PriceGroupWrite::Name, texts::kPriceGroupNameEmpty);
    if (g.name.size() > kPriceGroupNameMaxLength)
        return refused(PriceGroupWrite::Name, texts::kPriceGroupNameTooLong.arg(kPriceGroupNameMaxLength));
    if (g.formula.size() > kFormulaMaxLength)
        return refused(PriceGroupWrite::Formula, texts::kPriceGroupFormulaTooLong.arg(kFormulaMaxLength));
    if (!g.formula.isEmpty())
        if (const auto fault = formulaSyntaxFault(g.formula))
            return refused(PriceGroupWrite::Formula, fault->message, fault->position);
    if (g.factor <= 0)
        return refused(PriceGroupWrite::Factor, texts::kPriceGroupFactorInvalid);
    return std::nullopt;
}

// Whether another group (not `except`) has the name, letter case ignored.
bool nameTaken(const QSqlDatabase& db, const QString& name, qint64 except) {
    return execSql(db, QStringLiteral("SELECT 1 FROM Cenovi_Grupi WHERE UPPER(Opisanie) = ? AND ID <> ?"),
                   {name.toUpper(), except})
        .next();
}

PriceGroup trimmed(PriceGroup g) {
    g.name = g.name.trimmed();
    return g;
}

} // namespace

SqlStatement priceGroupsStatement() {
    return {kSelect + QStringLiteral("\nORDER BY ID"), {}, QStringLiteral("ID")};
}

std::optional<PriceGroup> loadPriceGroup(const QSqlDatabase& db, qint64 id) {
    QSqlQuery q = execSql(db, kSelect + QStringLiteral(" WHERE ID = ?"), {id});
    if (!q.next())
        return std::nullopt;
    return PriceGroup{q.value(1).toString(), q.value(2).toString(), fromNumberColumn(q.value(3)),
                      q.value(4).toString() == QLatin1String("True")};
}

PriceGroupWrite insertPriceGroup(const QSqlDatabase& db, const PriceGroup& group) {
    const PriceGroup g = trimmed(group);
    if (auto fault = checkValues(g))
        return *fault;
    Transaction t(db);
    const qint64 id = nextKey(db, QStringLiteral("Cenovi_Grupi"), QStringLiteral("ID"));
    if (nameTaken(db, g.name, 0))
        return refused(PriceGroupWrite::Name, texts::kPriceGroupNameTaken.arg(g.name));
    execSql(db,
            QStringLiteral("INSERT INTO Cenovi_Grupi (ID, Opisanie, Formula, Koeficient, Ot_Dostavna) "
                           "VALUES (?, ?, ?, ?, ?)"),
            {id, g.name, g.formula, numberColumnValue(g.factor), boolText(g.fromDelivery)});
    t.commit();
    PriceGroupWrite w;
    w.id = id;
    return w;
}

PriceGroupWrite updatePriceGroup(const QSqlDatabase& db, qint64 id, const PriceGroup& group) {
    const PriceGroup g = trimmed(group);
    if (auto fault = checkValues(g))
        return *fault;
    Transaction t(db);
    if (!execSql(db, QStringLiteral("SELECT 1 FROM Cenovi_Grupi WHERE ID = ?"), {id}).next())
        return refused(PriceGroupWrite::None, texts::kPriceGroupGone.arg(id));
    if (nameTaken(db, g.name, id))
        return refused(PriceGroupWrite::Name, texts::kPriceGroupNameTaken.arg(g.name));
    execSql(
        db,
        QStringLiteral("UPDATE Cenovi_Grupi SET Opisanie = ?, Formula = ?, Koeficient = ?, Ot_Dostavna = ? "
                       "WHERE ID = ?"),
        {g.name, g.formula, numberColumnValue(g.factor), boolText(g.fromDelivery), id});
    t.commit();
    PriceGroupWrite w;
    w.id = id;
    return w;
}

bool deletePriceGroup(const QSqlDatabase& db, qint64 id) {
    return execSql(db, QStringLiteral("DELETE FROM Cenovi_Grupi WHERE ID = ?"), {id}).numRowsAffected() == 1;
}

FormulaResult priceGroupPrice(const PriceGroup& group, const Decimal& P, const Decimal& D) {
    FormulaResult r;
    if (group.formula.isEmpty())
        r.value = group.fromDelivery ? D : P;
    else
        r = GETRESULT_FORMULA(group.formula, P, D);
    if (!r.value)
        return r;
    try {
        *r.value =
            (r.value->rounded(kFormulaScale) * group.factor.rounded(kFormulaScale)).rounded(kFormulaScale);
    } catch (const std::overflow_error&) {
        r.value.reset();
        r.fault = FormulaResult::Arithmetic;
        r.message = texts::kFormulaOutOfRange;
    }
    return r;
}

} // namespace torvika
