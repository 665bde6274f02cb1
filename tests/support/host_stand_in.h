#pragma once
// A host for window tests that run without the main window. Modules install
// into it as into the main window (their commands, pages and follow-ups);
// windows get its context(). Commands keep their operations, and each
// command has an enabled action as the main window's menu would give it.

#include "common/progress.h"
#include "shell/ui/host.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <memory>
#include <vector>

namespace torvika::test {

class HostStandIn : public Host {
public:
    explicit HostStandIn(Session& session);
    ~HostStandIn() override;

    Session& session() override { return session_; }
    QWidget* window() override { return nullptr; }
    Progress& progress() override { return progress_; }
    void registerCommand(Command command, std::function<void()> operation) override;
    void runCommand(Command command) override;
    QAction* command(Command command) const override;
    void addPage(HostPage* page, const PageTab& tab) override;
    void addStatusWidget(QWidget* widget) override;
    FollowUpRegistry& followUps() override { return followUps_; }

    // The commands run, in order.
    QList<Command> ran;

private:
    Session& session_;
    NoProgress progress_;
    QHash<Command, std::function<void()>> operations_;
    std::unique_ptr<QObject> actionOwner_;
    mutable QHash<Command, QAction*> actions_;
    FollowUpRegistry followUps_;
    std::vector<std::unique_ptr<HostPage>> pages_;
    std::vector<std::unique_ptr<QWidget>> statusWidgets_;
};

// The stand-in host of a session, made on first use and kept as long as the
// session: window tests that make windows by hand take their context here.
HostStandIn& host(Session& session);
inline WindowContext context(Session& session) {
    return host(session).context();
}

} // namespace torvika::test
