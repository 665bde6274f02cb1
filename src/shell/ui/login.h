#pragma once
// The login: the dialog TForm_Dostap_Operators and the request N_dostapClick
// that shows it. A successful check makes the operator the session's
// operator with his rights; the main window and the pages show that state.

#include "shell/session.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;

namespace Ui {
class TForm_Dostap_Operators;
}

namespace torvika {

class TForm_Dostap_Operators : public QDialog {
    Q_OBJECT
public:
    // exitCommand is N_Izhod: an operator denied it cannot leave the
    // program from the login either.
    TForm_Dostap_Operators(Session& session, const QAction* exitCommand, QWidget* parent = nullptr);
    ~TForm_Dostap_Operators() override;

    // Ends the program when the operator confirms Cancel; by default
    // QCoreApplication::quit().
    void setQuitHook(std::function<void()> quit) { quit_ = std::move(quit); }
    bool quitRequested() const { return quitRequested_; }
    // The last showing found that the working database cannot be opened.
    bool workspaceMissing() const { return workspaceMissing_; }
    void clearPassword();

public slots:
    // Opens the workspace, lists the operators, selects the last one.
    void FormShow();
    void OKBtnClick();
    void CancelBtnClick();
    // Esc and closing go through Cancel, and only while Cancel is enabled.
    void reject() override;

signals:
    // After a successful check, once the session holds the operator.
    void loggedIn(const QString& operatorName);
    // After every check that could be made, successful or not: the main
    // window refreshes its page for whoever is logged in now.
    void checked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Opens the workspace, asking for the server's password when it wants one.
    void openWorkspace();

    std::unique_ptr<Ui::TForm_Dostap_Operators> ui;
    Session& session_;
    QPointer<const QAction> exitCommand_;
    std::function<void()> quit_;
    bool quitRequested_ = false;
    bool workspaceMissing_ = false;
};

// The login request of the main window: the dialog is created on the first
// request and kept for the run.
class Login : public QObject {
    Q_OBJECT
public:
    Login(Session& session, const QAction* exitCommand, QWidget* parentWindow, QObject* parent = nullptr);
    ~Login() override;

    // Clears the password and shows the dialog modally. True when an
    // operator logged in; false when the dialog was left otherwise (see
    // quitRequested()).
    bool N_dostapClick();
    // The dialog, created when first asked for.
    TForm_Dostap_Operators* dialog();
    void setQuitHook(std::function<void()> quit);
    bool quitRequested() const;

signals:
    void loggedIn(const QString& operatorName);
    void checked();

private:
    Session& session_;
    const QAction* exitCommand_;
    QWidget* parentWindow_;
    QPointer<TForm_Dostap_Operators> dialog_;
    std::function<void()> quit_;
};

} // namespace torvika
