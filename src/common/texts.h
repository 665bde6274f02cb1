#pragma once
// Texts of the helpers every subsystem uses: the program's name, which
// titles the message boxes, the errors of files that cannot be read or
// written (%1 the file, %2 the system's reason), and numbers that are none.

#include <QString>

namespace torvika::texts {

inline const QString kProgramName = QStringLiteral("ТОРВИКА");
inline const QString kFileUnreadable = QStringLiteral("Файлът %1 не може да бъде прочетен: %2");
inline const QString kFileUnwritable = QStringLiteral("Файлът %1 не може да бъде записан: %2");

// %1 the text or value that is no number.
inline const QString kNotANumber = QStringLiteral("\"%1\" не е число");

} // namespace torvika::texts
