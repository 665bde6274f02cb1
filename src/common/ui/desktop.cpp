#include "common/ui/desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace torvika {

namespace {

FileOpener& installedOpener() {
    static FileOpener opener;
    return opener;
}

} // namespace

bool SHELLEXECUTE_OPENFILE(const QString& fileName) {
    const FileOpener& opener = installedOpener();
    if (opener)
        return opener(fileName);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
}

FileOpener setFileOpener(FileOpener opener) {
    FileOpener previous = std::move(installedOpener());
    installedOpener() = std::move(opener);
    return previous;
}

} // namespace torvika
