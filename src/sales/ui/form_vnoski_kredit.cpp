#include "sales/ui/form_vnoski_kredit.h"

#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/grid_export.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/desktop.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "sales/cash_count.h"
#include "sales/texts.h"
#include "sales/ui/fiscal_commands.h"
#include "ui_form_vnoski_kredit.h"

#include <QDir>

namespace torvika {

TForm_Vnoski_Kredit::TForm_Vnoski_Kredit(const WindowContext& context, QWidget* parent)
    : QDialog(parent, Qt::Tool), ui(new Ui::TForm_Vnoski_Kredit), context_(context),
      session_(context.session) {
    ui->setupUi(this);
    model_ = new StatementModel(this);
    const int d = session_.settings().get(setting::kAmountDecimals);
    using F = GridColumnSpec;
    model_->setColumns({{QStringLiteral("ID_Art"), QStringLiteral("Арт. N"), 8, F::Integer},
                        {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 28},
                        {QStringLiteral("Kol"), QStringLiteral("Кол."), 8, F::Number, d},
                        {QStringLiteral("ED_Cena"), QStringLiteral("Ед. цена"), 10, F::Number, d},
                        {QStringLiteral("Valuta"), QStringLiteral("Валута"), 6},
                        {QStringLiteral("T_O"), QStringLiteral("ТО в %"), 6, F::Number, 2},
                        {QStringLiteral("Operator"), QStringLiteral("Оператор"), 12}});
    setUpStatementGrid(ui->DBGrid1, model_);
    ui->Edit_4ast_Pay->hide();
    ui->Button_Izplati->setEnabled(false);
    ui->Button_Pe4at->setEnabled(false);

    connect(ui->Label1, &QLabel::linkActivated, this, &TForm_Vnoski_Kredit::chooseCounterparty);
    connect(ui->ComboBox_N_Kredit, &QComboBox::currentIndexChanged, this, &TForm_Vnoski_Kredit::chooseCredit);
    connect(ui->ChkBox_4ast_Pay, &QCheckBox::clicked, this, &TForm_Vnoski_Kredit::partialTicked);
    connect(ui->Edit_4ast_Pay, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty() || text == QLatin1String(" ")) {
            ui->Edit_4ast_Pay->setText(QStringLiteral("0"));
            ui->Edit_4ast_Pay->selectAll();
        }
    });
    connect(ui->Button_Izplati, &QPushButton::clicked, this, &TForm_Vnoski_Kredit::Button_IzplatiClick);
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, &TForm_Vnoski_Kredit::Button_Pe4atClick);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &TForm_Vnoski_Kredit::Button_ZatvoriClick);
}

TForm_Vnoski_Kredit::~TForm_Vnoski_Kredit() = default;

void TForm_Vnoski_Kredit::loadCounterparty(const QString& refText) {
    counterparty_ = refText;
    ui->Label_Kontrag_Vnoski->setText(refText);
    QList<qint64> credits;
    guarded([&] { credits = openCredits(session_.db(), std::max(0, GetID_MFromTreeNodeName(refText))); });
    {
        const QSignalBlocker block(ui->ComboBox_N_Kredit);
        ui->ComboBox_N_Kredit->clear();
        for (qint64 k : credits)
            ui->ComboBox_N_Kredit->addItem(QString::number(k));
        ui->ComboBox_N_Kredit->setCurrentIndex(credits.isEmpty() ? -1 : 0);
    }
    ui->ChkBox_4ast_Pay->setEnabled(true);
    chooseCredit();
}

void TForm_Vnoski_Kredit::chooseCounterparty() {
    model_->clear();
    // The list's follow-up of this mode shows the choice here.
    if (!pickCounterparty(context_, kSelectInstalments, this))
        chooseCredit();
}

void TForm_Vnoski_Kredit::chooseCredit() {
    credit_.reset();
    const qint64 id = ui->ComboBox_N_Kredit->currentText().toLongLong();
    if (id > 0)
        guarded([&] {
            credit_ = loadCredit(session_.db(), id);
            if (credit_)
                model_->setStatement(session_.db(), creditLinesStatement(id));
        });
    if (!credit_) {
        model_->clear();
        for (QLabel* l : {ui->Label12, ui->Label_Ob6to_Sum, ui->Label_Lihva, ui->Label_First_Vnosk,
                          ui->Label_Sum_Vnoska, ui->Label_4ast_Pay_SUM})
            l->setText(format44(Decimal()));
        ui->Label_Kol_Vnoski->setText(QStringLiteral("0"));
        ui->Label_N_Vnoska->clear();
    } else {
        const CreditState& c = *credit_;
        ui->Label12->setText(format44(c.purchase));
        ui->Label_Ob6to_Sum->setText(format44(c.total));
        ui->Label_Kol_Vnoski->setText(QString::number(c.count));
        ui->Label_Lihva->setText(format44(c.interest));
        ui->Label_First_Vnosk->setText(format44(c.first));
        ui->Label_Sum_Vnoska->setText(format44(c.instalment));
        ui->Label_N_Vnoska->setText(QString::number(c.current));
        ui->Label_4ast_Pay_SUM->setText(format44(c.due));
    }
    // Nothing to pay without a credit whose instalment is due.
    ui->Button_Izplati->setEnabled(credit_ && !credit_->paidOff && credit_->current <= credit_->count);
    ui->Button_Pe4at->setEnabled(credit_.has_value() || lastPayment_.has_value());
}

void TForm_Vnoski_Kredit::partialTicked(bool on) {
    ui->Edit_4ast_Pay->setVisible(on);
    if (on) {
        ui->Edit_4ast_Pay->setText(QStringLiteral("0"));
        ui->Edit_4ast_Pay->setFocus();
        ui->Edit_4ast_Pay->selectAll();
    }
}

VoucherData TForm_Vnoski_Kredit::voucher(const Decimal& amount, bool partial) const {
    VoucherData v;
    if (!credit_)
        return v;
    v.credit = credit_->id;
    v.currencyWord = baseCurrencyNamed(credit_->currency).words.major;
    v.now = session_.now();
    v.counterparty = counterparty_;
    v.instalment = credit_->current;
    v.count = credit_->count;
    for (int r = 0; r < model_->rowCount(); ++r)
        v.goods << CreditGoods{
            model_->value(r, QStringLiteral("Opisanie")).toString(),
            StatementModel::displayText(model_->value(r, QStringLiteral("Kol")), model_->columns().at(2)),
            StatementModel::displayText(model_->value(r, QStringLiteral("ED_Cena")), model_->columns().at(3)),
            model_->value(r, QStringLiteral("Valuta")).toString()};
    v.amount = amount;
    v.partial = partial;
    v.due = credit_->due;
    return v;
}

void TForm_Vnoski_Kredit::Button_IzplatiClick() {
    if (!credit_ || credit_->paidOff || credit_->current > credit_->count)
        return;
    InstalmentPayment payment;
    payment.credit = credit_->id;
    payment.instalment = credit_->current;
    payment.due = credit_->due;
    const bool partial = ui->ChkBox_4ast_Pay->isChecked();
    if (partial) {
        const std::optional<Decimal> amount = Decimal::parse(ui->Edit_4ast_Pay->text().trimmed());
        if (!amount) {
            showMessage(texts::kPaymentNotAboveZero);
            ui->Edit_4ast_Pay->setFocus();
            ui->Edit_4ast_Pay->selectAll();
            return;
        }
        payment.partial = *amount;
    }
    payment.place = {session_.operatorName(), session_.now(), session_.settings().get(setting::kTerminal),
                     session_.activeWarehouse()};
    PaymentResult paid;
    if (!guarded([&] { paid = payInstalment(session_.db(), payment); })) {
        if (partial)
            ui->Edit_4ast_Pay->setFocus();
        return;
    }
    if (paid.status == PaymentResult::Changed) {
        showMessage(texts::kCreditChangedMeanwhile);
    } else {
        lastPayment_ = voucher(paid.amount, partial);
        // The payment is recorded: a receipt that cannot be written is said
        // and the payment stands.
        guarded([&] {
            const BonResult bon =
                printInstalmentReceipt(session_.state<FiscalState>(), session_.db(), paid, payment.credit,
                                       fiscalSettings(session_), bonHeader(session_, QString()));
            reportBonResult(session_, bon);
        });
    }
    ui->ChkBox_4ast_Pay->setChecked(false);
    partialTicked(false);
    ui->Edit_4ast_Pay->setText(QStringLiteral("0.0000"));
    const qint64 shown = payment.credit;
    loadCounterparty(counterparty_);
    // The credit paid stays chosen while it is open.
    if (const int i = ui->ComboBox_N_Kredit->findText(QString::number(shown)); i > 0)
        ui->ComboBox_N_Kredit->setCurrentIndex(i);
}

void TForm_Vnoski_Kredit::Button_Pe4atClick() {
    // The voucher of the last payment made here; before any, of the
    // current instalment as it would be paid.
    VoucherData v;
    if (lastPayment_) {
        v = *lastPayment_;
    } else if (credit_) {
        const bool partial = ui->ChkBox_4ast_Pay->isChecked();
        v = voucher(partial ? Decimal::parse(ui->Edit_4ast_Pay->text().trimmed()).value_or(Decimal())
                            : credit_->due,
                    partial);
    } else {
        return;
    }
    const QString path = QDir(session_.programDir.tempDir()).filePath(QStringLiteral("Vnoski_Pay.tmp"));
    if (guarded([&] { writeReportFile(path, instalmentVoucher(v) << footerLine()); }))
        SHELLEXECUTE_OPENFILE(path);
}

void TForm_Vnoski_Kredit::Button_ZatvoriClick() {
    reject();
}

void TForm_Vnoski_Kredit::reject() {
    counterparty_ = texts::kNoCounterpartyChosen;
    ui->Label_Kontrag_Vnoski->setText(counterparty_);
    {
        const QSignalBlocker block(ui->ComboBox_N_Kredit);
        ui->ComboBox_N_Kredit->clear();
    }
    credit_.reset();
    lastPayment_.reset();
    model_->clear();
    ui->Label_Ob6to_Sum->setText(format44(Decimal()));
    ui->Label_Sum_Vnoska->setText(format44(Decimal()));
    ui->Label_N_Vnoska->clear();
    ui->Label_Kol_Vnoski->setText(QStringLiteral("0"));
    ui->ChkBox_4ast_Pay->setChecked(false);
    partialTicked(false);
    QDialog::reject();
}

} // namespace torvika
