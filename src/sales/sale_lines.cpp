#include "sales/sale_lines.h"

#include "common/errors.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "sales/sale_counterparty.h"
#include "sales/texts.h"

#include <QSqlQuery>
#include <algorithm>

namespace torvika {

namespace {

const QString kLineColumns = QStringLiteral(
    "P.N_Prodajba, P.Barkod, P.Opisanie, P.Kol, P.Mqrka, P.Ed_Cena, P.Valuta, P.T_O, P.Operator, "
    "P.Pored_Ot, P.Pored_Do, P.Sm_N, P.Term_N, P.Dan_Grup, P.Prigotvq_Se, P.Nomenkl_N, P.Bez_DDS, "
    "P.SUM_BezDDS, V.Kurs");

QList<SaleLine> readLines(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
                          int decimals) {
    QSqlQuery q = execSql(db, sql, values);
    QList<SaleLine> lines;
    while (q.next()) {
        SaleLine l;
        l.number = q.value(0).toLongLong();
        l.article = q.value(1).toLongLong();
        l.description = q.value(2).toString();
        l.quantity = fromNumberColumn(q.value(3), kQuantityScale);
        l.unit = q.value(4).toString();
        l.unitPrice = fromNumberColumn(q.value(5), kPriceScale);
        l.currency = q.value(6).toString();
        l.discount = fromNumberColumn(q.value(7), kDiscountScale);
        l.operatorName = q.value(8).toString();
        l.serialFrom = q.value(9).toString();
        l.serialTo = q.value(10).toString();
        l.bill = q.value(11).toInt();
        l.terminal = q.value(12).toInt();
        l.taxGroup = q.value(13).toInt();
        l.department = q.value(14).toInt();
        l.catalogueNumber = q.value(15).toString();
        l.unitNet = fromNumberColumn(q.value(16), kPriceScale);
        l.lineNet = fromNumberColumn(q.value(17), kPriceScale);
        if (!q.value(18).isNull()) {
            l.rate = fromNumberColumn(q.value(18), kRateScale);
            l.amount = lineAmount(l.quantity, l.unitPrice, *l.rate, l.discount, decimals);
        }
        lines << l;
    }
    return lines;
}

// The counterparty's own number of the article; "0" without a counterparty.
QString catalogueNumberFor(const QSqlDatabase& db, qint64 article, qint64 counterparty) {
    if (counterparty < 1)
        return QStringLiteral("0");
    return scalarSql(db,
                     QStringLiteral("SELECT Nomenkl_N FROM Nomenklatures WHERE ID = ? AND ID_Kontrag = ?"),
                     {article, counterparty}, QString())
        .toString();
}

} // namespace

Decimal lineAmount(const Decimal& quantity, const Decimal& unitPrice, const Decimal& rate,
                   const Decimal& discount, int decimals) {
    // q × p × r × (100 − d) / 100, one rounding at the end.
    const Decimal gross = (quantity * unitPrice).rounded(12) * rate;
    return (gross.rounded(14) * (Decimal(100) - discount)).divided(100, std::clamp(decimals, 0, 12));
}

QList<SaleLine> billLines(const QSqlDatabase& db, const QString& operatorName, int bill, int decimals) {
    return readLines(db,
                     QStringLiteral("SELECT ") + kLineColumns +
                         QStringLiteral(" FROM Prodajbi_Vremenni P JOIN Valuti V ON V.Opisanie = P.Valuta "
                                        "WHERE P.Operator = ? AND P.Sm_N = ? ORDER BY P.N_Prodajba"),
                     {operatorName, bill}, decimals);
}

QList<SaleLine> allOperatorLines(const QSqlDatabase& db, const QString& operatorName, int decimals) {
    return readLines(
        db,
        QStringLiteral("SELECT ") + kLineColumns +
            QStringLiteral(" FROM Prodajbi_Vremenni P LEFT JOIN Valuti V ON V.Opisanie = P.Valuta "
                           "WHERE P.Operator = ? ORDER BY P.N_Prodajba"),
        {operatorName}, decimals);
}

SaleTotals recalculateSale(const QSqlDatabase& db, const SaleContext& c) {
    SaleTotals t;
    t.lines = billLines(db, c.operatorName, c.bill, c.decimals);
    struct Change {
        qint64 line;
        Decimal unitNet, lineNet;
    };
    QList<Change> changes;
    QList<VatLine> amounts;
    for (SaleLine& l : t.lines) {
        t.total += l.amount;
        const Decimal rate = c.vatRates.of(l.taxGroup);
        amounts << VatLine{l.number, rate, l.amount};
        const LineNet net = lineNet(l.quantity, l.unitPrice, l.discount, rate, c.decimals);
        if (net.unitNet != l.unitNet || net.lineNet != l.lineNet)
            changes << Change{l.number, net.unitNet, net.lineNet};
        l.unitNet = net.unitNet;
        l.lineNet = net.lineNet;
    }
    if (!changes.isEmpty()) {
        Transaction tx(db);
        for (const Change& ch : changes)
            execSql(db,
                    QStringLiteral("UPDATE Prodajbi_Vremenni SET Bez_DDS = ?, SUM_BezDDS = ? "
                                   "WHERE N_Prodajba = ? AND Operator = ?"),
                    {numberColumnValue(ch.unitNet), numberColumnValue(ch.lineNet), ch.line, c.operatorName});
        tx.commit();
    }
    t.vat = splitVatByRate(amounts);
    return t;
}

VatTotals saleLinesVat(const QSqlDatabase& db, const QList<qint64>& lines, int decimals,
                       const VatRates& rates) {
    QList<VatLine> amounts;
    if (!lines.isEmpty()) {
        QStringList marks;
        QVariantList keys;
        for (qint64 l : lines) {
            marks << QStringLiteral("?");
            keys << l;
        }
        const QList<SaleLine> found =
            readLines(db,
                      QStringLiteral("SELECT ") + kLineColumns +
                          QStringLiteral(" FROM Prodajbi_Vremenni P JOIN Valuti V ON V.Opisanie = P.Valuta "
                                         "WHERE P.N_Prodajba IN (%1) ORDER BY P.N_Prodajba")
                              .arg(marks.join(QStringLiteral(", "))),
                      keys, decimals);
        for (const SaleLine& l : found)
            amounts << VatLine{l.number, rates.of(l.taxGroup), l.amount};
    }
    return splitVatByRate(amounts);
}

std::optional<Decimal> parsePositiveAmount(const QString& text) {
    const std::optional<Decimal> d = Decimal::parse(text);
    if (!d || d->sign() <= 0)
        return std::nullopt;
    return d;
}

int storedPriceDecimals(int displayDecimals) {
    return std::max(displayDecimals, 2);
}

namespace {

// The value cut to the decimals towards minus infinity.
Decimal floored(const Decimal& value, int decimals) {
    const Decimal rounded = value.rounded(decimals);
    if (rounded <= value)
        return rounded;
    return rounded - Decimal::fromScaled(1, decimals);
}

} // namespace

Decimal discountFromPrice(const Decimal& cataloguePrice, const Decimal& typedPrice, const Decimal& quantity,
                          const Decimal& rate, int decimals) {
    const Decimal exact = ((cataloguePrice - typedPrice) * 100).divided(cataloguePrice, Decimal::kMaxScale);
    const int priceScale = std::max(storedPriceDecimals(decimals), typedPrice.scale());
    const Decimal typedAmount = lineAmount(quantity, typedPrice, rate, 0, decimals);
    constexpr int kMostDecimals = 10;
    for (int scale = std::clamp(decimals, 0, kMostDecimals); scale < kMostDecimals; ++scale) {
        const Decimal d = floored(exact, scale);
        const Decimal charged = (cataloguePrice * (Decimal(100) - d)).divided(100, priceScale);
        if (charged == typedPrice.rounded(priceScale) &&
            lineAmount(quantity, cataloguePrice, rate, d, decimals) == typedAmount)
            return d;
    }
    return floored(exact, kMostDecimals);
}

EnterResult enterLine(const QSqlDatabase& db, const SaleContext& c, const LineEntry& e,
                      std::optional<qint64> editing) {
    EnterResult r;
    QSqlQuery a =
        execSql(db,
                QStringLiteral("SELECT Opisanie, Mqrka, Ed_Cena, Valuta_P, Max_TO, Dan_Grup, Prigotvq_Se "
                               "FROM Produkti WHERE ID = ?"),
                {e.article});
    if (!a.next()) {
        r.status = EnterResult::NoArticle;
        return r;
    }
    const QString description = a.value(0).toString();
    const QString unit = a.value(1).toString();
    Decimal cataloguePrice = fromNumberColumn(a.value(2), kPriceScale);
    const QString currency = a.value(3).toString();
    const Decimal maxDiscount = fromNumberColumn(a.value(4), kDiscountScale);
    const int taxGroup = a.value(5).toInt();
    const int department = a.value(6).toInt();
    // Done with the read: a statement left open keeps its snapshot, and on
    // SQLite the line's insert below could then never take the write lock
    // once another workstation has written meanwhile.
    a.finish();

    if (e.typedPrice.sign() <= 0) {
        r.status = EnterResult::IncorrectData;
        return r;
    }
    // Zero-priced articles take the typed price.
    if (cataloguePrice.isZero())
        cataloguePrice = e.typedPrice;
    const int decimals = storedPriceDecimals(c.decimals);
    const Decimal storedPrice = cataloguePrice.rounded(decimals);

    std::optional<Decimal> keptDiscount;
    if (editing) {
        QSqlQuery old = execSql(
            db,
            QStringLiteral(
                "SELECT Barkod, Ed_Cena, T_O FROM Prodajbi_Vremenni WHERE N_Prodajba = ? AND Operator = ?"),
            {*editing, c.operatorName});
        if (!old.next()) {
            r.status = EnterResult::Gone;
            return r;
        }
        // An edit of the quantity alone keeps the line's discount.
        if (old.value(0).toLongLong() == e.article &&
            fromNumberColumn(old.value(1), kPriceScale) == e.typedPrice.rounded(decimals))
            keptDiscount = fromNumberColumn(old.value(2), kDiscountScale);
        old.finish();
    }

    Decimal discount;
    if (keptDiscount) {
        discount = *keptDiscount;
    } else {
        const Decimal counterpartyPercent = counterpartyDiscount(db, c.counterparty, e.article).rounded(4);
        if (counterpartyPercent.sign() > 0) {
            discount = counterpartyPercent;
        } else {
            if (storedPrice.isZero()) {
                r.status = EnterResult::IncorrectData;
                return r;
            }
            const Decimal rate = Decimal::fromVariant(scalarSql(db,
                                                                QStringLiteral("SELECT Kurs FROM Valuti "
                                                                               "WHERE Opisanie = ?"),
                                                                {currency}))
                                     .value_or(Decimal(1))
                                     .rounded(kRateScale);
            discount = discountFromPrice(storedPrice, e.typedPrice, e.quantity, rate, c.decimals);
        }
        if (!maxDiscount.isZero() && discount > maxDiscount) {
            r.status = EnterResult::AboveMaximum;
            r.maxDiscount = maxDiscount;
            return r;
        }
    }
    r.discount = discount;
    const LineNet net = lineNet(e.quantity, storedPrice, discount, c.vatRates.of(taxGroup), c.decimals);

    Transaction tx(db);
    if (editing) {
        QSqlQuery u = execSql(
            db,
            QStringLiteral(
                "UPDATE Prodajbi_Vremenni SET Barkod = ?, Opisanie = ?, Kol = ?, Mqrka = ?, Ed_Cena = ?, "
                "Valuta = ?, Pored_Ot = ?, Pored_Do = ?, T_O = ?, SUM_BezDDS = ?, Bez_DDS = ?, "
                "Dan_Grup = ?, Prigotvq_Se = ?, Nomenkl_N = ? WHERE N_Prodajba = ? AND Operator = ?"),
            {e.article, description, numberColumnValue(e.quantity), unit, numberColumnValue(storedPrice),
             currency, e.serialFrom, e.serialTo, numberColumnValue(discount), numberColumnValue(net.lineNet),
             numberColumnValue(net.unitNet), taxGroup, department,
             catalogueNumberFor(db, e.article, c.counterparty), *editing, c.operatorName});
        if (u.numRowsAffected() != 1) {
            r.status = EnterResult::Gone;
            return r;
        }
        r.status = EnterResult::Rewritten;
        r.line = *editing;
    } else {
        r.line = insertReturningKey(
            db,
            QStringLiteral(
                "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, Operator, "
                "Pored_Ot, Pored_Do, T_O, SUM_BezDDS, Bez_DDS, Sm_N, Term_N, Nomenkl_N, Dan_Grup, "
                "Prigotvq_Se) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {e.article, description, numberColumnValue(e.quantity), unit, numberColumnValue(storedPrice),
             currency, c.operatorName, e.serialFrom, e.serialTo, numberColumnValue(discount),
             numberColumnValue(net.lineNet), numberColumnValue(net.unitNet), c.bill, c.terminal,
             catalogueNumberFor(db, e.article, c.counterparty), taxGroup, department},
            QStringLiteral("N_Prodajba"));
        r.status = EnterResult::Added;
    }
    tx.commit();
    return r;
}

QList<qint64> addElementLines(const QSqlDatabase& db, const SaleContext& c,
                              const QList<ElementLine>& elements) {
    QList<qint64> added;
    Transaction tx(db);
    for (const ElementLine& e : elements) {
        QSqlQuery a =
            execSql(db,
                    QStringLiteral(
                        "SELECT Opisanie, Mqrka, Valuta_P, Dan_Grup, Prigotvq_Se FROM Produkti WHERE ID = ?"),
                    {e.article});
        if (!a.next())
            continue;
        added << insertReturningKey(
            db,
            QStringLiteral(
                "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, Operator, "
                "Pored_Ot, Pored_Do, T_O, SUM_BezDDS, Bez_DDS, Sm_N, Term_N, Nomenkl_N, Dan_Grup, "
                "Prigotvq_Se) VALUES (?, ?, ?, ?, 0, ?, ?, ?, ?, 0, 0, 0, ?, ?, ?, ?, ?)"),
            {e.article, a.value(0), numberColumnValue(e.quantity), a.value(1), a.value(2), c.operatorName,
             e.serialFrom, e.serialTo, c.bill, c.terminal, catalogueNumberFor(db, e.article, c.counterparty),
             a.value(3).toInt(), a.value(4).toInt()},
            QStringLiteral("N_Prodajba"));
    }
    tx.commit();
    return added;
}

int cancelLines(const QSqlDatabase& db, const QString& operatorName, const QList<qint64>& lines, int page) {
    int deleted = 0;
    // In the order of their numbers, as a sale locks them.
    QList<qint64> ordered = lines;
    std::sort(ordered.begin(), ordered.end());
    Transaction tx(db);
    for (qint64 line : ordered) {
        QSqlQuery q =
            execSql(db, QStringLiteral("DELETE FROM Prodajbi_Vremenni WHERE N_Prodajba = ? AND Operator = ?"),
                    {line, operatorName});
        if (q.numRowsAffected() > 0) {
            ++deleted;
            execSql(db, QStringLiteral("DELETE FROM Printed_Dok WHERE ID_Prod = ? AND Ot_Kade_Prod = ?"),
                    {line, page});
        }
    }
    tx.commit();
    return deleted;
}

void applyFreeDiscount(const QSqlDatabase& db, const SaleContext& c, const QList<qint64>& articles,
                       const Decimal& percent) {
    if (percent > Decimal(100))
        throw EConvertError(texts::kDiscountAbove100);
    const Decimal p = percent.rounded(4);
    Transaction tx(db);
    for (qint64 article : articles)
        execSql(db,
                QStringLiteral(
                    "UPDATE Prodajbi_Vremenni SET T_O = ? WHERE Operator = ? AND Barkod = ? AND Sm_N = ?"),
                {numberColumnValue(p), c.operatorName, article, c.bill});
    tx.commit();
}

std::optional<Decimal> discountBetweenPrices(const Decimal& oldPrice, const Decimal& newPrice) {
    if (oldPrice.isZero())
        return std::nullopt;
    return ((oldPrice - newPrice) * 100).divided(oldPrice, 4);
}

} // namespace torvika
