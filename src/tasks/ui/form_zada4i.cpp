#include "tasks/ui/form_zada4i.h"

#include "common/grid_export.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_koloni.h"
#include "common/ui/messages.h"
#include "shell/session_grids.h"
#include "tasks/texts.h"
#include "tasks/ui/form_newzada4a.h"
#include "ui_form_zada4i.h"

#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace torvika {

namespace {

const QString kId = QStringLiteral("ID");

struct ColumnDef {
    const char16_t* field;
    const char16_t* title;
    int width;
    GridColumnSpec::Format format;
};
constexpr ColumnDef kColumns[] = {
    {u"Opisanie_Z", u"Описание задача", 30, GridColumnSpec::Text},
    {u"Ime_Firma", u"Възложител", 22, GridColumnSpec::Text},
    {u"Izpalniteli", u"Изпълнители", 20, GridColumnSpec::Text},
    {u"Status", u"Статус", 12, GridColumnSpec::Text},
    {u"D_Izpalnenie", u"Дата изпълнение", 0, GridColumnSpec::Date},
    {u"T_Izpalnenie", u"Час изпълнение", 0, GridColumnSpec::Time},
    {u"D_Vazlagane", u"Дата възлагане", 0, GridColumnSpec::Date},
    {u"T_Vazlagane", u"Час възлагане", 0, GridColumnSpec::Time},
    {u"Zabel", u"Забележка", 30, GridColumnSpec::Text},
};

// Colours each row as the window says.
class TaskRowDelegate : public QStyledItemDelegate {
public:
    explicit TaskRowDelegate(const TForm_Zada4i* window) : QStyledItemDelegate(nullptr), window_(window) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QColor colour = window_->rowColour(index.row());
        if (!colour.isValid())
            return;
        option->palette.setColor(QPalette::Text, colour);
        option->palette.setColor(QPalette::HighlightedText, colour.lighter(170));
    }

private:
    const TForm_Zada4i* window_;
};

} // namespace

TForm_Zada4i::TForm_Zada4i(const WindowContext& context, QWidget* parent)
    : ListWindow(parent), context_(context), ui(new Ui::TForm_Zada4i) {
    ui->setupUi(this);
    QList<GridColumnSpec> columns;
    for (const ColumnDef& c : kColumns)
        columns << GridColumnSpec{QString::fromUtf16(c.field), QString::fromUtf16(c.title), c.width,
                                  c.format};
    setUpList(gridContext(context.session), ui->DBGrid_Zada4i, columns, kId);
    auto* delegate = new TaskRowDelegate(this);
    delegate->setParent(this);
    ui->DBGrid_Zada4i->setItemDelegate(delegate);
    ui->DBGrid_Zada4i->installEventFilter(this);
    addColumnMenu(ui->DBGrid_Zada4i);
    for (QStringView c : taskComparisonCaptions)
        ui->ComboBox1->addItem(c.toString());
    setSearchLine(
        {ui->Label_Tarsene_Po, ui->ComboBox1, int(TaskComparison::Between), {ui->Label_Ot, ui->Label_Do}});
    resize(1000, 560);

    connect(ui->BitBtn_Nova_Zada4a, &QPushButton::clicked, this, &TForm_Zada4i::BitBtn_Nova_Zada4aClick);
    connect(ui->BitBtn_Redakt_Zada4a, &QPushButton::clicked, this, &TForm_Zada4i::BitBtn_Redakt_Zada4aClick);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm_Zada4i::Button1Click);
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_Zada4i::Button_TarsiClick);
    connect(ui->BitBtn_Pokaji_Vsi4ko, &QPushButton::clicked, this, &TForm_Zada4i::showAll);
    connect(ui->DBGrid_Zada4i, &QTableView::clicked, this, &TForm_Zada4i::DBGrid_Zada4iCellClick);
    connect(ui->DBGrid_Zada4i, &QTableView::doubleClicked, this, &TForm_Zada4i::BitBtn_Redakt_Zada4aClick);
    showAll();
}

TForm_Zada4i::~TForm_Zada4i() = default;

QColor TForm_Zada4i::rowColour(int row) const {
    const QString status = model()->value(row, QStringLiteral("Status")).toString();
    const QDate due =
        QDate::fromString(model()->value(row, QStringLiteral("D_Izpalnenie")).toString(), Qt::ISODate);
    switch (taskMark(status, due, context_.session.today())) {
    case TaskMark::Overdue:
        return QColor(Qt::red);
    case TaskMark::Running:
        return QColor(Qt::darkGreen);
    case TaskMark::Postponed:
        return QColor(Qt::blue);
    case TaskMark::None:
        break;
    }
    return {};
}

void TForm_Zada4i::showAll() {
    guarded([this] { open(tasksStatement()); });
    setTaskSearchColumn(TaskColumn::Description);
}

bool TForm_Zada4i::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->DBGrid_Zada4i && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BitBtn_Redakt_Zada4aClick();
            return true;
        }
    }
    return ListWindow::eventFilter(watched, event);
}

QString TForm_Zada4i::sortField(int column) const {
    if (column < 0 || column >= int(std::size(kColumns)))
        return {};
    return taskColumnField(TaskColumn(column));
}

void TForm_Zada4i::setTaskSearchColumn(TaskColumn column) {
    const TaskColumnKind kind = taskColumnKind(column);
    const QString title = QString::fromUtf16(kColumns[int(column)].title);
    const bool byValue = kind != TaskColumnKind::Text;
    // "Between" shows the second field or picker.
    setSearchRange(
        {ui->Label_Ot, ui->Label_Do, byValue ? static_cast<QWidget*>(ui->DateTimePicker_Do) : ui->Edit_Do});
    ListWindow::setSearchColumn(int(column), title, byValue);
    ui->Label_Tarsene_Po->setText(texts::kSearchBy + title);
    setWindowTitle(texts::kTasksSearchCaption + title);
    ui->Edit_Ot->setVisible(!byValue);
    ui->DateTimePicker_Ot->setVisible(byValue);
    ui->Edit_Do->setVisible(false);
    ui->DateTimePicker_Do->setVisible(false);
    if (byValue) {
        const QString format =
            kind == TaskColumnKind::Date ? QStringLiteral("dd.MM.yyyy") : QStringLiteral("HH:mm");
        const QDateTime now = context_.session.now();
        for (QDateTimeEdit* picker : {ui->DateTimePicker_Ot, ui->DateTimePicker_Do}) {
            picker->setDisplayFormat(format);
            picker->setDateTime(now);
        }
    }
}

void TForm_Zada4i::DBGrid_Zada4iCellClick(const QModelIndex& index) {
    if (index.isValid() && index.column() < int(std::size(kColumns)))
        setTaskSearchColumn(TaskColumn(index.column()));
}

void TForm_Zada4i::Button_TarsiClick() {
    TaskSearch s;
    s.column = TaskColumn(std::max(0, searchColumn()));
    s.comparison = comparison() < 0 ? TaskComparison::Equal : TaskComparison(comparison());
    s.text = ui->Edit_Ot->text();
    s.fromDate = ui->DateTimePicker_Ot->date();
    s.toDate = ui->DateTimePicker_Do->date();
    s.fromTime = ui->DateTimePicker_Ot->time();
    s.toTime = ui->DateTimePicker_Do->time();
    search([&] { return taskSearchStatement(s); }, QString());
}

void TForm_Zada4i::openDialog(const std::optional<Task>& task, const QString& assignerName) {
    TForm_NewZada4a dialog(context_, this);
    if (task)
        dialog.editTask(*task, assignerName);
    else
        dialog.newTask();
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QVariant current = currentKey();
    guarded([this] { model()->reread(); });
    // Back to the task stored (a new one) or to the row it was on.
    if (!positionOn(dialog.savedTask() ? QVariant(*dialog.savedTask()) : current))
        positionOn(current);
    emit tasksChanged();
}

void TForm_Zada4i::BitBtn_Nova_Zada4aClick() {
    openDialog(std::nullopt, QString());
}

void TForm_Zada4i::BitBtn_Redakt_Zada4aClick() {
    const QVariant key = currentKey();
    if (!key.isValid())
        return;
    const int row = ui->DBGrid_Zada4i->currentIndex().row();
    const QString name = model()->value(row, QStringLiteral("Ime_Firma")).toString();
    std::optional<Task> task;
    if (!guarded([&] { task = loadTask(context_.session.db(), key.toLongLong()); }))
        return;
    if (!task) {
        showMessage(texts::kTaskNotFound);
        guarded([this] { model()->reread(); });
        return;
    }
    openDialog(task, name);
}

void TForm_Zada4i::Button1Click() {
    GridExport what;
    what.name = QStringLiteral("Prot_Zad");
    what.heading = {texts::kTasksReportTitle, exportDateLine(context_.session.now())};
    what.closing = {QString()};
    printList(what);
}

} // namespace torvika
