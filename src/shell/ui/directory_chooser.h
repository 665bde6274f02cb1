#pragma once
// A directory tree with a drive box above it, as the database dialogs use:
// the box lists the mounted volumes, choosing one re-roots the tree at it,
// and the directory chosen is the tree's current item. A promoted widget of
// the dialogs' forms.

#include <QWidget>
#include <memory>

class QFileSystemModel;

namespace Ui {
class DirectoryChooser;
}

namespace torvika {

class DirectoryChooser : public QWidget {
    Q_OBJECT
public:
    explicit DirectoryChooser(QWidget* parent = nullptr);
    ~DirectoryChooser() override;

    // Re-roots the tree at the volume holding dir and makes dir current.
    // A directory that does not exist is still taken as the choice.
    void setDirectory(const QString& dir);
    QString directory() const { return selected_; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    void fillDrives();
    int driveItem(const QString& root);
    void reroot(const QString& root);

    std::unique_ptr<Ui::DirectoryChooser> ui;
    QFileSystemModel* model_;
    QString selected_;
    QString pending_; // the directory to show once the model has read its way to it
};

} // namespace torvika
