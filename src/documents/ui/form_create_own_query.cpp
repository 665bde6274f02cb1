#include "documents/ui/form_create_own_query.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/exception_log.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/form_koloni.h"
#include "common/ui/grid_file.h"
#include "common/ui/messages.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "shell/session_grids.h"
#include "ui_form_create_own_query.h"

#include <QAbstractTableModel>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QShowEvent>

namespace torvika {

namespace {

// A run may read this many rows, for this long.
constexpr int kRowCap = 10000;
constexpr int kTimeoutMs = 60000;

} // namespace

// The rows of a run as the grid shows them: numbers in their shortest exact
// form, NULL as nothing.
class OwnQueryModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void show(const OwnQueryResult* result) {
        beginResetModel();
        result_ = result;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !result_ ? 0 : int(result_->rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !result_ ? 0 : int(result_->fields.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!result_ || !index.isValid())
            return {};
        const QVariant& v = result_->rows[index.row()].value(index.column());
        const bool number = v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float ||
                            v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong;
        if (role == Qt::TextAlignmentRole)
            return number ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
        if (role != Qt::DisplayRole)
            return {};
        if (v.isNull())
            return QString();
        if (number)
            if (const std::optional<Decimal> d = Decimal::fromVariant(v))
                return d->toString();
        return v.toString();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || !result_)
            return {};
        if (orientation == Qt::Horizontal)
            return result_->fields.value(section);
        return section + 1;
    }

private:
    const OwnQueryResult* result_ = nullptr;
};

TForm_Create_Own_Query::TForm_Create_Own_Query(const WindowContext& context, Mode mode, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Create_Own_Query), context_(context), session_(context.session),
      mode_(mode) {
    ui->setupUi(this);
    model_ = new OwnQueryModel(this);
    ui->DBGrid1->setModel(model_);
    ui->DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    ui->DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->DBGrid1->horizontalHeader()->setResizeContentsPrecision(200);
    ui->Splitter_Query->setStretchFactor(0, 1);
    ui->Splitter_Query->setStretchFactor(1, 3);

    // The grid's menu: "Изчисли" (for a column of numbers) and the column window.
    calculate_ = new QAction(QStringLiteral("Изчисли"), ui->DBGrid1);
    calculate_->setObjectName(QStringLiteral("N_Izchisli"));
    auto* menu = new QMenu(this);
    QAction* sum = menu->addAction(QStringLiteral("Обща сума"));
    sum->setObjectName(QStringLiteral("N_Obshta_Suma"));
    QAction* average = menu->addAction(QStringLiteral("Средна стойност"));
    average->setObjectName(QStringLiteral("N_Sredna_Stoinost"));
    calculate_->setMenu(menu);
    ui->DBGrid1->addAction(calculate_);
    addColumnMenu(ui->DBGrid1);
    connect(sum, &QAction::triggered, this, [this] { total(false); });
    connect(average, &QAction::triggered, this, [this] { total(true); });
    connect(ui->DBGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TForm_Create_Own_Query::updateCalculate);

    ui->Memo1->setReadOnly(mode_ == Use);
    ui->Button_Save->setVisible(mode_ == Design);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    ui->Memo1->setFont(mono);

    connect(ui->ComboBox_SQLs, &QComboBox::activated, this, &TForm_Create_Own_Query::ComboBox_SQLsChange);
    connect(ui->Button_Create, &QPushButton::clicked, this, &TForm_Create_Own_Query::Button_CreateClick);
    connect(ui->Button_Cancel, &QPushButton::clicked, this, &TForm_Create_Own_Query::Button_CancelClick);
    connect(ui->Button_Save, &QPushButton::clicked, this, &TForm_Create_Own_Query::Button_SaveClick);
    connect(ui->Button_Print, &QPushButton::clicked, this, &TForm_Create_Own_Query::Button_PrintClick);
    updateCalculate();
}

TForm_Create_Own_Query::~TForm_Create_Own_Query() {
    // The grid shows the rows held here: it lets go first.
    model_->show(nullptr);
}

OwnQueryStore TForm_Create_Own_Query::store() const {
    return OwnQueryStore(QDir(session_.programDir.sqlsDir()).filePath(QStringLiteral("Own_SQL.ini")));
}

void TForm_Create_Own_Query::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TForm_Create_Own_Query::FormShow() {
    ui->Memo1->clear();
    ui->ComboBox_SQLs->clear();
    guarded([&] { ui->ComboBox_SQLs->addItems(store().items()); });
    ui->ComboBox_SQLs->setCurrentIndex(-1);
}

// A run still going is stopped when the window closes.
void TForm_Create_Own_Query::reject() {
    if (run_) {
        run_->cancel();
        run_->wait();
        run_.reset();
        setRunning(false);
    }
    QDialog::reject();
}

void TForm_Create_Own_Query::ComboBox_SQLsChange() {
    QString statement;
    guarded([&] { statement = store().statement(ownQueryNumber(ui->ComboBox_SQLs->currentText())); });
    ui->Memo1->setPlainText(statement);
}

void TForm_Create_Own_Query::setRunning(bool on) {
    ui->Button_Create->setEnabled(!on);
    ui->Button_Save->setEnabled(!on);
    ui->Button_Print->setEnabled(!on);
    ui->ComboBox_SQLs->setEnabled(!on);
    ui->Button_Cancel->setEnabled(on);
    if (on)
        ui->Label_Rows->setText(texts::kOwnQueryRunning);
}

// "Генерирай": the statement, checked, runs on its own read-only
// connection; the window stays usable to stop it.
void TForm_Create_Own_Query::Button_CreateClick() {
    if (run_)
        return;
    QString statement;
    try {
        statement = checkedOwnQuery(ui->Memo1->toPlainText());
    } catch (const EDocumentError& e) {
        showMessage(e.message());
        return;
    }
    model_->show(nullptr);
    result_ = OwnQueryResult();
    ui->Edit_Result->clear();
    run_ = std::make_unique<OwnQueryRun>(session_.db(), statement, OwnQueryLimits{kRowCap, kTimeoutMs});
    connect(run_.get(), &OwnQueryRun::done, this, &TForm_Create_Own_Query::runEnded);
    setRunning(true);
    run_->start();
}

void TForm_Create_Own_Query::Button_CancelClick() {
    if (run_)
        run_->cancel();
}

void TForm_Create_Own_Query::runEnded() {
    if (!run_)
        return;
    run_->wait();
    const std::unique_ptr<OwnQueryRun> run = std::move(run_);
    setRunning(false);
    if (run->outcome() != OwnQueryRun::Outcome::Done) {
        ui->Label_Rows->clear();
        const EDocumentError failure(run->message());
        if (run->outcome() == OwnQueryRun::Outcome::Failed)
            reportError(failure);
        else
            showMessage(failure.message());
        updateCalculate();
        return;
    }
    result_ = run->result();
    model_->show(&result_);
    // As wide as the contents, and never so narrow that the export (which
    // takes the widths on screen) cuts a short text.
    ui->DBGrid1->resizeColumnsToContents();
    for (int c = 0; c < model_->columnCount(); ++c)
        ui->DBGrid1->setColumnWidth(c, std::max(ui->DBGrid1->columnWidth(c), 90));
    ui->Label_Rows->setText(result_.capped ? texts::kOwnQueryCapped.arg(result_.rows.size())
                                           : texts::kOwnQueryRows.arg(result_.rows.size()));
    if (model_->rowCount() > 0)
        ui->DBGrid1->setCurrentIndex(model_->index(0, 0));
    updateCalculate();
    if (result_.capped)
        showMessage(texts::kOwnQueryCapped.arg(result_.rows.size()));
}

// "Изчисли" is offered for a column of numbers only.
void TForm_Create_Own_Query::updateCalculate() {
    const QModelIndex current = ui->DBGrid1->currentIndex();
    calculate_->setVisible(current.isValid() && isNumericColumn(result_.rows, current.column()));
}

// The sum or the average of the current column over every row; an average
// of no number is left empty.
void TForm_Create_Own_Query::total(bool average) {
    const QModelIndex current = ui->DBGrid1->currentIndex();
    if (!current.isValid())
        return;
    const ColumnTotals totals = columnTotals(result_.rows, current.column());
    const std::optional<Decimal>& value = average ? totals.average : totals.sum;
    ui->Edit_Result->setText(value ? value->toFixed(session_.displayDecimals()).rightJustified(4)
                                   : QString());
}

// "Запис": the statement stored whole under the name typed, as the next
// query of the list.
void TForm_Create_Own_Query::Button_SaveClick() {
    TForm_Get_Kol dialog(TForm_Get_Kol::QueryName, QString(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString name = dialog.text().trimmed();
    guarded([&] {
        const int number = store().add(name, ui->Memo1->toPlainText());
        ui->ComboBox_SQLs->addItem(QString::number(number) + u':' +
                                   (name.isEmpty() ? texts::kNoQueryName : name));
        ui->ComboBox_SQLs->setCurrentIndex(ui->ComboBox_SQLs->count() - 1);
    });
}

// "Печат": the heading, the grid and the footer into TEMP/Own_Query.
void TForm_Create_Own_Query::Button_PrintClick() {
    GridFile file(gridContext(session_), this, QStringLiteral("Own_Query"));
    const QDateTime now = session_.now();
    file.lines({texts::kOwnQueriesHeading,
                texts::kDateHeading + shortDate(now.date()) + u' ' + shortTime(now.time()),
                texts::kOperatorHeading + session_.operatorName(),
                texts::kQueryKindHeading + ui->ComboBox_SQLs->currentText().toUpper(), QString()});
    file.table(ui->DBGrid1);
    file.finish({QString()});
}

} // namespace torvika
