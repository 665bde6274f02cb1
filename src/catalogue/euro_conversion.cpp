#include "catalogue/euro_conversion.h"

#include "catalogue/price_formula.h"
#include "catalogue/texts.h"
#include "common/base_currency.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/sql.h"

#include <QStringList>

namespace torvika {

namespace {

const QString kTrueText = QStringLiteral("True");
const QString kFalseText = QStringLiteral("False");

// One amount column converted: its table, the SQL text of a row's key, the
// amount, the currency column set to the euro with it (none: the amount
// has no currency of its own), the column whose lev currency selects the
// rows (none: every row of the condition), and a further condition. A table
// without a unique key (keyless) is matched back by its key and the amount
// it was given.
struct AmountColumn {
    QString table;
    QString key;
    QString amount;
    QString currency;
    QString levTest;
    QString condition;
    bool keyless = false;
    bool emptyIsLev = false; // a row without a currency is in the base currency
};

QString castText(const QString& column) {
    return QStringLiteral("COALESCE(CAST(%1 AS VARCHAR(40)), '')").arg(column);
}

QString compositeKey(const QStringList& columns) {
    QStringList parts;
    for (const QString& c : columns)
        parts << castText(c);
    return parts.join(QStringLiteral(" || '|' || "));
}

const QString kOpenCredit = QStringLiteral("(Payed IS NULL OR UPPER(Payed) <> 'TRUE')");

// In the order they run: a column whose currency is set goes after the
// others of its row, which its lev currency still selects.
QList<AmountColumn> amountColumns() {
    const QString id = castText(QStringLiteral("ID"));
    const QString openLevCredits =
        QStringLiteral(
            "ID_Konsign IN (SELECT ID FROM Konsignation WHERE %1 AND (Valuta IS NULL OR Valuta = '' "
            "OR Valuta IN (%LEV%)))")
            .arg(kOpenCredit);
    return {
        {QStringLiteral("Produkti"),
         id,
         QStringLiteral("Ed_Cena"),
         QStringLiteral("Valuta_P"),
         QStringLiteral("Valuta_P"),
         {}},
        {QStringLiteral("Produkti"),
         id,
         QStringLiteral("Dostavna_Cena"),
         QStringLiteral("Valuta_D"),
         QStringLiteral("Valuta_D"),
         {}},
        {QStringLiteral("Art_CL"), id, QStringLiteral("Cena_1"), {}, QStringLiteral("Valuta"), {}},
        {QStringLiteral("Art_CL"), id, QStringLiteral("Cena_2"), {}, QStringLiteral("Valuta"), {}},
        {QStringLiteral("Art_CL"),
         id,
         QStringLiteral("Cena_3"),
         QStringLiteral("Valuta"),
         QStringLiteral("Valuta"),
         {}},
        {QStringLiteral("Sp_Otstapka"),
         compositeKey({QStringLiteral("ID_Klient"), QStringLiteral("Otnasq_se_za"),
                       QStringLiteral("ID_Art_Gr"), QStringLiteral("T_O")}),
         QStringLiteral("Suma_Up"),
         {},
         {},
         QStringLiteral("Suma_Up <> 0"),
         true},
        {QStringLiteral("Vnoski"),
         compositeKey({QStringLiteral("ID_Konsign"), QStringLiteral("ID"), QStringLiteral("Data_Pay"),
                       QStringLiteral("Procent_pay")}),
         QStringLiteral("Suma"),
         {},
         {},
         openLevCredits,
         true},
        {QStringLiteral("Konsignation"),
         id,
         QStringLiteral("First_Vnosk"),
         {},
         QStringLiteral("Valuta"),
         kOpenCredit,
         false,
         true},
        {QStringLiteral("Konsignation"), id, QStringLiteral("Suma"), QStringLiteral("Valuta"),
         QStringLiteral("Valuta"), kOpenCredit, false, true},
    };
}

// The rows of the column that convert: those in a lev currency.
QString rowsCondition(const AmountColumn& c, const QString& levList) {
    // An amount without a value takes the euro too, and stays without one.
    QStringList parts{QStringLiteral("1 = 1")};
    if (!c.levTest.isEmpty())
        parts << (c.emptyIsLev ? QStringLiteral("(%1 IS NULL OR %1 = '' OR %1 IN (%2))")
                               : QStringLiteral("%1 IN (%2)"))
                     .arg(c.levTest, levList);
    if (!c.condition.isEmpty())
        parts << QString(c.condition).replace(QStringLiteral("%LEV%"), levList);
    return parts.join(QStringLiteral(" AND "));
}

QString euroAmountSql(const QString& column) {
    return QStringLiteral("CAST(%1 AS DOUBLE PRECISION) / 100").arg(euroCentsSql(column));
}

// A lev currency named more than once is bound once per place it appears.
QVariantList repeated(const QVariantList& values, int times) {
    QVariantList out;
    for (int i = 0; i < times; ++i)
        out += values;
    return out;
}

bool saleOpen(const QSqlDatabase& db) {
    return execSql(db, QStringLiteral("SELECT 1 FROM Prodajbi_Vremenni")).next();
}

// The tables written, locked all at once against other workstations, so no
// sale line appears between the check and the change.
void lockTables(const QSqlDatabase& db) {
    lockTablesAgainstWriters(
        db, {QStringLiteral("Prodajbi_Vremenni"), QStringLiteral("Prodajbi"), QStringLiteral("Produkti"),
             QStringLiteral("Valuti"), QStringLiteral("Art_CL"), QStringLiteral("Sp_Otstapka"),
             QStringLiteral("Konsignation"), QStringLiteral("Vnoski"), QStringLiteral("Cenovi_Grupi"),
             QStringLiteral("Euro_Prehod"), QStringLiteral("Euro_Prehod_Danni")});
}

} // namespace

QString euroCentsSql(const QString& column) {
    // p: the lev amount in units of 1e-8; one euro cent is 1955830 of them.
    // Half up: (2p + d) / 2d for p >= 0, the same on -p for p < 0
    // (integer division truncates toward zero on both engines).
    const QString p = QStringLiteral("CAST(ROUND(%1 * 100000000) AS BIGINT)").arg(column);
    return QStringLiteral("(CASE WHEN %1 < 0 THEN -((-2 * %1 + 1955830) / 3911660) "
                          "ELSE (2 * %1 + 1955830) / 3911660 END)")
        .arg(p);
}

EuroConversionResult convertToEuro(const QSqlDatabase& db, const QString& operatorName,
                                   const QDateTime& now) {
    EuroConversionResult r;
    Transaction t(db);
    lockTables(db);
    const BaseCurrency base = loadBaseCurrency(db);
    if (base.kind != CurrencyKind::Lev) {
        r.refusal = texts::kEuroBaseNotLev.arg(base.name);
        return r;
    }
    if (saleOpen(db)) {
        r.refusal = texts::kEuroSaleOpen;
        return r;
    }
    // The currencies: the lev's names, the euro's row (added when missing).
    struct Rate {
        QString name;
        QVariant kurs;
        QString osn;
    };
    QList<Rate> rates;
    QVariantList levNames;
    QString euroName;
    {
        QSqlQuery q = execSql(db, QStringLiteral("SELECT Opisanie, Kurs, Osn FROM Valuti ORDER BY Opisanie"));
        while (q.next()) {
            rates << Rate{q.value(0).toString(), q.value(1), q.value(2).toString()};
            const CurrencyKind kind =
                rates.last().name == base.name ? CurrencyKind::Lev : currencyKind(rates.last().name);
            if (kind == CurrencyKind::Lev)
                levNames << rates.last().name;
            else if (kind == CurrencyKind::Euro && euroName.isEmpty())
                euroName = rates.last().name;
        }
    }
    if (levNames.isEmpty())
        levNames << base.name;
    const bool euroAdded = euroName.isEmpty();
    if (euroAdded) {
        euroName = euroBase().name;
        execSql(db, QStringLiteral("INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES (?, ?, ?)"),
                {euroName, numberColumnValue(euroRate()), kFalseText});
        rates << Rate{euroName, numberColumnValue(euroRate()), kFalseText};
    }

    r.id = nextKey(db, QStringLiteral("Euro_Prehod"), QStringLiteral("ID"));
    const qint64 lastSale =
        scalarSql(db, QStringLiteral("SELECT MAX(ID_Prodajba) FROM Prodajbi"), {}, 0).toLongLong();
    execSql(db,
            QStringLiteral("INSERT INTO Euro_Prehod (ID, Data, Vreme, Operator, Posledna_Prodajba, Otmeneno) "
                           "VALUES (?, ?, ?, ?, ?, ?)"),
            {r.id, now.date().toString(Qt::ISODate), now.time().toString(QStringLiteral("HH:mm:ss")),
             operatorName, lastSale, kFalseText});

    QStringList marks;
    for (qsizetype i = 0; i < levNames.size(); ++i)
        marks << QStringLiteral("?");
    const QString levList = marks.join(u',');
    // Each table: its columns' old and new values recorded, then one UPDATE
    // for all its columns (every CASE reads the row as it was, so a currency
    // set in it still selects the other columns).
    const QList<AmountColumn> columns = amountColumns();
    for (qsizetype first = 0; first < columns.size();) {
        const QString table = columns[first].table;
        qsizetype last = first;
        while (last + 1 < columns.size() && columns[last + 1].table == table)
            ++last;
        QStringList sets, anyRow;
        QVariantList setValues, whereValues;
        for (qsizetype i = first; i <= last; ++i) {
            const AmountColumn& c = columns[i];
            const QString where = rowsCondition(c, levList);
            const QVariantList levValues = repeated(levNames, int(where.count(u'?')) / int(levNames.size()));
            const QString oldCurrency = c.currency.isEmpty() ? QStringLiteral("NULL") : c.currency;
            const QSqlQuery recorded =
                execSql(db,
                        QStringLiteral(
                            "INSERT INTO Euro_Prehod_Danni (ID_Prehod, Tablica, Kluch, Kolona, Stara, Nova, "
                            "Stara_Valuta, Nova_Valuta) SELECT CAST(? AS INTEGER), CAST(? AS VARCHAR(30)), "
                            "%1, CAST(? AS VARCHAR(30)), %2, %3, %4, CAST(? AS VARCHAR(20)) FROM %5 WHERE %6")
                            .arg(c.key, c.amount, euroAmountSql(c.amount), oldCurrency, c.table, where),
                        QVariantList{r.id, c.table, c.amount,
                                     c.currency.isEmpty() ? QVariant() : QVariant(euroName)} +
                            levValues);
            const qint64 changed = recorded.numRowsAffected();
            if (table == QLatin1String("Produkti") && c.amount == QLatin1String("Ed_Cena"))
                r.articles = changed;
            else if (table == QLatin1String("Art_CL") && c.amount == QLatin1String("Cena_1"))
                r.priceListRows = changed;
            else if (table == QLatin1String("Sp_Otstapka"))
                r.discounts = changed;
            else if (table == QLatin1String("Konsignation") && c.amount == QLatin1String("Suma"))
                r.credits = changed;
            sets << QStringLiteral("%1 = CASE WHEN %2 THEN %3 ELSE %1 END")
                        .arg(c.amount, where, euroAmountSql(c.amount));
            setValues += levValues;
            if (!c.currency.isEmpty()) {
                sets << QStringLiteral("%1 = CASE WHEN %2 THEN CAST(? AS VARCHAR(20)) ELSE %1 END")
                            .arg(c.currency, where);
                setValues += levValues;
                setValues << euroName;
            }
            anyRow << u'(' + where + u')';
            whereValues += levValues;
        }
        execSql(db,
                QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                    .arg(table, sets.join(QStringLiteral(", ")), anyRow.join(QStringLiteral(" OR "))),
                setValues + whereValues);
        first = last + 1;
    }

    // The rates against the euro: the euro 1 and the base, the lev 1/1.95583,
    // every other currency its lev rate divided by 1.95583; 8 decimals.
    for (const Rate& rate : rates) {
        const bool euro = rate.name == euroName;
        Decimal kurs;
        if (euro)
            kurs = 1;
        else if (levNames.contains(rate.name))
            kurs = euroBasedRate(1);
        else
            kurs = euroBasedRate(fromNumberColumn(rate.kurs));
        const QString osn = euro ? kTrueText : kFalseText;
        execSql(db,
                QStringLiteral(
                    "INSERT INTO Euro_Prehod_Danni (ID_Prehod, Tablica, Kluch, Kolona, Stara, Nova, "
                    "Stara_Valuta, Nova_Valuta) SELECT CAST(? AS INTEGER), 'Valuti', Opisanie, 'Kurs', Kurs, "
                    "CAST(? AS DOUBLE PRECISION), Osn, CAST(? AS VARCHAR(20)) "
                    "FROM Valuti WHERE Opisanie = ?"),
                {r.id, numberColumnValue(kurs), osn, rate.name});
        execSql(db, QStringLiteral("UPDATE Valuti SET Kurs = ?, Osn = ? WHERE Opisanie = ?"),
                {numberColumnValue(kurs), osn, rate.name});
    }

    // The price groups' formulas: their amounts restated in euro, factors
    // and percentages kept; one whose amounts cannot be told is named.
    for (const QVariantList& group :
         readRows(db,
                  QStringLiteral("SELECT ID, Opisanie, Formula FROM Cenovi_Grupi WHERE Formula IS NOT NULL "
                                 "ORDER BY ID"))
             .rows) {
        const QString formula = group[2].toString();
        if (formula.trimmed().isEmpty())
            continue;
        const std::optional<QString> restated = formulaInOtherCurrency(formula, euroRate());
        if (!restated) {
            r.formulasLeft << group[1].toString();
            continue;
        }
        if (*restated == formula)
            continue;
        execSql(
            db,
            QStringLiteral("INSERT INTO Euro_Prehod_Danni (ID_Prehod, Tablica, Kluch, Kolona, Stara_Tekst, "
                           "Nova_Tekst) VALUES (?, 'Cenovi_Grupi', ?, 'Formula', ?, ?)"),
            {r.id, group[0].toString(), formula, *restated});
        execSql(db, QStringLiteral("UPDATE Cenovi_Grupi SET Formula = ? WHERE ID = ?"),
                {*restated, group[0]});
        ++r.formulas;
    }
    t.commit();
    return r;
}

EuroConversionInfo lastEuroConversion(const QSqlDatabase& db) {
    EuroConversionInfo info;
    const SqlRows rows = readRows(db,
                                  QStringLiteral("SELECT ID, Data, Vreme, Posledna_Prodajba FROM Euro_Prehod "
                                                 "WHERE Otmeneno = ? ORDER BY ID DESC"),
                                  {kFalseText}, 1);
    if (rows.rows.isEmpty())
        return info;
    const QVariantList& row = rows.rows[0];
    info.id = row[0].toLongLong();
    info.when = QDateTime(QDate::fromString(row[1].toString(), Qt::ISODate),
                          QTime::fromString(row[2].toString(), QStringLiteral("HH:mm:ss")));
    info.reversible =
        !execSql(db, QStringLiteral("SELECT 1 FROM Prodajbi WHERE ID_Prodajba > ?"), {row[3].toLongLong()})
             .next();
    return info;
}

EuroReversalResult reverseEuroConversion(const QSqlDatabase& db, const QDateTime& now) {
    EuroReversalResult r;
    Transaction t(db);
    lockTables(db);
    const EuroConversionInfo last = lastEuroConversion(db);
    if (last.id == 0) {
        r.refusal = texts::kEuroNothingToReverse;
        return r;
    }
    if (!last.reversible) {
        r.refusal = texts::kEuroSoldSince;
        return r;
    }
    if (saleOpen(db)) {
        r.refusal = texts::kEuroSaleOpen;
        return r;
    }
    // In the reverse order: a currency is restored after the amounts its
    // euro name selected.
    QList<AmountColumn> columns = amountColumns();
    std::reverse(columns.begin(), columns.end());
    for (const AmountColumn& c : columns) {
        QString set = c.amount + QStringLiteral(" = D.Stara");
        if (!c.currency.isEmpty())
            set += QStringLiteral(", %1 = D.Stara_Valuta").arg(c.currency);
        // A keyed row is found by its number (its index serves whichever
        // side the engine reads first); a keyless one by its key and amount.
        const QString row =
            c.keyless ? QStringLiteral("D.Kluch = %1 AND D.Nova = %2.%3").arg(c.key, c.table, c.amount)
                      : QStringLiteral("%1.ID = CAST(D.Kluch AS INTEGER)").arg(c.table);
        execSql(db,
                QStringLiteral(
                    "UPDATE %1 SET %2 FROM Euro_Prehod_Danni D WHERE D.ID_Prehod = ? AND D.Tablica = ? "
                    "AND D.Kolona = ? AND %3")
                    .arg(c.table, set, row),
                {last.id, c.table, c.amount});
    }
    for (const QVariantList& formula :
         readRows(db,
                  QStringLiteral("SELECT Kluch, Stara_Tekst FROM Euro_Prehod_Danni WHERE ID_Prehod = ? AND "
                                 "Tablica = 'Cenovi_Grupi' AND Kolona = 'Formula'"),
                  {last.id})
             .rows)
        execSql(db, QStringLiteral("UPDATE Cenovi_Grupi SET Formula = ? WHERE ID = ?"),
                {formula[1].toString(), formula[0].toLongLong()});
    const QString match = QStringLiteral("D.ID_Prehod = ? AND D.Tablica = 'Valuti' AND D.Kolona = 'Kurs' AND "
                                         "D.Kluch = Valuti.Opisanie");
    execSql(db,
            QStringLiteral("UPDATE Valuti SET Kurs = (SELECT D.Stara FROM Euro_Prehod_Danni D WHERE %1), "
                           "Osn = (SELECT D.Stara_Valuta FROM Euro_Prehod_Danni D WHERE %1) "
                           "WHERE EXISTS (SELECT 1 FROM Euro_Prehod_Danni D WHERE %1)")
                .arg(match),
            {last.id, last.id, last.id});
    execSql(
        db,
        QStringLiteral("UPDATE Euro_Prehod SET Otmeneno = ?, Data_Otmqna = ?, Vreme_Otmqna = ? WHERE ID = ?"),
        {kTrueText, now.date().toString(Qt::ISODate), now.time().toString(QStringLiteral("HH:mm:ss")),
         last.id});
    t.commit();
    return r;
}

} // namespace torvika
