#include "shell/workspace_queries.h"

#include "common/cformat.h"
#include "common/ref_text.h"
#include "common/sql.h"

namespace torvika {

QString buildTickerText(const QSqlDatabase& db, int decimals) {
    QString text;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT Opisanie, Kurs FROM Valuti"));
    while (q.next())
        text += q.value(0).toString() + QStringLiteral(" - ") + formatFixed(q.value(1).toDouble(), decimals) +
                QString(10, u' ');
    return text;
}

QString warehousePanelText(const QSqlDatabase& db, int warehouseId) {
    QString id, name;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT ID_Sklad, Opis_Sklad FROM Sklad WHERE ID_Sklad = ?"),
                          {warehouseId});
    if (q.next()) {
        id = q.value(0).toString();
        name = q.value(1).toString();
    }
    return QStringLiteral("Склад: ") + id + u':' + name;
}

QStringList currencyNames(const QSqlDatabase& db) {
    QStringList out;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT Opisanie FROM Valuti"));
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList departmentItems(const QSqlDatabase& db) {
    QStringList out{QStringLiteral("0:Не се приготвя")};
    QSqlQuery q = execSql(db, QStringLiteral("SELECT ID, Opisanie FROM Type_Prigotvq_Se"));
    while (q.next())
        out << refText(q.value(0).toLongLong(), q.value(1).toString());
    return out;
}

} // namespace torvika
