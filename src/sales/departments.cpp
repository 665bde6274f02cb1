#include "sales/departments.h"

#include "common/errors.h"
#include "common/new_keys.h"
#include "common/sql.h"
#include "sales/texts.h"

namespace torvika {

namespace {

const QString kSelect = QStringLiteral("SELECT ID, Opisanie, Path, Vid_FU FROM Type_Prigotvq_Se");

} // namespace

SqlStatement departmentsStatement() {
    return {kSelect + QStringLiteral("\nORDER BY ID"), {}};
}

std::optional<Department> loadDepartment(const QSqlDatabase& db, int id) {
    QSqlQuery q = execSql(db, kSelect + QStringLiteral(" WHERE ID = ?"), {id});
    if (!q.next())
        return std::nullopt;
    return Department{q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(),
                      q.value(3).toString()};
}

int insertDepartment(const QSqlDatabase& db, const Department& department) {
    Transaction t(db);
    qint64 id = nextKey(db, QStringLiteral("Type_Prigotvq_Se"), QStringLiteral("ID"));
    if (id > kMaxDepartment) {
        // The table is this transaction's now: the lowest number left free.
        QSqlQuery q = execSql(db,
                              QStringLiteral("SELECT ID FROM Type_Prigotvq_Se WHERE ID BETWEEN 1 AND ? "
                                             "ORDER BY ID"),
                              {kMaxDepartment});
        id = 1;
        while (q.next() && q.value(0).toLongLong() == id)
            ++id;
        if (id > kMaxDepartment)
            throw EDatabaseError(texts::kDepartmentNumbersTaken);
    }
    execSql(db,
            QStringLiteral("INSERT INTO Type_Prigotvq_Se (ID, Opisanie, Path, Vid_FU) VALUES (?, ?, ?, ?)"),
            {id, department.name, department.path, department.deviceType});
    t.commit();
    return int(id);
}

void updateDepartment(const QSqlDatabase& db, int id, const Department& department) {
    QSqlQuery q = execSql(
        db, QStringLiteral("UPDATE Type_Prigotvq_Se SET Opisanie = ?, Path = ?, Vid_FU = ? WHERE ID = ?"),
        {department.name, department.path, department.deviceType, id});
    if (q.numRowsAffected() != 1)
        throw EDatabaseError(texts::kDepartmentGone.arg(id));
}

DepartmentDeletion deleteDepartment(const QSqlDatabase& db, int id) {
    // One statement, so that an article given the department meanwhile
    // keeps it.
    QSqlQuery q = execSql(db,
                          QStringLiteral("DELETE FROM Type_Prigotvq_Se WHERE ID = ? AND NOT EXISTS "
                                         "(SELECT 1 FROM Produkti WHERE Prigotvq_Se = ?)"),
                          {id, id});
    if (q.numRowsAffected() == 1)
        return DepartmentDeletion::Deleted;
    return loadDepartment(db, id) ? DepartmentDeletion::InUse : DepartmentDeletion::AlreadyGone;
}

} // namespace torvika
