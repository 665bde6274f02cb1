#pragma once
// The texts the sales show: messages and questions.

#include <QString>

namespace torvika::texts {

inline const QString kAskCounterpartyDiscounts =
    QStringLiteral("Желаете ли да бъдат въведени отстъпките за посоченият контрагент");

// Receipts and department tickets.
inline const QString kBonPrintFailed = QStringLiteral("Неуспешен печат на бон");
inline const QString kSelectServiceReceiptLines =
    QStringLiteral("Необходимо е да се изберат данни за издаване на служебен бон");
// Followed by "<number>:<name>" of the department.
inline const QString kTicketPrintFailed = QStringLiteral("Неуспешен печат на бележка за отдел ");
// Followed by one "<number>:<name>" line per department.
inline const QString kTicketsStillWaiting =
    QStringLiteral("Бележките за следните отдели не са отпечатани, защото предишните им бележки още "
                   "не са взети от фискалния сървър:");
// %1 the directory or file, %2 the reason.
inline const QString kCommandFileNotWritten = QStringLiteral("Файлът в %1 не може да бъде записан: %2");
inline const QString kDirectoryNotCreated = QStringLiteral("Папката %1 не може да бъде създадена");
inline const QString kDirectoryMissing = QStringLiteral("Папката %1 не съществува");
inline const QString kNoSuchDepartment = QStringLiteral("Няма отдел с този номер");

// The departments window.
inline const QString kDepartmentNumbersTaken = QStringLiteral("Всички номера на отдели от 1 до 100 са заети");
// %1 the department's number.
inline const QString kDepartmentGone = QStringLiteral("Отдел с номер %1 вече не съществува");
inline const QString kDepartmentInUse =
    QStringLiteral("Отделът не може да бъде изтрит: има артикули, които се приготвят в него");
inline const QString kDepartmentPathCaption = QStringLiteral("Път за печат");

} // namespace torvika::texts
