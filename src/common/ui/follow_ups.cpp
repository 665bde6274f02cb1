#include "common/ui/follow_ups.h"

#include <stdexcept>
#include <string>

namespace torvika {

void followUpMistake(const char* kind, int mode, const char* what) {
    std::string text = kind;
    if (mode >= 0)
        text += " mode " + std::to_string(mode);
    text += ": ";
    text += what;
    throw std::logic_error(text);
}

} // namespace torvika
