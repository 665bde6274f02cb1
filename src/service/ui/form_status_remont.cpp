#include "service/ui/form_status_remont.h"

#include "common/ui/messages.h"
#include "service/repairs.h"
#include "service/texts.h"
#include "shell/session_grids.h"
#include "ui_form_status_remont.h"

namespace torvika {

TForm_Status_Remont::TForm_Status_Remont(const WindowContext& context, QWidget* parent)
    : RecordWindow(parent), ui(new Ui::TForm_Status_Remont) {
    ui->setupUi(this);
    Session& session = context.session;
    // Enter belongs to the field it is pressed in (a lookup, a search), never to a button.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    ui->ComboBox_Color->addItems(stateColourNames());
    Records states;
    states.statement = repairStatesStatement;
    states.show = [this](int row) {
        ui->Edit_Status->setText(row >= 0 ? model()->value(row, QStringLiteral("Opisanie")).toString()
                                          : QString());
        bool ok = false;
        const int colour = model()->value(row, QStringLiteral("Color")).toInt(&ok);
        ui->ComboBox_Color->setCurrentIndex(
            ok && colour >= 0 && colour < kStateColourCount ? colour : kDefaultStateColour);
    };
    states.begin = [this] {
        ui->Edit_Status->clear();
        ui->ComboBox_Color->setCurrentIndex(kDefaultStateColour);
        return true;
    };
    states.store = [this, &session](const QVariant& key) -> std::optional<QVariant> {
        if (ui->Edit_Status->text().trimmed().isEmpty()) {
            refuseField(texts::kStateNameMissing, ui->Edit_Status);
            return std::nullopt;
        }
        if (!key.isValid())
            return insertRepairState(session.db(), ui->Edit_Status->text(),
                                     ui->ComboBox_Color->currentIndex());
        updateRepairState(session.db(), key.toInt(), ui->Edit_Status->text(),
                          ui->ComboBox_Color->currentIndex());
        return key;
    };
    states.remove = [this, &session](const QVariant& key) {
        const QString name = ui->Edit_Status->text();
        switch (deleteRepairState(session.db(), key.toInt())) {
        case StateDeletion::InUse:
            showMessage(texts::kStateInUse.arg(name));
            return false;
        case StateDeletion::NewItemState:
            showMessage(texts::kStateFirst.arg(name));
            return false;
        case StateDeletion::Deleted:
        case StateDeletion::AlreadyGone:
            break;
        }
        return true;
    };
    setUpRecords(gridContext(session), ui->DBGrid_Status,
                 {{QStringLiteral("ID"), QStringLiteral("N"), 5, GridColumnSpec::Integer},
                  {QStringLiteral("Opisanie"), QStringLiteral("Състояние"), 0}},
                 QStringLiteral("ID"), Style::LockedFields, states);
    setRecordFields({ui->Edit_Status, ui->ComboBox_Color});
    setRowButtons(ui->Button_Dobavi, ui->Button_Iztrii,
                  {texts::kStateAdd, texts::kStateAccept, texts::kStateDelete, texts::kStateCancel});
    bindButton(ui->Button_Redaktirai, RecordCommand::Edit);
    connect(ui->ComboBox_Color, &QComboBox::currentIndexChanged, this, &TForm_Status_Remont::showColour);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::accept);
    reread();
    showColour();
}

TForm_Status_Remont::~TForm_Status_Remont() = default;

void TForm_Status_Remont::showColour() {
    QPalette palette = ui->Edit_Status->palette();
    palette.setColor(QPalette::Text, stateColour(ui->ComboBox_Color->currentIndex(), this->palette()));
    ui->Edit_Status->setPalette(palette);
}

} // namespace torvika
