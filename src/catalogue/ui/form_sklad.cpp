#include "catalogue/ui/form_sklad.h"

#include "catalogue/texts.h"
#include "catalogue/warehouses.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "shell/session_grids.h"
#include "ui_form_sklad.h"

namespace torvika {

namespace {
const QString kId = QStringLiteral("ID_Sklad");
} // namespace

TForm_Sklad::TForm_Sklad(const WindowContext& context, QWidget* parent)
    : RecordWindow(parent), ui(new Ui::TForm_Sklad), session_(context.session) {
    ui->setupUi(this);
    Records warehouses;
    warehouses.statement = warehousesStatement;
    warehouses.show = [this](int row) {
        ui->Edit_ID_Sklad->setText(row < 0 ? QString() : model()->value(row, kId).toString());
        ui->Edit_Opis_Sklad->setText(model()->value(row, QStringLiteral("Opis_Sklad")).toString());
        ui->Edit_Grad->setText(model()->value(row, QStringLiteral("Grad")).toString());
        ui->Edit_Adres->setText(model()->value(row, QStringLiteral("Adres")).toString());
        ui->Edit_Mol_Sklad->setText(model()->value(row, QStringLiteral("Mol_Sklad")).toString());
    };
    // A new warehouse is offered the next free number.
    warehouses.begin = [this, show = warehouses.show] {
        qint64 proposed = 0;
        if (!guarded([&] { proposed = proposedWarehouseNumber(session_.db()); }))
            return false;
        show(-1);
        ui->Edit_ID_Sklad->setText(QString::number(proposed));
        numberTyped_ = false;
        return true;
    };
    warehouses.store = [this](const QVariant& key) -> std::optional<QVariant> {
        const Warehouse w{ui->Edit_Opis_Sklad->text(), ui->Edit_Grad->text(), ui->Edit_Adres->text(),
                          ui->Edit_Mol_Sklad->text()};
        std::optional<qint64> number;
        if (!key.isValid() && numberTyped_ && !ui->Edit_ID_Sklad->text().trimmed().isEmpty()) {
            bool ok = false;
            number = ui->Edit_ID_Sklad->text().trimmed().toLongLong(&ok);
            if (!ok)
                number = -1; // refused by the logic as not a positive number
        }
        const WarehouseWrite result = key.isValid() ? updateWarehouse(session_.db(), key.toLongLong(), w)
                                                    : insertWarehouse(session_.db(), number, w);
        if (!result.stored()) {
            refuseField(result.refusal, result.field == WarehouseWrite::Number ? ui->Edit_ID_Sklad
                                        : result.field == WarehouseWrite::Name ? ui->Edit_Opis_Sklad
                                                                               : nullptr);
            return std::nullopt;
        }
        // The status line names the active warehouse as it is now.
        if (result.id == session_.activeWarehouse())
            session_.setActiveWarehouse(int(result.id), refText(result.id, w.name.trimmed()));
        return result.id;
    };
    warehouses.remove = [this](const QVariant& key) {
        const WarehouseWrite result =
            deleteWarehouse(session_.db(), key.toLongLong(), session_.activeWarehouse());
        if (!result.stored())
            showMessage(result.refusal);
        return result.stored();
    };
    warehouses.stateChanged = [this](State state) {
        // The number is given once, when the warehouse is created.
        ui->Edit_ID_Sklad->setReadOnly(state != Insert);
        // Only a stored warehouse can become the active one.
        ui->Button_Izberi->setEnabled(state == Browse && currentId() > 0);
    };
    // The grid's titles are the captions of the fields.
    setUpRecords(gridContext(session_), ui->DBGrid_Sklad,
                 {{kId, ui->Label_ID_Sklad->text(), 0, GridColumnSpec::Integer},
                  {QStringLiteral("Opis_Sklad"), ui->Label_Opis_Sklad->text(), 22},
                  {QStringLiteral("Grad"), ui->Label_Grad->text(), 14},
                  {QStringLiteral("Adres"), ui->Label_Adres->text(), 22},
                  {QStringLiteral("Mol_Sklad"), ui->Label_Mol_Sklad->text(), 14}},
                 kId, Style::LockedFields, warehouses);
    // The number is not the first field: it is proposed, and typed only to choose another.
    setRecordFields(
        {ui->Edit_Opis_Sklad, ui->Edit_Grad, ui->Edit_Adres, ui->Edit_Mol_Sklad, ui->Edit_ID_Sklad});
    setRowButtons(ui->Button_Nov, ui->Button_Iztrii);
    bindButton(ui->Button_Redaktirai, RecordCommand::Edit);
    connect(ui->Edit_ID_Sklad, &QLineEdit::textEdited, this, [this] { numberTyped_ = true; });
    connect(ui->Button_Izberi, &QPushButton::clicked, this, &TForm_Sklad::Button_IzberiClick);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::reject);
    // The active warehouse is current when the window opens.
    reread(qint64(session_.activeWarehouse()));
}

TForm_Sklad::~TForm_Sklad() = default;

void TForm_Sklad::Button_IzberiClick() {
    const qint64 id = currentId();
    if (state() != Browse || id <= 0)
        return;
    // The row as stored now: another workstation may have deleted or
    // renamed it since the list was read.
    std::optional<Warehouse> stored;
    if (!guarded([&] { stored = loadWarehouse(session_.db(), id); }))
        return;
    if (!stored) {
        showMessage(texts::kWarehouseGone.arg(id));
        reread();
        return;
    }
    if (!guarded([&] { session_.settings().set(setting::kActiveWarehouse, int(id)); }))
        return;
    session_.setActiveWarehouse(int(id), refText(id, stored->name));
    accept();
}

} // namespace torvika
