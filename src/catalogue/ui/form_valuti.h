#pragma once
// "Валутни курсове": the currencies and their rates to the lev. The grid
// lists them (the base currency first); the fields below show the current
// one and take a new currency or the changes of the current one, which go
// through the currencies' rules: one base currency at rate 1, rates above
// 0, names given and unique, and a name in use neither changed nor
// deleted. A refused change says why and puts the caret on the field to
// correct; nothing is written. The ticker of the main window shows a rate
// as soon as it is stored.

#include "common/ui/record_window.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class TForm_Valuti;
}

namespace torvika {

class TForm_Valuti : public RecordWindow {
    Q_OBJECT
public:
    explicit TForm_Valuti(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Valuti() override;

private:
    std::unique_ptr<Ui::TForm_Valuti> ui;
};

} // namespace torvika
