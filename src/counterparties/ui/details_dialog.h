#pragma once
// The pattern of the sites and bank-accounts dialogs of a counterparty: a
// grid of its rows, edit fields under it, and two buttons whose captions
// follow the state: idle "НОВ" / "ИЗТРИИ", entering "ЗАПИС" / "ОТКАЖИ".
// A double click on a row loads it for editing. Rows are never deleted.

#include "common/sql_statement.h"
#include "common/ui/statement_model.h"
#include "shell/session.h"

#include <QDialog>

class QFormLayout;
class QPushButton;
class QTableView;

namespace torvika {

class DetailsDialog : public QDialog {
    Q_OBJECT
public:
    enum State { Idle = 0, New = 1, Edit = 2 };

    State state() const { return state_; }
    StatementModel* model() const { return model_; }
    QTableView* grid() const { return grid_; }

    // Handlers, public so that tests drive them.
    void Button1Click();
    void Button2Click();
    void GridDblClick(int row);

protected:
    DetailsDialog(Session& session, qint64 counterparty, const QString& refText, QWidget* parent);
    // Call at the end of the derived constructor: the titles of the
    // statement's columns, in order.
    void finishSetUp(const QStringList& titles);

    virtual SqlStatement statement() const = 0;
    virtual void clearFields() = 0;
    virtual void loadRow(int row) = 0;
    virtual void enteringState(State) {}
    // Stores the fields as a new row or over the row being edited; throws.
    virtual void save(bool isNew) = 0;

    QFormLayout* fields() const { return fields_; }
    // The value of a column of the grid's row.
    QVariant value(int row, int column) const;
    qint64 rowId() const { return rowId_; }

    Session& session_;
    const qint64 counterparty_;

private:
    void setState(State state);
    void reread();

    State state_ = Idle;
    qint64 rowId_ = -1;
    StatementModel* model_;
    QTableView* grid_;
    QFormLayout* fields_;
    QPushButton* button1_;
    QPushButton* button2_;
};

} // namespace torvika
