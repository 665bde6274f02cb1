#pragma once
// The texts the sales show: messages and questions.

#include <QString>

namespace torvika::texts {

// The shop page's tab and the main window's title while it is current.
inline const QString kShopTab = QStringLiteral("МАГАЗИН");
inline const QString kShopTitle = QStringLiteral("ТОРВИКА - МАГАЗИН");

inline const QString kAskCounterpartyDiscounts =
    QStringLiteral("Желаете ли да бъдат въведени отстъпките за посоченият контрагент");

// The sale list.
inline const QString kNothingFound = QStringLiteral("Не са открити данни");
inline const QString kZeroValue = QStringLiteral("Въведена е нулева стойност");
inline const QString kWrongValue = QStringLiteral("Грешно въведена (или нулева) стойност");
inline const QString kNegativeQuantity = QStringLiteral("Не се допускат отрицателни количества");
inline const QString kNegativePrice = QStringLiteral("Не се допуска отрицателна цена");
inline const QString kAboveMaxDiscount = QStringLiteral("Надвишавате максимално допустимата отстъпка! - ");
inline const QString kIncorrectData = QStringLiteral("Не са въведени коректни данни");
inline const QString kZeroPriceArticle =
    QStringLiteral("Избраният артикул е с нулева цена!\rНеобходимо е да въведете цена");
inline const QString kSerialNeeded =
    QStringLiteral("Необходим е сериен номер\rза въвеждане в гаранционна карта");
inline const QString kSerialCaption = QStringLiteral("Сериен номер");
inline const QString kSeriesCaption = QStringLiteral("Поредица");
inline const QString kSerialSold = QStringLiteral("Серийният номер %1 вече е продаден");
inline const QString kAskCancelLines = QStringLiteral("Наистина ли желаете да откажете избраните артикули");
inline const QString kLineGone =
    QStringLiteral("Редактираният ред вече не е в списъка\r(продаден или отказан от друго работно място).");
inline const QString kArticleGone = QStringLiteral("Артикулът вече не е в каталога");
// The fourth word is written with a Latin "e", as the program always had it.
inline const QString kSelectLinesForDiscount =
    QStringLiteral("Моля изберeте артикулите, за които\rще се въвежда отстъпка/надбавка");
inline const QString kDiscountAbove100 = QStringLiteral("Отстъпката не може да бъде над 100%");
inline const QString kNoSaleCounterpartyShort = QStringLiteral("0:Няма избран контрагент");

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

// The unique sale number.
inline const QString kBadFiscalDeviceNumber =
    QStringLiteral("Индивидуалният номер на фискалното устройство \"%1\" не е във вида AB123456.\r"
                   "Продажбата не е записана. Поправете го в Системни настройки.");
inline const QString kSaleSequenceEnded =
    QStringLiteral("Поредните номера на продажбите на фискалното устройство %1 са изчерпани.");

// The fiscal print server over HTTP.
inline const QString kNoUniqueSaleNumber =
    QStringLiteral("Продажбата няма уникален номер (УНП): задайте индивидуалния номер на фискалното "
                   "устройство в Системни настройки.");
inline const QString kPrintingReceipt = QStringLiteral("Печат на касов бон...");
// Followed by the server's or the network's reason.
inline const QString kHttpReceiptFailed =
    QStringLiteral("Неуспешен печат на бон. Продажбата е записана като неотпечатана и бонът може да бъде "
                   "отпечатан отново.\r");
inline const QString kHttpCallFailed = QStringLiteral("Фискалният сървър не изпълни командата.\r");
inline const QString kHttpReceiptNotRecorded =
    QStringLiteral("Касовата бележка № %1 е отпечатана, но не можа да бъде отбелязана в базата данни.");
inline const QString kReversalFailed = QStringLiteral("Неуспешен печат на сторно бон.\r");
inline const QString kAskReversalAgain =
    QStringLiteral("Продажбата е анулирана, но сторно бонът не е отпечатан.\rЖелаете ли нов опит за печат?");
inline const QString kCashIn = QStringLiteral("Служебно въведени");
inline const QString kCashOut = QStringLiteral("Служебно изведени");
inline const QString kCashAmount = QStringLiteral("Сума:");
inline const QString kCashMovementNeedsServer = QStringLiteral(
    "Служебно въведени и изведени суми се печатат през HTTP фискален сървър (Системни настройки).");
// The sales report's receipt column for a sale that owes its receipt.
inline const QString kReceiptOwed = QStringLiteral("НЕОТПЕЧАТАН");

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
// %1 the receipt directory.
inline const QString kReceiptNumbersBusy =
    QStringLiteral("Номерата на бележките в папка %1 се заемат от друго работно място");
// %1 the file of a kept ticket.
inline const QString kKeptTicketDamaged = QStringLiteral("Запазената бележка %1 е повредена и е премахната");
// Follows kTicketsStillWaiting at exit.
inline const QString kTicketsWaitForNextStart =
    QStringLiteral("Те ще бъдат отпечатани при следващото стартиране на програмата.");
// %1 the file of the receipt.
inline const QString kReceiptNotRecorded =
    QStringLiteral("Продажбата е записана и касовата бележка е отпечатана във файла %1,\r"
                   "но бележката не можа да бъде отбелязана в базата данни.\r"
                   "Ако при следващото стартиране програмата попита за тази бележка, отговорете \"Не\".");
// %1 the date, %2 the time, %3 the operator, %4 the amount due.
inline const QString kAskOwedReceipt =
    QStringLiteral("Продажбата от %1 %2 (оператор %3, сума %4) е записана,\r"
                   "но касовата бележка за нея не е отпечатана.\r"
                   "Да - отпечатай бележката сега\r"
                   "Не - продажбата остава без бележка\r"
                   "Отказ - попитай отново при следващото стартиране");
inline const QString kReceiptSeveralSales =
    QStringLiteral("Избраните редове са от различни продажби.\r"
                   "Фискалният бон се издава за всяка продажба поотделно, с нейния уникален номер.");
// %1 the unique sale number.
inline const QString kSaleNumberUsed =
    QStringLiteral("За продажба %1 вече е отпечатан фискален бон.\r"
                   "Втори бон със същия уникален номер на продажба не се издава.");
// %1 the sale's date and time, %2 the amount given back.
inline const QString kAskOwedReversal = QStringLiteral("Продажбата от %1 (сума %2) е анулирана,\r"
                                                       "но сторно бонът за нея не е отпечатан.\r"
                                                       "Да - отпечатай сторно бона сега\r"
                                                       "Не - без сторно бон\r"
                                                       "Отказ - попитай отново при следващото стартиране");
// %1 the currencies, each in quotes.
inline const QString kCurrencyWithoutRate =
    QStringLiteral("Няма курс за валута %1 във \"Валутни курсове\".\r"
                   "Редовете в тази валута не могат да бъдат продадени: въведете курса или ги откажете.");

// The departments window.
inline const QString kDepartmentNumbersTaken = QStringLiteral("Всички номера на отдели от 1 до 100 са заети");
// %1 the department's number.
inline const QString kDepartmentGone = QStringLiteral("Отдел с номер %1 вече не съществува");
inline const QString kDepartmentInUse =
    QStringLiteral("Отделът не може да бъде изтрит: има артикули, които се приготвят в него");
inline const QString kDepartmentPathCaption = QStringLiteral("Път за печат");

// Special discounts and surcharges ("Специални отстъпки/надбавки").
// %1 the counterparty whose rows are not stored: Yes stores them for it, No
// drops them, Cancel stays with it.
inline const QString kAskStoreSpecialDiscounts =
    QStringLiteral("Промените в отстъпките за %1 не са записани.\rЖелаете ли да ги запишете?");
inline const QString kChooseDiscountCounterparty = QStringLiteral("Изберете контрагент");
// The print: the file in TEMP (its last two letters are Cyrillic) and its lines.
inline const QString kSpecialDiscountsFile = QStringLiteral("Spr_ТО");
inline const QString kSpecialDiscountsHeading = QStringLiteral("\tСправка Отстъпки ");
inline const QString kAllSpecialDiscountsHeading =
    QStringLiteral("\tСправка Отстъпки за всички контрагенти ");
inline const QString kSpecialDiscountsCounterparty = QStringLiteral("\tКонтрагент: ");
// The bottom button in and out of entry mode (the add button of the entry
// panel is a row button: "Приеми" while a row is edited, "Добави" otherwise).
inline const QString kDiscountsStore = QStringLiteral("Запис");
inline const QString kDiscountsNew = QStringLiteral("Нова");

// Completing a sale.
inline const QString kSelectLinesForSale = QStringLiteral("Необходимо е да изберете артикули за продажба");
inline const QString kPayCash = QStringLiteral("в брой");
inline const QString kPayBankTransfer = QStringLiteral("по банков път");
inline const QString kPayDeferred = QStringLiteral("отложено плащане");
// %1 the article's description.
inline const QString kAskOrderBelowMinimum = QStringLiteral(
    "Артикул: %1 е под минималното количество.\rЖелаете ли да бъде въведен в списък за Поръчки?");
inline const QString kNoSupplierFound = QStringLiteral("0:Няма избран доставчик");
inline const QString kNoClientChosen = QStringLiteral("0:Няма избран клиент");
inline const QString kNoActiveWarehouse =
    QStringLiteral("Няма избран активен склад, от който да се продава.\r"
                   "Изберете склад от \"Номенклатури\" / \"Складове...\".");
inline const QString kChangeCaption = QStringLiteral("РЕСТО: ");
inline const QString kGivenBelowDue = QStringLiteral("Дадената сума е по-малка от дължимата.");
inline const QString kSaleLinesChanged =
    QStringLiteral("Редовете на продажбата са променени или продадени от друго работно място.\r"
                   "Списъкът е обновен - изберете артикулите и продайте отново.");
inline const QString kAskReceiptAgain = QStringLiteral(
    "Продажбата е записана, но касовата бележка не е отпечатана.\rЖелаете ли нов опит за печат?");

// The sales report "Справка продажби".
inline const QString kSalesReportTitle = QStringLiteral("Справка продажби ");
inline const QString kCompareEqual = QStringLiteral("равно");
inline const QString kCompareAtMost = QStringLiteral("по - малко");
inline const QString kCompareAtLeast = QStringLiteral("по - голямо");
inline const QString kCompareBetween = QStringLiteral("между");
// %1 the base currency's word ("лева", "евро").
inline const QString kTotalWithVatCaption = QStringLiteral("Общо в %1 с ДДС:");
inline const QString kTotalPaidCaption = QStringLiteral("Обща сума платено в брой %1: ");
inline const QString kTotalOpenCaption = QStringLiteral("Обща сума на задължения в %1 : ");
inline const QString kTotalPaidOffCaption = QStringLiteral("Обща сума на платени задължения в %1 : ");
// The name of an instalment payment (article 0) on a receipt.
inline const QString kPaymentLineName = QStringLiteral("Вноска");

inline const QString kAmountNotNumber = QStringLiteral("Сумата трябва да бъде число.");
// %1 the currencies.
inline const QString kReportWithoutRate = QStringLiteral(
    "Няма курс за валута %1 във \"Валутни курсове\".\rРедовете в нея не са включени в сумите.");
inline const QString kNoLinesForDocument = QStringLiteral("Не са избрани данни за документа");
inline const QString kNoDocumentKindTicked = QStringLiteral("Посочете документ за издаване.");
inline const QString kNoGoodsForDocument =
    QStringLiteral("Избраните редове не са продажби на стоки: документ не е издаден.");
inline const QString kAskDocumentPerCounterparty = QStringLiteral(
    "Избраните продажби са на различни контрагенти.\rЖелаете ли да бъде издаден отделен документ за всеки "
    "контрагент?");
inline const QString kReceiptAlreadyIssued =
    QStringLiteral("За избраните продажби вече е издаден касов бон: втори бон не се издава.");
inline const QString kChosenSalesGone =
    QStringLiteral("Избраните продажби вече не са записани (анулирани от друго работно място).");

// Credit instalments and consignment.
inline const QString kCreditNeedsCounterparty =
    QStringLiteral("Необходимо е да се посочи контрагент за консигнацията!");
inline const QString kCreditInstalmentsRange = QStringLiteral("Броят вноски трябва да бъде от 1 до 100.");
inline const QString kCreditInterestRange = QStringLiteral("Лихвата трябва да бъде от 0 до 100 %.");
inline const QString kCreditNothingToPay = QStringLiteral("Няма сума за разсрочване.");
inline const QString kCreditFirstRange =
    QStringLiteral("Първоначалната вноска трябва да бъде поне 0 и по-малка от сумата на покупката.");
inline const QString kCreditNoDate = QStringLiteral("Посочете дата на отдаване.");
inline const QString kCreditTooLarge =
    QStringLiteral("Задължението с тази лихва и този брой вноски е твърде голямо.");
inline const QString kInterestHelp =
    QStringLiteral("Лихва в % за всяка вноска: начислява се върху остатъка толкова пъти, колкото са вноските "
                   "(100 с 10 % и 2 вноски дават задължение 121.0000, по 60.5000 на вноска).");
inline const QString kCreditChangedMeanwhile =
    QStringLiteral("Вноската е платена или кредитът е променен от друго работно място.\rПроверете сумите и "
                   "опитайте отново.");
inline const QString kPaymentNotAboveZero = QStringLiteral("Сумата на плащането трябва да бъде над 0.");
// %1 what is due.
inline const QString kPaymentAboveDue =
    QStringLiteral("Сумата на плащането е по-голяма от дължимата за вноската (%1).");

// Invalidating sales.
inline const QString kAskInvalidateSales =
    QStringLiteral("Найстина ли желаете да анулирате избраните продажби");
inline const QString kInvalidationReasonDefault = QStringLiteral("Върната стока");
inline const QString kInvalidationReasonEmpty = QStringLiteral("Посочете основание за анулиране");
inline const QString kAskAnnulDocuments =
    QStringLiteral("Има издадени документи свързани с тази продажба!\rЖелаете ли те да бъдат анулирани?");
inline const QString kAskRestoreStock = QStringLiteral("Желаете ли да бъде възстановено количеството");
inline const QString kNoSalesChosen = QStringLiteral("Няма избрани продажби");
// %1 the sale line's number.
inline const QString kNotGoodsToInvalidate =
    QStringLiteral("Продажба %1 е вноска или продажба на кредит и не може да бъде анулирана като "
                   "стока.\rНищо не е анулирано.");
// %1 the documents, one a line.
inline const QString kDocumentsAnnulled =
    QStringLiteral("Документите са маркирани като анулирани (номерата им се запазват):\r%1");
// Added to it when no credit note is offered for them.
inline const QString kIssueCreditNote = QStringLiteral("За върнатата стока издайте кредитно известие.");
// %1 the kind, %2 the number, %3 the date.
inline const QString kAnnulledDocument = QStringLiteral("%1 № %2 от %3");
// %1 the annulled document (kAnnulledDocument).
inline const QString kAskCreditNote =
    QStringLiteral("Желаете ли да бъде отпечатано кредитно известие за върнатата стока към %1?");
// %1 how many.
inline const QString kSomeSalesNotInvalidated =
    QStringLiteral("%1 от избраните продажби вече са анулирани от друго работно място.");
// %1 the sale line's number.
inline const QString kSaleRecordedTwice =
    QStringLiteral("Продажба %1 е записана повече от веднъж и не може да бъде анулирана.");

// The cash desk count and the printouts written to TEMP.
// %1 the currencies.
inline const QString kTurnoverWithoutRate = QStringLiteral(
    "Няма курс за валута %1 във \"Валутни курсове\".\rПродажбите в нея не са включени в оборота.");
// %1 the file, %2 the reason.
inline const QString kReportNotWritten = QStringLiteral("Файлът %1 не може да бъде записан: %2");

} // namespace torvika::texts
