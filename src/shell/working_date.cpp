#include "shell/working_date.h"

#include "common/dates.h"
#include "shell/texts.h"

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
    c.question = texts::kTodayOlderThanLastDate.arg(shortDate(today), storedText) + texts::kContinueQuestion;
    return c;
}

std::optional<QString> runningDateQuestion(const QDate& today, const QString& storedText) {
    const QString todayText = shortDate(today);
    if (storedText == todayText)
        return std::nullopt;
    return texts::kWorkingDateChanged.arg(todayText, storedText) + texts::kContinueQuestion;
}

} // namespace torvika
