#pragma once
// The rows of the sale grid DBGrid1: the lines the totals were computed
// from, with the titles and display formats of the shop page.

#include "sales/sale_lines.h"

#include <QAbstractTableModel>

namespace torvika {

class SaleLinesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Article,
        Description,
        Quantity,
        Unit,
        UnitPrice,
        Currency,
        Discount,
        Amount,
        Operator,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setLines(const QList<SaleLine>& lines, int decimals);
    // The caption of the totals column, in the base currency ("Общо в евро").
    void setTotalsCaption(const QString& caption);
    const QList<SaleLine>& lines() const { return lines_; }
    const SaleLine& line(int row) const { return lines_.at(row); }
    // The row of a line number, -1 when it is not shown.
    int rowOf(qint64 lineNumber) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<SaleLine> lines_;
    QString totalsCaption_;
    int decimals_ = 2;
};

} // namespace torvika
