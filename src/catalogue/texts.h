#pragma once
// The texts the catalogue shows: messages, questions and captions set in code.
// The captions of the row buttons are the record windows' (common/texts.h).

#include "common/texts.h"

#include <QString>

namespace torvika::texts {

// ---- Warehouses, stock, currencies and price groups ----

// Stock.
inline const QString kStockNoSuchWarehouse =
    QStringLiteral("Склад с номер %1 не съществува: наличността не е променена!");
inline const QString kStockOfAllArticles = QStringLiteral(
    "За справка наличности за всички артикули\rизползвайте \"Справки->Наличности артикули...\"");
// The stock report printed to a file.
inline const QString kStockReportFile = QStringLiteral("Spr_Nali4nosti");
inline const QString kStockReportHeading = QStringLiteral("\tСправка наличности артикули");
inline const QString kStockReportWarehouse = QStringLiteral("\tСклад: ");
inline const QString kStockReportAllWarehouses = QStringLiteral("\tСклад: всички складове");
inline const QString kStockReportGroup = QStringLiteral("\tГрупа: ");
inline const QString kStockReportArticle = QStringLiteral("\tАртикул: ");

// Warehouses.
inline const QString kWarehouseNameEmpty = QStringLiteral("Въведете наименование на склада!");
inline const QString kWarehouseNumberInvalid =
    QStringLiteral("Номерът на склада трябва да е цяло положително число!");
inline const QString kWarehouseNumberTaken = QStringLiteral("Вече има склад с номер %1!");
inline const QString kWarehouseGone = QStringLiteral("Складът с номер %1 вече не съществува!");
inline const QString kWarehouseHasStock =
    QStringLiteral("Складът \"%1\" има наличности и не може да бъде изтрит!");
inline const QString kWarehouseHasHistory =
    QStringLiteral("Складът \"%1\" има движения (продажби, доставки или ревизии) и не може да бъде изтрит!");
inline const QString kWarehouseIsActive =
    QStringLiteral("Складът \"%1\" е активният склад на това работно място и не може да бъде изтрит!");

// Currencies.
inline const QString kCurrencyNameEmpty = QStringLiteral("Въведете наименование на валутата!");
inline const QString kCurrencyNameTooLong =
    QStringLiteral("Наименованието на валутата може да е най-много %1 знака!");
inline const QString kCurrencyNameTaken = QStringLiteral("Вече има валута с наименование \"%1\"!");
inline const QString kCurrencyRateInvalid = QStringLiteral("Курсът трябва да е число, по-голямо от нула!");
inline const QString kCurrencyBaseRate = QStringLiteral("Курсът на основната валута трябва да е 1!");
inline const QString kCurrencyBaseRequired =
    QStringLiteral("Трябва да има една основна валута.\rЗа да смените основната валута, "
                   "посочете като основна друга валута.");
inline const QString kCurrencyBaseNotDeleted = QStringLiteral("Основната валута не може да бъде изтрита!");
inline const QString kCurrencyInUseRename =
    QStringLiteral("Валутата \"%1\" се използва (%2) и не може да бъде преименувана!");
inline const QString kCurrencyInUseDelete =
    QStringLiteral("Валутата \"%1\" се използва (%2) и не може да бъде изтрита!");
inline const QString kCurrencyGone = QStringLiteral("Валутата \"%1\" вече не съществува!");
// Where a currency is in use.
inline const QString kCurrencyUsedByArticles = QStringLiteral("артикули");
inline const QString kCurrencyUsedByPendingSales = QStringLiteral("текущи продажби");
inline const QString kCurrencyUsedBySales = QStringLiteral("продажби");
inline const QString kCurrencyUsedByInvalidatedSales = QStringLiteral("анулирани продажби");
inline const QString kCurrencyUsedByDeliveries = QStringLiteral("доставки");
inline const QString kCurrencyUsedByRevisions = QStringLiteral("ревизии");
inline const QString kCurrencyUsedByTransfers = QStringLiteral("трансфери");
inline const QString kCurrencyUsedByScrap = QStringLiteral("брак");
inline const QString kCurrencyUsedByOrders = QStringLiteral("заявки към доставчици");
inline const QString kCurrencyUsedByOffers = QStringLiteral("оферти");
inline const QString kCurrencyUsedBySupplierPrices = QStringLiteral("ценови листи на доставчици");
inline const QString kCurrencyUsedByServiceIntake = QStringLiteral("сервизни приемания");
inline const QString kCurrencyUsedByRepairs = QStringLiteral("ремонти");

// Price groups and their formulas.
inline const QString kPriceGroupNameEmpty = QStringLiteral("Въведете описание на ценовата група!");
inline const QString kPriceGroupNameTooLong =
    QStringLiteral("Описанието на ценовата група може да е най-много %1 знака!");
inline const QString kPriceGroupNameTaken = QStringLiteral("Вече има ценова група с описание \"%1\"!");
inline const QString kPriceGroupFactorInvalid =
    QStringLiteral("Коефициентът трябва да е число, по-голямо от нула!");
inline const QString kPriceGroupFormulaTooLong = QStringLiteral("Формулата може да е най-много %1 знака!");
inline const QString kPriceGroupGone = QStringLiteral("Ценовата група с номер %1 вече не съществува!");
inline const QString kPriceGroupAskDelete = QStringLiteral("Желаете ли да изтриете ценова група \"%1\"?");
inline const QString kPriceGroupSampleInvalid =
    QStringLiteral("Въведете число за цената, с която да бъде изпробвана формулата!");
inline const QString kFormulaEmpty = QStringLiteral("Въведете формула!");
inline const QString kFormulaUnexpected =
    QStringLiteral("Некоректна формула: неочакван знак \"%1\" на позиция %2!");
inline const QString kFormulaIncomplete = QStringLiteral("Некоректна формула: формулата е недовършена!");
inline const QString kFormulaUnclosed = QStringLiteral("Некоректна формула: липсва затваряща скоба!");
inline const QString kFormulaTooDeep =
    QStringLiteral("Некоректна формула: повече от %1 вложени скоби или знака!");
inline const QString kFormulaDivisionByZero = QStringLiteral("Деление на нула във формулата!");
inline const QString kFormulaOutOfRange =
    QStringLiteral("Резултатът от формулата е извън допустимите стойности!");

// ---- end of warehouses, stock, currencies and price groups ----
// The nodes of the article group tree that are not groups.
inline const QString kAllArticlesNode = QStringLiteral("Всички артикули");
inline const QString kDeletedArticlesNode = QStringLiteral("Изтрити артикули");

// The reference text of "no article chosen".
inline const QString kNoArticleChosen = QStringLiteral("0:Няма избран артикул");

// The catalogue window.
inline const QString kSearchPartOfWord = QStringLiteral("Търсене по част от дума");
inline const QString kSearchWholeWord = QStringLiteral("Търсене по цяла дума");
inline const QString kBadSearchCriterion = QStringLiteral("Некоректен критерии за търсене!");
inline const QString kCodeNotFound = QStringLiteral("Не е открит търсеният код");
inline const QString kGroupNotFound = QStringLiteral("Не е открита търсената група");
inline const QString kChooseGroupForArticle = QStringLiteral("Необходимо е да изберете група за артикула");
inline const QString kChooseValidGroup = QStringLiteral("Необходимо е да изберете валидна група");
inline const QString kAskMoveArticles =
    QStringLiteral("Желаете ли да преместите избраните артикули в група:\r");
inline const QString kAskMoveGroup = QStringLiteral("Желаете ли да преместите група:");
inline const QString kGroupIntoItself =
    QStringLiteral("Група не може да бъде преместена в себе си или в своя подгрупа!");
inline const QString kGroupIsGone =
    QStringLiteral("Групата вече не съществува (изтрита е от друго работно място).");
inline const QString kExportHeading = QStringLiteral("\tЕкспорт артикули ");
inline const QString kScaleFileCaption = QStringLiteral("Файл за везна");
inline const QString kScaleFileFilter = QStringLiteral("Parameters (*.txt)");
inline const QString kScaleFileName = QStringLiteral("Artikules.txt");
// %1: the number of lines added.
inline const QString kDeliveryGroupEmpty =
    QStringLiteral("Групата няма артикули, които да не са в доставката.");
// %1: the article's reference text.
inline const QString kArticleBinned =
    QStringLiteral("Артикулът %1 има движения (наличности, продажби, доставки или документи)\r"
                   "и е преместен в \"Изтрити артикули\", за да се запази историята му.");
// %1: how many articles.
inline const QString kArticlesBinned =
    QStringLiteral("%1 от артикулите имат движения (наличности, продажби, доставки или документи)\r"
                   "и са преместени в \"Изтрити артикули\", за да се запази историята им.");

// Groups.
inline const QString kAskDeleteGroupArticles = QStringLiteral(
    "Избраната група съдържа артикули!\rНеобходимо е да бъдат премахнати първо те!Желаете ли да "
    "бъдат изтрити?");
inline const QString kAskDeleteSubgroups = QStringLiteral(
    "Избраната група съдържа подгрупи.\rНеобходимо е да бъдат премахнати първо те!\rЖелаете ли да "
    "бъдат премахнати всички подгрупи на избраната?");
inline const QString kEditingGroup = QStringLiteral("Редакция на: ");
inline const QString kEnterGroupName = QStringLiteral("Въведете описание на група!");

// The article dialog.
inline const QString kGroupLabel = QStringLiteral("Група: ");
inline const QString kEnterArticleNumber = QStringLiteral("Въведете коректен номер за артикул");
inline const QString kBadArticleNumber = QStringLiteral("Некоректен номер за артикул!");
inline const QString kEnterDescription = QStringLiteral("Въведете описание за артикул");
inline const QString kEnterPrice = QStringLiteral("Въведете цена за артикул");
inline const QString kBadPrice = QStringLiteral("Цената на артикула трябва да е число, не по-малко от 0!");
inline const QString kBadMaxDiscount = QStringLiteral("Максималната отстъпка трябва да е число от 0 до 100!");
inline const QString kBadScaleCode = QStringLiteral("Кодът за везна трябва да е цяло число!");
inline const QString kRenumberWithHistory =
    QStringLiteral("Артикулът има движения (наличности, продажби, доставки или документи):\r"
                   "номерът му не може да бъде променен!");
inline const QString kArticleIsGone =
    QStringLiteral("Артикулът вече не съществува (изтрит е от друго работно място).");
inline const QString kChooseCounterpartyForNumber =
    QStringLiteral("Изберете контрагент на когото е посоченият номер!");
inline const QString kEnterBarcode = QStringLiteral("Въведете баркод!");
// %1: the barcode, %2: the article that has it.
inline const QString kBarcodeTaken = QStringLiteral("Баркодът %1 вече е въведен за артикул %2!");
// %1: the barcode.
inline const QString kAskBarcodeCheckDigit =
    QStringLiteral("Контролната цифра на баркода %1 не отговаря на EAN/UPC.\rЖелаете ли да го запишете?");
inline const QString kEnterCounterpartyNumber = QStringLiteral("Въведете номенклатурен номер!");
// %1: the number, %2: the counterparty, %3: the article that has it.
inline const QString kCounterpartyNumberTaken =
    QStringLiteral("Номерът %1 на контрагент %2 вече е въведен за артикул %3!");
inline const QString kPictureCaption = QStringLiteral("Снимка на артикула");
inline const QString kPictureFilter =
    QStringLiteral("Картини (*.png *.jpg *.jpeg *.bmp *.ico);;Bitmaps (*.bmp);;Icons (*.ico)");
// %1: the file.
inline const QString kNotAPicture =
    QStringLiteral("Файлът %1 не е картина (PNG, JPEG, BMP или ICO) или е повреден.");
// %1: the file, %2: the largest size in MB.
inline const QString kPictureTooLarge =
    QStringLiteral("Файлът %1 е твърде голям: картината може да е до %2 MB.");

// Serial numbers: the lines of the hint of a serial number.
inline const QString kSerialDocument = QStringLiteral("Вид документ: ");
inline const QString kSerialDate = QStringLiteral("От Дата: ");
inline const QString kSerialDocumentNumber = QStringLiteral("Номер на документ: ");
inline const QString kSerialSupplier = QStringLiteral("Доставчик: ");
inline const QString kSerialValidUntil = QStringLiteral("Валиден до: ");
inline const QString kSerialNote = QStringLiteral("Забележка: ");

// Orders to suppliers: the list.
inline const QString kOrderBadSearch = QStringLiteral("Некоректни данни за търсене");
inline const QString kOrderNoSearchDate = QStringLiteral("Изберете дата за търсене");
inline const QString kOrderAskDelete =
    QStringLiteral("Найстина ли желаете да изтриете избраните елементи от Поръчките?");
inline const QString kOrderListHeading = QStringLiteral("\tЗАЯВКА КЪМ ДОСТАВЧИК ");
// The order document: the lines of each supplier under its own heading, with
// a total per currency.
inline const QString kSupplierOrderSupplier = QStringLiteral("\tДоставчик: ");
inline const QString kSupplierOrderTotal = QStringLiteral("\tОбщо: ");
// The order dialog.
inline const QString kNoRequesterChosen = QStringLiteral("0:Няма избран Заявител");
inline const QString kNoSupplierChosen = QStringLiteral("0:Няма избран Доставчик");
inline const QString kOrderQuantityNotPositive =
    QStringLiteral("Количеството трябва да е число, по-голямо от 0!");
inline const QString kAskCloseOrderLines =
    QStringLiteral("Поръчките в списъка не са записани.\rЖелаете ли да затворите без запис?");
inline const QString kBadOrderPrice = QStringLiteral("Доставната цена трябва да е число, не по-малко от 0!");

// The common-data dialog.
inline const QString kCommonDataNothingMarked = QStringLiteral("Няма маркирани артикули");

// Stock operations: the article field of the delivery, transfer, scrap and
// production windows.
inline const QString kArticleNumberNotFound = QStringLiteral("Въведеният номер за артикул не съществува!");
inline const QString kQuantityNotPositive = QStringLiteral("Количеството трябва да е число, по-голямо от 0!");
inline const QString kPriceNotANumber = QStringLiteral("Цената трябва да е число, не по-малко от 0!");
// %1: the article's reference text.
inline const QString kArticleGone = QStringLiteral("Артикул %1 вече не съществува в каталога!");
inline const QString kUnitTooLong = QStringLiteral("Мярката може да е най-много %1 знака!");
// %1: the currency.
inline const QString kUnknownCurrency = QStringLiteral("Валутата \"%1\" не съществува!");
// Their print heading: %1 the date, %2 the time.
inline const QString kPrintFromDate = QStringLiteral("\tОт Дата:%1, %2");

// Deliveries.
inline const QString kIncompleteSupplier = QStringLiteral("Непълни данни за Доставчик");
inline const QString kNoCurrency = QStringLiteral("Не е посочена валута");
inline const QString kBadSupplierSearch = QStringLiteral("Некоректни данни");
inline const QString kChooseDeliveryWarehouse =
    QStringLiteral("Изберете склад, в който се получава доставката!");
inline const QString kEmptyDelivery = QStringLiteral("Доставката няма въведени артикули!");
// %1: the number of lines of quantity 0.
inline const QString kAskEmptyDeliveryLines =
    QStringLiteral("%1 от артикулите в доставката са с количество 0 и няма да бъдат записани.\r"
                   "Желаете ли запис на останалите?");
// %1: the document kind, %2 its number, %3 the delivery that recorded it.
inline const QString kAskRepeatedDocument =
    QStringLiteral("Документ %1 N %2 на този доставчик вече е записан с доставка N %3.\r"
                   "Желаете ли да го запишете отново?");
// %1: the width.
inline const QString kDocumentNumberTooLong =
    QStringLiteral("Номерът на документа може да е най-много %1 знака!");
inline const QString kPaymentNotANumber =
    QStringLiteral("Платеното по банка и неплатеното трябва да са числа, не по-малки от 0!");
// %1: the payments, %2: the amount due.
inline const QString kPaymentsAboveDue =
    QStringLiteral("Платеното по банка и неплатеното (%1) надвишават дължимата сума (%2)!");
// %1: the article's reference text.
inline const QString kDeliveryLineExists = QStringLiteral("Артикулът %1 вече е в доставката!");
inline const QString kDeliveryLineGone = QStringLiteral("Артикулът %1 вече не е в доставката!");
inline const QString kAskEditDeliveryLine =
    QStringLiteral("Посоченият артикул вече е въведен.\r%1\rЖелаете ли редакция?");
inline const QString kAskDeleteDeliveryLines =
    QStringLiteral("Наистина ли желаете да изтриете избраните артикули");
inline const QString kAskAbandonDelivery =
    QStringLiteral("Имате неприключена доставка.\rЖелаете ли да излезете без запис");
inline const QString kMarkupNegativePrice = QStringLiteral("Надценката дава отрицателна продажна цена!");
inline const QString kDiscountNegativePrice = QStringLiteral("Отстъпката дава отрицателна доставна цена!");
inline const QString kNoBaseCurrency = QStringLiteral("Няма основна валута в \"Валутни курсове\"!");
// The serial numbers of a delivery line.
inline const QString kEnterSerial = QStringLiteral("Въведете сериен номер!");
inline const QString kSerialNeedsLine = QStringLiteral("Първо добавете артикула към доставката!");
// %1: the serial number.
inline const QString kSerialTwice = QStringLiteral("Серийният номер %1 вече е въведен за артикула!");
// %1: the serial number, %2: the article's reference text.
inline const QString kSerialRegistered =
    QStringLiteral("Серийният номер %1 на артикул %2 вече е регистриран!");
// %1: the widest model or batch, %2: the widest serial number.
inline const QString kSerialTooLong =
    QStringLiteral("Моделът и партидата могат да са най-много %1 знака, серийният номер %2!");
// %1: the line's quantity.
inline const QString kSerialsAboveQuantity =
    QStringLiteral("Серийните номера на артикула не може да са повече от доставеното количество (%1)!");
// %1: the number of serial numbers.
inline const QString kQuantityBelowSerials =
    QStringLiteral("Количеството не може да е по-малко от въведените серийни номера (%1)!");
// Importing lines from a numbered-field file: why a line is refused (%1
// the line's number, %2 the value).
inline const QString kImportNoArticle = QStringLiteral("ред %1: няма артикул с номер \"%2\"");
inline const QString kImportBadQuantity =
    QStringLiteral("ред %1: количеството \"%2\" не е число, по-голямо от 0");
inline const QString kImportBadPrice = QStringLiteral("ред %1: цената \"%2\" не е число, не по-малко от 0");
inline const QString kLineUnterminated = QStringLiteral("ред %1: поле %2 не е затворено с \"]\"");
// %1: how many lines were refused, %2: their reasons.
inline const QString kImportRefused =
    QStringLiteral("Файлът не е внесен: %1 от редовете му са некоректни.\r%2");
// %1: lines added, %2: lines changed.
inline const QString kImportDone = QStringLiteral("Внесени са %1 нови реда, %2 реда са допълнени.");
// The print of the delivery being entered.
inline const QString kDeliveryPrintTitle = QStringLiteral("\tДОСТАВКА АРТИКУЛИ");
inline const QString kDeliveryPrintDelivered = QStringLiteral("\tДата на доставка :%1, %2");
inline const QString kDeliveryPrintSupplier = QStringLiteral("\tДОСТАВЧИК: ");
inline const QString kDeliveryPrintDocument = QStringLiteral("\tДокумент: ");
inline const QString kDeliveryPrintDocumentNumber = QStringLiteral("\tДокумент N: %1\tОт дата: %2");
inline const QString kDeliveryPrintWarehouse = QStringLiteral("\tСклад: ");
inline const QString kDeliveryPrintNote = QStringLiteral("\tЗабележка: ");
inline const QString kDeliveryPrintDue = QStringLiteral("\tДължима сума: ");
inline const QString kDeliveryPrintCash = QStringLiteral("\tПлатено в брой: ");
inline const QString kDeliveryPrintBank = QStringLiteral("\tПлатено по банка: ");
inline const QString kDeliveryPrintNotPaid = QStringLiteral("\tНе платено: ");
// The delivery report's print.
inline const QString kDeliveryReportTitle = QStringLiteral("\tСПРАВКА ДОСТАВКИ");
inline const QString kDeliveryReportDate = QStringLiteral("\tДата:");
// %1: the delivery's number, %2: its date.
inline const QString kDeliveryRecordTitle = QStringLiteral("\tДОСТАВКА N: %1 от %2");
inline const QString kDeliveryRecordTotal = QStringLiteral("\tОбща сума на документа : ");

// Transfers and scrap.
inline const QString kOnlyOneWarehouse = QStringLiteral("В програмата има зададен само един склад!");
inline const QString kChooseStockMoveWarehouse = QStringLiteral("Изберете склад!");
inline const QString kSameWarehouse =
    QStringLiteral("Складът, от който се изтегля, и складът, в който се прехвърля, трябва да са различни!");
inline const QString kWarehousesFixed =
    QStringLiteral("Складът не може да бъде сменен, докато в списъка има артикули!");
inline const QString kStockMoveLineGone = QStringLiteral("Редът вече не е в списъка!");
inline const QString kEmptyStockMove = QStringLiteral("Няма въведени артикули!");
// %1: the widest reason.
inline const QString kReasonTooLong = QStringLiteral("Причината може да е най-много %1 знака!");
// %1: the quantity asked for, %2: the stock.
inline const QString kAskMoveAboveStock =
    QStringLiteral("Количеството %1 е повече от наличното в склада (%2).\r"
                   "Да - прехвърли наличното количество, Не - прехвърли въведеното, Отказ - не добавяй");
inline const QString kAskScrapAboveStock =
    QStringLiteral("Количеството за бракуване %1 е повече от наличното в склада (%2).\r"
                   "Желаете ли да продължите?");
inline const QString kAskCloseStockMove =
    QStringLiteral("Имате незаписани артикули в списъка.\rЖелаете ли да затворите без запис?");
// %1: the document's number.
inline const QString kTransferSaved = QStringLiteral("Трансферът е записан под номер %1.");
inline const QString kScrapSaved = QStringLiteral("Бракът е записан под номер %1.");
inline const QString kTransferPrintTitle = QStringLiteral("\t ТРАНСФЕР НА СТОКИ МЕЖДУ СКЛАДОВЕ");
inline const QString kTransferPrintFrom = QStringLiteral("\tОТ СКЛАД: ");
inline const QString kTransferPrintTo = QStringLiteral("\tКЪМ СКЛАД: ");
inline const QString kScrapPrintTitle = QStringLiteral("\t БРАКУВАНЕ НА СТОКИ");
inline const QString kScrapPrintWarehouse = QStringLiteral("\tСКЛАД: ");
inline const QString kPrintSum = QStringLiteral("\tСума : ");
inline const QString kPrintVat = QStringLiteral("\tДДС: ");
inline const QString kPrintTotal = QStringLiteral("\tОБЩО: ");

// Production and recipes.
inline const QString kNoOperationKind = QStringLiteral("Не е избран вид на операцията");
// %1: the recipe's name.
inline const QString kAskEditExistingRecipe =
    QStringLiteral("Операция със име:%1 вече съществува.\r Желаете ли редакция?");
inline const QString kChooseMainArticle = QStringLiteral("Изберете основен елемент на операцията!");
inline const QString kRecipeNameEmpty = QStringLiteral("Въведете име на операцията!");
// %1: the widest name.
inline const QString kRecipeNameTooLong = QStringLiteral("Името на операцията може да е най-много %1 знака!");
inline const QString kRecipeForQuantity =
    QStringLiteral("Количеството \"За кол.\" трябва да е число, по-голямо от 0!");
inline const QString kRecipeNoElements = QStringLiteral("Операцията няма градивни елементи!");
inline const QString kElementIsMain =
    QStringLiteral("Основният елемент не може да бъде и градивен елемент на своята операция!");
// %1: the element's reference text.
inline const QString kElementContainsMain =
    QStringLiteral("Артикул %1 съдържа основния елемент в своя операция: операцията би съдържала себе си!");
inline const QString kElementTwice =
    QStringLiteral("Артикул %1 вече е градивен елемент на операцията!\rРедактирайте количеството му.");
// %1: the name.
inline const QString kRecipeNameTaken = QStringLiteral("Артикулът вече има операция с име %1!");
inline const QString kRecipeGone = QStringLiteral("Операцията вече не съществува!");
// %1: the recipe's name, %2: the main article's reference text.
inline const QString kAskDeleteRecipe = QStringLiteral("Желаете ли да изтриете операция %1 на артикул %2?");
// %1: the lines "<article>: <needed> / <available>".
inline const QString kAskProduceShort =
    QStringLiteral("Наличността в склада не стига за:\r%1\rЖелаете ли да продължите?");
// %1: the record's number.
inline const QString kOperationDone = QStringLiteral("Операцията е изпълнена и записана под номер %1.");
inline const QString kOperationCaption = QStringLiteral("ОПЕРАЦИЯ - %1");
inline const QString kOperationEditCaption = QStringLiteral("ОПЕРАЦИЯ - РЕДАКЦИЯ на %1");
inline const QString kOperationNoKindCaption = QStringLiteral("Пройзводство");

// The transfer and scrap windows.
inline const QString kScrapWindowTitle = QStringLiteral("Бракуване на стоки");
inline const QString kScrapWarehouseCaption = QStringLiteral("Операцията се отнася за склад:");
inline const QString kScrapArticleHint = QStringLiteral("въведете номер на артикул");
inline const QString kTransferColumnArticle = QStringLiteral("Арт. номер");
inline const QString kTransferColumnDescription = QStringLiteral("Описание");
inline const QString kTransferColumnQuantity = QStringLiteral("Кол.");
inline const QString kTransferColumnUnit = QStringLiteral("Мярка");
inline const QString kTransferColumnPrice = QStringLiteral("Ед. цена");
inline const QString kTransferColumnCurrency = QStringLiteral("Валута");
inline const QString kScrapColumnReason = QStringLiteral("Причина");
// %1: the quantity asked for, %2: what the warehouse holds besides the other lines.
inline const QString kAskChangeAboveStock =
    QStringLiteral("Количеството %1 е повече от наличното в склада (%2).\rЖелаете ли да продължите?");
// The production window's grid.
inline const QString kRecipeColumnArticle = QStringLiteral("Арт. N");
inline const QString kRecipeColumnPrice = QStringLiteral("Цена");
// Import and export of numbered-field lines.
inline const QString kImportCaption = QStringLiteral("Импорт на артикули");
inline const QString kExportCaption = QStringLiteral("Експорт на артикули");
inline const QString kNumberedFieldFilter = QStringLiteral("Текстови файлове (*.txt);;Всички файлове (*)");

// The delivery window.
inline const QString kDeliveryNoArticle = QStringLiteral("0:Няма  избран артикул");
inline const QString kDeliveryNumber = QStringLiteral("Доставка N: ");
inline const QString kStockAllWarehouses = QStringLiteral("Нал. кол. всички складове");
inline const QString kStockInWarehouse = QStringLiteral("Нал. кол в склад:");
inline const QString kOwnNumbers = QStringLiteral("а.");
inline const QString kOwnNumbersHint = QStringLiteral("Работи с налични артикулни номера");
inline const QString kSupplierNumbers = QStringLiteral("н.");
inline const QString kSupplierNumbersHint = QStringLiteral("Работи с номенклатура на контрагент");
inline const QString kNewDelivery = QStringLiteral("Нова доставка");
inline const QString kNewDeliveryHint = QStringLiteral("Отваряне на нова доставка");
inline const QString kSaveDelivery = QStringLiteral("Запис");
inline const QString kSaveDeliveryHint = QStringLiteral("Запис на доставка");
inline const QString kLineAdd = QStringLiteral("Добави");
inline const QString kLineAccept = QStringLiteral("Приеми");
inline const QString kLineDelete = QStringLiteral("Изтрии");
inline const QString kLineCancel = QStringLiteral("Откажи");
// %1: the base currency's word ("лева", "евро").
inline const QString kConvert = QStringLiteral("Конвертирай в %1");
// %1: the base currency's word, %2: the rate.
inline const QString kConvertAtRate = QStringLiteral("Конвертирай в %1 по курс: %2");
// %1: the base currency's word.
inline const QString kRateAgainst = QStringLiteral("Курс спрямо %1");
// %1: the delivery's number.
inline const QString kDeliverySaved = QStringLiteral("Доставката е записана под номер %1.");
// %1: the currencies.
inline const QString kLinesInUnknownCurrency =
    QStringLiteral("Редове във валути, които няма в \"Валутни курсове\", не са в сумите: %1");
inline const QString kDeliveryColumnArticle = QStringLiteral("Арт. №");
inline const QString kDeliveryColumnDeliveryPrice = QStringLiteral("Доставна цена");
inline const QString kDeliveryColumnQuantity = QStringLiteral("Доставено кол.");
inline const QString kDeliveryColumnTotal = QStringLiteral("Общо в лв");
inline const QString kDeliveryColumnSellingPrice = QStringLiteral("Продажна цена");
inline const QString kDeliveryColumnVat = QStringLiteral("Вкл. ДДС");

// The delivery report.
inline const QString kReportColumnNumber = QStringLiteral("Номер");
inline const QString kReportColumnSupplier = QStringLiteral("Доставчик");
inline const QString kReportColumnDocumentNumber = QStringLiteral("Номер документ");
inline const QString kReportColumnDocumentKind = QStringLiteral("Вид документ");
inline const QString kReportColumnDocumentDate = QStringLiteral("Дата документ");
inline const QString kReportColumnEnteredDate = QStringLiteral("Дата въвеждане");
inline const QString kReportColumnWarehouse = QStringLiteral("Склад");
inline const QString kReportColumnArticle = QStringLiteral("Артикул N:");
inline const QString kReportColumnDeliveryPrice = QStringLiteral("Дост.цена");
inline const QString kReportColumnSellingPrice = QStringLiteral("Прод.цена");
inline const QString kReportNoCounterparty = QStringLiteral("0: Няма избран контрагент");
inline const QString kReportNoArticle = QStringLiteral("0: Няма избран артикул");
inline const QString kReportPaidCash = QStringLiteral("Общо сума платено в брой: ");
inline const QString kReportPaidBank = QStringLiteral("Общо сума платено по банка: ");
inline const QString kReportNotPaid = QStringLiteral("Общо сума не платено: ");

// The reports of transfers and scrap.
inline const QString kTransferReportTitle = QStringLiteral("СПРАВКА ТРАНСФЕР");
inline const QString kScrapReportTitle = QStringLiteral("СПРАВКА БРАК");
inline const QString kStockMoveColumnDate = QStringLiteral("Дата");
inline const QString kStockMoveColumnTime = QStringLiteral("Час");
inline const QString kStockMoveColumnNote = QStringLiteral("Забележка");
inline const QString kStockMoveColumnFrom = QStringLiteral("От склад");
inline const QString kStockMoveColumnTo = QStringLiteral("Към склад");
inline const QString kStockMoveColumnOperator = QStringLiteral("Оператор");
// %1: the document's number.
inline const QString kStockMoveDocument = QStringLiteral("\tДОКУМЕНТ N: %1");

// ---- Import and export of data ----

// The import statistics panel: the line of an article (%1 its number, %2
// field 3 of the line), the first closing line (%1 a count).
inline const QString kImportArticleAdded = QStringLiteral("Артикул: %1[%2] - ДОБАВЕН");
inline const QString kImportArticleExists =
    QStringLiteral("Артикул: %1[%2] - Избраният номер за артикул СЪЩЕСТВУВА");
inline const QString kImportArticleUpdated =
    QStringLiteral("Артикул: %1[%2] - Избраният артикул е АКТУАЛИЗИРАН");
inline const QString kImportArticlesTotal = QStringLiteral("ОБЩ БРОЙ ОБРАБОТЕНИ АРТИКУЛИ:%1");
// The group tree file could not take the new groups after the import was
// stored (%1 the reason); the next login puts them in.
inline const QString kImportTreeNotWritten =
    QStringLiteral("Новите групи не са добавени в дървото на групите (%1): ще бъдат добавени при "
                   "следващото влизане в програмата.");
// The line of a counterparty number: %1 the article, %2 its description,
// %3 the number, %4 the counterparty, %5 its name.
inline const QString kImportNumberAdded =
    QStringLiteral("Артикул: [%1 - %2], Номенклатурен N: [%3], Контрагент N: [%4 - %5] - ДОБАВЕН");
inline const QString kImportNumberKept =
    QStringLiteral("Артикул: [%1 - %2], Номенклатурен N: [%3], Контрагент N: [%4 - %5] - ВЕЧЕ Е ЗАПИСАН");

// Why a line of an imported file is refused: %1 the currency, the article
// or the counterparty named.
inline const QString kImportNoSuchCurrency = QStringLiteral("валутата \"%1\" (поле 5) не съществува");
// The record of a line, for texts::kImportRepeatedInFile.
inline const QString kImportArticleKey = QStringLiteral("артикул %1");
inline const QString kImportNoSuchArticle = QStringLiteral("артикул %1 не съществува");
inline const QString kImportNoSuchCounterparty = QStringLiteral("контрагент %1 не съществува");
// %1 the number, %2 the counterparty, %3 the article that has it.
inline const QString kImportNumberTaken =
    QStringLiteral("номерът %1 на контрагент %2 е вече въведен за артикул %3");
// The default group of the new articles of lines without a group: %1 its number.
inline const QString kImportDefaultGroup = QStringLiteral("Група %1");
// An article in the list of values the export cannot carry: %1 its number,
// %2 its description.
inline const QString kExportArticleLabel = QStringLiteral("артикул %1 (%2)");
// The import report window: its title, the print button and the heading
// of its print.
inline const QString kInfoImportTitle = QStringLiteral("ИНФОРМАЦИЯ ЗА ИЗВЪРШЕН ИМПОРТ НА АРТИКУЛИ");
inline const QString kInfoImportPrint = QStringLiteral("ПЕЧАТ");
inline const QString kInfoImportHeading = QStringLiteral("\tИНФОРМАЦИЯ - ИМПОРТ НА ДАННИ ");
// The import report window's values.
inline const QString kYes = QStringLiteral("ДА");
inline const QString kNo = QStringLiteral("НЕ");

// ---- Stock revision ----

// The revision window: captions, hints and buttons.
inline const QString kRevisionTitle = QStringLiteral("Ревизия");
inline const QString kRevisionDataBox = QStringLiteral("Данни за ревизията");
inline const QString kRevisionValueBox = QStringLiteral("Себестойност на операцията");
inline const QString kRevisionNumberCaption = QStringLiteral("Ревизия N");
inline const QString kRevisionReasonCaption = QStringLiteral("Основание");
inline const QString kRevisionDateCaption = QStringLiteral("Дата");
inline const QString kRevisionTimeCaption = QStringLiteral("Час");
inline const QString kRevisionWarehouseCaption = QStringLiteral("Склад");
inline const QString kRevisionRecordedCaption = QStringLiteral("Налично");
inline const QString kRevisionCountedCaption = QStringLiteral("Открито");
inline const QString kRevisionDifferenceCaption = QStringLiteral("Разлика");
inline const QString kRevisionArticleHint = QStringLiteral("Въведете артикулен номер ");
inline const QString kRevisionQuantityHint = QStringLiteral("Въведете количество");
inline const QString kRevisionPick = QStringLiteral("Избери артикул/и");
inline const QString kRevisionPrint = QStringLiteral("ПЕЧАТ");
inline const QString kRevisionEdit = QStringLiteral("Редактирай");
inline const QString kRevisionDelete = QStringLiteral("Изтрии");
inline const QString kRevisionImport = QStringLiteral("ИМПОРТ");
inline const QString kRevisionExport = QStringLiteral("ЕКСПОРТ");
inline const QString kRevisionSave = QStringLiteral("ЗАПИС");
// The revision window's messages: %1 the article's reference text; the
// count file read (%1 lines, %2 articles, %3 the lines left out).
inline const QString kRevisionNoSuchArticle = QStringLiteral("Въведеният номер за артикул не съществува!");
inline const QString kRevisionArticleEntered =
    QStringLiteral("Посоченият артикул вече е въведен.\n%1\nЖелаете ли редакция?");
inline const QString kRevisionDeleteQuestion =
    QStringLiteral("Найстина ли желаете да изтриете избраните артикули");
inline const QString kRevisionCloseQuestion =
    QStringLiteral("Имате започната Ревизия, желаете ли да приключите без запис?");
inline const QString kRevisionBadQuantity =
    QStringLiteral("Въведете количество: число, не по-малко от 0 (\"7,5\" или \"7.5\")!");
inline const QString kRevisionCountFileRead =
    QStringLiteral("Прочетени редове с количества: %1, артикули: %2.");
inline const QString kRevisionCountFileLeftOut = QStringLiteral("Пропуснати редове:\n%1");
inline const QString kRevisionCountFileCancelled =
    QStringLiteral("Четенето на файла е прекъснато: не е добавен нито един ред.");
inline const QString kRevisionCountFileCaption = QStringLiteral("Файл с количества");
inline const QString kRevisionCountFileProgress = QStringLiteral("Четене на файла с количества...");
// The print of the count list: %1 the number; %1 the date, %2 the time;
// %1 a sum.
inline const QString kRevisionPrintNumber = QStringLiteral("\t РЕВИЗИЯ N: %1");
inline const QString kRevisionPrintDate = QStringLiteral("\tОт Дата:%1, %2");
inline const QString kRevisionPrintRecorded = QStringLiteral("\tСума налично: %1");
inline const QString kRevisionPrintCounted = QStringLiteral("\tСума открито: %1");
inline const QString kRevisionPrintDifference = QStringLiteral("\tСума разлика: %1");
inline const QString kRevisionReportTitle = QStringLiteral("СПРАВКА РЕВИЗИИ");
inline const QString kRevisionColumnArticles = QStringLiteral("Артикули");
inline const QString kRevisionReportPrintTitle = QStringLiteral("\t СПРАВКА РЕВИЗИИ");
inline const QString kRevisionReportPrintPeriod = QStringLiteral("\tОт дата: %1 до дата: %2");
// A line of a count file left out: %1 its number, %2 the reason.
inline const QString kCountLineLeftOut = QStringLiteral("Ред %1: %2");
// %1 the longest reason.
inline const QString kRevisionReasonTooLong = QStringLiteral("Основанието може да е най-много %1 знака!");
// %1 the articles.
inline const QString kRevisionArticlesGone = QStringLiteral(
    "Артикулите %1 вече не съществуват (изтрити са от друго работно място): изтрийте редовете им "
    "от ревизията. Ревизията не е записана.");

// The change of the books to the euro, in the currencies window.
inline const QString kEuroConvertButton = QStringLiteral("Преминаване към евро...");
inline const QString kEuroReverseButton = QStringLiteral("Отмяна на преминаването към евро...");
inline const QString kEuroConvertQuestion = QStringLiteral(
    "Всички цени в лева (артикули, ценови листи, специални отстъпки, открити кредити) ще бъдат превърнати "
    "в евро по фиксирания курс 1 EUR = 1.95583 лв. и закръглени до цент. Еврото става основна валута.\n"
    "Преминаването може да бъде отменено до първата продажба след него.\nДа продължа ли?");
// %1 articles, %2 price list rows, %3 special discounts, %4 open credits.
inline const QString kEuroConverted =
    QStringLiteral("Преминаването към евро е извършено.\nАртикули: %1\nРедове от ценови листи: %2\n"
                   "Специални отстъпки: %3\nОткрити кредити: %4");
// %1 how many formulas were restated.
inline const QString kEuroFormulasConverted = QStringLiteral("\nФормули на ценови групи: %1");
// %1 the price groups, each in quotes.
inline const QString kEuroFormulasLeft =
    QStringLiteral("\nФормулите на ценови групи %1 съдържат суми, които не могат да бъдат разпознати: "
                   "преизчислете ги в евро в \"Ценови групи\".");
inline const QString kEuroReverseQuestion = QStringLiteral(
    "Всички цени ще бъдат върнати в лева точно такива, каквито бяха преди преминаването към евро от %1, "
    "и левът отново става основна валута. Промените на цени след преминаването се губят.\nДа продължа ли?");
// The state under the grid: %1 the base currency; the day and time of the conversion.
inline const QString kEuroStateBase = QStringLiteral("Основна валута: %1.");
inline const QString kEuroStateReversible =
    QStringLiteral("Преминаване към евро от %1: може да бъде отменено до първата продажба.");
inline const QString kEuroStateFinal = QStringLiteral("Преминаване към евро от %1.");
inline const QString kEuroReversed =
    QStringLiteral("Преминаването към евро е отменено: цените са отново в лева.");
// %1 the base currency's name.
inline const QString kEuroBaseNotLev =
    QStringLiteral("Основната валута е \"%1\": само цени в лева се превръщат в евро.");
inline const QString kEuroSaleOpen = QStringLiteral(
    "На работно място има започната продажба. Приключете или откажете всички започнати продажби и сметки "
    "и опитайте отново.");
inline const QString kEuroNothingToReverse =
    QStringLiteral("Няма преминаване към евро, което да бъде отменено.");
inline const QString kEuroSoldSince = QStringLiteral(
    "След преминаването към евро вече има продажба в евро: преминаването не може да бъде отменено.");

} // namespace torvika::texts
