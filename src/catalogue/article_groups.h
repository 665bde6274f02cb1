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
// Adds the nodes at the end of the top level (before the bin when it is
// last), in one change of the file.
QList<TreeLine> addArticleTreeNodes(const QString& fileName, const QStringList& texts);
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

// Grupi and the tree change together: each change below locks the tree
// file, changes Grupi in one transaction and writes the file after the
// commit. A database failure leaves both as they were; a file that cannot be
// written after the commit leaves a group without a node, which
// checkArticleTree puts back at the next start. A number must be a whole
// number from 1 to kMaxKeyNumber (std::invalid_argument otherwise).
//
// Adds the group and its node: the last child of the node parentText, or
// the last group of the top level when parentText is empty or the file no
// longer holds it. False (nothing stored) when the number is taken.
bool addArticleGroup(const QSqlDatabase& db, const QString& fileName, qint64 number, const QString& name,
                     const QString& parentText = {}, QList<TreeLine>* tree = nullptr);
// Gives the group oldNumber the number and the name, and its node the text
// "<number>:<name>". The articles of the group and the special discounts of
// the group follow a new number. False (nothing stored) when another group
// has the new number. Throws EDatabaseError when the group is gone.
bool updateArticleGroup(const QSqlDatabase& db, const QString& fileName, qint64 oldNumber, qint64 number,
                        const QString& name, QList<TreeLine>* tree = nullptr);
// The name of a group; none when there is no such group.
std::optional<QString> articleGroupName(const QSqlDatabase& db, qint64 group);

// Deletes the group node with its sub-groups, exactly as the operator was
// shown and asked: shownGroups are the groups of the subtree the window
// showed, articlesAsked whether the operator agreed to delete their
// articles. Under the file's lock and in one transaction, when the file's
// subtree holds the same groups and (unless agreed) they have no articles,
// the articles of those groups are removed (or moved to the bin when they
// have a history) and the groups' Grupi rows deleted; then the nodes leave
// the file, and the bin node is added when articles went there. Otherwise
// nothing is deleted and none is returned, with the tree as the file holds
// it now, for the window to ask again. Throws EInOutError (file) or
// EDatabaseError (nothing deleted then).
std::optional<ArticleRemoval> deleteArticleGroupNode(const QSqlDatabase& db, const QString& fileName,
                                                     const QString& nodeText,
                                                     const QList<qint64>& shownGroups, bool articlesAsked,
                                                     QList<TreeLine>* tree = nullptr);

// The tree as checkArticleTree leaves it: every group of Grupi has a node
// (one the file lacks is added at the end of the top level), a group node
// whose group is gone is taken out (its sub-groups move up into its place),
// and the bin is there when articles wait in it. The file is rewritten only
// when it needed a change. Throws EInOutError or EDatabaseError.
QList<TreeLine> checkArticleTree(const QSqlDatabase& db, const QString& fileName);

} // namespace torvika
