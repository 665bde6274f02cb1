#pragma once
// The progress of a long operation in a modal window of its own, with a
// cancel button, for dialogs that run one away from the main window's
// progress panel.

#include "common/progress.h"

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

namespace torvika {

class DialogProgress : public Progress {
public:
    DialogProgress(const QString& label, QWidget* parent);
    ~DialogProgress() override;
    void start(int maximum) override;
    void setValue(int value) override;
    bool cancelled() override;
    void finish() override;

private:
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace torvika
