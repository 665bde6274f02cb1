#include "counterparties/group_tree.h"

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/ref_text.h"
#include "common/sql.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace torvika {

QString groupTreeFile(const QString& databaseDirectory) {
    return QDir(databaseDirectory).filePath(kGroupTreeFileName);
}

QList<GroupTreeLine> readGroupTree(const QString& fileName) {
    QList<GroupTreeLine> lines;
    QFile f(fileName);
    if (f.open(QIODevice::ReadOnly)) {
        QByteArray bytes = f.readAll();
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
        throw EInOutError(QStringLiteral("Cannot write %1").arg(fileName));
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
