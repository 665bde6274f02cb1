#include "common/tree_file.h"

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/profile_file.h"
#include "common/texts.h"

#include <QDir>
#include <QLockFile>
#include <QSaveFile>
#include <stdexcept>

namespace torvika {

namespace {

// How long a change waits for another workstation's change of the same file.
constexpr int kTreeLockWaitMs = 10000;

} // namespace

QList<TreeLine> readTreeFile(const QString& fileName) {
    QList<TreeLine> lines;
    std::optional<QByteArray> content = readFileIfExists(fileName);
    if (!content)
        return lines;
    QByteArray bytes = std::move(*content);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QString text = decodeUtf8OrCp1251(bytes);
    int previous = -1;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        int depth = 0;
        while (depth < line.size() && line[depth] == u'\t')
            ++depth;
        const QString node = line.mid(depth).trimmed();
        if (node.isEmpty())
            continue;
        depth = qMin(depth, previous + 1);
        lines.append({depth, node});
        previous = depth;
    }
    return lines;
}

void writeTreeFile(const QString& fileName, const QList<TreeLine>& lines) {
    QString text;
    for (const TreeLine& l : lines)
        text += QString(l.depth, u'\t') + l.text + QStringLiteral("\r\n");
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit())
        throw EInOutError(texts::kFileUnwritable.arg(QDir::toNativeSeparators(fileName), f.errorString()));
}

QList<TreeLine> changeTreeFile(const QString& fileName, const TreeChange& normalise,
                               const TreeChange& change) {
    // The lock file lies beside the tree, where every workstation sees it.
    QLockFile lock(fileName + QStringLiteral(".lock"));
    if (!lock.tryLock(kTreeLockWaitMs))
        throw EInOutError(texts::kTreeFileBusy.arg(QDir::toNativeSeparators(fileName)));
    QList<TreeLine> lines = readTreeFile(fileName);
    if (normalise)
        normalise(lines);
    change(lines);
    writeTreeFile(fileName, lines);
    return lines;
}

qsizetype findTreeNode(const QList<TreeLine>& lines, const QString& text) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].text == text)
            return i;
    return -1;
}

qsizetype treeSubtreeEnd(const QList<TreeLine>& lines, qsizetype node) {
    qsizetype end = node + 1;
    while (end < lines.size() && lines[end].depth > lines[node].depth)
        ++end;
    return end;
}

bool isInTreeSubtree(const QList<TreeLine>& lines, qsizetype root, qsizetype index) {
    return root >= 0 && index >= root && index < treeSubtreeEnd(lines, root);
}

void appendTreeNode(QList<TreeLine>& lines, const QString& text) {
    lines.append({0, text});
}

void appendTreeChild(QList<TreeLine>& lines, qsizetype parent, const QString& text) {
    lines.insert(treeSubtreeEnd(lines, parent), {lines[parent].depth + 1, text});
}

QList<TreeLine> takeTreeSubtree(QList<TreeLine>& lines, qsizetype node) {
    const qsizetype end = treeSubtreeEnd(lines, node);
    QList<TreeLine> taken = lines.mid(node, end - node);
    lines.remove(node, end - node);
    return taken;
}

void moveTreeSubtree(QList<TreeLine>& lines, qsizetype node, qsizetype target) {
    if (isInTreeSubtree(lines, node, target))
        throw std::invalid_argument("a tree node cannot move into its own subtree");
    const QString targetText = target >= 0 ? lines[target].text : QString();
    const int targetDepth = target >= 0 ? lines[target].depth : -1;
    // The target's index shifts when the moved nodes lay before it.
    const qsizetype targetAfter = target > node ? target - (treeSubtreeEnd(lines, node) - node) : target;
    QList<TreeLine> moved = takeTreeSubtree(lines, node);
    const int shift = targetDepth + 1 - moved.front().depth;
    for (TreeLine& l : moved)
        l.depth += shift;
    const qsizetype at = targetAfter >= 0 ? treeSubtreeEnd(lines, targetAfter) : lines.size();
    Q_ASSERT(targetAfter < 0 || lines[targetAfter].text == targetText);
    for (qsizetype i = 0; i < moved.size(); ++i)
        lines.insert(at + i, moved[i]);
}

} // namespace torvika
