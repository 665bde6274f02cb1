#include "common/ui/messages.h"

#include "common/texts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace torvika {

namespace {
Messages* installed = nullptr;

// Message texts use "\r" for a line break, as the program's files do.
QString shown(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t;
}

QString appTitle() {
    const QVariant title =
        QCoreApplication::instance() ? qApp->property(kApplicationTitleProperty) : QVariant();
    return title.isValid() ? title.toString() : texts::kProgramName;
}
} // namespace

Messages& Messages::current() {
    static DialogMessages dialogs;
    return installed ? *installed : dialogs;
}

void Messages::install(Messages* m) {
    installed = m;
}

void DialogMessages::message(const QString& text) {
    QMessageBox::information(QApplication::activeWindow(), appTitle(), shown(text));
}

Messages::Answer DialogMessages::question(const QString& text, bool withCancel) {
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    switch (QMessageBox::question(QApplication::activeWindow(), appTitle(), shown(text), buttons)) {
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    default:
        return withCancel ? Cancel : No;
    }
}

QString DialogMessages::openFileName(const QString& caption, const QString& dir, const QString& filter) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, dir, filter);
}

QString DialogMessages::saveFileName(const QString& caption, const QString& dir, const QString& filter) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, dir, filter);
}

QString DialogMessages::existingDirectory(const QString& caption, const QString& dir) {
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, dir);
}

std::optional<QString> DialogMessages::inputText(const QString& caption, const QString& label,
                                                 const QString& text) {
    bool ok = false;
    QString v =
        QInputDialog::getText(QApplication::activeWindow(), caption, label, QLineEdit::Normal, text, &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<QString> DialogMessages::inputPassword(const QString& caption, const QString& label) {
    bool ok = false;
    QString v = QInputDialog::getText(QApplication::activeWindow(), caption, label, QLineEdit::Password,
                                      QString(), &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

} // namespace torvika
