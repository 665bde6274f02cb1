#include "settings/ui/setting_fields.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <limits>

namespace torvika {

namespace {

// The stored integer, or the fallback for a text that is none.
int integerOf(const QString& text, int fallback) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : fallback;
}

QString dialogDefault(SettingId id) {
    return QString::fromUtf16(Settings::definition(id).dialogDefault);
}

} // namespace

void SettingFields::bind(QCheckBox* box, Setting<bool> s) {
    fields_.append({s.id,
                    [box, id = s.id](const QString& text) {
                        box->setChecked(integerOf(text, integerOf(dialogDefault(id), 0)) != 0);
                    },
                    [box] { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); }});
}

void SettingFields::bind(QSpinBox* box, Setting<int> s) {
    fields_.append({s.id,
                    [box, id = s.id](const QString& text) {
                        box->setValue(integerOf(text, integerOf(dialogDefault(id), box->minimum())));
                    },
                    [box] {
                        // What is typed and not yet taken by the box counts too.
                        box->interpretText();
                        return QString::number(box->value());
                    }});
}

void SettingFields::bind(QLineEdit* field, Setting<QString> s) {
    fields_.append(
        {s.id, [field](const QString& text) { field->setText(text); }, [field] { return field->text(); }});
}

void SettingFields::bindText(QComboBox* box, Setting<QString> s) {
    fields_.append({s.id,
                    [box](const QString& text) {
                        const int i = box->findText(text);
                        if (i >= 0)
                            box->setCurrentIndex(i);
                        else if (box->isEditable())
                            box->setEditText(text);
                    },
                    [box] { return box->currentText(); }});
}

void SettingFields::bindIndex(QComboBox* box, Setting<int> s) {
    fields_.append({s.id,
                    [box, id = s.id](const QString& text) {
                        const int i = integerOf(text, integerOf(dialogDefault(id), 0));
                        box->setCurrentIndex(i >= 0 && i < box->count() ? i : 0);
                    },
                    [box] { return QString::number(std::max(0, box->currentIndex())); }});
}

QWidget* SettingFields::addTo(QBoxLayout* layout, SettingId id) {
    const SettingSpec& definition = Settings::definition(id);
    const QString caption = QString::fromUtf16(definition.caption);
    const QString name = QStringLiteral("Setting_") + QString::fromUtf16(definition.name);
    QWidget* parent = layout->parentWidget();
    if (definition.type == SettingType::Boolean) {
        auto* box = new QCheckBox(caption, parent);
        box->setObjectName(name);
        layout->addWidget(box);
        bind(box, Setting<bool>{id});
        return box;
    }
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(caption, parent);
    row->addWidget(label);
    QWidget* control = nullptr;
    if (definition.type == SettingType::Integer) {
        auto* box = new QSpinBox(parent);
        box->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        bind(box, Setting<int>{id});
        control = box;
        row->addWidget(box);
        row->addStretch();
    } else {
        auto* field = new QLineEdit(parent);
        bind(field, Setting<QString>{id});
        control = field;
        row->addWidget(field, 1);
    }
    control->setObjectName(name);
    label->setBuddy(control);
    layout->addLayout(row);
    return control;
}

void SettingFields::load(const Settings& settings) {
    for (const Field& f : fields_)
        f.show(settings.text(f.id, dialogDefault(f.id)));
}

Settings::Changes SettingFields::changes() const {
    Settings::Changes c;
    addChangesTo(c);
    return c;
}

void SettingFields::addChangesTo(Settings::Changes& changes) const {
    for (const Field& f : fields_)
        changes.setText(f.id, f.value());
}

bool SettingFields::isBound(SettingId id) const {
    return std::any_of(fields_.cbegin(), fields_.cend(), [id](const Field& f) { return f.id == id; });
}

} // namespace torvika
