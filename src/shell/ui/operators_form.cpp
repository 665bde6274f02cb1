#include "shell/ui/operators_form.h"

#include "common/errors.h"
#include "common/exception_log.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "shell/menu_tree.h"
#include "shell/rights.h"
#include "shell/texts.h"
#include "shell/ui/password_field.h"
#include "ui_operators_form.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>

namespace torvika {

namespace {

constexpr int kNodeRole = Qt::UserRole;
// What an unchanged password field shows.
const QString kPasswordPlaceholder(10, u' ');

// A round mark: green with a tick for allowed, red with a bar for denied.
QIcon markIcon(bool allowed) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(allowed ? QColor(0x2e, 0x9d, 0x3a) : QColor(0xc6, 0x28, 0x28));
    p.drawEllipse(1, 1, 14, 14);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (allowed) {
        const QPointF tick[] = {{4.5, 8.2}, {7.0, 10.8}, {11.5, 5.2}};
        p.drawPolyline(tick, 3);
    } else {
        p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
    }
    return QIcon(pm);
}

} // namespace

TForm_Operatori::TForm_Operatori(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Operatori), session_(context.session),
      model_(new StatementModel(this)), allowedIcon_(markIcon(true)), deniedIcon_(markIcon(false)) {
    ui->setupUi(this);
    showPasswordAsStars(ui->Edit_Par);
    model_->setColumns({{QStringLiteral("ID"), QStringLiteral("№"), 0, GridColumnSpec::Integer},
                        {QStringLiteral("Ime"), QStringLiteral("Име")}});
    setUpStatementGrid(ui->DBGrid1, model_);
    setEditing(false);

    connect(ui->TreeView_Menues, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { TreeView_MenuesClick(item); });
    connect(ui->DBGrid1, &QTableView::clicked, this, [this] { DBGrid1CellClick(); });
    connect(ui->DBGrid1, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
    connect(ui->BitBtn_Insert_Operator, &QPushButton::clicked, this,
            &TForm_Operatori::BitBtn_Insert_OperatorClick);
    connect(ui->BitBtn_Cancel_Operator, &QPushButton::clicked, this,
            &TForm_Operatori::BitBtn_Cancel_OperatorClick);
}

TForm_Operatori::~TForm_Operatori() = default;

QTreeWidgetItem* TForm_Operatori::treeItem(int node) const {
    return node >= 0 && node < items_.size() ? items_[node] : nullptr;
}

void TForm_Operatori::Insert_Menus_to_TreeView() {
    ui->TreeView_Menues->clear();
    items_.clear();
    auto* root = new QTreeWidgetItem(ui->TreeView_Menues, {kMenuRootText});
    root->setData(0, kNodeRole, 0);
    items_.append(root);
    const auto nodes = mainMenuNodes();
    for (int n = 1; n <= int(nodes.size()); ++n) {
        auto* item =
            new QTreeWidgetItem(items_[menuParentNode(n)], {QString::fromUtf16(nodes[n - 1].caption)});
        item->setData(0, kNodeRole, n);
        items_.append(item);
    }
    ui->TreeView_Menues->expandAll();
    denied_ = QList<bool>(items_.size(), false);
    showFlags();
}

void TForm_Operatori::showFlags() {
    for (int n = 0; n < items_.size(); ++n)
        items_[n]->setIcon(0, n < denied_.size() && denied_[n] ? deniedIcon_ : allowedIcon_);
}

void TForm_Operatori::reloadGrid() {
    model_->setStatement(session_.workspace.db(), operatorsStatement());
}

bool TForm_Operatori::selectOperator(qint64 id) {
    const int row = model_->findRow(QStringLiteral("ID"), id);
    if (row < 0)
        return false;
    ui->DBGrid1->selectRow(row);
    return true;
}

qint64 TForm_Operatori::selectedOperatorId() const {
    const QModelIndex current = ui->DBGrid1->currentIndex();
    if (!current.isValid())
        return 0;
    return model_->value(current.row(), QStringLiteral("ID")).toLongLong();
}

void TForm_Operatori::setEditing(bool on) {
    ui->Edit_Ime->setEnabled(on);
    ui->Edit_Par->setEnabled(on);
    ui->Edit_Kod_Oper->setEnabled(on);
    ui->BitBtn_Insert_Operator->setEnabled(on);
    ui->BitBtn_Cancel_Operator->setEnabled(on);
}

void TForm_Operatori::showEvent(QShowEvent* event) {
    closed_ = false;
    QDialog::showEvent(event);
    FormShow();
}

void TForm_Operatori::FormShow() {
    mode_ = EditMode::None;
    setEditing(false);
    Insert_Menus_to_TreeView();
    try {
        reloadGrid();
        const std::optional<OperatorRow> current =
            findOperatorByName(session_.workspace.db(), session_.operatorName());
        if (current)
            denied_ = deniedFlags(GETRIGHTS(current->prava), int(items_.size()));
        showFlags();
        if (!current || !selectOperator(current->id)) {
            if (model_->rowCount() > 0)
                ui->DBGrid1->selectRow(0);
        }
        ui->DBGrid1->setFocus();
        DBGrid1CellClick();
    } catch (const std::exception& e) {
        logException(e);
    }
}

void TForm_Operatori::DBGrid1CellClick() {
    const qint64 id = selectedOperatorId();
    loaded_.reset();
    if (id == 0)
        return;
    try {
        loaded_ = findOperatorById(session_.workspace.db(), id);
    } catch (const std::exception& e) {
        logException(e);
    }
    if (!loaded_)
        return;
    denied_ = deniedFlags(GETRIGHTS(loaded_->prava), int(items_.size()));
    showFlags();
    ui->Edit_Ime->setText(loaded_->ime);
    ui->Edit_Par->setText(kPasswordPlaceholder);
    ui->Edit_Kod_Oper->setText(loaded_->code);
}

void TForm_Operatori::DBGrid1DblClick() {
    const Messages::Answer a = Messages::current().question(texts::kOperatorEditQuestion, true);
    if (a != Messages::Yes && a != Messages::No)
        return;
    mode_ = a == Messages::Yes ? EditMode::Insert : EditMode::Edit;
    setEditing(true);
    // A new operator starts as a copy of the selected one, to be edited,
    // but never with its password: one has to be typed.
    DBGrid1CellClick();
    if (mode_ == EditMode::Insert) {
        ui->Edit_Par->clear();
        ui->Edit_Kod_Oper->clear();
    }
}

void TForm_Operatori::TreeView_MenuesClick(QTreeWidgetItem* item) {
    if (!item)
        return;
    const int node = item->data(0, kNodeRole).toInt();
    torvika::TreeView_MenuesClick(denied_, node, [this](int n) { return items_[n]->isExpanded(); });
    showFlags();
    ui->TreeView_Menues->clearSelection();
}

void TForm_Operatori::BitBtn_Insert_OperatorClick() {
    if (mode_ == EditMode::None || (mode_ == EditMode::Edit && !loaded_))
        return;
    const QString ime = ui->Edit_Ime->text();
    const QString rights = buildRightsString(denied_);
    // The field shows blanks until a password is typed: then it is kept.
    const bool passwordTyped = ui->Edit_Par->isModified();
    if (mode_ == EditMode::Insert && (!passwordTyped || ui->Edit_Par->text().isEmpty())) {
        showMessage(texts::kNewOperatorNeedsPassword);
        ui->Edit_Par->setFocus();
        return;
    }
    try {
        const QSqlDatabase db = session_.workspace.db();
        qint64 id = 0;
        if (mode_ == EditMode::Insert) {
            id = insertOperator(db, ime, ui->Edit_Par->text(), rights, ui->Edit_Kod_Oper->text());
        } else {
            id = loaded_->id;
            updateOperator(db, id, ime,
                           passwordTyped ? std::optional<QString>(ui->Edit_Par->text()) : std::nullopt,
                           rights, ui->Edit_Kod_Oper->text());
        }
        mode_ = EditMode::None;
        setEditing(false);
        reloadGrid();
        selectOperator(id);
        DBGrid1CellClick();
    } catch (const std::exception& e) {
        reportError(e, texts::kOperatorNotSaved + exceptionMessage(e));
    }
}

void TForm_Operatori::BitBtn_Cancel_OperatorClick() {
    mode_ = EditMode::None;
    setEditing(false);
    DBGrid1CellClick();
}

void TForm_Operatori::FormClose() {
    if (closed_)
        return;
    closed_ = true;
    model_->clear();
    session_.requestLogin();
}

void TForm_Operatori::done(int result) {
    QDialog::done(result);
    FormClose();
}

void TForm_Operatori::keyPressEvent(QKeyEvent* event) {
    // Esc is the key of "ОТКАЖИ"; it does not close the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (ui->BitBtn_Cancel_Operator->isEnabled())
            BitBtn_Cancel_OperatorClick();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void N_OperatoriClick(const WindowContext& context, QWidget* parent) {
    TForm_Operatori form(context, parent);
    form.exec();
}

} // namespace torvika
