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
inline const QString kDeliveryLinesReady =
    QStringLiteral("Артикулите на групата са добавени в текущата доставка (%1 реда).\r"
                   "Отворете \"Операции\" -> \"Основни\" -> \"Доставки...\", за да я въведете и запишете.");
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

} // namespace torvika::texts
