#include "sales/sale_completion.h"

#include "catalogue/orders.h"
#include "catalogue/stock.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "sales/receipt_files.h"
#include "sales/texts.h"
#include "sales/unp.h"

#include <QHash>
#include <QVariant>
#include <algorithm>

namespace torvika {

QString payKindCaption(PayKind kind) {
    switch (kind) {
    case PayKind::Cash:
        return texts::kPayCash;
    case PayKind::BankTransfer:
        return texts::kPayBankTransfer;
    case PayKind::Deferred:
        return texts::kPayDeferred;
    }
    return {};
}

QList<OrderProposal> minimumStockProposals(const QSqlDatabase& db, const QList<SaleLine>& lines,
                                           int warehouse) {
    QList<qint64> articles;
    QHash<qint64, Decimal> sold;
    QHash<qint64, const SaleLine*> first;
    for (const SaleLine& line : lines) {
        if (!first.contains(line.article)) {
            articles << line.article;
            first.insert(line.article, &line);
        }
        sold[line.article] += line.quantity;
    }
    QList<OrderProposal> proposals;
    for (qint64 id : articles) {
        const QList<QVariantList> article =
            readRows(db, QStringLiteral("SELECT Min_Kol, Dostav4ik FROM Produkti WHERE ID = ?"), {id}).rows;
        if (article.isEmpty())
            continue;
        const Decimal minimum = fromNumberColumn(article.first().value(0));
        const Decimal stock = stockIn(db, id, warehouse).value_or(Decimal());
        if (stock - sold.value(id) > minimum)
            continue;
        if (CHECK_REPEATED_NUMBERS(db, QStringLiteral("Zaqvki_All"), QStringLiteral("Art_ID"), id))
            continue;

        OrderProposal p;
        p.article = id;
        p.description = first.value(id)->description;
        p.currency = first.value(id)->currency;
        p.supplier = texts::kNoSupplierFound;
        // The article's number with its own supplier (Produkti.Dostav4ik).
        const QList<QVariantList> supplier =
            readRows(db,
                     QStringLiteral("SELECT N.Nomenkl_N, F.ID, F.Ime_Firma "
                                    "FROM Nomenklatures N JOIN Firmi F ON F.ID = N.ID_Kontrag "
                                    "WHERE N.ID = ? AND N.ID_Kontrag = ?"),
                     {id, article.first().value(1)})
                .rows;
        if (!supplier.isEmpty()) {
            const QVariantList& s = supplier.first();
            p.catalogueNumber = s.value(0).toString();
            p.supplier = refText(s.value(1).toLongLong(), s.value(2).toString());
        }
        proposals << p;
    }
    return proposals;
}

bool writeOrderProposal(const QSqlDatabase& db, const OrderProposal& p, const QDate& today) {
    Transaction t(db);
    lockTableForWriting(db, QStringLiteral("Zaqvki_All"));
    if (CHECK_REPEATED_NUMBERS(db, QStringLiteral("Zaqvki_All"), QStringLiteral("Art_ID"), p.article))
        return false;
    OrderLine line;
    line.date = today;
    line.article = p.article;
    line.supplierNumber = p.catalogueNumber;
    line.description = p.description;
    line.quantity = Decimal(1);
    line.currency = p.currency;
    line.requester = texts::kNoClientChosen;
    line.supplier = p.supplier;
    addOrderLine(db, line);
    t.commit();
    return true;
}

SaleResult recordSale(const QSqlDatabase& db, const SaleRequest& r) {
    SaleResult result;
    if (r.lines.isEmpty()) {
        result.status = SaleResult::Changed;
        return result;
    }
    Transaction t(db);
    // Locks the lines first (on PostgreSQL their rows, on SQLite the whole
    // database from the transaction's start), so that what is read below is
    // what is sold: the same operator on another workstation waits until this
    // sale is done and then finds the lines gone. In the order of their
    // numbers, whatever the order selected: two sessions never hold one line
    // each while waiting for the other's.
    QList<qint64> locking = r.lines;
    std::sort(locking.begin(), locking.end());
    for (qint64 number : locking) {
        const QSqlQuery q = execSql(
            db,
            QStringLiteral("UPDATE Prodajbi_Vremenni SET Operator = ? WHERE N_Prodajba = ? AND Operator = ?"),
            {r.operatorName, number, r.operatorName});
        if (q.numRowsAffected() != 1) {
            result.status = SaleResult::Changed;
            return result;
        }
    }
    QList<qint64> lastFirst(r.lines.rbegin(), r.lines.rend());
    const QList<SaleLine> lines = pendingSaleLines(db, r.operatorName, lastFirst, r.decimals);
    if (lines.size() != lastFirst.size()) {
        result.status = SaleResult::Changed;
        return result;
    }
    result.currencies = currenciesWithoutRate(lines);
    if (!result.currencies.isEmpty()) {
        result.status = SaleResult::NoRate;
        return result;
    }
    Decimal total;
    for (const SaleLine& line : lines)
        total += line.amount;
    if (total != r.amountDue) {
        result.status = SaleResult::Changed;
        return result;
    }

    qint64 consignment = r.consignment;
    if (r.credit) {
        CreditTerms terms = *r.credit;
        terms.counterparty = r.counterparty;
        result.credit =
            recordCredit(db, terms, total, {r.operatorName, r.when, lines.first().terminal, r.warehouse});
        consignment = result.credit.consignment;
    }
    const QString date = isoDate(r.when.date());
    const QString time = shortTime(r.when.time());
    const QString payment = payKindCaption(r.pay);
    if (!r.fiscalDevice.isEmpty())
        result.unp = takeUniqueSaleNumber(db, r.fiscalDevice, r.operatorName);
    for (const SaleLine& line : lines) {
        execSql(db, QStringLiteral("DELETE FROM Prodajbi_Vremenni WHERE N_Prodajba = ? AND Operator = ?"),
                {line.number, r.operatorName});
        execSql(db,
                QStringLiteral(
                    "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, "
                    "ED_Cena, Valuta, ID_Klient, T_O, Konsign_N, Pored_Ot, Pored_Do, Type_Pay, Term_N, "
                    "Sklad_ID, UNP) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {line.number, line.article, r.operatorName, date, time, numberColumnValue(line.quantity),
                 numberColumnValue(line.unitPrice), line.currency, r.counterparty,
                 numberColumnValue(line.discount), consignment, line.serialFrom, line.serialTo, payment,
                 line.terminal, r.warehouse, result.unp.isEmpty() ? QVariant() : QVariant(result.unp)});
        // A charge without an article (a repair described in free text,
        // issued from the service desk) moves no stock.
        if (line.article > 0)
            GET_NALI4NOST(db, line.article, r.warehouse, kAddStock, -line.quantity);
        if (r.printsReceipt)
            execSql(db, QStringLiteral("INSERT INTO Prodajbi_Bon (ID_Prodajba, Bon_File) VALUES (?, '')"),
                    {line.number});
    }
    t.commit();
    result.sold = lines;
    return result;
}

void recordReceiptFile(const QSqlDatabase& db, const QList<SaleLine>& sold, const QString& file) {
    Transaction t(db);
    for (const SaleLine& line : sold)
        execSql(db,
                QStringLiteral("INSERT INTO Prodajbi_Bon (ID_Prodajba, Bon_File) VALUES (?, ?) "
                               "ON CONFLICT (ID_Prodajba) DO UPDATE SET Bon_File = excluded.Bon_File"),
                {line.number, file});
    t.commit();
}

QString receiptFileOf(const QSqlDatabase& db, qint64 saleId) {
    return scalarSql(db, QStringLiteral("SELECT Bon_File FROM Prodajbi_Bon WHERE ID_Prodajba = ?"), {saleId})
        .toString();
}

namespace {

// The stored sale's rows that owe a receipt: number, article, quantity,
// price, currency, discount, operator, date, time, terminal, and what the
// article and its currency say now.
const QString kOwedColumns = QStringLiteral(
    "P.ID_Prodajba, P.ID_Art, P.Kol, P.ED_Cena, P.Valuta, P.T_O, P.Operator, P.D_Prodajba, P.T_Prodajba, "
    "P.Term_N, A.Opisanie, A.Dan_Grup, A.Prigotvq_Se, V.Kurs, P.UNP");

} // namespace

QList<OwedReceipt> owedReceipts(const QSqlDatabase& db, int terminal, int decimals) {
    QSqlQuery q =
        execSql(db,
                QStringLiteral("SELECT ") + kOwedColumns +
                    QStringLiteral(
                        " FROM Prodajbi P JOIN Prodajbi_Bon B ON B.ID_Prodajba = P.ID_Prodajba "
                        "LEFT JOIN Produkti A ON A.ID = P.ID_Art LEFT JOIN Valuti V ON V.Opisanie = P.Valuta "
                        "WHERE B.Bon_File = '' AND P.Term_N = ? "
                        "ORDER BY P.D_Prodajba, P.T_Prodajba, P.Operator, P.UNP, P.ID_Prodajba"),
                {terminal});
    QList<OwedReceipt> owed;
    while (q.next()) {
        SaleLine l;
        l.number = q.value(0).toLongLong();
        l.article = q.value(1).toLongLong();
        l.quantity = Decimal::fromVariant(q.value(2)).value_or(Decimal()).rounded(6);
        l.unitPrice = Decimal::fromVariant(q.value(3)).value_or(Decimal()).rounded(6);
        l.currency = q.value(4).toString();
        l.discount = Decimal::fromVariant(q.value(5)).value_or(Decimal()).rounded(8);
        l.operatorName = q.value(6).toString();
        l.terminal = q.value(9).toInt();
        // An article deleted since is printed under its number.
        l.description = q.value(10).isNull() ? QString::number(l.article) : q.value(10).toString();
        l.taxGroup = q.value(11).toInt();
        l.department = q.value(12).toInt();
        if (!q.value(13).isNull()) {
            l.rate = Decimal::fromVariant(q.value(13)).value_or(Decimal()).rounded(8);
            l.amount = lineAmount(l.quantity, l.unitPrice, *l.rate, l.discount, decimals);
        }
        const QString date = q.value(7).toString();
        const QString time = q.value(8).toString();
        const QString unp = q.value(14).toString();
        if (owed.isEmpty() || owed.last().operatorName != l.operatorName || owed.last().date != date ||
            owed.last().time != time || owed.last().unp != unp)
            owed.append(OwedReceipt{l.operatorName, unp, date, time, l.terminal, {}, {}});
        owed.last().amountDue += l.amount;
        owed.last().lines << l;
    }
    return owed;
}

std::optional<BonResult> printOwedReceipt(FiscalState& state, const QSqlDatabase& db,
                                          const OwedReceipt& receipt, const FiscalSettings& settings) {
    const QStringList noRate = currenciesWithoutRate(receipt.lines);
    if (!noRate.isEmpty())
        throw EConvertError(
            texts::kCurrencyWithoutRate.arg(u'"' + noRate.join(QStringLiteral("\", \"")) + u'"'));
    QList<qint64> numbers;
    for (const SaleLine& line : receipt.lines)
        numbers << line.number;
    std::sort(numbers.begin(), numbers.end());
    Transaction t(db);
    // Locks the rows: another workstation printing the same receipt waits,
    // then finds it owed no more.
    for (qint64 number : numbers) {
        const QSqlQuery q = execSql(
            db,
            QStringLiteral("UPDATE Prodajbi_Bon SET Bon_File = '' WHERE ID_Prodajba = ? AND Bon_File = ''"),
            {number});
        if (q.numRowsAffected() != 1)
            return std::nullopt;
    }
    const BonHeader header{QString::number(receipt.terminal), receipt.operatorName, QStringLiteral("0"),
                           receipt.unp};
    const BonResult result =
        printSaleReceiptAgain(state, receiptLines(receipt.lines), receipt.amountDue, db, settings, header);
    if (result.receiptFile.isEmpty())
        return result; // nothing written: still owed
    for (qint64 number : numbers)
        execSql(db, QStringLiteral("UPDATE Prodajbi_Bon SET Bon_File = ? WHERE ID_Prodajba = ?"),
                {result.receiptFile, number});
    t.commit();
    return result;
}

void dropOwedReceipt(const QSqlDatabase& db, const OwedReceipt& receipt) {
    Transaction t(db);
    for (const SaleLine& line : receipt.lines)
        execSql(db, QStringLiteral("DELETE FROM Prodajbi_Bon WHERE ID_Prodajba = ? AND Bon_File = ''"),
                {line.number});
    t.commit();
}

} // namespace torvika
