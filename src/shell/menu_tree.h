#pragma once
// The main menu MainMenu_General as data: its items in the order of the
// menu tree walk (depth first, pre-order). The node number of an item is its
// position in this list plus one; node 0 is the root "Основни менюта". The
// order is the stored format of every operator's rights string.

#include <QString>
#include <span>

namespace torvika {

struct MenuNode {
    int depth; // 0 for a top-level item
    const char16_t* name;
    const char16_t* caption;
    const char16_t* shortcut; // default keyboard shortcut, empty for none
    bool hidden;
};

inline const QString kMenuRootText = QStringLiteral("Основни менюта");

// Items 1 .. 139 of the tree; mainMenuNodes()[n - 1] is node n.
std::span<const MenuNode> mainMenuNodes();
// The number of tree nodes, the root included (140).
int menuTreeNodeCount();
// The node number of an item, -1 when there is none.
int menuNodeNumber(const QString& name);
// The parent's node number (0 for a top-level item; -1 for the root).
int menuParentNode(int node);

} // namespace torvika
