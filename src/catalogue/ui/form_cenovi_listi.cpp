#include "catalogue/ui/form_cenovi_listi.h"

#include "catalogue/price_groups.h"
#include "catalogue/texts.h"
#include "common/cformat.h"
#include "common/number_column.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "ui_form_cenovi_listi.h"

namespace torvika {

namespace {
const QString kId = QStringLiteral("ID");
} // namespace

TForm_Cenovi_Listi::TForm_Cenovi_Listi(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Cenovi_Listi), session_(context.session),
      model_(new StatementModel(this)) {
    ui->setupUi(this);
    model_->setColumns({{kId, QStringLiteral("No"), 0, GridColumnSpec::Integer},
                        {QStringLiteral("Opisanie"), ui->Label_Opisanie->text(), 30},
                        {QStringLiteral("Formula"), ui->Label_Formula->text()}});
    setUpStatementGrid(ui->DBGrid_Cenovi_Listi, model_);
    connect(ui->DBGrid_Cenovi_Listi->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showCurrent(); });
    connect(ui->Edit_Formula, &QLineEdit::textEdited, this, &TForm_Cenovi_Listi::Edit_FormulaEdited);
    connect(ui->Button_Nov, &QPushButton::clicked, this, &TForm_Cenovi_Listi::Button_NovClick);
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, &TForm_Cenovi_Listi::Button_IztriiClick);
    connect(ui->Button_Zapis, &QPushButton::clicked, this, [this] { Button_ZapisClick(); });
    connect(ui->Button_Otkaz, &QPushButton::clicked, this, &TForm_Cenovi_Listi::Button_OtkazClick);
    connect(ui->Button_Proba, &QPushButton::clicked, this, &TForm_Cenovi_Listi::Button_ProbaClick);
    reread(0);
    if (model_->rowCount() == 0)
        Button_NovClick();
}

TForm_Cenovi_Listi::~TForm_Cenovi_Listi() = default;

QTableView* TForm_Cenovi_Listi::grid() const {
    return ui->DBGrid_Cenovi_Listi;
}

bool TForm_Cenovi_Listi::positionOn(qint64 id) {
    const int row = model_->findRow(kId, id);
    if (row < 0)
        return false;
    ui->DBGrid_Cenovi_Listi->setCurrentIndex(model_->index(row, 0));
    showCurrent();
    return true;
}

void TForm_Cenovi_Listi::reread(qint64 current) {
    guarded([this] { model_->setStatement(session_.db(), priceGroupsStatement()); });
    if (!(current > 0 && positionOn(current)) && model_->rowCount() > 0)
        ui->DBGrid_Cenovi_Listi->setCurrentIndex(model_->index(0, 0));
    showCurrent();
}

void TForm_Cenovi_Listi::showCurrent() {
    const QModelIndex current = ui->DBGrid_Cenovi_Listi->currentIndex();
    if (!current.isValid())
        return;
    const int row = current.row();
    id_ = model_->value(row, kId).toLongLong();
    ui->Edit_Opisanie->setText(model_->value(row, QStringLiteral("Opisanie")).toString());
    ui->Edit_Formula->setText(model_->value(row, QStringLiteral("Formula")).toString());
    ui->Edit_Koeficient->setText(
        format42(fromNumberColumn(model_->value(row, QStringLiteral("Koeficient")))));
    ui->CheckBox_Ot_Dostavna->setChecked(model_->value(row, QStringLiteral("Ot_Dostavna")).toString() ==
                                         QLatin1String("True"));
    ui->Edit_Rezultat->clear();
}

void TForm_Cenovi_Listi::Edit_FormulaEdited(const QString& text) {
    const QString formula = formulaInput(text);
    if (formula != text)
        ui->Edit_Formula->setText(formula);
    ui->Edit_Formula->setCursorPosition(int(formula.size()));
}

void TForm_Cenovi_Listi::refuse(const QString& message, QWidget* field, int position) {
    showMessage(message);
    field->setFocus();
    auto* edit = qobject_cast<QLineEdit*>(field);
    if (!edit)
        return;
    if (position >= 0)
        edit->setCursorPosition(position);
    else
        edit->selectAll();
}

void TForm_Cenovi_Listi::Button_NovClick() {
    id_ = 0;
    ui->DBGrid_Cenovi_Listi->selectionModel()->clear();
    ui->Edit_Opisanie->clear();
    ui->Edit_Formula->clear();
    ui->Edit_Koeficient->setText(QStringLiteral("1.00"));
    ui->CheckBox_Ot_Dostavna->setChecked(false);
    ui->Edit_Rezultat->clear();
    ui->Edit_Opisanie->setFocus();
}

void TForm_Cenovi_Listi::Button_IztriiClick() {
    if (id_ <= 0)
        return;
    if (!askYesNo(texts::kPriceGroupAskDelete.arg(ui->Edit_Opisanie->text())))
        return;
    const int row = ui->DBGrid_Cenovi_Listi->currentIndex().row();
    if (!guarded([&] { deletePriceGroup(session_.db(), id_); }))
        return;
    const qint64 next = model_->value(row + 1, kId).toLongLong();
    reread(next > 0 ? next : model_->value(row - 1, kId).toLongLong());
    if (model_->rowCount() == 0)
        Button_NovClick();
}

bool TForm_Cenovi_Listi::Button_ZapisClick() {
    const std::optional<Decimal> factor = typedDecimal(ui->Edit_Koeficient->text());
    if (!factor) {
        refuse(texts::kPriceGroupFactorInvalid, ui->Edit_Koeficient);
        return false;
    }
    const PriceGroup group{ui->Edit_Opisanie->text(), ui->Edit_Formula->text(), *factor,
                           ui->CheckBox_Ot_Dostavna->isChecked()};
    PriceGroupWrite result;
    const bool ran = guarded([&] {
        result =
            id_ > 0 ? updatePriceGroup(session_.db(), id_, group) : insertPriceGroup(session_.db(), group);
    });
    if (!ran)
        return false;
    if (!result.stored()) {
        switch (result.field) {
        case PriceGroupWrite::Name:
            refuse(result.refusal, ui->Edit_Opisanie);
            break;
        case PriceGroupWrite::Formula:
            refuse(result.refusal, ui->Edit_Formula, result.position);
            break;
        case PriceGroupWrite::Factor:
            refuse(result.refusal, ui->Edit_Koeficient);
            break;
        case PriceGroupWrite::None:
            // The group was deleted elsewhere: what was typed stays, to be
            // stored as a new group.
            showMessage(result.refusal);
            id_ = 0;
            break;
        }
        return false;
    }
    reread(result.id);
    return true;
}

void TForm_Cenovi_Listi::Button_OtkazClick() {
    reject();
}

void TForm_Cenovi_Listi::Button_ProbaClick() {
    ui->Edit_Rezultat->clear();
    const std::optional<Decimal> factor = typedDecimal(ui->Edit_Koeficient->text());
    if (!factor || *factor <= 0) {
        refuse(texts::kPriceGroupFactorInvalid, ui->Edit_Koeficient);
        return;
    }
    const std::optional<Decimal> P = typedDecimal(ui->Edit_Proba_P->text());
    if (!P) {
        refuse(texts::kPriceGroupSampleInvalid, ui->Edit_Proba_P);
        return;
    }
    const std::optional<Decimal> D = typedDecimal(ui->Edit_Proba_D->text());
    if (!D) {
        refuse(texts::kPriceGroupSampleInvalid, ui->Edit_Proba_D);
        return;
    }
    const PriceGroup group{ui->Edit_Opisanie->text(), ui->Edit_Formula->text(), *factor,
                           ui->CheckBox_Ot_Dostavna->isChecked()};
    const FormulaResult r = priceGroupPrice(group, *P, *D);
    if (!r.value) {
        refuse(r.message, ui->Edit_Formula, r.position);
        return;
    }
    ui->Edit_Rezultat->setText(formatFixed(*r.value, session_.displayDecimals()));
}

} // namespace torvika
