#include "common/ui/statement_model.h"

#include "common/cformat.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/sql.h"

#include <QDate>
#include <QHeaderView>
#include <QTableView>

namespace torvika {

namespace {

// Widest a column grows by its content, in characters.
constexpr int kMaxContentChars = 48;

bool isNumeric(GridColumnSpec::Format f) {
    return f == GridColumnSpec::Integer || f == GridColumnSpec::Number;
}

} // namespace

StatementModel::StatementModel(QObject* parent) : QAbstractTableModel(parent) {}

void StatementModel::setColumns(const QList<GridColumnSpec>& columns) {
    beginResetModel();
    columns_ = columns;
    columnFields_.clear();
    for (const GridColumnSpec& c : columns_)
        columnFields_ << fieldIndex(c.field);
    endResetModel();
}

int StatementModel::fieldIndex(const QString& field) const {
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void StatementModel::setStatement(const QSqlDatabase& db, const SqlStatement& statement) {
    const SqlRows first = readRows(db, statement.text, statement.values, pageSize_ > 0 ? pageSize_ : -1, 0);
    beginResetModel();
    db_ = db;
    statement_ = statement;
    fields_ = first.fields;
    rows_ = first.rows;
    complete_ = pageSize_ <= 0 || rows_.size() < pageSize_;
    columnFields_.clear();
    for (const GridColumnSpec& c : columns_)
        columnFields_ << fieldIndex(c.field);
    endResetModel();
}

void StatementModel::reread() {
    if (db_.isValid())
        setStatement(db_, statement_);
}

void StatementModel::clear() {
    beginResetModel();
    rows_.clear();
    complete_ = true;
    endResetModel();
}

void StatementModel::readPage() {
    const SqlRows page = readRows(db_, statement_.text, statement_.values, pageSize_, rows_.size());
    complete_ = page.rows.size() < pageSize_;
    if (page.rows.isEmpty())
        return;
    beginInsertRows({}, int(rows_.size()), int(rows_.size() + page.rows.size() - 1));
    rows_ += page.rows;
    endInsertRows();
}

bool StatementModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !complete_;
}

void StatementModel::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent))
        readPage();
}

void StatementModel::fetchAll() {
    while (!complete_)
        readPage();
}

QVariant StatementModel::value(int row, const QString& field) const {
    return value(row, fieldIndex(field));
}

QVariant StatementModel::value(int row, int statementColumn) const {
    if (row < 0 || row >= rows_.size() || statementColumn < 0 || statementColumn >= fields_.size())
        return {};
    return rows_[row][statementColumn];
}

int StatementModel::findRow(const QString& field, const QVariant& v) {
    const int column = fieldIndex(field);
    if (column < 0)
        return -1;
    for (int row = 0;; ++row) {
        if (row == rows_.size()) {
            if (complete_)
                return -1;
            readPage();
            if (row == rows_.size())
                return -1;
        }
        if (rows_[row][column] == v || rows_[row][column].toString() == v.toString())
            return row;
    }
}

int StatementModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int StatementModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QString StatementModel::displayText(const QVariant& v, const GridColumnSpec& c) {
    if (v.isNull())
        return {};
    switch (c.format) {
    case GridColumnSpec::Integer:
        return QString::number(v.toLongLong());
    case GridColumnSpec::Number: {
        // Rounded as the decimal the column holds (2.675 shows "2.68").
        const std::optional<Decimal> d = Decimal::fromVariant(v);
        return d ? formatFixed(*d, c.decimals, 0) : v.toString();
    }
    case GridColumnSpec::Date: {
        const QDate d = QDate::fromString(v.toString().left(10), Qt::ISODate);
        return d.isValid() ? shortDate(d) : v.toString();
    }
    case GridColumnSpec::Time:
        return v.toString().left(8);
    case GridColumnSpec::Text:
        break;
    }
    return v.toString();
}

QVariant StatementModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size() || index.column() >= columns_.size())
        return {};
    const GridColumnSpec& c = columns_[index.column()];
    const int field = columnFields_[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return field < 0 ? QVariant() : QVariant(displayText(rows_[index.row()][field], c));
    case Qt::EditRole:
        return field < 0 ? QVariant() : rows_[index.row()][field];
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (isNumeric(c.format) ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant StatementModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    auto it = headerRoles_.constFind({section, role});
    if (it != headerRoles_.cend())
        return *it;
    if (role == Qt::DisplayRole)
        return columns_[section].title;
    return {};
}

bool StatementModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                   int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return false;
    headerRoles_.insert({section, role == Qt::EditRole ? int(Qt::DisplayRole) : role}, value);
    emit headerDataChanged(orientation, section, section);
    return true;
}

void setUpStatementGrid(QTableView* view, StatementModel* model, bool multiSelect) {
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                       : QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setResizeContentsPrecision(200);
    QObject::connect(model, &QAbstractItemModel::modelReset, view, [view] { fitGridColumns(view); });
    fitGridColumns(view);
}

void fitGridColumns(QTableView* view) {
    auto* model = qobject_cast<StatementModel*>(view->model());
    if (!model)
        return;
    const QFontMetrics fm = view->fontMetrics();
    const int charWidth = fm.horizontalAdvance(QLatin1Char('0'));
    for (int i = 0; i < model->columnCount(); ++i) {
        const GridColumnSpec& c = model->columns()[i];
        if (c.width > 0) {
            view->setColumnWidth(i, c.width * charWidth + 12);
            continue;
        }
        view->resizeColumnToContents(i);
        const int title = view->horizontalHeader()->sectionSizeHint(i);
        view->setColumnWidth(i,
                             qBound(title, view->columnWidth(i), qMax(title, kMaxContentChars * charWidth)));
    }
}

} // namespace torvika
