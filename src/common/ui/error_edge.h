#pragma once
// The edge of a window's handler: a failure of the logic is logged to
// Exceptions.log and shown to the operator, and the handler gives up. The
// one place where windows turn exceptions into messages.

#include "common/exception_log.h"

#include <QString>
#include <exception>
#include <utility>

namespace torvika {

// Logs the failure and shows its message, or text when one is given (the
// fixed Bulgarian texts with which the program reports some failures).
void reportError(const std::exception& e, const QString& text = {});

// Runs the handler's work. A failure is reported as reportError does, and
// the result is false; the caller stops there.
template <typename Work> bool guarded(Work&& work, const QString& text = {}) {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const std::exception& e) {
        reportError(e, text);
        return false;
    }
}

// Runs work whose failure the operator is not shown (steps the program only
// logs); false after a failure.
template <typename Work> bool logged(Work&& work) {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const std::exception& e) {
        logException(e);
        return false;
    }
}

} // namespace torvika
