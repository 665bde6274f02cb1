#pragma once
// The offers' user-visible texts.

#include <QString>

namespace torvika::texts {

// Importing price lists.
inline const QString kPriceListNoSupplier = QStringLiteral("група без доставчик преди нея");
inline const QString kPriceListNoGroup = QStringLiteral("артикул без група преди него");
inline const QString kPriceListNotARecord =
    QStringLiteral("редът не е доставчик (поле 16), група (поле 11) или артикул (полета 1 до 9)");
inline const QString kPriceListSupplierGone = QStringLiteral("Доставчикът вече не съществува.");
inline const QString kPriceListTotal = QStringLiteral("ОБЩ БРОЙ ОБРАБОТЕНИ АРТИКУЛИ:%1");
inline const QString kPriceListSuppliers = QStringLiteral("Доставчици: %1");
inline const QString kPriceListGroups = QStringLiteral("Групи: %1");
inline const QString kPriceListTreeNotWritten =
    QStringLiteral("Дървото на доставчиците (CL.pdt) не е записано: %1");
inline const QString kPriceListFilter = QStringLiteral("Cataloges (*.txt);;All Files (*)");
inline const QString kPriceListAddHint = QStringLiteral("Добавяне на оферти");
inline const QString kPriceListUpdateHint = QStringLiteral("Актуализация на оферти");
inline const QString kPriceListChooseSupplier =
    QStringLiteral("Необходимо е да избeрете Фирма за актуализацията");
inline const QString kPriceListDeleteSupplier =
    QStringLiteral("Изтриване на доставчика \"%1\" с всичките му групи и артикули?");
inline const QString kPriceListDeleteGroup =
    QStringLiteral("Изтриване на групата \"%1\" с всичките ѝ артикули?");
inline const QString kPriceListDeleteAll =
    QStringLiteral("Изтриване на всички доставчици, групи и артикули от ценовите листи?");

// Searching.
inline const QString kSearchNotANumber = QStringLiteral("\"%1\" не е число");
inline const QString kSearchNoSupplier = QStringLiteral("Няма избран доставчик за търсене");
inline const QString kNoSortData = QStringLiteral("Няма данни за подреждане");

// The offer being composed.
inline const QString kLineNotAdded = QStringLiteral("Грешка при въвеждане");
inline const QString kCorrectionRefused =
    QStringLiteral("Корекцията \"%1\" не е число или формула: %2. Нищо не е добавено.");
inline const QString kCorrectionTooLong = QStringLiteral("Корекцията е по-дълга от %1 знака");
inline const QString kCorrectionArithmetic =
    QStringLiteral("Корекцията не може да се приложи към цена %1: %2");
inline const QString kOwnStockSupplier = QStringLiteral("В наличност");
inline const QString kOwnStockGroup = QStringLiteral("Арт. N: %1");
inline const QString kOwnStockNumber = QStringLiteral("Ном. N: %1");
inline const QString kUnknownRate =
    QStringLiteral("Няма курс за валута \"%1\": редовете в нея не са сметнати.");
inline const QString kMarkerFigures = QStringLiteral("Маркер %1: от %2 до %3, общо %4");
inline const QString kCounterpartyNotGiven = QStringLiteral("Не е посочен Контрагент");
inline const QString kMandatoryMissing =
    QStringLiteral("Задължителните елементи: \r%1\rне са добавени в офертата, желаете ли да продължите?");
inline const QString kAddToOrders =
    QStringLiteral("Желаете ли данните от офертата да се добавят към Списък за заявки?");
inline const QString kSaveFailed = QStringLiteral("Некоректни или липсващи данни за запис");
inline const QString kAdvanceNotANumber = QStringLiteral("Предплатата \"%1\" не е число");
inline const QString kCounterpartyGone = QStringLiteral("Контрагентът вече не съществува");
inline const QString kOfferSaved = QStringLiteral("Офертата е записана под № %1.");
inline const QString kOrdersAdded = QStringLiteral("Добавени редове в Списък за заявки: %1");
inline const QString kOrderToSupplier = QStringLiteral("Заявка за редовете на доставчика \"%1\"?");
inline const QString kOfferPdfFile = QStringLiteral("Oferta.pdf");
inline const QString kElementAddFailed = QStringLiteral("Елементът не е добавен: %1");
inline const QString kElementEmpty = QStringLiteral("Въведете описание на елемента");
inline const QString kElementDelete = QStringLiteral("Изтриване на задължителния елемент \"%1\"?");

// The printed offer.
inline const QString kPrintedOfferFile = QStringLiteral("Oferts");
inline const QString kPrintTitleNumbered = QStringLiteral(" ОФЕРТА № %1");
inline const QString kPrintTitle = QStringLiteral(" ОФЕРТА ");
inline const QString kPrintTo = QStringLiteral("До: ");
inline const QString kPrintPhone = QStringLiteral("Тел: ");
inline const QString kPrintToday = QStringLiteral("Днес %1, представител на ");
inline const QString kPrintManager = QStringLiteral("представлявано от  ");
inline const QString kPrintAddress = QStringLiteral("със седалище и адрес на управление ");
inline const QString kPrintCompanyPhone = QStringLiteral("Телефон: ");
inline const QString kPrintEik = QStringLiteral("Булстат: ");
inline const QString kPrintIban = QStringLiteral("Сметка: ");
inline const QString kPrintBic = QStringLiteral("Код: ");
inline const QString kPrintBank = QStringLiteral("При банка: ");
inline const QString kPrintOffers = QStringLiteral("предлага на вашето внимание следното: ");
// %1 the base currency's word ("лева", "евро").
inline const QString kPrintOfferTotal = QStringLiteral("На обща стойност в %1: ");
inline const QString kPrintAdvance = QStringLiteral("Предплата: ");
// %1 the base currency's word.
inline const QString kPrintRemaining = QStringLiteral("Оставаща сума в %1: ");
inline const QString kPrintSignSaved =
    QStringLiteral("      Приел:...........                  Предал:..............   ");
inline const QString kPrintSignSavedNames =
    QStringLiteral("      /               /                          /%1 /");
inline const QString kPrintSign =
    QStringLiteral("      Приел:...........             Предал:..............   ");
inline const QString kPrintSignNames = QStringLiteral("      /               /              %1");

// The report of saved offers.
inline const QString kOfferReportTotal = QStringLiteral("Обща стойност на офертата: ");
inline const QString kOfferDelete = QStringLiteral("Изтриване на оферта № %1 с всичките ѝ редове?");
inline const QString kOfferGone = QStringLiteral("Офертата вече не съществува");
inline const QString kChooseOffer = QStringLiteral("Изберете оферта");
inline const QString kReportNotANumber = QStringLiteral("Номерът на оферта не е число");
inline const QString kReportNoDate = QStringLiteral("Въведете дата");
inline const QString kNoRequester = QStringLiteral("0: Няма избран Заявител");

} // namespace torvika::texts
