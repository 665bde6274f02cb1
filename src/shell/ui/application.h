#pragma once
// The application object: every exception that reaches the event loop is
// appended to Exceptions.log and swallowed, so the program goes on.

#include <QApplication>

namespace torvika {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    static Application* instance();
};

} // namespace torvika
