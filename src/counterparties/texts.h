#pragma once
// The texts the counterparties show: messages, questions, the captions and
// titles that the code sets, and the reference texts of "none". Captions
// that a window's .ui file holds stay there.

#include "common/texts.h"

#include <QString>

namespace torvika {

// Reference texts of "none", read back as the number 0.
inline const QString kNoCounterparty = QStringLiteral("0: Няма избран Контрагент");
inline const QString kNoUser = QStringLiteral("0: Няма избран потребител");
// The root of the group tree.
inline const QString kAllCounterpartiesNode = QStringLiteral("0:Всички контрагенти");

// Failures.
inline const QString kIncompleteData = QStringLiteral("Некоректни или непълни данни");
inline const QString kInvalidData = QStringLiteral("Невалидни данни");
inline const QString kIncorrectData = QStringLiteral("Некоректни данни");

// Identity numbers.
inline const QString kInvalidEik = QStringLiteral("Невалиден ЕИК");
inline const QString kAskInvalidEik = QStringLiteral("Невалиден ЕИК, желаете ли да продължите");
inline const QString kAskInvalidEgn = QStringLiteral("Невалидно ЕГН, желаете ли да продължите");
inline const QString kAskInvalidIdentity =
    QStringLiteral("Въведени са невалидни ЕИК или ЕГН!.Желаете ли да продължите?");

// The card.
inline const QString kAskCloseCounterparties =
    QStringLiteral("Желаете ли да приключите работа с модул Контрагенти");
inline const QString kTownHint = QStringLiteral(
    "1.Въведете част от името и изберете от списъка!\r2.Въведете \"+\" и телефонен код на търсеният "
    "град\r3.Въведете \"-\" и пощенски код на търсеният град");

// The captions of the state buttons of the card and of the sites and
// accounts dialogs.
inline const QString kCaptionNew = QStringLiteral("НОВ");
inline const QString kCaptionEnter = QStringLiteral("ВЪВЕДИ");
inline const QString kCaptionSave = QStringLiteral("ЗАПИС");
inline const QString kCaptionDelete = QStringLiteral("ИЗТРИИ");
inline const QString kCaptionCancel = QStringLiteral("ОТКАЖИ");

// The sites and accounts dialogs.
inline const QString kSitesTitle = QStringLiteral("Складове за избран контрагент");
inline const QString kAccountsTitle = QStringLiteral("Сметки за избран контрагент");

// The list.
inline const QString kAskMoveToGroup =
    QStringLiteral("Желаете ли да преместите избраните контрагенти в група:\r");
inline const QString kExportHeading = QStringLiteral("\tЕкспорт контрагенти ");

// The quick search of the pages.
inline const QString kQuickSearchHint = QStringLiteral("Въведете име на контрагент");
inline const QString kAskNewCounterparty =
    QStringLiteral("Няма намерени данни, отговарящи на критерия.\rЖелаете ли да въведете нов контрагент");

} // namespace torvika
