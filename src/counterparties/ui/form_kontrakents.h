#pragma once
// The counterparty list "Контрагенти": the group tree from Opis_Kontrag.pdt,
// the grid of Firmi rows, the search by column, the title-click sort, the
// print through the grid export, dragging rows onto a group, and — in a
// selection mode — "ИЗБЕРИ" / "ОТКАЖИ".

#include "common/ui/list_window.h"
#include "counterparties/group_tree.h"
#include "counterparties/ui/counterparty_views.h"
#include "shell/ui/host.h"

#include <memory>
#include <optional>

namespace Ui {
class TForm_Kontrakents;
}

namespace torvika {

class TForm_Kontrakents : public ListWindow {
    Q_OBJECT
public:
    TForm_Kontrakents(const WindowContext& context, int mode, QWidget* parent = nullptr);
    ~TForm_Kontrakents() override;

    int mode() const { return mode_; }
    // The reference text chosen with "ИЗБЕРИ".
    std::optional<QString> chosen() const { return chosen_; }

    CounterpartyGrid* grid() const;
    CounterpartyGroupTree* tree() const;
    // The number of the group node selected in the tree (0 for the root).
    qint64 currentGroup() const;
    // The tree as the file keeps it.
    QList<GroupTreeLine> treeLines() const;
    // The ID of the grid's current row, -1 without one.
    qint64 currentId() const;

    // Dropping the selected rows on a node: moves them into its group.
    // Public because a test cannot drag rows with the mouse offscreen.
    void TreeViewDragDrop(QTreeWidgetItem* node);

    // Adds the node "<number>:<name>" to the tree file at the top level or as
    // the last child of the selected node, shows the file's tree and selects
    // the node.
    void addGroupNode(qint64 number, const QString& name, bool subgroup);

protected:
    void showEvent(QShowEvent* e) override;
    QString sortField(int column) const override;

private slots:
    void FormShow();
    void TreeViewClick(QTreeWidgetItem* node);
    void Button_RedaktirajClick();
    void ComboBox_Kriteria_KontragChange(int index);
    void DBGridCellClick(const QModelIndex& index);
    void Button_Pe4atClick();
    void N_Add_GroupClick(bool subgroup);
    void BitBtn_IzberiClick();
    void Button_PomoshtClick();
    void Button_NovClick();
    void Button_TarsiClick();
    void N_Only_DebtorsClick();

private:
    void reread();
    void setCriterion(int column);
    QList<qint64> selectedIds() const;
    void openCard(bool edit);
    QString helpClip() const;

    std::unique_ptr<Ui::TForm_Kontrakents> ui;
    const WindowContext context_;
    Session& session_;
    int mode_;
    std::optional<QString> chosen_;
};

} // namespace torvika
