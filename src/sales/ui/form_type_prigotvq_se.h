#pragma once
// "Отдели за изготвяне на продукция": the production departments
// Type_Prigotvq_Se with a navigator (new, delete, edit, store, cancel). The
// grid shows the departments by number; the fields below it show the
// current one and take a new one or the changes of the current one, which
// "Запис" stores. A new department gets the next free number; a department
// whose articles are still prepared there is not deleted. An empty path
// sends the tickets to the department's default directory, which the field
// shows greyed.

#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

class QTableView;

namespace Ui {
class TForm_Type_Prigotvq_Se;
}

namespace torvika {

class StatementModel;

class TForm_Type_Prigotvq_Se : public QDialog {
    Q_OBJECT
public:
    enum State { Browse, Insert, Edit };

    explicit TForm_Type_Prigotvq_Se(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Type_Prigotvq_Se() override;

    StatementModel* model() const { return model_; }
    QTableView* grid() const;
    State state() const { return state_; }

    // The navigator's buttons.
    void beginNewRow();
    void deleteRow();
    void editRow();
    // Stores the new or changed department; false (with a message) when it
    // could not be stored, the typed values staying in the fields.
    bool post();
    void cancel();
    // "…" beside the path: a directory chosen for the tickets.
    void choosePath();

private:
    void reread(int current);
    void showCurrent();
    void showDefaultPath(int id);
    int currentId() const;

    std::unique_ptr<Ui::TForm_Type_Prigotvq_Se> ui;
    Session& session_;
    StatementModel* model_;
    State state_ = Browse;
    QString shownDeviceType_; // the stored text, kept when it is none of the list's
};

} // namespace torvika
