#pragma once
// "Населени места": the towns register Grad with a navigator (insert,
// delete, edit, post, cancel). The grid shows the towns; the fields below it
// show the current town and take a new one or the changes of the current
// one, which "Запис" stores. Deleting asks nothing; closing the window
// abandons a town that was not stored. Each town is one row under its own
// key, so two towns written alike are changed and deleted one at a time.

#include "common/ui/record_window.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class TForm_Grad;
}

namespace torvika {

class TForm_Grad : public RecordWindow {
    Q_OBJECT
public:
    explicit TForm_Grad(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Grad() override;

private:
    std::unique_ptr<Ui::TForm_Grad> ui;
};

} // namespace torvika
