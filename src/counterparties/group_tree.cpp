#include "counterparties/group_tree.h"

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/profile_file.h"
#include "common/ref_text.h"
#include "common/sql.h"

#include <QDir>
#include <QLockFile>
#include <QSaveFile>
#include <functional>

namespace torvika {

QString groupTreeFile(const QString& databaseDirectory) {
    return QDir(databaseDirectory).filePath(kGroupTreeFileName);
}

QList<GroupTreeLine> readGroupTree(const QString& fileName) {
    QList<GroupTreeLine> lines;
    if (std::optional<QByteArray> content = readFileIfExists(fileName)) {
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
    }
    if (lines.isEmpty() || lines.front().depth != 0 || GetID_MFromTreeNodeName(lines.front().text) != 0)
        lines.prepend({0, kAllCounterpartiesNode});
    return lines;
}

void writeGroupTree(const QString& fileName, const QList<GroupTreeLine>& lines) {
    QString text;
    for (const GroupTreeLine& l : lines)
        text += QString(l.depth, u'\t') + l.text + QStringLiteral("\r\n");
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit())
        throw EInOutError(QStringLiteral("Файлът %1 не може да бъде записан: %2")
                              .arg(QDir::toNativeSeparators(fileName), f.errorString()));
}

namespace {

// How long a change waits for another workstation's change of the same file.
constexpr int kTreeLockWaitMs = 10000;

QList<GroupTreeLine> changeGroupTree(const QString& fileName,
                                     const std::function<void(QList<GroupTreeLine>&)>& change) {
    // The lock file lies beside the tree, where every workstation sees it.
    QLockFile lock(fileName + QStringLiteral(".lock"));
    if (!lock.tryLock(kTreeLockWaitMs))
        throw EInOutError(QStringLiteral("Файлът %1 се променя от друго работно място")
                              .arg(QDir::toNativeSeparators(fileName)));
    QList<GroupTreeLine> lines = readGroupTree(fileName);
    change(lines);
    writeGroupTree(fileName, lines);
    return lines;
}

} // namespace

QList<GroupTreeLine> addGroupTreeNode(const QString& fileName, const QString& text) {
    return changeGroupTree(fileName, [&](QList<GroupTreeLine>& lines) { lines.append({0, text}); });
}

QList<GroupTreeLine> addGroupTreeChild(const QString& fileName, const QString& parentText,
                                       const QString& text) {
    return changeGroupTree(fileName, [&](QList<GroupTreeLine>& lines) {
        qsizetype parent = 0;
        while (parent < lines.size() && lines[parent].text != parentText)
            ++parent;
        if (parent == lines.size())
            throw EInOutError(QStringLiteral("Във файла %1 няма група %2")
                                  .arg(QDir::toNativeSeparators(fileName), parentText));
        // After the parent's last descendant.
        qsizetype end = parent + 1;
        while (end < lines.size() && lines[end].depth > lines[parent].depth)
            ++end;
        lines.insert(end, {lines[parent].depth + 1, text});
    });
}

bool addCounterpartyGroup(const QSqlDatabase& db, qint64 number, const QString& name) {
    Transaction t(db);
    if (CHECK_REPEATED_NUMBERS(db, QStringLiteral("Grupi_Kontrag"), QStringLiteral("ID"), number))
        return false;
    execSql(db, QStringLiteral("INSERT INTO Grupi_Kontrag (ID, Opisanie) VALUES (?, ?)"), {number, name});
    t.commit();
    return true;
}

} // namespace torvika
