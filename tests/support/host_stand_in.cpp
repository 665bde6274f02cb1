#include "support/host_stand_in.h"

#include <QAction>
#include <stdexcept>

namespace torvika::test {

HostStandIn::HostStandIn(Session& session) : session_(session), actionOwner_(std::make_unique<QObject>()) {}

HostStandIn::~HostStandIn() {
    // The pages go before the actions they follow.
    pages_.clear();
}

void HostStandIn::registerCommand(Command command, std::function<void()> operation) {
    if (operations_.contains(command))
        throw std::logic_error("registerCommand: " + commandName(command).toStdString() +
                               " is registered twice");
    operations_.insert(command, std::move(operation));
    if (menuNode(command))
        this->command(command)->setEnabled(true);
}

void HostStandIn::runCommand(Command command) {
    ran << command;
    if (auto it = operations_.constFind(command); it != operations_.cend())
        (*it)();
}

QAction* HostStandIn::command(Command command) const {
    if (!menuNode(command))
        throw std::logic_error("command: no menu item for " + commandName(command).toStdString());
    QAction*& a = actions_[command];
    if (!a) {
        a = new QAction(commandName(command), actionOwner_.get());
        a->setObjectName(commandName(command));
        a->setEnabled(operations_.contains(command));
    }
    return a;
}

void HostStandIn::addStatusWidget(QWidget* widget) {
    statusWidgets_.emplace_back(widget);
}

void HostStandIn::addPage(HostPage* page, const PageTab&) {
    pages_.emplace_back(page);
}

namespace {

struct SessionHost {
    std::unique_ptr<HostStandIn> host;
};

} // namespace

HostStandIn& host(Session& session) {
    SessionHost& kept = session.state<SessionHost>();
    if (!kept.host)
        kept.host = std::make_unique<HostStandIn>(session);
    return *kept.host;
}

} // namespace torvika::test
