#pragma once
// The follow-ups of pickers, and of buttons of a lower library that open a
// window of a higher one. A window opens a picker (the counterparty list,
// the article catalogue) in a selection mode; on "ИЗБЕРИ" the picker hands
// the choice, with the window that opened it, to the follow-up registered
// for that mode, so the picker knows none of its callers. A mode nobody
// receives shows "ИЗБЕРИ" disabled, with the reason in its tooltip.
//
// A kind of follow-ups is a type that names its choice and its modes:
//
//     struct CounterpartyPicker {
//         using Choice = QString;
//         static constexpr const char* kName = "counterparty list";
//         static QList<int> modes();
//     };
//
// Modules register the follow-ups of their windows with the host while they
// are installed, never later:
//
//     host.followUps().of<CounterpartyPicker>().add(
//         kSelectOrderSupplier, [](QWidget* opener, const QString& ref) {
//             openerWindow<TForm_Add_Red_Zaqvka>(opener).takeSupplier(ref);
//         });
//
// A mode the kind does not have, a mode registered twice and a registration
// after the start-up throw std::logic_error.

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <typeindex>
#include <unordered_map>

namespace torvika {

// Throws the std::logic_error of a wrong registration or opener.
[[noreturn]] void followUpMistake(const char* kind, int mode, const char* what);

template <typename Kind> class FollowUps {
public:
    using Choice = typename Kind::Choice;
    // The window that opened the picker (or holds the button), and the choice.
    using FollowUp = std::function<void(QWidget* opener, const Choice&)>;

    explicit FollowUps(const bool* closed) : modes_(Kind::modes()), closed_(closed) {}

    void add(int mode, FollowUp followUp) {
        if (*closed_)
            followUpMistake(Kind::kName, mode, "registered after the start-up");
        if (!modes_.contains(mode))
            followUpMistake(Kind::kName, mode, "is no mode");
        if (entries_.contains(mode))
            followUpMistake(Kind::kName, mode, "registered twice");
        entries_.insert(mode, std::move(followUp));
    }
    bool has(int mode) const { return entries_.contains(mode); }
    // Hands the choice to the mode's follow-up; false when there is none.
    bool run(int mode, QWidget* opener, const Choice& choice) const {
        auto it = entries_.constFind(mode);
        if (it == entries_.cend())
            return false;
        const FollowUp followUp = *it;
        followUp(opener, choice);
        return true;
    }
    // The kind's modes that have no follow-up.
    QList<int> unserved() const {
        QList<int> out;
        for (int mode : modes_)
            if (!entries_.contains(mode))
                out << mode;
        return out;
    }

private:
    QList<int> modes_;
    const bool* closed_;
    QHash<int, FollowUp> entries_;
};

// The follow-ups of every kind, kept by the host for the run.
class FollowUpRegistry {
public:
    template <typename Kind> FollowUps<Kind>& of() {
        auto it = kinds_.find(std::type_index(typeid(Kind)));
        if (it == kinds_.end())
            it = kinds_.emplace(std::type_index(typeid(Kind)), std::make_shared<FollowUps<Kind>>(&closed_))
                     .first;
        return *static_cast<FollowUps<Kind>*>(it->second.get());
    }
    // After the start-up nothing more is registered.
    void close() { closed_ = true; }
    bool closed() const { return closed_; }

private:
    bool closed_ = false;
    std::unordered_map<std::type_index, std::shared_ptr<void>> kinds_;
};

// The window of type W that opened a picker: the opener or the window it
// sits in. Throws std::logic_error when there is none: the follow-up of a
// mode that a window of another type opened.
template <typename W> W& openerWindow(QWidget* opener) {
    for (QWidget* w = opener; w; w = w->parentWidget())
        if (W* found = qobject_cast<W*>(w))
            return *found;
    followUpMistake(W::staticMetaObject.className(), -1, "was not the window that opened the picker");
}

} // namespace torvika
