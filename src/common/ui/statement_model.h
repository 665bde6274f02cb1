#pragma once
// The one way a grid gets its rows: a statement of the logic, shown through
// a column list (field, title, width, format). The rows are read page by
// page and each page's statement is finished before it is shown, so a grid
// never holds a read open on the database (an open read would keep other
// workstations from saving). Edits go through logic functions and a reread.

#include "common/sql_statement.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSqlDatabase>

class QTableView;

namespace torvika {

struct GridColumnSpec {
    enum Format { Text, Integer, Number, Date, Time };
    QString field; // the statement's column
    QString title;
    int width = 0; // in characters; 0: as wide as title and content need
    Format format = Text;
    int decimals = 2; // of a Number
};

class StatementModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit StatementModel(QObject* parent = nullptr);

    // The shown columns. Fields of the statement that no column shows can
    // still be read with value().
    void setColumns(const QList<GridColumnSpec>& columns);
    const QList<GridColumnSpec>& columns() const { return columns_; }
    // Rows read per page; 0 reads every row at once.
    void setPageSize(int rows) { pageSize_ = rows; }

    // Shows the statement's rows (the first page of them). Throws
    // EDatabaseError; the rows shown before stay then.
    void setStatement(const QSqlDatabase& db, const SqlStatement& statement);
    // Reads the same statement again.
    void reread();
    const SqlStatement& statement() const { return statement_; }
    // The statement's column names, as last read.
    const QStringList& fields() const { return fields_; }
    // Empties the grid.
    void clear();

    // A field of a row read so far: by its statement column name, or by the
    // statement column's position.
    QVariant value(int row, const QString& field) const;
    QVariant value(int row, int statementColumn) const;
    int fieldIndex(const QString& field) const;
    // The first row whose field has the value, reading further pages while
    // it is not found; -1 when no row has it.
    int findRow(const QString& field, const QVariant& value);
    // Reads every remaining page.
    void fetchAll();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;

    // The displayed text of a value in a column's format.
    static QString displayText(const QVariant& value, const GridColumnSpec& column);

private:
    void readPage();

    QList<GridColumnSpec> columns_;
    QList<int> columnFields_; // statement column of each shown column (-1 when missing)
    QSqlDatabase db_;
    SqlStatement statement_;
    QStringList fields_;
    QList<QVariantList> rows_;
    QHash<QPair<int, int>, QVariant> headerRoles_;
    int pageSize_ = 500;
    bool complete_ = true;
};

// Sets up a read-only grid of whole rows for the model: the columns take
// the widths of their column list, or as much as title and content need.
void setUpStatementGrid(QTableView* view, StatementModel* model, bool multiSelect = false);
// Gives the columns the widths of their column list again (after new rows).
void fitGridColumns(QTableView* view);

} // namespace torvika
