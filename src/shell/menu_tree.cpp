#include "shell/menu_tree.h"

#include <QHash>
#include <array>

namespace torvika {

namespace {

constexpr MenuNode kNodes[] = {
#define TORVIKA_MENU_NODE(depth, name, caption, shortcut, hidden)                                            \
    {depth, u"" #name, caption, shortcut, hidden},
    TORVIKA_MENU_TREE(TORVIKA_MENU_NODE)
#undef TORVIKA_MENU_NODE
};
constexpr int kItems = int(std::size(kNodes));
static_assert(kItems == 139, "the rights strings store 140 nodes");

constexpr const char16_t* kToolCommandNames[] = {
#define TORVIKA_TOOL_NAME(name) u"" #name,
    TORVIKA_TOOL_COMMANDS(TORVIKA_TOOL_NAME)
#undef TORVIKA_TOOL_NAME
};
constexpr int kCommands = kItems + int(std::size(kToolCommandNames));

constexpr std::array<Command, kCommands> kAllCommands = [] {
    std::array<Command, kCommands> all{};
    for (int i = 0; i < kCommands; ++i)
        all[i] = Command(i);
    return all;
}();

} // namespace

std::span<const MenuNode> mainMenuNodes() {
    return kNodes;
}

int menuTreeNodeCount() {
    return kItems + 1;
}

int menuNodeNumber(const QString& name) {
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        for (int i = 0; i < kItems; ++i)
            h.insert(QString::fromUtf16(kNodes[i].name), i + 1);
        return h;
    }();
    return index.value(name, -1);
}

int menuParentNode(int node) {
    if (node <= 0 || node > kItems)
        return -1;
    const int depth = kNodes[node - 1].depth;
    for (int n = node - 1; n >= 1; --n)
        if (kNodes[n - 1].depth < depth)
            return n;
    return 0;
}

QString commandName(Command command) {
    const int i = int(command);
    return QString::fromUtf16(i < kItems ? kNodes[i].name : kToolCommandNames[i - kItems]);
}

std::optional<int> menuNode(Command command) {
    const int i = int(command);
    if (i < kItems)
        return i + 1;
    return std::nullopt;
}

Command menuCommand(int node) {
    Q_ASSERT(node >= 1 && node <= kItems);
    return Command(node - 1);
}

std::span<const Command> allCommands() {
    return kAllCommands;
}

} // namespace torvika
