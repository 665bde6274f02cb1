#pragma once
// Exceptions.log: one line per exception that no handler caught, appended
// and never truncated:  dd.MM.yyyy HH:mm:ss:<class>: !<message>!  CR LF
// (line breaks inside the message become blanks)

#include <QDateTime>
#include <QString>

namespace torvika {

QString exceptionLogLine(const QDateTime& when, const QString& className, const QString& message);
// Appends the line; returns false when the file cannot be written.
bool appendExceptionLog(const QString& path, const QDateTime& when, const QString& className,
                        const QString& message);

} // namespace torvika
