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
