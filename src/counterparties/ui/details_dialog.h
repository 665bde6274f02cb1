#pragma once
// The pattern of the sites and bank-accounts dialogs of a counterparty: a
// grid of its rows, edit fields under it, and two buttons whose captions
// follow the state: idle "НОВ" / "ИЗТРИИ", entering "ЗАПИС" / "ОТКАЖИ".
// Double-clicking a row loads it for editing. Rows are never deleted.
// The dialog's .ui file holds the shared part; each derived dialog lays its
// own fields out in fieldsPanel().

#include "common/sql_statement.h"
#include "common/ui/statement_model.h"
#include "shell/session.h"

#include <QDialog>
#include <memory>

class QTableView;

namespace Ui {
class DetailsDialog;
}

namespace torvika {

class DetailsDialog : public QDialog {
    Q_OBJECT
public:
    enum State { Idle = 0, New = 1, Edit = 2 };

    ~DetailsDialog() override;

    State state() const { return state_; }
    StatementModel* model() const { return model_; }
    QTableView* grid() const;

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

    // The empty panel between the grid and the buttons, for the fields.
    QWidget* fieldsPanel() const;
    // The value of a column of the grid's row.
    QVariant value(int row, int column) const;
    qint64 rowId() const { return rowId_; }

    Session& session_;
    const qint64 counterparty_;

private:
    void setState(State state);
    void reread();

    std::unique_ptr<Ui::DetailsDialog> ui;
    State state_ = Idle;
    qint64 rowId_ = -1;
    StatementModel* model_;
};

} // namespace torvika
