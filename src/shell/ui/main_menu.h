#pragma once
// MainMenu_General built from the menu tree: one QAction per node (a
// submenu's menuAction for items with sub-items), each named by its item's
// objectName, with its caption, default shortcut and hidden state.

#include <QList>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;

namespace torvika {

class MainMenu {
public:
    // Fills the menu bar (whose objectName becomes MainMenu_General).
    explicit MainMenu(QMenuBar* bar);

    // Node 1 .. 139; nullptr for the root and numbers beyond the tree.
    QAction* action(int node) const;
    QAction* action(const QString& name) const;
    QMenu* submenu(int node) const;
    int nodeCount() const; // the root included
    // Nodes whose item has sub-items.
    bool isSubmenu(int node) const;

private:
    QList<QAction*> actions_; // index = node number; [0] is null
    QList<QMenu*> menus_;
};

} // namespace torvika
