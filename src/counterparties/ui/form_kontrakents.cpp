#include "counterparties/ui/form_kontrakents.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/ref_text.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "common/ui/video_help.h"
#include "counterparties/counterparties.h"
#include "counterparties/texts.h"
#include "counterparties/ui/form_grupi_kontrag.h"
#include "counterparties/ui/form_klienti.h"
#include "documents/ui/grid_file.h"

#include <QAction>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

namespace torvika {

namespace {

constexpr int kDragDistance = 5;

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QAction* action(const QString& caption, const char* name, QWidget* owner) {
    auto* a = new QAction(caption, owner);
    a->setObjectName(QString::fromLatin1(name));
    owner->addAction(a);
    return a;
}

} // namespace

// Pressing on a row that is already selected keeps the selection until the
// button is released, so that several selected rows can be dragged.
void CounterpartyGrid::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
    pressAt_ = e->position().toPoint();
    const QModelIndex at = indexAt(pressAt_);
    pressOnSelection_ = pressed_ && at.isValid() && e->modifiers() == Qt::NoModifier &&
                        selectionModel()->isRowSelected(at.row(), at.parent());
    if (pressOnSelection_) {
        selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
        return;
    }
    QTableView::mousePressEvent(e);
}

void CounterpartyGrid::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) {
        QTableView::mouseMoveEvent(e);
        return;
    }
    if (!pressed_ || (e->position().toPoint() - pressAt_).manhattanLength() < kDragDistance)
        return;
    pressed_ = false;
    pressOnSelection_ = false;
    emit dragStarted();
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(mimeType()), QByteArray());
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

void CounterpartyGrid::mouseReleaseEvent(QMouseEvent* e) {
    if (pressOnSelection_ && pressed_) {
        // A plain click on a selected row: select just that row after all.
        QMouseEvent press(QEvent::MouseButtonPress, e->position(), e->globalPosition(), e->button(),
                          e->buttons() | e->button(), e->modifiers());
        QTableView::mousePressEvent(&press);
    }
    pressed_ = false;
    pressOnSelection_ = false;
    QTableView::mouseReleaseEvent(e);
}

void CounterpartyGroupTree::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasFormat(QString::fromLatin1(CounterpartyGrid::mimeType())))
        e->acceptProposedAction();
    else
        e->ignore();
}

void CounterpartyGroupTree::dragMoveEvent(QDragMoveEvent* e) {
    if (e->mimeData()->hasFormat(QString::fromLatin1(CounterpartyGrid::mimeType())) &&
        itemAt(e->position().toPoint()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void CounterpartyGroupTree::dropEvent(QDropEvent* e) {
    QTreeWidgetItem* node = itemAt(e->position().toPoint());
    if (!node || !e->mimeData()->hasFormat(QString::fromLatin1(CounterpartyGrid::mimeType()))) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    emit rowsDropped(node);
}

TForm_Kontrakents::TForm_Kontrakents(Session& session, int mode, QWidget* parent)
    : QDialog(parent), session_(session), mode_(mode) {
    setObjectName(QStringLiteral("Form_Kontrakents"));
    setWindowTitle(QStringLiteral("Контрагенти"));
    resize(1000, 600);

    auto* buttons = new QHBoxLayout;
    auto* newButton = button(QStringLiteral("Нов           "), "Button_Nov", this);
    auto* editButton = button(QStringLiteral("Редактирай"), "Button_Redaktiraj", this);
    auto* deleteButton = button(QStringLiteral("Изтрии "), "Button_Iztrii", this);
    auto* printButton = button(QStringLiteral("Печат"), "Button_Pe4at", this);
    help_ = button(QStringLiteral("Помощ"), "Button_Pomosht", this);
    // Counterparties are never deleted.
    deleteButton->setEnabled(false);
    deleteButton->hide();
    for (QPushButton* b : {newButton, editButton, deleteButton, printButton, help_})
        buttons->addWidget(b);
    buttons->addStretch(1);
    connect(newButton, &QPushButton::clicked, this, &TForm_Kontrakents::Button_NovClick);
    connect(editButton, &QPushButton::clicked, this, &TForm_Kontrakents::Button_RedaktirajClick);
    connect(printButton, &QPushButton::clicked, this, &TForm_Kontrakents::Button_Pe4atClick);
    connect(help_, &QPushButton::clicked, this, &TForm_Kontrakents::Button_PomoshtClick);

    auto* splitter = new QSplitter(this);
    tree_ = new CounterpartyGroupTree(splitter);
    tree_->setObjectName(QStringLiteral("TreeView_Kontrag"));
    tree_->setHeaderHidden(true);
    tree_->setAcceptDrops(true);
    tree_->viewport()->setAcceptDrops(true);
    tree_->setDragDropMode(QAbstractItemView::DropOnly);
    tree_->setDropIndicatorShown(true);
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { TreeViewClick(node); });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (node)
            TreeViewClick(node);
    });
    connect(tree_, &CounterpartyGroupTree::rowsDropped, this, &TForm_Kontrakents::TreeViewDragDrop);

    tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* add = action(QStringLiteral("Добави"), "N_Dobavi", tree_);
    auto* addMenu = new QMenu(this);
    auto* group = addMenu->addAction(QStringLiteral("Група"));
    group->setObjectName(QStringLiteral("N_Grupa"));
    auto* subgroup = addMenu->addAction(QStringLiteral("Подгрупа"));
    subgroup->setObjectName(QStringLiteral("N_Podgrupa"));
    add->setMenu(addMenu);
    connect(group, &QAction::triggered, this, [this] { N_Add_GroupClick(false); });
    connect(subgroup, &QAction::triggered, this, [this] { N_Add_GroupClick(true); });
    // Entries without an action.
    action(QStringLiteral("Редактирай"), "N_Tree_Redaktiraj", tree_)->setEnabled(false);
    action(QStringLiteral("Изтрии"), "N_Tree_Iztrii", tree_)->setEnabled(false);
    auto* selected = action(QStringLiteral("Операции над избраното"), "N_Operacii", tree_);
    auto* selectedMenu = new QMenu(this);
    selectedMenu->addAction(QStringLiteral("Търговска отстъпка"))->setEnabled(false);
    selected->setMenu(selectedMenu);

    grid_ = new CounterpartyGrid(splitter);
    grid_->setObjectName(QStringLiteral("DBGrid_Kontragenti"));
    model_ = new StatementModel(this);
    QList<GridColumnSpec> columns;
    for (const ListColumn& c : listColumns)
        columns.append({c.field.toString(), c.caption.toString(), 0,
                        c.numeric ? GridColumnSpec::Number : GridColumnSpec::Text, c.field == u"ID" ? 0 : 2});
    model_->setColumns(columns);
    setUpStatementGrid(grid_, model_, true);
    grid_->horizontalHeader()->setSectionsClickable(true);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TForm_Kontrakents::DBGridTitleClick);
    connect(grid_, &QTableView::clicked, this, &TForm_Kontrakents::DBGridCellClick);
    connect(grid_, &QTableView::doubleClicked, this, [this] { Button_RedaktirajClick(); });
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(action(QStringLiteral("Нов"), "N_Nov", grid_), &QAction::triggered, this,
            &TForm_Kontrakents::Button_NovClick);
    connect(action(QStringLiteral("Редактирай"), "N_Redaktiraj", grid_), &QAction::triggered, this,
            &TForm_Kontrakents::Button_RedaktirajClick);
    connect(action(QStringLiteral("Печат"), "N_Pe4at", grid_), &QAction::triggered, this,
            &TForm_Kontrakents::Button_Pe4atClick);
    connect(action(QStringLiteral("Покажи само длъжници"), "N_Only_Debtors", grid_), &QAction::triggered,
            this, &TForm_Kontrakents::N_Only_DebtorsClick);
    action(QStringLiteral("Изтрии"), "N_Iztrii", grid_)->setEnabled(false);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 4);

    auto* search = new QHBoxLayout;
    criterionLabel_ = new QLabel(this);
    criterionLabel_->setObjectName(QStringLiteral("Label_Tarsene_Po"));
    criteria_ = new QComboBox(this);
    criteria_->setObjectName(QStringLiteral("ComboBox_Kriteria_Kontrag"));
    for (const ListColumn& c : listColumns)
        criteria_->addItem(c.caption.toString());
    comparison_ = new QComboBox(this);
    comparison_->setObjectName(QStringLiteral("ComboBox_Uslovie"));
    for (QStringView c : comparisonCaptions)
        comparison_->addItem(c.toString());
    fromLabel_ = new QLabel(QStringLiteral("От"), this);
    fromLabel_->setObjectName(QStringLiteral("Label_Ot"));
    from_ = new QLineEdit(this);
    from_->setObjectName(QStringLiteral("Edit_Tarsi_Ot"));
    toLabel_ = new QLabel(QStringLiteral("До"), this);
    toLabel_->setObjectName(QStringLiteral("Label_Do"));
    to_ = new QLineEdit(this);
    to_->setObjectName(QStringLiteral("Edit_Tarsi_Do"));
    auto* find = button(QStringLiteral("Търси         "), "Button_Tarsi", this);
    for (QWidget* w : std::initializer_list<QWidget*>{criterionLabel_, criteria_, comparison_, fromLabel_,
                                                      from_, toLabel_, to_, find})
        search->addWidget(w);
    connect(criteria_, &QComboBox::activated, this, &TForm_Kontrakents::ComboBox_Kriteria_KontragChange);
    connect(comparison_, &QComboBox::currentIndexChanged, this, [this] { updateComparisonFields(); });
    connect(find, &QPushButton::clicked, this, &TForm_Kontrakents::Button_TarsiClick);
    connect(from_, &QLineEdit::returnPressed, this, &TForm_Kontrakents::Button_TarsiClick);
    connect(to_, &QLineEdit::returnPressed, this, &TForm_Kontrakents::Button_TarsiClick);

    choosePanel_ = new QWidget(this);
    choosePanel_->setObjectName(QStringLiteral("Panel_Izbor"));
    auto* choose = new QHBoxLayout(choosePanel_);
    auto* pick = button(QStringLiteral("ИЗБЕРИ"), "BitBtn_Izberi", choosePanel_);
    auto* cancel = button(QStringLiteral("ОТКАЖИ"), "BitBtn_Otkaji", choosePanel_);
    choose->addStretch(1);
    choose->addWidget(pick);
    choose->addWidget(cancel);
    connect(pick, &QPushButton::clicked, this, &TForm_Kontrakents::BitBtn_IzberiClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    choosePanel_->setVisible(mode_ != -1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    layout->addLayout(search);
    layout->addWidget(choosePanel_);

    setCriterion(0);
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
    help_->setEnabled(QFile::exists(helpClip()));
    setCriterion(0);
    buildTree(readGroupTree(groupTreeFile(session_.workspace.directory())));
    QTreeWidgetItem* top = tree_->topLevelItem(0);
    tree_->setCurrentItem(top);
    TreeViewClick(top);
}

void TForm_Kontrakents::buildTree(const QList<GroupTreeLine>& lines) {
    const QSignalBlocker block(tree_);
    tree_->clear();
    QList<QTreeWidgetItem*> path; // the last node of each depth
    for (const GroupTreeLine& l : lines) {
        path.resize(l.depth);
        auto* node = path.isEmpty() ? new QTreeWidgetItem(tree_) : new QTreeWidgetItem(path.back());
        node->setText(0, l.text);
        path.append(node);
    }
    tree_->expandAll();
}

QList<GroupTreeLine> TForm_Kontrakents::treeLines() const {
    QList<GroupTreeLine> lines;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* node, int depth) {
        lines.append({depth, node->text(0)});
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i), depth + 1);
    };
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        walk(tree_->topLevelItem(i), 0);
    return lines;
}

void TForm_Kontrakents::writeTreeFile() {
    writeGroupTree(groupTreeFile(session_.workspace.directory()), treeLines());
}

qint64 TForm_Kontrakents::currentGroup() const {
    const QTreeWidgetItem* node = tree_->currentItem();
    return node ? qMax(0, GetID_MFromTreeNodeName(node->text(0))) : 0;
}

void TForm_Kontrakents::open(const SqlStatement& statement) {
    model_->setStatement(session_.db(), statement);
    statement_ = statement;
    applyTitles();
}

void TForm_Kontrakents::reread() {
    if (QTreeWidgetItem* node = tree_->currentItem())
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
    const QModelIndex current = grid_->currentIndex();
    if (!current.isValid())
        return -1;
    return model_->value(current.row(), QStringLiteral("ID")).toLongLong();
}

bool TForm_Kontrakents::positionOn(qint64 id) {
    const int row = model_->findRow(QStringLiteral("ID"), id);
    if (row < 0)
        return false;
    const int column = grid_->currentIndex().isValid() ? grid_->currentIndex().column() : criterion_;
    grid_->setCurrentIndex(model_->index(row, column));
    grid_->scrollTo(grid_->currentIndex());
    return true;
}

QList<qint64> TForm_Kontrakents::selectedIds() const {
    QModelIndexList rows = grid_->selectionModel()->selectedRows(0);
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
    TForm_Klienti card(session_, this);
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
    criterionLabel_->setText(kSearchBy + listColumns[size_t(column)].caption.toString());
    {
        const QSignalBlocker block(criteria_);
        criteria_->setCurrentIndex(column);
    }
    applyTitles();
    updateComparisonFields();
}

void TForm_Kontrakents::updateComparisonFields() {
    const bool numeric = listColumns[size_t(criterion_)].numeric;
    const bool between = numeric && comparison_->currentIndex() == int(Comparison::Between);
    comparison_->setEnabled(numeric);
    fromLabel_->setVisible(between);
    toLabel_->setVisible(between);
    to_->setVisible(between);
}

void TForm_Kontrakents::DBGridCellClick(const QModelIndex& index) {
    if (index.isValid() && index.column() < int(listColumns.size()))
        setCriterion(index.column());
}

void TForm_Kontrakents::ComboBox_Kriteria_KontragChange(int index) {
    if (index < 0 || index >= int(listColumns.size()))
        return;
    setCriterion(index);
    const QModelIndex current = grid_->currentIndex();
    if (current.isValid())
        grid_->setCurrentIndex(model_->index(current.row(), index));
    from_->clear();
    from_->setFocus();
}

void TForm_Kontrakents::Button_TarsiClick() {
    const bool numeric = listColumns[size_t(criterion_)].numeric;
    const Comparison comparison = numeric ? Comparison(comparison_->currentIndex()) : Comparison::Equal;
    try {
        open(listSearchStatement(criterion_, comparison, from_->text(), to_->text()));
        if (model_->rowCount() == 1) {
            const qint64 id = model_->value(0, QStringLiteral("ID")).toLongLong();
            open(groupListStatement(0));
            positionOn(id);
        }
    } catch (const Error&) {
        showMessage(kInvalidData);
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
    } catch (const Error&) {
        showMessage(kNothingToSort);
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
    exportGrid(session_, this, grid_, what);
}

void TForm_Kontrakents::N_Only_DebtorsClick() {
    open(debtorsStatement());
}

void TForm_Kontrakents::N_Add_GroupClick(bool subgroup) {
    TForm_Grupi_Kontrag dialog(session_, subgroup ? QStringLiteral("Подгрупа") : QStringLiteral("Група"),
                               this);
    if (dialog.exec() == QDialog::Accepted)
        addGroupNode(dialog.number(), dialog.name(), subgroup);
    else
        writeTreeFile();
}

void TForm_Kontrakents::addGroupNode(qint64 number, const QString& name, bool subgroup) {
    QTreeWidgetItem* parent = subgroup ? tree_->currentItem() : nullptr;
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    node->setText(0, refText(number, name));
    if (parent)
        parent->setExpanded(true);
    tree_->setCurrentItem(node);
    writeTreeFile();
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
    const QModelIndex current = grid_->currentIndex();
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
