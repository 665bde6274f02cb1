#include "sales/ui/form_konsignation.h"

#include "common/cformat.h"
#include "common/grid_export.h"
#include "common/ref_text.h"
#include "common/ui/desktop.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "sales/cash_count.h"
#include "sales/texts.h"
#include "ui_form_konsignation.h"

#include <QDir>
#include <QItemSelectionModel>

namespace torvika {

TForm_Konsignation::TForm_Konsignation(const WindowContext& context, QWidget* parent)
    : QDialog(parent, Qt::Tool), ui(new Ui::TForm_Konsignation), session_(context.session) {
    ui->setupUi(this);
    model_ = new StatementModel(this);
    const int d = decimals();
    using F = GridColumnSpec;
    model_->setColumns({{QStringLiteral("Barkod"), QStringLiteral("Арт. №"), 8},
                        {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 28},
                        {QStringLiteral("Kol"), QStringLiteral("Кол."), 8, F::Number, d},
                        {QStringLiteral("Mqrka"), QStringLiteral("Мярка"), 6},
                        {QStringLiteral("Ed_Cena"), QStringLiteral("Ед. Цена"), 10, F::Number, d},
                        {QStringLiteral("Valuta"), QStringLiteral("Валута"), 6},
                        {QStringLiteral("T_O"), QStringLiteral("TO в %"), 6, F::Number, 2},
                        {QStringLiteral("Operator"), QStringLiteral("Оператор"), 12}});
    setUpStatementGrid(ui->DBGrid_Konsignation, model_, true);
    ui->Edit_Lihva->setToolTip(texts::kInterestHelp);
    ui->Edit_Lihva->setWhatsThis(texts::kInterestHelp);
    ui->Edit_First_Vnoska->hide();
    ui->Label_First_Vnoska->hide();

    connect(ui->SpEdit_Broj_Vnosk, &QSpinBox::valueChanged, this, &TForm_Konsignation::recompute);
    connect(ui->ComboBox_Period_Vnosk, &QComboBox::currentIndexChanged, this, &TForm_Konsignation::recompute);
    connect(ui->DateTimePicker_Otdavane, &QDateEdit::dateChanged, this, &TForm_Konsignation::recompute);
    connect(ui->ComboBox_PayTape, &QComboBox::activated, this, &TForm_Konsignation::methodChosen);
    connect(ui->Edit_Lihva, &QLineEdit::textChanged, this, [this] { numberEdited(ui->Edit_Lihva); });
    connect(ui->Edit_First_Vnoska, &QLineEdit::textChanged, this,
            [this] { numberEdited(ui->Edit_First_Vnoska); });
    connect(ui->Button_Vavejdane, &QPushButton::clicked, this, &TForm_Konsignation::Button_VavejdaneClick);
    connect(ui->Button_Otkaz, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, &TForm_Konsignation::Button_IztriiClick);
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, &TForm_Konsignation::Button_Pe4atClick);
}

TForm_Konsignation::~TForm_Konsignation() = default;

int TForm_Konsignation::decimals() const {
    return session_.settings().get(setting::kAmountDecimals);
}

void TForm_Konsignation::prepare(const QList<SaleLine>& lines, const QString& counterparty,
                                 const Decimal& given) {
    model_->clear();
    lines_.reset();
    lines_ = std::make_unique<ConsignmentLines>(session_.db(), lines);
    counterparty_ = counterparty;
    ui->Label_ID_Kontragent->setText(counterparty);
    ui->Label_ID_Konsignation->setText(QString::number(proposedCreditNumber(session_.db())));
    {
        const QSignalBlocker block(ui->DateTimePicker_Otdavane);
        ui->DateTimePicker_Otdavane->setDate(session_.today());
    }
    const bool first = given > Decimal();
    ui->ComboBox_PayTape->setCurrentIndex(
        int(first ? InstalmentMethod::EqualWithFirst : InstalmentMethod::Equal));
    ui->Edit_First_Vnoska->setVisible(first);
    ui->Label_First_Vnoska->setVisible(first);
    {
        const QSignalBlocker block(ui->Edit_First_Vnoska);
        ui->Edit_First_Vnoska->setText(first ? format42(given) : QStringLiteral("0"));
    }
    model_->setStatement(session_.db(), lines_->statement());
    recompute();
}

std::optional<CreditTerms> TForm_Konsignation::terms(bool say) const {
    CreditTerms t;
    t.counterparty = std::max(0, GetID_MFromTreeNodeName(counterparty_));
    t.handover = ui->DateTimePicker_Otdavane->date();
    t.instalments = ui->SpEdit_Broj_Vnosk->value();
    t.method = InstalmentMethod(ui->ComboBox_PayTape->currentIndex());
    t.period = InstalmentPeriod(ui->ComboBox_Period_Vnosk->currentIndex());
    const std::optional<Decimal> interest = Decimal::parse(ui->Edit_Lihva->text().trimmed());
    if (!interest) {
        if (say)
            showMessage(texts::kCreditInterestRange);
        return std::nullopt;
    }
    t.interest = *interest;
    if (t.method == InstalmentMethod::EqualWithFirst) {
        const std::optional<Decimal> first = Decimal::parse(ui->Edit_First_Vnoska->text().trimmed());
        if (!first) {
            if (say)
                showMessage(texts::kCreditFirstRange);
            return std::nullopt;
        }
        t.first = *first;
    }
    return t;
}

void TForm_Konsignation::numberEdited(QLineEdit* field) {
    // An emptied field, or a single blank, is 0.
    if (field->text().isEmpty() || field->text() == QLatin1String(" ")) {
        field->setText(QStringLiteral("0"));
        field->selectAll();
        return;
    }
    recompute();
}

void TForm_Konsignation::methodChosen(int index) {
    const bool first = index == int(InstalmentMethod::EqualWithFirst);
    ui->Edit_First_Vnoska->setVisible(first);
    ui->Label_First_Vnoska->setVisible(first);
    const QSignalBlocker block(ui->Edit_First_Vnoska);
    ui->Edit_First_Vnoska->setText(QStringLiteral("0"));
    recompute();
}

void TForm_Konsignation::recompute() {
    if (!lines_)
        return;
    const Decimal purchase = lines_->purchase();
    ui->Label_Ob6to_Sum_Art->setText(format44(purchase));
    const std::optional<CreditTerms> t = terms(false);
    if (!t || refuseCreditTerms(*t, purchase)) {
        // Terms that cannot be taken show no amounts to rely on.
        ui->Label_Ob6to_Sum->setText(QStringLiteral("-"));
        ui->Label_Vnoska->setText(QStringLiteral("-"));
        return;
    }
    const CreditSchedule s = creditSchedule(*t, purchase);
    ui->Label_Ob6to_Sum->setText(format44(s.total));
    ui->Label_Vnoska->setText(format44(s.instalment));
    ui->DateTimePicker_Pay->setDate(s.payDate);
}

CreditSale TForm_Konsignation::creditSale() const {
    CreditSale sale;
    if (const std::optional<CreditTerms> t = terms(false))
        sale.terms = *t;
    if (lines_) {
        sale.lines = lines_->lines();
        sale.purchase = lines_->purchase();
    }
    return sale;
}

void TForm_Konsignation::Button_VavejdaneClick() {
    const std::optional<CreditTerms> t = terms(true);
    if (!t)
        return;
    if (const std::optional<QString> refusal =
            refuseCreditTerms(*t, lines_ ? lines_->purchase() : Decimal())) {
        showMessage(*refusal);
        return;
    }
    accept();
}

void TForm_Konsignation::Button_IztriiClick() {
    if (!lines_)
        return;
    QList<qint64> numbers;
    for (const QModelIndex& i : ui->DBGrid_Konsignation->selectionModel()->selectedRows())
        numbers << model_->value(i.row(), QStringLiteral("N_Prodajba")).toLongLong();
    if (numbers.isEmpty())
        return;
    guarded([&] {
        lines_->remove(numbers);
        model_->reread();
    });
    recompute();
}

void TForm_Konsignation::Button_Pe4atClick() {
    const std::optional<CreditTerms> t = terms(true);
    if (!t || !lines_)
        return;
    const Decimal purchase = lines_->purchase();
    if (const std::optional<QString> refusal = refuseCreditTerms(*t, purchase)) {
        showMessage(*refusal);
        return;
    }
    const QString path = QDir(session_.programDir.tempDir()).filePath(QStringLiteral("Vnoski_Pay.tmp"));
    const bool written = guarded([&] {
        ProtocolData p;
        p.number = ui->Label_ID_Konsignation->text().toLongLong();
        p.terms = *t;
        p.schedule = creditSchedule(*t, purchase);
        for (const SaleLine& l : lines_->lines()) {
            p.goods << CreditGoods{l.description, formatFixed(l.quantity, decimals(), 0),
                                   formatFixed(l.unitPrice, decimals(), 0), l.currency};
            p.currency = l.currency;
        }
        p.parties = creditCounterparty(session_.db(), t->counterparty);
        const Settings& firm = session_.settings();
        p.parties.firmName = firm.get(setting::kCompanyName);
        p.parties.firmMol = firm.get(setting::kCompanyManager);
        p.parties.firmAddress = firm.get(setting::kCompanyAddress);
        p.parties.firmEik = firm.get(setting::kCompanyEik);
        p.operatorName = session_.operatorName();
        p.decimals = decimals();
        writeReportFile(path, handoverProtocol(p) << footerLine());
    });
    if (written)
        SHELLEXECUTE_OPENFILE(path);
}

std::optional<CreditSale> INSERTINTO_KONSIGNATION(const WindowContext& context, const QList<SaleLine>& lines,
                                                  const QString& counterparty, const Decimal& given,
                                                  QWidget* parent) {
    TForm_Konsignation dialog(context, parent);
    if (!guarded([&] { dialog.prepare(lines, counterparty, given); }))
        return std::nullopt;
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.creditSale();
}

} // namespace torvika
