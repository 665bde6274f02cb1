#pragma once
// The two registers edited in place in a grid: "Установяване на начален
// номер за документ" (TForm_Na4_N_Dok, the document kinds with their
// running numbers, places and copies) and "Видове документи"
// (TForm_Rab_Dokumenti, the kinds of paperwork of deliveries and supplier
// warranties). A cell is edited in the grid; the change goes through the
// logic, which refuses a wrong value with a message, and the grid is read
// again. "Добави" adds a row, "Изтрий" deletes the current one.

#include "common/ui/statement_model.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <functional>
#include <memory>

class QTableView;

namespace Ui {
class TForm_Na4_N_Dok;
class TForm_Rab_Dokumenti;
} // namespace Ui

namespace torvika {

// A statement grid whose listed columns can be edited; an edit calls the
// handler with the row's key and the column's field.
class EditableStatementModel : public StatementModel {
    Q_OBJECT
public:
    using Edit = std::function<void(const QVariant& key, const QString& field, const QString& value)>;
    EditableStatementModel(QStringList editable, Edit edit, QObject* parent = nullptr)
        : StatementModel(parent), editable_(std::move(editable)), edit_(std::move(edit)) {}

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QStringList editable_;
    Edit edit_;
};

class TForm_Na4_N_Dok : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Na4_N_Dok(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Na4_N_Dok() override;

    QTableView* grid() const;
    EditableStatementModel* model() const { return model_; }
    // Handlers, public so that tests drive them.
    void addRow();
    void deleteRow();
    void reread(const QVariant& current = {});

private:
    void edit(const QVariant& key, const QString& field, const QString& value);

    std::unique_ptr<Ui::TForm_Na4_N_Dok> ui;
    Session& session_;
    EditableStatementModel* model_;
};

class TForm_Rab_Dokumenti : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Rab_Dokumenti(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Rab_Dokumenti() override;

    QTableView* grid() const;
    EditableStatementModel* model() const { return model_; }
    void addRow();
    void deleteRow();
    void reread(const QVariant& current = {});

private:
    std::unique_ptr<Ui::TForm_Rab_Dokumenti> ui;
    Session& session_;
    EditableStatementModel* model_;
};

} // namespace torvika
