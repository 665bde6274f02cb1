#include "sales/ui/sale_lines_model.h"

#include "common/cformat.h"

namespace torvika {

namespace {

const char16_t* const kTitles[] = {u"Арт. №", u"Описание", u"Кол.",        u"Мярка",   u"Ед. Цена",
                                   u"Валута", u"TO в %",   u"Общо в лева", u"Оператор"};

} // namespace

void SaleLinesModel::setLines(const QList<SaleLine>& lines, int decimals) {
    beginResetModel();
    lines_ = lines;
    decimals_ = decimals;
    endResetModel();
}

void SaleLinesModel::setTotalsCaption(const QString& caption) {
    if (caption == totalsCaption_)
        return;
    totalsCaption_ = caption;
    emit headerDataChanged(Qt::Horizontal, Amount, Amount);
}

int SaleLinesModel::rowOf(qint64 lineNumber) const {
    for (int i = 0; i < lines_.size(); ++i)
        if (lines_.at(i).number == lineNumber)
            return i;
    return -1;
}

int SaleLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(lines_.size());
}

int SaleLinesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SaleLinesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= lines_.size())
        return {};
    const SaleLine& l = lines_.at(index.row());
    if (role == Qt::TextAlignmentRole) {
        switch (index.column()) {
        case Article:
        case Quantity:
        case UnitPrice:
        case Discount:
        case Amount:
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Article:
        return QString::number(l.article);
    case Description:
        return l.description;
    case Quantity:
        return l.quantity.toString();
    case Unit:
        return l.unit;
    case UnitPrice:
        return l.unitPrice.toFixed(std::max(decimals_, 0));
    case Currency:
        return l.currency;
    case Discount:
        return l.discount.toString();
    case Amount:
        return l.rate ? l.amount.toFixed(std::max(decimals_, 0)) : QString();
    case Operator:
        return l.operatorName;
    }
    return {};
}

QVariant SaleLinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return section == Amount && !totalsCaption_.isEmpty() ? totalsCaption_
                                                              : QString::fromUtf16(kTitles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace torvika
