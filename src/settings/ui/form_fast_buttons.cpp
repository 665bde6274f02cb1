#include "settings/ui/form_fast_buttons.h"

#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "settings/ui/texts.h"
#include "shell/menu_tree.h"
#include "shell/operators.h"
#include "shell/shortcut_text.h"
#include "ui_form_fast_buttons.h"

#include <QAction>
#include <QLineEdit>
#include <QShowEvent>

namespace torvika {

namespace {

QString shortcutOf(const QAction* action) {
    return action && !action->shortcut().isEmpty() ? shortcutText(action->shortcut()[0]) : QString();
}

} // namespace

TForm_Fast_Buttons::TForm_Fast_Buttons(const WindowContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui(new Ui::TForm_Fast_Buttons) {
    ui->setupUi(this);
    ui->TreeView_Fast_Butons->header()->setStretchLastSection(false);
    ui->TreeView_Fast_Butons->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->TreeView_Fast_Butons->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    resize(560, 620);
    if (auto* field = ui->HotKey1->findChild<QLineEdit*>())
        field->setPlaceholderText(QStringLiteral("Натиснете клавишна комбинация"));
    connect(ui->BitBtn3, &QPushButton::clicked, this, &TForm_Fast_Buttons::BitBtn3Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm_Fast_Buttons::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->TreeView_Fast_Butons, &QTreeWidget::currentItemChanged, this,
            &TForm_Fast_Buttons::TreeView_Fast_ButonsChange);
}

TForm_Fast_Buttons::~TForm_Fast_Buttons() = default;

void TForm_Fast_Buttons::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        fillTree();
}

void TForm_Fast_Buttons::fillTree() {
    QTreeWidget* tree = ui->TreeView_Fast_Butons;
    tree->clear();
    items_.clear();
    auto* root = new QTreeWidgetItem(tree, {kMenuRootText});
    items_ << root;
    QList<QTreeWidgetItem*> parents{root};
    int node = 0;
    for (const MenuNode& n : mainMenuNodes()) {
        ++node;
        parents.resize(n.depth + 1);
        QString caption = QString::fromUtf16(n.caption).trimmed();
        caption.remove(QLatin1Char('&'));
        auto* item = new QTreeWidgetItem(parents[n.depth], {caption});
        item->setData(0, Qt::UserRole, node);
        items_ << item;
        item->setText(1, shortcutOf(actionOf(item)));
        parents << item;
    }
    tree->expandAll();
    tree->setCurrentItem(root);
}

QAction* TForm_Fast_Buttons::actionOf(const QTreeWidgetItem* item) const {
    if (!item)
        return nullptr;
    const int node = item->data(0, Qt::UserRole).toInt();
    return node > 0 ? context_.host.command(menuCommand(node)) : nullptr;
}

void TForm_Fast_Buttons::showShortcut(QTreeWidgetItem* item) {
    if (QAction* a = actionOf(item))
        ui->HotKey1->setKeySequence(a->shortcut().isEmpty() ? QKeySequence()
                                                            : QKeySequence(a->shortcut()[0]));
}

void TForm_Fast_Buttons::TreeView_Fast_ButonsChange() {
    // The root leaves the field as it is.
    showShortcut(ui->TreeView_Fast_Butons->currentItem());
}

void TForm_Fast_Buttons::BitBtn3Click() {
    QTreeWidgetItem* item = ui->TreeView_Fast_Butons->currentItem();
    QAction* action = actionOf(item);
    if (!action)
        return;
    const QKeySequence typed = ui->HotKey1->keySequence();
    const QKeySequence key = typed.isEmpty() ? QKeySequence() : QKeySequence(typed[0]);
    if (!key.isEmpty()) {
        // A key one command has already: the operator decides whether it moves.
        for (int n = 1; n < items_.size(); ++n) {
            QAction* other = actionOf(items_[n]);
            if (other == action || !other || other->shortcut().isEmpty() ||
                QKeySequence(other->shortcut()[0]) != key)
                continue;
            if (!askYesNo(texts::kShortcutTaken.arg(shortcutText(key[0]), items_[n]->text(0)) +
                          texts::kShortcutMoveQuestion))
                return;
            other->setShortcut(QKeySequence());
            items_[n]->setText(1, QString());
        }
    }
    action->setShortcut(key);
    item->setText(1, shortcutOf(action));
}

void TForm_Fast_Buttons::BitBtn1Click() {
    QHash<int, QString> texts;
    for (int n = 1; n < items_.size(); ++n)
        texts.insert(n, shortcutOf(actionOf(items_[n])));
    if (guarded([&] {
            writeOperatorShortcuts(context_.session.settings(), context_.session.operatorName(), texts,
                                   int(items_.size()));
        }))
        accept();
}

} // namespace torvika
