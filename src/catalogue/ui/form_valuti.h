#pragma once
// "Валутни курсове": the currencies and their rates to the lev. The grid
// lists them (the base currency first); the fields below show the current
// one and take a new currency or the changes of the current one, which go
// through the currencies' rules: one base currency at rate 1, rates above
// 0, names given and unique, and a name in use neither changed nor
// deleted. A refused change says why and puts the caret on the field to
// correct; nothing is written. The ticker of the main window shows a rate
// as soon as it is stored.
//
// Below the grid: the base currency and the change of the books to the
// euro ("Преминаване към евро..."), which can be undone until the first
// sale after it ("Отмяна на преминаването към евро...").

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

private slots:
    void Button_Kam_EvroClick();
    void Button_Otmqna_EvroClick();

private:
    void showEuroState();

    std::unique_ptr<Ui::TForm_Valuti> ui;
    Session& session_;
};

} // namespace torvika
