#pragma once
// The operators window TForm_Operatori: the operators of the company
// database, their names and passwords, and a tree of the whole main menu
// in which each command is granted or denied.

#include "shell/operators.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <QIcon>
#include <QList>
#include <memory>

class QTreeWidgetItem;

namespace Ui {
class TForm_Operatori;
}

namespace torvika {

class StatementModel;

class TForm_Operatori : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Operatori(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Operatori() override;

    // What the next save does: nothing before a double click.
    enum class EditMode { None, Insert, Edit };
    EditMode editMode() const { return mode_; }
    // Per-node denied flags shown by the tree (index = node number).
    const QList<bool>& deniedNodes() const { return denied_; }
    QTreeWidgetItem* treeItem(int node) const;
    // Selects the grid row of an operator; false when there is none.
    bool selectOperator(qint64 id);
    // The ID of the operator in the selected row, 0 when none.
    qint64 selectedOperatorId() const;

public slots:
    void FormShow();
    // Loads the selected row into the fields and the tree.
    void DBGrid1CellClick();
    void DBGrid1DblClick();
    void TreeView_MenuesClick(QTreeWidgetItem* item);
    void BitBtn_Insert_OperatorClick();
    void BitBtn_Cancel_OperatorClick();
    // Requests a new login, so that changed rights take effect at once.
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Insert_Menus_to_TreeView();
    void reloadGrid();
    void showFlags();
    void setEditing(bool on);

    std::unique_ptr<Ui::TForm_Operatori> ui;
    Session& session_;
    StatementModel* model_; // DBGrid1's rows: operatorsStatement()
    QIcon allowedIcon_;
    QIcon deniedIcon_;
    QList<QTreeWidgetItem*> items_; // index = node number
    QList<bool> denied_;
    EditMode mode_ = EditMode::None;
    // The row last loaded into the fields; an edited operator whose
    // password field was left alone keeps its password.
    std::optional<OperatorRow> loaded_;
    bool closed_ = false;
};

// The menu command "Достъп оператори": shows the operators window modally.
void N_OperatoriClick(const WindowContext& context, QWidget* parent);

} // namespace torvika
