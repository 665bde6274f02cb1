#include "catalogue/ui/form_zaqvka_all.h"

#include "catalogue/texts.h"
#include "catalogue/ui/form_add_red_zaqvka.h"
#include "common/cformat.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_koloni.h"
#include "common/ui/messages.h"
#include "shell/session_grids.h"
#include "ui_form_zaqvka_all.h"

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
    : ListWindow(parent), ui(new Ui::TForm_Zaqvka_all), context_(context), session_(context.session) {
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
    setUpList(gridContext(session_), ui->DBGrid1, columns, kId, true);
    addColumnMenu(ui->DBGrid1);
    ui->DBGrid1->installEventFilter(this);
    for (QStringView c : orderComparisonCaptions)
        ui->ComboBox_Uslovie->addItem(c.toString());
    setSearchLine({ui->Label_Tarsene_Po,
                   ui->ComboBox_Uslovie,
                   int(OrderComparison::Between),
                   {ui->Label_Ot, ui->Label_Do, ui->Edit_Do, ui->DateTimePicker_Do}});

    connect(ui->DBGrid1, &QTableView::clicked, this, &TForm_Zaqvka_all::DBGrid1CellClick);
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
    guarded([this] { open(orderListStatement()); });
}

namespace {
QList<qint64> ids(const QList<QVariant>& keys) {
    QList<qint64> out;
    for (const QVariant& k : keys)
        out << k.toLongLong();
    return out;
}
} // namespace

QList<qint64> TForm_Zaqvka_all::shownLines() {
    return ids(shownKeys());
}

QList<qint64> TForm_Zaqvka_all::markedLines() const {
    return ids(markedKeys());
}

// The search.

void TForm_Zaqvka_all::setSearchColumn(OrderColumn column) {
    const OrderListColumn& c = orderListColumn(column);
    const bool date = c.kind == OrderColumnKind::Date;
    // "Between" asks for a second date or a second number.
    setSearchRange(
        {ui->Label_Ot, ui->Label_Do, date ? static_cast<QWidget*>(ui->DateTimePicker_Do) : ui->Edit_Do});
    ListWindow::setSearchColumn(int(column), c.caption.toString(), c.kind != OrderColumnKind::Text);
    ui->Edit_ot->setVisible(!date);
    ui->DateTimePicker_Ot->setVisible(date);
    if (date)
        ui->DateTimePicker_Ot->setDate(session_.today());
}

void TForm_Zaqvka_all::ComboBox_UslovieChange() {
    // A range of dates starts as today to today.
    if (orderListColumn(searchColumn()).kind == OrderColumnKind::Date &&
        comparison() == int(OrderComparison::Between)) {
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
    search.column = searchColumn();
    search.comparison = comparison() < 0 ? OrderComparison::Equal : OrderComparison(comparison());
    search.from = ui->Edit_ot->text();
    search.to = ui->Edit_Do->text();
    search.fromDate = ui->DateTimePicker_Ot->date();
    search.toDate = ui->DateTimePicker_Do->date();
    if (!this->search([&] { return orderSearchStatement(search); }, texts::kOrderBadSearch))
        showAll();
}

QString TForm_Zaqvka_all::sortField(int column) const {
    if (column < 0 || column >= int(orderListColumns.size()))
        return {};
    return orderListColumns[size_t(column)].qualified.toString();
}

// The buttons.

void TForm_Zaqvka_all::Button_DobaviClick() {
    TForm_Add_Red_Zaqvka dialog(context_, this);
    if (!dialog.ready() || dialog.exec() != QDialog::Accepted)
        return;
    showAll();
    setSearchColumn(OrderColumn::Description);
    if (!dialog.saved().isEmpty())
        positionOn(dialog.saved().back());
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
    GridExport what;
    what.name = kOrderListFile;
    what.heading = orderListHeading(session_.now());
    return printList(what);
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
    GridFile file(gridContext(session_), this, kSupplierOrderFile);
    QList<GridColumn> columns;
    for (int i = 0; i < int(std::size(kDocumentColumns)); ++i)
        columns.append(
            {i, kDocumentColumns[i].title.toString(), kDocumentColumns[i].width * kPixelsPerCharacter});
    const QDateTime now = session_.now();
    QStandardItemModel table;
    for (const SupplierOrder& order : orders) {
        fillDocument(table, order, session_.displayDecimals());
        if (!(file.lines(supplierOrderHeading(order, now)) && file.table(table, columns) &&
              file.lines(supplierOrderTotals(order))))
            break;
    }
    return file.finish({QString(), QString()});
}

} // namespace torvika
