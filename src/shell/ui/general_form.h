#pragma once
// The main window: menu, tool bars, currency ticker, the pages of the
// subsystems and the status line; the start-up sequence, the timers, the
// working-date guard and the orderly exit. It hosts the subsystems' modules
// and knows none of them.

#include "shell/session.h"
#include "shell/ui/host.h"
#include "shell/ui/main_menu.h"

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class QToolButton;
class QTimer;

namespace Ui {
class TGeneral_Form;
}

namespace torvika {

class Login;
class ProgressPanel;

class TGeneral_Form : public QMainWindow, public Host {
    Q_OBJECT
public:
    explicit TGeneral_Form(Session& session, QWidget* parent = nullptr);
    ~TGeneral_Form() override;

    // Installs a module (not owned; it outlives the window's run).
    void install(Module& module);

    // The start-up sequence; false when the operator ended the program at
    // the working-date question or at the first login.
    bool start();

    // Host
    Session& session() override { return session_; }
    QWidget* window() override { return this; }
    Progress& progress() override;
    void registerCommand(Command command, std::function<void()> operation) override;
    void runCommand(Command command) override;
    QAction* command(Command command) const override;
    FollowUpRegistry& followUps() override { return followUps_; }
    void addPage(HostPage* page, const PageTab& tab) override;
    void addStatusWidget(QWidget* widget) override;

    MainMenu& mainMenu() { return *menu_; }
    Login& login() { return *login_; }
    // The page at a tab position, nullptr when none was added there.
    HostPage* page(int position) const;

    // Shared busy animation of report searches, and the video help.
    void Action_Search();
    void Action_Stop_Search();
    void showVideoHelp(const QString& keyword);

    // Handlers, public so that tests drive them.
    void FormShow();
    void PageControl1Change(int index);
    void Timer1Timer();
    void Timer2Timer();
    void N_dostapClick();
    // While a busy database is waited for (the indicator of common/sql.h,
    // which this window installs): the wait cursor and the wait on the
    // database panel; both put back when the wait ends.
    void showBusyWait(bool waiting);

signals:
    // After the window has shown the start or the end of a wait.
    void busyWaitShown(bool waiting);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void setUpMenu();
    void setUpToolButtons();
    void setUpStatusLine();
    void registerOwnCommands();
    void updateToolButtons();
    // Runs the command's operation whatever its enabled state (the tool
    // buttons, which ignore the operator's rights).
    void runOperation(Command command);
    void showOperator();
    void showDatabase();
    void showWarehouse();
    void showTerminal();
    void versionCheck();
    void rebuildTicker();
    // The ticker shows while its setting says so.
    void showTickerSetting();
    // The tabs shown, and the menu commands of the pages hidden with them.
    void showPageTabs();
    bool pageTabShown(const PageTab& tab) const;

    std::unique_ptr<Ui::TGeneral_Form> ui;
    Session& session_;
    std::unique_ptr<MainMenu> menu_;
    std::unique_ptr<Login> login_;
    ProgressPanel* progress_ = nullptr;
    QList<Module*> modules_;
    QHash<Command, std::function<void()>> commands_;
    FollowUpRegistry followUps_;
    // Tool buttons and the command each runs (none for a button without an
    // operation).
    QList<std::pair<QToolButton*, std::optional<Command>>> toolButtons_;
    QList<std::pair<HostPage*, PageTab>> pages_;
    QTimer* timer1_ = nullptr;
    QTimer* timer2_ = nullptr;
    QWidget* searchAnimation_ = nullptr;
    bool shown_ = false;
    bool busyWaiting_ = false;
    QString textBeforeWait_;
};

} // namespace torvika
