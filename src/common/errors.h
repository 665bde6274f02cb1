#pragma once
// The program's exceptions. Each carries the class name that the exception
// log writes, so a log line tells what kind of failure reached the event loop.

#include <QString>
#include <exception>
#include <stdexcept>

namespace torvika {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toUtf8().constData()), message_(message) {}
    const QString& message() const { return message_; }
    virtual const char* className() const { return "Error"; }

private:
    QString message_;
};

#define TORVIKA_ERROR_CLASS(Name)                                                                            \
    class Name : public Error {                                                                              \
    public:                                                                                                  \
        using Error::Error;                                                                                  \
        const char* className() const override { return #Name; }                                             \
    };

// A statement or connection of the company database failed.
TORVIKA_ERROR_CLASS(EDatabaseError)
// A text could not be converted to a number or a date.
TORVIKA_ERROR_CLASS(EConvertError)
// A file could not be read or written.
TORVIKA_ERROR_CLASS(EInOutError)

#undef TORVIKA_ERROR_CLASS

// The database stayed busy (another workstation writing) for longer than
// the program waits: nothing was stored, and trying again may succeed.
class EDatabaseBusy : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
    const char* className() const override { return "EDatabaseBusy"; }
};

// The class name and the message of any exception, for the log.
QString exceptionClassName(const std::exception& e);
QString exceptionMessage(const std::exception& e);

} // namespace torvika
