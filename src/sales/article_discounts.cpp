#include "sales/article_discounts.h"

#include "common/errors.h"
#include "common/exception_log.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/sql_dialect.h"
#include "sales/texts.h"

#include <QSet>
#include <stdexcept>

namespace torvika {

namespace {

const QString kCopyName = QStringLiteral("T0_TMP");
const QString kColumns = QStringLiteral("Por, Otnasq_se_za, ID_Art_Gr, Opisanie, T_O, Suma_Up, Changed");

DiscountRow readRow(const QSqlQuery& q) {
    DiscountRow r;
    r.por = q.value(0).toLongLong();
    r.kind = q.value(1).toString();
    r.item = q.value(2).toLongLong();
    r.name = q.value(3).toString();
    r.discount = fromNumberColumn(q.value(4)).rounded(4);
    r.purchaseAbove = fromNumberColumn(q.value(5)).rounded(4);
    r.state = DiscountRowState(q.value(6).toInt());
    return r;
}

} // namespace

std::optional<Decimal> typedDiscountValue(const QString& text) {
    const std::optional<Decimal> d = Decimal::parse(text);
    if (!d)
        return std::nullopt;
    return d->rounded(4);
}

SpecialDiscountsCopy::SpecialDiscountsCopy(const QSqlDatabase& db)
    : db_(db),
      working_(db, kCopyName,
               QStringLiteral("Por INTEGER NOT NULL PRIMARY KEY, Changed SMALLINT, Opisanie VARCHAR(150), "
                              "Otnasq_se_za VARCHAR(1), ID_Art_Gr INTEGER, T_O DOUBLE PRECISION, Suma_Up "
                              "DOUBLE PRECISION")),
      table_(working_.table()) {}

SpecialDiscountsCopy::~SpecialDiscountsCopy() = default;

void SpecialDiscountsCopy::load(qint64 counterparty, const QString& refText) {
    const SqlStatement statement = storedDiscountsStatement(counterparty);
    Transaction tx(db_);
    execScriptStatement(db_, QStringLiteral("DELETE FROM %1").arg(table_));
    // One row per article or group: of rows stored twice for one (which
    // older versions allowed) the last read stands, as in the sale.
    const SqlRows rows = readRows(db_, statement.text, statement.values);
    qint64 por = 0;
    QHash<QString, qint64> rowOf;
    for (const QVariantList& r : rows.rows) {
        const QString kind = r[1].toString();
        const qint64 item = r[2].toLongLong();
        const QString key = kind + u':' + QString::number(item);
        const QVariantList values{numberColumnValue(fromNumberColumn(r[4]).rounded(4)),
                                  numberColumnValue(fromNumberColumn(r[5]).rounded(4))};
        if (auto it = rowOf.constFind(key); it != rowOf.cend()) {
            execSql(db_, QStringLiteral("UPDATE %1 SET T_O = ?, Suma_Up = ? WHERE Por = ?").arg(table_),
                    values + QVariantList{*it});
            continue;
        }
        rowOf.insert(key, ++por);
        execSql(db_, QStringLiteral("INSERT INTO %1 (%2) VALUES (?, ?, ?, ?, ?, ?, ?)").arg(table_, kColumns),
                {por, kind, item, r[3].toString(), values[0], values[1], int(DiscountRowState::Loaded)});
    }
    tx.commit();
    counterparty_ = counterparty;
    counterpartyText_ = refText;
}

void SpecialDiscountsCopy::clear() {
    execScriptStatement(db_, QStringLiteral("DELETE FROM %1").arg(table_));
    counterparty_ = 0;
    counterpartyText_.clear();
}

bool SpecialDiscountsCopy::hasUnsavedChanges() const {
    return scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE Changed <> ?").arg(table_),
                     {int(DiscountRowState::Loaded)})
               .toLongLong() > 0;
}

std::optional<DiscountRow> SpecialDiscountsCopy::find(const QString& condition,
                                                      const QVariantList& values) const {
    QSqlQuery q =
        execSql(db_, QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(kColumns, table_, condition), values);
    if (!q.next())
        return std::nullopt;
    return readRow(q);
}

std::optional<DiscountRow> SpecialDiscountsCopy::row(qint64 por) const {
    return find(QStringLiteral("Por = ? AND Changed <> ?"), {por, int(DiscountRowState::Removed)});
}

QList<DiscountRow> SpecialDiscountsCopy::rows() const {
    const SqlStatement s = rowsStatement();
    QSqlQuery q = execSql(db_, s.text, s.values);
    QList<DiscountRow> out;
    while (q.next())
        out << readRow(q);
    return out;
}

SqlStatement SpecialDiscountsCopy::rowsStatement() const {
    return {QStringLiteral("SELECT %1 FROM %2 WHERE Changed <> ? ORDER BY Por").arg(kColumns, table_),
            {int(DiscountRowState::Removed)},
            QStringLiteral("Por")};
}

void SpecialDiscountsCopy::checkDiscount(const Decimal& percent) const {
    if (!discountAllowed(percent.rounded(4)))
        throw EConvertError(texts::kDiscountAbove100);
}

qint64 SpecialDiscountsCopy::add(const QString& kind, qint64 item, const QString& name,
                                 const Decimal& discount, const Decimal& purchaseAbove) {
    if (counterparty_ == 0)
        throw std::logic_error("no counterparty loaded into the special discounts");
    if (kind != kDiscountForArticle && kind != kDiscountForGroup)
        throw std::invalid_argument("a special discount is for an article or a group");
    checkDiscount(discount);
    if (const auto existing = find(QStringLiteral("Otnasq_se_za = ? AND ID_Art_Gr = ?"), {kind, item})) {
        const DiscountRowState state =
            existing->state == DiscountRowState::Added ? DiscountRowState::Added : DiscountRowState::Edited;
        execSql(db_,
                QStringLiteral("UPDATE %1 SET Opisanie = ?, T_O = ?, Suma_Up = ?, Changed = ? WHERE Por = ?")
                    .arg(table_),
                {name, numberColumnValue(discount.rounded(4)), numberColumnValue(purchaseAbove.rounded(4)),
                 int(state), existing->por});
        return existing->por;
    }
    // The copy is this connection's own: its MAX + 1 is free.
    const qint64 por =
        scalarSql(db_, QStringLiteral("SELECT MAX(Por) FROM %1").arg(table_), {}, 0).toLongLong() + 1;
    execSql(db_, QStringLiteral("INSERT INTO %1 (%2) VALUES (?, ?, ?, ?, ?, ?, ?)").arg(table_, kColumns),
            {por, kind, item, name, numberColumnValue(discount.rounded(4)),
             numberColumnValue(purchaseAbove.rounded(4)), int(DiscountRowState::Added)});
    return por;
}

bool SpecialDiscountsCopy::edit(qint64 por, const Decimal& discount, const Decimal& purchaseAbove) {
    checkDiscount(discount);
    const std::optional<DiscountRow> r = row(por);
    if (!r)
        return false;
    const DiscountRowState state =
        r->state == DiscountRowState::Added ? DiscountRowState::Added : DiscountRowState::Edited;
    execSql(db_, QStringLiteral("UPDATE %1 SET T_O = ?, Suma_Up = ?, Changed = ? WHERE Por = ?").arg(table_),
            {numberColumnValue(discount.rounded(4)), numberColumnValue(purchaseAbove.rounded(4)), int(state),
             por});
    return true;
}

bool SpecialDiscountsCopy::remove(qint64 por) {
    const std::optional<DiscountRow> r = row(por);
    if (!r)
        return false;
    if (r->state == DiscountRowState::Added)
        execSql(db_, QStringLiteral("DELETE FROM %1 WHERE Por = ?").arg(table_), {por});
    else
        execSql(db_, QStringLiteral("UPDATE %1 SET Changed = ? WHERE Por = ?").arg(table_),
                {int(DiscountRowState::Removed), por});
    return true;
}

void SpecialDiscountsCopy::store() {
    const SqlRows changed = readRows(
        db_, QStringLiteral("SELECT %1 FROM %2 WHERE Changed <> ? ORDER BY Por").arg(kColumns, table_),
        {int(DiscountRowState::Loaded)});
    Transaction tx(db_);
    if (!changed.rows.isEmpty()) {
        if (counterparty_ == 0)
            throw std::logic_error("special discounts without a counterparty");
        // No other workstation writes the counterparty's rows meanwhile, so
        // an article or group never gets a second row.
        lockTableForWriting(db_, QStringLiteral("Sp_Otstapka"));
    }
    const QString key = QStringLiteral("ID_Klient = ? AND Otnasq_se_za = ? AND ID_Art_Gr = ?");
    for (const QVariantList& r : changed.rows) {
        const QVariantList where{counterparty_, r[1], r[2]};
        const QVariantList values{numberColumnValue(fromNumberColumn(r[4]).rounded(4)),
                                  numberColumnValue(fromNumberColumn(r[5]).rounded(4))};
        switch (DiscountRowState(r[6].toInt())) {
        case DiscountRowState::Added:
        case DiscountRowState::Edited: {
            // Every stored row of the article or group gets the values; when
            // there is none (or another workstation removed it), it is added.
            QSqlQuery u =
                execSql(db_, QStringLiteral("UPDATE Sp_Otstapka SET T_O = ?, Suma_Up = ? WHERE ") + key,
                        values + where);
            if (u.numRowsAffected() < 1)
                execSql(db_,
                        QStringLiteral("INSERT INTO Sp_Otstapka (ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O, "
                                       "Suma_Up) VALUES (?, ?, ?, ?, ?)"),
                        where + values);
            break;
        }
        case DiscountRowState::Removed:
            execSql(db_, QStringLiteral("DELETE FROM Sp_Otstapka WHERE ") + key, where);
            break;
        case DiscountRowState::Loaded:
            break;
        }
    }
    execScriptStatement(db_, QStringLiteral("DELETE FROM %1").arg(table_));
    tx.commit();
    counterparty_ = 0;
    counterpartyText_.clear();
}

SqlStatement discountCounterpartiesStatement(SqlEngine engine, const QString& search) {
    QString text = QStringLiteral("SELECT Firmi.ID, Firmi.Ime_Firma FROM Firmi WHERE EXISTS (SELECT 1 FROM "
                                  "Sp_Otstapka WHERE Sp_Otstapka.ID_Klient = Firmi.ID)");
    QVariantList values;
    if (!search.isEmpty()) {
        const ContainsCondition c =
            containsCondition(engine, QStringLiteral("Firmi"), QStringLiteral("ID"),
                              QStringLiteral("Ime_Firma"), QStringLiteral("Firmi_Names"), search);
        text += QStringLiteral(" AND ") + c.sql;
        values << c.value;
    }
    return {text + QStringLiteral(" ORDER BY Firmi.ID"), values, QStringLiteral("Firmi.ID")};
}

SqlStatement storedDiscountsStatement(qint64 counterparty) {
    return {QStringLiteral(
                "SELECT ROW_NUMBER() OVER (ORDER BY S.Otnasq_se_za, S.ID_Art_Gr) AS Por, S.Otnasq_se_za, "
                "S.ID_Art_Gr, COALESCE(CASE WHEN S.Otnasq_se_za = ? THEN G.Opisanie ELSE P.Opisanie END, '') "
                "AS Opisanie, COALESCE(S.T_O, 0) AS T_O, COALESCE(S.Suma_Up, 0) AS Suma_Up, 1 AS Changed "
                "FROM Sp_Otstapka S LEFT JOIN Grupi G ON S.Otnasq_se_za = ? AND G.ID = S.ID_Art_Gr "
                "LEFT JOIN Produkti P ON S.Otnasq_se_za = ? AND P.ID = S.ID_Art_Gr "
                "WHERE S.ID_Klient = ? AND S.Otnasq_se_za IN (?, ?) ORDER BY S.Otnasq_se_za, S.ID_Art_Gr"),
            {kDiscountForGroup, kDiscountForGroup, kDiscountForArticle, counterparty, kDiscountForArticle,
             kDiscountForGroup}};
}

} // namespace torvika
