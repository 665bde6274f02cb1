#include "shell/ui/form_change_db.h"

#include "common/ui/messages.h"
#include "shell/company_databases.h"
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

TForm_Change_DB::TForm_Change_DB(Session& session, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Change_DB), session_(session) {
    ui->setupUi(this);
    connect(ui->Button_Ok, &QPushButton::clicked, this, &TForm_Change_DB::Button_OkClick);
    connect(ui->Button_Otkaji, &QPushButton::clicked, this, &QDialog::reject);
}

TForm_Change_DB::~TForm_Change_DB() = default;

void TForm_Change_DB::run(Session& session, QWidget* parent) {
    TForm_Change_DB* dialog =
        parent ? parent->findChild<TForm_Change_DB*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    std::unique_ptr<TForm_Change_DB> own;
    if (!dialog) {
        dialog = new TForm_Change_DB(session, parent);
        if (!parent)
            own.reset(dialog);
    }
    dialog->prepare();
    dialog->exec();
}

void TForm_Change_DB::prepare() {
    ui->Directories->setDirectory(workingDatabaseDirectory(session_));
}

void TForm_Change_DB::setSelectedDirectory(const QString& dir) {
    ui->Directories->setDirectory(dir);
}

QString TForm_Change_DB::selectedDirectory() const {
    return ui->Directories->directory();
}

void TForm_Change_DB::Button_OkClick() {
    const DbOperationResult r = switchCompanyDatabase(session_, selectedDirectory());
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
