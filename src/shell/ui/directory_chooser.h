#pragma once
// A directory tree with a drive box above it, as the database dialogs use:
// the box lists the mounted volumes, choosing one re-roots the tree at it,
// and the directory chosen is the tree's current item.

#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QTreeView;

namespace torvika {

class DirectoryChooser : public QWidget {
    Q_OBJECT
public:
    explicit DirectoryChooser(QWidget* parent = nullptr);

    // Re-roots the tree at the volume holding dir and makes dir current.
    // A directory that does not exist is still taken as the choice.
    void setDirectory(const QString& dir);
    QString directory() const { return selected_; }

    QComboBox* driveBox() const { return drives_; }
    QTreeView* tree() const { return tree_; }

private:
    void fillDrives();
    int driveItem(const QString& root);
    void reroot(const QString& root);

    QComboBox* drives_;
    QTreeView* tree_;
    QFileSystemModel* model_;
    QString selected_;
};

} // namespace torvika
