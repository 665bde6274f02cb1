#include "counterparties/ui/form_kontrakents.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/tree_lines.h"
#include "common/ui/video_help.h"
#include "counterparties/counterparties.h"
#include "counterparties/texts.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_grupi_kontrag.h"
#include "counterparties/ui/form_klienti.h"
#include "shell/session_grids.h"
#include "ui_form_kontrakents.h"

#include <QFile>
#include <QSignalBlocker>

namespace torvika {

TForm_Kontrakents::TForm_Kontrakents(const WindowContext& context, int mode, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Kontrakents), context_(context), session_(context.session),
      mode_(mode) {
    ui->setupUi(this);
    // Counterparties are never deleted.
    ui->Button_Iztrii->hide();
    ui->Panel_Izbor->setVisible(mode_ != -1);
    // In a mode that no window receives there is nothing to choose for.
    if (mode_ != -1 && !context.host.followUps().of<CounterpartyPicker>().has(mode_)) {
        ui->BitBtn_Izberi->setEnabled(false);
        ui->BitBtn_Izberi->setToolTip(texts::kNoFollowUp);
    }
    ui->N_Dobavi->setMenu(ui->Menu_Dobavi);
    ui->N_Operacii->setMenu(ui->Menu_Operacii);

    QList<GridColumnSpec> columns;
    for (const ListColumn& c : listColumns)
        columns.append({c.field.toString(), c.caption.toString(), 0,
                        c.numeric ? GridColumnSpec::Number : GridColumnSpec::Text, c.field == u"ID" ? 0 : 2});
    setUpList(gridContext(session_), ui->DBGrid_Kontragenti, columns, QStringLiteral("ID"), true);
    for (const ListColumn& c : listColumns)
        ui->ComboBox_Kriteria_Kontrag->addItem(c.caption.toString());
    for (QStringView c : comparisonCaptions)
        ui->ComboBox_Uslovie->addItem(c.toString());

    connect(ui->Button_Nov, &QPushButton::clicked, this, &TForm_Kontrakents::Button_NovClick);
    connect(ui->Button_Redaktiraj, &QPushButton::clicked, this, &TForm_Kontrakents::Button_RedaktirajClick);
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, &TForm_Kontrakents::Button_Pe4atClick);
    connect(ui->Button_Pomosht, &QPushButton::clicked, this, &TForm_Kontrakents::Button_PomoshtClick);

    CounterpartyGroupTree* tree = ui->TreeView_Kontrag;
    connect(tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { TreeViewClick(node); });
    connect(tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (node)
            TreeViewClick(node);
    });
    connect(tree, &CounterpartyGroupTree::rowsDropped, this, &TForm_Kontrakents::TreeViewDragDrop);
    connect(ui->N_Grupa, &QAction::triggered, this, [this] { N_Add_GroupClick(false); });
    connect(ui->N_Podgrupa, &QAction::triggered, this, [this] { N_Add_GroupClick(true); });

    CounterpartyGrid* grid = ui->DBGrid_Kontragenti;
    connect(grid, &QTableView::clicked, this, &TForm_Kontrakents::DBGridCellClick);
    connect(grid, &QTableView::doubleClicked, this, [this] { Button_RedaktirajClick(); });
    connect(ui->N_Nov, &QAction::triggered, this, &TForm_Kontrakents::Button_NovClick);
    connect(ui->N_Redaktiraj, &QAction::triggered, this, &TForm_Kontrakents::Button_RedaktirajClick);
    connect(ui->N_Pe4at, &QAction::triggered, this, &TForm_Kontrakents::Button_Pe4atClick);
    connect(ui->N_Only_Debtors, &QAction::triggered, this, &TForm_Kontrakents::N_Only_DebtorsClick);

    connect(ui->ComboBox_Kriteria_Kontrag, &QComboBox::activated, this,
            &TForm_Kontrakents::ComboBox_Kriteria_KontragChange);
    setSearchLine({ui->Label_Tarsene_Po,
                   ui->ComboBox_Uslovie,
                   int(Comparison::Between),
                   {ui->Label_Ot, ui->Label_Do, ui->Edit_Tarsi_Do},
                   Qt::BackgroundRole});
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_Kontrakents::Button_TarsiClick);
    connect(ui->Edit_Tarsi_Ot, &QLineEdit::returnPressed, this, &TForm_Kontrakents::Button_TarsiClick);
    connect(ui->Edit_Tarsi_Do, &QLineEdit::returnPressed, this, &TForm_Kontrakents::Button_TarsiClick);

    connect(ui->BitBtn_Izberi, &QPushButton::clicked, this, &TForm_Kontrakents::BitBtn_IzberiClick);
    connect(ui->BitBtn_Otkaji, &QPushButton::clicked, this, &QDialog::reject);

    setCriterion(0);
}

TForm_Kontrakents::~TForm_Kontrakents() = default;

CounterpartyGrid* TForm_Kontrakents::grid() const {
    return ui->DBGrid_Kontragenti;
}

CounterpartyGroupTree* TForm_Kontrakents::tree() const {
    return ui->TreeView_Kontrag;
}

void TForm_Kontrakents::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

QString TForm_Kontrakents::helpClip() const {
    return session_.programDir.videoDir() + QStringLiteral("/2.avi");
}

void TForm_Kontrakents::FormShow() {
    ui->Button_Pomosht->setEnabled(QFile::exists(helpClip()));
    setCriterion(0);
    QList<GroupTreeLine> tree{{0, kAllCounterpartiesNode}};
    guarded([&] { tree = readGroupTree(groupTreeFile(session_.workspace.directory())); });
    showTreeLines(ui->TreeView_Kontrag, tree);
    QTreeWidgetItem* top = ui->TreeView_Kontrag->topLevelItem(0);
    ui->TreeView_Kontrag->setCurrentItem(top);
    TreeViewClick(top);
}

QList<GroupTreeLine> TForm_Kontrakents::treeLines() const {
    return treeWidgetLines(ui->TreeView_Kontrag);
}

qint64 TForm_Kontrakents::currentGroup() const {
    const QTreeWidgetItem* node = ui->TreeView_Kontrag->currentItem();
    return node ? qMax(0, GetID_MFromTreeNodeName(node->text(0))) : 0;
}

void TForm_Kontrakents::reread() {
    if (QTreeWidgetItem* node = ui->TreeView_Kontrag->currentItem())
        TreeViewClick(node);
}

void TForm_Kontrakents::TreeViewClick(QTreeWidgetItem* node) {
    if (!node)
        return;
    guarded([&] { open(groupListStatement(GetID_MFromTreeNodeName(node->text(0)))); });
}

qint64 TForm_Kontrakents::currentId() const {
    const QVariant key = currentKey();
    return key.isValid() ? key.toLongLong() : -1;
}

QList<qint64> TForm_Kontrakents::selectedIds() const {
    QList<qint64> ids;
    for (const QVariant& key : markedKeys())
        ids << key.toLongLong();
    if (ids.isEmpty() && currentId() >= 0)
        ids << currentId();
    return ids;
}

void TForm_Kontrakents::openCard(bool edit) {
    TForm_Klienti card(context_, this);
    if (edit) {
        const qint64 id = currentId();
        if (id < 0 || !card.openEdit(id))
            return;
    } else {
        card.openNew(currentGroup());
    }
    card.exec();
    const qint64 keep = card.savedId() >= 0 ? card.savedId() : currentId();
    reread();
    positionOn(keep);
}

void TForm_Kontrakents::Button_NovClick() {
    openCard(false);
}

void TForm_Kontrakents::Button_RedaktirajClick() {
    openCard(true);
}

void TForm_Kontrakents::setCriterion(int column) {
    const ListColumn& c = listColumns[size_t(column)];
    setSearchColumn(column, c.caption.toString(), c.numeric);
    const QSignalBlocker block(ui->ComboBox_Kriteria_Kontrag);
    ui->ComboBox_Kriteria_Kontrag->setCurrentIndex(column);
}

void TForm_Kontrakents::DBGridCellClick(const QModelIndex& index) {
    if (index.isValid() && index.column() < int(listColumns.size()))
        setCriterion(index.column());
}

void TForm_Kontrakents::ComboBox_Kriteria_KontragChange(int index) {
    if (index < 0 || index >= int(listColumns.size()))
        return;
    setCriterion(index);
    const QModelIndex current = ui->DBGrid_Kontragenti->currentIndex();
    if (current.isValid())
        ui->DBGrid_Kontragenti->setCurrentIndex(model()->index(current.row(), index));
    ui->Edit_Tarsi_Ot->clear();
    ui->Edit_Tarsi_Ot->setFocus();
}

void TForm_Kontrakents::Button_TarsiClick() {
    const int column = searchColumn();
    const Comparison comparison =
        listColumns[size_t(column)].numeric ? Comparison(this->comparison()) : Comparison::Equal;
    if (!search(
            [&] {
                return listSearchStatement(column, comparison, ui->Edit_Tarsi_Ot->text(),
                                           ui->Edit_Tarsi_Do->text(), sqlEngine(session_.db()));
            },
            kInvalidData))
        return;
    // A single counterparty found is shown among all of them.
    if (model()->rowCount() == 1) {
        const qint64 id = model()->value(0, QStringLiteral("ID")).toLongLong();
        if (guarded([&] { open(groupListStatement(0)); }))
            positionOn(id);
    }
}

QString TForm_Kontrakents::sortField(int column) const {
    if (column < 0 || column >= int(listColumns.size()))
        return {};
    return QStringLiteral("Firmi.") + listColumns[size_t(column)].field.toString();
}

void TForm_Kontrakents::Button_Pe4atClick() {
    GridExport what;
    what.name = QStringLiteral("Export_Articles");
    what.heading = {QString(), kExportHeading, QString(), exportDateLine(session_.now())};
    printList(what);
}

void TForm_Kontrakents::N_Only_DebtorsClick() {
    guarded([this] { open(debtorsStatement()); });
}

void TForm_Kontrakents::N_Add_GroupClick(bool subgroup) {
    TForm_Grupi_Kontrag dialog(context_, (subgroup ? ui->N_Podgrupa : ui->N_Grupa)->text(), this);
    if (dialog.exec() == QDialog::Accepted)
        addGroupNode(dialog.number(), dialog.name(), subgroup);
}

void TForm_Kontrakents::addGroupNode(qint64 number, const QString& name, bool subgroup) {
    // The file is read again, changed by this one node and replaced, so the
    // groups other workstations added meanwhile stay; the tree shows them too.
    const QString file = groupTreeFile(session_.workspace.directory());
    const QString text = refText(number, name);
    const QTreeWidgetItem* parent = subgroup ? ui->TreeView_Kontrag->currentItem() : nullptr;
    QList<GroupTreeLine> tree;
    if (!guarded([&] {
            tree = parent ? addGroupTreeChild(file, parent->text(0), text) : addGroupTreeNode(file, text);
        }))
        return;
    showTreeLines(ui->TreeView_Kontrag, tree);
    const auto found = ui->TreeView_Kontrag->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (!found.isEmpty())
        ui->TreeView_Kontrag->setCurrentItem(found.back());
}

void TForm_Kontrakents::TreeViewDragDrop(QTreeWidgetItem* node) {
    const QList<qint64> ids = selectedIds();
    if (!node || ids.isEmpty())
        return;
    const QString text = node->text(0);
    if (!askYesNo(kAskMoveToGroup + text))
        return;
    const int group = GetID_MFromTreeNodeName(text);
    if (group < 0)
        return;
    moveCounterpartiesToGroup(session_.workspace.db(), ids, group);
    reread();
}

void TForm_Kontrakents::BitBtn_IzberiClick() {
    const QModelIndex current = ui->DBGrid_Kontragenti->currentIndex();
    if (!current.isValid())
        return;
    chosen_ = refText(model()->value(current.row(), QStringLiteral("ID")).toLongLong(),
                      model()->value(current.row(), QStringLiteral("Ime_Firma")).toString());
    accept();
}

void TForm_Kontrakents::Button_PomoshtClick() {
    TForm_Video_Help help(helpClip(), this);
    help.exec();
}

} // namespace torvika
