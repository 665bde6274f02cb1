#include "counterparties/ui/form_kontrag_smetki.h"

#include "counterparties/sites_accounts.h"
#include "counterparties/texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

namespace torvika {

TForm_Kontrag_Smetki::TForm_Kontrag_Smetki(Session& session, qint64 counterparty, const QString& refText,
                                           QWidget* parent)
    : DetailsDialog(session, counterparty, refText, parent), account_(new QLineEdit(this)),
      code_(new QLineEdit(this)), branch_(new QLineEdit(this)), bank_(new QComboBox(this)),
      vat_(new QCheckBox(QStringLiteral("ДДС сметка"), this)) {
    setObjectName(QStringLiteral("Form_Kontrag_Smetki"));
    setWindowTitle(kAccountsTitle);
    account_->setObjectName(QStringLiteral("Edit_Smetka"));
    code_->setObjectName(QStringLiteral("Edit_Kod"));
    branch_->setObjectName(QStringLiteral("Edit_Klon"));
    bank_->setObjectName(QStringLiteral("ComboBox_Banka"));
    bank_->setEditable(true);
    bank_->setInsertPolicy(QComboBox::NoInsert);
    vat_->setObjectName(QStringLiteral("CheckBox_DDS"));
    fields()->addRow(QStringLiteral("Номер на сметка"), account_);
    fields()->addRow(QStringLiteral("Код"), code_);
    fields()->addRow(QStringLiteral("Клон"), branch_);
    fields()->addRow(QStringLiteral("Банка"), bank_);
    fields()->addRow(vat_);
    finishSetUp({QStringLiteral("Номер"), QStringLiteral("Номер на сметка"), QStringLiteral("Код на сметка"),
                 QStringLiteral("Банка"), QStringLiteral("Клон"), QStringLiteral("ДДС сметка")});
}

SqlStatement TForm_Kontrag_Smetki::statement() const {
    return accountsStatement(counterparty_);
}

void TForm_Kontrag_Smetki::clearFields() {
    account_->clear();
    code_->clear();
    branch_->clear();
    bank_->setEditText(QString());
    vat_->setChecked(false);
}

void TForm_Kontrag_Smetki::loadRow(int row) {
    account_->setText(value(row, 1).toString());
    code_->setText(value(row, 2).toString());
    bank_->setEditText(value(row, 3).toString());
    branch_->setText(value(row, 4).toString());
    vat_->setChecked(textBool(value(row, 5).toString()));
}

void TForm_Kontrag_Smetki::enteringState(State state) {
    if (state == Idle)
        return;
    // The banks already known, to choose from or to type a new one.
    const QString typed = bank_->currentText();
    bank_->clear();
    bank_->addItems(bankNames(session_.workspace.db()));
    bank_->setEditText(typed);
}

void TForm_Kontrag_Smetki::save(bool isNew) {
    BankAccount a;
    a.id = rowId();
    a.account = account_->text();
    a.code = code_->text();
    a.bank = bank_->currentText();
    a.branch = branch_->text();
    a.vat = vat_->isChecked();
    if (isNew)
        insertBankAccount(session_.workspace.db(), counterparty_, a);
    else
        updateBankAccount(session_.workspace.db(), counterparty_, a);
}

} // namespace torvika
