#include "shell/version.h"

#include "build_info.h"
#include "common/errors.h"
#include "shell/texts.h"

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

int databaseVersionFromText(const QString& text) {
    bool ok = false;
    const int version = text.trimmed().toInt(&ok);
    if (!ok)
        throw EConvertError(texts::kNotValidInteger.arg(text));
    return version;
}

} // namespace torvika
