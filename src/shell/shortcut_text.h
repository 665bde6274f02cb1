#pragma once
// The stored text of a keyboard shortcut, as the per-operator shortcut
// sections of Firm_Data.ini keep it: the modifiers in the order "Shift+",
// "Ctrl+", "Alt+", then the key's name ("A", "7", "F11", "Ins", "PgDn", ...).
// No shortcut is the empty text.

#include <QString>
#include <Qt>
#include <optional>

namespace torvika {

// The text of a key combination; empty for no key.
QString shortcutText(QKeyCombination key);
// The key combination a text denotes: an empty (or blank) text gives
// QKeyCombination() (key Qt::Key_unknown: no shortcut); a text that names
// no key gives nullopt.
// Modifiers are accepted in any order and the key names without regard to
// case; Qt's own names ("PgDown", "Backspace", "Insert", ...) are read too.
std::optional<QKeyCombination> parseShortcutText(const QString& text);

} // namespace torvika
