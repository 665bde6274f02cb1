#pragma once
// "Населени места": the towns register Grad with a navigator (insert,
// delete, edit, post, cancel). The grid shows the towns; the fields below
// it show the current town and take a new one or the changes of the
// current one, which "Запис" stores. Deleting asks nothing; closing the
// window abandons a town that was not stored. Each town is one row under
// its own key, so two towns written alike are changed and deleted one at a
// time.

#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

class QTableView;

namespace Ui {
class TForm_Grad;
}

namespace torvika {

class StatementModel;

class TForm_Grad : public QDialog {
    Q_OBJECT
public:
    enum State { Browse, Insert, Edit };

    explicit TForm_Grad(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Grad() override;

    StatementModel* model() const { return model_; }
    QTableView* grid() const;
    State state() const { return state_; }

    // The navigator's buttons.
    void beginNewRow();
    void deleteRow();
    void editRow();
    // Stores the new or changed town; false (with a message) when it could
    // not be stored, the typed values staying in the fields.
    bool post();
    void cancel();

private:
    void reread(qint64 current);
    void showCurrent();
    qint64 currentId() const;

    std::unique_ptr<Ui::TForm_Grad> ui;
    Session& session_;
    StatementModel* model_;
    State state_ = Browse;
};

} // namespace torvika
