#pragma once
// "Състояние при ремонт": the repair states (Status_Remont) with the colour
// each gives its items' rows. "Добави" opens a new state, "Редактирай" the
// current one; while a state is open the two first buttons read "Приеми"
// and "Откажи". A state that items in service carry, and the state of new
// items, are not deleted.

#include "common/ui/record_window.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class TForm_Status_Remont;
}

namespace torvika {

class TForm_Status_Remont : public RecordWindow {
    Q_OBJECT
public:
    explicit TForm_Status_Remont(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Status_Remont() override;

private:
    // The name field in the colour chosen.
    void showColour();

    std::unique_ptr<Ui::TForm_Status_Remont> ui;
};

} // namespace torvika
