#pragma once
// Applying an operator's rights and shortcuts to the main menu.

#include "shell/firm_data.h"

#include <QStringList>

class QAction;

namespace torvika {

class MainMenu;

// Enables and disables the menu commands as the rights entries say
// (SetMenuVisible); commands the entries do not reach keep their state.
void applyRights(MainMenu& menu, const QStringList& entries);

// The stored text of a command's shortcut (empty for none or no command).
QString actionShortcutText(const QAction* action);

// Gives the commands the shortcuts stored in the operator's section of
// Firm_Data.ini. Commands the section does not name, and texts that name
// no key, keep their current shortcut; an empty text removes it.
void applyOperatorShortcuts(MainMenu& menu, const Settings& settings, const QString& operatorName);

} // namespace torvika
