#include "counterparties/ui/form_kontrakents.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "common/ui/video_help.h"
#include "counterparties/counterparties.h"
#include "counterparties/texts.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_grupi_kontrag.h"
#include "counterparties/ui/form_klienti.h"
#include "documents/ui/grid_file.h"
#include "ui_form_kontrakents.h"

#include <QFile>
#include <QSignalBlocker>

namespace torvika {

TForm_Kontrakents::TForm_Kontrakents(const WindowContext& context, int mode, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Kontrakents), context_(context), session_(context.session),
      mode_(mode), model_(new StatementModel(this)) {
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
    model_->setColumns(columns);
    setUpStatementGrid(ui->DBGrid_Kontragenti, model_, true);
    ui->DBGrid_Kontragenti->horizontalHeader()->setSectionsClickable(true);
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
    connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TForm_Kontrakents::DBGridTitleClick);
    connect(grid, &QTableView::clicked, this, &TForm_Kontrakents::DBGridCellClick);
    connect(grid, &QTableView::doubleClicked, this, [this] { Button_RedaktirajClick(); });
    connect(ui->N_Nov, &QAction::triggered, this, &TForm_Kontrakents::Button_NovClick);
    connect(ui->N_Redaktiraj, &QAction::triggered, this, &TForm_Kontrakents::Button_RedaktirajClick);
    connect(ui->N_Pe4at, &QAction::triggered, this, &TForm_Kontrakents::Button_Pe4atClick);
    connect(ui->N_Only_Debtors, &QAction::triggered, this, &TForm_Kontrakents::N_Only_DebtorsClick);

    connect(ui->ComboBox_Kriteria_Kontrag, &QComboBox::activated, this,
            &TForm_Kontrakents::ComboBox_Kriteria_KontragChange);
    connect(ui->ComboBox_Uslovie, &QComboBox::currentIndexChanged, this,
            [this] { updateComparisonFields(); });
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
    buildTree(tree);
    QTreeWidgetItem* top = ui->TreeView_Kontrag->topLevelItem(0);
    ui->TreeView_Kontrag->setCurrentItem(top);
    TreeViewClick(top);
}

void TForm_Kontrakents::buildTree(const QList<GroupTreeLine>& lines) {
    const QSignalBlocker block(ui->TreeView_Kontrag);
    ui->TreeView_Kontrag->clear();
    QList<QTreeWidgetItem*> path; // the last node of each depth
    for (const GroupTreeLine& l : lines) {
        path.resize(l.depth);
        auto* node =
            path.isEmpty() ? new QTreeWidgetItem(ui->TreeView_Kontrag) : new QTreeWidgetItem(path.back());
        node->setText(0, l.text);
        path.append(node);
    }
    ui->TreeView_Kontrag->expandAll();
}

QList<GroupTreeLine> TForm_Kontrakents::treeLines() const {
    QList<GroupTreeLine> lines;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* node, int depth) {
        lines.append({depth, node->text(0)});
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i), depth + 1);
    };
    for (int i = 0; i < ui->TreeView_Kontrag->topLevelItemCount(); ++i)
        walk(ui->TreeView_Kontrag->topLevelItem(i), 0);
    return lines;
}

qint64 TForm_Kontrakents::currentGroup() const {
    const QTreeWidgetItem* node = ui->TreeView_Kontrag->currentItem();
    return node ? qMax(0, GetID_MFromTreeNodeName(node->text(0))) : 0;
}

void TForm_Kontrakents::open(const SqlStatement& statement) {
    model_->setStatement(session_.db(), statement);
    statement_ = statement;
    applyTitles();
}

void TForm_Kontrakents::reread() {
    if (QTreeWidgetItem* node = ui->TreeView_Kontrag->currentItem())
        TreeViewClick(node);
}

void TForm_Kontrakents::applyTitles() {
    for (int i = 0; i < int(listColumns.size()); ++i) {
        model_->setHeaderData(i, Qt::Horizontal, listColumns[size_t(i)].caption.toString());
        model_->setHeaderData(i, Qt::Horizontal, i == criterion_ ? QBrush(Qt::red) : palette().button(),
                              Qt::BackgroundRole);
    }
}

void TForm_Kontrakents::TreeViewClick(QTreeWidgetItem* node) {
    if (!node)
        return;
    open(groupListStatement(GetID_MFromTreeNodeName(node->text(0))));
}

qint64 TForm_Kontrakents::currentId() const {
    const QModelIndex current = ui->DBGrid_Kontragenti->currentIndex();
    if (!current.isValid())
        return -1;
    return model_->value(current.row(), QStringLiteral("ID")).toLongLong();
}

bool TForm_Kontrakents::positionOn(qint64 id) {
    const int row = model_->findRow(QStringLiteral("ID"), id);
    if (row < 0)
        return false;
    const int column = ui->DBGrid_Kontragenti->currentIndex().isValid()
                           ? ui->DBGrid_Kontragenti->currentIndex().column()
                           : criterion_;
    ui->DBGrid_Kontragenti->setCurrentIndex(model_->index(row, column));
    ui->DBGrid_Kontragenti->scrollTo(ui->DBGrid_Kontragenti->currentIndex());
    return true;
}

QList<qint64> TForm_Kontrakents::selectedIds() const {
    QModelIndexList rows = ui->DBGrid_Kontragenti->selectionModel()->selectedRows(0);
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QList<qint64> ids;
    for (const QModelIndex& r : rows)
        ids << model_->value(r.row(), QStringLiteral("ID")).toLongLong();
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
    criterion_ = column;
    ui->Label_Tarsene_Po->setText(kSearchBy + listColumns[size_t(column)].caption.toString());
    {
        const QSignalBlocker block(ui->ComboBox_Kriteria_Kontrag);
        ui->ComboBox_Kriteria_Kontrag->setCurrentIndex(column);
    }
    applyTitles();
    updateComparisonFields();
}

void TForm_Kontrakents::updateComparisonFields() {
    const bool numeric = listColumns[size_t(criterion_)].numeric;
    const bool between = numeric && ui->ComboBox_Uslovie->currentIndex() == int(Comparison::Between);
    ui->ComboBox_Uslovie->setEnabled(numeric);
    ui->Label_Ot->setVisible(between);
    ui->Label_Do->setVisible(between);
    ui->Edit_Tarsi_Do->setVisible(between);
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
        ui->DBGrid_Kontragenti->setCurrentIndex(model_->index(current.row(), index));
    ui->Edit_Tarsi_Ot->clear();
    ui->Edit_Tarsi_Ot->setFocus();
}

void TForm_Kontrakents::Button_TarsiClick() {
    const bool numeric = listColumns[size_t(criterion_)].numeric;
    const Comparison comparison =
        numeric ? Comparison(ui->ComboBox_Uslovie->currentIndex()) : Comparison::Equal;
    try {
        open(listSearchStatement(criterion_, comparison, ui->Edit_Tarsi_Ot->text(), ui->Edit_Tarsi_Do->text(),
                                 sqlEngine(session_.db())));
        if (model_->rowCount() == 1) {
            const qint64 id = model_->value(0, QStringLiteral("ID")).toLongLong();
            open(groupListStatement(0));
            positionOn(id);
        }
    } catch (const Error& e) {
        reportError(e, kInvalidData);
    }
}

void TForm_Kontrakents::DBGridTitleClick(int column) {
    if (column < 0 || column >= int(listColumns.size()))
        return;
    const qint64 keep = currentId();
    try {
        open(ORDER_SQL(statement_, QStringLiteral("Firmi.") + listColumns[size_t(column)].field.toString(),
                       session_.sortDirection));
        positionOn(keep);
    } catch (const Error& e) {
        reportError(e, kNothingToSort);
    }
}

void TForm_Kontrakents::Button_Pe4atClick() {
    if (model_->rowCount() == 0) {
        showMessage(kNothingToPrint);
        return;
    }
    const QDateTime now = session_.now();
    GridExport what;
    what.name = QStringLiteral("Export_Articles");
    what.heading = {QString(), kExportHeading, QString(),
                    kExportDate + shortDate(now.date()) + u' ' + shortTime(now.time())};
    exportGrid(session_, this, ui->DBGrid_Kontragenti, what);
}

void TForm_Kontrakents::N_Only_DebtorsClick() {
    open(debtorsStatement());
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
    buildTree(tree);
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
    chosen_ = refText(model_->value(current.row(), QStringLiteral("ID")).toLongLong(),
                      model_->value(current.row(), QStringLiteral("Ime_Firma")).toString());
    accept();
}

void TForm_Kontrakents::Button_PomoshtClick() {
    TForm_Video_Help help(helpClip(), this);
    help.exec();
}

} // namespace torvika
