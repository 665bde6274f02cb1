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

#include "shell/ui/host.h"

#include <QDialog>
#include <memory>
#include <optional>

class QLineEdit;
class QTableView;

namespace Ui {
class TForm_Sklad;
}

namespace torvika {

class StatementModel;

class TForm_Sklad : public QDialog {
    Q_OBJECT
public:
    enum State { Idle, Insert, Edit };

    explicit TForm_Sklad(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Sklad() override;

    StatementModel* model() const { return model_; }
    QTableView* grid() const;
    State state() const { return state_; }
    // The number of the grid's current warehouse, 0 without one.
    qint64 currentId() const;
    // Makes the warehouse's row current; false when it is not listed.
    bool positionOn(qint64 id);

    // The buttons, public so that tests drive them. Button_NovClick and
    // Button_IztriiClick do "Приеми" and "Откажи" while a row is open.
    void Button_NovClick();
    void Button_IztriiClick();
    void Button_RedaktiraiClick();
    void Button_IzberiClick();

    // Stores the open row; false (with a message and the caret on the
    // field to correct) when it was not stored.
    bool post();
    void cancel();

private:
    void reread(qint64 current);
    void showCurrent();
    void setState(State state);
    void deleteCurrent();
    QLineEdit* fieldFor(int field) const;

    std::unique_ptr<Ui::TForm_Sklad> ui;
    Session& session_;
    StatementModel* model_;
    State state_ = Idle;
    // Whether the operator typed the number of the new warehouse; otherwise
    // it gets the next free number when it is stored.
    bool numberTyped_ = false;
};

} // namespace torvika
