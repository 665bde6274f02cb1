#pragma once
// The base of a window that lists a statement: the grid (a StatementModel
// over the statement last shown), the search line (the column searched in,
// marked in the titles and named in its label; the comparison, offered for
// columns compared by value; the second value of "between"), the sort by a
// click on a column title (ORDER_SQL on the statement shown, the current
// row kept), and the print of the list into a grid export file. The window
// builds its statements in the logic and says which field a title sorts.

#include "common/grid_context.h"
#include "common/ui/grid_file.h"
#include "common/ui/statement_model.h"

#include <QDialog>
#include <QList>
#include <QVariant>

class QComboBox;
class QLabel;
class QTableView;

namespace torvika {

class ListWindow : public QDialog {
    Q_OBJECT
public:
    ~ListWindow() override;

    StatementModel* model() const { return model_; }
    QTableView* grid() const { return grid_; }
    // The statement shown (as sorted).
    const SqlStatement& statement() const { return model_->statement(); }
    // The key of the current row; invalid without one.
    QVariant currentKey() const;
    // Makes the row with the key current (in the current column); false
    // when it is not listed.
    bool positionOn(const QVariant& key);
    // The keys of the marked rows, in list order.
    QList<QVariant> markedKeys() const;
    // The keys of every row of the statement, in list order.
    QList<QVariant> shownKeys();

protected:
    explicit ListWindow(QWidget* parent = nullptr);

    // Call once, after setupUi: the grid, its columns, the key field of the
    // statement's rows, and whether several rows can be marked.
    void setUpList(const GridContext& context, QTableView* grid, const QList<GridColumnSpec>& columns,
                   const QString& keyField, bool marking = false);
    const GridContext& context() const { return context_; }
    QSqlDatabase database() const;

    // Shows the statement's rows. Throws EDatabaseError; the rows shown
    // before stay then.
    void open(const SqlStatement& statement);
    // Shows the statement a search builds. A failure (a value that is no
    // number, a statement the database refuses) is reported with the text;
    // false then, and the rows shown before stay.
    bool search(const std::function<SqlStatement()>& make, const QString& failureText);

    // The search line: the label naming the column searched in, the
    // comparison, its item "between", the controls shown only for
    // "between" (captions and the second value), and the header role that
    // marks the column's title.
    struct SearchLine {
        QLabel* label = nullptr;
        QComboBox* comparison = nullptr;
        int between = -1;
        QList<QWidget*> range{};
        int markRole = Qt::ForegroundRole;
    };
    void setSearchLine(const SearchLine& line);
    // Other controls for "between" (a column of another kind of value).
    void setSearchRange(const QList<QWidget*>& range);
    // Makes the column the one searched in: its title marked, its caption in
    // the label, the comparison back at its first item ("="), offered only
    // when the column is compared by value. Column -1 marks no title (a
    // criterion that is no column of the grid).
    void setSearchColumn(int column, const QString& caption, bool byValue);
    int searchColumn() const { return searchColumn_; }
    // The comparison chosen; -1 for a column not compared by value.
    int comparison() const;

    // The field a click on the column's title sorts by: the column's own
    // field by default; empty for a column that is not sorted.
    virtual QString sortField(int column) const;
    // The list's rows were read anew (shown, searched or sorted).
    virtual void listShown() {}

    // "Печат": "Няма данни за печат" for an empty list, otherwise the grid
    // into a grid export file, which is opened. The file's name; empty when
    // nothing was written.
    QString printList(const GridExport& what);

private:
    void sortByTitle(int column);
    void updateRange();

    GridContext context_;
    QTableView* grid_ = nullptr;
    StatementModel* model_ = nullptr;
    QString keyField_;
    SearchLine line_;
    int searchColumn_ = -1;
    bool byValue_ = false;
};

} // namespace torvika
