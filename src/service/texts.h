#pragma once
// The texts the service shows: its page's tab and the main window's title
// while the page is current.

#include <QString>

namespace torvika::texts {

inline const QString kServiceTab = QStringLiteral("СЕРВИЗ");
inline const QString kServiceTitle = QStringLiteral("ТОРВИКА - СЕРВИЗ");

} // namespace torvika::texts
