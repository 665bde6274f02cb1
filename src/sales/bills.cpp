#include "sales/bills.h"

#include "common/sql.h"

#include <QSqlQuery>
#include <algorithm>

namespace torvika {

std::optional<int> parseBillNumber(QStringView text) {
    const QStringView t = text.trimmed();
    if (t.isEmpty() || t.size() > 9)
        return std::nullopt;
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return t.toInt();
}

QStringList openBills(const QSqlDatabase& db, const QString& operatorName) {
    QStringList bills{QStringLiteral("0")};
    QSqlQuery q = execSql(
        db, QStringLiteral("SELECT DISTINCT Sm_N FROM Prodajbi_Vremenni WHERE Operator = ?"), {operatorName});
    while (q.next())
        bills << QString::number(q.value(0).toLongLong());
    std::sort(bills.begin(), bills.end());
    bills.erase(std::unique(bills.begin(), bills.end()), bills.end());
    return bills;
}

int billAfterRebuild(const QStringList& bills, int current) {
    return bills.contains(QString::number(current)) ? current : 0;
}

} // namespace torvika
