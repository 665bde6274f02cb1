#include "counterparties/group_tree.h"

#include "common/errors.h"
#include "common/new_keys.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "common/texts.h"

#include <QDir>

namespace torvika {

namespace {

// The tree always starts with the root "0:Всички контрагенти".
void withRoot(QList<GroupTreeLine>& lines) {
    if (lines.isEmpty() || lines.front().depth != 0 || GetID_MFromTreeNodeName(lines.front().text) != 0)
        lines.prepend({0, kAllCounterpartiesNode});
}

} // namespace

QString groupTreeFile(const QString& databaseDirectory) {
    return QDir(databaseDirectory).filePath(kGroupTreeFileName);
}

QList<GroupTreeLine> readGroupTree(const QString& fileName) {
    QList<GroupTreeLine> lines = readTreeFile(fileName);
    withRoot(lines);
    return lines;
}

void writeGroupTree(const QString& fileName, const QList<GroupTreeLine>& lines) {
    writeTreeFile(fileName, lines);
}

QList<GroupTreeLine> addGroupTreeNode(const QString& fileName, const QString& text) {
    return changeTreeFile(fileName, withRoot,
                          [&](QList<GroupTreeLine>& lines) { appendTreeNode(lines, text); });
}

QList<GroupTreeLine> addGroupTreeChild(const QString& fileName, const QString& parentText,
                                       const QString& text) {
    return changeTreeFile(fileName, withRoot, [&](QList<GroupTreeLine>& lines) {
        const qsizetype parent = findTreeNode(lines, parentText);
        if (parent < 0)
            throw EInOutError(texts::kTreeNodeMissing.arg(QDir::toNativeSeparators(fileName), parentText));
        appendTreeChild(lines, parent, text);
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
