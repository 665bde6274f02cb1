#include "counterparties/ui/details_dialog.h"

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
    Details accounts;
    accounts.columns = {{QStringLiteral("ID_SM"), QStringLiteral("Номер")},
                        {QStringLiteral("Smetka"), QStringLiteral("Номер на сметка")},
                        {QStringLiteral("Kod"), QStringLiteral("Код на сметка")},
                        {QStringLiteral("Banka"), QStringLiteral("Банка")},
                        {QStringLiteral("Klon"), QStringLiteral("Клон")},
                        {QStringLiteral("DDS"), QStringLiteral("ДДС сметка")}};
    accounts.statement = [counterparty] { return accountsStatement(counterparty); };
    accounts.clear = [this] {
        ui->Edit_Smetka->clear();
        ui->Edit_Kod->clear();
        ui->Edit_Klon->clear();
        ui->ComboBox_Banka->setEditText(QString());
        ui->CheckBox_DDS->setChecked(false);
    };
    accounts.load = [this](int row) {
        ui->Edit_Smetka->setText(model()->value(row, 1).toString());
        ui->Edit_Kod->setText(model()->value(row, 2).toString());
        ui->ComboBox_Banka->setEditText(model()->value(row, 3).toString());
        ui->Edit_Klon->setText(model()->value(row, 4).toString());
        ui->CheckBox_DDS->setChecked(textBool(model()->value(row, 5).toString()));
    };
    accounts.save = [this](const QVariant& key) {
        const BankAccount a{key.toLongLong(),      ui->Edit_Smetka->text(),
                            ui->Edit_Kod->text(),  ui->ComboBox_Banka->currentText(),
                            ui->Edit_Klon->text(), ui->CheckBox_DDS->isChecked()};
        if (!key.isValid())
            return insertBankAccount(session_.db(), counterparty_, a);
        updateBankAccount(session_.db(), counterparty_, a);
        return a.id;
    };
    // The banks already known, to choose from or to type a new one.
    accounts.entering = [this] {
        QComboBox* bank = ui->ComboBox_Banka;
        const QString typed = bank->currentText();
        bank->clear();
        bank->addItems(bankNames(session_.db()));
        bank->setEditText(typed);
    };
    setUpDetails(accounts);
}

TForm_Kontrag_Smetki::~TForm_Kontrag_Smetki() = default;

} // namespace torvika
