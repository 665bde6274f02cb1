#include "shell/ui/login.h"

#include "common/errors.h"
#include "common/exception_log.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "shell/operators.h"
#include "shell/rights.h"
#include "shell/texts.h"
#include "shell/ui/password_field.h"
#include "ui_login.h"

#include <QAction>
#include <QCoreApplication>
#include <QScreen>

namespace torvika {

TForm_Dostap_Operators::TForm_Dostap_Operators(Session& session, const QAction* exitCommand, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(new Ui::TForm_Dostap_Operators),
      session_(session), exitCommand_(exitCommand) {
    ui->setupUi(this);
    showPasswordAsStars(ui->Edit_Password);
    connect(ui->OKBtn, &QPushButton::clicked, this, &TForm_Dostap_Operators::OKBtnClick);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &TForm_Dostap_Operators::CancelBtnClick);
}

TForm_Dostap_Operators::~TForm_Dostap_Operators() = default;

void TForm_Dostap_Operators::clearPassword() {
    ui->Edit_Password->clear();
}

void TForm_Dostap_Operators::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    FormShow();
}

void TForm_Dostap_Operators::FormShow() {
    ui->ComboBox_Operators->clear();
    workspaceMissing_ = false;
    // A working database that cannot be opened is told with its reason;
    // the dialog then closes and the program runs without a database until
    // another one is chosen. An operators table that cannot be read is
    // only logged: the list stays empty.
    try {
        openWorkspace();
    } catch (const std::exception& e) {
        logException(e);
        workspaceMissing_ = true;
        showMessage(texts::kWorkspaceNotOpened.arg(exceptionMessage(e)));
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isVisible())
                    done(QDialog::Rejected);
            },
            Qt::QueuedConnection);
    }
    if (!workspaceMissing_)
        logged([this] {
            for (const OperatorRow& r : listOperators(session_.workspace.db()))
                ui->ComboBox_Operators->addItem(r.ime);
        });

    const QString last = session_.settings().get(setting::kLastOperator);
    if (!last.isEmpty()) {
        ui->ComboBox_Operators->setCurrentIndex(ui->ComboBox_Operators->findText(last));
        ui->Edit_Password->setFocus();
    } else {
        ui->ComboBox_Operators->setCurrentIndex(ui->ComboBox_Operators->count() > 0 ? 0 : -1);
        ui->ComboBox_Operators->setFocus();
    }
    ui->CancelBtn->setEnabled(!exitCommand_ || exitCommand_->isEnabled());
}

void TForm_Dostap_Operators::openWorkspace() {
    QString refusal;
    try {
        session_.workspace.open();
        return;
    } catch (const EDatabaseError& e) {
        if (!needsPassword(e.message()))
            throw;
        refusal = e.message();
    }
    // A server that wants a password the user's ~/.pgpass does not hold: it
    // is asked for and kept in memory for the run. A refused one is said
    // and asked for again; Cancel gives up with the server's refusal.
    const QString kept = session_.workspace.serverPassword();
    for (;;) {
        const std::optional<QString> password = Messages::current().inputPassword(
            texts::kServerPasswordCaption,
            texts::kServerPasswordPrompt.arg(session_.workspace.description()));
        if (!password) {
            session_.workspace.setServerPassword(kept);
            throw EDatabaseError(refusal);
        }
        session_.workspace.setServerPassword(*password);
        try {
            session_.workspace.open();
            return;
        } catch (const EDatabaseError& e) {
            if (!needsPassword(e.message()))
                throw;
            refusal = e.message();
            showMessage(refusal);
        }
    }
}

void TForm_Dostap_Operators::OKBtnClick() {
    const QString name =
        ui->ComboBox_Operators->currentIndex() >= 0 ? ui->ComboBox_Operators->currentText() : QString();
    std::optional<OperatorRow> row;
    // A database error during the check: no message, the dialog stays.
    // A failed upgrade of a plain-text password to its hash is logged; the
    // login goes on.
    if (!logged([&] {
            row = checkCredentials(session_.db(), name, ui->Edit_Password->text(),
                                   [](const std::exception& e) { logException(e); });
        }))
        return;
    if (row) {
        session_.setOperator(name, GETRIGHTS(row->prava));
        accept();
    } else {
        ui->Edit_Password->clear();
        ui->ComboBox_Operators->setFocus();
        showMessage(texts::kInvalidLogin);
    }
    if (!session_.operatorName().isEmpty())
        logged([this] { session_.settings().set(setting::kLastOperator, session_.operatorName()); });
    if (row)
        emit loggedIn(name);
    emit checked();
}

void TForm_Dostap_Operators::CancelBtnClick() {
    if (askYesNo(texts::kQuitQuestion)) {
        quitRequested_ = true;
        done(QDialog::Rejected);
        if (quit_)
            quit_();
        else
            QCoreApplication::quit();
    } else {
        ui->ComboBox_Operators->setFocus();
    }
}

void TForm_Dostap_Operators::reject() {
    if (ui->CancelBtn->isEnabled())
        CancelBtnClick();
}

Login::Login(Session& session, const QAction* exitCommand, QWidget* parentWindow, QObject* parent)
    : QObject(parent), session_(session), exitCommand_(exitCommand), parentWindow_(parentWindow) {}

Login::~Login() {
    delete dialog_.data();
}

TForm_Dostap_Operators* Login::dialog() {
    if (!dialog_) {
        dialog_ = new TForm_Dostap_Operators(session_, exitCommand_, parentWindow_);
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
