#include "shell/ui/general_form.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/exception_log.h"
#include "common/ui/messages.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/quick_search.h"
#include "documents/ui/grid_file.h"
#include "shell/company_databases.h"
#include "shell/external_programs.h"
#include "shell/ui/about_box.h"
#include "shell/ui/form_change_db.h"
#include "shell/ui/form_sazdava_nova_baza.h"
#include "shell/ui/login.h"
#include "shell/ui/operators_form.h"
#include "shell/ui/video_help.h"
#include "shell/version.h"
#include "shell/working_date.h"
#include "shell/workspace_queries.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace torvika {

// ---- small widgets -------------------------------------------------------

void ClickablePanel::mousePressEvent(QMouseEvent* e) {
    QLabel::mousePressEvent(e);
    emit clicked();
}

TickerStrip::TickerStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Image_Show_Valuta_Kurs"));
    setToolTip(QStringLiteral("Кликнете за да промяна"));
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);
}

QSize TickerStrip::sizeHint() const {
    return {400, fontMetrics().height() + 6};
}

int TickerStrip::textWidth() const {
    return fontMetrics().horizontalAdvance(text);
}

void TickerStrip::drawAtPosition() {
    drawnAt_ = position - 5;
    update();
}

void TickerStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    p.setPen(palette().text().color());
    p.drawText(drawnAt_, 2 + fontMetrics().ascent(), text);
}

void TickerStrip::mousePressEvent(QMouseEvent*) {
    emit clicked();
}

ProgressPanel::ProgressPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel_Progress"));
    setToolTip(QStringLiteral("Кликнете за промяна"));
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(2, 0, 2, 0);
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName(QStringLiteral("Gauge1"));
    cancel_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QString(), this);
    cancel_->setObjectName(QStringLiteral("BitBtn_Sel_Cancel"));
    cancel_->setToolTip(QStringLiteral("Прекъсни операцията"));
    l->addWidget(gauge_, 1);
    l->addWidget(cancel_);
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    hide();
}

void ProgressPanel::start(int maximum) {
    cancelled_ = false;
    gauge_->setRange(0, maximum);
    gauge_->setValue(0);
    show();
    QCoreApplication::processEvents();
}

void ProgressPanel::setValue(int value) {
    gauge_->setValue(value);
}

bool ProgressPanel::cancelled() {
    QCoreApplication::processEvents();
    return cancelled_;
}

void ProgressPanel::finish() {
    hide();
}

// ---- the main window -----------------------------------------------------

TGeneral_Form::TGeneral_Form(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
    setObjectName(QStringLiteral("General_Form"));
    setWindowTitle(QStringLiteral("ТОРВИКА - МАГАЗИН"));
    buildMenu();
    buildToolBars();
    buildPages();
    buildStatusLine();

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, &TGeneral_Form::Timer1Timer);
    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    timer2_->setInterval(200);
    connect(timer2_, &QTimer::timeout, this, &TGeneral_Form::Timer2Timer);

    login_ = std::make_unique<Login>(session_, this, *menu_);
    connect(login_.get(), &Login::loggedIn, this, [this](const QString&) {
        // The login gave SpdBtn_Kasa the right of N_Kasa; without its
        // operation the button stays disabled all the same.
        if (!hasCommand(toolCommands_.value(QStringLiteral("SpdBtn_Kasa"))))
            toolButtons_.value(QStringLiteral("SpdBtn_Kasa"))->setEnabled(false);
        timer1_->start();
        refreshDatabasePanel();
    });
    // The page shows the data of whoever is logged in now: after a failed
    // check, the previous operator.
    connect(login_.get(), &Login::checked, this, [this] {
        if (pages_->currentIndex() == 0) {
            runCommand(QStringLiteral("Get_All_Smetki"));
            runCommand(QStringLiteral("Calculate_SUM"));
        } else if (pages_->currentIndex() == 1) {
            runCommand(QStringLiteral("Button_Refresh_Priem"));
        }
    });
    registerOwnCommands();
    session_.requestLogin = [this] { N_dostapClick(); };
}

TGeneral_Form::~TGeneral_Form() = default;

Progress& TGeneral_Form::progress() {
    return *panelProgress_;
}

void TGeneral_Form::buildMenu() {
    menu_ = std::make_unique<MainMenu>(menuBar());
    for (int n = 1; n < menu_->nodeCount(); ++n) {
        QAction* a = menu_->action(n);
        if (menu_->isSubmenu(n))
            continue;
        const QString name = a->objectName();
        // A shortcut reaches a command only through enabled submenus, as the
        // menu itself does.
        connect(a, &QAction::triggered, this, [this, n, name] {
            if (menu_->isReachable(n))
                runCommand(name);
        });
        addAction(a); // shortcuts work while the menu is closed, hidden items included
    }
}

void TGeneral_Form::buildToolBars() {
    struct Button {
        const char* name;
        const char* hint;
        const char* command;
        QStyle::StandardPixmap icon;
    };
    const QList<QList<Button>> bars = {
        {{"SpdBtn_Dostap", "Достъп оператори", "N_dostap", QStyle::SP_DialogYesButton},
         {"SpdBtn_Smetka", "Активни сметки", "SpdBtn_Smetka", QStyle::SP_FileDialogListView},
         // The cash count has no menu command (N_Kasa only lends the button its right).
         {"SpdBtn_Kasa", "Паричен калкулатор", "SpdBtn_Kasa", QStyle::SP_DriveHDIcon}},
        {{"SpdBtn_Artikuli", "Артикули", "N_Artikuli", QStyle::SP_FileDialogDetailedView},
         {"SpdBtn_Kontragenti", "Контрагенти", "N_Klienti", QStyle::SP_DirHomeIcon},
         {"SpdBtn_Sklad", "Складове", "N_Sklad", QStyle::SP_DirIcon}},
        {{"SpdBtn_Dostavka", "Доставка", "N_Dostavka", QStyle::SP_ArrowDown},
         {"SpdBtn_Revizia", "Ревизия", "N_Revizia", QStyle::SP_FileDialogContentsView},
         {"SpdBtn_Transfer", "Трансфер", "N_Transfer", QStyle::SP_BrowserReload},
         {"SpdBtn_Brak", "Брак", "", QStyle::SP_TrashIcon}},
        {{"SpdBtn_Zada4i", "Задачи", "N_Zada4i", QStyle::SP_FileDialogInfoView},
         {"SpdBtn_Oferti", "Оферти", "N_Oferti", QStyle::SP_FileIcon}},
    };
    int index = 1;
    for (const auto& bar : bars) {
        QToolBar* tb = addToolBar(QString());
        tb->setObjectName(QStringLiteral("ToolBar%1").arg(index++));
        tb->setMovable(false);
        for (const Button& b : bar) {
            auto* button = new QToolButton(tb);
            const QString name = QString::fromLatin1(b.name);
            button->setObjectName(name);
            button->setToolTip(QString::fromUtf8(b.hint));
            button->setText(QString::fromUtf8(b.hint));
            button->setIcon(style()->standardIcon(b.icon));
            button->setIconSize(QSize(32, 32));
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
            button->setAutoRaise(true);
            tb->addWidget(button);
            toolButtons_.insert(name, button);
            const QString command = QString::fromLatin1(b.command);
            toolCommands_.insert(name, command);
            if (!command.isEmpty())
                connect(button, &QToolButton::clicked, this, [this, command] { runCommand(command); });
        }
    }
}

void TGeneral_Form::buildPages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ticker_ = new TickerStrip(central);
    layout->addWidget(ticker_);
    connect(ticker_, &TickerStrip::clicked, this, [this] { runCommand(QStringLiteral("N_Valuti")); });

    pages_ = new QTabWidget(central);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->setTabPosition(QTabWidget::South);
    layout->addWidget(pages_, 1);

    // Shop page: the sale list and its buttons are added by the sales windows.
    auto* shop = new QWidget(pages_);
    shop->setObjectName(QStringLiteral("TabSheet_Magazin"));
    auto* sl = new QGridLayout(shop);
    auto* barcode = new QLineEdit(shop);
    barcode->setObjectName(QStringLiteral("Edit_Barkod"));
    auto* vat = new QCheckBox(QStringLiteral("Вкл./Изк. ДДС"), shop);
    vat->setObjectName(QStringLiteral("ChkBox_Add_DDS"));
    auto* bills = new QComboBox(shop);
    bills->setObjectName(QStringLiteral("ComboBox_Smetka"));
    // The sale counterparty: quick search by typing, or the list ("Избор клиенти").
    auto* counterparty = new CounterpartyQuickSearch(session_, QuickSearchPage::Shop, shop);
    sl->addWidget(counterparty, 0, 0, 1, 2);
    sl->addWidget(bills, 0, 2);
    sl->addWidget(barcode, 1, 0, 1, 2);
    sl->addWidget(vat, 1, 2);
    const QList<std::pair<const char*, const char*>> buttons = {
        {"Button_Insert_in_List", "Добави в списък"},
        {"Button_Prodajba", "Продажба"},
        {"Button_Otkaz", "Откажи"},
        {"Button_Pe4at_Dokumenti", "Печат на документи"},
        {"Button_Select_all", "Избери всичко"},
        {"Button_TO", "Свободна отстъпка"},
        {"Button_Refresh", "Обнови"}};
    auto* buttonRow = new QHBoxLayout;
    for (const auto& [name, caption] : buttons) {
        auto* b = new QPushButton(QString::fromUtf8(caption), shop);
        b->setObjectName(QString::fromLatin1(name));
        buttonRow->addWidget(b);
    }
    sl->addLayout(buttonRow, 2, 0, 1, 3);
    sl->setRowStretch(3, 1);
    pages_->addTab(shop, QStringLiteral("МАГАЗИН"));

    // Service page.
    auto* service = new QWidget(pages_);
    service->setObjectName(QStringLiteral("TabSheet_Servis"));
    auto* vl = new QGridLayout(service);
    auto* serial = new QLineEdit(service);
    serial->setObjectName(QStringLiteral("Edit_SN"));
    auto* currency = new QComboBox(service);
    currency->setObjectName(QStringLiteral("ComboBox_Valuta"));
    auto* department = new QComboBox(service);
    department->setObjectName(QStringLiteral("ComboBox_Otdel"));
    department->setToolTip(QStringLiteral("Изберете отдел към който ще се печата"));
    auto* due = new QDateEdit(service);
    due->setObjectName(QStringLiteral("DateTimePicker_Krai_Data"));
    due->setCalendarPopup(true);
    due->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    auto* serviceCounterparty = new CounterpartyQuickSearch(session_, QuickSearchPage::Service, service);
    vl->addWidget(serviceCounterparty, 0, 0, 1, 4);
    vl->addWidget(serial, 1, 0);
    vl->addWidget(currency, 1, 1);
    vl->addWidget(department, 1, 2);
    vl->addWidget(due, 1, 3);
    vl->setRowStretch(2, 1);
    pages_->addTab(service, QStringLiteral("СЕРВИЗ"));

    // Fiscal-service page: its tab is hidden in this configuration.
    auto* fiscal = new QWidget(pages_);
    fiscal->setObjectName(QStringLiteral("TabSheet_Fisk_Ser"));
    auto* fl = new QGridLayout(fiscal);
    auto* device = new QLineEdit(fiscal);
    device->setObjectName(QStringLiteral("Edit_ID_EKA"));
    fl->addWidget(device, 0, 0);
    fl->setRowStretch(1, 1);
    pages_->addTab(fiscal, QStringLiteral("ФИСКАЛЕН СЕРВИЗ"));
    pages_->setTabVisible(2, false);

    connect(pages_, &QTabWidget::currentChanged, this, &TGeneral_Form::PageControl1Change);
    setCentralWidget(central);
    centralWidget()->layout()->setObjectName(QStringLiteral("CentralLayout"));
}

ClickablePanel* TGeneral_Form::panel(const char* name, const QString& hint) {
    auto* p = new ClickablePanel(this);
    p->setObjectName(QString::fromLatin1(name));
    p->setToolTip(hint);
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Sunken);
    p->setMargin(2);
    return p;
}

void TGeneral_Form::buildStatusLine() {
    auto* bar = new QFrame(centralWidget());
    bar->setObjectName(QStringLiteral("Panel_As_StatusBar"));
    const QString hint = QStringLiteral("Кликнете за промяна");
    bar->setToolTip(hint);
    auto* l = new QHBoxLayout(bar);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(2);
    panelDateTime_ = panel("Panel_DateTime", hint);
    panelTerminal_ = new QLabel(bar);
    panelTerminal_->setObjectName(QStringLiteral("Panel_terminal"));
    panelTerminal_->setToolTip(QStringLiteral("Терминал N:"));
    panelTerminal_->setFrameShape(QFrame::Panel);
    panelTerminal_->setFrameShadow(QFrame::Sunken);
    panelTerminal_->setMargin(2);
    panelOperator_ = panel("Panel_Operator", hint);
    panelOperator_->setText(QStringLiteral("Оператор: "));
    panelSklad_ = panel("Panel_Sklad", hint);
    panelSklad_->setText(QStringLiteral("Склад: "));
    panelDatabase_ = panel("Panel_Database", hint);
    panelDatabase_->setText(QStringLiteral("База данни: "));
    panelProgress_ = new ProgressPanel(bar);
    const QFontMetrics fm = fontMetrics();
    panelDateTime_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("00.00.0000 - 00:00:00")) + 12);
    panelTerminal_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("00")) + 12);
    panelTerminal_->setAlignment(Qt::AlignCenter);
    panelOperator_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("Оператор: Администратор")) + 12);
    panelSklad_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("Склад: 1:Основен склад")) + 12);
    for (QWidget* w :
         std::initializer_list<QWidget*>{panelDateTime_, panelTerminal_, panelOperator_, panelSklad_})
        l->addWidget(w);
    l->addWidget(panelDatabase_, 1);
    l->addWidget(panelProgress_, 1);
    centralWidget()->layout()->addWidget(bar);

    connect(panelDateTime_, &ClickablePanel::clicked, this, [] {
        if (!startExternal(ExternalProgram::DateTimeSettings))
            showMessage(notInstalledMessage(ExternalProgram::DateTimeSettings));
    });
    connect(panelOperator_, &ClickablePanel::clicked, this, [this] { N_dostapClick(); });
    connect(panelDatabase_, &ClickablePanel::clicked, this,
            [this] { runCommand(QStringLiteral("N_Open_DataBase")); });
    connect(panelSklad_, &ClickablePanel::clicked, this, [this] { runCommand(QStringLiteral("N_Sklad")); });
}

void TGeneral_Form::setCommand(const QString& name, std::function<void()> operation) {
    commands_.insert(name, std::move(operation));
    for (auto it = toolCommands_.cbegin(); it != toolCommands_.cend(); ++it) {
        if (it.value() != name)
            continue;
        // SpdBtn_Kasa follows the operator's right to N_Kasa; the others ignore rights.
        toolButtons_.value(it.key())->setEnabled(it.key() != QLatin1String("SpdBtn_Kasa") ||
                                                 menu_->action(QStringLiteral("N_Kasa"))->isEnabled());
    }
}

void TGeneral_Form::runCommand(const QString& name) {
    auto it = commands_.constFind(name);
    if (it != commands_.cend() && *it)
        (*it)();
}

void TGeneral_Form::registerOwnCommands() {
    // Tool buttons whose operation is not attached yet stay disabled.
    for (auto it = toolCommands_.cbegin(); it != toolCommands_.cend(); ++it)
        toolButtons_.value(it.key())->setEnabled(false);

    setCommand(QStringLiteral("N_dostap"), [this] { N_dostapClick(); });
    setCommand(QStringLiteral("N_Izhod"), [this] { close(); });
    setCommand(QStringLiteral("N_Operatori"), [this] { N_OperatoriClick(session_, this); });
    setCommand(QStringLiteral("N_Klienti"), [this] { N_KlientiClick(session_, this); });
    setCommand(QStringLiteral("N_Select_Kontrag"), [this] { N_Select_KontragClick(session_, this); });
    setCommand(QStringLiteral("N43"), [this] { TAboutBox(this).exec(); });
    setCommand(QStringLiteral("N_Calc"), [] {
        if (!startExternal(ExternalProgram::Calculator))
            showMessage(notInstalledMessage(ExternalProgram::Calculator));
    });
    setCommand(QStringLiteral("N_Notepad"), [] {
        if (!startExternal(ExternalProgram::TextEditor))
            showMessage(notInstalledMessage(ExternalProgram::TextEditor));
    });
    setCommand(QStringLiteral("Open_Exe"), [] {
        QString file = Messages::current().openFileName(QStringLiteral("Отвори програма..."), QString(),
                                                        QStringLiteral("All Files (*);;Text Files (*.txt)"));
        if (!file.isEmpty() && !startProgramFile(file))
            showMessage(QStringLiteral("Програмата не може да бъде стартирана: ") + file);
    });
    setCommand(QStringLiteral("N_Help"), [this] {
        QString help = session_.programDir.videoDir() + QStringLiteral("/R_P.rtf");
        if (QFileInfo::exists(help))
            SHELLEXECUTE_OPENFILE(help);
    });
    // Company databases: after any of them the status line shows where the
    // workspace is now (the login they request fills it as well).
    auto databaseCommand = [this](std::function<void()> dialog) {
        return [this, dialog] {
            dialog();
            refreshDatabasePanel();
            refreshWarehousePanel();
        };
    };
    setCommand(QStringLiteral("N_Open_DataBase"),
               databaseCommand([this] { TForm_Change_DB::run(session_, this); }));
    setCommand(QStringLiteral("N_Nova_Baza"),
               databaseCommand([this] { TForm_Sazdava_Nova_Baza::run(session_, 1, this); }));
    setCommand(QStringLiteral("N_Update_DB"),
               databaseCommand([this] { TForm_Sazdava_Nova_Baza::run(session_, 2, this); }));
    setCommand(QStringLiteral("N_Send_Reports"), [] {
        showMessage(QStringLiteral("Желаете ли да уведомите разработчика за възникнали грешки при работа?"));
    });
}

QString TGeneral_Form::currentOperator() const {
    return panelOperator_->text().mid(10);
}

void TGeneral_Form::refreshDatabasePanel() {
    panelDatabase_->setText(QStringLiteral("База данни: ") +
                            QDir::toNativeSeparators(session_.workspace.directory()));
}

void TGeneral_Form::refreshWarehousePanel() {
    try {
        panelSklad_->setText(warehousePanelText(session_.workspace.db(), session_.firmData().activeStore()));
    } catch (const Error& e) {
        panelSklad_->setText(QStringLiteral("Склад: :"));
        logException(e);
    }
}

void TGeneral_Form::logException(const std::exception& e) const {
    appendExceptionLog(session_.programDir.exceptionsLog(), session_.now(), exceptionClassName(e),
                       exceptionMessage(e));
}

void TGeneral_Form::N_dostapClick() {
    login_->N_dostapClick();
}

bool TGeneral_Form::start() {
    // Menu commands of the service pages follow the visibility of their tabs.
    menu_->setHidden(QStringLiteral("N_Nastr_SERVICE"), !pages_->isTabVisible(1));
    menu_->setHidden(QStringLiteral("N_Spr_Serviz"), !pages_->isTabVisible(1));
    menu_->setHidden(QStringLiteral("N_Nastr_Fisk_Ser"), !pages_->isTabVisible(2));

    // Working-date guard at start.
    FirmData fd = session_.firmData();
    const QDate today = session_.today();
    const QString stored = fd.lastWorkingDateText(today);
    StartupDateCheck check = startupDateCheck(today, stored);
    if (check.unreadable)
        logException(EConvertError(QStringLiteral("'%1' is not a valid date").arg(stored)));
    if (check.question) {
        if (!askYesNo(*check.question))
            return false;
        fd.setLastWorkingDate(today);
    }

    // The first login; it opens the workspace. Cancel confirmed there ends
    // the program before its event loop runs.
    if (!login_->N_dostapClick() && login_->quitRequested())
        return false;
    versionCheck();
    refreshWarehousePanel();

    if (fd.posMode()) {
        setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    }
    return true;
}

void TGeneral_Form::versionCheck() {
    try {
        VersionCheck v = checkDatabaseVersion(session_);
        if (!v.outdated)
            return;
        showMessage(v.request);
        if (v.needsUpdateDialog)
            runCommand(QStringLiteral("N_Update_DB"));
        else
            showMessage(v.noScriptMessage);
    } catch (const Error& e) {
        logException(e);
    }
}

void TGeneral_Form::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TGeneral_Form::rebuildTicker() {
    try {
        ticker_->text = session_.workspace.isOpen()
                            ? buildTickerText(session_.workspace.db(), session_.displayDecimals)
                            : QString();
    } catch (const Error& e) {
        ticker_->text.clear();
        logException(e);
    }
}

void TGeneral_Form::FormShow() {
    rebuildTicker();
    ticker_->position = width();
    timer2_->start();
    if (auto* bills = findChild<QComboBox*>(QStringLiteral("ComboBox_Smetka")); bills && bills->count() > 0)
        bills->setCurrentIndex(bills->count() - 1);
    FirmData fd = session_.firmData();
    panelTerminal_->setText(QString::number(fd.terminal()));
    if (pages_->currentIndex() == 0) {
        findChild<QCheckBox*>(QStringLiteral("ChkBox_Add_DDS"))
            ->setVisible(QString::compare(fd.vatText(), QStringLiteral("0")) > 0);
        findChild<QLineEdit*>(QStringLiteral("Edit_Barkod"))->setFocus();
    } else if (pages_->currentIndex() == 1) {
        findChild<QLineEdit*>(QStringLiteral("Edit_SN"))->setFocus();
        runCommand(QStringLiteral("Button_Refresh_Priem"));
    }
}

void TGeneral_Form::PageControl1Change(int index) {
    switch (index) {
    case 0:
        setWindowTitle(QStringLiteral("ТОРВИКА - МАГАЗИН"));
        break;
    case 1: {
        setWindowTitle(QStringLiteral("ТОРВИКА - СЕРВИЗ"));
        auto* currency = findChild<QComboBox*>(QStringLiteral("ComboBox_Valuta"));
        auto* department = findChild<QComboBox*>(QStringLiteral("ComboBox_Otdel"));
        currency->clear();
        department->clear();
        try {
            if (session_.workspace.isOpen()) {
                currency->addItems(currencyNames(session_.workspace.db()));
                department->addItems(departmentItems(session_.workspace.db()));
            }
        } catch (const Error& e) {
            logException(e);
        }
        department->setCurrentIndex(department->count() > 0 ? 0 : -1);
        findChild<QDateEdit*>(QStringLiteral("DateTimePicker_Krai_Data"))->setDate(session_.today());
        currency->setCurrentIndex(currency->count() > 0 ? 0 : -1);
        runCommand(QStringLiteral("Button_Refresh_Priem"));
        findChild<QLineEdit*>(QStringLiteral("Edit_SN"))->setFocus();
        break;
    }
    case 2: {
        setWindowTitle(QStringLiteral("ТОРВИКА - ФИСКАЛЕН СЕРВИЗ"));
        auto* device = findChild<QLineEdit*>(QStringLiteral("Edit_ID_EKA"));
        device->clear();
        device->setFocus();
        break;
    }
    default:
        break;
    }
    if (session_.firmData().loginOnPageSwitch())
        N_dostapClick();
}

void TGeneral_Form::Timer1Timer() {
    panelDateTime_->setText(shortDate(session_.today()) + QStringLiteral(" - ") +
                            shortTime(session_.now().time()));
    if (ticker_->position < -ticker_->textWidth()) {
        rebuildTicker();
        ticker_->position = ticker_->width();
    }
}

void TGeneral_Form::Timer2Timer() {
    if (ticker_->position >= -ticker_->textWidth()) {
        ticker_->drawAtPosition();
        ticker_->position -= 5;
    }
    FirmData fd = session_.firmData();
    const QDate today = session_.today();
    if (auto question = runningDateQuestion(today, fd.lastWorkingDateText(today))) {
        timer2_->stop();
        if (askYesNo(*question))
            fd.setLastWorkingDate(today);
        else if (!startExternal(ExternalProgram::DateTimeSettings))
            showMessage(notInstalledMessage(ExternalProgram::DateTimeSettings));
        timer2_->start();
    }
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
    FirmData fd = session_.firmData();
    try {
        fd.setLastWorkingDate(session_.today());
        // Nobody logged in: the last operator stays as it was.
        if (!currentOperator().isEmpty())
            fd.setActiveOperator(currentOperator());
    } catch (const std::exception& ex) {
        logException(ex);
    }
    timer1_->stop();
    timer2_->stop();
    // Ending the session may end this program at once: only once the date
    // and the operator are written.
    if (fd.shutdownAtExit() && !startExternal(ExternalProgram::EndSession))
        logException(Error(notInstalledMessage(ExternalProgram::EndSession)));
    e->accept();
}

} // namespace torvika
