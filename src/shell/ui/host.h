#pragma once
// The main window as a host of subsystems. Each subsystem contributes one
// Module; the composition root installs the modules into the host, and the
// host never learns a subsystem's name.
//
// Through the Host a module attaches the operations of its menu commands and
// tool buttons, places its page and registers the follow-ups of its windows'
// pickers. The host calls the module back after a login, after a change of
// the working database and at exit. A window receives a WindowContext: the
// session, the host's commands and follow-ups, and the progress panel.

#include "common/ui/follow_ups.h"
#include "shell/menu_tree.h"
#include "shell/session.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QAction;

namespace torvika {

class Progress;

// A page of PageControl1. The host shows it as a tab and tells it when the
// main window is shown, when the operator switches to it and when it should
// show the data of whoever is logged in now.
class HostPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The main window was shown for the first time (its FormShow); current
    // tells whether this page is the one shown.
    virtual void formShown(bool current) { Q_UNUSED(current); }
    // The operator switched to this page.
    virtual void activated() {}
    // After every login check, while this page is current: show the data of
    // the operator logged in now.
    virtual void refresh() {}
};

struct PageTab {
    int position = 0;              // the tab's place: 0 shop, 1 service, 2 fiscal service
    QString caption;               // the tab's caption
    QString windowTitle;           // the main window's title while the page is current
    bool tabVisible = true;        // the window definition may hide a tab
    QList<Command> menuCommands{}; // menu items hidden whenever the tab is hidden
    // A setting that shows the tab when true (tabVisible is then ignored);
    // the tab follows a change of it at once.
    std::optional<Setting<bool>> shownBy{};
};

// What windows may ask of the host.
class HostCommands {
public:
    virtual ~HostCommands() = default;

    // Runs the operation of a command as its menu item or button would; a
    // command without an operation is disabled and does nothing.
    virtual void runCommand(Command command) = 0;
    // The menu command's action: its enabled state (the operator's right
    // and an attached operation) and its shortcut. Throws std::logic_error
    // for a tool button's own command, which has no menu item.
    virtual QAction* command(Command command) const = 0;
    // The follow-ups of the pickers and of the buttons that open windows
    // of higher libraries (common/ui/follow_ups.h).
    virtual FollowUpRegistry& followUps() = 0;
};

// What a window receives from whoever opens it.
struct WindowContext {
    Session& session;
    HostCommands& host;
    // The host's progress panel, for long work.
    Progress& progress;
};

class Host : public HostCommands {
public:
    virtual Session& session() = 0;
    // The main window, as the parent of the dialogs a command opens.
    virtual QWidget* window() = 0;
    virtual Progress& progress() = 0;

    // Attaches the operation of a command. A command registered twice
    // throws std::logic_error: a mistake of the composition, found at
    // start-up. A command without an operation stays disabled.
    virtual void registerCommand(Command command, std::function<void()> operation) = 0;

    // Places the page in PageControl1 (the host takes ownership).
    virtual void addPage(HostPage* page, const PageTab& tab) = 0;
    // Places an indicator at the end of the status line (the host takes
    // ownership).
    virtual void addStatusWidget(QWidget* widget) = 0;

    // The context of the windows a module opens.
    WindowContext context() { return {session(), *this, progress()}; }
};

class Module {
public:
    virtual ~Module() = default;
    // Registers the module's commands, pages and picker follow-ups.
    virtual void install(Host& host) = 0;
    // After a successful login, once the operator's rights and shortcuts are
    // applied to the menu.
    virtual void loggedIn() {}
    // After the working database changed.
    virtual void databaseChanged() {}
    // When the program ends, before the last working date and operator are
    // written.
    virtual void exiting() {}
};

} // namespace torvika
