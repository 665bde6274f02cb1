#include "shell/ui/menu_rights.h"

#include "shell/operators.h"
#include "shell/rights.h"
#include "shell/shortcut_text.h"
#include "shell/ui/main_menu.h"

#include <QAbstractButton>
#include <QAction>
#include <QWidget>

namespace torvika {

void applyRights(MainMenu& menu, const QStringList& entries) {
    const QList<RightChange> changes = SetMenuVisible(entries, menu.nodeCount());
    for (int n = 1; n < changes.size(); ++n) {
        QAction* a = menu.action(n);
        if (!a || changes[n] == RightChange::Leave)
            continue;
        a->setEnabled(changes[n] == RightChange::Enable);
    }
}

QString actionShortcutText(const QAction* action) {
    if (!action || action->shortcut().isEmpty())
        return {};
    return shortcutText(action->shortcut()[0]);
}

void applyOperatorShortcuts(MainMenu& menu, const ProfileFile& firmData, const QString& operatorName) {
    const QHash<int, QString> stored = readOperatorShortcuts(firmData, operatorName, menu.nodeCount());
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

namespace {

template <typename T> T* child(QWidget* mainWindow, const char* name) {
    return mainWindow ? mainWindow->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

} // namespace

void copyShopButtonStates(QWidget* mainWindow, const MainMenu& menu) {
    static const struct {
        const char* command;
        const char* button;
    } pairs[] = {{"Enter1", "Button_Insert_in_List"},
                 {"N_Prodajba", "Button_Prodajba"},
                 {"N_Cancel_Prodajba", "Button_Otkaz"},
                 {"N_Dokumenti", "Button_Pe4at_Dokumenti"}};
    for (const auto& p : pairs) {
        QAction* a = menu.action(QString::fromLatin1(p.command));
        if (QWidget* b = child<QWidget>(mainWindow, p.button); a && b)
            b->setEnabled(a->isEnabled());
    }
}

void writeShopButtonCaptions(QWidget* mainWindow, const MainMenu& menu, int insertInListBlanks) {
    const struct {
        const char* button;
        QString caption;
        int blanks;
        const char* command;
    } captions[] = {
        {"Button_Insert_in_List", QStringLiteral("Добави в списък"), insertInListBlanks, "Enter1"},
        {"Button_Prodajba", QStringLiteral("Продажба"), 5, "N_Prodajba"},
        {"Button_Otkaz", QStringLiteral("Откажи"), 10, "N_Cancel_Prodajba"},
        {"Button_Select_all", QStringLiteral("Избери всичко"), 4, "N_Select_All"},
        {"Button_TO", QStringLiteral("Свободна отстъпка"), 3, "N_Ob6ta_TO"},
        {"Button_Refresh", QStringLiteral("Обнови"), 3, "N_Refresh"},
    };
    for (const auto& c : captions) {
        if (QAbstractButton* b = child<QAbstractButton>(mainWindow, c.button))
            b->setText(c.caption + QString(c.blanks, u' ') +
                       actionShortcutText(menu.action(QString::fromLatin1(c.command))));
    }
}

} // namespace torvika
