#include "catalogue/article_groups.h"

#include "catalogue/texts.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "common/texts.h"

#include <QDir>
#include <QSet>
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
    return changeTreeFile(fileName, withRoot, [&](QList<TreeLine>& lines) {
        // The bin stays the last node of the top level.
        const qsizetype bin = findTreeNode(lines, texts::kDeletedArticlesNode);
        if (bin >= 0 && lines[bin].depth == 0 && treeSubtreeEnd(lines, bin) == lines.size())
            lines.insert(bin, {0, text});
        else
            appendTreeNode(lines, text);
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

bool addArticleGroup(const QSqlDatabase& db, qint64 number, const QString& name) {
    if (number < 1)
        throw std::invalid_argument("a group number is at least 1");
    Transaction t(db);
    if (CHECK_REPEATED_NUMBERS(db, QStringLiteral("Grupi"), QStringLiteral("ID"), number))
        return false;
    execSql(db, QStringLiteral("INSERT INTO Grupi (ID, Opisanie) VALUES (?, ?)"), {number, name});
    t.commit();
    return true;
}

bool updateArticleGroup(const QSqlDatabase& db, qint64 oldNumber, qint64 number, const QString& name) {
    if (number < 1)
        throw std::invalid_argument("a group number is at least 1");
    Transaction t(db);
    if (number != oldNumber &&
        CHECK_REPEATED_NUMBERS(db, QStringLiteral("Grupi"), QStringLiteral("ID"), number))
        return false;
    QSqlQuery q = execSql(db, QStringLiteral("UPDATE Grupi SET ID = ?, Opisanie = ? WHERE ID = ?"),
                          {number, name, oldNumber});
    if (q.numRowsAffected() < 1)
        throw EDatabaseError(texts::kGroupIsGone);
    if (number != oldNumber) {
        // The group's articles and its special discounts keep belonging to it.
        execSql(db, QStringLiteral("UPDATE Produkti SET Nomer_Grupa = ? WHERE Nomer_Grupa = ?"),
                {number, oldNumber});
        execSql(
            db,
            QStringLiteral("UPDATE Sp_Otstapka SET ID_Art_Gr = ? WHERE Otnasq_se_za = ? AND ID_Art_Gr = ?"),
            {number, QStringLiteral("G"), oldNumber});
    }
    t.commit();
    return true;
}

std::optional<QString> articleGroupName(const QSqlDatabase& db, qint64 group) {
    QSqlQuery q = execSql(db, QStringLiteral("SELECT Opisanie FROM Grupi WHERE ID = ?"), {group});
    if (!q.next())
        return std::nullopt;
    return q.value(0).toString();
}

ArticleRemoval deleteArticleGroupNode(const QSqlDatabase& db, const QString& fileName,
                                      const QString& nodeText, QList<TreeLine>* tree) {
    if (!groupOfNode(nodeText))
        throw std::invalid_argument("only a group node is deleted");
    ArticleRemoval removal;
    const QList<TreeLine> stored = changeTreeFile(fileName, withRoot, [&](QList<TreeLine>& lines) {
        const qsizetype node = nodeIn(fileName, lines, nodeText);
        const QList<qint64> groups = subtreeGroups(lines, nodeText);
        {
            Transaction t(db);
            removal = removeGroupArticles(db, groups);
            for (qint64 g : groups) {
                execSql(db, QStringLiteral("DELETE FROM Grupi WHERE ID = ?"), {g});
                execSql(db,
                        QStringLiteral("DELETE FROM Sp_Otstapka WHERE Otnasq_se_za = ? AND ID_Art_Gr = ?"),
                        {QStringLiteral("G"), g});
            }
            t.commit();
        }
        takeTreeSubtree(lines, node);
        if (removal.binned > 0 && findTreeNode(lines, texts::kDeletedArticlesNode) < 0)
            appendTreeNode(lines, texts::kDeletedArticlesNode);
    });
    if (tree)
        *tree = stored;
    return removal;
}

} // namespace torvika
