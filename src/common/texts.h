#pragma once
// Texts of the helpers every subsystem uses: the program's name, which
// titles the message boxes, the errors of files that cannot be read or
// written (%1 the file, %2 the system's reason), numbers that are none, the
// words of amounts, and the group tree files: another workstation is
// changing one (%1 the file), or it holds no node of a group (%1 the file,
// %2 the node), the buttons of the record windows, the messages of the list
// windows, and the fixed last line of the grid export files.

#include <QString>

namespace torvika::texts {

inline const QString kProgramName = QStringLiteral("ТОРВИКА");
// A save that found the database held by another workstation for longer
// than the program waits.
inline const QString kDatabaseBusy =
    QStringLiteral("Базата данни е заета от друга работна станция: нищо не е записано. Опитайте отново.");
inline const QString kFileUnreadable = QStringLiteral("Файлът %1 не може да бъде прочетен: %2");
inline const QString kFileUnwritable = QStringLiteral("Файлът %1 не може да бъде записан: %2");
inline const QString kTreeFileBusy = QStringLiteral("Файлът %1 се променя от друго работно място");
inline const QString kTreeNodeMissing = QStringLiteral("Във файла %1 няма група %2");

// The reference text of "no counterparty chosen": the sale counterparty of
// an operator who has chosen none, a new article's counterparty number.
inline const QString kNoCounterpartyChosen = QStringLiteral("0: Няма избран контрагент");

// The tooltip of a disabled "ИЗБЕРИ" (or of a button that opens the window
// of another subsystem) when no window of the program takes the choice.
inline const QString kNoFollowUp = QStringLiteral("Няма прозорец на програмата, който да приеме избора");

// The small input dialog Form_Get_Kol: its captions by mode and its refusals.
inline const QString kGetKolQuantity = QStringLiteral("Количество");
inline const QString kGetKolSerial = QStringLiteral("Сериен Номер / Поредица от");
inline const QString kGetKolGuarantee = QStringLiteral("Гаранция / Поредица До");
inline const QString kGetKolBill = QStringLiteral("Номер на открита сметка");
inline const QString kGetKolReason = QStringLiteral("Посочете основание за анулиране");
inline const QString kGetKolReasonText = QStringLiteral("Върната стока");
inline const QString kGetKolQueryName = QStringLiteral("Въведете име на справката");
inline const QString kBadQuantity = QStringLiteral("Количеството трябва да е число, не по-малко от 0!");
inline const QString kBadBillNumber =
    QStringLiteral("Номерът на сметка трябва да е цяло число, не по-малко от 0!");

// Numbered-field files: a value the format cannot carry (%1 the field's
// number, %2 the value), a character Windows-1251 cannot hold (%1 the
// character, %2 the line), a file that is no text (%1 the file).
inline const QString kNumberedFieldCannotCarry =
    QStringLiteral("Поле %1 не може да бъде записано: стойността \"%2\" съдържа \"]\" или нов ред");
inline const QString kNotInCp1251 =
    QStringLiteral("Знакът \"%1\" не може да бъде записан в кодова таблица Windows-1251: %2");
inline const QString kNotATextFile = QStringLiteral("Файлът %1 не е текстов файл");
// A value the export cannot carry: %1 the field's caption, %2 the record,
// %3 the value.
// The open dialog of every import.
inline const QString kImportOpenCaption = QStringLiteral("Импорт на данни");
inline const QString kImportFileFilter = QStringLiteral("All Files (*.*) (*);;Text Files (*.txt) (*.txt)");
// The export window: its title and captions, the save dialog's caption
// and filters, and its messages (%1 the number of values listed, %2 the
// list; %1 the file and the number of records).
inline const QString kExportDataTitle = QStringLiteral("ЕКСПОРТ НА ДАННИ");
inline const QString kExportFieldsCaption = QStringLiteral("Полета за експорт");
inline const QString kExportMarkAll = QStringLiteral("Маркирай всичко");
inline const QString kExportClearAll = QStringLiteral("Изчисти всичко");
inline const QString kExportPrefix = QStringLiteral("Префикс");
inline const QString kExportSubfix = QStringLiteral("Субфикс");
inline const QString kExportDecimal = QStringLiteral("Десетичен знак");
inline const QString kExportButton = QStringLiteral("ЕКСПОРТ");
inline const QString kCancelButton = QStringLiteral("ОТКАЗ");
inline const QString kExportSaveCaption = QStringLiteral("Експорт на данни");
inline const QString kExportSaveFilter =
    QStringLiteral("Text File (txt) (*.txt);;Word (doc) (*.doc);;All Files (*.*) (*)");
inline const QString kExportNoField = QStringLiteral("Изберете поне едно поле за експорт!");
inline const QString kExportCannotCarry = QStringLiteral(
    "Следните стойности (първите %1) не могат да бъдат записани във файла и биха се върнали променени "
    "при внос. Нищо не е записано. Махнете отметката на полето или сменете Субфикса:\n%2");
inline const QString kExportCancelled = QStringLiteral("Експортът е прекъснат. Нищо не е записано.");
inline const QString kExportProgress = QStringLiteral("Експорт на данни...");
inline const QString kExportValueCannotBeCarried =
    QStringLiteral("Полето \"%1\" на %2 не може да бъде записано: \"%3\"");
// %1 the line's number, %2 the file, %3 the longest line in MB.
inline const QString kNumberedLineTooLong =
    QStringLiteral("Ред %1 на файла %2 е по-дълъг от %3 MB: това не е файл с номерирани полета");

// The import statistics: a refused line (%1 its number in the file, %2 the
// reason), and the closing line of an import that stored nothing (%1 the
// failure).
inline const QString kImportLineRefused = QStringLiteral("Ред %1: ОТКАЗАН - %2");
inline const QString kImportCancelled = QStringLiteral("ИМПОРТЪТ Е ПРЕКЪСНАТ.");
inline const QString kImportFailed = QStringLiteral("ИМПОРТЪТ НЕ Е ИЗВЪРШЕН: %1");
inline const QString kImportNothingStored = QStringLiteral("Нищо не е записано в базата данни.");
// The closing lines of the import statistics (%1 a count) and why a line
// of an imported file is refused: %1 the field's number, %2 its value,
// %3 and %4 the bounds; a field longer than %2 characters; a record (%1)
// read already from an earlier line (%2).
inline const QString kImportDataTotal = QStringLiteral("ОБЩ БРОЙ ОБРАБОТЕНИ ДАННИ:%1");
inline const QString kImportAdded = QStringLiteral("Добавени: %1");
inline const QString kImportRepeated = QStringLiteral("Повторени: %1");
inline const QString kImportReplaced = QStringLiteral("Актуализации: %1");
inline const QString kImportRefusedLines = QStringLiteral("Отказани редове: %1");
inline const QString kImportPressEsc = QStringLiteral("Натиснете ESC - за изход от Статистиката");
inline const QString kImportNoFields = QStringLiteral("редът няма нито едно поле");
inline const QString kImportUnterminated = QStringLiteral("стойността на поле %1 няма затваряща \"]\"");
inline const QString kImportMissingField = QStringLiteral("липсва поле %1");
inline const QString kImportNotANumber = QStringLiteral("поле %1 (\"%2\") не е число");
inline const QString kImportNotAWholeNumber = QStringLiteral("поле %1 (\"%2\") не е цяло число от %3 до %4");
inline const QString kImportOutOfRange = QStringLiteral("поле %1 (\"%2\") трябва да е от %3 до %4");
inline const QString kImportBelow = QStringLiteral("поле %1 (\"%2\") не може да е по-малко от %3");
inline const QString kImportAbove = QStringLiteral("поле %1 (\"%2\") не може да е по-голямо от %3");
inline const QString kImportNotAMark = QStringLiteral("поле %1 (\"%2\") трябва да е True или False");
inline const QString kImportTooLong = QStringLiteral("поле %1 е по-дълго от %2 знака");
inline const QString kImportEmptyField = QStringLiteral("поле %1 е празно");
inline const QString kImportRepeatedInFile = QStringLiteral("%1 е вече прочетен от ред %2 на файла");

// %1 the text or value that is no number.
inline const QString kNotANumber = QStringLiteral("\"%1\" не е число");
// %1 the VAT rate text of the company's settings.
inline const QString kVatRateInvalid = QStringLiteral("Ставката на ДДС \"%1\" не е число от 0 нагоре");
// %1 the tax group's letter, %2 the rate as stored.
inline const QString kGroupRateInvalid =
    QStringLiteral("Ставката на ДДС на данъчна група %1 (\"%2\") не е число от 0 до 100");

// The currency of amounts in words: its major and minor unit.
inline const QString kCurrencyMajorWords = QStringLiteral("лева");
inline const QString kCurrencyMinorWords = QStringLiteral("стотинки");
inline const QString kEuroMajorWords = QStringLiteral("евро");
inline const QString kEuroMinorWords = QStringLiteral("цента");
// After an amount of the currency, and the title of a column of totals in it.
inline const QString kLevSign = QStringLiteral("лв.");
inline const QString kEuroSign = QStringLiteral("EUR");
inline const QString kTotalInLeva = QStringLiteral("Общо в лева");
inline const QString kTotalInEuro = QStringLiteral("Общо в евро");
// Before the words of a negative amount.
inline const QString kMinusWord = QStringLiteral("минус ");

// The record windows. The navigator's buttons.
inline const QString kNavigatorFirst = QStringLiteral("Първи");
inline const QString kNavigatorPrior = QStringLiteral("Предишен");
inline const QString kNavigatorNext = QStringLiteral("Следващ");
inline const QString kNavigatorLast = QStringLiteral("Последен");
inline const QString kNavigatorDelete = QStringLiteral("Изтрий");
inline const QString kNavigatorEdit = QStringLiteral("Редактирай");
inline const QString kNavigatorPost = QStringLiteral("Запис");
inline const QString kNavigatorRefresh = QStringLiteral("Обнови");
// The row buttons: idle, and while a row is added or edited ("Нов" and
// "Откажи" are the navigator's too).
inline const QString kRowCaptionNew = QStringLiteral("Нов");
inline const QString kRowCaptionDelete = QStringLiteral("Изтрии");
inline const QString kRowCaptionAccept = QStringLiteral("Приеми");
inline const QString kRowCaptionCancel = QStringLiteral("Откажи");
inline const QString kRowCaptionAdd = QStringLiteral("Добави");

// The list windows, and the date line of a list's print heading.
inline const QString kExportDate = QStringLiteral("\tДата:");
inline const QString kSearchBy = QStringLiteral("Търсене по: ");
inline const QString kNothingToSort = QStringLiteral("Няма данни за подреждане");
inline const QString kNothingToPrint = QStringLiteral("Няма данни за печат");

// The group dialogs of the articles and of the counterparties: the title
// of a new group (followed by the menu entry's caption) and the refusals of
// its number.
inline const QString kEnteringGroup = QStringLiteral("Въвеждане на ");
inline const QString kGroupNumberTaken = QStringLiteral("Въведеният номер за група вече съществува!");
inline const QString kGroupNumberNotPositive =
    QStringLiteral("Номерът на група трябва да е цяло положително число!");

// The last line of every text export (101 characters).
inline const QString kExportFooter =
    QStringLiteral("Този документ е издаден от програма \"Торвика\"."
                   "  E-mail: office@torvika.bg, тел./факс: +359 2 000 0000");

} // namespace torvika::texts
