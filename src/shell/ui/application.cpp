#include "shell/ui/application.h"

#include "common/errors.h"
#include "common/exception_log.h"
#include "common/ui/messages.h"

namespace torvika {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("torvika"));
    // The application title names the message boxes. It is not Qt's display
    // name: the desktop platforms append that to every window title, and the
    // titles are to read exactly "ТОРВИКА - МАГАЗИН", "ЗА НАС", ...
    setProperty(kApplicationTitleProperty, QStringLiteral("ТОРВИКА"));
}

Application* Application::instance() {
    return dynamic_cast<Application*>(QCoreApplication::instance());
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        logException(e);
    } catch (...) {
        std::runtime_error unknown("unknown exception");
        logException(unknown);
    }
    return false;
}

} // namespace torvika
