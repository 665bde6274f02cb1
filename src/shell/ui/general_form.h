#pragma once
// The main window: menu, tool bars, currency ticker, the three pages and the
// status line; the start-up sequence, the timers, the working-date guard and
// the orderly exit.

#include "common/progress.h"
#include "shell/session.h"
#include "shell/ui/main_menu.h"

#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <functional>
#include <limits>
#include <memory>

class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolButton;

namespace torvika {

class Login;

// A status-line panel that reports clicks.
class ClickablePanel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

// The strip under the tool bars on which the currency rates scroll.
class TickerStrip : public QWidget {
    Q_OBJECT
public:
    explicit TickerStrip(QWidget* parent = nullptr);
    QString text;
    int position = 0;
    // Draws the text at the current position (x = position - 5).
    void drawAtPosition();
    int textWidth() const;
    QSize sizeHint() const override;
signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    int drawnAt_ = std::numeric_limits<int>::max(); // nothing drawn before the first tick
};

// Panel_Progress: a gauge and a cancel button for long operations.
class ProgressPanel : public QFrame, public Progress {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent = nullptr);
    void start(int maximum) override;
    void setValue(int value) override;
    bool cancelled() override;
    void finish() override;

private:
    QProgressBar* gauge_;
    QPushButton* cancel_;
    bool cancelled_ = false;
};

class TGeneral_Form : public QMainWindow {
    Q_OBJECT
public:
    explicit TGeneral_Form(Session& session, QWidget* parent = nullptr);
    ~TGeneral_Form() override;

    // The start-up sequence; false when the operator ended the program at
    // the working-date question.
    bool start();

    Session& session() { return session_; }
    MainMenu& mainMenu() { return *menu_; }
    Progress& progress();
    Login& login() { return *login_; }

    // Attaches the operation of a menu command (by the action's objectName)
    // or of a tool button without a menu command. Tool buttons run the
    // operation whatever the command's enabled state.
    void setCommand(const QString& name, std::function<void()> operation);
    bool hasCommand(const QString& name) const { return commands_.contains(name); }
    void runCommand(const QString& name);

    // The operator name shown in the status line (after "Оператор: ").
    QString currentOperator() const;
    void refreshWarehousePanel();
    void refreshDatabasePanel();

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

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildMenu();
    void buildToolBars();
    void buildPages();
    void buildStatusLine();
    void registerOwnCommands();
    void versionCheck();
    void rebuildTicker();
    void logException(const std::exception& e) const;
    ClickablePanel* panel(const char* name, const QString& hint);

    Session& session_;
    std::unique_ptr<MainMenu> menu_;
    std::unique_ptr<Login> login_;
    QHash<QString, std::function<void()>> commands_;
    QHash<QString, QToolButton*> toolButtons_; // button name -> button
    QHash<QString, QString> toolCommands_;     // button name -> command it runs
    TickerStrip* ticker_ = nullptr;
    QTabWidget* pages_ = nullptr;
    ClickablePanel* panelDateTime_ = nullptr;
    QLabel* panelTerminal_ = nullptr;
    ClickablePanel* panelOperator_ = nullptr;
    ClickablePanel* panelSklad_ = nullptr;
    ClickablePanel* panelDatabase_ = nullptr;
    ProgressPanel* panelProgress_ = nullptr;
    QTimer* timer1_ = nullptr;
    QTimer* timer2_ = nullptr;
    QWidget* searchAnimation_ = nullptr;
    bool shown_ = false;
};

} // namespace torvika
