#pragma once
// The database-change dialog: a directory tree with a drive box; "Приеми"
// makes the chosen directory the working company database and asks for a
// login into it.

#include "shell/session.h"

#include <QDialog>

class QPushButton;

namespace torvika {

class DirectoryChooser;

class TForm_Change_DB : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Change_DB(Session& session, QWidget* parent = nullptr);

    // Shows the dialog modally, starting at the working database's
    // directory. The dialog is kept by its parent for the rest of the run.
    static void run(Session& session, QWidget* parent);

    // Starts the tree at the working database's directory.
    void prepare();
    void setSelectedDirectory(const QString& dir);
    QString selectedDirectory() const;

public slots:
    void Button_OkClick();

private:
    Session& session_;
    DirectoryChooser* chooser_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// The directory of the working database (the alias' one before the
// workspace was first opened).
QString workingDatabaseDirectory(const Session& session);

} // namespace torvika
