#pragma once
// "Отдели за изготвяне на продукция": the production departments
// Type_Prigotvq_Se with a navigator (new, delete, edit, store, cancel). The
// grid shows the departments by number; the fields below it show the
// current one and take a new one or the changes of the current one, which
// "Запис" stores. A new department gets the next free number; a department
// whose articles are still prepared there is not deleted. An empty path
// sends the tickets to the department's default directory, which the field
// shows greyed.

#include "common/ui/record_window.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class TForm_Type_Prigotvq_Se;
}

namespace torvika {

class TForm_Type_Prigotvq_Se : public RecordWindow {
    Q_OBJECT
public:
    explicit TForm_Type_Prigotvq_Se(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Type_Prigotvq_Se() override;

private:
    // "…" beside the path: a directory chosen for the tickets.
    void choosePath();

    std::unique_ptr<Ui::TForm_Type_Prigotvq_Se> ui;
    QString shownDeviceType_; // the stored text, kept when it is none of the list's
};

} // namespace torvika
