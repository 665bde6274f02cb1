#include "app/install_check.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace torvika {

namespace {
constexpr int kLookInterval = 50; // ms
constexpr int kGiveUpAfter = 60000 / kLookInterval;
} // namespace

InstallCheck::InstallCheck(const QString& password, QObject* parent)
    : QObject(parent), password_(password), timer_(new QTimer(this)) {
    connect(timer_, &QTimer::timeout, this, &InstallCheck::look);
    timer_->start(kLookInterval);
}

void InstallCheck::look() {
    if (++looks_ > kGiveUpAfter)
        fail(QStringLiteral("the login window did not open within a minute"));
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    if (modal->objectName() == QLatin1String("Form_Dostap_Operators")) {
        if (answered_)
            return; // the login is being checked
        auto* name = modal->findChild<QComboBox*>(QStringLiteral("ComboBox_Operators"));
        auto* password = modal->findChild<QLineEdit*>(QStringLiteral("Edit_Password"));
        auto* ok = modal->findChild<QPushButton*>(QStringLiteral("OKBtn"));
        if (!name || !password || !ok)
            fail(QStringLiteral("the login window lacks its controls"));
        if (name->currentIndex() < 0)
            fail(QStringLiteral("the login window lists no operator"));
        password->setText(password_);
        answered_ = true;
        ok->click();
        return;
    }
    // A message or question: the start did not go as it should.
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        fail(box->text());
    fail(QStringLiteral("an unexpected window: %1").arg(modal->windowTitle()));
}

void InstallCheck::fail(const QString& why) {
    std::fprintf(stderr, "torvika --check: %s\n", why.toLocal8Bit().constData());
    std::fflush(stderr);
    // The start is stuck in a modal window: nothing is left to save.
    std::_Exit(1);
}

QString readPasswordLine() {
    std::string line;
    std::getline(std::cin, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromLocal8Bit(line.data(), qsizetype(line.size()));
}

} // namespace torvika
