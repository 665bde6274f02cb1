#include "common/base_currency.h"

#include "common/exception_log.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "common/texts.h"

namespace torvika {

namespace {

QString folded(const QString& name) {
    QString n = name.trimmed().toUpper();
    n.remove(u' ');
    return n;
}

} // namespace

CurrencyKind currencyKind(const QString& name) {
    const QString n = folded(name);
    if (n == QStringLiteral("ЛЕВА") || n == QStringLiteral("ЛЕВ") || n == QStringLiteral("ЛВ") ||
        n == QStringLiteral("ЛВ.") || n == QLatin1String("BGL") || n == QLatin1String("BGN"))
        return CurrencyKind::Lev;
    if (n == QLatin1String("EUR") || n == QLatin1String("EURO") || n == QStringLiteral("ЕВРО") ||
        n == QStringLiteral("€"))
        return CurrencyKind::Euro;
    return CurrencyKind::Other;
}

Decimal euroRate() {
    return Decimal::fromScaled(195583, 5);
}

Decimal levToEuro(const Decimal& leva) {
    return leva.divided(euroRate(), 2);
}

Decimal euroToLev(const Decimal& euro) {
    return (euro * euroRate()).rounded(2);
}

BaseCurrency levBase() {
    return {QStringLiteral("Лева"),
            CurrencyKind::Lev,
            {texts::kCurrencyMajorWords, texts::kCurrencyMinorWords},
            texts::kLevSign,
            texts::kTotalInLeva};
}

BaseCurrency euroBase() {
    return {QStringLiteral("EUR"),
            CurrencyKind::Euro,
            {texts::kEuroMajorWords, texts::kEuroMinorWords},
            texts::kEuroSign,
            texts::kTotalInEuro};
}

BaseCurrency baseCurrencyNamed(const QString& name) {
    BaseCurrency base = currencyKind(name) == CurrencyKind::Euro ? euroBase() : levBase();
    if (!name.isEmpty())
        base.name = name;
    base.kind = currencyKind(name.isEmpty() ? base.name : name);
    if (base.kind == CurrencyKind::Other)
        base.sign = name;
    return base;
}

QString baseCurrencyRowName(const QSqlDatabase& db) {
    return scalarSql(db, QStringLiteral("SELECT Opisanie FROM Valuti WHERE Osn = ? ORDER BY Opisanie"),
                     {QStringLiteral("True")}, QString())
        .toString();
}

BaseCurrency loadBaseCurrency(const QSqlDatabase& db) {
    const QString name = baseCurrencyRowName(db);
    return name.isEmpty() ? levBase() : baseCurrencyNamed(name);
}

QDate euroAdoptionDay() {
    return QDate(2026, 1, 1);
}

Decimal euroBasedRate(const Decimal& levRate) {
    return levRate.divided(euroRate(), kNumberColumnDecimals);
}

void makeEuroTheBaseOfNewCompany(const QSqlDatabase& db) {
    if (!db.tables().contains(QStringLiteral("Valuti"), Qt::CaseInsensitive))
        return;
    const QString base = baseCurrencyRowName(db);
    if (!base.isEmpty() && currencyKind(base) != CurrencyKind::Lev)
        return;
    QString euro;
    QList<std::pair<QString, Decimal>> rates;
    for (const QVariantList& row :
         readRows(db, QStringLiteral("SELECT Opisanie, Kurs FROM Valuti ORDER BY Opisanie")).rows) {
        const QString name = row.value(0).toString();
        if (euro.isEmpty() && currencyKind(name) == CurrencyKind::Euro)
            euro = name;
        else
            rates << std::pair{
                name, currencyKind(name) == CurrencyKind::Lev ? Decimal(1) : fromNumberColumn(row.value(1))};
    }
    if (euro.isEmpty()) {
        euro = euroBase().name;
        execSql(db, QStringLiteral("INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES (?, 1, 'True')"), {euro});
    }
    execSql(db, QStringLiteral("UPDATE Valuti SET Kurs = 1, Osn = 'True' WHERE Opisanie = ?"), {euro});
    for (const auto& [name, rate] : rates)
        execSql(db, QStringLiteral("UPDATE Valuti SET Kurs = ?, Osn = 'False' WHERE Opisanie = ?"),
                {numberColumnValue(euroBasedRate(rate)), name});
}

BaseCurrency baseCurrencyForCaptions(const QSqlDatabase& db) {
    try {
        return loadBaseCurrency(db);
    } catch (const std::exception& e) {
        logException(e);
        return levBase();
    }
}

QString dualAmountText(const Decimal& amount, CurrencyKind base) {
    const Decimal shown = amount.rounded(2);
    const Decimal euro = base == CurrencyKind::Euro ? shown : levToEuro(shown);
    const Decimal leva = base == CurrencyKind::Euro ? euroToLev(shown) : shown;
    return euro.toFixed(2) + u' ' + texts::kEuroSign + QStringLiteral(" / ") + leva.toFixed(2) + u' ' +
           texts::kLevSign;
}

QDate dualDisplayStart() {
    return QDate(2025, 8, 8);
}

bool dualDisplayOn(const QString& until, const QDate& today) {
    const QDate last = QDate::fromString(until.trimmed(), Qt::ISODate);
    return last.isValid() && today >= dualDisplayStart() && today <= last;
}

QString dualAmountToday(const Decimal& amount, CurrencyKind base, const QString& until, const QDate& today) {
    if (base == CurrencyKind::Other || !dualDisplayOn(until, today))
        return {};
    return dualAmountText(amount, base);
}

} // namespace torvika
