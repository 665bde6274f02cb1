#include "catalogue/ui/form_artikuli.h"

#include "catalogue/ui/form_dostavki.h"

#include "catalogue/article_groups.h"
#include "catalogue/articles.h"
#include "catalogue/data_export.h"
#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "catalogue/ui/article_views.h"
#include "catalogue/ui/form_grupi.h"
#include "catalogue/ui/form_newartikul.h"
#include "catalogue/ui/form_ob6ti_danni_artikuli.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_export_data.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/form_koloni.h"
#include "common/ui/messages.h"
#include "common/ui/tree_lines.h"
#include "counterparties/ui/counterparty_picker.h"
#include "shell/session_grids.h"
#include "ui_form_artikuli.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QTimer>
#include <stdexcept>

namespace torvika {

namespace {

constexpr int kCodeCriterion = 0; // the group search's "Код"

QList<GridColumnSpec> standardColumns() {
    QList<GridColumnSpec> columns;
    for (const ArticleColumn& c : articleColumns) {
        GridColumnSpec column{c.field.toString(), c.caption.toString()};
        if (c.field == u"ID" || c.field == u"ID_Grupa")
            column.format = GridColumnSpec::Integer;
        else if (c.field == u"Ed_Cena")
            column.format = GridColumnSpec::Number;
        if (c.field == u"Opisanie")
            column.width = 40;
        columns << column;
    }
    return columns;
}

bool sameColumns(const QList<GridColumnSpec>& a, const QList<GridColumnSpec>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].field != b[i].field)
            return false;
    return true;
}

} // namespace

TForm_Artikuli::TForm_Artikuli(const WindowContext& context, int mode, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Artikuli), context_(context), session_(context.session),
      mode_(mode) {
    ui->setupUi(this);
    ui->Panel_Izbor->setVisible(mode_ >= 0);
    // In a mode that no window receives there is nothing to choose for.
    if (mode_ >= 0 && !context.host.followUps().of<ArticlePicker>().has(mode_)) {
        ui->BitBtn_Izberi->setEnabled(false);
        ui->BitBtn_Izberi->setToolTip(texts::kNoFollowUp);
    }
    ui->ListBox_Grupi->hide();

    ArticleGrid* grid = ui->DBGrid_Artikuli;
    setUpList(gridContext(session_), grid, standardColumns(), QStringLiteral("ID"), true);
    grid->horizontalHeader()->setStretchLastSection(true);
    connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TForm_Artikuli::noteMarks);
    connect(model(), &QAbstractItemModel::modelReset, this, [this] {
        marked_.clear();
        markedSet_.clear();
    });

    // The article menu on the grid, the group menu on the tree.
    auto separator = [this] {
        auto* s = new QAction(this);
        s->setSeparator(true);
        return s;
    };
    grid->addActions({ui->N_Nov, ui->N_Redaktiraj, ui->N_Iztrii, separator(), ui->N_Markirai_Vsi4ki,
                      separator(), ui->N_Nali4nosti, ui->N_Ob6ti_Danni, ui->N_Export,
                      ui->Menu_Pe4at->menuAction(), separator(), ui->N_Nastroika_Koloni});
    ui->TreeView_Grupi->addActions({ui->Menu_Dobavi->menuAction(), ui->N_Grupa_Redaktiraj, ui->N_Grupa_Iztrii,
                                    separator(), ui->Menu_Operacii->menuAction()});

    connect(ui->N_Vav_Artikul, &QAction::triggered, this, &TForm_Artikuli::N_NovClick);
    connect(ui->N_Vav_Grupa, &QAction::triggered, this, [this] { N_GrupaClick(false); });
    connect(ui->N_Vav_Podgrupa, &QAction::triggered, this, [this] { N_GrupaClick(true); });
    connect(ui->N_Vav_Kontragenti, &QAction::triggered, this, &TForm_Artikuli::N_KontragentiClick);
    connect(ui->N_Nov, &QAction::triggered, this, &TForm_Artikuli::N_NovClick);
    connect(ui->N_Redaktiraj, &QAction::triggered, this, &TForm_Artikuli::N_RedaktirajClick);
    connect(ui->N_Iztrii, &QAction::triggered, this, &TForm_Artikuli::N_IztriiClick);
    connect(ui->N_Markirai_Vsi4ki, &QAction::triggered, this, &TForm_Artikuli::N_Markirai_Vsi4kiClick);
    connect(ui->N_Nali4nosti, &QAction::triggered, this, &TForm_Artikuli::N_Nali4nostiClick);
    connect(ui->N_Ob6ti_Danni, &QAction::triggered, this, &TForm_Artikuli::N_Ob6ti_DanniClick);
    // "Експорт ...": every article into a numbered-field file.
    connect(ui->N_Export, &QAction::triggered, this, [this] {
        Form_Export_Data w([this] { return context_.session.db(); }, this);
        w.SELECTED_EXPORT(articleExportSource());
    });
    connect(ui->N_Pe4at_Fail, &QAction::triggered, this, &TForm_Artikuli::N_Pe4at_FailClick);
    connect(ui->N_Elikom, &QAction::triggered, this, &TForm_Artikuli::N_ElikomClick);
    connect(ui->N_Grupa, &QAction::triggered, this, [this] { N_GrupaClick(false); });
    connect(ui->N_Podgrupa, &QAction::triggered, this, [this] { N_GrupaClick(true); });
    connect(ui->N_Grupa_Redaktiraj, &QAction::triggered, this, &TForm_Artikuli::N_Grupa_RedaktirajClick);
    connect(ui->N_Grupa_Iztrii, &QAction::triggered, this, &TForm_Artikuli::N_Grupa_IztriiClick);
    connect(ui->N_Dostavka, &QAction::triggered, this, &TForm_Artikuli::N_DostavkaClick);
    connect(ui->N_Nastroika_Koloni, &QAction::triggered, this,
            [this] { Nastr_Koloni_Grid(ui->DBGrid_Artikuli); });

    connect(grid, &QTableView::doubleClicked, this, &TForm_Artikuli::DBGridDblClick);
    connect(grid, &ArticleGrid::enterPressed, this, &TForm_Artikuli::DBGridDblClick);
    connect(grid, &QTableView::clicked, this, &TForm_Artikuli::DBGridCellClick);
    connect(grid, &ArticleGrid::markAllRequested, this, &TForm_Artikuli::N_Markirai_Vsi4kiClick);

    ArticleGroupTree* tree = ui->TreeView_Grupi;
    // A node lists its articles when it becomes current, and again when it
    // is clicked while current (after a search, say).
    connect(tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (node)
            TreeViewClick(node);
    });
    connect(tree, &QTreeWidget::itemClicked, this, [this, tree](QTreeWidgetItem* node) {
        if (tree->pressWasOnCurrent())
            TreeViewClick(node);
    });
    connect(tree, &ArticleGroupTree::articlesDropped, this, &TForm_Artikuli::TreeViewDragDrop);
    connect(tree, &ArticleGroupTree::groupDropped, this, &TForm_Artikuli::TreeViewGroupDrop);

    ui->ComboBox_Kriterii->addItems(articleCriterionCaptions());
    for (QStringView c : articleComparisonCaptions)
        ui->ComboBox_Uslovie->addItem(c.toString());
    connect(ui->ComboBox_Kriterii, &QComboBox::activated, this, &TForm_Artikuli::ComboBox_KriteriiChange);
    setSearchLine({ui->Label_Tarsene_Po,
                   ui->ComboBox_Uslovie,
                   int(ArticleComparison::Between),
                   {ui->Label_Ot, ui->Label_Do, ui->Edit_Do}});
    connect(ui->CheckBox_Chast_Ot_Duma, &QCheckBox::clicked, this,
            &TForm_Artikuli::CheckBox_Chast_Ot_DumaClick);
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_Artikuli::Button_TarsiClick);
    connect(ui->Edit_Ot, &QLineEdit::returnPressed, this, &TForm_Artikuli::Button_TarsiClick);
    connect(ui->Edit_Do, &QLineEdit::returnPressed, this, &TForm_Artikuli::Button_TarsiClick);

    connect(ui->ComboBox_Grupa_Kriterii, &QComboBox::activated, this,
            &TForm_Artikuli::ComboBox_Grupa_KriteriiChange);
    connect(ui->Button_Grupa_Tarsi, &QPushButton::clicked, this, &TForm_Artikuli::Button_Grupa_TarsiClick);
    connect(ui->Edit_Grupa_Tarsi, &QLineEdit::returnPressed, this, &TForm_Artikuli::Button_Grupa_TarsiClick);
    connect(ui->Edit_Grupa_Tarsi, &QLineEdit::textChanged, this, [this](const QString& text) {
        // While searching by number an emptied box shows "0".
        if (text.isEmpty() && ui->ComboBox_Grupa_Kriterii->currentIndex() == kCodeCriterion) {
            ui->Edit_Grupa_Tarsi->setText(QStringLiteral("0"));
            ui->Edit_Grupa_Tarsi->selectAll();
        }
    });
    ui->Edit_Grupa_Tarsi->installEventFilter(this);
    connect(ui->ListBox_Grupi, &QListWidget::itemDoubleClicked, this, &TForm_Artikuli::ListBox_GrupiDblClick);

    connect(ui->BitBtn_Izberi, &QPushButton::clicked, this, &TForm_Artikuli::BitBtn_IzberiClick);
    connect(ui->BitBtn_Otkaji, &QPushButton::clicked, this, &QDialog::reject);

    setCriterion(int(ArticleCriterion::Number));
}

TForm_Artikuli::~TForm_Artikuli() = default;

ArticleGrid* TForm_Artikuli::grid() const {
    return ui->DBGrid_Artikuli;
}

ArticleGroupTree* TForm_Artikuli::tree() const {
    return ui->TreeView_Grupi;
}

QString TForm_Artikuli::treeFile() const {
    return articleTreeFile(session_.workspace.directory());
}

void TForm_Artikuli::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

bool TForm_Artikuli::eventFilter(QObject* watched, QEvent* event) {
    // A click in the group search box selects its text.
    if (watched == ui->Edit_Grupa_Tarsi && event->type() == QEvent::MouseButtonRelease)
        QTimer::singleShot(0, ui->Edit_Grupa_Tarsi, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void TForm_Artikuli::FormShow() {
    QList<TreeLine> lines{{0, texts::kAllArticlesNode}};
    // Every group has its node and the bin shows when articles wait there.
    guarded([&] { lines = checkArticleTree(session_.db(), treeFile()); });
    ComboBox_Grupa_KriteriiChange(kCodeCriterion);
    setCriterion(int(ArticleCriterion::Number));
    buildTree(lines);
}

void TForm_Artikuli::buildTree(const QList<TreeLine>& lines, const QString& select) {
    QTreeWidget* tree = ui->TreeView_Grupi;
    showTreeLines(tree, lines);
    QTreeWidgetItem* node = nullptr;
    if (!select.isEmpty()) {
        const auto found = tree->findItems(select, Qt::MatchExactly | Qt::MatchRecursive);
        if (!found.isEmpty())
            node = found.front();
    }
    if (!node)
        node = tree->topLevelItem(0);
    tree->setCurrentItem(node);
    if (node)
        tree->scrollToItem(node);
}

QList<TreeLine> TForm_Artikuli::treeLines() const {
    return treeWidgetLines(ui->TreeView_Grupi);
}

QString TForm_Artikuli::currentNode() const {
    const QTreeWidgetItem* node = ui->TreeView_Grupi->currentItem();
    return node ? node->text(0) : QString();
}

std::optional<qint64> TForm_Artikuli::currentGroup() const {
    return groupOfNode(currentNode());
}

bool TForm_Artikuli::selectNode(const QString& text) {
    const auto found = ui->TreeView_Grupi->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty())
        return false;
    if (ui->TreeView_Grupi->currentItem() == found.front())
        listCurrentNode();
    else
        ui->TreeView_Grupi->setCurrentItem(found.front());
    ui->TreeView_Grupi->scrollToItem(found.front());
    return true;
}

void TForm_Artikuli::showList(const SqlStatement& statement, const std::optional<GridColumnSpec>& extra) {
    open(statement);
    QList<GridColumnSpec> columns = standardColumns();
    if (extra)
        columns << *extra;
    if (!sameColumns(columns, model()->columns()))
        model()->setColumns(columns);
}

void TForm_Artikuli::TreeViewClick(QTreeWidgetItem* node) {
    if (node && node == ui->TreeView_Grupi->currentItem())
        listCurrentNode();
}

void TForm_Artikuli::listCurrentNode() {
    const QString node = currentNode();
    SqlStatement s;
    if (node == texts::kAllArticlesNode)
        s = allArticlesStatement();
    else if (isBinNode(node))
        s = binArticlesStatement();
    else
        s = groupArticlesStatement(currentGroup().value_or(-1));
    // A listing that fails keeps the grid as it was.
    logged([&] { showList(s, std::nullopt); });
    listShown();
}

void TForm_Artikuli::listShown() {
    const bool bin = isBinNode(currentNode());
    const bool rows = model()->rowCount() > 0;
    ui->N_Nov->setEnabled(!bin);
    ui->N_Vav_Artikul->setEnabled(!bin);
    ui->N_Redaktiraj->setEnabled(!bin && rows);
    ui->N_Iztrii->setEnabled(!bin && rows);
}

qint64 TForm_Artikuli::currentId() const {
    const QVariant key = currentKey();
    return key.isValid() ? key.toLongLong() : -1;
}

void TForm_Artikuli::noteMarks(const QItemSelection& selected, const QItemSelection& deselected) {
    bool removed = false;
    for (const QItemSelectionRange& r : deselected)
        for (int row = r.top(); row <= r.bottom(); ++row)
            removed |= markedSet_.remove(model()->value(row, QStringLiteral("ID")).toLongLong());
    if (removed)
        marked_.removeIf([this](qint64 id) { return !markedSet_.contains(id); });
    for (const QItemSelectionRange& r : selected)
        for (int row = r.top(); row <= r.bottom(); ++row) {
            const qint64 id = model()->value(row, QStringLiteral("ID")).toLongLong();
            if (!markedSet_.contains(id)) {
                markedSet_.insert(id);
                marked_ << id;
            }
        }
}

QList<qint64> TForm_Artikuli::markedIds() const {
    if (!marked_.isEmpty())
        return marked_;
    const qint64 id = currentId();
    return id >= 0 ? QList<qint64>{id} : QList<qint64>{};
}

// Articles.

void TForm_Artikuli::openArticle(bool edit) {
    TForm_NewArtikul dialog(context_, this);
    const qint64 was = currentId();
    if (edit) {
        if (was < 0 || !dialog.openEdit(was))
            return;
    } else {
        dialog.openNew(*currentGroup());
    }
    dialog.exec();
    const qint64 keep = dialog.savedId() >= 0 ? dialog.savedId() : was;
    listCurrentNode();
    positionOn(keep);
}

void TForm_Artikuli::N_NovClick() {
    if (isBinNode(currentNode()))
        return;
    if (!currentGroup()) {
        showMessage(texts::kChooseGroupForArticle);
        return;
    }
    openArticle(false);
}

void TForm_Artikuli::N_RedaktirajClick() {
    if (isBinNode(currentNode()) || currentId() < 0)
        return;
    openArticle(true);
}

void TForm_Artikuli::DBGridDblClick() {
    if (model()->rowCount() == 0)
        N_NovClick();
    else
        N_RedaktirajClick();
}

void TForm_Artikuli::N_IztriiClick() {
    const qint64 id = currentId();
    if (isBinNode(currentNode()) || id < 0)
        return;
    const QModelIndex current = ui->DBGrid_Artikuli->currentIndex();
    const QString ref = refText(id, model()->value(current.row(), QStringLiteral("Opisanie")).toString());
    ArticleDeletion done = ArticleDeletion::Gone;
    if (!guarded([&] { done = deleteArticle(session_.db(), id); }))
        return;
    const int row = current.row();
    if (done == ArticleDeletion::Binned) {
        // The bin appears in the tree when the first article goes there.
        QList<TreeLine> lines;
        if (findTreeNode(treeLines(), texts::kDeletedArticlesNode) < 0 &&
            guarded([&] { lines = ensureArticleBinNode(treeFile()); }))
            buildTree(lines, currentNode());
        showMessage(texts::kArticleBinned.arg(ref));
    }
    listCurrentNode();
    if (model()->rowCount() > 0)
        ui->DBGrid_Artikuli->setCurrentIndex(model()->index(qMin(row, model()->rowCount() - 1), 0));
}

void TForm_Artikuli::N_Markirai_Vsi4kiClick() {
    logged([&] { model()->fetchAll(); });
    ui->DBGrid_Artikuli->selectAll();
}

void TForm_Artikuli::N_Nali4nostiClick() {
    const QList<qint64> ids = markedIds();
    if (ids.isEmpty())
        return;
    const std::optional<SqlStatement> statement =
        markedArticlesStockStatement(QList<qint64>(ids.rbegin(), ids.rend()));
    if (!statement) {
        showMessage(texts::kStockOfAllArticles);
        return;
    }
    guarded([&] {
        const bool standard = model()->columns().size() <= qsizetype(articleColumns.size());
        showList(*statement, std::nullopt);
        if (model()->rowCount() > 0 && standard) {
            QList<GridColumnSpec> columns = standardColumns();
            columns << GridColumnSpec{QStringLiteral("All_Kol"), QStringLiteral("Нал. кол."), 10,
                                      GridColumnSpec::Number, session_.displayDecimals()};
            model()->setColumns(columns);
        }
    });
}

void TForm_Artikuli::N_Ob6ti_DanniClick() {
    const QList<qint64> ids = markedIds();
    if (ids.isEmpty()) {
        showMessage(texts::kCommonDataNothingMarked);
        return;
    }
    TForm_Ob6ti_Danni_artikuli dialog(context_, ids, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const qint64 keep = currentId();
    logged([&] { model()->reread(); });
    positionOn(keep);
}

void TForm_Artikuli::N_Pe4at_FailClick() {
    GridExport what;
    what.name = QStringLiteral("Export_Articles");
    what.heading = {QString(), texts::kExportHeading, QString(), exportDateLine(session_.now())};
    what.footerPrefix = QStringLiteral("\t");
    printList(what);
}

void TForm_Artikuli::N_ElikomClick() {
    if (model()->rowCount() == 0) {
        showMessage(texts::kNothingToPrint);
        return;
    }
    QString file = Messages::current().saveFileName(texts::kScaleFileCaption,
                                                    QDir(QDir::homePath()).filePath(texts::kScaleFileName),
                                                    texts::kScaleFileFilter);
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".txt");
    const QList<qint64> ids = markedIds();
    guarded([&] { writeScaleFile(file, scaleFileLines(session_.db(), ids)); });
}

void TForm_Artikuli::N_KontragentiClick() {
    pickCounterparty(context_, kBrowseCounterparties, this);
}

// Groups.

void TForm_Artikuli::N_GrupaClick(bool subgroup) {
    const QString parent = currentNode();
    if (subgroup && (parent.isEmpty() || isBinNode(parent))) {
        showMessage(texts::kChooseValidGroup);
        return;
    }
    TForm_Grupi dialog(context_, (subgroup ? ui->N_Podgrupa : ui->N_Grupa)->text(),
                       subgroup ? parent : QString(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The tree as the file holds it now, with the groups other workstations
    // added meanwhile.
    buildTree(dialog.tree(), refText(dialog.number(), dialog.name()));
}

void TForm_Artikuli::N_Grupa_RedaktirajClick() {
    const QString node = currentNode();
    const std::optional<qint64> group = groupOfNode(node);
    if (!group) {
        showMessage(texts::kChooseValidGroup);
        return;
    }
    QString name = refDescription(node);
    guarded([&] { name = articleGroupName(session_.db(), *group).value_or(name); });
    TForm_Grupi dialog(context_, *group, name, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    buildTree(dialog.tree(), refText(dialog.number(), dialog.name()));
}

void TForm_Artikuli::N_Grupa_IztriiClick() {
    const QString node = currentNode();
    if (!groupOfNode(node)) {
        showMessage(texts::kChooseValidGroup);
        return;
    }
    // The questions are about the tree shown; when the file or the articles
    // changed meanwhile, the tree is shown as it is now and asked about again.
    QList<TreeLine> shown = treeLines();
    for (;;) {
        const qsizetype at = findTreeNode(shown, node);
        if (at < 0)
            return;
        if (treeSubtreeEnd(shown, at) > at + 1 && !askYesNo(texts::kAskDeleteSubgroups))
            return;
        const QList<qint64> groups = subtreeGroups(shown, node);
        bool articles = false;
        if (!guarded([&] { articles = groupsHaveArticles(session_.db(), groups); }))
            return;
        if (articles && !askYesNo(texts::kAskDeleteGroupArticles))
            return;
        std::optional<ArticleRemoval> removal;
        if (!guarded([&] {
                removal = deleteArticleGroupNode(session_.db(), treeFile(), node, groups, articles, &shown);
            }))
            return;
        if (removal) {
            buildTree(shown);
            if (removal->binned > 0)
                showMessage(texts::kArticlesBinned.arg(removal->binned));
            return;
        }
        buildTree(shown, node);
    }
}

void TForm_Artikuli::N_DostavkaClick() {
    const std::optional<qint64> group = currentGroup();
    if (!group) {
        showMessage(texts::kChooseValidGroup);
        return;
    }
    // A new delivery of this workstation with a line for each of the group's articles.
    TForm_Dostavki delivery(context_, this);
    if (delivery.openForGroup(*group) == 0)
        showMessage(texts::kDeliveryGroupEmpty);
    delivery.exec();
}

// Moving.

void TForm_Artikuli::TreeViewDragDrop(QTreeWidgetItem* node) {
    const QList<qint64> ids = markedIds();
    if (!node || ids.isEmpty())
        return;
    const QString text = node->text(0);
    // Only a group takes articles: the root and the bin have none.
    const std::optional<qint64> group = groupOfNode(text);
    if (!group) {
        showMessage(texts::kChooseValidGroup);
        return;
    }
    if (!askYesNo(texts::kAskMoveArticles + text))
        return;
    std::optional<ArticleRefusal> refused;
    if (!guarded([&] { refused = moveArticlesToGroup(session_.db(), ids, *group); }))
        return;
    if (refused)
        showMessage(refused->message);
    ComboBox_Grupa_KriteriiChange(kCodeCriterion);
    listCurrentNode();
}

void TForm_Artikuli::TreeViewGroupDrop(const QString& groupText, QTreeWidgetItem* node) {
    if (!node || !groupOfNode(groupText))
        return;
    const QString target = node->text(0);
    if (isBinNode(target)) {
        showMessage(texts::kChooseValidGroup);
        return;
    }
    const QList<TreeLine> shown = treeLines();
    if (isInTreeSubtree(shown, findTreeNode(shown, groupText), findTreeNode(shown, target))) {
        showMessage(texts::kGroupIntoItself);
        return;
    }
    if (!askYesNo(texts::kAskMoveGroup + groupText))
        return;
    QList<TreeLine> lines;
    try {
        lines = moveArticleTreeNode(treeFile(), groupText, target);
    } catch (const std::invalid_argument& e) {
        // The groups as re-read from the file refuse the move.
        reportError(e, texts::kGroupIntoItself);
        return;
    } catch (const std::exception& e) {
        reportError(e);
        return;
    }
    buildTree(lines, groupText);
}

// The article search.

void TForm_Artikuli::setCriterion(int criterion) {
    criterion_ = criterion;
    // A criterion is no column of the grid: no title is marked.
    setSearchColumn(-1, articleCriterionCaptions().value(criterion),
                    isNumericCriterion(ArticleCriterion(criterion)));
    const QSignalBlocker block(ui->ComboBox_Kriterii);
    ui->ComboBox_Kriterii->setCurrentIndex(criterion);
}

void TForm_Artikuli::DBGridCellClick(const QModelIndex& index) {
    if (!index.isValid() || index.column() >= int(articleColumns.size()))
        return;
    setCriterion(int(criterionOfColumn(index.column())));
    ui->Edit_Ot->setFocus();
}

void TForm_Artikuli::ComboBox_KriteriiChange(int index) {
    if (index < 0)
        return;
    setCriterion(index);
    ui->Edit_Ot->clear();
    ui->Edit_Ot->setFocus();
}

void TForm_Artikuli::CheckBox_Chast_Ot_DumaClick() {
    ui->CheckBox_Chast_Ot_Duma->setToolTip(ui->CheckBox_Chast_Ot_Duma->isChecked() ? texts::kSearchPartOfWord
                                                                                   : texts::kSearchWholeWord);
}

void TForm_Artikuli::Button_TarsiClick() {
    const ArticleCriterion criterion = ArticleCriterion(criterion_);
    const ArticleComparison comparison =
        this->comparison() < 0 ? ArticleComparison::Equal : ArticleComparison(this->comparison());
    try {
        showList(articleSearchStatement(criterion, comparison, ui->Edit_Ot->text(), ui->Edit_Do->text(),
                                        ui->CheckBox_Chast_Ot_Duma->isChecked(), sqlEngine(session_.db())),
                 std::nullopt);
    } catch (const std::exception& e) {
        reportError(e, texts::kBadSearchCriterion);
        listCurrentNode();
        return;
    }
    if (criterion == ArticleCriterion::CounterpartyNumber && model()->rowCount() > 0) {
        QList<GridColumnSpec> columns = standardColumns();
        columns << GridColumnSpec{kCounterpartyNameField, QStringLiteral("Име на фирма"), 20};
        model()->setColumns(columns);
    }
}

QString TForm_Artikuli::sortField(int column) const {
    // An added column (stock, counterparty) sorts by its own field.
    if (column >= 0 && column < int(articleColumns.size()))
        return articleColumns[size_t(column)].sortBy.toString();
    return ListWindow::sortField(column);
}

// The group search.

void TForm_Artikuli::ComboBox_Grupa_KriteriiChange(int index) {
    {
        const QSignalBlocker block(ui->ComboBox_Grupa_Kriterii);
        ui->ComboBox_Grupa_Kriterii->setCurrentIndex(index);
    }
    ui->Edit_Grupa_Tarsi->setText(QStringLiteral("0"));
    ui->ListBox_Grupi->hide();
    groupMatches_.clear();
}

void TForm_Artikuli::Button_Grupa_TarsiClick() {
    const QString text = ui->Edit_Grupa_Tarsi->text();
    try {
        if (ui->ComboBox_Grupa_Kriterii->currentIndex() == kCodeCriterion) {
            const std::optional<QString> name = groupNameByNumber(session_.db(), text);
            if (!name || !selectNode(refText(*parseKeyNumber(text), *name))) {
                showMessage(texts::kCodeNotFound);
                ui->Edit_Grupa_Tarsi->setFocus();
            }
            return;
        }
        groupMatches_ = groupsByName(session_.db(), text);
    } catch (const std::exception& e) {
        reportError(e, texts::kBadSearchCriterion);
        return;
    }
    if (groupMatches_.size() > 1) {
        ui->ListBox_Grupi->clear();
        for (const GroupRow& g : groupMatches_)
            ui->ListBox_Grupi->addItem(g.name);
        ui->ListBox_Grupi->setCurrentRow(0);
        ui->ListBox_Grupi->show();
        return;
    }
    if (groupMatches_.isEmpty() ||
        !selectNode(refText(groupMatches_.front().id, groupMatches_.front().name))) {
        showMessage(texts::kGroupNotFound);
        ui->Edit_Grupa_Tarsi->setFocus();
    }
}

void TForm_Artikuli::ListBox_GrupiDblClick(QListWidgetItem* item) {
    const int row = item ? ui->ListBox_Grupi->row(item) : -1;
    ui->ListBox_Grupi->hide();
    if (row < 0 || row >= groupMatches_.size())
        return;
    if (!selectNode(refText(groupMatches_[row].id, groupMatches_[row].name)))
        showMessage(texts::kGroupNotFound);
}

// Choosing.

void TForm_Artikuli::BitBtn_IzberiClick() {
    ArticleChoice choice;
    choice.mode = mode_;
    choice.groupNode = currentNode();
    if (mode_ == kSelectDiscountGroup) {
        // A discount is given to a group, never to the root or the bin.
        if (!groupOfNode(choice.groupNode)) {
            showMessage(texts::kChooseValidGroup);
            return;
        }
        chosen_ = choice;
        accept();
        return;
    }
    const QList<qint64> ids = markedIds();
    if (ids.isEmpty())
        return;
    QList<ArticleSummary> summaries;
    if (!guarded([&] { summaries = articleSummaries(session_.db(), ids); }))
        return;
    auto picked = [](const ArticleSummary& s) {
        return PickedArticle{s.id, s.catalogueNumber, s.description, s.price, s.currency, s.unit, s.warranty,
                             {}};
    };
    for (const ArticleSummary& s : summaries) {
        PickedArticle a = picked(s);
        if (s.id == currentId())
            choice.current = a;
        if (articleModeAsksQuantity(mode_)) {
            a.quantity = askQuantity(a.refText(), this);
            if (!a.quantity)
                continue;
        }
        choice.articles << a;
    }
    if (!choice.current && currentId() >= 0)
        guarded([&] {
            const QList<ArticleSummary> current = articleSummaries(session_.db(), {currentId()});
            if (!current.isEmpty())
                choice.current = picked(current.front());
        });
    chosen_ = choice;
    accept();
}

} // namespace torvika
