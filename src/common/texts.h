#pragma once
// Texts of the helpers every subsystem uses: the program's name, which
// titles the message boxes, the errors of files that cannot be read or
// written (%1 the file, %2 the system's reason), numbers that are none, and
// the words of amounts.

#include <QString>

namespace torvika::texts {

inline const QString kProgramName = QStringLiteral("ТОРВИКА");
inline const QString kFileUnreadable = QStringLiteral("Файлът %1 не може да бъде прочетен: %2");
inline const QString kFileUnwritable = QStringLiteral("Файлът %1 не може да бъде записан: %2");

// %1 the text or value that is no number.
inline const QString kNotANumber = QStringLiteral("\"%1\" не е число");
// %1 the VAT rate text of the company's settings.
inline const QString kVatRateInvalid = QStringLiteral("Ставката на ДДС \"%1\" не е число от 0 нагоре");

// The currency of amounts in words: its major and minor unit.
inline const QString kCurrencyMajorWords = QStringLiteral("лева");
inline const QString kCurrencyMinorWords = QStringLiteral("стотинки");
// Before the words of a negative amount.
inline const QString kMinusWord = QStringLiteral("минус ");

} // namespace torvika::texts
