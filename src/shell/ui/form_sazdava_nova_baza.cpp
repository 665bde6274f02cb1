#include "shell/ui/form_sazdava_nova_baza.h"

#include "common/ui/messages.h"
#include "shell/company_databases.h"
#include "shell/texts.h"
#include "shell/ui/form_change_db.h"
#include "shell/ui/server_settings.h"
#include "ui_form_sazdava_nova_baza.h"

#include <QDir>
#include <memory>

namespace torvika {

TForm_Sazdava_Nova_Baza::TForm_Sazdava_Nova_Baza(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Sazdava_Nova_Baza), session_(context.session) {
    ui->setupUi(this);
    connect(ui->Button_Vavedi, &QPushButton::clicked, this, &TForm_Sazdava_Nova_Baza::Button_VavediClick);
    connect(ui->Button_Otkaji, &QPushButton::clicked, this, &QDialog::reject);
    setMode(Create);
}

TForm_Sazdava_Nova_Baza::~TForm_Sazdava_Nova_Baza() = default;

void TForm_Sazdava_Nova_Baza::run(const WindowContext& context, int mode, QWidget* parent) {
    TForm_Sazdava_Nova_Baza* dialog =
        parent ? parent->findChild<TForm_Sazdava_Nova_Baza*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    std::unique_ptr<TForm_Sazdava_Nova_Baza> own;
    if (!dialog) {
        dialog = new TForm_Sazdava_Nova_Baza(context, parent);
        if (!parent)
            own.reset(dialog);
    }
    dialog->setMode(mode);
    dialog->exec();
}

void TForm_Sazdava_Nova_Baza::setMode(int mode) {
    mode_ = mode == Update ? Update : Create;
    const bool creating = mode_ == Create;
    setWindowTitle(creating ? texts::kCreateDatabaseTitle : texts::kUpdateDatabaseTitle);
    // An update needs no name: it runs on the working database.
    ui->Label_ime_baza->setVisible(creating);
    ui->Edit_ime_baza->setVisible(creating);
    ui->Server->setVisible(creating);
    ui->Directories->setDirectory(creating ? workingDatabaseDirectory(session_)
                                           : QDir::cleanPath(session_.programDir.sqlsDir()));
}

void TForm_Sazdava_Nova_Baza::setSelectedDirectory(const QString& dir) {
    ui->Directories->setDirectory(dir);
}

ServerSettings* TForm_Sazdava_Nova_Baza::server() const {
    return ui->Server;
}

QString TForm_Sazdava_Nova_Baza::selectedDirectory() const {
    return ui->Directories->directory();
}

void TForm_Sazdava_Nova_Baza::Button_VavediClick() {
    ui->Memo1->clear();
    if (mode_ == Create) {
        // On a server the name is the new database's; its text files go
        // into a directory of that name below the chosen one.
        const QString name = ui->Edit_ime_baza->text().trimmed();
        Alias target = ui->Server->alias(QDir(selectedDirectory()).filePath(name));
        target.database = name;
        const DbOperationResult r = ui->Server->useServer()
                                        ? createServerDatabase(session_, target, ui->Server->password())
                                        : createCompanyDatabase(session_, selectedDirectory(), name);
        ui->Memo1->setPlainText(r.log.join(u'\n'));
        if (!r.message.isEmpty())
            showMessage(r.message);
        accept();
        // After a failure the alias still leads to the old database: the
        // login is into that one.
        session_.requestLogin();
        return;
    }
    const DbOperationResult r = updateCompanyDatabase(session_, selectedDirectory());
    ui->Memo1->setPlainText(r.log.join(u'\n'));
    showMessage(r.message);
    accept();
    // A failed update leaves the database as it was, and the login with it.
    if (r.ok)
        session_.requestLogin();
}

} // namespace torvika
