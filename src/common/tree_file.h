#pragma once
// The group tree files of a company database (Opis.pdt of the articles,
// Opis_Kontrag.pdt of the counterparties): one node a line in tree order,
// each line the node's text after one tab per level of depth.
//
// Several workstations change a tree file at once, so a change never writes
// the tree a window has been showing: it re-reads the file under a lock file
// beside it, applies its one change to what the file holds now and replaces
// the file atomically, so no workstation's change is lost.

#include <QList>
#include <QString>
#include <functional>

namespace torvika {

struct TreeLine {
    int depth = 0;
    QString text;
    bool operator==(const TreeLine&) const = default;
};

// The nodes in file order; empty when the file is missing. The file may be
// UTF-8 or Windows-1251 and end its lines in CR LF or LF; blank lines are
// skipped and a node never lies more than one level below the node before
// it. Throws EInOutError when the file is there but cannot be read.
QList<TreeLine> readTreeFile(const QString& fileName);
// Replaces the file whole (written beside it, then renamed into place):
// UTF-8, CR LF. Throws EInOutError.
void writeTreeFile(const QString& fileName, const QList<TreeLine>& lines);

// One change of the file: under its lock, reads it, lets normalise put in
// what every tree of that kind holds (its root), applies change and writes
// the result, which it returns. A change that throws leaves the file as it
// was. Throws EInOutError when the file cannot be read, locked or written.
using TreeChange = std::function<void(QList<TreeLine>&)>;
QList<TreeLine> changeTreeFile(const QString& fileName, const TreeChange& normalise,
                               const TreeChange& change);

// Helpers on a tree in file order.
//
// The index of the first node with the text; -1 when there is none.
qsizetype findTreeNode(const QList<TreeLine>& lines, const QString& text);
// The index just after the node's last descendant.
qsizetype treeSubtreeEnd(const QList<TreeLine>& lines, qsizetype node);
// Whether the node at index lies inside the subtree of the node at root
// (the root itself included).
bool isInTreeSubtree(const QList<TreeLine>& lines, qsizetype root, qsizetype index);
// Adds the text at the top level, after the last node.
void appendTreeNode(QList<TreeLine>& lines, const QString& text);
// Adds the text as the last child of the node at index parent.
void appendTreeChild(QList<TreeLine>& lines, qsizetype parent, const QString& text);
// Removes the node and its descendants; returns them with the depths they had.
QList<TreeLine> takeTreeSubtree(QList<TreeLine>& lines, qsizetype node);
// Moves the node with its descendants to be the last child of the node
// target, or to the end of the top level when target is -1. The target must
// not lie inside the moved subtree (std::invalid_argument).
void moveTreeSubtree(QList<TreeLine>& lines, qsizetype node, qsizetype target);

} // namespace torvika
