#include "counterparties/ui/details_dialog.h"

#include "common/errors.h"
#include "common/ui/error_edge.h"
#include "counterparties/texts.h"
#include "ui_details_dialog.h"

namespace torvika {

DetailsDialog::DetailsDialog(const WindowContext& context, qint64 counterparty, const QString& refText,
                             QWidget* parent)
    : QDialog(parent), session_(context.session), counterparty_(counterparty), ui(new Ui::DetailsDialog),
      model_(new StatementModel(this)) {
    ui->setupUi(this);
    ui->Label_Kontragent->setText(refText);
    setUpStatementGrid(ui->DBGrid1, model_);
    connect(ui->DBGrid1, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { GridDblClick(i.row()); });
    connect(ui->Button1, &QPushButton::clicked, this, &DetailsDialog::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &DetailsDialog::Button2Click);
}

DetailsDialog::~DetailsDialog() = default;

QTableView* DetailsDialog::grid() const {
    return ui->DBGrid1;
}

QWidget* DetailsDialog::fieldsPanel() const {
    return ui->Panel_Fields;
}

void DetailsDialog::finishSetUp(const QStringList& titles) {
    reread();
    QList<GridColumnSpec> columns;
    for (int i = 0; i < titles.size() && i < model_->fields().size(); ++i)
        columns.append({model_->fields()[i], titles[i]});
    model_->setColumns(columns);
    fitGridColumns(ui->DBGrid1);
}

QVariant DetailsDialog::value(int row, int column) const {
    return model_->value(row, column);
}

void DetailsDialog::reread() {
    model_->setStatement(session_.db(), statement());
}

void DetailsDialog::setState(State state) {
    state_ = state;
    ui->Button1->setProperty("tag", int(state));
    ui->Button1->setText(state == Idle ? kCaptionNew : kCaptionSave);
    ui->Button2->setText(state == Idle ? kCaptionDelete : kCaptionCancel);
    enteringState(state);
}

void DetailsDialog::Button1Click() {
    if (state_ == Idle) {
        rowId_ = -1;
        setState(New);
        return;
    }
    // A save that fails keeps the fields as typed and says what happened:
    // a busy database is not incomplete data.
    try {
        save(state_ == New);
    } catch (const EDatabaseBusy& e) {
        reportError(e);
        return;
    } catch (const EDatabaseError& e) {
        reportError(e, kIncompleteData);
        return;
    }
    clearFields();
    setState(Idle);
    reread();
}

void DetailsDialog::Button2Click() {
    if (state_ == Idle)
        return; // rows are never deleted
    clearFields();
    setState(Idle);
}

void DetailsDialog::GridDblClick(int row) {
    if (row < 0 || row >= model_->rowCount())
        return;
    rowId_ = value(row, 0).toLongLong();
    loadRow(row);
    setState(Edit);
}

} // namespace torvika
