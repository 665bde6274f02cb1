#include "shell/ui/form_change_db.h"

#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/progress_dialog.h"
#include "shell/company_databases.h"
#include "shell/database_copy.h"
#include "shell/texts.h"
#include "shell/ui/server_settings.h"
#include "ui_form_change_db.h"

#include <QDir>
#include <memory>

namespace torvika {

QString workingDatabaseDirectory(const Session& session) {
    if (!session.workspace.directory().isEmpty())
        return session.workspace.directory();
    EngineConfig cfg = session.workspace.engineConfig();
    return cfg.hasAlias(kServiceAlias) ? cfg.alias(kServiceAlias).path
                                       : QDir::cleanPath(session.programDir.dataDir());
}

TForm_Change_DB::TForm_Change_DB(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Change_DB), session_(context.session) {
    ui->setupUi(this);
    connect(ui->Button_Ok, &QPushButton::clicked, this, &TForm_Change_DB::Button_OkClick);
    connect(ui->Button_Otkaji, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->Button_Copy_To_Server, &QPushButton::clicked, this, &TForm_Change_DB::copyToServer);
    connect(ui->Server, &QGroupBox::toggled, this, &TForm_Change_DB::updateCopyButton);
}

TForm_Change_DB::~TForm_Change_DB() = default;

void TForm_Change_DB::run(const WindowContext& context, QWidget* parent) {
    TForm_Change_DB* dialog =
        parent ? parent->findChild<TForm_Change_DB*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    std::unique_ptr<TForm_Change_DB> own;
    if (!dialog) {
        dialog = new TForm_Change_DB(context, parent);
        if (!parent)
            own.reset(dialog);
    }
    dialog->prepare();
    dialog->exec();
}

void TForm_Change_DB::prepare() {
    ui->Directories->setDirectory(workingDatabaseDirectory(session_));
    logged([this] { ui->Server->setAlias(session_.workspace.engineConfig().alias(kServiceAlias)); });
    updateCopyButton();
}

ServerSettings* TForm_Change_DB::server() const {
    return ui->Server;
}

void TForm_Change_DB::updateCopyButton() {
    // The working database moves to a server when it is a directory's.
    Alias working;
    logged([&] { working = session_.workspace.engineConfig().alias(kServiceAlias); });
    ui->Button_Copy_To_Server->setVisible(ui->Server->useServer() && !working.isPostgres());
}

void TForm_Change_DB::copyToServer() {
    const Alias target = ui->Server->alias(selectedDirectory());
    DialogProgress progress(texts::kCopyingToServer.arg(target.description()), this);
    CopyReport report;
    if (!guarded([&] {
            report = copyCompanyDatabase(session_.programDir,
                                         session_.workspace.engineConfig().alias(kServiceAlias), target,
                                         ui->Server->password(), progress);
        }))
        return;
    if (!askYesNo(texts::kCopiedToServer.arg(report.rows).arg(target.description())))
        return;
    switchTo(target, ui->Server->password());
}

void TForm_Change_DB::setSelectedDirectory(const QString& dir) {
    ui->Directories->setDirectory(dir);
}

QString TForm_Change_DB::selectedDirectory() const {
    return ui->Directories->directory();
}

void TForm_Change_DB::Button_OkClick() {
    if (ui->Server->useServer())
        switchTo(ui->Server->alias(selectedDirectory()), ui->Server->password());
    else
        switchTo(sqliteAlias(selectedDirectory()), QString());
}

void TForm_Change_DB::switchTo(const Alias& target, const QString& password) {
    const DbOperationResult r = switchCompanyDatabase(session_, target, password);
    if (!r.ok) {
        showMessage(r.message);
        accept();
        return;
    }
    // The operators and their rights are those of the new database.
    accept();
    session_.requestLogin();
}

} // namespace torvika
