#pragma once
// The counterparty groups: the flat table Grupi_Kontrag and the tree of
// groups kept in the text file Opis_Kontrag.pdt of the company database
// directory, one node "<ID>:<name>" a line, indented one tab per level.

#include "common/tree_file.h"
#include "counterparties/texts.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace torvika {

inline const QString kGroupTreeFileName = QStringLiteral("Opis_Kontrag.pdt");

using GroupTreeLine = TreeLine;

QString groupTreeFile(const QString& databaseDirectory);

// The tree in file order. The file may be UTF-8 or Windows-1251 and end its
// lines in CR LF or LF; blank lines are skipped and a node never lies more
// than one level below the node before it. The tree always starts with the
// root "0:Всички контрагенти" (the whole tree when the file is missing).
// Throws EInOutError when the file is there but cannot be read.
QList<GroupTreeLine> readGroupTree(const QString& fileName);
// Replaces the file whole (written beside it, then renamed into place):
// UTF-8, CR LF. Throws EInOutError.
void writeGroupTree(const QString& fileName, const QList<GroupTreeLine>& lines);

// Changes of the tree that several workstations may make at once. Each one
// re-reads the file under a lock, applies its one change to what the file
// holds now (not to the tree a window has been showing) and replaces the
// file atomically, so no workstation's group is lost. Each returns the tree
// as stored, for the window to show. Throws EInOutError when the file
// cannot be read, locked or written; the file then stays as it was.
//
// Adds the node text ("<ID>:<name>") at the top level, after the last node.
QList<GroupTreeLine> addGroupTreeNode(const QString& fileName, const QString& text);
// Adds the node text as the last child of the first node whose text is
// parentText. Throws EInOutError when no node has that text.
QList<GroupTreeLine> addGroupTreeChild(const QString& fileName, const QString& parentText,
                                       const QString& text);

// Adds a group; false (and nothing stored) when the number is taken.
bool addCounterpartyGroup(const QSqlDatabase& db, qint64 number, const QString& name);

} // namespace torvika
