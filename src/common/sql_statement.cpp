#include "common/sql_statement.h"

#include <QRegularExpression>
#include <stdexcept>

namespace torvika {

bool isPlainIdentifier(const QString& name) {
    static const QRegularExpression pattern(
        QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
    return pattern.match(name).hasMatch();
}

QString escapeLike(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'%' || c == u'_' || c == kLikeEscape)
            out += kLikeEscape;
        out += c;
    }
    return out;
}

QString likeContains(const QString& text) {
    return u'%' + escapeLike(text) + u'%';
}

QString valueCondition(const QString& field, ValueComparison comparison) {
    switch (comparison) {
    case ValueComparison::Equal:
        return field + QStringLiteral(" = ?");
    case ValueComparison::AtMost:
        return field + QStringLiteral(" <= ?");
    case ValueComparison::AtLeast:
        return field + QStringLiteral(" >= ?");
    case ValueComparison::Between:
        return field + QStringLiteral(" BETWEEN ? AND ?");
    }
    return {};
}

QString SortDirection::next() {
    const bool descending = descendingNext_;
    descendingNext_ = !descendingNext_;
    return descending ? QStringLiteral("DESC") : QStringLiteral("ASC");
}

SqlStatement ORDER_SQL(const SqlStatement& statement, const QString& field, SortDirection& direction) {
    if (!isPlainIdentifier(field))
        throw std::invalid_argument("ORDER_SQL: not a column name: " + field.toStdString());
    const qsizetype lineEnd = statement.text.indexOf(u'\n');
    const QString first = lineEnd < 0 ? statement.text : statement.text.left(lineEnd);
    QString order = first + QStringLiteral("\nORDER BY ") + field + u' ' + direction.next();
    if (!statement.key.isEmpty() && statement.key != field)
        order += QStringLiteral(", ") + statement.key;
    return {order, statement.values, statement.key};
}

} // namespace torvika
