#pragma once
// The task dialog (TForm_NewZada4a): "Въвеждане на нова задача" or
// "Редактиране на задача". The assigner is a counterparty chosen through
// the quick search under the field ("Нов" opens the counterparty list to
// enter one). "Приеми" stores the task, refusing an execution before the
// assignment or an assigner that is no counterparty (the dialog stays open
// with what was typed, as it does when the database refuses the task);
// "ПЕЧАТ" writes the blank protocol of performed work and opens it.

#include "shell/ui/host.h"
#include "tasks/tasks.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class TForm_NewZada4a;
}

namespace torvika {

class TForm_NewZada4a : public QDialog {
    Q_OBJECT
public:
    explicit TForm_NewZada4a(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_NewZada4a() override;

    // An empty task: assigned, both moments now, done once.
    void newTask();
    // The stored task, with its assigner's name.
    void editTask(const Task& task, const QString& assignerName);
    // The task stored by "Приеми" (its number), and the next occurrence
    // it made.
    std::optional<qint64> savedTask() const { return saved_; }
    std::optional<qint64> nextOccurrence() const { return next_; }

private slots:
    void BitBtn_OkClick();
    void Button2Click();
    void ComboBox_PovtorenieChange(int index);
    void Button_NovClick();

private:
    Task typedTask() const;
    void clearFields();

    const WindowContext context_;
    std::unique_ptr<Ui::TForm_NewZada4a> ui;
    qint64 editedId_ = 0; // 0: a new task
    std::optional<qint64> saved_;
    std::optional<qint64> next_;
};

} // namespace torvika
