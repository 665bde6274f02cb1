#include "catalogue/ui/form_valuti.h"

#include "catalogue/currencies.h"
#include "catalogue/price_formula.h"
#include "catalogue/texts.h"
#include "common/ui/messages.h"
#include "shell/session_grids.h"
#include "ui_form_valuti.h"

namespace torvika {

namespace {

const QString kName = QStringLiteral("Opisanie");
const QString kTrue = QStringLiteral("True");
// Rates are shown to the five decimals of the usual exchange rates.
constexpr int kRateDecimals = 5;

// A refusal: the message, then the caret on the field to correct.
void refuse(const QString& message, QWidget* field) {
    showMessage(message);
    if (!field)
        return;
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

} // namespace

TForm_Valuti::TForm_Valuti(Session& session, QWidget* parent)
    : RecordWindow(parent), ui(new Ui::TForm_Valuti), session_(session) {
    ui->setupUi(this);
    // The grid's titles are the captions of the fields.
    setUpRecords(gridContext(session_), ui->DBGrid_Valuti,
                 {{kName, ui->Label_Opisanie->text(), 20},
                  {QStringLiteral("Kurs"), ui->Label_Kurs->text(), 0, GridColumnSpec::Number, kRateDecimals},
                  {QStringLiteral("Osn"), ui->Label_Osn->text()}},
                 kName, Style::LockedFields);
    setRecordFields({ui->Edit_Opisanie, ui->Edit_Kurs, ui->ComboBox_Osn}, ui->Edit_Kurs);
    setRowButtons(ui->Button_Nov, ui->Button_Iztrii);
    bindButton(ui->Button_Redaktirai, RecordCommand::Edit);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::reject);
    reread();
}

TForm_Valuti::~TForm_Valuti() = default;

SqlStatement TForm_Valuti::recordsStatement() const {
    return currenciesStatement();
}

void TForm_Valuti::showRecord(int row) {
    ui->Edit_Opisanie->setText(model()->value(row, kName).toString());
    const QVariant rate = model()->value(row, QStringLiteral("Kurs"));
    ui->Edit_Kurs->setText(row < 0 || rate.isNull() ? QString() : QString::number(rate.toDouble(), 'g', 12));
    ui->ComboBox_Osn->setCurrentIndex(model()->value(row, QStringLiteral("Osn")).toString() == kTrue ? 1 : 0);
}

std::optional<QVariant> TForm_Valuti::storeRecord(const QVariant& key) {
    const std::optional<double> rate = typedDecimal(ui->Edit_Kurs->text());
    if (!rate) {
        refuse(texts::kCurrencyRateInvalid, ui->Edit_Kurs);
        return std::nullopt;
    }
    const Currency c{ui->Edit_Opisanie->text(), *rate, ui->ComboBox_Osn->currentText() == kTrue};
    const CurrencyWrite result =
        key.isValid() ? updateCurrency(session_.db(), key.toString(), c) : insertCurrency(session_.db(), c);
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
        return std::nullopt;
    }
    session_.notifyRatesChanged();
    return c.name.trimmed();
}

bool TForm_Valuti::deleteRecord(const QVariant& key) {
    const CurrencyWrite result = deleteCurrency(session_.db(), key.toString());
    if (!result.stored()) {
        showMessage(result.refusal);
        return false;
    }
    session_.notifyRatesChanged();
    return true;
}

} // namespace torvika
