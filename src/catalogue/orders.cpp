#include "catalogue/orders.h"

#include "catalogue/texts.h"
#include "common/cformat.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/exception_log.h"
#include "common/grid_export.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "common/sql_dialect.h"
#include "common/texts.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace torvika {

namespace {

const QString kKey = QStringLiteral("Zaqvki_All.ID");
// The columns of a line, in the order of the inserts.
const QString kLineColumns =
    QStringLiteral("Data, Art_ID, Kat_N, Opisanie, Kol, Dost_Cena, Valuta, Klient_Ime, Dost_Ime");
const QString kInsertLine = QStringLiteral("INSERT INTO Zaqvki_All (") + kLineColumns +
                            QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
// The list: every line, with the group of its article when it has one
// (a free-text line's Art_ID 0 is no article).
const QString kListSelect = QStringLiteral(
    "SELECT Zaqvki_All.ID, Zaqvki_All.Data, Zaqvki_All.Art_ID, Zaqvki_All.Kat_N, Zaqvki_All.Opisanie, "
    "Zaqvki_All.Kol, Zaqvki_All.Dost_Cena, Zaqvki_All.Valuta, Zaqvki_All.Klient_Ime, Zaqvki_All.Dost_Ime, "
    "Grupi.Opisanie AS Grupa FROM Zaqvki_All "
    "LEFT JOIN Produkti ON Zaqvki_All.Art_ID > 0 AND Produkti.ID = Zaqvki_All.Art_ID "
    "LEFT JOIN Grupi ON Grupi.ID = Produkti.Nomer_Grupa");
// Lines deleted or read per statement.
constexpr int kChunk = 500;

const QString kCopyName = QStringLiteral("Zaqvki_TMP");

QVariant storedDate(const QDate& d) {
    return d.isValid() ? QVariant(isoDate(d)) : QVariant(QMetaType::fromType<QString>());
}

QVariant stored(const Decimal& d) {
    return numberColumnValue(d.rounded(4));
}

QVariantList lineValues(const OrderLine& l) {
    return {storedDate(l.date), l.article,  l.supplierNumber, l.description, stored(l.quantity),
            stored(l.price),    l.currency, l.requester,      l.supplier};
}

// A line from the statement's columns Data .. Dost_Ime, starting at `first`.
OrderLine lineFrom(const QVariantList& r, int first) {
    OrderLine l;
    l.date = QDate::fromString(r[first].toString().left(10), Qt::ISODate);
    l.article = r[first + 1].toLongLong();
    l.supplierNumber = r[first + 2].toString();
    l.description = r[first + 3].toString();
    l.quantity = fromNumberColumn(r[first + 4]);
    l.price = fromNumberColumn(r[first + 5]);
    l.currency = r[first + 6].toString();
    l.requester = r[first + 7].toString();
    l.supplier = r[first + 8].toString();
    return l;
}

QString marks(qsizetype n) {
    return QStringList(n, QStringLiteral("?")).join(u',');
}

} // namespace

qint64 addOrderLine(const QSqlDatabase& db, const OrderLine& line) {
    return insertReturningKey(db, kInsertLine, lineValues(line), QStringLiteral("ID"));
}

std::optional<Decimal> typedOrderNumber(const QString& text) {
    const std::optional<Decimal> d = Decimal::parse(text);
    if (!d)
        return std::nullopt;
    return d->rounded(4);
}

QString supplierArticleNumber(const QSqlDatabase& db, qint64 article, qint64 supplier) {
    if (article <= 0)
        return {};
    if (supplier <= 0)
        supplier = scalarSql(db, QStringLiteral("SELECT Dostav4ik FROM Produkti WHERE ID = ?"), {article}, 0)
                       .toLongLong();
    if (supplier <= 0)
        return {};
    return scalarSql(
               db, QStringLiteral("SELECT MIN(Nomenkl_N) FROM Nomenklatures WHERE ID = ? AND ID_Kontrag = ?"),
               {article, supplier})
        .toString();
}

SqlStatement orderListStatement() {
    return {kListSelect + QStringLiteral("\nORDER BY ") + kKey, {}, kKey};
}

SqlStatement orderSearchStatement(const OrderSearch& search) {
    const OrderListColumn& column = orderListColumn(search.column);
    const QString field = column.qualified.toString();
    QString condition;
    QVariantList values;
    switch (column.kind) {
    case OrderColumnKind::Date:
        if (!search.fromDate.isValid() ||
            (search.comparison == OrderComparison::Between && !search.toDate.isValid()))
            throw EConvertError(texts::kOrderNoSearchDate);
        condition = valueCondition(field, search.comparison);
        values << isoDate(search.fromDate);
        if (search.comparison == OrderComparison::Between)
            values << isoDate(search.toDate);
        break;
    case OrderColumnKind::Number:
        condition = valueCondition(field, search.comparison);
        values << typedNumberValue(search.from);
        if (search.comparison == OrderComparison::Between)
            values << typedNumberValue(search.to);
        break;
    case OrderColumnKind::Text:
        if (!search.from.isEmpty()) {
            const ContainsCondition c = likeCondition(field, likeContains(search.from.toUpper()));
            condition = c.sql;
            values << c.value;
        }
        break;
    }
    QString text = kListSelect;
    if (!condition.isEmpty())
        text += QStringLiteral(" WHERE ") + condition;
    text += QStringLiteral("\nORDER BY ") + field;
    if (field != kKey)
        text += QStringLiteral(", ") + kKey;
    return {text, values, kKey};
}

int deleteOrderLines(const QSqlDatabase& db, const QList<qint64>& ids) {
    int deleted = 0;
    Transaction tx(db);
    for (qsizetype from = 0; from < ids.size(); from += kChunk) {
        const QList<qint64> part = ids.mid(from, kChunk);
        QVariantList values;
        for (qint64 id : part)
            values << id;
        QSqlQuery q = execSql(
            db, QStringLiteral("DELETE FROM Zaqvki_All WHERE ID IN (%1)").arg(marks(part.size())), values);
        deleted += qMax(0, q.numRowsAffected());
    }
    tx.commit();
    return deleted;
}

QStringList orderListHeading(const QDateTime& now) {
    return {QString(), texts::kOrderListHeading, QString(), exportDateLine(now)};
}

Decimal StoredOrderLine::amount() const {
    return (line.quantity * line.price).rounded(2);
}

QList<SupplierOrder> supplierOrders(const QSqlDatabase& db, const QList<qint64>& ids) {
    QHash<qint64, StoredOrderLine> lines;
    for (qsizetype from = 0; from < ids.size(); from += kChunk) {
        const QList<qint64> part = ids.mid(from, kChunk);
        QVariantList values;
        for (qint64 id : part)
            values << id;
        const SqlRows rows = readRows(db,
                                      QStringLiteral("SELECT ID, %1 FROM Zaqvki_All WHERE ID IN (%2)")
                                          .arg(kLineColumns, marks(part.size())),
                                      values);
        for (const QVariantList& r : rows.rows)
            lines.insert(r[0].toLongLong(), {r[0].toLongLong(), lineFrom(r, 1)});
    }
    QList<SupplierOrder> orders;
    QHash<QString, qsizetype> orderOf;
    QSet<qint64> taken;
    for (qint64 id : ids) {
        const auto it = lines.constFind(id);
        if (it == lines.cend() || taken.contains(id))
            continue;
        taken.insert(id);
        const QString supplier = it->line.supplier;
        auto at = orderOf.constFind(supplier);
        if (at == orderOf.cend()) {
            at = orderOf.insert(supplier, orders.size());
            orders.append({supplier, {}, {}});
        }
        SupplierOrder& order = orders[*at];
        order.lines.append(*it);
        auto total = std::find_if(order.totals.begin(), order.totals.end(),
                                  [&](const CurrencyTotal& t) { return t.currency == it->line.currency; });
        if (total == order.totals.end())
            order.totals.append({it->line.currency, it->amount()});
        else
            total->amount += it->amount();
    }
    return orders;
}

QStringList supplierOrderHeading(const SupplierOrder& order, const QDateTime& now) {
    return orderListHeading(now) << texts::kSupplierOrderSupplier + order.supplier;
}

QStringList supplierOrderTotals(const SupplierOrder& order) {
    QStringList out;
    for (const CurrencyTotal& t : order.totals)
        out << texts::kSupplierOrderTotal + format42(t.amount) + u' ' + t.currency;
    return out;
}

// The working copy.

OrderLinesCopy::OrderLinesCopy(const QSqlDatabase& db)
    : db_(db),
      working_(db, kCopyName,
               QStringLiteral("ID INTEGER NOT NULL PRIMARY KEY, Data VARCHAR(10), Art_ID INTEGER, Kat_N "
                              "VARCHAR(%1), Opisanie VARCHAR(%2), Kol DOUBLE PRECISION, Dost_Cena DOUBLE "
                              "PRECISION, Valuta VARCHAR(%3), Klient_Ime VARCHAR(%2), Dost_Ime VARCHAR(%2)")
                   .arg(kOrderNumberWidth)
                   .arg(kOrderTextWidth)
                   .arg(kOrderCurrencyWidth)),
      table_(working_.table()) {}

OrderLinesCopy::~OrderLinesCopy() = default;

qint64 OrderLinesCopy::add(const OrderLine& line) {
    // The copy is this connection's own: its MAX + 1 is free.
    const qint64 id =
        scalarSql(db_, QStringLiteral("SELECT MAX(ID) FROM %1").arg(table_), {}, 0).toLongLong() + 1;
    execSql(db_,
            QStringLiteral("INSERT INTO %1 (ID, %2) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(table_, kLineColumns),
            QVariantList{id} + lineValues(line));
    return id;
}

bool OrderLinesCopy::edit(qint64 id, const OrderLine& line) {
    QSqlQuery q =
        execSql(db_,
                QStringLiteral("UPDATE %1 SET Data = ?, Art_ID = ?, Kat_N = ?, Opisanie = ?, Kol = ?, "
                               "Dost_Cena = ?, Valuta = ?, Klient_Ime = ?, Dost_Ime = ? WHERE ID = ?")
                    .arg(table_),
                lineValues(line) + QVariantList{id});
    return q.numRowsAffected() > 0;
}

int OrderLinesCopy::remove(const QList<qint64>& ids) {
    int removed = 0;
    for (qint64 id : ids) {
        QSqlQuery q = execSql(db_, QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(table_), {id});
        removed += qMax(0, q.numRowsAffected());
    }
    return removed;
}

std::optional<OrderLine> OrderLinesCopy::line(qint64 id) const {
    const SqlRows rows =
        readRows(db_, QStringLiteral("SELECT %1 FROM %2 WHERE ID = ?").arg(kLineColumns, table_), {id});
    if (rows.rows.isEmpty())
        return std::nullopt;
    return lineFrom(rows.rows.front(), 0);
}

int OrderLinesCopy::count() const {
    return int(scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table_), {}, 0).toLongLong());
}

SqlStatement OrderLinesCopy::linesStatement() const {
    return {QStringLiteral("SELECT ID, %1 FROM %2\nORDER BY ID").arg(kLineColumns, table_),
            {},
            QStringLiteral("ID")};
}

QList<qint64> OrderLinesCopy::save(const QDate& date) {
    const SqlRows rows =
        readRows(db_, QStringLiteral("SELECT ID, %1 FROM %2 ORDER BY ID").arg(kLineColumns, table_));
    QList<qint64> added;
    Transaction tx(db_);
    for (const QVariantList& r : rows.rows) {
        OrderLine l = lineFrom(r, 1);
        l.date = date;
        added << addOrderLine(db_, l);
    }
    execScriptStatement(db_, QStringLiteral("DELETE FROM %1").arg(table_));
    tx.commit();
    return added;
}

} // namespace torvika
