#include "shell/working_date.h"

#include "common/dates.h"

namespace torvika {

StartupDateCheck startupDateCheck(const QDate& today, const QString& storedText) {
    StartupDateCheck c;
    QDate last = parseShortDate(storedText);
    if (!last.isValid()) {
        c.unreadable = true;
        return c;
    }
    if (today >= last)
        return c;
    c.question = QStringLiteral("Настоящата дата ") + shortDate(today) +
                 QStringLiteral(" е по стара от последната дата с която e работено:") + storedText +
                 QStringLiteral("\rЖелаете ли да продължите?");
    return c;
}

std::optional<QString> runningDateQuestion(const QDate& today, const QString& storedText) {
    const QString todayText = shortDate(today);
    if (storedText == todayText)
        return std::nullopt;
    return QStringLiteral("Извършена е промяна на работната дата !\rАктивна дата :") + todayText +
           QStringLiteral("\rПоследна дата с която e работено:") + storedText +
           QStringLiteral("\rЖелаете ли да продължите?");
}

} // namespace torvika
