#include "sales/ui/form_pay_type.h"

#include "common/cformat.h"
#include "common/ui/messages.h"
#include "sales/texts.h"
#include "ui_form_pay_type.h"

#include <QRegularExpressionValidator>

namespace torvika {

TForm_Pay_Type::TForm_Pay_Type(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(new Ui::TForm_Pay_Type) {
    ui->setupUi(this);
    // Digits with a point or a comma: the change is always a number.
    ui->Edit_Dadena_Sum->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral(R"(\s?|\d{1,12}([.,]\d{0,4})?)")), ui->Edit_Dadena_Sum));
    connect(ui->Edit_Dadena_Sum, &QLineEdit::textChanged, this, &TForm_Pay_Type::givenChanged);
    connect(ui->Pay_Cash, &QRadioButton::clicked, this, [this] { kindChosen(PayKind::Cash); });
    connect(ui->Pay_Bank, &QRadioButton::clicked, this, [this] { kindChosen(PayKind::BankTransfer); });
    connect(ui->Pay_Deferred, &QRadioButton::clicked, this, [this] { kindChosen(PayKind::Deferred); });
    connect(ui->OKBtn, &QPushButton::clicked, this, &TForm_Pay_Type::acceptPayment);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TForm_Pay_Type::~TForm_Pay_Type() = default;

void TForm_Pay_Type::prepare(qint64 counterparty, const QString& amountDue, bool offerDeferred) {
    ui->Pay_Deferred->setVisible(offerDeferred && counterparty != 0);
    ui->Edit_Dalji_Sum->setText(amountDue.trimmed());
    ui->Edit_Dadena_Sum->setText(amountDue.trimmed());
    ui->Pay_Cash->setChecked(true);
    ui->Edit_Dadena_Sum->setFocus();
    ui->Edit_Dadena_Sum->selectAll();
}

std::optional<PayKind> TForm_Pay_Type::payKind() const {
    if (ui->Pay_Cash->isChecked())
        return PayKind::Cash;
    if (ui->Pay_Bank->isChecked())
        return PayKind::BankTransfer;
    if (ui->Pay_Deferred->isChecked() && ui->Pay_Deferred->isVisibleTo(this))
        return PayKind::Deferred;
    return std::nullopt;
}

std::optional<Decimal> TForm_Pay_Type::given() const {
    return Decimal::parse(ui->Edit_Dadena_Sum->text());
}

Decimal TForm_Pay_Type::due() const {
    return Decimal::parse(ui->Edit_Dalji_Sum->text()).value_or(Decimal());
}

void TForm_Pay_Type::givenChanged(const QString& text) {
    if (text.isEmpty() || text == QLatin1String(" ")) {
        ui->Edit_Dadena_Sum->setText(QStringLiteral("0"));
        ui->Edit_Dadena_Sum->selectAll();
        return;
    }
    ui->Label_Resto->setText(texts::kChangeCaption + formatFixed(given().value_or(Decimal()) - due(), 2, 4));
}

void TForm_Pay_Type::kindChosen(PayKind kind) {
    ui->Edit_Dadena_Sum->setText(kind == PayKind::Deferred ? QStringLiteral("0")
                                                           : ui->Edit_Dalji_Sum->text());
    ui->Edit_Dadena_Sum->setFocus();
    ui->Edit_Dadena_Sum->selectAll();
}

void TForm_Pay_Type::acceptPayment() {
    if (!payKind())
        return;
    // Cash that does not cover the sale would be recorded as paid.
    if (*payKind() == PayKind::Cash && given().value_or(Decimal()) < due()) {
        showMessage(texts::kGivenBelowDue);
        ui->Edit_Dadena_Sum->setFocus();
        ui->Edit_Dadena_Sum->selectAll();
        return;
    }
    accept();
}

std::optional<Payment> GET_PAY_TYPE(qint64 counterparty, const QString& amountDue, QWidget* parent) {
    TForm_Pay_Type dialog(parent);
    dialog.prepare(counterparty, amountDue, true);
    if (dialog.exec() != QDialog::Accepted || !dialog.payKind())
        return std::nullopt;
    return Payment{*dialog.payKind(), dialog.given().value_or(Decimal())};
}

} // namespace torvika
