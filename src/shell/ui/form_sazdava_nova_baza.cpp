#include "shell/ui/form_sazdava_nova_baza.h"

#include "common/ui/messages.h"
#include "shell/company_databases.h"
#include "shell/ui/directory_chooser.h"
#include "shell/ui/form_change_db.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace torvika {

TForm_Sazdava_Nova_Baza::TForm_Sazdava_Nova_Baza(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), chooser_(new DirectoryChooser(this)),
      nameLabel_(new QLabel(QStringLiteral("Въведете името на новата база данни"), this)),
      name_(new QLineEdit(this)), memo_(new QPlainTextEdit(this)),
      accept_(new QPushButton(QStringLiteral("Приеми"), this)),
      cancel_(new QPushButton(QStringLiteral("Откажи"), this)) {
    setObjectName(QStringLiteral("Form_Sazdava_Nova_Baza"));
    nameLabel_->setObjectName(QStringLiteral("Label_ime_baza"));
    name_->setObjectName(QStringLiteral("Edit_ime_baza"));
    nameLabel_->setBuddy(name_);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setReadOnly(true);
    accept_->setObjectName(QStringLiteral("Button_Vavedi"));
    cancel_->setObjectName(QStringLiteral("Button_Otkaji"));
    accept_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(accept_);
    buttons->addWidget(cancel_);
    auto* left = new QVBoxLayout;
    left->addWidget(chooser_, 1);
    left->addWidget(nameLabel_);
    left->addWidget(name_);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(memo_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    resize(720, 480);

    connect(accept_, &QPushButton::clicked, this, &TForm_Sazdava_Nova_Baza::Button_VavediClick);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    setMode(Create);
}

void TForm_Sazdava_Nova_Baza::run(Session& session, int mode, QWidget* parent) {
    TForm_Sazdava_Nova_Baza* dialog =
        parent ? parent->findChild<TForm_Sazdava_Nova_Baza*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    std::unique_ptr<TForm_Sazdava_Nova_Baza> own;
    if (!dialog) {
        dialog = new TForm_Sazdava_Nova_Baza(session, parent);
        if (!parent)
            own.reset(dialog);
    }
    dialog->setMode(mode);
    dialog->exec();
}

void TForm_Sazdava_Nova_Baza::setMode(int mode) {
    mode_ = mode == Update ? Update : Create;
    const bool creating = mode_ == Create;
    setWindowTitle(creating ? QStringLiteral("Създаване на нова база данни")
                            : QStringLiteral("Актуализация на база данни"));
    // An update needs no name: it runs on the working database.
    nameLabel_->setVisible(creating);
    name_->setVisible(creating);
    chooser_->setDirectory(creating ? workingDatabaseDirectory(session_)
                                    : QDir::cleanPath(session_.programDir.sqlsDir()));
}

void TForm_Sazdava_Nova_Baza::setSelectedDirectory(const QString& dir) {
    chooser_->setDirectory(dir);
}

QString TForm_Sazdava_Nova_Baza::selectedDirectory() const {
    return chooser_->directory();
}

void TForm_Sazdava_Nova_Baza::Button_VavediClick() {
    memo_->clear();
    if (mode_ == Create) {
        const DbOperationResult r = createCompanyDatabase(session_, selectedDirectory(), name_->text());
        memo_->setPlainText(r.log.join(u'\n'));
        if (!r.message.isEmpty())
            showMessage(r.message);
        accept();
        // After a failure the alias still leads to the old database: the
        // login is into that one.
        session_.requestLogin();
        return;
    }
    const DbOperationResult r = updateCompanyDatabase(session_, selectedDirectory());
    memo_->setPlainText(r.log.join(u'\n'));
    showMessage(r.message);
    accept();
    // A failed update leaves the database as it was, and the login with it.
    if (r.ok)
        session_.requestLogin();
}

} // namespace torvika
