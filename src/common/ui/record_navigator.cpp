#include "common/ui/record_navigator.h"

#include "common/texts.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace torvika {

namespace {

struct NavigatorButton {
    RecordCommand command;
    const char* name;
    const QString& caption;
};

const NavigatorButton kButtons[] = {
    {RecordCommand::First, "DBNavigator_First", texts::kNavigatorFirst},
    {RecordCommand::Prior, "DBNavigator_Prior", texts::kNavigatorPrior},
    {RecordCommand::Next, "DBNavigator_Next", texts::kNavigatorNext},
    {RecordCommand::Last, "DBNavigator_Last", texts::kNavigatorLast},
    {RecordCommand::Insert, "DBNavigator_Insert", texts::kRowCaptionNew},
    {RecordCommand::Delete, "DBNavigator_Delete", texts::kNavigatorDelete},
    {RecordCommand::Edit, "DBNavigator_Edit", texts::kNavigatorEdit},
    {RecordCommand::Post, "DBNavigator_Post", texts::kNavigatorPost},
    {RecordCommand::Cancel, "DBNavigator_Cancel", texts::kRowCaptionCancel},
    {RecordCommand::Refresh, "DBNavigator_Refresh", texts::kNavigatorRefresh},
};

} // namespace

RecordNavigator::RecordNavigator(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const NavigatorButton& b : kButtons) {
        auto* button = new QPushButton(b.caption, this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setAutoDefault(false);
        layout->addWidget(button);
        buttons_ << button;
    }
    layout->addStretch(1);
}

const QList<RecordCommand>& RecordNavigator::allCommands() {
    static const QList<RecordCommand> all = [] {
        QList<RecordCommand> list;
        for (const NavigatorButton& b : kButtons)
            list << b.command;
        return list;
    }();
    return all;
}

void RecordNavigator::setVisibleCommands(const QList<RecordCommand>& commands) {
    for (RecordCommand c : allCommands())
        button(c)->setVisible(commands.contains(c));
}

QPushButton* RecordNavigator::button(RecordCommand command) const {
    return buttons_.value(int(command));
}

} // namespace torvika
