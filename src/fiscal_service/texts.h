#pragma once
// The texts the fiscal service shows: its page's tab and the main window's
// title while the page is current.

#include <QString>

namespace torvika::texts {

inline const QString kFiscalServiceTab = QStringLiteral("ФИСКАЛЕН СЕРВИЗ");
inline const QString kFiscalServiceTitle = QStringLiteral("ТОРВИКА - ФИСКАЛЕН СЕРВИЗ");

} // namespace torvika::texts
