#include "documents/ui/kind_grids.h"

#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "documents/document_kinds.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "ui_form_na4_n_dok.h"
#include "ui_form_rab_dokumenti.h"

#include <QKeyEvent>
#include <QShortcut>

namespace torvika {

namespace {

// Runs a change: a refused value or a failure is logged and said as it is.
template <typename Work> void change(Work&& work) {
    guarded(std::forward<Work>(work));
}

void setUpEditableGrid(QTableView* grid, StatementModel* model) {
    setUpStatementGrid(grid, model);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
}

void selectKey(QTableView* grid, StatementModel* model, const QString& keyField, const QVariant& key) {
    int row = key.isValid() ? model->findRow(keyField, key) : -1;
    if (row < 0 && model->rowCount() > 0)
        row = 0;
    if (row >= 0)
        grid->setCurrentIndex(
            model->index(row, grid->currentIndex().isValid() ? grid->currentIndex().column() : 0));
}

QVariant currentKey(const QTableView* grid, const StatementModel* model, const QString& keyField) {
    const QModelIndex i = grid->currentIndex();
    return i.isValid() ? model->value(i.row(), keyField) : QVariant();
}

} // namespace

Qt::ItemFlags EditableStatementModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = StatementModel::flags(index);
    if (index.isValid() && editable_.contains(columns().value(index.column()).field))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant EditableStatementModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::EditRole)
        return StatementModel::data(index, Qt::DisplayRole);
    return StatementModel::data(index, role);
}

bool EditableStatementModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !edit_)
        return false;
    const QString field = columns().value(index.column()).field;
    if (value.toString() == data(index, Qt::EditRole).toString())
        return false;
    const QVariant key = StatementModel::value(index.row(), 0);
    // The edit rereads the grid: it runs once the editor has closed.
    QMetaObject::invokeMethod(
        this, [this, key, field, text = value.toString()] { edit_(key, field, text); }, Qt::QueuedConnection);
    return true;
}

// ---- TForm_Na4_N_Dok

TForm_Na4_N_Dok::TForm_Na4_N_Dok(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Na4_N_Dok), session_(context.session),
      model_(new EditableStatementModel(
          {QStringLiteral("Opisanie"), QStringLiteral("N_Dok"), QStringLiteral("Kade_se_izpolzva"),
           QStringLiteral("N_Copies")},
          [this](const QVariant& key, const QString& field, const QString& value) {
              edit(key, field, value);
          },
          this)) {
    ui->setupUi(this);
    model_->setColumns(
        {{QStringLiteral("Opisanie"), QStringLiteral("Описание"), 24},
         {QStringLiteral("N_Dok"), QStringLiteral("Текущ номер"), 14},
         {QStringLiteral("Kade_se_izpolzva"), QStringLiteral("Къде се използва"), 24},
         {QStringLiteral("N_Copies"), QStringLiteral("Брой копия"), 10, GridColumnSpec::Integer}});
    setUpEditableGrid(ui->DBGrid1, model_);
    connect(ui->Button_Dobavi, &QPushButton::clicked, this, &TForm_Na4_N_Dok::addRow);
    connect(ui->Button_Iztrij, &QPushButton::clicked, this, &TForm_Na4_N_Dok::deleteRow);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::accept);
    reread();
}

TForm_Na4_N_Dok::~TForm_Na4_N_Dok() = default;

QTableView* TForm_Na4_N_Dok::grid() const {
    return ui->DBGrid1;
}

void TForm_Na4_N_Dok::reread(const QVariant& current) {
    guarded([this] { model_->setStatement(session_.db(), documentKindsStatement()); });
    selectKey(ui->DBGrid1, model_, QStringLiteral("ID_Dokument"), current);
}

void TForm_Na4_N_Dok::edit(const QVariant& key, const QString& field, const QString& value) {
    const QSqlDatabase db = session_.db();
    const qint64 id = key.toLongLong();
    change([&] {
        if (field == QLatin1String("Opisanie")) {
            renameDocumentKind(db, session_.programDir.documentationsDir(), id, value);
        } else if (field == QLatin1String("N_Dok")) {
            setDocumentNumber(db, id, value);
        } else if (field == QLatin1String("Kade_se_izpolzva")) {
            setDocumentPlaces(db, id, value);
        } else if (field == QLatin1String("N_Copies")) {
            bool ok = false;
            const int copies = value.trimmed().toInt(&ok);
            if (!ok)
                throw EDocumentError(texts::kCopiesNotNegative);
            setDocumentCopies(db, id, copies);
        }
    });
    reread(key);
}

void TForm_Na4_N_Dok::addRow() {
    const std::optional<QString> name =
        Messages::current().inputText(windowTitle(), QStringLiteral("Описание:"), {});
    if (!name)
        return;
    qint64 key = 0;
    change([&] { key = addDocumentKind(session_.db(), *name); });
    reread(key > 0 ? QVariant(key) : currentKey(ui->DBGrid1, model_, QStringLiteral("ID_Dokument")));
}

void TForm_Na4_N_Dok::deleteRow() {
    const QVariant key = currentKey(ui->DBGrid1, model_, QStringLiteral("ID_Dokument"));
    if (!key.isValid())
        return;
    const QString name =
        model_->value(ui->DBGrid1->currentIndex().row(), QStringLiteral("Opisanie")).toString();
    if (!askYesNo(texts::kAskDeleteKind.arg(name)))
        return;
    change([&] { deleteDocumentKind(session_.db(), key.toLongLong()); });
    reread();
}

// ---- TForm_Rab_Dokumenti

TForm_Rab_Dokumenti::TForm_Rab_Dokumenti(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Rab_Dokumenti), session_(context.session),
      model_(new EditableStatementModel(
          {QStringLiteral("Opisanie")},
          [this](const QVariant& key, const QString&, const QString& value) {
              change([&] { renameWorkKind(session_.db(), key.toLongLong(), value); });
              reread(key);
          },
          this)) {
    ui->setupUi(this);
    model_->setColumns({{QStringLiteral("Opisanie"), QStringLiteral("Описание"), 50}});
    setUpEditableGrid(ui->DBGrid1, model_);
    connect(ui->Button_Dobavi, &QPushButton::clicked, this, &TForm_Rab_Dokumenti::addRow);
    connect(ui->Button_Iztrij, &QPushButton::clicked, this, &TForm_Rab_Dokumenti::deleteRow);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::accept);
    reread();
}

TForm_Rab_Dokumenti::~TForm_Rab_Dokumenti() = default;

QTableView* TForm_Rab_Dokumenti::grid() const {
    return ui->DBGrid1;
}

void TForm_Rab_Dokumenti::reread(const QVariant& current) {
    guarded([this] { model_->setStatement(session_.db(), workKindsStatement()); });
    selectKey(ui->DBGrid1, model_, QStringLiteral("ID"), current);
}

void TForm_Rab_Dokumenti::addRow() {
    const std::optional<QString> name =
        Messages::current().inputText(windowTitle(), QStringLiteral("Описание:"), {});
    if (!name)
        return;
    qint64 key = 0;
    change([&] { key = addWorkKind(session_.db(), *name); });
    reread(key > 0 ? QVariant(key) : QVariant());
}

void TForm_Rab_Dokumenti::deleteRow() {
    const QVariant key = currentKey(ui->DBGrid1, model_, QStringLiteral("ID"));
    if (!key.isValid())
        return;
    const QString name =
        model_->value(ui->DBGrid1->currentIndex().row(), QStringLiteral("Opisanie")).toString();
    if (!askYesNo(texts::kAskDeleteKind.arg(name)))
        return;
    change([&] { deleteWorkKind(session_.db(), key.toLongLong()); });
    reread();
}

} // namespace torvika
