#pragma once
// Stock levels: the quantity of every article in every warehouse
// (Store_Kol), changed only through GET_NALI4NOST.

#include "common/decimal.h"
#include "common/sql_statement.h"

#include <QList>
#include <QSqlDatabase>
#include <QStringList>
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
// refused (EDatabaseError with the operator's message), nothing written.
// Throws EDatabaseError.
void GET_NALI4NOST(const QSqlDatabase& db, qint64 article, qint64 warehouse, int mode,
                   const Decimal& quantity);

// The article's quantity over every warehouse (0 without rows).
Decimal stockTotal(const QSqlDatabase& db, qint64 article);
// The article's quantity in the warehouse; none when it never moved there.
std::optional<Decimal> stockIn(const QSqlDatabase& db, qint64 article, qint64 warehouse);

// The stock report "Справка наличности артикули": one row per article
// with stock rows (ID, Opisanie, All_Kol, Mqrka; by article number), its
// quantity summed over the warehouses. Each condition given narrows it: to
// one article, to the quantity in one warehouse, to the articles of one
// group. An article without a stock row is not listed (not even as 0).
struct StockFilter {
    std::optional<qint64> article;
    std::optional<qint64> warehouse;
    std::optional<qint64> group;
};
SqlStatement stockReportStatement(const StockFilter& filter);

// The stock of the articles marked in the catalogue ("Справка наличности
// ..."): one row per marked article that has stock rows, with the columns
// of the catalogue grid (ID_Grupa, Grupa_Opis, ID, Nomenkl_N, Opisanie,
// Ed_Cena, Valuta_P, Mqrka) and All_Kol, the quantity over all warehouses;
// by article number, key ID. With kMarkedStockLimit or more articles
// there is none: the operator is shown texts::kStockOfAllArticles.
inline constexpr int kMarkedStockLimit = 256;
std::optional<SqlStatement> markedArticlesStockStatement(const QList<qint64>& marked);

// The article as the stock report's label shows it, "<ID>:<Opisanie>";
// texts::kNoArticleChosen when there is no such article. Throws
// EDatabaseError.
QString stockReportArticleText(const QSqlDatabase& db, qint64 article);
// "<ID>:<Opisanie>" of every article group, by number, for the report's
// group choice. Throws EDatabaseError.
QStringList stockReportGroupItems(const QSqlDatabase& db);

} // namespace torvika
