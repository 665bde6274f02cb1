#pragma once
// The texts of the documents: the messages of templates, printing and
// numbering, and the printed captions.

#include <QString>

namespace torvika::texts {

// Where a document kind is offered (Kade_se_izpolzva).
inline const QString kPlaceShop = QStringLiteral("МАГАЗИН");
inline const QString kPlaceService = QStringLiteral("СЕРВИЗ");
inline const QString kPlaceFiscalService = QStringLiteral("Фискален сервиз");
// The fiscal-service page's own name of its place, found as well.
inline const QString kPlaceFiscalCentre = QStringLiteral("Фискален център");

// The stamp of the upper band.
inline const QString kStampOriginal = QStringLiteral("ОРИГИНАЛ");
inline const QString kStampCopy = QStringLiteral("КОПИЕ");

// The fixed band at the foot of every page: the page number's caption and
// the line naming the program (its "o" in "дoкумент" is a Latin letter).
inline const QString kPageCaption = QStringLiteral("Стр.");
// The page number at the foot of each page: "Стр. 2 от 3".
inline const QString kPageOf = kPageCaption + QStringLiteral(" %1 от %2");
inline const QString kIssuedByLine =
    QStringLiteral("Този дoкумент е издаден от програмен продукт: \"Торвика\". "
                   "Торвика ЕООД, тел./факс: +359 2 000 0000");

// The credit note: its document kind (and template), the fields of its
// band texts naming the document it corrects and the reason, and the
// corrected document as they name it (%1 the kind, %2 the number, %3 the
// date).
inline const QString kCreditNoteKind = QStringLiteral("Кредитно известие");
inline const QString kFieldCorrectedDocument = QStringLiteral("Към документ");
inline const QString kFieldCreditReason = QStringLiteral("Основание");
inline const QString kCorrectedDocument = QStringLiteral("%1 № %2 от %3");
// %1 the kind's name.
inline const QString kCreditNoteKindMissing =
    QStringLiteral("Няма вид документ \"%1\" с номер (меню \"Документация...\").\r"
                   "Кредитното известие не е отпечатано.");

// "Печат документи" without a selected line (the "e" of "изберeте" is a Latin letter).
inline const QString kNoLinesSelected =
    QStringLiteral("Моля изберeте артикулите, за които\rще се разпечатват документи");
inline const QString kNoDocumentTicked = QStringLiteral("Моля изберете документите, които ще се разпечатват");
inline const QString kNoPrinterTicked = QStringLiteral("Моля изберете принтерите, на които ще се разпечатва");

// Templates (%1 the template's or table's name as stated).
inline const QString kBadTemplateName =
    QStringLiteral("\"%1\" не може да бъде име на документ: името не може да е празно и не може да "
                   "съдържа \\ / : * ? \" < > | или \"..\"");
inline const QString kTemplateFileTooLarge =
    QStringLiteral("Файлът %1 е твърде голям, за да бъде шаблон на документ");
inline const QString kMissingBandText =
    QStringLiteral("Липсва файлът %1: текстът на лентата му се отпечатва празен");
inline const QString kUnknownTable =
    QStringLiteral("Таблицата %1 от шаблона \"%2\" не съществува в базата данни");
inline const QString kUnknownColumn =
    QStringLiteral("Колоната %2 на таблицата %1 от шаблона \"%3\" не съществува в базата данни");
inline const QString kRepeatingTable =
    QStringLiteral("Таблицата %1 от шаблона \"%2\" не е свързана с редовете на документа и би ги "
                   "повторила.\rДокументът не е отпечатан.");
inline const QString kUnjoinedTables =
    QStringLiteral("Таблиците %1 не са свързани с редовете на документа.\rПри печат всеки техен ред "
                   "би повторил редовете му, затова документът ще се отпечатва само докато в тях има "
                   "най-много един ред.");
inline const QString kNoDocumentRows =
    QStringLiteral("Няма данни за документ \"%1\": избраните редове вече не съществуват.\r"
                   "Документът не е отпечатан.");
// %1 the layout file that is not there.
inline const QString kNoTemplateLayout = QStringLiteral("няма шаблон за документа (липсва файлът %1)");
inline const QString kTypedNotANumber = QStringLiteral("\"%1\" не е число.\rДокумент \"%2\" не е отпечатан.");
inline const QString kTemplateNotPrinted = QStringLiteral("Документ \"%1\" не е отпечатан:\r%2");

// A document issued to the counterparty of the sale (an invoice) without one.
inline const QString kNeedsCounterparty =
    QStringLiteral("Документът се издава на контрагент, а не е избран контрагент.\r"
                   "Изберете контрагент и отпечатайте документа отново.");
// %1 the number as stored.
inline const QString kNumberNotDigits =
    QStringLiteral("Текущият номер \"%1\" на документа не е число.\r"
                   "Поправете го в \"Начален номер на документ...\" и отпечатайте документа отново.");
// %1 the kind, %2 the number issued.
inline const QString kAskCopyOrNew =
    QStringLiteral("Документ \"%1\" № %2 вече е издаден за избраните редове.\r"
                   "Да се отпечата ли копие на издадения документ (същият номер, \"КОПИЕ\")?\r"
                   "\"Не\" издава нов документ с нов номер.");
inline const QString kAskNewForIssued =
    QStringLiteral("Част от избраните редове вече са в документ \"%1\" № %2.\r"
                   "Да се издаде ли нов документ с нов номер за избраните редове?");
inline const QString kPreviewChanged =
    QStringLiteral("Документ \"%1\" се промени, докато беше на екрана (редовете, сумите или номерът му).\r"
                   "Прегледът е обновен: прегледайте го и го отпечатайте отново.");

// The prompts of labels typed at print time.
inline const QString kFreeTextPrompt = QStringLiteral("Текст на етикета:");
inline const QString kNumberPrompt = QStringLiteral("Число за изписване с думи:");
inline const QString kPaymentPrompt = QStringLiteral("Начин на плащане:");
inline const QString kPaymentCash = QStringLiteral("в брой");

// The preview's count of pages.
inline const QString kPreviewPages = QStringLiteral("Страници: %1");

// Printers (%1 the printer, %2 the document).
inline const QString kPdfPrinter = QStringLiteral("PDF файл");
inline const QString kPdfFileCaption = QStringLiteral("Запис на документ \"%1\" като PDF файл");
inline const QString kPdfFilter = QStringLiteral("PDF файлове (*.pdf)");
inline const QString kPrinterNotFound =
    QStringLiteral("Принтерът \"%1\" не е намерен.\rДокумент \"%2\" не е отпечатан на него.");
inline const QString kPrinterNotReady =
    QStringLiteral("Принтерът \"%1\" не е готов за печат (изключен, без хартия или в грешка).\r"
                   "Документ \"%2\" не е отпечатан на него.");
inline const QString kPrintFailed =
    QStringLiteral("Печатът на принтера \"%1\" не успя.\rДокумент \"%2\" не е отпечатан на него.");

// The register of kinds and of working-document kinds.
inline const QString kNumberDigitsOnly = QStringLiteral("Номерът на документа може да съдържа само цифри");
inline const QString kCopiesNotNegative =
    QStringLiteral("Броят копия трябва да бъде цяло число, 0 или повече");
inline const QString kKindNameTaken = QStringLiteral("Вече има документ с име \"%1\"");
inline const QString kKindInUse = QStringLiteral("Документ \"%1\" е издаван и не може да бъде изтрит");
inline const QString kWorkKindInUse =
    QStringLiteral("Видът документ \"%1\" се използва в доставки или гаранции и не може да бъде изтрит");
inline const QString kEmptyName = QStringLiteral("Въведете описание");
inline const QString kAskDeleteKind = QStringLiteral("Желаете ли да изтриете \"%1\"?");
// The prompt for the name of a kind added.
inline const QString kKindNamePrompt = QStringLiteral("Описание:");

// The issued-documents report.
// The counterparty label starts as texts::kNoCounterpartyChosen (common).
inline const QString kNoIssuedArticle = QStringLiteral("0: Няма избран Артикул");
inline const QString kTotalZero = QStringLiteral("0.0000");
inline const QString kNoDocumentChosen = QStringLiteral("Изберете документ от списъка");
inline const QString kSearchFailed = QStringLiteral("Справката не може да бъде изпълнена");
// %1 the kind's name as registered, %2 the number.
inline const QString kKindGone =
    QStringLiteral("Видът документ на документ № %1 вече не съществува: копие не може да се отпечата");
inline const QString kNoFurtherKindTicked = QStringLiteral("Отметнете документите, които да се отпечатат");

// The date operator of the report, in the order of ValueComparison.
inline const QString kDateEqual = QStringLiteral("равно");
inline const QString kDateAtMost = QStringLiteral("по - малко");
inline const QString kDateAtLeast = QStringLiteral("по - голямо");
inline const QString kDateBetween = QStringLiteral("между");

// The operator's own queries.
inline const QString kNoQueryName = QStringLiteral("Не е зададено име");
inline const QString kQueryNamePrompt = QStringLiteral("Въведете име на справката");
inline const QString kOwnQueryEmpty =
    QStringLiteral("Въведете справката: един израз, който започва със SELECT или WITH.");
inline const QString kOwnQuerySelectOnly =
    QStringLiteral("Собствените справки само четат данни: изразът трябва да започва със SELECT или WITH.\r"
                   "Справката не е изпълнена и нищо не е променено.");
inline const QString kOwnQueryOneStatement =
    QStringLiteral("Справката трябва да бъде един израз, а след \";\" има още текст.\r"
                   "Справката не е изпълнена и нищо не е променено.");
// %1 the function's name.
inline const QString kOwnQueryServerFunction =
    QStringLiteral("Справката не може да извиква функцията %1: тя действа върху сървъра, другите "
                   "работни места или файлове.\rСправката не е изпълнена и нищо не е променено.");
// %1 the database's text.
inline const QString kOwnQueryFailed =
    QStringLiteral("Базата данни не изпълни справката:\r%1\rНищо не е променено.");
inline const QString kOwnQueryCancelled = QStringLiteral("Справката е прекъсната. Нищо не е променено.");
// %1 the seconds.
inline const QString kOwnQueryTimedOut =
    QStringLiteral("Справката продължи повече от %1 секунди и беше прекъсната.\r"
                   "Стеснете условията ѝ и я изпълнете отново.");
// %1 the rows shown.
inline const QString kOwnQueryCapped = QStringLiteral("Показани са първите %1 реда: справката има още.");
inline const QString kOwnQueryRows = QStringLiteral("Редове: %1");
inline const QString kOwnQueryRunning = QStringLiteral("Справката се изпълнява...");
inline const QString kOwnQueryNotRun = QStringLiteral("Изпълнете справката с \"Генерирай\"");
inline const QString kNotANumberColumn = QStringLiteral("Колоната \"%1\" не съдържа числа");
// The own queries' export heading.
inline const QString kOwnQueriesHeading = QStringLiteral("СОБСТВЕНИ СПРАВКИ");
inline const QString kDateHeading = QStringLiteral("Дата: ");
inline const QString kOperatorHeading = QStringLiteral("Оператор: ");
inline const QString kQueryKindHeading = QStringLiteral("Тип на справката: ");
// The document designer.
inline const QString kDesignerCaption = QStringLiteral("ДОКУМЕНТАЦИЯ");
inline const QString kNotAPicture = QStringLiteral("Файлът %1 не е картина, която програмата може да покаже");
// %1 the kind's name.
inline const QString kAskReplaceKind =
    QStringLiteral("Вече има документ \"%1\".\rДа бъде ли заменен неговият шаблон с този?");
inline const QString kTemplateSaved = QStringLiteral("Документ \"%1\" е записан.");
inline const QString kAskDeleteElement = QStringLiteral("Желаете ли да изтриете елемента \"%1\"?");
inline const QString kAskDiscardDesign =
    QStringLiteral("Промените в документ \"%1\" не са записани.\rДа бъдат ли изоставени?");
inline const QString kFreeTextTitle = QStringLiteral("Заглавие на етикета");
inline const QString kFreeTextStart = QStringLiteral("Въведете заглавие на етикета");
inline const QString kOpenBandText = QStringLiteral("Текст от файл");
inline const QString kBandTextFilter = QStringLiteral("Word (*.rtf);;Text (*.txt);;All Files (*)");
inline const QString kOpenPicture = QStringLiteral("Избор на картина");
inline const QString kPictureFilter =
    QStringLiteral("Картини (*.png *.jpg *.jpeg *.bmp *.gif);;Всички файлове (*)");
inline const QString kEditHeaderText = QStringLiteral("Текст отгоре");
inline const QString kEditFooterText = QStringLiteral("Текст отдолу");
// The preview of a design: the lines of the shop page's current sale.
inline const QString kDesignPreview = QStringLiteral("Преглед на документ \"%1\"");

} // namespace torvika::texts
