#pragma once
// Controls bound to settings of Firm_Data.ini. Each bound control shows its
// setting when loaded (the settings dialog's default for a missing key) and
// gives its value to one save. A page of the settings dialog binds the
// controls of its form; a setting that has no control in the form gets one
// made from its row of the settings table (a tick box with the caption, or
// the caption and a field) with addTo:
//
//     fields_.addTo(ui->Layout_Fiskalni_More, setting::kSomeNewSetting);

#include "shell/firm_data.h"

#include <QList>
#include <QString>
#include <functional>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace torvika {

class SettingFields {
public:
    void bind(QCheckBox* box, Setting<bool> s);
    // The number is kept within the box's bounds.
    void bind(QSpinBox* box, Setting<int> s);
    void bind(QLineEdit* field, Setting<QString> s);
    // The text of the box (an editable box keeps what is typed).
    void bindText(QComboBox* box, Setting<QString> s);
    // The index of the chosen item.
    void bindIndex(QComboBox* box, Setting<int> s);

    // A control made from the setting's row of the table, added to the
    // layout and bound; returns the tick box, field or number box (named
    // "Setting_" + the setting's name).
    QWidget* addTo(QBoxLayout* layout, SettingId id);

    // Shows the stored values. Throws EInOutError when the file cannot be
    // read.
    void load(const Settings& settings);
    // Every bound control's value.
    Settings::Changes changes() const;
    void addChangesTo(Settings::Changes& changes) const;

    bool isBound(SettingId id) const;

private:
    struct Field {
        SettingId id;
        std::function<void(const QString&)> show; // the stored text
        std::function<QString()> value;           // the text to store
    };
    QList<Field> fields_;
};

} // namespace torvika
