#include "counterparties/ui/town_lookup.h"

#include "common/errors.h"
#include "common/ui/drop_list.h"
#include "common/ui/error_edge.h"
#include "common/ui/field_events.h"
#include "counterparties/counterparties.h"
#include "counterparties/texts.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

namespace torvika {

namespace {
constexpr int kListHeight = 100;
} // namespace

TownLookup::TownLookup(std::function<QSqlDatabase()> db, QLineEdit* field, QWidget* host,
                       const QString& listName)
    : QObject(field), db_(std::move(db)), field_(field), host_(host), list_(new QListWidget(host)) {
    list_->setObjectName(listName);
    list_->hide();
    field_->setToolTip(QString(kTownHint).replace(u'\r', u'\n'));
    connect(field_, &QLineEdit::textEdited, this, &TownLookup::fieldChanged);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { takeFromList(); });
    field_->installEventFilter(this);
    list_->installEventFilter(this);
}

void TownLookup::showTowns(const QStringList& towns, bool focusList) {
    if (showListUnder(list_, field_, host_, towns, kListHeight) && focusList)
        list_->setFocus();
}

void TownLookup::hideList() {
    list_->hide();
}

void TownLookup::fieldChanged(const QString& text) {
    try {
        if (text.startsWith(u' ')) {
            showTowns(allTowns(db_()), true);
        } else if (!text.isEmpty() && !text.startsWith(u'+') && !text.startsWith(u'-')) {
            showTowns(townsByName(db_(), text), false);
        } else {
            hideList();
        }
    } catch (const EDatabaseError& e) {
        reportError(e, kIncorrectData);
    }
}

void TownLookup::fieldEnter() {
    const QString text = field_->text();
    if (text.startsWith(u'+') || text.startsWith(u'-')) {
        QStringList towns;
        try {
            towns =
                townsByCode(db_(), text.startsWith(u'+') ? TownCode::Phone : TownCode::Postal, text.mid(1));
        } catch (const EDatabaseError& e) {
            reportError(e, kIncorrectData);
            return;
        }
        if (towns.size() > 1) {
            showTowns(towns, true);
            return;
        }
        field_->setText(towns.isEmpty() ? QString() : towns.front());
        hideList();
    } else if (list_->isVisible() && list_->currentItem()) {
        field_->setText(list_->currentItem()->text());
        hideList();
    }
    emit entered();
}

void TownLookup::takeFromList() {
    if (QListWidgetItem* item = list_->currentItem())
        field_->setText(item->text());
    hideList();
    field_->setFocus();
    emit entered();
}

bool TownLookup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == field_) {
            if (isEnterKey(key)) {
                fieldEnter();
                return true;
            }
            if (key == Qt::Key_Down && list_->isVisible()) {
                list_->setFocus();
                return true;
            }
        } else if (watched == list_) {
            if (isEnterKey(key)) {
                takeFromList();
                return true;
            }
            if (key == Qt::Key_Escape) {
                field_->setFocus();
                hideList();
                return true;
            }
        }
    } else if (event->type() == QEvent::FocusOut && watched == list_) {
        hideList();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace torvika
