#include "counterparties/ui/form_grad.h"

#include "common/ui/error_edge.h"
#include "common/ui/statement_model.h"
#include "counterparties/texts.h"
#include "counterparties/towns.h"
#include "ui_form_grad.h"

#include <QHeaderView>

namespace torvika {

TForm_Grad::TForm_Grad(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Grad), session_(context.session), model_(new StatementModel(this)) {
    ui->setupUi(this);
    // The grid's titles are the captions of the fields.
    model_->setColumns({{QStringLiteral("Opisanie"), ui->Label_Opisanie->text()},
                        {QStringLiteral("PK"), ui->Label_PK->text()},
                        {QStringLiteral("TK"), ui->Label_TK->text()}});
    setUpStatementGrid(ui->DBGrid_Grad, model_);
    connect(ui->DBGrid_Grad->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        // Moving to another town abandons what was typed, as the fields
        // show the row that is current.
        state_ = Browse;
        showCurrent();
    });
    // Typing into a field edits the current town.
    for (QLineEdit* field : {ui->DBEdit_Opisanie, ui->DBEdit_PK, ui->DBEdit_TK})
        connect(field, &QLineEdit::textEdited, this, [this] {
            if (state_ == Browse && currentId() > 0)
                state_ = Edit;
        });
    connect(ui->DBNavigator_Insert, &QPushButton::clicked, this, &TForm_Grad::beginNewRow);
    connect(ui->DBNavigator_Delete, &QPushButton::clicked, this, &TForm_Grad::deleteRow);
    connect(ui->DBNavigator_Edit, &QPushButton::clicked, this, &TForm_Grad::editRow);
    connect(ui->DBNavigator_Post, &QPushButton::clicked, this, [this] { post(); });
    connect(ui->DBNavigator_Cancel, &QPushButton::clicked, this, &TForm_Grad::cancel);
    reread(0);
    // The window opens in the grid, on its first row.
    ui->DBGrid_Grad->setFocus();
}

TForm_Grad::~TForm_Grad() = default;

QTableView* TForm_Grad::grid() const {
    return ui->DBGrid_Grad;
}

qint64 TForm_Grad::currentId() const {
    const QModelIndex current = ui->DBGrid_Grad->currentIndex();
    return current.isValid() ? model_->value(current.row(), QStringLiteral("ID")).toLongLong() : 0;
}

void TForm_Grad::reread(qint64 current) {
    guarded([this] { model_->setStatement(session_.db(), townsStatement()); }, kIncorrectData);
    int row = current > 0 ? model_->findRow(QStringLiteral("ID"), current) : -1;
    if (row < 0 && model_->rowCount() > 0)
        row = 0;
    if (row >= 0)
        ui->DBGrid_Grad->setCurrentIndex(model_->index(row, 0));
    state_ = Browse;
    showCurrent();
}

void TForm_Grad::showCurrent() {
    const QModelIndex current = ui->DBGrid_Grad->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    ui->DBEdit_Opisanie->setText(model_->value(row, QStringLiteral("Opisanie")).toString());
    ui->DBEdit_PK->setText(model_->value(row, QStringLiteral("PK")).toString());
    ui->DBEdit_TK->setText(model_->value(row, QStringLiteral("TK")).toString());
}

void TForm_Grad::beginNewRow() {
    state_ = Insert;
    for (QLineEdit* field : {ui->DBEdit_Opisanie, ui->DBEdit_PK, ui->DBEdit_TK})
        field->clear();
    ui->DBEdit_Opisanie->setFocus();
}

void TForm_Grad::deleteRow() {
    const qint64 id = currentId();
    if (id <= 0)
        return;
    const int row = ui->DBGrid_Grad->currentIndex().row();
    if (!guarded([&] { deleteTown(session_.db(), id); }))
        return;
    // The row that takes the deleted one's place becomes current.
    const qint64 next = model_->value(row + 1, QStringLiteral("ID")).toLongLong();
    reread(next > 0 ? next : model_->value(row - 1, QStringLiteral("ID")).toLongLong());
}

void TForm_Grad::editRow() {
    if (currentId() <= 0)
        return;
    state_ = Edit;
    ui->DBEdit_Opisanie->setFocus();
}

bool TForm_Grad::post() {
    if (state_ == Browse)
        return true;
    const Town town{ui->DBEdit_Opisanie->text(), ui->DBEdit_PK->text(), ui->DBEdit_TK->text()};
    qint64 id = state_ == Edit ? currentId() : 0;
    // A town that cannot be stored keeps what was typed, and the message
    // says why (another workstation may have deleted the town meanwhile).
    const bool stored = guarded([&] {
        if (state_ == Insert)
            id = insertTown(session_.db(), town);
        else
            updateTown(session_.db(), id, town);
    });
    if (!stored)
        return false;
    reread(id);
    return true;
}

void TForm_Grad::cancel() {
    state_ = Browse;
    showCurrent();
}

} // namespace torvika
