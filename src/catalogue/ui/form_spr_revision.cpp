#include "catalogue/ui/form_spr_revision.h"

#include "catalogue/reference_lists.h"
#include "catalogue/revision.h"
#include "catalogue/texts.h"
#include "catalogue/ui/form_revision.h"
#include "common/cformat.h"
#include "common/dates.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "shell/session_grids.h"
#include "ui_form_spr_revision.h"

namespace torvika {

namespace {

const QString kId = QStringLiteral("ID");

} // namespace

TForm_Spr_Revision::TForm_Spr_Revision(const WindowContext& context, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Spr_Revision), context_(context), session_(context.session),
      lines_(new StatementModel(this)) {
    ui->setupUi(this);
    setWindowTitle(texts::kRevisionReportTitle);
    setUpList(gridContext(session_), ui->DBGrid_Revizii,
              {{kId, texts::kReportColumnNumber, 7, GridColumnSpec::Integer},
               {QStringLiteral("Date_Rev"), texts::kStockMoveColumnDate, 11, GridColumnSpec::Date},
               {QStringLiteral("Time_Rev"), texts::kStockMoveColumnTime, 9},
               {QStringLiteral("Osnovanie"), texts::kRevisionReasonCaption, 18},
               {QStringLiteral("Opis_Sklad"), texts::kReportColumnWarehouse, 18},
               {QStringLiteral("Art_Count"), texts::kRevisionColumnArticles, 9, GridColumnSpec::Integer}},
              kId);
    lines_->setColumns(revisionLineColumns(session_.displayDecimals()));
    setUpStatementGrid(ui->DBGrid_Artikuli, lines_);

    const QDate today = session_.today();
    ui->Edit_Data_Ot->setDate(QDate(today.year(), 1, 1));
    ui->Edit_Data_Do->setDate(today);
    guarded([this] { ui->ComboBox_Sklad->addItems(warehouseItems(session_.db())); });

    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_Spr_Revision::find);
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, &TForm_Spr_Revision::printList);
    connect(ui->Button_Pe4at_Revizia, &QPushButton::clicked, this, &TForm_Spr_Revision::printRevision);
    connect(ui->DBGrid_Revizii->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TForm_Spr_Revision::showRevision);
    ui->Button_Tarsi->setDefault(true);
    find();
}

TForm_Spr_Revision::~TForm_Spr_Revision() = default;

void TForm_Spr_Revision::find() {
    RevisionFilter f{ui->Edit_Data_Ot->date(), ui->Edit_Data_Do->date(), std::nullopt};
    if (ui->CheckBox_Sklad->isChecked() && ui->ComboBox_Sklad->currentIndex() >= 0)
        f.warehouse = GetID_MFromTreeNodeName(ui->ComboBox_Sklad->currentText());
    search([f] { return revisionListStatement(f); }, QString());
}

void TForm_Spr_Revision::listShown() {
    if (model()->rowCount() > 0 && !grid()->currentIndex().isValid())
        grid()->setCurrentIndex(model()->index(0, 0));
    showRevision();
}

void TForm_Spr_Revision::showRevision() {
    const QVariant id = currentKey();
    QLabel* const sums[] = {ui->Label_Nali4no_Suma, ui->Label_Otkrito_Suma, ui->Label_Razlika_Suma};
    for (QLabel* l : sums)
        l->clear();
    guarded([&] {
        if (!id.isValid()) {
            lines_->clear();
            return;
        }
        lines_->setStatement(session_.db(), revisionLinesStatement(id.toLongLong()));
        const RevisionTotals t = revisionTotals(session_.db(), id.toLongLong());
        const int decimals = session_.displayDecimals();
        ui->Label_Nali4no_Suma->setText(formatFixed(t.recorded, decimals));
        ui->Label_Otkrito_Suma->setText(formatFixed(t.counted, decimals));
        ui->Label_Razlika_Suma->setText(formatFixed(t.difference(), decimals));
    });
}

void TForm_Spr_Revision::printList() {
    printed_ =
        ListWindow::printList({QStringLiteral("Spr_Revision"),
                               {QString(), texts::kRevisionReportPrintTitle,
                                texts::kRevisionReportPrintPeriod.arg(shortDate(ui->Edit_Data_Ot->date()),
                                                                      shortDate(ui->Edit_Data_Do->date()))},
                               {QString(), QString()},
                               QStringLiteral("\t")});
}

// The chosen revision as the revision window prints it when saved: its
// number, date and time, its lines and the three sums.
void TForm_Spr_Revision::printRevision() {
    printed_.clear();
    const QVariant id = currentKey();
    if (!id.isValid() || lines_->rowCount() == 0) {
        showMessage(texts::kNothingToPrint);
        return;
    }
    const int row = model()->findRow(kId, id);
    const QDate date =
        QDate::fromString(model()->value(row, QStringLiteral("Date_Rev")).toString(), Qt::ISODate);
    const QTime time = QTime::fromString(model()->value(row, QStringLiteral("Time_Rev")).toString(),
                                         QStringLiteral("HH:mm:ss"));
    GridExport what;
    what.name = QStringLiteral("Revision");
    what.heading = {QString(), texts::kRevisionPrintNumber.arg(id.toLongLong()), QString(),
                    texts::kRevisionPrintDate.arg(shortDate(date), shortTime(time))};
    what.closing = {QString(), texts::kRevisionPrintRecorded.arg(ui->Label_Nali4no_Suma->text()),
                    QString(), texts::kRevisionPrintCounted.arg(ui->Label_Otkrito_Suma->text()),
                    QString(), texts::kRevisionPrintDifference.arg(ui->Label_Razlika_Suma->text()),
                    QString()};
    what.footerPrefix = QStringLiteral("\t");
    guarded([&] { printed_ = exportGrid(gridContext(session_), this, ui->DBGrid_Artikuli, what); });
}

} // namespace torvika
