#include "sales/sale_counterparty.h"

#include "common/number_column.h"
#include "common/sql.h"

namespace torvika {

namespace {

std::optional<Decimal> specialDiscount(const QSqlDatabase& db, qint64 counterparty, qint64 item,
                                       const QString& kind) {
    QSqlQuery q = execSql(db,
                          QStringLiteral("SELECT T_O FROM Sp_Otstapka WHERE ID_Klient = ? AND ID_Art_Gr = ? "
                                         "AND Otnasq_se_za = ?"),
                          {counterparty, item, kind});
    std::optional<Decimal> found;
    while (q.next()) // the row found last
        found = fromNumberColumn(q.value(0));
    return found;
}

} // namespace

Decimal counterpartyDiscount(const QSqlDatabase& db, qint64 counterparty, qint64 article) {
    if (counterparty == 0)
        return 0;
    if (auto d = specialDiscount(db, counterparty, article, QStringLiteral("A")))
        return *d;
    const QVariant group =
        scalarSql(db, QStringLiteral("SELECT Nomer_Grupa FROM Produkti WHERE ID = ?"), {article});
    if (!group.isNull()) {
        if (auto d = specialDiscount(db, counterparty, group.toLongLong(), QStringLiteral("G")))
            return *d;
    }
    return fromNumberColumn(
        scalarSql(db, QStringLiteral("SELECT T_O FROM Firmi WHERE ID = ?"), {counterparty}));
}

QList<qint64> pendingArticles(const QSqlDatabase& db, const QString& operatorName, int bill) {
    QSqlQuery q =
        execSql(db,
                QStringLiteral("SELECT Barkod FROM Prodajbi_Vremenni WHERE Operator = ? AND Sm_N = ? "
                               "ORDER BY N_Prodajba"),
                {operatorName, bill});
    QList<qint64> articles;
    while (q.next()) {
        const qint64 a = q.value(0).toLongLong();
        if (!articles.contains(a))
            articles << a;
    }
    return articles;
}

void updatePendingLines(const QSqlDatabase& db, const QString& operatorName, int bill, qint64 counterparty,
                        const QList<qint64>& articles, PendingLinesUpdate what) {
    if (!what.discounts && !what.articleNumbers)
        return;
    Transaction t(db);
    for (qint64 article : articles) {
        if (what.discounts) {
            const Decimal discount = counterpartyDiscount(db, counterparty, article).rounded(4);
            execSql(db,
                    QStringLiteral("UPDATE Prodajbi_Vremenni SET T_O = ? WHERE Operator = ? AND Sm_N = ? "
                                   "AND Barkod = ?"),
                    {numberColumnValue(discount), operatorName, bill, article});
        }
        if (what.articleNumbers) {
            const QString number =
                scalarSql(
                    db, QStringLiteral("SELECT Nomenkl_N FROM Nomenklatures WHERE ID = ? AND ID_Kontrag = ?"),
                    {article, counterparty}, QString())
                    .toString();
            execSql(
                db,
                QStringLiteral("UPDATE Prodajbi_Vremenni SET Nomenkl_N = ? WHERE Operator = ? AND Sm_N = ? "
                               "AND Barkod = ?"),
                {number, operatorName, bill, article});
        }
    }
    t.commit();
}

} // namespace torvika
