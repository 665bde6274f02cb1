#include "tasks/ui/tasks_module.h"

#include "common/ui/error_edge.h"
#include "tasks/tasks.h"
#include "tasks/texts.h"
#include "tasks/ui/form_zada4i.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace torvika {

namespace {

// The overdue-task mark: a click runs the tasks command.
class TaskMarkLabel : public QLabel {
public:
    explicit TaskMarkLabel(std::function<void()> clicked) : clicked_(std::move(clicked)) {}

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            clicked_();
        QLabel::mouseReleaseEvent(e);
    }

private:
    std::function<void()> clicked_;
};

} // namespace

void TasksModule::install(Host& host) {
    host_ = &host;
    host.registerCommand(Command::N_Zada4i, [this, &host] {
        if (!window_) {
            window_ = new TForm_Zada4i(host.context(), host.window());
            QObject::connect(window_, &TForm_Zada4i::tasksChanged, window_, [this] { showMark(); });
        } else {
            window_->showAll();
        }
        window_->exec();
        showMark();
    });
    auto* mark = new TaskMarkLabel([&host] { host.runCommand(Command::N_Zada4i); });
    mark->setObjectName(QStringLiteral("Image_Have_Job"));
    mark->setText(QStringLiteral("<b><font color=\"red\">&#9873; Задачи</font></b>"));
    mark->setFrameShape(QFrame::Panel);
    mark->setFrameShadow(QFrame::Sunken);
    mark->setCursor(Qt::PointingHandCursor);
    mark->hide();
    mark_ = mark;
    host.addStatusWidget(mark);
    timer_ = new QTimer(mark);
    timer_->setInterval(60 * 1000);
    QObject::connect(timer_, &QTimer::timeout, mark, [this] { showMark(); });
}

void TasksModule::showMark() {
    Session& session = host_->session();
    int overdue = 0;
    if (session.workspace.isOpen())
        logged([&] { overdue = overdueTaskCount(session.db(), session.today()); });
    mark_->setToolTip(texts::kOverdueTasksHint.arg(overdue));
    mark_->setVisible(overdue > 0);
}

void TasksModule::loggedIn() {
    timer_->start();
    showMark();
}

void TasksModule::databaseChanged() {
    // The window lists the new database's tasks when it opens next.
    delete window_;
    window_ = nullptr;
    showMark();
}

} // namespace torvika
