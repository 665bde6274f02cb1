#pragma once
// "Валутни курсове": the currencies and their rates to the lev. The grid
// lists them (the base currency first); the fields below show the current
// one and take a new currency or the changes of the current one, which go
// through the currencies' rules: one base currency at rate 1, rates above
// 0, names given and unique, and a name in use neither changed nor
// deleted. A refused change says why and puts the caret on the field to
// correct; nothing is written. The ticker of the main window shows the
// rates as stored at its next refill.

#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

class QTableView;
class QWidget;

namespace Ui {
class TForm_Valuti;
}

namespace torvika {

class StatementModel;

class TForm_Valuti : public QDialog {
    Q_OBJECT
public:
    enum State { Idle, Insert, Edit };

    explicit TForm_Valuti(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Valuti() override;

    StatementModel* model() const { return model_; }
    QTableView* grid() const;
    State state() const { return state_; }
    // The name of the grid's current currency, empty without one.
    QString currentName() const;
    // Makes the currency's row current; false when it is not listed.
    bool positionOn(const QString& name);

    // The buttons, public so that tests drive them. Button_NovClick and
    // Button_IztriiClick do "Приеми" and "Откажи" while a row is open.
    void Button_NovClick();
    void Button_IztriiClick();
    void Button_RedaktiraiClick();

    // Stores the open row; false (with a message and the caret on the
    // field to correct) when it was not stored.
    bool post();
    void cancel();

private:
    void reread(const QString& current);
    void showCurrent();
    void setState(State state);
    void deleteCurrent();
    void refuse(const QString& message, QWidget* field);

    std::unique_ptr<Ui::TForm_Valuti> ui;
    Session& session_;
    StatementModel* model_;
    State state_ = Idle;
};

} // namespace torvika
