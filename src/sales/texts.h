#pragma once
// The texts the sales show: messages and questions.

#include <QString>

namespace torvika::texts {

inline const QString kAskCounterpartyDiscounts =
    QStringLiteral("Желаете ли да бъдат въведени отстъпките за посоченият контрагент");

// The table window: the names of its objects and the scheme shown first.
inline const QString kFloorTable = QStringLiteral("Маса");
inline const QString kFloorPlace = QStringLiteral("Място");
inline const QString kFloorShapeHintChoose = QStringLiteral("Кликнете за да изберете");
inline const QString kFloorShapeHintCancel = QStringLiteral("Кликнете за да откажете");
inline const QString kFloorAskSaveScheme =
    QStringLiteral("Схемата на масите не е записана.\rЖелаете ли да я запишете?");
inline const QString kFloorAskClear = QStringLiteral("Наистина ли желаете да изтриете всички маси и места?");
inline const QString kFloorSaved = QStringLiteral("Схемата на масите е записана.");
inline const QString kFloorDefaultScheme = QStringLiteral("Стандарт");

} // namespace torvika::texts
