#include "common/ui/progress_dialog.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace torvika {

DialogProgress::DialogProgress(const QString& label, QWidget* parent)
    : dialog_(new QProgressDialog(label, QStringLiteral("Откажи"), 0, 0, parent)) {
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(300);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
}

DialogProgress::~DialogProgress() = default;

void DialogProgress::start(int maximum) {
    dialog_->setRange(0, maximum);
    dialog_->setValue(0);
}

void DialogProgress::setValue(int value) {
    dialog_->setValue(value);
}

bool DialogProgress::cancelled() {
    QCoreApplication::processEvents();
    return dialog_->wasCanceled();
}

void DialogProgress::finish() {
    dialog_->hide();
}

} // namespace torvika
