#include "shell/version.h"

#include "build_info.h"

namespace torvika {

const FileVersion& fileVersion() {
    static const FileVersion v{QStringLiteral(TORVIKA_VERSION_MAJOR), QStringLiteral(TORVIKA_VERSION_MINOR),
                               QStringLiteral(TORVIKA_VERSION_RELEASE),
                               QStringLiteral(TORVIKA_VERSION_BUILD)};
    return v;
}

QString GETFILEVERSION() {
    return fileVersion().text();
}

} // namespace torvika
