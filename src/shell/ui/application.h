#pragma once
// The application object: every exception that reaches the event loop is
// appended to Exceptions.log and swallowed, so the program goes on.

#include <QApplication>
#include <QDateTime>
#include <functional>

namespace torvika {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Where the log goes; set once the program directory is known.
    void setExceptionLog(const QString& path) { logPath_ = path; }
    // Logs one exception (also used by code that catches at its own edge).
    void logException(const std::exception& e) const;
    static Application* instance();

private:
    QString logPath_;
};

} // namespace torvika
