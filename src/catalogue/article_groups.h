#pragma once
// The article groups: the flat table Grupi (number and name) and the tree of
// groups kept in Opis.pdt of the company database directory, one node a
// line, one tab per level: the root "Всички артикули", the group nodes
// "<ID>:<Opisanie>" and the bin "Изтрити артикули", where deleted articles
// that keep a history wait.
//
// Every change of the tree re-reads the file under its lock and replaces it
// atomically (common/tree_file.h), so two workstations never erase each
// other's groups. The changes return the tree as stored, for the window.

#include "catalogue/articles.h"
#include "common/tree_file.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace torvika {

inline const QString kArticleTreeFileName = QStringLiteral("Opis.pdt");
QString articleTreeFile(const QString& databaseDirectory);

// The group a node stands for: its number when the node is "<n>:<name>"
// with n >= 1; none for the root, the bin and any other text.
std::optional<qint64> groupOfNode(const QString& nodeText);
bool isBinNode(const QString& nodeText);

// The tree in file order, always starting with the root (the whole tree
// when the file is missing). Throws EInOutError when it cannot be read.
QList<TreeLine> readArticleTree(const QString& fileName);

// Adds the node at the end of the top level, or as the last child of the
// node parentText (EInOutError when the file holds no such node).
QList<TreeLine> addArticleTreeNode(const QString& fileName, const QString& text);
QList<TreeLine> addArticleTreeChild(const QString& fileName, const QString& parentText, const QString& text);
// Gives the node oldText the text newText.
QList<TreeLine> renameArticleTreeNode(const QString& fileName, const QString& oldText,
                                      const QString& newText);
// Moves the group node with its sub-groups to be the last child of the
// node targetText, or to the end of the top level when the target is the
// root. std::invalid_argument for a target inside the moved subtree, for a
// node that is not a group and for the bin as target.
QList<TreeLine> moveArticleTreeNode(const QString& fileName, const QString& text, const QString& targetText);
// Adds the bin at the end of the top level when the file has none.
QList<TreeLine> ensureArticleBinNode(const QString& fileName);

// The groups of the node's subtree as the file holds it now (the node's
// own group first); empty when the file has no such node.
QList<qint64> subtreeGroups(const QList<TreeLine>& lines, const QString& nodeText);

// Whether any article belongs to one of the groups.
bool groupsHaveArticles(const QSqlDatabase& db, const QList<qint64>& groups);

// Grupi. A number must be a whole number of at least 1.
// Adds a group; false (and nothing stored) when the number is taken.
bool addArticleGroup(const QSqlDatabase& db, qint64 number, const QString& name);
// Gives the group oldNumber the number and the name. The articles of the
// group and the special discounts of the group follow a new number. False
// (nothing stored) when another group has the new number. Throws
// EDatabaseError when the group is gone.
bool updateArticleGroup(const QSqlDatabase& db, qint64 oldNumber, qint64 number, const QString& name);
// The name of a group; none when there is no such group.
std::optional<QString> articleGroupName(const QSqlDatabase& db, qint64 group);

// Deletes the group node with its sub-groups: in one transaction the
// articles of those groups are removed (or moved to the bin when they have
// a history) and the groups' Grupi rows deleted; then the nodes leave the
// file, and the bin node is added when articles went there. The file stays
// locked throughout, so the groups deleted are those the file holds.
// Throws EInOutError (file) or EDatabaseError (nothing deleted then).
ArticleRemoval deleteArticleGroupNode(const QSqlDatabase& db, const QString& fileName,
                                      const QString& nodeText, QList<TreeLine>* tree = nullptr);

} // namespace torvika
