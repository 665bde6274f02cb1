#include "catalogue/ui/form_spr_transfer.h"

#include "catalogue/reference_lists.h"
#include "catalogue/texts.h"
#include "common/base_currency.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/grid_file.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "shell/session_grids.h"
#include "ui_form_spr_transfer.h"

namespace torvika {

namespace {

const QString kId = QStringLiteral("ID");

} // namespace

TForm_Spr_Transfer::TForm_Spr_Transfer(const WindowContext& context, StockMoveKind kind, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Spr_Transfer), context_(context), session_(context.session),
      kind_(kind), lines_(new StatementModel(this)) {
    ui->setupUi(this);
    const bool scrap = kind == StockMoveKind::Scrap;
    setWindowTitle(scrap ? texts::kScrapReportTitle : texts::kTransferReportTitle);
    QList<GridColumnSpec> columns{
        {kId, texts::kReportColumnNumber, 7, GridColumnSpec::Integer},
        {QStringLiteral("Data"), texts::kStockMoveColumnDate, 11, GridColumnSpec::Date},
        {QStringLiteral("Vreme"), texts::kStockMoveColumnTime, 9},
        {QStringLiteral("Ot_Name"), scrap ? texts::kReportColumnWarehouse : texts::kStockMoveColumnFrom, 18},
    };
    if (!scrap)
        columns << GridColumnSpec{QStringLiteral("Do_Name"), texts::kStockMoveColumnTo, 18};
    columns << GridColumnSpec{QStringLiteral("Operator"), texts::kStockMoveColumnOperator, 16}
            << GridColumnSpec{QStringLiteral("Zabel"), texts::kStockMoveColumnNote, 24};
    setUpList(gridContext(session_), ui->DBGrid_Dokumenti, columns, kId);
    const int decimals = session_.displayDecimals();
    QList<GridColumnSpec> lineColumns{
        {QStringLiteral("Art_ID"), texts::kTransferColumnArticle, 9, GridColumnSpec::Integer},
        {QStringLiteral("Opisanie"), texts::kTransferColumnDescription, 30},
        {QStringLiteral("Kol"), texts::kTransferColumnQuantity, 9, GridColumnSpec::Number, 3},
        {QStringLiteral("Mqrka"), texts::kTransferColumnUnit, 6},
        {QStringLiteral("Ed_Cena"), texts::kTransferColumnPrice, 9, GridColumnSpec::Number, decimals},
        {QStringLiteral("Valuta"), texts::kTransferColumnCurrency, 7},
        {QStringLiteral("Sum_Row"), baseCurrencyForCaptions(session_.db()).totalsCaption, 10,
         GridColumnSpec::Number, 2},
    };
    if (scrap)
        lineColumns << GridColumnSpec{QStringLiteral("Pri4ina"), texts::kScrapColumnReason, 24};
    lines_->setColumns(lineColumns);
    setUpStatementGrid(ui->DBGrid_Artikuli, lines_);

    for (QStringView c : dateComparisonCaptions)
        ui->ComboBox_Data->addItem(c.toString());
    ui->Edit_Data_Ot->setDate(session_.today());
    ui->Edit_Data_Do->setDate(session_.today());
    ui->Label_Data_Do->hide();
    ui->Edit_Data_Do->hide();
    guarded([this] { ui->ComboBox_Sklad->addItems(warehouseItems(session_.db())); });

    connect(ui->ComboBox_Data, &QComboBox::currentIndexChanged, this, &TForm_Spr_Transfer::comparisonChosen);
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_Spr_Transfer::find);
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, [this] { print(false); });
    connect(ui->Button_Pe4at_Vsi4ko, &QPushButton::clicked, this, [this] { print(true); });
    connect(ui->DBGrid_Dokumenti->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TForm_Spr_Transfer::showDocument);
    ui->Button_Tarsi->setDefault(true);
    find();
}

TForm_Spr_Transfer::~TForm_Spr_Transfer() = default;

void TForm_Spr_Transfer::comparisonChosen() {
    const bool between = ui->ComboBox_Data->currentIndex() == int(DateComparison::Between);
    ui->Label_Data_Do->setVisible(between);
    ui->Edit_Data_Do->setVisible(between);
}

void TForm_Spr_Transfer::find() {
    StockMoveReportFilter f;
    if (ui->CheckBox_Data->isChecked())
        f.date = DateCondition{DateComparison(std::max(0, ui->ComboBox_Data->currentIndex())),
                               ui->Edit_Data_Ot->date(), ui->Edit_Data_Do->date()};
    if (ui->CheckBox_Sklad->isChecked() && ui->ComboBox_Sklad->currentIndex() >= 0)
        f.warehouse = GetID_MFromTreeNodeName(ui->ComboBox_Sklad->currentText());
    if (ui->CheckBox_Artikul->isChecked()) {
        bool ok = false;
        const qint64 article = ui->Edit_Artikul->text().trimmed().toLongLong(&ok);
        if (!ok) {
            showMessage(texts::kArticleNumberNotFound);
            return;
        }
        f.article = article;
    }
    const StockMoveKind kind = kind_;
    search([kind, f] { return stockMoveReportStatement(kind, f); }, QString());
}

void TForm_Spr_Transfer::listShown() {
    if (model()->rowCount() > 0 && !grid()->currentIndex().isValid())
        grid()->setCurrentIndex(model()->index(0, 0));
    showDocument();
}

void TForm_Spr_Transfer::showDocument() {
    const QVariant id = currentKey();
    guarded([&] {
        if (id.isValid())
            lines_->setStatement(session_.db(), stockMoveLinesStatement(kind_, id.toLongLong()));
        else
            lines_->clear();
    });
}

void TForm_Spr_Transfer::print(bool withLines) {
    printed_.clear();
    const QStringList heading{QString(), kind_ == StockMoveKind::Scrap ? texts::kScrapPrintTitle
                                                                       : texts::kTransferPrintTitle};
    if (!withLines) {
        printed_ =
            printList({stockMovePrintFile(kind_), heading, {QString(), QString()}, QStringLiteral("\t")});
        return;
    }
    if (model()->rowCount() == 0) {
        showMessage(texts::kNothingToPrint);
        return;
    }
    guarded([&] {
        const QList<GridColumn> columns = visibleColumns(ui->DBGrid_Artikuli);
        GridFile file(gridContext(session_), this, stockMovePrintFile(kind_));
        file.lines(heading);
        for (const QVariant& key : shownKeys()) {
            const int row = model()->findRow(kId, key);
            const QDateTime when(
                QDate::fromString(model()->value(row, QStringLiteral("Data")).toString(), Qt::ISODate),
                QTime::fromString(model()->value(row, QStringLiteral("Vreme")).toString(),
                                  QStringLiteral("HH:mm:ss")));
            const QString from = refText(model()->value(row, QStringLiteral("Sklad_Ot")).toLongLong(),
                                         model()->value(row, QStringLiteral("Ot_Name")).toString());
            const QString to = refText(model()->value(row, QStringLiteral("Sklad_Do")).toLongLong(),
                                       model()->value(row, QStringLiteral("Do_Name")).toString());
            QStringList lines = stockMovePrintHeading(kind_, from, to, when);
            lines[0] = texts::kStockMoveDocument.arg(key.toLongLong());
            StatementModel documentLines;
            documentLines.setColumns(lines_->columns());
            documentLines.setStatement(session_.db(), stockMoveLinesStatement(kind_, key.toLongLong()));
            if (!file.lines(QStringList{QString()} + lines) || !file.table(documentLines, columns))
                break;
        }
        printed_ = file.finish({QString(), QString()}, QStringLiteral("\t"));
    });
}

} // namespace torvika
