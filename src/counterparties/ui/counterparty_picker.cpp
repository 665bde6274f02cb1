#include "counterparties/ui/counterparty_picker.h"

#include "counterparties/ui/form_kontrakents.h"

#include <QHash>
#include <QMetaObject>
#include <QObject>

namespace torvika {

namespace {

struct Registration {
    SelectionFollowUp followUp;
    const QObject* owner = nullptr;
    QMetaObject::Connection ownerGone;
};

QHash<int, Registration>& registry() {
    static QHash<int, Registration> followUps;
    return followUps;
}

} // namespace

void registerSelectionFollowUp(int mode, SelectionFollowUp followUp, QObject* owner) {
    unregisterSelectionFollowUp(mode);
    Registration r{std::move(followUp), owner, {}};
    if (owner) {
        r.ownerGone = QObject::connect(owner, &QObject::destroyed, [mode, owner] {
            auto it = registry().find(mode);
            if (it != registry().end() && it->owner == owner)
                registry().erase(it);
        });
    }
    registry().insert(mode, std::move(r));
}

void unregisterSelectionFollowUp(int mode) {
    auto it = registry().find(mode);
    if (it == registry().end())
        return;
    QObject::disconnect(it->ownerGone);
    registry().erase(it);
}

bool hasSelectionFollowUp(int mode) {
    return registry().contains(mode);
}

std::optional<QString> pickCounterparty(Session& session, int mode, QWidget* parent) {
    TForm_Kontrakents list(session, mode, parent);
    list.exec();
    const std::optional<QString> chosen = list.chosen();
    if (chosen && mode != kBrowseCounterparties) {
        auto it = registry().constFind(mode);
        if (it != registry().cend() && it->followUp) {
            const SelectionFollowUp followUp = it->followUp; // it may unregister itself
            followUp(*chosen);
        }
    }
    return chosen;
}

void N_KlientiClick(Session& session, QWidget* parent) {
    pickCounterparty(session, kBrowseCounterparties, parent);
}

std::optional<QString> N_Select_KontragClick(Session& session, QWidget* parent) {
    return pickCounterparty(session, kSelectSaleCounterparty, parent);
}

} // namespace torvika
