#pragma once
// The catalogue "Артикули": the group tree from Opis.pdt with its search by
// number and name, the article grid with its search by every criterion and
// the title-click sort, the article, group and print commands, dragging
// articles onto groups and groups onto nodes, and — in a selection mode —
// "ИЗБЕРИ" / "ОТКАЖИ" (the article picker).

#include "catalogue/article_lists.h"
#include "catalogue/ui/article_picker.h"
#include "common/tree_file.h"
#include "common/ui/list_window.h"
#include "shell/ui/host.h"

#include <QSet>
#include <memory>
#include <optional>

namespace Ui {
class TForm_Artikuli;
}

class QTreeWidgetItem;
class QListWidgetItem;

namespace torvika {

class ArticleGrid;
class ArticleGroupTree;

class TForm_Artikuli : public ListWindow {
    Q_OBJECT
public:
    TForm_Artikuli(const WindowContext& context, int mode, QWidget* parent = nullptr);
    ~TForm_Artikuli() override;

    int mode() const { return mode_; }
    // What "ИЗБЕРИ" chose.
    const std::optional<ArticleChoice>& chosen() const { return chosen_; }

    ArticleGrid* grid() const;
    ArticleGroupTree* tree() const;
    // The tree as shown, in file order.
    QList<TreeLine> treeLines() const;
    // The text of the selected tree node (empty without one).
    QString currentNode() const;
    // Selects the node with the text and lists it; false when there is none.
    bool selectNode(const QString& text);
    // The number of the grid's current row, -1 without one.
    qint64 currentId() const;
    // The marked rows' numbers in marking order; the current row's when
    // none is marked.
    QList<qint64> markedIds() const;

    // Drops (public because a test cannot drag with the mouse offscreen):
    // the marked rows dropped on a node move into its group; the group node
    // groupText dropped on a node moves there in the tree.
    void TreeViewDragDrop(QTreeWidgetItem* node);
    void TreeViewGroupDrop(const QString& groupText, QTreeWidgetItem* node);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QString sortField(int column) const override;
    void listShown() override;

private slots:
    void FormShow();
    void TreeViewClick(QTreeWidgetItem* node);
    void N_RedaktirajClick();
    void N_Markirai_Vsi4kiClick();
    void N_GrupaClick(bool subgroup);
    void N_KontragentiClick();
    void N_Ob6ti_DanniClick();
    void DBGridDblClick();
    void DBGridCellClick(const QModelIndex& index);
    void ComboBox_KriteriiChange(int index);
    void CheckBox_Chast_Ot_DumaClick();
    void ComboBox_Grupa_KriteriiChange(int index);
    void ListBox_GrupiDblClick(QListWidgetItem* item);
    void BitBtn_IzberiClick();
    void N_NovClick();
    void N_IztriiClick();
    void N_Grupa_RedaktirajClick();
    void N_Grupa_IztriiClick();
    void N_DostavkaClick();
    void N_Nali4nostiClick();
    void N_Pe4at_FailClick();
    void N_ElikomClick();
    void Button_TarsiClick();
    void Button_Grupa_TarsiClick();

private:
    void buildTree(const QList<TreeLine>& lines, const QString& select = {});
    // Shows the statement in the standard columns and the extra one.
    void showList(const SqlStatement& statement, const std::optional<GridColumnSpec>& extra);
    void listCurrentNode();
    void setCriterion(int criterion);
    void openArticle(bool edit);
    void noteMarks(const QItemSelection& selected, const QItemSelection& deselected);
    QString treeFile() const;
    std::optional<qint64> currentGroup() const;

    std::unique_ptr<Ui::TForm_Artikuli> ui;
    const WindowContext context_;
    Session& session_;
    int mode_;
    std::optional<ArticleChoice> chosen_;
    int criterion_ = 2; // "Арт. №"
    QList<qint64> marked_;
    QSet<qint64> markedSet_;
    QList<GroupRow> groupMatches_;
};

} // namespace torvika
