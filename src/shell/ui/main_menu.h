#pragma once
// MainMenu_General built from the menu tree: one QAction per node (a
// submenu's menuAction for items with sub-items), each named by its item's
// objectName, with its caption, default shortcut and hidden state.
//
// A hidden item is left out of its menu, but its action stays visible to
// Qt: Qt disables every invisible action, which would lose the item's right
// and silence its shortcut, while a hidden command keeps both. Its enabled
// state is the operator's right like any other.

#include "shell/menu_tree.h"

#include <QList>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace torvika {

class MainMenu {
public:
    // Fills the menu bar (whose objectName becomes MainMenu_General).
    explicit MainMenu(QMenuBar* bar);

    // Node 1 .. 139; nullptr for the root and numbers beyond the tree.
    QAction* action(int node) const;
    // Throws std::logic_error for a tool button's own command.
    QAction* action(Command command) const;
    QMenu* submenu(int node) const;
    int nodeCount() const; // the root included
    // Nodes whose item has sub-items.
    bool isSubmenu(int node) const;

    // Whether the item is left out of its menu.
    bool isHidden(int node) const;
    bool isHidden(Command command) const;
    // Shows the item in its place among its siblings, or leaves it out.
    void setHidden(int node, bool hidden);
    void setHidden(Command command, bool hidden);

    // A command is enabled when the operator has the right to it and an
    // operation is attached to it; a submenu when the operator has the right.
    bool hasRight(int node) const;
    void setRight(int node, bool allowed);
    bool isAvailable(int node) const;
    void setAvailable(int node, bool available);

    // Whether the command can be reached: it and every submenu above it
    // are enabled. A command under a disabled submenu cannot be opened in
    // the menu, and its shortcut does not run it either.
    bool isReachable(int node) const;

private:
    // The menu or menu bar the item belongs to.
    QWidget* container(int node) const;

    QMenuBar* bar_;
    QList<QAction*> actions_; // index = node number; [0] is null
    QList<QMenu*> menus_;
    void updateEnabled(int node);

    QList<bool> hidden_;
    QList<bool> rights_;
    QList<bool> available_;
    QList<int> parents_;
};

} // namespace torvika
