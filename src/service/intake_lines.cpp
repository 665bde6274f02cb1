#include "service/intake_lines.h"

#include "common/sql.h"

namespace torvika {

Decimal intakeRepairTotal(const QSqlDatabase& db, const QList<qint64>& lines) {
    Decimal total;
    for (qint64 line : lines) {
        const QVariant price = scalarSql(
            db, QStringLiteral("SELECT Pred_Cena_Remont FROM Priem_Ser_Vremen WHERE N_Prodajba = ?"), {line});
        if (const std::optional<Decimal> d = Decimal::fromVariant(price))
            total += *d;
    }
    return total;
}

} // namespace torvika
