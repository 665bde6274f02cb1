#include "common/ui/list_window.h"

#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"

#include <QBrush>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableView>
#include <algorithm>

namespace torvika {

ListWindow::ListWindow(QWidget* parent) : QDialog(parent) {}

ListWindow::~ListWindow() = default;

void ListWindow::setUpList(const GridContext& context, QTableView* grid, const QList<GridColumnSpec>& columns,
                           const QString& keyField, bool marking) {
    context_ = context;
    grid_ = grid;
    keyField_ = keyField;
    model_ = new StatementModel(this);
    model_->setColumns(columns);
    setUpStatementGrid(grid_, model_, marking);
    grid_->horizontalHeader()->setSectionsClickable(true);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, &ListWindow::sortByTitle);
}

QSqlDatabase ListWindow::database() const {
    return context_.database();
}

QVariant ListWindow::currentKey() const {
    const QModelIndex current = grid_->currentIndex();
    return current.isValid() ? model_->value(current.row(), keyField_) : QVariant();
}

bool ListWindow::positionOn(const QVariant& key) {
    if (!key.isValid())
        return false;
    const int row = model_->findRow(keyField_, key);
    if (row < 0)
        return false;
    const QModelIndex current = grid_->currentIndex();
    const QModelIndex at = model_->index(row, current.isValid() ? current.column() : qMax(searchColumn_, 0));
    grid_->setCurrentIndex(at);
    grid_->scrollTo(at);
    return true;
}

QList<QVariant> ListWindow::markedKeys() const {
    QList<int> rows;
    for (const QModelIndex& index : grid_->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QList<QVariant> keys;
    for (int r : rows)
        keys << model_->value(r, keyField_);
    return keys;
}

QList<QVariant> ListWindow::shownKeys() {
    model_->fetchAll();
    QList<QVariant> keys;
    for (int r = 0; r < model_->rowCount(); ++r)
        keys << model_->value(r, keyField_);
    return keys;
}

void ListWindow::open(const SqlStatement& statement) {
    model_->setStatement(database(), statement);
    listShown();
}

bool ListWindow::search(const std::function<SqlStatement()>& make, const QString& failureText) {
    try {
        open(make());
        return true;
    } catch (const std::exception& e) {
        reportError(e, failureText);
        return false;
    }
}

QString ListWindow::sortField(int column) const {
    return model_->columns().value(column).field;
}

void ListWindow::sortByTitle(int column) {
    const QString field = sortField(column);
    if (field.isEmpty())
        return;
    const QVariant keep = currentKey();
    try {
        open(ORDER_SQL(model_->statement(), field, *context_.sortDirection));
    } catch (const std::exception& e) {
        reportError(e, texts::kNothingToSort);
        return;
    }
    positionOn(keep);
}

void ListWindow::setSearchLine(const SearchLine& line) {
    line_ = line;
    if (line_.comparison)
        connect(line_.comparison, &QComboBox::currentIndexChanged, this, &ListWindow::updateRange);
    updateRange();
}

void ListWindow::setSearchRange(const QList<QWidget*>& range) {
    for (QWidget* w : line_.range)
        w->setVisible(false);
    line_.range = range;
    updateRange();
}

void ListWindow::setSearchColumn(int column, const QString& caption, bool byValue) {
    searchColumn_ = column;
    byValue_ = byValue;
    if (line_.label)
        line_.label->setText(texts::kSearchBy + caption);
    for (int i = 0; i < model_->columnCount(); ++i)
        model_->setHeaderData(i, Qt::Horizontal, i == column ? QVariant(QBrush(Qt::red)) : QVariant(),
                              line_.markRole);
    if (line_.comparison) {
        const QSignalBlocker block(line_.comparison);
        line_.comparison->setCurrentIndex(0);
        line_.comparison->setEnabled(byValue);
    }
    updateRange();
}

int ListWindow::comparison() const {
    return byValue_ && line_.comparison ? line_.comparison->currentIndex() : -1;
}

void ListWindow::updateRange() {
    const bool range = line_.comparison && byValue_ && line_.comparison->currentIndex() == line_.between;
    for (QWidget* w : line_.range)
        w->setVisible(range);
}

QString ListWindow::printList(const GridExport& what) {
    if (model_->rowCount() == 0) {
        showMessage(texts::kNothingToPrint);
        return {};
    }
    return exportGrid(context_, this, grid_, what);
}

} // namespace torvika
