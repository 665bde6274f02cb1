#include "shell/autostart.h"

#include "common/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace torvika {

QString autostartEntryPath() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/torvika.desktop");
}

bool hasAutostartEntry() {
    return QFileInfo::exists(autostartEntryPath());
}

QString autostartEntryText(const QString& program) {
    // Exec quotes the path: it may hold blanks.
    QString quoted = program;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=ТОРВИКА\n"
                          "Exec=\"%1\"\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(quoted);
}

void setAutostartEntry(bool on, const QString& program) {
    const QString path = autostartEntryPath();
    if (!on) {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            throw EInOutError(QStringLiteral("Не може да се изтрие %1").arg(path));
        return;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw EInOutError(QStringLiteral("Не може да се създаде %1").arg(QFileInfo(path).absolutePath()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(autostartEntryText(program).toUtf8()) < 0 ||
        !file.commit())
        throw EInOutError(QStringLiteral("Не може да се запише %1: %2").arg(path, file.errorString()));
}

QString nearestExistingDirectory(const QString& path, const QString& base) {
    QString dir =
        QDir::cleanPath(QDir(base).absoluteFilePath(path.trimmed().isEmpty() ? base : path.trimmed()));
    while (!QFileInfo(dir).isDir()) {
        const QString parent = QFileInfo(dir).path();
        if (parent == dir)
            break;
        dir = parent;
    }
    return dir;
}

} // namespace torvika
