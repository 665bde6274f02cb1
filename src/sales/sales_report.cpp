#include "sales/sales_report.h"

#include "common/cformat.h"
#include "common/dates.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "sales/texts.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace torvika {

namespace {

// The report's rows: every line, whatever it joins.
const QString kFrom = QStringLiteral(
    " FROM Prodajbi P LEFT JOIN Produkti A ON A.ID = P.ID_Art LEFT JOIN Grupi G ON G.ID = A.Nomer_Grupa "
    "LEFT JOIN Firmi F ON F.ID = P.ID_Klient LEFT JOIN Valuti V ON V.Opisanie = P.Valuta "
    "LEFT JOIN Sklad S ON S.ID_Sklad = P.Sklad_ID");

const QString kAmount = QStringLiteral("(P.Kol * P.ED_Cena * V.Kurs * (100 - P.T_O) / 100)");

template <typename T, typename Bind>
void addRangeOf(SqlConditions& c, const QString& column, const Range<T>& range, Bind bind) {
    switch (range.comparison) {
    case Comparison::Equal:
        c.conditions << column + QStringLiteral(" = ?");
        c.values << bind(range.from);
        return;
    case Comparison::AtMost:
        c.conditions << column + QStringLiteral(" <= ?");
        c.values << bind(range.from);
        return;
    case Comparison::AtLeast:
        c.conditions << column + QStringLiteral(" >= ?");
        c.values << bind(range.from);
        return;
    case Comparison::Between: {
        // "От" after "До" searches the same span.
        const bool swapped = range.to < range.from;
        c.conditions << column + QStringLiteral(" BETWEEN ? AND ?");
        c.values << bind(swapped ? range.to : range.from) << bind(swapped ? range.from : range.to);
        return;
    }
    }
}

QString marks(qsizetype count) {
    QStringList m;
    for (qsizetype i = 0; i < count; ++i)
        m << QStringLiteral("?");
    return m.join(QStringLiteral(", "));
}

Decimal amountOf(const QVariant& quantity, const QVariant& price, const QVariant& rate,
                 const QVariant& discount, int decimals) {
    return lineAmount(fromNumberColumn(quantity, kQuantityScale), fromNumberColumn(price, kPriceScale),
                      fromNumberColumn(rate, kRateScale), fromNumberColumn(discount, kDiscountScale),
                      decimals);
}

QVariantList keyValues(const QList<qint64>& lines) {
    QVariantList v;
    for (qint64 l : lines)
        v << l;
    return v;
}

} // namespace

QString SqlConditions::where() const {
    return conditions.isEmpty() ? QString()
                                : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
}

void addRange(SqlConditions& c, const QString& column, const Range<QDate>& range) {
    addRangeOf(c, column, range, [](const QDate& d) { return QVariant(isoDate(d)); });
}

void addRange(SqlConditions& c, const QString& column, const Range<QTime>& range) {
    addRangeOf(c, column, range, [](const QTime& t) { return QVariant(shortTime(t)); });
}

void addRange(SqlConditions& c, const QString& column, const Range<Decimal>& range) {
    addRangeOf(c, column, range, [](const Decimal& d) { return numberColumnValue(d); });
}

QString lineAmountExpression() {
    return kAmount;
}

QString shownAmountExpression(int decimals) {
    return QStringLiteral("ROUND(CAST(%1 AS NUMERIC), %2)").arg(kAmount).arg(std::clamp(decimals, 0, 12));
}

SqlConditions salesConditions(const SalesReportCriteria& c, int decimals) {
    SqlConditions w;
    if (c.counterparty) {
        w.conditions << QStringLiteral("P.ID_Klient = ?");
        w.values << *c.counterparty;
    }
    if (c.articles) {
        if (c.articles->isEmpty()) {
            w.conditions << QStringLiteral("1 = 0");
        } else {
            w.conditions << QStringLiteral("P.ID_Art IN (%1)").arg(marks(c.articles->size()));
            for (qint64 a : *c.articles)
                w.values << a;
        }
    }
    if (c.date)
        addRange(w, QStringLiteral("P.D_Prodajba"), *c.date);
    if (c.time)
        addRange(w, QStringLiteral("P.T_Prodajba"), *c.time);
    if (c.operatorName) {
        w.conditions << QStringLiteral("P.Operator = ?");
        w.values << *c.operatorName;
    }
    if (c.payKind) {
        w.conditions << QStringLiteral("P.Type_Pay = ?");
        w.values << *c.payKind;
    }
    if (c.warehouse) {
        w.conditions << QStringLiteral("P.Sklad_ID = ?");
        w.values << *c.warehouse;
    }
    if (c.uniqueSaleNumber) {
        w.conditions << QStringLiteral("UPPER(P.UNP) LIKE ?");
        w.values << u'%' + c.uniqueSaleNumber->trimmed().toUpper() + u'%';
    }
    // The amount as the list shows it.
    if (c.amount)
        addRange(w, shownAmountExpression(decimals), *c.amount);
    return w;
}

const QStringList& comparisonTexts() {
    static const QStringList texts{texts::kCompareEqual, texts::kCompareAtMost, texts::kCompareAtLeast,
                                   texts::kCompareBetween};
    return texts;
}

QString comparisonText(Comparison comparison) {
    return comparisonTexts().value(int(comparison));
}

PaymentState paymentState(qint64 consignment) {
    if (consignment > 0)
        return PaymentState::Open;
    if (consignment < 0)
        return PaymentState::PaidOff;
    return PaymentState::Paid;
}

std::optional<QList<qint64>> reportArticles(const QList<qint64>& marked, const QString& label) {
    if (!marked.isEmpty())
        return marked;
    // "<ID>:<name>" names one article; "<n1>;<n2>;" several.
    const int id = GetID_MFromTreeNodeName(label);
    if (id >= 0)
        return QList<qint64>{id};
    QList<qint64> out;
    for (const QString& part : label.split(u';', Qt::SkipEmptyParts)) {
        bool ok = false;
        const qint64 n = part.trimmed().toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        out << n;
    }
    if (out.isEmpty())
        return std::nullopt;
    return out;
}

SqlStatement salesReportStatement(const SalesReportCriteria& criteria, int decimals) {
    const SqlConditions w = salesConditions(criteria, decimals);
    SqlStatement s;
    // Wrapped, so that a title sorts by the list's own column names.
    s.text =
        QStringLiteral("SELECT * FROM (SELECT P.ID_Prodajba, P.ID_Art, G.ID AS ID_Grupa, G.Opisanie AS "
                       "Ime_Grupa, A.Opisanie, "
                       "P.Kol, P.ED_Cena, P.Valuta, P.T_O, ") +
        kAmount +
        QStringLiteral(" AS Suma, P.D_Prodajba, P.T_Prodajba, F.Ime_Firma, P.Operator, P.Pored_Ot, "
                       "P.Pored_Do, P.Type_Pay, P.Term_N, S.Opis_Sklad, P.Konsign_N, P.ID_Klient, P.UNP, "
                       // The device's receipt, or the mark of a sale that owes its receipt.
                       "(SELECT CASE WHEN B.Bon_File = '' THEN ? ELSE B.Bon_Nomer END FROM Prodajbi_Bon B "
                       "WHERE B.ID_Prodajba = P.ID_Prodajba) AS Bon") +
        kFrom + w.where() + QStringLiteral(") R\nORDER BY ID_Prodajba");
    s.values = QVariantList{texts::kReceiptOwed} + w.values;
    s.key = QStringLiteral("ID_Prodajba");
    return s;
}

SalesReportTotals salesReportTotals(const QSqlDatabase& db, const SalesReportCriteria& criteria,
                                    int decimals) {
    const SqlConditions w = salesConditions(criteria, decimals);
    // Lines of the same figures are read once: each amount is rounded as
    // the line's own, then counted as often as the line occurs.
    QSqlQuery q = execSql(db,
                          QStringLiteral("SELECT P.Kol, P.ED_Cena, V.Kurs, P.T_O, "
                                         "CASE WHEN P.Konsign_N > 0 THEN 1 WHEN P.Konsign_N < 0 THEN 2 "
                                         "ELSE 0 END AS State, P.Valuta, COUNT(*)") +
                              kFrom + w.where() +
                              QStringLiteral(" GROUP BY P.Kol, P.ED_Cena, V.Kurs, P.T_O, "
                                             "CASE WHEN P.Konsign_N > 0 THEN 1 WHEN P.Konsign_N < 0 THEN 2 "
                                             "ELSE 0 END, P.Valuta"),
                          w.values);
    SalesReportTotals t;
    while (q.next()) {
        const qint64 count = q.value(6).toLongLong();
        t.lines += count;
        if (q.value(2).isNull()) {
            const QString currency = q.value(5).toString();
            if (!t.currenciesWithoutRate.contains(currency))
                t.currenciesWithoutRate << currency;
            continue;
        }
        const Decimal amount =
            amountOf(q.value(0), q.value(1), q.value(2), q.value(3), decimals) * Decimal(count);
        switch (q.value(4).toInt()) {
        case 1:
            t.open += amount;
            break;
        case 2:
            t.paidOff += amount;
            break;
        default:
            t.paid += amount;
        }
    }
    return t;
}

QStringList salesReportTotalTexts(const SalesReportTotals& totals, int decimals,
                                  const QString& currencyWord) {
    return {texts::kTotalPaidCaption.arg(currencyWord) + formatFixed(totals.paid, decimals),
            texts::kTotalOpenCaption.arg(currencyWord) + formatFixed(totals.open, decimals),
            texts::kTotalPaidOffCaption.arg(currencyWord) + formatFixed(totals.paidOff, decimals)};
}

QStringList salesReportHeading(const QString& title, const QDateTime& now,
                               const QList<SalesReportHeadingCriterion>& criteria) {
    QStringList lines{QString(), u'\t' + title, QString(),
                      QStringLiteral("\tДата:") + shortDate(now.date()) + u' ' + shortTime(now.time()),
                      QStringLiteral("\tТЪРСЕНЕ ПО:")};
    for (const SalesReportHeadingCriterion& c : criteria) {
        QString line = QStringLiteral("\t  ") + c.caption;
        if (!c.comparison || *c.comparison == Comparison::Equal)
            line += c.value;
        else if (*c.comparison == Comparison::Between)
            line += comparisonText(*c.comparison) + u' ' + c.value + QStringLiteral(" - ") + c.to;
        else
            line += comparisonText(*c.comparison) + u' ' + c.value;
        lines << line;
    }
    return lines;
}

QStringList reportOperatorNames(const QSqlDatabase& db) {
    QStringList out;
    for (const QVariantList& r : readRows(db, QStringLiteral("SELECT Ime FROM Operators ORDER BY ID")).rows)
        out << r[0].toString();
    return out;
}

SaleDocumentPlan planSaleDocuments(const QSqlDatabase& db, const QList<qint64>& chosen) {
    SaleDocumentPlan plan;
    if (chosen.isEmpty())
        return plan;
    const SqlRows rows = readRows(
        db,
        QStringLiteral("SELECT ID_Prodajba, ID_Art, ID_Klient FROM Prodajbi WHERE ID_Prodajba IN (%1)")
            .arg(marks(chosen.size())),
        keyValues(chosen));
    QHash<qint64, QVariantList> found;
    for (const QVariantList& r : rows.rows)
        found.insert(r[0].toLongLong(), r);
    QSet<qint64> seen;
    for (qint64 line : chosen) {
        if (seen.contains(line))
            continue;
        seen.insert(line);
        const auto it = found.constFind(line);
        if (it == found.constEnd()) {
            plan.gone << line;
            continue;
        }
        if (it->at(1).toLongLong() == 0) {
            plan.payments << line;
            continue;
        }
        const qint64 counterparty = std::max<qint64>(0, it->at(2).toLongLong());
        auto doc =
            std::find_if(plan.documents.begin(), plan.documents.end(),
                         [&](const SaleDocumentPlan::Document& d) { return d.counterparty == counterparty; });
        if (doc == plan.documents.end()) {
            plan.documents.append(SaleDocumentPlan::Document{counterparty, {}});
            doc = plan.documents.end() - 1;
        }
        doc->lines << line;
    }
    return plan;
}

QList<SaleLine> recordedSaleLines(const QSqlDatabase& db, const QList<qint64>& lines, int decimals,
                                  StoredLines from) {
    QList<SaleLine> out;
    if (lines.isEmpty())
        return out;
    const QString table =
        from == StoredLines::Recorded ? QStringLiteral("Prodajbi") : QStringLiteral("Invalidate_Sales");
    QSqlQuery q = execSql(
        db,
        QStringLiteral(
            "SELECT P.ID_Prodajba, P.ID_Art, P.Kol, P.ED_Cena, P.Valuta, P.T_O, P.Operator, "
            "P.Term_N, P.Pored_Ot, P.Pored_Do, A.Opisanie, A.Dan_Grup, A.Prigotvq_Se, A.Mqrka, V.Kurs "
            "FROM %1 P LEFT JOIN Produkti A ON A.ID = P.ID_Art "
            "LEFT JOIN Valuti V ON V.Opisanie = P.Valuta WHERE P.ID_Prodajba IN (%2)")
            .arg(table, marks(lines.size())),
        keyValues(lines));
    QHash<qint64, SaleLine> found;
    while (q.next()) {
        SaleLine l;
        l.number = q.value(0).toLongLong();
        l.article = q.value(1).toLongLong();
        l.quantity = fromNumberColumn(q.value(2), kQuantityScale);
        l.unitPrice = fromNumberColumn(q.value(3), kPriceScale);
        l.currency = q.value(4).toString();
        l.discount = fromNumberColumn(q.value(5), kDiscountScale);
        l.operatorName = q.value(6).toString();
        l.terminal = q.value(7).toInt();
        l.serialFrom = q.value(8).toString();
        l.serialTo = q.value(9).toString();
        if (l.article == 0) {
            // An instalment payment: money towards a credit, at the
            // standard rate as its receipt line prints it.
            l.description = texts::kPaymentLineName;
            l.taxGroup = kStandardTaxGroup;
        } else {
            // An article deleted since is named by its number.
            l.description = q.value(10).isNull() ? QString::number(l.article) : q.value(10).toString();
            l.taxGroup = q.value(11).toInt();
            l.department = q.value(12).toInt();
            l.unit = q.value(13).toString();
        }
        if (!q.value(14).isNull()) {
            l.rate = fromNumberColumn(q.value(14), kRateScale);
            l.amount = lineAmount(l.quantity, l.unitPrice, *l.rate, l.discount, decimals);
        }
        found.insert(l.number, l);
    }
    QSet<qint64> seen;
    for (qint64 line : lines)
        if (found.contains(line) && !seen.contains(line)) {
            seen.insert(line);
            out << found.value(line);
        }
    return out;
}

VatTotals recordedSalesVat(const QSqlDatabase& db, const QList<qint64>& lines, int decimals,
                           const VatRates& rates, StoredLines from) {
    QList<VatLine> amounts;
    for (const SaleLine& l : recordedSaleLines(db, lines, decimals, from))
        if (l.rate)
            amounts << VatLine{l.number, rates.of(l.taxGroup), l.amount};
    return splitVatByRate(amounts);
}

QList<qint64> linesWithReceipt(const QSqlDatabase& db, const QList<qint64>& lines) {
    QList<qint64> out;
    if (lines.isEmpty())
        return out;
    const SqlRows rows = readRows(
        db,
        QStringLiteral("SELECT ID_Prodajba FROM Prodajbi_Bon WHERE ID_Prodajba IN (%1) AND Bon_File <> ''")
            .arg(marks(lines.size())),
        keyValues(lines));
    QSet<qint64> printed;
    for (const QVariantList& r : rows.rows)
        printed.insert(r[0].toLongLong());
    for (qint64 l : lines)
        if (printed.contains(l) && !out.contains(l))
            out << l;
    return out;
}

namespace {

// The chosen lines, each once, in their order.
QList<qint64> distinct(const QList<qint64>& chosen) {
    QList<qint64> numbers;
    for (qint64 l : chosen)
        if (!numbers.contains(l))
            numbers << l;
    return numbers;
}

// Inside the caller's transaction: locks the rows in the order of their
// numbers (another workstation printing or invalidating them waits) and
// reads them, all still recorded, none with a receipt, every currency with
// a rate; else the result says why and no line is returned.
QList<SaleLine> linesForReceipt(const QSqlDatabase& db, const QList<qint64>& numbers, int decimals,
                                ReportReceipt& result) {
    QList<qint64> locking = numbers;
    std::sort(locking.begin(), locking.end());
    for (qint64 number : locking) {
        const QSqlQuery q =
            execSql(db, QStringLiteral("UPDATE Prodajbi SET ID_Prodajba = ID_Prodajba WHERE ID_Prodajba = ?"),
                    {number});
        if (q.numRowsAffected() < 1) {
            result.status = ReportReceipt::Gone;
            return {};
        }
    }
    if (!linesWithReceipt(db, numbers).isEmpty()) {
        result.status = ReportReceipt::AlreadyPrinted;
        return {};
    }
    QList<SaleLine> lines = recordedSaleLines(db, numbers, decimals);
    if (lines.size() != numbers.size()) {
        result.status = ReportReceipt::Gone;
        return {};
    }
    result.currencies = currenciesWithoutRate(lines);
    if (!result.currencies.isEmpty()) {
        result.status = ReportReceipt::NoRate;
        return {};
    }
    return lines;
}

Decimal amountOf(const QList<SaleLine>& lines) {
    Decimal amountDue;
    for (const SaleLine& l : lines)
        amountDue += l.amount;
    return amountDue;
}

} // namespace

ReportReceipt reportHttpReceipt(const QSqlDatabase& db, const QList<qint64>& chosen,
                                const FiscalServer& server, int decimals, HttpSaleReceipt& receipt) {
    ReportReceipt result;
    const QList<qint64> numbers = distinct(chosen);
    Transaction t(db);
    const QList<SaleLine> lines = linesForReceipt(db, numbers, decimals, result);
    if (lines.isEmpty())
        return result;
    QStringList unps;
    for (qint64 number : numbers)
        unps << scalarSql(db, QStringLiteral("SELECT UNP FROM Prodajbi WHERE ID_Prodajba = ?"), {number})
                    .toString()
                    .trimmed();
    unps.removeDuplicates();
    if (unps.size() != 1) {
        result.status = ReportReceipt::SeveralSales;
        return result;
    }
    if (unps.first().isEmpty()) {
        result.status = ReportReceipt::NoSaleNumber;
        return result;
    }
    // A unique sale number is printed on one receipt: once a part of the
    // sale has its receipt, the device takes no other under that number.
    if (scalarSql(db,
                  QStringLiteral("SELECT COUNT(*) FROM Prodajbi P JOIN Prodajbi_Bon B ON B.ID_Prodajba = "
                                 "P.ID_Prodajba WHERE P.UNP = ? AND B.Bon_File <> ''"),
                  {unps.first()})
            .toInt() > 0) {
        result.status = ReportReceipt::SaleNumberUsed;
        result.unp = unps.first();
        return result;
    }
    // The task is named by the sale's number: the same sale sent twice,
    // here or on another workstation, is printed once.
    receipt = httpSaleReceipt(lines, amountOf(lines), unps.first(), server);
    t.commit();
    return result;
}

ReportReceipt printReportReceipt(FiscalState& state, const QSqlDatabase& db, const QList<qint64>& chosen,
                                 const FiscalSettings& settings, const BonHeader& header, int decimals) {
    ReportReceipt result;
    const QList<qint64> numbers = distinct(chosen);
    Transaction t(db);
    const QList<SaleLine> lines = linesForReceipt(db, numbers, decimals, result);
    if (lines.isEmpty())
        return result;
    const Decimal amountDue = amountOf(lines);
    // A fiscal receipt whatever a sale prints, without the departments'
    // tickets, which went with the sale.
    FiscalSettings fiscal = settings;
    fiscal.saleReceipt = kFiscalReceipt;
    result.bon = printSaleReceiptAgain(state, receiptLines(lines), amountDue, db, fiscal, header);
    if (result.bon.receiptFile.isEmpty()) {
        result.status = ReportReceipt::NotWritten;
        return result;
    }
    for (qint64 number : numbers)
        execSql(db,
                QStringLiteral("INSERT INTO Prodajbi_Bon (ID_Prodajba, Bon_File) VALUES (?, ?) "
                               "ON CONFLICT (ID_Prodajba) DO UPDATE SET Bon_File = excluded.Bon_File"),
                {number, result.bon.receiptFile});
    t.commit();
    return result;
}

} // namespace torvika
