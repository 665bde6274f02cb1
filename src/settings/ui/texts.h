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

inline const QString kFiscalDeviceNumberWrong =
    QStringLiteral("Индивидуалният номер на фискалното устройство е от 2 латински букви и 6 цифри "
                   "(например DT279013): \"%1\"");
inline const QString kFiscalHttpNeedsSetup =
    QStringLiteral("За печат през HTTP фискален сървър са нужни индивидуалният номер на фискалното "
                   "устройство и адресът на сървъра.");

// The shortcut window.
inline const QString kShortcutTaken = QStringLiteral("Клавишната комбинация %1 вече е зададена на \"%2\".");
inline const QString kShortcutMoveQuestion = QStringLiteral("\rДа бъде ли преместена на избраната команда?");

} // namespace torvika::texts
