#pragma once
// The system's short date and time texts: dates are shown and kept in
// profile files as dd.MM.yyyy, times as HH:mm:ss; the database keeps ISO text.

#include <QDate>
#include <QString>

namespace torvika {

inline QString shortDate(const QDate& d) {
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}
inline QString shortTime(const QTime& t) {
    return t.toString(QStringLiteral("HH:mm:ss"));
}
// An invalid date when the text is not a short date.
inline QDate parseShortDate(const QString& text) {
    return QDate::fromString(text.trimmed(), QStringLiteral("dd.MM.yyyy"));
}
inline QString isoDate(const QDate& d) {
    return d.toString(Qt::ISODate);
}

} // namespace torvika
