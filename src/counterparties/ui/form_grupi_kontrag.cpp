#include "counterparties/ui/form_grupi_kontrag.h"

#include "common/new_keys.h"
#include "common/ui/messages.h"
#include "counterparties/group_tree.h"
#include "counterparties/texts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace torvika {

TForm_Grupi_Kontrag::TForm_Grupi_Kontrag(Session& session, const QString& kind, QWidget* parent)
    : QDialog(parent), session_(session), name_(new QLineEdit(this)), numberField_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("Form_Grupi_Kontrag"));
    setWindowTitle(kEnteringGroup + kind);
    name_->setObjectName(QStringLiteral("Edit_Naimenovanie"));
    numberField_->setObjectName(QStringLiteral("Edit_Nomer"));
    numberField_->setText(QString::number(
        GET_MAX_NUMBER(session_.workspace.db(), QStringLiteral("Grupi_Kontrag"), QStringLiteral("ID"))));

    auto* save = new QPushButton(QStringLiteral("Запис"), this);
    save->setObjectName(QStringLiteral("Button_Zapis"));
    save->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Отказ"), this);
    cancel->setObjectName(QStringLiteral("Button_Otkaz"));
    connect(save, &QPushButton::clicked, this, &TForm_Grupi_Kontrag::Button_ZapisClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Наименование"), name_);
    form->addRow(QStringLiteral("Номер"), numberField_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    form->addRow(buttons);
}

QString TForm_Grupi_Kontrag::name() const {
    return name_->text();
}

void TForm_Grupi_Kontrag::Button_ZapisClick() {
    bool ok = false;
    const qint64 number = numberField_->text().trimmed().toLongLong(&ok);
    if (!ok || number <= 0) {
        showMessage(kGroupNumberNotPositive);
        numberField_->setFocus();
        return;
    }
    if (!addCounterpartyGroup(session_.workspace.db(), number, name())) {
        showMessage(kGroupNumberTaken);
        reject();
        return;
    }
    number_ = number;
    accept();
}

} // namespace torvika
