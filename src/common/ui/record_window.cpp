#include "common/ui/record_window.h"

#include "common/texts.h"
#include "common/ui/editable_statement_model.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>

namespace torvika {

RecordWindow::RecordWindow(QWidget* parent) : QDialog(parent) {}

RecordWindow::~RecordWindow() = default;

void RecordWindow::setUpRecords(const GridContext& context, QTableView* grid,
                                const QList<GridColumnSpec>& columns, const QString& keyField, Style style,
                                Records records) {
    context_ = context;
    records_ = std::move(records);
    grid_ = grid;
    keyField_ = keyField;
    style_ = style;
    model_ = style == Style::InPlace ? new EditableStatementModel(this) : new StatementModel(this);
    model_->setColumns(columns);
    setUpStatementGrid(grid_, model_);
    if (style == Style::InPlace) {
        grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
        grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    }
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        // Moving to another row abandons what was typed into open fields.
        if (state_ != Browse && style_ == Style::OpenFields)
            setState(Browse);
        else if (state_ == Browse)
            showRow(currentRow());
        updateButtons();
    });
    connect(model_, &QAbstractItemModel::rowsInserted, this, &RecordWindow::updateButtons);
    // The window opens in the grid.
    grid_->setFocus();
}

void RecordWindow::setRecordFields(const QList<QWidget*>& fields, QWidget* editFocus) {
    fields_ = fields;
    editFocus_ = editFocus;
    if (style_ != Style::OpenFields)
        return;
    // Typing into a field edits the current record.
    for (QWidget* field : fields) {
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            connect(edit, &QLineEdit::textEdited, this, &RecordWindow::noteFieldEdited);
        else if (auto* box = qobject_cast<QComboBox*>(field))
            connect(box, &QComboBox::activated, this, &RecordWindow::noteFieldEdited);
        else if (auto* button = qobject_cast<QAbstractButton*>(field))
            connect(button, &QAbstractButton::clicked, this, &RecordWindow::noteFieldEdited);
    }
}

void RecordWindow::setEditableFields(const QStringList& fields) {
    auto* editable = qobject_cast<EditableStatementModel*>(model_);
    if (!editable)
        return;
    editable->setEditing(fields, keyField_,
                         [this](const QVariant& key, const QString& field, const QString& text) {
                             guarded([&] { records_.storeField(key, field, text); });
                             reread(key);
                         });
}

void RecordWindow::setNavigator(RecordNavigator* navigator) {
    for (RecordCommand c : RecordNavigator::allCommands())
        bindButton(navigator->button(c), c);
}

void RecordWindow::bindButton(QAbstractButton* button, RecordCommand command) {
    bound_.append({button, command});
    connect(button, &QAbstractButton::clicked, this, [this, command] { run(command); });
    button->setEnabled(canRun(command));
}

RecordWindow::RowCaptions RecordWindow::defaultRowCaptions() {
    return {texts::kRowCaptionNew, texts::kRowCaptionAccept, texts::kRowCaptionDelete,
            texts::kRowCaptionCancel};
}

void RecordWindow::setRowButtons(QAbstractButton* insertOrPost, QAbstractButton* deleteOrCancel,
                                 const RowCaptions& captions) {
    insertOrPost_ = insertOrPost;
    deleteOrCancel_ = deleteOrCancel;
    captions_ = captions;
    connect(insertOrPost, &QAbstractButton::clicked, this,
            [this] { run(state_ == Browse ? RecordCommand::Insert : RecordCommand::Post); });
    if (deleteOrCancel)
        connect(deleteOrCancel, &QAbstractButton::clicked, this,
                [this] { run(state_ == Browse ? RecordCommand::Delete : RecordCommand::Cancel); });
    updateButtons();
}

QSqlDatabase RecordWindow::database() const {
    return context_.database();
}

int RecordWindow::currentRow() const {
    const QModelIndex current = grid_ ? grid_->currentIndex() : QModelIndex();
    return current.isValid() ? current.row() : -1;
}

QVariant RecordWindow::keyOf(int row) const {
    return model_->value(row, keyField_);
}

QVariant RecordWindow::currentKey() const {
    return keyOf(currentRow());
}

bool RecordWindow::positionOn(const QVariant& key) {
    const int row = model_->findRow(keyField_, key);
    if (row < 0)
        return false;
    moveTo(row);
    return true;
}

void RecordWindow::moveTo(int row) {
    const QModelIndex current = grid_->currentIndex();
    const QModelIndex at = model_->index(row, current.isValid() ? current.column() : 0);
    grid_->setCurrentIndex(at);
    grid_->scrollTo(at);
}

void RecordWindow::reread(const QVariant& key) {
    const int column = grid_->currentIndex().isValid() ? grid_->currentIndex().column() : 0;
    state_ = Browse;
    guarded([this] { model_->setStatement(database(), records_.statement()); }, readFailure_);
    int row = key.isValid() ? model_->findRow(keyField_, key) : -1;
    if (row < 0 && model_->rowCount() > 0)
        row = 0;
    if (row >= 0)
        grid_->setCurrentIndex(model_->index(row, column));
    setState(Browse);
}

bool RecordWindow::noteFieldEdited() {
    if (state_ == Browse && hasRecord() && style_ != Style::InPlace)
        setState(Edit);
    return state_ != Browse;
}

bool RecordWindow::canRun(RecordCommand command) const {
    const bool browsing = state_ == Browse;
    const bool inPlace = style_ == Style::InPlace;
    const int row = currentRow();
    const bool more = model_ && (row + 1 < model_->rowCount() || model_->canFetchMore());
    switch (command) {
    case RecordCommand::First:
    case RecordCommand::Prior:
        return browsing && row > 0;
    case RecordCommand::Next:
    case RecordCommand::Last:
        return browsing && row >= 0 && more;
    case RecordCommand::Insert:
        return browsing && (inPlace ? bool(records_.add) : bool(records_.store));
    case RecordCommand::Refresh:
        return browsing;
    case RecordCommand::Edit:
        return browsing && row >= 0 && (inPlace ? bool(records_.storeField) : bool(records_.store));
    case RecordCommand::Delete:
        return browsing && row >= 0 && bool(records_.remove);
    case RecordCommand::Post:
    case RecordCommand::Cancel:
        return !browsing;
    }
    return false;
}

bool RecordWindow::run(RecordCommand command) {
    if (!canRun(command))
        return false;
    switch (command) {
    case RecordCommand::First:
        moveTo(0);
        return true;
    case RecordCommand::Prior:
        moveTo(currentRow() - 1);
        return true;
    case RecordCommand::Next:
        if (currentRow() + 1 >= model_->rowCount())
            logged([this] { model_->fetchMore(); });
        if (currentRow() + 1 >= model_->rowCount())
            return false;
        moveTo(currentRow() + 1);
        return true;
    case RecordCommand::Last:
        logged([this] { model_->fetchAll(); });
        moveTo(model_->rowCount() - 1);
        return true;
    case RecordCommand::Insert:
        return insert();
    case RecordCommand::Edit:
        return edit();
    case RecordCommand::Post:
        return post();
    case RecordCommand::Cancel:
        return cancel();
    case RecordCommand::Delete:
        return remove();
    case RecordCommand::Refresh:
        reread(currentKey());
        return true;
    }
    return false;
}

void RecordWindow::showRow(int row) {
    if (records_.show)
        records_.show(row);
}

namespace {

void focusField(QWidget* field) {
    if (!field)
        return;
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

} // namespace

void refuseField(const QString& message, QWidget* field) {
    showMessage(message);
    focusField(field);
}

bool RecordWindow::insert() {
    if (style_ == Style::InPlace) {
        std::optional<QVariant> key;
        guarded([&] { key = records_.add(); });
        if (!key)
            return false;
        reread(*key);
        return true;
    }
    if (records_.begin) {
        if (!records_.begin())
            return false;
    } else {
        showRow(-1);
    }
    setState(Insert);
    focusField(fields_.value(0));
    return true;
}

bool RecordWindow::edit() {
    if (style_ == Style::InPlace) {
        const QModelIndex current = grid_->currentIndex();
        if (!(model_->flags(current) & Qt::ItemIsEditable))
            return false;
        grid_->edit(current);
        return true;
    }
    setState(Edit);
    focusField(editFocus_ ? editFocus_ : fields_.value(0));
    return true;
}

bool RecordWindow::post() {
    const QVariant key = state_ == Edit ? currentKey() : QVariant();
    std::optional<QVariant> stored;
    // A record that cannot be stored stays open with what was typed; the
    // message says why (another workstation may have deleted it meanwhile).
    if (!guarded([&] { stored = records_.store(key); }) || !stored)
        return false;
    reread(*stored);
    return true;
}

bool RecordWindow::cancel() {
    setState(Browse);
    grid_->setFocus();
    return true;
}

bool RecordWindow::remove() {
    const int row = currentRow();
    const QVariant key = keyOf(row);
    const QString question = records_.question ? records_.question(row) : QString();
    if (!question.isEmpty() && !askYesNo(question))
        return false;
    bool deleted = false;
    if (!guarded([&] { deleted = records_.remove(key); }))
        return false;
    if (!deleted) {
        // The record as stored now: another workstation may have changed it.
        reread(key);
        return false;
    }
    // The row that takes the deleted one's place becomes current.
    if (row + 1 >= model_->rowCount())
        logged([this] { model_->fetchMore(); });
    const QVariant next = keyOf(row + 1);
    reread(next.isValid() ? next : keyOf(row - 1));
    return true;
}

void RecordWindow::setState(State state) {
    state_ = state;
    const bool open = state != Browse;
    if (style_ == Style::LockedFields) {
        grid_->setEnabled(!open);
        for (QWidget* field : fields_) {
            if (auto* edit = qobject_cast<QLineEdit*>(field))
                edit->setReadOnly(!open);
            else
                field->setEnabled(open);
        }
    }
    updateButtons();
    if (records_.stateChanged)
        records_.stateChanged(state);
    if (!open)
        showRow(currentRow());
}

void RecordWindow::updateButtons() {
    for (const Bound& b : bound_)
        b.button->setEnabled(canRun(b.command));
    const bool open = state_ != Browse;
    if (insertOrPost_)
        insertOrPost_->setText(open ? captions_.post : captions_.insert);
    if (deleteOrCancel_) {
        deleteOrCancel_->setText(open ? captions_.cancel : captions_.remove);
        deleteOrCancel_->setEnabled(open || canRun(RecordCommand::Delete));
    }
}

} // namespace torvika
