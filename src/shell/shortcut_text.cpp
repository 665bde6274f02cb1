#include "shell/shortcut_text.h"

#include <array>

namespace torvika {

namespace {

struct KeyName {
    Qt::Key key;
    const char16_t* name;
};

// The names written for keys that are not a letter, digit or F-key.
constexpr std::array<KeyName, 16> kNames = {{
    {Qt::Key_Backspace, u"BkSp"},
    {Qt::Key_Tab, u"Tab"},
    {Qt::Key_Return, u"Enter"},
    {Qt::Key_Enter, u"Enter"},
    {Qt::Key_Escape, u"Esc"},
    {Qt::Key_Space, u"Space"},
    {Qt::Key_PageUp, u"PgUp"},
    {Qt::Key_PageDown, u"PgDn"},
    {Qt::Key_End, u"End"},
    {Qt::Key_Home, u"Home"},
    {Qt::Key_Left, u"Left"},
    {Qt::Key_Up, u"Up"},
    {Qt::Key_Right, u"Right"},
    {Qt::Key_Down, u"Down"},
    {Qt::Key_Insert, u"Ins"},
    {Qt::Key_Delete, u"Del"},
}};

// Further names read back, for texts written by other tools.
constexpr std::array<KeyName, 8> kAliases = {{
    {Qt::Key_Backspace, u"Backspace"},
    {Qt::Key_Return, u"Return"},
    {Qt::Key_Escape, u"Escape"},
    {Qt::Key_PageUp, u"PageUp"},
    {Qt::Key_PageDown, u"PgDown"},
    {Qt::Key_PageDown, u"PageDown"},
    {Qt::Key_Insert, u"Insert"},
    {Qt::Key_Delete, u"Delete"},
}};

struct ModifierName {
    Qt::KeyboardModifier modifier;
    const char16_t* prefix;
};

constexpr std::array<ModifierName, 3> kModifiers = {{
    {Qt::ShiftModifier, u"Shift+"},
    {Qt::ControlModifier, u"Ctrl+"},
    {Qt::AltModifier, u"Alt+"},
}};

QString keyName(int key) {
    for (const KeyName& k : kNames)
        if (k.key == key)
            return QString::fromUtf16(k.name);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return u'F' + QString::number(key - Qt::Key_F1 + 1);
    // Letters, digits, punctuation and the letters of national layouts are
    // named by their character (Qt's code of a printable key is its
    // upper-case character).
    if (key > 0x20 && key < 0x10000) {
        const QChar c{char16_t(key)};
        if (c.isPrint() && !c.isSurrogate())
            return QString(c.toUpper());
    }
    return {};
}

std::optional<int> keyFromName(const QString& name) {
    for (const KeyName& k : kNames)
        if (name.compare(QString::fromUtf16(k.name), Qt::CaseInsensitive) == 0)
            return int(k.key);
    for (const KeyName& k : kAliases)
        if (name.compare(QString::fromUtf16(k.name), Qt::CaseInsensitive) == 0)
            return int(k.key);
    if (name.size() >= 2 && name.at(0).toUpper() == u'F') {
        bool ok = false;
        int n = name.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 24 && name.at(1).isDigit())
            return int(Qt::Key_F1) + n - 1;
    }
    if (name.size() == 1 && name.at(0).isPrint() && !name.at(0).isSpace() && !name.at(0).isSurrogate())
        return int(name.at(0).toUpper().unicode());
    return std::nullopt;
}

} // namespace

QString shortcutText(QKeyCombination combination) {
    const int key = int(combination.key());
    if (key == 0 || key == Qt::Key_unknown)
        return {};
    QString name = keyName(key);
    if (name.isEmpty())
        return {};
    QString text;
    for (const ModifierName& m : kModifiers)
        if (combination.keyboardModifiers() & m.modifier)
            text += QString::fromUtf16(m.prefix);
    return text + name;
}

std::optional<QKeyCombination> parseShortcutText(const QString& input) {
    QString text = input.trimmed();
    if (text.isEmpty())
        return QKeyCombination();
    Qt::KeyboardModifiers modifiers;
    // Strip modifier prefixes; what remains is the key ("Ctrl++" is Ctrl and "+").
    for (bool found = true; found;) {
        found = false;
        for (const ModifierName& m : kModifiers) {
            const QString prefix = QString::fromUtf16(m.prefix);
            if (text.size() > prefix.size() && text.startsWith(prefix, Qt::CaseInsensitive)) {
                modifiers |= m.modifier;
                text = text.mid(prefix.size());
                found = true;
            }
        }
    }
    std::optional<int> key = keyFromName(text);
    if (!key)
        return std::nullopt;
    return QKeyCombination(modifiers, Qt::Key(*key));
}

} // namespace torvika
