#pragma once
// "Задачи" (TForm_Zada4i): every task whose assigner is a counterparty,
// overdue tasks in red, running ones in green, postponed ones in blue. A
// click on a cell makes its column the one searched in ("Търси" filters the
// list by it: text columns by what they contain, dates and times by the
// comparison chosen); a click on a title sorts. "Нова" and "Редактирай"
// (also a double click or Enter on a row) open the task dialog; "ПЕЧАТ"
// writes the list into a grid export file.

#include "common/ui/list_window.h"
#include "shell/ui/host.h"
#include "tasks/tasks.h"

#include <QColor>
#include <memory>

namespace Ui {
class TForm_Zada4i;
}

namespace torvika {

class TForm_Zada4i : public ListWindow {
    Q_OBJECT
public:
    explicit TForm_Zada4i(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Zada4i() override;

    // BitBtn_Pokaji_Vsi4koClick: every task, the first column searched in.
    void showAll();
    // The colour of a row's texts: red overdue, dark green running, blue
    // postponed; invalid for the normal colour.
    QColor rowColour(int row) const;

signals:
    // A task was stored.
    void tasksChanged();

protected:
    QString sortField(int column) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void BitBtn_Nova_Zada4aClick();
    void BitBtn_Redakt_Zada4aClick();
    void Button1Click();
    void Button_TarsiClick();
    void DBGrid_Zada4iCellClick(const QModelIndex& index);

private:
    void setTaskSearchColumn(TaskColumn column);
    void openDialog(const std::optional<Task>& task, const QString& assignerName);

    const WindowContext context_;
    std::unique_ptr<Ui::TForm_Zada4i> ui;
};

} // namespace torvika
