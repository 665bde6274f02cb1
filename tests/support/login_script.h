#pragma once
// Answers the login dialog the next time it is shown: picks the operator,
// types the password and presses OK (or presses Cancel). A dialog still open
// afterwards is closed, so a failing test does not hang.

#include <QString>

namespace torvika {
class Login;
}

namespace torvika::test {

class ModalScript;

inline const QString kFirstOperator = QStringLiteral("Администратор");
inline const QString kFirstPassword = QStringLiteral("1");

void answerNextLogin(Login& login, const QString& name = kFirstOperator,
                     const QString& password = kFirstPassword);
// The same as a step of a modal script, for calls that open further dialogs.
void scriptLogin(ModalScript& script, const QString& name = kFirstOperator,
                 const QString& password = kFirstPassword);
void cancelNextLogin(Login& login);

} // namespace torvika::test
