#pragma once
// The texts the settings windows show.

#include <QString>

namespace torvika::texts {

inline const QString kChooseDirectoryCaption = QStringLiteral("Смяна на работна база ");
inline const QString kVatPercentNotNumber =
    QStringLiteral("Стойността на ДДС трябва да е число от 0 до 100: \"%1\"");
inline const QString kReceiptDirectoryNotMade =
    QStringLiteral("Директорията на фискалния бон не може да бъде създадена: %1");
inline const QString kAutostartNotWritten =
    QStringLiteral("Настройките са записани, но стартирането с работната среда не беше променено: %1");

// The shortcut window.
inline const QString kShortcutTaken = QStringLiteral("Клавишната комбинация %1 вече е зададена на \"%2\".");
inline const QString kShortcutMoveQuestion = QStringLiteral("\rДа бъде ли преместена на избраната команда?");

} // namespace torvika::texts
