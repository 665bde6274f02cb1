#include "shell/ui/directory_chooser.h"

#include "ui_directory_chooser.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QStorageInfo>

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
    : QWidget(parent), ui(new Ui::DirectoryChooser), model_(new QFileSystemModel(this)) {
    ui->setupUi(this);
    model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    model_->setReadOnly(true);
    ui->TreeView_Dirs->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c)
        ui->TreeView_Dirs->hideColumn(c);

    fillDrives();
    connect(ui->ComboBox_Drive, &QComboBox::activated, this, [this](int i) {
        const QString root = ui->ComboBox_Drive->itemData(i).toString();
        reroot(root);
        selected_ = root;
        ui->TreeView_Dirs->setCurrentIndex(model_->index(root));
    });
    // The file-system model lists directories as it reads them: once the
    // one holding the current directory is read, the tree shows it.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (pending_.isEmpty() || !(pending_ + u'/').startsWith(QDir(loaded).absolutePath()))
            return;
        const QModelIndex index = model_->index(pending_);
        if (!index.isValid())
            return;
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            ui->TreeView_Dirs->expand(up);
        ui->TreeView_Dirs->setCurrentIndex(index);
        ui->TreeView_Dirs->scrollTo(index, QAbstractItemView::PositionAtCenter);
        if (QDir(loaded).absolutePath() == pending_)
            pending_.clear();
    });
    connect(ui->TreeView_Dirs->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    selected_ = model_->filePath(current);
            });
}

DirectoryChooser::~DirectoryChooser() = default;

void DirectoryChooser::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // Laid out now: the tree can open and scroll to the directory.
    if (!selected_.isEmpty())
        setDirectory(selected_);
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
        ui->ComboBox_Drive->addItem(QDir::toNativeSeparators(r), r);
}

int DirectoryChooser::driveItem(const QString& root) {
    int i = ui->ComboBox_Drive->findData(root);
    if (i < 0) {
        ui->ComboBox_Drive->addItem(QDir::toNativeSeparators(root), root);
        i = ui->ComboBox_Drive->count() - 1;
    }
    return i;
}

void DirectoryChooser::reroot(const QString& root) {
    model_->setRootPath(root);
    ui->TreeView_Dirs->setRootIndex(model_->index(root));
}

void DirectoryChooser::setDirectory(const QString& dir) {
    const QString wanted = QDir::cleanPath(QDir(dir).absolutePath());
    const QString existing = existingAncestor(wanted);
    QStorageInfo volume(existing);
    const QString root = volume.isValid() ? volume.rootPath() : QDir::rootPath();
    ui->ComboBox_Drive->setCurrentIndex(driveItem(root));
    reroot(root);
    const QModelIndex index = model_->index(existing);
    if (index.isValid()) {
        // Opening the directories above it has the model read them.
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            ui->TreeView_Dirs->expand(up);
        ui->TreeView_Dirs->setCurrentIndex(index);
        ui->TreeView_Dirs->scrollTo(index);
        ui->TreeView_Dirs->expand(index);
    }
    // Shown again as the directories above it are read.
    pending_ = existing;
    selected_ = wanted;
}

} // namespace torvika
