#include "sales/reversals.h"

#include "common/errors.h"
#include "common/sql.h"
#include "sales/receipt_lines.h"
#include "sales/texts.h"

#include <QDateTime>
#include <algorithm>

namespace torvika {

namespace {

const QString kHttpPrefix = QStringLiteral("http:");

} // namespace

QList<PendingReversal> pendingReversals(const QSqlDatabase& db, const QList<qint64>& invalidatedRows,
                                        int decimals) {
    QList<PendingReversal> out;
    QList<qint64> rows = invalidatedRows;
    std::sort(rows.begin(), rows.end());
    for (qint64 row : rows) {
        const QList<QVariantList> found =
            readRows(
                db,
                QStringLiteral(
                    "SELECT I.ID_Art, I.Kol, I.Ed_Cena, I.Valuta, I.T_O, I.UNP, I.D_Prodajba, I.T_Prodajba, "
                    "B.Bon_File, B.Bon_Nomer, B.Bon_Vreme, B.FP_Nomer, A.Opisanie, A.Dan_Grup, V.Kurs "
                    "FROM Invalidate_Sales I JOIN Prodajbi_Bon B ON B.ID_Prodajba = I.ID_Prodajba "
                    "LEFT JOIN Produkti A ON A.ID = I.ID_Art LEFT JOIN Valuti V ON V.Opisanie = I.Valuta "
                    "WHERE I.ID_Prodajba = ? AND B.Bon_File <> '' AND (I.Storno_Bon IS NULL OR I.Storno_Bon "
                    "= '')"),
                {row})
                .rows;
        if (found.isEmpty())
            continue;
        const QVariantList& r = found.first();
        SaleLine l;
        l.number = row;
        l.article = r[0].toLongLong();
        l.quantity = Decimal::fromVariant(r[1]).value_or(Decimal()).rounded(6);
        l.unitPrice = Decimal::fromVariant(r[2]).value_or(Decimal()).rounded(6);
        l.currency = r[3].toString();
        l.discount = Decimal::fromVariant(r[4]).value_or(Decimal()).rounded(8);
        l.description = r[12].isNull() ? QString::number(l.article) : r[12].toString();
        l.taxGroup = r[13].toInt();
        if (r[14].isNull())
            throw EConvertError(texts::kCurrencyWithoutRate.arg(u'"' + l.currency + u'"'));
        l.rate = Decimal::fromVariant(r[14]).value_or(Decimal()).rounded(8);
        l.amount = lineAmount(l.quantity, l.unitPrice, *l.rate, l.discount, decimals);
        const QString file = r[8].toString();
        PendingReversal* p = nullptr;
        for (PendingReversal& existing : out)
            if ((existing.originalFile.isEmpty() ? kHttpPrefix + existing.original.receipt.number
                                                 : existing.originalFile) == file)
                p = &existing;
        if (!p) {
            PendingReversal n;
            n.original.unp = r[5].toString();
            n.original.receipt = DeviceReceipt{r[9].toString(), r[10].toString(), r[11].toString(), {}};
            if (!file.startsWith(kHttpPrefix))
                n.originalFile = file;
            n.saleDateTime = r[6].toString() + u'T' + r[7].toString();
            out << n;
            p = &out.last();
        }
        p->rows << row;
        p->lines << l;
        p->amount += l.amount;
    }
    return out;
}

QStringList reversalFileLines(const PendingReversal& reversal, ReversalReason reason) {
    QStringList out{QStringLiteral("#S,") + reversalReasonText(reason)};
    const QString original =
        reversal.original.receipt.number.isEmpty() ? reversal.originalFile : reversal.original.receipt.number;
    out << QStringLiteral(":Сторно на бон: ") + commandText(original);
    if (!reversal.original.unp.isEmpty())
        out << QStringLiteral(":УНП: ") + commandText(reversal.original.unp);
    const QString when = reversal.original.receipt.dateTime.isEmpty() ? reversal.saleDateTime
                                                                      : reversal.original.receipt.dateTime;
    out << QStringLiteral(":Дата: ") + commandText(when);
    if (!reversal.original.receipt.fiscalMemory.isEmpty())
        out << QStringLiteral(":ФП: ") + commandText(reversal.original.receipt.fiscalMemory);
    const PreparedReceipt items =
        buildSaleReceipt(receiptLines(reversal.lines), kFiscalReceipt, {}, reversal.amount);
    return out + items.lines;
}

QList<qint64> owedReversalRows(const QSqlDatabase& db, int terminal) {
    QList<qint64> rows;
    for (const QVariantList& r :
         readRows(db,
                  QStringLiteral("SELECT I.ID_Prodajba FROM Invalidate_Sales I "
                                 "JOIN Prodajbi_Bon B ON B.ID_Prodajba = I.ID_Prodajba "
                                 "WHERE I.Term_N = ? AND B.Bon_File <> '' AND "
                                 "(I.Storno_Bon IS NULL OR I.Storno_Bon = '') ORDER BY I.ID_Prodajba"),
                  {terminal})
             .rows)
        rows << r.value(0).toLongLong();
    return rows;
}

void declineReversal(const QSqlDatabase& db, const QList<qint64>& rows) {
    Transaction t(db);
    for (qint64 row : rows)
        execSql(db,
                QStringLiteral("UPDATE Invalidate_Sales SET Storno_Bon = ? WHERE ID_Prodajba = ? AND "
                               "(Storno_Bon IS NULL OR Storno_Bon = '')"),
                {QString::fromUtf16(kReversalDeclined), row});
    t.commit();
}

void recordReversal(const QSqlDatabase& db, const QList<qint64>& rows, const QString& receipt) {
    Transaction t(db);
    for (qint64 row : rows)
        execSql(db, QStringLiteral("UPDATE Invalidate_Sales SET Storno_Bon = ? WHERE ID_Prodajba = ?"),
                {receipt, row});
    t.commit();
}

QString writeReversalFile(FiscalState& state, const QSqlDatabase& db, const FiscalSettings& settings,
                          const PendingReversal& reversal, ReversalReason reason) {
    const QString file = writeReceiptFile(settings.receiptDir, state.counter,
                                          commandFileBytes(reversalFileLines(reversal, reason)));
    recordReversal(db, reversal.rows, file);
    return file;
}

void printHttpReversal(FiscalHttpClient& client, const DatabaseSource& db, const FiscalServer& server,
                       const PendingReversal& reversal, ReversalReason reason, FiscalHttpClient::Done done) {
    OriginalReceipt original = reversal.original;
    if (original.receipt.number.isEmpty()) {
        // Printed as a command file: the file names it, the sale's time dates it.
        original.receipt.number = reversal.originalFile;
        original.receipt.dateTime = reversal.saleDateTime;
    }
    const QJsonObject call =
        reversalReceiptCall(receiptLines(reversal.lines), reversal.amount, original, reason, server);
    const QString taskId = QStringLiteral("S-%1-%2").arg(original.unp).arg(reversal.rows.value(0));
    const QList<qint64> rows = reversal.rows;
    client.send(server, QStringLiteral("reversalreceipt"), call, taskId,
                [db, rows, done](const FiscalAnswer& answer) {
                    FiscalAnswer a = answer;
                    if (a.ok) {
                        try {
                            recordReversal(db(), rows, kHttpPrefix + a.receipt.number);
                        } catch (const Error& e) {
                            a.error = e.message();
                        }
                    }
                    done(a);
                });
}

} // namespace torvika
