#pragma once
// The login: the dialog TForm_Dostap_Operators and the request N_dostapClick
// that shows it. A successful login puts the operator into the status line
// and the session, applies the operator's rights and shortcuts to the main
// menu and restores the counterparty the operator last selected in this run.

#include "shell/session.h"

#include <QDialog>
#include <QPointer>
#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace torvika {

class MainMenu;

class TForm_Dostap_Operators : public QDialog {
    Q_OBJECT
public:
    // mainWindow holds the status panels, SpdBtn_Kasa and the shop-page
    // controls the login updates (any of them may be absent).
    TForm_Dostap_Operators(Session& session, QWidget* mainWindow, MainMenu& menu, QWidget* parent = nullptr);

    // Ends the program when the operator confirms Cancel; by default
    // QCoreApplication::quit().
    void setQuitHook(std::function<void()> quit) { quit_ = std::move(quit); }
    bool quitRequested() const { return quitRequested_; }
    void clearPassword();

public slots:
    // Opens the workspace, lists the operators, selects the last one.
    void FormShow();
    void OKBtnClick();
    void CancelBtnClick();
    // Esc and closing go through Cancel, and only while Cancel is enabled.
    void reject() override;

signals:
    // After a successful check, once the status line, rights and shortcuts
    // are in place: the main window starts its clock.
    void loggedIn(const QString& operatorName);
    // After every check that could be made, successful or not: the main
    // window refreshes its page for whoever is logged in now.
    void checked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void logException(const std::exception& e) const;

    Session& session_;
    QWidget* mainWindow_;
    MainMenu& menu_;
    QComboBox* ComboBox_Operators;
    QLineEdit* Edit_Password;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    std::function<void()> quit_;
    bool quitRequested_ = false;
};

// The login request of the main window: the dialog is created on the first
// request and kept for the run.
class Login : public QObject {
    Q_OBJECT
public:
    Login(Session& session, QWidget* mainWindow, MainMenu& menu, QObject* parent = nullptr);
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
    QWidget* mainWindow_;
    MainMenu& menu_;
    QPointer<TForm_Dostap_Operators> dialog_;
    std::function<void()> quit_;
};

} // namespace torvika
