#include "common/ui/error_edge.h"

#include "common/errors.h"
#include "common/exception_log.h"
#include "common/ui/messages.h"

namespace torvika {

void reportError(const std::exception& e, const QString& text) {
    logException(e);
    showMessage(text.isEmpty() ? exceptionMessage(e) : text);
}

} // namespace torvika
