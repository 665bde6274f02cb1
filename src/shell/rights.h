#pragma once
// Operators' rights over the main-menu tree. A rights string holds one
// entry "<node>=<value>," per tree node in node order, the root included:
// value 0 allows the node's command, 1 denies it ("0=0,1=0,2=1,...,139=0,").
// A right is the enabled state of one menu command.

#include <QList>
#include <QStringList>
#include <functional>

namespace torvika {

// The entries of a rights string: the text before each comma; what follows
// the last comma is ignored; an empty text gives no entries.
QStringList GETRIGHTS(const QString& rights);

// The value of the first entry named name ("<name>=<value>"), empty when
// there is none.
QString rightsValue(const QStringList& entries, int node);

enum class RightChange { Leave, Enable, Disable };

// What applying the entries does to each node of a tree of nodeCount nodes
// (index = node number; the root, [0], is never changed). Node n, from 1 to
// entries.size() - 1, is enabled by value 0, disabled by 1 and left by any
// other number; a value that is not a number, or a node beyond the tree,
// ends the walk, and the nodes not reached are left as they are.
QList<RightChange> SetMenuVisible(const QStringList& entries, int nodeCount);

// The rights string of per-node denied flags (index = node number).
QString buildRightsString(const QList<bool>& denied);

// Per-node denied flags shown for a stored string: nodes whose entry is 1
// are denied; nodes the string does not cover, or whose value is not 1,
// show allowed.
QList<bool> deniedFlags(const QStringList& entries, int nodeCount);

// A full string that allows every node of a tree of nodeCount nodes.
QString allAllowedRights(int nodeCount);

// Nodes of the main-menu tree below node (its whole subtree, pre-order).
QList<int> menuDescendants(int node);
// The direct children of node (0: the top-level items).
QList<int> menuChildren(int node);

// A click on a node of the rights tree. Allowed -> denied: when the node
// has a parent and the parent is expanded, its descendants are denied too,
// and the parent is denied when none of its children is allowed any more.
// Denied -> allowed: when the node has a parent, its descendants and the
// parent are allowed. Only the immediate parent is touched; the root
// (node 0) changes only itself. denied is indexed by node number.
void TreeView_MenuesClick(QList<bool>& denied, int node, const std::function<bool(int)>& expanded);

} // namespace torvika
