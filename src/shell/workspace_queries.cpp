#include "shell/workspace_queries.h"

#include "common/cformat.h"
#include "common/exception_log.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "shell/session.h"

namespace torvika {

QString buildTickerText(const QSqlDatabase& db, int decimals) {
    QString text;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT Opisanie, Kurs FROM Valuti"));
    while (q.next())
        text += q.value(0).toString() + QStringLiteral(" - ") +
                formatFixed(fromNumberColumn(q.value(1)), decimals) + QString(10, u' ');
    return text;
}

QString warehouseRefText(const QSqlDatabase& db, int warehouseId) {
    QString id, name;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT ID_Sklad, Opis_Sklad FROM Sklad WHERE ID_Sklad = ?"),
                          {warehouseId});
    if (q.next()) {
        id = q.value(0).toString();
        name = q.value(1).toString();
    }
    return id + u':' + name;
}

void loadActiveWarehouse(Session& session) {
    const int id = session.settings().get(setting::kActiveWarehouse);
    QString text = QStringLiteral(":");
    try {
        text = warehouseRefText(session.db(), id);
    } catch (const std::exception& e) {
        logException(e);
    }
    session.setActiveWarehouse(id, text);
}

} // namespace torvika
