#pragma once
// "Складове": the warehouses. The grid lists them; the fields below show
// the current one and take a new warehouse or the changes of the current
// one. "Нов" and "Редактирай" open the fields ("Нов" and "Изтрии" turn into
// "Приеми" and "Откажи"); "Изтрии" deletes the current warehouse unless
// it holds stock, has history or is the active one; "ИЗБЕРИ" makes the
// current stored warehouse the workstation's active warehouse (status line
// and Store/Active of Firm_Data.ini) and closes; closing abandons what was
// not accepted. A warehouse's number is given when it is created and never
// changed.

#include "common/ui/record_window.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class TForm_Sklad;
}

namespace torvika {

class TForm_Sklad : public RecordWindow {
    Q_OBJECT
public:
    explicit TForm_Sklad(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Sklad() override;

    // The number of the grid's current warehouse, 0 without one.
    qint64 currentId() const { return currentKey().toLongLong(); }

private:
    void Button_IzberiClick();

    std::unique_ptr<Ui::TForm_Sklad> ui;
    Session& session_;
    // Whether the operator typed the number of the new warehouse; otherwise
    // it gets the next free number when it is stored.
    bool numberTyped_ = false;
};

} // namespace torvika
