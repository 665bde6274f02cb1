#pragma once
// Stock levels: the quantity of every article in every warehouse
// (Store_Kol), changed only through GET_NALI4NOST.

#include <QSqlDatabase>
#include <optional>

namespace torvika {

// Modes of GET_NALI4NOST: 1 sets the quantity, any other adds to it.
inline constexpr int kSetStock = 1;
inline constexpr int kAddStock = 0;

// Sets (mode 1) or adds to (any other mode; a negative quantity lowers it)
// the quantity of the article in the warehouse, creating its row on the
// first movement. One statement, so that two workstations moving the same
// article never lose a movement; quantities are kept to six decimals, so
// that 0.3 - 0.1 - 0.2 leaves exactly 0. A warehouse that does not exist is
// refused (EDatabaseError), nothing written. Throws EDatabaseError.
void GET_NALI4NOST(const QSqlDatabase& db, qint64 article, qint64 warehouse, int mode, double quantity);

// The article's quantity over every warehouse (0 without rows).
double stockTotal(const QSqlDatabase& db, qint64 article);
// The article's quantity in the warehouse; none when it never moved there.
std::optional<double> stockIn(const QSqlDatabase& db, qint64 article, qint64 warehouse);

} // namespace torvika
