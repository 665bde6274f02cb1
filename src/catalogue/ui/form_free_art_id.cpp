#include "catalogue/ui/form_free_art_id.h"

#include "catalogue/articles.h"
#include "common/ui/error_edge.h"
#include "common/ui/statement_model.h"
#include "ui_form_free_art_id.h"

namespace torvika {

TForm_Free_Art_ID::TForm_Free_Art_ID(const WindowContext& context, qint64 group, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Free_Art_ID), session_(context.session),
      model_(new StatementModel(this)) {
    ui->setupUi(this);
    model_->setColumns(
        {{QStringLiteral("Art_ID"), QStringLiteral("Арт. N"), 12, GridColumnSpec::Integer},
         {QStringLiteral("Grupa_Ime"), QStringLiteral("Име на група"), 0, GridColumnSpec::Text}});
    setUpStatementGrid(ui->DBGrid_Free_Art, model_);
    ui->DBGrid_Free_Art->horizontalHeader()->setStretchLastSection(true);
    guarded([&] { model_->setStatement(session_.db(), freeNumbersStatement(group)); });
    if (model_->rowCount() > 0)
        ui->DBGrid_Free_Art->setCurrentIndex(model_->index(0, 0));
    connect(ui->BitBtn_Izberi, &QPushButton::clicked, this, &TForm_Free_Art_ID::BitBtn_IzberiClick);
    connect(ui->BitBtn_Otkaji, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->DBGrid_Free_Art, &QTableView::doubleClicked, this, [this] { BitBtn_IzberiClick(); });
}

TForm_Free_Art_ID::~TForm_Free_Art_ID() = default;

bool TForm_Free_Art_ID::positionOn(qint64 number) {
    const int row = model_->findRow(QStringLiteral("Art_ID"), number);
    if (row < 0)
        return false;
    ui->DBGrid_Free_Art->setCurrentIndex(model_->index(row, 0));
    return true;
}

void TForm_Free_Art_ID::BitBtn_IzberiClick() {
    const QModelIndex current = ui->DBGrid_Free_Art->currentIndex();
    if (!current.isValid())
        return;
    chosen_ = model_->value(current.row(), QStringLiteral("Art_ID")).toLongLong();
    accept();
}

void TForm_Free_Art_ID::done(int result) {
    // The working table lives only while the dialog is open.
    logged([&] { dropFreeNumbersTable(session_.db()); });
    QDialog::done(result);
}

} // namespace torvika
