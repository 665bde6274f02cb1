#include "shell/ui/messaging_module.h"

#include "shell/ui/form_messages.h"

#include <QAction>

namespace torvika {

void MessagingModule::install(Host& host) {
    window_ = new TForm_Messages(host.context(), host.window());
    QAction* command = host.command(Command::N_SendMessage);
    command->setCheckable(true);
    TForm_Messages* window = window_;
    QObject::connect(window, &TForm_Messages::shownChanged, command, &QAction::setChecked);
    host.registerCommand(Command::N_SendMessage, [window] {
        if (window->isVisible()) {
            window->hide();
        } else {
            window->show();
            window->raise();
            window->activateWindow();
        }
    });
    window->applySettings();
}

} // namespace torvika
