#pragma once
// A statement with its bound values, the "contains" pattern of a typed text,
// and the column sort of the title-sorted lists (ORDER_SQL) with the one
// program-wide sort direction they share.

#include <QString>
#include <QVariantList>

namespace torvika {

struct SqlStatement {
    QString text;
    QVariantList values;
    // The unique key of the rows (a column of our own code), by which a sort
    // breaks ties, so that a grid reading the rows page by page neither
    // repeats nor skips one. Empty when the statement's order is unique.
    QString key = {};
};

// A table or column name of our own code: letters, digits and "_", not
// starting with a digit, optionally qualified by a table ("Firmi.ID").
bool isPlainIdentifier(const QString& name);

// The escape character of the LIKE patterns built here; statements use them
// with "LIKE ? ESCAPE '\'".
inline constexpr QChar kLikeEscape = u'\\';
// The text with %, _ and the escape character escaped, so that LIKE matches
// them as typed.
QString escapeLike(const QString& text);
// "%<text>%" with the text escaped: "contains the text as typed".
QString likeContains(const QString& text);

// How a search by value compares a column: equal to, at most or at least
// the value typed, or between the two values typed (the order of the
// choice lists "равно", "по - малко", "по - голямо", "между").
enum class ValueComparison { Equal, AtMost, AtLeast, Between };
// "<field> = ?", "<field> <= ?", "<field> >= ?" or "<field> BETWEEN ? AND ?".
// The field is one of our own column names.
QString valueCondition(const QString& field, ValueComparison comparison);

// The direction switch of the title-sorted lists: every title click in any
// of them flips it, the first click of the run sorting ascending.
class SortDirection {
public:
    // "ASC" or "DESC" for this click; flips the switch.
    QString next();
    bool nextIsDescending() const { return descendingNext_; }

private:
    bool descendingNext_ = false;
};

// Keeps the first line of the statement (and its values) and makes
// "ORDER BY <field> ASC|DESC" its second line, followed by the statement's
// key (", <key>") when it has one. The field is one of our own column
// names; anything else throws std::invalid_argument.
SqlStatement ORDER_SQL(const SqlStatement& statement, const QString& field, SortDirection& direction);

} // namespace torvika
