#include "shell/program_dir.h"

#include "build_info.h"
#include "common/errors.h"
#include "shell/texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace torvika {

ProgramDir::ProgramDir(const QString& root) {
    root_ = QDir::cleanPath(QDir(root).absolutePath());
    if (!root_.endsWith(u'/'))
        root_ += u'/';
}

QString ProgramDir::choose(const QStringList& arguments, const QString& executableDir) {
    int i = arguments.indexOf(QStringLiteral("--home"));
    if (i >= 0 && i + 1 < arguments.size())
        return arguments[i + 1];
    for (const QString& a : arguments)
        if (a.startsWith(QStringLiteral("--home=")))
            return a.mid(7);
    QFileInfo exe(executableDir);
    const bool installed = QFileInfo::exists(executableDir + QStringLiteral("/../share/torvika/SQLs"));
    if (!installed && exe.isDir() && exe.isWritable())
        return executableDir;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/torvika");
}

void ProgramDir::prepare(const QString& shareDir) const {
    QDir dir;
    for (const QString& d : {root_, sqlsDir(), documentationsDir(), tempDir(), videoDir(), dataDir()})
        if (!dir.mkpath(d))
            throw EInOutError(texts::kCannotCreateDirectory.arg(d));
    if (!QFileInfo(root_).isWritable())
        throw EInOutError(texts::kNoWriteAccess.arg(root_));
    if (shareDir.isEmpty() || QDir(shareDir) == QDir(root_))
        return;
    for (const QString& sub :
         {QStringLiteral("SQLs"), QStringLiteral("Documentations"), QStringLiteral("Video")}) {
        QDir from(shareDir + u'/' + sub);
        if (!from.exists())
            continue;
        QDirIterator it(from.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QString src = it.next();
            QString target = root_ + sub + u'/' + from.relativeFilePath(src);
            bool ownScript = src.endsWith(QStringLiteral(".nts"), Qt::CaseInsensitive);
            if (QFileInfo::exists(target)) {
                if (!ownScript)
                    continue;
                QFile a(src), b(target);
                if (a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && a.readAll() == b.readAll())
                    continue;
                QFile::remove(target);
            }
            dir.mkpath(QFileInfo(target).path());
            if (!QFile::copy(src, target))
                throw EInOutError(texts::kCannotCopyFile.arg(target));
        }
    }
}

QString shippedShareDir() {
    // Installed beside the executable first, then the build tree.
    QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/share");
    if (QFileInfo::exists(beside + QStringLiteral("/SQLs")))
        return beside;
    QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/torvika");
    if (QFileInfo::exists(installed + QStringLiteral("/SQLs")))
        return QDir::cleanPath(installed);
    return QStringLiteral(TORVIKA_SHARE_DIR);
}

} // namespace torvika
