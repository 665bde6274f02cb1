#pragma once
// The navigator bar of a record window: one button a command, named
// DBNavigator_<Command> (DBNavigator_First … DBNavigator_Refresh). Placed in
// a window's .ui file as a promoted widget; the window shows the buttons it
// offers (setVisibleCommands) and the record window base connects them.

#include <QList>
#include <QWidget>

class QPushButton;

namespace torvika {

enum class RecordCommand { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

class RecordNavigator : public QWidget {
    Q_OBJECT
public:
    explicit RecordNavigator(QWidget* parent = nullptr);

    // Shows the buttons of these commands only (every one at first).
    void setVisibleCommands(const QList<RecordCommand>& commands);
    QPushButton* button(RecordCommand command) const;
    static const QList<RecordCommand>& allCommands();

private:
    QList<QPushButton*> buttons_; // by command
};

} // namespace torvika
