#include "shell/ui/main_menu.h"

#include "shell/menu_tree.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace torvika {

MainMenu::MainMenu(QMenuBar* bar) {
    bar->setObjectName(QStringLiteral("MainMenu_General"));
    auto nodes = mainMenuNodes();
    actions_.resize(int(nodes.size()) + 1);
    menus_.resize(int(nodes.size()) + 1);
    // The menu each depth adds to; depth 0 goes to the bar.
    QList<QMenu*> parents;
    for (int n = 1; n <= int(nodes.size()); ++n) {
        const MenuNode& node = nodes[n - 1];
        const QString name = QString::fromUtf16(node.name);
        const QString caption = QString::fromUtf16(node.caption);
        const bool hasChildren = n < int(nodes.size()) && nodes[n].depth > node.depth;
        parents.resize(node.depth);
        QMenu* parent = node.depth == 0 ? nullptr : parents[node.depth - 1];
        QAction* a = nullptr;
        if (hasChildren) {
            QMenu* m = parent ? parent->addMenu(caption) : bar->addMenu(caption);
            m->setObjectName(name + QStringLiteral("_Menu"));
            menus_[n] = m;
            a = m->menuAction();
            parents.append(m);
        } else {
            a = parent ? parent->addAction(caption) : bar->addAction(caption);
        }
        a->setObjectName(name);
        if (node.shortcut[0])
            a->setShortcut(QKeySequence(QString::fromUtf16(node.shortcut)));
        a->setVisible(!node.hidden);
        actions_[n] = a;
    }
}

QAction* MainMenu::action(int node) const {
    return node > 0 && node < actions_.size() ? actions_[node] : nullptr;
}

QAction* MainMenu::action(const QString& name) const {
    return action(menuNodeNumber(name));
}

QMenu* MainMenu::submenu(int node) const {
    return node > 0 && node < menus_.size() ? menus_[node] : nullptr;
}

int MainMenu::nodeCount() const {
    return int(actions_.size());
}

bool MainMenu::isSubmenu(int node) const {
    return submenu(node) != nullptr;
}

} // namespace torvika
