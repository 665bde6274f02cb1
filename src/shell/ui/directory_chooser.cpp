#include "shell/ui/directory_chooser.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace torvika {

namespace {

// The nearest directory of path that exists (the root at worst).
QString existingAncestor(const QString& path) {
    QString p = QDir::cleanPath(QDir(path).absolutePath());
    while (!QFileInfo(p).isDir()) {
        const QString up = QFileInfo(p).path();
        if (up == p)
            return QDir::rootPath();
        p = up;
    }
    return p;
}

} // namespace

DirectoryChooser::DirectoryChooser(QWidget* parent)
    : QWidget(parent), drives_(new QComboBox(this)), tree_(new QTreeView(this)),
      model_(new QFileSystemModel(this)) {
    drives_->setObjectName(QStringLiteral("ComboBox_Drive"));
    tree_->setObjectName(QStringLiteral("TreeView_Dirs"));
    model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    model_->setReadOnly(true);
    tree_->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c)
        tree_->hideColumn(c);
    tree_->header()->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(drives_);
    layout->addWidget(tree_, 1);

    fillDrives();
    connect(drives_, &QComboBox::activated, this, [this](int i) {
        const QString root = drives_->itemData(i).toString();
        reroot(root);
        selected_ = root;
        tree_->setCurrentIndex(model_->index(root));
    });
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    selected_ = model_->filePath(current);
            });
}

void DirectoryChooser::fillDrives() {
    QStringList roots;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && QFileInfo(v.rootPath()).isDir() && !roots.contains(v.rootPath()))
            roots << v.rootPath();
    if (!roots.contains(QDir::rootPath()))
        roots << QDir::rootPath();
    roots.sort();
    for (const QString& r : roots)
        drives_->addItem(QDir::toNativeSeparators(r), r);
}

int DirectoryChooser::driveItem(const QString& root) {
    int i = drives_->findData(root);
    if (i < 0) {
        drives_->addItem(QDir::toNativeSeparators(root), root);
        i = drives_->count() - 1;
    }
    return i;
}

void DirectoryChooser::reroot(const QString& root) {
    model_->setRootPath(root);
    tree_->setRootIndex(model_->index(root));
}

void DirectoryChooser::setDirectory(const QString& dir) {
    const QString wanted = QDir::cleanPath(QDir(dir).absolutePath());
    const QString existing = existingAncestor(wanted);
    QStorageInfo volume(existing);
    const QString root = volume.isValid() ? volume.rootPath() : QDir::rootPath();
    drives_->setCurrentIndex(driveItem(root));
    reroot(root);
    const QModelIndex index = model_->index(existing);
    if (index.isValid()) {
        tree_->setCurrentIndex(index);
        tree_->scrollTo(index);
        tree_->expand(index);
    }
    selected_ = wanted;
}

} // namespace torvika
