#include "shell/ui/login.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/exception_log.h"
#include "common/ui/messages.h"
#include "counterparties/ui/quick_search.h"
#include "shell/operators.h"
#include "shell/rights.h"
#include "shell/ui/main_menu.h"
#include "shell/ui/menu_rights.h"
#include "shell/ui/password_field.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace torvika {

namespace {

// What the login shows when the operator chose no counterparty in this run.
const QString kNoSaleCounterparty = QStringLiteral("0: Няма избран контрагент");

void setLabel(QWidget* mainWindow, const QString& name, const QString& text) {
    if (!mainWindow)
        return;
    if (QLabel* l = mainWindow->findChild<QLabel*>(name)) {
        l->setText(text);
        return;
    }
    // The counterparty fields belong to the pages' quick searches.
    for (auto* search : mainWindow->findChildren<CounterpartyQuickSearch*>())
        if (search->field()->objectName() == name)
            search->setCounterpartyText(text);
}

} // namespace

TForm_Dostap_Operators::TForm_Dostap_Operators(Session& session, QWidget* mainWindow, MainMenu& menu,
                                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), session_(session), mainWindow_(mainWindow),
      menu_(menu) {
    setObjectName(QStringLiteral("Form_Dostap_Operators"));
    setModal(true);

    // Without a title bar the frame alone marks the dialog's edge.
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    auto* labelOperator = new QLabel(QStringLiteral("Оператор"), frame);
    ComboBox_Operators = new QComboBox(frame);
    ComboBox_Operators->setObjectName(QStringLiteral("ComboBox_Operators"));
    ComboBox_Operators->setEditable(false);
    ComboBox_Operators->setMinimumWidth(200);
    labelOperator->setBuddy(ComboBox_Operators);

    auto* labelPassword = new QLabel(QStringLiteral("Парола"), frame);
    Edit_Password = new QLineEdit(frame);
    Edit_Password->setObjectName(QStringLiteral("Edit_Password"));
    showPasswordAsStars(Edit_Password);
    labelPassword->setBuddy(Edit_Password);

    OKBtn = new QPushButton(QStringLiteral("OK"), frame);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), frame);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);

    auto* grid = new QGridLayout(frame);
    grid->addWidget(labelOperator, 0, 0);
    grid->addWidget(ComboBox_Operators, 0, 1);
    grid->addWidget(labelPassword, 1, 0);
    grid->addWidget(Edit_Password, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    grid->addLayout(buttons, 2, 0, 1, 2);

    connect(OKBtn, &QPushButton::clicked, this, &TForm_Dostap_Operators::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TForm_Dostap_Operators::CancelBtnClick);
}

void TForm_Dostap_Operators::clearPassword() {
    Edit_Password->clear();
}

void TForm_Dostap_Operators::logException(const std::exception& e) const {
    appendExceptionLog(session_.programDir.exceptionsLog(), session_.now(), exceptionClassName(e),
                       exceptionMessage(e));
}

void TForm_Dostap_Operators::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    FormShow();
}

void TForm_Dostap_Operators::FormShow() {
    ComboBox_Operators->clear();
    try {
        session_.workspace.open();
        for (const OperatorRow& r : listOperators(session_.workspace.db()))
            ComboBox_Operators->addItem(r.ime);
    } catch (const std::exception& e) {
        // No database: the list stays empty and the operator can only cancel.
        logException(e);
        ComboBox_Operators->clear();
    }

    const QString last = session_.firmData().activeOperator();
    if (!last.isEmpty()) {
        ComboBox_Operators->setCurrentIndex(ComboBox_Operators->findText(last));
        Edit_Password->setFocus();
    } else {
        ComboBox_Operators->setCurrentIndex(ComboBox_Operators->count() > 0 ? 0 : -1);
        ComboBox_Operators->setFocus();
    }

    // An operator denied "Изход" cannot leave the program from here either.
    const QAction* exitCommand = menu_.action(QStringLiteral("N_Izhod"));
    CancelBtn->setEnabled(!exitCommand || exitCommand->isEnabled());
}

void TForm_Dostap_Operators::OKBtnClick() {
    const QString name =
        ComboBox_Operators->currentIndex() >= 0 ? ComboBox_Operators->currentText() : QString();
    bool success = false;
    bool checkMade = false;
    try {
        const std::optional<OperatorRow> row =
            checkCredentials(session_.workspace.db(), name, Edit_Password->text(),
                             [this](const std::exception& e) { logException(e); });
        if (row) {
            const QDateTime now = session_.now();
            setLabel(mainWindow_, QStringLiteral("Panel_DateTime"),
                     shortDate(now.date()) + QStringLiteral(" - ") + shortTime(now.time()));
            setLabel(mainWindow_, QStringLiteral("Panel_Operator"), QStringLiteral("Оператор: ") + name);
            setLabel(mainWindow_, QStringLiteral("Panel_Database"),
                     QStringLiteral("База данни: ") +
                         QDir::toNativeSeparators(session_.workspace.directory()));
            session_.operatorName = name;
            applyRights(menu_, GETRIGHTS(row->prava));
            if (mainWindow_) {
                const QAction* kasa = menu_.action(QStringLiteral("N_Kasa"));
                if (QWidget* b = mainWindow_->findChild<QWidget*>(QStringLiteral("SpdBtn_Kasa")); b && kasa)
                    b->setEnabled(kasa->isEnabled());
            }
            success = true;
            accept();
        } else {
            Edit_Password->clear();
            ComboBox_Operators->setFocus();
            showMessage(QStringLiteral("Невалидни данни"));
        }

        // The rest concerns whoever is logged in now: after a failed check,
        // the previous operator.
        copyShopButtonStates(mainWindow_, menu_);
        const QString counterparty = session_.selectedCounterparty.value(session_.operatorName);
        setLabel(mainWindow_, QStringLiteral("Label_Selected_Kontragent"),
                 counterparty.isEmpty() ? kNoSaleCounterparty : counterparty);
        if (!session_.operatorName.isEmpty())
            applyOperatorShortcuts(menu_, session_.firmData(), session_.operatorName);
        checkMade = true;
    } catch (const std::exception& e) {
        // A database error during the check: no message, the dialog stays.
        logException(e);
    }

    writeShopButtonCaptions(mainWindow_, menu_, 8);
    if (!session_.operatorName.isEmpty()) {
        try {
            session_.firmData().setActiveOperator(session_.operatorName);
        } catch (const std::exception& e) {
            logException(e);
        }
    }
    if (success)
        emit loggedIn(name);
    if (checkMade)
        emit checked();
}

void TForm_Dostap_Operators::CancelBtnClick() {
    if (askYesNo(QStringLiteral("Найстина ли желаете да приключите работа"))) {
        quitRequested_ = true;
        done(QDialog::Rejected);
        if (quit_)
            quit_();
        else
            QCoreApplication::quit();
    } else {
        ComboBox_Operators->setFocus();
    }
}

void TForm_Dostap_Operators::reject() {
    if (CancelBtn->isEnabled())
        CancelBtnClick();
}

Login::Login(Session& session, QWidget* mainWindow, MainMenu& menu, QObject* parent)
    : QObject(parent), session_(session), mainWindow_(mainWindow), menu_(menu) {}

Login::~Login() {
    delete dialog_.data();
}

TForm_Dostap_Operators* Login::dialog() {
    if (!dialog_) {
        dialog_ = new TForm_Dostap_Operators(session_, mainWindow_, menu_, mainWindow_);
        if (quit_)
            dialog_->setQuitHook(quit_);
        connect(dialog_, &TForm_Dostap_Operators::loggedIn, this, &Login::loggedIn);
        connect(dialog_, &TForm_Dostap_Operators::checked, this, &Login::checked);
    }
    return dialog_;
}

bool Login::N_dostapClick() {
    TForm_Dostap_Operators* d = dialog();
    d->clearPassword();
    return d->exec() == QDialog::Accepted;
}

void Login::setQuitHook(std::function<void()> quit) {
    quit_ = std::move(quit);
    if (dialog_)
        dialog_->setQuitHook(quit_);
}

bool Login::quitRequested() const {
    return dialog_ && dialog_->quitRequested();
}

} // namespace torvika
