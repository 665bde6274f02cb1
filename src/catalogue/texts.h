#pragma once
// The texts the catalogue shows: messages, questions and captions set in code.

#include <QString>

namespace torvika::texts {

// ---- Warehouses, stock, currencies and price groups ----

// Stock.
inline const QString kStockNoSuchWarehouse =
    QStringLiteral("Склад с номер %1 не съществува: наличността не е променена!");
inline const QString kStockOfAllArticles = QStringLiteral(
    "За справка наличности за всички артикули\rизползвайте \"Справки->Наличности артикули...\"");
inline const QString kStockNoArticle = QStringLiteral("0:Няма избран артикул");
// The stock report printed to a file.
inline const QString kStockReportFile = QStringLiteral("Spr_Nali4nosti");
inline const QString kStockReportHeading = QStringLiteral("\tСправка наличности артикули");
inline const QString kStockReportDate = QStringLiteral("\tДата:");
inline const QString kStockReportWarehouse = QStringLiteral("\tСклад: ");
inline const QString kStockReportAllWarehouses = QStringLiteral("\tСклад: всички складове");
inline const QString kStockReportGroup = QStringLiteral("\tГрупа: ");
inline const QString kStockReportArticle = QStringLiteral("\tАртикул: ");

// The row buttons of the warehouses and currencies windows: idle, and
// while a row is added or edited.
inline const QString kRowCaptionNew = QStringLiteral("Нов");
inline const QString kRowCaptionDelete = QStringLiteral("Изтрии");
inline const QString kRowCaptionAccept = QStringLiteral("Приеми");
inline const QString kRowCaptionCancel = QStringLiteral("Откажи");

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
inline const QString kFormulaDivisionByZero = QStringLiteral("Деление на нула във формулата!");
inline const QString kFormulaOutOfRange =
    QStringLiteral("Резултатът от формулата е извън допустимите стойности!");

// ---- end of warehouses, stock, currencies and price groups ----

} // namespace torvika::texts
