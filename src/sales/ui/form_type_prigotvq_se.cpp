#include "sales/ui/form_type_prigotvq_se.h"

#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "sales/departments.h"
#include "sales/receipt_files.h"
#include "sales/texts.h"
#include "sales/ui/fiscal_commands.h"
#include "shell/session_grids.h"
#include "ui_form_type_prigotvq_se.h"

namespace torvika {

TForm_Type_Prigotvq_Se::TForm_Type_Prigotvq_Se(const WindowContext& context, QWidget* parent)
    : RecordWindow(parent), ui(new Ui::TForm_Type_Prigotvq_Se) {
    ui->setupUi(this);
    Session& session = context.session;
    ui->DBComboBox_Vid_FU->addItems(deviceTypeTexts());
    Records departments;
    departments.statement = departmentsStatement;
    departments.show = [this, &session](int row) {
        const int id = model()->value(row, QStringLiteral("ID")).toInt();
        ui->DBEdit_ID->setText(id > 0 ? QString::number(id) : QString());
        ui->DBEdit_Opisanie->setText(model()->value(row, QStringLiteral("Opisanie")).toString());
        ui->DBEdit_Path->setText(model()->value(row, QStringLiteral("Path")).toString());
        shownDeviceType_ = model()->value(row, QStringLiteral("Vid_FU")).toString();
        ui->DBComboBox_Vid_FU->setCurrentIndex(ui->DBComboBox_Vid_FU->findText(shownDeviceType_));
        // The default directory of the tickets, greyed in the empty path.
        QString shown;
        if (id > 0)
            logged([&] { shown = departmentDirectory(fiscalSettings(session), id, QString()); });
        ui->DBEdit_Path->setPlaceholderText(shown);
    };
    departments.begin = [this, show = departments.show] {
        show(-1);
        ui->DBComboBox_Vid_FU->setCurrentIndex(0);
        return true;
    };
    departments.store = [this, &session](const QVariant& key) -> std::optional<QVariant> {
        Department department;
        department.name = ui->DBEdit_Opisanie->text();
        department.path = ui->DBEdit_Path->text();
        department.deviceType = ui->DBComboBox_Vid_FU->currentIndex() >= 0
                                    ? ui->DBComboBox_Vid_FU->currentText()
                                    : shownDeviceType_;
        if (!key.isValid())
            return insertDepartment(session.db(), department);
        updateDepartment(session.db(), key.toInt(), department);
        return key;
    };
    departments.remove = [&session](const QVariant& key) {
        if (deleteDepartment(session.db(), key.toInt()) == DepartmentDeletion::InUse) {
            showMessage(texts::kDepartmentInUse);
            return false;
        }
        return true;
    };
    setUpRecords(gridContext(session), ui->DBGrid_Type_Prigotvq_Se,
                 {{QStringLiteral("ID"), ui->Label_ID->text(), 6, GridColumnSpec::Integer},
                  {QStringLiteral("Opisanie"), ui->Label_Opisanie->text(), 18},
                  {QStringLiteral("Path"), ui->Label_Path->text(), 26},
                  {QStringLiteral("Vid_FU"), ui->Label_Vid_FU->text(), 0}},
                 QStringLiteral("ID"), Style::OpenFields, departments);
    setRecordFields({ui->DBEdit_Opisanie, ui->DBEdit_Path, ui->DBComboBox_Vid_FU});
    ui->DBNavigator->setVisibleCommands({RecordCommand::Insert, RecordCommand::Delete, RecordCommand::Edit,
                                         RecordCommand::Post, RecordCommand::Cancel});
    setNavigator(ui->DBNavigator);
    connect(ui->SpdBtn_Path, &QPushButton::clicked, this, &TForm_Type_Prigotvq_Se::choosePath);
    reread();
}

TForm_Type_Prigotvq_Se::~TForm_Type_Prigotvq_Se() = default;

void TForm_Type_Prigotvq_Se::choosePath() {
    const QString start =
        ui->DBEdit_Path->text().isEmpty() ? ui->DBEdit_Path->placeholderText() : ui->DBEdit_Path->text();
    const QString dir = Messages::current().existingDirectory(texts::kDepartmentPathCaption, start);
    if (dir.isEmpty() || !noteFieldEdited())
        return;
    ui->DBEdit_Path->setText(dir);
}

} // namespace torvika
