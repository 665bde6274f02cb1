#include "counterparties/towns.h"

#include "common/errors.h"
#include "common/sql.h"

namespace torvika {

namespace {

const QString kSelect = QStringLiteral("SELECT ID, Opisanie, PK, TK FROM Grad");

QString townGone(qint64 id) {
    return QStringLiteral("Населеното място с номер %1 вече не съществува").arg(id);
}

} // namespace

SqlStatement townsStatement() {
    return {kSelect + QStringLiteral("\nORDER BY ID"), {}};
}

std::optional<Town> loadTown(const QSqlDatabase& db, qint64 id) {
    QSqlQuery q = execSql(db, kSelect + QStringLiteral(" WHERE ID = ?"), {id});
    if (!q.next())
        return std::nullopt;
    return Town{q.value(kTownColumnName).toString(), q.value(kTownColumnPostalCode).toString(),
                q.value(kTownColumnPhoneCode).toString()};
}

qint64 insertTown(const QSqlDatabase& db, const Town& town) {
    return insertReturningKey(db, QStringLiteral("INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)"),
                              {town.name, town.postalCode, town.phoneCode}, QStringLiteral("ID"));
}

void updateTown(const QSqlDatabase& db, qint64 id, const Town& town) {
    QSqlQuery q = execSql(db, QStringLiteral("UPDATE Grad SET Opisanie = ?, PK = ?, TK = ? WHERE ID = ?"),
                          {town.name, town.postalCode, town.phoneCode, id});
    if (q.numRowsAffected() != 1)
        throw EDatabaseError(townGone(id));
}

bool deleteTown(const QSqlDatabase& db, qint64 id) {
    return execSql(db, QStringLiteral("DELETE FROM Grad WHERE ID = ?"), {id}).numRowsAffected() == 1;
}

} // namespace torvika
