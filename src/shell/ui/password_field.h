#pragma once
// Password fields show "*" for every character typed, whatever mark the
// platform's style would use.

#include <QLineEdit>

namespace torvika {

inline void showPasswordAsStars(QLineEdit* field) {
    field->setEchoMode(QLineEdit::Password);
    field->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

} // namespace torvika
