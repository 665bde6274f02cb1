#include "catalogue/currencies.h"

#include "catalogue/texts.h"
#include "common/number_column.h"
#include "common/sql.h"

namespace torvika {

namespace {

const QString kSelect = QStringLiteral("SELECT Opisanie, Kurs, Osn FROM Valuti");

// Every column that names the currency of stored amounts, and what the
// operator is told it holds.
struct CurrencyColumn {
    const char* table;
    const char* column;
    const QString& use;
};
const CurrencyColumn kCurrencyColumns[] = {
    {"Produkti", "Valuta_P", texts::kCurrencyUsedByArticles},
    {"Produkti", "Valuta_D", texts::kCurrencyUsedByArticles},
    {"Prodajbi_Vremenni", "Valuta", texts::kCurrencyUsedByPendingSales},
    {"Prodajbi", "Valuta", texts::kCurrencyUsedBySales},
    {"Invalidate_Sales", "Valuta", texts::kCurrencyUsedByInvalidatedSales},
    {"Dostavka_Art", "Valuta_D", texts::kCurrencyUsedByDeliveries},
    {"Dostavka_Art", "Valuta_P", texts::kCurrencyUsedByDeliveries},
    {"DostavkiTMP", "Valuta_D", texts::kCurrencyUsedByDeliveries},
    {"DostavkiTMP", "Valuta_P", texts::kCurrencyUsedByDeliveries},
    {"Revision_Art", "Valuta", texts::kCurrencyUsedByRevisions},
    {"Transfer_Art", "Valuta", texts::kCurrencyUsedByTransfers},
    {"Brak_Art", "Valuta", texts::kCurrencyUsedByScrap},
    {"Zaqvki_All", "Valuta", texts::kCurrencyUsedByOrders},
    {"Oferti_Klient_Art", "Valuta", texts::kCurrencyUsedByOffers},
    {"Art_CL", "Valuta", texts::kCurrencyUsedBySupplierPrices},
    {"Priem_Ser_Vremen", "Valuta", texts::kCurrencyUsedByServiceIntake},
    {"Priem_Ser", "Valuta", texts::kCurrencyUsedByServiceIntake},
    {"R_Priem", "Valuta", texts::kCurrencyUsedByServiceIntake},
    {"Remont", "Valuta", texts::kCurrencyUsedByRepairs},
    {"R_Remont", "Valuta", texts::kCurrencyUsedByRepairs},
};

QString boolText(bool b) {
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

CurrencyWrite refused(CurrencyWrite::Field field, const QString& why) {
    return {field, why};
}

// The checks of the currency's own values (its name trimmed).
std::optional<CurrencyWrite> checkValues(const Currency& c) {
    if (c.name.isEmpty())
        return refused(CurrencyWrite::Name, texts::kCurrencyNameEmpty);
    if (c.name.size() > kCurrencyNameMaxLength)
        return refused(CurrencyWrite::Name, texts::kCurrencyNameTooLong.arg(kCurrencyNameMaxLength));
    if (c.rate <= 0)
        return refused(CurrencyWrite::Rate, texts::kCurrencyRateInvalid);
    if (c.base && c.rate != 1)
        return refused(CurrencyWrite::Rate, texts::kCurrencyBaseRate);
    return std::nullopt;
}

// Whether a currency other than the one named `except` (none when empty)
// has the name, letter case ignored.
bool nameTaken(const QSqlDatabase& db, const QString& name, const QString& except) {
    if (except.isEmpty())
        return execSql(db, QStringLiteral("SELECT 1 FROM Valuti WHERE UPPER(Opisanie) = ?"), {name.toUpper()})
            .next();
    return execSql(db, QStringLiteral("SELECT 1 FROM Valuti WHERE UPPER(Opisanie) = ? AND Opisanie <> ?"),
                   {name.toUpper(), except})
        .next();
}

// The base mark stays with this currency alone.
void makeOnlyBase(const QSqlDatabase& db, const QString& name) {
    execSql(db, QStringLiteral("UPDATE Valuti SET Osn = ? WHERE Opisanie <> ?"), {boolText(false), name});
}

Currency trimmed(Currency c) {
    c.name = c.name.trimmed();
    return c;
}

} // namespace

SqlStatement currenciesStatement() {
    return {kSelect + QStringLiteral("\nORDER BY CASE WHEN Osn = 'True' THEN 0 ELSE 1 END, Opisanie"),
            {},
            QStringLiteral("Opisanie")};
}

std::optional<Currency> loadCurrency(const QSqlDatabase& db, const QString& name) {
    QSqlQuery q = execSql(db, kSelect + QStringLiteral(" WHERE Opisanie = ?"), {name});
    if (!q.next())
        return std::nullopt;
    return Currency{q.value(0).toString(), fromNumberColumn(q.value(1)),
                    q.value(2).toString() == QLatin1String("True")};
}

QStringList currencyUses(const QSqlDatabase& db, const QString& name) {
    QStringList uses;
    for (const CurrencyColumn& c : kCurrencyColumns) {
        const QString table = QString::fromLatin1(c.table);
        // A table an older company database lacks holds no amounts.
        if (uses.contains(c.use) || tableColumns(db, table).isEmpty())
            continue;
        if (execSql(db, QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(table, QLatin1String(c.column)),
                    {name})
                .next())
            uses << c.use;
    }
    return uses;
}

CurrencyWrite insertCurrency(const QSqlDatabase& db, const Currency& currency) {
    const Currency c = trimmed(currency);
    if (auto fault = checkValues(c))
        return *fault;
    Transaction t(db);
    if (nameTaken(db, c.name, QString()))
        return refused(CurrencyWrite::Name, texts::kCurrencyNameTaken.arg(c.name));
    execSql(db, QStringLiteral("INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES (?, ?, ?)"),
            {c.name, numberColumnValue(c.rate), boolText(c.base)});
    if (c.base)
        makeOnlyBase(db, c.name);
    t.commit();
    return {};
}

CurrencyWrite updateCurrency(const QSqlDatabase& db, const QString& name, const Currency& currency) {
    const Currency c = trimmed(currency);
    if (auto fault = checkValues(c))
        return *fault;
    Transaction t(db);
    const std::optional<Currency> stored = loadCurrency(db, name);
    if (!stored)
        return refused(CurrencyWrite::None, texts::kCurrencyGone.arg(name));
    if (stored->base && !c.base)
        return refused(CurrencyWrite::Base, texts::kCurrencyBaseRequired);
    if (c.name != name) {
        if (nameTaken(db, c.name, name))
            return refused(CurrencyWrite::Name, texts::kCurrencyNameTaken.arg(c.name));
        const QStringList uses = currencyUses(db, name);
        if (!uses.isEmpty())
            return refused(CurrencyWrite::Name,
                           texts::kCurrencyInUseRename.arg(name, uses.join(QStringLiteral(", "))));
    }
    execSql(db, QStringLiteral("UPDATE Valuti SET Opisanie = ?, Kurs = ?, Osn = ? WHERE Opisanie = ?"),
            {c.name, numberColumnValue(c.rate), boolText(c.base), name});
    if (c.base)
        makeOnlyBase(db, c.name);
    t.commit();
    return {};
}

CurrencyWrite deleteCurrency(const QSqlDatabase& db, const QString& name) {
    Transaction t(db);
    const std::optional<Currency> stored = loadCurrency(db, name);
    if (!stored)
        return refused(CurrencyWrite::None, texts::kCurrencyGone.arg(name));
    if (stored->base)
        return refused(CurrencyWrite::None, texts::kCurrencyBaseNotDeleted);
    const QStringList uses = currencyUses(db, name);
    if (!uses.isEmpty())
        return refused(CurrencyWrite::None,
                       texts::kCurrencyInUseDelete.arg(name, uses.join(QStringLiteral(", "))));
    execSql(db, QStringLiteral("DELETE FROM Valuti WHERE Opisanie = ?"), {name});
    t.commit();
    return {};
}

} // namespace torvika
