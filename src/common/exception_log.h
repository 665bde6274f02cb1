#pragma once
// Exceptions.log: one line per exception, appended and never truncated:
//   dd.MM.yyyy HH:mm:ss:<class>: !<message>!  CR LF
// (line breaks inside the message become blanks)
//
// The run has one log: the session names its file and clock, and every
// handler that logs an exception (the application's event-loop guard, the
// windows' error edge, steps that the program logs without showing) goes
// through logException.

#include <QDateTime>
#include <QString>
#include <exception>
#include <functional>

namespace torvika {

QString exceptionLogLine(const QDateTime& when, const QString& className, const QString& message);
// Appends the line; returns false when the file cannot be written.
bool appendExceptionLog(const QString& path, const QDateTime& when, const QString& className,
                        const QString& message);

// Makes path the log of the run, with the clock that dates its lines (the
// system clock when empty). An empty path turns logging off.
void setExceptionLog(const QString& path, std::function<QDateTime()> clock = {});
QString exceptionLogPath();
// Appends a line for the exception to the log of the run; false when there
// is none or it cannot be written.
bool logException(const std::exception& e);

} // namespace torvika
