#include "catalogue/ui/form_valuti.h"

#include "catalogue/currencies.h"
#include "catalogue/euro_conversion.h"
#include "catalogue/price_formula.h"
#include "catalogue/texts.h"
#include "common/base_currency.h"
#include "common/number_column.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "shell/session_grids.h"
#include "ui_form_valuti.h"

namespace torvika {

namespace {

const QString kName = QStringLiteral("Opisanie");
const QString kTrue = QStringLiteral("True");
// Rates are shown to the five decimals of the usual exchange rates.
constexpr int kRateDecimals = 5;

} // namespace

TForm_Valuti::TForm_Valuti(const WindowContext& context, QWidget* parent)
    : RecordWindow(parent), ui(new Ui::TForm_Valuti), session_(context.session) {
    ui->setupUi(this);
    Session& session = context.session;
    Records currencies;
    currencies.statement = currenciesStatement;
    currencies.show = [this](int row) {
        ui->Edit_Opisanie->setText(model()->value(row, kName).toString());
        const QVariant rate = model()->value(row, QStringLiteral("Kurs"));
        ui->Edit_Kurs->setText(row < 0 || rate.isNull() ? QString() : fromNumberColumn(rate).toString());
        ui->ComboBox_Osn->setCurrentIndex(model()->value(row, QStringLiteral("Osn")).toString() == kTrue ? 1
                                                                                                         : 0);
    };
    currencies.store = [this, &session](const QVariant& key) -> std::optional<QVariant> {
        const std::optional<Decimal> rate = typedDecimal(ui->Edit_Kurs->text());
        if (!rate) {
            refuseField(texts::kCurrencyRateInvalid, ui->Edit_Kurs);
            return std::nullopt;
        }
        const Currency c{ui->Edit_Opisanie->text(), *rate, ui->ComboBox_Osn->currentText() == kTrue};
        const CurrencyWrite result =
            key.isValid() ? updateCurrency(session.db(), key.toString(), c) : insertCurrency(session.db(), c);
        if (!result.stored()) {
            // The field to correct, by the refusal's field.
            static_assert(CurrencyWrite::Name == 1 && CurrencyWrite::Rate == 2 && CurrencyWrite::Base == 3);
            QWidget* const fields[] = {nullptr, ui->Edit_Opisanie, ui->Edit_Kurs, ui->ComboBox_Osn};
            refuseField(result.refusal, fields[result.field]);
            return std::nullopt;
        }
        session.notifyRatesChanged();
        return c.name.trimmed();
    };
    currencies.remove = [&session](const QVariant& key) {
        const CurrencyWrite result = deleteCurrency(session.db(), key.toString());
        if (!result.stored()) {
            showMessage(result.refusal);
            return false;
        }
        session.notifyRatesChanged();
        return true;
    };
    // The grid's titles are the captions of the fields.
    setUpRecords(gridContext(session), ui->DBGrid_Valuti,
                 {{kName, ui->Label_Opisanie->text(), 20},
                  {QStringLiteral("Kurs"), ui->Label_Kurs->text(), 0, GridColumnSpec::Number, kRateDecimals},
                  {QStringLiteral("Osn"), ui->Label_Osn->text()}},
                 kName, Style::LockedFields, currencies);
    setRecordFields({ui->Edit_Opisanie, ui->Edit_Kurs, ui->ComboBox_Osn}, ui->Edit_Kurs);
    setRowButtons(ui->Button_Nov, ui->Button_Iztrii);
    bindButton(ui->Button_Redaktirai, RecordCommand::Edit);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->Button_Kam_Evro, &QPushButton::clicked, this, &TForm_Valuti::Button_Kam_EvroClick);
    connect(ui->Button_Otmqna_Evro, &QPushButton::clicked, this, &TForm_Valuti::Button_Otmqna_EvroClick);
    reread();
    showEuroState();
}

void TForm_Valuti::showEuroState() {
    BaseCurrency base = levBase();
    EuroConversionInfo last;
    guarded([&] {
        base = loadBaseCurrency(session_.db());
        last = lastEuroConversion(session_.db());
    });
    QString state = texts::kEuroStateBase.arg(base.name);
    if (last.id != 0)
        state += u' ' + (last.reversible ? texts::kEuroStateReversible : texts::kEuroStateFinal)
                            .arg(last.when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    ui->Label_Evro->setText(state);
    ui->Label_Kurs->setText(texts::kRateAgainst.arg(base.words.major));
    ui->Button_Kam_Evro->setEnabled(base.kind == CurrencyKind::Lev);
    ui->Button_Otmqna_Evro->setEnabled(last.id != 0 && last.reversible);
}

void TForm_Valuti::Button_Kam_EvroClick() {
    if (!askYesNo(texts::kEuroConvertQuestion))
        return;
    EuroConversionResult r;
    if (!guarded([&] { r = convertToEuro(session_.db(), session_.operatorName(), session_.now()); }))
        return;
    reread();
    showEuroState();
    if (!r.done()) {
        showMessage(r.refusal);
        return;
    }
    session_.notifyRatesChanged();
    QString done = texts::kEuroConverted.arg(r.articles).arg(r.priceListRows).arg(r.discounts).arg(r.credits);
    if (r.formulas > 0)
        done += texts::kEuroFormulasConverted.arg(r.formulas);
    if (!r.formulasLeft.isEmpty())
        done += texts::kEuroFormulasLeft.arg(u'"' + r.formulasLeft.join(QStringLiteral("\", \"")) + u'"');
    showMessage(done);
}

void TForm_Valuti::Button_Otmqna_EvroClick() {
    EuroConversionInfo last;
    if (!guarded([&] { last = lastEuroConversion(session_.db()); }))
        return;
    if (!askYesNo(texts::kEuroReverseQuestion.arg(last.when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")))))
        return;
    EuroReversalResult r;
    if (!guarded([&] { r = reverseEuroConversion(session_.db(), session_.now()); }))
        return;
    reread();
    showEuroState();
    if (!r.done()) {
        showMessage(r.refusal);
        return;
    }
    session_.notifyRatesChanged();
    showMessage(texts::kEuroReversed);
}

TForm_Valuti::~TForm_Valuti() = default;

} // namespace torvika
