#pragma once
// The texts the service desk shows: its page, the repairs window, the
// repair states, the warranty documents and the service reports.

#include <QString>

namespace torvika::texts {

inline const QString kServiceTab = QStringLiteral("СЕРВИЗ");
inline const QString kServiceTitle = QStringLiteral("ТОРВИКА - СЕРВИЗ");

// ---- Intake ----

inline const QString kIntakeNoClient = QStringLiteral("Необходимо е да се посочи Контрагент");
inline const QString kIntakeNoClientShort = QStringLiteral("0: Няма избран Контрагент");
inline const QString kIntakeNoSupplier = QStringLiteral("0: Няма избран контрагент");
inline const QString kIntakeNoDescription = QStringLiteral("Не е посочено описание на стока");
inline const QString kIntakeDescriptionMissing =
    QStringLiteral("Необходимо е да се посочи артикул или описание на стоката");
inline const QString kIntakeReasonMissing = QStringLiteral("Необходимо е да се посочи причина за приемане");
inline const QString kIntakeDueInPast =
    QStringLiteral("Датата, до която да се ремонтира, не може да бъде преди днешната");
inline const QString kIntakeCurrencyMissing = QStringLiteral("Необходимо е да се посочи валута");
inline const QString kIntakePriceNotNumber =
    QStringLiteral("Цената на ремонта \"%1\" не е число: въведете например 12.50");
inline const QString kIntakeCancelQuestion =
    QStringLiteral("Наистина ли желаете да откажете избраните артикули");
inline const QString kIntakeNoLinesForDocuments =
    QStringLiteral("Моля изберeте артикулите, за които\rще се разпечатват документи");
inline const QString kIntakeNoLineForTicket =
    QStringLiteral("Необходимо е да се изберат данни за издаване на служебен бон");
inline const QString kIntakeNoDepartment =
    QStringLiteral("Изберете отдел, към който да се отпечата служебният бон");
inline const QString kIntakeDepartmentGone = QStringLiteral("Отдел с номер %1 вече не съществува");
inline const QString kIntakeTicketFailed = QStringLiteral("Неуспешен печат на бон");
inline const QString kIntakeTicketWaiting = QStringLiteral(
    "Предишният бон към отдел \"%1\" още не е отпечатан:\rновият бон ще бъде записан след него.");
inline const QString kIntakeLineGone = QStringLiteral("Избраният ред вече не е в списъка за приемане");

// ---- Repairs ----

inline const QString kRepairTitle = QStringLiteral("РЕМОНТ");
inline const QString kRepairNoData = QStringLiteral("Не са посочени данни за ремонт");
inline const QString kRepairQuantityNotNumber =
    QStringLiteral("Количеството \"%1\" не е число, по-голямо от 0");
inline const QString kRepairPriceNotNumber =
    QStringLiteral("Цената \"%1\" не е число: въведете например 12.50");
inline const QString kRepairItemGone =
    QStringLiteral("Стоката с номер %1 вече е издадена от друго работно място");
inline const QString kRepairNothingToIssue = QStringLiteral("Няма данни за извършен ремонт");
inline const QString kRepairIssuedElsewhere =
    QStringLiteral("Стоката с номер %1 вече е издадена от друго работно място: не е издадена отново.");
inline const QString kRepairNoLines =
    QStringLiteral("Стоката с номер %1 няма извършен ремонт и не е издадена.");
inline const QString kRepairNoRate =
    QStringLiteral("Стоката с номер %1 не е издадена: няма курс за валута %2.");
inline const QString kRepairReceiptFailed =
    QStringLiteral("Ремонтът на стоката с номер %1 е продаден, но касовият бон не е записан:\r%2\r"
                   "Бонът ще бъде предложен за отпечатване при следващото стартиране.");
inline const QString kRepairTotal = QStringLiteral("Обща сума на ремонта в лв : ");
inline const QString kRepairProtocolFile = QStringLiteral("Remont.tmp");
inline const QString kRepairProtocolNotWritten = QStringLiteral("Протоколът за ремонт не е записан: %1");
inline const QString kRepairSelectItem = QStringLiteral("Изберете стока от списъка");
inline const QString kRepairNoArticle = QStringLiteral("0: Няма избран артикул");

// ---- Repair states ----

inline const QString kStateNameMissing = QStringLiteral("Въведете наименование на състоянието");
inline const QString kStateInUse =
    QStringLiteral("Състоянието \"%1\" е на стоки в сервиз и не може да бъде изтрито");
inline const QString kStateFirst =
    QStringLiteral("Състоянието \"%1\" е състоянието на новоприетите стоки и не може да бъде изтрито");
inline const QString kStateGone = QStringLiteral("Състоянието вече не съществува");
inline const QString kStateAccept = QStringLiteral("Приеми");
inline const QString kStateCancel = QStringLiteral("Откажи");
inline const QString kStateAdd = QStringLiteral("Добави");
inline const QString kStateDelete = QStringLiteral("Изтрии");

// ---- Warranty documents ----

inline const QString kWarrantyRowIncomplete =
    QStringLiteral("Задължително е да се въведе сериен номер и е да е избран артикул");
inline const QString kWarrantyNoValidity =
    QStringLiteral("Необходимо е да се въведе валидност за гаранцията");
inline const QString kWarrantyNoArticle = QStringLiteral("Въведеният номер за артикул не съществува!");
inline const QString kWarrantyDuplicateSerial =
    QStringLiteral("Серийният номер \"%1\" вече е въведен в документа");
inline const QString kWarrantyNumberTooLong = QStringLiteral("Номерът на документа е по-дълъг от 12 знака");
inline const QString kWarrantyNoDate = QStringLiteral("Въведете дата на документа");
inline const QString kWarrantyNoKind = QStringLiteral("Изберете вид документ");
inline const QString kWarrantyNoArticleChosen = QStringLiteral("0:Няма избран артикул");
inline const QString kWarrantyNoCounterparty = QStringLiteral("0:Няма избран контрагент");
inline const QString kWarrantyNoSupplierChosen = QStringLiteral("0:Няма избран доставчик");
inline const QString kWarrantySaved = QStringLiteral("Документът е записан под номер %1");
inline const QString kWarrantyNothingStaged = QStringLiteral("Няма въведени серийни номера");
// The import of a warranty file, refused line by line.
inline const QString kWarrantyImportRefused =
    QStringLiteral("Файлът не е зареден: нито един ред не е записан.\r%1");
inline const QString kWarrantyImportLine = QStringLiteral("Ред %1: %2");
inline const QString kWarrantyImportMore = QStringLiteral("... и още %1 грешки");
inline const QString kWarrantyImportUnterminated = QStringLiteral("поле %1 няма затваряща скоба \"]\"");
inline const QString kWarrantyImportNoKind =
    QStringLiteral("редът няма нито артикул (1), нито номер на документ (7)");
inline const QString kWarrantyImportBadArticle = QStringLiteral("\"%1\" не е номер на артикул");
inline const QString kWarrantyImportUnknownArticle = QStringLiteral("няма артикул с номер %1");
inline const QString kWarrantyImportNoSerial = QStringLiteral("липсва сериен номер (поле 4)");
inline const QString kWarrantyImportBadValidity =
    QStringLiteral("валидността \"%1\" (поле 5) не е дата във вида дд.мм.гггг");
inline const QString kWarrantyImportBadDate =
    QStringLiteral("датата на документа \"%1\" (поле 8) не е дата във вида дд.мм.гггг");
inline const QString kWarrantyImportDuplicate = QStringLiteral("серийният номер \"%1\" вече е на ред %2");
inline const QString kWarrantyImportLongNumber =
    QStringLiteral("номерът на документа \"%1\" (поле 7) е по-дълъг от 12 знака");
inline const QString kWarrantyImportNoDocument =
    QStringLiteral("Във файла няма ред с номер на документ (поле 7)");
inline const QString kWarrantyImportFileFilter = QStringLiteral("All Files (*);;Text Files (*.txt)");

// ---- Reports ----

inline const QString kReportTotalRepairs = QStringLiteral("Обща сума на справка: ");
inline const QString kReportItemRepairs = QStringLiteral("Обща сума за ремонт: ");
inline const QString kReportDossierNotNumber =
    QStringLiteral("Номерът на досие трябва да е цяло положително число!");
inline const QString kReportNoItemChosen = QStringLiteral("Изберете издадения артикул за печат.");
// %1 the intake number, %2 the serial number, %3 the description.
inline const QString kReportItemHeading = QStringLiteral("Приет под N: %1   Сериен номер: %2   %3");
// %1 the client, %2 the reason.
inline const QString kReportItemClient = QStringLiteral("Контрагент: %1   Причина: %2");
// %1 received, %2 issued, %3 by whom.
inline const QString kReportItemDates = QStringLiteral("Приет на: %1   Издаден на: %2   Издал: %3");
inline const QString kReportYes = QStringLiteral("да");
inline const QString kReportNo = QStringLiteral("не");

} // namespace torvika::texts
