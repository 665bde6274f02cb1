#include "shell/firm_data.h"

#include "common/dates.h"

#include <algorithm>
#include <stdexcept>

namespace torvika {

namespace {

constexpr const char16_t* orElse(const char16_t* value, const char16_t* def) {
    return value ? value : def;
}

constexpr SettingSpec kTable[] = {
#define TORVIKA_SETTING_ROW(name, type, section, key, def, dialogDef, caption)                               \
    {SettingId::name, u"" #name, SettingType::type, section, key, def, orElse(dialogDef, def), caption},
    TORVIKA_SETTINGS(TORVIKA_SETTING_ROW)
#undef TORVIKA_SETTING_ROW
};

QString fromUtf16(const char16_t* text) {
    return QString::fromUtf16(text);
}

int integerOf(const QString& text, int def) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : def;
}

QString boolText(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

Settings::Settings(QString path, ProfileFile::Reader reader, QObject* parent)
    : QObject(parent), file_(std::move(path), std::move(reader)) {}

std::span<const SettingSpec> Settings::table() {
    return kTable;
}

const SettingSpec& Settings::definition(SettingId id) {
    return kTable[int(id)];
}

SettingId Settings::find(const QString& section, const QString& key) {
    for (const SettingSpec& s : kTable)
        if (section.compare(fromUtf16(s.section), Qt::CaseInsensitive) == 0 &&
            key.compare(fromUtf16(s.key), Qt::CaseInsensitive) == 0)
            return s.id;
    throw std::logic_error("no setting [" + section.toStdString() + "] " + key.toStdString() +
                           " in Firm_Data.ini");
}

QString Settings::text(SettingId id, const QString& def) const {
    const SettingSpec& s = definition(id);
    return file_.readString(fromUtf16(s.section), fromUtf16(s.key), def);
}

bool Settings::has(SettingId id) const {
    const SettingSpec& s = definition(id);
    return file_.hasKey(fromUtf16(s.section), fromUtf16(s.key));
}

QString Settings::get(Setting<QString> s) const {
    return text(s.id, fromUtf16(definition(s.id).defaultValue));
}

int Settings::get(Setting<int> s) const {
    const int def = fromUtf16(definition(s.id).defaultValue).toInt();
    return integerOf(text(s.id, QString()), def);
}

bool Settings::get(Setting<bool> s) const {
    const int def = fromUtf16(definition(s.id).defaultValue).toInt();
    return integerOf(text(s.id, QString()), def) != 0;
}

Settings::Changes& Settings::Changes::set(Setting<QString> s, const QString& value) {
    return setText(s.id, value);
}

Settings::Changes& Settings::Changes::set(Setting<int> s, int value) {
    return setText(s.id, QString::number(value));
}

Settings::Changes& Settings::Changes::set(Setting<bool> s, bool value) {
    return setText(s.id, boolText(value));
}

Settings::Changes& Settings::Changes::setText(SettingId id, const QString& value) {
    values_.append({id, value});
    return *this;
}

Settings::Changes& Settings::Changes::remove(SettingId id) {
    values_.append({id, std::nullopt});
    return *this;
}

void Settings::save(const Changes& changes) {
    if (changes.isEmpty())
        return;
    // The value a reader sees before and after, by the readers' default.
    auto effective = [](const ProfileData& d, SettingId id) {
        const SettingSpec& s = definition(id);
        const QString section = fromUtf16(s.section), key = fromUtf16(s.key);
        const QString def = fromUtf16(s.defaultValue);
        const QString text = d.value(section, key, def);
        switch (s.type) {
        case SettingType::Text:
            return text;
        case SettingType::Integer:
            return QString::number(integerOf(text, def.toInt()));
        case SettingType::Boolean:
            return boolText(integerOf(text, def.toInt()) != 0);
        }
        return text;
    };
    QList<SettingId> changed;
    file_.update([&](ProfileData& d) {
        QHash<SettingId, QString> before;
        for (const auto& [id, value] : changes.values_)
            if (!before.contains(id))
                before.insert(id, effective(d, id));
        for (const auto& [id, value] : changes.values_) {
            const SettingSpec& s = definition(id);
            if (value)
                d.setValue(fromUtf16(s.section), fromUtf16(s.key), *value);
            else
                d.removeKey(fromUtf16(s.section), fromUtf16(s.key));
        }
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            if (effective(d, it.key()) != it.value())
                changed << it.key();
    });
    std::sort(changed.begin(), changed.end());
    for (SettingId id : changed)
        emit this->changed(id);
}

void Settings::saveSection(const QString& section, const QList<std::pair<QString, QString>>& values) {
    if (values.isEmpty())
        return;
    file_.update([&](ProfileData& d) {
        for (const auto& [key, value] : values)
            d.setValue(section, key, value);
    });
}

QString Settings::lastWorkingDateText(const QDate& today) const {
    return text(SettingId::LastWorkingDate, shortDate(today));
}

void Settings::setLastWorkingDate(const QDate& today) {
    set(setting::kLastWorkingDate, shortDate(today));
}

} // namespace torvika
