#include "counterparties/ui/form_grad.h"

#include "common/ui/messages.h"
#include "counterparties/texts.h"
#include "ui_form_grad.h"

#include <QDataWidgetMapper>
#include <QSqlTableModel>

namespace torvika {

TForm_Grad::TForm_Grad(Session& session, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Grad), model_(new QSqlTableModel(this, session.workspace.db())) {
    ui->setupUi(this);
    model_->setTable(QStringLiteral("Grad"));
    model_->setEditStrategy(QSqlTableModel::OnManualSubmit);
    model_->setSort(0, Qt::AscendingOrder);
    model_->select();
    // The grid's titles are the captions of the fields.
    const QList<QLabel*> captions{ui->Label_Opisanie, ui->Label_PK, ui->Label_TK};
    for (int i = 0; i < captions.size(); ++i)
        model_->setHeaderData(i, Qt::Horizontal, captions.at(i)->text());
    ui->DBGrid_Grad->setModel(model_);
    ui->DBGrid_Grad->resizeColumnsToContents();
    // The window opens in the grid, on its first row.
    ui->DBGrid_Grad->setFocus();

    // The fields of the current row.
    auto* mapper = new QDataWidgetMapper(this);
    mapper->setModel(model_);
    mapper->setSubmitPolicy(QDataWidgetMapper::AutoSubmit);
    mapper->addMapping(ui->DBEdit_Opisanie, 0);
    mapper->addMapping(ui->DBEdit_PK, 1);
    mapper->addMapping(ui->DBEdit_TK, 2);
    connect(ui->DBGrid_Grad->selectionModel(), &QItemSelectionModel::currentRowChanged, mapper,
            [mapper](const QModelIndex& current) { mapper->setCurrentIndex(current.row()); });

    connect(ui->DBNavigator_Insert, &QPushButton::clicked, this, &TForm_Grad::beginNewRow);
    connect(ui->DBNavigator_Delete, &QPushButton::clicked, this, &TForm_Grad::deleteRow);
    connect(ui->DBNavigator_Edit, &QPushButton::clicked, this, &TForm_Grad::editRow);
    connect(ui->DBNavigator_Post, &QPushButton::clicked, this, [this] { post(); });
    connect(ui->DBNavigator_Cancel, &QPushButton::clicked, this, &TForm_Grad::cancel);
}

TForm_Grad::~TForm_Grad() = default;

QTableView* TForm_Grad::grid() const {
    return ui->DBGrid_Grad;
}

void TForm_Grad::beginNewRow() {
    const int row = model_->rowCount();
    model_->insertRow(row);
    ui->DBGrid_Grad->setCurrentIndex(model_->index(row, 0));
    ui->DBGrid_Grad->setFocus();
    ui->DBGrid_Grad->edit(ui->DBGrid_Grad->currentIndex());
}

void TForm_Grad::deleteRow() {
    const QModelIndex current = ui->DBGrid_Grad->currentIndex();
    if (!current.isValid())
        return;
    model_->removeRow(current.row());
    post();
}

void TForm_Grad::editRow() {
    const QModelIndex current = ui->DBGrid_Grad->currentIndex();
    if (current.isValid())
        ui->DBGrid_Grad->edit(current);
}

bool TForm_Grad::post() {
    ui->DBGrid_Grad->setFocus(); // ends an open cell editor, whose text goes to the model
    if (model_->submitAll())
        return true;
    showMessage(kIncorrectData);
    return false;
}

void TForm_Grad::cancel() {
    model_->revertAll();
}

void TForm_Grad::done(int result) {
    model_->revertAll();
    QDialog::done(result);
}

} // namespace torvika
