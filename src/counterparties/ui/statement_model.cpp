#include "counterparties/ui/statement_model.h"

#include "common/errors.h"

#include <QSqlError>
#include <QSqlQuery>

namespace torvika {

void setModelStatement(QSqlQueryModel& model, const QSqlDatabase& db, const SqlStatement& statement) {
    QSqlQuery q(db);
    if (!q.prepare(statement.text))
        throw EDatabaseError(q.lastError().text() + QStringLiteral(" [") + statement.text + u']');
    for (const QVariant& v : statement.values)
        q.addBindValue(v);
    if (!q.exec())
        throw EDatabaseError(q.lastError().text() + QStringLiteral(" [") + statement.text + u']');
    model.setQuery(std::move(q));
    if (model.lastError().isValid())
        throw EDatabaseError(model.lastError().text());
    while (model.canFetchMore())
        model.fetchMore();
}

void setModelTitles(QSqlQueryModel& model, const QStringList& titles) {
    for (int i = 0; i < titles.size(); ++i)
        model.setHeaderData(i, Qt::Horizontal, titles.at(i));
}

} // namespace torvika
