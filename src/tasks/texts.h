#pragma once
// The texts the tasks show.

#include <QString>

namespace torvika::texts {

inline const QString kDueDateBeforeAssignment =
    QStringLiteral("Не е позволено дата на изпълнение\rда е преди дата на възлагане");
inline const QString kDueTimeBeforeAssignment =
    QStringLiteral("Не е позволено час на изпълнение\rда е преди час на възлагане");
inline const QString kNoTaskAssigner = QStringLiteral("Изберете възложител от списъка на контрагентите");
inline const QString kTaskAssignerMissing = QStringLiteral("Няма контрагент с номер %1");
inline const QString kTaskInvalidData = QStringLiteral("Невалидни данни");
inline const QString kTaskBadStatus = QStringLiteral("Непознат статус на задача: %1");
inline const QString kTaskNotFound = QStringLiteral("Задачата вече не съществува");
inline const QString kTaskNoSearchValue = QStringLiteral("Въведете стойност за търсене");

// Windows.
inline const QString kNewTaskCaption = QStringLiteral("Въвеждане на нова задача");
inline const QString kEditTaskCaption = QStringLiteral("Редактиране на задача");
inline const QString kTasksCaption = QStringLiteral("Задачи");
inline const QString kTasksSearchCaption = QStringLiteral("ЗАДАЧИ - Търсене по: ");
inline const QString kSearchBy = QStringLiteral("Търсене по: ");
inline const QString kOrganizerInDevelopment = QStringLiteral("!!! РАЗРАБОТВА СЕ !!!");
inline const QString kOverdueTasksHint = QStringLiteral("Просрочени задачи: %1");

// Prints.
inline const QString kTasksReportTitle = QStringLiteral("\tСПРАВКА ЗАДАЧИ ");

} // namespace torvika::texts
