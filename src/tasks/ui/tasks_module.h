#pragma once
// The tasks' module: "Задачи..." (and its tool button) opens the tasks
// window; the status line shows a mark while tasks are overdue (still
// assigned, due today or earlier), looked at after a login, a change of
// database, the tasks window and every minute. A click on the mark opens
// the tasks.

#include "shell/ui/host.h"

class QLabel;
class QTimer;

namespace torvika {

class TForm_Zada4i;

class TasksModule : public Module {
public:
    void install(Host& host) override;
    void loggedIn() override;
    void databaseChanged() override;

private:
    void showMark();

    Host* host_ = nullptr;
    TForm_Zada4i* window_ = nullptr; // made on first use, kept
    QLabel* mark_ = nullptr;
    QTimer* timer_ = nullptr;
};

} // namespace torvika
