#include "sales/ui/cash_desk_panel.h"

#include "common/cformat.h"
#include "common/ui/desktop.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "sales/consignment.h"
#include "sales/texts.h"
#include "sales/ui/fiscal_commands.h"
#include "shell/operators.h"
#include "ui_cash_desk_panel.h"

#include <QDir>
#include <QFormLayout>
#include <QKeyEvent>
#include <QSpinBox>

namespace torvika {

namespace {
// The counts have no bound a drawer could reach.
constexpr int kMaxCount = 9999999;
} // namespace

CashDeskPanel::CashDeskPanel(QWidget* parent) : QGroupBox(parent), ui(new Ui::CashDeskPanel) {
    ui->setupUi(this);
    coins_ = new QFormLayout(ui->GroupBox_Moneti);
    notes_ = new QFormLayout(ui->GroupBox_Banknoti);
    connect(ui->SpdBtn_Iz4isli, &QPushButton::clicked, this, &CashDeskPanel::SpdBtn_Iz4isliClick);
    connect(ui->SpeedButton1, &QPushButton::clicked, this, &CashDeskPanel::SpeedButton1Click);
    connect(ui->Button_Sluj_Vnos, &QPushButton::clicked, this,
            [this] { cashMovement(QStringLiteral("deposit")); });
    connect(ui->Button_Sluj_Izvod, &QPushButton::clicked, this,
            [this] { cashMovement(QStringLiteral("withdraw")); });
    hide();
}

CashDeskPanel::~CashDeskPanel() = default;

void CashDeskPanel::setUp(const WindowContext& context) {
    session_ = &context.session;
}

void CashDeskPanel::buildCountFields() {
    QString base;
    logged([&] { base = creditCurrencyName(session_->db()); });
    const CashCurrency currency = cashCurrencyFor(base);
    if (!fields_.isEmpty() && currency.word == currency_.word)
        return;
    for (QSpinBox* f : fields_)
        delete f;
    fields_.clear();
    for (QFormLayout* layout : {coins_, notes_})
        while (layout->rowCount() > 0)
            layout->removeRow(0);
    currency_ = currency;
    for (const Denomination& d : currency_.denominations) {
        auto* field = new QSpinBox(this);
        field->setObjectName(d.field);
        field->setRange(0, kMaxCount);
        field->setAlignment(Qt::AlignRight);
        field->installEventFilter(this);
        (d.coin ? coins_ : notes_)->addRow(d.caption, field);
        fields_ << field;
    }
    // Made while the panel may be shown: shown at once, not at the next turn of the event loop.
    for (QGroupBox* group : {ui->GroupBox_Moneti, ui->GroupBox_Banknoti})
        for (QWidget* w : group->findChildren<QWidget*>())
            w->show();
}

void CashDeskPanel::toggle() {
    if (isVisible()) {
        hide();
        return;
    }
    show();
    load();
}

void CashDeskPanel::load() {
    if (!session_)
        return;
    buildCountFields();
    for (QSpinBox* f : fields_)
        f->setValue(0);
    turnover_ = Decimal();
    inHand_ = Decimal();
    ui->Label_Nali4no->setText(format42(Decimal()));
    ui->Label_Razlika->setText(format42(Decimal()));
    Session& s = *session_;
    guarded([&] {
        const Turnover t = cashTurnover(s.db(), s.today(), s.settings().get(setting::kTerminal),
                                        s.settings().get(setting::kAmountDecimals));
        turnover_ = t.cash;
        if (!t.currenciesWithoutRate.isEmpty())
            showMessage(texts::kTurnoverWithoutRate.arg(
                u'"' + t.currenciesWithoutRate.join(QStringLiteral("\", \"")) + u'"'));
    });
    ui->Label_Oborot->setText(format42(turnover_));
    if (!fields_.isEmpty()) {
        fields_.first()->setFocus();
        fields_.first()->selectAll();
    }
}

QList<qint64> CashDeskPanel::counts() const {
    QList<qint64> out;
    for (const QSpinBox* f : fields_)
        out << f->value();
    return out;
}

void CashDeskPanel::SpdBtn_Iz4isliClick() {
    for (QSpinBox* f : fields_)
        f->interpretText();
    inHand_ = cashInHand(currency_, counts());
    ui->Label_Nali4no->setText(format42(inHand_));
    ui->Label_Razlika->setText(format42(inHand_ - turnover_));
}

void CashDeskPanel::cashMovement(const QString& call) {
    if (!session_)
        return;
    std::optional<FiscalServer> server;
    if (!guarded([&] { server = fiscalServer(*session_); }))
        return;
    if (!server) {
        showMessage(texts::kCashMovementNeedsServer);
        return;
    }
    const QString caption = call == u"deposit" ? texts::kCashIn : texts::kCashOut;
    const std::optional<QString> typed =
        Messages::current().inputText(caption, texts::kCashAmount, QString());
    if (!typed)
        return;
    const std::optional<Decimal> amount = Decimal::parse(QString(*typed).replace(u',', u'.').trimmed());
    if (!amount || amount->sign() <= 0) {
        showMessage(texts::kWrongValue);
        return;
    }
    sendFiscalCall(*session_, *server, call,
                   QJsonObject{{QStringLiteral("amount"), amount->rounded(2).toDouble()}});
}

void CashDeskPanel::SpeedButton1Click() {
    if (!session_)
        return;
    SpdBtn_Iz4isliClick();
    Session& s = *session_;
    const QString path = QDir(s.programDir.tempDir()).filePath(QStringLiteral("Account.tmp"));
    const CashCountReport report{s.now(),   turnover_, inHand_, operatorPanelText(s.operatorName()),
                                 currency_, counts()};
    if (guarded([&] { writeReportFile(path, cashCountReport(report)); }))
        SHELLEXECUTE_OPENFILE(path);
}

bool CashDeskPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && fields_.contains(watched)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            SpdBtn_Iz4isliClick();
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace torvika
