#include "catalogue/ui/form_sklad.h"

#include "catalogue/texts.h"
#include "catalogue/warehouses.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "ui_form_sklad.h"

namespace torvika {

namespace {
const QString kId = QStringLiteral("ID_Sklad");
} // namespace

TForm_Sklad::TForm_Sklad(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Sklad), session_(context.session), model_(new StatementModel(this)) {
    ui->setupUi(this);
    // The grid's titles are the captions of the fields.
    model_->setColumns({{kId, ui->Label_ID_Sklad->text(), 0, GridColumnSpec::Integer},
                        {QStringLiteral("Opis_Sklad"), ui->Label_Opis_Sklad->text(), 22},
                        {QStringLiteral("Grad"), ui->Label_Grad->text(), 14},
                        {QStringLiteral("Adres"), ui->Label_Adres->text(), 22},
                        {QStringLiteral("Mol_Sklad"), ui->Label_Mol_Sklad->text(), 14}});
    setUpStatementGrid(ui->DBGrid_Sklad, model_);
    connect(ui->DBGrid_Sklad->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showCurrent(); });
    connect(ui->Edit_ID_Sklad, &QLineEdit::textEdited, this, [this] { numberTyped_ = true; });
    connect(ui->Button_Nov, &QPushButton::clicked, this, &TForm_Sklad::Button_NovClick);
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, &TForm_Sklad::Button_IztriiClick);
    connect(ui->Button_Redaktirai, &QPushButton::clicked, this, &TForm_Sklad::Button_RedaktiraiClick);
    connect(ui->Button_Izberi, &QPushButton::clicked, this, &TForm_Sklad::Button_IzberiClick);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::reject);
    const qint64 active = session_.activeWarehouse();
    reread(active);
    ui->DBGrid_Sklad->setFocus();
}

TForm_Sklad::~TForm_Sklad() = default;

QTableView* TForm_Sklad::grid() const {
    return ui->DBGrid_Sklad;
}

qint64 TForm_Sklad::currentId() const {
    const QModelIndex current = ui->DBGrid_Sklad->currentIndex();
    return current.isValid() ? model_->value(current.row(), kId).toLongLong() : 0;
}

bool TForm_Sklad::positionOn(qint64 id) {
    const int row = model_->findRow(kId, id);
    if (row < 0)
        return false;
    ui->DBGrid_Sklad->setCurrentIndex(model_->index(row, 0));
    return true;
}

void TForm_Sklad::reread(qint64 current) {
    guarded([this] { model_->setStatement(session_.db(), warehousesStatement()); });
    if (!(current > 0 && positionOn(current)) && model_->rowCount() > 0)
        ui->DBGrid_Sklad->setCurrentIndex(model_->index(0, 0));
    setState(Idle);
}

void TForm_Sklad::showCurrent() {
    if (state_ != Idle)
        return;
    const QModelIndex current = ui->DBGrid_Sklad->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    ui->Edit_ID_Sklad->setText(row < 0 ? QString() : model_->value(row, kId).toString());
    ui->Edit_Opis_Sklad->setText(model_->value(row, QStringLiteral("Opis_Sklad")).toString());
    ui->Edit_Grad->setText(model_->value(row, QStringLiteral("Grad")).toString());
    ui->Edit_Adres->setText(model_->value(row, QStringLiteral("Adres")).toString());
    ui->Edit_Mol_Sklad->setText(model_->value(row, QStringLiteral("Mol_Sklad")).toString());
}

void TForm_Sklad::setState(State state) {
    state_ = state;
    const bool open = state != Idle;
    const bool hasRow = currentId() > 0;
    ui->Button_Nov->setText(open ? texts::kRowCaptionAccept : texts::kRowCaptionNew);
    ui->Button_Iztrii->setText(open ? texts::kRowCaptionCancel : texts::kRowCaptionDelete);
    ui->Button_Iztrii->setEnabled(open || hasRow);
    ui->Button_Redaktirai->setEnabled(!open && hasRow);
    // Only a stored warehouse can become the active one.
    ui->Button_Izberi->setEnabled(!open && hasRow);
    // The grid stays on the row being edited until it is accepted or given up.
    ui->DBGrid_Sklad->setEnabled(!open);
    // The number is given once, when the warehouse is created.
    ui->Edit_ID_Sklad->setReadOnly(state != Insert);
    for (QLineEdit* field : {ui->Edit_Opis_Sklad, ui->Edit_Grad, ui->Edit_Adres, ui->Edit_Mol_Sklad})
        field->setReadOnly(!open);
    if (!open)
        showCurrent();
}

QLineEdit* TForm_Sklad::fieldFor(int field) const {
    switch (field) {
    case WarehouseWrite::Number:
        return ui->Edit_ID_Sklad;
    case WarehouseWrite::Name:
        return ui->Edit_Opis_Sklad;
    default:
        return nullptr;
    }
}

void TForm_Sklad::Button_NovClick() {
    if (state_ != Idle) {
        post();
        return;
    }
    qint64 proposed = 0;
    if (!guarded([&] { proposed = proposedWarehouseNumber(session_.db()); }))
        return;
    setState(Insert);
    numberTyped_ = false;
    ui->Edit_ID_Sklad->setText(QString::number(proposed));
    for (QLineEdit* field : {ui->Edit_Opis_Sklad, ui->Edit_Grad, ui->Edit_Adres, ui->Edit_Mol_Sklad})
        field->clear();
    ui->Edit_Opis_Sklad->setFocus();
}

void TForm_Sklad::Button_IztriiClick() {
    if (state_ != Idle)
        cancel();
    else
        deleteCurrent();
}

void TForm_Sklad::Button_RedaktiraiClick() {
    if (state_ != Idle || currentId() <= 0)
        return;
    setState(Edit);
    ui->Edit_Opis_Sklad->setFocus();
    ui->Edit_Opis_Sklad->selectAll();
}

void TForm_Sklad::Button_IzberiClick() {
    const qint64 id = currentId();
    if (state_ != Idle || id <= 0)
        return;
    // The row as stored now: another workstation may have deleted or
    // renamed it since the list was read.
    std::optional<Warehouse> stored;
    if (!guarded([&] { stored = loadWarehouse(session_.db(), id); }))
        return;
    if (!stored) {
        showMessage(texts::kWarehouseGone.arg(id));
        reread(0);
        return;
    }
    if (!guarded([&] { session_.settings().set(setting::kActiveWarehouse, int(id)); }))
        return;
    session_.setActiveWarehouse(int(id), refText(id, stored->name));
    accept();
}

bool TForm_Sklad::post() {
    if (state_ == Idle)
        return true;
    const Warehouse w{ui->Edit_Opis_Sklad->text(), ui->Edit_Grad->text(), ui->Edit_Adres->text(),
                      ui->Edit_Mol_Sklad->text()};
    std::optional<qint64> number;
    if (state_ == Insert && numberTyped_ && !ui->Edit_ID_Sklad->text().trimmed().isEmpty()) {
        bool ok = false;
        number = ui->Edit_ID_Sklad->text().trimmed().toLongLong(&ok);
        if (!ok)
            number = -1; // refused below as not a positive number
    }
    WarehouseWrite result;
    const bool ran = guarded([&] {
        result = state_ == Insert ? insertWarehouse(session_.db(), number, w)
                                  : updateWarehouse(session_.db(), currentId(), w);
    });
    if (!ran)
        return false;
    if (!result.stored()) {
        showMessage(result.refusal);
        if (QLineEdit* field = fieldFor(result.field)) {
            field->setFocus();
            field->selectAll();
        }
        return false;
    }
    // The status line names the active warehouse as it is now.
    if (result.id == session_.activeWarehouse())
        session_.setActiveWarehouse(int(result.id), refText(result.id, w.name.trimmed()));
    reread(result.id);
    return true;
}

void TForm_Sklad::cancel() {
    setState(Idle);
    ui->DBGrid_Sklad->setFocus();
}

void TForm_Sklad::deleteCurrent() {
    const qint64 id = currentId();
    if (id <= 0)
        return;
    const int row = ui->DBGrid_Sklad->currentIndex().row();
    WarehouseWrite result;
    if (!guarded([&] { result = deleteWarehouse(session_.db(), id, session_.activeWarehouse()); }))
        return;
    if (!result.stored()) {
        showMessage(result.refusal);
        reread(id);
        return;
    }
    // The row that takes the deleted one's place becomes current.
    const qint64 next = model_->value(row + 1, kId).toLongLong();
    reread(next > 0 ? next : model_->value(row - 1, kId).toLongLong());
}

} // namespace torvika
