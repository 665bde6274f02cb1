#include "common/ui/editable_statement_model.h"

namespace torvika {

void EditableStatementModel::setEditing(const QStringList& fields, const QString& keyField, Edit edit) {
    editable_ = fields;
    keyField_ = keyField;
    edit_ = std::move(edit);
}

Qt::ItemFlags EditableStatementModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = StatementModel::flags(index);
    if (index.isValid() && editable_.contains(columns().value(index.column()).field))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant EditableStatementModel::data(const QModelIndex& index, int role) const {
    // The editor starts from the text as shown.
    if (role == Qt::EditRole)
        return StatementModel::data(index, Qt::DisplayRole);
    return StatementModel::data(index, role);
}

bool EditableStatementModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !edit_ || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString field = columns().value(index.column()).field;
    if (value.toString() == data(index, Qt::EditRole).toString())
        return false;
    const QVariant key = StatementModel::value(index.row(), keyField_);
    // The edit reads the grid again: it runs once the editor has closed.
    QMetaObject::invokeMethod(
        this, [this, key, field, text = value.toString()] { edit_(key, field, text); }, Qt::QueuedConnection);
    return true;
}

} // namespace torvika
