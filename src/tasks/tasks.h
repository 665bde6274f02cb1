#pragma once
// Tasks (Zada4i_Zadanie): a piece of work a counterparty (the assigner)
// gives to performers, with the moments of assignment and execution, a
// status, a note and a repetition. A repeated task that is done makes its
// next occurrence. Dates are stored as ISO texts, times as HH:mm:ss.

#include "common/sql_statement.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>
#include <optional>

namespace torvika {

enum TaskStatus : int { kTaskAssigned = 0, kTaskRunning = 1, kTaskPostponed = 2, kTaskDone = 3 };
inline constexpr std::array<QStringView, 4> taskStatuses{u"Възложен", u"Изпълнява се", u"Отложен",
                                                         u"Изпълнен"};
// The position of a status text (any letter case) in taskStatuses; -1 for none.
int taskStatusIndex(const QString& text);

enum TaskRepetition : int { kOnce = 0, kHourly = 1, kDaily = 2, kWeekly = 3, kMonthly = 4 };
inline constexpr std::array<QStringView, 5> taskRepetitions{u"еднократно", u"всеки час", u"всеки ден",
                                                            u"всяка седмица", u"всеки месец"};

struct Task {
    qint64 id = 0;
    QString description; // Opisanie_Z
    QString performers;  // Izpalniteli
    QString status = taskStatuses[kTaskAssigned].toString();
    qint64 assigner = 0; // Vazlojil_Klient: Firmi.ID
    QDate assignedDate;
    QTime assignedTime;
    QDate dueDate;
    QTime dueTime;
    QString note; // Zabel
    int repetition = kOnce;
};

// The moment of execution a repetition proposes for a moment of
// assignment: an hour later, or 1, 7 or 30 days later at the same time;
// none for a task done once.
std::optional<QDateTime> repeatedMoment(int repetition, const QDateTime& assigned);

// How the list marks a task: overdue (due today or earlier and still
// assigned), running, postponed, or not at all.
enum class TaskMark { None, Overdue, Running, Postponed };
TaskMark taskMark(const QString& status, const QDate& due, const QDate& today);

// Why a task may not be stored: the execution before the assignment, no
// assigner or one that is no counterparty, a status not in the list.
struct TaskRefusal {
    enum Field { DueDate, DueTime, Assigner, Status } field;
    QString message;
};
std::optional<TaskRefusal> taskRefusal(const QSqlDatabase& db, const Task& task);

// Stores a new task and gives its number. Throws EConvertError with the
// refusal's message, EDatabaseError.
qint64 insertTask(const QSqlDatabase& db, const Task& task);
// Stores the task's new values. A repeated task that becomes done makes
// its next occurrence (assigned, both moments moved on by the repetition)
// in the same transaction, and gives its number. Throws EConvertError,
// EDatabaseError (a task that is gone: EDatabaseError too).
std::optional<qint64> updateTask(const QSqlDatabase& db, const Task& task);
std::optional<Task> loadTask(const QSqlDatabase& db, qint64 id);

// The list: every task whose assigner is a counterparty, by number. Its
// fields: ID, Opisanie_Z, Vazlojil_Klient, Izpalniteli, Status,
// D_Izpalnenie, T_Izpalnenie, D_Vazlagane, T_Vazlagane, Ime_Firma, Zabel,
// Povtorenie; key ID.
SqlStatement tasksStatement();

// The grid's columns, in order.
enum class TaskColumn : int {
    Description,
    Assigner,
    Performers,
    Status,
    DueDate,
    DueTime,
    AssignedDate,
    AssignedTime,
    Note
};
enum class TaskColumnKind { Text, Date, Time };
TaskColumnKind taskColumnKind(TaskColumn column);
QString taskColumnField(TaskColumn column); // as qualified in the statement

// A search of the list by one column: text columns find the tasks that
// contain the text (in any letter case); dates and times compare by the
// comparison ("равно", "по - голямо", "по - малко", "между").
inline constexpr std::array<QStringView, 4> taskComparisonCaptions{u"равно", u"по - голямо", u"по - малко",
                                                                   u"между"};
enum class TaskComparison : int { Equal = 0, Greater = 1, Less = 2, Between = 3 };
struct TaskSearch {
    TaskColumn column = TaskColumn::Description;
    TaskComparison comparison = TaskComparison::Equal;
    QString text;
    QDate fromDate, toDate;
    QTime fromTime, toTime;
};
// Throws EConvertError for a search without a value.
SqlStatement taskSearchStatement(const TaskSearch& search);

// The tasks still assigned whose day of execution is today or earlier.
int overdueTaskCount(const QSqlDatabase& db, const QDate& today);

// The blank protocol of performed work for a task.
struct TaskProtocol {
    QString companyName;
    QString companyAddress;
    QDateTime now;
    Task task;
    QString assignerText; // "<ID>:<name>"
};
QStringList taskProtocolLines(const TaskProtocol& protocol);

} // namespace torvika
