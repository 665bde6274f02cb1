#pragma once
// The texts the fiscal service shows: its page, its dialogs and the
// refusals of its logic.

#include <QString>

namespace torvika::texts {

inline const QString kFiscalServiceTab = QStringLiteral("ФИСКАЛЕН СЕРВИЗ");
inline const QString kFiscalServiceTitle = QStringLiteral("ТОРВИКА - ФИСКАЛЕН СЕРВИЗ");

// The page.
inline const QString kNotGiven = QStringLiteral("Не е посочено");
inline const QString kNoContractNumberShown = QStringLiteral("0000000000");
inline const QString kRowMissing = QStringLiteral("ЛИПСВА В РЕГИСТЪРА");
inline const QString kNoContract = QStringLiteral("Няма договор");
inline const QString kCertificateDateCaption = QStringLiteral(" / дата: ");

// Registrations and contracts.
inline const QString kNoDeviceNumber = QStringLiteral("Въведете индивидуалния номер на ЕКА.");
inline const QString kNoOwnerChosen = QStringLiteral("Изберете собственик на устройството.");
inline const QString kNoModelChosen = QStringLiteral("Изберете модел на устройството.");
inline const QString kNoRegistrationDate = QStringLiteral("Изберете дата на фискализация.");
inline const QString kNoDossier = QStringLiteral("Въведете номер на досие.");
inline const QString kContractDatesMissing =
    QStringLiteral("Изберете дата на сключване и дата, до която договорът е валиден.");
inline const QString kContractEndsBeforeStart =
    QStringLiteral("Датата, до която договорът е валиден, е преди датата на сключване.");
inline const QString kNoContractNumber = QStringLiteral("Въведете номер на договора.");
inline const QString kContractNumberTaken =
    QStringLiteral("Договор N %1 вече е сключен за друго устройство.");
inline const QString kModelForbidden =
    QStringLiteral("Моделът е забранен: нови устройства от него не се регистрират.");
inline const QString kDossierTaken = QStringLiteral("Досие N %1 вече е на друго устройство.");
inline const QString kDeviceAlreadyRegistered = QStringLiteral("Устройство %1 вече е регистрирано.");
// Notifications to the tax office.
inline const QString kReasonRepair = QStringLiteral("Ремонт");
inline const QString kReasonFiscalMemory = QStringLiteral("Подмяна на фискалната памет");
inline const QString kReasonSite = QStringLiteral("Промяна на данните на обекта");
inline const QString kReasonOwner = QStringLiteral("Смяна на собственика");
inline const QString kReasonDeregistration = QStringLiteral("Прекратяване на регистрацията");
inline const QString kReasonBlocked = QStringLiteral("Блокиране на устройството");
inline const QString kReasonDeviceReplaced = QStringLiteral("Подмяна на устройството");
inline const QString kNoNotificationReason =
    QStringLiteral("Изберете или въведете причина за уведомлението.");
inline const QString kNoNotificationDate = QStringLiteral("Изберете дата на уведомлението.");
inline const QString kNotificationStored = QStringLiteral("Уведомлението за %1 е записано.");
inline const QString kDeviceNotRegistered = QStringLiteral("Устройство %1 не е регистрирано.");

// The lists.
inline const QString kListDevices = QStringLiteral("Устройства и собственици");
inline const QString kListExpired = QStringLiteral("Изтекли договори");
inline const QString kListInService = QStringLiteral("Устройства в сервиз");
inline const QString kListRepairs = QStringLiteral("Извършен ремонт");
inline const QString kListForbiddenModels = QStringLiteral("Забранени модели");
inline const QString kExpiredBy = QStringLiteral("Изтекли към дата");
inline const QString kListFailed = QStringLiteral("Невалидни данни");
inline const QString kListCount = QStringLiteral("Брой: %1");

// Certificates.
inline const QString kCertificateAdd = QStringLiteral("Добави");
inline const QString kCertificateAccept = QStringLiteral("Приеми");
inline const QString kCertificateDelete = QStringLiteral("Изтрии");
inline const QString kCertificateCancel = QStringLiteral("Откажи");
inline const QString kAskDeleteCertificate =
    QStringLiteral("Желаете ли да изтриете свидетелството на модел %1?");
inline const QString kAskDeleteUsedCertificate =
    QStringLiteral("Моделът %1 е на %2 регистрирани устройства: без свидетелството те няма да имат модел.\r"
                   "Желаете ли да изтриете свидетелството?");
inline const QString kCertificateNoModel = QStringLiteral("Въведете модел на ЕКА.");
inline const QString kCertificateNoNumber = QStringLiteral("Въведете номер на свидетелството.");

// The tax-office file.
inline const QString kTaxOfficeNoEik =
    QStringLiteral("Не е въведен ЕИК на фирмата в настройките.\rФайлът не е записан.");
inline const QString kTaxOfficeTooManyDevices =
    QStringLiteral("Открити са %1 устройства, а файлът побира най-много %2.\rИзберете по-кратък период.");
inline const QString kPeriodEndBeforeStart = QStringLiteral("Крайната дата на периода е преди началната.");
inline const QString kTaxOfficeFound = QStringLiteral("Открити са :%1 записа.\rГенериране на справка!");
inline const QString kTaxOfficeLeftOut =
    QStringLiteral("%1 устройства от периода не са включени: липсват данни за собственик, обект, модел, "
                   "сервиз или данъчна служба.");
inline const QString kTaxOfficeFileFilter = QStringLiteral("Файл за ТДД (FISKAL.SER);;Всички файлове (*)");
inline const QString kTaxOfficeSaveCaption = QStringLiteral("Запис на файл за ТДД");
inline const QString kTaxOfficeWritten = QStringLiteral("Файлът %1 е записан.");
inline const QString kTaxOfficeWriteFailed =
    QStringLiteral("Неуспешен запис на данни!\rПрепоръчва се повторно генериране на файл.");

} // namespace torvika::texts
