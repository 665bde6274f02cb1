#include "catalogue/ui/form_valuti.h"

#include "catalogue/currencies.h"
#include "catalogue/price_formula.h"
#include "catalogue/texts.h"
#include "common/number_column.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "ui_form_valuti.h"

namespace torvika {

namespace {
const QString kName = QStringLiteral("Opisanie");
const QString kTrue = QStringLiteral("True");
// Rates are shown to the five decimals of the usual exchange rates.
constexpr int kRateDecimals = 5;
} // namespace

TForm_Valuti::TForm_Valuti(Session& session, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Valuti), session_(session), model_(new StatementModel(this)) {
    ui->setupUi(this);
    // The grid's titles are the captions of the fields.
    model_->setColumns(
        {{kName, ui->Label_Opisanie->text(), 20},
         {QStringLiteral("Kurs"), ui->Label_Kurs->text(), 0, GridColumnSpec::Number, kRateDecimals},
         {QStringLiteral("Osn"), ui->Label_Osn->text()}});
    setUpStatementGrid(ui->DBGrid_Valuti, model_);
    connect(ui->DBGrid_Valuti->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showCurrent(); });
    connect(ui->Button_Nov, &QPushButton::clicked, this, &TForm_Valuti::Button_NovClick);
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, &TForm_Valuti::Button_IztriiClick);
    connect(ui->Button_Redaktirai, &QPushButton::clicked, this, &TForm_Valuti::Button_RedaktiraiClick);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::reject);
    reread(QString());
    ui->DBGrid_Valuti->setFocus();
}

TForm_Valuti::~TForm_Valuti() = default;

QTableView* TForm_Valuti::grid() const {
    return ui->DBGrid_Valuti;
}

QString TForm_Valuti::currentName() const {
    const QModelIndex current = ui->DBGrid_Valuti->currentIndex();
    return current.isValid() ? model_->value(current.row(), kName).toString() : QString();
}

bool TForm_Valuti::positionOn(const QString& name) {
    const int row = model_->findRow(kName, name);
    if (row < 0)
        return false;
    ui->DBGrid_Valuti->setCurrentIndex(model_->index(row, 0));
    return true;
}

void TForm_Valuti::reread(const QString& current) {
    guarded([this] { model_->setStatement(session_.db(), currenciesStatement()); });
    if (!(!current.isEmpty() && positionOn(current)) && model_->rowCount() > 0)
        ui->DBGrid_Valuti->setCurrentIndex(model_->index(0, 0));
    setState(Idle);
}

void TForm_Valuti::showCurrent() {
    if (state_ != Idle)
        return;
    const QModelIndex current = ui->DBGrid_Valuti->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    ui->Edit_Opisanie->setText(model_->value(row, kName).toString());
    const QVariant rate = model_->value(row, QStringLiteral("Kurs"));
    ui->Edit_Kurs->setText(row < 0 || rate.isNull() ? QString() : fromNumberColumn(rate).toString());
    ui->ComboBox_Osn->setCurrentIndex(model_->value(row, QStringLiteral("Osn")).toString() == kTrue ? 1 : 0);
}

void TForm_Valuti::setState(State state) {
    state_ = state;
    const bool open = state != Idle;
    const bool hasRow = !currentName().isEmpty();
    ui->Button_Nov->setText(open ? texts::kRowCaptionAccept : texts::kRowCaptionNew);
    ui->Button_Iztrii->setText(open ? texts::kRowCaptionCancel : texts::kRowCaptionDelete);
    ui->Button_Iztrii->setEnabled(open || hasRow);
    ui->Button_Redaktirai->setEnabled(!open && hasRow);
    ui->DBGrid_Valuti->setEnabled(!open);
    ui->Edit_Opisanie->setReadOnly(!open);
    ui->Edit_Kurs->setReadOnly(!open);
    ui->ComboBox_Osn->setEnabled(open);
    if (!open)
        showCurrent();
}

void TForm_Valuti::refuse(const QString& message, QWidget* field) {
    showMessage(message);
    if (!field)
        return;
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

void TForm_Valuti::Button_NovClick() {
    if (state_ != Idle) {
        post();
        return;
    }
    setState(Insert);
    ui->Edit_Opisanie->clear();
    ui->Edit_Kurs->clear();
    ui->ComboBox_Osn->setCurrentIndex(0);
    ui->Edit_Opisanie->setFocus();
}

void TForm_Valuti::Button_IztriiClick() {
    if (state_ != Idle)
        cancel();
    else
        deleteCurrent();
}

void TForm_Valuti::Button_RedaktiraiClick() {
    if (state_ != Idle || currentName().isEmpty())
        return;
    setState(Edit);
    ui->Edit_Kurs->setFocus();
    ui->Edit_Kurs->selectAll();
}

bool TForm_Valuti::post() {
    if (state_ == Idle)
        return true;
    const std::optional<Decimal> rate = typedDecimal(ui->Edit_Kurs->text());
    if (!rate) {
        refuse(texts::kCurrencyRateInvalid, ui->Edit_Kurs);
        return false;
    }
    const Currency c{ui->Edit_Opisanie->text(), *rate, ui->ComboBox_Osn->currentText() == kTrue};
    const QString key = currentName();
    CurrencyWrite result;
    const bool ran = guarded([&] {
        result = state_ == Insert ? insertCurrency(session_.db(), c) : updateCurrency(session_.db(), key, c);
    });
    if (!ran)
        return false;
    if (!result.stored()) {
        QWidget* field = nullptr;
        switch (result.field) {
        case CurrencyWrite::Name:
            field = ui->Edit_Opisanie;
            break;
        case CurrencyWrite::Rate:
            field = ui->Edit_Kurs;
            break;
        case CurrencyWrite::Base:
            field = ui->ComboBox_Osn;
            break;
        case CurrencyWrite::None:
            break;
        }
        refuse(result.refusal, field);
        return false;
    }
    reread(c.name.trimmed());
    session_.notifyRatesChanged();
    return true;
}

void TForm_Valuti::cancel() {
    setState(Idle);
    ui->DBGrid_Valuti->setFocus();
}

void TForm_Valuti::deleteCurrent() {
    const QString name = currentName();
    if (name.isEmpty())
        return;
    const int row = ui->DBGrid_Valuti->currentIndex().row();
    CurrencyWrite result;
    if (!guarded([&] { result = deleteCurrency(session_.db(), name); }))
        return;
    if (!result.stored()) {
        showMessage(result.refusal);
        reread(name);
        return;
    }
    session_.notifyRatesChanged();
    // The row that takes the deleted one's place becomes current.
    const QString next = model_->value(row + 1, kName).toString();
    reread(next.isEmpty() ? model_->value(row - 1, kName).toString() : next);
}

} // namespace torvika
