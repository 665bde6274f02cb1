#include "shell/rights.h"

#include "shell/menu_tree.h"

namespace torvika {

QStringList GETRIGHTS(const QString& rights) {
    QStringList entries;
    qsizetype start = 0;
    for (qsizetype i = 0; i < rights.size(); ++i) {
        if (rights.at(i) == u',') {
            entries.append(rights.mid(start, i - start));
            start = i + 1;
        }
    }
    return entries;
}

QString rightsValue(const QStringList& entries, int node) {
    const QString name = QString::number(node);
    for (const QString& e : entries) {
        const qsizetype eq = e.indexOf(u'=');
        if (eq >= 0 && QStringView(e).left(eq) == name)
            return e.mid(eq + 1);
    }
    return {};
}

QList<RightChange> SetMenuVisible(const QStringList& entries, int nodeCount) {
    QList<RightChange> changes(qMax(nodeCount, 0), RightChange::Leave);
    for (int n = 1; n < entries.size(); ++n) {
        if (n >= nodeCount)
            break;
        bool ok = false;
        const int value = rightsValue(entries, n).trimmed().toInt(&ok);
        if (!ok)
            break;
        if (value == 0)
            changes[n] = RightChange::Enable;
        else if (value == 1)
            changes[n] = RightChange::Disable;
    }
    return changes;
}

QString buildRightsString(const QList<bool>& denied) {
    QString s;
    s.reserve(denied.size() * 6);
    for (qsizetype n = 0; n < denied.size(); ++n)
        s += QString::number(n) + (denied[n] ? QStringLiteral("=1,") : QStringLiteral("=0,"));
    return s;
}

QList<bool> deniedFlags(const QStringList& entries, int nodeCount) {
    QList<bool> denied(qMax(nodeCount, 0), false);
    for (int n = 0; n < nodeCount; ++n)
        denied[n] = rightsValue(entries, n).trimmed() == u"1";
    return denied;
}

QString allAllowedRights(int nodeCount) {
    return buildRightsString(QList<bool>(qMax(nodeCount, 0), false));
}

QList<int> menuDescendants(int node) {
    const auto nodes = mainMenuNodes();
    const int last = int(nodes.size());
    QList<int> result;
    if (node == 0) {
        for (int n = 1; n <= last; ++n)
            result.append(n);
        return result;
    }
    if (node < 0 || node > last)
        return result;
    const int depth = nodes[node - 1].depth;
    for (int n = node + 1; n <= last && nodes[n - 1].depth > depth; ++n)
        result.append(n);
    return result;
}

QList<int> menuChildren(int node) {
    QList<int> result;
    for (int n : menuDescendants(node))
        if (menuParentNode(n) == node)
            result.append(n);
    return result;
}

void TreeView_MenuesClick(QList<bool>& denied, int node, const std::function<bool(int)>& expanded) {
    if (node < 0 || node >= denied.size())
        return;
    const int parent = menuParentNode(node); // -1 for the root
    auto set = [&](int n, bool value) {
        if (n >= 0 && n < denied.size())
            denied[n] = value;
    };
    if (!denied[node]) {
        denied[node] = true;
        if (parent >= 0 && expanded(parent)) {
            for (int d : menuDescendants(node))
                set(d, true);
            bool anyAllowed = false;
            for (int c : menuChildren(parent))
                if (c < denied.size() && !denied[c])
                    anyAllowed = true;
            if (!anyAllowed)
                set(parent, true);
        }
    } else {
        denied[node] = false;
        if (parent >= 0) {
            for (int d : menuDescendants(node))
                set(d, false);
            set(parent, false);
        }
    }
}

} // namespace torvika
