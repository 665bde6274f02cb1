#include "sales/table_floor.h"

#include "common/sql.h"
#include "sales/texts.h"

#include <QSqlQuery>
#include <algorithm>

namespace torvika {

QString FloorObject::name() const {
    return QString::number(number) + u':' + (isTable() ? texts::kFloorTable : texts::kFloorPlace);
}

QList<FloorObject> TableFloor::tables() const {
    QList<FloorObject> out;
    for (const FloorObject& o : objects_)
        if (o.isTable())
            out << o;
    return out;
}

QList<FloorObject> TableFloor::places(int table) const {
    QList<FloorObject> out;
    for (const FloorObject& o : objects_)
        if (!o.isTable() && o.table == table)
            out << o;
    return out;
}

FloorObject TableFloor::add(FloorObject::Kind kind, const QRect& rect, int table) {
    FloorObject o;
    o.kind = kind;
    o.rect = rect.normalized();
    int highest = 0;
    for (const FloorObject& other : objects_)
        if (o.isTable() ? other.isTable() : (!other.isTable() && other.table == table))
            highest = std::max(highest, other.number);
    o.number = highest + 1;
    o.table = o.isTable() ? o.number : table;
    objects_ << o;
    return o;
}

bool TableFloor::remove(const FloorObject& object) {
    const qsizetype before = objects_.size();
    if (object.isTable())
        objects_.removeIf(
            [&](const FloorObject& o) { return o == object || (!o.isTable() && o.table == object.number); });
    else
        objects_.removeIf([&](const FloorObject& o) { return o == object; });
    return objects_.size() != before;
}

const FloorObject* TableFloor::objectAt(const QPoint& point) const {
    const FloorObject* found = nullptr;
    for (const FloorObject& o : objects_)
        if (o.rect.contains(point) && (!found || !o.isTable() || found->isTable()))
            found = &o;
    return found;
}

QStringList floorSchemes(const QSqlDatabase& db) {
    QStringList schemes{texts::kFloorDefaultScheme};
    QSqlQuery q = execSql(db, QStringLiteral("SELECT DISTINCT Shema FROM Masi ORDER BY Shema"));
    while (q.next())
        if (const QString s = q.value(0).toString(); !schemes.contains(s))
            schemes << s;
    std::sort(schemes.begin() + 1, schemes.end());
    return schemes;
}

TableFloor loadFloor(const QSqlDatabase& db, const QString& scheme) {
    QList<FloorObject> objects;
    QSqlQuery q = execSql(db,
                          QStringLiteral("SELECT Vid, Nomer, Masa, X, Y, W, H FROM Masi WHERE Shema = ? "
                                         "ORDER BY Por"),
                          {scheme});
    while (q.next()) {
        FloorObject o;
        o.kind = FloorObject::Kind(std::clamp(q.value(0).toInt(), 0, 2));
        o.number = q.value(1).toInt();
        o.table = q.value(2).toInt();
        o.rect = QRect(q.value(3).toInt(), q.value(4).toInt(), q.value(5).toInt(), q.value(6).toInt());
        objects << o;
    }
    TableFloor floor;
    floor.setObjects(objects);
    return floor;
}

void saveFloor(const QSqlDatabase& db, const QString& scheme, const TableFloor& floor) {
    Transaction tx(db);
    execSql(db, QStringLiteral("DELETE FROM Masi WHERE Shema = ?"), {scheme});
    int order = 0;
    for (const FloorObject& o : floor.objects())
        execSql(db,
                QStringLiteral("INSERT INTO Masi (Shema, Por, Vid, Nomer, Masa, X, Y, W, H) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {scheme, ++order, int(o.kind), o.number, o.table, o.rect.x(), o.rect.y(), o.rect.width(),
                 o.rect.height()});
    tx.commit();
}

} // namespace torvika
