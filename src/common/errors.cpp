#include "common/errors.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace torvika {

QString exceptionClassName(const std::exception& e) {
    if (auto* own = dynamic_cast<const Error*>(&e))
        return QString::fromLatin1(own->className());
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(e).name(), nullptr, nullptr, &status), std::free);
    return QString::fromLatin1(status == 0 && name ? name.get() : typeid(e).name());
}

QString exceptionMessage(const std::exception& e) {
    if (auto* own = dynamic_cast<const Error*>(&e))
        return own->message();
    return QString::fromUtf8(e.what());
}

} // namespace torvika
