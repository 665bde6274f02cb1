#include "counterparties/ui/quick_search.h"

#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/drop_list.h"
#include "common/ui/error_edge.h"
#include "common/ui/field_events.h"
#include "common/ui/messages.h"
#include "counterparties/texts.h"
#include "counterparties/ui/counterparty_picker.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

namespace torvika {

namespace {
constexpr int kListHeight = 80;
} // namespace

CounterpartyQuickSearch::CounterpartyQuickSearch(QWidget* parent)
    : QWidget(parent), field_(new QLineEdit(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field_);
}

CounterpartyQuickSearch::CounterpartyQuickSearch(const WindowContext& context, QuickSearchPage page,
                                                 QWidget* parent, QWidget* listHost)
    : CounterpartyQuickSearch(parent) {
    setUp(context, page, listHost);
}

void CounterpartyQuickSearch::setUp(const WindowContext& context, QuickSearchPage page, QWidget* listHost) {
    context_.emplace(context);
    session_ = &context.session;
    page_ = page;
    host_ = listHost ? listHost : parentWidget();
    list_ = new QListWidget(host_);
    const bool shop = page == QuickSearchPage::Shop;
    setObjectName(shop ? QStringLiteral("QuickSearch_Kontrag") : QStringLiteral("QuickSearch_Kontrag_Ser"));
    field_->setObjectName(shop ? QStringLiteral("Label_Selected_Kontragent")
                               : QStringLiteral("Label_Selected_Kontragent_Ser"));
    if (shop)
        field_->setToolTip(kQuickSearchHint);
    list_->setObjectName(shop ? QStringLiteral("ListBox_Selected_Kontrag")
                              : QStringLiteral("ListBox_Selected_Kontrag_Ser"));
    list_->hide();
    setCounterpartyText(texts::kNoCounterpartyChosen);

    connect(field_, &QLineEdit::textEdited, this, &CounterpartyQuickSearch::fieldChanged);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { pick(); });
    field_->installEventFilter(this);
    list_->installEventFilter(this);
}

void CounterpartyQuickSearch::setCounterpartyText(const QString& text) {
    field_->setText(text);
    QPalette p = field_->palette();
    p.setColor(QPalette::Text, GetID_MFromTreeNodeName(text) > 0 ? Qt::blue : Qt::red);
    field_->setPalette(p);
}

void CounterpartyQuickSearch::hideList() {
    list_->hide();
}

void CounterpartyQuickSearch::fieldChanged(const QString& text) {
    foundNothing_ = false;
    if (!quickSearchStatement(text, page_)) {
        hideList();
        return;
    }
    QStringList items;
    if (!guarded([&] { items = quickSearch(session_->db(), text, page_); }, kInvalidData))
        return;
    showListUnder(list_, field_, host_, items, kListHeight);
    foundNothing_ = items.isEmpty();
}

void CounterpartyQuickSearch::pick() {
    if (list_->isVisible() && list_->currentItem()) {
        const QString ref = list_->currentItem()->text();
        hideList();
        field_->setFocus();
        field_->setText(ref);
        emit chosen(ref);
        return;
    }
    if (!foundNothing_)
        return;
    foundNothing_ = false;
    if (askYesNo(kAskNewCounterparty)) {
        hideList();
        pickCounterparty(*context_,
                         page_ == QuickSearchPage::Shop ? kSelectSaleCounterparty : kSelectServiceClient,
                         window());
    } else {
        setCounterpartyText(kNoUser);
        hideList();
    }
}

void CounterpartyQuickSearch::fieldExit() {
    if (QApplication::focusWidget() == list_)
        return;
    if (GetID_MFromTreeNodeName(field_->text()) == -1)
        setCounterpartyText(kNoCounterparty);
}

void CounterpartyQuickSearch::listEscape() {
    field_->setFocus();
    hideList();
}

bool CounterpartyQuickSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (isEnterKey(key)) {
                pick();
                return true;
            }
            if (key == Qt::Key_Down && list_->isVisible()) {
                list_->setFocus();
                list_->setCurrentRow(0);
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            field_->selectAll();
        } else if (leftWithinWindow(event)) {
            fieldExit();
        }
    } else if (watched == list_) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (isEnterKey(key)) {
                pick();
                return true;
            }
            if (key == Qt::Key_Escape) {
                listEscape();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            hideList();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace torvika
