#pragma once
// The warehouses (Sklad). A warehouse's number is its key in the stock,
// the sales, the deliveries and the revisions, so it is given once, when
// the warehouse is created (MAX + 1 unless the operator chose a free one),
// and never changed; and a warehouse that holds stock, has history or is
// this workstation's active warehouse is not deleted.

#include "common/sql_statement.h"

#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace torvika {

struct Warehouse {
    QString name;    // Opis_Sklad
    QString town;    // Grad
    QString address; // Adres
    QString mol;     // Mol_Sklad, the person materially responsible
    bool operator==(const Warehouse&) const = default;
};

// The longest texts Sklad keeps: name, town, address, responsible person.
inline constexpr int kWarehouseNameMaxLength = 100;
inline constexpr int kWarehouseTownMaxLength = 100;
inline constexpr int kWarehouseAddressMaxLength = 255;
inline constexpr int kWarehouseMolMaxLength = 100;

// The grid: ID_Sklad, Opis_Sklad, Grad, Adres, Mol_Sklad by number.
SqlStatement warehousesStatement();

// The warehouse with that number; none when there is none. Throws
// EDatabaseError.
std::optional<Warehouse> loadWarehouse(const QSqlDatabase& db, qint64 id);
// The number a new warehouse would get now (MAX + 1), for showing it.
qint64 proposedWarehouseNumber(const QSqlDatabase& db);

// The outcome of a write: the warehouse's number when it was stored,
// otherwise why not and the field to correct (nothing was written).
struct WarehouseWrite {
    enum Field { None, Number, Name };
    qint64 id = 0;
    Field field = None;
    QString refusal;
    bool stored() const { return refusal.isEmpty(); }
};

// Stores a new warehouse. Without a number it gets MAX(ID_Sklad) + 1,
// taken inside the transaction that writes it; a number chosen by the
// operator must be positive and free. The name must be given (it is
// trimmed). Throws EDatabaseError.
WarehouseWrite insertWarehouse(const QSqlDatabase& db, std::optional<qint64> number, const Warehouse& w);
// Rewrites name, town, address and responsible person of the warehouse;
// its number stays. Refused when the warehouse no longer exists. Throws
// EDatabaseError.
WarehouseWrite updateWarehouse(const QSqlDatabase& db, qint64 id, const Warehouse& w);
// Deletes the warehouse unless it is `activeWarehouse` (this
// workstation's), holds stock, or has a movement (a stock row, a sale, a
// delivery or a revision). Throws EDatabaseError.
WarehouseWrite deleteWarehouse(const QSqlDatabase& db, qint64 id, qint64 activeWarehouse);

} // namespace torvika
