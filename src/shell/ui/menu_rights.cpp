#include "shell/ui/menu_rights.h"

#include "shell/operators.h"
#include "shell/rights.h"
#include "shell/shortcut_text.h"
#include "shell/ui/main_menu.h"

#include <QAction>

namespace torvika {

void applyRights(MainMenu& menu, const QStringList& entries) {
    const QList<RightChange> changes = SetMenuVisible(entries, menu.nodeCount());
    for (int n = 1; n < changes.size(); ++n) {
        if (changes[n] != RightChange::Leave)
            menu.setRight(n, changes[n] == RightChange::Enable);
    }
}

QString actionShortcutText(const QAction* action) {
    if (!action || action->shortcut().isEmpty())
        return {};
    return shortcutText(action->shortcut()[0]);
}

void applyOperatorShortcuts(MainMenu& menu, const Settings& settings, const QString& operatorName) {
    const QHash<int, QString> stored = readOperatorShortcuts(settings, operatorName, menu.nodeCount());
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        QAction* a = menu.action(it.key());
        if (!a)
            continue;
        std::optional<QKeyCombination> key = parseShortcutText(it.value());
        if (!key)
            continue;
        a->setShortcut(key->key() == Qt::Key_unknown ? QKeySequence() : QKeySequence(*key));
    }
}

} // namespace torvika
