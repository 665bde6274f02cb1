#include "catalogue/ui/form_zaqvka_all.h"

#include "catalogue/texts.h"
#include "catalogue/ui/form_add_red_zaqvka.h"
#include "common/cformat.h"
#include "common/ui/desktop.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "documents/ui/form_print_vid_fail.h"
#include "documents/ui/grid_file.h"
#include "ui_form_zaqvka_all.h"

#include <QDir>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <algorithm>

namespace torvika {

namespace {

const QString kId = QStringLiteral("ID");
// On-screen pixels per character of an export column (PRINT_INTO takes a
// fifth of a column's width in characters).
constexpr int kPixelsPerCharacter = 5;

// The widths of the list's columns, in characters.
constexpr int kListWidths[] = {10, 6, 10, 28, 8, 9, 6, 20, 22, 12};

// The table of a supplier's part of the order document.
struct DocumentColumn {
    QStringView title;
    int width; // in characters
};
constexpr DocumentColumn kDocumentColumns[] = {{u"N", 4},         {u"Арт. N", 7}, {u"Кат. N", 12},
                                               {u"Описание", 30}, {u"Кол.", 10},  {u"Дост.цена", 10},
                                               {u"Валута", 7},    {u"Сума", 12},  {u"Заявител", 22}};

// Writes one supplier's lines into the model of its table.
void fillDocument(QStandardItemModel& model, const SupplierOrder& order, int decimals) {
    model.clear();
    model.setColumnCount(int(std::size(kDocumentColumns)));
    int n = 0;
    for (const StoredOrderLine& l : order.lines) {
        const QStringList cells{QString::number(++n),
                                QString::number(l.line.article),
                                l.line.supplierNumber,
                                l.line.description,
                                formatFixed(l.line.quantity, decimals, 0),
                                formatFixed(l.line.price, decimals, 0),
                                l.line.currency,
                                formatFixed(l.amount(), 2, 0),
                                l.line.requester};
        QList<QStandardItem*> row;
        for (const QString& c : cells)
            row << new QStandardItem(c);
        model.appendRow(row);
    }
}

} // namespace

TForm_Zaqvka_all::TForm_Zaqvka_all(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Zaqvka_all), context_(context), session_(context.session),
      model_(new StatementModel(this)) {
    ui->setupUi(this);
    QList<GridColumnSpec> columns;
    for (size_t i = 0; i < orderListColumns.size(); ++i) {
        const OrderListColumn& c = orderListColumns[i];
        GridColumnSpec grid{c.field.toString(), c.caption.toString(), kListWidths[i]};
        if (c.kind == OrderColumnKind::Date)
            grid.format = GridColumnSpec::Date;
        else if (c.field == u"Art_ID")
            grid.format = GridColumnSpec::Integer;
        else if (c.kind == OrderColumnKind::Number) {
            grid.format = GridColumnSpec::Number;
            grid.decimals = session_.displayDecimals();
        }
        columns << grid;
    }
    model_->setColumns(columns);
    setUpStatementGrid(ui->DBGrid1, model_, true);
    ui->DBGrid1->horizontalHeader()->setSectionsClickable(true);
    ui->DBGrid1->installEventFilter(this);
    for (QStringView c : orderComparisonCaptions)
        ui->ComboBox_Uslovie->addItem(c.toString());

    connect(ui->DBGrid1, &QTableView::clicked, this, &TForm_Zaqvka_all::DBGrid1CellClick);
    connect(ui->DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TForm_Zaqvka_all::DBGrid1TitleClick);
    connect(ui->ComboBox_Uslovie, &QComboBox::currentIndexChanged, this,
            &TForm_Zaqvka_all::ComboBox_UslovieChange);
    connect(ui->Button_Tarsene, &QPushButton::clicked, this, &TForm_Zaqvka_all::Button_TarseneClick);
    connect(ui->Button_Dobavi, &QPushButton::clicked, this, &TForm_Zaqvka_all::Button_DobaviClick);
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, &TForm_Zaqvka_all::Button_IztriiClick);
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, [this] { Button_Pe4atClick(); });
    connect(ui->Button_Izgotvi_Zaqvka, &QPushButton::clicked, this, [this] { Button_Izgotvi_ZaqvkaClick(); });

    showAll();
    setSearchColumn(OrderColumn::Description);
}

TForm_Zaqvka_all::~TForm_Zaqvka_all() = default;

QTableView* TForm_Zaqvka_all::grid() const {
    return ui->DBGrid1;
}

void TForm_Zaqvka_all::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TForm_Zaqvka_all::FormShow() {
    showAll();
    setSearchColumn(OrderColumn::Description);
    ui->Edit_ot->setFocus();
}

bool TForm_Zaqvka_all::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->DBGrid1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        Button_IztriiClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Zaqvka_all::showAll() {
    guarded([this] { model_->setStatement(session_.db(), orderListStatement()); });
}

QList<qint64> TForm_Zaqvka_all::shownLines() {
    model_->fetchAll();
    QList<qint64> ids;
    for (int r = 0; r < model_->rowCount(); ++r)
        ids << model_->value(r, kId).toLongLong();
    return ids;
}

QList<qint64> TForm_Zaqvka_all::markedLines() const {
    QList<int> rows;
    for (const QModelIndex& index : ui->DBGrid1->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QList<qint64> ids;
    for (int r : rows)
        ids << model_->value(r, kId).toLongLong();
    return ids;
}

// The search.

void TForm_Zaqvka_all::setSearchColumn(OrderColumn column) {
    searchColumn_ = column;
    const OrderListColumn& c = orderListColumn(column);
    ui->Label_Tarsene_Po->setText(texts::kSearchBy + c.caption.toString());
    // The search column's title in red, the others as usual.
    for (int i = 0; i < model_->columnCount(); ++i)
        model_->setHeaderData(i, Qt::Horizontal, i == int(column) ? QVariant(QBrush(Qt::red)) : QVariant(),
                              Qt::ForegroundRole);
    const bool date = c.kind == OrderColumnKind::Date;
    const bool text = c.kind == OrderColumnKind::Text;
    {
        const QSignalBlocker block(ui->ComboBox_Uslovie);
        ui->ComboBox_Uslovie->setCurrentIndex(int(OrderComparison::Equal));
    }
    ui->ComboBox_Uslovie->setEnabled(!text);
    ui->Edit_ot->setVisible(!date);
    ui->DateTimePicker_Ot->setVisible(date);
    if (date)
        ui->DateTimePicker_Ot->setDate(session_.today());
    ComboBox_UslovieChange();
}

void TForm_Zaqvka_all::ComboBox_UslovieChange() {
    const OrderColumnKind kind = orderListColumn(searchColumn_).kind;
    const bool between = kind != OrderColumnKind::Text &&
                         ui->ComboBox_Uslovie->currentIndex() == int(OrderComparison::Between);
    ui->Label_Ot->setVisible(between);
    ui->Label_Do->setVisible(between);
    ui->Edit_Do->setVisible(between && kind == OrderColumnKind::Number);
    ui->DateTimePicker_Do->setVisible(between && kind == OrderColumnKind::Date);
    if (between && kind == OrderColumnKind::Date) {
        ui->DateTimePicker_Ot->setDate(session_.today());
        ui->DateTimePicker_Do->setDate(session_.today());
    }
}

void TForm_Zaqvka_all::DBGrid1CellClick(const QModelIndex& index) {
    if (!index.isValid() || index.column() >= int(orderListColumns.size()))
        return;
    setSearchColumn(OrderColumn(index.column()));
}

void TForm_Zaqvka_all::Button_TarseneClick() {
    OrderSearch search;
    search.column = searchColumn_;
    search.comparison = orderListColumn(searchColumn_).kind == OrderColumnKind::Text
                            ? OrderComparison::Equal
                            : OrderComparison(ui->ComboBox_Uslovie->currentIndex());
    search.from = ui->Edit_ot->text();
    search.to = ui->Edit_Do->text();
    search.fromDate = ui->DateTimePicker_Ot->date();
    search.toDate = ui->DateTimePicker_Do->date();
    try {
        model_->setStatement(session_.db(), orderSearchStatement(search));
    } catch (const std::exception& e) {
        reportError(e, texts::kOrderBadSearch);
        showAll();
    }
}

void TForm_Zaqvka_all::DBGrid1TitleClick(int column) {
    if (column < 0 || column >= int(orderListColumns.size()))
        return;
    const QModelIndex current = ui->DBGrid1->currentIndex();
    const QVariant keep = current.isValid() ? model_->value(current.row(), kId) : QVariant();
    try {
        model_->setStatement(session_.db(), ORDER_SQL(model_->statement(),
                                                      orderListColumns[size_t(column)].qualified.toString(),
                                                      session_.sortDirection));
    } catch (const std::exception& e) {
        reportError(e, texts::kNothingToSort);
        return;
    }
    if (keep.isValid()) {
        const int row = model_->findRow(kId, keep);
        if (row >= 0)
            ui->DBGrid1->setCurrentIndex(model_->index(row, 0));
    }
}

// The buttons.

void TForm_Zaqvka_all::Button_DobaviClick() {
    TForm_Add_Red_Zaqvka dialog(context_, this);
    if (!dialog.ready() || dialog.exec() != QDialog::Accepted)
        return;
    showAll();
    setSearchColumn(OrderColumn::Description);
    if (!dialog.saved().isEmpty()) {
        const int row = model_->findRow(kId, dialog.saved().back());
        if (row >= 0)
            ui->DBGrid1->setCurrentIndex(model_->index(row, 0));
    }
    ui->Edit_ot->setFocus();
}

void TForm_Zaqvka_all::Button_IztriiClick() {
    const QList<qint64> ids = markedLines();
    if (ids.isEmpty() || !askYesNo(texts::kOrderAskDelete))
        return;
    guarded([&] { deleteOrderLines(session_.db(), ids); });
    showAll();
}

QString TForm_Zaqvka_all::Button_Pe4atClick() {
    if (model_->rowCount() == 0) {
        showMessage(texts::kNothingToPrint);
        return {};
    }
    GridExport what;
    what.name = kOrderListFile;
    what.heading = orderListHeading(session_.now());
    return exportGrid(session_, this, ui->DBGrid1, what);
}

QString TForm_Zaqvka_all::Button_Izgotvi_ZaqvkaClick() {
    QList<qint64> ids = markedLines();
    if (ids.isEmpty())
        ids = shownLines();
    QList<SupplierOrder> orders;
    if (!guarded([&] { orders = supplierOrders(session_.db(), ids); }))
        return {};
    if (orders.isEmpty()) {
        showMessage(texts::kNothingToPrint);
        return {};
    }
    TForm_Print_Vid_Fail::choose(session_, this);
    const ExportKind kind = session_.state<ExportKind>();
    QDir().mkpath(session_.programDir.tempDir());
    const QString fileName = exportFileName(session_.programDir.tempDir(), kSupplierOrderFile, kind);
    QList<GridColumn> columns;
    for (int i = 0; i < int(std::size(kDocumentColumns)); ++i)
        columns.append(
            {i, kDocumentColumns[i].title.toString(), kDocumentColumns[i].width * kPixelsPerCharacter});
    const QDateTime now = session_.now();
    QStandardItemModel table;
    // Each step ends silently on a write error; whatever was written is opened.
    bool written = true;
    for (qsizetype i = 0; i < orders.size() && written; ++i) {
        fillDocument(table, orders[i], session_.displayDecimals());
        written = writeExportLines(fileName, linesForKind(kind, supplierOrderHeading(orders[i], now)),
                                   i == 0 ? ExportWrite::Rewrite : ExportWrite::Append) &&
                  PRINT_INTO(table, columns, fileName, kind) &&
                  writeExportLines(fileName, linesForKind(kind, supplierOrderTotals(orders[i])));
    }
    if (written)
        writeExportLines(fileName, {QString(), QString(), footerLine()});
    SHELLEXECUTE_OPENFILE(fileName);
    return fileName;
}

} // namespace torvika
