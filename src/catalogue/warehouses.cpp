#include "catalogue/warehouses.h"

#include "catalogue/texts.h"
#include "common/new_keys.h"
#include "common/sql.h"

#include <limits>

namespace torvika {

namespace {

const QString kSelect = QStringLiteral("SELECT ID_Sklad, Opis_Sklad, Grad, Adres, Mol_Sklad FROM Sklad");

WarehouseWrite refused(WarehouseWrite::Field field, const QString& why) {
    WarehouseWrite w;
    w.field = field;
    w.refusal = why;
    return w;
}

Warehouse trimmed(Warehouse w) {
    w.name = w.name.trimmed();
    return w;
}

bool exists(const QSqlDatabase& db, const QString& sql, qint64 id) {
    return execSql(db, sql, {id}).next();
}

} // namespace

SqlStatement warehousesStatement() {
    return {kSelect + QStringLiteral("\nORDER BY ID_Sklad"), {}, QStringLiteral("ID_Sklad")};
}

std::optional<Warehouse> loadWarehouse(const QSqlDatabase& db, qint64 id) {
    QSqlQuery q = execSql(db, kSelect + QStringLiteral(" WHERE ID_Sklad = ?"), {id});
    if (!q.next())
        return std::nullopt;
    return Warehouse{q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                     q.value(4).toString()};
}

qint64 proposedWarehouseNumber(const QSqlDatabase& db) {
    return nextKey(db, QStringLiteral("Sklad"), QStringLiteral("ID_Sklad"));
}

WarehouseWrite insertWarehouse(const QSqlDatabase& db, std::optional<qint64> number,
                               const Warehouse& warehouse) {
    const Warehouse w = trimmed(warehouse);
    if (number && (*number <= 0 || *number > std::numeric_limits<qint32>::max()))
        return refused(WarehouseWrite::Number, texts::kWarehouseNumberInvalid);
    if (w.name.isEmpty())
        return refused(WarehouseWrite::Name, texts::kWarehouseNameEmpty);
    Transaction t(db);
    // Taking the next number also keeps other workstations from writing
    // warehouses until this one is stored.
    const qint64 next = nextKey(db, QStringLiteral("Sklad"), QStringLiteral("ID_Sklad"));
    const qint64 id = number.value_or(next);
    if (number && exists(db, QStringLiteral("SELECT 1 FROM Sklad WHERE ID_Sklad = ?"), id))
        return refused(WarehouseWrite::Number, texts::kWarehouseNumberTaken.arg(id));
    execSql(db,
            QStringLiteral(
                "INSERT INTO Sklad (ID_Sklad, Opis_Sklad, Grad, Adres, Mol_Sklad) VALUES (?, ?, ?, ?, ?)"),
            {id, w.name, w.town, w.address, w.mol});
    t.commit();
    WarehouseWrite done;
    done.id = id;
    return done;
}

WarehouseWrite updateWarehouse(const QSqlDatabase& db, qint64 id, const Warehouse& warehouse) {
    const Warehouse w = trimmed(warehouse);
    if (w.name.isEmpty())
        return refused(WarehouseWrite::Name, texts::kWarehouseNameEmpty);
    const int rows =
        execSql(db,
                QStringLiteral(
                    "UPDATE Sklad SET Opis_Sklad = ?, Grad = ?, Adres = ?, Mol_Sklad = ? WHERE ID_Sklad = ?"),
                {w.name, w.town, w.address, w.mol, id})
            .numRowsAffected();
    if (rows != 1)
        return refused(WarehouseWrite::None, texts::kWarehouseGone.arg(id));
    WarehouseWrite done;
    done.id = id;
    return done;
}

WarehouseWrite deleteWarehouse(const QSqlDatabase& db, qint64 id, qint64 activeWarehouse) {
    Transaction t(db);
    const std::optional<Warehouse> w = loadWarehouse(db, id);
    if (!w)
        return refused(WarehouseWrite::None, texts::kWarehouseGone.arg(id));
    if (id == activeWarehouse)
        return refused(WarehouseWrite::None, texts::kWarehouseIsActive.arg(w->name));
    // No movement names the warehouse between the checks and the delete.
    lockTablesAgainstWriters(db, {QStringLiteral("Store_Kol"), QStringLiteral("Prodajbi"),
                                  QStringLiteral("Dostavki"), QStringLiteral("Revision")});
    if (exists(db, QStringLiteral("SELECT 1 FROM Store_Kol WHERE Sklad_ID = ? AND Kol <> 0"), id))
        return refused(WarehouseWrite::None, texts::kWarehouseHasStock.arg(w->name));
    // A stock row stays after its quantity went back to 0: it records a movement.
    for (const char* history :
         {"SELECT 1 FROM Store_Kol WHERE Sklad_ID = ?", "SELECT 1 FROM Prodajbi WHERE Sklad_ID = ?",
          "SELECT 1 FROM Dostavki WHERE ID_Sklad = ?", "SELECT 1 FROM Revision WHERE Sklad_ID = ?"})
        if (exists(db, QString::fromLatin1(history), id))
            return refused(WarehouseWrite::None, texts::kWarehouseHasHistory.arg(w->name));
    execSql(db, QStringLiteral("DELETE FROM Sklad WHERE ID_Sklad = ?"), {id});
    t.commit();
    WarehouseWrite done;
    done.id = id;
    return done;
}

} // namespace torvika
