#include "shell/ui/general_form.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/video_help.h"
#include "shell/company_databases.h"
#include "shell/external_programs.h"
#include "shell/menu_tree.h"
#include "shell/texts.h"
#include "shell/ui/about_box.h"
#include "shell/ui/form_change_db.h"
#include "shell/ui/form_sazdava_nova_baza.h"
#include "shell/ui/login.h"
#include "shell/ui/menu_rights.h"
#include "shell/ui/operators_form.h"
#include "shell/ui/status_widgets.h"
#include "shell/working_date.h"
#include "shell/workspace_queries.h"
#include "ui_general_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <stdexcept>

namespace torvika {

namespace {

// The tool buttons: the command each runs and its picture. A button without
// a menu command runs the operation registered under its own name; "Брак"
// has no operation.
struct ToolButton {
    const char* name;
    std::optional<Command> command;
    QStyle::StandardPixmap icon;
};
constexpr ToolButton kToolButtons[] = {
    {"SpdBtn_Dostap", Command::N_dostap, QStyle::SP_DialogYesButton},
    {"SpdBtn_Smetka", Command::SpdBtn_Smetka, QStyle::SP_FileDialogListView},
    // The cash count has no menu command; N_Kasa lends the button its right.
    {"SpdBtn_Kasa", Command::SpdBtn_Kasa, QStyle::SP_DriveHDIcon},
    {"SpdBtn_Artikuli", Command::N_Artikuli, QStyle::SP_FileDialogDetailedView},
    {"SpdBtn_Kontragenti", Command::N_Klienti, QStyle::SP_DirHomeIcon},
    {"SpdBtn_Sklad", Command::N_Sklad, QStyle::SP_DirIcon},
    {"SpdBtn_Dostavka", Command::N_Dostavka, QStyle::SP_ArrowDown},
    {"SpdBtn_Revizia", Command::N_Revizia, QStyle::SP_FileDialogContentsView},
    {"SpdBtn_Transfer", Command::N_Transfer, QStyle::SP_BrowserReload},
    {"SpdBtn_Brak", std::nullopt, QStyle::SP_TrashIcon},
    {"SpdBtn_Zada4i", Command::N_Zada4i, QStyle::SP_FileDialogInfoView},
    {"SpdBtn_Oferti", Command::N_Oferti, QStyle::SP_FileIcon},
};

} // namespace

TGeneral_Form::TGeneral_Form(Session& session, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::TGeneral_Form), session_(session) {
    ui->setupUi(this);
    setUpMenu();
    setUpToolButtons();
    setUpStatusLine();
    connect(ui->Image_Show_Valuta_Kurs, &TickerStrip::clicked, this,
            [this] { runCommand(Command::N_Valuti); });
    connect(ui->PageControl1, &QTabWidget::currentChanged, this, &TGeneral_Form::PageControl1Change);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, &TGeneral_Form::Timer1Timer);
    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    timer2_->setInterval(200);
    connect(timer2_, &QTimer::timeout, this, &TGeneral_Form::Timer2Timer);

    login_ = std::make_unique<Login>(session_, menu_->action(Command::N_Izhod), this);
    connect(login_.get(), &Login::loggedIn, this, [this] { timer1_->start(); });
    // The page shows the data of whoever is logged in now: after a failed
    // check, the previous operator.
    connect(login_.get(), &Login::checked, this, [this] {
        if (HostPage* current = page(ui->PageControl1->currentIndex()))
            current->refresh();
    });
    connect(&session_, &Session::operatorChanged, this, &TGeneral_Form::showOperator);
    connect(&session_, &Session::databaseChanged, this, [this] {
        showDatabase();
        loadActiveWarehouse(session_);
        for (Module* m : modules_)
            m->databaseChanged();
    });
    connect(&session_, &Session::activeWarehouseChanged, this, &TGeneral_Form::showWarehouse);
    connect(&session_, &Session::loginRequested, this, &TGeneral_Form::N_dostapClick);
    // A changed rate shows at once, without waiting for the ticker's next round.
    connect(&session_, &Session::ratesChanged, this, &TGeneral_Form::rebuildTicker);
    // So do the settings the main window shows.
    connect(&session_.settings(), &Settings::changed, this, [this](SettingId id) {
        if (id == SettingId::Terminal)
            showTerminal();
        else if (id == SettingId::AmountDecimals)
            rebuildTicker();
        else if (id == SettingId::ShowCurrencyRates)
            showTickerSetting();
        for (const auto& [p, tab] : pages_)
            if (tab.shownBy && tab.shownBy->id == id) {
                showPageTabs();
                break;
            }
    });
    registerOwnCommands();
    setBusyWaitIndicator([this](bool waiting) { showBusyWait(waiting); });
}

TGeneral_Form::~TGeneral_Form() {
    setBusyWaitIndicator({});
    if (busyWaiting_)
        QGuiApplication::restoreOverrideCursor();
}

void TGeneral_Form::showBusyWait(bool waiting) {
    if (waiting == busyWaiting_)
        return;
    busyWaiting_ = waiting;
    if (waiting) {
        textBeforeWait_ = ui->Panel_Database->text();
        ui->Panel_Database->setText(texts::kWaitingForBusyDatabase);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        ui->Panel_Database->setText(textBeforeWait_);
        QGuiApplication::restoreOverrideCursor();
    }
    // The wait runs on this thread, with no event loop to paint it.
    ui->Panel_Database->repaint();
    emit busyWaitShown(waiting);
}

void TGeneral_Form::install(Module& module) {
    modules_ << &module;
    module.install(*this);
}

Progress& TGeneral_Form::progress() {
    return *progress_;
}

void TGeneral_Form::setUpMenu() {
    menu_ = std::make_unique<MainMenu>(ui->MainMenu_General);
    for (int n = 1; n < menu_->nodeCount(); ++n) {
        QAction* a = menu_->action(n);
        if (menu_->isSubmenu(n))
            continue;
        // A shortcut reaches a command only through enabled submenus, as the
        // menu itself does.
        connect(a, &QAction::triggered, this, [this, n] {
            if (menu_->isReachable(n))
                runCommand(menuCommand(n));
        });
        addAction(a); // shortcuts work while the menu is closed, hidden items included
    }
}

void TGeneral_Form::setUpToolButtons() {
    for (const ToolButton& b : kToolButtons) {
        const QString name = QString::fromLatin1(b.name);
        auto* button = findChild<QToolButton*>(name);
        Q_ASSERT(button);
        button->setIcon(style()->standardIcon(b.icon));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        toolButtons_.append({button, b.command});
        // A tool button runs its command whatever the command's enabled state.
        if (const std::optional<Command> command = b.command)
            connect(button, &QToolButton::clicked, this, [this, command] { runOperation(*command); });
    }
    connect(menu_->action(Command::N_Kasa), &QAction::changed, this, &TGeneral_Form::updateToolButtons);
    updateToolButtons();
}

void TGeneral_Form::updateToolButtons() {
    for (const auto& [button, command] : toolButtons_) {
        bool enabled = command && commands_.contains(*command);
        // SpdBtn_Kasa follows the operator's right to N_Kasa; the others ignore rights.
        if (command == Command::SpdBtn_Kasa)
            enabled = enabled && menu_->hasRight(*menuNode(Command::N_Kasa));
        button->setEnabled(enabled);
    }
}

void TGeneral_Form::setUpStatusLine() {
    progress_ = new ProgressPanel(ui->Panel_Progress, ui->Gauge1, ui->BitBtn_Sel_Cancel);
    const QFontMetrics fm = fontMetrics();
    ui->Panel_DateTime->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("00.00.0000 - 00:00:00")) + 12);
    ui->Panel_terminal->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("00")) + 12);
    ui->Panel_terminal->setAlignment(Qt::AlignCenter);
    ui->Panel_Operator->setMinimumWidth(
        fm.horizontalAdvance(texts::kOperatorPrefix + QStringLiteral("Администратор")) + 12);
    ui->Panel_Sklad->setMinimumWidth(
        fm.horizontalAdvance(texts::kWarehousePrefix + QStringLiteral("1:Основен склад")) + 12);

    connect(ui->Panel_DateTime, &ClickablePanel::clicked, this, [] {
        if (!startExternal(ExternalProgram::DateTimeSettings))
            showMessage(notInstalledMessage(ExternalProgram::DateTimeSettings));
    });
    connect(ui->Panel_Operator, &ClickablePanel::clicked, this, &TGeneral_Form::N_dostapClick);
    connect(ui->Panel_Database, &ClickablePanel::clicked, this,
            [this] { runCommand(Command::N_Open_DataBase); });
    connect(ui->Panel_Sklad, &ClickablePanel::clicked, this, [this] { runCommand(Command::N_Sklad); });
}

void TGeneral_Form::registerCommand(Command command, std::function<void()> operation) {
    if (commands_.contains(command))
        throw std::logic_error("registerCommand: " + commandName(command).toStdString() +
                               " is registered twice");
    commands_.insert(command, std::move(operation));
    if (const std::optional<int> node = menuNode(command))
        menu_->setAvailable(*node, true);
    updateToolButtons();
}

void TGeneral_Form::runCommand(Command command) {
    // A menu command runs only while it is enabled: a key or button of a
    // page never does what the operator's rights deny.
    if (menuNode(command) && !menu_->action(command)->isEnabled())
        return;
    runOperation(command);
}

void TGeneral_Form::runOperation(Command command) {
    auto it = commands_.constFind(command);
    if (it != commands_.cend())
        (*it)();
}

QAction* TGeneral_Form::command(Command command) const {
    return menu_->action(command);
}

void TGeneral_Form::addPage(HostPage* page, const PageTab& tab) {
    int index = 0;
    while (index < pages_.size() && pages_[index].second.position < tab.position)
        ++index;
    pages_.insert(index, {page, tab});
    {
        const QSignalBlocker block(ui->PageControl1);
        ui->PageControl1->insertTab(index, page, tab.caption);
        ui->PageControl1->setCurrentIndex(0);
    }
    showPageTabs();
    setWindowTitle(pages_.front().second.windowTitle);
}

void TGeneral_Form::addStatusWidget(QWidget* widget) {
    ui->StatusLayout->addWidget(widget);
}

bool TGeneral_Form::pageTabShown(const PageTab& tab) const {
    if (!tab.shownBy)
        return tab.tabVisible;
    bool shown = false;
    logged([&] { shown = session_.settings().get(*tab.shownBy); });
    return shown;
}

void TGeneral_Form::showPageTabs() {
    const QSignalBlocker block(ui->PageControl1);
    for (int i = 0; i < pages_.size(); ++i) {
        const bool shown = pageTabShown(pages_[i].second);
        ui->PageControl1->setTabVisible(i, shown);
        // Menu commands of a page follow the visibility of its tab.
        for (Command c : pages_[i].second.menuCommands)
            menu_->setHidden(c, !shown);
    }
    // A hidden current page gives way to the first one.
    if (!ui->PageControl1->isTabVisible(ui->PageControl1->currentIndex()))
        ui->PageControl1->setCurrentIndex(0);
}

HostPage* TGeneral_Form::page(int position) const {
    return position >= 0 && position < pages_.size() ? pages_[position].first : nullptr;
}

void TGeneral_Form::registerOwnCommands() {
    registerCommand(Command::N_dostap, [this] { N_dostapClick(); });
    registerCommand(Command::N_Izhod, [this] { close(); });
    registerCommand(Command::N_Operatori, [this] { N_OperatoriClick(context(), this); });
    registerCommand(Command::N43, [this] { TAboutBox(this).exec(); });
    registerCommand(Command::N_Calc, [] {
        if (!startExternal(ExternalProgram::Calculator))
            showMessage(notInstalledMessage(ExternalProgram::Calculator));
    });
    registerCommand(Command::N_Notepad, [] {
        if (!startExternal(ExternalProgram::TextEditor))
            showMessage(notInstalledMessage(ExternalProgram::TextEditor));
    });
    registerCommand(Command::Open_Exe, [] {
        QString file = Messages::current().openFileName(texts::kOpenProgramCaption, QString(),
                                                        texts::kOpenProgramFilter);
        if (!file.isEmpty() && !startProgramFile(file))
            showMessage(texts::kProgramNotStarted + file);
    });
    registerCommand(Command::N_Help, [this] {
        QString help = session_.programDir.videoDir() + QStringLiteral("/R_P.rtf");
        if (QFileInfo::exists(help))
            SHELLEXECUTE_OPENFILE(help);
    });
    registerCommand(Command::N_Open_DataBase, [this] { TForm_Change_DB::run(context(), this); });
    registerCommand(Command::N_Nova_Baza, [this] { TForm_Sazdava_Nova_Baza::run(context(), 1, this); });
    registerCommand(Command::N_Update_DB, [this] { TForm_Sazdava_Nova_Baza::run(context(), 2, this); });
    registerCommand(Command::N_Send_Reports, [] { showMessage(texts::kSendReportsMessage); });
}

void TGeneral_Form::showOperator() {
    const QDateTime now = session_.now();
    ui->Panel_DateTime->setText(shortDate(now.date()) + texts::kDateTimeSeparator + shortTime(now.time()));
    ui->Panel_Operator->setText(texts::kOperatorPrefix + session_.operatorName());
    showDatabase();
    applyRights(*menu_, session_.rights());
    updateToolButtons();
    logged([this] { applyOperatorShortcuts(*menu_, session_.settings(), session_.operatorName()); });
    for (Module* m : modules_)
        m->loggedIn();
}

void TGeneral_Form::showDatabase() {
    ui->Panel_Database->setText(texts::kDatabasePrefix + session_.workspace.description());
}

void TGeneral_Form::showTerminal() {
    logged([this] {
        ui->Panel_terminal->setText(QString::number(session_.settings().get(setting::kTerminal)));
    });
}

void TGeneral_Form::showWarehouse() {
    ui->Panel_Sklad->setText(texts::kWarehousePrefix + session_.activeWarehouseText());
}

void TGeneral_Form::N_dostapClick() {
    login_->N_dostapClick();
}

bool TGeneral_Form::start() {
    showPageTabs();
    // The modules are installed: their windows register no follow-ups.
    followUps_.close();

    // Working-date guard at start.
    Settings& settings = session_.settings();
    const QDate today = session_.today();
    const QString stored = settings.lastWorkingDateText(today);
    StartupDateCheck check = startupDateCheck(today, stored);
    if (check.unreadable)
        logException(EConvertError(texts::kNotValidDate.arg(stored)));
    if (check.question) {
        if (!askYesNo(*check.question))
            return false;
        // A date that cannot be written is logged; the operator asked to go on.
        logged([&] { settings.setLastWorkingDate(today); });
    }

    // The first login; it opens the workspace. Cancel confirmed there ends
    // the program before its event loop runs.
    if (!login_->N_dostapClick() && login_->quitRequested())
        return false;
    // Without a working database there is nothing to check: the login said
    // so, and "Отвори" chooses another.
    if (session_.workspace.isOpen())
        versionCheck();
    loadActiveWarehouse(session_);

    if (settings.get(setting::kPointOfSaleMode))
        setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    return true;
}

void TGeneral_Form::versionCheck() {
    logged([this] {
        VersionCheck v = checkDatabaseVersion(session_);
        if (!v.outdated)
            return;
        showMessage(v.request);
        if (v.needsUpdateDialog)
            runCommand(Command::N_Update_DB);
        else
            showMessage(v.noScriptMessage);
    });
}

void TGeneral_Form::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TGeneral_Form::rebuildTicker() {
    auto* ticker = ui->Image_Show_Valuta_Kurs;
    ticker->text.clear();
    if (session_.workspace.isOpen())
        logged([&] {
            ticker->text = buildTickerText(session_.db(), session_.settings().get(setting::kAmountDecimals));
        });
}

void TGeneral_Form::showTickerSetting() {
    bool shown = true;
    logged([&] { shown = session_.settings().get(setting::kShowCurrencyRates); });
    ui->Image_Show_Valuta_Kurs->setVisible(shown);
}

void TGeneral_Form::FormShow() {
    showTickerSetting();
    rebuildTicker();
    ui->Image_Show_Valuta_Kurs->position = width();
    timer2_->start();
    showTerminal();
    const int current = ui->PageControl1->currentIndex();
    for (int i = 0; i < pages_.size(); ++i)
        pages_[i].first->formShown(i == current);
}

void TGeneral_Form::PageControl1Change(int index) {
    if (HostPage* p = page(index)) {
        setWindowTitle(pages_[index].second.windowTitle);
        p->activated();
    }
    if (session_.settings().get(setting::kLoginOnPageSwitch))
        N_dostapClick();
}

void TGeneral_Form::Timer1Timer() {
    ui->Panel_DateTime->setText(shortDate(session_.today()) + texts::kDateTimeSeparator +
                                shortTime(session_.now().time()));
    auto* ticker = ui->Image_Show_Valuta_Kurs;
    if (ticker->position < -ticker->textWidth()) {
        rebuildTicker();
        ticker->position = ticker->width();
    }
}

void TGeneral_Form::Timer2Timer() {
    auto* ticker = ui->Image_Show_Valuta_Kurs;
    if (ticker->position >= -ticker->textWidth()) {
        ticker->drawAtPosition();
        ticker->position -= 5;
    }
    Settings& settings = session_.settings();
    const QDate today = session_.today();
    std::optional<QString> question;
    if (!logged([&] { question = runningDateQuestion(today, settings.lastWorkingDateText(today)); }) ||
        !question)
        return;
    timer2_->stop();
    // The timer runs again whatever the answer and whatever happens to the write.
    const auto restart = qScopeGuard([this] { timer2_->start(); });
    if (askYesNo(*question))
        logged([&] { settings.setLastWorkingDate(today); });
    else if (!startExternal(ExternalProgram::DateTimeSettings))
        showMessage(notInstalledMessage(ExternalProgram::DateTimeSettings));
}

void TGeneral_Form::Action_Search() {
    // Without the clip there is nothing to show.
    if (!QFileInfo::exists(session_.programDir.videoDir() + QStringLiteral("/Search.avi")))
        return;
    if (!searchAnimation_)
        searchAnimation_ = createSearchAnimation(session_.programDir.videoDir(), this);
    searchAnimation_->show();
    QCoreApplication::processEvents();
}

void TGeneral_Form::Action_Stop_Search() {
    if (searchAnimation_)
        searchAnimation_->hide();
}

void TGeneral_Form::showVideoHelp(const QString& keyword) {
    TForm_Video_Help help(session_.programDir.videoDir() + u'/' + keyword + QStringLiteral(".avi"), this);
    help.exec();
}

void TGeneral_Form::closeEvent(QCloseEvent* e) {
    for (Module* m : modules_)
        m->exiting();
    Settings& settings = session_.settings();
    logged([&] {
        // One save: the date, and the operator unless nobody logged in.
        Settings::Changes exit;
        exit.set(setting::kLastWorkingDate, shortDate(session_.today()));
        if (!session_.operatorName().isEmpty())
            exit.set(setting::kLastOperator, session_.operatorName());
        settings.save(exit);
    });
    timer1_->stop();
    timer2_->stop();
    // Ending the session may end this program at once: only once the date
    // and the operator are written.
    bool shutdown = false;
    logged([&] { shutdown = settings.get(setting::kShutdownAtExit); });
    if (shutdown && !startExternal(ExternalProgram::EndSession))
        logException(Error(notInstalledMessage(ExternalProgram::EndSession)));
    e->accept();
}

} // namespace torvika
