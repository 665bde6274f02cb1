#include "sales/ui/form_type_prigotvq_se.h"

#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "sales/departments.h"
#include "sales/receipt_files.h"
#include "sales/texts.h"
#include "sales/ui/fiscal_commands.h"
#include "ui_form_type_prigotvq_se.h"

namespace torvika {

TForm_Type_Prigotvq_Se::TForm_Type_Prigotvq_Se(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Type_Prigotvq_Se), session_(context.session),
      model_(new StatementModel(this)) {
    ui->setupUi(this);
    ui->DBComboBox_Vid_FU->addItems(deviceTypeTexts());
    model_->setColumns({{QStringLiteral("ID"), ui->Label_ID->text(), 6, GridColumnSpec::Integer},
                        {QStringLiteral("Opisanie"), ui->Label_Opisanie->text(), 18},
                        {QStringLiteral("Path"), ui->Label_Path->text(), 26},
                        {QStringLiteral("Vid_FU"), ui->Label_Vid_FU->text(), 0}});
    setUpStatementGrid(ui->DBGrid_Type_Prigotvq_Se, model_);
    connect(ui->DBGrid_Type_Prigotvq_Se->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] {
                // Moving to another department abandons what was typed.
                state_ = Browse;
                showCurrent();
            });
    auto edited = [this] {
        if (state_ == Browse && currentId() > 0)
            state_ = Edit;
    };
    for (QLineEdit* field : {ui->DBEdit_Opisanie, ui->DBEdit_Path})
        connect(field, &QLineEdit::textEdited, this, edited);
    connect(ui->DBComboBox_Vid_FU, &QComboBox::activated, this, edited);
    connect(ui->SpdBtn_Path, &QPushButton::clicked, this, &TForm_Type_Prigotvq_Se::choosePath);
    connect(ui->DBNavigator_Insert, &QPushButton::clicked, this, &TForm_Type_Prigotvq_Se::beginNewRow);
    connect(ui->DBNavigator_Delete, &QPushButton::clicked, this, &TForm_Type_Prigotvq_Se::deleteRow);
    connect(ui->DBNavigator_Edit, &QPushButton::clicked, this, &TForm_Type_Prigotvq_Se::editRow);
    connect(ui->DBNavigator_Post, &QPushButton::clicked, this, [this] { post(); });
    connect(ui->DBNavigator_Cancel, &QPushButton::clicked, this, &TForm_Type_Prigotvq_Se::cancel);
    reread(0);
    ui->DBGrid_Type_Prigotvq_Se->setFocus();
}

TForm_Type_Prigotvq_Se::~TForm_Type_Prigotvq_Se() = default;

QTableView* TForm_Type_Prigotvq_Se::grid() const {
    return ui->DBGrid_Type_Prigotvq_Se;
}

int TForm_Type_Prigotvq_Se::currentId() const {
    const QModelIndex current = ui->DBGrid_Type_Prigotvq_Se->currentIndex();
    return current.isValid() ? model_->value(current.row(), QStringLiteral("ID")).toInt() : 0;
}

void TForm_Type_Prigotvq_Se::reread(int current) {
    guarded([this] { model_->setStatement(session_.db(), departmentsStatement()); });
    int row = current > 0 ? model_->findRow(QStringLiteral("ID"), current) : -1;
    if (row < 0 && model_->rowCount() > 0)
        row = 0;
    if (row >= 0)
        ui->DBGrid_Type_Prigotvq_Se->setCurrentIndex(model_->index(row, 0));
    state_ = Browse;
    showCurrent();
}

void TForm_Type_Prigotvq_Se::showDefaultPath(int id) {
    QString shown;
    if (id > 0)
        logged([&] { shown = departmentDirectory(fiscalSettings(session_), id, QString()); });
    ui->DBEdit_Path->setPlaceholderText(shown);
}

void TForm_Type_Prigotvq_Se::showCurrent() {
    const QModelIndex current = ui->DBGrid_Type_Prigotvq_Se->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    const int id = model_->value(row, QStringLiteral("ID")).toInt();
    ui->DBEdit_ID->setText(id > 0 ? QString::number(id) : QString());
    ui->DBEdit_Opisanie->setText(model_->value(row, QStringLiteral("Opisanie")).toString());
    ui->DBEdit_Path->setText(model_->value(row, QStringLiteral("Path")).toString());
    shownDeviceType_ = model_->value(row, QStringLiteral("Vid_FU")).toString();
    ui->DBComboBox_Vid_FU->setCurrentIndex(ui->DBComboBox_Vid_FU->findText(shownDeviceType_));
    showDefaultPath(id);
}

void TForm_Type_Prigotvq_Se::beginNewRow() {
    state_ = Insert;
    ui->DBEdit_ID->clear();
    ui->DBEdit_Opisanie->clear();
    ui->DBEdit_Path->clear();
    ui->DBEdit_Path->setPlaceholderText(QString());
    shownDeviceType_.clear();
    ui->DBComboBox_Vid_FU->setCurrentIndex(0);
    ui->DBEdit_Opisanie->setFocus();
}

void TForm_Type_Prigotvq_Se::deleteRow() {
    const int id = currentId();
    if (id <= 0)
        return;
    const int row = ui->DBGrid_Type_Prigotvq_Se->currentIndex().row();
    DepartmentDeletion done = DepartmentDeletion::AlreadyGone;
    if (!guarded([&] { done = deleteDepartment(session_.db(), id); }))
        return;
    if (done == DepartmentDeletion::InUse) {
        showMessage(texts::kDepartmentInUse);
        return;
    }
    const int next = model_->value(row + 1, QStringLiteral("ID")).toInt();
    reread(next > 0 ? next : model_->value(row - 1, QStringLiteral("ID")).toInt());
}

void TForm_Type_Prigotvq_Se::editRow() {
    if (currentId() <= 0)
        return;
    state_ = Edit;
    ui->DBEdit_Opisanie->setFocus();
}

bool TForm_Type_Prigotvq_Se::post() {
    if (state_ == Browse)
        return true;
    Department department;
    department.name = ui->DBEdit_Opisanie->text();
    department.path = ui->DBEdit_Path->text();
    department.deviceType =
        ui->DBComboBox_Vid_FU->currentIndex() >= 0 ? ui->DBComboBox_Vid_FU->currentText() : shownDeviceType_;
    int id = state_ == Edit ? currentId() : 0;
    const bool stored = guarded([&] {
        if (state_ == Insert)
            id = insertDepartment(session_.db(), department);
        else
            updateDepartment(session_.db(), id, department);
    });
    if (!stored)
        return false;
    reread(id);
    return true;
}

void TForm_Type_Prigotvq_Se::cancel() {
    state_ = Browse;
    showCurrent();
}

void TForm_Type_Prigotvq_Se::choosePath() {
    const QString start =
        ui->DBEdit_Path->text().isEmpty() ? ui->DBEdit_Path->placeholderText() : ui->DBEdit_Path->text();
    const QString dir = Messages::current().existingDirectory(texts::kDepartmentPathCaption, start);
    if (dir.isEmpty())
        return;
    if (state_ == Browse) {
        if (currentId() <= 0)
            return;
        state_ = Edit;
    }
    ui->DBEdit_Path->setText(dir);
}

} // namespace torvika
