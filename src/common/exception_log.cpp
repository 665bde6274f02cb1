#include "common/exception_log.h"

#include <QFile>

namespace torvika {

QString exceptionLogLine(const QDateTime& when, const QString& className, const QString& message) {
    return when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) + u':' + className + QStringLiteral(": !") +
           message + u'!';
}

bool appendExceptionLog(const QString& path, const QDateTime& when, const QString& className,
                        const QString& message) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QByteArray line = exceptionLogLine(when, className, message).toUtf8() + "\r\n";
    return f.write(line) == line.size();
}

} // namespace torvika
