#pragma once
// The database-change dialog: a directory tree with a drive box; "Приеми"
// makes the chosen directory the working company database and asks for a
// login into it. With the server box ticked the database is the one of the
// PostgreSQL server, and the directory holds the company's text files;
// there a directory's working database can also be moved to the server.

#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm_Change_DB;
}

namespace torvika {

class ServerSettings;

class TForm_Change_DB : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Change_DB(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Change_DB() override;

    // Shows the dialog modally, starting at the working database's
    // directory. The dialog is kept by its parent for the rest of the run.
    static void run(const WindowContext& context, QWidget* parent);

    // Starts the tree at the working database's directory.
    void prepare();
    void setSelectedDirectory(const QString& dir);
    QString selectedDirectory() const;

    ServerSettings* server() const;

public slots:
    void Button_OkClick();
    // Copies the working database into a new one on the server of the box.
    void copyToServer();

private:
    void switchTo(const Alias& target, const QString& password);
    void updateCopyButton();

    std::unique_ptr<Ui::TForm_Change_DB> ui;
    Session& session_;
};

// The directory of the working database (the alias' one before the
// workspace was first opened).
QString workingDatabaseDirectory(const Session& session);

} // namespace torvika
