#pragma once
// The towns register Grad as the "Населени места" window edits it: a town's
// name, postal code and telephone code, each row under its own key ID, so
// that two towns written alike are still two rows, changed or deleted one
// at a time. (The town lookups of the card are in counterparties.h.)

#include "common/sql_statement.h"

#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace torvika {

struct Town {
    QString name;       // Opisanie, "Име на населено място"
    QString postalCode; // PK, "Пощенски код"
    QString phoneCode;  // TK, "Телефонен код"
    bool operator==(const Town&) const = default;
};

// The window's grid: the key, then name, postal code and telephone code,
// in the order the towns were entered.
SqlStatement townsStatement();
inline constexpr int kTownColumnId = 0;
inline constexpr int kTownColumnName = 1;
inline constexpr int kTownColumnPostalCode = 2;
inline constexpr int kTownColumnPhoneCode = 3;

// The town with that key; nullopt when there is none. Throws EDatabaseError.
std::optional<Town> loadTown(const QSqlDatabase& db, qint64 id);
// Stores a new town; returns the key the table gave it. Throws EDatabaseError.
qint64 insertTown(const QSqlDatabase& db, const Town& town);
// Rewrites the town with that key and no other. Throws EDatabaseError, also
// when no town has the key any more (another workstation deleted it).
void updateTown(const QSqlDatabase& db, qint64 id, const Town& town);
// Deletes the town with that key and no other; false when it was already
// gone. Throws EDatabaseError.
bool deleteTown(const QSqlDatabase& db, qint64 id);

} // namespace torvika
