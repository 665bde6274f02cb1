#include "support/login_script.h"

#include "shell/ui/login.h"
#include "support/modal_script.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace torvika::test {

namespace {
// Closes the dialog should the answer leave it open, so that a test fails
// instead of hanging.
void closeIfOpen(Login& login) {
    QTimer::singleShot(3000, login.dialog(), [&login] {
        if (login.dialog()->isVisible())
            login.dialog()->done(0);
    });
}
} // namespace

void answerNextLogin(Login& login, const QString& name, const QString& password) {
    QTimer::singleShot(0, login.dialog(), [&login, name, password] {
        TForm_Dostap_Operators* d = login.dialog();
        auto* combo = d->findChild<QComboBox*>(QStringLiteral("ComboBox_Operators"));
        combo->setCurrentIndex(combo->findText(name));
        d->findChild<QLineEdit*>(QStringLiteral("Edit_Password"))->setText(password);
        d->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        if (d->isVisible())
            d->done(0);
    });
    closeIfOpen(login);
}

void scriptLogin(ModalScript& script, const QString& name, const QString& password) {
    script.next<TForm_Dostap_Operators>([name, password](TForm_Dostap_Operators* d) {
        auto* combo = d->findChild<QComboBox*>(QStringLiteral("ComboBox_Operators"));
        combo->setCurrentIndex(combo->findText(name));
        d->findChild<QLineEdit*>(QStringLiteral("Edit_Password"))->setText(password);
        d->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
}

void cancelNextLogin(Login& login) {
    QTimer::singleShot(0, login.dialog(), [&login] {
        login.dialog()->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    });
    closeIfOpen(login);
}

} // namespace torvika::test
