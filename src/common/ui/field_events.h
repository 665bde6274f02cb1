#pragma once
// The key and focus events that fields with exit checks and drop lists
// react to.

#include <QEvent>
#include <QFocusEvent>

namespace torvika {

inline bool isEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Whether the event is a field losing the focus to another control of its
// window (not to a message box, a popup or another window): the moment a
// field's exit check runs.
inline bool leftWithinWindow(const QEvent* event) {
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason ||
           reason == Qt::OtherFocusReason;
}

} // namespace torvika
