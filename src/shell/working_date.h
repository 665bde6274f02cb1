#pragma once
// The working-date guard: the program must not run on a date before the
// last date it worked on (TIME/Last), and a change of the date while it runs
// (midnight, or the clock set back) is confirmed by the operator.

#include <QDate>
#include <QString>
#include <optional>

namespace torvika {

struct StartupDateCheck {
    std::optional<QString> question; // asked Yes/No; No ends the program
    bool unreadable = false;         // the stored text is not a date: logged, treated as missing
};

// At start: today against the stored text (which defaults to today's text).
StartupDateCheck startupDateCheck(const QDate& today, const QString& storedText);
// Every tick: the stored text against today's text, compared as texts.
std::optional<QString> runningDateQuestion(const QDate& today, const QString& storedText);

} // namespace torvika
