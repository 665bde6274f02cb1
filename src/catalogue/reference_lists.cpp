#include "catalogue/reference_lists.h"

#include "common/ref_text.h"
#include "common/sql.h"

namespace torvika {

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

QStringList warehouseItems(const QSqlDatabase& db) {
    QStringList out;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT ID_Sklad, Opis_Sklad FROM Sklad ORDER BY ID_Sklad"));
    while (q.next())
        out << refText(q.value(0).toLongLong(), q.value(1).toString());
    return out;
}

} // namespace torvika
