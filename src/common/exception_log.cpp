#include "common/exception_log.h"

#include "common/errors.h"

#include <QFile>

namespace torvika {

namespace {

// One exception is one line of the log: line breaks of a message (driver
// texts often have them) become blanks.
QString oneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

struct RunLog {
    QString path;
    std::function<QDateTime()> clock;
};

RunLog& runLog() {
    static RunLog log;
    return log;
}

} // namespace

QString exceptionLogLine(const QDateTime& when, const QString& className, const QString& message) {
    return when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) + u':' + oneLine(className) +
           QStringLiteral(": !") + oneLine(message) + u'!';
}

bool appendExceptionLog(const QString& path, const QDateTime& when, const QString& className,
                        const QString& message) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QByteArray line = exceptionLogLine(when, className, message).toUtf8() + "\r\n";
    return f.write(line) == line.size() && f.flush();
}

void setExceptionLog(const QString& path, std::function<QDateTime()> clock) {
    runLog() = {path, std::move(clock)};
}

QString exceptionLogPath() {
    return runLog().path;
}

bool logException(const std::exception& e) {
    const RunLog& log = runLog();
    if (log.path.isEmpty())
        return false;
    const QDateTime when = log.clock ? log.clock() : QDateTime::currentDateTime();
    return appendExceptionLog(log.path, when, exceptionClassName(e), exceptionMessage(e));
}

} // namespace torvika
