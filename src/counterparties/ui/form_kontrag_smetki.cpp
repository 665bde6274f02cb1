#include "counterparties/ui/form_kontrag_smetki.h"

#include "counterparties/sites_accounts.h"
#include "counterparties/texts.h"
#include "ui_form_kontrag_smetki.h"

namespace torvika {

TForm_Kontrag_Smetki::TForm_Kontrag_Smetki(const WindowContext& context, qint64 counterparty,
                                           const QString& refText, QWidget* parent)
    : DetailsDialog(context, counterparty, refText, parent), ui(new Ui::TForm_Kontrag_Smetki) {
    ui->setupUi(fieldsPanel());
    setObjectName(QStringLiteral("Form_Kontrag_Smetki"));
    setWindowTitle(kAccountsTitle);
    finishSetUp({QStringLiteral("Номер"), QStringLiteral("Номер на сметка"), QStringLiteral("Код на сметка"),
                 QStringLiteral("Банка"), QStringLiteral("Клон"), QStringLiteral("ДДС сметка")});
}

TForm_Kontrag_Smetki::~TForm_Kontrag_Smetki() = default;

SqlStatement TForm_Kontrag_Smetki::statement() const {
    return accountsStatement(counterparty_);
}

void TForm_Kontrag_Smetki::clearFields() {
    ui->Edit_Smetka->clear();
    ui->Edit_Kod->clear();
    ui->Edit_Klon->clear();
    ui->ComboBox_Banka->setEditText(QString());
    ui->CheckBox_DDS->setChecked(false);
}

void TForm_Kontrag_Smetki::loadRow(int row) {
    ui->Edit_Smetka->setText(value(row, 1).toString());
    ui->Edit_Kod->setText(value(row, 2).toString());
    ui->ComboBox_Banka->setEditText(value(row, 3).toString());
    ui->Edit_Klon->setText(value(row, 4).toString());
    ui->CheckBox_DDS->setChecked(textBool(value(row, 5).toString()));
}

void TForm_Kontrag_Smetki::enteringState(State state) {
    if (state == Idle)
        return;
    // The banks already known, to choose from or to type a new one.
    QComboBox* bank = ui->ComboBox_Banka;
    const QString typed = bank->currentText();
    bank->clear();
    bank->addItems(bankNames(session_.workspace.db()));
    bank->setEditText(typed);
}

void TForm_Kontrag_Smetki::save(bool isNew) {
    BankAccount a;
    a.id = rowId();
    a.account = ui->Edit_Smetka->text();
    a.code = ui->Edit_Kod->text();
    a.bank = ui->ComboBox_Banka->currentText();
    a.branch = ui->Edit_Klon->text();
    a.vat = ui->CheckBox_DDS->isChecked();
    if (isNew)
        insertBankAccount(session_.workspace.db(), counterparty_, a);
    else
        updateBankAccount(session_.workspace.db(), counterparty_, a);
}

} // namespace torvika
