#include "catalogue/article_groups.h"

#include "catalogue/texts.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "common/texts.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <stdexcept>

namespace torvika {

namespace {

// The tree always starts with the root "Всички артикули".
void withRoot(QList<TreeLine>& lines) {
    if (findTreeNode(lines, texts::kAllArticlesNode) < 0)
        lines.prepend({0, texts::kAllArticlesNode});
}

qsizetype nodeIn(const QString& fileName, const QList<TreeLine>& lines, const QString& text) {
    const qsizetype node = findTreeNode(lines, text);
    if (node < 0)
        throw EInOutError(texts::kTreeNodeMissing.arg(QDir::toNativeSeparators(fileName), text));
    return node;
}

// Adds the node as the last group of the top level: before the bin when the
// bin is the last node of the top level.
void addTopLevelNode(QList<TreeLine>& lines, const QString& text) {
    const qsizetype bin = findTreeNode(lines, texts::kDeletedArticlesNode);
    if (bin >= 0 && lines[bin].depth == 0 && treeSubtreeEnd(lines, bin) == lines.size())
        lines.insert(bin, {0, text});
    else
        appendTreeNode(lines, text);
}

} // namespace

QString articleTreeFile(const QString& databaseDirectory) {
    return QDir(databaseDirectory).filePath(kArticleTreeFileName);
}

std::optional<qint64> groupOfNode(const QString& nodeText) {
    const int id = GetID_MFromTreeNodeName(nodeText);
    if (id < 1)
        return std::nullopt;
    return id;
}

bool isBinNode(const QString& nodeText) {
    return nodeText == texts::kDeletedArticlesNode;
}

QList<TreeLine> readArticleTree(const QString& fileName) {
    QList<TreeLine> lines = readTreeFile(fileName);
    withRoot(lines);
    return lines;
}

QList<TreeLine> addArticleTreeNode(const QString& fileName, const QString& text) {
    return changeTreeFile(fileName, withRoot, [&](QList<TreeLine>& lines) { addTopLevelNode(lines, text); });
}

QList<TreeLine> addArticleTreeNodes(const QString& fileName, const QStringList& texts) {
    return changeTreeFile(fileName, withRoot, [&](QList<TreeLine>& lines) {
        for (const QString& text : texts)
            addTopLevelNode(lines, text);
    });
}

QList<TreeLine> addArticleTreeChild(const QString& fileName, const QString& parentText, const QString& text) {
    return changeTreeFile(fileName, withRoot, [&](QList<TreeLine>& lines) {
        appendTreeChild(lines, nodeIn(fileName, lines, parentText), text);
    });
}

QList<TreeLine> renameArticleTreeNode(const QString& fileName, const QString& oldText,
                                      const QString& newText) {
    return changeTreeFile(fileName, withRoot, [&](QList<TreeLine>& lines) {
        lines[nodeIn(fileName, lines, oldText)].text = newText;
    });
}

QList<TreeLine> moveArticleTreeNode(const QString& fileName, const QString& text, const QString& targetText) {
    if (!groupOfNode(text) || isBinNode(targetText))
        throw std::invalid_argument("only a group moves, and never into the bin");
    return changeTreeFile(fileName, withRoot, [&](QList<TreeLine>& lines) {
        const qsizetype node = nodeIn(fileName, lines, text);
        qsizetype target = -1;
        if (targetText != texts::kAllArticlesNode) {
            target = nodeIn(fileName, lines, targetText);
            if (isInTreeSubtree(lines, node, target))
                throw std::invalid_argument("a group cannot move into itself");
        }
        if (target < 0) {
            // To the top level, before the bin when the bin is last.
            QList<TreeLine> moved = takeTreeSubtree(lines, node);
            const int shift = -moved.front().depth;
            for (TreeLine& l : moved)
                l.depth += shift;
            qsizetype at = lines.size();
            const qsizetype bin = findTreeNode(lines, texts::kDeletedArticlesNode);
            if (bin >= 0 && lines[bin].depth == 0 && treeSubtreeEnd(lines, bin) == lines.size())
                at = bin;
            for (qsizetype i = 0; i < moved.size(); ++i)
                lines.insert(at + i, moved[i]);
            return;
        }
        moveTreeSubtree(lines, node, target);
    });
}

QList<TreeLine> ensureArticleBinNode(const QString& fileName) {
    return changeTreeFile(fileName, withRoot, [](QList<TreeLine>& lines) {
        if (findTreeNode(lines, texts::kDeletedArticlesNode) < 0)
            appendTreeNode(lines, texts::kDeletedArticlesNode);
    });
}

QList<qint64> subtreeGroups(const QList<TreeLine>& lines, const QString& nodeText) {
    QList<qint64> groups;
    const qsizetype node = findTreeNode(lines, nodeText);
    if (node < 0)
        return groups;
    for (qsizetype i = node; i < treeSubtreeEnd(lines, node); ++i)
        if (const std::optional<qint64> g = groupOfNode(lines[i].text); g && !groups.contains(*g))
            groups << *g;
    return groups;
}

bool groupsHaveArticles(const QSqlDatabase& db, const QList<qint64>& groups) {
    for (qint64 g : groups)
        if (scalarSql(db, QStringLiteral("SELECT 1 FROM Produkti WHERE Nomer_Grupa = ?"), {g}).isValid())
            return true;
    return false;
}

namespace {

void checkGroupNumber(qint64 number) {
    if (number < 1 || number > kMaxKeyNumber)
        throw std::invalid_argument("a group number is from 1 to the column's largest");
}

// The first node of the group; -1 when the tree has none.
qsizetype groupNode(const QList<TreeLine>& lines, qint64 group) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (groupOfNode(lines[i].text) == group)
            return i;
    return -1;
}

// Runs the database change under the file's lock and writes the changed
// tree after the change committed.
QList<TreeLine> changeGroups(const QString& fileName, const TreeChange& change) {
    return changeTreeFile(fileName, withRoot, change);
}

} // namespace

bool addArticleGroup(const QSqlDatabase& db, const QString& fileName, qint64 number, const QString& name,
                     const QString& parentText, QList<TreeLine>* tree) {
    checkGroupNumber(number);
    bool added = false;
    const QList<TreeLine> stored = changeGroups(fileName, [&](QList<TreeLine>& lines) {
        {
            Transaction t(db);
            lockTableForWriting(db, QStringLiteral("Grupi"));
            if (CHECK_REPEATED_NUMBERS(db, QStringLiteral("Grupi"), QStringLiteral("ID"), number))
                return;
            execSql(db, QStringLiteral("INSERT INTO Grupi (ID, Opisanie) VALUES (?, ?)"), {number, name});
            t.commit();
        }
        added = true;
        const QString text = refText(number, name);
        // A parent another workstation removed meanwhile: the group goes to the top level.
        const qsizetype parent = parentText.isEmpty() ? -1 : findTreeNode(lines, parentText);
        if (parent >= 0 && !isBinNode(parentText))
            appendTreeChild(lines, parent, text);
        else
            addTopLevelNode(lines, text);
    });
    if (tree)
        *tree = stored;
    return added;
}

bool updateArticleGroup(const QSqlDatabase& db, const QString& fileName, qint64 oldNumber, qint64 number,
                        const QString& name, QList<TreeLine>* tree) {
    checkGroupNumber(number);
    bool updated = false;
    const QList<TreeLine> stored = changeGroups(fileName, [&](QList<TreeLine>& lines) {
        {
            Transaction t(db);
            lockTableForWriting(db, QStringLiteral("Grupi"));
            if (number != oldNumber &&
                CHECK_REPEATED_NUMBERS(db, QStringLiteral("Grupi"), QStringLiteral("ID"), number))
                return;
            if (number != oldNumber)
                // No article or special discount joins the old number while
                // the group's own move to the new one.
                lockTablesAgainstWriters(db, {QStringLiteral("Produkti"), QStringLiteral("Sp_Otstapka")});
            QSqlQuery q = execSql(db, QStringLiteral("UPDATE Grupi SET ID = ?, Opisanie = ? WHERE ID = ?"),
                                  {number, name, oldNumber});
            if (q.numRowsAffected() < 1)
                throw EDatabaseError(texts::kGroupIsGone);
            if (number != oldNumber) {
                // The group's articles and its special discounts keep belonging to it.
                execSql(db, QStringLiteral("UPDATE Produkti SET Nomer_Grupa = ? WHERE Nomer_Grupa = ?"),
                        {number, oldNumber});
                execSql(db,
                        QStringLiteral(
                            "UPDATE Sp_Otstapka SET ID_Art_Gr = ? WHERE Otnasq_se_za = ? AND ID_Art_Gr = ?"),
                        {number, QStringLiteral("G"), oldNumber});
            }
            t.commit();
        }
        updated = true;
        const QString text = refText(number, name);
        if (const qsizetype node = groupNode(lines, oldNumber); node >= 0)
            lines[node].text = text;
        else
            addTopLevelNode(lines, text);
    });
    if (tree)
        *tree = stored;
    return updated;
}

std::optional<QString> articleGroupName(const QSqlDatabase& db, qint64 group) {
    QSqlQuery q = execSql(db, QStringLiteral("SELECT Opisanie FROM Grupi WHERE ID = ?"), {group});
    if (!q.next())
        return std::nullopt;
    return q.value(0).toString();
}

std::optional<ArticleRemoval> deleteArticleGroupNode(const QSqlDatabase& db, const QString& fileName,
                                                     const QString& nodeText,
                                                     const QList<qint64>& shownGroups, bool articlesAsked,
                                                     QList<TreeLine>* tree) {
    if (!groupOfNode(nodeText))
        throw std::invalid_argument("only a group node is deleted");
    std::optional<ArticleRemoval> removal;
    const QList<TreeLine> stored = changeGroups(fileName, [&](QList<TreeLine>& lines) {
        const qsizetype node = nodeIn(fileName, lines, nodeText);
        const QList<qint64> groups = subtreeGroups(lines, nodeText);
        // Sub-groups another workstation added or moved meanwhile were never asked about.
        if (QSet<qint64>(groups.begin(), groups.end()) !=
            QSet<qint64>(shownGroups.begin(), shownGroups.end()))
            return;
        {
            Transaction t(db);
            // Nothing joins the groups, and no sale or delivery names their
            // articles, until they are gone or binned.
            lockArticleHistory(
                db, {QStringLiteral("Grupi"), QStringLiteral("Produkti"), QStringLiteral("Sp_Otstapka")});
            if (!articlesAsked && groupsHaveArticles(db, groups))
                return;
            ArticleRemoval done = removeGroupArticles(db, groups);
            for (qint64 g : groups) {
                execSql(db, QStringLiteral("DELETE FROM Grupi WHERE ID = ?"), {g});
                execSql(db,
                        QStringLiteral("DELETE FROM Sp_Otstapka WHERE Otnasq_se_za = ? AND ID_Art_Gr = ?"),
                        {QStringLiteral("G"), g});
            }
            t.commit();
            removal = done;
        }
        takeTreeSubtree(lines, node);
        if (removal->binned > 0 && findTreeNode(lines, texts::kDeletedArticlesNode) < 0)
            appendTreeNode(lines, texts::kDeletedArticlesNode);
    });
    if (tree)
        *tree = stored;
    return removal;
}

namespace {

// What the tree lacks or holds too much against Grupi and Produkti; true
// when it changed anything.
bool mendArticleTree(QList<TreeLine>& lines, const QHash<qint64, QString>& groups, bool binNeeded) {
    bool changed = false;
    // Group nodes whose group is gone leave; their sub-nodes move up.
    for (qsizetype i = 0; i < lines.size();) {
        const std::optional<qint64> g = groupOfNode(lines[i].text);
        if (!g || groups.contains(*g)) {
            ++i;
            continue;
        }
        const qsizetype end = treeSubtreeEnd(lines, i);
        for (qsizetype k = i + 1; k < end; ++k)
            --lines[k].depth;
        lines.removeAt(i);
        changed = true;
    }
    QSet<qint64> noded;
    for (const TreeLine& l : lines)
        if (const std::optional<qint64> g = groupOfNode(l.text))
            noded.insert(*g);
    QList<qint64> missing;
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        if (!noded.contains(it.key()))
            missing << it.key();
    std::sort(missing.begin(), missing.end());
    for (qint64 g : missing)
        addTopLevelNode(lines, refText(g, groups.value(g)));
    changed |= !missing.isEmpty();
    if (binNeeded && findTreeNode(lines, texts::kDeletedArticlesNode) < 0) {
        appendTreeNode(lines, texts::kDeletedArticlesNode);
        changed = true;
    }
    return changed;
}

} // namespace

QList<TreeLine> checkArticleTree(const QSqlDatabase& db, const QString& fileName) {
    auto read = [&db](QHash<qint64, QString>& groups, bool& binNeeded) {
        groups.clear();
        QSqlQuery q = execSql(db, QStringLiteral("SELECT ID, Opisanie FROM Grupi"));
        while (q.next())
            groups.insert(q.value(0).toLongLong(), q.value(1).toString());
        binNeeded =
            scalarSql(db, QStringLiteral("SELECT 1 FROM Produkti WHERE NOT EXISTS "
                                         "(SELECT 1 FROM Grupi WHERE Grupi.ID = Produkti.Nomer_Grupa)"))
                .isValid();
    };
    QHash<qint64, QString> groups;
    bool binNeeded = false;
    read(groups, binNeeded);
    QList<TreeLine> lines = readArticleTree(fileName);
    if (!mendArticleTree(lines, groups, binNeeded))
        return lines;
    // Under the lock, against what the file and the tables hold now: the
    // group changes above commit and write the file while holding it.
    return changeGroups(fileName, [&](QList<TreeLine>& locked) {
        read(groups, binNeeded);
        mendArticleTree(locked, groups, binNeeded);
    });
}

} // namespace torvika
