#include "catalogue/stock.h"

#include "common/errors.h"
#include "common/sql.h"

namespace torvika {

void GET_NALI4NOST(const QSqlDatabase& db, qint64 article, qint64 warehouse, int mode, double quantity) {
    // The sum is rounded to six decimals as a number of the database, so
    // that sums of decimal quantities come out exact on either engine.
    const QString value = mode == kSetStock
                              ? QStringLiteral("excluded.Kol")
                              : QStringLiteral("ROUND(CAST(Store_Kol.Kol + excluded.Kol AS NUMERIC), 6)");
    QSqlQuery q = execSql(db,
                          QStringLiteral("INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) "
                                         "SELECT ?, ?, ROUND(CAST(? AS NUMERIC), 6) "
                                         "WHERE EXISTS (SELECT 1 FROM Sklad WHERE ID_Sklad = ?) "
                                         "ON CONFLICT (Art_ID, Sklad_ID) DO UPDATE SET Kol = %1")
                              .arg(value),
                          {article, warehouse, quantity, warehouse});
    if (q.numRowsAffected() < 1)
        throw EDatabaseError(
            QStringLiteral("Няма склад с номер %1: наличността не е променена").arg(warehouse));
}

double stockTotal(const QSqlDatabase& db, qint64 article) {
    return scalarSql(db, QStringLiteral("SELECT SUM(Kol) FROM Store_Kol WHERE Art_ID = ?"), {article}, 0.0)
        .toDouble();
}

std::optional<double> stockIn(const QSqlDatabase& db, qint64 article, qint64 warehouse) {
    const QVariant v =
        scalarSql(db, QStringLiteral("SELECT Kol FROM Store_Kol WHERE Art_ID = ? AND Sklad_ID = ?"),
                  {article, warehouse});
    if (!v.isValid())
        return std::nullopt;
    return v.toDouble();
}

} // namespace torvika
