#pragma once
// The dining-room floor of the table window: tables (rectangles and circles)
// and places (small ellipses) where the operator drew them. Tables are
// numbered 1, 2, … across the floor; places are numbered within the table
// they belong to. A floor can be stored under a scheme name so that every
// workstation of the company draws the same room.

#include <QList>
#include <QRect>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace torvika {

struct FloorObject {
    enum Kind { RectangleTable = 0, RoundTable = 1, Place = 2 };
    Kind kind = RectangleTable;
    int number = 0; // a table's number, or a place's number within its table
    int table = 0;  // the table a place belongs to (0: none); a table's own number
    QRect rect;

    bool isTable() const { return kind != Place; }
    // "<n>:Маса" or "<n>:Място", as the window lists them.
    QString name() const;
    bool operator==(const FloorObject&) const = default;
};

class TableFloor {
public:
    const QList<FloorObject>& objects() const { return objects_; }
    QList<FloorObject> tables() const;
    // The places of one table, in their order.
    QList<FloorObject> places(int table) const;

    // Adds a table with the next free table number, or a place of the
    // table with the next number among that table's places; returns it.
    FloorObject add(FloorObject::Kind kind, const QRect& rect, int table = 0);
    // Removes a table with its places, or one place; false when it is not there.
    bool remove(const FloorObject& object);
    void clear() { objects_.clear(); }

    // The topmost object under the point (places are drawn over tables).
    const FloorObject* objectAt(const QPoint& point) const;

    void setObjects(QList<FloorObject> objects) { objects_ = std::move(objects); }

private:
    QList<FloorObject> objects_;
};

// The floor of the run, kept from one opening of the window to the next.
struct FloorState {
    TableFloor floor;
    QString scheme;
    bool loaded = false;  // the scheme was read from the database
    bool changed = false; // drawn since it was read or stored
};

// The sizes the window offers for new tables.
inline constexpr int kFloorMinSide = 10;
inline constexpr int kFloorMaxSide = 400;
inline constexpr int kFloorDefaultSide = 60;

// The stored schemes' names, sorted; the default scheme first even when
// nothing is stored under it.
QStringList floorSchemes(const QSqlDatabase& db);
// The floor stored under the scheme (empty when none).
TableFloor loadFloor(const QSqlDatabase& db, const QString& scheme);
// Replaces what is stored under the scheme with the floor, in one
// transaction. Throws EDatabaseError.
void saveFloor(const QSqlDatabase& db, const QString& scheme, const TableFloor& floor);

} // namespace torvika
