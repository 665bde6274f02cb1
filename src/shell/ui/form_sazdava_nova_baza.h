#pragma once
// The database dialog: mode 1 creates a new company database in the chosen
// directory (below it, under the typed name), mode 2 runs the update script
// of the chosen directory on the working database. Memo1 shows the log of
// the last operation; the dialog is kept for the run, so the log is still
// there when it is opened again.

#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm_Sazdava_Nova_Baza;
}

namespace torvika {

class ServerSettings;

class TForm_Sazdava_Nova_Baza : public QDialog {
    Q_OBJECT
public:
    enum Mode { Create = 1, Update = 2 };

    explicit TForm_Sazdava_Nova_Baza(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Sazdava_Nova_Baza() override;

    // Shows the dialog modally in the mode. The dialog is kept by its
    // parent for the rest of the run.
    static void run(const WindowContext& context, int mode, QWidget* parent);

    // Caption, name field and starting directory of the mode: the working
    // database's directory to create, the SQLs directory to update.
    void setMode(int mode);
    int mode() const { return mode_; }
    void setSelectedDirectory(const QString& dir);
    QString selectedDirectory() const;
    ServerSettings* server() const;

public slots:
    void Button_VavediClick();

private:
    std::unique_ptr<Ui::TForm_Sazdava_Nova_Baza> ui;
    Session& session_;
    int mode_ = Create;
};

} // namespace torvika
