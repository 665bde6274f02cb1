#include "shell/ui/main_menu.h"

#include "shell/menu_tree.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <stdexcept>

namespace torvika {

MainMenu::MainMenu(QMenuBar* bar) : bar_(bar) {
    bar->setObjectName(QStringLiteral("MainMenu_General"));
    auto nodes = mainMenuNodes();
    const int count = int(nodes.size()) + 1;
    actions_.resize(count);
    menus_.resize(count);
    hidden_.resize(count);
    rights_.fill(true, count);
    available_.fill(false, count);
    parents_.resize(count);
    parents_[0] = -1;
    for (int n = 1; n < count; ++n) {
        const MenuNode& node = nodes[n - 1];
        const QString name = QString::fromUtf16(node.name);
        const QString caption = QString::fromUtf16(node.caption);
        const bool hasChildren = n + 1 < count && nodes[n].depth > node.depth;
        parents_[n] = menuParentNode(n);
        QWidget* owner = container(n);
        QAction* a = nullptr;
        if (hasChildren) {
            auto* m = new QMenu(caption, owner);
            m->setObjectName(name + QStringLiteral("_Menu"));
            menus_[n] = m;
            a = m->menuAction();
        } else {
            a = new QAction(caption, owner);
        }
        a->setObjectName(name);
        if (node.shortcut[0])
            a->setShortcut(QKeySequence(QString::fromUtf16(node.shortcut)));
        actions_[n] = a;
        available_[n] = hasChildren;
        a->setEnabled(hasChildren);
        hidden_[n] = node.hidden;
        if (!node.hidden)
            owner->addAction(a);
    }
}

QWidget* MainMenu::container(int node) const {
    const int parent = parents_.value(node, -1);
    if (parent > 0)
        return menus_[parent];
    return bar_;
}

QAction* MainMenu::action(int node) const {
    return node > 0 && node < actions_.size() ? actions_[node] : nullptr;
}

namespace {

int nodeOf(Command command) {
    const std::optional<int> node = menuNode(command);
    if (!node)
        throw std::logic_error("no menu item for the command " + commandName(command).toStdString());
    return *node;
}

} // namespace

QAction* MainMenu::action(Command command) const {
    return action(nodeOf(command));
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

bool MainMenu::isHidden(int node) const {
    return node > 0 && node < hidden_.size() && hidden_[node];
}

bool MainMenu::isHidden(Command command) const {
    return isHidden(nodeOf(command));
}

void MainMenu::setHidden(int node, bool hidden) {
    if (node <= 0 || node >= hidden_.size() || hidden_[node] == hidden)
        return;
    hidden_[node] = hidden;
    QWidget* owner = container(node);
    if (hidden) {
        owner->removeAction(actions_[node]);
        return;
    }
    // Before the next sibling that is shown, so the menu keeps its order.
    QAction* before = nullptr;
    for (int n = node + 1; n < actions_.size() && !before; ++n)
        if (parents_[n] == parents_[node] && !hidden_[n])
            before = actions_[n];
    owner->insertAction(before, actions_[node]);
}

void MainMenu::setHidden(Command command, bool hidden) {
    setHidden(nodeOf(command), hidden);
}

bool MainMenu::hasRight(int node) const {
    return node > 0 && node < rights_.size() && rights_[node];
}

void MainMenu::setRight(int node, bool allowed) {
    if (node <= 0 || node >= rights_.size())
        return;
    rights_[node] = allowed;
    updateEnabled(node);
}

bool MainMenu::isAvailable(int node) const {
    return node > 0 && node < available_.size() && available_[node];
}

void MainMenu::setAvailable(int node, bool available) {
    if (node <= 0 || node >= available_.size() || isSubmenu(node))
        return;
    available_[node] = available;
    updateEnabled(node);
}

void MainMenu::updateEnabled(int node) {
    actions_[node]->setEnabled(rights_[node] && available_[node]);
}

bool MainMenu::isReachable(int node) const {
    if (node <= 0 || node >= actions_.size())
        return false;
    for (int n = node; n > 0; n = parents_[n])
        if (!actions_[n]->isEnabled())
            return false;
    return true;
}

} // namespace torvika
