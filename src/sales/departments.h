#pragma once
// The production departments Type_Prigotvq_Se (kitchen, bar, …): each has a
// number (the Prigotvq_Se of the articles it prepares), a name printed as
// its tickets' title, the directory its tickets are written into and the
// type of the device that prints them.

#include "common/sql_statement.h"

#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace torvika {

// Department numbers run from 1 to this.
inline constexpr int kMaxDepartment = 100;

struct Department {
    int id = 0;         // ID, "Номер"
    QString name;       // Opisanie, "Описание"
    QString path;       // Path, "Път за печат "; empty: the default directory
    QString deviceType; // Vid_FU, a device-type text
    bool operator==(const Department&) const = default;
};

// The departments' grid: ID, Opisanie, Path, Vid_FU by number.
SqlStatement departmentsStatement();

// The department with that number; nullopt when there is none. Throws
// EDatabaseError.
std::optional<Department> loadDepartment(const QSqlDatabase& db, int id);
// Stores a new department under the next free number (MAX + 1, or the
// lowest free number once 100 is taken) and returns it; the department's
// own id is not used. Throws EDatabaseError, also when all 100 numbers are
// taken.
int insertDepartment(const QSqlDatabase& db, const Department& department);
// Rewrites name, path and device type of the department with that number.
// Throws EDatabaseError, also when it is gone.
void updateDepartment(const QSqlDatabase& db, int id, const Department& department);
// Deletes the department unless articles are still prepared there (their
// tickets would have nowhere to go). Throws EDatabaseError.
enum class DepartmentDeletion { Deleted, AlreadyGone, InUse };
DepartmentDeletion deleteDepartment(const QSqlDatabase& db, int id);

} // namespace torvika
