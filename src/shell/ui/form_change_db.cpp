#include "shell/ui/form_change_db.h"

#include "common/ui/messages.h"
#include "shell/company_databases.h"
#include "shell/ui/directory_chooser.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
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
    : QDialog(parent), session_(session), chooser_(new DirectoryChooser(this)),
      ok_(new QPushButton(QStringLiteral("Приеми"), this)),
      cancel_(new QPushButton(QStringLiteral("Откажи"), this)) {
    setObjectName(QStringLiteral("Form_Change_DB"));
    setWindowTitle(QStringLiteral("Смяна на работна база "));
    ok_->setObjectName(QStringLiteral("Button_Ok"));
    cancel_->setObjectName(QStringLiteral("Button_Otkaji"));
    ok_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chooser_, 1);
    layout->addLayout(buttons);
    resize(420, 480);

    connect(ok_, &QPushButton::clicked, this, &TForm_Change_DB::Button_OkClick);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

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
    chooser_->setDirectory(workingDatabaseDirectory(session_));
}

void TForm_Change_DB::setSelectedDirectory(const QString& dir) {
    chooser_->setDirectory(dir);
}

QString TForm_Change_DB::selectedDirectory() const {
    return chooser_->directory();
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
