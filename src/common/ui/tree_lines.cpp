#include "common/ui/tree_lines.h"

#include <QSignalBlocker>
#include <QTreeWidget>
#include <functional>

namespace torvika {

void showTreeLines(QTreeWidget* tree, const QList<TreeLine>& lines) {
    const QSignalBlocker block(tree);
    tree->clear();
    QList<QTreeWidgetItem*> path; // the last node of each depth
    for (const TreeLine& l : lines) {
        path.resize(l.depth);
        auto* node = path.isEmpty() ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(path.back());
        node->setText(0, l.text);
        path.append(node);
    }
    tree->expandAll();
}

QList<TreeLine> treeWidgetLines(const QTreeWidget* tree) {
    QList<TreeLine> lines;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* node, int depth) {
        lines.append({depth, node->text(0)});
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i), depth + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return lines;
}

} // namespace torvika
