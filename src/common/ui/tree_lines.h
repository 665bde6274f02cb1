#pragma once
// A group tree shown in a tree widget: filled from the lines of its tree
// file and read back as lines.

#include "common/tree_file.h"

#include <QList>

class QTreeWidget;

namespace torvika {

// Fills the tree with the lines, one node a line, all expanded; the tree's
// signals stay silent meanwhile.
void showTreeLines(QTreeWidget* tree, const QList<TreeLine>& lines);
// The tree's nodes in file order.
QList<TreeLine> treeWidgetLines(const QTreeWidget* tree);

} // namespace torvika
