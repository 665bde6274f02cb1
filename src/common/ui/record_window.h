#pragma once
// The base of a window that edits the records of one table: a grid over the
// table's statement and the commands of a navigator (first, prior, next,
// last, insert, edit, post, cancel, delete with its question, refresh). The
// base keeps the state (browsing, inserting, editing), which row is current
// across a reread, and which buttons can act; the window says how a record
// is shown, stored and deleted (Records, always through logic functions),
// and lays its buttons out in its .ui file:
//
// - a navigator bar (RecordNavigator, setNavigator), or
// - row buttons whose captions follow the state: "Нов" becomes "Приеми"
//   and "Изтрии" becomes "Откажи" while a record is open (setRowButtons), or
// - any button bound to one command (bindButton).
//
// A failure of the logic is shown at the handler's edge and leaves the
// record open with what was typed.

#include "common/grid_context.h"
#include "common/ui/record_navigator.h"
#include "common/ui/statement_model.h"

#include <QDialog>
#include <QList>
#include <QVariant>
#include <functional>
#include <optional>

class QAbstractButton;
class QTableView;

namespace torvika {

class RecordWindow : public QDialog {
    Q_OBJECT
public:
    enum State { Browse, Insert, Edit };

    // How the window edits a record.
    enum class Style {
        // In fields beside the grid that stay open: typing into one edits
        // the current record; moving to another row abandons what was typed.
        OpenFields,
        // In fields that open with "insert" and "edit": read-only while
        // browsing; the grid holds still while a record is open.
        LockedFields,
        // In the grid's cells: an edited cell is stored at once; "insert"
        // adds a record at once.
        InPlace,
    };

    // What the window says of its records; each part calls the logic. Only
    // the statement is needed; a part left out is a command the window
    // does not offer (no delete without remove).
    struct Records {
        // The statement of the records, ordered.
        std::function<SqlStatement()> statement;
        // Puts the row's record into the fields; row -1: no record.
        std::function<void(int row)> show{};
        // Puts a new record's first values into the fields; false when no
        // record can be begun (the window said why). Without it: showRow(-1).
        std::function<bool()> begin{};
        // Stores the fields as a new record (key invalid) or over the
        // record with the key. The stored record's key; nothing when it was
        // refused (the window said why and put the caret on the field to
        // correct). A failure throws.
        std::function<std::optional<QVariant>(const QVariant& key)> store{};
        // In place: adds a record at once, asking what it needs. Its key;
        // nothing when none was added. A failure throws.
        std::function<std::optional<QVariant>()> add{};
        // In place: stores a cell's new text; a refusal throws.
        std::function<void(const QVariant& key, const QString& field, const QString& text)> storeField{};
        // Deletes the record; false when it was refused (the window said
        // why). A failure throws.
        std::function<bool(const QVariant& key)> remove{};
        // The question asked before the row's record is deleted; none
        // without it.
        std::function<QString(int row)> question{};
        // The state changed (after the base set its own controls).
        std::function<void(State state)> stateChanged{};
    };

    ~RecordWindow() override;

    State state() const { return state_; }
    StatementModel* model() const { return model_; }
    QTableView* grid() const { return grid_; }
    // The key of the current record; invalid without one.
    QVariant currentKey() const;
    // Makes the record with the key current; false when it is not listed.
    bool positionOn(const QVariant& key);
    // Runs the command as its button does (a caller may open the window
    // with a new record begun); false when it did not act (a post refused,
    // a delete not confirmed or refused, nothing to act on).
    bool run(RecordCommand command);
    bool canRun(RecordCommand command) const;

protected:
    explicit RecordWindow(QWidget* parent = nullptr);

    // Call once, after setupUi: the grid, its columns, the key field of the
    // statement's rows, the style and the records.
    void setUpRecords(const GridContext& context, QTableView* grid, const QList<GridColumnSpec>& columns,
                      const QString& keyField, Style style, Records records);
    // The fields of a record (not for InPlace). A record that opens puts
    // the caret on the first (on editFocus when it opens for editing).
    void setRecordFields(const QList<QWidget*>& fields, QWidget* editFocus = nullptr);
    // InPlace: the fields whose cells are edited.
    void setEditableFields(const QStringList& fields);
    void setNavigator(RecordNavigator* navigator);
    void bindButton(QAbstractButton* button, RecordCommand command);
    // Two buttons that act on an open record in turn.
    struct RowCaptions {
        QString insert, post, remove, cancel;
    };
    static RowCaptions defaultRowCaptions();
    void setRowButtons(QAbstractButton* insertOrPost, QAbstractButton* deleteOrCancel,
                       const RowCaptions& captions = defaultRowCaptions());
    // The message shown when the statement cannot be read (the failure's own by default).
    void setReadFailureText(const QString& text) { readFailure_ = text; }

    // Reads the statement again and makes the record with the key current
    // (the first row when it is not listed); the state returns to browsing.
    void reread(const QVariant& key = {});
    // A control of the window's own changed a field: while browsing, this
    // opens the current record for editing. False when no record is open.
    bool noteFieldEdited();
    QSqlDatabase database() const;
    int currentRow() const;

private:
    bool hasRecord() const { return currentRow() >= 0; }
    void setState(State state);
    void updateButtons();
    void showRow(int row);
    void moveTo(int row);
    bool insert();
    bool edit();
    bool post();
    bool cancel();
    bool remove();
    QVariant keyOf(int row) const;

    GridContext context_;
    QTableView* grid_ = nullptr;
    StatementModel* model_ = nullptr;
    Records records_;
    QString keyField_;
    Style style_ = Style::OpenFields;
    State state_ = Browse;
    QList<QWidget*> fields_;
    QWidget* editFocus_ = nullptr;
    QString readFailure_;
    struct Bound {
        QAbstractButton* button;
        RecordCommand command;
    };
    QList<Bound> bound_;
    QAbstractButton* insertOrPost_ = nullptr;
    QAbstractButton* deleteOrCancel_ = nullptr;
    RowCaptions captions_;
};

// A record refused by the logic: its message, then the caret on the field
// to correct (a line's text selected). No field: the message only.
void refuseField(const QString& message, QWidget* field);

} // namespace torvika
