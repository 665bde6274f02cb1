#include "shell/ui/operators_form.h"

#include "common/errors.h"
#include "common/exception_log.h"
#include "common/ui/messages.h"
#include "shell/menu_tree.h"
#include "shell/rights.h"
#include "shell/ui/password_field.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace torvika {

namespace {

constexpr int kNodeRole = Qt::UserRole;
constexpr int kIdRole = Qt::UserRole;
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

TForm_Operatori::TForm_Operatori(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), allowedIcon_(markIcon(true)), deniedIcon_(markIcon(false)) {
    setObjectName(QStringLiteral("Form_Operatori"));
    setWindowTitle(QStringLiteral("ОПЕРАТОРИ"));

    TreeView_Menues = new QTreeWidget(this);
    TreeView_Menues->setObjectName(QStringLiteral("TreeView_Menues"));
    TreeView_Menues->setHeaderHidden(true);
    TreeView_Menues->setToolTip(QStringLiteral("чрез кликване разрешете или забранете"));
    TreeView_Menues->setMinimumWidth(280);

    model_ = new QStandardItemModel(0, 2, this);
    model_->setHorizontalHeaderLabels({QStringLiteral("№"), QStringLiteral("Име")});
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(model_);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setToolTip(QStringLiteral("използвайте двойно кликване за редакция или добавяне"));

    Edit_Ime = new QLineEdit(this);
    Edit_Ime->setObjectName(QStringLiteral("Edit_Ime"));
    Edit_Par = new QLineEdit(this);
    Edit_Par->setObjectName(QStringLiteral("Edit_Par"));
    showPasswordAsStars(Edit_Par);
    ComboBox_Type = new QComboBox(this);
    ComboBox_Type->setObjectName(QStringLiteral("ComboBox_Type"));
    ComboBox_Type->setEnabled(false);

    BitBtn_Insert_Operator = new QPushButton(QStringLiteral("ВЪВЕДИ"), this);
    BitBtn_Insert_Operator->setObjectName(QStringLiteral("BitBtn_Insert_Operator"));
    BitBtn_Insert_Operator->setDefault(true);
    BitBtn_Cancel_Operator = new QPushButton(QStringLiteral("ОТКАЖИ"), this);
    BitBtn_Cancel_Operator->setObjectName(QStringLiteral("BitBtn_Cancel_Operator"));
    BitBtn_Cancel_Operator->setAutoDefault(false);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Име"), Edit_Ime);
    fields->addRow(QStringLiteral("Парола"), Edit_Par);
    fields->addRow(QStringLiteral("Тип"), ComboBox_Type);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn_Insert_Operator);
    buttons->addWidget(BitBtn_Cancel_Operator);
    auto* right = new QVBoxLayout;
    right->addWidget(DBGrid1, 1);
    right->addLayout(fields);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(TreeView_Menues, 1);
    layout->addLayout(right, 1);
    resize(720, 520);

    setEditing(false);

    connect(TreeView_Menues, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { TreeView_MenuesClick(item); });
    connect(DBGrid1, &QTableView::clicked, this, [this] { DBGrid1CellClick(); });
    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
    connect(BitBtn_Insert_Operator, &QPushButton::clicked, this,
            &TForm_Operatori::BitBtn_Insert_OperatorClick);
    connect(BitBtn_Cancel_Operator, &QPushButton::clicked, this,
            &TForm_Operatori::BitBtn_Cancel_OperatorClick);
}

QTreeWidgetItem* TForm_Operatori::treeItem(int node) const {
    return node >= 0 && node < items_.size() ? items_[node] : nullptr;
}

void TForm_Operatori::Insert_Menus_to_TreeView() {
    TreeView_Menues->clear();
    items_.clear();
    auto* root = new QTreeWidgetItem(TreeView_Menues, {kMenuRootText});
    root->setData(0, kNodeRole, 0);
    items_.append(root);
    const auto nodes = mainMenuNodes();
    for (int n = 1; n <= int(nodes.size()); ++n) {
        auto* item =
            new QTreeWidgetItem(items_[menuParentNode(n)], {QString::fromUtf16(nodes[n - 1].caption)});
        item->setData(0, kNodeRole, n);
        items_.append(item);
    }
    TreeView_Menues->expandAll();
    denied_ = QList<bool>(items_.size(), false);
    showFlags();
}

void TForm_Operatori::showFlags() {
    for (int n = 0; n < items_.size(); ++n)
        items_[n]->setIcon(0, n < denied_.size() && denied_[n] ? deniedIcon_ : allowedIcon_);
}

void TForm_Operatori::reloadGrid() {
    model_->removeRows(0, model_->rowCount());
    for (const OperatorRow& r : listOperators(session_.workspace.db())) {
        auto* id = new QStandardItem(QString::number(r.id));
        id->setData(r.id, kIdRole);
        model_->appendRow({id, new QStandardItem(r.ime)});
    }
}

bool TForm_Operatori::selectOperator(qint64 id) {
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (model_->item(row, 0)->data(kIdRole).toLongLong() == id) {
            DBGrid1->selectRow(row);
            return true;
        }
    }
    return false;
}

qint64 TForm_Operatori::selectedOperatorId() const {
    const QModelIndex current = DBGrid1->currentIndex();
    if (!current.isValid())
        return 0;
    return model_->item(current.row(), 0)->data(kIdRole).toLongLong();
}

void TForm_Operatori::setEditing(bool on) {
    Edit_Ime->setEnabled(on);
    Edit_Par->setEnabled(on);
    BitBtn_Insert_Operator->setEnabled(on);
    BitBtn_Cancel_Operator->setEnabled(on);
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
                DBGrid1->selectRow(0);
        }
        DBGrid1->setFocus();
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
    Edit_Ime->setText(loaded_->ime);
    Edit_Par->setText(kPasswordPlaceholder);
}

void TForm_Operatori::DBGrid1DblClick() {
    const Messages::Answer a =
        Messages::current().question(QStringLiteral("1. За въвеждане на нов оператор натиснете Yes!\r"
                                                    "2. За редакция на избраният оператор натиснете No!\r"
                                                    "3. За отказ от операцията натиснете Cancel!"),
                                     true);
    if (a != Messages::Yes && a != Messages::No)
        return;
    mode_ = a == Messages::Yes ? EditMode::Insert : EditMode::Edit;
    setEditing(true);
    // A new operator starts as a copy of the selected one, to be edited,
    // but never with its password: one has to be typed.
    DBGrid1CellClick();
    if (mode_ == EditMode::Insert)
        Edit_Par->clear();
}

void TForm_Operatori::TreeView_MenuesClick(QTreeWidgetItem* item) {
    if (!item)
        return;
    const int node = item->data(0, kNodeRole).toInt();
    torvika::TreeView_MenuesClick(denied_, node, [this](int n) { return items_[n]->isExpanded(); });
    showFlags();
    TreeView_Menues->clearSelection();
}

void TForm_Operatori::BitBtn_Insert_OperatorClick() {
    if (mode_ == EditMode::None || (mode_ == EditMode::Edit && !loaded_))
        return;
    const QString ime = Edit_Ime->text();
    const QString rights = buildRightsString(denied_);
    // The field shows blanks until a password is typed: then it is kept.
    const bool passwordTyped = Edit_Par->isModified();
    if (mode_ == EditMode::Insert && (!passwordTyped || Edit_Par->text().isEmpty())) {
        showMessage(kNewOperatorNeedsPassword);
        Edit_Par->setFocus();
        return;
    }
    try {
        const QSqlDatabase db = session_.workspace.db();
        qint64 id = 0;
        if (mode_ == EditMode::Insert) {
            id = insertOperator(db, ime, Edit_Par->text(), rights);
        } else {
            id = loaded_->id;
            updateOperator(db, id, ime,
                           passwordTyped ? std::optional<QString>(Edit_Par->text()) : std::nullopt, rights);
        }
        mode_ = EditMode::None;
        setEditing(false);
        reloadGrid();
        selectOperator(id);
        DBGrid1CellClick();
    } catch (const std::exception& e) {
        logException(e);
        showMessage(QStringLiteral("Операторът не беше записан: ") + exceptionMessage(e));
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
    model_->removeRows(0, model_->rowCount());
    session_.requestLogin();
}

void TForm_Operatori::done(int result) {
    QDialog::done(result);
    FormClose();
}

void TForm_Operatori::keyPressEvent(QKeyEvent* event) {
    // Esc is the key of "ОТКАЖИ"; it does not close the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (BitBtn_Cancel_Operator->isEnabled())
            BitBtn_Cancel_OperatorClick();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void N_OperatoriClick(Session& session, QWidget* parent) {
    TForm_Operatori form(session, parent);
    form.exec();
}

} // namespace torvika
