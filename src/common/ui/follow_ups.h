#pragma once
// The follow-ups of a picker window. A caller opens the picker in a
// selection mode; on "ИЗБЕРИ" the picker hands the choice to the follow-up
// registered for that mode by the module that owns the receiving window, so
// the picker knows none of its callers.

#include <QHash>
#include <QMetaObject>
#include <QObject>
#include <functional>

namespace torvika {

template <typename Choice> class FollowUps {
public:
    using FollowUp = std::function<void(const Choice&)>;

    // Registers the follow-up of a mode, replacing an earlier one. With an
    // owner, the registration ends when the owner is destroyed.
    void add(int mode, FollowUp followUp, QObject* owner = nullptr) {
        remove(mode);
        Entry e{std::move(followUp), owner, {}};
        if (owner) {
            e.ownerGone = QObject::connect(owner, &QObject::destroyed, [this, mode, owner] {
                auto it = entries_.find(mode);
                if (it != entries_.end() && it->owner == owner)
                    entries_.erase(it);
            });
        }
        entries_.insert(mode, std::move(e));
    }
    void remove(int mode) {
        auto it = entries_.find(mode);
        if (it == entries_.end())
            return;
        QObject::disconnect(it->ownerGone);
        entries_.erase(it);
    }
    bool has(int mode) const { return entries_.contains(mode); }
    // Hands the choice to the mode's follow-up; false when there is none.
    bool run(int mode, const Choice& choice) const {
        auto it = entries_.constFind(mode);
        if (it == entries_.cend() || !it->followUp)
            return false;
        const FollowUp followUp = it->followUp; // it may unregister itself
        followUp(choice);
        return true;
    }

private:
    struct Entry {
        FollowUp followUp;
        const QObject* owner = nullptr;
        QMetaObject::Connection ownerGone;
    };
    QHash<int, Entry> entries_;
};

} // namespace torvika
