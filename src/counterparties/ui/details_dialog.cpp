#include "counterparties/ui/details_dialog.h"

#include "common/errors.h"
#include "common/ui/messages.h"
#include "counterparties/texts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace torvika {

DetailsDialog::DetailsDialog(Session& session, qint64 counterparty, const QString& refText, QWidget* parent)
    : QDialog(parent), session_(session), counterparty_(counterparty), model_(new StatementModel(this)),
      grid_(new QTableView(this)), fields_(new QFormLayout), button1_(new QPushButton(kCaptionNew, this)),
      button2_(new QPushButton(kCaptionDelete, this)) {
    resize(760, 480);
    auto* header = new QHBoxLayout;
    header->addWidget(new QLabel(QStringLiteral("Контрагент:"), this));
    auto* name = new QLabel(refText, this);
    name->setObjectName(QStringLiteral("Label_Kontragent"));
    header->addWidget(name, 1);

    grid_->setObjectName(QStringLiteral("DBGrid1"));
    setUpStatementGrid(grid_, model_);
    connect(grid_, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { GridDblClick(i.row()); });

    button1_->setObjectName(QStringLiteral("Button1"));
    button2_->setObjectName(QStringLiteral("Button2"));
    button1_->setAutoDefault(false);
    button2_->setAutoDefault(false);
    connect(button1_, &QPushButton::clicked, this, &DetailsDialog::Button1Click);
    connect(button2_, &QPushButton::clicked, this, &DetailsDialog::Button2Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(button1_);
    buttons->addWidget(button2_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(grid_, 1);
    layout->addLayout(fields_);
    layout->addLayout(buttons);
}

void DetailsDialog::finishSetUp(const QStringList& titles) {
    reread();
    QList<GridColumnSpec> columns;
    for (int i = 0; i < titles.size() && i < model_->fields().size(); ++i)
        columns.append({model_->fields()[i], titles[i]});
    model_->setColumns(columns);
    fitGridColumns(grid_);
}

QVariant DetailsDialog::value(int row, int column) const {
    return model_->value(row, column);
}

void DetailsDialog::reread() {
    model_->setStatement(session_.db(), statement());
}

void DetailsDialog::setState(State state) {
    state_ = state;
    button1_->setProperty("tag", int(state));
    button1_->setText(state == Idle ? kCaptionNew : kCaptionSave);
    button2_->setText(state == Idle ? kCaptionDelete : kCaptionCancel);
    enteringState(state);
}

void DetailsDialog::Button1Click() {
    if (state_ == Idle) {
        rowId_ = -1;
        setState(New);
        return;
    }
    try {
        save(state_ == New);
    } catch (const EDatabaseError&) {
        showMessage(kIncompleteData);
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
