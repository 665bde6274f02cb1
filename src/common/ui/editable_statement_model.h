#pragma once
// A statement grid whose listed columns can be edited in place. An edit
// never writes the table: it hands the row's key, the column's field and
// the typed text to a function (which calls the logic and reads the grid
// again).

#include "common/ui/statement_model.h"

#include <QStringList>
#include <functional>

namespace torvika {

class EditableStatementModel : public StatementModel {
    Q_OBJECT
public:
    using Edit = std::function<void(const QVariant& key, const QString& field, const QString& text)>;
    explicit EditableStatementModel(QObject* parent = nullptr) : StatementModel(parent) {}

    // The fields whose cells can be edited, the field of the rows' key, and
    // what an edit does. It runs once the cell's editor has closed; a text
    // left as it was runs nothing.
    void setEditing(const QStringList& fields, const QString& keyField, Edit edit);

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QStringList editable_;
    QString keyField_;
    Edit edit_;
};

} // namespace torvika
